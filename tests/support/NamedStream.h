#pragma once
#include "engine/platform/audio/SampleStream.h"

// A silent stream that answers to a file name, as the game tells sounds apart by their files.
class NamedStream : public SampleStream {
public:
    explicit NamedStream(const char* name) { setName(name); }
    int32_t read(void*, int32_t) override { return 0; }
    int32_t bitsPerSample() override { return 16; }
    int32_t channels() override { return 1; }
    int32_t sampleRate() override { return 22050; }
};
