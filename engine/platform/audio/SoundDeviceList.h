#pragma once
#include <memory>
#include <vector>

#include "engine/platform/audio/SoundDeviceEntry.h"

class SoundDevice;

// The sound outputs to choose from, "No Sound Device" first, and the one
// device the game makes from them. Owns the device.
class SoundDeviceList {
public:
    // 536274be-9c97-4fb9-acf7-a599b7a87574: the first entry, no sound.
    static const sys::Guid NO_SOUND_GUID;
    // ac674778-96b5-4bd6-8d9f-89825dd5c442: the system's default output.
    static const sys::Guid DEFAULT_DEVICE_GUID;

    explicit SoundDeviceList(void* window);
    ~SoundDeviceList();
    SoundDeviceList(const SoundDeviceList&) = delete;
    SoundDeviceList& operator=(const SoundDeviceList&) = delete;

    int getCount() const { return static_cast<int>(m_entries.size()); }
    const SoundDeviceEntry* getEntry(int index) const;
    SoundDevice* createDeviceByIndex(int index);
    // Null once a device exists and for a GUID no entry has. An output that
    // will not open gives the silent device, so the game plays on without sound.
    SoundDevice* createDevice(sys::Guid guid);

    SoundDevice* getDevice() const { return m_device.get(); }

private:
    void* m_window;
    std::unique_ptr<SoundDevice> m_device;
    std::vector<SoundDeviceEntry> m_entries;
};
