#include "host/object/kvPropAccess.h"
#include "host/object/kvPropertyBag.h"
#include "host/object/kvRecords.h"
#include "sdk/kvDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records every event a set sends, until it is gone or removed.
struct Recorder : kvPrPropSetListener {
    kvCPrPropertySet* set;
    std::vector<std::pair<unsigned int, std::wstring>> events;
    int gone = 0;

    explicit Recorder(kvCPrPropertySet* s) : set(s) { set->addListener(this); }
    ~Recorder() override
    {
        if (gone == 0)
            set->removeListener(this);
    }
    void propertyEvent(kvCPrPropertySet*, unsigned int code, const wchar_t* name) override
    {
        events.emplace_back(code, name ? name : L"<null>");
    }
    void propertySetGone(kvCPrPropertySet*) override { ++gone; }
    bool saw(unsigned int code, const wchar_t* name) const
    {
        return std::find(events.begin(), events.end(), std::make_pair(code, std::wstring(name))) != events.end();
    }
};

// A host object of interface Itf that counts its references and answers
// its own name and "kvIUnknown".
template <class Itf>
struct Counted : Itf {
    int refs = 0;
    bool addRef() override { return ++refs > 0; }
    bool release() override { return --refs >= 0; }
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        const std::wstring n(name);
        if (n != kvIfName<Itf>::value && n != L"kvIUnknown")
            return nullptr;
        addRef();
        return this;
    }
};
typedef Counted<kvIUnknown> FakeObject;

// The owner of a set: hands out its object by name.
struct FakeController : kvPrPropSetReactor {
    kvIUnknown* object = nullptr;
    std::wstring asked;
    bool getInterface(const wchar_t* name, kvIUnknown** out) override
    {
        asked = name;
        *out = object ? object->queryInterface(name) : nullptr;
        return *out != nullptr;
    }
};

// Writes value under name and reads it back as a T.
template <class T, class V>
T roundTrip(kvCPrPropertySet& set, const wchar_t* name, const V& value)
{
    EXPECT_TRUE(propSet(&set, name, value)) << name;
    T back = T();
    EXPECT_TRUE(propGet(&set, name, back)) << name;
    return back;
}

} // namespace

TEST(PropertySet, TypedAccessConvertsKeepsTheStoredTypeOrReplacesIt)
{
    kvCPrPropertySet set;
    double d = 4.5;
    EXPECT_FALSE(propGet(&set, L"Missing", d));
    EXPECT_FALSE(propGet(static_cast<const kvCPrPropertySet*>(nullptr), L"Missing", d));
    EXPECT_DOUBLE_EQ(d, 4.5);

    EXPECT_EQ(roundTrip<int>(set, L"MinDiameter", 2.6), 3);
    // A stored int takes a long by conversion and keeps its type.
    propSet(&set, L"AnalyseMode", 1);
    EXPECT_EQ(roundTrip<int>(set, L"AnalyseMode", 3l), 3);
    // A value that does not convert replaces the stored one; a failed read leaves the target.
    propSet(&set, L"Machine", 0);
    EXPECT_EQ(roundTrip<kvCString>(set, L"Machine", kvCString(L"Mill A")), kvCString(L"Mill A"));
    kvCGeMatrix m;
    m.setTranslation(kvCGeVector(1, 2, 3));
    kvCGeMatrix untouched = m;
    EXPECT_FALSE(propGet(&set, L"Machine", untouched));
    EXPECT_EQ(untouched, m);

    // Value sets keep their faces; entity data starts on layer "0" in red.
    kvCSurfaceSet faces;
    FakeObject face;
    faces.add(&face);
    kvCSurfaceSet read = roundTrip<kvCSurfaceSet>(set, L"Surfaces", faces);
    kvCIUnknownData first;
    EXPECT_EQ(read.count(), 1u);
    EXPECT_NE(read.get(0, first), 0);
    EXPECT_EQ(first.getUnknown().get(), &face);
    EXPECT_EQ(read.get(1, first), 0);
    kvCCadEntityData cad;
    EXPECT_EQ(cad.layer(), kvCString(L"0"));
    EXPECT_EQ(cad.colour().colorValue(), 0x0000FFu);
    cad.setLayer(L"Analyse");
    EXPECT_EQ(roundTrip<kvCCadEntityData>(set, L"CadAttribute", cad), cad);
}

