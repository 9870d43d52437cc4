// Resource strings, positional formatting, number formatting, named values
// and the field value conversions.
#include "ui_resources.h"

#include "ui/atl/ResourceStrings.h"
#include "ui/atl/dv/Convert.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace kv::ui::atl;

namespace {

std::wstring load(HMODULE m, UINT id)
{
    std::wstring s = L"unchanged";
    return LoadResourceString(s, m, id) ? s : L"<fail>";
}

std::wstring number(double v, int decimals, unsigned flags)
{
    std::wstring s;
    formatNumber(s, v, decimals, flags);
    return s;
}

std::wstring positional(const wchar_t* pattern, std::vector<const wchar_t*> args)
{
    std::wstring s;
    FormatPositional(s, pattern, args.size(), args.data());
    return s;
}

} // namespace

TEST(ResourceStrings, BlocksOfSixteenCountedUtf16Strings)
{
    HMODULE m = kvplat::createResourceModule(L"strings.dll");
    kvplat::addResourceString(m, 16, L"first of block 2");
    kvplat::addResourceString(m, 17, L"second of block 2");
    kvplat::addResourceString(m, 18, L"");
    kvplat::addResourceString(m, 19, L"G\u00e9om\u00e9trie \U0001D400");
    EXPECT_EQ(L"second of block 2", load(m, 17));
    EXPECT_EQ(L"", load(m, 18));
    EXPECT_EQ(L"<fail>", load(m, 20 + 16)) << "no block 3";
    EXPECT_EQ(L"G\u00e9om\u00e9trie \U0001D400", load(m, 19)) << "a surrogate pair becomes one character";
    EXPECT_EQ(L"<fail>", load(nullptr, 17));
    // A block that ends early: entries past its end are missing.
    kvplat::setResourceStringBlock(m, 5, {0, 3, 'a', 'b'});
    EXPECT_EQ(L"", load(m, 64));
    EXPECT_EQ(L"<fail>", load(m, 65)) << "the entry runs past the block";
    EXPECT_EQ(L"<fail>", load(m, 66));
    std::wstring text;
    kvplat::addResourceString(m, 40, L"%1 of %2");
    EXPECT_TRUE(LoadFormattedString(text, m, 40, L"3", L"7"));
    EXPECT_EQ(L"3 of 7", text);
    EXPECT_TRUE(LoadFormattedString(text, m, 41, L"3", nullptr)) << "an id inside a present block is an empty string";
    EXPECT_EQ(L"", text);
    EXPECT_FALSE(LoadFormattedString(text, m, 100, L"3", nullptr));
}

TEST(ResourceStrings, AStringLongerThanItsSixteenBitLengthIsRefusedAndTheBlockStaysWhole)
{
    HMODULE m = kvplat::createResourceModule(L"long.dll");
    const std::wstring longest(kvplat::kMaxResourceStringLength, L'x');
    EXPECT_FALSE(kvplat::addResourceString(m, 48, longest + L"yz"));
    EXPECT_FALSE(kvplat::addResourceString(m, 50, std::wstring(0x8000, L'\U0001D400'))) << "counted in UTF-16 units";
    EXPECT_TRUE(kvplat::addResourceString(m, 49, L"next"));
    EXPECT_TRUE(kvplat::addResourceString(m, 51, longest));
    EXPECT_EQ(L"", load(m, 48)) << "nothing was stored";
    EXPECT_EQ(L"next", load(m, 49));
    EXPECT_EQ(longest, load(m, 51));
}

TEST(ResourceStrings, TheModuleHoldingAResourceIsFoundInListOrder)
{
    HMODULE lib = uitest::libraryResources();
    EXPECT_EQ(lib, findResourceModule(MAKEINTRESOURCEW(10250), RT_ICON)) << "icons through their group";
    EXPECT_EQ(lib, findResourceModule(MAKEINTRESOURCEW(10100), RT_DIALOG));
    EXPECT_EQ(nullptr, findResourceModule(MAKEINTRESOURCEW(1), RT_STRING)) << "string tables are not searched";
    EXPECT_EQ(nullptr, findResourceModule(MAKEINTRESOURCEW(4242), RT_DIALOG));
}

