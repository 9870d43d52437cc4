// The layout manager on stand-in dialogs: trees built from real dialog items,
// attached, and driven by WM_SIZE; control rectangles, grip, minimum sizes,
// redraw suppression and list-control column fitting.
#include "ui/atl/layout/DialogLayout.h"

#include "platform/kvPlatform.h"

#include <gtest/gtest.h>

#include "layout_test_util.h"

#include <map>
#include <vector>

using namespace kv::ui::atl::layout;
using layouttest::rc;

namespace {

// The layout the test dialog's window procedure forwards to.
DialogLayout* g_layout = nullptr;

LRESULT CALLBACK dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_layout) {
        if (msg == WM_SIZE) {
            g_layout->onSize(hwnd, UINT(wParam));
            return 0;
        }
        if (msg == WM_GETMINMAXINFO) {
            g_layout->onGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A control that answers like an edit control with a selection.
struct FakeEdit {
    DWORD start = 0, end = 0;
    std::vector<std::pair<WPARAM, LPARAM>> setSel;
};
std::map<HWND, FakeEdit> g_edits;

LRESULT CALLBACK fakeEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    FakeEdit& e = g_edits[hwnd];
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_HASSETSEL | DLGC_WANTCHARS;
    case 0x00B0: // EM_GETSEL
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = e.start;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = e.end;
        return MAKELRESULT(e.start, e.end);
    case EM_SETSEL:
        e.setSel.emplace_back(wParam, lParam);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

const UINT kTemplate = 31001;

class DialogLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvplat::reset();
        g_layout = &layout;
        g_edits.clear();
    }
    void TearDown() override
    {
        g_layout = nullptr;
        kvplat::reset();
    }

    // A dialog at a screen offset, with a caption, holding the given controls.
    HWND makeDialog(const std::vector<kvplat::DialogControl>& controls, int outerW = 400,
                    int outerH = 300, DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
                    HWND parent = nullptr)
    {
        kvplat::DialogTemplate t;
        t.x = 300;
        t.y = 200;
        t.width = outerW;
        t.height = outerH;
        t.caption = L"test";
        t.style = style;
        t.controls = controls;
        kvplat::registerDialogTemplate(kTemplate, t);
        HWND dlg = kvplat::createDialogWindow(kTemplate, parent, &dialogProc);
        EXPECT_TRUE(IsWindow(dlg));
        return dlg;
    }

    static kvplat::DialogControl control(const wchar_t* cls, int id, int x, int y, int w, int h,
                                         DWORD style = WS_VISIBLE)
    {
        kvplat::DialogControl c;
        c.className = cls;
        c.id = id;
        c.x = x;
        c.y = y;
        c.width = w;
        c.height = h;
        c.style = style;
        return c;
    }

    static RECT itemRect(HWND dlg, int id)
    {
        HWND item = GetDlgItem(dlg, id);
        RECT r{};
        GetWindowRect(item, &r);
        MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    static SIZE clientSize(HWND dlg)
    {
        RECT r{};
        GetClientRect(dlg, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }

    // Resizes so that the client area gets the given size; the window sends
    // WM_SIZE to the layout.
    static void resizeClient(HWND dlg, int cw, int ch)
    {
        RECT outer{}, client{};
        GetWindowRect(dlg, &outer);
        GetClientRect(dlg, &client);
        const int fw = (outer.right - outer.left) - client.right;
        const int fh = (outer.bottom - outer.top) - client.bottom;
        MoveWindow(dlg, outer.left, outer.top, cw + fw, ch + fh, TRUE);
    }

    static void addColumns(HWND list, const std::vector<int>& widths, const wchar_t* title = nullptr)
    {
        for (int w : widths) {
            LVCOLUMNW col{};
            col.mask = LVCF_WIDTH;
            col.cx = w;
            if (title) {
                col.mask |= LVCF_TEXT;
                col.pszText = const_cast<wchar_t*>(title);
            }
            int count = int(SendMessageW(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)),
                                         HDM_GETITEMCOUNT, 0, 0));
            SendMessageW(list, LVM_INSERTCOLUMNW, WPARAM(count), LPARAM(&col));
        }
    }

    static std::vector<int> columnWidths(HWND list)
    {
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        int n = int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
        std::vector<int> w;
        for (int i = 0; i < n; ++i)
            w.push_back(int(SendMessageW(list, LVM_GETCOLUMNWIDTH, WPARAM(i), 0)));
        return w;
    }

    static int listClientWidth(HWND list)
    {
        RECT r{};
        GetClientRect(list, &r);
        return r.right - r.left;
    }

    static int sum(const std::vector<int>& v)
    {
        int s = 0;
        for (int x : v) s += x;
        return s;
    }

    // Builds and attaches a one-list tree as the single-face panel does.
    bool attachListPanel(HWND dlg, int id, std::uint32_t rootFlags, std::uint32_t listFlags)
    {
        NodeBuilder b(dlg);
        b.begin(makeNode(b, 0, rootFlags));
        b.add(makeListCtrlNode(b, id, listFlags));
        b.end();
        if (!b.ok())
            return false;
        return layout.attach(dlg, b.root(), b.gripId());
    }

    DialogLayout layout{-1, -1};
};

} // namespace

