// The clock that splits a run between the host and the module: it counts an
// answer given inside another answer once, and nothing while it is off.
#include "host_answer_clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using hostsim::HostAnswerClock;

TEST(HostAnswerClock, AnAnswerInsideAnotherCountsOnceAndNothingCountsWhileOff)
{
    const auto pause = std::chrono::milliseconds(20);
    {
        HostAnswerClock::Answer untimed;
        std::this_thread::sleep_for(pause);
    }
    const auto started = std::chrono::steady_clock::now();
    HostAnswerClock::start();
    EXPECT_EQ(HostAnswerClock::answers(), 0);
    {
        HostAnswerClock::Answer outer;
        HostAnswerClock::Answer inner;
        std::this_thread::sleep_for(pause);
    }
    std::this_thread::sleep_for(pause);  // between answers: the module's time
    HostAnswerClock::stop();
    const double whole = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    {
        HostAnswerClock::Answer afterStop;
        std::this_thread::sleep_for(pause);
    }
    EXPECT_EQ(HostAnswerClock::answers(), 1);
    EXPECT_GE(HostAnswerClock::seconds(), 0.020);
    // The pause between the answers is not in it.
    EXPECT_LE(HostAnswerClock::seconds(), whole - 0.020);
}
