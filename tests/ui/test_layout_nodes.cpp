// Layout arithmetic of the node tree, checked on plain container nodes (no
// windows): growth shares, placement rules, shrinking, validation and reset.
#include "ui/atl/layout/LayoutNode.h"

#include <gtest/gtest.h>

#include "layout_test_util.h"

#include <random>
#include <vector>

using namespace kv::ui::atl::layout;
using layouttest::rc;

namespace {

// A container with a rectangle and children added in order.
NodePtr container(std::uint32_t flags, const RECT& r)
{
    return NodePtr(new Node(0, flags, r, nullptr));
}

NodePtr child(const NodePtr& parent, int id, std::uint32_t flags, const RECT& r)
{
    NodePtr n(new Node(id, flags, r, parent.get()));
    parent->addChild(n);
    return n;
}

// A node that can refuse its placement and counts what happens to it.
class ProbeNode : public Node {
public:
    ProbeNode(int id, std::uint32_t flags, const RECT& r, bool accept = true, bool valid = true,
              Node* parent = nullptr)
        : Node(id, flags, r, parent), accept(accept), valid(valid) {}
    bool layout(const RECT& r, HDWP h) override
    {
        ++layouts;
        last = r;
        return Node::layout(r, h) && accept;
    }
    bool validate() override { ++validates; return valid && Node::validate(); }
    void parentChanged() override { ++parentChanges; }

    bool accept;
    bool valid;
    int layouts = 0;
    int validates = 0;
    int parentChanges = 0;
    RECT last{0, 0, 0, 0};
};

} // namespace

// ---------------------------------------------------------------- factors

TEST(LayoutFactors, SharesAddUpToTheWholeAndTheRemainderGoesFirst)
{
    NodePtr two = container(horizontal, rc(0, 0, 200, 50));
    NodePtr a = child(two, 1, sizeX, rc(0, 0, 100, 50));
    NodePtr b = child(two, 2, sizeX | moveXPrev, rc(100, 0, 200, 50));
    ASSERT_TRUE(two->validate());
    EXPECT_EQ(0x8000u, a->factor());
    EXPECT_EQ(0x8000u, b->factor());

    NodePtr three = container(horizontal, rc(0, 0, 300, 50));
    NodePtr x = child(three, 1, sizeX, rc(0, 0, 100, 50));
    NodePtr fixedOne = child(three, 9, moveXPrev, rc(100, 0, 110, 50));
    NodePtr y = child(three, 2, sizeX | moveXPrev, rc(110, 0, 200, 50));
    NodePtr z = child(three, 3, sizeX | moveXPrev, rc(200, 0, 300, 50));
    ASSERT_TRUE(three->validate());
    EXPECT_EQ(0x5556u, x->factor());
    EXPECT_EQ(0u, fixedOne->factor());
    EXPECT_EQ(0x5555u, y->factor());
    EXPECT_EQ(0x5555u, z->factor());
}

TEST(LayoutFactors, OnlyTheMainAxisSizingFlagCounts)
{
    // A vertical container divides among its sizeY children; sizeX ones get nothing.
    NodePtr v = container(vertical, rc(0, 0, 100, 100));
    NodePtr wide = child(v, 1, sizeX, rc(0, 0, 100, 50));
    NodePtr tall = child(v, 2, sizeY | moveYPrev, rc(0, 50, 100, 100));
    v->validate();
    EXPECT_EQ(0u, wide->factor());
    EXPECT_EQ(0x10000u, tall->factor());

    // Horizontal wins over vertical.
    NodePtr both = container(horizontal | vertical, rc(0, 0, 100, 100));
    NodePtr sx = child(both, 1, sizeX, rc(0, 0, 100, 50));
    NodePtr sy = child(both, 2, sizeY, rc(0, 50, 100, 100));
    both->validate();
    EXPECT_EQ(0x10000u, sx->factor());
    EXPECT_EQ(0u, sy->factor());

    // Without a main axis nothing is divided.
    NodePtr none = container(0, rc(0, 0, 100, 100));
    NodePtr n1 = child(none, 1, sizeX | sizeY, rc(0, 0, 100, 50));
    none->validate();
    EXPECT_EQ(0u, n1->factor());

    // A child that is not counted still takes a share.
    NodePtr odd = container(horizontal, rc(0, 0, 200, 50));
    NodePtr counted = child(odd, 1, sizeX, rc(0, 0, 100, 50));
    NodePtr extra = child(odd, 2, sizeX | notCounted | moveXPrev, rc(100, 0, 200, 50));
    odd->validate();
    EXPECT_EQ(0x10000u, counted->factor());
    EXPECT_EQ(0x10000u, extra->factor());
}

