// The layout manager: node arithmetic on plain containers, then stand-in
// dialogs driven by WM_SIZE (grip, minimum size, redraw, column fitting).
#include "list_columns.h"
#include "ui/atl/layout/DialogLayout.h"

#include "platform/kvPlatform.h"

#include <gtest/gtest.h>

#include <numeric>
#include <ostream>
#include <random>
#include <vector>

using namespace kv::ui::atl::layout;

// Found by argument-dependent lookup, so failures print the rectangles.
inline std::ostream& operator<<(std::ostream& os, const RECT& r)
{
    return os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace {

RECT rc(LONG l, LONG t, LONG r, LONG b) { return RECT{l, t, r, b}; }
bool sameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
#define EXPECT_RECT(expected, actual) EXPECT_PRED2(sameRect, expected, actual)

NodePtr box(std::uint32_t flags, const RECT& r) { return NodePtr(new Node(0, flags, r, nullptr)); }

NodePtr kid(const NodePtr& parent, int id, std::uint32_t flags, const RECT& r)
{
    NodePtr n(new Node(id, flags, r, parent.get()));
    parent->addChild(n);
    return n;
}

// Refuses every placement.
struct Refuser : Node {
    Refuser(std::uint32_t flags, const RECT& r) : Node(1, flags, r, nullptr) {}
    bool layout(const RECT& r, HDWP h) override { last = r; return !Node::layout(r, h); }
    RECT last{};
};

} // namespace

TEST(LayoutNode, FactorsShareTheGrowthWithoutLosingAPixel)
{
    NodePtr h = box(horizontal | vertical, rc(0, 0, 300, 50)); // horizontal wins
    NodePtr x = kid(h, 1, sizeX, rc(0, 0, 100, 50));
    NodePtr fixedOne = kid(h, 2, sizeY | moveXPrev, rc(100, 0, 110, 50));
    NodePtr y = kid(h, 3, sizeX | moveXPrev, rc(110, 0, 200, 50));
    NodePtr z = kid(h, 4, sizeX | moveXPrev, rc(200, 0, 300, 50));
    ASSERT_TRUE(h->validate());
    EXPECT_EQ(0x5556u, x->factor()) << "the remainder goes to the first";
    EXPECT_TRUE(fixedOne->factor() == 0 && y->factor() == 0x5555 && z->factor() == 0x5555);
    // Large growths too: the 16.16 product must not wrap.
    for (int growth : {100, 65537, 200000}) {
        h->arrange(rc(0, 0, 300 + growth, 50), nullptr);
        EXPECT_EQ(300 + growth, z->current().right) << growth;
        EXPECT_EQ(10, fixedOne->current().right - fixedOne->current().left);
        if (growth == 100) {
            EXPECT_EQ(266, y->current().right) << "33, 33, then 34";
        }
    }
    NodePtr two = box(horizontal, rc(0, 0, 200, 50));
    NodePtr a = kid(two, 1, sizeX, rc(0, 0, 100, 50));
    kid(two, 2, sizeX | moveXPrev, rc(100, 0, 200, 50));
    two->validate();
    two->arrange(rc(0, 0, 301, 50), nullptr);
    EXPECT_EQ(150, a->current().right) << "101 pixels: the carry goes to the later child";
}

TEST(LayoutNode, PlacementRulesAndCrossGrowth)
{
    NodePtr n = box(horizontal, rc(0, 0, 300, 100));
    NodePtr first = kid(n, 1, sizeX | sizeY | moveXPrev | moveYPrev, rc(10, 10, 110, 60));
    NodePtr after = kid(n, 2, moveXPrev | moveYPrev, rc(120, 70, 160, 90));
    NodePtr right = kid(n, 3, moveXRight | moveYBottom, rc(250, 70, 290, 95));
    NodePtr stays = kid(n, 4, moveXMask | moveYMask, rc(200, 5, 220, 15));
    n->validate();
    n->arrange(rc(100, 200, 450, 330), nullptr);
    // The first child's "previous" rule is the edge rule; it takes the whole
    // width growth, and its height follows the parent's height change.
    EXPECT_RECT(rc(110, 210, 260, 290), first->current());
    EXPECT_RECT(rc(270, 300, 310, 320), after->current());
    EXPECT_RECT(rc(400, 300, 440, 325), right->current());
    EXPECT_RECT(rc(200, 5, 220, 15), stays->current());

    NodePtr v = box(vertical, rc(0, 0, 200, 100)), none = box(0, rc(0, 0, 200, 100));
    NodePtr wide = kid(v, 1, sizeX, rc(10, 10, 190, 40));
    NodePtr keeps = kid(none, 1, sizeX | sizeY, rc(10, 10, 60, 60));
    NodePtr corner = kid(none, 2, moveXRight | moveYBottom, rc(150, 70, 190, 90));
    for (const NodePtr& p : {v, none}) {
        p->validate();
        p->arrange(rc(0, 0, 260, 160), nullptr);
    }
    EXPECT_RECT(rc(10, 10, 250, 40), wide->current());
    EXPECT_RECT(rc(10, 10, 60, 60), keeps->current()) << "no main axis: no size follows";
    EXPECT_RECT(rc(210, 130, 250, 150), corner->current());
}

TEST(LayoutNode, ShrinkingGivesBackWhatChildrenHoldAboveTheirReference)
{
    NodePtr n = box(horizontal, rc(0, 0, 250, 50));
    NodePtr a = kid(n, 1, 0, rc(0, 0, 100, 50));
    NodePtr b = kid(n, 2, moveXPrev, rc(100, 0, 150, 50));
    NodePtr c = kid(n, 3, sizeX | sizeY | moveXPrev, rc(150, 0, 250, 50));
    n->validate();
    // As a restored state leaves it: the fixed children wider than built.
    n->setCurrent(rc(0, 0, 300, 50));
    a->setCurrent(rc(0, 0, 130, 50));
    b->setCurrent(rc(130, 0, 200, 50));
    c->setCurrent(rc(200, 0, 300, 50));
    n->arrange(rc(0, 0, 320, 50), nullptr);
    EXPECT_RECT(rc(200, 0, 320, 50), c->current()) << "room enough: only the sizing child grows";
    n->arrange(rc(0, 0, 280, 50), nullptr);
    EXPECT_RECT(rc(110, 0, 180, 50), b->current()) << "the first took the whole shortfall";
    n->arrange(rc(0, 0, 260, 50), nullptr);
    EXPECT_RECT(rc(0, 0, 100, 50), a->current());
    EXPECT_RECT(rc(100, 0, 160, 50), b->current()) << "gives what the first could not";
    EXPECT_RECT(rc(160, 0, 260, 50), c->current());
    // Below the reference: sizing children at their reference size; then back up.
    n->arrange(rc(0, 0, 180, 30), nullptr);
    EXPECT_RECT(rc(150, 0, 250, 30), c->current());
    n->arrange(rc(0, 0, 290, 50), nullptr);
    EXPECT_RECT(rc(150, 0, 290, 50), c->current());
}

TEST(LayoutNode, ManyResizesEndWhereOneResizeEnds)
{
    struct Tree { NodePtr root; std::vector<NodePtr> all; };
    auto build = [] {
        Tree t;
        t.root = box(horizontal, rc(0, 0, 400, 300));
        auto add = [&t](const NodePtr& p, int id, std::uint32_t f, RECT r) {
            t.all.push_back(kid(p, id, f, r));
            return t.all.back();
        };
        add(t.root, 1, sizeX | sizeY, rc(10, 10, 110, 290));
        NodePtr col = add(t.root, 2, vertical | sizeX | sizeY | moveXPrev, rc(120, 10, 300, 290));
        add(col, 21, sizeX | sizeY, rc(120, 10, 300, 100));
        add(col, 22, moveYPrev, rc(120, 110, 200, 130));
        add(col, 23, sizeY | sizeX | moveYPrev, rc(120, 140, 300, 250));
        add(col, 24, moveXRight | moveYBottom, rc(220, 260, 300, 290));
        add(t.root, 3, sizeX | moveXPrev, rc(310, 10, 330, 40));
        add(t.root, 4, moveXRight | moveYBottom, rc(340, 250, 390, 290));
        t.root->validate();
        return t;
    };
    // Sizes below the reference are among them: a container laid out smaller
    // must not hand its sizing children that shortfall as growth later.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> w(150, 1200), h(100, 900);
    for (int round = 0; round < 50; ++round) {
        Tree walked = build(), direct = build();
        RECT last{};
        for (int step = 0; step < 8; ++step)
            walked.root->arrange(last = rc(0, 0, w(rng), h(rng)), nullptr);
        direct.root->arrange(last, nullptr);
        for (std::size_t i = 0; i < walked.all.size(); ++i)
            EXPECT_RECT(direct.all[i]->current(), walked.all[i]->current()) << "round " << round;
        walked.root->reset();
        EXPECT_RECT(walked.all[5]->reference(), walked.all[5]->current()) << "reset, deep down";
    }
}

TEST(LayoutNode, ValidationUnitesAndRefusedPlacementsAreNotRecorded)
{
    NodePtr bare(new Node(0, horizontal, nullptr));
    kid(bare, 1, sizeX, rc(10, 20, 50, 60));
    kid(bare, 2, moveXPrev, rc(70, 5, 90, 40));
    ASSERT_TRUE(bare->validate());
    EXPECT_TRUE(sameRect(rc(10, 5, 90, 60), bare->reference()) && sameRect(rc(10, 5, 90, 60), bare->current()))
        << "the children's union";

    NodePtr n = box(horizontal, rc(0, 0, 200, 50));
    auto refuser = boost::shared_ptr<Refuser>(new Refuser(sizeX, rc(0, 0, 100, 50)));
    n->addChild(refuser);
    NodePtr next = kid(n, 2, moveXPrev, rc(110, 0, 150, 50));
    n->validate();
    n->arrange(rc(0, 0, 300, 50), nullptr);
    EXPECT_RECT(rc(0, 0, 200, 50), refuser->last);
    EXPECT_RECT(rc(0, 0, 100, 50), refuser->current());
    EXPECT_RECT(rc(210, 0, 250, 50), next->current()) << "follows the refused rectangle";
}

// ---------------------------------------------------------------- dialogs

namespace {

DialogLayout* g_layout = nullptr;

// Tracking sizes are left out, so that a test can shrink below the attach size.
LRESULT CALLBACK dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_layout && msg == WM_SIZE) {
        g_layout->onSize(hwnd, UINT(wParam));
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

kvplat::DialogControl item(const wchar_t* cls, int id, int x, int y, int w, int h,
                           const wchar_t* text = L"")
{
    kvplat::DialogControl c;
    c.className = cls;
    c.id = id;
    c.text = text;
    c.x = x, c.y = y, c.width = w, c.height = h;
    c.style = WS_VISIBLE | (cls == std::wstring(WC_LISTVIEWW) ? LVS_REPORT : 0);
    return c;
}

// A visible 400x300 dialog at a screen offset.
HWND dialog(const std::vector<kvplat::DialogControl>& controls, DWORD extraStyle = 0)
{
    kvplat::DialogTemplate t;
    t.x = 300, t.y = 200, t.width = 400, t.height = 300;
    t.style = WS_POPUP | WS_CAPTION | WS_THICKFRAME | extraStyle;
    t.controls = controls;
    kvplat::registerDialogTemplate(31001, t);
    HWND dlg = kvplat::createDialogWindow(31001, nullptr, &dialogProc);
    ShowWindow(dlg, SW_SHOW);
    return dlg;
}

RECT at(HWND dlg, int id)
{
    RECT r{};
    GetWindowRect(GetDlgItem(dlg, id), &r);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE client(HWND h)
{
    RECT r{};
    GetClientRect(h, &r);
    return SIZE{r.right, r.bottom};
}

// Gives the client area a size grown by (dx, dy) from c.
void resize(HWND dlg, SIZE c, int dx, int dy)
{
    RECT o{};
    GetWindowRect(dlg, &o);
    const SIZE now = client(dlg);
    MoveWindow(dlg, o.left, o.top, o.right - o.left - now.cx + c.cx + dx,
               o.bottom - o.top - now.cy + c.cy + dy, TRUE);
}

using uitest::addColumns;
using uitest::widths;

int total(HWND lv)
{
    const std::vector<int> w = widths(lv);
    return std::accumulate(w.begin(), w.end(), 0);
}

class DialogLayoutTest : public ::testing::Test {
protected:
    void SetUp() override { kvplat::reset(); g_layout = &layout; }
    void TearDown() override { g_layout = nullptr; kvplat::reset(); }

    // The single-face panel's tree (or another root over one list control).
    bool attachList(HWND dlg, int id, std::uint32_t rootFlags = 0x12003, int grip = 0)
    {
        NodeBuilder b(dlg);
        b.begin(makeNode(b, 0, rootFlags));
        b.add(makeListCtrlNode(b, id, sizeX | sizeY));
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
    NodePtr root = makeNode(b, 0, vertical), group = makeWindowNode(b, 11, horizontal);
    ASSERT_TRUE(b.begin(root) && b.begin(group) && b.add(makeListCtrlNode(b, 12, 0)) && b.end());
    EXPECT_RECT(rc(20, 30, 100, 55), group->reference()) << "client coordinates";
    EXPECT_EQ(group, root->lastChild());
    EXPECT_FALSE(b.add(makeWindowNode(b, 99, 0)));
    EXPECT_FALSE(b.end()) << "nothing succeeds after a failed step";

    NodeBuilder addFirst(dlg), closed(dlg);
    EXPECT_FALSE(addFirst.add(makeWindowNode(addFirst, 11, 0)));
    ASSERT_TRUE(closed.begin(makeNode(closed, 0, horizontal)) && closed.end());
    EXPECT_FALSE(closed.begin(makeNode(closed, 0, vertical)) || closed.end());
    EXPECT_FALSE(b.ok() || addFirst.ok() || closed.ok());

    // A panel whose list is missing gets no layout at all.
    EXPECT_FALSE(attachList(dlg, 1002) || layout.root());
}

TEST_F(DialogLayoutTest, AttachMeasuresTheDialogOrTheStoredRoot)
{
    const std::pair<std::uint32_t, bool> clips[] = {{0x2001, true}, {0x1002, true}, {0x2000, false}, {0x12003, false}};
    for (const auto& k : clips) {
        HWND dlg = dialog({item(WC_LISTVIEWW, 1002, 5, 5, 300, 200)});
        ASSERT_TRUE(attachList(dlg, 1002, k.first));
        EXPECT_EQ(k.second, (GetWindowLongW(dlg, GWL_STYLE) & WS_CLIPCHILDREN) != 0) << k.first;
    }

    // A refused tree keeps the previous one working.
    HWND dlg = dialog({item(WC_LISTVIEWW, 1002, 5, 5, 300, 200), item(WC_BUTTONW, 11, 10, 10, 50, 20)});
    ASSERT_TRUE(attachList(dlg, 1002));
    const SIZE c = client(dlg);
    EXPECT_TRUE(c.cx == layout.minWidth() && c.cy == layout.minHeight());
    struct Invalid : Node {
        Invalid() : Node(0, horizontal, nullptr) {}
        bool validate() override { return false; }
    };
    EXPECT_FALSE(layout.attach(dlg, NodePtr(), 0) || layout.attach(dlg, NodePtr(new Invalid), 0));
    resize(dlg, c, 40, 30);
    EXPECT_RECT(rc(5, 5, 345, 235), at(dlg, 1002));

    // A root built without a rectangle stands for the client area as its
    // children's union; the frame is added to it, the window is not resized.
    NodeBuilder b(dlg);
    b.begin(NodePtr(new Node(0, horizontal | sizeX | rootFromState, nullptr)));
    b.add(makeWindowNode(b, 11, sizeX));
    ASSERT_TRUE(layout.attach(dlg, b.root(), 0));
    EXPECT_RECT(rc(10, 10, 60, 30), layout.root()->reference());
    EXPECT_EQ(50, layout.minWidth());
    EXPECT_EQ(50 + 400 - c.cx, layout.initialOuterWidth());
    EXPECT_EQ(20 + 300 - c.cy, layout.initialOuterHeight());
    EXPECT_EQ(c.cx + 40, client(dlg).cx);
}

TEST_F(DialogLayoutTest, TheListPanelTreeFollowsItsDialogDownToTheAttachSize)
{
    // The radius and plane lists: the button stays at the right of its growing row.
    HWND rows = dialog({item(WC_LISTVIEWW, 24394, 5, 5, 150, 200), item(WC_BUTTONW, 1078, 160, 5, 200, 60),
                        item(WC_STATICW, 1079, 165, 20, 120, 20), item(WC_BUTTONW, 1061, 295, 20, 60, 25)});
    NodeBuilder b(rows);
    b.begin(makeNode(b, 0, 0x12002));
    b.add(makeWindowNode(b, 24394, sizeY));
    b.begin(makeWindowNode(b, 1078, horizontal | sizeX));
    b.add(makeWindowNode(b, 1079, sizeX));
    b.add(makeWindowNode(b, 1061, moveXRight));
    ASSERT_TRUE(b.end() && b.end() && layout.attach(rows, b.root(), b.gripId()));
    const SIZE c = client(rows);
    resize(rows, c, 100, 40);
    EXPECT_RECT(rc(5, 5, 155, 245), at(rows, 24394));
    EXPECT_RECT(rc(160, 5, 460, 65), at(rows, 1078));
    EXPECT_RECT(rc(165, 20, 385, 40), at(rows, 1079));
    EXPECT_RECT(rc(395, 20, 455, 45), at(rows, 1061));
    // Below the attach size the controls keep their minimum placement.
    resize(rows, c, -100, -80);
    ASSERT_EQ(c.cx - 100, client(rows).cx);
    EXPECT_RECT(rc(5, 5, 155, 205), at(rows, 24394));
    EXPECT_RECT(rc(295, 20, 355, 45), at(rows, 1061));
}

TEST_F(DialogLayoutTest, TrackingSizeIsBoundedByTheAttachSize)
{
    HWND dlg = dialog({item(WC_LISTVIEWW, 1070, 4, 40, 300, 150)});
    MINMAXINFO info{};
    info.ptMaxTrackSize = POINT{5000, 5000};
    layout.onGetMinMaxInfo(&info);
    EXPECT_EQ(0, info.ptMinTrackSize.x) << "nothing attached";
    ASSERT_TRUE(attachList(dlg, 1070, 0x12001)); // the multi-face panel's root
    resize(dlg, client(dlg), 50, 50);
    layout.onGetMinMaxInfo(&info);
    EXPECT_TRUE(info.ptMinTrackSize.x == 400 && info.ptMinTrackSize.y == 300);
    EXPECT_EQ(5000, info.ptMaxTrackSize.x);
    EXPECT_EQ(300, info.ptMaxTrackSize.y) << "the root does not size the height";
}

TEST_F(DialogLayoutTest, MinimisingMovesNothingAndTheGripHidesOnlyWhileMaximised)
{
    HWND dlg = dialog({item(WC_LISTVIEWW, 1002, 8, 8, 280, 200), item(WC_STATICW, 77, 380, 270, 12, 12)});
    ASSERT_TRUE(attachList(dlg, 1002, 0x12003, 77));
    HWND grip = GetDlgItem(dlg, 77);
    g_layout = nullptr; // the size changes while minimised
    resize(dlg, client(dlg), 40, 40);
    g_layout = &layout;
    layout.onSize(dlg, SIZE_MINIMIZED);
    EXPECT_RECT(rc(8, 8, 288, 208), at(dlg, 1002));
    layout.onSize(dlg, SIZE_RESTORED);
    EXPECT_RECT(rc(8, 8, 328, 248), at(dlg, 1002));

    layout.onSize(dlg, SIZE_MAXIMIZED);
    layout.onSize(dlg, 4); // not a size type of ours: still maximised
    EXPECT_FALSE(IsWindowVisible(grip));
    layout.onSize(dlg, SIZE_RESTORED);
    EXPECT_TRUE(IsWindowVisible(grip));
    ShowWindow(grip, SW_HIDE); // a grip call would show it again
    layout.onSize(dlg, SIZE_MINIMIZED);
    layout.onSize(dlg, SIZE_RESTORED);
    EXPECT_FALSE(IsWindowVisible(grip)) << "restored and minimised are the same side";
}

TEST_F(DialogLayoutTest, MovesHappenWithDrawingOffOnlyWhenTheSizeChangedFromTheScrollOrigin)
{
    HWND dlg = dialog({item(WC_LISTVIEWW, 1002, 8, 8, 280, 200), item(WC_STATICW, 0, 8, 250, 9, 9)}, WS_VSCROLL);
    ASSERT_TRUE(attachList(dlg, 1002));
    HWND lv = GetDlgItem(dlg, 1002);
    int moves = 0, movesWhileDrawing = 0;
    kvplat::setMessageLogHook([&](HWND h, UINT m, WPARAM, LPARAM) {
        if (h == lv && m == WM_WINDOWPOSCHANGED) {
            ++moves;
            movesWhileDrawing += kvplat::isRedrawEnabled(dlg);
        }
    });
    int redraws = kvplat::invalidateCount(dlg);
    resize(dlg, client(dlg), 30, 30);
    EXPECT_TRUE(moves == 1 && movesWhileDrawing == 0 && kvplat::isRedrawEnabled(dlg));
    EXPECT_GT(kvplat::invalidateCount(dlg), redraws);
    redraws = kvplat::invalidateCount(dlg);
    layout.onSize(dlg, SIZE_RESTORED);
    EXPECT_TRUE(moves == 1 && kvplat::invalidateCount(dlg) == redraws) << "unchanged size";
    layout.relayout(dlg, DialogLayout::redrawUnchanged);
    EXPECT_TRUE(moves == 1 && kvplat::invalidateCount(dlg) > redraws);
    layout.relayout(dlg, DialogLayout::forceLayout);
    EXPECT_EQ(2, moves);
    kvplat::setMessageLogHook(nullptr);

    SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 500, 100, 30, 0};
    SetScrollInfo(dlg, SB_VERT, &si, FALSE);
    layout.relayout(dlg, 0);
    EXPECT_RECT(rc(8, -22, 318, 238), at(dlg, 1002)) << "the top moves up by the scroll position";

    layout.onSize(dlg, SIZE_MAXIMIZED);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, 0))) << "without a grip id no item is the grip";
    ShowWindow(dlg, SW_HIDE);
    redraws = kvplat::invalidateCount(dlg);
    layout.relayout(dlg, DialogLayout::redrawUnchanged);
    EXPECT_EQ(redraws, kvplat::invalidateCount(dlg)) << "a hidden dialog is not redrawn";
}

