#include "engine/platform/input/WindowInputDevice.h"

#include <cstring>

#include "engine/platform/Report.h"
#include "sys/input/InputTypes.h"
#include "sys/window/Window.h"

bool g_mouseTracking = false;

namespace {

const uint8_t KEY_PAIRS[][2] = {
    {0x08, 0x0E}, {0x09, 0x0F}, {0x0D, 0x1C}, {0x10, 0x2A}, {0x11, 0x1D}, {0x12, 0x38}, {0x13, 0xC5}, {0x14, 0x3A},
    {0x15, 0x70}, {0x19, 0x94}, {0x1B, 0x01}, {0x1C, 0x79}, {0x1D, 0x7B}, {0x20, 0x39}, {0x21, 0xC9}, {0x22, 0xD1},
    {0x23, 0xCF}, {0x24, 0xC7}, {0x25, 0xCB}, {0x26, 0xC8}, {0x27, 0xCD}, {0x28, 0xD0}, {0x2A, 0xB7}, {0x2D, 0xD2},
    {0x2E, 0xD3}, {0x30, 0x0B}, {0x31, 0x02}, {0x32, 0x03}, {0x33, 0x04}, {0x34, 0x05}, {0x35, 0x06}, {0x36, 0x07},
    {0x37, 0x08}, {0x38, 0x09}, {0x39, 0x0A}, {0x41, 0x1E}, {0x42, 0x30}, {0x43, 0x2E}, {0x44, 0x20}, {0x45, 0x12},
    {0x46, 0x21}, {0x47, 0x22}, {0x48, 0x23}, {0x49, 0x17}, {0x4A, 0x24}, {0x4B, 0x25}, {0x4C, 0x26}, {0x4D, 0x32},
    {0x4E, 0x31}, {0x4F, 0x18}, {0x50, 0x19}, {0x51, 0x10}, {0x52, 0x13}, {0x53, 0x1F}, {0x54, 0x14}, {0x55, 0x16},
    {0x56, 0x2F}, {0x57, 0x11}, {0x58, 0x2D}, {0x59, 0x15}, {0x5A, 0x2C}, {0x5B, 0xDB}, {0x5C, 0xDC}, {0x5D, 0xDD},
    {0x5F, 0xDF}, {0x60, 0x52}, {0x61, 0x4F}, {0x62, 0x50}, {0x63, 0x51}, {0x64, 0x4B}, {0x65, 0x4C}, {0x66, 0x4D},
    {0x67, 0x47}, {0x68, 0x48}, {0x69, 0x49}, {0x6A, 0x37}, {0x6B, 0x4E}, {0x6C, 0x9C}, {0x6D, 0x4A}, {0x6E, 0x53},
    {0x6F, 0xB5}, {0x70, 0x3B}, {0x71, 0x3C}, {0x72, 0x3D}, {0x73, 0x3E}, {0x74, 0x3F}, {0x75, 0x40}, {0x76, 0x41},
    {0x77, 0x42}, {0x78, 0x43}, {0x79, 0x44}, {0x7A, 0x57}, {0x7B, 0x58}, {0x7C, 0x64}, {0x7D, 0x65}, {0x7E, 0x66},
    {0x90, 0x45}, {0x91, 0x46}, {0xA0, 0x2A}, {0xA1, 0x36}, {0xA2, 0x1D}, {0xA3, 0x9D}, {0xA4, 0x38}, {0xA5, 0xB8},
    {0xBA, 0x27}, {0xBB, 0x0D}, {0xBC, 0x33}, {0xBD, 0x0C}, {0xBE, 0x34}, {0xBF, 0x35}, {0xC0, 0x29}, {0xDB, 0x1A},
    {0xDC, 0x2B}, {0xDD, 0x1B}, {0xDE, 0x28}, {0xE1, 0x96}, {0xE2, 0x56},
};

uint32_t keyOf(uintptr_t wParam, intptr_t lParam) {
    ENGINE_ASSERT(wParam < 256);
    uint32_t key = uint32_t(wParam & 0xFF);
    if (lParam & (1 << 24)) {
        if (key == 17) key = 0xA3;
        else if (key == 18) key = 0xA5;
    }
    return key;
}

} // namespace

WindowInputDevice::WindowInputDevice() {
    std::memset(m_virtualKeyMap, 0xFF, sizeof m_virtualKeyMap);
    for (const auto& pair : KEY_PAIRS) m_virtualKeyMap[pair[0]] = pair[1];
}

