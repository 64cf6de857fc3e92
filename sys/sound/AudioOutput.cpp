#include "sys/sound/AudioOutput.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <string>

#include "sys/crypto/Md5Digest.h"
#include "sys/sound/AudioBuffer.h"
#include "sys/sound/AudioContext.h"

namespace sys {

namespace {

// Mixed in pieces no longer than what a buffer queues ahead.
constexpr uint32_t RENDER_BLOCK_FRAMES = 256;

std::vector<std::string> deviceNames() {
    bool all = alcIsExtensionPresent(nullptr, "ALC_ENUMERATE_ALL_EXT") == ALC_TRUE;
    const ALCchar* list = alcGetString(nullptr, all ? ALC_ALL_DEVICES_SPECIFIER : ALC_DEVICE_SPECIFIER);
    std::vector<std::string> names;
    // The list is a run of names ended by an empty one; 64 outputs is plenty.
    for (int i = 0; list && *list && i < 64; ++i) {
        names.emplace_back(list);
        list += names.back().size() + 1;
    }
    return names;
}

// Stable across runs, so a stored choice finds its output again.
Guid guidOfName(const std::string& name) {
    Guid guid;
    Md5Digest digest;
    digest.compute(name.data(), name.size(), guid.bytes);
    return guid;
}

AudioContext* makeContext(ALCdevice* device, const ALCint* attributes, bool loopback) {
    if (!device) return nullptr;
    ALCcontext* context = alcCreateContext(device, attributes);
    if (!context) {
        alcCloseDevice(device);
        return nullptr;
    }
    alcMakeContextCurrent(context);
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    return new AudioContext(device, context, loopback);
}

} // namespace

std::vector<AudioDeviceInfo> AudioOutput::enumerateDevices() {
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    std::vector<AudioDeviceInfo> devices;
    std::vector<std::string> names = deviceNames();
    if (names.empty()) return devices;
    devices.push_back({Guid(), "Primary Sound Driver", ""});
    for (const std::string& name : names) devices.push_back({guidOfName(name), name, "OpenAL Soft"});
    return devices;
}

AudioOutput* AudioOutput::open(const Guid* guid) {
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    const char* name = nullptr;
    std::string chosen;
    if (guid && !guid->isZero()) {
        std::vector<std::string> names = deviceNames();
        auto found = std::find_if(names.begin(), names.end(), [&](const std::string& n) { return guidOfName(n) == *guid; });
        if (found == names.end()) return nullptr;
        chosen = *found;
        name = chosen.c_str();
    }
    AudioContext* context = makeContext(alcOpenDevice(name), nullptr, false);
    if (!context) return nullptr;
    context->startPumpThread();
    return new AudioOutput(std::unique_ptr<AudioContext>(context));
}

AudioOutput* AudioOutput::openLoopback(uint32_t sampleRate) {
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    ALCdevice* device = alcLoopbackOpenDeviceSOFT(nullptr);
    if (!device) return nullptr;
    ALCint rate = static_cast<ALCint>(sampleRate);
    if (!alcIsRenderFormatSupportedSOFT(device, rate, ALC_STEREO_SOFT, ALC_FLOAT_SOFT)) {
        alcCloseDevice(device);
        return nullptr;
    }
    // Plain panning and no limiter, so what is mixed is what the sources hold.
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY, rate, ALC_HRTF_SOFT, ALC_FALSE, ALC_OUTPUT_LIMITER_SOFT, ALC_FALSE, 0};
    AudioContext* context = makeContext(device, attributes, true);
    return context ? new AudioOutput(std::unique_ptr<AudioContext>(context)) : nullptr;
}

AudioOutput::AudioOutput(std::unique_ptr<AudioContext> context) : m_context(std::move(context)) {}

AudioOutput::~AudioOutput() = default;

std::string AudioOutput::refusal(const AudioFormat& format, uint32_t bytes, bool control3D) {
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16)
        return std::to_string(format.bitsPerSample) + "-bit samples (only 8 and 16 bits play)";
    if (format.channels != 1 && format.channels != 2)
        return std::to_string(format.channels) + " channels (only mono and stereo play)";
    if (format.sampleRate == 0) return "a sample rate of 0";
    if (control3D && format.channels != 1) return "a sound placed in 3D must be mono, this one is stereo";
    if (bytes < format.blockAlign()) return "no samples";
    return std::string();
}

AudioBuffer* AudioOutput::createBuffer(const AudioFormat& format, uint32_t bytes, bool control3D, bool streamed) {
    if (!refusal(format, bytes, control3D).empty()) return nullptr;
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    auto data = std::make_shared<std::vector<uint8_t>>(bytes, format.bitsPerSample == 8 ? 0x80 : 0);
    auto* buffer = new AudioBuffer(m_context.get(), format, bytes, control3D, streamed, std::move(data));
    if (!buffer->attach()) {
        delete buffer;
        return nullptr;
    }
    return buffer;
}

void AudioOutput::setListener(const AudioListenerParameters& parameters, bool deferred) {
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    if (deferred) {
        m_context->m_pendingListener = parameters;
        return;
    }
    m_context->m_pendingListener.reset();
    m_context->makeCurrent();
    m_context->applyListener(parameters);
}

void AudioOutput::commitDeferredSettings() {
    std::lock_guard<std::recursive_mutex> lock(audioLock());
    m_context->makeCurrent();
    alDeferUpdatesSOFT();
    if (m_context->m_pendingListener) m_context->applyListener(*m_context->m_pendingListener);
    m_context->m_pendingListener.reset();
    for (AudioBuffer* buffer : m_context->m_buffers) buffer->applyPending3D();
    alProcessUpdatesSOFT();
}

bool AudioOutput::render(float* frames, uint32_t count) {
    if (!m_context->m_loopback) return false;
    while (count > 0) {
        uint32_t block = std::min(count, RENDER_BLOCK_FRAMES);
        {
            std::lock_guard<std::recursive_mutex> lock(audioLock());
            m_context->pumpAll();
            alcRenderSamplesSOFT(m_context->m_device, frames, static_cast<ALCsizei>(block));
        }
        frames += block * 2;
        count -= block;
    }
    return true;
}

} // namespace sys
