#pragma once
#include <cstdint>
#include <memory>

#include <ode/collision.h>
#include <ode/collision_trimesh.h>

#include "engine/scene/SceneObject.h"
#include "engine/scene/physics/RayTriangleCells.h"

// The scene object (kind 5) that carries one collision geom. Its first
// update makes the geom from the object's scale and pose and files it in its
// collision space; static geoms then follow the object's pose every matrix update.
// The geom (and its transform) carry the node as user data, so the collision
// dispatch finds the surface kind and the body from either.
class ODEGeomObject : public SceneObject {
public:
    enum GeomType { SPHERE = 0, BOX = 1, CAPSULE = 2, TRIANGLE_MESH = 3, RAY = 5 };
    // A probe's length until its vehicle aims it: far beyond any track, yet a
    // finite bounding box for the hash space.
    static constexpr double RAY_PROBE_LENGTH = 1.0e6;

    ODEGeomObject(ObjectContainer* container, int32_t index);
    // The scene destroys the geoms with its spaces; the triangle data is the nodes' of its mesh.
    ~ODEGeomObject() override;

    void update() override;
    void updateMatrix(double time) override;
    // Wire-frame of a sphere or box under the node's world matrix, for debugging.
    void drawGeom(double time);

    int32_t m_geomType = SPHERE;
    int32_t m_surfaceKind = 0;
    int32_t m_spaceIndex = 0;
    dGeomID m_geom = nullptr;
    dGeomID m_geomTransform = nullptr;
    // When set, the geom sits in a transform that moves with this object's body.
    SceneObject* m_transformItem = nullptr;
    float m_scaleFactors[3] = {1.0f, 1.0f, 1.0f};
    // Shared by every node of the same mesh: its tree is built once.
    std::shared_ptr<dxTriMeshData> m_triMeshData;
    // The same triangles in cells for vertical probe rays; null for a small mesh.
    std::shared_ptr<RayTriangleCells> m_rayCells;
    bool m_created = false;

private:
    // The geom of the node's type in no space, or null.
    dGeomID createGeom(float sx, float sy, float sz);
    // Another node of the container whose triangle data is made from `mesh`, or null.
    const ODEGeomObject* sharedMeshNode(const Mesh* mesh) const;
    void placeInTransform(const Position3& position, const dMatrix3 rotation);
};
