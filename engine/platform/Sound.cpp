#include "engine/platform/Sound.h"

#include "engine/platform/SoundDevice.h"

Sound::~Sound() {
    if (m_device) m_device->forget(this);
}
