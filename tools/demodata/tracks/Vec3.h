#pragma once
#include <array>
#include <cmath>

// A point or direction of the track builders. Axes as in the game: y up; a
// heading h (radians) turns the local z axis to (sin h, 0, cos h).
struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;

    Vec3 operator+(Vec3 o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(Vec3 o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(float k) const { return {x * k, y * k, z * k}; }
    float dot(Vec3 o) const { return x * o.x + y * o.y + z * o.z; }
    Vec3 cross(Vec3 o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
    float length() const { return std::sqrt(dot(*this)); }
    // Length 1, or unchanged when it has no direction.
    Vec3 unit() const {
        float l = length();
        return l > 1e-12f ? *this * (1.0f / l) : *this;
    }
    std::array<float, 3> array() const { return {x, y, z}; }
};

// The heading (radians) whose local z axis points along `d` seen from above.
inline float headingOf(Vec3 d) { return std::atan2(d.x, d.z); }
// The unit direction of a heading.
inline Vec3 headingDirection(float h) { return {std::sin(h), 0.0f, std::cos(h)}; }
