// Race set-up and tear-down on the demo data set, without renderer or GUI.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <chrono>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <ode/collision.h>

#include "engine/platform/Timer.h"
#include "engine/platform/audio/NullSoundDevice.h"
#include "engine/platform/audio/SampleStream.h"
#include "engine/platform/audio/Sound.h"
#include "engine/platform/audio/SoundDevice.h"
#include "engine/platform/gui/LoadingFrame.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/SceneRenderer.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "game/displays/OnscreenDisplays.h"
#include "game/drivers/ControllerAI.h"
#include "game/drivers/ControllerNet.h"
#include "game/drivers/ControllerUser1.h"
#include "game/drivers/ControllerUser2.h"
#include "game/drivers/ControllerUserSingle.h"
#include "game/karts/VehicleClient.h"
#include "game/karts/VehicleMaster.h"
#include "game/race/ComputerRiders.h"
#include "game/race/RaceProgressReport.h"
#include "game/records/HighscoreTables.h"
#include "game/records/TextTable.h"
#include "net/GameServer.h"
#include "sys/window/Window.h"
#include "tests/engine/render/RendererTestSupport.h"
#include "tests/game/race/RaceTestSupport.h"

namespace {

// Values registered with the game's network client, counted by their ids.
int registeredValues() {
    int count = 0;
    for (int32_t id = 0; id < NetProtocol::MAX_NID; ++id)
        if (NetControl::getInstance().getValueId(id)) ++count;
    return count;
}

// A device that can make no sound at all.
class BrokenSoundDevice : public SoundDevice {
public:
    std::unique_ptr<Sound> createSound(SampleStream*, uint32_t) override { return nullptr; }
};

// The demo data set with the files whose names hold a given piece missing, or
// there but damaged: every byte after their first 12 flipped, or (still
// loading) one bit of every point coordinate of an object file, which throws
// its points far off or onto the origin.
class HidingFiles : public File {
public:
    enum class Damage { NONE, EVERY_BYTE, POINTS };

    HidingFiles(File& inner, std::string hidden, Damage damage = Damage::NONE)
        : m_inner(&inner), m_hidden(std::move(hidden)), m_damage(damage) {}
    File* clone() override {
        auto* copy = new HidingFiles(*m_inner->clone(), m_hidden, m_damage);
        copy->m_owned.reset(copy->m_inner);
        return copy;
    }
    bool exists(const char* name) override { return (damaged() || !hidden(name)) && m_inner->exists(name); }
    bool open(const char* name) override {
        if ((!damaged() && hidden(name)) || !m_inner->open(name)) return false;
        m_size = m_inner->getSize();
        m_damaging = damaged() && hidden(name);
        m_pointLists.clear();
        if (m_damaging && m_damage == Damage::POINTS) findPointLists();
        return true;
    }
    bool create(const char* name) override { return false; }
    bool close() override { return m_inner->close(); }
    int32_t read(void* buffer, uint32_t count) override {
        const uint32_t at = m_inner->tell();
        const int32_t got = m_inner->read(buffer, count);
        auto* bytes = static_cast<uint8_t*>(buffer);
        for (int32_t i = 0; m_damaging && i < got; ++i) bytes[i] ^= flipOf(at + uint32_t(i));
        return got;
    }
    int32_t write(const void*, uint32_t) override { return 0; }
    bool seek(uint32_t position) override { return m_inner->seek(position); }
    bool skip(int32_t count) override { return m_inner->skip(count); }
    uint32_t tell() override { return m_inner->tell(); }

private:
    bool hidden(const char* name) const { return std::string(name).find(m_hidden) != std::string::npos; }
    bool damaged() const { return m_damage != Damage::NONE; }

    uint8_t flipOf(uint32_t at) const {
        if (m_damage == Damage::EVERY_BYTE) return at >= 12 ? 0xA5 : 0;
        for (auto [from, to] : m_pointLists)
            if (at >= from && at < to && (at - from) % 4 == 0) return 0x20;
        return 0;
    }

