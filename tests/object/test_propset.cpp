#include "host/object/kvPropAccess.h"
#include "host/object/kvPropertyBag.h"
#include "host/object/kvRecords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records every event a set sends.
struct Recorder : kvPrPropSetListener {
    struct Event {
        unsigned int code;
        std::wstring name;
    };
    std::vector<Event> events;
    int gone = 0;

    void propertyEvent(kvCPrPropertySet*, unsigned int code, const wchar_t* name) override
    {
        events.push_back({code, name ? name : L"<null>"});
    }
    void propertySetGone(kvCPrPropertySet*) override { ++gone; }
    bool saw(unsigned int code, const wchar_t* name) const
    {
        for (const Event& e : events)
            if (e.code == code && e.name == name)
                return true;
        return false;
    }
};

// A host object that counts its references and answers only "kvIUnknown".
struct FakeObject : kvIUnknown {
    int refs = 0;
    bool addRef() override
    {
        ++refs;
        return true;
    }
    bool release() override
    {
        --refs;
        return true;
    }
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        if (std::wstring(name) != L"kvIUnknown")
            return nullptr;
        addRef();
        return this;
    }
};

// The owner of a tool's set: hands out its object as "kvIUnknown".
struct FakeController : kvPrPropSetReactor {
    FakeObject* object = nullptr;
    std::wstring asked;
    bool getInterface(const wchar_t* name, kvIUnknown** out) override
    {
        asked = name;
        *out = object ? object->queryInterface(name) : nullptr;
        return *out != nullptr;
    }
};

}  // namespace

TEST(PropertySet, TypedReadsAndWritesWithDefaultsAndConversion)
{
    kvCPrPropertySet set;
    double d = 4.5;
    EXPECT_FALSE(propGet(&set, L"Missing", d));
    EXPECT_DOUBLE_EQ(d, 4.5);

    EXPECT_TRUE(propSet(&set, L"MinDiameter", 2.6));
    int i = 0;
    EXPECT_TRUE(propGet(&set, L"MinDiameter", i));
    EXPECT_EQ(i, 3);

    kvCGeMatrix m;
    m.setTranslation(kvCGeVector(1, 2, 3));
    EXPECT_TRUE(propSet(&set, L"Name", kvCString(L"text")));
    kvCGeMatrix untouched = m;
    EXPECT_FALSE(propGet(&set, L"Name", untouched));
    EXPECT_EQ(untouched, m);

    // A stored int takes a long by conversion and keeps its type.
    EXPECT_TRUE(propSet(&set, L"AnalyseMode", 1));
    EXPECT_TRUE(propSet(&set, L"AnalyseMode", 3l));
    int mode = 0;
    EXPECT_TRUE(propGet(&set, L"AnalyseMode", mode));
    EXPECT_EQ(mode, 3);

    // A value that does not convert replaces the stored one.
    EXPECT_TRUE(propSet(&set, L"Machine", 0));
    EXPECT_TRUE(propSet(&set, L"Machine", kvCString(L"Mill A")));
    kvCString machine;
    EXPECT_TRUE(propGet(&set, L"Machine", machine));
    EXPECT_EQ(machine, kvCString(L"Mill A"));

    EXPECT_TRUE(propSet(&set, L"FrameRef/Matrix", m));
    kvCGeMatrix back;
    EXPECT_TRUE(propGet(&set, L"FrameRef/Matrix", back));
    EXPECT_EQ(back, m);

    kvCSurfaceSet faces;
    FakeObject face;
    faces.add(&face);
    EXPECT_TRUE(propSet(&set, L"Surfaces", faces));
    kvCSurfaceSet read;
    EXPECT_TRUE(propGet(&set, L"Surfaces", read));
    EXPECT_EQ(read.count(), 1u);
    kvCIUnknownData first;
    EXPECT_NE(read.get(0, first), 0);
    EXPECT_EQ(first.getUnknown().get(), &face);
    EXPECT_EQ(read.get(1, first), 0);

    kvCCadEntityData cad;
    EXPECT_EQ(cad.layer(), kvCString(L"0"));
    EXPECT_EQ(cad.colour().colorValue(), 0x0000FFu);
    cad.setLayer(L"Analyse");
    EXPECT_TRUE(propSet(&set, L"CadAttribute", cad));
    kvCCadEntityData cadBack;
    EXPECT_TRUE(propGet(&set, L"CadAttribute", cadBack));
    EXPECT_EQ(cadBack, cad);

    EXPECT_FALSE(propGet(static_cast<const kvCPrPropertySet*>(nullptr), L"x", d));
}

