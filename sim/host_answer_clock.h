// Time the host spends answering the module's questions about faces (the
// face library, a face's normals, boundary and on-face test, its boundary
// curves), so that a run through the simulator can be split between the host
// and the module. Off unless a caller switches it on.
#pragma once

namespace hostsim {

class HostAnswerClock {
public:
    // Resets the total and starts counting answers.
    static void start();
    static void stop();
    // Seconds spent in answers since the last start, and how many answers
    // (outer ones) were timed.
    static double seconds();
    static long long answers();

    // One answer, from its start to its end; an answer the host gives while
    // answering (a library question asking a face) counts once, in the outer.
    class Answer {
    public:
        Answer();
        ~Answer();
        Answer(const Answer&) = delete;
        Answer& operator=(const Answer&) = delete;

    private:
        bool m_timed;
    };
};

} // namespace hostsim
