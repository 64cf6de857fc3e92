#include "app/menu/MenuLoop.h"

#include <CEGUI/CEGUI.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "app/menu/ChampionshipScreen.h"
#include "app/menu/CreditsScreen.h"
#include "app/menu/HighscoresScreen.h"
#include "app/menu/MainMenuScreen.h"
#include "app/menu/Menu.h"
#include "app/menu/MultiplayerScreen.h"
#include "app/menu/MultiplayerSelectScreen.h"
#include "app/menu/OptionsScreen.h"
#include "app/menu/QuitQuestion.h"
#include "app/menu/SingleRaceScreen.h"
#include "app/menu/SplashScreen.h"
#include "app/menu/TimeTrialScreen.h"
#include "app/menu/TwoPlayersScreen.h"
#include "engine/platform/Report.h"
#include "engine/platform/audio/SampleStream.h"
#include "engine/platform/audio/Sound.h"
#include "engine/platform/audio/SoundDevice.h"
#include "engine/platform/gui/GuiContext.h"
#include "engine/platform/input/InputDevice.h"
#include "engine/render/Renderer.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/loaders/SceneLoader.h"
#include "game/race/GameRules.h"
#include "game/race/LoadingScreen.h"
#include "game/records/Config.h"
#include "game/records/TextTable.h"
#include "net/NetControl.h"
#include "sys/gfx/Device.h"
#include "sys/Pi.h"

