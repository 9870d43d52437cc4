// The host's property control: found from its window, and text typed into a
// line written as the type its property holds.
#include "host/object/kvPropAccess.h"
#include "platform/kvPlatform.h"
#include "sdk/kvPropertyCtrl.h"
#include "sdk/kvPropertySet.h"
#include "sdk/kvValueSets.h"

#include <gtest/gtest.h>

#include <type_traits>

TEST(PropertyCtrl, IsFoundFromTheWindowItReplacedWhileBothExist)
{
    kvplat::reset();
    HWND windows[2];
    for (HWND& w : windows)
        w = ::CreateWindowExW(0, L"Static", L"", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(windows[0] && windows[1]);
    EXPECT_EQ(kvCTwPropertyCtrlBase::fromWindow(windows[0]), nullptr);
    {
        kvCTwPropertyCtrlBase control;
        EXPECT_FALSE(control.ReplaceCtrl(nullptr));
        ASSERT_TRUE(control.ReplaceCtrl(windows[0]));
        EXPECT_EQ(kvCTwPropertyCtrlBase::fromWindow(windows[0]), &control);
        // Moving to another window leaves the first one behind.
        ASSERT_TRUE(control.ReplaceCtrl(windows[1]));
        EXPECT_EQ(kvCTwPropertyCtrlBase::fromWindow(windows[0]), nullptr);
        EXPECT_EQ(kvCTwPropertyCtrlBase::fromWindow(windows[1]), &control);
        ::DestroyWindow(windows[1]);
        EXPECT_EQ(kvCTwPropertyCtrlBase::fromWindow(windows[1]), nullptr);
    }
    // A control that is gone is never handed out.
    {
        kvCTwPropertyCtrlBase control;
        control.ReplaceCtrl(windows[0]);
        EXPECT_EQ(kvCTwPropertyCtrlBase::fromWindow(windows[0]), &control);
    }
    EXPECT_EQ(kvCTwPropertyCtrlBase::fromWindow(windows[0]), nullptr);
    kvplat::reset();
}

TEST(PropertyCtrl, TypedTextIsWrittenAsThePropertysTypeOrRefused)
{
    kvCPrPropertySet set;
    propSet(&set, L"Mode", 3);
    set.setRestrictions(L"Mode", new kvCValRestrict<int>(1, 5));
    propSet(&set, L"Count", 3);
    propSet(&set, L"Angle", 1.5);
    propSet(&set, L"Flag", false);
    propSet(&set, L"Layer", kvCString(L"Analyse"));
    propSet(&set, L"Colour", static_cast<unsigned long>(255));
    set.addPropSet(L"Nested");
    kvCPrPropertySet frame(L"Frame");
    propSet(&frame, L"Owner", 1);
    set.setPropRef(L"FrameRef", &frame);
    kvCTwPropertyCtrlBase control;
    EXPECT_FALSE(control.setValueText(L"Mode", L"4"));  // no set yet
    control.build(kvIfPtr<kvIAppExecContext1>(), &set, nullptr, true);

    struct Case {
        const wchar_t* key;
        const wchar_t* text;
        bool taken;
    };
    // Refused: malformed, non-finite or out-of-range numbers (never clamped to
    // the limit), values the restriction forbids, keys without a line.
    const Case cases[] = {
        {L"Count", L"4.5", false}, {L"Count", L"four", false}, {L"Count", L"99999999999", false},
        {L"Count", L"-2147483649", false}, {L"Count", L"-2147483648", true},
        {L"Mode", L"99", false}, {L"Mode", L"0", false}, {L"Mode", L"-2147483648", false}, {L"Mode", L"5", true},
        {L"Angle", L"2,5", false}, {L"Angle", L"nan", false}, {L"Angle", L"-inf", false},
        {L"Angle", L"1e999", false}, {L"Angle", L" 2", false}, {L"Angle", L"-2.25", true},
        {L"Flag", L"1", false}, {L"Flag", L"true", true}, {L"Layer", L"12", true},
        {L"Colour", L"-1", false}, {L"Colour", L"0xffffffffffffffff", false},
        {L"Colour", L"18446744073709551615", false}, {L"Colour", L"4294967296", false},
        {L"Colour", L"4294967295", true}, {L"Nested", L"x", false}, {L"Bogus", L"42", false},
        {L"FrameRef/Bogus", L"7", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(control.setValueText(c.key, c.text), c.taken) << c.key << " " << c.text;

    EXPECT_EQ(control.valueText(L"Count"), L"-2147483648");
    EXPECT_EQ(control.valueText(L"Mode"), L"5");
    EXPECT_EQ(control.valueText(L"Angle"), L"-2.25");
    bool flag = false;
    kvCString layer;
    unsigned long colour = 0;
    EXPECT_TRUE(propGet(&set, L"Flag", flag) && propGet(&set, L"Layer", layer) && propGet(&set, L"Colour", colour));
    EXPECT_TRUE(flag);
    EXPECT_EQ(layer, kvCString(L"12"));  // a text stays a text
    EXPECT_EQ(colour, 4294967295ul);
    EXPECT_FALSE(set.hasProp(L"Bogus"));
    EXPECT_FALSE(frame.hasProp(L"Bogus"));
}

TEST(PropertyCtrl, AKeyAddedAgainKeepsItsOneLineWithTheNewLabel)
{
    kvCTwPropertyCtrlBase control;
    ASSERT_TRUE(control.addCategory(L"SubFrame", L"Coordinates", true));
    ASSERT_TRUE(control.addCategory(L"Other", L"Other", true));
    const auto add = [&control](const wchar_t* category, const wchar_t* key, const wchar_t* label) {
        return control.addProperty(category, key, label, static_cast<ePropCtrlType>(15),
                                   static_cast<nCads::eGeoAssociateType>(0), static_cast<nCads::eParameterType>(0),
                                   -1, true);
    };
    ASSERT_TRUE(add(L"SubFrame", L"InfoCoordinate", L"Pick point"));
    ASSERT_TRUE(add(L"SubFrame", L"Frame", L"Frame"));
    ASSERT_TRUE(add(L"SubFrame", L"InfoCoordinate", L"Point distance"));
    // Another category may show the same key on a line of its own.
    ASSERT_TRUE(add(L"Other", L"InfoCoordinate", L"Point distance"));
    const std::vector<kvCTwPropertyCtrlBase::Line>& lines = control.findCategory(L"SubFrame")->lines;
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(kvCString(L"Point distance"), lines[0].text);
    EXPECT_EQ(kvCString(L"Frame"), lines[1].text);
    EXPECT_EQ(1u, control.findCategory(L"Other")->lines.size());
}

// The control takes the attributes by value and keeps them with the line, so
// that the caller's record may go at once.
TEST(PropertyCtrl, AFaceSetLineKeepsTheAttributesItWasGiven)
{
    using AddFaceSet = bool (kvCTwPropertyCtrlBase::*)(const wchar_t*, const wchar_t*, const wchar_t*, ePropCtrlType,
                                                      tw::cfg::SurfaceAttributes, bool);
    static_assert(std::is_same_v<decltype(&kvCTwPropertyCtrlBase::addSrfSetProperty), AddFaceSet>,
                  "the attributes are passed by value");
    kvCTwPropertyCtrlBase control;
    ASSERT_TRUE(control.addCategory(L"General", L"Radius info", true));
    EXPECT_FALSE(control.addSrfSetProperty(L"Missing", L"Surfaces", L"Faces", static_cast<ePropCtrlType>(12),
                                           tw::cfg::SurfaceAttributes(64, true, false, kvCString(L"Job")), false));
    ASSERT_TRUE(control.addSrfSetProperty(L"General", L"Surfaces", L"Faces", static_cast<ePropCtrlType>(12),
                                          tw::cfg::SurfaceAttributes(64, true, false, kvCString(L"Job")), false));
    const tw::cfg::SurfaceAttributes& kept = control.findCategory(L"General")->lines.at(0).surfaceAttributes;
    EXPECT_EQ(64u, kept.value);
    EXPECT_TRUE(kept.first);
    EXPECT_FALSE(kept.second);
    EXPECT_EQ(kvCString(L"Job"), kept.name);
}
