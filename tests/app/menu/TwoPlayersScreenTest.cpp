#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "app/menu/MainMenuScreen.h"
#include "app/menu/TwoPlayersScreen.h"
#include "engine/scene/LW6Scene.h"
#include "game/drivers/ControllerAI.h"
#include "game/drivers/ControllerUser1.h"
#include "game/drivers/ControllerUser2.h"
#include "game/karts/Vehicle.h"
#include "game/race/Race.h"
#include "tests/app/menu/MenuFixture.h"

namespace {

using W = TwoPlayersScreen::Widget;

class TwoPlayersTest : public MenuTest {
protected:
    // The menu in English, on the two-player screen as the main menu opens it.
    TwoPlayersScreen& open() {
        setUp(1);
        click(m_menu.mainMenu->button(MainMenuScreen::TWO_PLAYERS));
        menuFrame(m_menu);
        EXPECT_EQ(m_menu.current, m_menu.twoPlayers.get());
        EXPECT_EQ(sheet(), m_menu.twoPlayers->root());
        return static_cast<TwoPlayersScreen&>(*m_menu.twoPlayers);
    }
    void setMopeds(int32_t model1, int32_t colour1, int32_t model2, int32_t colour2) {
        Config::Settings& s = m_config->m_settings;
        s.m_twoPlayerModel1 = model1;
        s.m_twoPlayerColour1 = colour1;
        s.m_twoPlayerModel2 = model2;
        s.m_twoPlayerColour2 = colour2;
    }
    std::string image(const TwoPlayersScreen& screen) const {
        return screen.widget(W::TRACK_PICTURE)->getProperty("Image").c_str();
    }
    const Config::Settings& settings() const { return m_config->m_settings; }
};

} // namespace

TEST_F(TwoPlayersTest, MopedChoosersWrapAndStepPastTheOtherPlayersMoped) {
    TwoPlayersScreen& screen = open();
    const int clicks = click()->plays;

    setMopeds(0, 0, 0, 1);
    click(screen.widget(W::COLOUR1_DOWN));
    EXPECT_EQ(settings().m_twoPlayerColour1, 2);
    EXPECT_EQ(text(screen.widget(W::COLOUR1)), "Pink");

    setMopeds(0, 0, 0, 3);
    click(screen.widget(W::COLOUR1_UP));
    EXPECT_EQ(settings().m_twoPlayerColour1, 2);

    setMopeds(3, 0, 4, 0);
    click(screen.widget(W::MODEL1_RIGHT));
    EXPECT_EQ(settings().m_twoPlayerModel1, 0);
    EXPECT_EQ(text(screen.widget(W::MODEL1)), "Hektor 50");

    // The second player's choosers pass the first player's moped the same way.
    setMopeds(1, 2, 0, 2);
    click(screen.widget(W::MODEL2_RIGHT));
    EXPECT_EQ(settings().m_twoPlayerModel2, 2);
    EXPECT_EQ(text(screen.widget(W::MODEL2)), "Swift City");
    click(screen.widget(W::MODEL2_LEFT));
    click(screen.widget(W::MODEL2_LEFT));
    EXPECT_EQ(settings().m_twoPlayerModel2, 4);
    setMopeds(0, 1, 0, 2);
    click(screen.widget(W::COLOUR2_UP));
    EXPECT_EQ(settings().m_twoPlayerColour2, 0);
    click(screen.widget(W::COLOUR2_DOWN));
    EXPECT_EQ(settings().m_twoPlayerColour2, 2);
    EXPECT_EQ(click()->plays, clicks + 8);

    // Equal mopeds from the file are told apart on the next entry.
    setMopeds(2, 3, 2, 3);
    switchScreen(m_menu, m_menu.mainMenu.get());
    switchScreen(m_menu, &screen);
    EXPECT_EQ(settings().m_twoPlayerModel2, 2);
    EXPECT_EQ(settings().m_twoPlayerColour2, 0);
    EXPECT_EQ(text(screen.widget(W::COLOUR2)), "Blue");
    EXPECT_EQ(text(screen.widget(W::MODEL2)), "Swift City");
    menuTeardown(m_menu);
}

