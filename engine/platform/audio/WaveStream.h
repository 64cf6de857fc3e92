#pragma once
#include <cstdint>
#include <vector>

#include "engine/platform/audio/SampleStream.h"

// The data chunk of a RIFF WAVE PCM file, held in memory.
class WaveStream : public SampleStream {
public:
    // The PCM format record as the file stores it.
    struct Format {
        uint16_t formatTag = 0;
        uint16_t channels = 0;
        uint32_t samplesPerSecond = 0;
        uint32_t averageBytesPerSecond = 0;
        uint16_t blockAlign = 0;
        uint16_t bitsPerSample = 0;
    };

    // Null, logged, when the file is missing, not PCM WAVE, or ends before its data.
    static WaveStream* load(File& file, const char* name);

    // A looping stream starts over once a read has reached the end.
    int32_t read(void* destination, int32_t count) override;
    int32_t bitsPerSample() override { return m_format.bitsPerSample; }
    int32_t channels() override { return m_format.channels; }
    int32_t sampleRate() override { return static_cast<int32_t>(m_format.samplesPerSecond); }
    double getDuration() override;
    uint32_t getSize() override { return m_size; }
    std::unique_ptr<SampleStream> copy() const override;

private:
    // Why the file cannot be played; null when it can.
    const char* readChunks(File& file);

    uint32_t m_size = 0;
    std::vector<uint8_t> m_data;
    Format m_format;
};
