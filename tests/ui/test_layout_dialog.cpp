// The layout manager on stand-in dialogs driven by WM_SIZE: control rectangles,
// grip, minimum size, redraw suppression and list-control column fitting.
#include "ui/atl/layout/DialogLayout.h"

#include "platform/kvPlatform.h"

#include <gtest/gtest.h>

#include "layout_test_util.h"

#include <map>
#include <vector>

using namespace kv::ui::atl::layout;
using layouttest::rc;

namespace {

DialogLayout* g_layout = nullptr;

LRESULT CALLBACK dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_layout && msg == WM_SIZE) {
        g_layout->onSize(hwnd, UINT(wParam));
        return 0;
    }
    if (g_layout && msg == WM_GETMINMAXINFO) {
        g_layout->onGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Answers like an edit control holding a selection.
struct FakeEdit { DWORD start = 0, end = 0; std::vector<std::pair<WPARAM, LPARAM>> setSel; };
std::map<HWND, FakeEdit> g_edits;

LRESULT CALLBACK fakeEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    FakeEdit& e = g_edits[hwnd];
    if (msg == WM_GETDLGCODE)
        return DLGC_HASSETSEL | DLGC_WANTCHARS;
    if (msg == EM_GETSEL) {
        *reinterpret_cast<DWORD*>(wParam) = e.start;
        *reinterpret_cast<DWORD*>(lParam) = e.end;
        return 0;
    }
    if (msg == EM_SETSEL)
        e.setSel.emplace_back(wParam, lParam);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

kvplat::DialogControl item(const wchar_t* cls, int id, int x, int y, int w, int h, DWORD style = WS_VISIBLE)
{
    kvplat::DialogControl c;
    c.className = cls;
    c.id = id;
    c.x = x, c.y = y, c.width = w, c.height = h;
    c.style = style;
    return c;
}

const DWORD kTopLevel = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

class DialogLayoutTest : public ::testing::Test {
protected:
    void SetUp() override { kvplat::reset(); g_layout = &layout; g_edits.clear(); }
    void TearDown() override { g_layout = nullptr; kvplat::reset(); }

    // A 400x300 dialog at a screen offset; a child dialog (as the analysis
    // panels are) when child is set, so that no tracking size holds it.
    HWND dialog(const std::vector<kvplat::DialogControl>& controls, bool child = false,
                DWORD style = kTopLevel)
    {
        kvplat::DialogTemplate t;
        t.x = 300, t.y = 200, t.width = 400, t.height = 300;
        t.style = child ? WS_CHILD | WS_VISIBLE : style;
        t.controls = controls;
        kvplat::registerDialogTemplate(31001, t);
        HWND host = child ? CreateWindowExW(0, WC_STATICW, L"", WS_POPUP, 0, 0, 900, 700, nullptr,
                                            nullptr, nullptr, nullptr)
                          : nullptr;
        return kvplat::createDialogWindow(31001, host, &dialogProc);
    }

    static RECT at(HWND dlg, int id)
    {
        RECT r{};
        GetWindowRect(GetDlgItem(dlg, id), &r);
        MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    static SIZE client(HWND h)
    {
        RECT r{};
        GetClientRect(h, &r);
        return SIZE{r.right, r.bottom};
    }
    // Gives the client area a size grown by (dx, dy) from c.
    static void resize(HWND dlg, SIZE c, int dx, int dy)
    {
        RECT o{};
        GetWindowRect(dlg, &o);
        const SIZE now = client(dlg);
        MoveWindow(dlg, o.left, o.top, o.right - o.left - now.cx + c.cx + dx,
                   o.bottom - o.top - now.cy + c.cy + dy, TRUE);
    }
    static void addColumns(HWND list, const std::vector<int>& widths, const wchar_t* title = nullptr)
    {
        for (int w : widths) {
            LVCOLUMNW col{};
            col.mask = LVCF_WIDTH | (title ? LVCF_TEXT : 0);
            col.cx = w;
            col.pszText = const_cast<wchar_t*>(title);
            SendMessageW(list, LVM_INSERTCOLUMNW, 99, LPARAM(&col));
        }
    }
    static std::vector<int> widths(HWND list)
    {
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        std::vector<int> w(std::size_t(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)));
        for (std::size_t i = 0; i < w.size(); ++i)
            w[i] = int(SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0));
        return w;
    }
    static int total(HWND list)
    {
        int s = 0;
        for (int w : widths(list)) s += w;
        return s;
    }
    // The single-face panel's tree (or another root over one list control).
    bool attachList(HWND dlg, int id, std::uint32_t rootFlags = 0x12003,
                    std::uint32_t listFlags = sizeX | sizeY, int grip = 0)
    {
        NodeBuilder b(dlg);
        b.begin(makeNode(b, 0, rootFlags));
        b.add(makeListCtrlNode(b, id, listFlags));
        b.end();
        return b.ok() && layout.attach(dlg, b.root(), grip ? grip : b.gripId());
    }

    DialogLayout layout{-1, -1};
};

} // namespace

