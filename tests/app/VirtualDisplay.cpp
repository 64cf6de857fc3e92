#include "tests/app/VirtualDisplay.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xrandr.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "tests/app/ChildProcess.h"

namespace {

// A loaded machine starts the server slowly.
constexpr int SERVER_START_MILLISECONDS = 30000;
constexpr int CORNER_PUSH = -10000;
constexpr unsigned long TAP_MILLISECONDS = 10;

// The number the server writes once it takes connections.
std::string readDisplayNumber(int fd) {
    std::string number;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(SERVER_START_MILLISECONDS);
    while (std::chrono::steady_clock::now() < giveUp) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char c = 0;
        if (read(fd, &c, 1) != 1) break;
        if (c == '\n') return number;
        number += c;
    }
    return "";
}

// A window the tree listed may close before it is asked about (an error box
// ending by itself): no failure of the test. Other errors are told, not fatal.
int onXError(Display*, XErrorEvent* error) {
    if (error->error_code != BadWindow && error->error_code != BadDrawable)
        std::fprintf(stderr, "X error %d on request %d\n", error->error_code, error->request_code);
    return 0;
}

// Visits the attributes and id of every shown top-level window of that title.
template <typename Visit>
void forEachShownWindow(Display* display, const std::string& title, Visit visit) {
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count)) return;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (title == name) visit(attributes, children[i]);
            XFree(name);
        }
    }
    if (children) XFree(children);
}

} // namespace

VirtualDisplay::VirtualDisplay(int width, int height, const std::string& logFile, const std::string& fontPath) {
    int fds[2];
    if (pipe(fds) != 0) return;
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    std::vector<std::string> arguments{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                                       "-nolisten", "tcp", "-noreset"};
    if (!fontPath.empty()) arguments.insert(arguments.end(), {"-fp", fontPath});
    m_server = std::make_unique<ChildProcess>(arguments, std::map<std::string, std::string>{}, logFile);
    close(fds[1]);
    const std::string number = m_server->started() ? readDisplayNumber(fds[0]) : "";
    close(fds[0]);
    if (number.empty()) return;
    m_name = ":" + number;
    XSetErrorHandler(onXError);
    m_display = XOpenDisplay(m_name.c_str());
}

VirtualDisplay::~VirtualDisplay() {
    if (m_display) XCloseDisplay(m_display);
}

bool VirtualDisplay::offerModes(const std::vector<std::pair<int, int>>& sizes) {
    const Window root = DefaultRootWindow(m_display);
    XRRScreenResources* resources = XRRGetScreenResources(m_display, root);
    if (!resources) return false;
    const bool output = resources->noutput > 0;
    for (size_t i = 0; output && i < sizes.size(); ++i) {
        const auto [width, height] = sizes[i];
        std::string name = std::to_string(width) + "x" + std::to_string(height);
        XRRModeInfo mode;
        std::memset(&mode, 0, sizeof mode);
        mode.width = unsigned(width);
        mode.height = unsigned(height);
        mode.hTotal = mode.width;
        mode.vTotal = mode.height;
        // 60 Hz.
        mode.dotClock = 60ul * mode.hTotal * mode.vTotal;
        mode.name = &name[0];
        mode.nameLength = unsigned(name.size());
        XRRAddOutputMode(m_display, resources->outputs[0], XRRCreateMode(m_display, root, &mode));
    }
    XRRFreeScreenResources(resources);
    XSync(m_display, False);
    return output;
}

void VirtualDisplay::size(int& width, int& height) {
    XWindowAttributes attributes;
    XGetWindowAttributes(m_display, DefaultRootWindow(m_display), &attributes);
    width = attributes.width;
    height = attributes.height;
}

int VirtualDisplay::countWindows(const std::string& title) {
    int count = 0;
    forEachShownWindow(m_display, title, [&](const XWindowAttributes&, Window) { ++count; });
    return count;
}