// ---------------------------------------------------------------- building

TEST_F(DialogLayoutTest, WindowNodesStartWhereTheirItemsStandInClientCoordinates)
{
    HWND dlg = makeDialog({control(WC_BUTTONW, 11, 20, 30, 80, 25),
                           control(WC_LISTVIEWW, 12, 10, 70, 200, 150)});
    NodeBuilder b(dlg);
    NodePtr root = makeNode(b, 0, horizontal);
    ASSERT_TRUE(b.begin(root));
    NodePtr button = makeWindowNode(b, 11, 0);
    NodePtr list = makeListCtrlNode(b, 12, sizeX);
    ASSERT_TRUE(button && list);
    EXPECT_RECT(rc(20, 30, 100, 55), button->reference());
    EXPECT_RECT(rc(20, 30, 100, 55), button->current());
    EXPECT_RECT(rc(10, 70, 210, 220), list->reference());
    EXPECT_EQ(root.get(), button->parent());
    EXPECT_EQ(GetDlgItem(dlg, 12), static_cast<WindowNode*>(list.get())->window());
    EXPECT_TRUE(dynamic_cast<ListCtrlNode*>(list.get()) != nullptr);
}

TEST_F(DialogLayoutTest, AMissingItemSpoilsTheWholeBuild)
{
    HWND dlg = makeDialog({control(WC_BUTTONW, 11, 20, 30, 80, 25)});
    {
        NodeBuilder b(dlg);
        EXPECT_FALSE(makeWindowNode(b, 99, 0));
        EXPECT_FALSE(makeWindowNode(b, -1, 0));
        EXPECT_FALSE(makeListCtrlNode(b, 99, 0));
        ASSERT_TRUE(b.begin(makeNode(b, 0, horizontal)));
        EXPECT_FALSE(b.add(makeListCtrlNode(b, 99, sizeX)));
        EXPECT_FALSE(b.ok());
        // Nothing succeeds afterwards, not even valid steps.
        EXPECT_FALSE(b.add(makeWindowNode(b, 11, 0)));
        EXPECT_FALSE(b.end());
        EXPECT_FALSE(b.ok());
        EXPECT_EQ(0, b.gripId());
    }
    // The dialog then stays without a layout: resizing moves nothing.
    resizeClient(dlg, 600, 500);
    EXPECT_RECT(rc(20, 30, 100, 55), itemRect(dlg, 11));
    EXPECT_FALSE(layout.root());
}

TEST_F(DialogLayoutTest, BuilderStepsWithoutAnOpenContainerFail)
{
    HWND dlg = makeDialog({control(WC_BUTTONW, 11, 20, 30, 80, 25)});
    NodeBuilder addFirst(dlg);
    EXPECT_FALSE(addFirst.add(makeWindowNode(addFirst, 11, 0)));
    EXPECT_FALSE(addFirst.ok());

    NodeBuilder endFirst(dlg);
    EXPECT_FALSE(endFirst.end());
    EXPECT_FALSE(endFirst.ok());

    NodeBuilder nullBegin(dlg);
    EXPECT_FALSE(nullBegin.begin(NodePtr()));
    EXPECT_FALSE(nullBegin.ok());

    // A container after the root was closed has nowhere to go.
    NodeBuilder closed(dlg);
    ASSERT_TRUE(closed.begin(makeNode(closed, 0, horizontal)));
    ASSERT_TRUE(closed.end());
    EXPECT_FALSE(closed.begin(makeNode(closed, 0, vertical)));
    EXPECT_FALSE(closed.ok());
}

TEST_F(DialogLayoutTest, NestedContainersAreClosedBackToTheirParents)
{
    HWND dlg = makeDialog({control(WC_BUTTONW, 11, 10, 10, 50, 20),
                           control(WC_BUTTONW, 12, 10, 40, 50, 20),
                           control(WC_BUTTONW, 13, 10, 70, 50, 20)});
    NodeBuilder b(dlg);
    NodePtr root = makeNode(b, 0, vertical);
    ASSERT_TRUE(b.begin(root));
    NodePtr group = makeWindowNode(b, 11, horizontal);
    ASSERT_TRUE(b.begin(group));
    ASSERT_TRUE(b.add(makeWindowNode(b, 12, 0)));
    ASSERT_TRUE(b.end());
    ASSERT_TRUE(b.add(makeWindowNode(b, 13, 0)));
    ASSERT_TRUE(b.end());
    ASSERT_TRUE(b.ok());
    EXPECT_EQ(root, b.root());
    ASSERT_EQ(2u, root->children().size());
    EXPECT_EQ(group, root->children()[0]);
    EXPECT_EQ(1u, group->children().size());
    EXPECT_EQ(13, root->lastChild()->id());
}

// ---------------------------------------------------------------- attach

