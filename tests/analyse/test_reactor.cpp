// Mouse events of a view become picks and moves in the plane of a frame.
#include "analyse/kvCMouseReactor.h"
#include "fake_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Pick {
    double point[3];
    double pos[3];
    int onObject;
    bool hasNormal;
    double normal[3];
    bool hasView;
};

struct Recorder {
    std::vector<Pick> picks;
    std::vector<std::pair<double, double>> moves;
};

void recordPick(void* user, const double* point, const double* pos, int onObject, const double* normal, kvIUnknown*,
                const double* viewDir, bool)
{
    Pick p{};
    for (int i = 0; i < 3; ++i) {
        p.point[i] = point[i];
        p.pos[i] = pos[i];
        p.normal[i] = normal ? normal[i] : 0.0;
    }
    p.onObject = onObject;
    p.hasNormal = normal != nullptr;
    p.hasView = viewDir != nullptr;
    static_cast<Recorder*>(user)->picks.push_back(p);
}

void recordMove(void* user, double x, double y)
{
    static_cast<Recorder*>(user)->moves.emplace_back(x, y);
}

class FakeLine : public kvIUnknownImp, public kvIGeLine {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIGeLine>(this, name); }
    int getEndPoints(double s[3], double e[3]) override
    {
        s[0] = 0; s[1] = 0; s[2] = 0;
        e[0] = 10; e[1] = 0; e[2] = 0;
        return 0;
    }
};

class FakeSurface : public kvIUnknownImp, public kvIGeSurface {
public:
    double n[3] = {0, 0, 1};
    int result = 0;
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIGeSurface>(this, name); }
    int getNormal(const double*, int, double normal[3]) override
    {
        normal[0] = n[0]; normal[1] = n[1]; normal[2] = n[2];
        return result;
    }
};

class FakeCurve : public kvIUnknownImp, public kvIGeCurve {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIGeCurve>(this, name); }
};

struct ReactorTest : ::testing::Test {
    kvCMouseReactor* reactor = nullptr;
    Recorder rec;
    double params[2] = {0.0, 100.0};  // snap radius 1
    double view[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    void SetUp() override
    {
        reactor = new kvCMouseReactor();
        reactor->addRef();
        reactor->setPickFilter(true, true, true, true);
        reactor->setCallbacks(&recordPick, &recordMove, kvCGeMatrix(), &rec);
    }
    void TearDown() override { reactor->release(); }

    void cursorAt(double x, double y, double z)
    {
        view[3][0] = x; view[3][1] = y; view[3][2] = z;
    }
    void send(int event, double x, double y, kvIUnknown* hit, const double* hitPoint, int state = 0)
    {
        reactor->onMouseEvent(event, x, y, 0, params, view, 0, state, hit, hitPoint, false);
    }
    template <class T>
    T* make()
    {
        T* o = new kvIfImp<T>();
        o->_addRef();
        return o;
    }
};

}  // namespace

TEST_F(ReactorTest, PicksWithoutObjectAndRepeatedPicksAreFiltered)
{
    send(11, 5, 5, nullptr, nullptr);
    EXPECT_TRUE(rec.picks.empty());

    // A pick on empty space: the plane position serves as both points.
    cursorAt(3, 4, 0);
    send(1, 1, 1, nullptr, nullptr);
    ASSERT_EQ(rec.picks.size(), 1u);
    EXPECT_EQ(rec.picks[0].onObject, 0);
    EXPECT_DOUBLE_EQ(rec.picks[0].point[0], 3.0);
    EXPECT_DOUBLE_EQ(rec.picks[0].pos[1], 4.0);
    EXPECT_FALSE(rec.picks[0].hasNormal);
    EXPECT_FALSE(rec.picks[0].hasView);

    FakeSurface* s = make<FakeSurface>();
    const double hp[3] = {1, 2, 3};
    send(11, 7, 8, static_cast<kvIGeSurface*>(s), hp);
    send(11, 7, 8, static_cast<kvIGeSurface*>(s), hp);
    send(1, 7, 8, static_cast<kvIGeSurface*>(s), hp);  // a pick on an object counts as 11
    send(11, 7, 9, static_cast<kvIGeSurface*>(s), hp);
    EXPECT_EQ(rec.picks.size(), 3u);
    EXPECT_EQ(rec.picks[1].onObject, 1);
    EXPECT_DOUBLE_EQ(rec.picks[1].point[2], 3.0);
    EXPECT_TRUE(rec.picks[1].hasView);
    s->_relRef();
}

