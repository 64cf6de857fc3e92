#pragma once
#include "engine/platform/audio/Sound.h"

// A sound that plays nothing but keeps its play clock, so code timed by a
// sound goes on without a sound device. A one-shot play ends when the clock
// passes the stream's length (at once without a stream).
class SilentSound : public Sound {
public:
    explicit SilentSound(double duration = 0.0) : m_duration(duration) {}

    bool reset();

    bool play(bool loop) override;
    bool setLoop(bool loop) override;
    bool setFrequency(uint32_t hz) override { return true; }
    bool stop() override;
    // Seconds since the last play, counting on after a stop.
    double getPosition() override;
    bool setVolume(float volume) override { return true; }
    bool isPlaying() override;
    bool setPosition(double seconds) override { return true; }
    uint32_t getPlayCursor() override { return 0; }

private:
    double m_startTime = 0.0;
    double m_duration;
    bool m_loop = false;
};
