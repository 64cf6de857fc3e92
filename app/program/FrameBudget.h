#pragma once
#include <cstdint>
#include <ostream>

// A run limited to a number of drawn frames (PLIMZOR_FRAMES=N), menu and race
// frames together, for tests and timings: the loops end the program once it
// is spent, and the run then says how long a frame took on average.
class FrameBudget {
public:
    enum Phase { MENU, RACE, PHASES };

    // 0: no limit, nothing is reported.
    explicit FrameBudget(int64_t limit = 0) : m_limit(limit) {}
    // The limit PLIMZOR_FRAMES names; no limit when it is unset or no count.
    static FrameBudget fromEnvironment();

    void count(Phase phase, double seconds);
    bool limited() const { return m_limit > 0; }
    bool spent() const { return limited() && frames() >= m_limit; }
    // How long the limit's frames take at 60 a second: scripted runs close a box after that; 0 without a limit.
    double seconds() const { return double(m_limit) / 60.0; }
    int64_t frames() const { return m_frames[MENU] + m_frames[RACE]; }
    // One line a phase and one for all frames, when there is a limit.
    void report(std::ostream& out) const;

private:
    int64_t m_limit;
    int64_t m_frames[PHASES] = {};
    double m_seconds[PHASES] = {};
};
