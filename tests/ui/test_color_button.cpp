// The colour button, its palette popup with the colour grid, the colour
// dialog, and the field colour button.
#include "ui_resources.h"

#include "ui/atl/ColorButton.h"
#include "ui/atl/ColorButtonDlg.h"
#include "ui/atl/ColorsCtrl.h"
#include "ui/atl/PrivateMessages.h"
#include "ui/atl/dv/ColorButton.h"

using namespace kv::ui::atl;
using uitest::UiTest;

namespace {

class ColorButtons : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        dialog = makeDialog(400, 300);
        kvplat::setMessageLogHook([this](HWND h, UINT m, WPARAM w, LPARAM) {
            if (h == dialog && m == WM_COMMAND && HIWORD(w) == colorChangedNotification)
                ++changes;
        });
    }
    HWND create(ColorButton& b, dv::ComColor color = dv::noColor)
    {
        HWND h = b.create(dialog, RECT{10, 10, 110, 34}, nullptr, WS_TABSTOP, 5);
        if (color != dv::noColor)
            b.setColor(color);
        changes = 0;
        return h;
    }
    // Clicks the button; the palette that opens, or null.
    static ColorButtonDlg* openPalette(HWND button)
    {
        SendMessageW(button, BM_CLICK, 0, 0);
        return ColorButtonDlg::open();
    }
    // Keys reach the popup as the host's message loop hands them out.
    static void press(HWND window, WPARAM key)
    {
        PostMessageW(window, WM_KEYDOWN, key, 0);
        kvplat::pumpMessages();
    }

    HWND dialog = nullptr;
    int changes = 0;
};

} // namespace

TEST_F(ColorButtons, AButtonWithoutColourOrTextShowsTheNoColourText)
{
    ColorButton b;
    HWND h = create(b);
    std::vector<std::string> themed = drawn(h);
    EXPECT_TRUE(anyLineHas(themed, "DrawThemeText part=1 state=1 \"No colour\""));
    EXPECT_TRUE(anyLineHas(themed, "FrameRect")) << "an empty swatch, only framed";
    EXPECT_FALSE(anyLineStarts(themed, "ExtTextOut")) << "no colour is filled in";
    kvplat::setThemeActive(false);
    b.setColor(0x0000FF);
    std::vector<std::string> classic = drawn(h);
    EXPECT_TRUE(anyLineHas(classic, "ExtTextOut (0,0) opaque")) << "the swatch in the nearest solid colour";
    EXPECT_TRUE(anyLineHas(classic, "rgb(255,0,0)"));
    EXPECT_TRUE(anyLineStarts(classic, "Polygon")) << "the drop-down arrow";
    b.setDisplayOnly(true);
    EXPECT_TRUE(anyLineHas(drawn(h), "state=0x6010")) << "display-only buttons are flat";
}

TEST_F(ColorButtons, ADisabledButtonDrawnClassicallyShowsItsTextShortenedWithinItsPlace)
{
    ColorButton b;
    HWND h = b.create(dialog, RECT{10, 10, 110, 34}, L"A colour with a long name", WS_TABSTOP | WS_DISABLED, 5);
    ASSERT_NE(nullptr, h);
    b.setColor(0x00FF00);
    kvplat::setThemeActive(false);
    std::string text, disabledText;
    for (const std::string& line : drawn(h)) {
        if (line.compare(0, 9, "DrawText ") == 0)
            text = line.substr(9, line.find('"', 10) - 8);
        if (line.compare(0, 10, "DrawState ") == 0) {
            disabledText = line.substr(10, line.find('"', 11) - 9);
            const int x = std::stoi(line.substr(line.find('(') + 1));
            EXPECT_GT(x, 0) << "drawn inside the button, right of the swatch: " << line;
        }
    }
    EXPECT_NE(std::string::npos, text.find("...\"")) << "the name does not fit: " << text;
    EXPECT_EQ(text, disabledText) << "the disabled look draws the shortened text, not the whole one";
}

