#include "engine/platform/audio/SoundDevice.h"

#include <algorithm>

#include "engine/platform/audio/Sound.h"

SoundDevice::~SoundDevice() {
    for (Sound* sound : m_sounds) sound->m_device = nullptr;
}

bool SoundDevice::stopAll() {
    bool all = true;
    for (Sound* sound : m_sounds) all = sound->stop() && all;
    return all;
}

bool SoundDevice::isAnyPlaying() {
    bool any = false;
    for (Sound* sound : m_sounds) any = sound->isPlaying() || any;
    return any;
}

std::unique_ptr<Sound> SoundDevice::adopt(std::unique_ptr<Sound> sound) {
    sound->m_device = this;
    m_sounds.push_back(sound.get());
    return sound;
}

void SoundDevice::forget(Sound* sound) {
    m_sounds.erase(std::remove(m_sounds.begin(), m_sounds.end(), sound), m_sounds.end());
}
