#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/platform/audio/SampleStream.h"

struct OggVorbis_File;

// An Ogg Vorbis file decoded to 16-bit PCM from an in-memory copy.
class OggVorbisStream : public SampleStream {
public:
    OggVorbisStream();
    ~OggVorbisStream() override;
    OggVorbisStream(const OggVorbisStream&) = delete;
    OggVorbisStream& operator=(const OggVorbisStream&) = delete;

    // Null, logged, when the file is missing or not Ogg Vorbis; a damaged or
    // truncated file loads, logged, and plays what can be decoded.
    static OggVorbisStream* load(File& file, const char* name);

    // At the end a looping stream starts over; a finished one gives silence.
    // Damage is skipped: decoding goes on after it.
    int32_t read(void* destination, int32_t count) override;
    int32_t bitsPerSample() override { return m_bits; }
    int32_t channels() override { return m_channels; }
    int32_t sampleRate() override { return m_rate; }
    double getDuration() override;
    uint32_t getSize() override;

    // The decoder's view of the memory image, as its callbacks see it.
    size_t readImage(void* destination, size_t elementSize, size_t elementCount);
    int seekImage(int64_t offset, int origin);
    long tellImage() const { return static_cast<long>(m_imagePosition); }

private:
    // Why the decoder does not take the image; null when it does.
    const char* openDecoder();
    // Logs pages that fail their check and an end without the stream's end.
    void checkPages();
    void logDamage(const char* reason);

    std::unique_ptr<OggVorbis_File> m_vorbis;
    bool m_decoderOpen = false;
    std::vector<uint8_t> m_image;
    uint32_t m_imagePosition = 0;
    int m_bitstream = 0;
    // Read by the refill thread of a streamed sound only, once it plays.
    bool m_damageLogged = false;
    int32_t m_bits = 16;
    int32_t m_rate = 0;
    int32_t m_channels = 0;
};