TEST_F(DialogLayoutTest, BuilderTakesItemRectanglesAndFailsForGood)
{
    HWND dlg = dialog({item(WC_BUTTONW, 11, 20, 30, 80, 25), item(WC_BUTTONW, 12, 10, 70, 50, 20)});
    NodeBuilder b(dlg);
    NodePtr root = makeNode(b, 0, vertical);
    ASSERT_TRUE(b.begin(root));
    NodePtr group = makeWindowNode(b, 11, horizontal);
    ASSERT_TRUE(b.begin(group));
    EXPECT_RECT(rc(20, 30, 100, 55), group->reference()) << "client coordinates";
    EXPECT_EQ(root.get(), group->parent());
    ASSERT_TRUE(b.add(makeListCtrlNode(b, 12, 0)));
    ASSERT_TRUE(b.end());
    EXPECT_EQ(group, root->lastChild()) << "closed back to the root";
    EXPECT_FALSE(makeWindowNode(b, -1, 0));
    EXPECT_FALSE(b.add(makeWindowNode(b, 99, 0)));
    EXPECT_FALSE(b.ok());
    EXPECT_FALSE(b.end()) << "nothing succeeds after a failed step";

    NodeBuilder addFirst(dlg), endFirst(dlg), closed(dlg);
    EXPECT_FALSE(addFirst.add(makeWindowNode(addFirst, 11, 0)));
    EXPECT_FALSE(endFirst.end());
    ASSERT_TRUE(closed.begin(makeNode(closed, 0, horizontal)) && closed.end());
    EXPECT_FALSE(closed.begin(makeNode(closed, 0, vertical)));
    EXPECT_FALSE(addFirst.ok() || endFirst.ok() || closed.ok());

    // A panel whose list is missing gets no layout at all.
    EXPECT_FALSE(attachList(dlg, 1002));
    EXPECT_FALSE(layout.root());
}

TEST_F(DialogLayoutTest, AttachMeasuresTheDialogAndSetsClipChildrenOnlyWhenAsked)
{
    struct Case { std::uint32_t flags; bool clip; };
    for (Case k : {Case{horizontal | sizeX, true}, Case{vertical | sizeY, true},
                   Case{horizontal, false}, Case{0x12003, false}}) {
        kvplat::reset();
        HWND dlg = dialog({item(WC_LISTVIEWW, 1002, 5, 5, 300, 200)});
        ASSERT_TRUE(attachList(dlg, 1002, k.flags, sizeX));
        EXPECT_EQ(k.clip, (GetWindowLongW(dlg, GWL_STYLE) & WS_CLIPCHILDREN) != 0) << k.flags;
        const SIZE c = client(dlg);
        EXPECT_RECT(rc(0, 0, c.cx, c.cy), layout.root()->reference());
        EXPECT_EQ(c.cx, layout.minWidth());
        EXPECT_EQ(c.cy, layout.minHeight());
        EXPECT_EQ(400, layout.initialOuterWidth());
        EXPECT_EQ(300, layout.initialOuterHeight());
    }
}

TEST_F(DialogLayoutTest, ARefusedTreeKeepsThePreviousOne)
{
    HWND dlg = dialog({item(WC_LISTVIEWW, 1002, 5, 5, 300, 200)});
    ASSERT_TRUE(attachList(dlg, 1002));
    NodePtr before = layout.root();
    struct Invalid : Node {
        Invalid() : Node(0, horizontal, nullptr) {}
        bool validate() override { return false; }
    };
    EXPECT_FALSE(layout.attach(dlg, NodePtr(), 0));
    EXPECT_FALSE(layout.attach(dlg, NodePtr(new Invalid), 0));
    EXPECT_EQ(before, layout.root());
    resize(dlg, client(dlg), 40, 30);
    EXPECT_RECT(rc(5, 5, 345, 235), at(dlg, 1002));
}