// ---------------------------------------------------------------- growth

TEST(LayoutGrowth, OddGrowthIsSplitWithTheCarryGoingToTheLaterChild)
{
    NodePtr n = container(horizontal, rc(0, 0, 200, 50));
    NodePtr a = child(n, 1, sizeX, rc(0, 0, 100, 50));
    NodePtr b = child(n, 2, sizeX | moveXPrev, rc(100, 0, 200, 50));
    n->validate();
    ASSERT_TRUE(n->arrange(rc(0, 0, 301, 50), nullptr));
    EXPECT_RECT(rc(0, 0, 150, 50), a->current());
    EXPECT_RECT(rc(150, 0, 301, 50), b->current());
    EXPECT_RECT(rc(0, 0, 301, 50), n->current());
}

TEST(LayoutGrowth, ThreeEqualChildrenShareWithoutLosingAPixel)
{
    for (int growth : {1, 2, 99, 100, 101, 1000, 65537, 200000}) {
        NodePtr n = container(horizontal, rc(0, 0, 300, 50));
        std::vector<NodePtr> kids;
        for (int i = 0; i < 3; ++i)
            kids.push_back(child(n, i + 1, sizeX | moveXPrev, rc(i * 100, 0, i * 100 + 100, 50)));
        n->validate();
        n->arrange(rc(0, 0, 300 + growth, 50), nullptr);
        int sum = 0;
        for (const NodePtr& k : kids) {
            const int extra = (k->current().right - k->current().left) - 100;
            // Floor or ceiling of a third while the 16.16 shares are exact enough;
            // beyond that only the sum is promised.
            if (growth < 10000) {
                EXPECT_GE(extra, growth / 3) << "growth " << growth;
                EXPECT_LE(extra, growth / 3 + 1) << "growth " << growth;
            }
            sum += extra;
        }
        EXPECT_EQ(growth, sum);
        EXPECT_EQ(300 + growth, kids.back()->current().right) << "growth " << growth;
    }
}

TEST(LayoutGrowth, CrossAxisFollowsTheParentsChangeFromItsReference)
{
    // Horizontal parent: a sizeY child takes the whole height change.
    NodePtr h = container(horizontal, rc(0, 0, 200, 100));
    NodePtr list = child(h, 1, sizeY, rc(10, 10, 60, 90));
    NodePtr flat = child(h, 2, moveXPrev, rc(70, 10, 190, 30));
    h->validate();
    h->arrange(rc(0, 0, 200, 160), nullptr);
    EXPECT_RECT(rc(10, 10, 60, 150), list->current());
    EXPECT_RECT(rc(70, 10, 190, 30), flat->current());

    // Vertical parent: a sizeX child takes the whole width change.
    NodePtr v = container(vertical, rc(0, 0, 200, 100));
    NodePtr row = child(v, 1, sizeX, rc(10, 10, 190, 40));
    v->validate();
    v->arrange(rc(0, 0, 260, 100), nullptr);
    EXPECT_RECT(rc(10, 10, 250, 40), row->current());

    // No main axis: sizing flags do nothing, placement still follows the edges.
    NodePtr none = container(0, rc(0, 0, 200, 100));
    NodePtr s = child(none, 1, sizeX | sizeY, rc(10, 10, 60, 60));
    NodePtr r = child(none, 2, moveXRight | moveYBottom, rc(150, 70, 190, 90));
    none->validate();
    none->arrange(rc(0, 0, 300, 200), nullptr);
    EXPECT_RECT(rc(10, 10, 60, 60), s->current());
    EXPECT_RECT(rc(250, 170, 290, 190), r->current());
}