TEST_F(DialogLayoutTest, AttachTakesTheClientAreaAsReferenceAndMinimum)
{
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 5, 5, 300, 200)});
    ASSERT_TRUE(attachListPanel(dlg, 1002, 0x12003, sizeX | sizeY));
    const SIZE c = clientSize(dlg);
    EXPECT_RECT(rc(0, 0, c.cx, c.cy), layout.root()->reference());
    EXPECT_RECT(rc(0, 0, c.cx, c.cy), layout.root()->current());
    EXPECT_EQ(c.cx, layout.minWidth());
    EXPECT_EQ(c.cy, layout.minHeight());
    EXPECT_EQ(400, layout.initialOuterWidth());
    EXPECT_EQ(300, layout.initialOuterHeight());
    EXPECT_EQ(-1, layout.sizeHint().cx);
}

TEST_F(DialogLayoutTest, AttachTurnsOnClipChildrenOnlyForSizingRootsWithoutTheKeepFlag)
{
    struct Case { std::uint32_t rootFlags; bool expectClip; };
    for (Case k : {Case{horizontal | sizeX, true}, Case{vertical | sizeY, true},
                   Case{horizontal, false}, Case{0x12003, false}}) {
        kvplat::reset();
        HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 5, 5, 300, 200)});
        ASSERT_FALSE(GetWindowLongW(dlg, GWL_STYLE) & WS_CLIPCHILDREN);
        DialogLayout l(-1, -1);
        NodeBuilder b(dlg);
        b.begin(makeNode(b, 0, k.rootFlags));
        b.add(makeListCtrlNode(b, 1002, sizeX));
        b.end();
        ASSERT_TRUE(l.attach(dlg, b.root(), 0));
        EXPECT_EQ(k.expectClip, (GetWindowLongW(dlg, GWL_STYLE) & WS_CLIPCHILDREN) != 0)
            << std::hex << k.rootFlags;
    }
}

TEST_F(DialogLayoutTest, ARefusedTreeKeepsThePreviousLayout)
{
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 5, 5, 300, 200)});
    ASSERT_TRUE(attachListPanel(dlg, 1002, 0x12003, sizeX | sizeY));
    NodePtr before = layout.root();
    const int minW = layout.minWidth();

    EXPECT_FALSE(layout.attach(dlg, NodePtr(), 0));

    class Invalid : public Node {
    public:
        Invalid() : Node(0, horizontal, nullptr) {}
        bool validate() override { return false; }
    };
    EXPECT_FALSE(layout.attach(dlg, NodePtr(new Invalid), 0));
    EXPECT_EQ(before, layout.root());
    EXPECT_EQ(minW, layout.minWidth());

    const SIZE c = clientSize(dlg);
    resizeClient(dlg, c.cx + 40, c.cy + 30);
    EXPECT_RECT(rc(5, 5, 345, 235), itemRect(dlg, 1002));
}

TEST_F(DialogLayoutTest, ARootFromStoredStateDefinesTheReferenceClientArea)
{
    HWND dlg = makeDialog({control(WC_BUTTONW, 11, 10, 10, 50, 20)});
    NodePtr root(new Node(0, horizontal | sizeX | rootFromState, nullptr));
    NodeBuilder b(dlg);
    ASSERT_TRUE(b.begin(root));
    ASSERT_TRUE(b.add(makeWindowNode(b, 11, sizeX)));
    ASSERT_TRUE(b.end());
    RECT outer{};
    GetWindowRect(dlg, &outer);
    const SIZE c = clientSize(dlg);
    ASSERT_TRUE(layout.attach(dlg, b.root(), 0));
    // Built without a rectangle: the union of the children stands in.
    EXPECT_RECT(rc(10, 10, 60, 30), root->reference());
    EXPECT_EQ(50, layout.minWidth());
    EXPECT_EQ(20, layout.minHeight());
    EXPECT_EQ(50 + (outer.right - outer.left - c.cx), layout.initialOuterWidth());
    EXPECT_EQ(20 + (outer.bottom - outer.top - c.cy), layout.initialOuterHeight());
    RECT after{};
    GetWindowRect(dlg, &after);
    EXPECT_RECT(outer, after) << "the window itself is not resized";
}

// ---------------------------------------------------------------- the analysis panels' trees

TEST_F(DialogLayoutTest, SingleFacePanelListFollowsBothAxes)
{
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 8, 8, 280, 200)});
    ASSERT_TRUE(attachListPanel(dlg, 1002, 0x12003, sizeX | sizeY));
    layout.onSize(dlg, SIZE_RESTORED);
    EXPECT_RECT(rc(8, 8, 288, 208), itemRect(dlg, 1002));
    const SIZE c = clientSize(dlg);
    resizeClient(dlg, c.cx + 120, c.cy + 75);
    EXPECT_RECT(rc(8, 8, 408, 283), itemRect(dlg, 1002));
    resizeClient(dlg, c.cx + 10, c.cy + 5);
    EXPECT_RECT(rc(8, 8, 298, 213), itemRect(dlg, 1002));
}