TEST(PropertySet, ValueChangeEventsOnlyForRealChanges)
{
    kvCPrPropertySet set;
    {
        Recorder rec(&set);
        propSet(&set, L"ToolLengthOffset", 2.0);
        propSet(&set, L"ToolLengthOffset", 2.0);
        propSet(&set, L"ToolLengthOffset", 2);  // converts to the same double
        propSet(&set, L"ToolLengthOffset", 3.0);
        EXPECT_EQ(rec.events, (std::vector<std::pair<unsigned int, std::wstring>>(
                                  2, {KVPROP_EVT_VALUECHANGED, L"ToolLengthOffset"})));
    }
    propSet(&set, L"ToolLengthOffset", 4.0);  // no listener left
}

TEST(PropertySet, RemovalLeavesAnEmptySlotThatIteratorsStepOver)
{
    kvCPrPropertySet set;
    propSet(&set, L"a", 1);
    propSet(&set, L"b", 2);
    propSet(&set, L"c", 3);
    Recorder rec(&set);
    EXPECT_TRUE(set.removeProp(L"b"));
    EXPECT_TRUE(rec.saw(KVPROP_EVT_REMOVED, L"b"));
    EXPECT_FALSE(set.removeProp(L"b"));

    kvPrProperty* entry = reinterpret_cast<kvPrProperty*>(&rec);
    ASSERT_TRUE(set.getAt(1, entry));
    EXPECT_EQ(entry, nullptr);
    EXPECT_FALSE(set.getAt(3, entry));

    std::vector<std::wstring> seen;
    for (kvCPrPropertySetIterator it(&set); !it.atEnd(); ++it)
        seen.push_back(it->getName());
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"a", L"c"}));

    // Empty leading slots are stepped over at the start too.
    EXPECT_TRUE(set.removeProp(L"a"));
    kvCPrPropertySetIterator late(&set);
    ASSERT_FALSE(late.atEnd());
    EXPECT_EQ(late.index(), 2u);
    EXPECT_TRUE((++late).atEnd());
}

TEST(PropertySet, FlagsAndRestrictionsAreReportedAndRestrictionsRefuseValues)
{
    kvCPrPropertySet set;
    propSet(&set, L"AnalyseMode", 1);
    Recorder rec(&set);

    kvCPropertySetUtil util(&set, false);
    EXPECT_TRUE(util.isVisible(L"AnalyseMode"));
    util.setVisible(L"AnalyseMode", false);
    util.setReadOnly(L"AnalyseMode", true);
    short flags = 0;
    EXPECT_TRUE(set.getFlags(L"AnalyseMode", flags));
    EXPECT_EQ(flags, kvPropFlagHidden | kvPropFlagReadOnly);
    EXPECT_FALSE(util.isVisible(L"AnalyseMode"));
    util.setVisible(L"AnalyseMode", true);
    EXPECT_TRUE(set.getFlags(L"AnalyseMode", flags));
    EXPECT_EQ(flags, kvPropFlagReadOnly);
    EXPECT_TRUE(rec.saw(KVPROP_EVT_RESTRICTIONS, L"AnalyseMode"));
    const size_t before = rec.events.size();
    util.setReadOnly(L"AnalyseMode", true);  // no change, no event
    EXPECT_EQ(rec.events.size(), before);

    auto* allowed = new kvCValRestrict<int>(1, 5);
    for (int mode : {1, 2, 7})
        allowed->addAllowed(mode);
    EXPECT_TRUE(set.setRestrictions(L"AnalyseMode", allowed));
    EXPECT_EQ(rec.events.back().first, static_cast<unsigned int>(KVPROP_EVT_RESTRICTIONS));
    const kvCValRestrictBase* r = nullptr;
    ASSERT_TRUE(set.getRestrictions(L"AnalyseMode", r, nullptr));
    EXPECT_TRUE(r->test(kvCGenValueNc<kvCString>(kvCString(L"2"))));
    EXPECT_FALSE(r->test(kvCGenValueNc<kvCGeMatrix>()));
    // In range but not listed, or listed but out of range: refused, value kept.
    EXPECT_TRUE(propSet(&set, L"AnalyseMode", 2));
    for (int refused : {3, 7, 99})
        EXPECT_FALSE(propSet(&set, L"AnalyseMode", refused)) << refused;
    int mode = 0;
    EXPECT_TRUE(propGet(&set, L"AnalyseMode", mode));
    EXPECT_EQ(mode, 2);

    // A missing property takes no restriction (and the restriction is not leaked).
    EXPECT_FALSE(set.setRestrictions(L"Missing", new kvCValRestrict<int>(0, 1)));
}

