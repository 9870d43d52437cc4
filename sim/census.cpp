#include "census.h"

namespace hostsim {

namespace {
std::map<std::string, int>& counts()
{
    static std::map<std::string, int> table;
    return table;
}
} // namespace

void Census::born(const std::string& kind) { ++counts()[kind]; }

void Census::died(const std::string& kind)
{
    auto it = counts().find(kind);
    if (it != counts().end() && --it->second == 0) counts().erase(it);
}

std::map<std::string, int> Census::alive() { return counts(); }

int Census::totalAlive()
{
    int total = 0;
    for (const auto& entry : counts()) total += entry.second;
    return total;
}

} // namespace hostsim
