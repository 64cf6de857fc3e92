#pragma once
#include <cstdint>

struct Position3 {
    float x, y, z;
};

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