    // The "PNTS" chunks of an object file: big-endian floats, the first byte of each holding the exponent.
    void findPointLists() {
        std::vector<uint8_t> bytes(m_size);
        m_inner->read(bytes.data(), m_size);
        m_inner->seek(0);
        if (m_size < 12 || std::memcmp(bytes.data(), "FORM", 4) != 0) return;
        for (uint32_t at = 12; at + 8 <= m_size;) {
            const uint32_t length = uint32_t(bytes[at + 4]) << 24 | uint32_t(bytes[at + 5]) << 16 |
                                    uint32_t(bytes[at + 6]) << 8 | bytes[at + 7];
            if (std::memcmp(&bytes[at], "PNTS", 4) == 0) m_pointLists.emplace_back(at + 8, at + 8 + length);
            at += 8 + length + (length & 1);
        }
    }

    File* m_inner;
    std::unique_ptr<File> m_owned;
    std::string m_hidden;
    Damage m_damage;
    bool m_damaging = false;
    std::vector<std::pair<uint32_t, uint32_t>> m_pointLists;
};

template <typename Kind, typename Object>
bool is(Object* object) {
    return dynamic_cast<Kind*>(object) != nullptr;
}

// What set-up drew for the riders: kind, moped and colour of every slot.
std::vector<int> drawn(Config& config) {
    std::vector<int> out;
    for (int i = 0; i < Config::RIDERS; ++i)
        for (int value : {config.m_playerKind[i], config.m_player[i].get().model, config.m_player[i].get().colour})
            out.push_back(value);
    return out;
}

// The number of the track's start the rider stands on, 1 at the back of the grid; 0 for none.
int startUnder(Race& race, int rider) {
    Position3 at;
    race.m_vehicles[rider]->getPosition(at);
    for (int number = 1; number <= Config::RIDERS; ++number) {
        const Position3 start = race.m_scene->getObject("start", -1, number)->evaluatePosition(0.0);
        if (std::hypot(at.x - start.x, at.z - start.z) < 0.01f) return number;
    }
    return 0;
}

void expectTornDown(const Race& race) {
    EXPECT_EQ(g_race, nullptr);
    for (const auto& vehicle : race.m_vehicles) EXPECT_EQ(vehicle, nullptr);
    EXPECT_EQ(race.m_metaScene, nullptr);
    EXPECT_EQ(race.m_scene, nullptr);
    EXPECT_EQ(race.m_clock, nullptr);
    EXPECT_EQ(race.m_displays, nullptr);
    EXPECT_EQ(race.m_raceTexts, nullptr);
    EXPECT_EQ(race.m_highscores, nullptr);
    EXPECT_EQ(race.m_surfaces, nullptr);
    EXPECT_EQ(race.m_positionMap, nullptr);
    EXPECT_EQ(race.m_illuminationMap, nullptr);
    EXPECT_EQ(race.m_music, nullptr);
    EXPECT_TRUE(race.m_pickups.empty());
}

} // namespace

TEST(RaceSetup, SetsUpTearsDownAndSetsUpAgainWithEverySoundUsableAndNothingLeftBehind) {
    RaceConfig setting;
    Config& config = setting.config();
    writeWholeFile("highscore.dat", "not a high-score file");
    const int valuesBefore = registeredValues();
    BrokenSoundDevice sound;
    Race race;

    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(race.setup(&demoArchive(), &sound, &config)) << "pass " << pass;
        EXPECT_EQ(g_race, &race);
        ASSERT_EQ(race.m_vehicleCount, 5);
        for (int i = 0; i < race.m_vehicleCount; ++i) {
            Vehicle& kart = *race.m_vehicles[i];
            for (int slot = 0; slot < Vehicle::SOUND_SLOTS; ++slot) {
                if (slot == 5) continue;
                EXPECT_NE(kart.m_sounds[slot], nullptr) << "rider " << i << " slot " << slot;
            }
            EXPECT_EQ(kart.m_playerRecord, &config.m_player[i]);
            EXPECT_EQ(kart.m_rank.get(), config.m_player[i].get().startRank);
            for (Surface* paint : kart.m_colourSurfaces) EXPECT_NE(paint, nullptr) << "the demo mopeds are painted";
        }
        for (Sound* raceSound : {race.m_music.get(), race.m_countSound.get(), race.m_startSound.get()})
            EXPECT_NE(raceSound, nullptr);
        EXPECT_EQ(race.m_countdownState, Race::WAITING);
        EXPECT_FALSE(race.m_clock->isRunning());
        EXPECT_FALSE(race.m_pickups.empty());
        HighscoreTables stored;
        EXPECT_TRUE(stored.load("highscore.dat")) << "a damaged table file is replaced by the defaults";

        EXPECT_TRUE(race.teardown());
        expectTornDown(race);
        EXPECT_EQ(registeredValues(), valuesBefore) << "every kart's values left the network client";
        EXPECT_TRUE(race.teardown()) << "a second tear-down finds nothing to free";
    }
}

