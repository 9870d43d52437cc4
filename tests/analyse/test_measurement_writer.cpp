// Writing a measurement into the model: which entities a contour and a text
// become, in which order their properties are set, and that the document's
// insert bracket closes on every path.
#include "analyse/kvMeasurementWriter.h"

#include "sdk/kvAssert.h"
#include "sdk/kvUnknownImp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// Every host call lands in one log, so a test reads the order of the calls.
using Log = std::vector<std::string>;

std::string fmt(const char* format, double a, double b = 0, double c = 0)
{
    char text[96];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

template <class Interface>
class Entity : public kvIUnknownImp, public Interface {
public:
    explicit Entity(Log& log) : log(log) {}
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        return kvQueryInterfaces<Interface, kvICadEntity>(this, name);
    }
    int beginEdit() override { return note("begin"); }
    int endEdit() override { return note("end"); }
    int setLayer(const wchar_t* layer) override
    {
        return note("layer " + std::string(layer, layer + std::wcslen(layer)));
    }
    int setColor(unsigned long colour) override { return note(fmt("colour %g", double(colour))); }

    int note(const std::string& s)
    {
        log.push_back(s);
        return 0;
    }
    Log& log;
};

struct Text : Entity<kvICadText> {
    using Entity::Entity;
    int setGeometry(const wchar_t* text, const double d[3], double height) override
    {
        return note("text " + std::string(text, text + std::wcslen(text)) + fmt(" direction %g %g %g", d[0], d[1], d[2]) +
                    fmt(" height %g", height));
    }
    int setPlacement(const double m[4][4]) override { return note(fmt("placed at %g %g %g", m[0][3], m[1][3], m[2][3])); }
};

struct Line : Entity<kvICadLine> {
    using Entity::Entity;
    int setGeometry(const double a[3], const double b[3]) override
    {
        return note(fmt("line %g %g %g", a[0], a[1], a[2]) + fmt(" to %g %g %g", b[0], b[1], b[2]));
    }
};

struct Polyline : Entity<kvICadPolyline> {
    using Entity::Entity;
    int setGeometry(const double (*p)[3], int count) override
    {
        for (int i = 0; i < count; ++i) sharedPoints.push_back(kvCGePoint(p[i]));
        return note(fmt("polyline %g points", count));
    }
    // The points of the last polylines written.
    static std::vector<kvCGePoint> sharedPoints;
};
std::vector<kvCGePoint> Polyline::sharedPoints;

class Model : public kvIUnknownImp, public kvIBaseModel1 {
public:
    explicit Model(Log& log) : log(log) {}
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIBaseModel1>(this, name); }
    int createEntity(int kind, kvIUnknown** out) override
    {
        log.push_back(fmt("create %g", kind));
        *out = nullptr;
        if (refused.count(kind))
            return -1;
        kvICadEntity* e = nullptr;
        if (kind == kvCadKindText)
            e = new kvIfImp<Text>(log);
        else if (kind == kvCadKindLine)
            e = new kvIfImp<Line>(log);
        else if (kind == kvCadKindPolyline)
            e = new kvIfImp<Polyline>(log);
        if (!e)
            return -1;
        e->addRef();
        *out = e;
        return 0;
    }
    Log& log;
    std::set<int> refused;
};

class Document : public kvIUnknownImp, public kvIBaseDocument1, public kvISWDocument1 {
public:
    explicit Document(Log& log) : log(log) {}
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        if (!bracketOffered)
            return kvQueryInterfaces<kvIBaseDocument1>(this, name);
        return kvQueryInterfaces<kvIBaseDocument1, kvISWDocument1>(this, name);
    }
    int beginInsert(const double m[4][4]) override
    {
        log.push_back(fmt("insert at %g %g %g", m[0][3], m[1][3], m[2][3]));
        return 0;
    }
    int endInsert() override
    {
        log.push_back("insert end");
        return 0;
    }
    Log& log;
    bool bracketOffered = true;
};

struct MeasurementWriter : ::testing::Test {
    void SetUp() override
    {
        model.attach(new kvIfImp<Model>(log));
        model->addRef();
        doc.attach(static_cast<kvIBaseDocument1*>(new kvIfImp<Document>(log)));
        doc->addRef();
        style.layer = L"Dims";
        style.useLayer = true;
        style.colour = 255;
        style.useColour = true;
        frame.setCoordSystem(kvCGePoint(1, 2, 3), kvCGeVector(0, 1, 0), kvCGeVector(-1, 0, 0), kvCGeVector(0, 0, 1));
        Polyline::sharedPoints.clear();
        kvResetAssertMessages();
    }
    kvIUnknownPtr write(const kvCGeContour* contour, const wchar_t* text)
    {
        return kvWriteMeasurement(static_cast<kvIBaseDocument1*>(doc.getIf()), contour, model, frame, text, style);
    }
    Model& theModel() { return *static_cast<Model*>(model.getIf()); }

    Log log;
    kvIfPtr<kvIBaseModel1> model;
    kvIfPtr<kvIBaseDocument1> doc;
    kvMeasurementStyle style;
    kvCGeMatrix frame;
};

TEST_F(MeasurementWriter, TextAndTwoPointContourBecomeATextAndALineInOneBracket)
{
    kvCGeContour3d contour;
    contour.lineTo(kvCGePoint(0, 0, 0), 1).lineTo(kvCGePoint(10, 0, 0), 0);
    const kvIUnknownPtr written = write(&contour, L"40");
    const Log expected = {
        "insert at 1 2 3", "create 7", "begin", "text 40 direction 0 0 1 height 3", "placed at 1 2 3",
        "layer Dims",      "colour 255", "end", "create 1", "begin", "line 0 0 0 to 10 0 0",
        "colour 255",      "layer Dims", "end", "insert end",
    };
    EXPECT_EQ(expected, log);
    EXPECT_FALSE(kvIfPtr<kvICadLine>(written).isNull());
}

