#pragma once
#include "engine/scene/AxisViewingItem.h"

// The camera item (kind 3): view placement with an optional view axis and
// per-eye offsets, a look-at target that heading and pitch may follow, a
// position offset in its own frame, and a perspective projection with an
// animated zoom.
class Camera : public AxisViewingItem {
public:
    Camera(ObjectContainer* container, int32_t index);
    ~Camera() override;

    Viewport getViewport() override;
    void invalidate() override;
    // The aimed placement, then moved by the offset.
    void updateMatrix(double time) override;
    void updateProjMatrix(double time) override;

    // Heading and pitch each follow the target while their flag is set, and
    // come from their channels otherwise or while there is no target.
    void lookAt(SceneItem* target, bool followHeading, bool followPitch);
    bool followsHeading() const { return m_headingController == CONTROL_TARGET; }
    bool followsPitch() const { return m_pitchController == CONTROL_TARGET; }

    // Applied in the camera's own frame after aiming: x to its right, y up,
    // z back from the eye against the view, so the aim point stays in view.
    Position3 m_offset = {0.0f, 0.0f, 0.0f};
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
