#pragma once
#include <string>
#include <vector>

#include "game/displays/OnscreenDisplays.h"

class Race;

// Pictures of the window at the moments a person checks the displays by:
// the countdown, every few seconds of the race, the first view's finish
// camera, and each window (results, pause, ...) the first time it opens. Only reads the race, so a run with
// pictures ends as one without.
class RaceShots {
public:
    static constexpr float INTERVAL = 5.0f;

    // `folder` is taken as named from the current folder, before the run moves to its own.
    explicit RaceShots(const std::string& folder);

    // Makes the folder; false with the reason.
    bool open(std::string& error);
    // After a drawn frame, before the next one: the pictures it is due for.
    // False with the reason when one cannot be read or written.
    bool take(Race& race, std::string& error);
    // The pictures written, as paths.
    const std::vector<std::string>& written() const { return m_written; }

private:
    bool shoot(Race& race, const std::string& name, std::string& error);

    std::string m_folder;
    bool m_countdownTaken = false;
    // Whether the first view showed its finish camera in the last frame, and its picture was taken.
    bool m_finishShown = false;
    bool m_finishTaken = false;
    float m_nextRaceTime = INTERVAL;
    // Each window's visibility after the last frame, and whether its picture was taken.
    bool m_windowVisible[OnscreenDisplays::WINDOW_COUNT] = {};
    bool m_windowTaken[OnscreenDisplays::WINDOW_COUNT] = {};
    std::vector<std::string> m_written;
};
