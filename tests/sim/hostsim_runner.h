// Runs the built host simulator as a user would and collects what it printed,
// for the end-to-end tests of the simulator.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace hostsim_test {

struct SimRun {
    int status = -1;
    std::vector<std::string> lines;
    std::string err;

    // Index of the first line equal to text after line from, or -1.
    int find(const std::string& text, int from = -1) const
    {
        auto it = std::find(lines.begin() + (from + 1), lines.end(), text);
        return it == lines.end() ? -1 : static_cast<int>(it - lines.begin());
    }
    std::string all() const
    {
        std::string text;
        for (const auto& l : lines)
            text += l + "\n";
        return text + "--- stderr:\n" + err;
    }
};

inline std::string tempPath(const char* what)
{
    return testing::TempDir() + "hostsim_" + std::to_string(getpid()) + "_" + what;
}

// Runs hostsim with the arguments; a script, when given, goes on standard input.
inline SimRun runHostsim(const std::string& arguments, const std::string& script = "")
{
    const std::string errPath = tempPath("stderr");
    const std::string inPath = tempPath("stdin");
    std::ofstream(inPath) << script;
    const std::string command = std::string(KV_HOSTSIM_PATH) + " " + arguments + " <" + inPath + " 2>" + errPath;
    SimRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        run.lines.push_back(line);
    std::stringstream err;
    err << std::ifstream(errPath).rdbuf();
    run.err = err.str();
    return run;
}

const std::string kModule = std::string("--module ") + KV_MODULE_PATH;

} // namespace hostsim_test