TEST(Formatting, PositionalPlaceholders)
{
    EXPECT_EQ(L"a %2", positional(L"%1 %2", {L"a"})) << "a placeholder without argument stays";
    EXPECT_EQ(L"50%", positional(L"%1%", {L"50"})) << "a percent sign at the end stays";
    EXPECT_EQ(L"%x", positional(L"%x", {L"a"}));
    EXPECT_EQ(L"%a", positional(L"%%1", {L"a"})) << "no escape";
    std::vector<const wchar_t*> eleven(11, L"-");
    eleven[10] = L"eleventh";
    EXPECT_EQ(L"eleventh", positional(L"%B", eleven));
    EXPECT_EQ(L"%1", positional(L"%1", {})) << "without arguments the pattern is copied";
    std::wstring s;
    FormatPositionalArgs(s, L"%1/%2", nullptr, L"ignored");
    EXPECT_EQ(L"%1/%2", s);
    FormatPositionalArgs(s, L"%1/%2", L"x", nullptr);
    EXPECT_EQ(L"x/%2", s);
}

TEST(Formatting, NumbersWithFractionsTrimmingAndRounding)
{
    EXPECT_EQ(L"2 1/2", number(2.5, 4, formatFraction));
    EXPECT_EQ(L"3/8", number(0.375, 4, formatFraction));
    EXPECT_EQ(L"2.1000", number(2.1, 4, formatFraction));
    EXPECT_EQ(L"2.1", number(2.1, 4, formatFraction | formatTrimZeros));
    EXPECT_EQ(L"1200", number(1234.0, -2, 0));
    EXPECT_EQ(L"3", number(3.0, 3, formatTrimZeros));
    EXPECT_EQ(L"4", number(3.999999999999, 3, formatFraction)) << "a fraction of 64/64 is the next whole number";
    // Negative values: the fractional part modf gives is negative, which no
    // count of 64ths matches, so only whole numbers take the fraction form.
    EXPECT_EQ(L"-2.5000", number(-2.5, 4, formatFraction));
    EXPECT_EQ(L"-0.3750", number(-0.375, 4, formatFraction));
    EXPECT_EQ(L"-2", number(-2.0, 4, formatFraction));
    EXPECT_EQ(L"-1.25", number(-1.25, 2, 0));
}

// Negative decimals round to the nearest ten, hundred, ...: a half goes up,
// away from zero for a positive value and towards it for a negative one
// (-1250 at -2 is -1200, as floor(v / step + 0.5) gives), and the text
// carries no decimals.
TEST(Formatting, NegativeDecimalsRoundToTheNearestMultipleHalvesUpward)
{
    struct Case {
        double value;
        int decimals;
        const wchar_t* text;
    } const cases[] = {
        {1260.0, -2, L"1300"},   {1250.0, -2, L"1300"},   {1249.0, -2, L"1200"}, {19.0, -1, L"20"},
        {15.0, -1, L"20"},       {14.0, -1, L"10"},       {1234.0, -1, L"1230"}, {1234.0, -3, L"1000"},
        {-1260.0, -2, L"-1300"}, {-1249.0, -2, L"-1200"}, {-19.0, -1, L"-20"},   {-14.0, -1, L"-10"},
        {-1234.0, -1, L"-1230"}, {-1250.0, -2, L"-1200"}, {-15.0, -1, L"-10"},   {-1251.0, -2, L"-1300"},
        {-16.0, -1, L"-20"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.text, number(c.value, c.decimals, 0)) << c.value << " at " << c.decimals;
        // Neither the fraction form nor trimming has decimals to work on.
        EXPECT_EQ(c.text, number(c.value, c.decimals, formatFraction | formatTrimZeros)) << c.value;
    }
}

TEST(Formatting, NumbersAtTheExtremesAreFormattedWhole)
{
    // NaN and infinities have no 64ths (casting them to a count would be
    // undefined) and no decimals to trim.
    EXPECT_EQ(L"nan", number(std::nan(""), 4, formatFraction | formatTrimZeros));
    EXPECT_EQ(L"-inf", number(-HUGE_VAL, 4, formatFraction | formatTrimZeros));
    // A text longer than any fixed buffer comes out whole: trimmed, no
    // separator is left dangling.
    char whole[400];
    std::snprintf(whole, sizeof whole, "%.0f", 1e300);
    const std::wstring expected(whole, whole + std::strlen(whole));
    EXPECT_EQ(expected, number(1e300, 120, formatTrimZeros));
    EXPECT_EQ(expected.size() + 121, number(1e300, 120, 0).size());
    // More decimals than the text has characters: trimming still finds them.
    EXPECT_EQ(L"3", number(3.0, 100000, formatTrimZeros));
    EXPECT_EQ(L"3." + std::wstring(kMaxDecimals, L'0'), number(3.0, INT_MAX, 0)) << "cut to what a double carries";
    // Rounding to more tens than a double reaches gives 0, not NaN.
    EXPECT_EQ(L"0", number(1234.0, -400, 0));
    EXPECT_EQ(L"0", number(-1234.0, INT_MIN, 0));
    // Rounding past the largest double keeps a finite value finite, at the
    // nearest multiple a double holds, on either side of 0.
    for (double v : {DBL_MAX, 1.5e308, -1.5e308, -DBL_MAX})
        EXPECT_EQ(number(std::copysign(1e308, v), 0, 0), number(v, -308, 0)) << v;
    EXPECT_EQ(number(17 * 1e307, 0, 0), number(DBL_MAX, -307, 0));
}