TEST_F(DialogLayoutTest, ColumnsFillingTheListKeepFillingItOthersStayUntilTheListPassesThem)
{
    HWND dlg = dialog({item(WC_LISTVIEWW, 1002, 8, 8, 280, 200), item(WC_LISTVIEWW, 1003, 8, 220, 280, 40)});
    HWND filled = GetDlgItem(dlg, 1002), lv = GetDlgItem(dlg, 1003);
    const int cw = client(filled).cx;
    addColumns(filled, {cw / 4, cw - cw / 4 - 1}); // one pixel short still fills
    addColumns(lv, {60, 80});
    NodeBuilder b(dlg);
    b.begin(makeNode(b, 0, vertical | sizeX | sizeY));
    b.add(makeListCtrlNode(b, 1002, sizeX | sizeY));
    b.add(makeListCtrlNode(b, 1003, sizeX | moveYPrev));
    ASSERT_TRUE(layout.attach(dlg, b.root(), 0));
    const SIZE c = client(dlg);
    for (int grow : {100, 37, 250, 0, 13}) {
        resize(dlg, c, grow, 0);
        EXPECT_EQ(client(filled).cx, total(filled)) << grow;
        EXPECT_NEAR(0.25, double(widths(filled)[0]) / total(filled), 0.01) << "proportions kept";
        EXPECT_EQ((std::vector<int>{60, 80}), widths(lv)) << "narrower than the list: kept";
    }
    // Columns added later are taken in; these three fill the list exactly.
    SendMessageW(filled, LVM_SETCOLUMNWIDTH, 1, LPARAM(client(filled).cx - widths(filled)[0] - 100));
    addColumns(filled, {40, 60});
    resize(dlg, c, 120, 0);
    EXPECT_TRUE(widths(filled).size() == 4 && client(filled).cx == total(filled));

    // Wider than the list: kept while wider, fitted once the list passes them.
    SendMessageW(lv, LVM_SETCOLUMNWIDTH, 1, LPARAM(client(lv).cx + 50 - 60));
    resize(dlg, c, 130, 0);
    EXPECT_EQ(client(lv).cx + 40, total(lv));
    resize(dlg, c, 250, 0);
    EXPECT_EQ(client(lv).cx, total(lv));
    // Narrower again, then shrunk past them: fitted before the move, so the
    // list never shows them wider than itself, and only once.
    SendMessageW(lv, LVM_SETCOLUMNWIDTH, 1, LPARAM(client(lv).cx - widths(lv)[0] - 60));
    int sets = 0;
    std::vector<int> totalAtMove;
    kvplat::setMessageLogHook([&](HWND h, UINT m, WPARAM, LPARAM) {
        if (h == lv && m == LVM_SETCOLUMNWIDTH) ++sets;
        if (h == lv && m == WM_WINDOWPOSCHANGED) totalAtMove.push_back(total(lv));
    });
    resize(dlg, c, 100, 0);
    kvplat::setMessageLogHook(nullptr);
    EXPECT_TRUE(client(lv).cx == total(lv) && sets == 2);
    EXPECT_EQ(std::vector<int>{client(lv).cx}, totalAtMove);
}

