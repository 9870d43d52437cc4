// Saving a measurement from the analysis window: what a saved angle
// dimension becomes in the model, and that a failing save leaves the window
// no longer saving; and what the drawn angle hands the host's views.
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvCAnalyseDlg.h"
#include "fake_host.h"
#include "host/object/kvPropAccess.h"
#include "platform/kvPlatform.h"
#include "sdk/kvAssert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cwchar>
#include <set>
#include <string>
#include <vector>

namespace {

// What the model received: one record per entity created.
struct Written {
    int kind = 0;
    std::wstring text;
    std::wstring layer;
    unsigned long colour = 0;
    std::vector<kvCGePoint> points;
    int insert = 0;
    bool deleted = false;
};

struct Store {
    std::vector<Written> entities;
    std::set<int> refused;
    int opened = 0;
    int closed = 0;
    bool open = false;
};

class Entity : public kvIUnknownImp, public kvICadText, public kvICadLine, public kvICadPolyline {
public:
    Entity(Store& store, std::size_t index) : store(store), index(index) {}
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        const int kind = rec().kind;
        if (kind == 7)
            return kvQueryInterfaces<kvICadText>(static_cast<kvICadText*>(this), name);
        if (kind == 1)
            return kvQueryInterfaces<kvICadLine>(static_cast<kvICadLine*>(this), name);
        return kvQueryInterfaces<kvICadPolyline>(static_cast<kvICadPolyline*>(this), name);
    }
    int beginEdit() override { return 0; }
    int endEdit() override { return 0; }
    int setLayer(const wchar_t* layer) override
    {
        rec().layer = layer;
        return 0;
    }
    int setColor(unsigned long colour) override
    {
        rec().colour = colour;
        return 0;
    }
    int setPlacement(const double[4][4]) override { return 0; }
    int setGeometry(const wchar_t* text, const double[3], double) override
    {
        rec().text = text;
        return 0;
    }
    int setGeometry(const double a[3], const double b[3]) override
    {
        rec().points = {kvCGePoint(a), kvCGePoint(b)};
        return 0;
    }
    int setGeometry(const double (*p)[3], int count) override
    {
        for (int i = 0; i < count; ++i)
            rec().points.push_back(kvCGePoint(p[i]));
        return 0;
    }
    Written& rec() { return store.entities.at(index); }
    Store& store;
    std::size_t index;
};

// A model that can take an entity out again, while deletes is set.
class Model : public kvIUnknownImp, public kvIBaseModel1, public kvIBaseModelWithDelete {
public:
    explicit Model(Store& store) : store(store) {}
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        if (!deletes)
            return kvQueryInterfaces<kvIBaseModel1>(this, name);
        return kvQueryInterfaces<kvIBaseModel1, kvIBaseModelWithDelete>(this, name);
    }
    int createEntity(int kind, kvIUnknown** out) override
    {
        *out = nullptr;
        if (store.refused.count(kind))
            return -1;
        Written w;
        w.kind = kind;
        w.insert = store.open ? store.opened : 0;
        store.entities.push_back(w);
        Entity* e = new kvIfImp<Entity>(store, store.entities.size() - 1);
        *out = static_cast<kvICadText*>(e);
        (*out)->addRef();
        return 0;
    }
    int deleteEntity(kvIUnknown* entity) override
    {
        Entity* e = dynamic_cast<Entity*>(entity);
        if (!e || e->rec().deleted)
            return -1;
        e->rec().deleted = true;
        return 0;
    }
    Store& store;
    bool deletes = true;
};

// The entities the model keeps.
std::vector<Written> kept(const Store& store)
{
    std::vector<Written> left;
    for (const Written& w : store.entities)
        if (!w.deleted)
            left.push_back(w);
    return left;
}

class Document : public kvIUnknownImp, public kvIBaseDocument1, public kvISWDocument1 {
public:
    explicit Document(Store& store) : store(store), model(new kvIfImp<Model>(store))
    {
        static_cast<kvIBaseModel1*>(model)->addRef();
    }
    ~Document() override { static_cast<kvIBaseModel1*>(model)->release(); }
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        return kvQueryInterfaces<kvIBaseDocument1, kvISWDocument1>(this, name);
    }
    int getBaseModel(kvIUnknown** out) override
    {
        return fake::handOut<kvIBaseModel1>(hasModel ? model : nullptr, out);
    }
    int getTmpGraphics(kvIUnknown** out) override
    {
        kvIfPtr<kvIBaseTmpGraphics> g(static_cast<kvIBaseTmpGraphics*>(new kvIfImp<fake::Graphics>()));
        return fake::handOut(g.getIf(), out);
    }
    int beginInsert(const double[4][4]) override
    {
        ++store.opened;
        store.open = true;
        return 0;
    }
    int endInsert() override
    {
        ++store.closed;
        store.open = false;
        return 0;
    }
    Store& store;
    Model* model;
    // Cleared for a document that has no model.
    bool hasModel = true;
};

