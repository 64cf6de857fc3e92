#include "sys/window/XErrorWatch.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <tuple>

#include "sys/log/SystemLog.h"

// Last: Xlib's macros (None, True, Bool) must not meet the headers above.
#include <X11/Xlib.h>

namespace sys {

namespace {

// Watches alive on any thread: the driver's requests may be answered on whichever thread reads the connection.
std::atomic<int> g_contextsBeingMade{0};

using ErrorKind = std::tuple<int, int, int>;

std::mutex& kindsMutex() {
    static std::mutex mutex;
    return mutex;
}

std::set<ErrorKind>& kindsLogged() {
    static std::set<ErrorKind> kinds;
    return kinds;
}

// Core requests have names in Xlib's error database; an extension's request is its major and minor number.
std::string requestName(Display* display, const XErrorEvent& error) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", int(error.request_code));
    char name[128] = "";
    if (error.request_code < 128) XGetErrorDatabaseText(display, "XRequest", number, "", name, sizeof name);
    char text[192];
    std::snprintf(text, sizeof text, "%s%s%d.%d", name, *name ? " " : "", int(error.request_code),
                  int(error.minor_code));
    return text;
}

int logXError(Display* display, XErrorEvent* error) {
    if (g_contextsBeingMade > 0) return 0;
    {
        std::lock_guard<std::mutex> lock(kindsMutex());
        if (!kindsLogged().insert({error->error_code, error->request_code, error->minor_code}).second) return 0;
    }
    char code[128] = "";
    XGetErrorText(display, error->error_code, code, sizeof code);
    char line[512];
    std::snprintf(line, sizeof line,
                  "X error %s, code %d, on request %s, resource 0x%lx; later ones of this kind are not logged", code,
                  int(error->error_code), requestName(display, *error).c_str(), error->resourceid);
    writeLog(line);
    return 0;
}

Display* displayOf(void* sdlWindow) {
    if (!sdlWindow) return nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(static_cast<SDL_Window*>(sdlWindow), &info) || info.subsystem != SDL_SYSWM_X11)
        return nullptr;
    return info.info.x11.display;
}

} // namespace

void XErrorWatch::start() { XSetErrorHandler(logXError); }

XErrorWatch::XErrorWatch(void* sdlWindow) : m_window(sdlWindow) { ++g_contextsBeingMade; }

XErrorWatch::~XErrorWatch() {
    if (Display* display = displayOf(m_window)) XSync(display, False);
    --g_contextsBeingMade;
}

} // namespace sys
