#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "engine/scene/Bone.h"
#include "engine/scene/mesh/StaticSurfaceBuffer.h"
#include "engine/scene/mesh/WeightMap.h"
#include "tests/engine/scene/mesh/MeshTestSupport.h"

namespace {

using Triangles = std::vector<std::array<uint32_t, 3>>;

class MeshTest : public MeshFixture {
protected:
    // A unit quad in the y = 0 plane, corners counter-clockwise from the origin.
    static std::vector<Position3> square() { return {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}; }
    // Cut into n - 2 triangles of distinct corners, each facing the way the whole outline
    // does (its Newell normal), together covering the outline's area once.
    static void expectCutFacingTheOutline(const std::vector<Position3>& points, const MeshPolygon& outline) {
        const size_t n = outline.points.size();
        auto at = [&](uint32_t corner) { return points[outline.points[corner]]; };
        Position3 normal{0, 0, 0};
        for (uint32_t i = 1; i + 1 < n; ++i) normal += cross(at(i) - at(0), at(i + 1) - at(0));
        const float twiceArea = length(normal);
        const Triangles triangles = Mesh::triangulate(points, outline);
        ASSERT_EQ(triangles.size(), n - 2);
        float covered = 0.0f;
        for (const auto& t : triangles) {
            ASSERT_TRUE(t[0] < n && t[1] < n && t[2] < n && t[0] != t[1] && t[1] != t[2] && t[0] != t[2]);
            float facing = dot(cross(at(t[1]) - at(t[0]), at(t[2]) - at(t[0])), normal) / twiceArea;
            EXPECT_GT(facing, 0.0f) << t[0] << " " << t[1] << " " << t[2];
            covered += facing;
        }
        EXPECT_NEAR(covered, twiceArea, 1e-4f);
    }
    Bone* addBone(Mesh& mesh, Position3 at) {
        auto* bone = new Bone(nullptr, 0, int32_t(mesh.m_bones.size()));
        bone->m_restPosition = at;
        mesh.m_bones.push_back(bone);
        return bone;
    }
};

} // namespace

TEST_F(MeshTest, ConvexPolygonsTriangulateAsFans) {
    EXPECT_EQ(Mesh::triangulate(square(), polygon({0, 1, 2, 3})), (Triangles{{0, 1, 2}, {2, 3, 0}}));
    std::vector<Position3> pentagon;
    for (int i = 0; i < 5; ++i) pentagon.push_back({std::cos(i * 1.2566371f), 0, std::sin(i * 1.2566371f)});
    EXPECT_EQ(Mesh::triangulate(pentagon, polygon({0, 1, 2, 3, 4})), (Triangles{{0, 1, 2}, {0, 2, 3}, {3, 4, 0}}));
    // A hexagon on a banked plane, wound either way.
    std::vector<Position3> hexagon;
    for (int i = 0; i < 6; ++i) {
        float c = std::cos(i * 1.0471976f), s = std::sin(i * 1.0471976f);
        hexagon.push_back({3 + c, 1 + 0.6f * c + 0.3f * s, -2 + s});
    }
    const Triangles fan{{0, 1, 2}, {0, 2, 3}, {0, 3, 4}, {4, 5, 0}};
    EXPECT_EQ(Mesh::triangulate(hexagon, polygon({0, 1, 2, 3, 4, 5})), fan);
    EXPECT_EQ(Mesh::triangulate(hexagon, polygon({5, 4, 3, 2, 1, 0})), fan);
}

TEST_F(MeshTest, ConcaveNGonClipsEarsAroundItsNotch) {
    // An arrow head: corner 2 points inwards.
    std::vector<Position3> arrow = {{0, 0, 0}, {2, 0, 0}, {1, 0, 1}, {2, 0, 2}, {0, 0, 2}};
    Triangles triangles = Mesh::triangulate(arrow, polygon({0, 1, 2, 3, 4}));
    ASSERT_EQ(triangles.size(), 3u);
    for (const auto& t : triangles) EXPECT_FALSE(t[0] == 1 && t[1] == 2 && t[2] == 3);
}

TEST_F(MeshTest, TwistedAndCrossedQuadsKeepBothTriangles) {
    // Corners 1 and 3 lifted: seen along the first corner's own normal the outline crosses itself.
    std::vector<Position3> twisted = {{0, 0, 0}, {1, 1, 0}, {1, 0, 1}, {0, 1, 1}};
    expectCutFacingTheOutline(twisted, polygon({0, 1, 2, 3}));
    // Two corners swapped by mistake: no way of cutting it is right, but it leaves no hole.
    std::vector<Position3> crossed = {{0, 0, 0}, {1, 0, 2}, {0, 0, 1}, {3, 0, 1}};
    const Triangles triangles = Mesh::triangulate(crossed, polygon({0, 1, 2, 3}));
    ASSERT_EQ(triangles.size(), 2u);
    std::set<uint32_t> used;
    for (const auto& t : triangles) used.insert(t.begin(), t.end());
    EXPECT_EQ(used.size(), 4u);
}

