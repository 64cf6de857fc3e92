#include "app/program/Program.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "app/menu/MenuLoop.h"
#include "app/program/FrameLoop.h"
#include "app/program/MainWindowProc.h"
#include "app/program/MenuPhase.h"
#include "app/program/RacePhase.h"
#include "app/program/RaceSetupPhase.h"
#include "app/program/RegistryReader.h"
#include "app/program/SingleInstance.h"
#include "engine/platform/Profiler.h"
#include "engine/platform/Report.h"
#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/platform/archive/SharedFile.h"
#include "engine/platform/audio/SoundDeviceList.h"
#include "engine/platform/display/DisplaySetup.h"
#include "engine/platform/display/RenderDevice.h"
#include "engine/platform/gui/GuiContext.h"
#include "engine/platform/gui/LoadingFrame.h"
#include "engine/platform/input/DirectInputDevice.h"
#include "engine/render/Renderer.h"
#include "engine/scene/SceneRenderer.h"
#include "game/race/LanLobbyServer.h"
#include "game/race/LoadingScreen.h"
#include "game/race/Race.h"
#include "game/records/Config.h"
#include "net/FirewallException.h"
#include "net/GameServer.h"
#include "net/NetControl.h"
#include "net/NetProtocol.h"
#include "sys/settings/SystemInfo.h"
#include "sys/window/MessageBox.h"
#include "sys/window/Window.h"

namespace {

const char* const PROFILER_SECTIONS[] = {
    "CompleteRenderTime", "GetCubeMapSurface", "Clear",          "setStates",      "SetSources",
    "DrawIndexedPrimitive", "Present",         "svp switch",     "getMatrix",      "getInvMatrix",
    "renderShadowMap",    "VorbisChannel::Fill", "ObjectSceneCollision", "CameraSceneCollision",
};

// The adapter exists once the video system has a display to open windows on.
const char* const NO_DISPLAY_TEXT =
    "Plimzor 2 findet keine Anzeige, auf der es sein Fenster öffnen kann (X11 oder Wayland).\nBitte starten Sie "
    "das Programm in einer grafischen Sitzung mit OpenGL-Treiber erneut.\n\nPlimzor 2 finds no display to open "
    "its window on (X11 or Wayland).\nPlease start the program again in a graphical session with an OpenGL driver.";
const char* const NO_TRANSFORM_AND_LIGHTING_TEXT =
    "Plimzor 2 benötigt eine Grafikkarte mit Transform & Lighting unterstützung.\nPlimzor 2 requires a graphics "
    "adapter that supports Transform & Lighting.";

const char* const WINDOW_CLASS = "Zelkora";
// The settings file's switch to a window, as --windowed.
const char* const WINDOWED_VALUE = "Windowed";

// Text table indices of the two languages the program can find at start.
constexpr int32_t TEXTS_GERMAN = 0;
constexpr int32_t TEXTS_ENGLISH = 1;

std::wstring wide(const std::string& text) {
    std::wstring out(text.size() + 1, L'\0');
    size_t length = std::mbstowcs(&out[0], text.c_str(), out.size());
    out.resize(length == size_t(-1) ? 0 : length);
    return out;
}

// Copies on one machine, each with its own lobby server, are told apart by port.
uint16_t lanPort() {
    const char* text = std::getenv("PLIMZOR_LAN_PORT");
    if (!text) return NetProtocol::GAME_PORT;
    char* end = nullptr;
    const long port = std::strtol(text, &end, 10);
    if (end != text && *end == '\0' && port >= 1 && port <= 65535) return uint16_t(port);
    g_logStream << "PLIMZOR_LAN_PORT \"" << text << "\" is no port from 1 to 65535; the LAN game uses port "
                << NetProtocol::GAME_PORT << std::endl;
    return NetProtocol::GAME_PORT;
}

} // namespace

int runProgram(int argc, char** argv) {
    const ProgramPaths paths = ProgramPaths::find(argc, argv);
    SingleInstance instance;
    uint32_t messageId = 0;
    SingleInstance::check(SingleInstance::NAME, instance, messageId, paths.commandLine);
    if (!instance.refusal.empty()) {
        std::fprintf(stderr, "plimzor2: %s\n", instance.refusal.c_str());
        return 1;
    }
    if (!instance.first) {
        std::fprintf(stderr, "plimzor2: the game is already running\n");
        return 0;
    }
    if (!paths.enter()) return 1;
    Program program(paths);
    return program.run();
}

