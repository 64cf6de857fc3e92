// The moped content merged into the kart fixture track as the race merges it,
// the menu's previews, and the handling files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <set>

#include "engine/platform/animation/MotionMixer.h"
#include "engine/scene/Actor.h"
#include "engine/scene/ActorTrack.h"
#include "engine/scene/Bone.h"
#include "engine/scene/loaders/SceneLoader.h"
#include "engine/scene/mesh/Mesh.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "game/karts/VehicleMaster.h"
#include "game/karts/VehicleSettings.h"
#include "game/race/Race.h"
#include "game/surfaces/RaceSurfaces.h"
#include "tests/engine/scene/SceneTestSupport.h"
#include "tests/game/GameTestSupport.h"
#include "tests/game/ScriptedDriver.h"
#include "tests/game/karts/MopedTestSupport.h"
#include "tests/support/ReportCapture.h"
#include "tools/demodata/mopeds/MopedActor.h"
#include "tools/demodata/mopeds/MopedDesign.h"
#include "tools/demodata/mopeds/MopedScenes.h"
#include "tools/demodata/mopeds/MopedSettings.h"
#include "tools/demodata/mopeds/RiderFigure.h"

namespace {

namespace mn = MopedNames;

Matrix4x3 worldOf(SceneItem& item, double time = 0.0) {
    Matrix4x3 m;
    item.invalidate();
    return item.getMatrix(m, time, 0);
}

Position3 originOf(const Matrix4x3& m) { return {m[12], m[13], m[14]}; }

// Where one of the rider's own bones has its joint, in the rider's frame.
Position3 jointOf(SceneObject& rider, int bone, double time) {
    std::vector<Bone*> bones = ownBones(rider);
    for (Bone* b : bones) b->invalidate();
    return originOf(bones[size_t(bone)]->animMatrix(time));
}

ODEGeomObject* geomOf(SceneObject* object) { return dynamic_cast<ODEGeomObject*>(object); }

// A track with two karts on one moped, made the way the race makes them.
class TwoRiders {
public:
    TwoRiders(MopedArchive& archive, int model, int colour) : m_track(archive, model, colour) {
        g_race = &m_race;
        m_race.m_config = &m_config;
        m_race.m_scene = m_track.m_scene;
        m_surfaces.install(*m_track.m_scene);
        for (int i = 0; i < 2; ++i) {
            m_race.m_vehicles[i] = std::make_unique<VehicleMaster>(
                mn::mopedObject(model, colour), m_track.m_scene, std::make_unique<ScriptedDriver>(), i,
                m_race.m_vehicleRecord, std::make_unique<VehicleSettings>(model, mn::settingsFile(model)), i,
                mn::SIZE_FACTOR[model], 1.0f, m_client);
        }
        m_race.m_vehicleCount = 2;
        m_track.start();
    }
    ~TwoRiders() {
        for (auto& vehicle : m_race.m_vehicles) vehicle.reset();
        g_race = nullptr;
    }
    VehicleMaster& kart(int i) { return static_cast<VehicleMaster&>(*m_race.m_vehicles[i]); }

    MopedTrack m_track;
    Config m_config{nullptr, ""};
    Race m_race;
    RaceSurfaces m_surfaces{&m_race};
    NetControl m_client;
};

class MopedContent : public ReportCapture<1> {
protected:
    static void SetUpTestSuite() { s_archive = std::make_unique<MopedArchive>(); }
    static void TearDownTestSuite() { s_archive.reset(); }
    void SetUp() override {
        ReportCapture<1>::SetUp();
        ASSERT_TRUE(s_archive->ok());
        ASSERT_TRUE(m_folder.ok());
        // One down, so that the folder above, searched too, is ours as well.
        std::filesystem::create_directory("work");
        ASSERT_EQ(chdir("work"), 0);
    }

    static std::unique_ptr<MopedArchive> s_archive;
    // Away from the texture copies that drawn runs leave in their working folder.
    ScratchFolder m_folder;
    LogCapture m_log;
};

std::unique_ptr<MopedArchive> MopedContent::s_archive;

} // namespace

