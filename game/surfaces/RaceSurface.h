#pragma once
#include <cstdint>

#include "engine/platform/Math3D.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "engine/scene/physics/ODEJointSurface.h"

class Race;
class Vehicle;
class VehicleMaster;

// The race's own contact policies: each kind finds the kart a contact
// belongs to, writes the contact into it (or into the race) and never lets
// the physics library build a joint.
class RaceSurface : public ODEJointSurface {
public:
    // Surface numbers the kinds tell the two sides of a contact by.
    enum SurfaceId {
        SURFACE_RAY = 5, SURFACE_KART = 6, SURFACE_RESET = 7, SURFACE_OBSTACLE = 12, SURFACE_PICKUP = 13,
        SURFACE_CRUSHER = 14, SURFACE_SPEEDUP = 15, SURFACE_STAMPER = 16, SURFACE_ROCKET = 18,
        SURFACE_WIND = 20, SURFACE_SLIPPERY = 21, SURFACE_BELT = 22
    };

    // One contact point in the karts' float form, with the objects of its
    // two geoms (side 0 is geom 1).
    struct Contact {
        ODEGeomObject* object[2];
        Position3 pos;
        // Points toward side 0, whichever way round the pair came.
        Normal3 normal;
        float depth;

        // 0 when side 0's object has the surface number, else 1.
        int sideOf(int32_t kind) const;
        // The normal turned to point toward that side's object.
        Normal3 normalToward(int side) const;
    };

    // `answerCollisions` is the collision count of the surface handed back.
    explicit RaceSurface(Race* race, int32_t answerCollisions = 1);

    // Every contact comes back without a joint; only sound ones reach `react`.
    ODEJointSurface onContact(const dContactGeom& contact) final;

protected:
    // Both geoms carry objects and every value is finite.
    virtual void react(const Contact& contact) = 0;

    // The kart of the object's owner index; null for none.
    Vehicle* vehicleOf(const SceneObject* object) const;
    // As `vehicleOf`, and null too for a kart driven from the network.
    VehicleMaster* masterOf(const SceneObject* object) const;
    // The simulated kart on the side that does not have the surface number.
    VehicleMaster* masterBeside(const Contact& contact, int32_t kind) const;
    // A probe ray found ground: its simulated kart gets the height and the
    // upward normal. Returns that kart and the ray number, or null.
    VehicleMaster* recordGround(const Contact& contact, int& ray) const;

    Race* m_race;

private:
    int32_t m_answerCollisions;
};
