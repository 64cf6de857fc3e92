#include "engine/scene/BoundingBox.h"

#include <cmath>

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

void BoundingBox::projectCorners(const Matrix4x3& m, float out[8][4]) const {
    for (int i = 0; i < 8; ++i) {
        const Position3& c = m_corners[i];
        for (int j = 0; j < 4; ++j) out[i][j] = c.x * m.at(0, j) + c.y * m.at(1, j) + c.z * m.at(2, j) + m.at(3, j);
    }
}
