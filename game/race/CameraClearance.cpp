#include "game/race/CameraClearance.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include <ode/collision.h>

#include "engine/platform/animation/Envelope.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/mesh/Mesh.h"
#include "engine/scene/physics/PhysicsLibrary.h"
#include "game/race/RaceAssets.h"

namespace {

// A channel that can change the item's place: any but a still envelope.
bool moves(AnimatedValue& value) {
    if (!value.channel) return false;
    const Envelope* envelope = value.channel->asEnvelope();
    return !envelope || envelope->getKeyCount() > 1;
}

// Neither the item nor what it hangs from has a body or an animated channel.
bool standsStill(SceneItem* item) {
    for (; item; item = item->m_parent) {
        if (item->m_body) return false;
        for (AnimatedValue& channel : item->m_channels)
            if (moves(channel)) return false;
    }
    return true;
}

// What the player sees of the track and what stays where the scene file put it: the race
// turns the pick-ups itself, and bones bend skinned meshes.
Mesh* stillMesh(SceneObject& object) {
    Mesh* mesh = object.getFirstMesh();
    if (!mesh || mesh->m_points.empty() || !mesh->m_bones.empty() || object.m_unseenByCamera) return nullptr;
    if (object.getName() == RaceAssets::PICKUP_OBJECT || !standsStill(&object)) return nullptr;
    return mesh;
}

} // namespace

// The triangles, kept for as long as the mesh that reads them, and the ray cast into them.
struct CameraClearance::Tree {
    Tree(std::vector<float>&& points, std::vector<uint32_t>&& triangles)
        : positions(std::move(points)), corners(std::move(triangles)) {
        PhysicsLibrary::ensureStarted();
        data = dGeomTriMeshDataCreate();
        dGeomTriMeshDataBuildSingle(data, positions.data(), 3 * sizeof(float), int(positions.size() / 3),
                                    corners.data(), int(corners.size()), 3 * sizeof(uint32_t));
        mesh = dCreateTriMesh(nullptr, data, nullptr, nullptr, nullptr);
        ray = dCreateRay(nullptr, 1.0);
        // A pillar stands in the way whichever face the ray meets first.
        dGeomRaySetBackfaceCull(ray, 0);
        dGeomRaySetClosestHit(ray, 1);
    }
    ~Tree() {
        dGeomDestroy(ray);
        dGeomDestroy(mesh);
        dGeomTriMeshDataDestroy(data);
    }
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;

    std::vector<float> positions;
    std::vector<uint32_t> corners;
    dTriMeshDataID data;
    dGeomID mesh;
    dGeomID ray;
};

CameraClearance::CameraClearance(LW6Scene& track) {
    std::vector<float> positions;
    std::vector<uint32_t> corners;
    for (int32_t n = 0; n < track.getObjectCount(); ++n) {
        SceneObject* object = track.getObjectAt(n);
        Mesh* mesh = object ? stillMesh(*object) : nullptr;
        if (!mesh) continue;
        Matrix4x3 world;
        object->getMatrix(world, 0.0, 0);
        // Left as loaded: the race makes the matrices itself when it starts the scene.
        object->invalidate();
        const auto first = uint32_t(positions.size() / 3);
        for (Position3 p : mesh->m_points) {
            transformPoint4x3(p, world);
            positions.insert(positions.end(), {p.x, p.y, p.z});
        }
        for (const MeshPolygon& polygon : mesh->m_polygons) {
            const bool known = std::all_of(polygon.points.begin(), polygon.points.end(),
                                           [&](uint32_t point) { return point < mesh->m_points.size(); });
            if (polygon.vertexCount() < 3 || !known) continue;
            for (const auto& t : Mesh::triangulate(mesh->m_points, polygon))
                for (uint32_t corner : t) corners.push_back(first + polygon.points[corner]);
        }
    }
    if (!corners.empty()) m_tree = std::make_unique<Tree>(std::move(positions), std::move(corners));
}

CameraClearance::~CameraClearance() = default;

float CameraClearance::freeShare(const Position3& from, const Position3& to) {
    const Position3 way = to - from;
    const float distance = length(way);
    if (!m_tree || !(distance > 0.0f)) return 1.0f;
    dGeomRaySet(m_tree->ray, from.x, from.y, from.z, way.x, way.y, way.z);
    dGeomRaySetLength(m_tree->ray, distance + MARGIN);
    dContactGeom contact;
    if (dCollide(m_tree->ray, m_tree->mesh, 1, &contact, sizeof(dContactGeom)) == 0) return 1.0f;
    return std::max(0.0f, float(contact.depth) - MARGIN) / distance;
}
