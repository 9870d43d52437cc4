// The parts the controls share: image and text placement, the drop-down arrow,
// the intrusive reference count, the factories, the palette's size and place,
// and the field colour button's focus and destruction.
#include "ui_resources.h"

#include "ui/atl/ButtonDraw.h"
#include "ui/atl/ColorButtonDlg.h"
#include "ui/atl/Menu.h"
#include "ui/atl/PrivateMessages.h"
#include "ui/atl/dv/CheckBox.h"
#include "ui/atl/dv/ColorButton.h"
#include "ui/atl/dv/ControlFactory.h"
#include "ui/atl/layout/DialogLayout.h"
#include "ui/atl/layout/LayoutStateExport.h"

using namespace kv::ui::atl;
using uitest::UiTest;

namespace {

POINT pt(LONG x, LONG y) { return POINT{x, y}; }
bool samePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }
#define EXPECT_POINT(expected, actual) EXPECT_PRED2(samePoint, expected, actual)

} // namespace

TEST(ButtonParts, ImageAndTextArePlacedByFlagsAndAlignment)
{
    const RECT area{0, 0, 100, 40};
    const SIZE text{30, 16}, image{16, 16};
    // Centred, image left: the block of 16 + 4 + 30 sits in the middle.
    ImageTextPlacement p = placeImageAndText(area, text, image, 4, imageLeft, 0, true);
    EXPECT_POINT(pt(25, 12), p.image);
    EXPECT_POINT(pt(45, 12), p.text);
    p = placeImageAndText(area, text, image, 4, imageRight, BS_LEFT | BS_TOP, true);
    EXPECT_POINT(pt(34, 0), p.image);
    EXPECT_POINT(pt(0, 0), p.text);
    p = placeImageAndText(area, text, image, 2, imageAbove, BS_CENTER | BS_BOTTOM, true);
    EXPECT_POINT(pt(42, 6), p.image);
    EXPECT_POINT(pt(35, 24), p.text);
    // Spreading: centred text takes half the extra space as gap ...
    p = placeImageAndText(area, text, image, 4, imageLeft | imageSpread, 0, true);
    EXPECT_POINT(pt(0, 12), p.image);
    EXPECT_POINT(pt(16 + 4 + 25, 12), p.text);
    // ... left-aligned text all of it, unless the image is on that side too.
    p = placeImageAndText(area, text, image, 4, imageRight | imageSpread, BS_LEFT, true);
    EXPECT_POINT(pt(84, 12), p.image);
    EXPECT_POINT(pt(0, 12), p.text);
    p = placeImageAndText(area, text, image, 4, imageLeft | imageSpread, BS_LEFT, true);
    EXPECT_POINT(pt(20, 12), p.text) << "image and text stay together at the left";
    // Without an image the text alone is placed; an empty text takes no gap.
    p = placeImageAndText(area, text, image, 4, imageLeft, 0, false);
    EXPECT_POINT(pt(35, 12), p.text);
    p = placeImageAndText(area, SIZE{0, 0}, image, 4, imageLeft, 0, true);
    EXPECT_POINT(pt(42, 12), p.image);
}

using ButtonDrawing = UiTest;

TEST_F(ButtonDrawing, TheDropDownArrowIsAnEvenTriangle)
{
    HDC dc = GetDC(nullptr);
    kvplat::clearGdiLog();
    drawDropDownArrow(dc, RECT{10, 0, 22, 20}, true);
    // s = 12, margin 2, base 8, y = (20 - 4) / 2.
    EXPECT_TRUE(std::find(kvplat::gdiLog().begin(), kvplat::gdiLog().end(),
                          "Polygon (12,8) (20,8) (16,12) rgb(0,0,0)") != kvplat::gdiLog().end());
    kvplat::clearGdiLog();
    drawDropDownArrow(dc, RECT{0, 0, 3, 3}, false);
    const std::vector<std::string> log = kvplat::gdiLog();
    int polygons = 0;
    for (const auto& l : log)
        polygons += l.compare(0, 7, "Polygon") == 0;
    EXPECT_EQ(2, polygons) << "embossed: a highlight and a shadow";
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(0, kvplat::liveGdiTotal()) << "pens and brushes are deleted";
}

