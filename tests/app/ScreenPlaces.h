#pragma once

// Where the whole-program runs point and click on the 1024 x 768 screens.
struct Point {
    int x, y;
};

// The middle of a w x h widget at x, y.
constexpr Point middle(int x, int y, int w, int h) { return {x + w / 2, y + h / 2}; }

// Main menu buttons, 90 x 90.
constexpr Point TIME_TRIAL = middle(257, 528, 90, 90);
constexpr Point SINGLE_RACE = middle(48, 446, 90, 90);
constexpr Point CHAMPIONSHIP = middle(465, 585, 90, 90);
constexpr Point TWO_PLAYERS = middle(882, 634, 90, 90);
constexpr Point HIGHSCORES = middle(609, 47, 90, 90);
constexpr Point OPTIONS = middle(901, 158, 90, 90);
constexpr Point CREDITS = middle(755, 98, 90, 90);

// Every screen but the main menu has its back button in the lower left corner.
constexpr Point SCREEN_BACK = middle(22, 629, 120, 120);

// The time trial and single race screens.
constexpr Point SETUP_OK = middle(885, 629, 120, 120);
constexpr Point COLOUR_NEXT = middle(463, 227, 45, 45);
constexpr Point MODEL_NEXT = middle(353, 305, 90, 90);
constexpr Point TRACK_NEXT = middle(799, 306, 90, 90);
constexpr Point LAPS_PREVIOUS = middle(158, 657, 90, 90);

// The two-player screen.
constexpr Point TWO_PLAYERS_OK = middle(885, 629, 120, 120);
constexpr Point TWO_PLAYERS_LAPS_PREVIOUS = middle(158, 522, 90, 90);
constexpr Point TWO_PLAYERS_TRACK_NEXT = middle(729, 540, 90, 90);
constexpr Point TWO_PLAYERS_MODE = middle(417, 658, 90, 90);

// The high-score screen's arrows for the track, 90 x 90.
constexpr Point HIGHSCORES_TRACK_NEXT = middle(920, 442, 90, 90);

// The options screen: OK, and the music slider, 300 x 40, whose 16 pixel thumb slides along it.
constexpr Point OPTIONS_OK = middle(885, 629, 120, 120);
constexpr int MUSIC_SLIDER_X = 193, MUSIC_SLIDER_Y = 440, MUSIC_SLIDER_WIDTH = 300, MUSIC_SLIDER_HEIGHT = 40;
constexpr int SLIDER_THUMB_WIDTH = 16;

// The championship screen.
constexpr Point CHAMPIONSHIP_OK = middle(885, 628, 120, 120);

// Race windows: buttons inside their frames.
constexpr Point PAUSE_BACK_TO_MENU = middle(292 + 60, 204 + 250, 320, 60);
constexpr Point RACE_RESULT_OK = middle(199 + 240, 104 + 470, 200, 60);
constexpr Point TIME_TRIAL_RESULT_OK = middle(262 + 150, 154 + 370, 200, 60);
constexpr Point NAME_ENTRY_SAVE = middle(262 + 180, 184 + 310, 180, 60);
