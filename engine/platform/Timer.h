#pragma once
#include <cstdint>

// Pausable stopwatch on the high-resolution counter.
class Timer {
public:
    Timer();
    void start();
    void pause();
    void resume();
    double getSeconds() const;
    bool isRunning() const { return m_running != 0; }

private:
    uint8_t m_running;
    int64_t m_base;
    int64_t m_pausedAt;
    int64_t m_frequency;
};
