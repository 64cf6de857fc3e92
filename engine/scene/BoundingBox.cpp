#include "engine/scene/BoundingBox.h"

#include <cmath>
#include <cstring>

BoundingBox::BoundingBox(RenderView* renderer, SceneItem* owner) : m_renderer(renderer), m_owner(owner) {}

void BoundingBox::set(const Position3& minimum, const Position3& maximum) {
    for (int i = 0; i < 8; ++i) {
        m_corners[i].x = (i & 4) ? maximum.x : minimum.x;
        m_corners[i].y = (i & 2) ? maximum.y : minimum.y;
        m_corners[i].z = (i & 1) ? maximum.z : minimum.z;
    }
    m_centre = {minimum.x + (maximum.x - minimum.x) * 0.5f, minimum.y + (maximum.y - minimum.y) * 0.5f,
                minimum.z + (maximum.z - minimum.z) * 0.5f};
    float d[3] = {maximum.x - m_centre.x, maximum.y - m_centre.y, maximum.z - m_centre.z};
    m_radius = vectorLength(d);
    m_valid = true;
}

float BoundingBox::distanceTo(const Position3& point) const {
    float d[3] = {point.x - m_centre.x, point.y - m_centre.y, point.z - m_centre.z};
    float length = vectorLength(d);
    // At the centre there is no direction to the surface; d stays zero.
    float scale = length > 0.0f ? m_radius / length : 0.0f;
    float q[3] = {m_centre.x + d[0] * scale, m_centre.y + d[1] * scale, m_centre.z + d[2] * scale};
    float r[3] = {point.x - q[0], point.y - q[1], point.z - q[2]};
    return vectorLength(r);
}

namespace {

// Four floats in one register: a whole matrix row, summed lane by lane in
// the same order as one element at a time, so every bit stays as it was.
typedef float Row __attribute__((vector_size(16)));

Row rowOf(const Matrix4x3& m, int row) {
    Row r;
    std::memcpy(&r, &m.m[row * 4], sizeof r);
    return r;
}

} // namespace

void BoundingBox::projectCorners(const Matrix4x3& m, float out[8][4]) const {
    // Every pass culls every object with this.
    const Row r0 = rowOf(m, 0), r1 = rowOf(m, 1), r2 = rowOf(m, 2), r3 = rowOf(m, 3);
    for (int i = 0; i < 8; ++i) {
        const Position3& c = m_corners[i];
        const Row p = c.x * r0 + c.y * r1 + c.z * r2 + r3;
        std::memcpy(out[i], &p, sizeof p);
    }
}
