// The scene's near callback: walks nested spaces and hands every geom pair
// to the space-pair and surface policies of the scene's tables.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <typeinfo>

#include <ode/collision.h>
#include <ode/contact.h>
#include <ode/objects.h>

#include "engine/platform/Report.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/physics/ODEGeomObject.h"

int32_t LW6Scene::s_contactCount = 0;

namespace {

constexpr int NO_INDEX = -1;

// A table index read from a space's user data; out of range gives NO_INDEX,
// so a stray number skips the pair instead of reading past the tables.
int spaceIndexOf(dSpaceID space) {
    if (!space) return NO_INDEX;
    intptr_t index = reinterpret_cast<intptr_t>(dGeomGetData(reinterpret_cast<dGeomID>(space)));
    ENGINE_ASSERT(index >= 0 && index < LW6Scene::POLICY_TABLE_SIZE && "space index out of range");
    return index >= 0 && index < LW6Scene::POLICY_TABLE_SIZE ? int(index) : NO_INDEX;
}

int ownIndex(dGeomID space) { return spaceIndexOf(reinterpret_cast<dSpaceID>(space)); }
int holderIndex(dGeomID geom) { return spaceIndexOf(dGeomGetSpace(geom)); }

bool pairCollides(LW6Scene& scene, int first, int second, dGeomID o1, dGeomID o2) {
    if (first == NO_INDEX || second == NO_INDEX) return false;
    return scene.m_spacePairTable[first][second]->check(o1, o2).m_collide;
}

bool validKind(int32_t kind) {
    ENGINE_ASSERT(kind >= 0 && kind < LW6Scene::POLICY_TABLE_SIZE && "surface kind out of range");
    return kind >= 0 && kind < LW6Scene::POLICY_TABLE_SIZE;
}

// True the first time a pass asks for the space's own pairs.
bool firstSelfCollision(LW6Scene& scene, dGeomID space) {
    auto& done = scene.m_collidedSpaces;
    if (std::find(done.begin(), done.end(), space) != done.end()) return false;
    done.push_back(space);
    return true;
}

bool isAwake(const ODEGeomObject& node) { return !node.m_body || dBodyIsEnabled(node.m_body); }

// The plain kind only makes contact joints, and a joint between two geoms
// without bodies holds nothing: the karts' parked rockets, stacked out of
// sight, would otherwise meet each other every step.
bool holdsNothing(const ODEJointSurface& js, dGeomID o1, dGeomID o2) {
    return js.m_makeContactJoints && !dGeomGetBody(o1) && !dGeomGetBody(o2) && typeid(js) == typeid(ODEJointSurface);
}

// True when the pair is a probe ray and a large mesh geom standing on its own.
bool rayOnCells(dGeomID ray, const ODEGeomObject& rayNode, dGeomID mesh, const ODEGeomObject& meshNode) {
    return meshNode.m_rayCells && mesh == meshNode.m_geom && rayNode.m_geomType == ODEGeomObject::RAY &&
           ray == rayNode.m_geom;
}

// A probe ray and a large mesh go through the mesh's cells.
int collideRayOrGeoms(dGeomID o1, dGeomID o2, const ODEGeomObject& node1, const ODEGeomObject& node2, int limit,
                      dContactGeom* contacts) {
    if (rayOnCells(o1, node1, o2, node2)) return node2.m_rayCells->collide(o1, o2, limit, contacts, sizeof(dContact));
    if (rayOnCells(o2, node2, o1, node1)) return node1.m_rayCells->collide(o1, o2, limit, contacts, sizeof(dContact));
    return dCollide(o1, o2, limit, contacts, sizeof(dContact));
}

void collideGeoms(LW6Scene& scene, dGeomID o1, dGeomID o2) {
    if (!pairCollides(scene, holderIndex(o1), holderIndex(o2), o1, o2)) return;
    auto* geomData1 = static_cast<ODEGeomObject*>(dGeomGetData(o1));
    auto* geomData2 = static_cast<ODEGeomObject*>(dGeomGetData(o2));
    ENGINE_ASSERT(geomData1 && geomData2 && "geomData1 && geomData2");
    if (!geomData1 || !geomData2) return;
    if (!validKind(geomData1->m_surfaceKind) || !validKind(geomData2->m_surfaceKind)) return;
    ODEJointSurface* js = scene.m_surfaceTable[geomData1->m_surfaceKind][geomData2->m_surfaceKind];
    if (js->m_skipIfBodyDisabled && !(isAwake(*geomData1) && isAwake(*geomData2))) return;
    if (holdsNothing(*js, o1, o2)) return;

    const int32_t asked = js->maxCollisions();
    ENGINE_ASSERT(asked <= ODEJointSurface::MAX_CONTACTS && "js->maxCollisions() <= 32");
    // The contact records live on this call's stack: never ask for more than fit.
    const int limit = std::min<int32_t>(asked, ODEJointSurface::MAX_CONTACTS);
    if (limit < 1) return;
    dContact contacts[ODEJointSurface::MAX_CONTACTS];
    const int found = collideRayOrGeoms(o1, o2, *geomData1, *geomData2, limit, &contacts[0].geom);
    for (int i = 0; i < found && i < limit; ++i) {
        ODEJointSurface answer = js->onContact(contacts[i].geom);
        if (!answer.m_makeContactJoints) continue;
        contacts[i].surface = answer.m_surface;
        std::memcpy(contacts[i].fdir1, answer.m_fdir1, sizeof(dVector3));
        dJointID joint = dJointCreateContact(scene.m_world, scene.m_contactGroup, &contacts[i]);
        dJointAttach(joint, dGeomGetBody(o1), dGeomGetBody(o2));
        ++LW6Scene::s_contactCount;
    }
}

} // namespace

