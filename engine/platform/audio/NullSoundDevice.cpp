#include "engine/platform/audio/NullSoundDevice.h"

#include "engine/platform/audio/SampleStream.h"
#include "engine/platform/audio/SilentSound.h"

Sound* NullSoundDevice::createSound(SampleStream* stream, uint32_t flags) { return adopt(new SilentSound(stream ? stream->getDuration() : 0.0)); }
