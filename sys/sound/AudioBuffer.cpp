#include "sys/sound/AudioBuffer.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alext.h>

#include <algorithm>
#include <cmath>

#include "sys/sound/AudioContext.h"

namespace sys {

namespace {

// Pieces handed to the mixer: small, so bytes are taken late, and enough of
// them that the pump thread's pauses never starve the mixer.
constexpr uint32_t SEGMENT_FRAMES = 1024;
constexpr uint32_t QUEUE_DEPTH = 4;

ALenum alFormat(const AudioFormat& format) {
    if (format.channels == 1) return format.bitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    return format.bitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

ALfloat gainOf(int32_t hundredthsDb) {
    if (hundredthsDb <= -10000) return 0.0f;
    return static_cast<ALfloat>(std::pow(10.0, hundredthsDb / 2000.0));
}

} // namespace

AudioBuffer::AudioBuffer(AudioContext* context, const AudioFormat& format, uint32_t size, bool control3D,
                         std::shared_ptr<std::vector<uint8_t>> data)
    : m_context(context), m_format(format), m_size(size), m_playSize(size - size % format.blockAlign()),
      m_control3D(control3D), m_data(std::move(data)),
      m_segmentBytes(std::min(m_playSize, SEGMENT_FRAMES * format.blockAlign())),
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
    m_allBuffers.resize(QUEUE_DEPTH);
    alGenBuffers(QUEUE_DEPTH, m_allBuffers.data());
    if (alGetError() != AL_NO_ERROR) {
        alDeleteSources(1, &m_source);
        return false;
    }
    m_freeBuffers = m_allBuffers;
    if (m_control3D) {
        applyRolloff();
    } else {
        // A plain buffer plays straight into the speakers, stereo as recorded.
        alSourcei(m_source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(m_source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSourcef(m_source, AL_ROLLOFF_FACTOR, 0.0f);
        if (m_format.channels > 1) alSourcei(m_source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
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

void AudioBuffer::queueAhead() {
    while (!m_freeBuffers.empty()) {
        if (m_nextSegment >= m_segmentCount) {
            if (!m_looping) return;
            m_nextSegment = 0;
        }
        ALuint name = m_freeBuffers.back();
        m_freeBuffers.pop_back();
        alBufferData(name, alFormat(m_format), m_data->data() + segmentStart(m_nextSegment),
                     static_cast<ALsizei>(segmentLength(m_nextSegment)), static_cast<ALsizei>(m_format.sampleRate));
        alSourceQueueBuffers(m_source, 1, &name);
        m_queued.push_back(m_nextSegment);
        ++m_nextSegment;
    }
}

void AudioBuffer::pump() {
    if (!m_context || !m_playing) return;
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
    m_nextSegment = segment;
    queueAhead();
    alSourcei(m_source, AL_BYTE_OFFSET, static_cast<ALint>(offset - segmentStart(segment)));
    alSourcePlay(m_source);
}

void AudioBuffer::halt() {
    alSourceStop(m_source);
    alSourcei(m_source, AL_BUFFER, 0);
    m_queued.clear();
    m_freeBuffers = m_allBuffers;
}

uint32_t AudioBuffer::playCursor() {
    if (!m_playing || m_queued.empty()) return m_position;
    ALint offset = 0;
    alGetSourcei(m_source, AL_BYTE_OFFSET, &offset);
    return (segmentStart(m_queued.front()) + static_cast<uint32_t>(offset)) % m_playSize;
}

bool AudioBuffer::lock(uint32_t offset, uint32_t count, void** part1, uint32_t* bytes1, void** part2, uint32_t* bytes2) {
    if (count == 0 || count > m_size || offset >= m_size) return false;
    std::unique_lock<std::recursive_mutex> held(audioLock());
    if (!m_context || m_locked) return false;
    m_locked = true;
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
    audioLock().unlock();
    return true;
}

bool AudioBuffer::play(bool looping) {
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    if (!m_context) return false;
    m_context->makeCurrent();
    pump();
    m_looping = looping;
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
    if (m_playing && !m_queued.empty()) {
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
    auto* copy = new AudioBuffer(m_context, m_format, m_size, m_control3D, m_data);
    if (!copy->attach()) {
        delete copy;
        return nullptr;
    }
    return copy;
}

} // namespace sys