TEST_F(MopedContent, EverySceneMergesTwiceAndEachKartFindsItsOwnObjects) {
    for (int model = 0; model < mn::MODELS; ++model)
        for (int colour = 0; colour < mn::COLOURS; ++colour) {
            SCOPED_TRACE(mn::mopedScene(model, colour));
            TwoRiders race(*s_archive, model, colour);
            ASSERT_TRUE(race.m_track.m_merged);
            const MopedDesign& design = mopedDesign(model);
            std::set<SceneObject*> seen;
            for (int i = 0; i < 2; ++i) {
                SCOPED_TRACE(i);
                VehicleMaster& kart = race.kart(i);
                SceneObject* control = kart.m_object;
                ASSERT_NE(control, nullptr);
                for (AnimatedValue& channel : control->m_channels) EXPECT_EQ(channel.channel, nullptr) << "car_Ctrl is moved by the kart alone";
                ASSERT_NE(kart.m_colObject, nullptr);
                ODEGeomObject* col = geomOf(kart.m_colObject);
                ASSERT_NE(col, nullptr);
                EXPECT_EQ(col->m_surfaceKind, mn::SURFACE_KART);
                EXPECT_EQ(col->m_spaceIndex, mn::SPACE_KARTS);
                EXPECT_EQ(col->m_geomType, ODEGeomObject::SPHERE);
                EXPECT_NE(col->m_body, nullptr);
                EXPECT_EQ(col->m_ownerIndex, i);
                for (SceneObject* wheel : kart.m_wheelObject) ASSERT_NE(wheel, nullptr);
                // The wheels ride on the moped's body, which rides on car_Ctrl, pivots at their centres.
                SceneObject* body = kart.m_wheelObject[0]->m_parent == nullptr ? nullptr
                                                                             : dynamic_cast<SceneObject*>(kart.m_wheelObject[0]->m_parent);
                ASSERT_NE(body, nullptr);
                EXPECT_EQ(body->m_parent, control);
                EXPECT_EQ(body->getFirstMesh()->m_layerNumber, mn::BODY_LAYER);
                const Matrix4x3 toControl = [&] {
                    Matrix4x3 inverse;
                    invertMatrix4x3(inverse, worldOf(*control));
                    return inverse;
                }();
                for (auto [wheel, centre] : {std::pair{kart.m_wheelObject[0], design.frontCentre()},
                                             std::pair{kart.m_wheelObject[1], design.rearCentre()}}) {
                    Position3 p = transformed(transformed(wheel->m_pivot, worldOf(*wheel)), toControl);
                    EXPECT_POINT_NEAR(p, centre[0], centre[1], centre[2], 1e-4f);
                }
                SceneObject* rider = s_archive->rider(*race.m_track.m_scene, model, i + 1);
                ASSERT_NE(rider, nullptr);
                EXPECT_EQ(rider->m_parent, control);
                EXPECT_EQ(ownBones(*rider).size(), size_t(RiderFigure::BONES));
                SceneObject* references[] = {kart.m_cameraTarget, kart.m_shadowObject, kart.m_magnetObject,
                                             kart.m_mineObject,   kart.m_rocketObject[0], kart.m_rocketObject[1],
                                             kart.m_bubbleObject[0], kart.m_bubbleObject[1], kart.m_bubbleObject[2],
                                             kart.m_laserObject[0], kart.m_laserObject[1], kart.m_weightObject};
                for (SceneObject* object : references) {
                    ASSERT_NE(object, nullptr);
                    EXPECT_TRUE(seen.insert(object).second) << object->getName() << " is shared by two karts";
                }
                for (SceneObject* rocket : kart.m_rocketObject) {
                    ODEGeomObject* geom = geomOf(rocket);
                    ASSERT_NE(geom, nullptr);
                    EXPECT_EQ(geom->m_surfaceKind, mn::SURFACE_ROCKET);
                    EXPECT_EQ(geom->m_spaceIndex, mn::SPACE_THROWN);
                    EXPECT_EQ(geom->m_ownerIndex, i);
                }
                ASSERT_NE(kart.m_actor, nullptr);
                EXPECT_LE(kart.m_actor->m_tracks.size(), 40u);
                EXPECT_EQ(kart.m_actor->m_tracks[size_t(kart.m_trackLeft)]->m_name, mn::TRACK_LEFT);
                EXPECT_EQ(kart.m_actor->m_tracks[size_t(kart.m_trackRight)]->m_name, mn::TRACK_RIGHT);
                EXPECT_EQ(kart.m_actor->m_tracks[size_t(kart.m_trackCrash)]->m_name, mn::TRACK_CRASH);
                // Each actor moves its own moped: its first entry is this body's bank channel.
                auto first = kart.m_actor->m_tracks[size_t(kart.m_trackLeft)]->m_entries.front();
                EXPECT_EQ(first.first, body->m_channels[SceneItem::BANK].channel->asMotionMixer());
            }
            EXPECT_EQ(race.m_track.m_scene->countObjects(mn::BUBBLE, 0), 2 * mn::BUBBLES_PER_RIDER);
            EXPECT_EQ(race.m_track.m_scene->countObjects(mn::EXPLOSION, 0), 2);
        }
    EXPECT_EQ(m_log.text(), "") << "every file, layer, link and bone loads";
    EXPECT_EQ(lastError(), "");
}

