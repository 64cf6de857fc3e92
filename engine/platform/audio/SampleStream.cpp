#include "engine/platform/audio/SampleStream.h"

#include <strings.h>

#include <cstring>

#include "engine/platform/Report.h"
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

void logSoundFileProblem(const std::string& name, bool partly, const std::string& reason) {
    g_logStream << "sound file " << name << (partly ? " plays only in part: " : " cannot be played: ") << reason
                << std::endl;
}