TEST_F(ColorButtons, ThePaletteOpensBelowTheButtonAndAGridClickCommits)
{
    ColorButton b;
    HWND h = create(b, 0x00FF00);
    ColorButtonDlg* popup = openPalette(h);
    ASSERT_NE(nullptr, popup);
    RECT button, window;
    GetWindowRect(h, &button);
    GetWindowRect(popup->m_hWnd, &window);
    EXPECT_EQ(button.left, window.left);
    EXPECT_EQ(button.bottom, window.top);
    EXPECT_EQ(8, popup->grid().columns());
    EXPECT_EQ(5, popup->grid().rows());
    EXPECT_EQ(27, popup->grid().selected()) << "the cell holding the button's colour";
    EXPECT_EQ(LRESULT(1), SendMessageW(h, msgIsPartOfControl, 0, LPARAM(popup->m_hWnd)));
    EXPECT_EQ(LRESULT(h), SendMessageW(popup->m_hWnd, msgGetOwner, 0, 0));
    const RECT cell = popup->grid().cellRect(13);
    SendMessageW(popup->grid().m_hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(cell.left + 1, cell.top + 1));
    kvplat::pumpMessages();
    EXPECT_EQ(nullptr, ColorButtonDlg::open()) << "the popup closes after the choice";
    EXPECT_EQ(dv::ComColor(0xFF0000), b.color());
    EXPECT_EQ(1, changes);
    EXPECT_EQ(h, GetFocus()) << "the owner has the focus back";
}

TEST_F(ColorButtons, TheGridKeyboardMovesTheSelectionAndEnterTakesIt)
{
    ColorButton b;
    HWND h = create(b, 0x000000);
    SendMessageW(h, WM_KEYDOWN, VK_DOWN, 0);
    ColorButtonDlg* popup = ColorButtonDlg::open();
    ASSERT_NE(nullptr, popup);
    HWND grid = popup->grid().m_hWnd;
    EXPECT_EQ(0, popup->grid().selected());
    press(grid, VK_LEFT);
    press(grid, VK_UP);
    EXPECT_EQ(0, popup->grid().selected()) << "nothing left of or above the first cell";
    press(grid, VK_DOWN);
    press(grid, VK_RIGHT);
    EXPECT_EQ(9, popup->grid().selected());
    for (int i = 0; i < 5; ++i)
        press(grid, VK_DOWN);
    EXPECT_EQ(33, popup->grid().selected()) << "no row below the last";
    EXPECT_EQ(0, changes) << "moving does not notify";
    press(grid, VK_RETURN);
    EXPECT_EQ(nullptr, ColorButtonDlg::open());
    EXPECT_EQ(dv::ComColor(0x99CCFF), b.color());
    EXPECT_EQ(1, changes);
}

TEST_F(ColorButtons, AColourOutsideTheGridLeavesNoCellSoEnterKeepsIt)
{
    ColorButton b;
    HWND h = create(b, 0x000080);
    ColorButtonDlg* popup = openPalette(h);
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(8, popup->grid().selected());
    // The owner sets a colour the grid does not hold while the popup is open.
    openColorPopup(h, 0x123456, false, idColorChosen);
    EXPECT_EQ(-1, popup->grid().selected()) << "the old cell must not stay selected";
    press(popup->grid().m_hWnd, VK_RETURN);
    EXPECT_EQ(dv::ComColor(0x123456), b.color()) << "Enter commits the colour shown, not the old cell";
    // Opened on such a colour, the grid that takes the focus starts the arrow
    // keys at its first cell, and Enter takes what is selected.
    popup = openPalette(h);
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(0, popup->grid().selected());
    press(popup->grid().m_hWnd, VK_RETURN);
    EXPECT_EQ(dv::ComColor(0x000000), b.color());
    // The popup goes with the dialog of its button.
    ASSERT_NE(nullptr, openPalette(h));
    DestroyWindow(dialog);
    EXPECT_EQ(nullptr, ColorButtonDlg::open());
}

TEST_F(ColorButtons, TheChosenColourIsTheOpenPopupsWhateverWindowTheCommandNames)
{
    ColorButton b;
    HWND h = create(b, 0x0000FF);
    // Without a popup there is no colour to take.
    SendMessageW(h, WM_COMMAND, MAKEWPARAM(idColorChosen, 0), 0);
    EXPECT_EQ(dv::ComColor(0x0000FF), b.color());
    EXPECT_EQ(0, changes);
    ColorButtonDlg* popup = openPalette(h);
    ASSERT_NE(nullptr, popup);
    popup->setColor(0x00FF00);
    SendMessageW(h, WM_COMMAND, MAKEWPARAM(idColorChosen, 0), 0);
    EXPECT_EQ(dv::ComColor(0x00FF00), b.color());
    EXPECT_EQ(1, changes);
    popup->setColor(0xFF0000);
    SendMessageW(h, WM_COMMAND, MAKEWPARAM(idColorChosen, 0), reinterpret_cast<LPARAM>(dialog));
    EXPECT_EQ(dv::ComColor(0xFF0000), b.color());
    EXPECT_EQ(2, changes);
}

