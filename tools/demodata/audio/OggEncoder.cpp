#include "tools/demodata/audio/OggEncoder.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <stdexcept>

namespace demoaudio {

namespace {

// The encoder's state for one file, released whatever happens.
class Encoder {
public:
    Encoder(int sampleRate, float quality, int serial) {
        vorbis_info_init(&m_info);
        if (vorbis_encode_init_vbr(&m_info, 2, sampleRate, quality) != 0) {
            vorbis_info_clear(&m_info);
            throw std::runtime_error("the Vorbis encoder refuses this rate or quality");
        }
        vorbis_comment_init(&m_comment);
        vorbis_comment_add_tag(&m_comment, "ENCODER", "Plimzor 2 demodata");
        vorbis_analysis_init(&m_dsp, &m_info);
        vorbis_block_init(&m_dsp, &m_block);
        ogg_stream_init(&m_stream, serial);
    }
    ~Encoder() {
        ogg_stream_clear(&m_stream);
        vorbis_block_clear(&m_block);
        vorbis_dsp_clear(&m_dsp);
        vorbis_comment_clear(&m_comment);
        vorbis_info_clear(&m_info);
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;

    void writeHeaders() {
        ogg_packet header, comment, code;
        vorbis_analysis_headerout(&m_dsp, &m_comment, &header, &comment, &code);
        ogg_stream_packetin(&m_stream, &header);
        ogg_stream_packetin(&m_stream, &comment);
        ogg_stream_packetin(&m_stream, &code);
        // The audio starts on a fresh page, as players expect.
        drain(true);
    }

    void write(const StereoBuffer& samples) {
        const size_t step = 4096;
        for (size_t at = 0; at < samples.frames(); at += step) {
            const size_t n = std::min(step, samples.frames() - at);
            float** buffer = vorbis_analysis_buffer(&m_dsp, int(n));
            std::copy_n(samples.left.data() + at, n, buffer[0]);
            std::copy_n(samples.right.data() + at, n, buffer[1]);
            vorbis_analysis_wrote(&m_dsp, int(n));
            analyse();
        }
        vorbis_analysis_wrote(&m_dsp, 0);
        analyse();
        drain(true);
    }

    std::string m_bytes;

private:
    void analyse() {
        ogg_packet packet;
        while (vorbis_analysis_blockout(&m_dsp, &m_block) == 1) {
            vorbis_analysis(&m_block, nullptr);
            vorbis_bitrate_addblock(&m_block);
            while (vorbis_bitrate_flushpacket(&m_dsp, &packet)) {
                ogg_stream_packetin(&m_stream, &packet);
                drain(false);
            }
        }
    }

    void drain(bool flush) {
        ogg_page page;
        while (flush ? ogg_stream_flush(&m_stream, &page) : ogg_stream_pageout(&m_stream, &page)) {
            m_bytes.append(reinterpret_cast<const char*>(page.header), size_t(page.header_len));
            m_bytes.append(reinterpret_cast<const char*>(page.body), size_t(page.body_len));
        }
    }

    vorbis_info m_info;
    vorbis_comment m_comment;
    vorbis_dsp_state m_dsp;
    vorbis_block m_block;
    ogg_stream_state m_stream;
};

} // namespace

std::string oggVorbisBytes(const StereoBuffer& samples, int sampleRate, float quality) {
    // A serial number taken from the length keeps the file the same from run to run.
    Encoder encoder(sampleRate, quality, int(samples.frames() & 0x7fffffff));
    encoder.writeHeaders();
    encoder.write(samples);
    return std::move(encoder.m_bytes);
}

} // namespace demoaudio