bool VirtualDisplay::waitForWindow(const std::string& title, std::chrono::milliseconds timeout, int& x, int& y,
                                   int& width, int& height) {
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    bool found = false;
    while (!found && std::chrono::steady_clock::now() < giveUp) {
        forEachShownWindow(m_display, title, [&](const XWindowAttributes& a, Window) {
            if (found) return;
            found = true;
            x = a.x;
            y = a.y;
            width = a.width;
            height = a.height;
        });
        if (!found) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return found;
}

VirtualDisplay::Picture VirtualDisplay::grab(int x, int y, int width, int height) {
    Picture picture;
    XImage* image = XGetImage(m_display, DefaultRootWindow(m_display), x, y, unsigned(width), unsigned(height),
                              AllPlanes, ZPixmap);
    if (!image) return picture;
    picture.width = uint32_t(width);
    picture.height = uint32_t(height);
    picture.rgb.resize(size_t(width) * size_t(height) * 3);
    uint8_t* out = picture.rgb.data();
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            *out++ = uint8_t((pixel & image->red_mask) >> 16);
            *out++ = uint8_t((pixel & image->green_mask) >> 8);
            *out++ = uint8_t(pixel & image->blue_mask);
        }
    XDestroyImage(image);
    return picture;
}

void VirtualDisplay::focusElsewhere() {
    if (!m_own) {
        m_own = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 64, 64, 0, 0, 0);
        XMapRaised(m_display, m_own);
        XSync(m_display, False);
    }
    XSetInputFocus(m_display, m_own, RevertToPointerRoot, CurrentTime);
    XSync(m_display, False);
}

void VirtualDisplay::focusWindow(const std::string& title) {
    bool done = false;
    forEachShownWindow(m_display, title, [&](const XWindowAttributes&, Window window) {
        if (done) return;
        done = true;
        XRaiseWindow(m_display, window);
        XSetInputFocus(m_display, window, RevertToPointerRoot, CurrentTime);
    });
    XSync(m_display, False);
}

void VirtualDisplay::closeWindows(const std::string& title) {
    const Atom protocols = XInternAtom(m_display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
    forEachShownWindow(m_display, title, [&](const XWindowAttributes&, Window window) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = protocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(deleteWindow);
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_display, window, False, NoEventMask, &event);
    });
    XSync(m_display, False);
}

void VirtualDisplay::pointAt(int x, int y) {
    XTestFakeRelativeMotionEvent(m_display, CORNER_PUSH, CORNER_PUSH, CurrentTime);
    XTestFakeRelativeMotionEvent(m_display, x, y, CurrentTime);
    XSync(m_display, False);
}

void VirtualDisplay::click() {
    holdButton(true);
    holdButton(false);
}

void VirtualDisplay::drag(int x, int y, int toX, int toY) {
    pointAt(x, y);
    holdButton(true);
    // A few steps, as a hand moves.
    constexpr int STEPS = 4;
    for (int i = 0; i < STEPS; ++i)
        XTestFakeRelativeMotionEvent(m_display, (toX - x) * (i + 1) / STEPS - (toX - x) * i / STEPS,
                                     (toY - y) * (i + 1) / STEPS - (toY - y) * i / STEPS, CurrentTime);
    holdButton(false);
}

void VirtualDisplay::holdButton(bool down) {
    XTestFakeButtonEvent(m_display, 1, down ? True : False, CurrentTime);
    XSync(m_display, False);
}

void VirtualDisplay::pressKey(unsigned long keysym, int times) {
    // The first as quick as a finger after the same key's last tap, no quicker: SDL takes a press
    // within 2 ms of the same key's release for the repeat of a held key. The server waits, not we.
    const KeyCode key = XKeysymToKeycode(m_display, keysym);
    for (int tap = 0; tap < times; ++tap) {
        XTestFakeKeyEvent(m_display, key, True, tap == 0 && key == m_lastTapped ? TAP_MILLISECONDS : CurrentTime);
        XTestFakeKeyEvent(m_display, key, False, CurrentTime);
    }
    XSync(m_display, False);
    m_lastTapped = key;
}

void VirtualDisplay::setKey(unsigned long keysym, bool down) {
    XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, keysym), down ? True : False, CurrentTime);
    XSync(m_display, False);
}

double VirtualDisplay::differingShare(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height || a.rgb.empty()) return 1.0;
    size_t differing = 0;
    for (size_t i = 0; i < a.rgb.size(); i += 3)
        differing += a.rgb[i] != b.rgb[i] || a.rgb[i + 1] != b.rgb[i + 1] || a.rgb[i + 2] != b.rgb[i + 2];
    return double(differing) / double(a.rgb.size() / 3);
}
