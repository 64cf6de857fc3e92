#pragma once
#include <cstdint>

// Where a timer reads the time: the performance counter, or a count that a
// tool or test advances by hand so that a run repeats exactly.
class TickSource {
public:
    virtual ~TickSource() = default;
    virtual int64_t ticks() const = 0;
    // Ticks per second, at least 1.
    virtual int64_t frequency() const = 0;
};

// Counts microseconds it is told have passed.
class ManualTicks : public TickSource {
public:
    int64_t ticks() const override { return m_ticks; }
    int64_t frequency() const override { return 1000000; }
    void advance(double seconds) { m_ticks += static_cast<int64_t>(seconds * 1000000.0 + 0.5); }

private:
    int64_t m_ticks = 0;
};
