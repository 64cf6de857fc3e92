#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sys/sound/AudioDeviceInfo.h"
#include "sys/sound/AudioFormat.h"
#include "sys/sound/AudioListenerParameters.h"

namespace sys {

class AudioBuffer;
struct AudioContext;

// One open sound output with its listener: the DirectSound object of the
// original, over an OpenAL Soft device and context.
class AudioOutput {
public:
    // The default output first (zero GUID, "Primary Sound Driver"), then every
    // named output; empty when no output can be opened at all.
    static std::vector<AudioDeviceInfo> enumerateDevices();
    // Null or a zero GUID opens the default output; null when nothing opens.
    static AudioOutput* open(const Guid* guid);
    // An output that plays nothing by itself: `render` mixes float stereo on demand.
    static AudioOutput* openLoopback(uint32_t sampleRate);

    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // Why a buffer of that format, size and placing cannot be made; empty
    // when it can.
    static std::string refusal(const AudioFormat& format, uint32_t bytes, bool control3D);
    // A silent buffer of `bytes` bytes, streamed when it is to be written
    // while it plays; null for formats the output cannot play.
    AudioBuffer* createBuffer(const AudioFormat& format, uint32_t bytes, bool control3D, bool streamed);

    // Deferred settings wait for `commitDeferredSettings`, which applies the
    // listener's and every buffer's at once.
    void setListener(const AudioListenerParameters& parameters, bool deferred);
    void commitDeferredSettings();

    // Loopback outputs only: mixes the next frames (left, right interleaved).
    bool render(float* frames, uint32_t count);

private:
    explicit AudioOutput(std::unique_ptr<AudioContext> context);

    std::unique_ptr<AudioContext> m_context;
};

} // namespace sys
