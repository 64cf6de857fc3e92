#include "sys/window/Window.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sys/input/KeyCodes.h"
#include "sys/log/SystemLog.h"
#include "sys/window/XErrorWatch.h"

namespace sys {

namespace {

std::vector<Window*>& windows() {
    static std::vector<Window*> list;
    return list;
}

std::vector<EventTap>& taps() {
    static std::vector<EventTap> list;
    return list;
}

constexpr size_t MAX_EVENTS_PER_PUMP = 4096;
constexpr int MAX_DISPLAY_MODES = 1024;

// The display's mode of exactly that size with full colour, as SDL lists it (highest rate first).
bool findMode(int display, int width, int height, SDL_DisplayMode& found) {
    const int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count && i < MAX_DISPLAY_MODES; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(display, i, &mode) != 0 || SDL_BITSPERPIXEL(mode.format) < 24) continue;
        if (mode.w == width && mode.h == height) {
            found = mode;
            return true;
        }
    }
    return false;
}

uintptr_t mouseKeys(uint32_t sdlButtons) {
    uintptr_t keys = 0;
    if (sdlButtons & SDL_BUTTON_LMASK) keys |= MK_LBUTTON;
    if (sdlButtons & SDL_BUTTON_RMASK) keys |= MK_RBUTTON;
    if (sdlButtons & SDL_BUTTON_MMASK) keys |= MK_MBUTTON;
    return keys;
}

intptr_t packPoint(int x, int y) { return intptr_t((uint32_t(uint16_t(x))) | (uint32_t(uint16_t(y)) << 16)); }

// A client point as the picture's point, packed as the mouse messages carry it.
intptr_t picturePoint(const Window& window, int x, int y) {
    window.toPicture(x, y);
    return packPoint(x, y);
}

void sendKey(Window& window, const SDL_KeyboardEvent& key) {
    uint8_t vk = input::virtualKeyFromScancode(key.keysym.scancode);
    if (!vk) return;
    bool down = key.type == SDL_KEYDOWN;
    uint32_t scan = input::keyCodeFromScancode(key.keysym.scancode) & 0x7F;
    uint32_t lParam = 1 | scan << 16;
    if (input::isExtendedScancode(key.keysym.scancode)) lParam |= 1u << 24;
    if (!down) lParam |= 3u << 30;
    else if (key.repeat) lParam |= 1u << 30;
    // With Alt held (and no Ctrl) Windows speaks of system keys.
    bool alt = (key.keysym.mod & KMOD_ALT) && !(key.keysym.mod & KMOD_CTRL);
    bool system = alt || vk == 0x12 || vk == 0x79;
    uint32_t message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    window.send(message, vk, intptr_t(lParam));
    // Control characters that text input does not deliver.
    if (down && !system && (vk == 0x08 || vk == 0x09 || vk == 0x0D || vk == 0x1B)) window.send(WM_CHAR, vk, intptr_t(lParam));
}

void sendText(Window& window, const char* text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    for (size_t i = 0; i < SDL_TEXTINPUTEVENT_TEXT_SIZE && p[i];) {
        uint32_t code = p[i];
        size_t length = code < 0x80 ? 1 : code < 0xE0 ? 2 : code < 0xF0 ? 3 : 4;
        if (length == 2 && p[i + 1]) code = (code & 0x1F) << 6 | (p[i + 1] & 0x3F);
        // Only the single-byte code page reaches the game.
        if (code < 256 && (length == 1 || length == 2)) window.send(WM_CHAR, code, 1);
        i += length;
    }
}

