#pragma once

// The program's passes: the menu, the changeover under the loading screen,
// the race, and round again, until a menu ends without a race or the player
// quits. A pass tears down only what it set up: a championship's next race
// comes straight after the last one, without the menu.
class OuterLoop {
public:
    // What a pass is made of; the program does it over the real menu and race.
    class Stages {
    public:
        virtual ~Stages() = default;
        // The last race asked for the next one without the menu.
        virtual bool restartRequested() const = 0;
        virtual bool setUpMenu() = 0;
        virtual void runMenu() = 0;
        virtual void tearDownMenu() = 0;
        // The menu ended on a set-up screen's start.
        virtual bool raceChosen() const = 0;
        virtual bool setUpRace() = 0;
        virtual void runRace() = 0;
        virtual void tearDownRace() = 0;
        // The loading screen, its bar over the range, at the range's start.
        virtual void showLoading(float rangeStart, float rangeEnd) = 0;
        virtual void hideLoading() = 0;
        // The window was closed, or the frame budget spent.
        virtual bool quitSeen() const = 0;
    };

    explicit OuterLoop(Stages& stages) : m_stages(stages) {}
    void run();

private:
    // One pass; false when the program is to end.
    bool pass();

    Stages& m_stages;
};
