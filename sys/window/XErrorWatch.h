#pragma once

namespace sys {

// Stands in for Xlib's error handler, which would end the program on any X
// protocol error. Each kind of error (its code and request) is logged once,
// with the resource it named. While a watch lives a GL context is being
// made, and a driver refuses one with such an error that the 3D device then
// tells the player in its own words: those are passed over, and the ones
// still on their way are awaited when the watch ends.
class XErrorWatch {
public:
    // Takes over from Xlib once the video runs on X11.
    static void start();

    // The window the context is made for; null while that window itself is
    // made (with the driver's visual), see watchWindow.
    explicit XErrorWatch(void* sdlWindow = nullptr);
    ~XErrorWatch();
    XErrorWatch(const XErrorWatch&) = delete;
    XErrorWatch& operator=(const XErrorWatch&) = delete;

    // The window once made, whose connection is awaited at the end.
    void watchWindow(void* sdlWindow) { m_window = sdlWindow; }

private:
    void* m_window;
};

} // namespace sys