TEST(ButtonParts, IntrusivePointersCountReferences)
{
    struct Counted : kv::RefCountedObj {
        explicit Counted(bool& gone) : m_gone(gone) {}
        ~Counted() override { m_gone = true; }
        bool& m_gone;
    };
    bool gone = false;
    Counted* raw = new Counted(gone);
    {
        kv::IntrusivePtr<Counted> a(raw);
        kv::IntrusivePtr<Counted> b = a;
        EXPECT_EQ(2, raw->refCount());
        b = raw;  // the same object again
        EXPECT_EQ(2, raw->refCount());
        b = nullptr;
        EXPECT_EQ(1, raw->refCount());
        kv::IntrusivePtr<Counted> c(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_FALSE(gone);
    }
    EXPECT_TRUE(gone);
}

namespace {

class Parts : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        dialog = makeDialog(400, 300);
    }
    HWND dialog = nullptr;
};

} // namespace

TEST_F(Parts, FactoriesMakeTheRegisteredKindsOnly)
{
    dv::ControlFactoryList& list = dv::ControlFactoryList::instance();
    EXPECT_FALSE(list.add(L"PushButton", [](const dv::ControlSpec&, const ControlColorsPtr&) { return dv::CreatedControl(); }))
        << "a kind is registered once";
    EXPECT_FALSE(list.add(L"", [](const dv::ControlSpec&, const ControlColorsPtr&) { return dv::CreatedControl(); }));
    ControlColorsPtr colors = list.makeColors(dialog);
    EXPECT_EQ(dialog, colors->owner());
    dv::ControlSpec spec;
    spec.parent = dialog;
    spec.rect = RECT{0, 0, 80, 20};
    spec.text = L"Text";
    spec.toolTip = L"Tip";
    EXPECT_FALSE(list.create(L"Slider", spec, colors).window);
    for (const wchar_t* kind : {L"PushButton", L"CheckBox", L"ColorButton"}) {
        spec.id++;
        dv::CreatedControl made = list.create(kind, spec, colors);
        ASSERT_TRUE(made.window) << std::string(kind, kind + wcslen(kind));
        EXPECT_EQ(int(spec.id), GetDlgCtrlID(made.window));
        EXPECT_EQ(made.button != nullptr, std::wstring(kind) == L"PushButton");
        EXPECT_EQ(made.field != nullptr, std::wstring(kind) != L"PushButton");
        EXPECT_EQ(made.clicked != nullptr, made.button != nullptr);
        if (made.field) {
            EXPECT_EQ(L"Tip", made.field->getText(dv::textToolTip));
        }
        DestroyWindow(made.window);
    }
    spec.parent = nullptr;
    EXPECT_FALSE(list.create(L"PushButton", spec, colors).window) << "no parent, no control";
}

TEST_F(Parts, ThePaletteGrowsToItsGridAndGoesAboveNearTheScreenEdge)
{
    kvplat::setScreenSize(400, 300);
    ColorButton b;
    HWND h = b.create(dialog, RECT{250, 170, 350, 194}, nullptr, 0, 5);
    b.setColor(0xFF0000);
    SendMessageW(h, BM_CLICK, 0, 0);
    ColorButtonDlg* popup = ColorButtonDlg::open();
    ASSERT_NE(nullptr, popup);
    RECT grid, owner, window;
    GetClientRect(popup->grid().m_hWnd, &grid);
    EXPECT_EQ(8 * 14, grid.right) << "cells of 14 dialog units";
    EXPECT_EQ(5 * 14, grid.bottom);
    GetWindowRect(h, &owner);
    GetWindowRect(popup->m_hWnd, &window);
    EXPECT_EQ(owner.top, window.bottom) << "no room below: above the button";
    EXPECT_EQ(owner.right, window.right) << "no room to the right: aligned to the button's right edge";
    RECT more, preview;
    GetWindowRect(GetDlgItem(popup->m_hWnd, idMoreColors), &more);
    GetWindowRect(GetDlgItem(popup->m_hWnd, idColorPreview), &preview);
    EXPECT_GE(preview.left, more.right + 4);
    // The preview is owner-drawn over its whole area with the popup's colour.
    kvplat::clearGdiLog();
    SendMessageW(GetDlgItem(popup->m_hWnd, idColorPreview), WM_PAINT, 0, 0);
    const std::string area = std::to_string(preview.right - preview.left) + "," +
                             std::to_string(preview.bottom - preview.top) + ")";
    EXPECT_TRUE(anyLineStarts(kvplat::gdiLog(), "FillRect (0,0," + area)) << area;
    EXPECT_TRUE(anyLineHas(kvplat::gdiLog(), "rgb(0,0,255)"));
    EXPECT_EQ(LRESULT(h), SendMessageW(popup->m_hWnd, msgGetOwner, 0, 0));
    SendMessageW(popup->m_hWnd, msgSetOwner, 0, LPARAM(dialog));
    EXPECT_EQ(LRESULT(dialog), SendMessageW(popup->m_hWnd, msgGetOwner, 0, 0));
    SendMessageW(popup->m_hWnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(nullptr, ColorButtonDlg::open());
}

TEST_F(Parts, TheFieldColourButtonReportsLostFocusAndWritesAPendingChangeWhenDestroyed)
{
    ControlColorsPtr colors(new ControlColors());
    colors->setOwner(dialog);
    auto* b = new dv::ColorButton(colors);
    b->initField(L"Color", boost::any(dv::ComColor(0xFF)), 0);
    int lost = 0;
    std::vector<dv::ComColor> written;
    bool final = false;
    b->lostFocus.connect([&](const std::wstring&) { ++lost; });
    b->valueChanged.connect([&](const std::wstring&, unsigned, const boost::any& v) {
        written.push_back(boost::any_cast<dv::ComColor>(v));
    });
    b->finalMessage.connect([&](const std::wstring&) { final = true; });
    HWND h = b->create(dialog, RECT{0, 0, 100, 24}, 3);
    SetFocus(h);
    SendMessageW(h, BM_CLICK, 0, 0);
    ASSERT_NE(nullptr, ColorButtonDlg::open());
    EXPECT_EQ(0, lost) << "the focus went to the control's own popup";
    SendMessageW(ColorButtonDlg::open()->m_hWnd, WM_COMMAND, IDCANCEL, 0);
    HWND other = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 0, 40, 50, 20, dialog, nullptr, nullptr, nullptr);
    SetFocus(other);
    EXPECT_EQ(1, lost);
    b->setState(dv::statePending, dv::statePending);
    DestroyWindow(h);
    EXPECT_EQ(std::vector<dv::ComColor>{0xFF}, written) << "the pending value is written on the way out";
    EXPECT_FALSE(b->getState() & dv::statePending);
    EXPECT_TRUE(final);
    delete b;
}

