#pragma once
#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sys/gfx/SurfaceImage.h"

class ChildProcess;
struct _XDisplay;

// A private X server for one test, so that no other test's window covers the
// program or takes its input; real input events go in through XTest.
class VirtualDisplay {
public:
    using Picture = sys::gfx::RgbImage;

    // Not ready when the server does not come up. A font path ("built-ins"
    // for the server's own fonts only) replaces the server's default one.
    VirtualDisplay(int width, int height, const std::string& logFile, const std::string& fontPath = "");
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool ready() const { return m_display != nullptr; }
    // Adds full-screen modes of these sizes to the screen, for programs to
    // switch to; they stay while this display object lives.
    bool offerModes(const std::vector<std::pair<int, int>>& sizes);
    // The screen's size now (a program may have switched its mode).
    void size(int& width, int& height);
    // ":N", for the programs that are to show on it.
    const std::string& name() const { return m_name; }

    // The top-level windows of that title that are shown.
    int countWindows(const std::string& title);
    // Where the first of them sits and how large it is; false when there is none within the time.
    bool waitForWindow(const std::string& title, std::chrono::milliseconds timeout, int& x, int& y, int& width,
                       int& height);
    Picture grab(int x, int y, int width, int height);
    // Another program's window takes the focus, as after Alt-Tab; then the first window of that title gets it back.
    void focusElsewhere();
    void focusWindow(const std::string& title);
    // Asks the windows of that title to close, as a window manager's close button does.
    void closeWindows(const std::string& title);

    // The pointer is pushed into the top-left corner, then moved by relative steps.
    void pointAt(int x, int y);
    // Pressed and let go at once: the program counts a press however late it reads it.
    void click();
    // Pressed at x, y, moved by relative steps to toX, toY and let go, as a slider's thumb is dragged.
    void drag(int x, int y, int toX, int toY);
    // Pressed and let go at once, that many times in one go (as `xdotool key --delay 0` taps).
    void pressKey(unsigned long keysym, int times = 1);
    // Down or up until told otherwise, as a player holds the throttle.
    void setKey(unsigned long keysym, bool down);

    // The share of pixels in which two pictures of one size differ.
    static double differingShare(const Picture& a, const Picture& b);

private:
    void holdButton(bool down);

    std::unique_ptr<ChildProcess> m_server;
    _XDisplay* m_display = nullptr;
    std::string m_name;
    unsigned long m_own = 0;
    // The key pressKey tapped last.
    unsigned char m_lastTapped = 0;
};