TEST_F(DialogLayoutTest, MultiFacePanelListFollowsTheWidthOnly)
{
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1070, 4, 40, 300, 150)});
    ASSERT_TRUE(attachListPanel(dlg, 1070, 0x12001, sizeX));
    const SIZE c = clientSize(dlg);
    resizeClient(dlg, c.cx + 50, c.cy + 50);
    EXPECT_RECT(rc(4, 40, 354, 190), itemRect(dlg, 1070));
}

TEST_F(DialogLayoutTest, GroupListTreeKeepsTheButtonAtTheRightOfItsGrowingRow)
{
    // The group lists live inside their panel as child dialogs: the width is
    // free there although the tree's root does not size it.
    HWND panel = CreateWindowExW(0, WC_STATICW, L"panel", WS_POPUP, 0, 0, 900, 700, nullptr,
                                 nullptr, nullptr, nullptr);
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 24394, 5, 5, 150, 200),
                           control(WC_BUTTONW, 1078, 160, 5, 200, 60, WS_VISIBLE | BS_GROUPBOX),
                           control(WC_STATICW, 1079, 165, 20, 120, 20),
                           control(WC_BUTTONW, 1061, 295, 20, 60, 25)},
                          400, 300, WS_CHILD | WS_VISIBLE, panel);
    NodeBuilder b(dlg);
    b.begin(makeNode(b, 0, 0x12002));
    b.add(makeWindowNode(b, 24394, sizeY));
    b.begin(makeWindowNode(b, 1078, horizontal | sizeX));
    b.add(makeWindowNode(b, 1079, sizeX));
    b.add(makeWindowNode(b, 1061, moveXRight));
    b.end();
    b.end();
    ASSERT_TRUE(b.ok());
    ASSERT_TRUE(layout.attach(dlg, b.root(), b.gripId()));
    layout.onSize(dlg, SIZE_RESTORED);

    const SIZE c = clientSize(dlg);
    resizeClient(dlg, c.cx + 100, c.cy + 40);
    EXPECT_RECT(rc(5, 5, 155, 245), itemRect(dlg, 24394));
    EXPECT_RECT(rc(160, 5, 460, 65), itemRect(dlg, 1078));
    EXPECT_RECT(rc(165, 20, 385, 40), itemRect(dlg, 1079));
    EXPECT_RECT(rc(395, 20, 455, 45), itemRect(dlg, 1061));
}

// ---------------------------------------------------------------- size changes

TEST_F(DialogLayoutTest, ShrinkingBelowTheAttachSizeKeepsTheMinimumPlacement)
{
    // A panel is a child of its window: nothing stops it from getting smaller.
    HWND host = CreateWindowExW(0, WC_STATICW, L"host", WS_POPUP, 0, 0, 900, 700, nullptr,
                                nullptr, nullptr, nullptr);
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 8, 8, 280, 200),
                           control(WC_BUTTONW, 1, 300, 240, 60, 20)},
                          400, 300, WS_CHILD | WS_VISIBLE, host);
    NodeBuilder b(dlg);
    b.begin(makeNode(b, 0, horizontal | sizeX | sizeY));
    b.add(makeListCtrlNode(b, 1002, sizeX | sizeY));
    b.add(makeWindowNode(b, 1, moveXRight | moveYBottom));
    b.end();
    ASSERT_TRUE(layout.attach(dlg, b.root(), 0));
    const SIZE c = clientSize(dlg);
    resizeClient(dlg, c.cx + 60, c.cy + 60);
    resizeClient(dlg, c.cx - 100, c.cy - 80);
    ASSERT_EQ(c.cx - 100, clientSize(dlg).cx);
    EXPECT_RECT(rc(8, 8, 288, 208), itemRect(dlg, 1002));
    EXPECT_RECT(rc(300, 240, 360, 260), itemRect(dlg, 1));
    EXPECT_RECT(rc(0, 0, c.cx, c.cy), layout.root()->current());
}

TEST_F(DialogLayoutTest, ResizingInStepsEndsWhereOneResizeEnds)
{
    auto build = [this](HWND dlg, DialogLayout& l) {
        NodeBuilder b(dlg);
        b.begin(makeNode(b, 0, horizontal | sizeX | sizeY));
        b.add(makeWindowNode(b, 1, sizeX | sizeY));
        b.begin(makeWindowNode(b, 2, vertical | sizeX | sizeY | moveXPrev));
        b.add(makeWindowNode(b, 3, sizeY | sizeX));
        b.add(makeWindowNode(b, 4, sizeY | moveYPrev));
        b.end();
        b.add(makeWindowNode(b, 5, moveXRight | moveYBottom));
        b.end();
        ASSERT_TRUE(l.attach(dlg, b.root(), 0));
    };
    const std::vector<kvplat::DialogControl> items = {
        control(WC_STATICW, 1, 5, 5, 100, 200), control(WC_STATICW, 2, 110, 5, 180, 200),
        control(WC_STATICW, 3, 115, 10, 170, 90), control(WC_STATICW, 4, 115, 110, 100, 80),
        control(WC_BUTTONW, 5, 300, 230, 60, 20)};
    HWND stepped = makeDialog(items);
    build(stepped, layout);
    const SIZE c = clientSize(stepped);
    for (SIZE s : {SIZE{c.cx + 300, c.cy + 20}, SIZE{c.cx - 50, c.cy + 200},
                   SIZE{c.cx + 7, c.cy - 30}, SIZE{c.cx + 333, c.cy + 111}, SIZE{c.cx + 91, c.cy + 37}})
        resizeClient(stepped, s.cx, s.cy);

    DialogLayout other(-1, -1);
    g_layout = &other;
    HWND direct = makeDialog(items);
    build(direct, other);
    resizeClient(direct, c.cx + 91, c.cy + 37);
    for (int id = 1; id <= 5; ++id)
        EXPECT_RECT(itemRect(direct, id), itemRect(stepped, id)) << "item " << id;
}

