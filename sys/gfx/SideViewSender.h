#pragma once
#include <condition_variable>
#include <cstring>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "sys/gfx/Device.h"

namespace sys::gfx {

class GlDevice;

// The rectangle of the target that a draw or clear with this state may touch.
Rect drawnArea(const DeviceSettings& state);
// How many stages from the first a draw with this state samples.
uint32_t stagesSampled(const DeviceSettings& state);

// A draw, clear or copy of a view sent aside, with the state it was given.
struct SideCommand {
    enum Kind : uint8_t { DRAW, CLEAR, STRETCH };
    Kind kind = DRAW;
    DeviceSettings settings;
    // The enabled lights, in the batch's list.
    uint32_t firstLight = 0, lightCount = 0;
    // DRAW, as the device's own draw takes it; the bytes stay alive while held.
    uint32_t type = 0, primitiveCount = 0, stride = 0, indexFormat = 0, vertexCount = 0;
    const uint8_t* vertices = nullptr;
    const void* indices = nullptr;
    std::vector<VertexElement> layout;
    std::shared_ptr<const std::vector<uint8_t>> vertexBytes, indexBytes;
    // CLEAR
    std::vector<Rect> rects;
    uint32_t flags = 0, color = 0, stencil = 0;
    float z = 0.0f;
    // STRETCH
    Surface* source = nullptr;
    Surface* dest = nullptr;
    Rect sourceRect{}, destRect{};
    bool wholeSource = true, wholeDest = true;
    uint32_t filter = 0;
};

// Sends one view's commands from a thread of its own, on a second context
// that shares the device's objects and back buffer. Mesa's software
// rasteriser shades and bins on the thread that sends, so a split screen's
// two views sent side by side take about the time of one.
class SideViewSender {
public:
    // Null when no second context can be had.
    static std::unique_ptr<SideViewSender> create(GlDevice& device);
    ~SideViewSender();
    SideViewSender(const SideViewSender&) = delete;
    SideViewSender& operator=(const SideViewSender&) = delete;

    bool recording() const { return m_recording; }
    // Something recorded or handed over is not yet known to be drawn.
    bool busy() const { return m_busy; }
    void begin();
    // Hands the recording to the thread; the caller goes on at once.
    void end();
    // Back to sending in order: what was recorded goes, and everything handed
    // over is drawn before the device's own context sends anything more.
    void settle();
    void record(const DeviceState& state, SideCommand&& command);

    // Whether a command of the device's own context must wait for the view aside.
    bool overlapsBackBuffer(const Rect& area) const;
    bool uses(const Resource* object) const;
    bool writes(const Resource* object) const;
    // The texture's parameters hold how it is sampled, for both contexts:
    // sampled otherwise while the view aside samples it, they would change under it.
    bool samplesOtherwise(const Resource* texture, const uint32_t sampler[SAMP_COUNT]) const;

private:
    SideViewSender(GlDevice& device, void* window, void* context);
    void run();
    void replayUntilStopped(void* window);
    void wait();
    void note(const Resource* object, std::vector<const Resource*>& into);
    void noteSampled(const Resource* texture, const uint32_t sampler[SAMP_COUNT]);

    struct Sampled {
        const Resource* texture;
        uint32_t sampler[SAMP_COUNT];
        bool mixed;
    };
    const Sampled* sampled(const Resource* texture) const;

    GlDevice& m_device;
    void* m_window;
    void* m_context;
    bool m_recording = false, m_busy = false;
    // What the recorded and handed-over commands read and write.
    Rect m_backArea{0, 0, 0, 0};
    std::vector<const Resource*> m_read, m_written;
    std::vector<Sampled> m_sampled;

    // The batch being recorded, and the one the thread sends.
    std::vector<SideCommand> m_commands, m_sending;
    std::vector<std::pair<uint32_t, Light>> m_lights, m_sendingLights;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_handedOver = false, m_started = false, m_failed = false, m_stop = false;
    // Signalled on the device's context when the handed-over batch may begin;
    // then on the sender's when it is drawn.
    void* m_before = nullptr;
    void* m_after = nullptr;
    std::thread m_thread;
};

} // namespace sys::gfx