void dispatch(const SDL_Event& event) {
    for (EventTap tap : taps()) tap(&event);
    Window* window = nullptr;
    switch (event.type) {
    case SDL_WINDOWEVENT: window = Window::fromId(event.window.windowID); break;
    case SDL_KEYDOWN: case SDL_KEYUP: window = Window::fromId(event.key.windowID); break;
    case SDL_TEXTINPUT: window = Window::fromId(event.text.windowID); break;
    case SDL_MOUSEMOTION: window = Window::fromId(event.motion.windowID); break;
    case SDL_MOUSEBUTTONDOWN: case SDL_MOUSEBUTTONUP: window = Window::fromId(event.button.windowID); break;
    case SDL_MOUSEWHEEL: window = Window::fromId(event.wheel.windowID); break;
    default: return;
    }
    if (!window) return;
    switch (event.type) {
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            window->setFocus(true);
            window->send(WM_ACTIVATE, WA_ACTIVE, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            window->setFocus(false);
            window->send(WM_ACTIVATE, WA_INACTIVE, 0);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            window->send(WM_SIZE, SIZE_RESTORED, packPoint(event.window.data1, event.window.data2));
            break;
        case SDL_WINDOWEVENT_MINIMIZED: window->send(WM_SIZE, SIZE_MINIMIZED, 0); break;
        case SDL_WINDOWEVENT_RESTORED: {
            int width = 0, height = 0;
            window->getClientSize(width, height);
            window->send(WM_SIZE, SIZE_RESTORED, packPoint(width, height));
            break;
        }
        case SDL_WINDOWEVENT_CLOSE: window->send(WM_CLOSE, 0, 0); break;
        default: break;
        }
        break;
    case SDL_KEYDOWN: case SDL_KEYUP: sendKey(*window, event.key); break;
    case SDL_TEXTINPUT: sendText(*window, event.text.text); break;
    case SDL_MOUSEMOTION:
        window->send(WM_MOUSEMOVE, mouseKeys(event.motion.state), picturePoint(*window, event.motion.x, event.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN: case SDL_MOUSEBUTTONUP: {
        bool down = event.type == SDL_MOUSEBUTTONDOWN;
        uint32_t message = 0;
        if (event.button.button == SDL_BUTTON_LEFT) message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        else if (event.button.button == SDL_BUTTON_RIGHT) message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        else if (event.button.button == SDL_BUTTON_MIDDLE) message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        if (!message) break;
        if (down && event.button.clicks == 2) message += 2;
        uint32_t buttons = SDL_GetMouseState(nullptr, nullptr);
        uint32_t mask = SDL_BUTTON(event.button.button);
        buttons = down ? buttons | mask : buttons & ~mask;
        window->send(message, mouseKeys(buttons), picturePoint(*window, event.button.x, event.button.y));
        break;
    }
    case SDL_MOUSEWHEEL: {
        int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        uintptr_t wParam = mouseKeys(SDL_GetMouseState(nullptr, nullptr)) |
                           uintptr_t(uint16_t(int16_t(notches * 120))) << 16;
        window->send(WM_MOUSEWHEEL, wParam, 0);
        break;
    }
    default: break;
    }
}

// Drivers that show nothing ("evdev" is the dummy reading the console's keys): the game runs on them only
// when SDL_VIDEODRIVER asks for one.
bool showsNothing(const char* driver) {
    for (const char* blind : {"offscreen", "dummy", "evdev"})
        if (std::strcmp(driver, blind) == 0) return true;
    return false;
}

bool named(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

// Wayland's library tells standard error when it finds no runtime folder to connect in.
bool mayConnect(const char* driver) {
    if (std::strcmp(driver, "x11") == 0) return named("DISPLAY");
    if (std::strcmp(driver, "wayland") != 0) return true;
    const char* socket = std::getenv("WAYLAND_DISPLAY");
    return named("XDG_RUNTIME_DIR") || (socket && socket[0] == '/');
}

// SDL's own order, among the drivers that show a picture; the reason for the log when none starts.
bool startShownVideo(std::string& reason) {
    reason = named("DISPLAY") || named("WAYLAND_DISPLAY") ? "no driver that shows a picture started"
                                                          : "DISPLAY and WAYLAND_DISPLAY name none";
    const int count = SDL_GetNumVideoDrivers();
    for (int i = 0; i < count; ++i) {
        const char* driver = SDL_GetVideoDriver(i);
        if (!driver || showsNothing(driver) || !mayConnect(driver)) continue;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
        reason += std::string("; ") + driver + ": " + SDL_GetError();
    }
    SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    return false;
}

bool startVideo() {
    // A full-screen window steps aside (and gives the display its mode back) when another takes the focus.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "1");
    std::string reason;
    const bool asked = named("SDL_VIDEODRIVER");
    const bool started = asked ? SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 : startShownVideo(reason);
    if (!started) {
        writeLog("no display: " + (asked ? std::string(SDL_GetError()) : reason));
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::strcmp(driver, "x11") == 0) XErrorWatch::start();
    return true;
}

} // namespace

bool Window::videoAvailable() {
    static const bool started = startVideo();
    return started;
}

std::unique_ptr<Window> Window::create(const char* title, int x, int y, int clientWidth, int clientHeight,
                                       WindowProc proc) {
    if (!videoAvailable()) return nullptr;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // The window's visual is the GL driver's first answer to the context the window is made for.
    XErrorWatch making;
    SDL_Window* native = SDL_CreateWindow(title, x, y, std::max(1, clientWidth), std::max(1, clientHeight),
                                          SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE);
    making.watchWindow(native);
    if (!native) return nullptr;
    return std::unique_ptr<Window>(new Window(native, std::move(proc)));
}

Window::Window(void* native, WindowProc proc)
    : m_native(native), m_id(SDL_GetWindowID(static_cast<SDL_Window*>(native))), m_proc(std::move(proc)) {
    windows().push_back(this);
}

Window::~Window() {
    auto& list = windows();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    SDL_DestroyWindow(static_cast<SDL_Window*>(m_native));
}

Window* Window::fromId(uint32_t id) {
    for (Window* window : windows())
        if (window->m_id == id) return window;
    return nullptr;
}

void Window::show(bool visible) {
    SDL_Window* w = static_cast<SDL_Window*>(m_native);
    if (visible) SDL_ShowWindow(w);
    else SDL_HideWindow(w);
}

void Window::setTitle(const char* title) { SDL_SetWindowTitle(static_cast<SDL_Window*>(m_native), title); }

void Window::getClientSize(int& width, int& height) const {
    SDL_GetWindowSize(static_cast<SDL_Window*>(m_native), &width, &height);
}

void Window::setClientSize(int width, int height) {
    SDL_SetWindowSize(static_cast<SDL_Window*>(m_native), std::max(1, width), std::max(1, height));
}

void Window::getPosition(int& x, int& y) const { SDL_GetWindowPosition(static_cast<SDL_Window*>(m_native), &x, &y); }
void Window::setPosition(int x, int y) { SDL_SetWindowPosition(static_cast<SDL_Window*>(m_native), x, y); }
void Window::setFullScreen(int width, int height) {
    SDL_Window* w = static_cast<SDL_Window*>(m_native);
    m_fullScreen = true;
    m_modeLeft = false;
    m_modeWidth = width;
    m_modeHeight = height;
    // Leaving first gives the display its own mode back, so that its bounds are the desktop's.
    if (SDL_GetWindowFlags(w) & SDL_WINDOW_FULLSCREEN) SDL_SetWindowFullscreen(w, 0);
    const int display = std::max(0, SDL_GetWindowDisplayIndex(w));
    SDL_Rect bounds{0, 0, width, height};
    SDL_GetDisplayBounds(display, &bounds);
    SDL_DisplayMode mode;
    const bool offered = findMode(display, width, height, mode);
    // Without a window manager nothing else sizes the window to the display.
    SDL_SetWindowPosition(w, bounds.x, bounds.y);
    SDL_SetWindowSize(w, offered ? width : bounds.w, offered ? height : bounds.h);
    if (offered && SDL_SetWindowDisplayMode(w, &mode) == 0 && SDL_SetWindowFullscreen(w, SDL_WINDOW_FULLSCREEN) == 0)
        return;
    if (offered) SDL_SetWindowSize(w, bounds.w, bounds.h);
    SDL_SetWindowFullscreen(w, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void Window::leaveFullScreen() {
    m_fullScreen = false;
    m_modeLeft = false;
    SDL_SetWindowFullscreen(static_cast<SDL_Window*>(m_native), 0);
}

void Window::setFocus(bool focus) {
    m_focus = focus;
    m_focusLost = !focus;
    if (!m_fullScreen) return;
    SDL_Window* w = static_cast<SDL_Window*>(m_native);
    const bool switched = (SDL_GetWindowFlags(w) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN;
    // Away from the game the display has its own mode, also where no window manager minimises the window.
    if (!focus && switched) {
        SDL_SetWindowFullscreen(w, SDL_WINDOW_FULLSCREEN_DESKTOP);
        m_modeLeft = true;
    } else if (focus && m_modeLeft) {
        setFullScreen(m_modeWidth, m_modeHeight);
    }
}

void Window::setPictureSize(int width, int height) {
    m_pictureWidth = width;
    m_pictureHeight = height;
}

Window::Area Window::pictureArea() const {
    int width = 0, height = 0;
    getClientSize(width, height);
    if (m_pictureWidth <= 0 || m_pictureHeight <= 0) return {0, 0, width, height};
    // Scaled until one side fits; the other side gets equal bars.
    const int64_t wide = int64_t(width) * m_pictureHeight, tall = int64_t(height) * m_pictureWidth;
    int shownWidth = width, shownHeight = height;
    if (wide > tall) shownWidth = int(tall / m_pictureHeight);
    else if (tall > wide) shownHeight = int(wide / m_pictureWidth);
    return {(width - shownWidth) / 2, (height - shownHeight) / 2, shownWidth, shownHeight};
}

void Window::toPicture(int& x, int& y) const {
    const Area area = pictureArea();
    if (m_pictureWidth <= 0 || m_pictureHeight <= 0 || area.width <= 0 || area.height <= 0) return;
    x = std::clamp(int(int64_t(x - area.x) * m_pictureWidth / area.width), 0, m_pictureWidth - 1);
    y = std::clamp(int(int64_t(y - area.y) * m_pictureHeight / area.height), 0, m_pictureHeight - 1);
}

void Window::minimize() { SDL_MinimizeWindow(static_cast<SDL_Window*>(m_native)); }
void Window::restore() { SDL_RestoreWindow(static_cast<SDL_Window*>(m_native)); }

bool Window::isMinimized() const {
    return SDL_GetWindowFlags(static_cast<SDL_Window*>(m_native)) & SDL_WINDOW_MINIMIZED;
}

bool Window::isVisible() const {
    uint32_t flags = SDL_GetWindowFlags(static_cast<SDL_Window*>(m_native));
    return (flags & SDL_WINDOW_SHOWN) && !(flags & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED));
}

bool Window::cursorInClient(int& x, int& y) const {
    if (SDL_GetMouseFocus() != m_native) return false;
    SDL_GetMouseState(&x, &y);
    int w = 0, h = 0;
    getClientSize(w, h);
    return x >= 0 && y >= 0 && x < w && y < h;
}

void Window::setTimer(uint32_t id, uint32_t milliseconds, TimerProc proc) {
    Timer* slot = nullptr;
    for (Timer& t : m_timers)
        if (t.proc && t.id == id) slot = &t;
    for (Timer& t : m_timers)
        if (!slot && !t.proc) slot = &t;
    if (!slot) return;
    *slot = {id, milliseconds, SDL_GetTicks64() + milliseconds, proc};
}

void Window::killTimer(uint32_t id) {
    for (Timer& t : m_timers)
        if (t.proc && t.id == id) t = {};
}

void Window::runTimers(uint64_t nowMs) {
    for (Timer& t : m_timers) {
        if (!t.proc || nowMs < t.due) continue;
        t.due = nowMs + t.period;
        t.proc(*this, t.id);
    }
}

intptr_t Window::send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return m_proc ? m_proc(*this, message, wParam, lParam) : defaultProc(*this, message, wParam, lParam);
}

bool pumpMessages() {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) SDL_InitSubSystem(SDL_INIT_EVENTS);
    bool quit = false;
    SDL_Event event;
    for (size_t i = 0; i < MAX_EVENTS_PER_PUMP && SDL_PollEvent(&event); ++i) {
        if (event.type == SDL_QUIT) quit = true;
        dispatch(event);
    }
    uint64_t now = SDL_GetTicks64();
    for (Window* window : std::vector<Window*>(windows())) window->runTimers(now);
    return !quit;
}

void postQuitMessage() {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) SDL_InitSubSystem(SDL_INIT_EVENTS);
    // Closing the last window brings SDL's own quit; a second would end the next loop too.
    if (SDL_HasEvent(SDL_QUIT)) return;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

void showCursor(bool visible) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

uint32_t registerWindowMessage(const char* name) {
    // FNV-1a over the name, case folded as Windows folds atom names.
    uint32_t hash = 2166136261u;
    for (const char* p = name; *p; ++p) hash = (hash ^ uint8_t(std::tolower(uint8_t(*p)))) * 16777619u;
    return 0xC000 + hash % 0x4000;
}

void addEventTap(EventTap tap) {
    if (std::find(taps().begin(), taps().end(), tap) == taps().end()) taps().push_back(tap);
}

void removeEventTap(EventTap tap) { taps().erase(std::remove(taps().begin(), taps().end(), tap), taps().end()); }

} // namespace sys