TEST_F(MeshTest, LShapeWithItsNotchUpFrontIsCutAndLitRightWayOut) {
    // Three unit squares, wound like the unit square; point 0 is the notch.
    std::vector<Position3> l = {{1, 0, 1}, {1, 0, 2}, {0, 0, 2}, {0, 0, 0}, {2, 0, 0}, {2, 0, 1}};
    expectCutFacingTheOutline(l, polygon({0, 1, 2, 3, 4, 5}));
    // With the notch second, the first three corners bend against the outline.
    addSurface();
    Mesh& mesh = makeMesh(l, {polygon({5, 0, 1, 2, 3, 4})});
    ASSERT_TRUE(mesh.prepare(true, true));
    ASSERT_EQ(mesh.m_buildData.vertexCount, 6);
    // Lit from the side the outline faces, as the unit square is.
    for (const MeshVertex& vertex : mesh.m_buildData.vertices) EXPECT_FLOAT_EQ(vertex.normal[1], -1.0f);
}

TEST_F(MeshTest, DoubleSidedQuadAddsBackTrianglesAndWelds) {
    addSurface().m_doubleSided = true;
    Mesh& mesh = makeMesh(square(), {polygon({0, 1, 2, 3})});
    ASSERT_TRUE(mesh.prepare(true, true));
    const MeshBuildData& data = mesh.m_buildData;
    EXPECT_EQ(mesh.m_cornerCount, 4);
    // The back triangles reuse the front corners, normals included.
    EXPECT_EQ(data.vertexCount, 4);
    ASSERT_EQ(data.groupIndexLists.size(), 1u);
    EXPECT_EQ(data.groupIndexLists[0].size(), 12u);
    ASSERT_EQ(mesh.m_surfaceBuffers.size(), 1u);
    EXPECT_EQ(mesh.m_surfaceBuffers[0]->m_triangleCount, 4u);
}

TEST_F(MeshTest, SharedCornersWeldWithinASurfaceNeverAcross) {
    addSurface();
    std::vector<Position3> strip = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}, {2, 0, 0}, {2, 0, 1}};
    Mesh& one = makeMesh(strip, {polygon({0, 1, 2, 3}), polygon({1, 4, 5, 2})});
    ASSERT_TRUE(one.prepare(true, true));
    EXPECT_EQ(one.m_buildData.vertexCount, 6);
    addSurface();
    Mesh& two = makeMesh(strip, {polygon({0, 1, 2, 3}), polygon({1, 4, 5, 2}, 1)});
    ASSERT_TRUE(two.prepare(true, true));
    EXPECT_EQ(two.m_buildData.vertexCount, 8);
    EXPECT_EQ(two.m_surfaceBuffers.size(), 2u);
}