// NaN and the infinities are named at every count of decimals, also where
// every finite value rounds to 0, and with either flag.
TEST(Formatting, NaNAndInfinitiesAreNamedAtEveryCountOfDecimals)
{
    const struct {
        double value;
        const wchar_t* name;
    } cases[] = {{std::nan(""), L"nan"}, {HUGE_VAL, L"inf"}, {-HUGE_VAL, L"-inf"}};
    for (const auto& c : cases) {
        for (int decimals = -400; decimals <= 1100; ++decimals) {
            for (unsigned flags : {0u, unsigned(formatFraction), unsigned(formatTrimZeros)})
                ASSERT_EQ(c.name, number(c.value, decimals, flags)) << "with " << decimals << " decimals";
        }
        EXPECT_EQ(c.name, number(c.value, INT_MIN, 0));
        EXPECT_EQ(c.name, number(c.value, INT_MAX, 0));
    }
}

// Every finite value gives a finite text at every count of decimals, and a
// rounded one lies within one step of the value (past 10^308 everything
// rounds to 0).
TEST(Formatting, FiniteValuesStayFiniteAtEveryCountOfDecimals)
{
    const double denormal = std::nextafter(0.0, 1.0);
    const double values[] = {DBL_MAX,  -DBL_MAX, std::nextafter(DBL_MAX, 0.0), 1.5e308, -1.5e308, 9.99999e307,
                             1e308,    -1e308,   DBL_MIN,                      -DBL_MIN, denormal, -denormal,
                             DBL_MIN / 3, 0.5};
    for (double v : values) {
        for (int decimals = -DBL_MAX_10_EXP - 2; decimals <= kMaxDecimals; ++decimals) {
            const std::wstring text = number(v, decimals, 0);
            const double shown = std::wcstod(text.c_str(), nullptr);
            ASSERT_TRUE(std::isfinite(shown)) << v << " with " << decimals << " decimals gives "
                                              << std::string(text.begin(), text.end());
            const std::wstring trimmed = number(v, decimals, formatFraction | formatTrimZeros);
            ASSERT_TRUE(std::isfinite(std::wcstod(trimmed.c_str(), nullptr))) << v << " with " << decimals;
            if (decimals >= 0)
                continue;
            // Where a step is finer than the doubles there, a few units of the
            // last place.
            const double reach = std::max(std::pow(10.0, -decimals), std::fabs(v) * 0x1p-50);
            ASSERT_LE(std::fabs(shown - v), reach) << v << " with " << decimals << " decimals";
        }
    }
}

TEST(Formatting, TrimmingReplacingAndNamedValues)
{
    std::wstring s = L" \t a b \n";
    TrimWhiteSpace(s);
    EXPECT_EQ(L"a b", s);
    s = L"1,5,6";
    EXPECT_EQ(2u, ReplaceChar(s, L',', L'.'));
    EXPECT_EQ(L"1.5.6", s);
    NamedValueTable table;
    table.set(L"pi", boost::any(3.14));
    table.set(L"e", boost::any(2.71));
    table.set(L"pi", boost::any(3.1416));
    EXPECT_EQ(2u, table.size());
    ASSERT_NE(nullptr, table.find(L"pi"));
    EXPECT_EQ(3.1416, boost::any_cast<double>(*table.find(L"pi")));
    EXPECT_EQ(nullptr, table.find(L"Pi"));
    EXPECT_EQ(nullptr, table.find(nullptr));
}

TEST(Formatting, ValueConversions)
{
    bool b = false;
    EXPECT_TRUE(kv::AnyToBool(boost::any(std::wstring(L"true")), b) && b);
    EXPECT_TRUE(kv::AnyToBool(boost::any(0.0), b) && !b);
    EXPECT_TRUE(kv::AnyToBool(boost::any(7), b) && b);
    b = true;
    EXPECT_FALSE(kv::AnyToBool(boost::any(std::wstring(L"yes")), b));
    EXPECT_FALSE(kv::AnyToBool(boost::any(), b));
    EXPECT_TRUE(b) << "left unchanged";
    dv::ComColor c = 0;
    EXPECT_TRUE(dv::anyToComColor(boost::any(dv::ComColor(0xFF)), c));
    EXPECT_EQ(0xFFu, c);
    EXPECT_FALSE(dv::anyToComColor(boost::any(255), c)) << "an int is no colour word";
}