// The window with its measurement state reachable, as a pick leaves it.
class Window : public kvCAnalyseDlg {
public:
    using kvCAnalyseDlg::onSaveMeasurement;
    void measuredAngle()
    {
        feedbackSize = 10.0;
        viewDirection = kvCGeVector(0, 0, -1);
        // The top face of a block and a chamfer at 45 degrees to it.
        firstVector = firstDirection = kvCGeVector(0, 0, -1);
        secondVector = secondDirection = kvCGeVector(0, std::sqrt(0.5), -std::sqrt(0.5));
        firstPickPoint = kvCGePoint(20, 10, 40);
        secondPickPoint = kvCGePoint(30, 2.5, 37.5);
        mode = 2;
    }
    void useColour(unsigned long colour) { elementColor = colour; }
    // The document whose views the graphics go to, as opening the window
    // takes it.
    void drawIn(kvIBaseDocument1* doc) { m_pBaseDoc = kvIfPtr<kvIBaseDocument1>(doc); }
    const fake::Graphics* angleGroup() const
    {
        return static_cast<const fake::Graphics*>(graphics[gfxMeasurement].getIf());
    }
};

struct SaveTest : ::testing::Test {
    fake::Host host;
    Store store;
    Document* doc = nullptr;
    Window* window = nullptr;

    void SetUp() override
    {
        kvplat::reset();
        kvSetAssertSink([](const wchar_t*) {});
        doc = new kvIfImp<Document>(store);
        static_cast<kvIBaseDocument1*>(doc)->addRef();
        host.context->baseDoc = doc;
        window = new Window();
        window->setExecContext(host.context);
        propSet(window->propertySet(), kvKeyCadLayer, kvCString(L"Dims"));
        propSet(window->propertySet(), kvKeyCadColor, static_cast<unsigned long>(0x00FF00));
    }
    void TearDown() override
    {
        delete window;
        host.context->baseDoc = nullptr;
        static_cast<kvIBaseDocument1*>(doc)->release();
        kvSetAssertSink(nullptr);
        kvplat::reset();
    }
};

TEST_F(SaveTest, ASavedAngleIsItsLegsAndArcItsTextAndTwoArrowheadsOnTheChosenLayerAndColour)
{
    window->measuredAngle();
    window->showResultGraphic(kvKeyInfoAngle);
    EXPECT_TRUE(store.entities.empty());
    window->onSaveMeasurement();

    ASSERT_EQ(8u, store.entities.size());
    // Legs and arc in one polyline from the centre back to the centre, the
    // text beside it in the same bracket, then three outlines per arrowhead.
    EXPECT_EQ(7, store.entities[0].kind);
    // The faces meet at 135 degrees.
    EXPECT_EQ(L"135", store.entities[0].text);
    EXPECT_EQ(5, store.entities[1].kind);
    EXPECT_EQ(store.entities[0].insert, store.entities[1].insert);
    const std::vector<kvCGePoint>& arc = store.entities[1].points;
    ASSERT_GT(arc.size(), 10u);
    EXPECT_NEAR(0.0, arc.front().distanceTo(arc.back()), 1e-12);
    for (std::size_t i = 2; i < store.entities.size(); ++i) {
        EXPECT_EQ(5, store.entities[i].kind);
        EXPECT_EQ(i % 3 == 1 ? 5u : 3u, store.entities[i].points.size());
    }
    for (const Written& w : store.entities) {
        EXPECT_EQ(L"Dims", w.layer);
        EXPECT_EQ(0x00FF00u, w.colour);
        EXPECT_GT(w.insert, 0);
    }
    EXPECT_EQ(7, store.opened);
    EXPECT_EQ(store.opened, store.closed);
    EXPECT_FALSE(window->isSavingMeasurement());

    // Redrawn after the save, the angle writes nothing more.
    window->showResultGraphic(kvKeyInfoAngle);
    EXPECT_EQ(8u, store.entities.size());
}

