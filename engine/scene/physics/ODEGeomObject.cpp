#include "engine/scene/physics/ODEGeomObject.h"

#include <algorithm>
#include <cmath>

#include <ode/objects.h>

#include "engine/platform/Report.h"
#include "engine/render/RenderView.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/mesh/Mesh.h"
#include "engine/scene/physics/GeomBoundingBox.h"
#include "engine/scene/physics/PhysicsLibrary.h"

namespace {

const uint32_t WHITE = 0xFFFFFFFFu;

void addLine(std::vector<DebugLineVertex>& lines, Position3 a, Position3 b) {
    lines.push_back({a, WHITE});
    lines.push_back({b, WHITE});
}

// Three unit circles of 16 segments in the three axis planes.
std::vector<DebugLineVertex> sphereLines() {
    std::vector<DebugLineVertex> lines;
    const float step = 22.5f * 0.017453292519943295f;
    for (int plane = 0; plane < 3; ++plane) {
        for (int i = 0; i < 16; ++i) {
            float a0 = step * i, a1 = step * (i + 1);
            float c0 = std::cos(a0), s0 = std::sin(a0), c1 = std::cos(a1), s1 = std::sin(a1);
            Position3 p0 = plane == 0 ? Position3{c0, s0, 0} : plane == 1 ? Position3{c0, 0, s0} : Position3{0, c0, s0};
            Position3 p1 = plane == 0 ? Position3{c1, s1, 0} : plane == 1 ? Position3{c1, 0, s1} : Position3{0, c1, s1};
            addLine(lines, p0, p1);
        }
    }
    return lines;
}

// The twelve edges of the cube from -0.5 to 0.5: corners joined where they differ in one axis.
std::vector<DebugLineVertex> boxLines() {
    std::vector<DebugLineVertex> lines;
    auto corner = [](int i) {
        return Position3{(i & 4) ? 0.5f : -0.5f, (i & 2) ? 0.5f : -0.5f, (i & 1) ? 0.5f : -0.5f};
    };
    for (int i = 0; i < 8; ++i)
        for (int bit = 1; bit < 8; bit <<= 1)
            if (!(i & bit)) addLine(lines, corner(i), corner(i | bit));
    return lines;
}

// The tree ODE builds over a mesh's triangles and the positions it reads them from, packed
// apart from the vertex records: building walks every triangle's corners once a tree level,
// and records of 172 bytes took a cache line a corner.
struct TriangleTree {
    TriangleTree() = default;
    TriangleTree(const TriangleTree&) = delete;
    TriangleTree& operator=(const TriangleTree&) = delete;
    ~TriangleTree() { dGeomTriMeshDataDestroy(data); }

    std::vector<float> positions;
    dTriMeshDataID data = dGeomTriMeshDataCreate();
};

std::shared_ptr<TriangleTree> buildTriangleTree(const MeshBuildData& mesh) {
    auto tree = std::make_shared<TriangleTree>();
    tree->positions.resize(size_t(mesh.vertexCount) * 3);
    for (int32_t i = 0; i < mesh.vertexCount; ++i)
        std::copy_n(mesh.vertices[size_t(i)].position, 3, &tree->positions[size_t(i) * 3]);
    dGeomTriMeshDataBuildSingle(tree->data, tree->positions.data(), 3 * sizeof(float), mesh.vertexCount,
                                mesh.corners.data(), mesh.cornerCount, 3 * sizeof(uint32_t));
    return tree;
}

} // namespace

ODEGeomObject::ODEGeomObject(ObjectContainer* container, int32_t index) : SceneObject(container, index) {
    m_kind = KIND_GEOM;
}

ODEGeomObject::~ODEGeomObject() = default;

const ODEGeomObject* ODEGeomObject::sharedMeshNode(const Mesh* mesh) const {
    ObjectContainer* container = getContainer();
    if (!container) return nullptr;
    for (int i = 0; i < container->getObjectCount(); ++i) {
        SceneObject* object = container->getObjectAt(i);
        if (object == this || object->getKind() != KIND_GEOM) continue;
        const auto* other = static_cast<const ODEGeomObject*>(object);
        if (other->m_triMeshData && other->m_geomType == TRIANGLE_MESH && other->getFirstMesh() == mesh)
            return other;
    }
    return nullptr;
}

dGeomID ODEGeomObject::createGeom(float sx, float sy, float sz) {
    switch (m_geomType) {
    case SPHERE:
        return dCreateSphere(nullptr, sx);
    case BOX:
        return dCreateBox(nullptr, sx, sy, sz);
    case CAPSULE:
        return dCreateCapsule(nullptr, sx, sy);
    case TRIANGLE_MESH: {
        Mesh* mesh = getFirstMesh();
        if (!mesh) return nullptr;
        const MeshBuildData& data = mesh->m_buildData;
        if (data.vertexCount <= 0 || data.cornerCount <= 0) return nullptr;
        // The arrays must hold what the counts promise, or ODE reads past them.
        if (data.vertices.size() < static_cast<size_t>(data.vertexCount) ||
            data.corners.size() < static_cast<size_t>(data.cornerCount))
            return nullptr;
        // A layer that collides in several spaces has a node in each: building its tree is most of
        // a track's physics set-up, and the tree of the same triangles is the same.
        if (const ODEGeomObject* other = sharedMeshNode(mesh)) {
            m_triMeshData = other->m_triMeshData;
            m_rayCells = other->m_rayCells;
        } else {
            std::shared_ptr<TriangleTree> tree = buildTriangleTree(data);
            m_triMeshData = std::shared_ptr<dxTriMeshData>(tree, tree->data);
            const int32_t triangles = data.cornerCount / 3;
            if (triangles >= RayTriangleCells::MIN_TRIANGLES)
                m_rayCells = std::make_shared<RayTriangleCells>(tree, tree->positions.data(), data.corners.data(),
                                                                triangles);
        }
        return dCreateTriMesh(nullptr, m_triMeshData.get(), nullptr, nullptr, nullptr);
    }
    case RAY:
        return dCreateRay(nullptr, RAY_PROBE_LENGTH);
    default:
        return nullptr;
    }
}