namespace {

const char* const TEXTS_FILE = "D:\\Vantorik/menu/Texts.xml";
const char* const PREVIEW_FOLDER = "D:\\Vantorik/menu/car_select/carselect_";
const char* const MODELS[GameRules::MODELS] = {"hercules", "kreidler", "roller1", "vespa", "yamaha_dt50m"};
const char* const COLOURS[GameRules::COLOURS] = {"blau", "gruen", "pink", "rot"};
const float PREVIEW_PROGRESS[Menu::PREVIEW_SCENES] = {20, 21, 22, 23, 25, 26, 27, 28, 30, 31,
                                                      32, 33, 35, 36, 37, 38, 40, 41, 42, 43};
// Each with the loading progress after it.
const std::pair<const char*, float> IMAGESETS_LOADED[] = {
    {"logo.imageset", 52},         {"splash.imageset", 55},          {"main.imageset", 56},
    {"Championship.imageset", 58}, {"TimeTrial.imageset", 57},       {"Highscores.imageset", 59},
    {"Options.imageset", 60},      {"Credits.imageset", 61},         {"Multiplayer.imageset", 62},
    {"LanOption.imageset", 63},    {"Splitscreen.imageset", 64},     {"Tracks.imageset", 66},
    {"Tracks_mini.imageset", 67},  {"Tracks_Greyscale.imageset", 68}};
const std::pair<const char*, float> IMAGESETS_FREED[] = {
    {"logo", 1},        {"splash", 2},     {"main", 3},         {"TimeTrial", 5},        {"Championship", 7},
    {"Multiplayer", 9}, {"LanOption", 11}, {"Splitscreen", 13}, {"Highscores", 15},      {"Options", 17},
    {"Credits", 23},    {"Tracks", 25},    {"Tracks_mini", 26}, {"Tracks_Greyscale", 27}};
const char* const MUSIC_FILE = "D:\\Vantorik\\musics\\menu.ogg";
const char* const CLICK_FILE = "D:\\Vantorik\\soundfx\\button06.wav";

constexpr uint8_t KEY_ESCAPE = 1;
constexpr int32_t GO_ON = 0;
constexpr int32_t BACK = 1;
constexpr int32_t QUIT = 999;

// A preview's rectangle on the 1024 x 768 layout and the moped it shows.
struct Preview {
    float left, top, width, height;
    int32_t model, colour;
};

bool isCurrent(const Menu& menu, const GuiScreen* screen) { return screen && menu.current == screen; }

float viewAngle(double scale) { return float(2.0 * std::atan(1.0 / scale) * 180.0 / PI_DOUBLE); }

void loadPreviews(Menu& menu, File& files) {
    for (int model = 0; model < GameRules::MODELS; ++model)
        for (int colour = 0; colour < GameRules::COLOURS; ++colour) {
            const int index = model * GameRules::COLOURS + colour;
            const std::string name = std::string(PREVIEW_FOLDER) + MODELS[model] + "_" + COLOURS[colour] + ".lws";
            menu.carScenes[index] = SceneLoader::loadScene(*menu.scene, name, files);
            reportLoadingProgress(PREVIEW_PROGRESS[index]);
        }
}

// Static sound from a file; a file that does not load leaves the menu silent, logged.
void loadSound(File& files, SoundDevice* device, const char* name, std::unique_ptr<SampleStream>& stream,
               std::unique_ptr<Sound>& sound) {
    stream.reset(loadSampleStream(files, name));
    if (!stream) g_logStream << "menu sound " << name << " not loaded" << std::endl;
    if (stream && device) sound = device->createSound(stream.get(), SOUND_STATIC);
}

GuiScreen* firstScreen(Menu& menu) {
    if (menu.config->m_showHighscores && menu.highscores) return menu.highscores.get();
    if (menu.config->m_settings.m_language == -1) return menu.splash.get();
    return menu.mainMenu.get();
}

void quit(Menu& menu) {
    menu.config->save();
    // The screen on show is left, whichever it is: the splash frees its flags then.
    menu.current->leave();
    menu.done = true;
}

bool isSetUpScreen(const Menu& menu, const GuiScreen* screen) {
    const GuiScreen* const setUpScreens[] = {menu.timeTrial.get(), menu.singleRace.get(), menu.championship.get(),
                                             menu.twoPlayers.get(), menu.multiplayer.get()};
    for (const GuiScreen* s : setUpScreens)
        if (s && s == screen) return true;
    return false;
}

GuiScreen* mainMenuChoice(Menu& menu, int32_t result) {
    GuiScreen* const targets[MainMenuScreen::BUTTONS] = {
        menu.timeTrial.get(),         menu.singleRace.get(), menu.championship.get(), menu.twoPlayers.get(),
        menu.multiplayerSelect.get(), menu.highscores.get(), menu.options.get(),      menu.credits.get()};
    for (int b = 0; b < MainMenuScreen::BUTTONS; ++b)
        if (MainMenuScreen::RESULT_CODES[b] == result) return targets[b];
    return nullptr;
}

bool returnsToMainMenu(const Menu& menu, const GuiScreen* screen, int32_t result) {
    if (screen == menu.options.get()) return result == GO_ON || result == BACK;
    const bool hasBack = isSetUpScreen(menu, screen) || screen == menu.multiplayerSelect.get() ||
                         screen == menu.highscores.get() || screen == menu.credits.get();
    return hasBack && result == BACK;
}

// Results nobody handles stay set and change nothing.
void actOnResult(Menu& menu, int32_t result) {
    GuiScreen* screen = menu.current;
    if (screen == menu.splash.get() || screen == menu.mainMenu.get()) {
        if (result == QUIT)
            quit(menu);
        else if (screen == menu.splash.get() && result == GO_ON)
            switchScreen(menu, menu.mainMenu.get());
        else if (screen == menu.mainMenu.get())
            switchScreen(menu, mainMenuChoice(menu, result));
        return;
    }
    if (isSetUpScreen(menu, screen) && result == GO_ON) {
        screen->leave();
        screen->apply();
        menu.startRace = true;
        return;
    }
    if (screen == menu.multiplayerSelect.get() &&
        (result == MultiplayerSelectScreen::HOSTED || result == MultiplayerSelectScreen::JOINED)) {
        menu.multiplayer->setHost(result == MultiplayerSelectScreen::HOSTED);
        switchScreen(menu, menu.multiplayer.get());
        return;
    }
    if (returnsToMainMenu(menu, screen, result)) switchScreen(menu, menu.mainMenu.get());
}

std::vector<Preview> previewsOf(const Menu& menu) {
    const Config::Settings& s = menu.config->m_settings;
    if (isCurrent(menu, menu.timeTrial.get()))
        return {{90, 22, 412, 331.5f, s.m_timeTrialModel.value, s.m_timeTrialColour.value}};
    if (isCurrent(menu, menu.singleRace.get()))
        return {{90, 22, 421, 331.5f, s.m_singleRaceModel.value, s.m_singleRaceColour.value}};
    if (isCurrent(menu, menu.championship.get()))
        return {{300, 22, 412, 331.5f, s.m_championshipModel.value, s.m_championshipColour.value}};
    // A joining player's moped is known once the lobby's state has come.
    if (isCurrent(menu, menu.multiplayer.get()) && !menu.multiplayer->lobby().isWaiting())
        return {{90, 22, 422, 331.5f, menu.multiplayer->getOwnModel(), menu.multiplayer->getOwnColour()}};
    if (isCurrent(menu, menu.twoPlayers.get()))
        return {{150, 10, 322, 256.5f, s.m_twoPlayerModel1, s.m_twoPlayerColour1},
                {559, 10, 322, 256.5f, s.m_twoPlayerModel2, s.m_twoPlayerColour2}};
    return {};
}

void drawPreviews(Menu& menu) {
    Renderer& renderer = *menu.renderer;
    for (const Preview& p : previewsOf(menu)) {
        // The choices come from "config.dat": a moped the menu does not have shows nothing.
        if (p.model < 0 || p.colour < 0 || p.colour >= GameRules::COLOURS) continue;
        const int index = p.model * GameRules::COLOURS + p.colour;
        if (index >= Menu::PREVIEW_SCENES || !menu.carScenes[index]) continue;
        placeCarPreview(menu, p.left, p.top, p.width, p.height);
        menu.carScenes[index]->renderToTexture(true, menu.time);
        renderer.setViewport(0, 0, uint32_t(renderer.m_screenWidth), uint32_t(renderer.m_screenHeight), 0.0f, 1.0f);
    }
}

void drawFrame(Menu& menu, bool withPreviews) {
    sys::gfx::Device& device = *menu.renderer->m_currentDevice;
    device.beginScene();
    device.clear(0, nullptr, sys::gfx::CLEAR_TARGET, 0, 1.0f, 0);
    if (withPreviews) drawPreviews(menu);
    drawGui(*menu.gui);
    device.endScene();
    device.present();
}

void advanceClock(Menu& menu) {
    const float now = float(menu.clock.getSeconds());
    menu.delta = now - menu.time;
    menu.time += menu.speedFactor * menu.delta;
}

// The GUI's fades and tooltips run on the time since the last pulse.
void pulseGui(GuiContext& gui, float elapsed) {
    gui.m_system->injectTimePulse(elapsed);
    gui.m_guiContext->injectTimePulse(elapsed);
}

// Escape asks `screen` whether to quit when it is on show and not asking already.
template <typename Screen>
bool askToQuit(Menu& menu, Screen* screen) {
    if (!isCurrent(menu, screen) || screen->quitQuestion().isShown()) return false;
    screen->showQuitDialog();
    return true;
}

} // namespace