TEST_F(ColorButtons, InAnyColourModeOnlyTheGridFillsWithASolidBrushThePreviewShowsTheNearestSolidColour)
{
    ColorButton b;
    HWND h = create(b, 0x00FF00);
    b.setAnyColor(true);
    ColorButtonDlg* popup = openPalette(h);
    ASSERT_NE(nullptr, popup);
    HWND preview = GetDlgItem(popup->m_hWnd, idColorPreview);
    ASSERT_NE(nullptr, preview);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = idColorPreview;
    dis.hwndItem = preview;
    dis.hDC = GetDC(preview);
    GetClientRect(preview, &dis.rcItem);
    kvplat::clearGdiLog();
    SendMessageW(popup->m_hWnd, WM_DRAWITEM, idColorPreview, reinterpret_cast<LPARAM>(&dis));
    ReleaseDC(preview, dis.hDC);
    const std::vector<std::string> previewLines = kvplat::gdiLog();
    EXPECT_TRUE(anyLineHas(previewLines, "ExtTextOut (0,0) opaque")) << "the nearest solid colour";
    EXPECT_TRUE(anyLineHas(previewLines, "rgb(0,255,0)"));
    EXPECT_FALSE(anyLineHas(previewLines, "CreateSolidBrush rgb(0,255,0)")) << "no solid brush of the colour";
    EXPECT_TRUE(anyLineStarts(drawn(popup->grid().m_hWnd), "CreateSolidBrush")) << "the grid's cells use one";
}