TEST_F(MopedContent, TwoRidersOnOneMopedBendEachByItsOwnActor) {
    TwoRiders race(*s_archive, 3, 2);
    SceneObject* riders[2] = {s_archive->rider(*race.m_track.m_scene, 3, 1), s_archive->rider(*race.m_track.m_scene, 3, 2)};
    const double time = 5.0;
    Position3 before[2];
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(ownBones(*riders[i]).size(), size_t(RiderFigure::BONES));
        before[i] = jointOf(*riders[i], RiderFigure::HEAD, time);
    }
    // The second rider steers left at full weight; the first rides straight on.
    VehicleMaster& second = race.kart(1);
    second.m_actor->m_tracks[size_t(second.m_trackLeft)]->setIntensity(1.0f);
    const Position3 straight = jointOf(*riders[0], RiderFigure::HEAD, time);
    const Position3 leant = jointOf(*riders[1], RiderFigure::HEAD, time);
    EXPECT_POINT_NEAR(straight, before[0].x, before[0].y, before[0].z, 1e-5f);
    EXPECT_LT(leant.x, before[1].x - 0.03f) << "the back bends left, into the curve";
}

TEST_F(MopedContent, EveryPreviewLoadsInOnePoolAndTurnsAtOneSpeedForEver) {
    MetaScene pool(nullptr);
    for (int model = 0; model < mn::MODELS; ++model)
        for (int colour = 0; colour < mn::COLOURS; ++colour) {
            SCOPED_TRACE(mn::previewScene(model, colour));
            LW6Scene* scene = SceneLoader::loadScene(pool, mn::previewScene(model, colour).c_str(), s_archive->files());
            ASSERT_NE(scene, nullptr);
            EXPECT_EQ(scene->m_cameras.size(), 1u);
            EXPECT_GE(scene->m_lights.size(), 2u);
            EXPECT_EQ(scene->m_backgroundImage, nullptr);
            SceneObject* turntable = scene->getObject(mn::TURNTABLE, 0, 1);
            ASSERT_NE(turntable, nullptr);
            SceneObject* body = scene->getObject(mn::mopedObject(model, colour), mn::BODY_LAYER, 1);
            SceneObject* rider = MopedArchive::rider(*scene, model, 1);
            ASSERT_NE(body, nullptr);
            ASSERT_NE(rider, nullptr);
            EXPECT_EQ(body->m_parent, turntable);
            EXPECT_EQ(rider->m_parent, turntable);
            EXPECT_EQ(ownBones(*rider).size(), size_t(RiderFigure::BONES));
            AnimatedValue& heading = turntable->m_channels[SceneItem::HEADING];
            for (double t : {0.0, 3.7, 100.0, 5000.0}) {
                const float now = heading.evaluate(t);
                // A whole turn later it faces the same way; a quarter of the time turns it a quarter.
                EXPECT_NEAR(std::remainder(heading.evaluate(t + PREVIEW_TURN) - now, 2.0 * PI), 0.0, 1e-3) << t;
                EXPECT_NEAR(std::remainder(heading.evaluate(t + PREVIEW_TURN / 4.0) - now - PI / 2.0, 2.0 * PI), 0.0, 1e-3) << t;
            }
        }
    EXPECT_EQ(m_log.text(), "");
    EXPECT_EQ(lastError(), "");
}

