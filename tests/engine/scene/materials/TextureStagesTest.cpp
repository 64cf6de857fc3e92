#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/platform/animation/Envelope.h"
#include "engine/scene/materials/TextureStages.h"
#include "engine/scene/mesh/MeshPolygon.h"
#include "engine/scene/mesh/MeshVertex.h"
#include "engine/scene/mesh/UVMap.h"
#include "sys/Pi.h"

namespace {

class TextureStagesTest : public ::testing::Test {
protected:
    TextureLayer& stage(int projection, int axis = TextureLayer::AXIS_Z) {
        layers.emplace_back(new TextureLayer);
        TextureLayer& layer = *layers.back();
        layer.m_projection = projection;
        layer.m_axis = axis;
        stages.layers[stages.count++] = &layer;
        return layer;
    }
    // One corner per point; every coordinate starts as garbage the projection must overwrite.
    void project(std::vector<Position3> points, Normal3 normal = {0, 0, 1}) {
        vertices.assign(points.size(), MeshVertex{});
        polygon.points.clear();
        for (size_t i = 0; i < points.size(); ++i) {
            vertices[i].position[0] = points[i].x;
            vertices[i].position[1] = points[i].y;
            vertices[i].position[2] = points[i].z;
            for (auto& uvw : vertices[i].texCoords) uvw[0] = uvw[1] = uvw[2] = 99.0f;
            polygon.points.push_back(uint32_t(i));
        }
        stages.computeTexCoords(vertices.data(), 0, normal, polygon, 0);
    }
    void expectUV(int vertex, int s, float u, float v, float w = 0.0f) {
        EXPECT_NEAR(vertices[vertex].texCoords[s][0], u, 1e-5f) << "vertex " << vertex;
        EXPECT_NEAR(vertices[vertex].texCoords[s][1], v, 1e-5f) << "vertex " << vertex;
        EXPECT_NEAR(vertices[vertex].texCoords[s][2], w, 1e-5f) << "vertex " << vertex;
    }

    std::vector<std::unique_ptr<TextureLayer>> layers;
    TextureStages stages;
    std::vector<MeshVertex> vertices;
    MeshPolygon polygon;
};

TEST_F(TextureStagesTest, PlanarMapsAroundTheMiddleOfTheTexture) {
    stage(TextureLayer::PROJECT_PLANAR);
    TextureLayer& sideways = stage(TextureLayer::PROJECT_PLANAR, TextureLayer::AXIS_X);
    sideways.m_size[2].constant = 2.0f;
    sideways.m_centre[1].constant = 1.0f;
    project({{0.25f, -0.5f, 0.0f}, {1.0f, 2.0f, 3.0f}});
    expectUV(0, 0, 0.75f, 0.0f);
    // z / 2 + 0.5, y - 1 + 0.5
    expectUV(1, 1, 2.0f, 1.5f);
}

TEST_F(TextureStagesTest, SolidFollowsTheRotationAndZeroSizeCollapses) {
    stage(TextureLayer::PROJECT_SOLID).m_rotation[0].constant = PI / 2;
    stage(TextureLayer::PROJECT_PLANAR).m_size[0].constant = 0.0f;
    project({{1.0f, 0.0f, 0.0f}});
    expectUV(0, 0, 0.5f, 0.5f, -0.5f);
    expectUV(0, 1, 0.5f, 0.5f);
}

TEST_F(TextureStagesTest, CylindricalUnwrapsAcrossTheSeam) {
    TextureLayer& layer = stage(TextureLayer::PROJECT_CYLINDRICAL, TextureLayer::AXIS_Y);
    layer.m_wrapWidth = 2.0f;
    layer.m_size[1].constant = 0.5f;
    // Longitudes 0.40, 0.45 and -0.45 turns: the first two move by a whole turn to join the third.
    auto around = [](float turns, float y) {
        float a = turns * 2.0f * PI;
        return Position3{-std::sin(a), y, std::cos(a)};
    };
    project({around(0.40f, 0.25f), around(0.45f, 0.0f), around(-0.45f, -0.25f)});
    expectUV(0, 0, -1.2f, 1.0f);
    expectUV(1, 0, -1.1f, 0.5f);
    expectUV(2, 0, -0.9f, 0.0f);
}

TEST_F(TextureStagesTest, SphericalGivesLatitude) {
    stage(TextureLayer::PROJECT_SPHERICAL, TextureLayer::AXIS_Y).m_wrapHeight = 2.0f;
    project({{0, 1, 1}, {0, -1, 1}, {0, 0, 1}});
    expectUV(0, 0, 0.0f, 1.5f);
    expectUV(1, 0, 0.0f, 0.5f);
    expectUV(2, 0, 0.0f, 1.0f);
}

TEST_F(TextureStagesTest, CubicPicksTheAxisOfTheFaceNormal) {
    stage(TextureLayer::PROJECT_CUBIC);
    project({{0.3f, 0.2f, -0.1f}}, {0.5f, 0.5f, 0.1f});
    expectUV(0, 0, 0.4f, 0.7f);
    project({{0.3f, 0.2f, -0.1f}}, {0.1f, 0.2f, -0.9f});
    expectUV(0, 0, 0.8f, 0.7f);
}

TEST_F(TextureStagesTest, FrontProjectionLeavesZeros) {
    stage(TextureLayer::PROJECT_FRONT);
    project({{0.3f, 0.2f, -0.1f}});
    expectUV(0, 0, 0.0f, 0.0f);
}

TEST_F(TextureStagesTest, UVMapValuesWithPerPolygonOverrides) {
    TextureLayer& layer = stage(TextureLayer::PROJECT_UV);
    auto* map = new UVMap("uv", 2);
    map->m_values = {0.1f, 0.2f, 0.0f, 0.3f, 0.4f, 0.0f};
    map->m_polygonEntries.resize(1);
    map->m_polygonEntries[0].points = {1};
    map->m_polygonEntries[0].values = {0.9f, 0.8f, 0.0f};
    layer.m_uvMaps.push_back(Ref<VertexMap>::adopt(map));
    project({{0, 0, 0}, {1, 0, 0}});
    expectUV(0, 0, 0.1f, 0.2f);
    expectUV(1, 0, 0.9f, 0.8f);

    layer.m_uvMaps[0] = nullptr;
    project({{0, 0, 0}});
    expectUV(0, 0, 0.0f, 0.0f);
}

TEST_F(TextureStagesTest, AnimatedStageCarriesThePositionAndLaterStagesStillProject) {
    TextureLayer& animated = stage(TextureLayer::PROJECT_PLANAR);
    auto* envelope = new Envelope;
    envelope->addKeyLinear(1.0f, 0.0f);
    animated.m_centre[0].channel = envelope;
    stage(TextureLayer::PROJECT_PLANAR);
    project({{0.25f, -0.5f, 2.0f}});
    expectUV(0, 0, 0.25f, -0.5f, 2.0f);
    expectUV(0, 1, 0.75f, 0.0f);
}

} // namespace
