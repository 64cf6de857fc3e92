// Tracks 02 (shopping centre), 03 (park) and 04 (car park): each loads
// headless with the surface kinds it is built around and a computer kart laps
// it on every path; the mirrors are flat through their objects' origins and
// the park's fountain throws its drops up and back into the pond.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/effects/ParticleEmitter.h"
#include "engine/scene/loaders/SceneLoader.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/mesh/Mesh.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "tests/support/TempDir.h"
#include "tools/demodata/KartFixture.h"
#include "tools/demodata/tracks/DemoTracks.h"
#include "tools/demodata/tracks/RacingLines.h"
#include "tools/demodata/tracks/TrackBuilder.h"

#include "tests/game/tracks/DemoTrackTestSupport.h"

namespace {

// What each track is built around: at least this many geoms of these kinds.
struct Expected {
    int track;
    std::vector<std::pair<int, int>> kinds; // (surface kind, at least)
};

std::ostream& operator<<(std::ostream& out, const Expected& e) { return out << "track " << e.track; }

class OwnTrack : public ::testing::TestWithParam<Expected> {
protected:
    void SetUp() override {
        m_archive = std::make_unique<DemoTrackArchive>(GetParam().track);
        ASSERT_TRUE(m_archive->ok());
    }
    std::unique_ptr<DemoTrackArchive> m_archive;
};

const Expected OWN_TRACKS[] = {
    {2, {{TrackBuilder::BELT, 1}, {TrackBuilder::SPEEDUP, 3}, {TrackBuilder::PICKUP, 10}}},
    {3, {{TrackBuilder::SLIPPERY, 3}, {TrackBuilder::GROUND_ROUGH, 1}, {TrackBuilder::SPEEDUP, 2}, {TrackBuilder::PICKUP, 10}}},
    {4, {{TrackBuilder::OBSTACLE, 30}, {TrackBuilder::CRUSHER, 1}, {TrackBuilder::STAMPER, 1}, {TrackBuilder::SPEEDUP, 3},
         {TrackBuilder::PICKUP, 10}}},
};

} // namespace

TEST_P(OwnTrack, LoadsHeadlessWithFiveStartsACameraAndItsSurfaceKindsWhereTheRaceCollidesThem) {
    const DemoTrack& track = demoTrack(GetParam().track);
    MetaScene pool;
    LW6Scene* scene = SceneLoader::loadScene(pool, track.sceneFile.c_str(), m_archive->files());
    ASSERT_NE(scene, nullptr);
    pool.start(nullptr);
    EXPECT_EQ(scene->m_cameras.size(), 1u);
    for (int k = 1; k <= 5; ++k) EXPECT_NE(scene->getObject("start", -1, k), nullptr) << k;
    EXPECT_EQ(scene->getObject("start", -1, 6), nullptr);
    int kinds[32] = {};
    for (int i = 0; i < scene->getObjectCount(); ++i) {
        auto* geom = dynamic_cast<ODEGeomObject*>(scene->getObjectAt(i));
        if (!geom) continue;
        const int kind = geom->m_surfaceKind, space = geom->m_spaceIndex;
        ASSERT_LT(kind, 32);
        ++kinds[kind];
        EXPECT_NE(geom->m_geom, nullptr) << geom->getName();
        if (kind == TrackBuilder::GROUND || kind == TrackBuilder::GROUND_ROUGH) {
            EXPECT_EQ(space, TrackBuilder::SPACE_GROUND) << geom->getName();
        } else if (kind == TrackBuilder::WALL) {
            EXPECT_TRUE(space == TrackBuilder::SPACE_WALLS || space == TrackBuilder::SPACE_ROCKET_WALLS) << geom->getName();
        } else if (kind == TrackBuilder::OBSTACLE) {
            EXPECT_TRUE(space == TrackBuilder::SPACE_OBSTACLES && geom->m_body) << geom->getName();
        } else if (kind >= TrackBuilder::PICKUP && kind <= TrackBuilder::TRIGGER) {
            EXPECT_EQ(space, TrackBuilder::SPACE_ZONES) << geom->getName();
        }
    }
    EXPECT_EQ(kinds[TrackBuilder::FINISH], 1);
    EXPECT_GE(kinds[TrackBuilder::GROUND], 1);
    EXPECT_GE(kinds[TrackBuilder::WALL], 2);
    for (const auto& [kind, least] : GetParam().kinds) EXPECT_GE(kinds[kind], least) << "surface kind " << kind;
}

