#pragma once
#include "engine/platform/Sound.h"

// A sound that plays nothing but keeps its play clock, so code timed by a
// sound goes on without a sound device.
class SilentSound : public Sound {
public:
    bool reset();

    bool play(bool loop) override;
    bool setLoop(bool loop) override { return true; }
    bool setFrequency(uint32_t hz) override { return true; }
    bool stop() override;
    // Seconds since the last play, counting on after a stop.
    double getPosition() override;
    bool setVolume(float volume) override { return true; }
    bool setPosition(double seconds) override { return true; }
    uint32_t getPlayCursor() override { return 0; }

private:
    double m_startTime = 0.0;
};
