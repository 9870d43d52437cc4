// The radius and plane analyses as a user runs them: a generated part of
// 10,000 and 100,000 faces, the analysis window, mode 3 and mode 4 over the
// whole selection, then closing, all through the simulator's own script
// commands with the module loaded as the host loads it. Each run is a child
// process of its own, so that its peak memory is its own.
//
// Reported per run: wall time of the whole script, peak resident memory, the
// time the host took to build the part, the time it spent answering the
// module's questions about faces, and the module's share (what remains of
// the analysis commands).
#include "host_answer_clock.h"
#include "script.h"
#include "session.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// What timing one answer adds outside the answer itself: the clock is read
// at each end, and half of each reading falls outside. Measured on empty
// answers, so that the module's share can be freed of it.
double clockCostPerAnswer()
{
    const long long count = 1000000;
    hostsim::HostAnswerClock::start();
    const Clock::time_point start = Clock::now();
    for (long long i = 0; i < count; ++i) {
        hostsim::HostAnswerClock::Answer answer;
        benchmark::ClobberMemory();
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    hostsim::HostAnswerClock::stop();
    return (elapsed - hostsim::HostAnswerClock::seconds()) / static_cast<double>(count);
}

struct RunFigures {
    double wall = 0.0;          // the whole script, session start and finish included
    double part = 0.0;          // "part generated N"
    double hostAnswers = 0.0;   // the host's answers during the analysis commands
    double analysis = 0.0;      // the analysis commands, from "analyse" to "close"
    double clockCost = 0.0;     // what timing the answers added to the analysis commands
    int errors = -1;            // script errors; -1: the session did not start
};

double since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Runs one script text through the session; false on a script error.
bool play(hostsim::Session& session, const std::string& text, std::ostream& err)
{
    std::istringstream in(text);
    return hostsim::runScript(in, session, err).errors == 0;
}

RunFigures runOnce(long faces)
{
    RunFigures figures;
    const Clock::time_point start = Clock::now();
    std::ostringstream out, err;
    hostsim::Session session(out);
    if (!session.start(KV_MODULE_PATH, err)) {
        std::fputs(err.str().c_str(), stderr);
        return figures;
    }
    figures.errors = 0;

    const Clock::time_point partStart = Clock::now();
    figures.errors += play(session, "part generated " + std::to_string(faces) + "\n", err) ? 0 : 1;
    figures.part = since(partStart);

    const double costPerAnswer = clockCostPerAnswer();
    hostsim::HostAnswerClock::start();
    const Clock::time_point analysisStart = Clock::now();
    figures.errors += play(session,
                           "analyse\nmode 3\nselect all\nelapse 100\n"
                           "mode 4\nselect all\nelapse 100\nclose\n",
                           err)
                          ? 0
                          : 1;
    figures.analysis = since(analysisStart);
    hostsim::HostAnswerClock::stop();
    figures.hostAnswers = hostsim::HostAnswerClock::seconds();
    figures.clockCost = costPerAnswer * static_cast<double>(hostsim::HostAnswerClock::answers());

    figures.errors += play(session, "part close\n", err) ? 0 : 1;
    session.finish();
    std::fputs(err.str().c_str(), stderr);
    figures.wall = since(start);
    return figures;
}

// One run in a child process; the child's figures come back through a pipe
// and its peak memory from the system's accounting of it.
bool runInChild(long faces, RunFigures& figures, double& peakMegabytes)
{
    int channel[2];
    if (pipe(channel) != 0) return false;
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        close(channel[0]);
        const RunFigures f = runOnce(faces);
        const ssize_t written = write(channel[1], &f, sizeof f);
        _exit(written == static_cast<ssize_t>(sizeof f) ? 0 : 1);
    }
    close(channel[1]);
    const ssize_t got = read(channel[0], &figures, sizeof figures);
    close(channel[0]);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return false;
    peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
    return got == static_cast<ssize_t>(sizeof figures) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void ModesThreeAndFourThroughTheSimulator(benchmark::State& state)
{
    const long faces = static_cast<long>(state.range(0));
    RunFigures figures;
    double peak = 0.0;
    for (auto _ : state) {
        if (!runInChild(faces, figures, peak) || figures.errors != 0) {
            state.SkipWithError("the run through the simulator failed");
            return;
        }
        state.SetIterationTime(figures.wall);
    }
    state.SetComplexityN(faces);
    state.counters["faces"] = static_cast<double>(faces);
    state.counters["peak_MB"] = peak;
    state.counters["part_s"] = figures.part;
    state.counters["host_answers_s"] = figures.hostAnswers;
    state.counters["module_s"] = figures.analysis - figures.hostAnswers - figures.clockCost;
}
BENCHMARK(ModesThreeAndFourThroughTheSimulator)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);

}  // namespace

BENCHMARK_MAIN();
