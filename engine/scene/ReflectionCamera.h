#pragma once
#include <vector>

#include "engine/scene/SceneItem.h"

// The viewer behind a mirror plane for one reflection: the mirrored view,
// the source camera's projection and viewport, and culling against the
// source's side planes, the four planes through the mirror's edges and the mirror itself.
class ReflectionCamera : public SceneItem {
public:
    ReflectionCamera(ObjectContainer* scene, const Matrix4x3& reflectedView, const Position3& eye,
                     const Position3& mirrorPoint, const Normal3& mirrorNormal, std::vector<Normal3> sidePlanes,
                     SceneItem* source);

    const Matrix4x3& getProjMatrix(double time, float nearDistance, float farDistance) override;
    bool isPointOutside(const float point[4]) const override { return false; }
    bool isBoxOutside(const float corners[8][4]) const override;
    Viewport getViewport() override;
    void updateMatrix(double time) override;
    void updateProjMatrix(double time) override;

    float m_nearDistance = 0.01f;
    Matrix4x3 m_reflectedView;
    Position3 m_eye;
    Position3 m_mirrorPoint;
    Normal3 m_mirrorNormal;
    std::vector<Normal3> m_sidePlanes;
    SceneItem* m_source;
};
