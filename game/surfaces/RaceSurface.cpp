#include "game/surfaces/RaceSurface.h"

#include <cmath>

#include "game/karts/VehicleMaster.h"
#include "game/race/Race.h"

namespace {

ODEGeomObject* objectOf(dGeomID geom) {
    return geom ? static_cast<ODEGeomObject*>(dGeomGetData(geom)) : nullptr;
}

VehicleMaster* simulated(Vehicle* vehicle) { return vehicle ? vehicle->asMaster() : nullptr; }

bool finite(float x, float y, float z) { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }

// False for a contact the karts must not see: a geom without an object, or
// a value that would carry a NaN into the kart's physics and the network.
bool readContact(const dContactGeom& geom, RaceSurface::Contact& contact) {
    contact.object[0] = objectOf(geom.g1);
    contact.object[1] = objectOf(geom.g2);
    if (!contact.object[0] || !contact.object[1]) return false;
    contact.pos = {float(geom.pos[0]), float(geom.pos[1]), float(geom.pos[2])};
    contact.normal = {float(geom.normal[0]), float(geom.normal[1]), float(geom.normal[2])};
    contact.depth = float(geom.depth);
    const Position3& p = contact.pos;
    const Normal3& n = contact.normal;
    return finite(p.x, p.y, p.z) && finite(n.x, n.y, n.z) && std::isfinite(contact.depth);
}

} // namespace

int RaceSurface::Contact::sideOf(int32_t kind) const { return object[0]->m_surfaceKind == kind ? 0 : 1; }

Normal3 RaceSurface::Contact::normalToward(int side) const {
    return side == 0 ? normal : Normal3{-normal.x, -normal.y, -normal.z};
}

RaceSurface::RaceSurface(Race* race, int32_t answerCollisions)
    : m_race(race), m_answerCollisions(answerCollisions) {
    // As every answer says; the dispatch reads it before asking.
    m_makeContactJoints = false;
}

ODEJointSurface RaceSurface::onContact(const dContactGeom& geom) {
    Contact contact;
    if (readContact(geom, contact)) react(contact);
    ODEJointSurface answer;
    answer.m_makeContactJoints = false;
    answer.m_maxCollisions = m_answerCollisions;
    answer.m_skipIfBodyDisabled = m_skipIfBodyDisabled;
    return answer;
}

Vehicle* RaceSurface::vehicleOf(const SceneObject* object) const { return m_race->getVehicle(object->m_ownerIndex); }

VehicleMaster* RaceSurface::masterOf(const SceneObject* object) const { return simulated(vehicleOf(object)); }

VehicleMaster* RaceSurface::masterBeside(const Contact& contact, int32_t kind) const {
    return masterOf(contact.object[1 - contact.sideOf(kind)]);
}

VehicleMaster* RaceSurface::recordGround(const Contact& contact, int& ray) const {
    const int side = contact.sideOf(SURFACE_RAY);
    const int32_t owner = contact.object[side]->m_ownerIndex;
    if (owner < 0) return nullptr;
    VehicleMaster* kart = simulated(m_race->getVehicle(owner / VehicleMaster::RAYS));
    if (!kart) return nullptr;
    ray = owner % VehicleMaster::RAYS;
    // A wheel's height is cleared every step: of two grounds under it (a ramp
    // on the floor) it stands on the higher, whichever the library reports last.
    const float height = kart->m_rayHeight[ray];
    if (ray != VehicleMaster::BODY_RAY && height != VehicleMaster::NO_GROUND && contact.pos.y < height) return nullptr;
    kart->m_rayHeight[ray] = contact.pos.y;
    kart->m_groundNormals[ray].push_back(contact.normalToward(side));
    return kart;
}