TEST_F(MeasurementWriter, ArcContourBecomesAPolylineWithinTheTolerance)
{
    style.useLayer = style.useColour = false;
    kvCGeContour3d contour;
    contour.lineTo(kvCGePoint(0, 0, 0), 1).lineTo(kvCGePoint(10, 0, 0), 0);
    ASSERT_TRUE(contour.arcTo(kvCGePoint(0, 10, 0), kvCGePoint(0, 0, 0), kvCGeVector(0, 0, 1), 1));
    const kvIUnknownPtr written = write(&contour, nullptr);
    EXPECT_FALSE(kvIfPtr<kvICadPolyline>(written).isNull());
    const std::vector<kvCGePoint>& p = Polyline::sharedPoints;
    ASSERT_GT(p.size(), 10u);
    EXPECT_EQ(kvCGePoint(0, 0, 0), p.front());
    EXPECT_NEAR(0.0, p.back().distanceTo(kvCGePoint(0, 10, 0)), 1e-9);
    for (std::size_t i = 1; i < p.size(); ++i) {
        // Every arc point on the circle, every chord's middle within the tolerance.
        EXPECT_NEAR(10.0, p[i].distanceTo(kvCGePoint(0, 0, 0)), 1e-9);
        if (i > 1) {
            const kvCGePoint mid((p[i - 1].x + p[i].x) / 2, (p[i - 1].y + p[i].y) / 2, 0);
            EXPECT_LE(10.0 - mid.distanceTo(kvCGePoint(0, 0, 0)), kvMeasurementApproxTolerance);
        }
    }
    // No style set: neither layer nor colour is touched.
    for (const std::string& call : log) {
        EXPECT_EQ(std::string::npos, call.find("layer"));
        EXPECT_EQ(std::string::npos, call.find("colour"));
    }
}

TEST_F(MeasurementWriter, TextAloneAndWritesWithoutTheBracket)
{
    kvCGeContour3d empty;
    EXPECT_TRUE(write(&empty, L"Name") == nullptr);
    EXPECT_EQ("insert end", log.back());
    EXPECT_EQ(1, static_cast<int>(std::count(log.begin(), log.end(), "create 7")));
    EXPECT_EQ(0, static_cast<int>(std::count(log.begin(), log.end(), "create 1")));

    log.clear();
    static_cast<Document*>(doc.getIf())->bracketOffered = false;
    kvCGeContour3d contour;
    contour.lineTo(kvCGePoint(0, 0, 0), 1).lineTo(kvCGePoint(1, 0, 0), 0).lineTo(kvCGePoint(1, 1, 0), 0);
    EXPECT_FALSE(kvIfPtr<kvICadPolyline>(write(&contour, nullptr)).isNull());
    EXPECT_EQ("create 5", log.front());
    EXPECT_EQ("end", log.back());
}

TEST_F(MeasurementWriter, EachPieceOfAContourIsAnEntityOfItsOwn)
{
    // Two extension lines: written as one polyline they would be joined by
    // a line that was never drawn.
    kvCGeContour3d contour;
    contour.lineTo(kvCGePoint(0, 0, 0), 1).lineTo(kvCGePoint(0, 0, 5), 0);
    contour.lineTo(kvCGePoint(10, 0, 0), 1).lineTo(kvCGePoint(10, 0, 5), 0).lineTo(kvCGePoint(10, 3, 5), 0);
    write(&contour, nullptr);
    EXPECT_EQ(1, static_cast<int>(std::count(log.begin(), log.end(), "line 0 0 0 to 0 0 5")));
    EXPECT_EQ(1, static_cast<int>(std::count(log.begin(), log.end(), "polyline 3 points")));
    ASSERT_EQ(3u, Polyline::sharedPoints.size());
    EXPECT_EQ(kvCGePoint(10, 0, 0), Polyline::sharedPoints.front());
    EXPECT_EQ(1, static_cast<int>(std::count(log.begin(), log.end(), "insert end")));
}

TEST_F(MeasurementWriter, RefusedEntitiesFailTheTextAndFallBackFromLineToPolyline)
{
    theModel().refused = {kvCadKindLine};
    kvCGeContour3d contour;
    contour.lineTo(kvCGePoint(0, 0, 0), 1).lineTo(kvCGePoint(10, 0, 0), 0);
    EXPECT_FALSE(kvIfPtr<kvICadPolyline>(write(&contour, nullptr)).isNull());
    EXPECT_EQ(2u, Polyline::sharedPoints.size());

    log.clear();
    theModel().refused = {kvCadKindText};
    bool thrown = false;
    const kvAssertSink previous = kvSetAssertSink([](const wchar_t*) {});
    try {
        write(&contour, L"40");
    } catch (wchar_t*) {
        thrown = true;
    }
    kvSetAssertSink(previous);
    EXPECT_TRUE(thrown);
    EXPECT_NE(std::wstring::npos, kvLastAssertMessage().find(L"pText"));
    // The bracket is closed even so; nothing else was written.
    const Log expected = {"insert at 1 2 3", "create 7", "insert end"};
    EXPECT_EQ(expected, log);
}

} // namespace
