#include "sys/input/BufferedDevice.h"

#include <SDL.h>

#include <algorithm>
#include <vector>

#include "sys/input/KeyCodes.h"
#include "sys/window/Window.h"

namespace sys::input {

namespace {

std::vector<BufferedDevice*>& devices() {
    static std::vector<BufferedDevice*> list;
    return list;
}

} // namespace

std::unique_ptr<BufferedDevice> BufferedDevice::create(Kind kind, Window& window) {
    return std::unique_ptr<BufferedDevice>(new BufferedDevice(kind, window));
}

BufferedDevice::BufferedDevice(Kind kind, Window& window) : m_kind(kind), m_window(window) {
    devices().push_back(this);
    addEventTap(&BufferedDevice::tap);
}

BufferedDevice::~BufferedDevice() {
    auto& list = devices();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (list.empty()) removeEventTap(&BufferedDevice::tap);
}

void BufferedDevice::tap(const void* event) {
    for (BufferedDevice* device : devices()) device->take(event);
}

int32_t BufferedDevice::acquire() {
    if (!m_window.hasFocus()) return INPUTERR_OTHERAPPHASPRIO;
    m_acquired = true;
    return INPUT_OK;
}

void BufferedDevice::push(uint32_t offset, uint32_t data) {
    if (!m_acquired) return;
    // Full, a motion adds to its axis's motion since the last button: no key or button change is ever lost.
    if (m_kind == MOUSE && offset <= MOUSE_Z && m_queue.size() >= BUFFER_SIZE) {
        for (auto r = m_queue.rbegin(); r != m_queue.rend() && r->offset <= MOUSE_Z; ++r) {
            if (r->offset != offset) continue;
            r->data = uint32_t(int32_t(r->data) + int32_t(data));
            return;
        }
    }
    m_queue.push_back({offset, data});
}

void BufferedDevice::take(const void* raw) {
    const SDL_Event& e = *static_cast<const SDL_Event*>(raw);
    if (e.type == SDL_WINDOWEVENT && e.window.windowID == m_window.id() &&
        e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
        m_acquired = false;
        m_queue.clear();
        return;
    }
    if (m_kind == KEYBOARD && (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) && e.key.windowID == m_window.id()) {
        if (e.key.repeat) return;
        uint8_t code = keyCodeFromScancode(e.key.keysym.scancode);
        if (code) push(code, e.type == SDL_KEYDOWN ? 0x80 : 0);
        return;
    }
    if (m_kind != MOUSE) return;
    if (e.type == SDL_MOUSEMOTION && e.motion.windowID == m_window.id()) {
        // Moves count in the picture's pixels, so that the drawn cursor keeps to the system's.
        int x = e.motion.x, y = e.motion.y, fromX = x - e.motion.xrel, fromY = y - e.motion.yrel;
        m_window.toPicture(x, y);
        m_window.toPicture(fromX, fromY);
        if (x != fromX) push(MOUSE_X, uint32_t(x - fromX));
        if (y != fromY) push(MOUSE_Y, uint32_t(y - fromY));
    } else if (e.type == SDL_MOUSEWHEEL && e.wheel.windowID == m_window.id()) {
        int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        if (notches) push(MOUSE_Z, uint32_t(notches * 120));
    } else if ((e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEBUTTONUP) && e.button.windowID == m_window.id()) {
        uint32_t offset = e.button.button == SDL_BUTTON_LEFT    ? MOUSE_BUTTON0
                        : e.button.button == SDL_BUTTON_RIGHT   ? MOUSE_BUTTON1
                        : e.button.button == SDL_BUTTON_MIDDLE  ? uint32_t(MOUSE_BUTTON2)
                                                                : 0;
        if (offset) push(offset, e.type == SDL_MOUSEBUTTONDOWN ? 0x80 : 0);
    }
}

int32_t BufferedDevice::getDeviceData(DeviceRecord* records, uint32_t& count) {
    if (!m_acquired || !m_window.hasFocus()) {
        m_acquired = false;
        count = 0;
        return INPUTERR_NOTACQUIRED;
    }
    uint32_t n = 0;
    while (n < count && !m_queue.empty()) {
        records[n++] = m_queue.front();
        m_queue.pop_front();
    }
    count = n;
    return INPUT_OK;
}

} // namespace sys::input