uint16_t Program::chooseLanguage() {
    const uint32_t stored = readRegistryDword(DisplaySettings::REGISTRY_KEY, "Language", sys::userDefaultLanguageId());
    return uint16_t(stored & 0xFFFF) == GERMAN ? GERMAN : ENGLISH;
}

int32_t Program::textLanguage(uint16_t language) { return language == GERMAN ? TEXTS_GERMAN : TEXTS_ENGLISH; }

Program::Program(const ProgramPaths& paths) : m_paths(paths), m_budget(FrameBudget::fromEnvironment()) {
    sys::setMessageBoxTimeLimit(m_budget.seconds());
}

Program::~Program() = default;

int Program::run() {
    int exitCode = 1;
    try {
        if (startUp()) {
            OuterLoop(*this).run();
            exitCode = 0;
        }
    } catch (const LoadingAbortedException&) {
        // The window was closed while something loaded: the player is gone, nothing failed.
        g_lastErrorText.assignText("");
        m_ok = false;
        exitCode = 0;
    } catch (const std::exception& error) {
        g_lastErrorText.assignText(error.what());
        m_ok = false;
    }
    if (m_loop && !m_loop->ok()) m_ok = false;
    shutDown();
    m_budget.report(std::cout);
    return exitCode;
}

bool Program::startUp() {
    for (const char* section : PROFILER_SECTIONS) Profiler::addSection(section);
    m_language = chooseLanguage();
    g_logStream << "language: " << m_language << std::endl;
    m_device = std::make_unique<RenderDevice>();
    // Full screen unless the player asked for a window.
    m_device->m_settings->m_windowed =
        m_paths.windowed || readRegistryDword(DisplaySettings::REGISTRY_KEY, WINDOWED_VALUE, 0) != 0;
    // Timed runs measure the frames themselves, not the display's refresh.
    m_device->m_settings->m_waitForVerticalBlank = !m_budget.limited();
    readDisplaySettings();
    m_setup = std::make_unique<Setup>(m_device.get());
    firewallAddApplication(wide(m_paths.baseName).c_str());
    const uint16_t port = lanPort();
    NetControl::getInstance().setPort(port);
    m_daemon = startLanLobbyServer(port);

    if (!m_device->enumerateAdapters("Error", NO_DISPLAY_TEXT, NO_TRANSFORM_AND_LIGHTING_TEXT)) return false;
    if (!m_setup->run(0)) return false;
    g_reportLevel = 3;
    g_reportToLog = true;
    m_device->m_settings->m_title = m_paths.baseName;
    if (!m_device->createWindows(WINDOW_CLASS, mainWindowProc) || !firstWindow()) return false;
    m_renderer = std::make_unique<SceneRenderer>(*m_device);
    m_renderer->setGammaRamp(m_gamma, m_brightness, m_contrast);
    if (!openArchive()) return false;
    // A hidden window's device counts as lost here, so the windows show before anything is drawn.
    sys::showCursor(false);
    for (auto& group : m_device->m_groups)
        for (auto& window : group->m_windows)
            if (window) window->show(true);
    openInput();
    if (!openGui()) return false;

    m_loading = std::make_unique<LoadingScreen>(&g_gui);
    g_loadingScreen = m_loading.get();
    showLoading(0.0f, 100.0f);
    m_race = std::make_unique<Race>(m_renderer.get(), &g_gui, &m_run);
    m_race->m_loadingFrame = &m_raceLoading;
    m_menu.renderer = m_renderer.get();
    m_menu.gui = &g_gui;
    m_menu.run = &m_run;
    m_menu.startLanguage = textLanguage(m_language);
    openSound();
    m_config = std::make_unique<Config>(m_input.get(), m_paths.dataFolder);
    m_loop = std::make_unique<FrameLoop>(*m_device, *m_renderer, m_budget);
    return true;
}

