// The moped content merged into the kart fixture track as the race merges it,
// the menu's previews, and the handling files.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>

#include "engine/platform/MotionMixer.h"
#include "engine/scene/Actor.h"
#include "engine/scene/ActorTrack.h"
#include "engine/scene/Bone.h"
#include "engine/scene/Mesh.h"
#include "engine/scene/ODEGeomObject.h"
#include "game/Race.h"
#include "game/karts/VehicleMaster.h"
#include "game/karts/VehicleSettings.h"
#include "game/surfaces/RaceSurfaces.h"
#include "tests/engine/scene/SceneTestSupport.h"
#include "tests/game/GameTestSupport.h"
#include "tests/game/ScriptedDriver.h"
#include "tests/game/karts/MopedTestSupport.h"
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
                mn::mopedObject(model, colour), m_track.m_scene, new ScriptedDriver, i, m_race.m_vehicleRecord,
                new VehicleSettings(model, mn::settingsFile(model)), i, mn::SIZE_FACTOR[model], 1.0f, m_client);
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
    Config m_config{nullptr};
    Race m_race;
    RaceSurfaces m_surfaces{&m_race};
    NetControl m_client;
};

class MopedContent : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_archive = std::make_unique<MopedArchive>(); }
    static void TearDownTestSuite() { s_archive.reset(); }
    void SetUp() override { ASSERT_TRUE(s_archive->ok()); }

    static std::unique_ptr<MopedArchive> s_archive;
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
