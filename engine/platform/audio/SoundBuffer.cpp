#include "engine/platform/audio/SoundBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/platform/audio/SampleStream.h"
#include "sys/sound/AudioBuffer.h"
#include "sys/sound/AudioOutput.h"
#include "sys/Pi.h"

namespace {

constexpr uint32_t FILL_PIECE_BYTES = 16384;
constexpr int32_t SILENT_LEVEL = -10000;
constexpr double BYTES_PER_SECOND = 176400.0;
constexpr double DEGREES_PER_RADIAN = 180.0 / PI_DOUBLE;

} // namespace

SoundBuffer::SoundBuffer() = default;

SoundBuffer::SoundBuffer(bool streamed) : m_streamed(streamed) {}

SoundBuffer::~SoundBuffer() {
    if (m_buffer) m_buffer->stop();
}

int32_t SoundBuffer::volumeLevel(float volume) {
    if (volume <= 0.0f) return SILENT_LEVEL;
    volume = std::min(volume, 1.0f);
    auto level = static_cast<int32_t>(3333.333251953125 * std::log10(static_cast<double>(volume)));
    return std::max(level, SILENT_LEVEL);
}

bool SoundBuffer::create(sys::AudioOutput* directSound, SampleStream* stream, uint32_t bytes, bool is3D) {
    m_size = bytes;
    m_source = stream;
    if (!directSound || !stream) return false;
    sys::AudioFormat format;
    format.channels = static_cast<uint16_t>(stream->channels());
    format.sampleRate = static_cast<uint32_t>(stream->sampleRate());
    format.bitsPerSample = static_cast<uint16_t>(stream->bitsPerSample());
    std::string refused = sys::AudioOutput::refusal(format, bytes, is3D);
    if (!refused.empty()) {
        logSoundFileProblem(stream->getName(), false, refused);
        return false;
    }
    m_directSound = directSound;
    m_is3D = is3D;
    m_params = sys::Audio3DParameters();
    m_buffer.reset(directSound->createBuffer(format, bytes, is3D, m_streamed));
    if (!m_buffer) {
        logSoundFileProblem(stream->getName(), false, "the sound output made no buffer for it");
        return false;
    }
    // Never read past the buffer's end: those bytes would land on its start
    // and be lost to whoever reads the stream next.
    std::vector<uint8_t> piece(FILL_PIECE_BYTES);
    m_filled = 0;
    while (m_filled < bytes) {
        int32_t n = stream->read(piece.data(), static_cast<int32_t>(std::min(FILL_PIECE_BYTES, bytes - m_filled)));
        if (n <= 0) break;
        write(m_filled, piece.data(), static_cast<uint32_t>(n));
        m_filled += static_cast<uint32_t>(n);
    }
    m_params.mode = is3D ? sys::AUDIO_3D_NORMAL : sys::AUDIO_3D_DISABLE;
    set3D(2.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f);
    setCone(2.0f * PI, 2.0f * PI, 0.0f);
    setDistances(100.0f, 10000.0f);
    return true;
}

bool SoundBuffer::write(uint32_t offset, const void* source, uint32_t count) {
    void* part1 = nullptr;
    void* part2 = nullptr;
    uint32_t bytes1 = 0;
    uint32_t bytes2 = 0;
    if (!m_buffer || !m_buffer->lock(offset, count, &part1, &bytes1, &part2, &bytes2)) return false;
    std::memcpy(part1, source, bytes1);
    if (part2) std::memcpy(part2, static_cast<const uint8_t*>(source) + bytes1, bytes2);
    return m_buffer->unlock();
}

bool SoundBuffer::fillSilence(uint32_t offset, uint32_t count) {
    void* part1 = nullptr;
    void* part2 = nullptr;
    uint32_t bytes1 = 0;
    uint32_t bytes2 = 0;
    if (!m_buffer || !m_buffer->lock(offset, count, &part1, &bytes1, &part2, &bytes2)) return false;
    // Unsigned 8-bit samples are silent at their middle value.
    int silence = m_buffer->getFormat().bitsPerSample == 8 ? 0x80 : 0;
    std::memset(part1, silence, bytes1);
    if (part2) std::memset(part2, silence, bytes2);
    return m_buffer->unlock();
}

std::unique_ptr<Sound> SoundBuffer::clone() {
    if (!m_buffer) return nullptr;
    std::unique_ptr<sys::AudioBuffer> duplicate(m_buffer->duplicate());
    if (!duplicate) return nullptr;
    auto copy = std::make_unique<SoundBuffer>();
    copy->m_directSound = m_directSound;
    copy->m_buffer = std::move(duplicate);
    copy->m_size = m_size;
    copy->m_is3D = m_is3D;
    copy->m_params = m_params;
    // The copy sounds where the original does from its first play on.
    copy->apply3D(false);
    return copy;
}

bool SoundBuffer::play(bool loop) {
    if (isPlaying()) stop();
    if (m_buffer) m_buffer->play(loop);
    return true;
}

bool SoundBuffer::setFrequency(uint32_t hz) {
    if (m_buffer) m_buffer->setFrequency(hz);
    return true;
}

bool SoundBuffer::stop() {
    if (m_buffer) {
        m_buffer->stop();
        m_buffer->setCurrentPosition(0);
    }
    return true;
}

double SoundBuffer::getPosition() { return static_cast<double>(getPlayCursor() * SECONDS_PER_BYTE); }

bool SoundBuffer::setVolume(float volume) {
    if (m_buffer) m_buffer->setVolume(volumeLevel(volume));
    return true;
}

bool SoundBuffer::isPlaying() { return m_buffer && m_buffer->isPlaying(); }

bool SoundBuffer::setPosition(double seconds) {
    double offset = std::trunc(seconds * BYTES_PER_SECOND);
    if (offset < 0.0 || offset >= m_size || !m_buffer) return false;
    m_buffer->setCurrentPosition(static_cast<uint32_t>(offset));
    return true;
}

uint32_t SoundBuffer::getPlayCursor() {
    uint32_t play = 0;
    if (m_buffer) m_buffer->getCurrentPosition(&play, nullptr);
    return play;
}

void SoundBuffer::apply3D(bool deferred) {
    if (m_is3D && m_buffer) m_buffer->set3DParameters(m_params, deferred);
}

void SoundBuffer::set3D(float px, float py, float pz, float cx, float cy, float cz, float vx, float vy, float vz) {
    m_params.position = {px, py, pz};
    m_params.coneOrientation = {cx, cy, cz};
    m_params.velocity = {vx, vy, vz};
    apply3D(true);
}

void SoundBuffer::setCone(float insideAngle, float outsideAngle, float outsideVolume) {
    m_params.insideConeAngle = static_cast<uint32_t>(insideAngle * DEGREES_PER_RADIAN);
    m_params.outsideConeAngle = static_cast<uint32_t>(outsideAngle * DEGREES_PER_RADIAN);
    m_params.coneOutsideVolume = static_cast<int32_t>((1.0f - outsideVolume) * -4000.0f);
    apply3D(true);
}

void SoundBuffer::setDistances(float minimum, float maximum) {
    m_params.minDistance = minimum;
    m_params.maxDistance = maximum;
    apply3D(false);
}

void SoundBuffer::set3DEnabled(bool on) {
    m_params.mode = on ? sys::AUDIO_3D_NORMAL : sys::AUDIO_3D_DISABLE;
    apply3D(true);
}