TEST_F(DialogLayoutTest, MinimisingMovesNothingAndRestoringLaysOutAgain)
{
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 8, 8, 280, 200)});
    ASSERT_TRUE(attachListPanel(dlg, 1002, 0x12003, sizeX | sizeY));
    // The client area changes while the window is minimised: no layout yet.
    g_layout = nullptr;
    RECT outer{};
    GetWindowRect(dlg, &outer);
    SetWindowPos(dlg, nullptr, 0, 0, outer.right - outer.left + 40, outer.bottom - outer.top + 40,
                 SWP_NOMOVE | SWP_NOZORDER);
    g_layout = &layout;
    layout.onSize(dlg, SIZE_MINIMIZED);
    EXPECT_EQ(SW_SHOWMINIMIZED, layout.showState());
    EXPECT_RECT(rc(8, 8, 288, 208), itemRect(dlg, 1002));
    layout.onSize(dlg, SIZE_RESTORED);
    EXPECT_EQ(SW_SHOW, layout.showState());
    EXPECT_RECT(rc(8, 8, 328, 248), itemRect(dlg, 1002));

    // Other size types are ignored altogether.
    layout.onSize(dlg, 4);
    EXPECT_EQ(SW_SHOW, layout.showState());
}

TEST_F(DialogLayoutTest, TheGripHidesWhileMaximisedOnly)
{
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 8, 8, 280, 200),
                           control(WC_STATICW, 77, 380, 270, 12, 12)});
    HWND grip = GetDlgItem(dlg, 77);
    ShowWindow(dlg, SW_SHOW);
    NodeBuilder b(dlg);
    b.begin(makeNode(b, 0, 0x12003));
    b.add(makeListCtrlNode(b, 1002, sizeX | sizeY));
    b.end();
    ASSERT_TRUE(layout.attach(dlg, b.root(), 77));

    int gripShows = 0;
    kvplat::setMessageLogHook([&](HWND h, UINT m, WPARAM, LPARAM) {
        if (h == grip && m == WM_SHOWWINDOW) ++gripShows;
    });
    layout.onSize(dlg, SIZE_MAXIMIZED);
    EXPECT_FALSE(IsWindowVisible(grip));
    layout.onSize(dlg, SIZE_MAXIMIZED);
    layout.onSize(dlg, SIZE_RESTORED);
    EXPECT_TRUE(IsWindowVisible(grip));
    EXPECT_EQ(2, gripShows);
    // Hidden by the dialog itself: a grip call would show it again.
    ShowWindow(grip, SW_HIDE);
    layout.onSize(dlg, SIZE_MINIMIZED);
    layout.onSize(dlg, SIZE_RESTORED);
    EXPECT_FALSE(IsWindowVisible(grip)) << "restored and minimised are the same side";
    kvplat::setMessageLogHook(nullptr);
}

TEST_F(DialogLayoutTest, WithoutAGripIdNoItemIsHidden)
{
    // An item without an id (0) must not be taken for the grip.
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 8, 8, 280, 200),
                           control(WC_STATICW, 0, 380, 270, 12, 12)});
    ShowWindow(dlg, SW_SHOW);
    ASSERT_TRUE(attachListPanel(dlg, 1002, 0x12003, sizeX | sizeY));
    layout.onSize(dlg, SIZE_MAXIMIZED);
    for (HWND child : kvplat::childWindows(dlg))
        EXPECT_TRUE(IsWindowVisible(child));
}

TEST_F(DialogLayoutTest, AnUnchangedSizeNeitherMovesNorRedraws)
{
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 8, 8, 280, 200)});
    ShowWindow(dlg, SW_SHOW);
    ASSERT_TRUE(attachListPanel(dlg, 1002, 0x12003, sizeX | sizeY));
    layout.onSize(dlg, SIZE_RESTORED);
    kvplat::pumpMessages();

    HWND list = GetDlgItem(dlg, 1002);
    int moves = 0;
    kvplat::setMessageLogHook([&](HWND h, UINT m, WPARAM, LPARAM) {
        if (h == list && (m == WM_WINDOWPOSCHANGED || m == WM_SIZE || m == WM_MOVE)) ++moves;
    });
    const int invalidated = kvplat::invalidateCount(dlg);
    layout.onSize(dlg, SIZE_RESTORED);
    layout.relayout(dlg, 0);
    EXPECT_EQ(0, moves);
    EXPECT_EQ(invalidated, kvplat::invalidateCount(dlg));

    layout.relayout(dlg, DialogLayout::redrawUnchanged);
    EXPECT_EQ(0, moves);
    EXPECT_GT(kvplat::invalidateCount(dlg), invalidated);

    // Forced: the layout runs though the size did not change.
    layout.relayout(dlg, DialogLayout::forceLayout);
    EXPECT_GT(moves, 0);
    kvplat::setMessageLogHook(nullptr);

    // A hidden dialog is not redrawn.
    ShowWindow(dlg, SW_HIDE);
    const int hiddenCount = kvplat::invalidateCount(dlg);
    layout.relayout(dlg, DialogLayout::redrawUnchanged);
    EXPECT_EQ(hiddenCount, kvplat::invalidateCount(dlg));
}