void ODEGeomObject::update() {
    if (m_created) return;
    PhysicsLibrary::ensureStarted();
    if (m_renderer && m_renderer->m_debugDrawing) m_debugObject = std::make_unique<GeomBoundingBox>(m_renderer, nullptr);
    for (auto& level : m_levels)
        if (level.mesh) level.mesh->prepare(true, true);

    float sx = m_channels[SCALE_X].evaluate(0.0) * m_scaleFactors[0];
    float sy = m_channels[SCALE_Y].evaluate(0.0) * m_scaleFactors[1];
    float sz = m_channels[SCALE_Z].evaluate(0.0) * m_scaleFactors[2];
    Position3 p = evaluatePosition(0.0);
    dMatrix3 rotation;
    getODERotation(rotation, 0.0);
    m_created = true;

    LW6Scene* scene = getContainer() ? getContainer()->getScene() : nullptr;
    dSpaceID space = scene ? scene->getSpace(m_spaceIndex) : nullptr;
    // A geom outside every space would never collide nor be freed.
    ENGINE_ASSERT(space && "geom space index out of range");
    if (!space) return;
    m_geom = createGeom(sx, sy, sz);
    if (!m_geom) return;

    if (m_transformItem) {
        placeInTransform(p, rotation);
    } else {
        dGeomSetPosition(m_geom, p.x, p.y, p.z);
        dGeomSetRotation(m_geom, rotation);
        if (m_body) {
            dBodySetPosition(m_body, p.x, p.y, p.z);
            dBodySetRotation(m_body, rotation);
            dGeomSetBody(m_geom, m_body);
        }
    }
    dGeomSetData(m_geom, this);
    dSpaceAdd(space, m_geomTransform ? m_geomTransform : m_geom);
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
void ODEGeomObject::placeInTransform(const Position3& position, const dMatrix3 rotation) {
    m_geomTransform = dCreateGeomTransform(nullptr);
    // The transform owns its geom, so destroying the space frees both.
    dGeomTransformSetCleanup(m_geomTransform, 1);
    m_transformItem->invalidate();
    Matrix4x3 itemPosition, inverse;
    m_transformItem->getPositionMatrix(itemPosition, 0.0);
    invertMatrix4x3(inverse, itemPosition);
    Position3 local = position;
    transformPoint4x3(local, inverse);
    dGeomSetPosition(m_geom, local.x, local.y, local.z);
    dGeomSetRotation(m_geom, rotation);
    dGeomTransformSetGeom(m_geomTransform, m_geom);
    if (m_transformItem->m_body) dGeomSetBody(m_geomTransform, m_transformItem->m_body);
    dGeomSetData(m_geomTransform, this);
}
#pragma GCC diagnostic pop

void ODEGeomObject::updateMatrix(double time) {
    SceneItem::updateMatrix(time);
    if (!m_geom || m_body || m_geomTransform || m_geomType == RAY) return;
    Position3 p = evaluatePosition(time);
    dMatrix3 rotation;
    getODERotation(rotation, time);
    // A contact may read the matrix of what it meets while the spaces are being
    // collided, when ODE refuses to move a geom: one that stays put is left alone.
    const dReal* at = dGeomGetPosition(m_geom);
    const dReal* turned = dGeomGetRotation(m_geom);
    if (at[0] == p.x && at[1] == p.y && at[2] == p.z && std::equal(rotation, rotation + 12, turned)) return;
    dGeomSetPosition(m_geom, p.x, p.y, p.z);
    dGeomSetRotation(m_geom, rotation);
}

void ODEGeomObject::drawGeom(double time) {
    if (!m_renderer) return;
    std::vector<DebugLineVertex> lines;
    if (m_geomType == SPHERE)
        lines = sphereLines();
    else if (m_geomType == BOX)
        lines = boxLines();
    else
        return;
    Matrix4x3 world;
    m_renderer->drawDebugLines(getMatrix(world, time, 0), lines);
}

// The scene's probe rays are made here, beside the geoms they are.
ODEGeomObject* LW6Scene::createRayGeom(const float size[3], int32_t surfaceKind, int32_t spaceIndex) {
    auto ray = std::make_unique<ODEGeomObject>(this, getObjectCount());
    ray->setName("ray");
    for (int k = 0; k < 3; ++k) {
        ray->m_channels[SceneItem::POS_X + k].constant = 0.0f;
        ray->m_channels[SceneItem::SCALE_X + k].constant = size[k];
    }
    ray->m_geomType = ODEGeomObject::RAY;
    ray->m_surfaceKind = surfaceKind;
    ray->m_spaceIndex = spaceIndex;
    ray->update();
    ODEGeomObject* made = ray.get();
    m_objects.push_back(std::move(ray));
    return made;
}
