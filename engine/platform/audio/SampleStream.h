#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class File;

// The PCM bytes of one sound file, delivered on demand. Sounds use a stream
// but do not own it; a streamed sound reads it from its refill thread.
class SampleStream {
public:
    virtual ~SampleStream() = default;

    virtual void setLoop(bool loop) { m_loop = loop; }
    virtual void setPosition(uint32_t position) { m_position = position; }
    // Bytes copied, 0 at the end, negative on a decoder error.
    virtual int32_t read(void* destination, int32_t count) = 0;
    virtual int32_t bitsPerSample() = 0;
    virtual int32_t channels() = 0;
    virtual int32_t sampleRate() = 0;
    virtual double getDuration() { return 0.0; }
    virtual uint32_t getSize() { return 0; }
    // A new stream of the same samples from their start, so one file read serves
    // several sounds; null for a kind that cannot share what it read.
    virtual std::unique_ptr<SampleStream> copy() const { return nullptr; }

    bool getLoop() const { return m_loop; }
    const std::string& getName() const { return m_name; }
    void setName(const char* name) { m_name = name ? name : ""; }

protected:
    uint32_t m_position = 0;
    // Set by the main thread when a streamed sound starts, read by its refill thread.
    std::atomic<bool> m_loop{false};
    std::string m_name;
};

// A ".ogg" or ".wav" file (any case) as a new stream; null for other names
// and for files that do not load, which are logged with the reason.
SampleStream* loadSampleStream(File& file, const char* name);

// One log line on a sound file that cannot be played, or only in part.
void logSoundFileProblem(const std::string& name, bool partly, const std::string& reason);
