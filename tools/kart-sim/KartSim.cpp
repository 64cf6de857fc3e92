#include "tools/kart-sim/KartSim.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>

#include <ode/collision.h>
#include <ode/objects.h>

#include "engine/platform/Random.h"
#include "engine/platform/archive/File.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/loaders/SceneLoader.h"
#include "game/drivers/Controller.h"
#include "game/drivers/ControllerAI.h"
#include "game/karts/VehicleMaster.h"
#include "game/karts/VehicleSettings.h"
#include "game/race/ComputerRiders.h"
#include "game/race/Race.h"
#include "game/records/Config.h"
#include "game/surfaces/RaceSurfaces.h"

namespace {

constexpr double STEP = 0.01;
constexpr int STEPS_PER_SECOND = 100;
const char* const SHADOW_OBJECT = "D:\\Vantorik/3dobjects_cars/kart_shadow.lwo";

// Full throttle, with a swerve each way now and then and a short brake.
class ScriptedDriver : public Controller {
public:
    explicit ScriptedDriver(const int& step) : m_step(step) {}
    int steerLeft() override { return phase() >= 300 && phase() < 360 ? 1 : 0; }
    int steerRight() override { return phase() >= 600 && phase() < 660 ? 1 : 0; }
    int accelerate() override { return brake() ? 0 : 1; }
    int brake() override { return phase() >= 900 && phase() < 920 ? 1 : 0; }
    bool action() override { return false; }
    bool useExtra() override { return false; }

private:
    // The first stretch runs straight, so the top speed is reached undisturbed.
    int phase() const { return m_step < 1000 ? 0 : m_step % 1000; }
    const int& m_step;
};

bool finite(const Position3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

} // namespace

struct KartSim::World {
    // A pool without a renderer: nothing is drawn.
    MetaScene pool;
    LW6Scene* scene = nullptr;
    Config config{nullptr, ""};
    Race race;
    RaceSurfaces surfaces{&race};
    int step = 0;
    VehicleMaster* kart = nullptr;
    // The kart touched the finish line in the last step.
    bool onLine = false;
};

int32_t trackIndexOf(const std::string& sceneName) {
    const size_t at = sceneName.find("track_0");
    if (at == std::string::npos || at + 7 >= sceneName.size()) return 0;
    const int digit = sceneName[at + 7] - '1';
    return digit >= 0 && digit <= 5 ? digit : 0;
}

KartSim::KartSim(File& files, const Options& options) : m_files(files), m_options(options) {}

KartSim::~KartSim() {
    if (m_world) {
        for (auto& vehicle : m_world->race.m_vehicles) vehicle.reset();
        if (g_race == &m_world->race) g_race = nullptr;
    }
}

bool KartSim::load(std::string& error) {
    m_world = std::make_unique<World>();
    World& w = *m_world;
    g_race = &w.race;
    w.race.m_config = &w.config;
    w.config.m_track.set(trackIndexOf(m_options.track));
    // The loader makes an empty scene of a missing file, and a kart would fall through it for the whole run.
    if (!m_files.exists(m_options.track.c_str())) {
        error = "no track scene " + m_options.track + " in the archive";
        return false;
    }
    w.scene = SceneLoader::loadScene(w.pool, m_options.track.c_str(), m_files);
    w.race.m_scene = w.scene;
    if (!w.scene) {
        error = "cannot load the track " + m_options.track;
        return false;
    }
    if (!SceneLoader::loadLWS(*w.scene, m_files, m_options.mopedScene.c_str(), nullptr, 0.7f, 0.2f)) {
        error = "cannot load the moped " + m_options.mopedScene;
        return false;
    }
    SceneLoader::loadObject(*w.scene, m_files, SHADOW_OBJECT, 0);
    w.scene->createObject("CameraTarget");
    w.surfaces.install(*w.scene);

    auto settings = std::make_unique<VehicleSettings>(0, m_options.settings);
    if (!settings->load(m_files) && m_options.settingsNamed) {
        error = "no settings file " + m_options.settings + " in the archive";
        return false;
    }
    std::unique_ptr<Controller> driver;
    if (m_options.computerDriver)
        driver = std::make_unique<ControllerAI>(nullptr, &w.config, 0, &m_files);
    else
        driver = std::make_unique<ScriptedDriver>(w.step);
    auto* ai = dynamic_cast<ControllerAI*>(driver.get());
    w.race.m_vehicles[0] =
        std::make_unique<VehicleMaster>(m_options.mopedObject, w.scene, std::move(driver), 0, w.race.m_vehicleRecord,
                                        std::move(settings), 0, m_options.radius, 1.0f);
    w.race.m_vehicleCount = 1;
    w.kart = static_cast<VehicleMaster*>(w.race.m_vehicles[0].get());
    if (ai) {
        ai->m_vehicle = w.kart;
        ai->m_pathNumber = std::clamp(m_options.path, 0, 5);
        ai->m_stuckCheckPosition = ai->m_paths[ai->m_pathNumber].front();
    }
    w.kart->m_active.set(true);
    // Merged objects get their geoms when the scene starts: after the kart has sized its body.
    w.pool.start(nullptr);
    if (!w.kart->m_object) {
        error = "the moped scene has no \"car_Ctrl\"";
        return false;
    }
    if (m_options.computerDriver) ComputerRiders::fileBody(w.kart->m_colObject, *w.scene);
    if (m_options.seedReset) Random::reset();
    w.kart->m_cameraReset.set(false);
    return true;
}

KartSim::Summary KartSim::run(std::ostream& out) {
    Summary summary;
    while (m_world->step < m_options.steps) step(summary, out);
    char line[200];
    std::snprintf(line, sizeof line,
                  "steps to top speed %d\ntop speed %.4f\nspeed after pad %.4f\nrespawns %d\nlaps %zu\n"
                  "line crossings %zu\nNaN %s\n",
                  summary.stepsToTopSpeed, summary.topSpeed, summary.speedAfterPad, summary.respawns,
                  summary.pathWraps.size(), summary.lineCrossings.size(), summary.sawNaN ? "yes" : "no");
    out << line;
    // A lap runs from one crossing of the finish line to the next.
    for (size_t i = 1; i < summary.lineCrossings.size(); ++i) {
        std::snprintf(line, sizeof line, "lap %zu %.2f s\n", i, summary.lineCrossings[i] - summary.lineCrossings[i - 1]);
        out << line;
    }
    return summary;
}

void KartSim::step(Summary& summary, std::ostream& out) {
    World& w = *m_world;
    VehicleMaster& kart = *w.kart;
    const double time = w.step * STEP;
    w.race.m_simulatedTime = time;
    w.scene->collide();
    dWorldQuickStep(w.scene->m_world, STEP);
    dJointGroupEmpty(w.scene->m_contactGroup);
    // Nothing else reads the line mark here: take it, so the next touch shows anew.
    if (kart.m_crossedLine && !w.onLine) summary.lineCrossings.push_back(time + STEP);
    w.onLine = kart.m_crossedLine;
    kart.m_crossedLine = false;
    const float boostBefore = kart.m_boost;
    const int pathIndexBefore = kart.m_controller->getPathIndex();
    kart.update(time, STEP);
    kart.animate(time);

    Position3 at;
    kart.getPosition(at);
    if (auto* ai = dynamic_cast<ControllerAI*>(kart.m_controller.get())) {
        const int points = static_cast<int>(ai->m_paths[ai->m_pathNumber].size());
        if (points > 2 && kart.m_controller->getPathIndex() < pathIndexBefore - points / 2)
            summary.pathWraps.push_back(time + STEP);
    }
    if (!finite(at) || !std::isfinite(kart.m_curSpeed)) summary.sawNaN = true;
    if (kart.m_cameraReset.get()) {
        ++summary.respawns;
        kart.m_cameraReset.set(false);
    }
    if (kart.m_boost > boostBefore && summary.speedAfterPad == 0.0f) summary.speedAfterPad = kart.m_curSpeed;
    if (kart.m_curSpeed > summary.topSpeed) summary.topSpeed = kart.m_curSpeed;
    if (summary.stepsToTopSpeed < 0 && kart.m_curSpeed >= kart.m_settings->m_maxSpeed)
        summary.stepsToTopSpeed = w.step + 1;
    ++w.step;
    if (w.step % STEPS_PER_SECOND == 0) {
        char line[160];
        std::snprintf(line, sizeof line, "%6.2f s  pos %9.3f %8.3f %9.3f  speed %.4f  respawns %d\n", time + STEP, at.x,
                      at.y, at.z, kart.m_curSpeed, summary.respawns);
        out << line;
    }
}

double KartSim::time() const { return m_world ? m_world->step * STEP : 0.0; }