TEST_F(Parts, TheCheckBoxAnswersItsColoursByState)
{
    ControlColorsPtr colors = dv::ControlFactoryList::instance().makeColors(dialog);
    dv::CheckBox box(colors);
    box.initField(L"B", boost::any(false), 0);
    HWND proxy = box.create(dialog, RECT{0, 0, 100, 20}, L"B", 4);
    HDC dc = GetDC(proxy);
    EXPECT_EQ(LRESULT(GetSysColorBrush(COLOR_WINDOW)), SendMessageW(proxy, WM_CTLCOLORBTN, WPARAM(dc), 0));
    kvplat::clickButton(box.inner());
    EXPECT_EQ(LRESULT(colors->brush2()), SendMessageW(proxy, WM_CTLCOLORBTN, WPARAM(dc), 0)) << "modified";
    EnableWindow(proxy, FALSE);
    EXPECT_EQ(LRESULT(GetSysColorBrush(COLOR_BTNFACE)), SendMessageW(proxy, WM_CTLCOLORBTN, WPARAM(dc), 0));
    ReleaseDC(proxy, dc);
    box.setBackground(RGB(1, 2, 3));
    HDC paint = GetDC(box.inner());
    kvplat::clearGdiLog();
    EXPECT_EQ(1, SendMessageW(box.inner(), WM_ERASEBKGND, WPARAM(paint), 0));
    EXPECT_TRUE(anyLineHas(kvplat::gdiLog(), "opaque (0,0,100,20) rgb(1,2,3)"));
    ReleaseDC(box.inner(), paint);
}

TEST_F(Parts, AttachedLayoutsAreFoundThroughTheTestEntry)
{
    const kvTestEntryTable& entry = *kvAnalyseTestEntry();
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, dialog,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(1002)), nullptr, nullptr);
    ASSERT_NE(nullptr, list);
    void* found[4] = {};
    {
        layout::DialogLayout panel(-1, -1);
        layout::NodeBuilder b(dialog);
        b.begin(layout::makeNode(b, -1, layout::keepClipChildren | layout::horizontal | layout::sizeX | layout::sizeY));
        b.add(layout::makeListCtrlNode(b, 1002, layout::sizeX | layout::sizeY));
        b.end();
        ASSERT_TRUE(panel.attach(dialog, b.root(), 0));
        EXPECT_EQ(&panel, layout::DialogLayout::attachedTo(dialog));
        ASSERT_EQ(1, entry.layoutsWithin(dialog, found, 4));
        EXPECT_EQ(dialog, entry.layoutDialog(found[0]));
    }
    EXPECT_EQ(nullptr, layout::DialogLayout::attachedTo(dialog)) << "a destroyed layout is forgotten";
    EXPECT_EQ(0, entry.layoutsWithin(dialog, found, 4));
}