TEST_F(MeshTest, FacesMeetingAtOneDegreeShareNormalsAtThreeKeepTheirOwn) {
    addSurface();
    for (float degrees : {1.0f, 3.0f}) {
        float a = degrees * 0.017453292f;
        std::vector<Position3> fold = {{0, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {std::cos(a), std::sin(a), 0}};
        Mesh& mesh = makeMesh(fold, {polygon({0, 1, 2}), polygon({0, 3, 1})});
        ASSERT_TRUE(mesh.prepare(true, true));
        EXPECT_EQ(mesh.m_buildData.vertexCount, degrees < 2.0f ? 4 : 6) << degrees;
    }
}

TEST_F(MeshTest, ShortAndDamagedPolygonsAreDropped) {
    addSurface();
    Mesh& mesh = makeMesh(square(), {polygon({0, 1}), polygon({0, 1, 2}), polygon({0, 2, 99}), polygon({0, 2, 3}, 7)});
    ASSERT_TRUE(mesh.prepare(true, true));
    EXPECT_EQ(mesh.m_polygons.size(), 1u);
    EXPECT_EQ(mesh.m_polygons[0].number, 1);
    EXPECT_EQ(mesh.m_cornerCount, 3);
}

TEST_F(MeshTest, MeshWithoutPointsHasZeroBox) {
    addSurface();
    Mesh& mesh = makeMesh({}, {});
    EXPECT_TRUE(mesh.prepare(true, false));
    EXPECT_FLOAT_EQ(mesh.m_radius, 0.0f);
    EXPECT_FLOAT_EQ(mesh.m_corners[7].x, 0.0f);
    EXPECT_TRUE(mesh.m_surfaceBuffers.empty());
}

TEST_F(MeshTest, GroupBeyond65536VerticesKeeps32BitIndices) {
    addSurface();
    std::vector<Position3> points;
    std::vector<MeshPolygon> polygons;
    for (uint32_t i = 0; i < 22000; ++i) {
        float x = float(i);
        points.insert(points.end(), {{x, 0, 0}, {x + 0.5f, 0, 0}, {x, 0, 0.5f}});
        polygons.push_back(polygon({3 * i, 3 * i + 1, 3 * i + 2}));
    }
    for (bool boned : {false, true}) {
        Mesh& mesh = makeMesh(points, polygons);
        if (boned) addBone(mesh, {0, 0, 0});
        ASSERT_TRUE(mesh.prepare(true, false));
        SurfaceBuffer& buffer = *mesh.m_surfaceBuffers[0];
        EXPECT_EQ(buffer.m_indexFormat, uint32_t(sys::gfx::FMT_INDEX32)) << boned;
        const auto* indices = reinterpret_cast<const uint32_t*>(buffer.m_indexBuffers[0]->bytes());
        EXPECT_EQ(indices[3 * 21999 + 2], 65999u) << boned;
    }
    EXPECT_EQ(lastError(), "");
}

TEST_F(MeshTest, FiveEquallyDistantBonesKeepFourQuarterInfluences) {
    addSurface();
    Mesh& mesh = makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {polygon({0, 1, 2})});
    for (int i = 0; i < 5; ++i) addBone(mesh, {0, 0, -2});
    ASSERT_TRUE(mesh.prepare(true, false));
    EXPECT_EQ(mesh.m_buildData.influenceCount, 4);
    for (float weight : mesh.m_buildData.vertices[0].boneWeights) EXPECT_FLOAT_EQ(weight, 0.25f);
}

TEST_F(MeshTest, TwoBonesAtZeroDistanceShareTheVertexEvenly) {
    addSurface();
    Mesh& mesh = makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {polygon({0, 1, 2})});
    addBone(mesh, {0, 0, 0});
    addBone(mesh, {0, 0, 0});
    ASSERT_TRUE(mesh.prepare(true, false));
    const MeshVertex& atOrigin = mesh.m_buildData.vertices[0];
    EXPECT_FLOAT_EQ(atOrigin.boneWeights[0], 0.5f);
    EXPECT_FLOAT_EQ(atOrigin.boneWeights[1], 0.5f);
}

TEST_F(MeshTest, LimitedRangeOfZeroGivesNoWeightInsteadOfDividingByZero) {
    addSurface();
    Mesh& mesh = makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {polygon({0, 1, 2})});
    Bone* ranged = addBone(mesh, {5, 5, 5});
    ranged->m_limitedRange = true;
    ranged->m_maxRange = 0.0f;
    addBone(mesh, {0, 0, -10});
    ASSERT_TRUE(mesh.prepare(true, false));
    const MeshVertex& vertex = mesh.m_buildData.vertices[1];
    EXPECT_EQ(vertex.boneIndices[0], 1);
    EXPECT_FLOAT_EQ(vertex.boneWeights[0], 1.0f);
    EXPECT_FLOAT_EQ(vertex.boneWeights[1], 0.0f);
}

TEST_F(MeshTest, BoneIndicesBeyondAByteSurvive) {
    addSurface();
    Mesh& mesh = makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {polygon({0, 1, 2})});
    for (int i = 0; i < 300; ++i) addBone(mesh, {100, 100, 100});
    addBone(mesh, {1, 0, 0});
    ASSERT_TRUE(mesh.prepare(true, false));
    EXPECT_EQ(mesh.m_buildData.vertices[1].boneIndices[0], 300);
}

TEST_F(MeshTest, WeightMapScalesABonesInfluence) {
    addSurface();
    auto map = Ref<WeightMap>::make("arm", 3);
    map->m_weights = {1.0f, 0.0f, 1.0f};
    Mesh& mesh = makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {polygon({0, 1, 2})}, {map});
    addBone(mesh, {0, 0, 0})->m_weightMapName = "arm";
    addBone(mesh, {0, 0, -50});
    ASSERT_TRUE(mesh.prepare(true, false));
    EXPECT_EQ(mesh.m_buildData.vertices[0].boneIndices[0], 0);
    EXPECT_EQ(mesh.m_buildData.vertices[1].boneIndices[0], 1);
    // The mesh gave up its reference when the build ended.
    EXPECT_TRUE(mesh.m_weightMaps.empty());
    EXPECT_EQ(map->getRefCount(), 1);
}
