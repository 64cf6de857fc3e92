#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include <ode/collision.h>

#include "engine/platform/animation/MotionMixer.h"
#include "engine/scene/Actor.h"
#include "engine/scene/ActorTrack.h"
#include "engine/scene/mesh/Mesh.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "tests/engine/scene/SceneTestSupport.h"
#include "tests/game/GameTestSupport.h"
#include "tests/game/karts/KartTestSupport.h"
#include "tests/support/ReportCapture.h"

namespace {

namespace kf = KartFixture;

// Records which named objects touch, and where, making no contact joints.
class RecordingSurface : public ODEJointSurface {
public:
    RecordingSurface() { m_makeContactJoints = false; }
    ODEJointSurface onContact(const dContactGeom& contact) override {
        auto* a = static_cast<SceneObject*>(dGeomGetData(contact.g1));
        auto* b = static_cast<SceneObject*>(dGeomGetData(contact.g2));
        std::string first = a->getName(), second = b->getName();
        m_pairs.insert(first < second ? first + "|" + second : second + "|" + first);
        m_lowestY = std::min(m_lowestY, contact.pos[1]);
        m_highestY = std::max(m_highestY, contact.pos[1]);
        return *this;
    }
    void clear() {
        m_pairs.clear();
        m_lowestY = 1e9;
        m_highestY = -1e9;
    }
    std::set<std::string> m_pairs;
    double m_lowestY = 1e9;
    double m_highestY = -1e9;
};

std::string pairOf(const std::string& a, const std::string& b) { return a < b ? a + "|" + b : b + "|" + a; }

Matrix4x3 worldOf(SceneItem& item) {
    Matrix4x3 m;
    item.invalidate();
    return item.getMatrix(m, 0.0, 0);
}

std::vector<float> readFloats(File& files, const char* name) {
    std::vector<float> values;
    if (!files.open(name)) return values;
    values.resize(files.getSize() / 4);
    files.readFully(values.data(), static_cast<uint32_t>(values.size() * 4));
    files.close();
    return values;
}

float distance(const float* a, const float* b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

class KartFixtureTest : public ReportCapture<1> {
protected:
    void SetUp() override {
        ReportCapture<1>::SetUp();
        ASSERT_TRUE(m_archive.ok());
        m_track = std::make_unique<KartFixtureScene>(m_archive.files());
        ASSERT_TRUE(m_track->addRider());
        ASSERT_TRUE(m_track->addRider());
        m_scene = m_track->m_scene;
    }

    ODEGeomObject* geom(const char* name, int layer = -1, int instance = 1) {
        return dynamic_cast<ODEGeomObject*>(m_scene->getObject(name, layer, instance));
    }

    LogCapture m_log;
    KartFixtureArchive m_archive;
    std::unique_ptr<KartFixtureScene> m_track;
    LW6Scene* m_scene = nullptr;
};

} // namespace

TEST_F(KartFixtureTest, TrackWithTwoMergedMopedsHoldsWhatTheKartsLookUp) {
    EXPECT_EQ(lastError(), "");
    EXPECT_EQ(m_log.text(), "") << "every file, layer, link and space loads";
    for (int i = 1; i < kf::SPACE_COUNT; ++i) EXPECT_NE(m_scene->getSpace(i), nullptr) << "space " << i;
    EXPECT_EQ(m_scene->getSpace(kf::SPACE_COUNT), nullptr);

    EXPECT_EQ(m_scene->countObjects(kf::START, -1), kf::START_COUNT);
    Matrix4x3 first = worldOf(*m_scene->getObject(kf::START, -1, 1));
    Position3 origin{first[12], first[13], first[14]};
    EXPECT_POINT_NEAR(origin, 35.0f, 0.0f, -30.0f, 1e-5f);
    EXPECT_NEAR(first[10], 1.0f, 1e-6f) << "start 1 heads +z";
    for (int k = 2; k <= kf::START_COUNT; ++k) {
        Matrix4x3 m = worldOf(*m_scene->getObject(kf::START, -1, k));
        kf::Placement p = kf::start(k);
        EXPECT_NEAR(m[8], std::sin(p.heading), 1e-5f) << "start " << k;
        EXPECT_NEAR(m[10], std::cos(p.heading), 1e-5f) << "start " << k;
        EXPECT_GT(std::fabs(m[8]), 0.05f) << "start " << k << " is turned along the half circle";
        EXPECT_LT(m[14], kf::START_LINE_Z);
    }
    m_track->moveStart(3, kf::WALL_LONG_APPROACH);
    Matrix4x3 moved = worldOf(*m_scene->getObject(kf::START, -1, 3));
    Position3 approach = kf::WALL_LONG_APPROACH.position;
    EXPECT_POINT_NEAR(transformed({0.0f, 0.0f, 0.0f}, moved), approach.x, approach.y, approach.z, 1e-5f);
    EXPECT_NEAR(moved[8], -1.0f, 1e-6f) << "facing the long wall";

    for (int rider = 1; rider <= 2; ++rider) {
        SCOPED_TRACE(rider);
        SceneObject* control = m_scene->getObject(kf::CONTROL, -1, rider);
        ASSERT_NE(control, nullptr);
        for (AnimatedValue& channel : control->m_channels) EXPECT_EQ(channel.channel, nullptr);
        ODEGeomObject* col = geom(kf::COLLISION, -1, rider);
        ASSERT_NE(col, nullptr);
        EXPECT_EQ(col->m_surfaceKind, kf::SURFACE_KART);
        EXPECT_EQ(col->m_spaceIndex, kf::SPACE_KARTS);
        EXPECT_NE(col->m_body, nullptr);
        EXPECT_EQ(col->m_geomType, ODEGeomObject::SPHERE);
        // The wheels ride on car_Ctrl with their pivots at the wheel centres.
        for (auto [layer, centre] : {std::pair{kf::FRONT_WHEEL_LAYER, kf::FRONT_WHEEL_CENTRE},
                                     std::pair{kf::REAR_WHEEL_LAYER, kf::REAR_WHEEL_CENTRE}}) {
            SceneObject* wheel = m_scene->getObject(kf::MOPED_OBJECT, layer, rider);
            ASSERT_NE(wheel, nullptr) << "layer " << layer;
            EXPECT_EQ(wheel->m_parent, control);
            Position3 pivot = wheel->m_pivot;
            EXPECT_POINT_NEAR(transformed(pivot, worldOf(*wheel)), centre.x, centre.y, centre.z, 1e-5f);
        }
        EXPECT_NE(m_scene->getObject(kf::MOPED_OBJECT, kf::BODY_LAYER, rider), nullptr);
        EXPECT_NE(m_scene->getObject(kf::SHADOW_OBJECT, 0, rider), nullptr);
        EXPECT_NE(m_scene->getObject(kf::CAMERA_TARGET, -1, rider), nullptr);

        Actor* actor = m_scene->findActor(kf::ACTOR, rider - 1);
        ASSERT_NE(actor, nullptr);
        ASSERT_EQ(actor->m_tracks.size(), 3u);
        const char* names[] = {kf::TRACK_LEFT, kf::TRACK_RIGHT, kf::TRACK_CRASH};
        SceneObject* riderFigure = m_scene->getObject(kf::RIDER_OBJECT, 0, rider);
        ASSERT_NE(riderFigure, nullptr);
        EXPECT_EQ(riderFigure->m_parent, control);
        for (int t = 0; t < 3; ++t) {
            EXPECT_EQ(actor->m_tracks[t]->m_name, names[t]);
            ASSERT_FALSE(actor->m_tracks[t]->m_entries.empty());
        }
        // Each actor moves its own rider: the merge counts ids from the rider's first object.
        MotionMixer* bank = riderFigure->m_channels[SceneItem::BANK].channel->asMotionMixer();
        EXPECT_EQ(actor->m_tracks[0]->m_entries[0].first, bank);
    }
    EXPECT_EQ(m_scene->findActor(kf::ACTOR, 2), nullptr);

    struct Feature {
        ODEGeomObject* object;
        int surface;
        int space;
    };
    const Feature features[] = {
        {geom(kf::GROUND), kf::SURFACE_GROUND, kf::SPACE_GROUND},
        {geom(kf::RAMP), kf::SURFACE_GROUND, kf::SPACE_GROUND},
        {geom(kf::WALL_NORTH), kf::SURFACE_WALL, kf::SPACE_WALLS},
        {geom(kf::WALL_SOUTH), kf::SURFACE_WALL, kf::SPACE_WALLS},
        {geom(kf::WALL_EAST), kf::SURFACE_WALL, kf::SPACE_WALLS},
        {geom(kf::WALL_LONG), kf::SURFACE_WALL, kf::SPACE_WALLS},
        {geom(kf::SPEEDUP_PAD), kf::SURFACE_SPEEDUP, kf::SPACE_ZONES},
        {geom(kf::CRUSHER), kf::SURFACE_CRUSHER, kf::SPACE_ZONES},
        {geom(kf::RESET_ZONE), kf::SURFACE_RESET, kf::SPACE_ZONES},
        {geom(kf::OBSTACLE), kf::SURFACE_OBSTACLE, kf::SPACE_OBSTACLES},
        {geom(kf::FALL_ZONE), kf::SURFACE_FALL, kf::SPACE_FALL},
        {geom(kf::PICKUP_OBJECT, 0), kf::SURFACE_PICKUP, kf::SPACE_ZONES},
    };
    for (const Feature& f : features) {
        ASSERT_NE(f.object, nullptr);
        EXPECT_EQ(f.object->m_surfaceKind, f.surface) << f.object->getName();
        EXPECT_EQ(f.object->m_spaceIndex, f.space) << f.object->getName();
    }
    EXPECT_NE(geom(kf::OBSTACLE)->m_body, nullptr);
    Matrix4x3 pad = worldOf(*geom(kf::SPEEDUP_PAD));
    EXPECT_NEAR(pad[8], 0.5f, 1e-5f) << "the pad launches along its turned z axis";
    EXPECT_NEAR(pad[10], 0.8660254f, 1e-5f);
}

TEST_F(KartFixtureTest, DataFilesHoldWholeRecordsAlongClosedLoops) {
    File& files = m_archive.files();
    std::vector<float> settings = readFloats(files, kf::SETTINGS_FILE);
    ASSERT_EQ(settings.size(), 10u);
    EXPECT_FLOAT_EQ(settings[0], 0.29f);
    EXPECT_FLOAT_EQ(settings[6], -0.001216f);
    EXPECT_FLOAT_EQ(settings[9], 0.5f);

    // Paths: points 2 to 3 apart all the way round, the last one back to the first.
    for (int path = 0; path < 6; ++path) {
        std::vector<float> records = readFloats(files, kf::aiPathFile(path).c_str());
        int count = kf::aiPathPointCount(path);
        ASSERT_EQ(records.size(), size_t(count) * 4) << "path " << path;
        for (int i = 0; i < count; ++i) {
            const float* p = &records[i * 4];
            EXPECT_NEAR(distance(p, &records[((i + 1) % count) * 4]), kf::PATH_SPACING, 0.5f);
            EXPECT_FLOAT_EQ(p[3], kf::PATH_SPEED);
        }
    }
    std::vector<float> respawns = readFloats(files, kf::RESPAWN_FILE);
    int count = kf::respawnPointCount();
    EXPECT_GT(count, 6);
    ASSERT_EQ(respawns.size(), size_t(count) * 4);
    for (int i = 0; i < count; ++i) {
        const float* p = &respawns[i * 4];
        EXPECT_EQ(p[1], 0.0f);
        EXPECT_GT(distance(p, &respawns[((i + 1) % count) * 4]), 2.0f * kf::KART_RADIUS);
    }
}

TEST_F(KartFixtureTest, StartedSceneLetsKartsMeetTheFeaturesAndLeavesTheFreeRunEmpty) {
    m_track->start();
    RecordingSurface surface;
    for (auto& row : m_scene->m_surfaceTable)
        for (ODEJointSurface*& cell : row) cell = &surface;
    ODESpacePair collide(true);
    m_track->collideRaceSpaces(collide);
    auto collideAll = [&] {
        surface.clear();
        m_scene->collide();
    };

    ODEGeomObject* first = geom(kf::COLLISION, -1, 1);
    ODEGeomObject* second = geom(kf::COLLISION, -1, 2);
    first->setPosition(kf::SPEEDUP_CENTRE);
    second->setPosition(kf::CRUSHER_CENTRE);
    collideAll();
    EXPECT_EQ(surface.m_pairs, (std::set<std::string>{pairOf(kf::COLLISION, kf::SPEEDUP_PAD),
                                                      pairOf(kf::COLLISION, kf::CRUSHER)}));
    first->setPosition(kf::RESET_CENTRE);
    second->setPosition({kf::WALL_LONG_CENTRE.x + 0.5f, 1.0f, 0.0f});
    collideAll();
    EXPECT_EQ(surface.m_pairs, (std::set<std::string>{pairOf(kf::COLLISION, kf::RESET_ZONE),
                                                      pairOf(kf::COLLISION, kf::WALL_LONG)}));
    first->setPosition(kf::PICKUP_CENTRE);
    second->setPosition(kf::OBSTACLE_CENTRE);
    collideAll();
    EXPECT_EQ(surface.m_pairs, (std::set<std::string>{pairOf(kf::COLLISION, kf::PICKUP_OBJECT),
                                                      pairOf(kf::COLLISION, kf::OBSTACLE)}));

    // A kart driving from start 1 straight on meets nothing; a ray under it finds flat ground.
    const float size[3] = {1.0f, 1.0f, 1.0f};
    ODEGeomObject* ray = m_scene->createRayGeom(size, 5, kf::SPACE_RAYS);
    second->setPosition({0.0f, -100.0f, 0.0f});
    Position3 s = kf::start(1).position;
    for (float run = 0.0f; run <= kf::FREE_RUN; run += 1.0f) {
        first->setPosition({s.x, s.y + 0.1f, s.z + run});
        dGeomRaySet(ray->m_geom, s.x, 1.0, s.z + run, 0.0, -1.0, 0.0);
        dGeomRaySetLength(ray->m_geom, 4.0);
        collideAll();
        ASSERT_EQ(surface.m_pairs, std::set<std::string>{pairOf("ray", kf::GROUND)}) << "at " << run;
        ASSERT_NEAR(surface.m_highestY, 0.0, 1e-6);
        ASSERT_NEAR(surface.m_lowestY, 0.0, 1e-6);
    }
    // Half way up the ramp its top is half its full height.
    dGeomRaySet(ray->m_geom, kf::RAMP_FOOT.x, 3.0, kf::RAMP_FOOT.z + 6.0 * std::cos(0.17453293), 0.0, -1.0, 0.0);
    dGeomRaySetLength(ray->m_geom, 2.5);
    collideAll();
    EXPECT_EQ(surface.m_pairs, std::set<std::string>{pairOf("ray", kf::RAMP)});
    EXPECT_NEAR(surface.m_highestY, kf::RAMP_TOP_HEIGHT * 0.5f, 1e-4);
    // Past the open west edge a long ray finds the fall zone deep below.
    first->setPosition({10.0f, -100.0f, 0.0f});
    dGeomRaySet(ray->m_geom, kf::FALL_EDGE_X - 5.0f, 1.0, 0.0, 0.0, -1.0, 0.0);
    dGeomRaySetLength(ray->m_geom, 40.0);
    collideAll();
    EXPECT_EQ(surface.m_pairs, std::set<std::string>{pairOf("ray", kf::FALL_ZONE)});
    EXPECT_NEAR(surface.m_highestY, kf::FALL_TOP, 1e-5);
}