TEST_F(TwoPlayersTest, ChampionshipLocksTrackAndLapsAndSingleRaceFreesThem) {
    TwoPlayersScreen& screen = open();
    // A fresh configuration races the championship.
    EXPECT_EQ(settings().m_twoPlayerMode, Race::CHAMPIONSHIP);
    EXPECT_EQ(text(screen.widget(W::MODE)), "Championship");
    EXPECT_EQ(image(screen), "Tracks_mini/Championship");
    EXPECT_EQ(text(screen.widget(W::TRACK)), "Championship");
    EXPECT_TRUE(screen.widget(W::TRACK_LEFT)->isDisabled());
    // The laps a championship race has, between greyed arrows.
    EXPECT_TRUE(screen.widget(W::LAPS)->isVisible());
    EXPECT_EQ(text(screen.widget(W::LAPS)), "Laps: 3");
    EXPECT_TRUE(screen.widget(W::LAPS_RIGHT)->isDisabled());
    click(screen.widget(W::TRACK_RIGHT));
    EXPECT_EQ(settings().m_twoPlayerTrack, 0);

    click(screen.widget(W::MODE_LEFT));
    EXPECT_EQ(settings().m_twoPlayerMode, Race::SINGLE_RACE);
    EXPECT_EQ(text(screen.widget(W::MODE)), "Single Race");
    EXPECT_EQ(image(screen), "Tracks_mini/Track1");
    EXPECT_EQ(text(screen.widget(W::TRACK)), "Multi-Storey Car Park");
    EXPECT_FALSE(screen.widget(W::TRACK_RIGHT)->isDisabled());
    EXPECT_TRUE(screen.widget(W::LAPS)->isVisible());
    EXPECT_FALSE(screen.widget(W::LAPS_LEFT)->isDisabled());
    EXPECT_EQ(text(screen.widget(W::LAPS)), "Laps: 3");

    click(screen.widget(W::TRACK_LEFT));
    EXPECT_EQ(settings().m_twoPlayerTrack, 5);
    EXPECT_EQ(image(screen), "Tracks_mini/Track6");
    EXPECT_EQ(text(screen.widget(W::TRACK)), "Country Road");
    click(screen.widget(W::TRACK_RIGHT));
    EXPECT_EQ(settings().m_twoPlayerTrack, 0);
    click(screen.widget(W::LAPS_RIGHT));
    click(screen.widget(W::LAPS_RIGHT));
    click(screen.widget(W::LAPS_RIGHT));
    EXPECT_EQ(settings().m_twoPlayerLaps, 1);
    EXPECT_EQ(text(screen.widget(W::LAPS)), "Laps: 1");
    click(screen.widget(W::LAPS_LEFT));
    EXPECT_EQ(settings().m_twoPlayerLaps, 5);

    // The choices stay for the next visit; a championship always starts on the first track.
    click(screen.widget(W::TRACK_RIGHT));
    switchScreen(m_menu, m_menu.mainMenu.get());
    switchScreen(m_menu, &screen);
    EXPECT_EQ(image(screen), "Tracks_mini/Track2");
    EXPECT_EQ(text(screen.widget(W::LAPS)), "Laps: 5");
    click(screen.widget(W::MODE_RIGHT));
    EXPECT_EQ(settings().m_twoPlayerTrack, 0);
    EXPECT_EQ(image(screen), "Tracks_mini/Championship");
    EXPECT_EQ(text(screen.widget(W::LAPS)), "Laps: 3") << "not the single race's 5";
    menuTeardown(m_menu);
}

