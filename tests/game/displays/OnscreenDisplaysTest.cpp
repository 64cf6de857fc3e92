#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <CEGUI/CEGUI.h>

#include "game/displays/OnscreenDisplays.h"
#include "game/records/TextTable.h"
#include "tests/game/race/RaceTestSupport.h"
#include "tests/support/NullGui.h"

namespace {

struct Rect {
    float x, y, width, height;
};

// A window's rectangle in pixels of the 1024 x 768 screen (every display window is a child of the root).
Rect pixels(const CEGUI::Window* window) {
    const CEGUI::UVector2 at = window->getPosition();
    const CEGUI::USize size = window->getSize();
    return {at.d_x.d_scale * 1024.0f, at.d_y.d_scale * 768.0f, size.d_width.d_scale * 1024.0f,
            size.d_height.d_scale * 768.0f};
}

// The visible children of the root showing the image.
std::vector<const CEGUI::Window*> showing(const CEGUI::Window* root, const std::string& image) {
    std::vector<const CEGUI::Window*> found;
    for (size_t i = 0; i < root->getChildCount(); ++i) {
        const CEGUI::Window* child = root->getChildAtIdx(i);
        if (child->isPropertyPresent("Image") && child->getProperty("Image") == image && child->isVisible())
            found.push_back(child);
    }
    return found;
}

// The displays of a race without a scene, drawn by the GUI library on its null renderer.
class OnscreenDisplaysGui : public ::testing::Test {
protected:
    std::unique_ptr<OnscreenDisplays> build(int views, int track = 0, int riders = 5) {
        m_config = std::make_unique<RaceConfig>(Race::SINGLE_RACE, track);
        m_config->config().m_playMode = views == 2 ? Race::SPLIT_SCREEN : Race::ONE_PLAYER;
        m_race = std::make_unique<Race>(nullptr, &m_gui.context);
        m_race->m_config = &m_config->config();
        m_race->m_viewCount = views;
        m_race->m_vehicleCount = riders;
        m_race->m_raceTexts = std::make_unique<TextTable>("D:\\Vantorik/menu/IngameTexts.xml", demoArchive());
        m_race->m_raceTexts->m_language = 1;
        return std::unique_ptr<OnscreenDisplays>(OnscreenDisplays::create(*m_race));
    }

    NullGui m_gui;
    std::unique_ptr<RaceConfig> m_config;
    std::unique_ptr<Race> m_race;
};

void expectRect(const CEGUI::Window* window, Rect expected) {
    ASSERT_NE(window, nullptr);
    const Rect got = pixels(window);
    EXPECT_NEAR(got.x, expected.x, 0.05f);
    EXPECT_NEAR(got.y, expected.y, 0.05f);
    EXPECT_NEAR(got.width, expected.width, 0.05f);
    EXPECT_NEAR(got.height, expected.height, 0.05f);
}

} // namespace

TEST_F(OnscreenDisplaysGui, OneViewPlacesCountdownMapAndDotsOnTheWholeScreen) {
    auto displays = build(1);
    const CEGUI::Window* root = m_gui.root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getName(), "Ingame/RootWindow");

    // The countdown pictures follow one another in the race's order: three, two, one, go.
    const char* const order[] = {"Countdown/Count1", "Countdown/Count2", "Countdown/Count3", "Countdown/Count4"};
    displays->setCountdownVisible(0, true);
    for (int i = 0; i < 4; ++i) {
        displays->showCountdown(0, 3 - i);
        const auto shown = showing(root, order[i]);
        ASSERT_EQ(shown.size(), 1u) << order[i];
        expectRect(shown[0], {358.4f, -9.6f, 307.2f, 307.2f});
    }
    displays->showCountdown(0, 4);
    EXPECT_EQ(showing(root, "Countdown/Count4").size(), 1u);

    const auto maps = showing(root, "Minimap_Track01/Minimap");
    ASSERT_EQ(maps.size(), 1u);
    expectRect(maps[0], {655.6f, 399.6f, 358.4f, 358.4f});
    // Five riders' dots; the view's own rider green, rockets not yet.
    displays->setMinimapDotImage(0, 0, OnscreenDisplays::GREEN);
    EXPECT_EQ(showing(root, "Minimap_Objects/Green").size(), 1u);
    EXPECT_EQ(showing(root, "Minimap_Objects/Red").size(), 4u);
    EXPECT_TRUE(showing(root, "Minimap_Objects/Blue").empty());

    displays->placeMinimapDot(0, 0.0f, 0.0f);
    const auto own = showing(root, "Minimap_Objects/Green");
    expectRect(own[0], {829.2f, 573.2f, 11.9f, 11.9f});
    // A rocket's dot shows once it flies, and a position off the map is not held on it.
    displays->setMinimapDotVisible(OnscreenDisplays::ROCKET_DOT + 2, true);
    displays->placeMinimapDot(OnscreenDisplays::ROCKET_DOT + 2, 300.0f, -300.0f);
    const auto rockets = showing(root, "Minimap_Objects/Blue");
    ASSERT_EQ(rockets.size(), 1u);
    EXPECT_NEAR(pixels(rockets[0]).x, 655.6f + 550.0f / 500.0f * 358.4f - 5.6f, 0.05f);
    EXPECT_NEAR(pixels(rockets[0]).y, 399.6f + 358.4f + 50.0f / 500.0f * 358.4f - 5.6f, 0.05f);
}

