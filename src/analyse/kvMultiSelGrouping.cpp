#include "analyse/kvMultiSelGrouping.h"

#include <algorithm>
#include <cmath>

void kvSortValueEntries(std::vector<kvValueEntry>& entries)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const kvValueEntry& a, const kvValueEntry& b) { return a.first < b.first; });
}

namespace {

// The upper edge of bin b, written as the bin search has always written it so
// that values on an edge land on the same side.
inline double binEdge(double bin, double step, double tolerance)
{
    return bin * step + step / 2 + tolerance;
}

// The smallest bin above current whose edge the value does not pass. Found
// from the quotient and then corrected by single steps, which gives the same
// bin as stepping up from current one at a time, without walking every empty
// bin of a wide gap.
double nextBin(double current, double value, double step, double tolerance)
{
    double bin = std::floor((value - step / 2 - tolerance) / step);
    if (!(bin > current + 1))  // also for a quotient that is not a number
        bin = current + 1;
    while (binEdge(bin, step, tolerance) < value)
        bin += 1;
    while (bin - 1 > current && !(binEdge(bin - 1, step, tolerance) < value))
        bin -= 1;
    return bin;
}

}  // namespace

std::vector<kvValueGroup> kvGroupSortedValues(const std::vector<kvValueEntry>& sorted, double step,
                                              double tolerance)
{
    std::vector<kvValueGroup> groups(1);
    double bin = 0;
    bool first = true;
    for (const kvValueEntry& entry : sorted) {
        const double value = entry.first;
        if (first) {
            bin = std::trunc(value / step);
            groups.back().value = bin * step;
            groups.back().firstValue = value;
            first = false;
        }
        if (value > binEdge(bin, step, tolerance)) {
            bin = nextBin(bin, value, step, tolerance);
            // A group that received no face is taken over by the next one.
            if (!groups.back().members.empty())
                groups.emplace_back();
            groups.back().value = bin * step;
            groups.back().firstValue = value;
        }
        groups.back().members.push_back(entry.second);
    }
    return groups;
}
