#include "app/program/MainWindowProc.h"

#include "engine/platform/input/InputDevice.h"
#include "sys/window/Window.h"

bool g_appActive = true;

namespace {

// The activation's wParam: the state in the low word, the minimised flag in the high word.
void activate(uintptr_t state) {
    if ((state & 0xFFFF) != sys::WA_INACTIVE) {
        // Keys let go of while away would stay held.
        if (g_input) g_input->reset();
        sys::showCursor(false);
        g_appActive = true;
    }
    if ((state >> 16 & 0xFFFF) != 0) g_appActive = false;
}

} // namespace

intptr_t mainWindowProc(sys::Window& window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case sys::WM_CLOSE:
        sys::postQuitMessage();
        return 0;
    case sys::WM_ACTIVATE:
        activate(wParam);
        return 0;
    case sys::WM_SIZE:
        // The pump tells of minimising and restoring by size, not by activation.
        if (wParam == sys::SIZE_MINIMIZED) activate(sys::WA_INACTIVE | uintptr_t(1) << 16);
        else if (!g_appActive) activate(sys::WA_ACTIVE);
        break;
    default: break;
    }
    if (!g_input) return sys::Window::defaultProc(window, message, wParam, lParam);
    return g_input->handleMessage(window, message, wParam, lParam);
}
