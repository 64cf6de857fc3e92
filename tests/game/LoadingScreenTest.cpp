// The loading screen on the game's GUI set-up over the demo data, drawn on a
// 1024 x 768 back buffer under the virtual display and read back.
#include <gtest/gtest.h>

#include <CEGUI/CEGUI.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/platform/GuiContext.h"
#include "engine/platform/InputDevice.h"
#include "engine/render/Renderer.h"
#include "game/LoadingScreen.h"
#include "sys/gfx/Device.h"
#include "sys/gfx/SurfaceImage.h"
#include "sys/window/Window.h"
#include "tests/game/race/RaceTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/support/WindowedDevice.h"

namespace {

constexpr int BAR_ROW = 690;

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
        m_renderer = std::make_unique<Renderer>(*m_render);
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
    // The bar is amber; the trough under it and the picture around it are not.
    static bool isBar(const sys::gfx::RgbImage& image, int x, int y) {
        const uint8_t* p = &image.rgb[(size_t(y) * image.width + x) * 3];
        return p[0] > 0xA0 && p[1] > 0x50 && p[2] < 0x60 && p[0] > p[2] + 0x60;
    }
    static int barPixelsInRow(const sys::gfx::RgbImage& image, int y, int& first) {
        int count = 0;
        first = -1;
        for (int x = 0; x < int(image.width); ++x) {
            if (!isBar(image, x, y)) continue;
            if (first < 0) first = x;
            ++count;
        }
        return count;
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
    screen.setProgress(100.0f);
    sys::gfx::RgbImage image = readBack();
    ASSERT_EQ(image.width, 1024u);
    ASSERT_EQ(image.height, 768u);
    int first = 0;
    EXPECT_EQ(barPixelsInRow(image, BAR_ROW, first), 860);
    EXPECT_EQ(first, 81);
    int height = 0;
    for (int y = 0; y < 768; ++y) height += isBar(image, 500, y);
    EXPECT_EQ(height, 25);
    EXPECT_TRUE(isBar(image, 500, 678));
    EXPECT_TRUE(isBar(image, 500, 702));

    screen.setProgress(60.0f);
    image = readBack();
    EXPECT_EQ(barPixelsInRow(image, BAR_ROW, first), 516);
    EXPECT_EQ(first, 81);
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
    reportLoadingProgress(100.0f);
    g_loadingScreen = nullptr;
    int first = 0;
    EXPECT_EQ(barPixelsInRow(readBack(), BAR_ROW, first), 860);
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
