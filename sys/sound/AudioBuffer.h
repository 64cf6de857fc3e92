#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "sys/sound/Audio3DParameters.h"
#include "sys/sound/AudioFormat.h"

namespace sys {

struct AudioContext;

// A secondary sound buffer: PCM bytes that play once or in a loop from a
// cursor, written through lock and unlock. A static buffer goes to the mixer
// whole when it starts: what is written while it plays is heard from its
// next start. A streamed buffer is a ring written while it plays: its bytes
// go to the mixer in pieces, as far ahead of the play cursor as the writer
// has written, so a writer that keeps ahead of the cursor is heard.
class AudioBuffer {
public:
    ~AudioBuffer();
    AudioBuffer(const AudioBuffer&) = delete;
    AudioBuffer& operator=(const AudioBuffer&) = delete;

    uint32_t getSize() const { return m_size; }
    const AudioFormat& getFormat() const { return m_format; }

    // The region may wrap past the end: then the second part holds the rest.
    // Every other call on any buffer waits until `unlock`.
    bool lock(uint32_t offset, uint32_t count, void** part1, uint32_t* bytes1, void** part2, uint32_t* bytes2);
    bool unlock();

    bool play(bool looping);
    // Keeps the cursor where it stopped.
    bool stop();
    bool isPlaying();
    // While playing the write cursor is ahead of the play cursor: of a
    // streamed buffer, where bytes may change again unheard; stopped, both
    // cursors are the same.
    bool getCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor);
    bool setCurrentPosition(uint32_t offset);
    // Hundredths of a decibel, -10000 (silent) to 0.
    bool setVolume(int32_t volume);
    // Samples per second; 0 plays at the buffer's own rate.
    bool setFrequency(uint32_t hz);
    bool set3DParameters(const Audio3DParameters& parameters, bool deferred);
    // A new buffer playing the same bytes, as they are when it starts; null
    // when this one is detached.
    AudioBuffer* duplicate();

private:
    friend class AudioOutput;
    friend struct AudioContext;

    AudioBuffer(AudioContext* context, const AudioFormat& format, uint32_t size, bool control3D, bool streamed,
                std::shared_ptr<std::vector<uint8_t>> data);
    bool attach();
    void detach();
    void pump();
    void applyPending3D();
    void applyRolloff();
    void apply3D(const Audio3DParameters& parameters);
    void startAt(uint32_t offset);
    void halt();
    void queueAhead();
    void markWritten(uint32_t offset, uint32_t count);
    void upload(uint32_t name, uint32_t offset, uint32_t count);
    uint32_t segmentStart(uint32_t segment) const { return segment * m_segmentBytes; }
    uint32_t segmentLength(uint32_t segment) const;
    uint32_t playCursor();

    AudioContext* m_context;
    AudioFormat m_format;
    uint32_t m_size;
    uint32_t m_playSize;
    bool m_control3D;
    bool m_streamed;
    // Mono without 3D goes to the mixer as two equal channels, so it is heard
    // at full volume on both sides as stereo is.
    bool m_bothSides;
    std::shared_ptr<std::vector<uint8_t>> m_data;
    uint32_t m_segmentBytes;
    uint32_t m_segmentCount;
    uint32_t m_source = 0;
    std::vector<uint32_t> m_freeBuffers;
    std::vector<uint32_t> m_allBuffers;
    std::deque<uint32_t> m_queued;
    // Streamed: bytes of each piece written since it last went to the mixer.
    std::vector<uint32_t> m_written;
    uint32_t m_nextSegment = 0;
    // Static: the mixer's copy lags what was written.
    bool m_stale = true;
    bool m_playing = false;
    bool m_looping = false;
    bool m_locked = false;
    uint32_t m_lockOffset = 0;
    uint32_t m_lockCount = 0;
    uint32_t m_position = 0;
    std::optional<Audio3DParameters> m_pending3D;
};

} // namespace sys
