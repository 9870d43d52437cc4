// Grouping of the radius and plane lists: face values in ascending order are
// binned into steps of a nominal value, one group per step that received a
// face.
#pragma once

#include <utility>
#include <vector>

// One group: its nominal value (a whole multiple of the step), the value of
// its first (smallest) face and the indexes of its faces in walking order.
struct kvValueGroup {
    double value = 0.0;
    double firstValue = 0.0;
    std::vector<unsigned int> members;
};

// One accepted face: its value and the index of its record.
using kvValueEntry = std::pair<double, unsigned int>;

// Sorts the entries by value, ascending; faces of equal value keep the order
// in which they were given, so a list shows the same rows on every run.
void kvSortValueEntries(std::vector<kvValueEntry>& entries);

// Bins entries sorted by value. A face of value r lands in the group of
// nominal value k * step, where k is the smallest whole number with
// r <= k * step + step / 2 + tolerance, except that the first face starts at
// the truncated r / step (so 2.45 with step 1 is in group 2). Steps that
// receive no face have no group. With no entry the result is one empty group
// of value 0, which the lists show as their "nothing passed" row.
std::vector<kvValueGroup> kvGroupSortedValues(const std::vector<kvValueEntry>& sorted, double step,
                                              double tolerance);