// A temporary configuration for the mode and the picture; a first run writes "config.dat" here.
void Program::readDisplaySettings() {
    const Config config(nullptr, m_paths.dataFolder);
    const Config::Settings& stored = config.m_settings;
    DisplaySettings& display = *m_device->m_settings;
    display.m_width = uint32_t(stored.m_displayWidth);
    display.m_height = uint32_t(stored.m_displayHeight);
    // A window, where one is wanted, has the mode's size.
    display.m_windowWidth = display.m_width;
    display.m_windowHeight = display.m_height;
    m_brightness = float(stored.m_brightness) * 0.01f;
    m_contrast = float(stored.m_contrast) * 0.01f;
    m_gamma = float(stored.m_gamma) * 0.015f + 0.5f;
}

bool Program::openArchive() {
    DiskFile disk("");
    m_archive = std::make_unique<DataArchive>(disk);
    if (!m_archive->openArchive(m_paths.archive.c_str())) {
        const std::string& path = m_paths.archive;
        // A file that is there but no whole archive needs packing or copying again, not naming.
        if (m_archive->found()) {
            startUpFailed("Plimzor 2 kann sein Datenarchiv nicht lesen; die Datei ist beschädigt oder unvollständig:\n" +
                              path + "\nPacken oder kopieren Sie das Archiv erneut.",
                          "Plimzor 2 cannot read its data archive; the file is damaged or cut short:\n" + path +
                              "\nPack or copy the archive again.",
                          g_lastErrorText.text());
            return false;
        }
        startUpFailed("Plimzor 2 kann sein Datenarchiv nicht öffnen:\n" + path +
                          "\nNennen Sie das Archiv als erstes Argument oder in PLIMZOR_DATA.",
                      "Plimzor 2 cannot open its data archive:\n" + path +
                          "\nName the archive as the first argument or in PLIMZOR_DATA.",
                      g_lastErrorText.text());
        return false;
    }
    g_logStream << "archive: " << m_paths.archive << std::endl;
    setTextureFileSource(m_archive.get());
    g_fileSystem = m_archive.get();
    return true;
}

void Program::openInput() {
    m_input = std::make_unique<DirectInputDevice>(m_renderer->m_screenWidth, m_renderer->m_screenHeight);
    g_input = m_input.get();
    m_input->init(*firstWindow());
}

bool Program::openGui() {
    if (setupCegui(*m_renderer, g_gui, *m_input, *m_archive)) return true;
    const std::string& detail = g_gui.m_failureText;
    switch (g_gui.m_failure) {
    case GuiFailure::MENU_FILES:
        startUpFailed("Plimzor 2 kann seine Menüs nicht aus dem Datenarchiv lesen; es ist wohl beschädigt:\n" +
                          m_paths.archive,
                      "Plimzor 2 cannot read its menus from the data archive, which seems damaged:\n" + m_paths.archive,
                      detail);
        break;
    case GuiFailure::LIBRARY:
        startUpFailed("Plimzor 2 kann seine Menüs nicht aufbauen: Der Bibliothek CEGUI, mit der es sie zeichnet, fehlt "
                      "ein Teil ihrer Installation (ein Modul, das sie lädt).\nBitte installieren Sie die Bibliothek "
                      "CEGUI 0.8 mit ihren Modulen neu.",
                      "Plimzor 2 cannot build its menus: CEGUI, the library that draws them, lacks part of its "
                      "installation (a module it loads).\nPlease install the library CEGUI 0.8 with its modules again.",
                      detail);
        break;
    default:
        startUpFailed("Plimzor 2 kann seine Menüs nicht zeichnen: Die Menüdarstellung ließ sich mit dem "
                      "OpenGL-Treiber dieses Rechners nicht starten.",
                      "Plimzor 2 cannot draw its menus: the menu renderer could not start with this computer's "
                      "OpenGL driver.",
                      detail);
        break;
    }
    return false;
}

void Program::openSound() {
    m_sounds = std::make_unique<SoundDeviceList>(firstWindow());
    m_sound = m_sounds->createDevice(SoundDeviceList::DEFAULT_DEVICE_GUID);
    m_renderer->m_soundDevice = m_sound;
}