TEST_F(DialogLayoutTest, FittingSharesByWeightSparesFixedColumnsAndNeverAsksForAutoSize)
{
    HWND dlg = dialog({item(WC_LISTVIEWW, 1002, 8, 8, 280, 200)});
    HWND lv = GetDlgItem(dlg, 1002);
    addColumns(lv, {10, 30, 50});
    NodeBuilder b(dlg);
    NodePtr n = makeListCtrlNode(b, 1002, sizeX);
    auto* node = static_cast<ListCtrlNode*>(n.get());
    EXPECT_FALSE(node->isFitted());
    node->columns()[2].fixed = true;
    node->fitColumns(251);
    EXPECT_EQ((std::vector<int>{50, 151, 50}), widths(lv)) << "the remainder carries on";
    node->fitColumns(93);
    node->fitColumns(250);
    EXPECT_EQ((std::vector<int>{50, 150, 50}), widths(lv)) << "weights do not erode";
    // No room: 0, not -2, which the control would take as an auto-size request.
    node->fitColumns(48);
    EXPECT_EQ((std::vector<int>{0, 0, 50}), widths(lv));
    SendMessageW(lv, LVM_SETCOLUMNWIDTH, 0, LPARAM(client(lv).cx - 51));
    EXPECT_TRUE(node->isFitted()) << "within one pixel";
    EXPECT_EQ(client(lv).cx - 51, node->columns()[0].weight) << "a changed width is the new weight";
    DestroyWindow(lv);
    EXPECT_FALSE(node->isFitted());
}