bool menuSetup(Menu& menu, File& files, SoundDevice* sound, Config& config) {
    reportLoadingProgress(0);
    menu.done = false;
    menu.startRace = false;
    menu.config = &config;

    menu.texts = std::make_unique<TextTable>(TEXTS_FILE, files);
    menu.texts->m_language = config.m_settings.m_language == -1 ? menu.startLanguage : config.m_settings.m_language;
    reportLoadingProgress(10);

    menu.scene = std::make_unique<MetaScene>(menu.renderer, "metascene");
    loadPreviews(menu, files);
    menu.scene->start(nullptr);
    reportLoadingProgress(50);
    menu.renderer->m_fieldOfViewX = viewAngle(2.4);
    menu.renderer->m_fieldOfViewY = viewAngle(3.2);

    for (const auto& [file, progress] : IMAGESETS_LOADED) {
        GuiScreen::useImageset(*menu.gui, file);
        reportLoadingProgress(progress);
    }

    loadSound(files, sound, MUSIC_FILE, menu.musicStream, menu.music);
    if (menu.music) menu.music->setVolume(float(config.m_settings.m_musicVolume) * 0.01f);
    reportLoadingProgress(70);
    loadSound(files, sound, CLICK_FILE, menu.clickStream, menu.click);
    if (menu.click) menu.click->setVolume(float(config.m_settings.m_effectsVolume) * 0.007f);
    reportLoadingProgress(72);

    menu.current = nullptr;
    menu.splash = std::make_unique<SplashScreen>(&menu);
    reportLoadingProgress(74);
    menu.mainMenu = std::make_unique<MainMenuScreen>(&menu);
    reportLoadingProgress(76);
    menu.singleRace = std::make_unique<SingleRaceScreen>(&menu);
    reportLoadingProgress(78);
    menu.championship = std::make_unique<ChampionshipScreen>(&menu);
    reportLoadingProgress(82);
    menu.timeTrial = std::make_unique<TimeTrialScreen>(&menu);
    reportLoadingProgress(80);
    menu.multiplayerSelect = std::make_unique<MultiplayerSelectScreen>(&menu);
    reportLoadingProgress(84);
    menu.multiplayer = std::make_unique<MultiplayerScreen>(&menu);
    reportLoadingProgress(86);
    menu.twoPlayers = std::make_unique<TwoPlayersScreen>(&menu);
    reportLoadingProgress(88);
    menu.options = std::make_unique<OptionsScreen>(&menu);
    reportLoadingProgress(90);
    menu.highscores = std::make_unique<HighscoresScreen>(&menu);
    reportLoadingProgress(92);
    menu.credits = std::make_unique<CreditsScreen>(&menu);
    reportLoadingProgress(100);

    switchScreen(menu, firstScreen(menu));
    menu.gui->m_guiContext->getMouseCursor().show();
    if (menu.music) menu.music->play(true);

    menu.clock.start();
    menu.time = 0.0f;
    menu.delta = 0.0f;
    return true;
}

