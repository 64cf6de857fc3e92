#include "game/surfaces/GroundProbe.h"

#include <ode/collision.h>

#include "engine/scene/LW6Scene.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "game/surfaces/ODEJointSurfaceFall.h"
#include "game/surfaces/ODEJointSurfaceRay.h"
#include "game/surfaces/RaceSurfaces.h"

namespace {

// The karts' probe rays live in this space with this surface kind.
constexpr int RAY_SPACE = 3;
constexpr int RAY_SURFACE = 5;
constexpr int MAX_CONTACTS = 8;

struct Search {
    dGeomID ray;
    double nearest;
    const ODEGeomObject* met;
};

void collect(void* data, dGeomID o1, dGeomID o2) {
    Search& search = *static_cast<Search*>(data);
    dGeomID other = o1 == search.ray ? o2 : o1;
    if (dGeomIsSpace(other)) {
        dSpaceCollide2(search.ray, other, data, &collect);
        return;
    }
    dContactGeom contacts[MAX_CONTACTS];
    const int found = dCollide(search.ray, other, MAX_CONTACTS, contacts, sizeof(dContactGeom));
    for (int i = 0; i < found; ++i) {
        if (contacts[i].depth >= search.nearest) continue;
        search.nearest = contacts[i].depth;
        search.met = static_cast<const ODEGeomObject*>(dGeomGetData(other));
    }
}

} // namespace

GroundProbe::GroundProbe(LW6Scene& scene) : m_scene(scene), m_ray(dCreateRay(nullptr, LENGTH)) {
    // As the kart's rays: faces seen from behind let the ray through.
    dGeomRaySetBackfaceCull(m_ray, 1);
    dGeomRaySetClosestHit(m_ray, 1);
    for (auto [a, b] : RaceSurfaces::collidingSpaces()) {
        const int other = a == RAY_SPACE ? b : b == RAY_SPACE ? a : -1;
        if (dSpaceID space = other >= 0 ? scene.getSpace(other) : nullptr) m_spaces.push_back(space);
    }
}

GroundProbe::~GroundProbe() { dGeomDestroy(m_ray); }

GroundProbe::Result GroundProbe::under(const Position3& point) {
    dGeomRaySet(m_ray, point.x, point.y + LIFT, point.z, 0.0, -1.0, 0.0);
    dGeomRaySetLength(m_ray, LENGTH);
    Search search{m_ray, LENGTH + 1.0, nullptr};
    for (dSpaceID space : m_spaces) dSpaceCollide2(m_ray, reinterpret_cast<dGeomID>(space), &search, &collect);
    Result result;
    if (!search.met) return result;
    result.surfaceKind = search.met->m_surfaceKind;
    result.height = point.y + LIFT - static_cast<float>(search.nearest);
    // What the race does when a ray meets that kind tells ground from a drop.
    const bool known = result.surfaceKind >= 0 && result.surfaceKind < LW6Scene::POLICY_TABLE_SIZE;
    const ODEJointSurface* kind = known ? m_scene.m_surfaceTable[RAY_SURFACE][result.surfaceKind] : nullptr;
    result.found = dynamic_cast<const ODEJointSurfaceRay*>(kind)    ? Found::GROUND
                   : dynamic_cast<const ODEJointSurfaceFall*>(kind) ? Found::FALL_ZONE
                                                                    : Found::OTHER;
    return result;
}
