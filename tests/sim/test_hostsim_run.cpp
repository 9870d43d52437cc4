// The host simulator end to end: the built executable loads the built module
// and plays a session; the test reads what it printed.
#include <gtest/gtest.h>

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

    bool has(const std::string& line) const
    {
        for (const auto& l : lines)
            if (l == line)
                return true;
        return false;
    }
    // Index of the first line equal to text at or after from, or -1.
    int find(const std::string& text, int from = 0) const
    {
        for (int i = from; i < static_cast<int>(lines.size()); ++i)
            if (lines[static_cast<std::size_t>(i)] == text)
                return i;
        return -1;
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

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs hostsim with the arguments (after --module) and, when given, a script
// written to a file, or fed on standard input with "-".
SimRun runHostsim(const std::string& arguments, const std::string& stdinText = "")
{
    const std::string errPath = tempPath("stderr");
    std::string command = std::string(KV_HOSTSIM_PATH) + " " + arguments + " 2>" + errPath;
    if (!stdinText.empty()) {
        const std::string inPath = tempPath("stdin");
        std::ofstream(inPath) << stdinText;
        command += " <" + inPath;
    }
    SimRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::string current;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        current.append(buffer, n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::istringstream in(current);
    for (std::string line; std::getline(in, line);)
        run.lines.push_back(line);
    run.err = readFile(errPath);
    return run;
}

SimRun runScript(const std::string& script)
{
    const std::string path = tempPath("script.txt");
    std::ofstream(path) << script;
    return runHostsim(std::string("--module ") + KV_MODULE_PATH + " " + path);
}

TEST(Hostsim, DemoShowsTheWholeStoryAndEndsClean)
{
    const SimRun run = runHostsim(std::string("--module ") + KV_MODULE_PATH + " --demo");
    ASSERT_EQ(run.status, 0) << run.all();
    const int opened = run.find("analysis window opened and registered as \"kvCAnalyseDlg\"");
    ASSERT_GE(opened, 0) << run.all();
    const int again = run.find("analysis window shown again", opened);
    EXPECT_GT(again, opened) << run.all();
    EXPECT_GT(run.find("[message box kind 3] Analyse cannot start in transparent mode", again), again) << run.all();
    EXPECT_TRUE(run.has("[message box kind 3] Analyse kann im Transparentmodus nicht gestartet werden")) << run.all();
    // The connection and the open window each hold one lock.
    EXPECT_GT(run.find("module lock count: 2", opened), opened) << run.all();
    EXPECT_TRUE(run.has("host objects alive at exit: none")) << run.all();
    EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST(Hostsim, StatusFollowsTheSession)
{
    const SimRun run = runScript("status\n"
                              "analyse\n"
                              "status\n"
                              "transparent on\n"
                              "status\n");
    ASSERT_EQ(run.status, 0) << run.all();
    const int first = run.find("module lock count: 0");
    ASSERT_GE(first, 0) << run.all();
    EXPECT_EQ(run.lines[static_cast<std::size_t>(first + 1)], "registered windows: none");
    EXPECT_EQ(run.lines[static_cast<std::size_t>(first + 2)], "analyse show mode: 0");
    const int second = run.find("module lock count: 2", first);
    ASSERT_GT(second, first) << run.all();
    EXPECT_EQ(run.lines[static_cast<std::size_t>(second + 1)], "registered windows: \"kvCAnalyseDlg\" (visible)");
    EXPECT_EQ(run.lines[static_cast<std::size_t>(second + 2)], "analyse show mode: 1");
    EXPECT_GT(run.find("transparent mode: on", second), second) << run.all();
    // At the end the window is closed and only the connection's lock is left.
    EXPECT_TRUE(run.has("window \"kvCAnalyseDlg\" closed")) << run.all();
    EXPECT_TRUE(run.has("module lock count at exit: 1")) << run.all();
    EXPECT_TRUE(run.has("host objects alive at exit: none")) << run.all();
}

TEST(Hostsim, TransparentFromTheStartOpensNothing)
{
    const SimRun run = runScript("transparent on\nanalyse\nanalyse\nstatus\n");
    ASSERT_EQ(run.status, 0) << run.all();
    EXPECT_EQ(run.find("analysis window opened and registered as \"kvCAnalyseDlg\""), -1) << run.all();
    int boxes = 0;
    for (const auto& line : run.lines)
        boxes += line == "[message box kind 3] Analyse cannot start in transparent mode";
    EXPECT_EQ(boxes, 2) << run.all();
    // The connection exists (one lock), no window does.
    EXPECT_TRUE(run.has("module lock count: 1")) << run.all();
    EXPECT_TRUE(run.has("registered windows: none")) << run.all();
}

TEST(Hostsim, ScriptFromStandardInputAndQuit)
{
    const SimRun run = runHostsim(std::string("--module ") + KV_MODULE_PATH + " -",
                               "echo before\nquit\necho after\n");
    ASSERT_EQ(run.status, 0) << run.all();
    EXPECT_TRUE(run.has("before"));
    EXPECT_FALSE(run.has("after"));
}

TEST(Hostsim, FailuresShowInTheExitStatus)
{
    const SimRun bad = runScript("echo fine\nfrobnicate\nlanguage\n");
    EXPECT_EQ(bad.status, 2) << bad.all();
    EXPECT_NE(bad.err.find("line 2: unknown command 'frobnicate'"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("line 3: language:"), std::string::npos) << bad.err;
    EXPECT_TRUE(bad.has("fine"));

    const SimRun noModule = runHostsim("--module /nonexistent/kvAnalyse.so --demo");
    EXPECT_EQ(noModule.status, 1);
    EXPECT_NE(noModule.err.find("cannot load"), std::string::npos) << noModule.err;

    const SimRun noScript = runHostsim(std::string("--module ") + KV_MODULE_PATH + " /nonexistent/script.txt");
    EXPECT_EQ(noScript.status, 1);

    const SimRun usage = runHostsim("--demo extra.txt");
    EXPECT_EQ(usage.status, 1);
    EXPECT_NE(usage.err.find("usage"), std::string::npos);
}

} // namespace