TEST_F(DialogLayoutTest, OwnedWindowsGoWithTheirNodeAndMovedEditsReselect)
{
    HWND dlg = dialog({item(WC_BUTTONW, 11, 10, 10, 50, 20), item(WC_BUTTONW, 12, 10, 40, 50, 20),
                       item(WC_EDITW, 1, 10, 70, 90, 20, L"selected"), item(WC_EDITW, 2, 10, 95, 90, 20)});
    {
        NodeBuilder b(dlg);
        NodePtr owning = makeWindowNode(b, 11, ownsWindow), plain = makeWindowNode(b, 12, 0);
    }
    EXPECT_TRUE(!GetDlgItem(dlg, 11) && GetDlgItem(dlg, 12));

    const HWND e1 = GetDlgItem(dlg, 1);
    SendMessageW(e1, EM_SETSEL, 2, 5);
    std::vector<std::pair<HWND, LPARAM>> setSel;
    kvplat::setMessageLogHook([&](HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == EM_SETSEL) setSel.emplace_back(h, MAKELONG(w, l));
    });
    EnumChildWindows(dlg, &reselectEditText, 0);
    kvplat::setMessageLogHook(nullptr);
    EXPECT_EQ((std::vector<std::pair<HWND, LPARAM>>{{e1, MAKELONG(0, 0)}, {e1, MAKELONG(2, 5)}}), setSel)
        << "only the edit whose selection does not end at 0, cleared then set again";
}
