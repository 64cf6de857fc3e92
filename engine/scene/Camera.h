#pragma once
#include "engine/scene/SceneItem.h"

// The camera item (kind 3): view placement with an optional view axis and
// per-eye offsets, and a perspective projection with an animated zoom.
class Camera : public ViewingItem {
public:
    enum ViewAxis { ALONG_X = 0, ALONG_Y = 1, ALONG_Z = 2 };

    Camera(ObjectContainer* container, int32_t index);
    ~Camera() override;

    // Flag 0: the item's world matrix; flag 1: view axis x world (the view placement).
    Matrix4x3& getMatrix(Matrix4x3& out, double time, int flag) override;
    // Flag 1: inverse world x inverse view axis.
    Matrix4x3& getInvMatrix(Matrix4x3& out, double time, int flag) override;
    Viewport getViewport() override;
    void invalidate() override;
    void updateProjMatrix(double time) override;
    void updateViewAxis();

    int32_t m_viewAxis = ALONG_Z;
    AnimatedValue m_zoomFactor;
    float m_eyeSeparation = 0.06f;
    // The camera's own fog range, used instead of the scene's when set.
    float m_envMinDistance = 0.0f;
    float m_envMaxDistance = 0.0f;
    bool m_hasEnvMinDistance = false;
    bool m_hasEnvMaxDistance = false;
    Matrix4x3 m_viewAxisMatrix = Matrix4x3::identity();
    Matrix4x3 m_invViewAxisMatrix = Matrix4x3::identity();
    bool m_viewAxisValid = false;
};