TEST_F(ReactorTest, LinePicksSnapStartBeforeEndBeforeMiddleStrictly)
{
    FakeLine* line = make<FakeLine>();
    kvIUnknown* hit = static_cast<kvIGeLine*>(line);
    params[1] = 1000.0;  // snap radius 10: start, end and middle are all near
    const double nearAll[3] = {5, 0, 0};
    send(11, 1, 0, hit, nearAll);
    EXPECT_DOUBLE_EQ(rec.picks.back().point[0], 0.0);  // start wins

    params[1] = 400.0;  // radius 4
    const double nearEnd[3] = {7, 0, 0};
    send(11, 2, 0, hit, nearEnd);
    EXPECT_DOUBLE_EQ(rec.picks.back().point[0], 10.0);  // end before middle (distance 2)

    const double nearMiddle[3] = {4, 0, 0};
    send(11, 3, 0, hit, nearMiddle);
    EXPECT_DOUBLE_EQ(rec.picks.back().point[0], 5.0);

    params[1] = 100.0;  // radius 1: exactly 1 from the middle does not snap
    const double atRadius[3] = {6, 0, 0};
    send(11, 4, 0, hit, atRadius);
    EXPECT_DOUBLE_EQ(rec.picks.back().point[0], 6.0);
    EXPECT_FALSE(rec.picks.back().hasNormal);
    line->_relRef();
}

TEST_F(ReactorTest, SurfaceNormalsFaceTheViewer)
{
    FakeSurface* s = make<FakeSurface>();
    kvIUnknown* hit = static_cast<kvIGeSurface*>(s);
    const double hp[3] = {0, 0, 0};
    view[2][0] = 0; view[2][1] = 0; view[2][2] = -1;  // view direction
    send(11, 1, 0, hit, hp);
    EXPECT_DOUBLE_EQ(rec.picks.back().normal[2], -1.0);  // 180 degrees: reversed

    s->n[0] = 1; s->n[2] = 0;  // exactly 90 degrees: kept
    send(11, 2, 0, hit, hp);
    EXPECT_DOUBLE_EQ(rec.picks.back().normal[0], 1.0);

    s->result = 2;  // no normal: no pick
    send(11, 3, 0, hit, hp);
    EXPECT_EQ(rec.picks.size(), 2u);
    s->_relRef();
}

TEST_F(ReactorTest, CurvesAndFilteredTypesCountAsNothingHit)
{
    FakeCurve* c = make<FakeCurve>();
    cursorAt(2, 3, 0);
    const double hp[3] = {9, 9, 9};
    send(1, 1, 1, static_cast<kvIGeCurve*>(c), hp);
    ASSERT_EQ(rec.picks.size(), 1u);
    EXPECT_EQ(rec.picks[0].onObject, 0);
    EXPECT_DOUBLE_EQ(rec.picks[0].point[0], 2.0);

    FakeSurface* s = make<FakeSurface>();
    reactor->setPickFilter(false, false, false, false);
    send(1, 1, 2, static_cast<kvIGeSurface*>(s), hp);
    EXPECT_EQ(rec.picks.back().onObject, 0);
    s->_relRef();
    c->_relRef();
}

TEST_F(ReactorTest, MovesAreReportedInTheFramePlaneOnlyWithoutState)
{
    kvCGeMatrix frame;
    frame.setTranslation(kvCGePoint(10, 20, 0));
    reactor->setMatrix(frame);
    cursorAt(13, 24, 0);
    send(5, 0, 0, nullptr, nullptr, 0);
    send(5, 0, 0, nullptr, nullptr, 1);
    ASSERT_EQ(rec.moves.size(), 1u);
    EXPECT_DOUBLE_EQ(rec.moves[0].first, 3.0);
    EXPECT_DOUBLE_EQ(rec.moves[0].second, 4.0);
}

// The view's x and y, which the edge-on case would otherwise hand on, mix
// the view's axes with the plane's: a tool turned by the mouse from above
// went against the drag. The point is projected square onto the plane.
TEST_F(ReactorTest, AnEdgeOnFrameGivesThePointProjectedOntoItsPlane)
{
    // A frame whose XY plane contains the view direction: X along x, Y along z.
    const double m[4][4] = {{1, 0, 0, 10}, {0, 0, 1, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}};
    double X = 0, Y = 0;
    kvCMouseReactor::planePosition(kvCGePoint(11, 2, 3), view, kvCGeMatrix(m), 0.0, X, Y);
    EXPECT_DOUBLE_EQ(X, 1.0);
    EXPECT_DOUBLE_EQ(Y, 3.0);
}

TEST(MouseReactor, CountsReferencesAndAnswersItsNames)
{
    kvCMouseReactor* r = new kvCMouseReactor();
    kvIUnknown* asUnknown = r->queryInterface(L"kvIUnknown");
    ASSERT_NE(asUnknown, nullptr);
    EXPECT_EQ(r->queryInterface(L"kvIMouseEventsReactor1"), asUnknown);
    EXPECT_EQ(r->queryInterface(L"kvIGeLine"), nullptr);
    EXPECT_EQ(r->refCount(), 2);
    r->release();
    EXPECT_EQ(r->refCount(), 1);
    r->release();  // deletes; ASan would report a use afterwards
}