// ---------------------------------------------------------------- placement

TEST(LayoutPlacement, EdgeAndPreviousSiblingRules)
{
    NodePtr n = container(horizontal, rc(0, 0, 300, 100));
    NodePtr grow = child(n, 1, sizeX | sizeY, rc(10, 10, 110, 60));
    NodePtr afterGrow = child(n, 2, moveXPrev | moveYPrev, rc(120, 70, 160, 90));
    NodePtr right = child(n, 3, moveXRight, rc(250, 10, 290, 30));
    NodePtr bottom = child(n, 4, moveYBottom, rc(200, 80, 240, 95));
    n->validate();
    n->arrange(rc(0, 0, 350, 130), nullptr);
    EXPECT_RECT(rc(10, 10, 160, 90), grow->current());
    // Keeps its 10-pixel gap to the grown sibling and its 10 below it.
    EXPECT_RECT(rc(170, 100, 210, 120), afterGrow->current());
    EXPECT_RECT(rc(300, 10, 340, 30), right->current());
    EXPECT_RECT(rc(200, 110, 240, 125), bottom->current());
}

TEST(LayoutPlacement, PreviousRuleOnTheFirstChildActsAsTheEdgeRule)
{
    NodePtr n = container(horizontal, rc(0, 0, 200, 100));
    NodePtr first = child(n, 1, moveXPrev | moveYPrev, rc(20, 30, 60, 50));
    n->validate();
    n->arrange(rc(100, 200, 300, 300), nullptr);
    EXPECT_RECT(rc(120, 230, 160, 250), first->current());
}

TEST(LayoutPlacement, BothPlacementBitsKeepTheReferencePosition)
{
    NodePtr n = container(horizontal, rc(0, 0, 200, 100));
    NodePtr a = child(n, 1, moveXMask | moveYMask, rc(20, 30, 60, 50));
    n->validate();
    n->arrange(rc(50, 50, 400, 400), nullptr);
    EXPECT_RECT(rc(20, 30, 60, 50), a->current());
}

TEST(LayoutPlacement, ChildrenAreInDialogCoordinatesNotRelativeToTheirContainer)
{
    // An inner container away from the origin: its children move with it.
    NodePtr root = container(horizontal, rc(0, 0, 300, 100));
    NodePtr left = child(root, 1, sizeX, rc(0, 0, 100, 100));
    NodePtr inner = child(root, 2, (horizontal | sizeX | moveXPrev), rc(100, 0, 300, 100));
    NodePtr a = child(inner, 3, sizeX, rc(110, 10, 200, 40));
    NodePtr b = child(inner, 4, moveXRight, rc(210, 10, 290, 40));
    root->validate();
    root->arrange(rc(0, 0, 400, 100), nullptr);
    EXPECT_RECT(rc(0, 0, 150, 100), left->current());
    EXPECT_RECT(rc(150, 0, 400, 100), inner->current());
    EXPECT_RECT(rc(160, 10, 300, 40), a->current());
    EXPECT_RECT(rc(310, 10, 390, 40), b->current());
}

// ---------------------------------------------------------------- shrinking

TEST(LayoutShrink, BelowTheReferenceSizingChildrenKeepTheirReferenceSize)
{
    NodePtr n = container(horizontal, rc(0, 0, 200, 100));
    NodePtr a = child(n, 1, sizeX | sizeY, rc(0, 0, 100, 100));
    NodePtr b = child(n, 2, sizeX | moveXPrev, rc(100, 0, 200, 50));
    n->validate();
    n->arrange(rc(0, 0, 400, 150), nullptr);
    n->arrange(rc(0, 0, 120, 60), nullptr);
    EXPECT_RECT(rc(0, 0, 100, 60), a->current()) << "height follows the parent's change";
    EXPECT_RECT(rc(100, 0, 200, 50), b->current());
}

