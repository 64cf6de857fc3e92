#include "engine/platform/audio/DirectSoundDevice.h"

#include "engine/platform/audio/SampleStream.h"
#include "engine/platform/audio/SilentSound.h"
#include "engine/platform/audio/SoundBuffer.h"
#include "engine/platform/audio/StreamSoundBuffer.h"
#include "sys/sound/AudioOutput.h"

namespace {

constexpr uint32_t STREAM_CHUNK_BYTES = 10000;
constexpr uint32_t STREAM_CHUNK_COUNT = 8;

} // namespace

DirectSoundDevice::DirectSoundDevice(void* window, const sys::Guid* guid)
    : DirectSoundDevice(sys::AudioOutput::open(guid)) {}

DirectSoundDevice::DirectSoundDevice(sys::AudioOutput* output) : m_directSound(output) {
    if (!m_directSound) throw "nosound";
    m_listener.distanceFactor = 1.0f;
    m_listener.rolloffFactor = 1.0f;
    m_listener.dopplerFactor = 0.0f;
    m_directSound->setListener(m_listener, true);
}

DirectSoundDevice::~DirectSoundDevice() = default;

std::unique_ptr<Sound> DirectSoundDevice::createSound(SampleStream* stream, uint32_t flags) {
    uint32_t kind = flags & SOUND_KIND_MASK;
    bool is3D = (flags & SOUND_3D) != 0;
    // Callers use what they get without asking: a missing stream still gives a sound.
    if (!stream || kind == SOUND_SILENT) {
        auto silent = std::make_unique<SilentSound>(stream ? stream->getDuration() : 0.0);
        silent->reset();
        return adopt(std::move(silent));
    }
    if (kind == SOUND_STATIC) {
        auto buffer = std::make_unique<SoundBuffer>();
        if (buffer->create(m_directSound.get(), stream, stream->getSize(), is3D)) return adopt(std::move(buffer));
        return nullptr;
    }
    auto ring = std::make_unique<StreamSoundBuffer>();
    if (ring->initStream(m_directSound.get(), stream, STREAM_CHUNK_BYTES, is3D, STREAM_CHUNK_COUNT))
        return adopt(std::move(ring));
    return nullptr;
}

void DirectSoundDevice::setListenerFactors(float distance, float doppler, float rolloff) {
    m_listener.distanceFactor = distance;
    m_listener.dopplerFactor = doppler;
    m_listener.rolloffFactor = rolloff;
    m_directSound->setListener(m_listener, true);
}

void DirectSoundDevice::setListener(float px, float py, float pz, float fx, float fy, float fz, float tx, float ty,
                                    float tz, float vx, float vy, float vz) {
    m_listener.position = {px, py, pz};
    m_listener.front = {fx, fy, fz};
    m_listener.top = {tx, ty, tz};
    m_listener.velocity = {vx, vy, vz};
    m_directSound->setListener(m_listener, true);
}

void DirectSoundDevice::commit() { m_directSound->commitDeferredSettings(); }
