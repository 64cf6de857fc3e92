#include "engine/platform/audio/SampleStream.h"

#include <strings.h>

#include <cstring>

#include "engine/platform/audio/OggVorbisStream.h"
#include "engine/platform/audio/WaveStream.h"

SampleStream* loadSampleStream(File& file, const char* name) {
    if (!name) return nullptr;
    size_t length = std::strlen(name);
    if (length < 3) return nullptr;
    const char* extension = name + length - 3;
    if (strcasecmp(extension, "ogg") == 0) return OggVorbisStream::load(file, name);
    if (strcasecmp(extension, "wav") == 0) return WaveStream::load(file, name);
    return nullptr;
}
