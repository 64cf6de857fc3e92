#include "engine/scene/materials/TextureLayer.h"

#include <cmath>

#include "engine/scene/mesh/VertexMap.h"

const char* const TextureLayer::GRADIENT_INPUT_NAMES[GRADIENT_INPUTS] = {
    "Previous Layer",
    "Bump",
    "Slope",
    "Incidence Angle",
    "Light Incidence",
    "Distance to Camera",
    "Distance to Object",
    "X Distance to Object",
    "Y Distance to Object",
    "Z Distance to Object",
    "Distance to Pivot Point",
    "X Distance to Pivot Point",
    "Y Distance to Pivot Point",
    "Z Distance to Pivot Point",
    "Weight Map",
};

namespace {

struct Placement {
    float rotation[3]; // heading, pitch, bank
    float centre[3];
    float size[3];
};

// A zero size would divide by zero; that axis then maps every point to the middle.
float reciprocal(float size) { return size != 0.0f ? 1.0f / size : 0.0f; }

// The texture matrix for points as rows; without the size it is rotation and centre only.
Matrix4x3 placementMatrix(const Placement& p, bool withSize) {
    const float ch = std::cos(p.rotation[0]), sh = std::sin(p.rotation[0]);
    const float cp = std::cos(p.rotation[1]), sp = std::sin(p.rotation[1]);
    const float cb = std::cos(p.rotation[2]), sb = std::sin(p.rotation[2]);
    const float cx = p.centre[0], cy = p.centre[1], cz = p.centre[2];
    const float a = sh * cx - ch * cz;
    const float b = -(sh * cz + ch * cx);
    const float c = a * sp - cp * cy;
    const float fx = withSize ? reciprocal(p.size[0]) : 1.0f;
    const float fy = withSize ? reciprocal(p.size[1]) : 1.0f;
    const float fz = withSize ? reciprocal(p.size[2]) : 1.0f;
    const float half = withSize ? 0.5f : 0.0f;
    Matrix4x3 m;
    m[0] = (cb * ch - sb * sp * sh) * fx;
    m[1] = (-cb * sp * sh - sb * ch) * fy;
    m[2] = -cp * sh * fz;
    m[3] = 0.0f;
    m[4] = cp * sb * fx;
    m[5] = cp * cb * fy;
    m[6] = -sp * fz;
    m[7] = 0.0f;
    m[8] = (sb * sp * ch + cb * sh) * fx;
    m[9] = (cb * sp * ch - sb * sh) * fy;
    m[10] = cp * ch * fz;
    m[11] = 0.0f;
    m[12] = (c * sb + b * cb) * fx + half;
    m[13] = (c * cb - b * sb) * fy + half;
    m[14] = (a * cp + sp * cy) * fz + half;
    m[15] = 1.0f;
    return m;
}

VertexMap* mapFor(const std::vector<Ref<VertexMap>>& maps, int objectLayer) {
    if (objectLayer < 0 || size_t(objectLayer) >= maps.size()) return nullptr;
    return maps[objectLayer];
}

} // namespace

TextureLayer::TextureLayer() : m_matrix{} {
    m_opacity.constant = 1.0f;
    for (AnimatedValue& value : m_size) value.constant = 1.0f;
    m_matrix[15] = 1.0f;
}

TextureLayer::~TextureLayer() {
    AnimatedValue* values[] = {&m_amplitude,  &m_size[2],   &m_size[1],   &m_size[0],
                               &m_rotation[2], &m_rotation[1], &m_rotation[0], &m_centre[2],
                               &m_centre[1],  &m_centre[0], &m_gradientValues[3], &m_gradientValues[2],
                               &m_gradientValues[1], &m_gradientValues[0], &m_opacity};
    for (AnimatedValue* value : values) value->clearChannel();
}

Matrix4x3 TextureLayer::computeMatrix(double time) {
    Placement p;
    for (int i = 0; i < 3; ++i) {
        p.rotation[i] = m_rotation[i].evaluate(time);
        p.centre[i] = m_centre[i].evaluate(time);
        p.size[i] = m_size[i].evaluate(time);
    }
    return placementMatrix(p, true);
}

Matrix4x3 TextureLayer::rotationMatrix() const {
    Placement p;
    for (int i = 0; i < 3; ++i) {
        p.rotation[i] = m_rotation[i].constant;
        p.centre[i] = m_centre[i].constant;
        p.size[i] = m_size[i].constant;
    }
    return placementMatrix(p, false);
}

const Matrix4x3& TextureLayer::getMatrix() {
    if (m_matrixValid) return m_matrix;
    if (m_projection == PROJECT_CYLINDRICAL || m_projection == PROJECT_SPHERICAL)
        m_matrix = rotationMatrix();
    else
        m_matrix = computeMatrix(0.0);
    m_matrixValid = true;
    return m_matrix;
}

bool TextureLayer::hasAnimatedTransform() const {
    for (int i = 0; i < 3; ++i)
        if (m_centre[i].channel || m_rotation[i].channel || m_size[i].channel) return true;
    return false;
}

void TextureLayer::setAntialiasStrength(float strength) {
    m_antialiasStrength = strength < 1.5f ? 1.0f : strength < 3.0f ? 2.0f : strength < 6.0f ? 4.0f : 8.0f;
}

int32_t TextureLayer::findGradientInput(const std::string& name) {
    for (int i = 0; i < GRADIENT_INPUTS; ++i)
        if (name == GRADIENT_INPUT_NAMES[i]) return i;
    return -1;
}

VertexMap* TextureLayer::getUVMap(int objectLayer) const { return mapFor(m_uvMaps, objectLayer); }

VertexMap* TextureLayer::getColourMap(int objectLayer) const { return mapFor(m_colourMaps, objectLayer); }
