// The library's push buttons: the platform button's behaviour rebuilt
// (creation, mouse, keyboard, check and radio kinds, text), the themed and the
// classic drawing, images, and the framework's button with its signal.
#include "ui_resources.h"

#include "ui/atl/PushButton.h"
#include "ui/atl/dv/PushButton.h"

using namespace kv::ui::atl;
using uitest::UiTest;

namespace {

class PushButtons : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        dialog = makeDialog();
        kvplat::setMessageLogHook([this](HWND h, UINT m, WPARAM w, LPARAM) {
            if (h == dialog && m == WM_COMMAND)
                commands.push_back(w);
        });
    }
    HWND create(PushButtonBase& b, const wchar_t* text, DWORD style, UINT id = 7)
    {
        return b.create(dialog, RECT{10, 10, 110, 40}, text, style, id);
    }
    static LPARAM at(int x, int y) { return MAKELPARAM(x, y); }

    HWND dialog = nullptr;
    std::vector<WPARAM> commands;
};

} // namespace

TEST_F(PushButtons, CheckAndRadioKindsNeedThePushLikeStyle)
{
    PushButtonBase plain, pushLike, radio;
    EXPECT_EQ(nullptr, create(plain, L"x", BS_CHECKBOX));
    EXPECT_NE(nullptr, create(pushLike, L"x", BS_CHECKBOX | BS_PUSHLIKE));
    EXPECT_EQ(unsigned(PushButtonBase::checkBox), pushLike.kind());
    EXPECT_NE(nullptr, create(radio, L"x", BS_AUTORADIOBUTTON | BS_PUSHLIKE, 8));
    EXPECT_EQ(DLGC_RADIOBUTTON, SendMessageW(radio.m_hWnd, WM_GETDLGCODE, 0, 0));
}

