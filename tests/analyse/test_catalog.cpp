// The colour catalogue's reading: whole lines, attributes at their own
// names, bounded values and names, and nothing kept from an earlier file.
#include "analyse/kvColorCatalog.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using Catalog = kvTArray<colorDef, kvTAssignmentCopy<colorDef>>;

int parse(const std::string& text, Catalog& catalog)
{
    std::istringstream in(text);
    return parseColorCatalog(in, catalog);
}

std::wstring nameOf(const Catalog& c, unsigned int i)
{
    return c[i].name.str();
}

}  // namespace

TEST(ColorCatalog, ReadsEachMarkedLineWithItsThreeValuesAndName)
{
    Catalog c(8);
    EXPECT_EQ(parse("<?xml version=\"1.0\"?>\n"
                    "<Color_Interface_Definition R=\"10\" G=\"20\" B=\"30\" Name=\"Dark\"/>\r\n"
                    "<Other R=\"1\" G=\"1\" B=\"1\" Name=\"not an entry\"/>\n"
                    "<Color_Interface_Definition Name=\"Light\" B=\"250\" G=\"240\" R=\"230\"/>\n",
                    c),
              2);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].R, 10);
    EXPECT_EQ(c[0].G, 20);
    EXPECT_EQ(c[0].B, 30);
    EXPECT_EQ(nameOf(c, 0), L"Dark");
    EXPECT_EQ(c[1].R, 230);
    EXPECT_EQ(nameOf(c, 1), L"Light");
}

TEST(ColorCatalog, AttributesAreMatchedAsWholeNamesOutsideValues)
{
    Catalog c(8);
    // "GR=" is not "R=", and an "R=" inside the name is part of the name.
    parse("<Color_Interface_Definition GR=\"99\" Name=\"R=77 G=66\" R=\"1\" G=\"2\" B=\"3\"/>\n", c);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].R, 1);
    EXPECT_EQ(c[0].G, 2);
    EXPECT_EQ(c[0].B, 3);
    EXPECT_EQ(nameOf(c, 0), L"R=77 G=66");
}

TEST(ColorCatalog, TheNameEndsAtItsOwnClosingQuote)
{
    Catalog c(8);
    parse("<Color_Interface_Definition R=\"1\" G=\"2\" B=\"3\" Name=\"Red\" Extra=\"more\"/>\n", c);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(nameOf(c, 0), L"Red");
}

TEST(ColorCatalog, AValueWithoutQuotesLosesItsFirstCharacter)
{
    Catalog c(8);
    parse("<Color_Interface_Definition R=12 G=\"x5\" B=\"\"/>\n", c);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].R, 2);
    EXPECT_EQ(c[0].G, 0);  // not a number
    EXPECT_EQ(c[0].B, 0);
    EXPECT_EQ(nameOf(c, 0), L"");  // no name: an empty one
}

TEST(ColorCatalog, AnEntryWithoutAllThreeValuesIsSkipped)
{
    Catalog c(8);
    EXPECT_EQ(parse("<Color_Interface_Definition R=\"1\" G=\"2\" Name=\"no blue\"/>\n"
                    "<Color_Interface_Definition/>\n"
                    "<Color_Interface_Definition R=\"4\" G=\"5\" B=\"6\" Name=\"whole\"/>\n",
                    c),
              1);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(nameOf(c, 0), L"whole");
}

TEST(ColorCatalog, LongLinesAreReadWholeAndOversizedOnesSkipped)
{
    Catalog c(8);
    const std::string padding(300, ' ');
    const std::string huge(10000, 'x');
    EXPECT_EQ(parse("<Color_Interface_Definition" + padding + "R=\"7\" G=\"8\" B=\"9\" Name=\"far\"/>\n" +
                        "<Color_Interface_Definition R=\"1\" G=\"1\" B=\"1\" Name=\"" + huge + "\"/>\n" +
                        "<Color_Interface_Definition R=\"2\" G=\"2\" B=\"2\" Name=\"" + std::string(400, 'n') +
                        "\"/>\n",
                    c),
              2);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].B, 9);
    EXPECT_EQ(nameOf(c, 0), L"far");
    EXPECT_EQ(c[1].R, 2);
    EXPECT_EQ(c[1].name.str().size(), kvColorNameMax);
}

TEST(ColorCatalog, HostileContentIsReadSafely)
{
    Catalog c(8);
    std::string text = "<Color_Interface_Definition R=\"99999999999999999999\" G=\"-5\" B=\"3";  // no end
    text += '\0';
    text += "\xff\xfe\" Name=\"Trunc";  // unclosed name at the end of the file, no newline
    EXPECT_EQ(parse(text, c), 1);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].R, 2147483647);  // saturated, not overflowed
    EXPECT_EQ(c[0].G, -5);
    EXPECT_EQ(c[0].B, 3);
    EXPECT_EQ(nameOf(c, 0), L"Trunc");
}

TEST(ColorCatalog, AReloadKeepsNothingOfTheEarlierFile)
{
    Catalog c(8);
    parse("<Color_Interface_Definition R=\"1\" G=\"1\" B=\"1\" Name=\"a\"/>\n"
          "<Color_Interface_Definition R=\"2\" G=\"2\" B=\"2\" Name=\"b\"/>\n",
          c);
    parse("<Color_Interface_Definition R=\"3\" G=\"3\" B=\"3\" Name=\"c\"/>\n", c);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(nameOf(c, 0), L"c");
    EXPECT_EQ(parse("", c), 0);
    EXPECT_EQ(c.size(), 0u);
}
