#pragma once
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/platform/archive/File.h"
#include "engine/platform/audio/SampleStream.h"
#include "sys/Pi.h"

// Sound files built in memory for the sound tests.
namespace soundtest {

// A file source over named byte strings, as the archive would give them.
class MemoryFile : public File {
public:
    explicit MemoryFile(std::map<std::string, std::string>* files) : m_files(files) {}
    File* clone() override { return new MemoryFile(m_files); }
    bool exists(const char* name) override { return m_files->count(name) > 0; }
    bool open(const char* name) override {
        auto found = m_files->find(name);
        if (found == m_files->end()) return false;
        m_bytes = &found->second;
        m_size = static_cast<uint32_t>(m_bytes->size());
        m_at = 0;
        return true;
    }
    bool create(const char*) override { return false; }
    bool close() override {
        m_bytes = nullptr;
        return true;
    }
    int32_t read(void* buffer, uint32_t count) override {
        if (!m_bytes || m_at >= m_bytes->size()) return 0;
        uint32_t n = std::min<uint32_t>(count, static_cast<uint32_t>(m_bytes->size()) - m_at);
        std::memcpy(buffer, m_bytes->data() + m_at, n);
        m_at += n;
        return static_cast<int32_t>(n);
    }
    int32_t write(const void*, uint32_t) override { return 0; }
    bool seek(uint32_t position) override {
        if (!m_bytes || position > m_bytes->size()) return false;
        m_at = position;
        return true;
    }
    bool skip(int32_t count) override {
        int64_t target = static_cast<int64_t>(m_at) + count;
        return target >= 0 && seek(static_cast<uint32_t>(target));
    }
    uint32_t tell() override { return m_at; }

private:
    std::map<std::string, std::string>* m_files;
    const std::string* m_bytes = nullptr;
    uint32_t m_at = 0;
};

inline void putU32(std::string& s, uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); }
inline void putU16(std::string& s, uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); }

inline std::string chunk(const char* id, const std::string& body) {
    std::string s(id, 4);
    putU32(s, static_cast<uint32_t>(body.size()));
    return s + body;
}

inline std::string formatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    std::string s;
    uint16_t block = static_cast<uint16_t>(channels * bits / 8);
    putU16(s, tag);
    putU16(s, channels);
    putU32(s, rate);
    putU32(s, rate * block);
    putU16(s, block);
    putU16(s, bits);
    return s;
}

// A RIFF WAVE file of the given chunks after "WAVE".
inline std::string riff(const std::string& chunks) {
    std::string s("RIFF", 4);
    putU32(s, static_cast<uint32_t>(chunks.size() + 4));
    return s + "WAVE" + chunks;
}

inline std::string pcmBytes(const std::vector<int16_t>& samples) {
    return std::string(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
}

inline std::string wave16(uint16_t channels, uint32_t rate, const std::vector<int16_t>& samples) {
    return riff(chunk("fmt ", formatBody(1, channels, rate, 16)) + chunk("data", pcmBytes(samples)));
}

// Interleaved frames of a sine per channel, 16-bit.
inline std::vector<int16_t> sine(uint32_t frames, uint16_t channels, uint32_t rate, double hz, double amplitude) {
    std::vector<int16_t> out(frames * channels);
    for (uint32_t i = 0; i < frames; ++i)
        for (uint16_t c = 0; c < channels; ++c)
            out[i * channels + c] =
                static_cast<int16_t>(amplitude * 32767.0 * std::sin(2.0 * PI_DOUBLE * hz * (c + 1) * i / rate));
    return out;
}

// An Ogg Vorbis file of the generator's samples (-1 to 1), per channel.
inline std::string oggVorbis(uint16_t channels, uint32_t rate, uint32_t frames,
                             const std::function<float(uint32_t frame, int channel)>& sample) {
    vorbis_info info;
    vorbis_info_init(&info);
    vorbis_encode_init_vbr(&info, channels, rate, 0.4f);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state os;
    ogg_stream_init(&os, 12726);
    std::string out;
    ogg_page page;
    auto drainPages = [&](bool flush) {
        while (flush ? ogg_stream_flush(&os, &page) : ogg_stream_pageout(&os, &page)) {
            out.append(reinterpret_cast<const char*>(page.header), page.header_len);
            out.append(reinterpret_cast<const char*>(page.body), page.body_len);
        }
    };
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &headerComment);
    ogg_stream_packetin(&os, &headerCode);
    drainPages(true);
    auto analyse = [&]() {
        ogg_packet packet;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&os, &packet);
                drainPages(false);
            }
        }
    };
    const uint32_t step = 1024;
    for (uint32_t at = 0; at < frames; at += step) {
        uint32_t n = std::min(step, frames - at);
        float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
        for (uint32_t i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c) buffer[c][i] = sample(at + i, c);
        vorbis_analysis_wrote(&dsp, static_cast<int>(n));
        analyse();
    }
    vorbis_analysis_wrote(&dsp, 0);
    analyse();
    drainPages(true);
    ogg_stream_clear(&os);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

// Every byte a stream gives until it ends or `limit` bytes are in.
inline std::vector<int16_t> readAll(SampleStream& stream, uint32_t limit) {
    std::vector<int16_t> out;
    std::vector<uint8_t> piece(4096);
    while (out.size() * 2 < limit) {
        int32_t n = stream.read(piece.data(), 4096);
        if (n <= 0) break;
        size_t at = out.size();
        out.resize(at + static_cast<size_t>(n) / 2);
        std::memcpy(out.data() + at, piece.data(), static_cast<size_t>(n) / 2 * 2);
    }
    return out;
}

// Passes another stream through and counts its reads and the ring bytes they
// stand for: what was given, or a 4096-byte piece of silence when nothing was.
class CountingStream : public SampleStream {
public:
    explicit CountingStream(SampleStream* inner) : m_inner(inner) {}
    void setLoop(bool loop) override { m_inner->setLoop(loop); }
    int32_t read(void* destination, int32_t count) override {
        int32_t n = m_inner->read(destination, count);
        m_pieces += n > 0 ? static_cast<uint32_t>(n) : 4096u;
        ++m_reads;
        return n;
    }
    int32_t bitsPerSample() override { return m_inner->bitsPerSample(); }
    int32_t channels() override { return m_inner->channels(); }
    int32_t sampleRate() override { return m_inner->sampleRate(); }
    uint32_t getSize() override { return m_inner->getSize(); }

    std::atomic<uint32_t> m_reads{0};
    std::atomic<uint32_t> m_pieces{0};

private:
    SampleStream* m_inner;
};

// Root mean square of one channel (0 left, 1 right) of float stereo frames.
inline double rms(const std::vector<float>& frames, int channel, size_t first, size_t count) {
    double sum = 0.0;
    size_t end = std::min(first + count, frames.size() / 2);
    for (size_t i = first; i < end; ++i) sum += frames[i * 2 + channel] * frames[i * 2 + channel];
    return end > first ? std::sqrt(sum / static_cast<double>(end - first)) : 0.0;
}

// Frames from the start up to and including the last one louder than the threshold.
inline size_t audibleFrames(const std::vector<float>& frames, float threshold = 1e-3f) {
    for (size_t i = frames.size() / 2; i > 0; --i)
        if (std::fabs(frames[(i - 1) * 2]) > threshold || std::fabs(frames[(i - 1) * 2 + 1]) > threshold) return i;
    return 0;
}

} // namespace soundtest
