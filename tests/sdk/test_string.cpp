#include "sdk/kvString.h"
#include <gtest/gtest.h>

TEST(kvCScString, NullStaysNullAndEmptyIsNotNull) {
    kvCScString none(nullptr);
    EXPECT_EQ(static_cast<const wchar_t*>(none), nullptr);
    kvCScString copy = none;
    EXPECT_TRUE(copy.isNull());
    kvCScString empty(L"");
    ASSERT_NE(static_cast<const wchar_t*>(empty), nullptr);
    EXPECT_STREQ(static_cast<const wchar_t*>(empty), L"");
}

TEST(kvCString, NullPointerIsEmptyAndEqualityWithWideStringsIsByText) {
    EXPECT_EQ(kvCString(static_cast<const wchar_t*>(nullptr)).length(), 0u);
    const kvCString language(L"Chinese_trad");
    EXPECT_TRUE(language == L"Chinese_trad");
    EXPECT_FALSE(language == L"Chinese");  // no prefix match
    EXPECT_TRUE(L"Chinese" != language);
    EXPECT_FALSE(language == L"chinese_trad");  // letter case counts
    EXPECT_TRUE(kvCString() == static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(kvCString(L"x") != static_cast<const wchar_t*>(nullptr));
}
