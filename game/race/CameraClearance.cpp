#include "game/race/CameraClearance.h"

#include <algorithm>

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

CameraClearance::CameraClearance(LW6Scene& track) {
    for (int32_t n = 0; n < track.getObjectCount(); ++n) {
        SceneObject* object = track.getObjectAt(n);
        Mesh* mesh = object ? stillMesh(*object) : nullptr;
        if (!mesh) continue;
        Matrix4x3 world;
        object->getMatrix(world, 0.0, 0);
        // Left as loaded: the race makes the matrices itself when it starts the scene.
        object->invalidate();
        const auto first = uint32_t(m_positions.size() / 3);
        for (Position3 p : mesh->m_points) {
            transformPoint4x3(p, world);
            m_positions.insert(m_positions.end(), {p.x, p.y, p.z});
        }
        for (const MeshPolygon& polygon : mesh->m_polygons) {
            const bool known = std::all_of(polygon.points.begin(), polygon.points.end(),
                                           [&](uint32_t point) { return point < mesh->m_points.size(); });
            if (polygon.vertexCount() < 3 || !known) continue;
            for (const auto& t : Mesh::triangulate(mesh->m_points, polygon))
                for (uint32_t corner : t) m_corners.push_back(first + polygon.points[corner]);
        }
    }
    if (m_corners.empty()) return;
    PhysicsLibrary::ensureStarted();
    m_data = dGeomTriMeshDataCreate();
    dGeomTriMeshDataBuildSingle(m_data, m_positions.data(), 3 * sizeof(float), int(m_positions.size() / 3),
                                m_corners.data(), int(m_corners.size()), 3 * sizeof(uint32_t));
    m_mesh = dCreateTriMesh(nullptr, m_data, nullptr, nullptr, nullptr);
    m_ray = dCreateRay(nullptr, 1.0);
    // A pillar stands in the way whichever face the ray meets first.
    dGeomRaySetBackfaceCull(m_ray, 0);
    dGeomRaySetClosestHit(m_ray, 1);
}

CameraClearance::~CameraClearance() {
    if (m_ray) dGeomDestroy(m_ray);
    if (m_mesh) dGeomDestroy(m_mesh);
    if (m_data) dGeomTriMeshDataDestroy(m_data);
}

float CameraClearance::freeShare(const Position3& from, const Position3& to) {
    const Position3 way = to - from;
    const float distance = length(way);
    if (!m_mesh || !(distance > 0.0f)) return 1.0f;
    dGeomRaySet(m_ray, from.x, from.y, from.z, way.x, way.y, way.z);
    dGeomRaySetLength(m_ray, distance + MARGIN);
    dContactGeom contact;
    if (dCollide(m_ray, m_mesh, 1, &contact, sizeof(dContactGeom)) == 0) return 1.0f;
    return std::max(0.0f, float(contact.depth) - MARGIN) / distance;
}