TEST_F(DialogLayoutTest, DrawingIsSwitchedOffWhileControlsMove)
{
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 8, 8, 280, 200)});
    ShowWindow(dlg, SW_SHOW);
    ASSERT_TRUE(attachListPanel(dlg, 1002, 0x12003, sizeX | sizeY));
    HWND list = GetDlgItem(dlg, 1002);
    int moves = 0, movesWhileDrawing = 0;
    kvplat::setMessageLogHook([&](HWND h, UINT m, WPARAM, LPARAM) {
        if (h == list && m == WM_WINDOWPOSCHANGED) {
            ++moves;
            if (kvplat::isRedrawEnabled(dlg)) ++movesWhileDrawing;
        }
    });
    const int invalidated = kvplat::invalidateCount(dlg);
    const SIZE c = clientSize(dlg);
    resizeClient(dlg, c.cx + 30, c.cy + 30);
    kvplat::setMessageLogHook(nullptr);
    EXPECT_GT(moves, 0);
    EXPECT_EQ(0, movesWhileDrawing);
    EXPECT_TRUE(kvplat::isRedrawEnabled(dlg));
    EXPECT_TRUE(IsWindowVisible(dlg));
    EXPECT_GT(kvplat::invalidateCount(dlg), invalidated);
}

TEST_F(DialogLayoutTest, ScrolledContentIsLaidOutFromTheScrollOrigin)
{
    HWND dlg = makeDialog({control(WC_BUTTONW, 1, 10, 50, 60, 20)},
                          400, 300, WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_VSCROLL);
    NodeBuilder b(dlg);
    b.begin(makeNode(b, 0, 0x12003));
    b.add(makeWindowNode(b, 1, 0));
    b.end();
    ASSERT_TRUE(layout.attach(dlg, b.root(), 0));
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = 500;
    si.nPage = 100;
    si.nPos = 30;
    SetScrollInfo(dlg, SB_VERT, &si, FALSE);
    layout.relayout(dlg, 0);
    EXPECT_RECT(rc(10, 20, 70, 40), itemRect(dlg, 1));
}

TEST_F(DialogLayoutTest, TrackingSizeIsBoundedByTheAttachSize)
{
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1070, 4, 40, 300, 150)});
    MINMAXINFO before{};
    before.ptMaxTrackSize = POINT{5000, 5000};
    MINMAXINFO info = before;
    layout.onGetMinMaxInfo(&info);
    EXPECT_EQ(0, info.ptMinTrackSize.x) << "nothing attached: unchanged";

    ASSERT_TRUE(attachListPanel(dlg, 1070, 0x12001, sizeX));
    info = before;
    layout.onGetMinMaxInfo(&info);
    EXPECT_EQ(400, info.ptMinTrackSize.x);
    EXPECT_EQ(300, info.ptMinTrackSize.y);
    EXPECT_EQ(5000, info.ptMaxTrackSize.x) << "the root sizes the width";
    EXPECT_EQ(300, info.ptMaxTrackSize.y) << "but not the height";

    // The user cannot drag the frame below it.
    kvplat::userResize(dlg, 200, 100);
    RECT outer{};
    GetWindowRect(dlg, &outer);
    EXPECT_EQ(400, outer.right - outer.left);
    EXPECT_EQ(300, outer.bottom - outer.top);
}

// ---------------------------------------------------------------- list columns

TEST_F(DialogLayoutTest, ColumnsThatFillTheListKeepFillingIt)
{
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 8, 8, 280, 200, WS_VISIBLE | LVS_REPORT)});
    HWND list = GetDlgItem(dlg, 1002);
    const int cw = listClientWidth(list);
    addColumns(list, {cw / 4, cw - cw / 4});
    ASSERT_TRUE(attachListPanel(dlg, 1002, 0x12003, sizeX | sizeY));
    const SIZE c = clientSize(dlg);
    for (int grow : {100, 37, 250, 0, 13}) {
        resizeClient(dlg, c.cx + grow, c.cy);
        const std::vector<int> w = columnWidths(list);
        EXPECT_EQ(listClientWidth(list), sum(w)) << "grow " << grow;
        // The proportions the user left stay: a quarter and three quarters.
        EXPECT_NEAR(double(w[0]) / sum(w), double(cw / 4) / cw, 0.01) << "grow " << grow;
    }
}

