// The race set-up screens on the demo data: their choosers, what they write
// into the configuration and what race set-up makes of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>

#include "app/menu/ChampionshipScreen.h"
#include "app/menu/MainMenuScreen.h"
#include "app/menu/SingleRaceScreen.h"
#include "app/menu/TimeTrialScreen.h"
#include "game/displays/OnscreenDisplays.h"
#include "game/drivers/ControllerAI.h"
#include "game/drivers/ControllerUserSingle.h"
#include "game/karts/Vehicle.h"
#include "game/race/Race.h"
#include "tests/app/menu/MenuFixture.h"
#include "tools/demodata/tracks/DemoTracks.h"

namespace {

std::string fileBytes(const char* name) {
    std::ifstream file(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class SetUpScreens : public MenuTest {
protected:
    // Opens the main menu's choice and returns the screen it switched to.
    template <typename Screen>
    Screen& open(MainMenuScreen::Button button) {
        click(m_menu.mainMenu->button(button));
        menuFrame(m_menu);
        auto* screen = dynamic_cast<Screen*>(m_menu.current);
        EXPECT_NE(screen, nullptr);
        return *screen;
    }
    // Riders an earlier game left behind: players of every kind with mopeds and standings.
    void leaveEarlierGame() {
        Config& config = *m_config;
        for (int slot = 0; slot < Config::RIDERS; ++slot) {
            Config::Player& rider = *config.m_player[slot].modify();
            rider.model = slot % 5;
            rider.colour = 2;
            rider.name[0] = 'X';
            rider.points = 30;
            rider.totalTime = 200.0f;
            rider.startRank = slot;
            config.m_playerKind[slot] = slot % 5;
        }
        config.m_playMode = Race::SPLIT_SCREEN;
        config.m_isHost = false;
    }
    void start(GuiScreen& screen) {
        click(screen.root()->getChildAtIdx(0)); // the OK button, created first
        EXPECT_EQ(screen.result(), 0);
        menuFrame(m_menu);
        EXPECT_TRUE(m_menu.startRace);
    }
    void expectComputerRidersInFront() {
        for (int slot = 1; slot < Config::RIDERS; ++slot) {
            const Config::Player& rider = m_config->m_player[slot].get();
            EXPECT_EQ(m_config->m_playerKind[slot], Race::COMPUTER) << slot;
            EXPECT_EQ(rider.model, -1) << slot;
            EXPECT_EQ(rider.colour, -1) << slot;
            EXPECT_STREQ(rider.name, "") << slot;
            EXPECT_EQ(rider.startRank, 4 - slot) << slot;
            EXPECT_EQ(rider.points, 0) << slot;
            EXPECT_EQ(rider.totalTime, 0.0f) << slot;
        }
    }
};

} // namespace

TEST_F(SetUpScreens, TimeTrialChoosersWrapInMemoryAndOkStartsARaceOfOneOnTheChoices) {
    setUp(1);
    leaveEarlierGame();
    Config::Settings& s = m_config->m_settings;
    s.m_timeTrialLaps = 0; // out of range, as no chooser leaves it
    const std::string savedFile = fileBytes(Config::FILE_NAME);
    TimeTrialScreen& screen = open<TimeTrialScreen>(MainMenuScreen::TIME_TRIAL);
    EXPECT_EQ(sheet(), screen.root());
    EXPECT_EQ(screen.root()->getName(), "TimeTrialScreen");
    for (const NetValue<Config::Player>& rider : m_config->m_player) EXPECT_EQ(rider.get().model, -1);
    EXPECT_EQ(text(screen.modelCaption()), "Hektor 50");
    EXPECT_EQ(text(screen.trackCaption()), "Multi-Storey Car Park");
    EXPECT_EQ(text(screen.lapsCaption()), "Laps: 3");
    EXPECT_FALSE(screen.colourCaption()->isVisible());

    screen.onModelPrev();
    EXPECT_EQ(s.m_timeTrialModel.value, 4);
    EXPECT_EQ(text(screen.modelCaption()), "Kaze X50");
    screen.onModelNext();
    screen.onModelNext();
    screen.onColourPrev();
    EXPECT_EQ(s.m_timeTrialColour.value, 3);
    EXPECT_EQ(text(screen.colourCaption()), "Red");
    screen.onColourNext();
    screen.onColourNext();
    screen.onTrackPrev();
    EXPECT_EQ(s.m_timeTrialTrack.value, 5);
    screen.onTrackNext();
    screen.onTrackNext();
    EXPECT_EQ(screen.trackPicture()->getProperty("Image"), "Tracks/Track2");
    EXPECT_EQ(text(screen.trackCaption()), "Shopping Centre");
    for (int32_t laps : {2, 1, 5}) {
        screen.onLapsPrev();
        EXPECT_EQ(s.m_timeTrialLaps, laps);
    }
    screen.onLapsNext();
    EXPECT_EQ(s.m_timeTrialLaps, 1);
    screen.onLapsNext();
    EXPECT_EQ(text(screen.lapsCaption()), "Laps: 2");
    // Each arrow steps its own choice: by the root's children in the order of creation.
    const std::pair<int, int32_t*> arrows[] = {{2, &s.m_timeTrialColour.value}, {3, &s.m_timeTrialColour.value},
                                               {5, &s.m_timeTrialModel.value},  {6, &s.m_timeTrialModel.value},
                                               {10, &s.m_timeTrialTrack.value}, {11, &s.m_timeTrialTrack.value},
                                               {13, &s.m_timeTrialLaps},        {14, &s.m_timeTrialLaps}};
    for (int a = 0; a < 8; a += 2) {
        const int32_t before = *arrows[a].second;
        click(screen.root()->getChildAtIdx(arrows[a].first));
        EXPECT_EQ(*arrows[a].second, before - 1) << arrows[a].first;
        click(screen.root()->getChildAtIdx(arrows[a + 1].first));
        EXPECT_EQ(*arrows[a].second, before) << arrows[a + 1].first;
    }
    EXPECT_EQ(fileBytes(Config::FILE_NAME), savedFile) << "choices wait for an explicit save";
    EXPECT_EQ(m_config->m_track.get(), 0) << "nothing replicated before the start";

    start(screen);
    EXPECT_EQ(m_config->m_game.get(), Race::TIME_TRIAL);
    EXPECT_EQ(m_config->m_playMode, Race::ONE_PLAYER);
    EXPECT_EQ(m_config->m_track.get(), 1);
    EXPECT_EQ(m_config->m_laps.get(), 2);
    EXPECT_TRUE(m_config->m_isHost);
    EXPECT_EQ(m_config->m_playerKind[0], Race::SINGLE);
    const Config::Player& player = m_config->m_player[0].get();
    EXPECT_EQ(player.model, 1);
    EXPECT_EQ(player.colour, 1);
    EXPECT_STREQ(player.name, "Player 1");
    EXPECT_EQ(player.startRank, 0);
    for (int slot = 1; slot < Config::RIDERS; ++slot) EXPECT_EQ(m_config->m_player[slot].get().colour, -1) << slot;

    // A track beyond the startable ones is greyed out and cannot be started.
    m_menu.startRace = false;
    switchScreen(m_menu, &screen);
    s.m_timeTrialTrack.limit = 3;
    screen.onTrackNext();
    screen.onTrackNext();
    screen.onTrackNext();
    EXPECT_EQ(screen.trackPicture()->getProperty("Image"), "Tracks_Greyscale/Track5");
    EXPECT_TRUE(screen.okButton()->isDisabled());
    click(screen.backButton());
    menuFrame(m_menu);
    EXPECT_EQ(m_menu.current, m_menu.mainMenu.get());
    EXPECT_EQ(click()->plays, 11) << "the main menu's, the arrows', OK and back";
    menuTeardown(m_menu);
}

TEST_F(SetUpScreens, SingleRacePutsFourComputerRidersInFrontOnItsOwnChoicesAndRaceSetUpFillsThem) {
    setUp(1);
    SingleRaceScreen& screen = open<SingleRaceScreen>(MainMenuScreen::SINGLE_RACE);
    EXPECT_EQ(screen.root()->getName(), "LastManStandingScreen");
    screen.onModelPrev();
    screen.onColourNext();
    screen.onTrackNext();
    screen.onLapsPrev();
    EXPECT_EQ(m_config->m_settings.m_timeTrialModel.value, 0);
    click(screen.backButton());
    menuFrame(m_menu);
    EXPECT_EQ(m_menu.current, m_menu.mainMenu.get());

    leaveEarlierGame();
    open<SingleRaceScreen>(MainMenuScreen::SINGLE_RACE);
    EXPECT_EQ(text(screen.modelCaption()), "Kaze X50") << "the choices of the last visit";
    start(screen);
    EXPECT_EQ(m_config->m_game.get(), Race::SINGLE_RACE);
    EXPECT_EQ(m_config->m_playMode, Race::ONE_PLAYER);
    EXPECT_EQ(m_config->m_track.get(), 1);
    EXPECT_EQ(m_config->m_laps.get(), 2);
    EXPECT_TRUE(m_config->m_isHost);
    EXPECT_EQ(m_config->m_playerKind[0], Race::SINGLE);
    EXPECT_EQ(m_config->m_player[0].get().startRank, 4);
    expectComputerRidersInFront();

    menuTeardown(m_menu);
    Race race;
    ASSERT_TRUE(race.setup(&demoArchive(), nullptr, m_config.get()));
    EXPECT_EQ(race.m_vehicleCount, 5);
    EXPECT_EQ(race.m_viewCount, 1);
    EXPECT_NE(dynamic_cast<ControllerUserSingle*>(race.m_vehicles[0]->m_controller.get()), nullptr);
    EXPECT_EQ(race.m_vehicles[0]->m_mopedFile, "D:\\Vantorik/3dobjects_cars/yamaha_dt_50m/yamaha_dt50m_gruen.lwo");
    std::set<int32_t> models;
    for (int slot = 0; slot < Config::RIDERS; ++slot) models.insert(m_config->m_player[slot].get().model);
    EXPECT_EQ(models.size(), 5u) << "every rider on a moped of its own";
    for (int slot = 1; slot < Config::RIDERS; ++slot) {
        EXPECT_NE(dynamic_cast<ControllerAI*>(race.m_vehicles[slot]->m_controller.get()), nullptr) << slot;
        EXPECT_STRNE(m_config->m_player[slot].get().name, "") << slot;
    }
    race.teardown();
}

TEST_F(SetUpScreens, ASingleRaceOnEveryDemoTrackStartsThePlayerLastOnTheGridWhereThePanelPutsHim) {
    setUp(1);
    start(open<SingleRaceScreen>(MainMenuScreen::SINGLE_RACE));
    menuTeardown(m_menu);
    for (int track = 0; track < int(demoTracks().size()); ++track) {
        m_config->m_track.set(track);
        Race race;
        ASSERT_TRUE(race.setup(&demoArchive(), nullptr, m_config.get())) << track;
        race.update(&m_gui.input);
        // The riders by their place along the lap on the first frame, the front first; behind the line reads negative.
        const Centreline road(demoTracks()[size_t(track)].centreline());
        std::vector<std::pair<float, int>> grid;
        for (int slot = 0; slot < Config::RIDERS; ++slot) {
            Position3 at;
            race.getVehicle(slot)->getPosition(at);
            const float along = road.nearest(at.x, at.z).s;
            grid.push_back({along > road.length() / 2.0f ? along - road.length() : along, slot});
        }
        std::sort(grid.rbegin(), grid.rend());
        EXPECT_EQ(grid.back().second, 0) << "track " << track << ": the player stands behind every computer rider";
        for (int place = 0; place < Config::RIDERS; ++place)
            EXPECT_EQ(race.getVehicle(grid[size_t(place)].second)->m_rank.get(), place)
                << "track " << track << ", slot " << grid[size_t(place)].second;
        EXPECT_EQ(race.m_displays->m_views[0].position, Config::RIDERS) << "track " << track;
        race.teardown();
    }
}

TEST_F(SetUpScreens, ChampionshipStartsAtZeroAndTheRaceCarriesItOnToTheNextTrack) {
    setUp(1);
    Config::Settings& s = m_config->m_settings;
    s.m_championshipModel.value = 9; // out of range, as no chooser leaves it
    s.m_timeTrialLaps = 5;
    leaveEarlierGame();
    ChampionshipScreen& screen = open<ChampionshipScreen>(MainMenuScreen::CHAMPIONSHIP);
    EXPECT_EQ(s.m_championshipModel.value, 0);
    EXPECT_EQ(text(screen.modelCaption()), "Hektor 50");
    screen.onModelNext();
    screen.onModelNext();
    screen.onColourPrev();
    EXPECT_EQ(text(screen.modelCaption()), "Swift City");
    EXPECT_EQ(text(screen.colourCaption()), "Red");
    click(screen.backButton());
    menuFrame(m_menu);
    open<ChampionshipScreen>(MainMenuScreen::CHAMPIONSHIP);
    start(screen);
    EXPECT_EQ(m_config->m_game.get(), Race::CHAMPIONSHIP);
    EXPECT_EQ(m_config->m_playMode, Race::ONE_PLAYER);
    EXPECT_EQ(m_config->m_laps.get(), 3);
    EXPECT_EQ(m_config->m_track.get(), 0);
    EXPECT_TRUE(m_config->m_isHost);
    const Config::Player& player = m_config->m_player[0].get();
    EXPECT_EQ(m_config->m_playerKind[0], Race::SINGLE);
    EXPECT_EQ(player.model, 2);
    EXPECT_EQ(player.colour, 3);
    EXPECT_EQ(player.startRank, 4);
    EXPECT_EQ(player.points, 0);
    expectComputerRidersInFront();

    // The first race; the standings after it, then its continue action.
    menuTeardown(m_menu);
    Race race;
    ASSERT_TRUE(race.setup(&demoArchive(), nullptr, m_config.get()));
    int32_t models[Config::RIDERS];
    for (int slot = 0; slot < Config::RIDERS; ++slot) {
        Config::Player& rider = *m_config->m_player[slot].modify();
        models[slot] = rider.model;
        rider.points = 10 - slot;
        rider.startRank = slot;
    }
    race.m_displays->onStandingsOk();
    EXPECT_TRUE(m_config->m_raceAgain);
    EXPECT_EQ(m_config->m_track.get(), 1);
    race.teardown();

    // The next race comes without the menu, so without the screen's apply.
    ASSERT_TRUE(race.setup(&demoArchive(), nullptr, m_config.get()));
    EXPECT_FALSE(m_config->m_raceAgain);
    EXPECT_EQ(race.m_vehicleCount, 5);
    EXPECT_EQ(m_config->m_laps.get(), 3);
    for (int slot = 0; slot < Config::RIDERS; ++slot) {
        EXPECT_EQ(m_config->m_player[slot].get().model, models[slot]) << slot;
        EXPECT_EQ(m_config->m_player[slot].get().points, 10 - slot) << slot;
    }
    EXPECT_NE(dynamic_cast<ControllerUserSingle*>(race.m_vehicles[0]->m_controller.get()), nullptr);
    race.teardown();
}
