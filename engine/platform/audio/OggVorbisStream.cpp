#include "engine/platform/audio/OggVorbisStream.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/platform/Report.h"
#include "engine/platform/archive/File.h"

namespace {

size_t imageRead(void* destination, size_t elementSize, size_t elementCount, void* source) {
    return static_cast<OggVorbisStream*>(source)->readImage(destination, elementSize, elementCount);
}

int imageSeek(void* source, ogg_int64_t offset, int origin) {
    return static_cast<OggVorbisStream*>(source)->seekImage(offset, origin);
}

// The image belongs to the stream; the decoder frees nothing.
int imageClose(void*) { return 0; }

long imageTell(void* source) { return static_cast<OggVorbisStream*>(source)->tellImage(); }

} // namespace

OggVorbisStream::OggVorbisStream() : m_vorbis(new OggVorbis_File()) {}

OggVorbisStream::~OggVorbisStream() {
    if (m_decoderOpen) ov_clear(m_vorbis.get());
}

OggVorbisStream* OggVorbisStream::load(File& file, const char* name) {
    std::unique_ptr<File> clone(file.clone());
    if (!clone) return nullptr;
    if (!clone->open(name)) {
        logSoundFileProblem(name, false, "not found");
        return nullptr;
    }
    std::unique_ptr<OggVorbisStream> stream(new OggVorbisStream());
    stream->setName(name);
    stream->m_image.resize(clone->getSize());
    uint32_t got = clone->readFully(stream->m_image.data(), clone->getSize());
    clone->close();
    stream->m_image.resize(got);
    const char* refused = got == 0 ? "empty" : stream->openDecoder();
    if (refused) {
        logSoundFileProblem(name, false, refused);
        return nullptr;
    }
    stream->checkPages();
    return stream.release();
}

const char* OggVorbisStream::openDecoder() {
    ov_callbacks callbacks = {imageRead, imageSeek, imageClose, imageTell};
    int opened = ov_open_callbacks(this, m_vorbis.get(), nullptr, 0, callbacks);
    if (opened == OV_ENOTVORBIS) return "not Ogg Vorbis";
    if (opened == OV_EBADHEADER) return "its Vorbis headers are damaged";
    if (opened == OV_EVERSION) return "a Vorbis version this decoder does not know";
    if (opened < 0) return formatStatic("the decoder refuses it (%d)", opened);
    m_decoderOpen = true;
    vorbis_info* info = ov_info(m_vorbis.get(), -1);
    if (!info) return "no stream information";
    m_bits = 16;
    m_rate = static_cast<int32_t>(info->rate);
    m_channels = info->channels;
    return nullptr;
}

void OggVorbisStream::checkPages() {
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    ogg_page page;
    bool ended = false;
    long skipped = 0;
    for (size_t at = 0; at < m_image.size();) {
        size_t piece = std::min<size_t>(m_image.size() - at, 65536);
        std::memcpy(ogg_sync_buffer(&sync, static_cast<long>(piece)), m_image.data() + at, piece);
        ogg_sync_wrote(&sync, static_cast<long>(piece));
        at += piece;
        for (long got; (got = ogg_sync_pageseek(&sync, &page)) != 0;) {
            if (got < 0) {
                skipped -= got;
            } else {
                ended = ogg_page_eos(&page) != 0;
            }
        }
    }
    // Bytes of a page cut off by the file's end stay behind.
    long unfinished = sync.fill - sync.returned;
    ogg_sync_clear(&sync);
    if (skipped > 0) logDamage(formatStatic("damaged, %ld bytes do not form valid pages", skipped));
    if (!ended || unfinished > 0) logSoundFileProblem(m_name, true, "truncated, it ends before its stream does");
}

void OggVorbisStream::logDamage(const char* reason) {
    if (m_damageLogged) return;
    m_damageLogged = true;
    logSoundFileProblem(m_name, true, reason);
}

int32_t OggVorbisStream::read(void* destination, int32_t count) {
    if (count <= 0) return 0;
    char* bytes = static_cast<char*>(destination);
    long got = ov_read(m_vorbis.get(), bytes, count, 0, 2, 1, &m_bitstream);
    // Each hole is reported once, and the decoder goes on after it.
    while (got == OV_HOLE) {
        logDamage("damaged, samples are missing where pages are");
        got = ov_read(m_vorbis.get(), bytes, count, 0, 2, 1, &m_bitstream);
    }
    if (got < 0) logDamage(formatStatic("cannot be decoded past the damage (%ld)", got));
    if (got != 0) return static_cast<int32_t>(got);
    if (m_loop) {
        ov_pcm_seek(m_vorbis.get(), 0);
        return static_cast<int32_t>(ov_read(m_vorbis.get(), bytes, count, 0, 2, 1, &m_bitstream));
    }
    std::memset(destination, 0, static_cast<size_t>(count));
    return count;
}

double OggVorbisStream::getDuration() { return ov_time_total(m_vorbis.get(), -1); }

uint32_t OggVorbisStream::getSize() {
    int64_t samples = ov_pcm_total(m_vorbis.get(), -1);
    if (samples < 0) return 0;
    return static_cast<uint32_t>(samples * m_channels * m_bits / 8);
}

size_t OggVorbisStream::readImage(void* destination, size_t elementSize, size_t elementCount) {
    if (elementSize == 0 || elementCount == 0 || m_imagePosition >= m_image.size()) return 0;
    size_t count = std::min(elementCount, (m_image.size() - m_imagePosition) / elementSize);
    std::memcpy(destination, m_image.data() + m_imagePosition, count * elementSize);
    m_imagePosition += static_cast<uint32_t>(count * elementSize);
    return count;
}

int OggVorbisStream::seekImage(int64_t offset, int origin) {
    int64_t target = 0;
    int64_t size = static_cast<int64_t>(m_image.size());
    switch (origin) {
    case SEEK_SET: target = offset; break;
    case SEEK_CUR: target = m_imagePosition + offset; break;
    case SEEK_END:
        if (offset > 0) return -1;
        target = size + offset;
        break;
    default: return 0;
    }
    if (target < 0 || target > size) return -1;
    m_imagePosition = static_cast<uint32_t>(target);
    return 0;
}
