#include "sys/sound/AudioContext.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alext.h>

#include <chrono>
#include <cmath>

#include "sys/sound/AudioBuffer.h"

namespace sys {

namespace {

// Often enough that the pieces of a streamed buffer follow its writer closely.
constexpr auto PUMP_INTERVAL = std::chrono::milliseconds(5);

ALfloat speedOfSound(float distanceFactor) { return 343.3f / distanceFactor; }

bool usableOrientation(const AudioVector& front, const AudioVector& top) {
    float cx = front.y * top.z - front.z * top.y;
    float cy = front.z * top.x - front.x * top.z;
    float cz = front.x * top.y - front.y * top.x;
    return std::isfinite(cx + cy + cz) && cx * cx + cy * cy + cz * cz > 1e-12f;
}

} // namespace

std::recursive_mutex& audioLock() {
    static std::recursive_mutex lock;
    return lock;
}

AudioContext::AudioContext(ALCdevice* device, ALCcontext* context, bool loopback)
    : m_device(device), m_context(context), m_loopback(loopback) {}

AudioContext::~AudioContext() {
    m_pumpRunning = false;
    if (m_pumpThread.joinable()) m_pumpThread.join();
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    makeCurrent();
    // Buffers outliving their output go quiet instead of touching freed state.
    for (AudioBuffer* buffer : m_buffers) buffer->detach();
    m_buffers.clear();
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(m_context);
    alcCloseDevice(m_device);
}

void AudioContext::makeCurrent() {
    if (alcGetCurrentContext() != m_context) alcMakeContextCurrent(m_context);
}

void AudioContext::pumpAll() {
    makeCurrent();
    for (AudioBuffer* buffer : m_buffers) buffer->pump();
}

void AudioContext::applyListener(const AudioListenerParameters& p) {
    alListener3f(AL_POSITION, p.position.x, p.position.y, -p.position.z);
    alListener3f(AL_VELOCITY, p.velocity.x, p.velocity.y, -p.velocity.z);
    // A listener without a usable orientation is refused, as the original refused it.
    if (usableOrientation(p.front, p.top)) {
        ALfloat orientation[6] = {p.front.x, p.front.y, -p.front.z, p.top.x, p.top.y, -p.top.z};
        alListenerfv(AL_ORIENTATION, orientation);
    }
    if (p.distanceFactor > 0.0f) alSpeedOfSound(speedOfSound(p.distanceFactor));
    alDopplerFactor(p.dopplerFactor >= 0.0f ? p.dopplerFactor : 0.0f);
    m_rolloff = p.rolloffFactor >= 0.0f ? p.rolloffFactor : 0.0f;
    for (AudioBuffer* buffer : m_buffers) buffer->applyRolloff();
}

void AudioContext::startPumpThread() {
    m_pumpRunning = true;
    m_pumpThread = std::thread([this] {
        while (m_pumpRunning) {
            {
                std::lock_guard<std::recursive_mutex> lock(audioLock());
                pumpAll();
            }
            std::this_thread::sleep_for(PUMP_INTERVAL);
        }
    });
}

} // namespace sys
