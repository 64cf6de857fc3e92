#include "game/race/Race.h"

#include <cmath>
#include <initializer_list>

#include <CEGUI/GUIContext.h>
#include <CEGUI/MouseCursor.h>
#include <CEGUI/System.h>
#include <ode/collision.h>
#include <ode/objects.h>

#include "engine/platform/Report.h"
#include "engine/platform/Timer.h"
#include "engine/platform/audio/Sound.h"
#include "engine/platform/audio/SoundDevice.h"
#include "engine/platform/gui/GuiContext.h"
#include "engine/platform/input/InputDevice.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/LW6Scene.h"
#include "game/displays/OnscreenDisplays.h"
#include "game/drivers/InputBindings.h"
#include "game/karts/Vehicle.h"
#include "game/records/Config.h"
#include "net/NetControl.h"
#include "sys/gfx/Device.h"

namespace {

// DirectInput key codes of the race keys.
constexpr uint8_t KEY_ESCAPE = 0x01;
constexpr uint8_t KEY_TAB = 0x0F;
constexpr uint8_t KEY_P = 0x19;
constexpr uint8_t KEY_SPACE = 0x39;
constexpr uint8_t KEY_NUMPAD0 = 0x52;
constexpr int REAR_VIEW_BUTTON = 3;

constexpr int32_t STAMPER_FRAMES = 5;
constexpr int32_t COMPUTER_SPEED_FRAMES = 10;
constexpr float RESULTS_DELAY = 2.0f;
// In-race texts of a lost LAN game: the host ended it, the server ended it, the line dropped.
constexpr int32_t TEXT_ENDED_BY_HOST = 9140;
constexpr int32_t TEXT_ENDED = 9110;
constexpr int32_t TEXT_CONNECTION_LOST = 9100;

using Window = OnscreenDisplays::Window;

// A key that was down, consumed so that it acts once.
bool takeKey(InputDevice* input, uint8_t key) {
    if (!input || !input->m_keys[key]) return false;
    input->m_keys[key] = 0;
    return true;
}

bool isHeld(const InputDevice* input, uint8_t key) { return input && input->m_keys[key]; }

bool isLan(const Race& race) { return race.m_config->m_playMode == Race::LAN; }

bool anyVisible(const OnscreenDisplays& displays, std::initializer_list<Window> windows) {
    for (Window window : windows)
        if (displays.isVisible(window)) return true;
    return false;
}

template <typename Action>
void forEachVehicle(Race& race, Action action) {
    for (int32_t i = 0; i < race.m_vehicleCount && i < Race::MAX_VEHICLES; ++i)
        if (Vehicle* vehicle = race.getVehicle(i)) action(*vehicle);
}

template <typename Action>
void forEachView(Race& race, Action action) {
    for (int32_t v = 0; v < race.m_viewCount && v < Race::MAX_VIEWS; ++v) action(v);
}

void stepOnce(Race& race) {
    LW6Scene& scene = *race.m_scene;
    scene.collide();
    dWorldQuickStep(scene.m_world, Race::STEP);
    dJointGroupEmpty(scene.m_contactGroup);
    ObjectContainer::invalidateItems(scene, nullptr);
    forEachVehicle(race, [&](Vehicle& vehicle) { vehicle.update(race.m_simulatedTime, Race::STEP); });
    race.m_simulatedTime += Race::STEP;
}

// Fixed steps up to the clock; returns how many were taken.
int32_t stepPhysics(Race& race) {
    LW6Scene::s_contactCount = 0;
    if (race.m_paused) return 0;
    const double now = race.m_clock->m_currentTime;
    int32_t steps = 0;
    while (race.m_simulatedTime < now && steps < Race::MAX_STEPS_PER_FRAME) {
        stepOnce(race);
        ++steps;
    }
    // A frame that fell too far behind drops the rest instead of catching up.
    if (steps == Race::MAX_STEPS_PER_FRAME) race.m_simulatedTime = now;
    return steps;
}

void play(Sound* sound) {
    if (sound) sound->play(false);
}

// Images 3, 2, 1, 0 a second apart, each second's sound once; a frame that
// skipped a second shows the later image with its own sound, the skipped one
// is not heard, and the seconds after it sound again.
void runCountdown(Race& race) {
    int32_t& state = race.m_countdownState;
    if (state == Race::WAITING || state == Race::RUNNING) return;
    const int32_t n = int32_t(std::floor(race.clockTime() - race.m_countdownStartTime));
    if (n < 0) return;
    OnscreenDisplays& displays = *race.m_displays;
    if (n <= 3) {
        if (n > 0 || state == 0) forEachView(race, [&](int32_t v) { displays.showCountdown(v, 3 - n); });
        if (state <= n) {
            play(n == 3 ? race.m_startSound.get() : race.m_countSound.get());
            state = n + 1;
        }
    }
    if (n >= 3) {
        forEachVehicle(race, [](Vehicle& vehicle) { vehicle.m_active.set(true); });
        if (race.m_raceStartTime == 0.0f) {
            race.m_raceStartTime = race.clockTime();
            g_logStream << "race: go" << std::endl;
        }
        const int32_t own = race.localPlayerSlot();
        if (own >= 0 && own < Config::RIDERS) {
            NetValue<Config::Player>& record = race.m_config->m_player[own];
            if (record.get().ready || record.get().raceReady) {
                record.modify()->ready = 0;
                record.modify()->raceReady = 0;
            }
        }
    }
    if (n >= 4) {
        forEachView(race, [&](int32_t v) { displays.setCountdownVisible(v, false); });
        state = Race::RUNNING;
    }
}

void openResults(Race& race) {
    OnscreenDisplays& displays = *race.m_displays;
    if (race.m_isHost) race.finishRemaining();
    displays.hidePausePanels();
    forEachView(race, [&](int32_t v) { displays.hideMessagePanels(v); });
    switch (race.m_config->m_game.get()) {
    case Race::TIME_TRIAL:
        if (!anyVisible(displays, {Window::TIME_TRIAL_RESULT, Window::NAME_ENTRY})) displays.showTimeTrialResult();
        break;
    case Race::SINGLE_RACE:
        if (!displays.isVisible(Window::SINGLE_RACE_RESULT)) displays.showSingleRaceResult();
        break;
    case Race::ELIMINATION:
        if (!anyVisible(displays, {Window::ELIMINATION_RESULT, Window::NAME_ENTRY})) displays.showEliminationResult();
        break;
    case Race::CHAMPIONSHIP:
        if (!anyVisible(displays, {Window::CHAMPIONSHIP_RESULT, Window::STANDINGS, Window::NAME_ENTRY}))
            displays.showChampionshipResult();
        break;
    default:
        race.m_leaveRace = true;
    }
    race.m_resultsShown = true;
}

// The other players' results keep arriving while the window is open.
void refreshResultTables(OnscreenDisplays& displays) {
    if (displays.isVisible(Window::ELIMINATION_RESULT)) displays.updateEliminationTable();
    if (displays.isVisible(Window::SINGLE_RACE_RESULT)) displays.updateRaceResultTable();
    if (displays.isVisible(Window::CHAMPIONSHIP_RESULT)) displays.updateChampionshipTable();
}

// The cameras follow every frame, drawn or not: the listener and the tools read them.
void drawViews(Race& race) {
    Renderer* renderer = race.m_renderer;
    sys::gfx::Device* device = renderer && race.m_drawn ? renderer->m_currentDevice : nullptr;
    if (device) {
        renderer->setBackBufferTarget();
        device->clear(0, nullptr, sys::gfx::CLEAR_TARGET | sys::gfx::CLEAR_ZBUFFER | sys::gfx::CLEAR_STENCIL, 0, 1.0f,
                      0);
        device->beginScene();
    }
    forEachView(race, [&](int32_t v) {
        race.showFlashOverlay(v);
        race.setupView(v);
        Camera* camera = race.viewCamera(v);
        if (!device || !camera) return;
        // The upper view may be sent while the lower one is drawn: each has a rectangle of its own.
        const bool aside = v == 0 && race.m_viewCount == 2;
        if (aside) device->beginSideView();
        race.m_scene->render(camera, race.m_simulatedTime);
        if (aside) device->endSideView();
    });
    if (!device) return;
    device->joinSideView();

    renderer->setViewport(0, 0, uint32_t(renderer->m_screenWidth), uint32_t(renderer->m_screenHeight), 0.0f, 1.0f);
    device->setRenderState(sys::gfx::RS_DIFFUSEMATERIALSOURCE, sys::gfx::MCS_COLOR1);
    device->setRenderState(sys::gfx::RS_LIGHTING, 0);
    device->setTextureStageState(1, sys::gfx::TSS_COLOROP, sys::gfx::TOP_DISABLE);
    device->setTexture(1, nullptr);
    if (race.m_gui) {
        race.m_displays->showSheet();
        drawGui(*race.m_gui);
    }
    device->endScene();
    device->present();
}

void pulseGui(Race& race) {
    GuiContext* gui = race.m_gui;
    if (!gui) return;
    const float elapsed = race.m_clock->m_lastFrameDuration;
    if (gui->m_system) gui->m_system->injectTimePulse(elapsed);
    if (gui->m_guiContext) gui->m_guiContext->injectTimePulse(elapsed);
}

void checkConnection(Race& race) {
    NetControl& client = NetControl::getInstance();
    OnscreenDisplays& displays = *race.m_displays;
    if (client.isConnected() ||
        anyVisible(displays, {Window::PAUSE, Window::CONNECTION_LOST, Window::ELIMINATION_RESULT,
                              Window::SINGLE_RACE_RESULT, Window::STANDINGS, Window::CHAMPIONSHIP_RESULT}))
        return;
    const int32_t status = client.getStatus();
    displays.showConnectionLost(status == NetControl::STATUS_ENDED_BY_HOST ? TEXT_ENDED_BY_HOST
                                : status == NetControl::STATUS_ENDED       ? TEXT_ENDED
                                                                           : TEXT_CONNECTION_LOST);
    forEachVehicle(race, [](Vehicle& vehicle) { vehicle.m_active.set(false); });
}

void beginCountdown(Race& race) {
    race.m_countdownState = 0;
    race.m_clock->restart();
    // The restarted clock is behind whatever was stepped before: start the physics with it.
    race.m_simulatedTime = 0.0;
    race.m_countdownStartTime = race.m_clock->m_currentTime;
    race.m_displays->hideStartPanels();
    forEachView(race, [&](int32_t v) { race.m_displays->setCountdownVisible(v, true); });
    g_logStream << "race: countdown" << std::endl;
}

// The race's own mark, never the lobby's: a copy whose set-up is slow still
// shows the lobby's ready, and the others' would start without it.
bool everyRiderReady(Race& race) {
    for (int32_t i = 0; i < race.m_vehicleCount && i < Config::RIDERS; ++i)
        if (!race.m_config->m_player[i].get().raceReady) return false;
    return true;
}

// Space starts the countdown; in a LAN game it marks this program's riders
// ready for the race, and the countdown starts once every rider is.
void readStartKey(Race& race, InputDevice* input) {
    const bool pressed = takeKey(input, KEY_SPACE);
    if (race.m_countdownState != Race::WAITING) return;
    if (!isLan(race)) {
        if (pressed) beginCountdown(race);
        return;
    }
    if (pressed) {
        for (int32_t i = 0; i < race.m_vehicleCount && i < Config::RIDERS; ++i) {
            const int32_t kind = race.playerKind(i);
            if ((kind == Race::SINGLE || kind == Race::GUEST || kind == Race::COMPUTER) &&
                !race.m_config->m_player[i].get().raceReady)
                race.m_config->m_player[i].modify()->raceReady = 1;
        }
        race.m_displays->showPanelMessage();
    }
    if (everyRiderReady(race)) beginCountdown(race);
}

void togglePause(Race& race) {
    race.m_paused = !race.m_paused;
    if (race.m_paused) {
        race.m_clockRanAtPause = race.m_clock->isRunning();
        race.m_clock->pause();
    } else if (race.m_clockRanAtPause) {
        // A clock that stood before the pause (no countdown yet) keeps standing.
        race.m_clock->resume();
    }
    race.setSoundVolumes(race.m_paused);
}

void openPauseWindow(Race& race) {
    race.m_displays->showPauseWindow();
    if (!isLan(race)) race.m_paused = true;
}

void setRearView(Race& race, int32_t view, bool held) {
    int32_t& mode = race.m_cameraMode[view];
    if (mode != Race::OUT_OF_RACE && mode != Race::FINISHED) mode = held ? Race::REAR : Race::CHASE;
}

void readRaceKeys(Race& race, InputDevice* input) {
    const OnscreenDisplays& displays = *race.m_displays;
    if (!isLan(race) && takeKey(input, KEY_P) && !displays.isVisible(Window::PAUSE)) togglePause(race);
    if (takeKey(input, KEY_ESCAPE) && !anyVisible(displays, {Window::PAUSE, Window::CONNECTION_LOST}))
        openPauseWindow(race);
    setRearView(race, 0, isHeld(input, KEY_TAB) || getJoystickButton(input, REAR_VIEW_BUTTON));
    if (race.m_viewCount == 2) setRearView(race, 1, isHeld(input, KEY_NUMPAD0));
}

void feedGui(Race& race) {
    GuiContext* gui = race.m_gui;
    if (!gui || !gui->m_guiContext || !gui->m_input) return;
    injectMouse(*gui);
    // The pointer shows only while a window waits for a click.
    if (gui->m_mouseCursor) gui->m_mouseCursor->setVisible(gui->m_input->m_guiInput != 0);
    // Riding keys are typed too: they are no text for a box shown after the race.
    if (race.m_displays->isVisible(Window::NAME_ENTRY)) injectKeyboard(*gui);
    else discardTypedText();
}

} // namespace

