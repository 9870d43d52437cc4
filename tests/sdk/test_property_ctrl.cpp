// The host's property control: found from its window, and text typed into a
// line written as the type its property holds.
#include "host/object/kvPropAccess.h"
#include "platform/kvPlatform.h"
#include "sdk/kvPropertyCtrl.h"
#include "sdk/kvPropertySet.h"

#include <gtest/gtest.h>

namespace {

HWND staticWindow()
{
    return ::CreateWindowExW(0, L"Static", L"", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

} // namespace

TEST(PropertyCtrl, IsFoundFromTheWindowItReplacedWhileBothExist)
{
    kvplat::reset();
    HWND first = staticWindow();
    HWND second = staticWindow();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(kvCTwPropertyCtrlBase::fromWindow(first), nullptr);
    {
        kvCTwPropertyCtrlBase control;
        EXPECT_FALSE(control.ReplaceCtrl(nullptr));
        ASSERT_TRUE(control.ReplaceCtrl(first));
        EXPECT_EQ(kvCTwPropertyCtrlBase::fromWindow(first), &control);
        // Moving to another window leaves the first one behind.
        ASSERT_TRUE(control.ReplaceCtrl(second));
        EXPECT_EQ(kvCTwPropertyCtrlBase::fromWindow(first), nullptr);
        EXPECT_EQ(kvCTwPropertyCtrlBase::fromWindow(second), &control);
        ::DestroyWindow(second);
        EXPECT_EQ(kvCTwPropertyCtrlBase::fromWindow(second), nullptr);
    }
    // A control that is gone is never handed out.
    kvCTwPropertyCtrlBase* dangling = nullptr;
    {
        kvCTwPropertyCtrlBase control;
        control.ReplaceCtrl(first);
        dangling = &control;
        EXPECT_EQ(kvCTwPropertyCtrlBase::fromWindow(first), dangling);
    }
    EXPECT_EQ(kvCTwPropertyCtrlBase::fromWindow(first), nullptr);
    kvplat::reset();
}

TEST(PropertyCtrl, TypedTextIsWrittenAsThePropertysTypeOrRefused)
{
    kvCPrPropertySet set;
    propSet(&set, L"Mode", 3);
    propSet(&set, L"Angle", 1.5);
    propSet(&set, L"Flag", false);
    propSet(&set, L"Layer", kvCString(L"Analyse"));
    propSet(&set, L"Colour", static_cast<unsigned long>(255));
    set.addPropSet(L"Nested");
    kvCTwPropertyCtrlBase control;
    EXPECT_FALSE(control.setValueText(L"Mode", L"4"));  // no set yet
    control.build(kvIfPtr<kvIAppExecContext1>(), &set, nullptr, true);

    EXPECT_TRUE(control.setValueText(L"Mode", L"4"));
    EXPECT_FALSE(control.setValueText(L"Mode", L"4.5"));
    EXPECT_FALSE(control.setValueText(L"Mode", L"four"));
    EXPECT_FALSE(control.setValueText(L"Mode", L"99999999999"));
    EXPECT_EQ(control.valueText(L"Mode"), L"4");

    EXPECT_TRUE(control.setValueText(L"Angle", L"-2.25"));
    EXPECT_FALSE(control.setValueText(L"Angle", L"2,5"));
    EXPECT_EQ(control.valueText(L"Angle"), L"-2.25");

    EXPECT_TRUE(control.setValueText(L"Flag", L"true"));
    EXPECT_FALSE(control.setValueText(L"Flag", L"1"));
    bool flag = false;
    EXPECT_TRUE(propGet(&set, L"Flag", flag));
    EXPECT_TRUE(flag);

    EXPECT_TRUE(control.setValueText(L"Layer", L"12"));  // a text stays a text
    kvCString layer;
    EXPECT_TRUE(propGet(&set, L"Layer", layer));
    EXPECT_EQ(layer, kvCString(L"12"));

    EXPECT_FALSE(control.setValueText(L"Colour", L"-1"));
    EXPECT_TRUE(control.setValueText(L"Colour", L"65280"));
    unsigned long colour = 0;
    EXPECT_TRUE(propGet(&set, L"Colour", colour));
    EXPECT_EQ(colour, 65280ul);

    EXPECT_FALSE(control.setValueText(L"Nested", L"x"));
}

TEST(PropertyCtrl, RefusesUnknownKeysNonFiniteAndOutOfRangeValuesAndForbiddenOnes)
{
    kvCPrPropertySet set;
    propSet(&set, L"Mode", 3);
    propSet(&set, L"Angle", 1.5);
    propSet(&set, L"Colour", static_cast<unsigned long>(255));
    kvCPrPropertySet frame(L"Frame");
    propSet(&frame, L"Owner", 1);
    set.setPropRef(L"FrameRef", &frame);
    kvCValRestrict<int>* modes = new kvCValRestrict<int>(1, 5);
    set.setRestrictions(L"Mode", modes);
    kvCTwPropertyCtrlBase control;
    control.build(kvIfPtr<kvIAppExecContext1>(), &set, nullptr, true);

    // No line for a key the set does not hold, here or in a referenced set.
    EXPECT_FALSE(control.setValueText(L"Bogus", L"42"));
    EXPECT_FALSE(set.hasProp(L"Bogus"));
    EXPECT_FALSE(control.setValueText(L"FrameRef/Bogus", L"7"));
    EXPECT_FALSE(frame.hasProp(L"Bogus"));

    for (const wchar_t* text : {L"nan", L"inf", L"-inf", L"1e999", L" 2"})
        EXPECT_FALSE(control.setValueText(L"Angle", text)) << text;
    EXPECT_EQ(control.valueText(L"Angle"), L"1.5");

    // Clamped values are refused, not stored at the limit.
    for (const wchar_t* text : {L"0xffffffffffffffff", L"18446744073709551615", L"4294967296", L"-5"})
        EXPECT_FALSE(control.setValueText(L"Colour", text)) << text;
    EXPECT_TRUE(control.setValueText(L"Colour", L"4294967295"));

    for (const wchar_t* text : {L"99", L"0", L"-1", L"-2147483648"})
        EXPECT_FALSE(control.setValueText(L"Mode", text)) << text;
    EXPECT_TRUE(control.setValueText(L"Mode", L"5"));
    EXPECT_EQ(control.valueText(L"Mode"), L"5");
}
