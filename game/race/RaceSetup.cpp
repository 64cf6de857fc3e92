#include "game/race/Race.h"

#include <cctype>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "engine/platform/Report.h"
#include "engine/platform/Timer.h"
#include "engine/platform/archive/File.h"
#include "engine/platform/archive/ReadAheadFile.h"
#include "engine/platform/audio/SampleStream.h"
#include "engine/platform/audio/SilentSound.h"
#include "engine/platform/audio/SoundDevice.h"
#include "engine/platform/gui/LoadingFrame.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/loaders/SceneLoader.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/mesh/Mesh.h"
#include "game/displays/OnscreenDisplays.h"
#include "game/drivers/ControllerAI.h"
#include "game/drivers/ControllerNet.h"
#include "game/drivers/ControllerUser1.h"
#include "game/drivers/ControllerUser2.h"
#include "game/drivers/ControllerUserSingle.h"
#include "game/karts/OutOfSight.h"
#include "game/karts/VehicleClient.h"
#include "game/karts/VehicleMaster.h"
#include "game/karts/VehicleSettings.h"
#include "game/maps/IlluminationMap.h"
#include "game/maps/PositionMap.h"
#include "game/race/CameraClearance.h"
#include "game/race/ComputerRiders.h"
#include "game/race/RaceAssets.h"
#include "game/race/RaceProgressReport.h"
#include "game/race/SetUpHeap.h"
#include "game/records/Config.h"
#include "game/records/HighscoreTables.h"
#include "game/records/RunState.h"
#include "game/records/TextTable.h"
#include "game/surfaces/GroundProbe.h"
#include "game/surfaces/RaceSurfaces.h"
#include "net/NetControl.h"