TEST(PropertySet, ValueChangeEventsOnlyForRealChanges)
{
    kvCPrPropertySet set;
    Recorder rec;
    set.addListener(&rec);

    propSet(&set, L"ToolLengthOffset", 2.0);
    ASSERT_EQ(rec.events.size(), 1u);
    EXPECT_EQ(rec.events[0].code, 2u);
    EXPECT_EQ(rec.events[0].name, L"ToolLengthOffset");

    propSet(&set, L"ToolLengthOffset", 2.0);
    propSet(&set, L"ToolLengthOffset", 2);  // converts to the same double
    EXPECT_EQ(rec.events.size(), 1u);

    propSet(&set, L"ToolLengthOffset", 3.0);
    EXPECT_EQ(rec.events.size(), 2u);

    set.removeListener(&rec);
    propSet(&set, L"ToolLengthOffset", 4.0);
    EXPECT_EQ(rec.events.size(), 2u);
}

TEST(PropertySet, RemovalLeavesAnEmptySlotAndSendsCodeThree)
{
    kvCPrPropertySet set;
    propSet(&set, L"a", 1);
    propSet(&set, L"b", 2);
    propSet(&set, L"c", 3);
    Recorder rec;
    set.addListener(&rec);
    EXPECT_TRUE(set.removeProp(L"b"));
    EXPECT_TRUE(rec.saw(3, L"b"));
    EXPECT_FALSE(set.removeProp(L"b"));

    kvPrProperty* entry = reinterpret_cast<kvPrProperty*>(&rec);
    ASSERT_TRUE(set.getAt(1, entry));
    EXPECT_EQ(entry, nullptr);
    EXPECT_FALSE(set.getAt(3, entry));

    kvCPrPropertySetIterator it(&set);
    std::vector<std::wstring> seen;
    for (; !it.atEnd(); ++it)
        seen.push_back(it->getName());
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"a", L"c"}));

    // Empty leading slots are stepped over at the start too.
    EXPECT_TRUE(set.removeProp(L"a"));
    kvCPrPropertySetIterator late(&set);
    ASSERT_FALSE(late.atEnd());
    EXPECT_EQ(std::wstring(late->getName()), L"c");
    EXPECT_EQ(late.index(), 2u);
    EXPECT_TRUE((++late).atEnd());
    set.removeListener(&rec);
}

TEST(PropertySet, FlagsAndRestrictionsSendCodeFour)
{
    kvCPrPropertySet set;
    propSet(&set, L"AnalyseMode", 1);
    Recorder rec;
    set.addListener(&rec);

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
    EXPECT_TRUE(rec.saw(4, L"AnalyseMode"));
    const size_t before = rec.events.size();
    util.setReadOnly(L"AnalyseMode", true);  // no change, no event
    EXPECT_EQ(rec.events.size(), before);

    const kvCValRestrictBase* r = nullptr;
    EXPECT_FALSE(set.getRestrictions(L"AnalyseMode", r));
    auto* allowed = new kvCValRestrict<int>(1, 5);
    allowed->addAllowed(1);
    allowed->addAllowed(2);
    allowed->addAllowed(7);
    EXPECT_TRUE(set.setRestrictions(L"AnalyseMode", allowed));
    EXPECT_EQ(rec.events.back().code, 4u);
    ASSERT_TRUE(set.getRestrictions(L"AnalyseMode", r, nullptr));
    const auto* ints = dynamic_cast<const kvCValRestrict<int>*>(r);
    ASSERT_NE(ints, nullptr);
    EXPECT_TRUE(ints->check(2));
    EXPECT_FALSE(ints->check(3));  // in range, not listed
    EXPECT_FALSE(ints->check(7));  // listed, out of range
    kvCGenValueNc<kvCString> text(kvCString(L"2"));
    EXPECT_TRUE(ints->test(text));
    kvCGenValueNc<kvCGeMatrix> matrix;
    EXPECT_FALSE(ints->test(matrix));

    // A missing property takes no restriction (and the restriction is not leaked).
    EXPECT_FALSE(set.setRestrictions(L"Missing", new kvCValRestrict<int>(0, 1)));
    set.removeListener(&rec);
}

