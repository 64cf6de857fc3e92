#pragma once
#include <cstdint>

#include <ode/common.h>

#include "engine/scene/SceneObject.h"

// The physics joint item (kind 6): a null object of the scene file that ties
// the bodies of two items together. Its start builds the joint in the scene's
// world from its own pose at time 0; the world destroys the joint with itself.
class ODEJointObject : public SceneObject {
public:
    // The physics library's joint type numbers.
    enum JointType { BALL = 1, HINGE = 2, SLIDER = 3, UNIVERSAL = 5, HINGE2 = 6, FIXED = 7, ANGULAR_MOTOR = 9 };

    ODEJointObject(ObjectContainer* container, int32_t index);

    // The object start of a joint item is the joint set-up.
    void update() override { start(); }
    // Replaces a joint an earlier start made, so starting twice leaves one joint.
    void start();

    int32_t m_jointType = 0;
    // The item ids the file gives, until the loader resolves them into the items.
    uint32_t m_body1Id = 0;
    uint32_t m_body2Id = 0;
    // A missing item, or one without a body, is the static environment.
    SceneItem* m_body1 = nullptr;
    SceneItem* m_body2 = nullptr;
    // Slider anchor relative to each body.
    dVector4 m_anchor1 = {0, 0, 0, 0};
    dVector4 m_anchor2 = {0, 0, 0, 0};
    dJointID m_joint = nullptr;
    // Kept from the file; nothing in the game drives a spring or damper.
    float m_springForce = 0.0f;
    float m_damperForce = 0.0f;

private:
    // The joint of the type, made and attached; null for an unknown type.
    dJointID createJoint(dWorldID world, dBodyID body1, dBodyID body2);
    bool needsAxes() const;
};