TEST(LayoutShrink, RestoredWiderChildrenGiveBackWidthDownToTheirReference)
{
    NodePtr n = container(horizontal, rc(0, 0, 200, 50));
    NodePtr fixedChild = child(n, 1, 0, rc(0, 0, 100, 50));
    NodePtr grow = child(n, 2, sizeX | moveXPrev, rc(100, 0, 200, 50));
    n->validate();
    // As a restored state would leave it: the fixed child 60 wider than built.
    n->setCurrent(rc(0, 0, 260, 50));
    fixedChild->setCurrent(rc(0, 0, 160, 50));
    grow->setCurrent(rc(160, 0, 260, 50));

    n->arrange(rc(0, 0, 230, 50), nullptr);
    EXPECT_RECT(rc(0, 0, 130, 50), fixedChild->current());
    EXPECT_RECT(rc(130, 0, 230, 50), grow->current());

    n->arrange(rc(0, 0, 150, 50), nullptr);
    EXPECT_RECT(rc(0, 0, 100, 50), fixedChild->current());
    EXPECT_RECT(rc(100, 0, 200, 50), grow->current());

    // Growing again: the fixed child stays at its reference, the sizing one grows.
    n->arrange(rc(0, 0, 240, 50), nullptr);
    EXPECT_RECT(rc(0, 0, 100, 50), fixedChild->current());
    EXPECT_RECT(rc(100, 0, 240, 50), grow->current());
}

TEST(LayoutShrink, WhatOneChildCannotGiveBackIsTakenFromTheNext)
{
    NodePtr n = container(horizontal, rc(0, 0, 250, 50));
    NodePtr a = child(n, 1, 0, rc(0, 0, 100, 50));
    NodePtr b = child(n, 2, moveXPrev, rc(100, 0, 150, 50));
    NodePtr c = child(n, 3, sizeX | moveXPrev, rc(150, 0, 250, 50));
    n->validate();
    n->setCurrent(rc(0, 0, 300, 50));
    a->setCurrent(rc(0, 0, 130, 50));
    b->setCurrent(rc(130, 0, 200, 50));
    c->setCurrent(rc(200, 0, 300, 50));
    n->arrange(rc(0, 0, 260, 50), nullptr);
    EXPECT_RECT(rc(0, 0, 100, 50), a->current());
    EXPECT_RECT(rc(100, 0, 160, 50), b->current());
    EXPECT_RECT(rc(160, 0, 260, 50), c->current());
}

TEST(LayoutShrink, RestoredWiderChildKeepsItsWidthWhileThereIsRoom)
{
    NodePtr n = container(horizontal, rc(0, 0, 200, 50));
    NodePtr fixedChild = child(n, 1, 0, rc(0, 0, 100, 50));
    NodePtr grow = child(n, 2, sizeX | moveXPrev, rc(100, 0, 200, 50));
    n->validate();
    n->setCurrent(rc(0, 0, 260, 50));
    fixedChild->setCurrent(rc(0, 0, 160, 50));
    grow->setCurrent(rc(160, 0, 260, 50));
    n->arrange(rc(0, 0, 300, 50), nullptr);
    EXPECT_RECT(rc(0, 0, 160, 50), fixedChild->current());
    EXPECT_RECT(rc(160, 0, 300, 50), grow->current());
}

// ---------------------------------------------------------------- path independence

