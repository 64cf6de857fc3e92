#pragma once
#include "engine/scene/SceneItem.h"

// An item that can be looked through along one of its axes: cameras, and
// lights as shadow casters. The view placement is the axis turn x world.
class AxisViewingItem : public ViewingItem {
public:
    enum ViewAxis { ALONG_X = 0, ALONG_Y = 1, ALONG_Z = 2 };

    using ViewingItem::ViewingItem;

    // Flag 0: the item's world matrix; flag 1: view axis x world.
    Matrix4x3& getMatrix(Matrix4x3& out, double time, int flag) override;
    // Flag 1: inverse world x inverse view axis.
    Matrix4x3& getInvMatrix(Matrix4x3& out, double time, int flag) override;
    void updateViewAxis();

    int32_t m_viewAxis = ALONG_Z;
    Matrix4x3 m_viewAxisMatrix = Matrix4x3::identity();
    Matrix4x3 m_invViewAxisMatrix = Matrix4x3::identity();
    bool m_viewAxisValid = false;

protected:
    // What a kind adds to the axis turn (a camera's eye offset).
    virtual void adjustViewAxis(Matrix4x3& axis) {}
};
