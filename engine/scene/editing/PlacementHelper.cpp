#include "engine/scene/editing/PlacementHelper.h"

#include <cmath>

#include "engine/render/Renderer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/editing/AxisCrossMesh.h"
#include "engine/scene/editing/PickHighlight.h"
#include "engine/scene/mesh/Mesh.h"

namespace {

Position3 positionOf(SceneItem& item, double time) {
    Matrix4x3 world;
    item.getMatrix(world, time, 0);
    return {world[12], world[13], world[14]};
}

bool boxContains(const BoundingBox& box, const Position3& p) {
    const Position3& lo = box.m_corners[0];
    const Position3& hi = box.m_corners[7];
    return p.x >= lo.x && p.x <= hi.x && p.y >= lo.y && p.y <= hi.y && p.z >= lo.z && p.z <= hi.z;
}

float diagonal(const BoundingBox& box) {
    const Position3& lo = box.m_corners[0];
    const Position3& hi = box.m_corners[7];
    float d[3] = {hi.x - lo.x, hi.y - lo.y, hi.z - lo.z};
    return vectorLength(d);
}

// The highlight shows one mesh; entry 0 is replaced, never added to.
void showMesh(SceneObject& highlight, Mesh* mesh) {
    if (highlight.m_levels.empty()) highlight.m_levels.push_back({mesh, 0.0f, true});
    else highlight.m_levels[0] = {mesh, 0.0f, true};
}

} // namespace

PlacementHelper::PlacementHelper(Renderer* renderer) : ObjectContainer(renderer), m_renderer(renderer) {
    m_cameras.push_back(std::make_unique<Camera>(this, 0));
    m_camera = m_cameras.back().get();
    m_objects.push_back(std::make_unique<SceneObject>(this, 0));
    m_objects.push_back(std::make_unique<PickHighlight>(this, 1, renderer));
    SceneObject* cursor = cursorObject();
    auto* cross = new AxisCrossMesh(renderer, cursor);
    cross->set({-1.0f, -1.0f, -1.0f}, {1.0f, 1.0f, 1.0f});
    cursor->addLevelOfDetail(cross, 0.0f);
    m_camera->m_parent = cursor;
    m_picked = highlightObject();
}

PlacementHelper::~PlacementHelper() {
    SceneObject* cursor = cursorObject();
    if (!cursor->m_levels.empty()) {
        delete cursor->m_levels[0].mesh;
        cursor->m_levels[0].mesh = nullptr;
    }
}

bool PlacementHelper::update(LW6Scene& scene, double time, CollisionTester* tester) {
    bool moved = false;
    if (m_camera && m_renderer->m_collisionGuard && tester) moved = guardCamera(scene, time, *tester);
    SceneObject* highlight = highlightObject();
    if (m_enabled && m_picked == highlight) pick(scene, time);

    if (m_picked != highlight && m_picked->getContainer() == &scene) {
        if (m_drag && (!tester || tester->mayMove(*highlight, scene, *m_picked, time))) {
            m_picked->copyTransform(*highlight, time);
            moved = true;
        }
        showMesh(*highlight, m_picked->getFirstMesh());
        highlight->m_parent = m_picked->m_parent;
        highlight->m_target = m_picked->m_target;
        return moved;
    }
    showMesh(*highlight, nullptr);
    highlight->m_parent = nullptr;
    highlight->m_target = nullptr;
    return moved;
}

bool PlacementHelper::guardCamera(LW6Scene& scene, double time, CollisionTester& tester) {
    Position3 p = positionOf(*m_camera, time);
    Position3 d = {m_target.x - p.x, m_target.y - p.y, m_target.z - p.z};
    float v[3] = {d.x, d.y, d.z};
    float length = vectorLength(v);
    if (length <= 1e-6f) return false;
    if (!tester.isPathBlocked(scene, p, d, length, 2.0f * m_camera->m_nearDistance, time)) return false;
    m_camera->setPosition(m_storedPositions[0]);
    cursorObject()->setPosition(m_storedPositions[1]);
    highlightObject()->setPosition(m_storedPositions[2]);
    // setRotation negates the first and third angle into the channels and turns the body.
    cursorObject()->setRotation(m_storedAngles, false);
    return true;
}

void PlacementHelper::pick(LW6Scene& scene, double time) {
    Position3 c = positionOf(*cursorObject(), time);
    float best = 3.4028235e38f;
    for (int i = 0; i < scene.getObjectCount(); ++i) {
        SceneObject* object = scene.getObjectAt(i);
        Mesh* mesh = object ? object->getFirstMesh() : nullptr;
        if (!mesh || !mesh->m_valid) continue;
        float size = diagonal(*mesh);
        if (size >= best) continue;
        Matrix4x3 inverse;
        object->getInvMatrix(inverse, time, 0);
        Position3 local = c;
        transformPoint4x3(local, inverse);
        if (!boxContains(*mesh, local)) continue;
        m_picked = object;
        best = size;
        highlightObject()->copyTransform(*object, time);
    }
}