namespace {

const char* const TEXTS_FILE = "D:\\Vantorik/menu/IngameTexts.xml";
const char* const SHADOW_OBJECT = "D:\\Vantorik/3dobjects_cars/kart_shadow.lwo";
const char* const STAMPER_SOUNDS[] = {"D:\\Skorvitane\\soundfx\\stampfer.wav",
                                      "D:\\Skorvitane\\soundfx\\stampfer02.wav"};
const char* const COUNT_SOUND = "D:\\Vantorik/soundfx/race_count01.wav";
const char* const START_SOUND = "D:\\Vantorik/soundfx/race_start01.wav";

// Workers unpacking members ahead of set-up: one takes the track's large object, the others the rest.
constexpr int AHEAD_THREADS = 3;

// The kart's sound slots: the file each plays (none: an event sound the kart
// fills itself) and its minimum distance. Slot 5 is the kart's own.
constexpr int32_t KART_OWN_SLOT = 5;
constexpr float MAX_SOUND_DISTANCE = 100000.0f;
// Below half the parking depth nothing can be seen, and nothing need be drawn.
constexpr float OUT_OF_SIGHT_BELOW = OUT_OF_SIGHT.y / 2.0f;
const float SLOT_MIN_DISTANCE[Vehicle::SOUND_SLOTS] = {5.0f,  15.0f, 15.0f, 15.0f, 15.0f, 0.0f,  15.0f, 15.0f,
                                                       15.0f, 5.0f,  15.0f, 20.0f, 10.0f, 10.0f, 15.0f, 15.0f,
                                                       20.0f, 20.0f, 15.0f, 20.0f, 10.0f, 15.0f, 20.0f};

const char* slotFile(int32_t slot, int32_t model) {
    switch (slot) {
    case Vehicle::SOUND_ENGINE: return RaceAssets::engineSound(model);
    case Vehicle::SOUND_RESPAWN: return "D:\\Vantorik/soundfx/repos.wav";
    case Vehicle::SOUND_HIT_OBJECT: return "D:\\Vantorik/soundfx/kart_hit_objekt.wav";
    case Vehicle::SOUND_HIT_WALL: return "D:\\Vantorik/soundfx/kart_hit_wand.wav";
    default: return nullptr;
    }
}

// What set-up will open that takes time to unpack: the track's objects, each
// rider's scene, moped, figure and sounds, the maps and the music.
std::vector<std::string> membersAhead(const Race& race, File& files) {
    const int32_t track = race.m_config->m_track.get();
    std::vector<std::string> names;
    if (RaceAssets::isTrack(track)) names = SceneLoader::objectFiles(files, RaceAssets::trackScene(track));
    for (int32_t i = 0; i < race.m_vehicleCount; ++i) {
        const Config::Player& record = race.m_config->m_player[i].get();
        if (record.colour == -1) continue;
        const int32_t model = RaceAssets::validModel(record.model);
        const std::string scene = RaceAssets::mopedScene(model, record.colour);
        names.push_back(scene);
        names.push_back(RaceAssets::mopedObject(model, record.colour));
        names.push_back(RaceAssets::figureObject(model));
        // Its far levels and whatever else the moped's scene loads.
        for (std::string& file : SceneLoader::objectFiles(files, scene.c_str()))
            if (std::find(names.begin(), names.end(), file) == names.end()) names.push_back(std::move(file));
        for (int32_t slot = 0; slot < Vehicle::SOUND_SLOTS; ++slot)
            if (const char* file = slotFile(slot, model)) names.push_back(file);
    }
    names.push_back(SHADOW_OBJECT);
    if (race.m_drawn && IlluminationMap::fileName(track)) names.push_back(IlluminationMap::fileName(track));
    names.push_back(RaceAssets::trackMusic(track));
    names.push_back(COUNT_SOUND);
    names.push_back(START_SOUND);
    return names;
}

// Every slot gets a usable sound: one the device cannot make stays silent.
std::unique_ptr<Sound> makeSound(SoundDevice* device, SampleStream* stream, uint32_t flags) {
    std::unique_ptr<Sound> sound = device ? device->createSound(stream, flags) : nullptr;
    if (!sound) sound = std::make_unique<SilentSound>(stream ? stream->getDuration() : 0.0);
    return sound;
}

float effectsVolume(const Config& config) { return float(config.m_settings.m_effectsVolume) * 0.01f; }

// The rider's record set for the race: a moped or colour no table has taken as
// the first, and the race's own fields cleared.
void prepareRecord(NetValue<Config::Player>& record) {
    Config::Player& rider = *record.modify();
    rider.sanitise();
    rider.place = rider.startRank;
    rider.raceTime = 0.0f;
    rider.racePoints = 0;
    rider.bestLap = 0.0f;
    std::fill(std::begin(rider.lapTimes), std::end(rider.lapTimes), 0.0f);
}

// The track's paths as an earlier computer rider read them: each file is read once a race.
const ControllerAI* earlierComputer(const Race& race, int32_t rider) {
    for (int32_t i = 0; i < rider; ++i)
        if (const Vehicle* kart = race.m_vehicles[i].get())
            if (const auto* computer = dynamic_cast<const ControllerAI*>(kart->m_controller.get())) return computer;
    return nullptr;
}

// The driver of a kart simulated here; null for one another machine drives.
// The host simulates every kart but the remote players'; a guest only its own
// player's, and follows every other slot whatever its kind.
std::unique_ptr<Controller> localDriver(Race& race, int32_t rider, File& files) {
    Config& config = *race.m_config;
    if (!race.m_isHost)
        return rider == race.localPlayerSlot() ? std::make_unique<ControllerUserSingle>(&config) : nullptr;
    switch (config.m_playerKind[rider]) {
    case Race::SINGLE: return std::make_unique<ControllerUserSingle>(&config);
    case Race::USER1: return std::make_unique<ControllerUser1>(&config);
    case Race::USER2: return std::make_unique<ControllerUser2>(&config);
    case Race::REMOTE:
    case Race::GUEST: return nullptr;
    default:
        if (const ControllerAI* earlier = earlierComputer(race, rider))
            return std::make_unique<ControllerAI>(nullptr, rider, *earlier);
        return std::make_unique<ControllerAI>(nullptr, &config, rider, &files);
    }
}

std::unique_ptr<Vehicle> makeKart(Race& race, int32_t rider, File& files, std::unique_ptr<VehicleSettings> settings) {
    const Config::Player& record = race.m_config->m_player[rider].get();
    const std::string object = RaceAssets::mopedObject(record.model, record.colour);
    const float size = RaceAssets::sizeFactor(record.model);
    std::unique_ptr<Controller> driver = localDriver(race, rider, files);
    if (!driver)
        return std::make_unique<VehicleClient>(object, race.m_scene, std::make_unique<ControllerNet>(), rider,
                                               race.m_vehicleRecord, std::move(settings), record.startRank, size, 1.0f);
    auto* computer = dynamic_cast<ControllerAI*>(driver.get());
    auto kart = std::make_unique<VehicleMaster>(object, race.m_scene, std::move(driver), rider, race.m_vehicleRecord,
                                                std::move(settings), record.startRank, size, 1.0f);
    if (computer) computer->m_vehicle = kart.get();
    return kart;
}

// The slot's file as an earlier kart read it, or read now: every kart plays the same hit and respawn files.
std::unique_ptr<SampleStream> slotStream(const Race& race, int32_t rider, int32_t slot, const char* file, File& files) {
    for (int32_t i = 0; i < rider; ++i) {
        const SampleStream* read = race.m_vehicles[i] ? race.m_vehicles[i]->m_streams[slot].get() : nullptr;
        if (!read || read->getName() != file) continue;
        if (std::unique_ptr<SampleStream> copy = read->copy()) return copy;
    }
    return std::unique_ptr<SampleStream>(loadSampleStream(files, file));
}

void fillSoundSlots(Race& race, int32_t rider, int32_t model, File& files, SoundDevice* device, float volume) {
    Vehicle& kart = *race.m_vehicles[rider];
    for (int32_t slot = 0; slot < Vehicle::SOUND_SLOTS; ++slot) {
        if (slot == KART_OWN_SLOT) continue;
        if (const char* file = slotFile(slot, model)) kart.m_streams[slot] = slotStream(race, rider, slot, file, files);
        kart.m_sounds[slot] = makeSound(device, kart.m_streams[slot].get(), SOUND_STATIC | SOUND_3D);
        kart.m_sounds[slot]->setVolume(volume);
        kart.m_sounds[slot]->setDistances(SLOT_MIN_DISTANCE[slot], MAX_SOUND_DISTANCE);
    }
}

// The rider's moped scene merged into the track, then its kart with driver and sounds; false when the moped
// scene or the kart's "car_Ctrl" and "col" objects are missing.
bool addRider(Race& race, int32_t rider, File& files, SoundDevice* device) {
    const Config::Player& record = race.m_config->m_player[rider].get();
    const int32_t model = RaceAssets::validModel(record.model);
    LW6Scene& scene = *race.m_scene;
    if (!SceneLoader::loadLWS(scene, files, RaceAssets::mopedScene(model, record.colour).c_str(), race.m_loadingFrame,
                              0.0f, 0.7f))
        return false;
    SceneLoader::loadObject(scene, files, SHADOW_OBJECT, 0);
    scene.createObject("CameraTarget");
    auto settings = std::make_unique<VehicleSettings>(model, RaceAssets::settingsFile(model));
    settings->load(files);
    race.m_vehicles[rider] = makeKart(race, rider, files, std::move(settings));
    Vehicle& kart = *race.m_vehicles[rider];
    fillSoundSlots(race, rider, model, files, device, effectsVolume(*race.m_config));
    return kart.m_object && kart.m_colObject;
}

// The first object of that file, whatever its layer.
SceneObject* firstObjectNamed(LW6Scene& scene, const std::string& name) {
    for (int32_t n = 0; n < scene.getObjectCount(); ++n) {
        SceneObject* object = scene.getObjectAt(n);
        if (object && object->getName() == name && object->getFirstMesh()) return object;
    }
    return nullptr;
}

Surface* lastSurfaceNamed(SceneObject* object, const std::string& name) {
    Surface* found = nullptr;
    if (Mesh* mesh = object ? object->getFirstMesh() : nullptr)
        for (Surface* surface : mesh->m_surfaces)
            if (surface && surface->getName() == name) found = surface;
    return found;
}

// Body, metal and tyre of the rider's moped, and the rider's figure: the surfaces the race tints.
void findColourSurfaces(Vehicle& kart, const Config::Player& record, LW6Scene& scene) {
    const std::string moped = RaceAssets::mopedObject(record.model, record.colour);
    const std::string figure = RaceAssets::figureObject(record.model);
    SceneObject* mopedObject = firstObjectNamed(scene, moped);
    SceneObject* figureObject = firstObjectNamed(scene, figure);
    kart.m_colourSurfaces[0] = lastSurfaceNamed(mopedObject, moped + "@dynamic_main");
    kart.m_colourSurfaces[1] = lastSurfaceNamed(mopedObject, moped + "@dynamic_main_metal");
    kart.m_colourSurfaces[2] = lastSurfaceNamed(mopedObject, moped + "@dynamic_reifen");
    kart.m_colourSurfaces[3] = lastSurfaceNamed(figureObject, figure + "@dynamic_fahrer");
}

// Track objects of a "_phy" name take their colour every frame, and their "dynamic_" surfaces are tinted.
void collectDynamicObjects(Race& race) {
    race.m_dynamicObjects.clear();
    race.m_dynamicSurfaces.clear();
    LW6Scene& scene = *race.m_scene;
    for (int32_t n = 0; n < scene.getObjectCount(); ++n) {
        SceneObject* object = scene.getObjectAt(n);
        if (!object || object->getName().find("_phy") == std::string::npos) continue;
        object->m_applyColor = true;
        Mesh* mesh = object->getFirstMesh();
        if (!mesh) continue;
        for (Surface* surface : mesh->m_surfaces) {
            if (!surface || surface->getName().find("dynamic_") == std::string::npos) continue;
            race.m_dynamicObjects.push_back(object);
            race.m_dynamicSurfaces.push_back(surface);
        }
    }
}

// A time trial has no extras: its pick-ups wait below the track.
void collectPickups(Race& race) {
    LW6Scene& scene = *race.m_scene;
    const int32_t count = scene.countObjects(RaceAssets::PICKUP_OBJECT, 0);
    for (int32_t instance = 1; instance <= count; ++instance) {
        SceneObject* pickup = scene.getObject(RaceAssets::PICKUP_OBJECT, 0, instance);
        race.m_pickups.push_back(pickup);
        if (race.m_config->m_game.get() != Race::TIME_TRIAL) continue;
        Position3 at = pickup->evaluatePosition(0.0);
        at.y -= 100.0f;
        pickup->setPosition(at);
        pickup->updateMatrix(0.0);
    }
}

bool isStamperSound(const std::string& sound) {
    for (const char* name : STAMPER_SOUNDS)
        if (sound == name) return true;
    return false;
}

// The stampers' sounds play when they strike, not looped by their objects.
void collectStampers(Race& race) {
    LW6Scene& scene = *race.m_scene;
    for (int32_t n = 0; n < scene.getObjectCount(); ++n) {
        SceneObject* object = scene.getObjectAt(n);
        if (!object || !object->getSound() || !isStamperSound(object->getSoundName())) continue;
        Sound& sound = *object->getSound();
        sound.stop();
        sound.setDistances(4.0f, 1000000.0f);
        sound.setVolume(scene.m_soundVolume * 0.9f);
        race.m_stampers.push_back(object);
    }
}

void applyRenderOptions(Renderer& renderer, const Config::Settings& settings) {
    renderer.m_textureSizeShift = settings.m_textureDetail;
    renderer.m_lodBias = settings.m_objectDetail ? 10 : 0;
}

void coverScreen(Renderer& renderer) {
    renderer.m_targetX = 0;
    renderer.m_targetY = 0;
    renderer.m_targetWidth = renderer.m_screenWidth;
    renderer.m_targetHeight = renderer.m_screenHeight;
    renderer.m_viewValue = 75.0f;
}

void resetRaceState(Race& race) {
    race.m_setUp = false;
    race.m_simulatedTime = 0.0;
    race.m_leaveRace = false;
    race.m_paused = false;
    race.m_clockRanAtPause = false;
    race.m_raceStartTime = 0.0f;
    race.m_countdownStartTime = 0.0f;
    race.m_cameraMode[0] = race.m_cameraMode[1] = Race::CHASE;
    race.m_frameCount = 0;
    race.m_lastSteps = 0;
    race.m_countdownState = Race::WAITING;
    race.m_raceOver = false;
    race.m_raceOverTime = 0.0f;
    race.m_resultsShown = false;
    // Lap starts, wrong-way and elimination times are the progress's own to reset.
    for (bool& wrongWay : race.m_wrongWay) wrongWay = false;
    race.m_triggerTimer = 0.0f;
    std::vector<SceneObject*>().swap(race.m_pickups);
    std::vector<SceneObject*>().swap(race.m_stampers);
}

// The configuration's requests to the outer loop belong to the last race.
void clearRequests(Config& config) {
    config.m_raceAgain = false;
    config.m_showHighscores = false;
    config.m_highscoreTrack = -1;
    config.m_highscoreTable = -1;
}

// The race's state, texts and rider records; a host draws the computer riders.
void startRace(Race& race, File& files, SoundDevice* sound, Config& config) {
    reportRaceProgress(0.0f);
    g_race = &race;
    race.m_isHost = config.m_isHost;
    race.m_config = &config;
    race.m_files = &files;
    race.m_soundDevice = sound;
    race.m_recordsLost = false;
    if (race.m_renderer) applyRenderOptions(*race.m_renderer, config.m_settings);
    resetRaceState(race);
    clearRequests(config);

    race.m_raceTexts = std::make_unique<TextTable>(TEXTS_FILE, files);
    const int32_t language = config.m_settings.m_language;
    race.m_raceTexts->m_language = language >= 1 && language < TextTable::LANGUAGE_COUNT ? language : 0;
    race.m_vehicleCount = config.m_game.get() == Race::TIME_TRIAL ? 1 : Race::MAX_VEHICLES;
    race.m_viewCount = config.m_playMode == Race::SPLIT_SCREEN ? 2 : 1;
    // A guest leaves a record that has not come yet alone, so it never sends an empty copy over its owner's.
    for (int32_t i = 0; i < race.m_vehicleCount; ++i)
        if (race.m_isHost || config.m_player[i].get().colour != -1) prepareRecord(config.m_player[i]);
    if (race.m_isHost) ComputerRiders::fill(config, race.m_vehicleCount, *race.m_raceTexts);
    NetControl::getInstance().sendChangedValues();
}

// A track that cannot carry a race is named in the log and the last error text.
bool trackFailed(const std::string& scene, const std::string& why) {
    const std::string text = "the track " + scene + " cannot be raced: " + why;
    g_logStream << text << std::endl;
    g_lastErrorText.assignText(text.c_str());
    return false;
}

bool loadTrack(Race& race, File& files) {
    reportRaceProgress(10.0f);
    if (race.m_renderer) coverScreen(*race.m_renderer);
    const int32_t track = race.m_config->m_track.get();
    if (!RaceAssets::isTrack(track)) return trackFailed(std::to_string(track), "there is no such track");
    const std::string scene = RaceAssets::trackScene(track);
    if (!files.exists(scene.c_str())) return trackFailed(scene, "the archive does not hold it");
    g_logStream << "track: " << scene << std::endl;
    race.m_metaScene = std::make_unique<MetaScene>(race.m_renderer, "metascene");
    race.m_metaScene->m_loadsTextures = race.m_drawn;
    race.m_scene = SceneLoader::loadScene(*race.m_metaScene, scene, files, race.m_loadingFrame);
    // Without its objects the track has no ground: the riders would fall through.
    if (!race.m_scene->m_unloadedObjects.empty()) {
        std::string why = g_lastErrorText.text();
        while (!why.empty() && std::isspace(static_cast<unsigned char>(why.back()))) why.pop_back();
        const std::string& object = race.m_scene->m_unloadedObjects.front();
        return trackFailed(scene, "its object " + object + " did not load (" + why + ")");
    }
    race.m_scene->createCamera(false);
    race.m_scene->m_soundVolume = 0.0f;
    if (race.m_drawn) race.m_cameraClearance = std::make_unique<CameraClearance>(*race.m_scene);
    return true;
}

// Each rider's record has the bound to come from the moment the last rider was added.
void restartRecordWait(Race& race) {
    race.m_recordGiveUp = std::chrono::steady_clock::now() + std::chrono::seconds(Race::RECORD_WAIT_SECONDS);
}

void beginRiders(Race& race) {
    reportRaceProgress(30.0f);
    std::fill(std::begin(race.m_vehicleRecord), std::end(race.m_vehicleRecord), 0u);
    race.m_ridersAdded = 0;
    restartRecordWait(race);
}

// The riders whose records are here, in slot order, up to the first LAN
// record still to come; false when one cannot be added.
bool addArrivedRiders(Race& race, File& files) {
    Config& config = *race.m_config;
    NetControl& client = NetControl::getInstance();
    while (race.m_ridersAdded < race.m_vehicleCount) {
        const int32_t i = race.m_ridersAdded;
        // Takes received records in, too.
        client.sendChangedValues();
        if (config.m_player[i].get().colour == -1) return true;
        if (!addRider(race, i, files, race.m_soundDevice)) return false;
        reportRaceProgress(30.0f + float(i * 40 / race.m_vehicleCount));
        ++race.m_ridersAdded;
        restartRecordWait(race);
    }
    return true;
}

// The start places become the riders' ranks; who rides what goes to the log.
void rankRiders(Race& race) {
    const Config& config = *race.m_config;
    g_logStream << "riders:";
    for (int32_t i = 0; i < race.m_vehicleCount; ++i) {
        const Config::Player& rider = config.m_player[i].get();
        race.m_vehicles[i]->m_rank.set(rider.startRank);
        // Names are the players' own text: cut and kept printable.
        const std::string name(rider.name, strnlen(rider.name, Config::NAME_SIZE));
        g_logStream << (i ? ", " : " ") << i << " \"" << printableExcerpt(name, Config::NAME_SIZE) << "\" (driver "
                    << config.m_playerKind[i] << ", moped " << rider.model << ")";
    }
    g_logStream << std::endl;
}

// The started scene's objects for the race and the riders; false when a computer kart cannot be filed.
bool prepareScene(Race& race) {
    reportRaceProgress(70.0f);
    Config& config = *race.m_config;
    race.m_metaScene->start(race.m_loadingFrame);
    for (int32_t i = 0; i < race.m_vehicleCount; ++i)
        findColourSurfaces(*race.m_vehicles[i], config.m_player[i].get(), *race.m_scene);
    collectDynamicObjects(race);
    for (int32_t i = 0; i < race.m_vehicleCount; ++i) {
        Vehicle& kart = *race.m_vehicles[i];
        if (kart.m_controller->isComputer() && !ComputerRiders::fileBody(kart.m_colObject, *race.m_scene))
            return false;
    }
    race.m_viewRider[0] = config.m_playMode == Race::LAN ? race.localPlayerSlot() : 0;
    race.m_viewRider[1] = 1;
    for (int32_t i = 0; i < race.m_vehicleCount; ++i) race.m_vehicles[i]->m_playerRecord = &config.m_player[i];

    reportRaceProgress(75.0f);
    collectPickups(race);
    collectStampers(race);
    race.m_scene->m_outOfSightBelow = OUT_OF_SIGHT_BELOW;
    reportRaceProgress(80.0f);
    race.m_surfaces = std::make_unique<RaceSurfaces>(&race);
    race.m_surfaces->install(*race.m_scene);
    return true;
}

// Track objects that still load though damaged can leave no ground where the riders start: they would fall
// through. Each start must stand on what a kart's ray takes for ground.
bool groundUnderStarts(Race& race) {
    LW6Scene& scene = *race.m_scene;
    GroundProbe probe(scene);
    for (int32_t i = 0; i < race.m_vehicleCount; ++i) {
        SceneObject* start = scene.getObject("start", -1, i + 1);
        if (!start || probe.under(start->evaluatePosition(0.0)).found == GroundProbe::Found::GROUND) continue;
        return trackFailed(RaceAssets::trackScene(race.m_config->m_track.get()),
                           "there is no ground under start place " + std::to_string(i + 1));
    }
    return true;
}

void loadMaps(Race& race, File& files, SoundDevice* sound) {
    reportRaceProgress(85.0f);
    if (sound) sound->setListenerFactors(1.0f, 1.0f, 2.0f);
    const int32_t track = race.m_config->m_track.get();
    // The map only tints what is drawn.
    if (race.m_drawn) {
        race.m_illuminationMap = std::make_unique<IlluminationMap>();
        race.m_illuminationMap->load(track, files);
    }
    reportRaceProgress(88.0f);
    race.m_positionMap = std::make_unique<PositionMap>();
    race.m_positionMap->load(track, files);
    reportRaceProgress(89.0f);
    race.resetProgress();
}

// Displays, cameras, sounds, high scores and the clock; false when the scene lacks a view's camera.
bool finishRace(Race& race, File& files, SoundDevice* sound) {
    Config& config = *race.m_config;
    race.m_displays.reset(OnscreenDisplays::create(race));
    for (int32_t v = 0; v < race.m_viewCount; ++v) {
        race.m_displays->setExtraIcon(v, 0);
        race.m_displays->setMinimapDotImage(v, race.m_viewRider[v], 1);
    }
    reportRaceProgress(95.0f);
    if (race.m_scene->m_cameras.size() < size_t(race.m_viewCount)) return false;
    for (int32_t v = 0; v < race.m_viewCount; ++v) race.m_scene->m_cameras[v]->m_zoomFactor.constant = 1.5f;
    race.m_musicStream.reset(loadSampleStream(files, RaceAssets::trackMusic(config.m_track.get())));
    race.m_music = makeSound(sound, race.m_musicStream.get(), SOUND_STATIC);
    race.m_music->setVolume(float(config.m_settings.m_musicVolume) * 0.01f);
    reportRaceProgress(100.0f);

    race.m_countStream.reset(loadSampleStream(files, COUNT_SOUND));
    race.m_countSound = makeSound(sound, race.m_countStream.get(), SOUND_STATIC);
    race.m_countSound->setVolume(effectsVolume(config) * 0.9f);
    race.m_startStream.reset(loadSampleStream(files, START_SOUND));
    race.m_startSound = makeSound(sound, race.m_startStream.get(), SOUND_STATIC);
    race.m_startSound->setVolume(effectsVolume(config) * 0.9f);

    race.m_highscores = std::make_unique<HighscoreTables>();
    race.run().m_highscoreStore.load(*race.m_highscores, config.pathOf(HighscoreTables::FILE_NAME));
    const int32_t own = race.localPlayerSlot();
    if (own >= 0 && own < Config::RIDERS) {
        Config::Player& player = *config.m_player[own].modify();
        player.ready = 0;
        player.raceReady = 0;
    }
    race.updateListener();
    race.startSounds();
    NetControl::getInstance().sendChangedValues();
    race.m_clock = std::make_unique<Timer>(race.m_tickSource);
    return true;
}

// Set-up's steps from the riders on, as far as the riders' records allow;
// false at the first thing missing or when a record will not come.
bool build(Race& race, File& files) {
    if (!addArrivedRiders(race, files)) return false;
    if (race.m_ridersAdded < race.m_vehicleCount) {
        race.m_recordsLost = !NetControl::getInstance().isConnected() ||
                             std::chrono::steady_clock::now() >= race.m_recordGiveUp;
        return !race.m_recordsLost;
    }
    rankRiders(race);
    if (!prepareScene(race) || !groundUnderStarts(race)) return false;
    loadMaps(race, files, race.m_soundDevice);
    if (!finishRace(race, files, race.m_soundDevice)) return false;
    race.m_setUp = true;
    return true;
}

// A step of set-up; what was built is freed when it fails or throws.
template <typename Step>
bool guarded(Race& race, Step step) {
    const SetUpHeap heap;
    try {
        if (step()) return true;
    } catch (...) {
        race.teardown();
        throw;
    }
    race.teardown();
    return false;
}

} // namespace