TEST_F(DialogLayoutTest, ARootFromStoredStateIsTheReferenceClientArea)
{
    HWND dlg = dialog({item(WC_BUTTONW, 11, 10, 10, 50, 20)});
    NodeBuilder b(dlg);
    b.begin(NodePtr(new Node(0, horizontal | sizeX | rootFromState, nullptr)));
    b.add(makeWindowNode(b, 11, sizeX));
    b.end();
    RECT outer{};
    GetWindowRect(dlg, &outer);
    const SIZE c = client(dlg);
    ASSERT_TRUE(layout.attach(dlg, b.root(), 0));
    EXPECT_RECT(rc(10, 10, 60, 30), layout.root()->reference()) << "the children's union";
    EXPECT_EQ(50, layout.minWidth());
    EXPECT_EQ(50 + 400 - c.cx, layout.initialOuterWidth());
    EXPECT_EQ(20 + 300 - c.cy, layout.initialOuterHeight());
    RECT after{};
    GetWindowRect(dlg, &after);
    EXPECT_RECT(outer, after) << "the window itself is not resized";

    // A root with a rectangle whose current placement was restored larger.
    NodePtr restored(new Node(0, horizontal | rootFromState, rc(0, 0, 100, 60), nullptr));
    restored->setCurrent(rc(0, 0, 120, 80));
    ASSERT_TRUE(layout.attach(dlg, restored, 0));
    EXPECT_RECT(rc(0, 0, 120, 80), restored->reference());
    EXPECT_EQ(80, layout.minHeight());
}

TEST_F(DialogLayoutTest, TheAnalysisPanelTreesFollowTheirDialog)
{
    HWND single = dialog({item(WC_LISTVIEWW, 1002, 8, 8, 280, 200), item(WC_STATICW, 0, 8, 250, 9, 9)});
    ShowWindow(single, SW_SHOW);
    ASSERT_TRUE(attachList(single, 1002));
    layout.onSize(single, SIZE_RESTORED);
    const SIZE c = client(single);
    resize(single, c, 120, 75);
    EXPECT_RECT(rc(8, 8, 408, 283), at(single, 1002));
    resize(single, c, 10, 5);
    EXPECT_RECT(rc(8, 8, 298, 213), at(single, 1002));
    layout.onSize(single, SIZE_MAXIMIZED);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(single, 0))) << "without a grip id no item is the grip";

    // The radius and plane lists: the button stays at the right of its growing row.
    DialogLayout other(-1, -1);
    g_layout = &other;
    HWND list = dialog({item(WC_LISTVIEWW, 24394, 5, 5, 150, 200),
                        item(WC_BUTTONW, 1078, 160, 5, 200, 60, WS_VISIBLE | BS_GROUPBOX),
                        item(WC_STATICW, 1079, 165, 20, 120, 20), item(WC_BUTTONW, 1061, 295, 20, 60, 25)},
                       true);
    NodeBuilder b(list);
    b.begin(makeNode(b, 0, 0x12002));
    b.add(makeWindowNode(b, 24394, sizeY));
    b.begin(makeWindowNode(b, 1078, horizontal | sizeX));
    b.add(makeWindowNode(b, 1079, sizeX));
    b.add(makeWindowNode(b, 1061, moveXRight));
    b.end();
    b.end();
    ASSERT_TRUE(b.ok() && other.attach(list, b.root(), b.gripId()));
    resize(list, client(list), 100, 40);
    EXPECT_RECT(rc(5, 5, 155, 245), at(list, 24394));
    EXPECT_RECT(rc(160, 5, 460, 65), at(list, 1078));
    EXPECT_RECT(rc(165, 20, 385, 40), at(list, 1079));
    EXPECT_RECT(rc(395, 20, 455, 45), at(list, 1061));
}

TEST_F(DialogLayoutTest, BelowTheAttachSizeControlsKeepTheirMinimumPlacement)
{
    HWND dlg = dialog({item(WC_LISTVIEWW, 1002, 8, 8, 280, 200), item(WC_BUTTONW, 1, 300, 240, 60, 20)}, true);
    NodeBuilder b(dlg);
    b.begin(makeNode(b, 0, horizontal | sizeX | sizeY));
    b.add(makeListCtrlNode(b, 1002, sizeX | sizeY));
    b.add(makeWindowNode(b, 1, moveXRight | moveYBottom));
    b.end();
    ASSERT_TRUE(layout.attach(dlg, b.root(), 0));
    const SIZE c = client(dlg);
    resize(dlg, c, 60, 60);
    resize(dlg, c, -100, -80);
    ASSERT_EQ(c.cx - 100, client(dlg).cx);
    EXPECT_RECT(rc(8, 8, 288, 208), at(dlg, 1002));
    EXPECT_RECT(rc(300, 240, 360, 260), at(dlg, 1));
}

