#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class SampleStream;
class Sound;

// Creation flags of `SoundDevice::createSound`: the low seven bits give the
// kind (any other kind value streams), 0x80 asks for a 3D sound.
constexpr uint32_t SOUND_KIND_MASK = 0x7f;
constexpr uint32_t SOUND_SILENT = 1;
constexpr uint32_t SOUND_STATIC = 2;
constexpr uint32_t SOUND_3D = 0x80;

// Makes sounds from sample streams and keeps a list of the living ones.
class SoundDevice {
public:
    SoundDevice() = default;
    // Sounds that outlive the device stay usable for their owners' deletes.
    virtual ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // Null when the sound cannot be made.
    virtual std::unique_ptr<Sound> createSound(SampleStream* stream, uint32_t flags) = 0;
    // True when every sound's stop returned true.
    virtual bool stopAll();
    virtual bool isAnyPlaying();
    virtual void setVolume(float volume) { m_volume = volume; }
    virtual void setListenerFactors(float distance, float doppler, float rolloff) {}
    virtual void setListener(float px, float py, float pz, float fx, float fy, float fz, float tx, float ty, float tz,
                             float vx, float vy, float vz) {}
    // Applies every deferred listener and 3D setting at once.
    virtual void commit() {}

    float getVolume() const { return m_volume; }
    size_t getSoundCount() const { return m_sounds.size(); }

protected:
    // Lists the sound and hands it back.
    std::unique_ptr<Sound> adopt(std::unique_ptr<Sound> sound);

private:
    friend class Sound;
    void forget(Sound* sound);

    std::vector<Sound*> m_sounds;
    float m_volume = 1.0f;
};