bool Race::setup(File* files, SoundDevice* sound, Config* config) {
    if (!files || !config) return false;
    // A race still set up goes first.
    if (m_metaScene) teardown();
    return guarded(*this, [&] {
        startRace(*this, *files, sound, *config);
        // Its workers are joined when it goes, however set-up ends.
        ReadAheadFile ahead(*files, membersAhead(*this, *files), AHEAD_THREADS);
        if (!loadTrack(*this, ahead)) return false;
        beginRiders(*this);
        return build(*this, ahead);
    });
}

bool Race::continueSetup() {
    if (m_setUp) return true;
    if (!m_metaScene) return false;
    return guarded(*this, [this] { return build(*this, *m_files); });
}

bool Race::teardown() {
    m_setUp = false;
    stopSounds();
    reportRaceProgress(0.0f);
    m_clock.reset();
    reportRaceProgress(10.0f);
    m_illuminationMap.reset();
    reportRaceProgress(20.0f);
    m_positionMap.reset();
    reportRaceProgress(30.0f);
    if (m_displays) m_displays->destroy();
    m_displays.reset();
    reportRaceProgress(50.0f);
    m_raceTexts.reset();
    reportRaceProgress(55.0f);
    // The scene's objects go with it.
    m_dynamicObjects.clear();
    m_dynamicSurfaces.clear();
    m_pickups.clear();
    m_stampers.clear();
    m_tintedObjects.clear();
    m_cameraClearance.reset();
    m_scene = nullptr;
    m_metaScene.reset();
    reportRaceProgress(80.0f);
    const int32_t count = m_vehicleCount;
    for (int32_t i = 0; i < MAX_VEHICLES; ++i) {
        m_vehicles[i].reset();
        if (i < count) reportRaceProgress(80.0f + float(i * 15 / count));
    }
    m_vehicleCount = 0;
    reportRaceProgress(95.0f);
    m_highscores.reset();
    m_music.reset();
    m_musicStream.reset();
    m_countSound.reset();
    m_countStream.reset();
    m_startSound.reset();
    m_startStream.reset();
    m_surfaces.reset();
    m_config = nullptr;
    m_files = nullptr;
    m_soundDevice = nullptr;
    if (g_race == this) g_race = nullptr;
    reportRaceProgress(100.0f);
    return true;
}