// The legs and the arc go to the host's views as one contour, with the
// arguments the host's draw function takes in its order: tolerance 0.0001,
// not filled, the colour, flag 1, an empty name, no frame, a tenth of the
// size wide, the colour again, flag 1 and a point buffer that the window
// keeps from one drawing to the next.
TEST_F(SaveTest, TheAngleHandsTheHostItsContourWithTheDrawingArgumentsAndOneKeptPointBuffer)
{
    window->measuredAngle();
    window->useColour(0x123456);
    window->drawIn(doc);
    window->showResultGraphic(kvKeyInfoAngle);
    const fake::Graphics* group = window->angleGroup();
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(1u, group->contourCalls.size());
    const fake::Graphics::ContourCall& call = group->contourCalls[0];
    EXPECT_EQ(0.0001, call.tolerance);
    EXPECT_FALSE(call.filled);
    EXPECT_EQ(0x123456u, call.colour);
    EXPECT_EQ(1, call.flag);
    EXPECT_TRUE(call.named);
    EXPECT_EQ(L"", call.name);
    EXPECT_EQ(kvCGeMatrix(), call.frame);
    EXPECT_DOUBLE_EQ(1.0, call.width);
    EXPECT_EQ(0x123456u, call.colour2);
    EXPECT_EQ(1, call.flag2);
    ASSERT_NE(nullptr, call.points);

    // Drawn again into a new group, with the same buffer, holding what the
    // host left in it the first time.
    const kvTArray<double[3]>* buffer = call.points;
    const unsigned int held = call.pointsHeld;
    window->showResultGraphic(kvKeyInfoAngle);
    ASSERT_EQ(1u, window->angleGroup()->contourCalls.size());
    EXPECT_EQ(buffer, window->angleGroup()->contourCalls[0].points);
    EXPECT_EQ(held + 1, window->angleGroup()->contourCalls[0].pointsHeld);
}

TEST_F(SaveTest, AModelThatRefusesAnEntityKeepsNothingOfTheSaveAndTheUserIsTold)
{
    const fake::Application& app = *host.app;
    // Texts refused: the text is the angle's first entity; its assertion
    // says what went wrong, the save says that nothing was saved.
    store.refused = {7};
    window->measuredAngle();
    window->showResultGraphic(kvKeyInfoAngle);
    window->onSaveMeasurement();
    EXPECT_FALSE(window->isSavingMeasurement());
    EXPECT_TRUE(kept(store).empty());
    EXPECT_EQ(store.opened, store.closed);
    EXPECT_EQ(0u, kvLastAssertMessage().find(L"Assertion failed:\npText\n\nFile: AnalyseUI\nLine: "));
    ASSERT_EQ(1u, app.boxes.size());
    EXPECT_EQ(L"The model did not take the whole measurement: nothing was saved", app.boxes[0].text);

    // Polylines refused: the text was written before the legs and arc, and
    // is taken out again.
    store.refused = {5};
    window->showResultGraphic(kvKeyInfoAngle);
    window->onSaveMeasurement();
    EXPECT_FALSE(store.entities.empty());
    EXPECT_TRUE(kept(store).empty());
    ASSERT_EQ(2u, app.boxes.size());
    EXPECT_EQ(app.boxes[0].text, app.boxes[1].text);
}

// A model that cannot take an entity out again keeps as much of the save as
// it takes, and the user is told exactly what that is.
TEST_F(SaveTest, AModelThatCannotTakeBackKeepsWhatItTookAndTheUserIsToldWhat)
{
    const std::wstring told = L"The model did not take the whole measurement and holds of it: ";
    doc->model->deletes = false;
    window->measuredAngle();
    for (int refused : {5, 7}) {
        store.entities.clear();
        store.refused = {refused};
        window->showResultGraphic(kvKeyInfoAngle);
        window->onSaveMeasurement();
        EXPECT_FALSE(window->isSavingMeasurement());
    }
    // Texts refused last: the legs and arc and both arrowheads stand.
    EXPECT_EQ(7u, kept(store).size());
    ASSERT_EQ(2u, host.app->boxes.size());
    EXPECT_EQ(told + L"the text \"135\"", host.app->boxes[0].text);
    EXPECT_EQ(told + L"7 polylines", host.app->boxes[1].text);
}

// A document without a model takes nothing: the first write, the angle's
// text, is refused, and nothing more is tried, neither the angle's legs and
// arc nor its arrowheads. One insert bracket, one assertion, one message.
TEST_F(SaveTest, ASaveIntoADocumentWithoutAModelStopsAtTheFirstRefusal)
{
    doc->hasModel = false;
    window->measuredAngle();
    window->showResultGraphic(kvKeyInfoAngle);
    kvResetAssertMessages();
    window->onSaveMeasurement();
    EXPECT_FALSE(window->isSavingMeasurement());
    EXPECT_TRUE(store.entities.empty());
    EXPECT_EQ(1, store.opened);
    EXPECT_EQ(1, store.closed);
    EXPECT_EQ(1, kvAssertMessageCount());
    EXPECT_EQ(L"pText", kvLastAssertMessage().substr(kvLastAssertMessage().find(L'\n') + 1, 5));
    ASSERT_EQ(1u, host.app->boxes.size());
    EXPECT_EQ(L"The model did not take the whole measurement: nothing was saved", host.app->boxes[0].text);
}

} // namespace
