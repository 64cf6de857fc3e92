#include "engine/platform/audio/NullSoundDevice.h"

#include "engine/platform/audio/SampleStream.h"
#include "engine/platform/audio/SilentSound.h"

std::unique_ptr<Sound> NullSoundDevice::createSound(SampleStream* stream, uint32_t flags) {
    return adopt(std::make_unique<SilentSound>(stream ? stream->getDuration() : 0.0));
}
