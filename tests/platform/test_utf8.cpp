#include "platform/utf8.h"

#include <gtest/gtest.h>

// Each length boundary: the last code point of one length and the first of
// the next.
TEST(Utf8, CodePointsTakeOneToFourBytesAtTheirBoundaries)
{
    const struct {
        std::uint32_t codePoint;
        const char* bytes;
    } cases[] = {
        {0x7F, "\x7f"},
        {0x80, "\xc2\x80"},
        {0x7FF, "\xdf\xbf"},
        {0x800, "\xe0\xa0\x80"},
        {0xFFFF, "\xef\xbf\xbf"},
        {0x10000, "\xf0\x90\x80\x80"},
        {0x10FFFF, "\xf4\x8f\xbf\xbf"},
    };
    for (const auto& c : cases) {
        std::string out = "x";
        kvplat::appendUtf8(out, c.codePoint);
        EXPECT_EQ(std::string("x") + c.bytes, out) << std::hex << c.codePoint;
    }
}
