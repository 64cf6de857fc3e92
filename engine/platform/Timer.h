#pragma once
#include <cstdint>

class TickSource;

// Pausable stopwatch on the high-resolution counter, or on a given tick
// source. As the race clock it also keeps a frame time that advances once
// per frame, scaled, and the frame rate.
class Timer {
public:
    // Not owned; null reads the performance counter.
    explicit Timer(const TickSource* source = nullptr);
    void start();
    void pause();
    void resume();
    double getSeconds() const;
    bool isRunning() const { return m_running != 0; }

    // Running from 0 with the frame values cleared.
    void restart();
    // Once per frame: the time since the last tick, scaled, joins the current
    // time; the frame rate is recounted whenever the time has moved on.
    void tick();

    float m_currentTime = 0.0f;
    float m_lastFrameDuration = 0.0f;
    int32_t m_framesSinceRate = 0;
    float m_rateTime = 0.0f;
    float m_framesPerSecond = 0.0f;
    float m_timeScale = 1.0f;

private:
    int64_t now() const;

    const TickSource* m_source;
    uint8_t m_running;
    int64_t m_base;
    int64_t m_pausedAt;
    int64_t m_frequency;
};
