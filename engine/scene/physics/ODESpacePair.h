#pragma once
#include <ode/collision.h>

// Whether two collision spaces (or a space with itself) are collided at all.
class ODESpacePair {
public:
    ODESpacePair() = default;
    explicit ODESpacePair(bool collide) : m_collide(collide) {}
    virtual ~ODESpacePair() = default;
    ODESpacePair(const ODESpacePair&) = default;
    ODESpacePair& operator=(const ODESpacePair&) = default;

    // Asked with the two geoms or spaces of the pair (a space twice for its own
    // contents); only m_collide of the answer counts. No side effects on the tables.
    virtual ODESpacePair check(dGeomID first, dGeomID second) { return *this; }

    bool m_collide = false;
};
