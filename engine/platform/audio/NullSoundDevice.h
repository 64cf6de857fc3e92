#pragma once
#include "engine/platform/audio/SoundDevice.h"

// The device of a machine without sound: every sound is a `SilentSound`.
class NullSoundDevice : public SoundDevice {
public:
    std::unique_ptr<Sound> createSound(SampleStream* stream, uint32_t flags) override;
};
