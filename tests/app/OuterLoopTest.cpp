#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/program/OuterLoop.h"

namespace {

// Plays the menu and the race by a script: what each menu chooses, which
// races ask for the next one, which set-ups fail, where the player quits.
class ScriptedStages : public OuterLoop::Stages {
public:
    struct Menu {
        bool startsRace;
        bool quits = false;
    };
    struct RaceEnd {
        bool built = true;
        bool asksForNext = false;
        bool quits = false;
    };

    std::vector<Menu> menus;
    std::vector<RaceEnd> races;
    std::vector<std::string> calls;
    int menusUp = 0;
    int racesUp = 0;

    bool restartRequested() const override { return m_restart; }
    bool setUpMenu() override {
        calls.push_back("menu setup");
        ++menusUp;
        m_startRace = false;
        return true;
    }
    void runMenu() override {
        calls.push_back("menu loop");
        const Menu menu = menus.at(m_menu++);
        m_startRace = menu.startsRace;
        m_quit = menu.quits;
    }
    void tearDownMenu() override {
        calls.push_back("menu teardown");
        --menusUp;
    }
    bool raceChosen() const override { return m_startRace; }
    bool setUpRace() override {
        calls.push_back("race setup");
        m_restart = false;
        if (!races.at(m_race).built) {
            ++m_race;
            return false;
        }
        ++racesUp;
        return true;
    }
    void runRace() override {
        calls.push_back("race loop");
        const RaceEnd end = races.at(m_race++);
        m_restart = end.asksForNext;
        m_quit = end.quits;
    }
    void tearDownRace() override {
        calls.push_back("race teardown");
        --racesUp;
    }
    void showLoading(float rangeStart, float rangeEnd) override {
        calls.push_back("loading " + std::to_string(int(rangeStart)) + "-" + std::to_string(int(rangeEnd)));
    }
    void hideLoading() override { calls.push_back("loading hidden"); }
    bool quitSeen() const override { return m_quit; }

    int count(const std::string& call) const {
        int n = 0;
        for (const std::string& c : calls) n += c == call;
        return n;
    }

private:
    size_t m_menu = 0;
    size_t m_race = 0;
    bool m_startRace = false;
    bool m_restart = false;
    bool m_quit = false;
};

TEST(OuterLoopPasses, MenuQuitEndsAfterTheMenuIsTakenDownUnderTheLoadingBar) {
    ScriptedStages stages;
    stages.menus = {{false}};
    OuterLoop(stages).run();
    EXPECT_EQ(stages.calls, (std::vector<std::string>{"menu setup", "loading hidden", "menu loop", "loading 0-100",
                                                      "menu teardown", "loading 50-100"}));
}

TEST(OuterLoopPasses, ChampionshipRunsItsNextRaceWithoutTheMenuAndTakesEachMenuDownOnce) {
    ScriptedStages stages;
    stages.menus = {{true}, {false}};
    stages.races = {{true, true}, {true, true}, {true, false}};
    OuterLoop(stages).run();
    EXPECT_EQ(stages.count("menu setup"), 2);
    EXPECT_EQ(stages.count("menu teardown"), 2);
    EXPECT_EQ(stages.count("race loop"), 3);
    EXPECT_EQ(stages.count("race teardown"), 3);
    EXPECT_EQ(stages.menusUp, 0);
    EXPECT_EQ(stages.racesUp, 0);
    // The second and third races follow their teardowns straight away.
    const std::vector<std::string> between{"race teardown", "loading 50-100", "loading 0-50", "loading 50-100",
                                           "race setup"};
    EXPECT_NE(std::search(stages.calls.begin(), stages.calls.end(), between.begin(), between.end()),
              stages.calls.end());
}

TEST(OuterLoopPasses, QuitDuringARaceEndsTheProgramAfterTheRaceIsTakenDown) {
    ScriptedStages stages;
    stages.menus = {{true}};
    stages.races = {{true, false, true}};
    OuterLoop(stages).run();
    ASSERT_FALSE(stages.calls.empty());
    EXPECT_EQ(stages.calls.back(), "loading 50-100");
    EXPECT_EQ(stages.count("race teardown"), 1);
    EXPECT_EQ(stages.count("menu setup"), 1);
}

TEST(OuterLoopPasses, RaceThatCannotBeBuiltBringsTheMenuBack) {
    ScriptedStages stages;
    stages.menus = {{true}, {false}};
    stages.races = {{false}};
    OuterLoop(stages).run();
    EXPECT_EQ(stages.count("menu setup"), 2);
    EXPECT_EQ(stages.count("race loop"), 0);
    EXPECT_EQ(stages.count("race teardown"), 0);
    EXPECT_EQ(stages.menusUp, 0);
}

TEST(OuterLoopPasses, WindowClosedInTheMenuStartsNoRaceEvenWhenOneWasChosen) {
    ScriptedStages stages;
    stages.menus = {{true, true}};
    OuterLoop(stages).run();
    EXPECT_EQ(stages.count("race setup"), 0);
    EXPECT_EQ(stages.count("menu teardown"), 1);
    EXPECT_EQ(stages.calls.at(3), "loading 0-100");
}

} // namespace
