#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

class SampleStream;
class SoundDevice;

// A playable sound made by a `SoundDevice`. Owned by whoever asked for it;
// deleting it takes it off its device's list. Angles are radians, volumes 0 to 1.
class Sound {
public:
    Sound() = default;
    virtual ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // A new sound sharing this one's data, or null where that cannot be.
    virtual std::unique_ptr<Sound> clone() { return nullptr; }
    virtual bool play(bool loop) = 0;
    virtual bool setLoop(bool loop) = 0;
    virtual bool setFrequency(uint32_t hz) = 0;
    virtual bool stop() = 0;
    virtual double getPosition() = 0;
    virtual bool setVolume(float volume) = 0;
    virtual bool isPlaying() { return m_playing; }
    virtual bool setPosition(double seconds) = 0;
    virtual uint32_t getPlayCursor() = 0;
    virtual void set3D(float px, float py, float pz, float cx, float cy, float cz, float vx, float vy, float vz) {}
    virtual void setCone(float insideAngle, float outsideAngle, float outsideVolume) {}
    virtual void setDistances(float minimum, float maximum) {}
    virtual void set3DEnabled(bool on) {}
    virtual float getMinDistance() { return 0.0f; }
    virtual float getMaxDistance() { return 0.0f; }
    // Called regularly by the owner.
    virtual void update() {}

    SampleStream* getSource() const { return m_source; }

protected:
    SampleStream* m_source = nullptr;
    // Read by a streamed sound's refill thread.
    std::atomic<bool> m_playing{false};

private:
    friend class SoundDevice;
    SoundDevice* m_device = nullptr;
};
