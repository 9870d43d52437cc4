// Grouping of face values into the rows of the radius and plane lists.
#include "analyse/kvMultiSelGrouping.h"

#include <gtest/gtest.h>

namespace {

std::vector<kvValueEntry> entries(std::initializer_list<double> values)
{
    std::vector<kvValueEntry> e;
    unsigned int i = 0;
    for (double v : values)
        e.emplace_back(v, i++);
    kvSortValueEntries(e);
    return e;
}

struct Row {
    double value;
    double first;
    std::size_t count;
};

void expectRows(const std::vector<kvValueGroup>& groups, const std::vector<Row>& rows)
{
    ASSERT_EQ(groups.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_DOUBLE_EQ(groups[i].value, rows[i].value) << "row " << i;
        EXPECT_DOUBLE_EQ(groups[i].firstValue, rows[i].first) << "row " << i;
        EXPECT_EQ(groups[i].members.size(), rows[i].count) << "row " << i;
    }
}

TEST(ValueGrouping, BinsAndTheirRows)
{
    struct Case {
        const char* what;
        std::vector<kvValueEntry> values;
        double tolerance;
        std::vector<Row> rows;
    } const cases[] = {
        // 2.45 starts at the truncated bin 2 and stays, 2.5005 is within the
        // tolerance of bin 2, 2.502 starts bin 3.
        {"radius bins", entries({2.45, 2.5005, 2.502}), 0.001, {{2.0, 2.45, 2}, {3.0, 2.502, 1}}},
        {"a first face of 2.7 in bin 3 at once", entries({2.7}), 0.001, {{3.0, 2.7, 1}}},
        {"empty steps get no row", entries({5.0, 1.2, 1.0}), 0.001, {{1.0, 1.0, 2}, {5.0, 5.0, 1}}},
        {"a half step in the lower plane bin", entries({44.4, 44.5, 44.6}), 0.0, {{44.0, 44.4, 2}, {45.0, 44.6, 1}}},
        {"no face: one empty row of 0", {}, 0.001, {{0.0, 0.0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        expectRows(kvGroupSortedValues(c.values, 1.0, c.tolerance), c.rows);
    }
}

TEST(ValueGrouping, AWideGapWithAFineStepFindsTheSameBinAsSteppingThroughIt)
{
    // From bin 0 to a radius of 99999.99 with step 0.01: the bin is the
    // smallest whose edge the value does not pass.
    const auto groups = kvGroupSortedValues(entries({0.001, 99999.99}), 0.01, 0.001);
    ASSERT_EQ(groups.size(), 2u);
    const double bin = groups[1].value / 0.01;
    EXPECT_NEAR(bin, 9999999.0, 0.5);
    EXPECT_LE(99999.99, groups[1].value + 0.005 + 0.001);
    EXPECT_GT(99999.99, groups[1].value - 0.01 + 0.005 + 0.001);
}

TEST(ValueGrouping, EqualValuesKeepTheirGivenOrder)
{
    std::vector<kvValueEntry> e = {{3.0, 7}, {1.0, 9}, {3.0, 2}, {3.0, 5}};
    kvSortValueEntries(e);
    const auto groups = kvGroupSortedValues(e, 1.0, 0.001);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[1].members, (std::vector<unsigned int>{7, 2, 5}));
}

}  // namespace
