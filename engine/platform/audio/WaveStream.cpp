#include "engine/platform/audio/WaveStream.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "engine/platform/Report.h"
#include "engine/platform/archive/File.h"

namespace {

constexpr uint32_t WAVE_ID = 0x45564157;  // "WAVE"
constexpr uint32_t DATA_ID = 0x61746164;  // "data"
constexpr uint32_t FORMAT_RECORD_BYTES = 16;
constexpr uint16_t FORMAT_PCM = 1;

bool readU32(File& file, uint32_t& value) { return file.readFully(&value, 4) == 4; }

uint32_t bytesLeft(File& file) {
    uint32_t at = file.tell();
    return at < file.getSize() ? file.getSize() - at : 0;
}

bool readFormat(File& file, WaveStream::Format& format) {
    uint8_t record[FORMAT_RECORD_BYTES];
    if (file.readFully(record, FORMAT_RECORD_BYTES) != FORMAT_RECORD_BYTES) return false;
    std::memcpy(&format.formatTag, record, 2);
    std::memcpy(&format.channels, record + 2, 2);
    std::memcpy(&format.samplesPerSecond, record + 4, 4);
    std::memcpy(&format.averageBytesPerSecond, record + 8, 4);
    std::memcpy(&format.blockAlign, record + 12, 2);
    std::memcpy(&format.bitsPerSample, record + 14, 2);
    return true;
}

} // namespace

WaveStream* WaveStream::load(File& file, const char* name) {
    std::unique_ptr<File> clone(file.clone());
    if (!clone) return nullptr;
    std::unique_ptr<WaveStream> stream(new WaveStream());
    stream->setName(name);
    if (!clone->open(name)) {
        logSoundFileProblem(name, false, "not found");
        return nullptr;
    }
    const char* refused = stream->readChunks(*clone);
    clone->close();
    if (!refused) return stream.release();
    logSoundFileProblem(name, false, refused);
    return nullptr;
}

std::unique_ptr<SampleStream> WaveStream::copy() const {
    auto stream = std::make_unique<WaveStream>();
    stream->setName(m_name.c_str());
    stream->m_size = m_size;
    stream->m_data = m_data;
    stream->m_format = m_format;
    return stream;
}

const char* WaveStream::readChunks(File& file) {
    uint32_t id = 0;
    uint32_t size = 0;
    if (!file.seek(8) || !readU32(file, id) || id != WAVE_ID) return "not a RIFF WAVE file";
    // The format chunk comes first; its id is not looked at.
    if (!readU32(file, id) || !readU32(file, size) || size < FORMAT_RECORD_BYTES || !readFormat(file, m_format))
        return "no format record after the WAVE tag";
    if (m_format.formatTag != FORMAT_PCM) return formatStatic("format tag %u is not integer PCM", m_format.formatTag);
    const char* noData = "the file ends before its data chunk";
    if (size > FORMAT_RECORD_BYTES && !file.skip(static_cast<int32_t>(std::min(size - FORMAT_RECORD_BYTES, bytesLeft(file)))))
        return noData;
    // Every step moves forward or fails, so a broken file ends the walk at its end.
    if (!readU32(file, id)) return noData;
    while (id != DATA_ID) {
        if (!readU32(file, size) || size > bytesLeft(file)) return noData;
        if (size > 0 && !file.skip(static_cast<int32_t>(size))) return noData;
        if (!readU32(file, id)) return noData;
    }
    if (!readU32(file, size)) return noData;
    // A data size beyond the file's end keeps only the bytes that are there.
    m_data.resize(std::min(size, bytesLeft(file)));
    m_size = file.readFully(m_data.data(), static_cast<uint32_t>(m_data.size()));
    m_data.resize(m_size);
    if (m_size == 0) return "no samples in its data chunk";
    if (m_size < size)
        logSoundFileProblem(m_name, true, formatStatic("truncated, %u of the %u data bytes are there", m_size, size));
    return nullptr;
}

int32_t WaveStream::read(void* destination, int32_t count) {
    if (count <= 0) return 0;
    if (m_loop && m_position >= m_size) m_position = 0;
    if (m_position >= m_size) return 0;
    uint32_t n = std::min(static_cast<uint32_t>(count), m_size - m_position);
    std::memcpy(destination, m_data.data() + m_position, n);
    m_position += n;
    return static_cast<int32_t>(n);
}

double WaveStream::getDuration() {
    double bytesPerSecond = static_cast<double>(m_format.bitsPerSample / 8) * m_format.samplesPerSecond * m_format.channels;
    if (bytesPerSecond <= 0.0) return 0.0;
    return static_cast<float>(m_size) / bytesPerSecond;
}
