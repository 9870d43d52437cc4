// The colour catalogue's reading: whole lines, attributes at their own
// names, bounded values and names, and nothing kept from an earlier file.
#include "analyse/kvColorCatalog.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using Catalog = kvTArray<colorDef, kvTAssignmentCopy<colorDef>>;

int parse(const std::string& text, Catalog& catalog)
{
    std::istringstream in(text);
    return parseColorCatalog(in, catalog);
}

struct Entry {
    int r, g, b;
    std::wstring name;
};

std::string hostileText()
{
    std::string text = "<Color_Interface_Definition R=\"99999999999999999999\" G=\"-5\" B=\"3";  // no end
    text += '\0';
    return text + "\xff\xfe\" Name=\"Trunc";  // unclosed name at the end of the file, no newline
}

}  // namespace

TEST(ColorCatalog, EachMarkedLineGivesItsValuesAndNameReadWithinBounds)
{
    const std::string def = "<Color_Interface_Definition";
    const std::wstring longName(kvColorNameMax, L'n');
    struct Case {
        const char* what;
        std::string text;
        std::vector<Entry> entries;
    } cases[] = {
        {"marked lines only, any attribute order",
         "<?xml version=\"1.0\"?>\n" + def + " R=\"10\" G=\"20\" B=\"30\" Name=\"Dark\"/>\r\n" +
             "<Other R=\"1\" G=\"1\" B=\"1\" Name=\"not an entry\"/>\n" + def +
             " Name=\"Light\" B=\"250\" G=\"240\" R=\"230\"/>\n",
         {{10, 20, 30, L"Dark"}, {230, 240, 250, L"Light"}}},
        // "GR=" is not "R=", and an "R=" inside the name is part of the name.
        {"whole attribute names", def + " GR=\"99\" Name=\"R=77 G=66\" R=\"1\" G=\"2\" B=\"3\"/>\n",
         {{1, 2, 3, L"R=77 G=66"}}},
        {"the name ends at its quote", def + " R=\"1\" G=\"2\" B=\"3\" Name=\"Red\" Extra=\"more\"/>\n",
         {{1, 2, 3, L"Red"}}},
        // A value without quotes loses its first character; no number is 0, no name an empty one.
        {"unquoted", def + " R=12 G=\"x5\" B=\"\"/>\n", {{2, 0, 0, L""}}},
        {"all three values needed",
         def + " R=\"1\" G=\"2\" Name=\"no blue\"/>\n" + def + "/>\n" + def +
             " R=\"4\" G=\"5\" B=\"6\" Name=\"whole\"/>\n",
         {{4, 5, 6, L"whole"}}},
        {"long lines whole, oversized skipped",
         def + std::string(300, ' ') + "R=\"7\" G=\"8\" B=\"9\" Name=\"far\"/>\n" + def +
             " R=\"1\" G=\"1\" B=\"1\" Name=\"" + std::string(10000, 'x') + "\"/>\n" + def +
             " R=\"2\" G=\"2\" B=\"2\" Name=\"" + std::string(400, 'n') + "\"/>\n",
         {{7, 8, 9, L"far"}, {2, 2, 2, longName}}},
        // Saturated, not overflowed; an unclosed name at the end of the file.
        {"hostile", hostileText(), {{2147483647, -5, 3, L"Trunc"}}},
    };
    for (const Case& c : cases) {
        Catalog catalog(8);
        EXPECT_EQ(parse(c.text, catalog), static_cast<int>(c.entries.size())) << c.what;
        ASSERT_EQ(catalog.size(), c.entries.size()) << c.what;
        for (unsigned int i = 0; i < c.entries.size(); ++i) {
            const Entry& e = c.entries[i];
            EXPECT_EQ(catalog[i].R, e.r) << c.what;
            EXPECT_EQ(catalog[i].G, e.g) << c.what;
            EXPECT_EQ(catalog[i].B, e.b) << c.what;
            EXPECT_EQ(catalog[i].name.str(), e.name) << c.what;
        }
    }
}

TEST(ColorCatalog, AReloadKeepsNothingOfTheEarlierFile)
{
    Catalog c(8);
    parse("<Color_Interface_Definition R=\"1\" G=\"1\" B=\"1\" Name=\"a\"/>\n"
          "<Color_Interface_Definition R=\"2\" G=\"2\" B=\"2\" Name=\"b\"/>\n",
          c);
    parse("<Color_Interface_Definition R=\"3\" G=\"3\" B=\"3\" Name=\"c\"/>\n", c);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].name.str(), L"c");
    EXPECT_EQ(parse("", c), 0);
    EXPECT_EQ(c.size(), 0u);
}
