// The host simulator end to end: the built executable loads the built module
// and plays a session; the test reads what it printed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

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

std::string tempPath(const char* what)
{
    return testing::TempDir() + "hostsim_" + std::to_string(getpid()) + "_" + what;
}

// Runs hostsim with the arguments; a script, when given, goes on standard input.
SimRun runHostsim(const std::string& arguments, const std::string& script = "")
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

TEST(Hostsim, DemoShowsTheWholeStoryAndEndsClean)
{
    const SimRun run = runHostsim(kModule + " --demo");
    ASSERT_EQ(run.status, 0) << run.all();
    const int opened = run.find("analysis window opened and registered as \"kvCAnalyseDlg\"");
    ASSERT_GE(opened, 0) << run.all();
    const int again = run.find("analysis window shown again", opened);
    EXPECT_GT(again, opened) << run.all();
    EXPECT_GT(run.find("[message box kind 3] Analyse cannot start in transparent mode", again), again) << run.all();
    EXPECT_GE(run.find("[message box kind 3] Analyse kann im Transparentmodus nicht gestartet werden"), 0);
    // The connection and the open window each hold one lock.
    EXPECT_GT(run.find("module lock count: 2", opened), opened) << run.all();
    EXPECT_GE(run.find("host objects alive at exit: none"), 0) << run.all();
    EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST(Hostsim, StatusFollowsTheSessionFromStandardInput)
{
    const SimRun run = runHostsim(kModule + " -", "status\nanalyse\nstatus\nquit\necho after quit\n");
    ASSERT_EQ(run.status, 0) << run.all();
    const int first = run.find("module lock count: 0");
    ASSERT_GE(first, 0) << run.all();
    EXPECT_EQ(run.find("registered windows: none"), first + 1);
    EXPECT_EQ(run.find("analyse show mode: 0"), first + 2);
    const int second = run.find("module lock count: 2", first);
    ASSERT_GT(second, first) << run.all();
    EXPECT_EQ(run.find("registered windows: \"kvCAnalyseDlg\" (visible)"), second + 1);
    EXPECT_EQ(run.find("analyse show mode: 1"), second + 2);
    EXPECT_EQ(run.find("after quit"), -1);
    // At the end the window is closed and only the connection's lock is left.
    EXPECT_GE(run.find("window \"kvCAnalyseDlg\" closed"), 0) << run.all();
    EXPECT_GE(run.find("module lock count at exit: 1"), 0) << run.all();
    EXPECT_GE(run.find("host objects alive at exit: none"), 0) << run.all();
}

TEST(Hostsim, FailuresShowInTheExitStatus)
{
    const SimRun bad = runHostsim(kModule + " -", "echo fine\nfrobnicate\nlanguage\n");
    EXPECT_EQ(bad.status, 2) << bad.all();
    EXPECT_NE(bad.err.find("line 2: unknown command 'frobnicate'"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("line 3: language:"), std::string::npos) << bad.err;
    EXPECT_GE(bad.find("fine"), 0);

    const SimRun noModule = runHostsim("--module /nonexistent/kvAnalyse.so --demo");
    EXPECT_EQ(noModule.status, 1);
    EXPECT_NE(noModule.err.find("cannot load"), std::string::npos) << noModule.err;
    EXPECT_EQ(runHostsim(kModule + " /nonexistent/script.txt").status, 1);
    EXPECT_EQ(runHostsim("--demo extra.txt").status, 1);
}

} // namespace
