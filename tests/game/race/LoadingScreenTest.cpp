// The loading screen on the game's GUI set-up over the demo data, drawn on a
// 1024 x 768 back buffer under the virtual display and read back.
#include <gtest/gtest.h>

#include <CEGUI/CEGUI.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/platform/gui/GuiContext.h"
#include "engine/platform/input/InputDevice.h"
#include "engine/render/Renderer.h"
#include "engine/scene/SceneRenderer.h"
#include "game/race/LoadingScreen.h"
#include "sys/gfx/Device.h"
#include "sys/gfx/SurfaceImage.h"
#include "sys/window/Window.h"
#include "tests/game/race/RaceTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/support/WindowedDevice.h"

namespace {

class LoadingScreenDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("PLIMZOR_SETTINGS", m_dir.file("none").c_str(), 1);
        // The GUI library writes its log into the working directory.
        m_workingDirectory = std::filesystem::current_path();
        std::filesystem::current_path(m_dir.path());
        if (!sys::Window::videoAvailable()) GTEST_SKIP() << "no display: the test needs X (xvfb-run -a)";
        m_render = makeWindowedDevice(1024, 768);
        ASSERT_NE(m_render, nullptr);
        m_renderer = std::make_unique<SceneRenderer>(*m_render);
        m_gui = std::make_unique<GuiContext>();
        ASSERT_TRUE(setupCegui(*m_renderer, *m_gui, m_input, demoArchive()));
    }
    void TearDown() override {
        m_gui.reset();
        m_renderer.reset();
        m_render.reset();
        unsetenv("PLIMZOR_SETTINGS");
        std::filesystem::current_path(m_workingDirectory);
    }

    sys::gfx::RgbImage readBack() {
        sys::gfx::RgbImage image;
        sys::gfx::Surface* back = nullptr;
        m_renderer->m_currentDevice->getBackBuffer(0, 0, 0, &back);
        EXPECT_TRUE(back && sys::gfx::readSurface(*back, image));
        if (back) back->release();
        return image;
    }
    // Where a frame differs from the frame before the bar grew: the bar's pixels and their bounds.
    struct Bar {
        int pixels = 0, left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    };
    static Bar barOf(const sys::gfx::RgbImage& empty, const sys::gfx::RgbImage& image) {
        Bar bar;
        for (int y = 0; y < int(image.height); ++y)
            for (int x = 0; x < int(image.width); ++x) {
                const size_t at = (size_t(y) * image.width + x) * 3;
                if (std::equal(&image.rgb[at], &image.rgb[at + 3], &empty.rgb[at])) continue;
                ++bar.pixels;
                bar.left = std::min(bar.left, x), bar.right = std::max(bar.right, x);
                bar.top = std::min(bar.top, y), bar.bottom = std::max(bar.bottom, y);
            }
        return bar;
    }

    TempDir m_dir;
    std::filesystem::path m_workingDirectory;
    std::unique_ptr<RenderDevice> m_render;
    std::unique_ptr<Renderer> m_renderer;
    InputDevice m_input;
    std::unique_ptr<GuiContext> m_gui;
};

} // namespace

TEST_F(LoadingScreenDrawing, FullProgressDrawsAnEightHundredSixtyPixelBarFromX81) {
    LoadingScreen screen(m_gui.get());
    screen.show();
    screen.setProgress(0.0f);
    const sys::gfx::RgbImage empty = readBack();
    ASSERT_EQ(empty.width, 1024u);
    ASSERT_EQ(empty.height, 768u);
    screen.setProgress(100.0f);
    Bar bar = barOf(empty, readBack());
    EXPECT_EQ(bar.pixels, 860 * 25);
    EXPECT_EQ(bar.left, 81);
    EXPECT_EQ(bar.right, 940);
    EXPECT_EQ(bar.top, 678);
    EXPECT_EQ(bar.bottom, 702);

    screen.setProgress(60.0f);
    const sys::gfx::RgbImage image = readBack();
    bar = barOf(empty, image);
    EXPECT_EQ(bar.pixels, 516 * 25);
    EXPECT_EQ(bar.right, 81 + 516 - 1);
    const char* png = std::getenv("PLIMZOR_LOADING_PNG");
    EXPECT_TRUE(sys::gfx::writePng(image, png ? png : m_dir.file("loading-60.png")));
}

TEST_F(LoadingScreenDrawing, ShowsOnceAndLoadsItsPicturesAgainAfterHiding) {
    LoadingScreen screen(m_gui.get());
    screen.show();
    CEGUI::Window* window = screen.m_window;
    screen.show();
    EXPECT_EQ(screen.m_window, window);
    EXPECT_EQ(window->getChildCount(), 2u);
    EXPECT_EQ(m_gui->m_guiContext->getRootWindow(), window);

    screen.hide();
    EXPECT_FALSE(screen.m_shown);
    EXPECT_FALSE(CEGUI::ImageManager::getSingleton().isDefined("LoadingScreen/Bar"));
    // Hidden there is no bar: a report changes nothing.
    screen.setProgress(50.0f);
    EXPECT_EQ(screen.m_progress, 0.0f);

    screen.show();
    ASSERT_TRUE(screen.m_shown);
    EXPECT_TRUE(CEGUI::ImageManager::getSingleton().isDefined("LoadingScreen/Bar"));
    g_loadingScreen = &screen;
    reportLoadingProgress(0.0f);
    const sys::gfx::RgbImage empty = readBack();
    reportLoadingProgress(100.0f);
    g_loadingScreen = nullptr;
    EXPECT_EQ(barOf(empty, readBack()).pixels, 860 * 25);
    screen.hide();
    screen.hide();
}

TEST(LoadingScreenWithoutGui, DoesNothing) {
    LoadingScreen screen(nullptr);
    screen.show();
    screen.setProgress(40.0f);
    screen.render();
    EXPECT_FALSE(screen.m_shown);
    EXPECT_EQ(screen.m_window, nullptr);
    screen.hide();
}