TEST(PropertySet, NestedSetsAndReferencesReportWithTheirPath)
{
    kvCPrPropertySet dialog;
    kvCPrPropertySet frame(L"Frame");
    kvCGeMatrix m;
    propSet(&frame, L"Matrix", m);

    Recorder rec;
    dialog.addListener(&rec);
    EXPECT_TRUE(dialog.setPropRef(L"FrameRef", &frame));
    EXPECT_TRUE(rec.saw(2, L"FrameRef"));

    kvCGeMatrix moved;
    moved.setTranslation(kvCGeVector(0, 0, 5));
    EXPECT_TRUE(propSet(&frame, L"Matrix", moved));
    EXPECT_TRUE(rec.saw(2, L"FrameRef/Matrix"));
    kvCGeMatrix read;
    EXPECT_TRUE(propGet(&dialog, L"FrameRef/Matrix", read));
    EXPECT_EQ(read, moved);

    // Writing through the path reaches the referenced set.
    EXPECT_TRUE(propSet(&dialog, L"FrameRef/Matrix", m));
    EXPECT_TRUE(propGet(&frame, L"Matrix", read));
    EXPECT_EQ(read, m);

    kvCPrPropertySet* sub = nullptr;
    EXPECT_TRUE(propGet<kvCPrPropertySet*>(&dialog, L"FrameRef", sub));
    EXPECT_EQ(sub, &frame);

    kvCPrPropertySet* tool = dialog.addPropSet(L"Tool");
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(dialog.addPropSet(L"Tool"), tool);
    propSet(tool, L"Diameter", 10.0);
    EXPECT_TRUE(rec.saw(2, L"Tool/Diameter"));
    double dia = 0;
    EXPECT_TRUE(propGet(&dialog, L"Tool/Diameter", dia));
    EXPECT_DOUBLE_EQ(dia, 10.0);
    EXPECT_EQ(dialog.addPropSet(L"FrameRef"), nullptr);  // taken by a reference

    // An empty reference; a reference whose set goes away reports code 3.
    EXPECT_TRUE(dialog.setPropRef(L"MillAreaRef", nullptr));
    EXPECT_EQ(dialog.getPropSet(L"MillAreaRef"), nullptr);
    {
        kvCPrPropertySet area;
        dialog.setPropRef(L"MillAreaRef", &area);
        EXPECT_EQ(dialog.getPropSet(L"MillAreaRef"), &area);
    }
    EXPECT_TRUE(rec.saw(3, L"MillAreaRef"));
    EXPECT_EQ(dialog.getPropSet(L"MillAreaRef"), nullptr);

    dialog.removeListener(&rec);
}

TEST(PropertySet, ReferenceCyclesAndListenerChurnStayBounded)
{
    kvCPrPropertySet a(L"A");
    kvCPrPropertySet b(L"B");
    a.setPropRef(L"toB", &b);
    b.setPropRef(L"toA", &a);
    Recorder rec;
    a.addListener(&rec);
    propSet(&a, L"x", 1);  // goes round the cycle a bounded number of times
    EXPECT_TRUE(rec.saw(2, L"x"));
    EXPECT_LT(rec.events.size(), 100u);

    // A listener that removes itself while an event is delivered.
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
    a.removeListener(&rec);
}

TEST(PropertySet, DestructionTellsListenersAndCopiesAreDeep)
{
    Recorder rec;
    kvCPrPropertySet* original = new kvCPrPropertySet(L"S");
    propSet(original, L"v", 1.0);
    original->addPropSet(L"inner");
    propSet(original, L"inner/w", 2);
    original->setFlags(L"v", kvPropFlagHidden);
    original->setRestrictions(L"v", new kvCValRestrict<int>(0, 3));

    kvCPrPropertySet copy(*original);
    original->addListener(&rec);
    delete original;
    EXPECT_EQ(rec.gone, 1);

    double v = 0;
    EXPECT_TRUE(propGet(&copy, L"v", v));
    EXPECT_DOUBLE_EQ(v, 1.0);
    int w = 0;
    EXPECT_TRUE(propGet(&copy, L"inner/w", w));
    EXPECT_EQ(w, 2);
    short flags = 0;
    EXPECT_TRUE(copy.getFlags(L"v", flags));
    EXPECT_EQ(flags, kvPropFlagHidden);
    const kvCValRestrictBase* r = nullptr;
    EXPECT_TRUE(copy.getRestrictions(L"v", r));

    // Merging another set writes its values key by key.
    kvCPrPropertySet target;
    propSet(&target, L"v", 5.0);
    Recorder trec;
    target.addListener(&trec);
    EXPECT_TRUE(target.set(copy));
    EXPECT_TRUE(propGet(&target, L"v", v));
    EXPECT_DOUBLE_EQ(v, 1.0);
    EXPECT_TRUE(propGet(&target, L"inner/w", w));
    EXPECT_TRUE(trec.saw(2, L"v"));
    target.removeListener(&trec);
}

TEST(PropertySetUtil, StrictAndLenientWithoutASet)
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
    kvCGeContour2d contour;
    contour.lineTo(0, 0, 1).lineTo(3, 4, 0);
    propSet(&set, L"Contour", contour);
    strict.setPropertySet(&set);
    kvCGeContour2d back;
    EXPECT_TRUE(strict.get(L"Contour", back));
    EXPECT_EQ(back, contour);
}

