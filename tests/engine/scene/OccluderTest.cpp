#include <gtest/gtest.h>

#include <memory>

#include "engine/scene/CullingPlane.h"
#include "engine/scene/Mesh.h"
#include "engine/scene/Occluder.h"

namespace {

// Camera at the origin looking along +z: (x, y, w) = (x, y, z).
const Matrix4x3 UNIT_VIEW = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0}};

// Two by two at z = 5, clockwise as the camera sees it: its front faces the camera.
const Position3 FACING[4] = {{-1, 1, 5}, {1, 1, 5}, {1, -1, 5}, {-1, -1, 5}};

bool hides(const Occluder& o, float x, float y, float w) {
    const float p[4] = {x, y, 0.0f, w};
    return occluderHidesPoint(p, o);
}

TEST(Occluder, HidesOnlyWhatLiesStrictlyInsideAndBehind) {
    Occluder o;
    ASSERT_TRUE(makeOccluder(o, FACING, 4, UNIT_VIEW));
    EXPECT_TRUE(hides(o, 0.0f, 0.0f, 10.0f));
    EXPECT_TRUE(hides(o, 1.9f, -1.9f, 10.0f));
    EXPECT_FALSE(hides(o, 0.0f, 0.0f, 3.0f));
    // On the quad's plane, and on the side plane through the edge x = 1.
    EXPECT_FALSE(hides(o, 0.0f, 0.0f, 5.0f));
    EXPECT_FALSE(hides(o, 2.0f, 0.0f, 10.0f));
    EXPECT_FALSE(hides(o, 0.0f, 2.5f, 10.0f));
}

TEST(Occluder, BoxWithOneCornerInFrontIsNotHidden) {
    Occluder o;
    ASSERT_TRUE(makeOccluder(o, FACING, 4, UNIT_VIEW));
    float box[8][4];
    for (int i = 0; i < 8; ++i) {
        box[i][0] = (i & 1) ? 0.5f : -0.5f;
        box[i][1] = (i & 2) ? 0.5f : -0.5f;
        box[i][2] = 0.0f;
        box[i][3] = (i & 4) ? 12.0f : 8.0f;
    }
    EXPECT_TRUE(occluderHidesBox(box, o));
    box[7][3] = 4.0f;
    EXPECT_FALSE(occluderHidesBox(box, o));
}

TEST(Occluder, QuadFacingAwayIsNoOccluder) {
    const Position3 away[4] = {FACING[3], FACING[2], FACING[1], FACING[0]};
    Occluder o;
    EXPECT_FALSE(makeOccluder(o, away, 4, UNIT_VIEW));
}

TEST(Occluder, MirroringViewKeepsTheQuadsFront) {
    Matrix4x3 mirrored = UNIT_VIEW;
    mirrored.at(0, 0) = -1.0f;
    Occluder o;
    EXPECT_TRUE(makeOccluder(o, FACING, 4, mirrored));
    EXPECT_TRUE(hides(o, 0.0f, 0.0f, 10.0f));
}

TEST(Occluder, QuadsThatCannotBoundAViewMakeNone) {
    Occluder o;
    // Reaching behind the eye: its side planes would fold over.
    const Position3 behind[4] = {{-1, 1, 5}, {1, 1, 5}, {1, -1, -1}, {-1, -1, -1}};
    EXPECT_FALSE(makeOccluder(o, behind, 4, UNIT_VIEW));
    // Bent: the fourth corner lies inside the other three.
    const Position3 bent[4] = {{-1, 1, 5}, {1, 1, 5}, {1, -1, 5}, {0.5f, 0.5f, 5}};
    EXPECT_FALSE(makeOccluder(o, bent, 4, UNIT_VIEW));
    const Position3 line[3] = {{-1, 0, 5}, {0, 0, 5}, {1, 0, 5}};
    EXPECT_FALSE(makeOccluder(o, line, 3, UNIT_VIEW));
    EXPECT_FALSE(makeOccluder(o, FACING, 2, UNIT_VIEW));
    // A failed build hides nothing.
    EXPECT_FALSE(hides(o, 0.0f, 0.0f, 10.0f));
}

TEST(Occluder, TriangleHidesWhatLiesBehindIt) {
    Occluder o;
    ASSERT_TRUE(makeOccluder(o, FACING, 3, UNIT_VIEW));
    EXPECT_TRUE(hides(o, 1.0f, 1.0f, 10.0f));
    EXPECT_FALSE(hides(o, -1.0f, -1.0f, 10.0f));
}

TEST(Occluder, CullingPlaneUsesFirstPolygonAndRefusesBadPointIndices) {
    CullingPlane plane(nullptr, 0);
    Mesh mesh(nullptr, &plane);
    mesh.m_points.assign(FACING, FACING + 4);
    MeshPolygon polygon;
    polygon.points = {0, 1, 2, 3};
    mesh.m_polygons = {polygon};
    plane.addLevelOfDetail(&mesh, 0.0f);
    EXPECT_TRUE(makeOccluder(plane, UNIT_VIEW));
    EXPECT_TRUE(hides(occluderOf(plane), 0.0f, 0.0f, 10.0f));

    mesh.m_polygons[0].points[2] = 9;
    EXPECT_FALSE(makeOccluder(plane, UNIT_VIEW));
    EXPECT_FALSE(hides(occluderOf(plane), 0.0f, 0.0f, 10.0f));
}

} // namespace
