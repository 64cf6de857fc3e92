#include "engine/scene/physics/ODEJointObject.h"

#include <ode/objects.h>

#include "engine/platform/Report.h"
#include "engine/scene/LW6Scene.h"

namespace {

dBodyID bodyOf(const SceneItem* item) { return item ? item->m_body : nullptr; }

bool hasLength(const dVector3 v) { return v[0] * v[0] + v[1] * v[1] + v[2] * v[2] > 1e-12; }

} // namespace

ODEJointObject::ODEJointObject(ObjectContainer* container, int32_t index) : SceneObject(container, index) {
    m_kind = KIND_JOINT;
}

void ODEJointObject::start() {
    if (m_joint) {
        dJointDestroy(m_joint);
        m_joint = nullptr;
    }
    LW6Scene* scene = getContainer() ? getContainer()->getScene() : nullptr;
    ENGINE_ASSERT(scene && "joint outside a scene");
    if (!scene) return;
    const dBodyID body1 = bodyOf(m_body1);
    const dBodyID body2 = bodyOf(m_body2);
    // The library cannot tie a body to itself and stops the program when asked to.
    ENGINE_ASSERT((!body1 || body1 != body2) && "joint bodies must differ");
    if (body1 && body1 == body2) return;
    m_joint = createJoint(scene->m_world, body1, body2);
    if (m_joint) dJointSetData(m_joint, this);
}

dJointID ODEJointObject::createJoint(dWorldID world, dBodyID body1, dBodyID body2) {
    for (int channel : {SCALE_Z, SCALE_Y, SCALE_X})
        if (m_channels[channel].channel) m_channels[channel].evaluate(0.0);
    const Position3 anchor = evaluatePosition(0.0);
    // The pose at time 0 all the way up the parents, not a cache of another time.
    for (SceneItem* item = this; item; item = item->m_parent) item->invalidate();
    Matrix4x3 world0;
    getMatrix(world0, 0.0, 0);
    // The item's own axes in world space, scale included, handed over unnormalised.
    const dVector3 axis1 = {world0[0], world0[1], world0[2], 0};
    const dVector3 axis2 = {world0[4], world0[5], world0[6], 0};
    if (needsAxes() && !(hasLength(axis1) && hasLength(axis2))) {
        // A zero scale leaves no axis, and the library stops the program on one.
        ENGINE_ASSERT(!"joint axis without length");
        return nullptr;
    }

    dJointID joint = nullptr;
    switch (m_jointType) {
    case BALL:
        joint = dJointCreateBall(world, nullptr);
        dJointAttach(joint, body1, body2);
        dJointSetBallAnchor(joint, anchor.x, anchor.y, anchor.z);
        break;
    case HINGE:
        joint = dJointCreateHinge(world, nullptr);
        dJointAttach(joint, body1, body2);
        dJointSetHingeAnchor(joint, anchor.x, anchor.y, anchor.z);
        dJointSetHingeAxis(joint, axis1[0], axis1[1], axis1[2]);
        break;
    case SLIDER:
        joint = dJointCreateSlider(world, nullptr);
        dJointAttach(joint, body1, body2);
        dJointSetSliderAxis(joint, axis1[0], axis1[1], axis1[2]);
        if (body1) dBodyGetPosRelPoint(body1, anchor.x, anchor.y, anchor.z, m_anchor1);
        if (body2) dBodyGetPosRelPoint(body2, anchor.x, anchor.y, anchor.z, m_anchor2);
        break;
    case UNIVERSAL:
        joint = dJointCreateUniversal(world, nullptr);
        dJointAttach(joint, body1, body2);
        dJointSetUniversalAnchor(joint, anchor.x, anchor.y, anchor.z);
        dJointSetUniversalAxis1(joint, axis1[0], axis1[1], axis1[2]);
        dJointSetUniversalAxis2(joint, axis2[0], axis2[1], axis2[2]);
        ENGINE_ASSERT(!"untested");
        break;
    case HINGE2:
        joint = dJointCreateHinge2(world, nullptr);
        dJointAttach(joint, body1, body2);
        dJointSetHinge2Anchor(joint, anchor.x, anchor.y, anchor.z);
        dJointSetHinge2Axes(joint, axis1, axis2);
        break;
    case FIXED:
        joint = dJointCreateFixed(world, nullptr);
        dJointAttach(joint, body1, body2);
        dJointSetFixed(joint);
        break;
    case ANGULAR_MOTOR:
        joint = dJointCreateAMotor(world, nullptr);
        dJointAttach(joint, body1, body2);
        ENGINE_ASSERT(!"implementation not finished");
        break;
    default:
        ENGINE_ASSERT(false);
        break;
    }
    return joint;
}

bool ODEJointObject::needsAxes() const {
    return m_jointType == HINGE || m_jointType == SLIDER || m_jointType == UNIVERSAL || m_jointType == HINGE2;
}