bool menuFrame(Menu& menu) {
    CEGUI::GUIContext& gui = *menu.gui->m_guiContext;
    if (menu.current && gui.getRootWindow() != menu.current->root()) gui.setRootWindow(menu.current->root());

    // A connection's outcome is acted on in the frame it came.
    const bool selectingLan = isCurrent(menu, menu.multiplayerSelect.get());
    if (selectingLan) menu.multiplayerSelect->poll();
    const int32_t result = menu.current ? menu.current->result() : -1;
    if (result != -1) actOnResult(menu, result);
    if (isCurrent(menu, menu.credits.get())) menu.credits->scroll();
    if (isCurrent(menu, menu.multiplayer.get())) menu.multiplayer->refreshLobby();
    if (isCurrent(menu, menu.highscores.get())) menu.highscores->poll();

    // The frame that handled a result shows no preview: the screen may have changed under it.
    drawFrame(menu, result == -1);
    advanceClock(menu);
    pulseGui(*menu.gui, menu.delta);
    // Nothing goes out before the lobby has said whose values are whose: not while connecting.
    if (!selectingLan) NetControl::getInstance().sendChangedValues();
    return true;
}

bool injectInput(InputDevice& input, Menu& menu) {
    if (input.m_keys[KEY_ESCAPE] && (askToQuit(menu, menu.mainMenu.get()) || askToQuit(menu, menu.splash.get())))
        input.m_keys[KEY_ESCAPE] = 0;
    injectMouse(*menu.gui);
    injectKeyboard(*menu.gui);
    return true;
}

void menuTeardown(Menu& menu) {
    reportLoadingProgress(0);
    if (menu.music && menu.music->isPlaying()) menu.music->stop();
    for (const auto& [name, progress] : IMAGESETS_FREED) {
        unloadImageset(*menu.gui, name);
        reportLoadingProgress(progress);
    }

    menu.current = nullptr;
    auto drop = [](auto& screen, float progress) {
        screen.reset();
        reportLoadingProgress(progress);
    };
    drop(menu.splash, 30);
    drop(menu.mainMenu, 34);
    drop(menu.championship, 38);
    drop(menu.timeTrial, 42);
    drop(menu.singleRace, 44);
    drop(menu.multiplayerSelect, 46);
    drop(menu.multiplayer, 50);
    drop(menu.twoPlayers, 54);
    drop(menu.highscores, 58);
    drop(menu.options, 62);
    drop(menu.credits, 66);

    menu.texts.reset();
    reportLoadingProgress(78);
    for (LW6Scene*& scene : menu.carScenes) scene = nullptr;
    menu.scene.reset();
    reportLoadingProgress(90);
    menu.music.reset();
    menu.musicStream.reset();
    reportLoadingProgress(95);
    menu.click.reset();
    reportLoadingProgress(100);
    menu.clickStream.reset();
    menu.config->save();
}

void switchScreen(Menu& menu, GuiScreen* screen) {
    // Screens still to come are missing: the current one stays.
    if (!screen) return;
    if (menu.current) menu.current->leave();
    menu.current = screen;
    screen->enter();
}

void placeCarPreview(Menu& menu, float left, float top, float width, float height) {
    Renderer& renderer = *menu.renderer;
    const CEGUI::UVector2 place = GuiHelper::toRelative(left, top, GuiScreen::LAYOUT_WIDTH, GuiScreen::LAYOUT_HEIGHT);
    const CEGUI::UVector2 size =
        GuiHelper::toRelative(width, height, GuiScreen::LAYOUT_WIDTH, GuiScreen::LAYOUT_HEIGHT);
    renderer.m_targetX = int32_t(place.d_x.d_scale * float(renderer.m_screenWidth));
    renderer.m_targetY = int32_t(place.d_y.d_scale * float(renderer.m_screenHeight));
    renderer.m_targetWidth = int32_t(size.d_x.d_scale * float(renderer.m_screenWidth));
    renderer.m_targetHeight = int32_t(size.d_y.d_scale * float(renderer.m_screenHeight));
    renderer.m_viewValue = 75.0f;
}