TEST_F(DialogLayoutTest, TrackingSizeIsBoundedByTheAttachSize)
{
    HWND dlg = dialog({item(WC_LISTVIEWW, 1070, 4, 40, 300, 150)});
    MINMAXINFO info{};
    info.ptMaxTrackSize = POINT{5000, 5000};
    layout.onGetMinMaxInfo(&info);
    EXPECT_EQ(0, info.ptMinTrackSize.x) << "nothing attached";
    ASSERT_TRUE(attachList(dlg, 1070, 0x12001, sizeX)); // the multi-face panel's tree
    layout.onGetMinMaxInfo(&info);
    EXPECT_EQ(400, info.ptMinTrackSize.x);
    EXPECT_EQ(300, info.ptMinTrackSize.y);
    EXPECT_EQ(5000, info.ptMaxTrackSize.x);
    EXPECT_EQ(300, info.ptMaxTrackSize.y) << "the root does not size the height";
    kvplat::userResize(dlg, 200, 500);
    RECT o{};
    GetWindowRect(dlg, &o);
    EXPECT_RECT(rc(300, 200, 700, 500), o);
}

TEST_F(DialogLayoutTest, MinimisingMovesNothingAndTheGripHidesOnlyWhileMaximised)
{
    HWND dlg = dialog({item(WC_LISTVIEWW, 1002, 8, 8, 280, 200), item(WC_STATICW, 77, 380, 270, 12, 12)});
    ShowWindow(dlg, SW_SHOW);
    ASSERT_TRUE(attachList(dlg, 1002, 0x12003, sizeX | sizeY, 77));
    HWND grip = GetDlgItem(dlg, 77);

    g_layout = nullptr; // the size changes while minimised
    const SIZE c = client(dlg);
    resize(dlg, c, 40, 40);
    g_layout = &layout;
    layout.onSize(dlg, SIZE_MINIMIZED);
    EXPECT_EQ(SW_SHOWMINIMIZED, layout.showState());
    EXPECT_RECT(rc(8, 8, 288, 208), at(dlg, 1002));
    layout.onSize(dlg, SIZE_RESTORED);
    EXPECT_RECT(rc(8, 8, 328, 248), at(dlg, 1002));
    layout.onSize(dlg, 4); // not a size type of ours
    EXPECT_EQ(SW_SHOW, layout.showState());

    layout.onSize(dlg, SIZE_MAXIMIZED);
    EXPECT_FALSE(IsWindowVisible(grip));
    layout.onSize(dlg, SIZE_RESTORED);
    EXPECT_TRUE(IsWindowVisible(grip));
    ShowWindow(grip, SW_HIDE); // a grip call would show it again
    layout.onSize(dlg, SIZE_MINIMIZED);
    layout.onSize(dlg, SIZE_RESTORED);
    EXPECT_FALSE(IsWindowVisible(grip)) << "restored and minimised are the same side";
}

TEST_F(DialogLayoutTest, MovesHappenWithDrawingOffAndOnlyWhenTheSizeChanged)
{
    HWND dlg = dialog({item(WC_LISTVIEWW, 1002, 8, 8, 280, 200)});
    ShowWindow(dlg, SW_SHOW);
    ASSERT_TRUE(attachList(dlg, 1002));
    HWND list = GetDlgItem(dlg, 1002);
    int moves = 0, movesWhileDrawing = 0;
    kvplat::setMessageLogHook([&](HWND h, UINT m, WPARAM, LPARAM) {
        if (h == list && m == WM_WINDOWPOSCHANGED) {
            ++moves;
            movesWhileDrawing += kvplat::isRedrawEnabled(dlg);
        }
    });
    int redraws = kvplat::invalidateCount(dlg);
    resize(dlg, client(dlg), 30, 30);
    EXPECT_EQ(1, moves);
    EXPECT_EQ(0, movesWhileDrawing);
    EXPECT_TRUE(kvplat::isRedrawEnabled(dlg) && IsWindowVisible(dlg));
    EXPECT_GT(kvplat::invalidateCount(dlg), redraws);

    redraws = kvplat::invalidateCount(dlg);
    layout.onSize(dlg, SIZE_RESTORED);
    EXPECT_EQ(1, moves) << "unchanged size";
    EXPECT_EQ(redraws, kvplat::invalidateCount(dlg));
    layout.relayout(dlg, DialogLayout::redrawUnchanged);
    EXPECT_EQ(1, moves);
    EXPECT_GT(kvplat::invalidateCount(dlg), redraws);
    layout.relayout(dlg, DialogLayout::forceLayout);
    EXPECT_EQ(2, moves);
    kvplat::setMessageLogHook(nullptr);

    ShowWindow(dlg, SW_HIDE);
    redraws = kvplat::invalidateCount(dlg);
    layout.relayout(dlg, DialogLayout::redrawUnchanged);
    EXPECT_EQ(redraws, kvplat::invalidateCount(dlg)) << "a hidden dialog is not redrawn";
}

