#include "host_answer_clock.h"

#include <chrono>

namespace hostsim {

namespace {

using Clock = std::chrono::steady_clock;

bool running = false;
int depth = 0;
long long count = 0;
Clock::duration total{};
Clock::time_point outerStart;

} // namespace

void HostAnswerClock::start()
{
    total = Clock::duration{};
    count = 0;
    running = true;
}

void HostAnswerClock::stop() { running = false; }

double HostAnswerClock::seconds() { return std::chrono::duration<double>(total).count(); }

long long HostAnswerClock::answers() { return count; }

HostAnswerClock::Answer::Answer() : m_timed(running)
{
    if (m_timed && depth++ == 0) {
        ++count;
        outerStart = Clock::now();
    }
}

HostAnswerClock::Answer::~Answer()
{
    if (m_timed && --depth == 0) total += Clock::now() - outerStart;
}

} // namespace hostsim