TEST(PropertySet, NestedSetsAndReferencesReportWithTheirPath)
{
    kvCPrPropertySet dialog;
    kvCPrPropertySet frame(L"Frame");
    kvCGeMatrix m;
    propSet(&frame, L"Matrix", m);
    Recorder rec(&dialog);
    EXPECT_TRUE(dialog.setPropRef(L"FrameRef", &frame));
    EXPECT_TRUE(rec.saw(KVPROP_EVT_VALUECHANGED, L"FrameRef"));

    kvCGeMatrix moved;
    moved.setTranslation(kvCGeVector(0, 0, 5));
    EXPECT_TRUE(propSet(&frame, L"Matrix", moved));
    EXPECT_TRUE(rec.saw(KVPROP_EVT_VALUECHANGED, L"FrameRef/Matrix"));
    // Writing through the path reaches the referenced set.
    EXPECT_EQ(roundTrip<kvCGeMatrix>(dialog, L"FrameRef/Matrix", m), m);
    kvCGeMatrix read;
    EXPECT_TRUE(propGet(&frame, L"Matrix", read));
    EXPECT_EQ(read, m);
    kvCPrPropertySet* sub = nullptr;
    EXPECT_TRUE(propGet<kvCPrPropertySet*>(&dialog, L"FrameRef", sub));
    EXPECT_EQ(sub, &frame);

    kvCPrPropertySet* tool = dialog.addPropSet(L"Tool");
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(dialog.addPropSet(L"Tool"), tool);
    EXPECT_EQ(dialog.addPropSet(L"FrameRef"), nullptr);  // taken by a reference
    propSet(tool, L"Diameter", 10.0);
    EXPECT_TRUE(rec.saw(KVPROP_EVT_VALUECHANGED, L"Tool/Diameter"));

    // An empty reference; a reference whose set goes away reports removal.
    EXPECT_TRUE(dialog.setPropRef(L"MillAreaRef", nullptr));
    EXPECT_EQ(dialog.getPropSet(L"MillAreaRef"), nullptr);
    {
        kvCPrPropertySet area;
        dialog.setPropRef(L"MillAreaRef", &area);
        EXPECT_EQ(dialog.getPropSet(L"MillAreaRef"), &area);
    }
    EXPECT_TRUE(rec.saw(KVPROP_EVT_REMOVED, L"MillAreaRef"));
    EXPECT_EQ(dialog.getPropSet(L"MillAreaRef"), nullptr);
}

TEST(PropertySet, ReferenceCyclesAndListenersLeavingDuringAnEventStayBounded)
{
    kvCPrPropertySet a(L"A");
    kvCPrPropertySet b(L"B");
    a.setPropRef(L"toB", &b);
    b.setPropRef(L"toA", &a);
    Recorder rec(&a);
    propSet(&a, L"x", 1);  // goes round the cycle a bounded number of times
    EXPECT_TRUE(rec.saw(KVPROP_EVT_VALUECHANGED, L"x"));
    EXPECT_LT(rec.events.size(), 100u);

    struct Quitter : kvPrPropSetListener {
        kvCPrPropertySet* set = nullptr;
        int calls = 0;
        void propertyEvent(kvCPrPropertySet*, unsigned int, const wchar_t*) override
        {
            ++calls;
            set->removeListener(this);
        }
    } quitter;
    quitter.set = &a;
    a.addListener(&quitter);
    propSet(&a, L"x", 2);
    propSet(&a, L"x", 3);
    EXPECT_EQ(quitter.calls, 1);
}

TEST(PropertySet, CopiesAreDeepAndMergesWriteKeyByKey)
{
    kvCPrPropertySet* original = new kvCPrPropertySet(L"S");
    propSet(original, L"v", 1.0);
    original->addPropSet(L"inner");
    propSet(original, L"inner/w", 2);
    original->setFlags(L"v", kvPropFlagHidden);
    original->setRestrictions(L"v", new kvCValRestrict<int>(0, 3));
    kvCPrPropertySet copy(*original);
    Recorder rec(original);
    delete original;
    EXPECT_EQ(rec.gone, 1);

    double v = 0;
    int w = 0;
    short flags = 0;
    const kvCValRestrictBase* r = nullptr;
    EXPECT_TRUE(propGet(&copy, L"v", v) && propGet(&copy, L"inner/w", w));
    EXPECT_TRUE(copy.getFlags(L"v", flags) && copy.getRestrictions(L"v", r));
    EXPECT_DOUBLE_EQ(v, 1.0);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(flags, kvPropFlagHidden);

    kvCPrPropertySet target;
    propSet(&target, L"v", 5.0);
    Recorder trec(&target);
    EXPECT_TRUE(target.set(copy));
    EXPECT_TRUE(propGet(&target, L"v", v) && propGet(&target, L"inner/w", w));
    EXPECT_DOUBLE_EQ(v, 1.0);
    EXPECT_TRUE(trec.saw(KVPROP_EVT_VALUECHANGED, L"v"));
}