TEST_F(OnscreenDisplaysGui, TwoViewsHaveTheirOwnHalfScreenOverlaysCountdownsAndMaps) {
    auto displays = build(2);
    const CEGUI::Window* root = m_gui.root();
    for (int v = 0; v < 2; ++v) {
        displays->setCountdownVisible(v, true);
        displays->showCountdown(v, 0);
        displays->setFlashOverlay(v, 1.0f, 1.0f, 1.0f, 1.0f);
    }
    const auto countdowns = showing(root, "Countdown/Count4");
    ASSERT_EQ(countdowns.size(), 2u);
    expectRect(countdowns[0], {435.2f, -4.8f, 153.6f, 153.6f});
    expectRect(countdowns[1], {435.2f, 384.0f - 4.8f, 153.6f, 153.6f});

    const auto maps = showing(root, "Minimap_Track01/Minimap");
    ASSERT_EQ(maps.size(), 2u);
    expectRect(maps[0], {758.0f, 118.0f, 256.0f, 256.0f});
    expectRect(maps[1], {758.0f, 502.0f, 256.0f, 256.0f});
    displays->placeMinimapDot(3, 250.0f, 250.0f);
    EXPECT_NEAR(displays->m_views[1].dots[3].x, 1010.0f, 0.01f);
    EXPECT_NEAR(displays->m_views[1].dots[3].y, 498.0f, 0.01f);
    EXPECT_NEAR(displays->m_views[0].dots[3].y, 114.0f, 0.01f);

    // Each flash covers its own half; the first colour component is the blue byte.
    int overlays = 0;
    for (size_t i = 0; i < root->getChildCount(); ++i) {
        const CEGUI::Window* child = root->getChildAtIdx(i);
        if (!child->isVisible() || !child->isPropertyPresent("BackgroundEnabled") ||
            child->getProperty("BackgroundEnabled") != "true")
            continue;
        expectRect(child, {0.0f, 384.0f * overlays, 1024.0f, 384.0f});
        ++overlays;
    }
    EXPECT_EQ(overlays, 2);
    displays->setFlashOverlay(1, 1.0f, 0.0f, 0.0f, 0.25f);
    EXPECT_EQ(displays->m_views[1].flashColour[0], 1.0f);
    displays->setFlashOverlay(0, 0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_FALSE(displays->m_views[0].flashVisible);
}

TEST_F(OnscreenDisplaysGui, PanelsShowTheRacesNumbersAndTheHeldExtra) {
    auto displays = build(1);
    const CEGUI::Window* root = m_gui.root();
    displays->setLap(0, 2, 3);
    displays->setPosition(0, 4, 5);
    displays->setRaceTime(83.456f);
    // The panels' digits, in the order they were created: lap, place, then the times.
    std::string digits;
    for (size_t i = 0; i < root->getChildCount(); ++i) {
        const CEGUI::Window* child = root->getChildAtIdx(i);
        const CEGUI::String text = child->getText();
        if (child->isVisible() && text.length() == 1) digits += text.c_str();
    }
    EXPECT_EQ(digits.substr(0, 6), "2/34/5");
    EXPECT_EQ(digits.substr(6, 8), "01:23:46");

    EXPECT_TRUE(showing(root, "Extras/Extra3").empty());
    displays->setExtraIcon(0, 3);
    EXPECT_EQ(showing(root, "Extras/Extra3").size(), 1u);
    displays->setExtraIcon(0, 13);
    displays->setExtraIcon(0, -1);
    EXPECT_EQ(displays->m_views[0].extra, 3);
    displays->setExtraIcon(0, 0);
    EXPECT_TRUE(showing(root, "Extras/Extra0").empty());
}

// The race sets every HUD value each frame; the GUI is laid out and drawn
// again only for what changed.
TEST_F(OnscreenDisplaysGui, AFrameThatChangesNothingLeavesTheHudUntouched) {
    auto displays = build(2);
    CEGUI::GUIContext& gui = *m_gui.context.m_guiContext;
    auto frame = [&](float raceTime, int32_t extra, float flash) {
        for (int32_t v = 0; v < 2; ++v) {
            displays->setExtraIcon(v, extra);
            displays->setLap(v, 2, 3);
            displays->setLapTime(v, 12.34f);
            displays->setSecondaryTime(v, 0.0f);
            displays->setPosition(v, v + 1, 5);
            displays->setFlashOverlay(v, 1.0f, 1.0f, 1.0f, flash);
            displays->showCountdown(v, 2);
        }
        displays->setRaceTime(raceTime);
    };
    auto drawnAgain = [&](auto change) {
        m_gui.context.m_system->renderAllGUIContexts();
        EXPECT_FALSE(gui.isDirty());
        change();
        return gui.isDirty();
    };
    frame(61.5f, 2, 0.0f);
    EXPECT_FALSE(drawnAgain([&] { frame(61.5f, 2, 0.0f); }));
    EXPECT_TRUE(drawnAgain([&] { frame(61.75f, 2, 0.0f); }));
    EXPECT_TRUE(drawnAgain([&] { frame(61.75f, 4, 0.0f); }));
    EXPECT_TRUE(drawnAgain([&] { frame(61.75f, 4, 0.5f); }));
    EXPECT_FALSE(drawnAgain([&] { frame(61.75f, 4, 0.5f); }));
    // What changed shows: the hundredths, the held extra, the flash.
    std::string digits;
    for (size_t i = 0; i < m_gui.root()->getChildCount(); ++i) {
        const CEGUI::Window* child = m_gui.root()->getChildAtIdx(i);
        if (child->isVisible() && child->getText().length() == 1) digits += child->getText().c_str();
    }
    EXPECT_NE(digits.find("01:01:75"), std::string::npos) << digits;
    EXPECT_EQ(showing(m_gui.root(), "Extras/Extra4").size(), 2u);
    displays->setFlashOverlay(0, 0.0f, 0.0f, 0.0f, 0.25f);
    EXPECT_EQ(CEGUI::PropertyHelper<CEGUI::ColourRect>::fromString(
                  m_gui.root()->getChildAtIdx(0)->getProperty("BackgroundColours"))
                  .d_top_left.getARGB(),
              0xFF000000u);
}

TEST_F(OnscreenDisplaysGui, ASecondRaceBuildsAndShowsItsDisplaysAgain) {
    for (int track : {2, 2, 5}) {
        auto displays = build(1, track);
        const std::string map = "Minimap_Track0" + std::to_string(track + 1) + "/Minimap";
        EXPECT_EQ(showing(m_gui.root(), map).size(), 1u) << track;
        EXPECT_TRUE(CEGUI::ImageManager::getSingleton().isDefined(map));
        displays->setCountdownVisible(0, true);
        displays->showCountdown(0, 1);
        EXPECT_EQ(showing(m_gui.root(), "Countdown/Count3").size(), 1u);
        displays->destroy();
        EXPECT_EQ(m_gui.root(), nullptr);
        EXPECT_FALSE(CEGUI::ImageManager::getSingleton().isDefined(map));
        EXPECT_FALSE(CEGUI::ImageManager::getSingleton().isDefined("Countdown/Count3"));
    }
}

TEST_F(OnscreenDisplaysGui, ATrackWithoutAMapShowsNoMapAndNoDots) {
    auto displays = build(1, 7);
    displays->setMinimapDotVisible(0, true);
    displays->placeMinimapDot(0, 0.0f, 0.0f);
    EXPECT_FALSE(displays->m_views[0].minimapVisible);
    EXPECT_FALSE(displays->m_views[0].dots[0].visible);
    EXPECT_TRUE(showing(m_gui.root(), "Minimap_Objects/Red").empty());
    // Everything else is still built and goes again.
    displays->showPausePanels();
    EXPECT_TRUE(displays->m_views[0].pausePanel);
    displays->destroy();
    EXPECT_EQ(m_gui.root(), nullptr);
}
