#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include <CEGUI/CEGUI.h>
#include <CEGUI/RendererModules/Null/Renderer.h>

#include "engine/platform/gui/GuiResourceProvider.h"
#include "game/displays/LapDisplay.h"
#include "game/displays/PositionDisplay.h"
#include "game/displays/TimeDisplay.h"
#include "tests/support/DemoArchive.h"

namespace {

// Keeps the library from writing CEGUI.log into the working folder.
class SilentLogger : public CEGUI::Logger {
public:
    void logEvent(const CEGUI::String&, CEGUI::LoggingLevel) override {}
    void setLogFilename(const CEGUI::String&, bool) override {}
};

// The GUI library without a device, on the demo data's scheme and fonts.
class TextDisplays : public ::testing::Test {
protected:
    void SetUp() override {
        m_logger = std::make_unique<SilentLogger>();
        m_renderer = &CEGUI::NullRenderer::create();
        m_renderer->setDisplaySize(CEGUI::Sizef(1024, 768));
        m_provider = std::make_unique<GuiResourceProvider>(demoArchive());
        CEGUI::System::create(*m_renderer, m_provider.get());
        CEGUI::SchemeManager::getSingleton().createFromFile("Quillfen.scheme");
        CEGUI::FontManager::getSingleton().createFromFile("VerdanaLargeItalic.font");
        m_root = CEGUI::WindowManager::getSingleton().createWindow("DefaultWindow", "Root");
        CEGUI::System::getSingleton().getDefaultGUIContext().setRootWindow(m_root);
    }
    void TearDown() override {
        CEGUI::System::destroy();
        CEGUI::NullRenderer::destroy(*m_renderer);
    }

    static std::string cells(const TextDisplay& display, int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += display.cell(i)->getText().c_str();
        return text;
    }

    std::unique_ptr<SilentLogger> m_logger;
    CEGUI::NullRenderer* m_renderer = nullptr;
    std::unique_ptr<GuiResourceProvider> m_provider;
    CEGUI::Window* m_root = nullptr;
};

} // namespace

TEST_F(TextDisplays, TimesShowWhatTheResultShowsUpToTheirLimit) {
    TimeDisplay time(m_root, "Time", 707.0f, 20.0f);
    for (float none : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        time.setTime(none);
        EXPECT_EQ(cells(time, 8), "--:--:--") << none;
    }
    // The panel and the result tables give every time the same text.
    for (float seconds : {83.456f, 3600.0f, 5664.645f, 5999.99f}) {
        time.setTime(seconds);
        CEGUI::String result;
        GuiHelper::formatTime(seconds, result);
        EXPECT_EQ(cells(time, 8), result.c_str()) << seconds;
    }
    time.setTime(5664.645f);
    EXPECT_EQ(cells(time, 8), "94:24:65") << "an hour and more keeps its hours";
    for (float limit : {5999.996f, 6000.0f}) {
        time.setTime(limit);
        EXPECT_EQ(cells(time, 8), "99:59:99") << limit;
    }
    time.setTime(std::numeric_limits<float>::infinity());
    EXPECT_EQ(cells(time, 8), "99:59:99");
    time.setTime(0.0f);
    EXPECT_EQ(cells(time, 8), "--:--:--");
}

TEST_F(TextDisplays, LapsAndPlacesFillTheirCellsAndDropWhatTheRaceLacks) {
    LapDisplay lap(m_root, "Lap", 25.0f, 20.0f);
    lap.setLap(0, 3, false);
    EXPECT_EQ(cells(lap, 3), "1/3");
    lap.setLap(5, 3, false);
    EXPECT_EQ(cells(lap, 3), "3/3");
    lap.setLap(12, 0, true);
    EXPECT_EQ(cells(lap, 3), "12");
    EXPECT_EQ(std::string(lap.cell(2)->getText().c_str()), "");
    lap.setLap(7, 0, true);
    EXPECT_EQ(cells(lap, 3), "7");
    lap.setLap(2, 3, false);
    EXPECT_EQ(cells(lap, 3), "2/3");

    PositionDisplay place(m_root, "Place", 25.0f, 60.0f);
    place.setPosition(2);
    place.setCount(5);
    EXPECT_EQ(cells(place, 3), "2/5");
    place.setCount(-1);
    EXPECT_EQ(cells(place, 3), "2");
    place.setPosition(0);
    place.setCount(0);
    EXPECT_EQ(cells(place, 3), "-/-");
}

TEST_F(TextDisplays, RowStandsHiddenAfterItsLabelUntilShown) {
    TimeDisplay time(m_root, "Best", 707.0f, 60.0f);
    EXPECT_FALSE(time.label()->isVisible());
    EXPECT_FALSE(time.cell(7)->isVisible());
    EXPECT_EQ(time.cell(8), nullptr);
    const CEGUI::UVector2 first = time.cell(0)->getPosition();
    EXPECT_FLOAT_EQ(first.d_x.d_scale * 1024.0f, 707.0f + 160.0f + 10.0f);
    EXPECT_FLOAT_EQ(time.cell(3)->getPosition().d_x.d_scale * 1024.0f, 707.0f + 160.0f + 10.0f + 3 * 16.0f);
    EXPECT_FLOAT_EQ(first.d_y.d_scale * 768.0f, 60.0f);
    time.setVisible(true);
    EXPECT_TRUE(time.label()->isVisible());
    EXPECT_TRUE(time.cell(7)->isVisible());
}
