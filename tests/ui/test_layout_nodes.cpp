// Layout arithmetic of the node tree on plain container nodes (no windows).
#include "ui/atl/layout/LayoutNode.h"

#include <gtest/gtest.h>

#include "layout_test_util.h"

#include <random>
#include <vector>

using namespace kv::ui::atl::layout;
using layouttest::rc;

namespace {

NodePtr box(std::uint32_t flags, const RECT& r) { return NodePtr(new Node(0, flags, r, nullptr)); }

NodePtr kid(const NodePtr& parent, int id, std::uint32_t flags, const RECT& r)
{
    NodePtr n(new Node(id, flags, r, parent.get()));
    parent->addChild(n);
    return n;
}

// A node that can refuse its placement or its validation, and counts calls.
class Probe : public Node {
public:
    Probe(std::uint32_t flags, const RECT& r, bool accept, bool valid, Node* parent = nullptr)
        : Node(1, flags, r, parent), accept(accept), valid(valid) {}
    bool layout(const RECT& r, HDWP h) override { last = r; return Node::layout(r, h) && accept; }
    bool validate() override { ++validates; return valid && Node::validate(); }
    void parentChanged() override { ++parentChanges; }
    bool accept, valid;
    int validates = 0, parentChanges = 0;
    RECT last{};
};

} // namespace

TEST(LayoutNode, FactorsShareTheWholeAmongTheMainAxisSizingChildren)
{
    NodePtr h = box(horizontal, rc(0, 0, 300, 50));
    NodePtr x = kid(h, 1, sizeX, rc(0, 0, 100, 50));
    NodePtr fixedOne = kid(h, 2, sizeY | moveXPrev, rc(100, 0, 110, 50));
    NodePtr y = kid(h, 3, sizeX | moveXPrev, rc(110, 0, 200, 50));
    NodePtr z = kid(h, 4, sizeX | moveXPrev, rc(200, 0, 300, 50));
    ASSERT_TRUE(h->validate());
    EXPECT_EQ(0x5556u, x->factor()) << "the remainder goes to the first";
    EXPECT_EQ(0u, fixedOne->factor());
    EXPECT_EQ(0x5555u, y->factor());
    EXPECT_EQ(0x5555u, z->factor());

    NodePtr both = box(horizontal | vertical, rc(0, 0, 100, 100)); // horizontal wins
    NodePtr sx = kid(both, 1, sizeX, rc(0, 0, 100, 50));
    NodePtr sy = kid(both, 2, sizeY, rc(0, 50, 100, 100));
    NodePtr none = box(0, rc(0, 0, 100, 100));
    NodePtr n1 = kid(none, 1, sizeX | sizeY, rc(0, 0, 100, 50));
    NodePtr odd = box(horizontal, rc(0, 0, 200, 50));
    NodePtr counted = kid(odd, 1, sizeX, rc(0, 0, 100, 50));
    NodePtr uncounted = kid(odd, 2, sizeX | notCounted, rc(100, 0, 200, 50));
    both->validate();
    none->validate();
    odd->validate();
    EXPECT_EQ(0x10000u, sx->factor());
    EXPECT_EQ(0u, sy->factor());
    EXPECT_EQ(0u, n1->factor());
    EXPECT_EQ(0x10000u, counted->factor());
    EXPECT_EQ(0x10000u, uncounted->factor()) << "takes a share without being counted";
}

TEST(LayoutNode, GrowthIsSplitWithoutLosingAPixel)
{
    NodePtr two = box(horizontal, rc(0, 0, 200, 50));
    NodePtr a = kid(two, 1, sizeX, rc(0, 0, 100, 50));
    NodePtr b = kid(two, 2, sizeX | moveXPrev, rc(100, 0, 200, 50));
    two->validate();
    two->arrange(rc(0, 0, 301, 50), nullptr);
    EXPECT_RECT(rc(0, 0, 150, 50), a->current());
    EXPECT_RECT(rc(150, 0, 301, 50), b->current()) << "the carry goes to the later child";

    // Large growths too: the 16.16 product must not wrap.
    for (int growth : {1, 100, 65537, 200000}) {
        NodePtr n = box(horizontal, rc(0, 0, 300, 50));
        std::vector<NodePtr> k;
        for (int i = 0; i < 3; ++i)
            k.push_back(kid(n, i + 1, sizeX | moveXPrev, rc(i * 100, 0, i * 100 + 100, 50)));
        n->validate();
        n->arrange(rc(0, 0, 300 + growth, 50), nullptr);
        EXPECT_EQ(300 + growth, k[2]->current().right) << growth;
        if (growth == 100) {
            EXPECT_EQ(266, k[1]->current().right);
        }
    }
}

