// The rows of the group list as a session printed them ("rows", "row ..."),
// for the end-to-end tests of the radius and plane lists.
#pragma once

#include "hostsim_runner.h"

#include <string>

namespace hostsim_test {

// The rows printed first after the line holding from: per row its tick
// ('x' or ' ') and its selection ('*' or ' '), and how many are selected.
struct ShownRows {
    std::string ticks;
    std::string selection;
    int selected = 0;
};

inline ShownRows rowsAfter(const Played& t, const std::string& from)
{
    ShownRows shown;
    const int list = t.find("list: ", t.find(from));
    for (int i = list + 1; list >= 0 && i < static_cast<int>(t.lines.size()) && t.lines[i].rfind("  [", 0) == 0;
         ++i) {
        shown.ticks += t.lines[i].substr(3, 1);
        const bool selected = t.lines[i].find("<- selected") != std::string::npos;
        shown.selection += selected ? '*' : ' ';
        if (selected)
            ++shown.selected;
    }
    return shown;
}

} // namespace hostsim_test