void LW6Scene::collide() {
    m_collidedSpaces.clear();
    m_spaceWalk.beginPass();
    if (dSpaceID root = getSpace(0)) dSpaceCollide(root, this, &LW6Scene::nearCallback);
    m_spaceWalk.endPass();
}

void LW6Scene::nearCallback(void* data, dGeomID o1, dGeomID o2) {
    LW6Scene& scene = *static_cast<LW6Scene*>(data);
    const bool space1 = dGeomIsSpace(o1);
    const bool space2 = dGeomIsSpace(o2);
    if (!space1 && !space2) {
        collideGeoms(scene, o1, o2);
        return;
    }
    // For two spaces: the first's own pairs, the second's, then those between them.
    // Each index is read once: the root's pairs of spaces come every step.
    const int own1 = space1 ? ownIndex(o1) : NO_INDEX;
    const int own2 = space2 ? ownIndex(o2) : NO_INDEX;
    if (space1 && !space2 && pairCollides(scene, own1, holderIndex(o2), o1, o2))
        dSpaceCollide2(o1, o2, data, &LW6Scene::nearCallback);
    if (!space1 && space2 && pairCollides(scene, holderIndex(o1), own2, o1, o2))
        dSpaceCollide2(o1, o2, data, &LW6Scene::nearCallback);
    if (space1 && pairCollides(scene, own1, own1, o1, o1) && firstSelfCollision(scene, o1))
        scene.m_spaceWalk.collide(reinterpret_cast<dSpaceID>(o1), data, &LW6Scene::nearCallback);
    if (space2 && pairCollides(scene, own2, own2, o2, o2) && firstSelfCollision(scene, o2))
        scene.m_spaceWalk.collide(reinterpret_cast<dSpaceID>(o2), data, &LW6Scene::nearCallback);
    if (space1 && space2 && pairCollides(scene, own1, own2, o1, o2))
        scene.m_spaceWalk.collide2(reinterpret_cast<dSpaceID>(o1), reinterpret_cast<dSpaceID>(o2), data,
                                   &LW6Scene::nearCallback);
}
