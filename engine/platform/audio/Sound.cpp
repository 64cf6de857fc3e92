#include "engine/platform/audio/Sound.h"

#include "engine/platform/audio/SoundDevice.h"

Sound::~Sound() {
    if (m_device) m_device->forget(this);
}