TEST_F(TwoPlayersTest, OkStartsASplitScreenRaceWithThreeComputerRidersAndBackReturns) {
    Config& config = *m_config;
    std::strcpy(config.m_settings.m_playerName1, "Anna");
    std::strcpy(config.m_settings.m_playerName2, "Bert");
    // What an earlier LAN race left behind.
    config.m_playMode = 2;
    config.m_isHost = false;
    for (int slot = 0; slot < Config::RIDERS; ++slot) {
        config.m_playerKind[slot] = 3;
        Config::Player& rider = *config.m_player[slot].modify();
        rider.model = 3;
        rider.colour = 2;
        rider.startRank = 9;
        rider.points = 40;
        rider.totalTime = 12.5f;
        std::strcpy(rider.name, "Old");
    }
    TwoPlayersScreen& screen = open();
    click(screen.widget(W::MODE_LEFT));
    click(screen.widget(W::TRACK_LEFT));
    click(screen.widget(W::LAPS_LEFT));
    click(screen.widget(W::COLOUR2_DOWN));

    // Both players' mopeds show in their own frames.
    sys::gfx::RecordingDevice& device = m_device.recording();
    device.clearCalls();
    menuFrame(m_menu);
    std::vector<std::string> viewports;
    for (const std::string& call : device.calls())
        if (call.rfind("setViewport", 0) == 0 && (viewports.empty() || viewports.back() != call))
            viewports.push_back(call);
    EXPECT_EQ(viewports, (std::vector<std::string>{"setViewport 150 10 322 256 0 1", "setViewport 0 0 1024 768 0 1",
                                                   "setViewport 559 10 322 256 0 1", "setViewport 0 0 1024 768 0 1"}));
    for (int s = 0; s < Menu::PREVIEW_SCENES; ++s)
        EXPECT_EQ(m_menu.carScenes[s]->m_lastParticleTime >= 0.0, s == 0 || s == 1 * 4 + 2) << s;

    for (NetValue<Config::Player>& rider : config.m_player) rider.commit();
    click(screen.widget(W::OK));
    menuFrame(m_menu);
    EXPECT_TRUE(m_menu.startRace);
    EXPECT_EQ(screen.result(), -1);
    EXPECT_EQ(sheet(), nullptr);

    EXPECT_EQ(config.m_playMode, 1);
    EXPECT_EQ(config.m_game.get(), 1);
    EXPECT_EQ(config.m_track.get(), 5);
    EXPECT_EQ(config.m_laps.get(), 2);
    EXPECT_TRUE(config.m_isHost);
    const int32_t kinds[] = {1, 2, 5, 5, 5};
    const int32_t models[] = {0, 1, -1, -1, -1};
    const int32_t colours[] = {0, 2, -1, -1, -1};
    const int32_t ranks[] = {4, 3, 2, 1, 0};
    const char* const names[] = {"Anna", "Bert", "", "", ""};
    for (int slot = 0; slot < Config::RIDERS; ++slot) {
        const Config::Player& rider = config.m_player[slot].get();
        EXPECT_EQ(config.m_playerKind[slot], kinds[slot]) << slot;
        EXPECT_EQ(rider.model, models[slot]) << slot;
        EXPECT_EQ(rider.colour, colours[slot]) << slot;
        EXPECT_EQ(rider.startRank, ranks[slot]) << slot;
        EXPECT_STREQ(rider.name, names[slot]) << slot;
        EXPECT_EQ(rider.points, 0) << slot;
        EXPECT_EQ(rider.totalTime, 0.0f) << slot;
        EXPECT_TRUE(config.m_player[slot].isChanged()) << slot;
    }

    m_menu.startRace = false;
    switchScreen(m_menu, &screen);
    click(screen.widget(W::BACK));
    EXPECT_EQ(screen.result(), 1);
    menuFrame(m_menu);
    EXPECT_FALSE(m_menu.startRace);
    EXPECT_EQ(m_menu.current, m_menu.mainMenu.get());

    // A championship races three laps from the first track, whatever the single race held.
    switchScreen(m_menu, &screen);
    click(screen.widget(W::MODE_RIGHT));
    click(screen.widget(W::OK));
    menuFrame(m_menu);
    EXPECT_TRUE(m_menu.startRace);
    EXPECT_EQ(config.m_game.get(), 3);
    EXPECT_EQ(config.m_track.get(), 0);
    EXPECT_EQ(config.m_laps.get(), 3);
    EXPECT_EQ(config.m_settings.m_twoPlayerLaps, 2);
    menuTeardown(m_menu);

    // The race gives the players a view each, their own keys and their mopeds; the computer riders get the rest.
    Race race;
    ASSERT_TRUE(race.setup(&demoArchive(), nullptr, m_config.get()));
    EXPECT_EQ(race.m_vehicleCount, 5);
    EXPECT_EQ(race.m_viewCount, 2);
    EXPECT_NE(dynamic_cast<ControllerUser1*>(race.m_vehicles[0]->m_controller.get()), nullptr);
    EXPECT_NE(dynamic_cast<ControllerUser2*>(race.m_vehicles[1]->m_controller.get()), nullptr);
    EXPECT_NE(race.m_vehicles[1]->m_mopedFile.find("kreidler_pink"), std::string::npos)
        << race.m_vehicles[1]->m_mopedFile;
    std::set<int32_t> computerModels;
    for (int slot = 2; slot < Config::RIDERS; ++slot) {
        EXPECT_NE(dynamic_cast<ControllerAI*>(race.m_vehicles[slot]->m_controller.get()), nullptr) << slot;
        computerModels.insert(config.m_player[slot].get().model);
    }
    EXPECT_EQ(computerModels, (std::set<int32_t>{2, 3, 4})) << "computer riders on mopeds no player rides";
    race.teardown();
}
