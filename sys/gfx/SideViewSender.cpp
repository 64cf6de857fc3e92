#include "sys/gfx/SideViewSender.h"

#define GL_GLEXT_PROTOTYPES 1
#include <SDL.h>
#include <SDL_opengl.h>

#include <algorithm>

#include "sys/gfx/GlDevice.h"
#include "sys/window/XErrorWatch.h"

namespace sys::gfx {

namespace {

bool empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

Rect intersection(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

Rect unite(const Rect& a, const Rect& b) {
    if (empty(a)) return b;
    if (empty(b)) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

} // namespace

Rect drawnArea(const DeviceSettings& state) {
    const Viewport& vp = state.viewport;
    Rect area{int32_t(vp.x), int32_t(vp.y), int32_t(vp.x + vp.width), int32_t(vp.y + vp.height)};
    return state.renderStates[RS_SCISSORTESTENABLE] ? intersection(area, state.scissor) : area;
}

uint32_t stagesSampled(const DeviceSettings& state) {
    uint32_t stages = 0;
    while (stages < MAX_STAGES && state.stageStates[stages][TSS_COLOROP] != TOP_DISABLE) ++stages;
    return stages;
}

std::unique_ptr<SideViewSender> SideViewSender::create(GlDevice& device) {
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    SDL_GLContext own = SDL_GL_GetCurrentContext();
    if (!window || !own) return nullptr;
    SDL_Window* hidden = nullptr;
    SDL_GLContext context = nullptr;
    {
        sys::XErrorWatch making;
        // The second context draws only into the shared back buffer; its window never shows.
        hidden = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!hidden) return nullptr;
        making.watchWindow(hidden);
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
        context = SDL_GL_CreateContext(hidden);
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
        SDL_GL_MakeCurrent(window, own);
    }
    if (!context) {
        SDL_DestroyWindow(hidden);
        return nullptr;
    }
    std::unique_ptr<SideViewSender> sender(new SideViewSender(device, hidden, context));
    std::unique_lock<std::mutex> lock(sender->m_mutex);
    sender->m_wake.wait(lock, [&] { return sender->m_started || sender->m_failed; });
    if (sender->m_failed) {
        lock.unlock();
        return nullptr;
    }
    return sender;
}

SideViewSender::SideViewSender(GlDevice& device, void* window, void* context)
    : m_device(device), m_window(window), m_context(context) {
    m_thread = std::thread([this] { run(); });
}

SideViewSender::~SideViewSender() {
    if (m_started) settle();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    // A context the thread never took is still ours to delete.
    if (m_failed && m_context) SDL_GL_DeleteContext(static_cast<SDL_GLContext>(m_context));
    SDL_DestroyWindow(static_cast<SDL_Window*>(m_window));
}

void SideViewSender::run() {
    SDL_Window* window = static_cast<SDL_Window*>(m_window);
    replayUntilStopped(window);
    SDL_GL_MakeCurrent(window, nullptr);
    // SDL keeps each thread's current context in storage that only its own threads free at their end.
    SDL_TLSCleanup();
}

void SideViewSender::replayUntilStopped(void* drawable) {
    SDL_Window* window = static_cast<SDL_Window*>(drawable);
    std::unique_ptr<GlDevice> side;
    if (SDL_GL_MakeCurrent(window, static_cast<SDL_GLContext>(m_context)) == 0)
        side = GlDevice::sideDevice(m_device, m_context);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_started = side != nullptr;
        m_failed = !m_started;
    }
    m_wake.notify_all();
    if (!side) return;
    for (;;) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wake.wait(lock, [&] { return m_handedOver || m_stop; });
        if (!m_handedOver) break;
        lock.unlock();
        GLsync before = static_cast<GLsync>(m_before);
        glWaitSync(before, 0, GL_TIMEOUT_IGNORED);
        glDeleteSync(before);
        side->replay(m_sending, m_sendingLights);
        m_after = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
        glFlush();
        lock.lock();
        m_handedOver = false;
        lock.unlock();
        m_wake.notify_all();
    }
    // The device deletes its context, current here.
    side.reset();
}

void SideViewSender::begin() {
    if (m_busy) settle();
    m_recording = m_busy = true;
}

