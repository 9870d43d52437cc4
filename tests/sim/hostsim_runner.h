// Runs the built host simulator as a user would and collects what it printed,
// for the end-to-end tests of the simulator; and a session of the simulator
// inside the test, for tests that also look at what the host holds.
#pragma once

#include "script.h"
#include "session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
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
    // What it printed on standard output.
    std::string text() const
    {
        std::string text;
        for (const auto& l : lines)
            text += l + "\n";
        return text;
    }
    bool has(const std::string& part) const { return text().find(part) != std::string::npos; }
    std::string all() const { return text() + "--- stderr:\n" + err; }
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

// What a session inside the test printed, line by line, and its script's
// errors (-1: the module did not start).
struct Played {
    std::string out, err;
    int errors = 0;
    std::vector<std::string> lines;

    // Index of the first line at or after from that holds part, or -1.
    int find(const std::string& part, int from = 0) const
    {
        for (int i = from < 0 ? 0 : from; i < static_cast<int>(lines.size()); ++i)
            if (lines[i].find(part) != std::string::npos) return i;
        return -1;
    }
    bool has(const std::string& part) const { return find(part) >= 0; }
    // The value of the first line "label: ..." after the line holding from.
    std::string after(const std::string& from, const std::string& label) const
    {
        for (int i = find(from) + 1; i > 0 && i < static_cast<int>(lines.size()); ++i) {
            const std::size_t at = lines[i].find_first_not_of(' ');
            if (at != std::string::npos && lines[i].compare(at, label.size() + 2, label + ": ") == 0)
                return lines[i].substr(at + label.size() + 2);
        }
        return "(missing)";
    }
    std::string all() const { return out + err; }
};

// Plays the script in a session of its own; look, when given, sees the
// session before it ends.
inline Played playSession(const std::string& script, const std::function<void(hostsim::Session&)>& look = nullptr)
{
    std::ostringstream out, err;
    Played played;
    {
        hostsim::Session session(out);
        if (!session.start(KV_MODULE_PATH, err)) {
            played.errors = -1;
        } else {
            std::istringstream in(script);
            played.errors = hostsim::runScript(in, session, err).errors;
            if (look)
                look(session);
            session.finish();
        }
    }
    played.out = out.str();
    played.err = err.str();
    std::istringstream text(played.out);
    for (std::string line; std::getline(text, line);)
        played.lines.push_back(line);
    return played;
}

// A session with the built module started; run() plays lines in it.
struct InProcessSession : ::testing::Test {
    std::ostringstream out;
    std::ostringstream err;
    hostsim::Session session{out};

    void SetUp() override { ASSERT_TRUE(session.start(KV_MODULE_PATH, err)) << err.str(); }

    // Runs the lines and gives back what they printed.
    std::string run(const std::string& script)
    {
        out.str("");
        std::istringstream in(script);
        hostsim::runScript(in, session, err);
        return out.str();
    }
    static bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
    static bool hasLine(const std::string& text, const std::string& line) { return has(text, line + "\n"); }
};

} // namespace hostsim_test
