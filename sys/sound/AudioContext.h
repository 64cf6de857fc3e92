#pragma once
// Inside sys/sound only: the OpenAL state behind one output.
#include <AL/alc.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "sys/sound/AudioListenerParameters.h"

namespace sys {

class AudioBuffer;

// OpenAL's current context is process-wide, so every call into it, from any
// thread and for any output, runs under this one lock.
std::recursive_mutex& audioLock();

struct AudioContext {
    AudioContext(ALCdevice* device, ALCcontext* context, bool loopback);
    ~AudioContext();

    void makeCurrent();
    void pumpAll();
    void applyListener(const AudioListenerParameters& parameters);
    void startPumpThread();

    ALCdevice* m_device;
    ALCcontext* m_context;
    bool m_loopback;
    std::vector<AudioBuffer*> m_buffers;
    float m_rolloff = 1.0f;
    std::optional<AudioListenerParameters> m_pendingListener;
    std::atomic<bool> m_pumpRunning{false};
    std::thread m_pumpThread;
};

} // namespace sys
