#include <gtest/gtest.h>

#include <cmath>

#include "engine/platform/Math3D.h"
#include "engine/platform/Report.h"
#include "tests/support/ReportCapture.h"

namespace {

Matrix4x3 pose(float yaw, float tx, float ty, float tz, float scale) {
    float c = std::cos(yaw) * scale, s = std::sin(yaw) * scale;
    return Matrix4x3{{c, 0, -s, 0, 0, scale, 0, 0, s, 0, c, 0, tx, ty, tz, 1}};
}

void expectNear(const Matrix4x3& a, const Matrix4x3& b, float tolerance = 1e-5f) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a[i], b[i], tolerance) << "element " << i;
}

using SingularMatrix = ReportCapture<3>;

} // namespace

TEST(Matrix, AffineInverseUndoesThePose) {
    Matrix4x3 m = pose(0.7f, 3, -2, 5, 2.0f), inv, product;
    ASSERT_TRUE(invertMatrix4x3(inv, m));
    multiplyMatrix4x3(product, m, inv);
    expectNear(product, Matrix4x3::identity());
}

TEST(Matrix, ProductsMayWriteIntoAnInput) {
    Matrix4x3 a = pose(0.3f, 1, 2, 3, 1.5f), b = pose(-1.1f, -4, 0, 2, 0.5f), separate;
    multiplyMatrix4x3(separate, a, b);
    multiplyMatrix4x3(a, a, b);
    expectNear(a, separate, 0);
    Matrix4x3 c = pose(0.2f, 0, 1, 0, 1), d = c;
    multiplyMatrix4x4(separate, c, b);
    multiplyMatrix4x4(d, d, b);
    expectNear(d, separate, 0);
}

TEST(Matrix, AffineTimesProjectionIgnoresTheLastColumn) {
    Matrix4x3 a = pose(0.5f, 1, 2, 3, 1);
    a[3] = 7;
    a[15] = 9;
    Matrix4x3 proj = Matrix4x3::identity();
    proj[11] = 1;
    proj[15] = 0;
    Matrix4x3 out, clean = pose(0.5f, 1, 2, 3, 1), expected;
    multiplyMatrix4x3By4x4(out, a, proj);
    multiplyMatrix4x4(expected, clean, proj);
    expectNear(out, expected, 0);
}

TEST(Matrix, FullInverseSwapsRowsOnlyOnZeroPivot) {
    Matrix4x3 m{{0, 1, 0, 0, 2, 0, 0, 0, 0, 0, 1, 0, 0, 0, 3, 1}}, inv, product;
    ASSERT_TRUE(invertMatrix4x4(inv, m));
    multiplyMatrix4x4(product, m, inv);
    expectNear(product, Matrix4x3::identity());
    Matrix4x3 perspective{{1.5f, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1.001f, 1, 0, 0, -0.1f, 0}};
    ASSERT_TRUE(invertMatrix4x4(inv, perspective));
    multiplyMatrix4x4(product, perspective, inv);
    expectNear(product, Matrix4x3::identity(), 1e-4f);
}

TEST_F(SingularMatrix, FullInverseReportsAndGivesIdentity) {
    Matrix4x3 m{{0, 1, 2, 0, 0, 3, 4, 0, 0, 5, 6, 0, 0, 7, 8, 1}}, out;
    EXPECT_FALSE(invertMatrix4x4(out, m));
    expectNear(out, Matrix4x3::identity(), 0);
    EXPECT_STREQ(g_lastErrorText.text(), "Singular trans mat encountered.\n");
}

TEST_F(SingularMatrix, AffineInverseReportsInsteadOfInfinities) {
    Matrix4x3 flat = pose(0.4f, 1, 1, 1, 1), out;
    flat[4] = flat[5] = flat[6] = 0;
    EXPECT_FALSE(invertMatrix4x3(out, flat));
    expectNear(out, Matrix4x3::identity(), 0);
    EXPECT_STREQ(g_lastErrorText.text(), "Singular trans mat encountered.\n");
}

TEST(Vector, LengthAndNormalize) {
    float v[3] = {3, 4, 12};
    EXPECT_FLOAT_EQ(vectorLength(v), 13.0f);
    normalize(v);
    EXPECT_NEAR(vectorLength(v), 1.0f, 1e-6f);
    float zero[3] = {0, 0, 0};
    normalize(zero);
    EXPECT_EQ(zero[0], 0.0f);
    EXPECT_FALSE(std::isnan(zero[1]));
}

// The race's hashes rest on these sums keeping their order and their float type.
TEST(Vector, PositionArithmeticKeepsTheRacesOrder) {
    const Position3 a = {1e8f, 1.0f, -1e8f}, ones = {1.0f, 1.0f, 1.0f};
    EXPECT_EQ(dot(a, ones), 0.0f); // (1e8 + 1) - 1e8 in float: x, y, z in that order
    const Position3 z = cross({1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    EXPECT_EQ(z.x, 0.0f);
    EXPECT_EQ(z.y, 0.0f);
    EXPECT_EQ(z.z, 1.0f);
    const Position3 d = (Position3{1.0f, 2.0f, 3.0f} - Position3{4.0f, 6.0f, 3.0f}) * 2.0f + -Position3{0, 0, 1};
    EXPECT_EQ(d[0], -6.0f);
    EXPECT_EQ(d[1], -8.0f);
    EXPECT_EQ(d[2], -1.0f);
    const Position3 unit = normalised({0.0f, 3.0f, 4.0f});
    EXPECT_EQ(unit.y, 3.0f * (1.0f / 5.0f));
    EXPECT_FLOAT_EQ(length(unit), 1.0f);
    EXPECT_EQ(normalised({0.0f, 0.0f, 0.0f}).x, 0.0f);
    EXPECT_EQ(PI, 3.14159265358979323846f);
    EXPECT_EQ(PI_DOUBLE, std::acos(-1.0));
}

TEST(Color, PacksClampedChannelsAsArgb) {
    EXPECT_EQ(colorToARGB({1.0f, 0.5f, 0.0f, 2.0f}), 0xFFFF8000u);
    EXPECT_EQ(colorToARGB({-1.0f, 0.25f, 1.0f, 0.0f}), 0x000040FFu);
}