bool Race::update(InputDevice* input) {
    m_lastSteps = stepPhysics(*this);
    respawnPickups(m_lastSteps);
    moveExtras(m_lastSteps * STEP);
    updateRocketSounds();
    updateExtraHits();
    turnPickups();
    if (!m_paused) {
        if (m_frameCount % STAMPER_FRAMES == 0) updateStamperSounds();
        updateListener();
        updateEngineSounds();
    }
    runCountdown(*this);
    if (!m_raceOver) {
        updateProgress();
        if (m_frameCount % COMPUTER_SPEED_FRAMES == 0) adjustComputerSpeeds();
    }
    if (m_raceOver && !m_resultsShown && clockTime() - m_raceOverTime >= RESULTS_DELAY) openResults(*this);
    if (!m_raceOver) {
        updateDisplays();
        illuminate();
    }
    if (isLan(*this)) refreshResultTables(*m_displays);
    const double animationTime = static_cast<float>(m_simulatedTime);
    forEachVehicle(*this, [&](Vehicle& vehicle) { vehicle.animate(animationTime); });
    drawViews(*this);
    updateObjectSounds();

    pulseGui(*this);
    if (m_soundDevice) m_soundDevice->commit();
    ++m_frameCount;
    m_clock->tick();
    NetControl::getInstance().sendChangedValues();
    if (isLan(*this)) checkConnection(*this);
    readStartKey(*this, input);
    if (!m_raceOver) readRaceKeys(*this, input);
    feedGui(*this);
    return true;
}
