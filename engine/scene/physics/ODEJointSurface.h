#pragma once
#include <cstdint>

#include <ode/collision.h>
#include <ode/contact.h>

// What happens where two surface kinds touch: how many contact points a
// pair may have and the contact surface of each. The game's surface kinds
// derive from it and react to their contacts.
class ODEJointSurface {
public:
    static constexpr int32_t MAX_CONTACTS = 32;
    // Soft ERP, soft CFM, friction approximation 1 on both directions. Written
    // by value: the approximation names now also cover rolling friction.
    static constexpr int DEFAULT_MODE = 0x3018;

    ODEJointSurface();
    virtual ~ODEJointSurface() = default;
    ODEJointSurface(const ODEJointSurface&) = default;
    ODEJointSurface& operator=(const ODEJointSurface&) = default;

    // The policy for this one contact point; the base answers itself.
    virtual ODEJointSurface onContact(const dContactGeom& contact) { return *this; }
    virtual int32_t maxCollisions() const { return m_maxCollisions; }

    int32_t m_maxCollisions = 16;
    dSurfaceParameters m_surface;
    dVector3 m_fdir1 = {0, 0, 0, 0};
    // Clear: the contact is only reported, no joint is made.
    bool m_makeContactJoints = true;
    // Set: a pair is not collided while a body of either geom is disabled.
    bool m_skipIfBodyDisabled = false;
};
