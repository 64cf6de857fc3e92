#pragma once
#include <cstdint>
#include <memory>

#include "engine/platform/Timer.h"

class Config;
class RunState;
class CreditsScreen;
class HighscoresScreen;
class File;
class GuiContext;
class GuiScreen;
class LW6Scene;
class MainMenuScreen;
class MetaScene;
class MultiplayerScreen;
class MultiplayerSelectScreen;
class Renderer;
class SampleStream;
class Sound;
class SoundDevice;
class SplashScreen;
class TextTable;

// The one menu record: what the menu loop builds, every screen reads, and
// the program's loop asks whether the menu is done or starts a race.
class Menu {
public:
    static constexpr int PREVIEW_SCENES = 20;

    Menu();
    ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    Renderer* renderer = nullptr;
    // The player quits: the menu loop ends and then the program.
    bool done = false;
    // A set-up screen starts a race: the menu loop ends.
    bool startRace = false;
    Timer clock;
    // Seconds since the menu began, for the previews and the GUI.
    float time = 0.0f;
    float delta = 0.0f;
    float speedFactor = 1.0f;
    Config* config = nullptr;
    // The program's, for as long as it runs.
    RunState* run = nullptr;
    GuiContext* gui = nullptr;
    // The texts' language (a text table index) until a flag is chosen: the one the program found at start.
    int32_t startLanguage = 0;
    std::unique_ptr<TextTable> texts;
    std::unique_ptr<SampleStream> musicStream;
    std::unique_ptr<Sound> music;
    std::unique_ptr<SampleStream> clickStream;
    std::unique_ptr<Sound> click;
    GuiScreen* current = nullptr;
    std::unique_ptr<SplashScreen> splash;
    std::unique_ptr<MainMenuScreen> mainMenu;
    std::unique_ptr<GuiScreen> timeTrial;
    std::unique_ptr<GuiScreen> singleRace;
    std::unique_ptr<GuiScreen> championship;
    std::unique_ptr<MultiplayerSelectScreen> multiplayerSelect;
    std::unique_ptr<MultiplayerScreen> multiplayer;
    std::unique_ptr<GuiScreen> twoPlayers;
    std::unique_ptr<HighscoresScreen> highscores;
    std::unique_ptr<GuiScreen> options;
    std::unique_ptr<CreditsScreen> credits;
    std::unique_ptr<MetaScene> scene;
    // By model x 4 + colour; owned by the scene.
    LW6Scene* carScenes[PREVIEW_SCENES] = {};
};