void SideViewSender::end() {
    if (!m_recording) return;
    m_recording = false;
    if (m_commands.empty()) {
        settle();
        return;
    }
    // Everything the device's context sent so far goes first: the frame's clear, uploads.
    m_before = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sending.swap(m_commands);
        m_sendingLights.swap(m_lights);
        m_handedOver = true;
    }
    m_wake.notify_all();
    // The last batch's commands, long drawn.
    m_commands.clear();
    m_lights.clear();
}

void SideViewSender::wait() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_wake.wait(lock, [&] { return !m_handedOver; });
    if (!m_after) return;
    GLsync after = static_cast<GLsync>(m_after);
    glWaitSync(after, 0, GL_TIMEOUT_IGNORED);
    glDeleteSync(after);
    m_after = nullptr;
}

void SideViewSender::settle() {
    if (m_recording) end();
    m_recording = false;
    wait();
    m_busy = false;
    m_backArea = {0, 0, 0, 0};
    m_read.clear();
    m_written.clear();
    m_sampled.clear();
}

void SideViewSender::note(const Resource* object, std::vector<const Resource*>& into) {
    if (object && std::find(into.rbegin(), into.rend(), object) == into.rend()) into.push_back(object);
}

void SideViewSender::record(const DeviceState& state, SideCommand&& command) {
    command.settings = state;
    command.firstLight = uint32_t(m_lights.size());
    for (uint32_t i = 0; i < MAX_LIGHTS; ++i)
        if (state.lightEnabled[i]) m_lights.emplace_back(i, state.lights[i]);
    command.lightCount = uint32_t(m_lights.size()) - command.firstLight;

    const Surface* back = m_device.m_backBuffer;
    const Surface* autoDepth = m_device.m_autoDepth;
    if (command.kind == SideCommand::STRETCH) {
        note(command.source, m_read);
        note(command.source->getContainer(), m_read);
        if (command.dest == back) {
            const SurfaceDesc& d = back->getDesc();
            m_backArea = unite(m_backArea, command.wholeDest ? Rect{0, 0, int32_t(d.width), int32_t(d.height)}
                                                             : command.destRect);
        }
        else {
            note(command.dest, m_written);
            note(command.dest->getContainer(), m_written);
        }
    } else {
        const Surface* target = state.renderTarget;
        const Surface* depth = state.depthStencil;
        if (target == back || (depth && depth == autoDepth)) m_backArea = unite(m_backArea, drawnArea(state));
        for (const Surface* surface : {target, depth}) {
            if (!surface || surface == back || surface == autoDepth) continue;
            note(surface, m_written);
            note(surface->getContainer(), m_written);
        }
        const uint32_t stages = command.kind == SideCommand::DRAW ? stagesSampled(state) : 0;
        for (uint32_t i = 0; i < stages; ++i) noteSampled(state.textures[i], state.samplerStates[i]);
    }
    m_commands.push_back(std::move(command));
}

void SideViewSender::noteSampled(const Resource* texture, const uint32_t sampler[SAMP_COUNT]) {
    if (!texture) return;
    for (Sampled& s : m_sampled) {
        if (s.texture != texture) continue;
        s.mixed = s.mixed || std::memcmp(s.sampler, sampler, sizeof s.sampler) != 0;
        return;
    }
    Sampled s{texture, {}, false};
    std::memcpy(s.sampler, sampler, sizeof s.sampler);
    m_sampled.push_back(s);
}

const SideViewSender::Sampled* SideViewSender::sampled(const Resource* texture) const {
    for (const Sampled& s : m_sampled)
        if (s.texture == texture) return &s;
    return nullptr;
}

bool SideViewSender::samplesOtherwise(const Resource* texture, const uint32_t sampler[SAMP_COUNT]) const {
    const Sampled* s = texture ? sampled(texture) : nullptr;
    return s && (s->mixed || std::memcmp(s->sampler, sampler, sizeof s->sampler) != 0);
}

bool SideViewSender::overlapsBackBuffer(const Rect& area) const { return !empty(intersection(area, m_backArea)); }

bool SideViewSender::uses(const Resource* object) const {
    return object && (writes(object) || sampled(object) || std::find(m_read.begin(), m_read.end(), object) != m_read.end());
}

bool SideViewSender::writes(const Resource* object) const {
    return object && std::find(m_written.begin(), m_written.end(), object) != m_written.end();
}

} // namespace sys::gfx
