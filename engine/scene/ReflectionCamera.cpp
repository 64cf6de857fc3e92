#include "engine/scene/ReflectionCamera.h"

ReflectionCamera::ReflectionCamera(ObjectContainer* scene, const Matrix4x3& reflectedView, const Position3& eye,
                                   const Position3& mirrorPoint, const Normal3& mirrorNormal,
                                   std::vector<Normal3> sidePlanes, SceneItem* source)
    : SceneItem(scene, KIND_NONE, 0), m_reflectedView(reflectedView), m_eye(eye), m_mirrorPoint(mirrorPoint),
      m_mirrorNormal(mirrorNormal), m_sidePlanes(std::move(sidePlanes)), m_source(source) {}

const Matrix4x3& ReflectionCamera::getProjMatrix(double time, float nearDistance, float farDistance) {
    if (!m_source) return m_projMatrix;
    return m_source->getProjMatrix(time, nearDistance, farDistance);
}

bool ReflectionCamera::isBoxOutside(const float corners[8][4]) const {
    auto facing = [&](const Normal3& n, const Position3& origin) {
        for (int i = 0; i < 8; ++i)
            if (n.x * (corners[i][0] - origin.x) + n.y * (corners[i][1] - origin.y) + n.z * (corners[i][2] - origin.z) >=
                0.0f)
                return true;
        return false;
    };
    for (const Normal3& plane : m_sidePlanes)
        if (!facing(plane, m_eye)) return true;
    return !facing(m_mirrorNormal, m_mirrorPoint);
}

Viewport ReflectionCamera::getViewport() { return m_source ? m_source->getViewport() : m_viewport; }

void ReflectionCamera::updateMatrix(double time) {
    invertMatrix4x3(m_worldMatrix, m_reflectedView);
    m_worldValid = true;
}

void ReflectionCamera::updateProjMatrix(double time) {
    if (m_source) {
        if (!m_source->m_projValid) m_source->updateProjMatrix(time);
        m_projMatrix = m_source->m_projMatrix;
    }
    m_projValid = true;
}