TEST(LayoutNode, CrossAxisAndParentsWithoutAnAxis)
{
    NodePtr h = box(horizontal, rc(0, 0, 200, 100));
    NodePtr tall = kid(h, 1, sizeY, rc(10, 10, 60, 90));
    NodePtr v = box(vertical, rc(0, 0, 200, 100));
    NodePtr wide = kid(v, 1, sizeX, rc(10, 10, 190, 40));
    NodePtr none = box(0, rc(0, 0, 200, 100));
    NodePtr keeps = kid(none, 1, sizeX | sizeY, rc(10, 10, 60, 60));
    NodePtr corner = kid(none, 2, moveXRight | moveYBottom, rc(150, 70, 190, 90));
    for (const NodePtr& n : {h, v, none}) {
        n->validate();
        n->arrange(rc(0, 0, 260, 160), nullptr);
    }
    EXPECT_RECT(rc(10, 10, 60, 150), tall->current());
    EXPECT_RECT(rc(10, 10, 250, 40), wide->current());
    EXPECT_RECT(rc(10, 10, 60, 60), keeps->current());
    EXPECT_RECT(rc(210, 130, 250, 150), corner->current());
}

TEST(LayoutNode, PlacementRulesInDialogCoordinates)
{
    NodePtr n = box(horizontal, rc(0, 0, 300, 100));
    NodePtr first = kid(n, 1, sizeX | sizeY | moveXPrev | moveYPrev, rc(10, 10, 110, 60));
    NodePtr after = kid(n, 2, moveXPrev | moveYPrev, rc(120, 70, 160, 90));
    NodePtr right = kid(n, 3, moveXRight | moveYBottom, rc(250, 70, 290, 95));
    NodePtr stays = kid(n, 4, moveXMask | moveYMask, rc(200, 5, 220, 15));
    NodePtr inner = kid(n, 5, horizontal | sizeX, rc(170, 20, 240, 60));
    NodePtr innerRight = kid(inner, 6, moveXRight, rc(200, 30, 230, 50));
    n->validate();
    n->arrange(rc(100, 200, 450, 330), nullptr);
    // Half of the growth of 50 each; the first child's "previous" rule is the edge rule.
    EXPECT_RECT(rc(110, 210, 235, 290), first->current());
    EXPECT_RECT(rc(245, 300, 285, 320), after->current());
    EXPECT_RECT(rc(400, 300, 440, 325), right->current());
    EXPECT_RECT(rc(200, 5, 220, 15), stays->current());
    EXPECT_RECT(rc(270, 220, 365, 260), inner->current());
    EXPECT_RECT(rc(325, 230, 355, 250), innerRight->current());
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
    n->arrange(rc(0, 0, 260, 50), nullptr);
    EXPECT_RECT(rc(0, 0, 100, 50), a->current());
    EXPECT_RECT(rc(100, 0, 160, 50), b->current()) << "gives what the first could not";
    EXPECT_RECT(rc(160, 0, 260, 50), c->current());
    // Below the reference: sizing children at their reference size; then back up.
    n->arrange(rc(0, 0, 180, 30), nullptr);
    EXPECT_RECT(rc(0, 0, 100, 50), a->current());
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
    }
    Tree t = build();
    t.root->arrange(rc(0, 0, 900, 700), nullptr);
    t.root->reset();
    for (const NodePtr& n : t.all)
        EXPECT_RECT(n->reference(), n->current()) << "reset, node " << n->id();
}

TEST(LayoutNode, ValidationUnitesChildrenAndStopsAtTheFirstInvalidOne)
{
    NodePtr bare(new Node(0, horizontal, nullptr));
    kid(bare, 1, sizeX, rc(10, 20, 50, 60));
    kid(bare, 2, moveXPrev, rc(70, 5, 90, 40));
    ASSERT_TRUE(bare->validate());
    EXPECT_RECT(rc(10, 5, 90, 60), bare->reference());
    EXPECT_RECT(rc(10, 5, 90, 60), bare->current());

    NodePtr n = box(horizontal, rc(0, 0, 100, 100));
    auto bad = boost::shared_ptr<Probe>(new Probe(sizeX, rc(0, 0, 50, 50), true, false));
    auto next = boost::shared_ptr<Probe>(new Probe(sizeX, rc(50, 0, 100, 50), true, true));
    n->addChild(bad);
    n->addChild(next);
    EXPECT_FALSE(n->validate());
    EXPECT_EQ(0, next->validates);
    EXPECT_EQ(0u, next->factor());
}

TEST(LayoutNode, ChildrenAreAdoptedAndRefusedPlacementsAreNotRecorded)
{
    NodePtr n = box(horizontal, rc(0, 0, 200, 50));
    EXPECT_FALSE(n->addChild(NodePtr()));
    auto refuser = boost::shared_ptr<Probe>(new Probe(sizeX, rc(0, 0, 100, 50), false, true));
    ASSERT_TRUE(n->addChild(refuser));
    EXPECT_EQ(n.get(), refuser->parent());
    EXPECT_EQ(1, refuser->parentChanges);
    auto born = boost::shared_ptr<Probe>(new Probe(moveXPrev, rc(110, 0, 150, 50), true, true, n.get()));
    n->addChild(born);
    EXPECT_EQ(0, born->parentChanges) << "built with its parent: nothing changed";
    EXPECT_EQ(born, n->lastChild());

    n->validate();
    n->arrange(rc(0, 0, 300, 50), nullptr);
    EXPECT_RECT(rc(0, 0, 200, 50), refuser->last);
    EXPECT_RECT(rc(0, 0, 100, 50), refuser->current());
    EXPECT_RECT(rc(210, 0, 250, 50), born->current()) << "follows the refused rectangle";
}