WindowInputDevice::~WindowInputDevice() {
    if (m_window) m_window->killTimer(CURSOR_TIMER);
}

bool WindowInputDevice::init(sys::Window& window) {
    g_mouseTracking = true;
    window.setTimer(CURSOR_TIMER, 250, &WindowInputDevice::cursorCentreTimer);
    m_window = &window;
    return true;
}

void WindowInputDevice::cursorCentreTimer(sys::Window& window, uint32_t id) {
    if (!g_mouseTracking) return;
    g_mouseTracking = false;
    int x = 0, y = 0, w = 0, h = 0;
    window.getClientSize(w, h);
    if (window.cursorInClient(x, y) && x == w / 2 && y == h / 2) g_mouseTracking = true;
}

void WindowInputDevice::reset() {
    // What waited came before the window was left.
    m_waiting.clear();
    InputDevice::reset();
}

intptr_t WindowInputDevice::handleMessage(sys::Window& window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const Message m{message, wParam, lParam};
    const bool input = (message >= sys::WM_KEYDOWN && message <= sys::WM_CHAR) ||
                       (message >= sys::WM_MOUSEMOVE && message <= sys::WM_MOUSEWHEEL);
    // Behind a held-back message every later one waits too, so that they keep their order.
    if (input && !(m_waiting.empty() && take(m))) wait(m);
    return sys::Window::defaultProc(window, message, wParam, lParam);
}

void WindowInputDevice::wait(const Message& m) {
    // Full, a move takes the place of the move before it: no key or button is ever lost, and the pointer
    // still ends where it went.
    const bool merged = m_waiting.size() >= sys::input::BUFFER_SIZE && m.message == sys::WM_MOUSEMOVE &&
                        m_waiting.back().message == sys::WM_MOUSEMOVE && m_waiting.back().wParam == m.wParam;
    if (merged) m_waiting.back() = m;
    else m_waiting.push_back(m);
}

bool WindowInputDevice::update() {
    InputDevice::update();
    m_gate.open();
    while (!m_waiting.empty() && take(m_waiting.front())) m_waiting.pop_front();
    return true;
}

bool WindowInputDevice::take(const Message& m) {
    switch (m.message) {
    case sys::WM_KEYDOWN: return (m.lParam & (1 << 30)) || setKey(m.wParam, m.lParam, 1);
    case sys::WM_KEYUP: return setKey(m.wParam, m.lParam, 0);
    default: break;
    }
    if (!m_gate.isOpen()) return false;
    switch (m.message) {
    case sys::WM_CHAR: m_lastKey = uint32_t(m.wParam); break;
    case sys::WM_MOUSEMOVE: {
        int32_t x = int16_t(m.lParam & 0xFFFF), y = int16_t((m.lParam >> 16) & 0xFFFF);
        if (g_mouseTracking) {
            m_mouseDX += x - m_mouseX;
            m_mouseDY += y - m_mouseY;
        }
        m_mouseX = x;
        m_mouseY = y;
        g_mouseTracking = true;
        // Re-armed on the window init gave it: a message taken a frame later has no window of its own.
        if (m_window) m_window->setTimer(CURSOR_TIMER, 250, &WindowInputDevice::cursorCentreTimer);
        setButtons(m.wParam);
        break;
    }
    case sys::WM_MOUSEWHEEL:
        m_mouseDZ += int16_t((m.wParam >> 16) & 0xFFFF);
        setButtons(m.wParam);
        break;
    default:
        // A double click's second press is a press as well.
        if (m.message >= sys::WM_LBUTTONDOWN && m.message <= sys::WM_MBUTTONDBLCLK) setButtons(m.wParam);
        break;
    }
    return true;
}

bool WindowInputDevice::setKey(uintptr_t wParam, intptr_t lParam, uint8_t held) {
    const uint8_t code = m_virtualKeyMap[keyOf(wParam, lParam)];
    if (!m_gate.passKey(code, held != 0)) return false;
    m_keys[code] = held;
    return true;
}

void WindowInputDevice::setButtons(uintptr_t wParam) {
    const uint8_t held[3] = {uint8_t((wParam & 0x1) ? 1 : 0), uint8_t((wParam & 0x2) ? 1 : 0),
                             uint8_t((wParam & 0x10) ? 1 : 0)};
    for (int b = 0; b < 3; ++b) {
        if (m_buttons[b] == held[b]) continue;
        m_buttons[b] = held[b];
        m_gate.closeBehindButton();
    }
}
