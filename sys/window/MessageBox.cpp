#include "sys/window/MessageBox.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>

namespace sys {

namespace {

MessageBoxSink g_sink = nullptr;

bool haveDisplay() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

Uint32 sdlFlags(unsigned style) {
    switch (style & 0xF0) {
    case MB_ICON_ERROR: return SDL_MESSAGEBOX_ERROR;
    case MB_ICON_EXCLAMATION: return SDL_MESSAGEBOX_WARNING;
    default: return SDL_MESSAGEBOX_INFORMATION;
    }
}

} // namespace

void setMessageBoxSink(MessageBoxSink sink) { g_sink = sink; }

void showMessageBox(const char* title, const char* text, unsigned style) {
    if (g_sink) {
        g_sink(title, text, style);
        return;
    }
    if (haveDisplay() && SDL_ShowSimpleMessageBox(sdlFlags(style), title, text, nullptr) == 0)
        return;
    std::fprintf(stderr, "%s: %s\n", title, text);
}

} // namespace sys
