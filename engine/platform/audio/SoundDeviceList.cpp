#include "engine/platform/audio/SoundDeviceList.h"

#include "engine/platform/audio/DirectSoundDevice.h"
#include "engine/platform/audio/NullSoundDevice.h"
#include "sys/sound/AudioOutput.h"

const sys::Guid SoundDeviceList::NO_SOUND_GUID = {
    {0xbe, 0x74, 0x62, 0x53, 0x97, 0x9c, 0xb9, 0x4f, 0xac, 0xf7, 0xa5, 0x99, 0xb7, 0xa8, 0x75, 0x74}};
const sys::Guid SoundDeviceList::DEFAULT_DEVICE_GUID = {
    {0x78, 0x47, 0x67, 0xac, 0xb5, 0x96, 0xd6, 0x4b, 0x8d, 0x9f, 0x89, 0x82, 0x5d, 0xd5, 0xc4, 0x42}};

SoundDeviceList::SoundDeviceList(void* window) : m_window(window) {
    m_entries.push_back({NO_SOUND_GUID, "No Sound Device", "No Sound Device"});
    for (const sys::AudioDeviceInfo& info : sys::AudioOutput::enumerateDevices())
        m_entries.push_back({info.guid, info.description, info.module});
}

SoundDeviceList::~SoundDeviceList() = default;

const SoundDeviceEntry* SoundDeviceList::getEntry(int index) const {
    if (index < 0 || index >= getCount()) return nullptr;
    return &m_entries[static_cast<size_t>(index)];
}

SoundDevice* SoundDeviceList::createDeviceByIndex(int index) {
    const SoundDeviceEntry* entry = getEntry(index);
    return entry ? createDevice(entry->guid) : nullptr;
}

SoundDevice* SoundDeviceList::createDevice(sys::Guid guid) {
    if (m_device) return nullptr;
    if (guid == NO_SOUND_GUID || m_entries.size() == 1) {
        m_device.reset(new NullSoundDevice());
        return m_device.get();
    }
    const sys::Guid* chosen = nullptr;
    if (guid != DEFAULT_DEVICE_GUID) {
        for (size_t i = 1; i < m_entries.size() && !chosen; ++i)
            if (m_entries[i].guid == guid) chosen = &m_entries[i].guid;
        if (!chosen) return nullptr;
    }
    try {
        m_device.reset(new DirectSoundDevice(m_window, chosen));
    } catch (const char*) {
        m_device.reset(new NullSoundDevice());
    }
    return m_device.get();
}
