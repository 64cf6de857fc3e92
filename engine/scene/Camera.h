#pragma once
#include "engine/scene/AxisViewingItem.h"

// The camera item (kind 3): view placement with an optional view axis and
// per-eye offsets, and a perspective projection with an animated zoom.
class Camera : public AxisViewingItem {
public:
    Camera(ObjectContainer* container, int32_t index);
    ~Camera() override;

    Viewport getViewport() override;
    void invalidate() override;
    void updateProjMatrix(double time) override;

    AnimatedValue m_zoomFactor;
    float m_eyeSeparation = 0.06f;
    // The camera's own fog range, used instead of the scene's when set.
    float m_envMinDistance = 0.0f;
    float m_envMaxDistance = 0.0f;
    bool m_hasEnvMinDistance = false;
    bool m_hasEnvMaxDistance = false;

protected:
    // Each eye of a stereo pair sits half the separation to its side.
    void adjustViewAxis(Matrix4x3& axis) override;
};