namespace {

// A single race with the player in slot 2: every other slot, slot 0 too, is the computer's.
void seatPlayerInSlotTwo(Config& config) {
    *config.m_player[0].modify() = Config::Player();
    config.m_playerKind[0] = Race::COMPUTER;
    Config::Player& player = *config.m_player[2].modify();
    player.model = 0;
    player.colour = 1;
    config.m_playerKind[2] = Race::SINGLE;
}

} // namespace

TEST(RaceSetup, SingleRaceFillsTheEmptySlotsWithNamedComputerRidersOnDistinctMopedsDrawnAlikeAfterAReset) {
    RaceConfig setting(Race::SINGLE_RACE, 1);
    Config& config = setting.config();
    seatPlayerInSlotTwo(config);
    Race race;
    ASSERT_TRUE(race.setup(&demoArchive(), nullptr, &config));
    const std::vector<int> first = drawn(config);

    std::vector<int> models;
    for (int i = 0; i < Config::RIDERS; ++i) models.push_back(config.m_player[i].get().model);
    std::sort(models.begin(), models.end());
    EXPECT_EQ(models, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(is<ControllerUserSingle>(race.m_vehicles[2]->m_controller.get()));
    for (int i : {0, 1, 3, 4}) {
        const Config::Player& rider = config.m_player[i].get();
        EXPECT_EQ(config.m_playerKind[i], Race::COMPUTER);
        EXPECT_GE(rider.colour, 0);
        EXPECT_LE(rider.colour, 3);
        const CEGUI::String& text = race.m_raceTexts->getText(100 * (rider.model + 1));
        const std::string name = reinterpret_cast<const char*>(text.c_str());
        EXPECT_FALSE(name.empty());
        EXPECT_EQ(name, rider.name);
        EXPECT_EQ(config.m_player[i].getFlags(), NetValueBase::FLAG_SEND);

        auto* kart = race.m_vehicles[i]->asMaster();
        ASSERT_NE(kart, nullptr);
        auto* driver = dynamic_cast<ControllerAI*>(kart->m_controller.get());
        ASSERT_NE(driver, nullptr);
        EXPECT_EQ(driver->m_vehicle, kart);
        ASSERT_GE(driver->m_pathNumber, 0) << "rider " << i;
        ASSERT_LT(driver->m_pathNumber, ControllerAI::PATHS) << "rider " << i;
        EXPECT_GT(driver->m_paths[driver->m_pathNumber].size(), 1u) << "a recorded path, not the stand-in point";
        auto* body = dynamic_cast<ODEGeomObject*>(kart->m_colObject);
        ASSERT_NE(body, nullptr);
        dGeomID filed = body->m_geomTransform ? body->m_geomTransform : body->m_geom;
        EXPECT_EQ(dGeomGetSpace(filed), race.m_scene->getSpace(ComputerRiders::SPACE));
    }
    race.teardown();

    RaceConfig again(Race::SINGLE_RACE, 1);
    seatPlayerInSlotTwo(again.config());
    ASSERT_TRUE(race.setup(&demoArchive(), nullptr, &again.config()));
    EXPECT_EQ(drawn(again.config()), first);
}

TEST(RaceSetup, TimeTrialRacesTheOneRiderWithThePickUpsBelowTheTrack) {
    Race race;
    std::vector<float> heights;
    {
        RaceConfig single(Race::SINGLE_RACE, 2);
        ASSERT_TRUE(race.setup(&demoArchive(), nullptr, &single.config()));
        for (SceneObject* pickup : race.m_pickups) heights.push_back(pickup->evaluatePosition(0.0).y);
        race.teardown();
    }
    ASSERT_FALSE(heights.empty());
    RaceConfig trial(Race::TIME_TRIAL, 2);
    Config& config = trial.config();
    ASSERT_TRUE(race.setup(&demoArchive(), nullptr, &config));
    EXPECT_EQ(race.m_vehicleCount, 1);
    EXPECT_EQ(race.getVehicle(1), nullptr);
    for (int i = 1; i < Config::RIDERS; ++i) EXPECT_EQ(config.m_player[i].get().model, -1) << "no computer riders";
    ASSERT_EQ(race.m_pickups.size(), heights.size());
    for (size_t k = 0; k < heights.size(); ++k)
        EXPECT_FLOAT_EQ(race.m_pickups[k]->evaluatePosition(0.0).y, heights[k] - 100.0f);
}

TEST(RaceSetup, SplitScreenShowsRidersZeroAndOneThroughTwoZoomedCameras) {
    RaceConfig setting;
    Config& config = setting.config();
    config.m_playMode = Race::SPLIT_SCREEN;
    config.m_playerKind[0] = Race::USER1;
    config.m_playerKind[1] = Race::USER2;
    Config::Player& second = *config.m_player[1].modify();
    second.model = 3;
    second.colour = 2;
    Race race;
    ASSERT_TRUE(race.setup(&demoArchive(), nullptr, &config));
    EXPECT_EQ(race.m_viewCount, 2);
    EXPECT_EQ(race.m_viewRider[0], 0);
    EXPECT_EQ(race.m_viewRider[1], 1);
    EXPECT_TRUE(is<ControllerUser1>(race.m_vehicles[0]->m_controller.get()));
    EXPECT_TRUE(is<ControllerUser2>(race.m_vehicles[1]->m_controller.get()));
    EXPECT_EQ(race.m_vehicles[1]->m_mopedFile, "D:\\Vantorik/3dobjects_cars/vespa/vespa_pink.lwo");
    for (int v = 0; v < 2; ++v) EXPECT_FLOAT_EQ(race.m_scene->m_cameras[v]->m_zoomFactor.constant, 1.5f);
    EXPECT_EQ(race.m_cameraMode[0], Race::CHASE);
    EXPECT_EQ(race.m_cameraMode[1], Race::CHASE);
}

TEST(RaceSetup, ChampionshipLinesTheNextRaceUpInTheLastRacesPlacesAsThePanelShowsThem) {
    RaceConfig setting(Race::CHAMPIONSHIP, 0);
    Config& config = setting.config();
    // The set-up screens' start places: the player, slot 0, at the back.
    for (int i = 0; i < Config::RIDERS; ++i) config.m_player[i].modify()->startRank = Config::RIDERS - 1 - i;
    Race race;
    ASSERT_TRUE(race.setup(&demoArchive(), nullptr, &config));
    for (int i = 0; i < Config::RIDERS; ++i) EXPECT_EQ(startUnder(race, i), i + 1) << "first race, rider " << i;
    // Computer rider 3 wins, the player comes second, rider 2 last.
    const int order[] = {3, 0, 4, 1, 2};
    for (int rider : order) {
        race.m_vehicles[rider]->m_trackFinished = true;
        race.recordFinish(rider);
    }
    race.teardown();

    // The next track, alone and on a split screen: the winner at the front, the last at the back.
    config.m_track.set(1);
    for (int playMode : {Race::ONE_PLAYER, Race::SPLIT_SCREEN}) {
        config.m_playMode = playMode;
        config.m_playerKind[0] = playMode == Race::SPLIT_SCREEN ? Race::USER1 : Race::SINGLE;
        config.m_playerKind[1] = playMode == Race::SPLIT_SCREEN ? Race::USER2 : Race::COMPUTER;
        ASSERT_TRUE(race.setup(&demoArchive(), nullptr, &config));
        for (int place = 0; place < Config::RIDERS; ++place) {
            const int rider = order[place];
            EXPECT_EQ(config.m_player[rider].get().startRank, place);
            EXPECT_EQ(race.m_vehicles[rider]->m_rank.get(), place) << "the countdown's place, rider " << rider;
            EXPECT_EQ(startUnder(race, rider), Config::RIDERS - place) << "play mode " << playMode;
        }
        race.teardown();
    }
    // Any other race stands by slot, whatever places the records hold.
    config.m_game.set(Race::SINGLE_RACE);
    ASSERT_TRUE(race.setup(&demoArchive(), nullptr, &config));
    for (int i = 0; i < Config::RIDERS; ++i) EXPECT_EQ(startUnder(race, i), i + 1) << "single race, rider " << i;
}

TEST(RaceSetup, HandsTheDetailOptionsAndScreenToTheRendererAndClearsTheLastRacesRequests) {
    RaceConfig setting(Race::SINGLE_RACE, 3);
    Config& config = setting.config();
    config.m_settings.m_textureDetail = -2;
    config.m_settings.m_objectDetail = 1;
    config.m_settings.m_language = 3;
    config.m_raceAgain = true;
    config.m_showHighscores = true;
    RecordingRenderDevice device;
    SceneRenderer renderer(device.device());
    renderer.m_screenWidth = 800;
    renderer.m_screenHeight = 600;
    renderer.m_viewValue = 60.0f;
    NullSoundDevice sounds;
    renderer.m_soundDevice = &sounds;
    Race race(&renderer);
    ASSERT_TRUE(race.setup(&demoArchive(), nullptr, &config));
    EXPECT_EQ(renderer.m_textureSizeShift, -2);
    EXPECT_EQ(renderer.m_lodBias, 10);
    EXPECT_EQ(renderer.m_targetWidth, 800);
    EXPECT_EQ(renderer.m_targetHeight, 600);
    EXPECT_FLOAT_EQ(renderer.m_viewValue, 75.0f);
    EXPECT_EQ(race.m_raceTexts->m_language, 3);
    EXPECT_FALSE(config.m_raceAgain);
    EXPECT_FALSE(config.m_showHighscores);
    ASSERT_FALSE(race.m_stampers.empty()) << "the car park's stamper, found by its sound";
    for (SceneObject* stamper : race.m_stampers) EXPECT_FALSE(stamper->getSound()->isPlaying());
    race.teardown();

    config.m_settings.m_objectDetail = 0;
    config.m_settings.m_language = -1;
    ASSERT_TRUE(race.setup(&demoArchive(), nullptr, &config));
    EXPECT_EQ(renderer.m_lodBias, 0);
    EXPECT_EQ(race.m_raceTexts->m_language, 0) << "no language chosen reads German";
}

TEST(RaceSetup, ReportsTheLoadingBarStepsInOrder) {
    struct Recorder {
        Recorder() {
            g_raceProgressListener = [this](float percent) { steps.push_back(percent); };
        }
        ~Recorder() { g_raceProgressListener = nullptr; }
        std::vector<float> steps;
    } recorder;
    RaceConfig setting;
    Race race;
    ASSERT_TRUE(race.setup(&demoArchive(), nullptr, &setting.config()));
    EXPECT_EQ(recorder.steps, (std::vector<float>{0, 10, 30, 30, 38, 46, 54, 62, 70, 75, 80, 85, 88, 89, 95, 100}));
    recorder.steps.clear();
    race.teardown();
    EXPECT_EQ(recorder.steps, (std::vector<float>{0, 10, 20, 30, 50, 55, 80, 80, 83, 86, 89, 92, 95, 100}));
}

TEST(RaceSetup, AWindowClosedWhileTheTrackOrAMopedLoadsEndsTheSetUpAtItsNextStepWithNothingLeftBehind) {
    RaceConfig setting;
    const int valuesBefore = registeredValues();
    LoadingFrame frame;
    Race race;
    race.m_loadingFrame = &frame;
    sys::pumpMessages();
    // The window closes as the bar reaches the track's load, the mopeds' and the textures'.
    for (float closedAt : {10.0f, 30.0f, 70.0f}) {
        bool closed = false, tearingDown = false;
        float reached = 0.0f;
        g_raceProgressListener = [&](float percent) {
            // Tear-down reports from 0 again.
            tearingDown = tearingDown || (closed && percent == 0.0f);
            if (tearingDown) return;
            reached = percent;
            if (percent != closedAt || closed) return;
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            closed = SDL_PushEvent(&quit) == 1;
        };
        EXPECT_THROW(race.setup(&demoArchive(), nullptr, &setting.config()), LoadingAbortedException) << closedAt;
        g_raceProgressListener = nullptr;
        EXPECT_EQ(reached, closedAt) << "no further step";
        expectTornDown(race);
        EXPECT_EQ(registeredValues(), valuesBefore) << closedAt;
    }
    EXPECT_TRUE(race.setup(&demoArchive(), nullptr, &setting.config()));
}

TEST(RaceSetup, AMissingTrackOrMopedFailsAndFreesAndTheNextSetUpWorks) {
    RaceConfig setting(Race::SINGLE_RACE, 3, 1, 4, 3);
    Config& config = setting.config();
    const int valuesBefore = registeredValues();
    Race race;
    for (const char* missing : {"track_04_parkplatz.lws", "yamaha_rot.lws"}) {
        HidingFiles files(demoArchive(), missing);
        EXPECT_FALSE(race.setup(&files, nullptr, &config)) << missing;
        expectTornDown(race);
        EXPECT_EQ(registeredValues(), valuesBefore) << missing;
    }
    config.m_track.set(9);
    EXPECT_FALSE(race.setup(&demoArchive(), nullptr, &config)) << "no such track";
    config.m_track.set(3);
    EXPECT_TRUE(race.setup(&demoArchive(), nullptr, &config));
}

TEST(RaceSetup, ADamagedTrackObjectThatFailsToLoadOrLeavesNoGroundFailsTheSetUpWithAClearMessage) {
    RaceConfig setting(Race::SINGLE_RACE, 3, 1, 4, 3);
    Config& config = setting.config();
    Race race;
    const std::string track = "the track D:\\Vantorik\\3dobjects_tracks\\track_04_parkplatz.lws cannot be raced: ";
    // Objects that do not load, and the track's objects that load with their points thrown off: the riders
    // would fall through either way.
    const struct {
        const char* files;
        HidingFiles::Damage damage;
        std::string reason;
    } cases[] = {{".lwo", HidingFiles::Damage::EVERY_BYTE, "its object "},
                 {"track04", HidingFiles::Damage::POINTS, "there is no ground under start place 1"}};
    for (const auto& damaged : cases) {
        HidingFiles files(demoArchive(), damaged.files, damaged.damage);
        LogCapture log;
        g_reportLevel = 3;
        g_reportToLog = true;
        EXPECT_FALSE(race.setup(&files, nullptr, &config)) << damaged.reason;
        g_reportLevel = 0;
        g_reportToLog = false;
        expectTornDown(race);
        const std::string text = g_lastErrorText.text();
        EXPECT_NE(text.find(track + damaged.reason), std::string::npos) << text;
        EXPECT_NE(log.text().find(text), std::string::npos) << log.text();
    }
    EXPECT_TRUE(race.setup(&demoArchive(), nullptr, &config));
}

TEST(RaceSetup, ARecordOfNoMopedAndNoColourRacesTheFirstOnes) {
    RaceConfig setting;
    Config& config = setting.config();
    Config::Player& bad = *config.m_player[0].modify();
    bad.model = 77;
    bad.colour = -9;
    Config::Player& other = *config.m_player[2].modify();
    other.model = -5;
    other.colour = 4;
    config.m_playerKind[2] = Race::SINGLE;
    Race race;
    ASSERT_TRUE(race.setup(&demoArchive(), nullptr, &config));
    EXPECT_EQ(race.m_vehicles[0]->m_mopedFile, "D:\\Vantorik/3dobjects_cars/hercules/hercules_blau.lwo");
    std::vector<int> models;
    for (int i = 0; i < Config::RIDERS; ++i) models.push_back(config.m_player[i].get().model);
    EXPECT_EQ(models[0], 0);
    EXPECT_EQ(models[2], 0) << "both bad records take the first moped";
    std::sort(models.begin(), models.end());
    EXPECT_EQ(std::unique(models.begin(), models.end()) - models.begin(), 4) << "the computers take the others";
    EXPECT_EQ(models[0], 0);
}

namespace {

// Every name opened through it and its clones; set-up's workers open through
// clones on their own threads.
class OpenedNames : public File {
    struct Names {
        std::mutex lock;
        std::vector<std::string> list;
    };

public:
    explicit OpenedNames(File& inner, std::shared_ptr<Names> names = nullptr)
        : m_inner(&inner), m_names(names ? names : std::make_shared<Names>()) {}
    File* clone() override {
        auto* copy = new OpenedNames(*m_inner->clone(), m_names);
        copy->m_owned.reset(copy->m_inner);
        return copy;
    }
    bool exists(const char* name) override { return m_inner->exists(name); }
    bool open(const char* name) override {
        {
            std::lock_guard<std::mutex> hold(m_names->lock);
            m_names->list.push_back(name);
        }
        if (!m_inner->open(name)) return false;
        m_size = m_inner->getSize();
        return true;
    }
    bool create(const char*) override { return false; }
    bool close() override { return m_inner->close(); }
    int32_t read(void* buffer, uint32_t count) override { return m_inner->read(buffer, count); }
    int32_t write(const void*, uint32_t) override { return 0; }
    bool seek(uint32_t position) override { return m_inner->seek(position); }
    bool skip(int32_t count) override { return m_inner->skip(count); }
    uint32_t tell() override { return m_inner->tell(); }

    // The names opened that end in one of `kinds` (lower case), in order.
    std::vector<std::string> endingIn(std::initializer_list<const char*> kinds) const {
        std::vector<std::string> found;
        std::lock_guard<std::mutex> hold(m_names->lock);
        for (const std::string& name : m_names->list) {
            std::string lower(name);
            std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
            for (const char* kind : kinds) {
                const size_t length = std::strlen(kind);
                if (lower.size() >= length && lower.compare(lower.size() - length, length, kind) == 0)
                    found.push_back(name);
            }
        }
        return found;
    }

private:
    File* m_inner;
    std::unique_ptr<File> m_owned;
    std::shared_ptr<Names> m_names;
};

} // namespace

TEST(RaceSetup, ARaceNobodyWatchesReadsNoPictureAndNoIlluminationMapYetStandsOnTheSameTrack) {
    RaceConfig setting(Race::SINGLE_RACE, 3);
    size_t drawnGeoms = 0;
    for (bool drawn : {true, false}) {
        OpenedNames files(demoArchive());
        Race race;
        race.m_drawn = drawn;
        ASSERT_TRUE(race.setup(&files, nullptr, &setting.config())) << "drawn " << drawn;
        size_t geoms = 0;
        for (int i = 0; i < race.m_scene->getObjectCount(); ++i)
            if (auto* geom = dynamic_cast<ODEGeomObject*>(race.m_scene->getObjectAt(i)); geom && geom->m_geom) ++geoms;
        const std::vector<std::string> pictures = files.endingIn({".bmp", ".jpg", ".pcx"});
        if (drawn) {
            EXPECT_GT(pictures.size(), 1u) << "the textures and the illumination map are read";
            EXPECT_NE(race.m_illuminationMap, nullptr);
            drawnGeoms = geoms;
            continue;
        }
        EXPECT_EQ(pictures, std::vector<std::string>{"D:\\Vantorik/mini_maps/posmap_track_04.pcx"})
            << "the position map is the one picture the race itself reads";
        EXPECT_EQ(race.m_illuminationMap, nullptr);
        EXPECT_EQ(geoms, drawnGeoms);
        race.illuminate();
    }
}

TEST(RaceSetup, EverySoundFileIsReadOnceThoughEveryKartPlaysTheHitAndRespawnSounds) {
    RaceConfig setting;
    OpenedNames files(demoArchive());
    Race race;
    ASSERT_TRUE(race.setup(&files, nullptr, &setting.config()));
    std::vector<std::string> sounds = files.endingIn({".wav", ".ogg"});
    ASSERT_FALSE(sounds.empty());
    std::sort(sounds.begin(), sounds.end());
    EXPECT_EQ(std::adjacent_find(sounds.begin(), sounds.end()), sounds.end());
    SampleStream* first = race.m_vehicles[0]->m_streams[Vehicle::SOUND_HIT_WALL].get();
    for (int i = 1; i < race.m_vehicleCount; ++i) {
        SampleStream* stream = race.m_vehicles[i]->m_streams[Vehicle::SOUND_HIT_WALL].get();
        ASSERT_NE(stream, nullptr);
        EXPECT_NE(stream, first) << "each kart plays its own copy";
        EXPECT_EQ(stream->getName(), first->getName());
        EXPECT_EQ(stream->getSize(), first->getSize());
    }
}

namespace {

// A lobby server in this process with a hosting client; the game's own client joins as the guest.
class LanGuest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.start());
        m_host.setPort(m_server.getBoundPort());
        NetControl::getInstance().setPort(m_server.getBoundPort());
        ASSERT_TRUE(m_host.connect("localhost", true));
        ASSERT_TRUE(NetControl::getInstance().connect("127.0.0.1", false));
        ASSERT_EQ(NetControl::getInstance().getPlayerSlot(), 1);
        Config& config = m_setting.config();
        config.m_playMode = Race::LAN;
        config.m_isHost = false;
        for (int i = 0; i < Config::RIDERS; ++i) {
            *config.m_player[i].modify() = Config::Player();
            config.m_playerKind[i] = Race::REMOTE;
        }
        Config::Player& own = *config.m_player[1].modify();
        own.model = 2;
        own.colour = 3;
        config.m_playerKind[1] = Race::GUEST;
    }
    void TearDown() override {
        m_race.teardown();
        NetControl::getInstance().disconnect();
        NetControl::getInstance().setPort(NetProtocol::GAME_PORT);
        m_host.disconnect();
        m_server.stop();
    }

    GameDaemon::GameServer m_server{0, 300};
    NetControl m_host;
    RaceConfig m_setting;
    Race m_race;
};

} // namespace

