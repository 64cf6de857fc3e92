#include <gtest/gtest.h>

#include "engine/scene/CullingPlane.h"
#include "engine/scene/Occluder.h"
#include "engine/scene/mesh/Mesh.h"

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
    EXPECT_TRUE(hides(o, 1.9f, -1.9f, 10.0f));
    EXPECT_FALSE(hides(o, 0.0f, 0.0f, 3.0f));
    EXPECT_FALSE(hides(o, 0.0f, 0.0f, 5.0f));   // on the quad
    EXPECT_FALSE(hides(o, 2.0f, 0.0f, 10.0f));  // on the side plane through x = 1
    float box[8][4];
    for (int i = 0; i < 8; ++i)
        for (int c = 0; c < 4; ++c) box[i][c] = c == 3 ? ((i & 4) ? 12.0f : 8.0f) : ((i >> c) & 1) - 0.5f;
    EXPECT_TRUE(occluderHidesBox(box, o));
    box[7][3] = 4.0f;
    EXPECT_FALSE(occluderHidesBox(box, o));
}

TEST(Occluder, FrontSurvivesAMirroredViewAndABackIsNoOccluder) {
    Matrix4x3 mirrored = UNIT_VIEW;
    mirrored.at(0, 0) = -1.0f;
    Occluder o;
    EXPECT_TRUE(makeOccluder(o, FACING, 4, mirrored));
    const Position3 away[4] = {FACING[3], FACING[2], FACING[1], FACING[0]};
    EXPECT_FALSE(makeOccluder(o, away, 4, UNIT_VIEW));
}

TEST(Occluder, QuadsThatCannotBoundAViewHideNothing) {
    const Position3 behindEye[4] = {{-1, 1, 5}, {1, 1, 5}, {1, -1, -1}, {-1, -1, -1}};
    const Position3 bent[4] = {{-1, 1, 5}, {1, 1, 5}, {1, -1, 5}, {0.5f, 0.5f, 5}};
    const Position3 line[3] = {{-1, 0, 5}, {0, 0, 5}, {1, 0, 5}};
    Occluder o;
    for (const Position3* quad : {behindEye, bent}) EXPECT_FALSE(makeOccluder(o, quad, 4, UNIT_VIEW));
    EXPECT_FALSE(makeOccluder(o, line, 3, UNIT_VIEW));
    EXPECT_FALSE(hides(o, 0.0f, 0.0f, 10.0f));

    CullingPlane plane(nullptr, 0);
    Mesh mesh(nullptr, &plane);
    mesh.m_points.assign(FACING, FACING + 4);
    mesh.m_polygons.resize(1);
    mesh.m_polygons[0].points = {0, 1, 2, 3};
    plane.addLevelOfDetail(&mesh, 0.0f);
    EXPECT_TRUE(makeOccluder(plane, UNIT_VIEW));
    EXPECT_TRUE(hides(occluderOf(plane), 0.0f, 0.0f, 10.0f));
    mesh.m_polygons[0].points[2] = 9;
    EXPECT_FALSE(makeOccluder(plane, UNIT_VIEW));
    EXPECT_FALSE(hides(occluderOf(plane), 0.0f, 0.0f, 10.0f));
}

} // namespace
