#pragma once
#include <cstdint>

namespace sys {
class Window;
}

// The window is active and not minimised; the loops run frames only then.
extern bool g_appActive;

// The game window's procedure: activation and minimising, then everything
// else to the current input device.
intptr_t mainWindowProc(sys::Window& window, uint32_t message, uintptr_t wParam, intptr_t lParam);