TEST(PropertySetUtil, WithoutASetStrictThrowsAndLenientAnswersFalse)
{
    kvCPropertySetUtil lenient(nullptr, false);
    kvCString s(L"keep");
    EXPECT_FALSE(lenient.get(L"x", s));
    EXPECT_EQ(s, kvCString(L"keep"));
    EXPECT_FALSE(lenient.isVisible(L"x"));
    lenient.setVisible(L"x", true);

    kvCPropertySetUtil strict(nullptr, true);
    EXPECT_THROW(strict.get(L"x", s), bool);
    EXPECT_THROW(strict.setReadOnly(L"x", true), bool);
    kvCPrPropertySet set;
    propSet(&set, L"x", kvCString(L"given"));
    EXPECT_TRUE(strict.setPropertySet(&set).get(L"x", s));
    EXPECT_EQ(s, kvCString(L"given"));
}

TEST(PropertySetUtil, TheControllersInterfaceReachesTheCallerWithItsReference)
{
    kvCPrPropertySet set;
    kvCPropertySetUtil util(&set);
    util.getInterface<kvITwMillingArea2>(nullptr);  // nothing happens
    kvITwMillingArea2* area = reinterpret_cast<kvITwMillingArea2*>(&util);
    util.getInterface(&area);
    EXPECT_EQ(area, nullptr);  // no controller

    FakeObject other;
    FakeController ctrl;
    ctrl.object = &other;
    set.setController(&ctrl);
    util.getInterface(&area);
    EXPECT_EQ(ctrl.asked, L"kvITwMillingArea2");
    EXPECT_EQ(area, nullptr);

    Counted<kvITwMillingArea2> owned;
    ctrl.object = &owned;
    util.getInterface(&area);
    EXPECT_EQ(area, &owned);
    EXPECT_EQ(owned.refs, 1);
    EXPECT_EQ(other.refs, 0);
}

TEST(ToolSearch, SubSetsAreVisitedAndTheToolIsFoundByItsControllersObject)
{
    kvCPrPropertySet tools;
    propSet(&tools, L"Count", 3);
    kvCPrPropertySet* t1 = tools.addPropSet(L"T1");
    propSet(&tools, L"Plain", 1.0);
    tools.addPropSet(L"T2");
    kvCPrPropertySet* t3 = tools.addPropSet(L"T3");
    tools.removeProp(L"T2");
    std::vector<kvCPrPropertySet*> visited;
    for (kvTPropSetIterator<kvCPrPropertySet> it(&tools); !it.atEnd(); ++it)
        visited.push_back(it.current());
    EXPECT_EQ(visited, (std::vector<kvCPrPropertySet*>{t1, t3}));
    EXPECT_TRUE(kvTPropSetIterator<kvCPrPropertySet>(nullptr).atEnd());
    const kvCPrPropertySet empty;
    EXPECT_TRUE(kvCPrPropertySetIterator(&empty).atEnd());

    FakeObject wanted, other;
    FakeController c1, c3;
    c1.object = &other;
    c3.object = &wanted;
    t1->setController(&c1);
    for (bool lastHasController : {false, true}) {
        if (lastHasController)
            t3->setController(&c3);
        kvTPropSetIterator<kvCPrPropertySet> it(&tools);
        findToolInSet(it, isSameTool(&wanted));
        EXPECT_EQ(it.atEnd() ? nullptr : it.current(), lastHasController ? t3 : nullptr);
    }
    EXPECT_TRUE(isSameTool(&wanted)(nullptr));
    EXPECT_EQ(wanted.refs + other.refs, 0);
}

TEST(Records, FaceRecordsHoldTheirFaceUntilDroppedOrGone)
{
    FakeObject face;
    {
        kvTArray<kvIArcUnknown> arcs;
        arcs[0].face = kvIUnknownPtr(&face);
        arcs[0].radius = 5.0;
        arcs[1] = arcs[0];
        arcs.setSize(1);  // the dropped record lets its face go
        EXPECT_EQ(face.refs, 1);
        EXPECT_TRUE(arcs[1].face.isNull());
        EXPECT_DOUBLE_EQ(arcs[1].radius, 0.0);
    }
    EXPECT_EQ(face.refs, 0);
}
