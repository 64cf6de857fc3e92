#pragma once
#include <cstdint>
#include <functional>
#include <memory>

namespace sys {

// Window messages as the game's window procedure and input device read them.
enum WindowMessageId : uint32_t {
    WM_SIZE = 0x5, WM_ACTIVATE = 0x6, WM_CLOSE = 0x10, WM_QUIT = 0x12, WM_KEYDOWN = 0x100, WM_KEYUP = 0x101,
    WM_CHAR = 0x102, WM_SYSKEYDOWN = 0x104, WM_SYSKEYUP = 0x105, WM_TIMER = 0x113, WM_MOUSEMOVE = 0x200,
    WM_LBUTTONDOWN = 0x201, WM_LBUTTONUP = 0x202, WM_LBUTTONDBLCLK = 0x203, WM_RBUTTONDOWN = 0x204,
    WM_RBUTTONUP = 0x205, WM_RBUTTONDBLCLK = 0x206, WM_MBUTTONDOWN = 0x207, WM_MBUTTONUP = 0x208,
    WM_MBUTTONDBLCLK = 0x209, WM_MOUSEWHEEL = 0x20A,
};
enum MouseKeyBits : uint32_t { MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_MBUTTON = 0x10 };
enum ActivateState : uint32_t { WA_INACTIVE = 0, WA_ACTIVE = 1 };
enum SizeKind : uint32_t { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1 };

class Window;
using WindowProc = std::function<intptr_t(Window&, uint32_t message, uintptr_t wParam, intptr_t lParam)>;
using TimerProc = void (*)(Window& window, uint32_t id);

// One SDL window that can carry the 3D device's GL context. Messages reach
// its procedure from pumpMessages.
class Window {
public:
    // A hidden window of the given client size; null without a display.
    static std::unique_ptr<Window> create(const char* title, int x, int y, int clientWidth, int clientHeight,
                                          WindowProc proc);
    // True when SDL's video starts on a driver that shows a picture (or on
    // the one SDL_VIDEODRIVER names); the log says why not.
    static bool videoAvailable();
    // The window that SDL's window id names, or null.
    static Window* fromId(uint32_t id);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    void show(bool visible);
    void setTitle(const char* title);
    void getClientSize(int& width, int& height) const;
    // Changes the client size and keeps the window where it is.
    void setClientSize(int width, int height);
    void getPosition(int& x, int& y) const;
    void setPosition(int x, int y);
    // Covers the display without decorations: in the mode of that size where
    // the display has one and switching works, else in the desktop's mode.
    void setFullScreen(int width, int height);
    // Back to a decorated window; the display gets its desktop mode again.
    void leaveFullScreen();
    bool isFullScreen() const { return m_fullScreen; }
    // The size of the picture the window shows: where the client area's
    // shape differs, it is scaled to fit with its aspect kept and bars beside.
    void setPictureSize(int width, int height);
    struct Area { int x, y, width, height; };
    Area pictureArea() const;
    // A client point as a point of the picture, held inside it.
    void toPicture(int& x, int& y) const;
    void minimize();
    void restore();
    bool isMinimized() const;
    bool isVisible() const;
    bool hasFocus() const { return m_focus; }
    // Another window took the focus and has not given it back yet.
    bool focusLost() const { return m_focusLost; }
    // The cursor in client coordinates; false when it is not over this window.
    bool cursorInClient(int& x, int& y) const;
    void setTimer(uint32_t id, uint32_t milliseconds, TimerProc proc);
    void killTimer(uint32_t id);

    intptr_t send(uint32_t message, uintptr_t wParam, intptr_t lParam);
    // The default handling of a message nobody wants.
    static intptr_t defaultProc(Window& window, uint32_t message, uintptr_t wParam, intptr_t lParam) { return 0; }

    uint32_t id() const { return m_id; }
    void* nativeHandle() const { return m_native; }
    // Called by the pump. A full-screen window gives the display back while away.
    void setFocus(bool focus);
    void runTimers(uint64_t nowMs);

private:
    struct Timer { uint32_t id; uint32_t period; uint64_t due; TimerProc proc; };
    Window(void* native, WindowProc proc);
    void* m_native;
    uint32_t m_id;
    WindowProc m_proc;
    bool m_focus = false;
    bool m_focusLost = false;
    bool m_fullScreen = false;
    // The mode asked for, and whether it was given back while another window has the focus.
    int m_modeWidth = 0, m_modeHeight = 0;
    bool m_modeLeft = false;
    int m_pictureWidth = 0, m_pictureHeight = 0;
    Timer m_timers[8] = {};
};

// Hands every pending event to its window's procedure and to the taps;
// false once the program was asked to quit.
bool pumpMessages();
// Ends the program's loops: the next pump reports the quit (once, however
// often it was asked for).
void postQuitMessage();
// The system's cursor over the game's windows; the GUI draws its own.
void showCursor(bool visible);
// The id of a registered message of this name: the same in every copy of the
// program, in the range Windows gives such messages (0xC000..0xFFFF).
uint32_t registerWindowMessage(const char* name);
// A module that wants raw events too (the input devices) registers here.
using EventTap = void (*)(const void* sdlEvent);
void addEventTap(EventTap tap);
void removeEventTap(EventTap tap);

} // namespace sys
