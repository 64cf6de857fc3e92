#pragma once
#include <cstdint>
#include <memory>

#include "engine/platform/audio/Sound.h"
#include "sys/sound/Audio3DParameters.h"

namespace sys {
class AudioBuffer;
class AudioOutput;
} // namespace sys

// A sound buffer holding a whole sample stream, optionally placed in 3D.
// Positions count 176400 bytes a second, whatever the buffer's format.
class SoundBuffer : public Sound {
public:
    SoundBuffer();
    ~SoundBuffer() override;

    // Hundredths of a decibel for a volume of 0 to 1.
    static int32_t volumeLevel(float volume);

    // Makes the buffer and fills it from the stream; false, logged, when a 3D
    // sound is asked of a stream with more than one channel, or the format
    // cannot play.
    bool create(sys::AudioOutput* directSound, SampleStream* stream, uint32_t bytes, bool is3D);
    // The region wraps past the buffer's end to its start.
    bool write(uint32_t offset, const void* source, uint32_t count);
    bool fillSilence(uint32_t offset, uint32_t count);

    std::unique_ptr<Sound> clone() override;
    // Restarts a playing buffer.
    bool play(bool loop) override;
    bool setLoop(bool loop) override { return true; }
    bool setFrequency(uint32_t hz) override;
    // Rewinds: a stopped buffer starts from its beginning.
    bool stop() override;
    double getPosition() override;
    bool setVolume(float volume) override;
    bool isPlaying() override;
    bool setPosition(double seconds) override;
    uint32_t getPlayCursor() override;
    void set3D(float px, float py, float pz, float cx, float cy, float cz, float vx, float vy, float vz) override;
    void setCone(float insideAngle, float outsideAngle, float outsideVolume) override;
    void setDistances(float minimum, float maximum) override;
    void set3DEnabled(bool on) override;
    float getMinDistance() override { return m_params.minDistance; }
    float getMaxDistance() override { return m_params.maxDistance; }

    uint32_t getSize() const { return m_size; }
    const sys::Audio3DParameters& get3DParameters() const { return m_params; }

protected:
    // A streamed buffer is written while it plays.
    explicit SoundBuffer(bool streamed);

    // The constant of the original, in single precision.
    static constexpr float SECONDS_PER_BYTE = 5.668934e-6f;

    void apply3D(bool deferred);

    const bool m_streamed = false;
    sys::AudioOutput* m_directSound = nullptr;
    std::unique_ptr<sys::AudioBuffer> m_buffer;
    uint32_t m_size = 0;
    // Stream bytes the creation put in, from the buffer's start.
    uint32_t m_filled = 0;
    bool m_is3D = false;
    sys::Audio3DParameters m_params;
};