TEST(PropertySetUtil, InterfaceThroughTheController)
{
    kvCPrPropertySet set;
    kvCPropertySetUtil util(&set);
    util.getInterface<kvITwMillingArea2>(nullptr);  // nothing happens
    kvITwMillingArea2* area = reinterpret_cast<kvITwMillingArea2*>(&util);
    util.getInterface(&area);
    EXPECT_EQ(area, nullptr);  // no controller

    FakeController ctrl;
    set.setController(&ctrl);
    util.getInterface(&area);
    EXPECT_EQ(ctrl.asked, L"kvITwMillingArea2");
    EXPECT_EQ(area, nullptr);

    // An owner that has the area hands it over with the caller's reference.
    struct Area : kvITwMillingArea2 {
        int refs = 0;
        bool addRef() override { return ++refs > 0; }
        bool release() override { return --refs >= 0; }
        kvIUnknown* queryInterface(const wchar_t*) override { return nullptr; }
    } owned;
    struct AreaOwner : kvPrPropSetReactor {
        Area* area = nullptr;
        bool getInterface(const wchar_t* name, kvIUnknown** out) override
        {
            *out = std::wstring(name) == L"kvITwMillingArea2" ? area : nullptr;
            if (*out != nullptr)
                (*out)->addRef();
            return *out != nullptr;
        }
    } owner;
    owner.area = &owned;
    set.setController(&owner);
    util.getInterface(&area);
    EXPECT_EQ(area, &owned);
    EXPECT_EQ(owned.refs, 1);
}

TEST(ToolSearch, SubSetIteratorAndFindToolInSet)
{
    kvCPrPropertySet tools;
    propSet(&tools, L"Count", 3);
    kvCPrPropertySet* t1 = tools.addPropSet(L"T1");
    propSet(&tools, L"Plain", 1.0);
    kvCPrPropertySet* t2 = tools.addPropSet(L"T2");
    kvCPrPropertySet* t3 = tools.addPropSet(L"T3");
    tools.removeProp(L"T2");

    std::vector<kvCPrPropertySet*> visited;
    for (kvTPropSetIterator<kvCPrPropertySet> it(&tools); !it.atEnd(); ++it)
        visited.push_back(it.current());
    EXPECT_EQ(visited, (std::vector<kvCPrPropertySet*>{t1, t3}));
    (void)t2;

    kvTPropSetIterator<kvCPrPropertySet> none(nullptr);
    EXPECT_TRUE(none.atEnd());
    kvCPrPropertySet empty;
    kvCPrPropertySetIterator emptyIt(&empty);
    EXPECT_TRUE(emptyIt.atEnd());

    FakeObject wanted, other;
    FakeController c1, c3;
    c1.object = &other;
    c3.object = &wanted;
    t1->setController(&c1);
    {
        kvTPropSetIterator<kvCPrPropertySet> it(&tools);
        findToolInSet(it, isSameTool(&wanted));
        EXPECT_TRUE(it.atEnd());  // T3 has no controller yet
    }
    t3->setController(&c3);
    {
        kvTPropSetIterator<kvCPrPropertySet> it(&tools);
        findToolInSet(it, isSameTool(&wanted));
        ASSERT_FALSE(it.atEnd());
        EXPECT_EQ(it.current(), t3);
    }
    EXPECT_TRUE(isSameTool(&wanted)(nullptr));
    EXPECT_EQ(wanted.refs, 0);
    EXPECT_EQ(other.refs, 0);
}

TEST(Records, FaceRecordsHoldAndReleaseTheirFace)
{
    FakeObject face;
    {
        kvTArray<kvIArcUnknown> arcs;
        arcs[0].face = kvIUnknownPtr(&face);
        arcs[0].radius = 5.0;
        EXPECT_EQ(face.refs, 1);
        arcs[1] = arcs[0];
        EXPECT_EQ(face.refs, 2);
        arcs.setSize(1);  // the dropped record lets its face go
        EXPECT_EQ(face.refs, 1);
        EXPECT_TRUE(arcs[1].face.isNull());
        EXPECT_DOUBLE_EQ(arcs[1].radius, 0.0);

        kvTArray<kvIPlanUnknown> planes;
        planes[0].face = arcs[0].face;
        EXPECT_EQ(face.refs, 2);
    }
    EXPECT_EQ(face.refs, 0);

    kvTArray<colorDef> catalogue;
    catalogue[2].name = L"Blue";
    catalogue[2].B = 255;
    EXPECT_EQ(catalogue.size(), 3u);
    EXPECT_TRUE(catalogue[0].name.isEmpty());

    kvTArray<kvIRadiusInfo> rows;
    rows[0].count = 4;
    rows.setSize(0);
    EXPECT_EQ(rows[0].count, 0);
}