namespace {

struct Tree {
    NodePtr root;
    std::vector<NodePtr> all;
};

// Nested containers on both axes with every placement rule.
Tree buildTree()
{
    Tree t;
    t.root = container(horizontal, rc(0, 0, 400, 300));
    auto add = [&t](const NodePtr& p, int id, std::uint32_t f, RECT r) {
        NodePtr n = child(p, id, f, r);
        t.all.push_back(n);
        return n;
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
}

} // namespace

TEST(LayoutPathIndependence, ManyResizesEndWhereOneResizeEnds)
{
    std::mt19937 rng(20240607);
    std::uniform_int_distribution<int> w(150, 1200), h(100, 900);
    for (int round = 0; round < 50; ++round) {
        Tree walked = buildTree();
        Tree direct = buildTree();
        RECT last{};
        for (int step = 0; step < 8; ++step) {
            last = rc(0, 0, w(rng), h(rng));
            walked.root->arrange(last, nullptr);
        }
        direct.root->arrange(last, nullptr);
        for (std::size_t i = 0; i < walked.all.size(); ++i)
            EXPECT_RECT(direct.all[i]->current(), walked.all[i]->current())
                << "round " << round << " node " << walked.all[i]->id();
    }
}

// ---------------------------------------------------------------- validate, reset, tree

TEST(LayoutTree, ContainerWithoutRectangleTakesTheUnionOfItsChildren)
{
    NodePtr n(new Node(0, horizontal, nullptr));
    child(n, 1, sizeX, rc(10, 20, 50, 60));
    child(n, 2, moveXPrev, rc(70, 5, 90, 40));
    ASSERT_TRUE(n->validate());
    EXPECT_RECT(rc(10, 5, 90, 60), n->reference());
    EXPECT_RECT(rc(10, 5, 90, 60), n->current());

    // A container that has a rectangle keeps it.
    NodePtr m = container(horizontal, rc(0, 0, 500, 500));
    child(m, 1, sizeX, rc(10, 20, 50, 60));
    m->validate();
    EXPECT_RECT(rc(0, 0, 500, 500), m->reference());
}

TEST(LayoutTree, ResetReturnsEveryNodeToItsReference)
{
    Tree t = buildTree();
    t.root->arrange(rc(0, 0, 900, 700), nullptr);
    t.all[0]->setFactor(0x1234);
    t.root->reset();
    EXPECT_RECT(t.root->reference(), t.root->current());
    for (const NodePtr& n : t.all)
        EXPECT_RECT(n->reference(), n->current()) << "node " << n->id();
    EXPECT_EQ(0x5556u, t.all[0]->factor()) << "the first of three sizing children";
}

TEST(LayoutTree, AnInvalidChildStopsValidationAtOnce)
{
    NodePtr n = container(horizontal, rc(0, 0, 100, 100));
    auto bad = boost::shared_ptr<ProbeNode>(new ProbeNode(1, sizeX, rc(0, 0, 50, 50), true, false));
    auto after = boost::shared_ptr<ProbeNode>(new ProbeNode(2, sizeX, rc(50, 0, 100, 50)));
    n->addChild(bad);
    n->addChild(after);
    EXPECT_FALSE(n->validate());
    EXPECT_EQ(1, bad->validates);
    EXPECT_EQ(0, after->validates);
    EXPECT_EQ(0u, after->factor());
}

TEST(LayoutTree, AddChildAdoptsTheChildAndRefusesNull)
{
    NodePtr n = container(horizontal, rc(0, 0, 100, 100));
    EXPECT_FALSE(n->addChild(NodePtr()));
    EXPECT_FALSE(n->lastChild());

    auto orphan = boost::shared_ptr<ProbeNode>(new ProbeNode(1, 0, rc(0, 0, 10, 10)));
    ASSERT_TRUE(n->addChild(orphan));
    EXPECT_EQ(n.get(), orphan->parent());
    EXPECT_EQ(1, orphan->parentChanges);
    EXPECT_EQ(orphan, n->lastChild());

    // Built with its parent already set, as the factories do: no change to report.
    NodePtr m = container(0, rc(0, 0, 10, 10));
    auto born = boost::shared_ptr<ProbeNode>(
        new ProbeNode(2, 0, rc(0, 0, 10, 10), true, true, m.get()));
    ASSERT_TRUE(m->addChild(born));
    EXPECT_EQ(0, born->parentChanges);
    EXPECT_EQ(m.get(), born->parent());
}

TEST(LayoutTree, RefusedPlacementIsNotRecordedButTheNextSiblingFollowsIt)
{
    NodePtr n = container(horizontal, rc(0, 0, 200, 50));
    auto refuser = boost::shared_ptr<ProbeNode>(new ProbeNode(1, sizeX, rc(0, 0, 100, 50), false));
    n->addChild(refuser);
    NodePtr next = child(n, 2, moveXPrev, rc(110, 0, 150, 50));
    n->validate();
    n->arrange(rc(0, 0, 300, 50), nullptr);
    EXPECT_RECT(rc(0, 0, 200, 50), refuser->last);
    EXPECT_RECT(rc(0, 0, 100, 50), refuser->current());
    EXPECT_RECT(rc(210, 0, 250, 50), next->current());
}
