#pragma once
#include <string>

#include "sys/sound/AudioDeviceInfo.h"

// One choosable sound output of the `SoundDeviceList`.
struct SoundDeviceEntry {
    sys::Guid guid;
    std::string description;
    std::string module;
};