TEST_F(DialogLayoutTest, NarrowerColumnsStayAsTheUserLeftThem)
{
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 8, 8, 280, 200, WS_VISIBLE | LVS_REPORT)});
    HWND list = GetDlgItem(dlg, 1002);
    addColumns(list, {60, 80});
    ASSERT_TRUE(attachListPanel(dlg, 1002, 0x12003, sizeX | sizeY));
    const SIZE c = clientSize(dlg);
    resizeClient(dlg, c.cx + 150, c.cy);
    EXPECT_EQ((std::vector<int>{60, 80}), columnWidths(list));
    resizeClient(dlg, c.cx + 20, c.cy);
    EXPECT_EQ((std::vector<int>{60, 80}), columnWidths(list));
}

TEST_F(DialogLayoutTest, ColumnsWiderThanTheListAreFittedWhenItGrowsPastThem)
{
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 8, 8, 280, 200, WS_VISIBLE | LVS_REPORT)});
    HWND list = GetDlgItem(dlg, 1002);
    const int cw = listClientWidth(list);
    addColumns(list, {cw / 2 + 20, cw / 2 + 20});
    ASSERT_TRUE(attachListPanel(dlg, 1002, 0x12003, sizeX | sizeY));
    const SIZE c = clientSize(dlg);
    // Still narrower than the columns: they stay.
    resizeClient(dlg, c.cx + 10, c.cy);
    EXPECT_EQ(2 * (cw / 2 + 20), sum(columnWidths(list)));
    // Past them: the columns take the whole client width.
    resizeClient(dlg, c.cx + 200, c.cy);
    EXPECT_EQ(listClientWidth(list), sum(columnWidths(list)));
}

TEST_F(DialogLayoutTest, NarrowerColumnsAreFittedWhenTheListShrinksPastThem)
{
    HWND host = CreateWindowExW(0, WC_STATICW, L"host", WS_POPUP, 0, 0, 900, 700, nullptr,
                                nullptr, nullptr, nullptr);
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 8, 8, 280, 200, WS_VISIBLE | LVS_REPORT)},
                          400, 300, WS_CHILD | WS_VISIBLE, host);
    HWND list = GetDlgItem(dlg, 1002);
    addColumns(list, {50});
    ASSERT_TRUE(attachListPanel(dlg, 1002, 0x12003, sizeX | sizeY));
    const SIZE c = clientSize(dlg);
    resizeClient(dlg, c.cx + 200, c.cy);
    // The user leaves the column a little narrower than the wide list.
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LPARAM(listClientWidth(list) - 60));

    // Shrinking past the column: it is fitted before the list moves, so the
    // list never shows it wider than itself, and it is not fitted twice.
    int sets = 0;
    std::vector<int> widthAtMove;
    kvplat::setMessageLogHook([&](HWND h, UINT m, WPARAM, LPARAM) {
        if (h != list) return;
        if (m == LVM_SETCOLUMNWIDTH) ++sets;
        if (m == WM_WINDOWPOSCHANGED)
            widthAtMove.push_back(int(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0)));
    });
    resizeClient(dlg, c.cx + 20, c.cy);
    kvplat::setMessageLogHook(nullptr);
    const int finalClient = listClientWidth(list);
    EXPECT_EQ(std::vector<int>{finalClient}, columnWidths(list));
    EXPECT_EQ(1, sets);
    ASSERT_FALSE(widthAtMove.empty());
    EXPECT_EQ(finalClient, widthAtMove.front());
}

TEST_F(DialogLayoutTest, ColumnsAddedAfterBuildingAreTakenInAtTheNextLayout)
{
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 8, 8, 280, 200, WS_VISIBLE | LVS_REPORT)});
    HWND list = GetDlgItem(dlg, 1002);
    const int cw = listClientWidth(list);
    addColumns(list, {cw});
    ASSERT_TRUE(attachListPanel(dlg, 1002, 0x12003, sizeX | sizeY));
    auto* node = static_cast<ListCtrlNode*>(layout.root()->children()[0].get());
    const SIZE c = clientSize(dlg);
    resizeClient(dlg, c.cx + 10, c.cy);
    ASSERT_EQ(1u, node->columns().size());

    // Two more columns that together with the first fill the list exactly.
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LPARAM(listClientWidth(list) - 100));
    addColumns(list, {40, 60});
    resizeClient(dlg, c.cx + 110, c.cy);
    ASSERT_EQ(3u, node->columns().size());
    EXPECT_EQ(listClientWidth(list), sum(columnWidths(list)));
}