TEST_F(PushButtons, AClickNeedsTheReleaseInsideAndIsPostedToTheParent)
{
    PushButtonBase b;
    HWND h = create(b, L"OK", BS_PUSHBUTTON);
    SendMessageW(h, WM_LBUTTONDOWN, 0, at(5, 5));
    EXPECT_EQ(unsigned(BST_PUSHED), SendMessageW(h, BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessageW(h, WM_MOUSEMOVE, 0, at(-20, 5));
    EXPECT_EQ(0, SendMessageW(h, BM_GETSTATE, 0, 0) & BST_PUSHED) << "outside the pushed look goes";
    SendMessageW(h, WM_LBUTTONUP, 0, at(-20, 5));
    kvplat::pumpMessages();
    EXPECT_TRUE(commands.empty()) << "released outside: no click";
    EXPECT_FALSE(b.tracking());

    SendMessageW(h, WM_LBUTTONDOWN, 0, at(5, 5));
    SendMessageW(h, WM_MOUSEMOVE, 0, at(-20, 5));
    SendMessageW(h, WM_MOUSEMOVE, 0, at(6, 6));
    SendMessageW(h, WM_LBUTTONUP, 0, at(6, 6));
    EXPECT_TRUE(commands.empty()) << "posted, not sent";
    EXPECT_EQ(nullptr, GetCapture());
    kvplat::pumpMessages();
    ASSERT_EQ(1u, commands.size());
    EXPECT_EQ(MAKEWPARAM(7, BN_CLICKED), commands[0]);
    // Space and BM_CLICK click the same way.
    SendMessageW(h, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(h, BM_CLICK, 0, 0);
    kvplat::pumpMessages();
    EXPECT_EQ(3u, commands.size());
}

TEST_F(PushButtons, TextMessagesCopyWhatFitsAndAnswerTheCount)
{
    PushButtonBase b;
    HWND h = create(b, L"Button", BS_PUSHBUTTON);
    wchar_t buffer[5] = {L'x', L'x', L'x', L'x', L'x'};
    // The answer counts the characters copied without the terminating null,
    // as every window of the platform answers: counting the null as well
    // would put it into every text built from the answer.
    EXPECT_EQ(4, SendMessageW(h, WM_GETTEXT, 5, LPARAM(buffer)));
    EXPECT_EQ(std::wstring(L"Butt"), std::wstring(buffer));
    wchar_t whole[16];
    EXPECT_EQ(L"Button", std::wstring(whole, static_cast<size_t>(GetWindowTextW(h, whole, 16))));
    EXPECT_EQ(0, SendMessageW(h, WM_GETTEXT, 0, LPARAM(buffer)));
    EXPECT_EQ(6, SendMessageW(h, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_EQ(0, SendMessageW(h, WM_SETTEXT, 0, 0)) << "a null text is refused";
    EXPECT_EQ(1, SendMessageW(h, WM_SETTEXT, 0, LPARAM(L"&Apply")));
    SendMessageW(h, WM_SYSKEYUP, 'A', 0);
    kvplat::pumpMessages();
    EXPECT_EQ(1u, commands.size()) << "the mnemonic clicks";
}

TEST_F(PushButtons, ADisabledButtonRefusesClicksAndUserInputButHearsWhatCodeSends)
{
    PushButtonBase b, box;
    HWND h = create(b, L"&Apply", BS_PUSHBUTTON);
    HWND check = box.create(dialog, RECT{10, 50, 110, 70}, L"Check", BS_AUTOCHECKBOX | BS_PUSHLIKE, 8);
    EnableWindow(h, FALSE);
    EnableWindow(check, FALSE);
    SendMessageW(h, BM_CLICK, 0, 0);
    SendMessageW(check, BM_CLICK, 0, 0);
    PostMessageW(h, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageW(h, WM_LBUTTONDOWN, 0, at(5, 5));
    PostMessageW(h, WM_LBUTTONUP, 0, at(5, 5));
    kvplat::pumpMessages();
    EXPECT_TRUE(commands.empty()) << "a disabled button notifies nothing";
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(check, BM_GETCHECK, 0, 0));
    EXPECT_EQ(nullptr, GetCapture());
    SendMessageW(check, WM_CHAR, L'+', 0);
    EXPECT_EQ(BST_CHECKED, SendMessageW(check, BM_GETCHECK, 0, 0)) << "a message sent by code arrives";
    // Disabling the dialog disables the user's input to what is inside it.
    EnableWindow(h, TRUE);
    EnableWindow(dialog, FALSE);
    EXPECT_FALSE(kvplat::clickButton(h));
    PostMessageW(h, WM_KEYDOWN, VK_SPACE, 0);
    kvplat::pumpMessages();
    EXPECT_TRUE(commands.empty());
    EnableWindow(dialog, TRUE);
    EXPECT_TRUE(kvplat::clickButton(h));
    kvplat::pumpMessages();
    EXPECT_EQ(1u, commands.size()) << "enabled again, it clicks";
    // Disabled in the middle of a press, it lets go of the mouse and looks released.
    SendMessageW(h, WM_LBUTTONDOWN, 0, at(5, 5));
    ASSERT_EQ(h, GetCapture());
    EnableWindow(h, FALSE);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_FALSE(b.tracking());
    EXPECT_EQ(0, SendMessageW(h, BM_GETSTATE, 0, 0) & BST_PUSHED);
}

// The user's release reaches the button holding the mouse even after its
// dialog was disabled: the press ends and the button looks released.
TEST_F(PushButtons, ADialogDisabledInTheMiddleOfAPressLetsThePressEnd)
{
    PushButtonBase b;
    HWND h = create(b, L"OK", BS_PUSHBUTTON);
    PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
    kvplat::pumpMessages();
    ASSERT_EQ(h, GetCapture());
    EnableWindow(dialog, FALSE);
    EXPECT_EQ(h, GetCapture()) << "the dialog's cancel-mode leaves its button's capture alone";
    PostMessageW(h, WM_LBUTTONUP, 0, at(5, 5));
    kvplat::pumpMessages();
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_FALSE(b.tracking());
    EXPECT_EQ(0, SendMessageW(h, BM_GETSTATE, 0, 0) & BST_PUSHED);
    // Without the capture the dialog keeps the user's input off its buttons again.
    PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
    kvplat::pumpMessages();
    EXPECT_FALSE(b.tracking());
    EXPECT_EQ(nullptr, GetCapture());
}

// A change of capture ends the press, whoever takes the mouse.
TEST_F(PushButtons, AnotherWindowTakingTheMouseEndsThePressWithoutAClick)
{
    PushButtonBase b;
    HWND h = create(b, L"OK", BS_PUSHBUTTON);
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
    ASSERT_TRUE(b.tracking());
    SetCapture(dialog);
    EXPECT_FALSE(b.tracking());
    EXPECT_EQ(0, SendMessageW(h, BM_GETSTATE, 0, 0) & BST_PUSHED);
    ReleaseCapture();
    SendMessageW(h, WM_LBUTTONUP, 0, at(5, 5));
    kvplat::pumpMessages();
    EXPECT_TRUE(commands.empty()) << "the release of an ended press clicks nothing";
}

TEST_F(PushButtons, APressOnASecondButtonEndsThePressOnTheFirst)
{
    PushButtonBase first, second;
    HWND a = create(first, L"A", BS_PUSHBUTTON, 7);
    HWND b = second.create(dialog, RECT{10, 50, 110, 80}, L"B", BS_PUSHBUTTON, 8);
    SendMessageW(a, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
    SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
    EXPECT_FALSE(first.tracking());
    EXPECT_EQ(0, SendMessageW(a, BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_TRUE(second.tracking());
    EXPECT_EQ(b, GetCapture());
    SendMessageW(b, WM_LBUTTONUP, 0, at(5, 5));
    kvplat::pumpMessages();
    ASSERT_EQ(1u, commands.size());
    EXPECT_EQ(MAKEWPARAM(8, BN_CLICKED), commands[0]) << "only the second button clicks";
}

TEST_F(PushButtons, CheckBoxKeysAndRadioGroups)
{
    PushButtonBase box;
    HWND h = create(box, L"Check", BS_AUTOCHECKBOX | BS_PUSHLIKE);
    SendMessageW(h, WM_CHAR, L'+', 0);
    SendMessageW(h, WM_CHAR, L'+', 0);
    EXPECT_EQ(BST_CHECKED, SendMessageW(h, BM_GETCHECK, 0, 0));
    EXPECT_EQ(unsigned(BST_PUSHED), box.state() & BST_PUSHED) << "a checked push-like box looks pushed";
    SendMessageW(h, WM_CHAR, L'-', 0);
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(h, BM_GETCHECK, 0, 0));
    SendMessageW(h, WM_KEYDOWN, VK_OEM_PLUS, 0);
    EXPECT_EQ(DLGC_WANTCHARS, SendMessageW(h, WM_GETDLGCODE, 0, 0));
    EXPECT_EQ(DLGC_BUTTON, SendMessageW(h, WM_GETDLGCODE, 0, 0)) << "asked for once";

    PushButtonBase first, second;
    HWND a = first.create(dialog, RECT{0, 50, 50, 70}, L"a", BS_AUTORADIOBUTTON | BS_PUSHLIKE | WS_GROUP, 21);
    HWND b = second.create(dialog, RECT{0, 80, 50, 100}, L"b", BS_AUTORADIOBUTTON | BS_PUSHLIKE, 22);
    SendMessageW(a, BM_SETCHECK, BST_CHECKED, 0);
    commands.clear();
    SendMessageW(b, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_CHECKED, SendMessageW(b, BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(a, BM_GETCHECK, 0, 0)) << "the group's other radio is cleared";
    // Clicking the checked radio again changes nothing but still notifies.
    SendMessageW(b, BM_CLICK, 0, 0);
    kvplat::pumpMessages();
    EXPECT_EQ(BST_CHECKED, SendMessageW(b, BM_GETCHECK, 0, 0));
    EXPECT_EQ(2u, commands.size());
}

TEST_F(PushButtons, ThemedAndClassicDrawing)
{
    PushButton b;
    HWND h = create(b, L"Go", BS_DEFPUSHBUTTON);
    std::vector<std::string> themed = drawn(h);
    EXPECT_TRUE(anyLineHas(themed, "DrawThemeBackground part=1 state=5")) << "a default button is drawn defaulted";
    EXPECT_TRUE(anyLineHas(themed, "DrawThemeText part=1 state=5 \"Go\""));
    EXPECT_FALSE(anyLineStarts(themed, "DrawFrameControl"));

    kvplat::setThemeActive(false);
    std::vector<std::string> classic = drawn(h);
    EXPECT_TRUE(anyLineStarts(classic, "LineTo")) << "the default button's black outer frame";
    EXPECT_TRUE(anyLineHas(classic, "DrawFrameControl (1,1,99,29) type=4 state=0x2010"));
    EXPECT_TRUE(anyLineHas(classic, "DrawState \"Go\""));

    SendMessageW(h, WM_LBUTTONDOWN, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(anyLineHas(drawn(h), "state=0x2210")) << "pushed";
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    kvplat::setThemeActive(true);
    SendMessageW(h, WM_LBUTTONDOWN, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(anyLineHas(drawn(h), "DrawThemeBackground part=1 state=3"));
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

TEST_F(PushButtons, ImagesAreOwnedAsToldAndNothingLeaks)
{
    const int before = kvplat::liveGdiTotal();
    {
        PushButton b(true);
        HWND h = create(b, L"Pick", BS_PUSHBUTTON);
        HICON borrowed = static_cast<HICON>(LoadImageW(uitest::libraryResources(), MAKEINTRESOURCEW(10250), IMAGE_ICON, 16, 16, 0));
        EXPECT_EQ(nullptr, b.setImage(borrowed, IMAGE_ICON, false, imageLeft));
        EXPECT_EQ(1, ImageList_GetImageCount(b.imageList()));
        EXPECT_EQ(16, b.imageSize().cx);
        EXPECT_EQ(LRESULT(borrowed), SendMessageW(h, BM_GETIMAGE, IMAGE_ICON, 0));
        HICON owned = static_cast<HICON>(LoadImageW(uitest::libraryResources(), MAKEINTRESOURCEW(10251), IMAGE_ICON, 16, 16, 0));
        EXPECT_EQ(borrowed, b.setImage(owned, IMAGE_ICON, true, imageRight)) << "the borrowed one comes back";
        EXPECT_EQ(nullptr, b.setImage(owned, 7, true, imageLeft)) << "another image type does nothing";
        EnableWindow(h, FALSE);
        kvplat::setThemeActive(false);
        std::vector<std::string> lines = drawn(h);
        EXPECT_TRUE(anyLineHas(lines, "flags=0x23")) << "the disabled image is made from the icon";
        EXPECT_TRUE(anyLineHas(lines, "ImageList_DrawEx")) ;
        EXPECT_EQ(1, b.disabledImage());
        EXPECT_TRUE(anyLineStarts(lines, "Polygon")) << "the drop-down arrow";
        DestroyIcon(borrowed);
        DestroyWindow(h);
    }
    EXPECT_EQ(before, kvplat::liveGdiTotal()) << "owned icon and image list went with the button";
}

TEST_F(PushButtons, TheFrameworkButtonSignalsAndShowsItsToolTip)
{
    ControlColorsPtr colors(new ControlColors());
    colors->setOwner(dialog);
    dv::PushButton b(colors);
    b.setToolTipText(L"Apply the settings");
    int clicks = 0;
    b.clicked.connect([&] { ++clicks; });
    HWND h = create(b, L"Apply", BS_PUSHBUTTON);
    ASSERT_NE(nullptr, colors->toolTip()) << "registered at creation";
    ASSERT_EQ(1u, kvplat::toolTipTools(colors->toolTip()).size());
    NMTTDISPINFOW info{};
    info.hdr.code = TTN_GETDISPINFOW;
    info.hdr.hwndFrom = colors->toolTip();
    SendMessageW(h, WM_NOTIFY, 0, LPARAM(&info));
    EXPECT_EQ(std::wstring(L"Apply the settings"), std::wstring(info.lpszText));
    EXPECT_EQ(L"Apply the settings", kvplat::toolTipTools(colors->toolTip())[0].text) << "asked of the button";
    SendMessageW(h, BM_CLICK, 0, 0);
    kvplat::pumpMessages();
    EXPECT_EQ(1, clicks);
    EXPECT_TRUE(commands.empty()) << "the signal replaces the parent's notification";
    SendMessageW(h, msgSetToolTipText, 0, 0);
    EXPECT_TRUE(kvplat::toolTipTools(colors->toolTip()).empty()) << "no text, no registration";
    bool final = false;
    b.finalMessage.connect([&] { final = true; });
    DestroyWindow(h);
    EXPECT_TRUE(final);
}
