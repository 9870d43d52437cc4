// Counts the simulator's live host objects by kind, so that the session can
// tell at its end whether the module gave back every reference it took.
#pragma once

#include <map>
#include <string>

namespace hostsim {

class Census {
public:
    static void born(const std::string& kind);
    static void died(const std::string& kind);
    // Kinds with at least one live object, and how many.
    static std::map<std::string, int> alive();
    static int totalAlive();
};

// Base of every host object the simulator makes: present in the census from
// construction to destruction.
class Counted {
public:
    explicit Counted(const char* kind) : m_kind(kind) { Census::born(m_kind); }
    ~Counted() { Census::died(m_kind); }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
    const char* kind() const { return m_kind; }

private:
    const char* m_kind;
};

} // namespace hostsim