void Program::startUpFailed(const std::string& german, const std::string& english, const std::string& detail) {
    // The player reads the language the program found first; the technical detail is for the log.
    const bool germanFirst = m_language == GERMAN;
    const std::string text = (germanFirst ? german : english) + "\n\n" + (germanFirst ? english : german);
    g_logStream << text << std::endl;
    if (!detail.empty()) g_logStream << "detail: " << detail << std::endl;
    sys::showMessageBox("Error", text.c_str(), sys::MB_ICON_ERROR);
}

sys::Window* Program::firstWindow() const {
    if (!m_device || m_device->m_groups.empty() || m_device->m_groups[0]->m_windows.empty()) return nullptr;
    return m_device->m_groups[0]->m_windows[0].get();
}

void Program::shutDown() {
    // A run broken off half-way may still have its menu or race up; both live in the GUI.
    if (m_menuUp) tearDownMenu();
    if (m_raceUp) tearDownRace();
    setTextureFileSource(nullptr);
    if (m_device) m_device->showWindows();
    g_input = nullptr;
    m_input.reset();
    if (m_loading) m_loading->hide();
    g_loadingScreen = nullptr;
    m_loading.reset();
    shutdownCegui(g_gui);

    m_config.reset();
    if (m_renderer) m_renderer->m_soundDevice = nullptr;
    m_sound = nullptr;
    m_sounds.reset();
    m_race.reset();
    if (g_fileSystem == m_archive.get()) g_fileSystem = nullptr;
    m_archive.reset();
    m_loop.reset();
    m_renderer.reset();
    if (m_device) m_device->shutdown();
    if (!m_ok) g_logStream << (*g_lastErrorText.text() ? g_lastErrorText.text() : "loading aborted...") << std::endl;

    m_setup.reset();
    m_device.reset();
    firewallRemoveApplication();
    Profiler::report();
    g_logStream.close();
    GameDaemon::stopGameDaemon(m_daemon);
}

bool Program::restartRequested() const { return m_config->m_raceAgain; }

bool Program::setUpMenu() {
    // Half a menu is taken down too.
    m_menuUp = true;
    return menuSetup(m_menu, *m_archive, m_sound, *m_config);
}

void Program::runMenu() {
    MenuPhase phase(m_menu);
    m_loop->run(phase);
}

void Program::tearDownMenu() {
    m_menuUp = false;
    menuTeardown(m_menu);
}

bool Program::raceChosen() const { return m_menu.startRace; }

bool Program::setUpRace() {
    // A failed or aborted set-up has taken itself down.
    m_raceUp = m_race->setup(m_archive.get(), m_sound, m_config.get());
    if (m_raceUp && !m_race->isSetUp()) awaitRiders();
    // A LAN race that cannot come up leaves the game, so that the others see this player go. Only riders'
    // records that never came are the game's loss to tell; files this computer lacks are told as in any race.
    if (!m_raceUp && m_config->m_playMode == GameRules::LAN) {
        NetControl& client = NetControl::getInstance();
        if (client.isConnected()) client.disconnect();
        m_run.m_lanLost = m_race->m_recordsLost;
    }
    return m_raceUp;
}

void Program::awaitRiders() {
    RaceSetupPhase phase(*m_race, *m_loading);
    m_loop->run(phase);
    m_raceUp = m_race->isSetUp();
    if (m_raceUp || !m_loop->quitSeen()) return;
    // A window closed meanwhile ends the program as one closed during a load does.
    m_race->teardown();
    throw LoadingAbortedException();
}

void Program::runRace() {
    RacePhase phase(*m_race);
    m_loop->run(phase);
}

void Program::tearDownRace() {
    m_raceUp = false;
    m_race->teardown();
}

void Program::showLoading(float rangeStart, float rangeEnd) {
    m_loading->show();
    m_loading->m_rangeStart = rangeStart;
    m_loading->m_rangeEnd = rangeEnd;
    m_loading->setProgress(0.0f);
    m_loading->render();
}

void Program::hideLoading() { m_loading->hide(); }

bool Program::quitSeen() const { return m_loop->quitSeen(); }
