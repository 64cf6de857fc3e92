#pragma once
#include <array>
#include <cmath>
#include <cstdint>

#include "sys/Pi.h"

struct Position3 {
    float x, y, z;
    // Axis 0, 1 or 2, for loops over the three.
    float& operator[](int axis) { return axis == 0 ? x : axis == 1 ? y : z; }
    float operator[](int axis) const { return axis == 0 ? x : axis == 1 ? y : z; }
};

// Points and directions alike. Sums run x, y, z in that order, in float, so the
// results match the race's own arithmetic bit for bit.
inline Position3 operator+(const Position3& a, const Position3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Position3 operator-(const Position3& a, const Position3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Position3 operator-(const Position3& a) { return {-a.x, -a.y, -a.z}; }
inline Position3 operator*(const Position3& a, float k) { return {a.x * k, a.y * k, a.z * k}; }
inline Position3& operator+=(Position3& a, const Position3& b) { return a = a + b; }
inline float dot(const Position3& a, const Position3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Position3 cross(const Position3& a, const Position3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(const Position3& a) { return std::sqrt(dot(a, a)); }
// Length 1, or unchanged when it has no direction.
inline Position3 normalised(const Position3& a) {
    const float l = length(a);
    return l > 0.0f ? a * (1.0f / l) : a;
}
inline Position3 toPosition(const float v[3]) { return {v[0], v[1], v[2]}; }
inline void toArray(const Position3& p, float out[3]) { out[0] = p.x, out[1] = p.y, out[2] = p.z; }
inline std::array<float, 3> toArray(const Position3& p) { return {p.x, p.y, p.z}; }

struct Normal3 {
    float x, y, z;
};

// Sixteen floats, row-major with row vectors (p * M): rows 0 to 2 are the axes,
// elements 12 to 14 the translation. Also the device's matrix layout.
struct Matrix4x3 {
    float m[16];
    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }
    float& at(int row, int col) { return m[row * 4 + col]; }
    float at(int row, int col) const { return m[row * 4 + col]; }
    static Matrix4x3 identity();
};

inline Position3 toPosition(const Normal3& n) { return {n.x, n.y, n.z}; }
inline Normal3 toNormal(const Position3& p) { return {p.x, p.y, p.z}; }

struct ColorRGBA {
    float r, g, b, a;
};

// All routines read every input before writing, so `out` may alias an input.
void multiplyMatrix4x4(Matrix4x3& out, const Matrix4x3& a, const Matrix4x3& b);
void multiplyMatrix4x3By4x4(Matrix4x3& out, const Matrix4x3& a, const Matrix4x3& b);
void multiplyMatrix4x3(Matrix4x3& out, const Matrix4x3& a, const Matrix4x3& b);
// False (with the singular-matrix assertion, `out` the identity) when m has no inverse.
bool invertMatrix4x3(Matrix4x3& out, const Matrix4x3& m);
bool invertMatrix4x4(Matrix4x3& out, const Matrix4x3& m);

float vectorLength(const float v[3]);
void normalize(float v[3]);
uint32_t colorToARGB(const ColorRGBA& colour);