TEST_F(ColorButtons, EscapeAndLostActivationCloseWithoutAChangeAndTheNextClickOpensOnTheGrid)
{
    ColorButton b;
    HWND h = create(b, 0x0000FF);
    ColorButtonDlg* popup = openPalette(h);
    ASSERT_NE(nullptr, popup);
    press(popup->grid().m_hWnd, VK_ESCAPE);
    EXPECT_EQ(nullptr, ColorButtonDlg::open());
    ASSERT_NE(nullptr, openPalette(h));
    SetActiveWindow(dialog);  // the user clicks into the button's dialog
    EXPECT_EQ(nullptr, ColorButtonDlg::open());
    EXPECT_EQ(h, GetFocus());
    // Another window comes up: the palette closes and leaves it active.
    ASSERT_NE(nullptr, openPalette(h));
    HWND other = CreateWindowExW(0, WC_DIALOG, L"Another window", WS_POPUP | WS_VISIBLE, 500, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    EXPECT_EQ(nullptr, ColorButtonDlg::open());
    EXPECT_EQ(other, GetActiveWindow());
    popup = openPalette(h);
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(popup->grid().m_hWnd, GetFocus()) << "reopened with the focus on the grid";
    EXPECT_EQ(0, changes);
    EXPECT_EQ(dv::ComColor(0x0000FF), b.color());
}

TEST_F(ColorButtons, MoreColoursRunsTheColourDialogAfterThePopupCloses)
{
    ColorButton b;
    HWND h = create(b, 0x00FFFF);
    ASSERT_NE(nullptr, openPalette(h));
    kvplat::pushColorDialogAnswer(true, 0x00336699);
    SendMessageW(ColorButtonDlg::open()->m_hWnd, WM_COMMAND, MAKEWPARAM(idMoreColors, BN_CLICKED), 0);
    EXPECT_EQ(nullptr, ColorButtonDlg::open());
    EXPECT_TRUE(kvplat::colorDialogCalls().empty()) << "the dialog waits for the posted command";
    kvplat::pumpMessages();
    ASSERT_EQ(1u, kvplat::colorDialogCalls().size());
    const kvplat::ColorDialogCall call = kvplat::colorDialogCalls()[0];
    EXPECT_EQ(h, call.owner);
    EXPECT_EQ(COLORREF(0x00FFFF), call.initial);
    EXPECT_EQ(DWORD(CC_RGBINIT | CC_FULLOPEN | CC_SOLIDCOLOR | CC_ENABLEHOOK), call.flags);
    EXPECT_TRUE(call.hooked);
    EXPECT_EQ(dv::ComColor(0x336699), b.color()) << "the hook accepts the colour";
    EXPECT_EQ(1, changes);
    // Cancelling changes nothing and says nothing.
    b.setAnyColor(true);
    EXPECT_FALSE(b.runColorDialog());
    EXPECT_EQ(DWORD(CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK), kvplat::colorDialogCalls()[1].flags);
    EXPECT_EQ(dv::ComColor(0x336699), b.color());
    EXPECT_EQ(1, changes);
}

TEST_F(ColorButtons, TheGridTableFollowsTheDisplayAndItsCellsShareTheRemainder)
{
    struct Case {
        int colors;
        bool any;
        int columns, rows;
    } cases[] = {{16, false, 8, 1}, {2, false, 2, 1},  {16, true, 8, 5}, {-1, false, 8, 5},
                 {256, false, 8, 1}, {8, false, 8, 1}, {0, false, 2, 1}, {0, true, 8, 5}};
    for (const Case& c : cases) {
        kvplat::setDeviceColorCount(c.colors);
        ColorsCtrl grid;
        grid.Create(L"kv::ui::atl::ColorsCtrl", dialog, RECT{0, 0, 35, 20}, nullptr, WS_CHILD | WS_VISIBLE, 0, 3);
        grid.setAnyColor(c.any);
        EXPECT_EQ(c.columns, grid.columns()) << c.colors << (c.any ? " any" : "");
        EXPECT_EQ(c.rows, grid.rows()) << c.colors;
        DestroyWindow(grid.m_hWnd);
    }
    kvplat::setDeviceColorCount(-1);
    ColorsCtrl grid;
    grid.Create(L"kv::ui::atl::ColorsCtrl", dialog, RECT{0, 0, 35, 20}, nullptr, WS_CHILD | WS_VISIBLE, 0, 3);
    // 35 pixels over 8 columns: 5, 5, 5, then 4.
    EXPECT_EQ(5, grid.cellRect(0).right);
    EXPECT_EQ(15, grid.cellRect(2).right);
    EXPECT_EQ(19, grid.cellRect(3).right);
    EXPECT_EQ(2, grid.cellAt(POINT{14, 1}));
    EXPECT_EQ(3, grid.cellAt(POINT{15, 1}));
}

TEST_F(ColorButtons, TheFieldColourButtonWritesUserChangesOnlyAndLeaksNothing)
{
    const int before = kvplat::liveGdiTotal();
    {
        ControlColorsPtr colors(new ControlColors());
        colors->setOwner(dialog);
        dv::ColorButton b(colors);
        b.initField(L"CadColor", boost::any(dv::ComColor(0x0000FF)), dv::stateNullAllowed);
        b.setText(dv::textLabel, L"Colour");
        std::vector<dv::ComColor> written;
        b.valueChanged.connect([&](const std::wstring& field, unsigned, const boost::any& v) {
            EXPECT_EQ(L"CadColor", field);
            written.push_back(boost::any_cast<dv::ComColor>(v));
        });
        HWND h = b.create(dialog, RECT{10, 10, 110, 34}, 9);
        EXPECT_EQ(dv::ComColor(0x0000FF), b.color()) << "the value is shown at creation";
        EXPECT_TRUE(b.setValue(boost::any(dv::ComColor(0x00FF00)), dv::showQuietly));
        EXPECT_EQ(dv::ComColor(0x00FF00), b.color());
        EXPECT_TRUE(written.empty()) << "a value from the field is not written back";
        EXPECT_EQ(0, changes) << "nor announced to the parent";
        EXPECT_TRUE(b.getState() & dv::stateModified);
        EXPECT_FALSE(b.setValue(boost::any(std::wstring(L"red")), dv::showQuietly));
        ColorButtonDlg* popup = openPalette(h);
        ASSERT_NE(nullptr, popup);
        SendMessageW(popup->grid().m_hWnd, WM_KEYDOWN, VK_LEFT, 0);
        SendMessageW(popup->m_hWnd, WM_COMMAND, IDOK, 0);
        ASSERT_EQ(1u, written.size());
        EXPECT_EQ(dv::ComColor(0x00FFFF), written[0]) << "the cell left of green";
        EXPECT_EQ(1, changes);
        EXPECT_EQ(dv::ComColor(0x00FFFF), boost::any_cast<dv::ComColor>(b.getValue()));
        // Accepting the change makes it the original.
        b.setState(0, dv::stateModified);
        EXPECT_FALSE(b.getState() & dv::stateModified);
        kvplat::setThemeActive(false);
        drawn(h);
        kvplat::setThemeActive(true);
        drawn(h);
        DestroyWindow(dialog);
    }
    EXPECT_EQ(before, kvplat::liveGdiTotal()) << "no GDI object alive after the dialog closed";
}
