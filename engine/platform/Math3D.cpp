#include "engine/platform/Math3D.h"

#include <cmath>

#include "engine/platform/Report.h"

namespace {

void reportSingular() { ENGINE_ASSERT(0 && "Singular trans mat encountered.\n"); }

uint8_t channelByte(float c) {
    if (c >= 1.0f) return 255;
    if (c <= 0.0f) return 0;
    return static_cast<uint8_t>(c * 255.0f + 0.5f);
}

} // namespace

Matrix4x3 Matrix4x3::identity() {
    return Matrix4x3{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

void multiplyMatrix4x4(Matrix4x3& out, const Matrix4x3& a, const Matrix4x3& b) {
    Matrix4x3 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.at(i, j) = a.at(i, 0) * b.at(0, j) + a.at(i, 1) * b.at(1, j) + a.at(i, 2) * b.at(2, j) +
                         a.at(i, 3) * b.at(3, j);
    out = r;
}

void multiplyMatrix4x3By4x4(Matrix4x3& out, const Matrix4x3& a, const Matrix4x3& b) {
    Matrix4x3 affine = a;
    affine[3] = affine[7] = affine[11] = 0.0f;
    affine[15] = 1.0f;
    multiplyMatrix4x4(out, affine, b);
}

void multiplyMatrix4x3(Matrix4x3& out, const Matrix4x3& a, const Matrix4x3& b) {
    Matrix4x3 r;
    // Whole rows of b at a time, so the compiler keeps each row in one vector
    // register; every element is summed in the same order as ever.
    for (int i = 0; i < 4; ++i) {
        const float x = a.at(i, 0), y = a.at(i, 1), z = a.at(i, 2);
        for (int j = 0; j < 4; ++j) r.at(i, j) = x * b.at(0, j) + y * b.at(1, j) + z * b.at(2, j);
    }
    for (int j = 0; j < 3; ++j) r.at(3, j) += b.at(3, j);
    r[3] = r[7] = r[11] = 0.0f;
    r[15] = 1.0f;
    out = r;
}

bool invertMatrix4x3(Matrix4x3& out, const Matrix4x3& m) {
    // Cofactors of the 3x3 part, in f32 as the renderer has always done.
    float c00 = m.at(1, 1) * m.at(2, 2) - m.at(1, 2) * m.at(2, 1);
    float c01 = m.at(1, 2) * m.at(2, 0) - m.at(1, 0) * m.at(2, 2);
    float c02 = m.at(1, 0) * m.at(2, 1) - m.at(1, 1) * m.at(2, 0);
    double det = static_cast<double>(m.at(0, 0)) * c00 + static_cast<double>(m.at(0, 1)) * c01 +
                 static_cast<double>(m.at(0, 2)) * c02;
    if (det == 0.0 || !std::isfinite(det)) {
        reportSingular();
        out = Matrix4x3::identity();
        return false;
    }
    float inv = static_cast<float>(1.0 / det);
    Matrix4x3 r;
    r.at(0, 0) = c00 * inv;
    r.at(1, 0) = c01 * inv;
    r.at(2, 0) = c02 * inv;
    r.at(0, 1) = (m.at(0, 2) * m.at(2, 1) - m.at(0, 1) * m.at(2, 2)) * inv;
    r.at(1, 1) = (m.at(0, 0) * m.at(2, 2) - m.at(0, 2) * m.at(2, 0)) * inv;
    r.at(2, 1) = (m.at(0, 1) * m.at(2, 0) - m.at(0, 0) * m.at(2, 1)) * inv;
    r.at(0, 2) = (m.at(0, 1) * m.at(1, 2) - m.at(0, 2) * m.at(1, 1)) * inv;
    r.at(1, 2) = (m.at(0, 2) * m.at(1, 0) - m.at(0, 0) * m.at(1, 2)) * inv;
    r.at(2, 2) = (m.at(0, 0) * m.at(1, 1) - m.at(0, 1) * m.at(1, 0)) * inv;
    for (int j = 0; j < 3; ++j)
        r.at(3, j) = -(m.at(3, 0) * r.at(0, j) + m.at(3, 1) * r.at(1, j) + m.at(3, 2) * r.at(2, j));
    r[3] = r[7] = r[11] = 0.0f;
    r[15] = 1.0f;
    out = r;
    return true;
}

bool invertMatrix4x4(Matrix4x3& out, const Matrix4x3& m) {
    Matrix4x3 a = m;
    Matrix4x3 b = Matrix4x3::identity();
    auto swapRows = [](Matrix4x3& x, int i, int r) {
        for (int c = 0; c < 4; ++c) {
            float t = x.at(i, c);
            x.at(i, c) = x.at(r, c);
            x.at(r, c) = t;
        }
    };
    for (int i = 0; i < 4; ++i) {
        if (a.at(i, i) == 0.0f) {
            int r = i + 1;
            while (r < 4 && a.at(r, i) == 0.0f) ++r;
            if (r == 4) {
                reportSingular();
                out = Matrix4x3::identity();
                return false;
            }
            swapRows(a, i, r);
            swapRows(b, i, r);
        }
        if (a.at(i, i) != 1.0f) {
            float s = 1.0f / a.at(i, i);
            for (int c = 0; c < 4; ++c) {
                a.at(i, c) *= s;
                b.at(i, c) *= s;
            }
        }
        for (int r = i + 1; r < 4; ++r) {
            float f = a.at(r, i);
            for (int c = i + 1; c < 4; ++c) a.at(r, c) -= f * a.at(i, c);
            for (int c = 0; c < 4; ++c) b.at(r, c) -= f * b.at(i, c);
        }
    }
    for (int c = 3; c >= 1; --c)
        for (int j = 0; j < c; ++j) {
            float f = a.at(j, c);
            for (int k = 0; k < 4; ++k) b.at(j, k) -= f * b.at(c, k);
        }
    out = b;
    return true;
}

float vectorLength(const float v[3]) {
    double x = v[0], y = v[1], z = v[2];
    return static_cast<float>(std::sqrt(x * x + y * y + z * z));
}

void normalize(float v[3]) {
    float length = vectorLength(v);
    if (length == 0.0f) return;
    float inv = 1.0f / length;
    v[0] *= inv;
    v[1] *= inv;
    v[2] *= inv;
}

uint32_t colorToARGB(const ColorRGBA& c) {
    return static_cast<uint32_t>(channelByte(c.a)) << 24 | static_cast<uint32_t>(channelByte(c.r)) << 16 |
           static_cast<uint32_t>(channelByte(c.g)) << 8 | channelByte(c.b);
}
