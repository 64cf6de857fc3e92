#include "sys/sound/AudioBuffer.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "sys/sound/AudioContext.h"

namespace sys {

namespace {

// Pieces of a streamed buffer handed to the mixer: small, so bytes are taken
// late. A few always go, as a ring plays whatever it holds; beyond them only
// pieces the writer has filled, as many as it is ahead, so that neither a
// late pump nor a mixer catching up runs out of them.
constexpr uint32_t SEGMENT_FRAMES = 1024;
constexpr uint32_t ALWAYS_QUEUED = 4;
constexpr uint32_t MOST_QUEUED = 64;

ALenum alFormat(uint16_t channels, uint16_t bitsPerSample) {
    if (channels == 1) return bitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    return bitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

ALfloat gainOf(int32_t hundredthsDb) {
    if (hundredthsDb <= -10000) return 0.0f;
    return static_cast<ALfloat>(std::pow(10.0, hundredthsDb / 2000.0));
}

} // namespace

AudioBuffer::AudioBuffer(AudioContext* context, const AudioFormat& format, uint32_t size, bool control3D,
                         bool streamed, std::shared_ptr<std::vector<uint8_t>> data)
    : m_context(context), m_format(format), m_size(size), m_playSize(size - size % format.blockAlign()),
      m_control3D(control3D), m_streamed(streamed), m_bothSides(!control3D && format.channels == 1),
      m_data(std::move(data)),
      m_segmentBytes(streamed ? std::min(m_playSize, SEGMENT_FRAMES * format.blockAlign()) : m_playSize),
      m_segmentCount((m_playSize + m_segmentBytes - 1) / m_segmentBytes) {}

AudioBuffer::~AudioBuffer() {
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    if (!m_context) return;
    auto& buffers = m_context->m_buffers;
    buffers.erase(std::remove(buffers.begin(), buffers.end(), this), buffers.end());
    detach();
}

bool AudioBuffer::attach() {
    m_context->makeCurrent();
    alGetError();
    alGenSources(1, &m_source);
    if (alGetError() != AL_NO_ERROR) return false;
    // A streamed buffer never hands over its whole ring: its write cursor
    // would then meet the play cursor, as if it stood still.
    m_allBuffers.resize(m_streamed ? std::clamp(m_segmentCount - 1, 1u, MOST_QUEUED) : 1);
    alGenBuffers(static_cast<ALsizei>(m_allBuffers.size()), m_allBuffers.data());
    if (alGetError() != AL_NO_ERROR) {
        alDeleteSources(1, &m_source);
        return false;
    }
    m_freeBuffers = m_allBuffers;
    if (m_streamed) m_written.assign(m_segmentCount, 0);
    if (m_control3D) {
        applyRolloff();
    } else {
        // A plain buffer plays straight into the speakers, as recorded.
        alSourcei(m_source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(m_source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSourcef(m_source, AL_ROLLOFF_FACTOR, 0.0f);
        alSourcei(m_source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    }
    m_context->m_buffers.push_back(this);
    return true;
}

void AudioBuffer::detach() {
    if (!m_context) return;
    m_context->makeCurrent();
    alSourceStop(m_source);
    alSourcei(m_source, AL_BUFFER, 0);
    alDeleteSources(1, &m_source);
    alDeleteBuffers(static_cast<ALsizei>(m_allBuffers.size()), m_allBuffers.data());
    m_queued.clear();
    m_freeBuffers.clear();
    m_playing = false;
    m_context = nullptr;
}

uint32_t AudioBuffer::segmentLength(uint32_t segment) const {
    return std::min(m_segmentBytes, m_playSize - segmentStart(segment));
}

void AudioBuffer::upload(ALuint name, uint32_t offset, uint32_t count) {
    const uint8_t* bytes = m_data->data() + offset;
    auto rate = static_cast<ALsizei>(m_format.sampleRate);
    if (!m_bothSides) {
        alBufferData(name, alFormat(m_format.channels, m_format.bitsPerSample), bytes, static_cast<ALsizei>(count), rate);
        return;
    }
    uint32_t sampleBytes = m_format.bitsPerSample / 8u;
    std::vector<uint8_t> wide(count * 2);
    for (uint32_t at = 0; at < count; at += sampleBytes) {
        std::memcpy(&wide[at * 2], bytes + at, sampleBytes);
        std::memcpy(&wide[at * 2 + sampleBytes], bytes + at, sampleBytes);
    }
    alBufferData(name, alFormat(2, m_format.bitsPerSample), wide.data(), static_cast<ALsizei>(wide.size()), rate);
}

void AudioBuffer::markWritten(uint32_t offset, uint32_t count) {
    if (!m_streamed) {
        m_stale = true;
        return;
    }
    uint32_t end = std::min(offset + count, m_playSize);
    for (uint32_t at = offset; at < end;) {
        uint32_t segment = at / m_segmentBytes;
        uint32_t piece = std::min(end, segmentStart(segment) + segmentLength(segment)) - at;
        m_written[segment] = std::min(m_written[segment] + piece, segmentLength(segment));
        at += piece;
    }
}

void AudioBuffer::queueAhead() {
    while (!m_freeBuffers.empty()) {
        if (m_nextSegment >= m_segmentCount) {
            if (!m_looping) return;
            m_nextSegment = 0;
        }
        if (m_queued.size() >= ALWAYS_QUEUED && m_written[m_nextSegment] < segmentLength(m_nextSegment)) return;
        ALuint name = m_freeBuffers.back();
        m_freeBuffers.pop_back();
        upload(name, segmentStart(m_nextSegment), segmentLength(m_nextSegment));
        alSourceQueueBuffers(m_source, 1, &name);
        m_queued.push_back(m_nextSegment);
        m_written[m_nextSegment] = 0;
        ++m_nextSegment;
    }
}

void AudioBuffer::pump() {
    if (!m_context || !m_playing) return;
    if (!m_streamed) {
        ALint state = AL_STOPPED;
        alGetSourcei(m_source, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING) {
            m_playing = false;
            m_position = 0;
        }
        return;
    }
    ALint processed = 0;
    alGetSourcei(m_source, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0 && !m_queued.empty(); --processed) {
        ALuint name = 0;
        alSourceUnqueueBuffers(m_source, 1, &name);
        m_freeBuffers.push_back(name);
        m_queued.pop_front();
    }
    queueAhead();
    ALint state = AL_STOPPED;
    alGetSourcei(m_source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING) return;
    if (m_queued.empty()) {
        m_playing = false;
        m_position = 0;
        return;
    }
    // The mixer ran dry before the pump came by: go on from what is queued.
    alSourcePlay(m_source);
}

void AudioBuffer::startAt(uint32_t offset) {
    uint32_t segment = offset / m_segmentBytes;
    if (m_streamed) {
        m_nextSegment = segment;
        queueAhead();
    } else {
        // The source loops over its one buffer by itself.
        if (m_stale) {
            alSourcei(m_source, AL_BUFFER, 0);
            upload(m_allBuffers[0], 0, m_playSize);
            alSourcei(m_source, AL_BUFFER, static_cast<ALint>(m_allBuffers[0]));
            m_stale = false;
        }
        alSourcei(m_source, AL_LOOPING, m_looping ? AL_TRUE : AL_FALSE);
    }
    alSourcei(m_source, AL_SAMPLE_OFFSET, static_cast<ALint>((offset - segmentStart(segment)) / m_format.blockAlign()));
    alSourcePlay(m_source);
}

void AudioBuffer::halt() {
    alSourceStop(m_source);
    if (!m_streamed) return;
    alSourcei(m_source, AL_BUFFER, 0);
    // What the mixer had and did not play is still the writer's latest.
    for (uint32_t segment : m_queued) m_written[segment] = segmentLength(segment);
    m_queued.clear();
    m_freeBuffers = m_allBuffers;
}

uint32_t AudioBuffer::playCursor() {
    if (!m_playing || (m_streamed && m_queued.empty())) return m_position;
    ALint frame = 0;
    alGetSourcei(m_source, AL_SAMPLE_OFFSET, &frame);
    uint32_t first = m_streamed ? segmentStart(m_queued.front()) : 0;
    return (first + static_cast<uint32_t>(frame) * m_format.blockAlign()) % m_playSize;
}

bool AudioBuffer::lock(uint32_t offset, uint32_t count, void** part1, uint32_t* bytes1, void** part2, uint32_t* bytes2) {
    if (count == 0 || count > m_size || offset >= m_size) return false;
    std::unique_lock<std::recursive_mutex> held(audioLock());
    if (!m_context || m_locked) return false;
    m_locked = true;
    m_lockOffset = offset;
    m_lockCount = count;
    uint32_t first = std::min(count, m_size - offset);
    *part1 = m_data->data() + offset;
    *bytes1 = first;
    *part2 = first < count ? m_data->data() : nullptr;
    *bytes2 = count - first;
    // Kept until unlock(): the mixer must not read a part half written.
    held.release();
    return true;
}

bool AudioBuffer::unlock() {
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    if (!m_locked) return false;
    m_locked = false;
    uint32_t first = std::min(m_lockCount, m_size - m_lockOffset);
    markWritten(m_lockOffset, first);
    markWritten(0, m_lockCount - first);
    audioLock().unlock();
    return true;
}

bool AudioBuffer::play(bool looping) {
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    if (!m_context) return false;
    m_context->makeCurrent();
    pump();
    m_looping = looping;
    if (!m_streamed) alSourcei(m_source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
    if (m_playing) return true;
    m_playing = true;
    startAt(m_position);
    return true;
}

bool AudioBuffer::stop() {
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    if (!m_context) return false;
    m_context->makeCurrent();
    pump();
    if (!m_playing) return true;
    m_position = playCursor();
    halt();
    m_playing = false;
    return true;
}

bool AudioBuffer::isPlaying() {
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    if (!m_context) return false;
    m_context->makeCurrent();
    pump();
    return m_playing;
}

bool AudioBuffer::getCurrentPosition(uint32_t* playCursorOut, uint32_t* writeCursorOut) {
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    if (!m_context) return false;
    m_context->makeCurrent();
    pump();
    uint32_t play = playCursor();
    uint32_t write = play;
    if (m_playing && !m_streamed) {
        write = (play + std::min(m_playSize, SEGMENT_FRAMES * m_format.blockAlign())) % m_playSize;
    } else if (m_playing && !m_queued.empty()) {
        uint32_t last = m_queued.back();
        write = (segmentStart(last) + segmentLength(last)) % m_playSize;
    }
    if (playCursorOut) *playCursorOut = play;
    if (writeCursorOut) *writeCursorOut = write;
    return true;
}

bool AudioBuffer::setCurrentPosition(uint32_t offset) {
    if (offset >= m_size) return false;
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    if (!m_context) return false;
    m_context->makeCurrent();
    pump();
    uint32_t aligned = offset - offset % m_format.blockAlign();
    m_position = aligned < m_playSize ? aligned : 0;
    if (m_playing) {
        halt();
        startAt(m_position);
    }
    return true;
}

bool AudioBuffer::setVolume(int32_t volume) {
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    if (!m_context) return false;
    m_context->makeCurrent();
    alSourcef(m_source, AL_GAIN, gainOf(volume));
    return true;
}

bool AudioBuffer::setFrequency(uint32_t hz) {
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    if (!m_context) return false;
    m_context->makeCurrent();
    float pitch = hz == 0 ? 1.0f : static_cast<float>(hz) / static_cast<float>(m_format.sampleRate);
    alSourcef(m_source, AL_PITCH, pitch);
    return true;
}

bool AudioBuffer::set3DParameters(const Audio3DParameters& parameters, bool deferred) {
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    if (!m_context || !m_control3D) return false;
    if (deferred) {
        m_pending3D = parameters;
        return true;
    }
    m_pending3D.reset();
    m_context->makeCurrent();
    apply3D(parameters);
    return true;
}

void AudioBuffer::applyPending3D() {
    if (!m_pending3D) return;
    apply3D(*m_pending3D);
    m_pending3D.reset();
}

void AudioBuffer::applyRolloff() {
    if (m_control3D) alSourcef(m_source, AL_ROLLOFF_FACTOR, m_context->m_rolloff);
}

void AudioBuffer::apply3D(const Audio3DParameters& p) {
    bool disabled = p.mode == AUDIO_3D_DISABLE;
    AudioVector position = disabled ? AudioVector() : p.position;
    AudioVector velocity = disabled ? AudioVector() : p.velocity;
    alSourcei(m_source, AL_SOURCE_RELATIVE, p.mode == AUDIO_3D_NORMAL ? AL_FALSE : AL_TRUE);
    alSource3f(m_source, AL_POSITION, position.x, position.y, -position.z);
    alSource3f(m_source, AL_VELOCITY, velocity.x, velocity.y, -velocity.z);
    alSource3f(m_source, AL_DIRECTION, p.coneOrientation.x, p.coneOrientation.y, -p.coneOrientation.z);
    alSourcef(m_source, AL_CONE_INNER_ANGLE, static_cast<ALfloat>(std::min(p.insideConeAngle, 360u)));
    alSourcef(m_source, AL_CONE_OUTER_ANGLE, static_cast<ALfloat>(std::min(p.outsideConeAngle, 360u)));
    alSourcef(m_source, AL_CONE_OUTER_GAIN, gainOf(p.coneOutsideVolume));
    alSourcef(m_source, AL_REFERENCE_DISTANCE, std::max(p.minDistance, 0.0f));
    alSourcef(m_source, AL_MAX_DISTANCE, std::max(p.maxDistance, 0.0f));
}

AudioBuffer* AudioBuffer::duplicate() {
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    if (!m_context) return nullptr;
    auto* copy = new AudioBuffer(m_context, m_format, m_size, m_control3D, m_streamed, m_data);
    if (!copy->attach()) {
        delete copy;
        return nullptr;
    }
    return copy;
}

} // namespace sys