TEST_F(DialogLayoutTest, FittingSharesTheWidthByWeightAndSparesFixedColumns)
{
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 8, 8, 280, 200, WS_VISIBLE | LVS_REPORT)});
    HWND list = GetDlgItem(dlg, 1002);
    // Titled columns: an auto-size request would give them a width of their own.
    addColumns(list, {10, 30, 50}, L"a column title of some length");
    NodeBuilder b(dlg);
    NodePtr n = makeListCtrlNode(b, 1002, sizeX);
    auto* node = static_cast<ListCtrlNode*>(n.get());
    node->syncColumns();
    ASSERT_EQ(3u, node->columns().size());
    EXPECT_EQ(30, node->columns()[1].weight);

    node->columns()[2].fixed = true;
    node->fitColumns(250);
    // 200 over weights 10:30, no pixel lost; the fixed column is untouched.
    EXPECT_EQ((std::vector<int>{50, 150, 50}), columnWidths(list));
    node->fitColumns(251);
    EXPECT_EQ((std::vector<int>{50, 151, 50}), columnWidths(list)) << "the remainder carries on";
    // Fitting repeatedly keeps the weights, so proportions are not eroded.
    node->fitColumns(93);
    node->fitColumns(250);
    EXPECT_EQ((std::vector<int>{50, 150, 50}), columnWidths(list));

    // No room at all: widths go to 0, never to the control's auto-size values
    // (-2 here for the second column without the guard).
    node->fitColumns(48);
    EXPECT_EQ((std::vector<int>{0, 0, 50}), columnWidths(list));

    // Without any weight nothing changes.
    for (ColumnState& s : node->columns()) s.weight = 0;
    node->fitColumns(500);
    EXPECT_EQ((std::vector<int>{0, 0, 50}), columnWidths(list));
}

TEST_F(DialogLayoutTest, FittedMeansWithinOnePixel)
{
    HWND dlg = makeDialog({control(WC_LISTVIEWW, 1002, 8, 8, 280, 200, WS_VISIBLE | LVS_REPORT)});
    HWND list = GetDlgItem(dlg, 1002);
    const int cw = listClientWidth(list);
    addColumns(list, {cw - 1});
    NodeBuilder b(dlg);
    NodePtr n = makeListCtrlNode(b, 1002, sizeX);
    auto* node = static_cast<ListCtrlNode*>(n.get());
    EXPECT_TRUE(node->isFitted());
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LPARAM(cw - 2));
    EXPECT_FALSE(node->isFitted());
    EXPECT_EQ(cw - 2, node->columns()[0].weight) << "a width the user changed becomes the weight";
    DestroyWindow(list);
    EXPECT_FALSE(node->isFitted());
}

TEST_F(DialogLayoutTest, AWindowNodeOwningItsWindowDestroysIt)
{
    HWND dlg = makeDialog({control(WC_BUTTONW, 11, 10, 10, 50, 20),
                           control(WC_BUTTONW, 12, 10, 40, 50, 20)});
    {
        NodeBuilder b(dlg);
        NodePtr owning = makeWindowNode(b, 11, ownsWindow);
        NodePtr plain = makeWindowNode(b, 12, 0);
    }
    EXPECT_FALSE(GetDlgItem(dlg, 11));
    EXPECT_TRUE(GetDlgItem(dlg, 12));
}

// ---------------------------------------------------------------- utilities

TEST_F(DialogLayoutTest, PendingMessagesOfOneNumberAreDropped)
{
    HWND dlg = makeDialog({});
    HWND other = makeDialog({});
    PostMessageW(dlg, WM_USER + 1, 0, 0);
    PostMessageW(dlg, WM_USER + 2, 0, 0);
    PostMessageW(dlg, WM_USER + 1, 0, 0);
    PostMessageW(other, WM_USER + 1, 0, 0);
    removePendingMessages(dlg, WM_USER + 1);
    EXPECT_EQ(2u, kvplat::pendingMessages());
    MSG msg{};
    EXPECT_FALSE(PeekMessageW(&msg, dlg, WM_USER + 1, WM_USER + 1, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessageW(&msg, dlg, WM_USER + 2, WM_USER + 2, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessageW(&msg, other, WM_USER + 1, WM_USER + 1, PM_NOREMOVE));
}

TEST_F(DialogLayoutTest, MovedEditControlsShowTheirSelectionAgain)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = &fakeEditProc;
    wc.lpszClassName = L"LayoutTestEdit";
    RegisterClassW(&wc);
    HWND dlg = makeDialog({control(L"LayoutTestEdit", 1, 10, 10, 100, 20),
                           control(L"LayoutTestEdit", 2, 10, 40, 100, 20),
                           control(WC_BUTTONW, 3, 10, 70, 100, 20)});
    HWND selected = GetDlgItem(dlg, 1);
    HWND unselected = GetDlgItem(dlg, 2);
    g_edits[selected].start = 2;
    g_edits[selected].end = 5;
    g_edits[unselected].start = 0;
    g_edits[unselected].end = 0;

    EnumChildWindows(dlg, &reselectEditText, 0);
    ASSERT_EQ(2u, g_edits[selected].setSel.size());
    EXPECT_EQ(0u, g_edits[selected].setSel[0].first);
    EXPECT_EQ(0, g_edits[selected].setSel[0].second);
    EXPECT_EQ(2u, g_edits[selected].setSel[1].first);
    EXPECT_EQ(5, g_edits[selected].setSel[1].second);
    EXPECT_TRUE(g_edits[unselected].setSel.empty());
    EXPECT_EQ(TRUE, reselectEditText(GetDlgItem(dlg, 3), 0));
}
