// The sky round the demo tracks: a cheap dome whose faces show inwards and
// whose picture puts the sky overhead and far land below the horizon, and in
// every track's scene a self-lit object that nothing collides with and that
// stands round everything else.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/loaders/SceneLoader.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/mesh/Mesh.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "tools/demodata/tracks/MeshBuilder.h"
#include "tools/demodata/tracks/SkyDome.h"

#include "tests/game/tracks/DemoTrackTestSupport.h"
#include "sys/Pi.h"

namespace {

constexpr float RADIUS = 1000.0f;
constexpr int PICTURE = 256;

// Plain colours and no cloud, so every part of the picture tells where it lies.
SkyDome::Sky plainSky() {
    SkyDome::Sky sky;
    sky.name = "plain";
    sky.zenith = rgb(0.0f, 0.0f, 1.0f);
    sky.horizon = sky.glow = rgb(1.0f, 0.0f, 0.0f);
    sky.glowHeading = 0.0f;
    sky.land = rgb(0.0f, 1.0f, 0.0f);
    sky.cloudLit = sky.cloudShade = rgb(1.0f, 1.0f, 1.0f);
    sky.cover = 0.0f;
    return sky;
}

Vec3 pointOf(const Lwo2Layer& layer, uint32_t index) {
    const auto& p = layer.points.at(index);
    return {p[0], p[1], p[2]};
}

} // namespace

TEST(SkyDome, FewFacesShowInwardsAndThePictureHasSkyOverheadAndLandBelowTheHorizon) {
    MeshBuilder mesh;
    mesh.layer("sky");
    SurfaceLook look;
    look.name = "sky";
    SkyDome::dome(mesh, mesh.surface(look), RADIUS);
    const Lwo2Layer layer = mesh.object().layers.at(0);
    const Picture picture = SkyDome::picture(plainSky(), PICTURE);

    int triangles = 0, outwards = 0;
    for (const Lwo2Polygon& polygon : layer.polygonLists.at(0).polygons) {
        triangles += static_cast<int>(polygon.points.size()) - 2;
        const Vec3 a = pointOf(layer, polygon.points[0]), b = pointOf(layer, polygon.points[1]),
                   c = pointOf(layer, polygon.points[2]);
        // Clockwise seen from the side that shows: the normal points at the eye in the middle.
        if (dot(cross(b - a, c - a), a + b + c) >= 0.0f) ++outwards;
    }
    EXPECT_EQ(outwards, 0);
    EXPECT_GT(triangles, 100);
    EXPECT_LE(triangles, 400);

    const Lwo2VertexMap& uv = layer.vertexMaps.at(0);
    ASSERT_EQ(uv.type, "TXUV");
    std::map<std::tuple<long, long, long>, std::vector<float>> uvAt;
    float lowest = RADIUS, highest = -RADIUS;
    for (const Lwo2MapEntry& entry : uv.entries) {
        const Vec3 p = pointOf(layer, entry.point);
        lowest = std::min(lowest, p.y);
        highest = std::max(highest, p.y);
        // Corners at one place meet in one place of the picture: no seam.
        const auto key = std::make_tuple(std::lround(p.x), std::lround(p.y), std::lround(p.z));
        auto known = uvAt.emplace(key, entry.values).first;
        EXPECT_NEAR(known->second[0], entry.values[0], 1e-5f);
        EXPECT_NEAR(known->second[1], entry.values[1], 1e-5f);

        const int x = std::clamp(static_cast<int>(entry.values[0] * PICTURE), 0, PICTURE - 1);
        const int y = std::clamp(static_cast<int>(entry.values[1] * PICTURE), 0, PICTURE - 1);
        const Rgb c = picture.at(x, y);
        const float elevation = std::asin(std::clamp(p.y / RADIUS, -1.0f, 1.0f)) * 180.0f / PI;
        SCOPED_TRACE(elevation);
        if (elevation > 89.0f) {
            EXPECT_GT(c.b, 0.9f);
        }
        if (elevation >= 20.0f) {
            EXPECT_GT(c.b, c.r + c.g);
        }
        if (std::fabs(elevation) < 0.01f) {
            EXPECT_LT(c.b, 0.1f);
        }
        if (elevation <= -8.0f) {
            EXPECT_GT(c.g, 0.9f);
        }
    }
    // Overhead and well below any ground edge a kart's camera looks over.
    EXPECT_NEAR(highest, RADIUS, 1e-2f);
    EXPECT_LT(lowest, -RADIUS * 0.25f);
}

class DemoTrackSky : public ::testing::TestWithParam<int> {};

TEST_P(DemoTrackSky, SelfLitClearOfFogWithoutAGeomAndRoundEverythingElse) {
    DemoTrackArchive archive(GetParam());
    ASSERT_TRUE(archive.ok());
    MetaScene pool;
    LW6Scene* scene = SceneLoader::loadScene(pool, demoTrack(GetParam()).sceneFile.c_str(), archive.files());
    ASSERT_NE(scene, nullptr);
    pool.start(nullptr);
    std::vector<SceneObject*> skies, others;
    for (int i = 0; i < scene->getObjectCount(); ++i) {
        SceneObject* object = scene->getObjectAt(i);
        if (!object->getFirstMesh() || object->m_unseenByCamera) continue;
        (object->getName().find("sky_") != std::string::npos ? skies : others).push_back(object);
    }
    ASSERT_EQ(skies.size(), 1u);
    SceneObject& sky = *skies.front();
    EXPECT_EQ(dynamic_cast<ODEGeomObject*>(&sky), nullptr);
    EXPECT_FALSE(sky.m_fogged);
    Mesh& dome = *sky.getFirstMesh();
    dome.ensureBounds();
    ASSERT_FALSE(dome.m_surfaces.empty());
    for (Surface* s : dome.m_surfaces) {
        EXPECT_FLOAT_EQ(s->m_luminosity.evaluate(0.0), 1.0f);
        EXPECT_FLOAT_EQ(s->m_diffuse.evaluate(0.0), 0.0f);
        EXPECT_FALSE(s->m_textureLayers.empty());
    }
    float reach = 0.0f, bottom = 0.0f;
    for (const Position3& c : dome.m_corners) {
        reach = std::max(reach, std::fabs(c.x));
        bottom = std::min(bottom, c.y);
    }
    EXPECT_GT(reach, 900.0f);
    // Well inside the dome's faces, which cut in from its round a little.
    for (SceneObject* object : others) {
        Matrix4x3 world;
        object->getMatrix(world, 0.0, 1);
        Mesh& mesh = *object->getFirstMesh();
        mesh.ensureBounds();
        for (Position3 c : mesh.m_corners) {
            transformPoint4x3(c, world);
            EXPECT_LT(std::hypot(c.x, c.y, c.z), reach * 0.8f) << object->getName();
            EXPECT_GT(c.y, bottom) << object->getName();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SixTracks, DemoTrackSky, ::testing::Range(1, 7));