INSTANTIATE_TEST_SUITE_P(ShopParkCarPark, OwnTrack, ::testing::ValuesIn(OWN_TRACKS));

// The engine mirrors about the plane of a mirror object's first three points,
// through the object's origin: the mall floor and the pond lie flat in it.
TEST(TrackMirrors, MallFloorAndPondAreFlatMirrorsThroughTheirObjectsOrigins) {
    struct Mirror {
        int track;
        const char* object;
        const char* surface;
        float height;
    };
    const Mirror mirrors[] = {{2, "D:\\Vantorik/3dobjects_tracks/track02/einkaufszentrum_floor.lwo", "mall_floor", 0.0f},
                              {3, "D:\\Vantorik/3dobjects_tracks/track03/park_pond.lwo", "park_water", -0.35f}};
    for (const Mirror& m : mirrors) {
        SCOPED_TRACE(m.object);
        DemoTrackArchive archive(m.track);
        ASSERT_TRUE(archive.ok());
        MetaScene pool;
        LW6Scene* scene = SceneLoader::loadScene(pool, demoTrack(m.track).sceneFile.c_str(), archive.files());
        ASSERT_NE(scene, nullptr);
        SceneObject* object = scene->getObject(m.object, 0, 1);
        ASSERT_NE(object, nullptr);
        EXPECT_NEAR(object->evaluatePosition(0.0).y, m.height, 1e-5f);
        Mesh* mesh = object->getFirstMesh();
        ASSERT_NE(mesh, nullptr);
        bool mirrored = false;
        for (Surface* s : mesh->m_surfaces)
            if (s && s->getName().find(m.surface) != std::string::npos)
                mirrored = s->m_reflectivity.evaluate(0.0) > 0.0f && s->m_reflectionMode == Surface::REFLECT_MIRROR;
        EXPECT_TRUE(mirrored);
        const Position3* p = mesh->getMirrorPoints();
        ASSERT_NE(p, nullptr);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(p[i].y, 0.0f, 1e-5f) << "point " << i;
        const float ux = p[1].x - p[0].x, uz = p[1].z - p[0].z, vx = p[2].x - p[0].x, vz = p[2].z - p[0].z;
        EXPECT_GT(std::fabs(ux * vz - uz * vx), 1e-3f) << "the first three points span no plane";
    }
}

// A second of fountain, frame by frame: drops rise above the nozzle and all
// of them stay over the pond's water.
TEST(ParkFountain, JetsThrowDropsUpAndBackIntoThePond) {
    DemoTrackArchive archive(3);
    ASSERT_TRUE(archive.ok());
    MetaScene pool;
    LW6Scene* scene = SceneLoader::loadScene(pool, demoTrack(3).sceneFile.c_str(), archive.files());
    ASSERT_NE(scene, nullptr);
    ASSERT_EQ(scene->m_emitters.size(), 5u);
    const double frame = 1.0 / 60.0;
    int alive = 0, high = 0;
    for (auto& emitter : scene->m_emitters) {
        ASSERT_NE(emitter->getOwner(), nullptr);
        EXPECT_NE(emitter->getOwner()->getHyperVoxel(), nullptr) << "drops drawn by nothing";
        const float nozzle = emitter->getOwner()->evaluatePosition(0.0).y;
        for (int i = 1; i <= 120; ++i) {
            const double time = i * frame;
            emitter->emit(time, frame);
            emitter->apply(emitter->getParticles(), 0, emitter->getParticleCount(), time, frame);
            emitter->advance(time, frame, nullptr);
        }
        for (int i = 0; i < emitter->getParticleCount(); ++i) {
            const Particle& drop = emitter->getParticles()[i];
            if (!drop.alive) continue;
            ++alive;
            high += drop.position.y > nozzle + 1.0f;
            // The pond: an ellipse 68 by 38 about (-60, 28), its rim 0.8 inside.
            const float dx = (drop.position.x + 60.0f) / 67.0f, dz = (drop.position.z - 28.0f) / 37.0f;
            EXPECT_LT(dx * dx + dz * dz, 1.0f) << "a drop over the shore";
            EXPECT_GT(drop.position.y, -3.0f) << "a drop long under the water";
        }
    }
    EXPECT_GT(alive, 500);
    EXPECT_GT(high, 50);
}
