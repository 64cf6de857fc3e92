#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sys/log/SystemLog.h"
#include "sys/window/Window.h"
#include "sys/window/XErrorWatch.h"

// Last: Xlib's macros (None, True, Bool) must not meet the headers above.
#include <X11/Xlib.h>

namespace {

std::mutex g_linesMutex;
std::vector<std::string> g_lines;

void keepLine(const std::string& line) {
    std::lock_guard<std::mutex> lock(g_linesMutex);
    g_lines.push_back(line);
}

// A window of the game's own on SDL's X connection, where the test makes its requests.
class XErrorWatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_window = sys::Window::create("x errors", 0, 0, 32, 32, nullptr);
        if (!m_window) GTEST_SKIP() << "no display: the test needs X (run under xvfb-run -a)";
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(static_cast<SDL_Window*>(m_window->nativeHandle()), &info) ||
            info.subsystem != SDL_SYSWM_X11)
            GTEST_SKIP() << "not on X11";
        m_display = info.info.x11.display;
        sys::setLogSink(keepLine);
        g_lines.clear();
    }
    void TearDown() override { sys::setLogSink(nullptr); }

    // A window id the server no longer knows.
    ::Window goneWindow() {
        const ::Window gone = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 1, 1, 0, 0, 0);
        XDestroyWindow(m_display, gone);
        XSync(m_display, False);
        return gone;
    }

    std::unique_ptr<sys::Window> m_window;
    Display* m_display = nullptr;
};

} // namespace

TEST_F(XErrorWatchTest, EachKindIsLoggedOnceWithItsRequestAndResourceButNotWhileAContextIsMade) {
    const ::Window gone = goneWindow();
    for (int twice = 0; twice < 2; ++twice) XMapWindow(m_display, gone);
    const Pixmap pixmap = XCreatePixmap(m_display, DefaultRootWindow(m_display), 1, 1, 24);
    XFreePixmap(m_display, pixmap);
    XFreePixmap(m_display, pixmap);
    XSync(m_display, False);
    {
        // A driver refusing a context: the device tells of it, not the log.
        sys::XErrorWatch making(m_window->nativeHandle());
        XUnmapWindow(m_display, gone);
    }
    ASSERT_EQ(g_lines.size(), 2u) << (g_lines.empty() ? "" : g_lines.back());
    char resource[32];
    std::snprintf(resource, sizeof resource, "resource 0x%lx", gone);
    EXPECT_NE(g_lines[0].find("X error BadWindow"), std::string::npos) << g_lines[0];
    EXPECT_NE(g_lines[0].find(", code 3, on request X_MapWindow 8.0"), std::string::npos) << g_lines[0];
    EXPECT_NE(g_lines[0].find(resource), std::string::npos) << g_lines[0];
    EXPECT_NE(g_lines[1].find("X error BadPixmap"), std::string::npos) << g_lines[1];
    EXPECT_NE(g_lines[1].find(", code 4, on request X_FreePixmap 54.0"), std::string::npos) << g_lines[1];
    // The kind passed over while the context was made is still logged when it comes outside.
    XUnmapWindow(m_display, gone);
    XSync(m_display, False);
    ASSERT_EQ(g_lines.size(), 3u);
    EXPECT_NE(g_lines[2].find("request X_UnmapWindow 10.0"), std::string::npos) << g_lines[2];
}