TEST_F(LanGuest, WaitsForTheHostsRecordsAndFollowsEveryKartButItsOwn) {
    // Kinds a guest should never see: they are followed like the others.
    m_setting.config().m_playerKind[2] = Race::SINGLE;
    m_setting.config().m_playerKind[3] = Race::COMPUTER;
    std::vector<std::unique_ptr<NetValue<Config::Player>>> records;
    for (int slot : {0, 2, 3, 4}) {
        records.push_back(std::make_unique<NetValue<Config::Player>>(m_host));
        records.back()->init(25 + slot);
        Config::Player& rider = *records.back()->modify();
        rider.model = slot == 0 ? 0 : slot - 1;
        rider.colour = 0;
        rider.startRank = slot;
    }
    ASSERT_TRUE(m_race.setup(&demoArchive(), nullptr, &m_setting.config()));
    EXPECT_FALSE(m_race.isSetUp()) << "the host's records have not come";
    // Polled once a frame: each poll returns at once, and the records sent after a few frames finish the set-up.
    int frames = 0;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!m_race.isSetUp() && std::chrono::steady_clock::now() < giveUp) {
        const auto before = std::chrono::steady_clock::now();
        ASSERT_TRUE(m_race.continueSetup());
        if (!m_race.isSetUp()) {
            EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500));
        }
        if (++frames == 5) m_host.sendChangedValues();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_TRUE(m_race.isSetUp());
    EXPECT_GT(frames, 5);
    EXPECT_EQ(m_race.m_viewRider[0], 1);
    EXPECT_EQ(m_setting.config().m_player[0].get().model, 0);
    for (int i = 0; i < Config::RIDERS; ++i) {
        ASSERT_NE(m_race.m_vehicles[i], nullptr) << "rider " << i;
        Vehicle& kart = *m_race.m_vehicles[i];
        if (i == 1) {
            EXPECT_NE(kart.asMaster(), nullptr);
            EXPECT_TRUE(is<ControllerUserSingle>(kart.m_controller.get()));
        } else {
            EXPECT_NE(kart.asClient(), nullptr) << "rider " << i;
            EXPECT_TRUE(is<ControllerNet>(kart.m_controller.get())) << "rider " << i;
        }
    }
}

TEST_F(LanGuest, GivesUpOnRecordsThatNeverComeWhenTheServerGoesAway) {
    ASSERT_TRUE(m_race.setup(&demoArchive(), nullptr, &m_setting.config()));
    ASSERT_FALSE(m_race.isSetUp());
    m_server.stop();
    const auto stopped = std::chrono::steady_clock::now();
    while (m_race.continueSetup() && std::chrono::steady_clock::now() - stopped < std::chrono::seconds(20))
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(5))
        << "the lost connection ends the wait, not its bound";
    EXPECT_FALSE(m_race.isSetUp());
    expectTornDown(m_race);
}
