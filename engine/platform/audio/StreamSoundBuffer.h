#pragma once
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "engine/platform/audio/SoundBuffer.h"
#include "sys/thread/Event.h"

// A ring of chunks that a refill thread of its own keeps filling from the
// stream while it plays. The ring always loops; the stream's loop flag says
// whether the music starts over or falls silent at its end.
class StreamSoundBuffer : public SoundBuffer {
public:
    StreamSoundBuffer() : SoundBuffer(true) {}
    ~StreamSoundBuffer() override;

    // Fills the whole ring and starts the refill thread.
    bool initStream(sys::AudioOutput* directSound, SampleStream* stream, uint32_t chunkBytes, bool is3D,
                    uint32_t chunkCount);

    // False when already playing.
    bool play(bool loop) override;
    bool setLoop(bool loop) override;
    // False when not playing; the stream stays where it is.
    bool stop() override;
    // Counts the ring's wraps, so call it at least once per pass of the ring.
    double getPosition() override;
    bool setPosition(double seconds) override { return false; }
    bool isPlaying() override { return m_playing; }
    // Wakes the refill thread.
    void update() override;
    // One stream can feed only one ring: no copies.
    std::unique_ptr<Sound> clone() override { return nullptr; }

    uint32_t getChunkBytes() const { return m_chunkBytes; }
    uint32_t getChunkCount() const { return m_chunkCount; }

private:
    void refillLoop();
    void fill();

    uint32_t m_waitMs = 100;
    sys::Event m_event;
    std::atomic<bool> m_running{false};
    std::thread m_thread;
    std::vector<uint8_t> m_decodeBuffer;
    uint32_t m_chunkBytes = 0;
    uint32_t m_chunkCount = 0;
    uint32_t m_wraps = 0;
    uint32_t m_lastCursor = 0;
    uint32_t m_writeOffset = 0;
    int32_t m_writeChunk = 0;
};