TEST_F(MopedContent, SettingsFilesLoadAsFiveDifferentHandlingsThatTradeOff) {
    VehicleSettings settings[mn::MODELS] = {{0, mn::settingsFile(0)}, {1, mn::settingsFile(1)}, {2, mn::settingsFile(2)},
                                            {3, mn::settingsFile(3)}, {4, mn::settingsFile(4)}};
    for (int model = 0; model < mn::MODELS; ++model) {
        SCOPED_TRACE(model);
        ASSERT_TRUE(settings[model].load(s_archive->files()));
        const std::array<float, 10> written = mopedSettings(model);
        EXPECT_FLOAT_EQ(settings[model].m_maxSpeed, written[0]);
        EXPECT_FLOAT_EQ(settings[model].m_acceleration, written[2]);
        EXPECT_FLOAT_EQ(settings[model].m_handling5, written[4]);
        EXPECT_FLOAT_EQ(settings[model].m_fallFactor, written[9]);
        EXPECT_GT(settings[model].m_maxSpeed, 0.25f);
        EXPECT_LT(settings[model].m_braking, settings[model].m_rolling) << "the brake stops quicker than rolling out";
        EXPECT_LT(settings[model].m_rolling, 0.0f);
    }
    // No moped is best at everything: the quickest is the slowest to get going, and the
    // nimblest (least drift) is the slowest of all.
    auto best = [&](auto key) {
        int out = 0;
        for (int m = 1; m < mn::MODELS; ++m)
            if (key(settings[m]) > key(settings[out])) out = m;
        return out;
    };
    const int fastest = best([](const VehicleSettings& s) { return s.m_maxSpeed; });
    const int quickest = best([](const VehicleSettings& s) { return s.m_acceleration; });
    const int nimblest = best([](const VehicleSettings& s) { return -s.m_handling5; });
    const int slowest = best([](const VehicleSettings& s) { return -s.m_maxSpeed; });
    EXPECT_NE(fastest, quickest);
    EXPECT_EQ(fastest, best([](const VehicleSettings& s) { return -s.m_acceleration; }));
    EXPECT_EQ(nimblest, slowest);
}

TEST_F(MopedContent, EachRiderLeansWithItsMopedIntoCurvesAndLiesAheadAfterACrash) {
    for (int model = 0; model < mn::MODELS; ++model) {
        SCOPED_TRACE(mn::MODEL[model]);
        TwoRiders race(*s_archive, model, 0);
        VehicleMaster& kart = race.kart(0);
        SceneObject* rider = s_archive->rider(*race.m_track.m_scene, model, 1);
        SceneObject* body = dynamic_cast<SceneObject*>(kart.m_wheelObject[0]->m_parent);
        ASSERT_NE(body, nullptr);
        Matrix4x3 toControl;
        invertMatrix4x3(toControl, worldOf(*kart.m_object));
        // In car_Ctrl's frame: where the rider's head and hips are, and the moped's up axis.
        auto look = [&](int track, double time, Position3& head, Position3& hips, Position3& up) {
            for (ActorTrack* t : kart.m_actor->m_tracks) t->setIntensity(0.0f);
            if (track >= 0) kart.m_actor->m_tracks[size_t(track)]->setIntensity(1.0f);
            Matrix4x3 riderToControl, bodyToControl;
            multiplyMatrix4x3(riderToControl, worldOf(*rider, time), toControl);
            multiplyMatrix4x3(bodyToControl, worldOf(*body, time), toControl);
            head = transformed(jointOf(*rider, RiderFigure::HEAD, time), riderToControl);
            hips = transformed(jointOf(*rider, RiderFigure::PELVIS, time), riderToControl);
            up = {bodyToControl[4], bodyToControl[5], bodyToControl[6]};
        };
        Position3 head, hips, up;
        look(-1, 5.0, head, hips, up);
        const Vec3 seat = mopedDesign(model).seat;
        EXPECT_POINT_NEAR(hips, seat[0], seat[1], seat[2], 1e-4f);
        EXPECT_NEAR(head.x, 0.0f, 1e-4f);
        look(kart.m_trackLeft, 5.0, head, hips, up);
        EXPECT_LT(head.x, -0.3f) << "left: into the curve";
        EXPECT_NEAR(up.x, -std::sin(LEAN), 1e-3f);
        look(kart.m_trackRight, 5.0, head, hips, up);
        EXPECT_GT(head.x, 0.3f);
        EXPECT_NEAR(up.x, std::sin(LEAN), 1e-3f);
        look(kart.m_trackCrash, 0.4, head, hips, up);
        EXPECT_GT(hips.y, seat[1] + 0.3f) << "thrown up over the bars";
        look(kart.m_trackCrash, CRASH_TIME + 5.0, head, hips, up);
        EXPECT_LT(std::fabs(up.y), 0.3f) << "the moped lies on its side";
        EXPECT_LT(hips.y, 0.25f) << "the rider lies on the ground";
        EXPECT_GT(hips.z, seat[2] + 1.0f) << "ahead of the moped";
        EXPECT_LT(head.y, 0.45f);
    }
}
