#include "engine/platform/NullSoundDevice.h"

#include "engine/platform/SampleStream.h"
#include "engine/platform/SilentSound.h"

Sound* NullSoundDevice::createSound(SampleStream* stream, uint32_t flags) { return adopt(new SilentSound(stream ? stream->getDuration() : 0.0)); }