TEST_F(DialogLayoutTest, ScrolledContentIsLaidOutFromTheScrollOrigin)
{
    HWND dlg = dialog({item(WC_BUTTONW, 1, 10, 50, 60, 20)}, false, kTopLevel | WS_VSCROLL);
    NodeBuilder b(dlg);
    b.begin(makeNode(b, 0, 0x12003));
    b.add(makeWindowNode(b, 1, 0));
    b.end();
    ASSERT_TRUE(layout.attach(dlg, b.root(), 0));
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 500, 100, 30, 0};
    SetScrollInfo(dlg, SB_VERT, &si, FALSE);
    layout.relayout(dlg, 0);
    EXPECT_RECT(rc(10, 20, 70, 40), at(dlg, 1));
}

TEST_F(DialogLayoutTest, ColumnsThatFillTheListKeepFillingItAndNarrowerOnesStay)
{
    HWND dlg = dialog({item(WC_LISTVIEWW, 1002, 8, 8, 280, 200, WS_VISIBLE | LVS_REPORT),
                       item(WC_LISTVIEWW, 1003, 8, 220, 280, 40, WS_VISIBLE | LVS_REPORT)});
    HWND filled = GetDlgItem(dlg, 1002), narrow = GetDlgItem(dlg, 1003);
    const int cw = client(filled).cx;
    addColumns(filled, {cw / 4, cw - cw / 4 - 1}); // one pixel short still fills
    addColumns(narrow, {60, 80});
    NodeBuilder b(dlg);
    b.begin(makeNode(b, 0, vertical | sizeX | sizeY));
    b.add(makeListCtrlNode(b, 1002, sizeX | sizeY));
    b.add(makeListCtrlNode(b, 1003, sizeX | moveYPrev));
    b.end();
    ASSERT_TRUE(layout.attach(dlg, b.root(), 0));
    const SIZE c = client(dlg);
    for (int grow : {100, 37, 250, 0, 13}) {
        resize(dlg, c, grow, 0);
        EXPECT_EQ(client(filled).cx, total(filled)) << grow;
        EXPECT_NEAR(0.25, double(widths(filled)[0]) / total(filled), 0.01) << "proportions kept";
        EXPECT_EQ((std::vector<int>{60, 80}), widths(narrow));
    }
    // Columns added later are taken in; these three fill the list exactly.
    SendMessageW(filled, LVM_SETCOLUMNWIDTH, 1, LPARAM(client(filled).cx - widths(filled)[0] - 100));
    addColumns(filled, {40, 60});
    resize(dlg, c, 120, 0);
    EXPECT_EQ(4u, widths(filled).size());
    EXPECT_EQ(client(filled).cx, total(filled));
}

TEST_F(DialogLayoutTest, ColumnsAreFittedWhenTheListPassesTheirWidth)
{
    HWND dlg = dialog({item(WC_LISTVIEWW, 1002, 8, 8, 280, 200, WS_VISIBLE | LVS_REPORT)}, true);
    HWND list = GetDlgItem(dlg, 1002);
    addColumns(list, {client(list).cx / 2 + 20, client(list).cx / 2 + 20});
    ASSERT_TRUE(attachList(dlg, 1002));
    const SIZE c = client(dlg);
    resize(dlg, c, 10, 0);
    EXPECT_GT(total(list), client(list).cx) << "still wider than the list: kept";
    resize(dlg, c, 200, 0);
    EXPECT_EQ(client(list).cx, total(list));

    // Narrower than the list, then shrunk past them: fitted before the move,
    // so the list never shows them wider than itself, and only once.
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, LPARAM(client(list).cx - widths(list)[0] - 60));
    int sets = 0;
    std::vector<int> totalAtMove;
    kvplat::setMessageLogHook([&](HWND h, UINT m, WPARAM, LPARAM) {
        if (h == list && m == LVM_SETCOLUMNWIDTH) ++sets;
        if (h == list && m == WM_WINDOWPOSCHANGED) totalAtMove.push_back(total(list));
    });
    resize(dlg, c, 20, 0);
    kvplat::setMessageLogHook(nullptr);
    EXPECT_EQ(client(list).cx, total(list));
    EXPECT_EQ(2, sets);
    ASSERT_EQ(1u, totalAtMove.size());
    EXPECT_EQ(client(list).cx, totalAtMove[0]);
}

