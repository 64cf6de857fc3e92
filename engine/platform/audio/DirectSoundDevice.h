#pragma once
#include <memory>

#include "engine/platform/audio/SoundDevice.h"
#include "sys/sound/AudioDeviceInfo.h"
#include "sys/sound/AudioListenerParameters.h"

namespace sys {
class AudioOutput;
}

// The device that plays: static and streamed buffers on one sound output,
// with the 3D listener. Listener and 3D settings wait for `commit`.
class DirectSoundDevice : public SoundDevice {
public:
    // Null for the default output. Throws the text "nosound" when no output opens.
    DirectSoundDevice(void* window, const sys::Guid* guid);
    // On an output opened by the caller (a loopback output in tests); takes it over.
    explicit DirectSoundDevice(sys::AudioOutput* output);
    ~DirectSoundDevice() override;

    // A null stream or the silent kind gives a `SilentSound`; null when a
    // buffer cannot be set up.
    std::unique_ptr<Sound> createSound(SampleStream* stream, uint32_t flags) override;
    void setListenerFactors(float distance, float doppler, float rolloff) override;
    void setListener(float px, float py, float pz, float fx, float fy, float fz, float tx, float ty, float tz,
                     float vx, float vy, float vz) override;
    void commit() override;

    sys::AudioOutput* getOutput() const { return m_directSound.get(); }
    const sys::AudioListenerParameters& getListener() const { return m_listener; }

private:
    std::unique_ptr<sys::AudioOutput> m_directSound;
    sys::AudioListenerParameters m_listener;
};
