#pragma once
#include <array>
#include <cmath>

// Points and directions of the demo models: x right, y up, z forward.
using Vec3 = std::array<float, 3>;

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline Vec3 operator*(Vec3 a, float k) { return {a[0] * k, a[1] * k, a[2] * k}; }
inline float dot(Vec3 a, Vec3 b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline Vec3 cross(Vec3 a, Vec3 b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline float length(Vec3 a) { return std::sqrt(dot(a, a)); }
inline Vec3 normalised(Vec3 a) {
    float l = length(a);
    return l > 0.0f ? a * (1.0f / l) : a;
}
inline Vec3 lerp(Vec3 a, Vec3 b, float t) { return a + (b - a) * t; }
// The same point with x mirrored: the other side of a moped or rider.
inline Vec3 mirrored(Vec3 a) { return {-a[0], a[1], a[2]}; }

constexpr float PI = 3.14159265358979f;