TEST_F(DialogLayoutTest, FittingSharesByWeightSparesFixedColumnsAndNeverAsksForAutoSize)
{
    HWND dlg = dialog({item(WC_LISTVIEWW, 1002, 8, 8, 280, 200, WS_VISIBLE | LVS_REPORT)});
    HWND list = GetDlgItem(dlg, 1002);
    addColumns(list, {10, 30, 50}, L"a column title of some length");
    NodeBuilder b(dlg);
    NodePtr n = makeListCtrlNode(b, 1002, sizeX);
    auto* node = static_cast<ListCtrlNode*>(n.get());
    EXPECT_FALSE(node->isFitted());
    ASSERT_EQ(3u, node->columns().size());
    node->columns()[2].fixed = true;
    node->fitColumns(251);
    EXPECT_EQ((std::vector<int>{50, 151, 50}), widths(list)) << "the remainder carries on";
    node->fitColumns(93);
    node->fitColumns(250);
    EXPECT_EQ((std::vector<int>{50, 150, 50}), widths(list)) << "weights do not erode";
    // No room: 0, not -2, which the control would take as an auto-size request.
    node->fitColumns(48);
    EXPECT_EQ((std::vector<int>{0, 0, 50}), widths(list));
    for (ColumnState& s : node->columns())
        s.weight = 0;
    node->fitColumns(500);
    EXPECT_EQ((std::vector<int>{0, 0, 50}), widths(list)) << "no weight: left alone";

    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LPARAM(client(list).cx - 51));
    EXPECT_TRUE(node->isFitted()) << "within one pixel";
    EXPECT_EQ(client(list).cx - 51, node->columns()[0].weight) << "a changed width is the new weight";
    DestroyWindow(list);
    EXPECT_FALSE(node->isFitted());
}

TEST_F(DialogLayoutTest, OwnedWindowsPendingMessagesAndEditSelections)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = &fakeEditProc;
    wc.lpszClassName = L"LayoutTestEdit";
    RegisterClassW(&wc);
    HWND dlg = dialog({item(WC_BUTTONW, 11, 10, 10, 50, 20), item(WC_BUTTONW, 12, 10, 40, 50, 20),
                       item(L"LayoutTestEdit", 1, 10, 70, 100, 20), item(L"LayoutTestEdit", 2, 10, 90, 100, 20)});
    {
        NodeBuilder b(dlg);
        NodePtr owning = makeWindowNode(b, 11, ownsWindow), plain = makeWindowNode(b, 12, 0);
    }
    EXPECT_FALSE(GetDlgItem(dlg, 11));
    EXPECT_TRUE(GetDlgItem(dlg, 12));

    HWND other = CreateWindowExW(0, WC_STATICW, L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    for (HWND h : {dlg, dlg, other})
        PostMessageW(h, WM_USER + 1, 0, 0);
    PostMessageW(dlg, WM_USER + 2, 0, 0);
    removePendingMessages(dlg, WM_USER + 1);
    MSG msg{};
    EXPECT_EQ(2u, kvplat::pendingMessages());
    EXPECT_FALSE(PeekMessageW(&msg, dlg, WM_USER + 1, WM_USER + 1, PM_NOREMOVE));

    g_edits[GetDlgItem(dlg, 1)] = FakeEdit{2, 5, {}};
    EnumChildWindows(dlg, &reselectEditText, 0);
    const auto& sel = g_edits[GetDlgItem(dlg, 1)].setSel;
    ASSERT_EQ(2u, sel.size());
    EXPECT_TRUE(sel[0].first == 0 && sel[0].second == 0 && sel[1].first == 2 && sel[1].second == 5);
    EXPECT_TRUE(g_edits[GetDlgItem(dlg, 2)].setSel.empty()) << "a selection ending at 0";
}
