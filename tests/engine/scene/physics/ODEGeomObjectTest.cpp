#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include <ode/ode.h>

#include "engine/scene/LW6Scene.h"
#include "engine/scene/mesh/Mesh.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "tests/engine/scene/SceneTestSupport.h"
#include "tests/support/ReportCapture.h"

namespace {

class CollidingPair : public ODESpacePair {
public:
    CollidingPair() : ODESpacePair(true) {}
};

// Counts contacts per point, and keeps the last one.
class CountingSurface : public ODEJointSurface {
public:
    ODEJointSurface onContact(const dContactGeom& contact) override {
        ++m_contacts;
        m_last = contact;
        return *this;
    }
    int m_contacts = 0;
    dContactGeom m_last{};
};

class ODEGeomObjectTest : public ReportCapture<3> {
protected:
    void SetUp() override {
        ReportCapture<3>::SetUp();
        scene = std::make_unique<LW6Scene>(&view);
        dSpaceID root = dSimpleSpaceCreate(nullptr);
        dSpaceID ground = dHashSpaceCreate(root);
        dSpaceID probes = dSimpleSpaceCreate(root);
        for (dSpaceID space : {root, ground, probes}) {
            dGeomSetData(reinterpret_cast<dGeomID>(space), reinterpret_cast<void*>(scene->m_spaces.size()));
            scene->m_spaces.push_back({space, "", {0, 0}});
        }
        physics = dWorldCreate();
    }
    void TearDown() override {
        scene.reset();
        dWorldDestroy(physics);
        ReportCapture<3>::TearDown();
    }
    ODEGeomObject& add(int type, int space, float x = 0, float y = 0, float z = 0) {
        auto node = std::make_unique<ODEGeomObject>(scene.get(), scene->getObjectCount());
        node->m_geomType = type;
        node->m_spaceIndex = space;
        node->m_channels[SceneItem::POS_X].constant = x;
        node->m_channels[SceneItem::POS_Y].constant = y;
        node->m_channels[SceneItem::POS_Z].constant = z;
        scene->m_objects.push_back(std::move(node));
        return static_cast<ODEGeomObject&>(*scene->m_objects.back());
    }
    // Probes (space 2, surface kind 5) meet the ground (space 1, kind 0) through `pair`;
    // `surface` counts their contacts.
    void letProbesMeetGround(CollidingPair& pair, CountingSurface& surface) {
        scene->m_spacePairTable[0][0] = &pair;
        scene->m_spacePairTable[1][2] = &pair;
        scene->m_spacePairTable[2][1] = &pair;
        scene->m_surfaceTable[0][5] = &surface;
        scene->m_surfaceTable[5][0] = &surface;
    }
    // A probe ray from (1, 3, 2) straight down, 4 long.
    void probeDown() {
        ODEGeomObject& ray = add(ODEGeomObject::RAY, 2);
        ray.m_surfaceKind = 5;
        ray.update();
        dGeomRaySet(ray.m_geom, 1, 3, 2, 0, -1, 0);
        dGeomRaySetLength(ray.m_geom, 4);
    }
    // A flat square of two triangles at height 0, from -size to size.
    void fillGround(Mesh& mesh, float size) {
        const float corners[4][3] = {{-size, 0, -size}, {size, 0, -size}, {size, 0, size}, {-size, 0, size}};
        MeshBuildData& data = mesh.m_buildData;
        data.vertices.assign(4, MeshVertex{});
        for (int i = 0; i < 4; ++i) std::memcpy(data.vertices[i].position, corners[i], sizeof corners[i]);
        data.vertexCount = 4;
        data.corners = {0, 2, 1, 0, 3, 2};
        data.cornerCount = 6;
    }
    // The collision walk the scene's dispatch does, by the same tables.
    static void nearCallback(void* data, dGeomID a, dGeomID b) {
        auto* scene = static_cast<LW6Scene*>(data);
        auto index = [](dGeomID g) { return static_cast<int>(reinterpret_cast<intptr_t>(dGeomGetData(g))); };
        if (dGeomIsSpace(a) || dGeomIsSpace(b)) {
            if (scene->m_spacePairTable[index(a)][index(b)]->check(a, b).m_collide)
                dSpaceCollide2(a, b, data, nearCallback);
            if (dGeomIsSpace(a) && scene->m_spacePairTable[index(a)][index(a)]->check(a, a).m_collide)
                dSpaceCollide(reinterpret_cast<dSpaceID>(a), data, nearCallback);
            return;
        }
        auto* first = static_cast<ODEGeomObject*>(dGeomGetData(a));
        auto* second = static_cast<ODEGeomObject*>(dGeomGetData(b));
        ODEJointSurface* policy = scene->m_surfaceTable[first->m_surfaceKind][second->m_surfaceKind];
        dContact contacts[ODEJointSurface::MAX_CONTACTS];
        int n = dCollide(a, b, policy->maxCollisions(), &contacts[0].geom, sizeof(dContact));
        for (int i = 0; i < n; ++i) policy->onContact(contacts[i].geom);
    }
    void collide() {
        dSpaceCollide(scene->m_spaces[0].space, scene.get(), nearCallback);
    }

    RecordingView view;
    std::unique_ptr<LW6Scene> scene;
    dWorldID physics = nullptr;
};

} // namespace

TEST_F(ODEGeomObjectTest, BoxTakesItsSidesFromScale) {
    ODEGeomObject& node = add(ODEGeomObject::BOX, 1);
    node.m_channels[SceneItem::SCALE_X].constant = 2;
    node.m_channels[SceneItem::SCALE_Z].constant = 3;
    node.update();
    ASSERT_NE(node.m_geom, nullptr);
    EXPECT_EQ(node.getKind(), SceneItem::KIND_GEOM);
    dVector3 sides;
    dGeomBoxGetLengths(node.m_geom, sides);
    EXPECT_DOUBLE_EQ(sides[0], 2);
    EXPECT_DOUBLE_EQ(sides[1], 1);
    EXPECT_DOUBLE_EQ(sides[2], 3);
    EXPECT_EQ(dGeomGetSpace(node.m_geom), scene->m_spaces[1].space);
    EXPECT_EQ(dGeomGetData(node.m_geom), &node);
}

TEST_F(ODEGeomObjectTest, SphereAndCapsuleUseScaleTimesFactors) {
    ODEGeomObject& sphere = add(ODEGeomObject::SPHERE, 1);
    sphere.m_scaleFactors[0] = 0.5f;
    sphere.m_channels[SceneItem::SCALE_X].constant = 3;
    sphere.update();
    EXPECT_DOUBLE_EQ(dGeomSphereGetRadius(sphere.m_geom), 1.5);
    ODEGeomObject& capsule = add(ODEGeomObject::CAPSULE, 1);
    capsule.m_channels[SceneItem::SCALE_Y].constant = 4;
    capsule.update();
    dReal radius, length;
    dGeomCapsuleGetParams(capsule.m_geom, &radius, &length);
    EXPECT_DOUBLE_EQ(radius, 1);
    EXPECT_DOUBLE_EQ(length, 4);
}

TEST_F(ODEGeomObjectTest, UpdatingTwiceMakesOneGeom) {
    ODEGeomObject& node = add(ODEGeomObject::SPHERE, 1);
    node.update();
    dGeomID geom = node.m_geom;
    node.update();
    EXPECT_EQ(node.m_geom, geom);
    EXPECT_EQ(dSpaceGetNumGeoms(scene->m_spaces[1].space), 1);
}


TEST_F(ODEGeomObjectTest, SpaceIndexWithoutASpaceMakesNoGeom) {
    ODEGeomObject& node = add(ODEGeomObject::BOX, 9);
    node.update();
    EXPECT_EQ(node.m_geom, nullptr);
    EXPECT_EQ(lastError(), "geom space index out of range");
}

TEST_F(ODEGeomObjectTest, RayProbeIsFiniteAndNotMovedByTheMatrixUpdate) {
    ODEGeomObject& ray = add(ODEGeomObject::RAY, 2, 1, 2, 3);
    ray.update();
    EXPECT_EQ(dGeomGetClass(ray.m_geom), dRayClass);
    EXPECT_DOUBLE_EQ(dGeomRayGetLength(ray.m_geom), ODEGeomObject::RAY_PROBE_LENGTH);
    dReal aabb[6];
    dGeomGetAABB(ray.m_geom, aabb);
    for (dReal bound : aabb) EXPECT_TRUE(std::isfinite(bound));
    ray.m_channels[SceneItem::POS_X].constant = 50;
    ray.invalidate();
    Matrix4x3 m;
    ray.getMatrix(m, 0.0, 0);
    EXPECT_DOUBLE_EQ(dGeomGetPosition(ray.m_geom)[0], 1);
}

TEST_F(ODEGeomObjectTest, StaticGeomFollowsTheMatrixUpdate) {
    ODEGeomObject& node = add(ODEGeomObject::BOX, 1, 1, 2, 3);
    node.update();
    node.m_channels[SceneItem::POS_X].constant = 7;
    node.m_channels[SceneItem::HEADING].constant = 1.5707964f;
    node.invalidate();
    Matrix4x3 m;
    node.getMatrix(m, 0.0, 0);
    EXPECT_DOUBLE_EQ(dGeomGetPosition(node.m_geom)[0], 7);
    // ODE's rotation turns +z (the third column) to +x.
    const dReal* r = dGeomGetRotation(node.m_geom);
    EXPECT_NEAR(r[2], 1, 1e-6);
}

// As a speed-up pad's contact reads the pad's direction from its matrix.
class MatrixReadingSurface : public CountingSurface {
public:
    ODEJointSurface onContact(const dContactGeom& contact) override {
        auto* met = static_cast<ODEGeomObject*>(dGeomGetData(contact.g1));
        met->invalidate();
        Matrix4x3 m;
        met->getMatrix(m, 0.0, 0);
        return CountingSurface::onContact(contact);
    }
};

TEST_F(ODEGeomObjectTest, MatrixReadDuringTheCollisionPassLeavesAStillGeomAlone) {
    CollidingPair pair;
    MatrixReadingSurface surface;
    scene->m_spacePairTable[0][0] = &pair;
    scene->m_spacePairTable[1][2] = &pair;
    scene->m_spacePairTable[2][1] = &pair;
    ODEGeomObject& pad = add(ODEGeomObject::BOX, 1, 0, 0, 0);
    pad.m_channels[SceneItem::HEADING].constant = 0.5f;
    pad.m_surfaceKind = 15;
    pad.update();
    ODEGeomObject& kart = add(ODEGeomObject::SPHERE, 2, 0, 1.25f, 0);
    kart.m_surfaceKind = 6;
    kart.update();
    scene->m_surfaceTable[15][6] = &surface;
    scene->m_surfaceTable[6][15] = &surface;
    // ODE would end the program on a geom moved in a space being collided.
    collide();
    EXPECT_GE(surface.m_contacts, 1);
    EXPECT_DOUBLE_EQ(dGeomGetPosition(pad.m_geom)[1], 0);
}

TEST_F(ODEGeomObjectTest, BodyIsPlacedWithTheGeom) {
    ODEGeomObject& node = add(ODEGeomObject::SPHERE, 1, 4, 5, 6);
    node.m_channels[SceneItem::HEADING].constant = 0.5f;
    node.m_body = dBodyCreate(physics);
    node.update();
    EXPECT_EQ(dGeomGetBody(node.m_geom), node.m_body);
    const dReal* p = dBodyGetPosition(node.m_body);
    EXPECT_DOUBLE_EQ(p[1], 5);
    const dReal* bodyRotation = dBodyGetRotation(node.m_body);
    const dReal* geomRotation = dGeomGetRotation(node.m_geom);
    for (int i = 0; i < 12; ++i) EXPECT_NEAR(bodyRotation[i], geomRotation[i], 1e-9);
}

TEST_F(ODEGeomObjectTest, TransformedGeomIsFoundFromTransformAndGeom) {
    auto carrier = std::make_unique<SceneObject>(scene.get(), 0);
    carrier->m_channels[SceneItem::POS_Y].constant = 10;
    carrier->m_body = dBodyCreate(physics);
    dBodySetPosition(carrier->m_body, 0, 10, 0);
    ODEGeomObject& node = add(ODEGeomObject::SPHERE, 1, 0, 11, 0);
    node.m_transformItem = carrier.get();
    node.update();
    ASSERT_NE(node.m_geomTransform, nullptr);
    EXPECT_EQ(dGeomGetData(node.m_geomTransform), &node);
    EXPECT_EQ(dGeomGetData(node.m_geom), &node);
    EXPECT_EQ(dGeomGetBody(node.m_geomTransform), carrier->m_body);
    EXPECT_EQ(dGeomGetSpace(node.m_geomTransform), scene->m_spaces[1].space);
    // Placed relative to the carrier: one above it.
    EXPECT_DOUBLE_EQ(dGeomGetPosition(node.m_geom)[1], 1);
    // The transform frees its geom when the scene's spaces go.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    EXPECT_EQ(dGeomTransformGetCleanup(node.m_geomTransform), 1);
#pragma GCC diagnostic pop
    scene.reset();
}

TEST_F(ODEGeomObjectTest, GeomsInCollidingSpacesTouch) {
    CollidingPair pair;
    CountingSurface surface;
    scene->m_spacePairTable[0][0] = &pair;
    scene->m_spacePairTable[1][2] = &pair;
    scene->m_spacePairTable[2][1] = &pair;
    ODEGeomObject& box = add(ODEGeomObject::BOX, 1);
    box.m_surfaceKind = 4;
    box.update();
    ODEGeomObject& ball = add(ODEGeomObject::SPHERE, 2, 0, 1.25f, 0);
    ball.m_surfaceKind = 6;
    ball.update();
    scene->m_surfaceTable[4][6] = &surface;
    scene->m_surfaceTable[6][4] = &surface;
    collide();
    EXPECT_GE(surface.m_contacts, 1);
    EXPECT_NEAR(surface.m_last.depth, 0.25, 1e-9);
}

TEST_F(ODEGeomObjectTest, GeomsOfTheSameSpaceNeverMeetUnderTheDefaults) {
    CountingSurface surface;
    scene->m_surfaceTable[0][0] = &surface;
    add(ODEGeomObject::BOX, 1).update();
    add(ODEGeomObject::BOX, 1, 0.5f, 0, 0).update();
    collide();
    EXPECT_EQ(surface.m_contacts, 0);
}

TEST_F(ODEGeomObjectTest, RayHitsTriangleMeshGround) {
    CollidingPair pair;
    CountingSurface surface;
    letProbesMeetGround(pair, surface);
    Mesh mesh(&view, nullptr);
    fillGround(mesh, 10);
    ODEGeomObject& ground = add(ODEGeomObject::TRIANGLE_MESH, 1);
    ground.m_levels.push_back({&mesh, 0.0f, true});
    ground.update();
    ASSERT_NE(ground.m_triMeshData, nullptr);
    probeDown();
    collide();
    ASSERT_EQ(surface.m_contacts, 1);
    EXPECT_NEAR(surface.m_last.pos[1], 0, 1e-9);
    EXPECT_NEAR(surface.m_last.depth, 3, 1e-9);
}

TEST_F(ODEGeomObjectTest, NodesOfOneMeshShareItsTreeAndEachCollidesWhereItStands) {
    CollidingPair pair;
    CountingSurface surface;
    letProbesMeetGround(pair, surface);
    Mesh mesh(&view, nullptr), other(&view, nullptr);
    fillGround(mesh, 10);
    fillGround(other, 10);
    ODEGeomObject& low = add(ODEGeomObject::TRIANGLE_MESH, 1);
    ODEGeomObject& high = add(ODEGeomObject::TRIANGLE_MESH, 1, 0, 1, 0);
    ODEGeomObject& apart = add(ODEGeomObject::TRIANGLE_MESH, 1, 0, -5, 0);
    low.m_levels.push_back({&mesh, 0.0f, true});
    high.m_levels.push_back({&mesh, 0.0f, true});
    apart.m_levels.push_back({&other, 0.0f, true});
    for (ODEGeomObject* node : {&low, &high, &apart}) node->update();
    ASSERT_NE(low.m_triMeshData, nullptr);
    EXPECT_EQ(high.m_triMeshData, low.m_triMeshData);
    ASSERT_NE(apart.m_triMeshData, nullptr);
    EXPECT_NE(apart.m_triMeshData, low.m_triMeshData);
    probeDown();
    collide();
    // Both nodes of the shared tree meet the ray, each at its own height; the one below reaches not.
    EXPECT_EQ(surface.m_contacts, 2);
}

TEST_F(ODEGeomObjectTest, TriangleMeshWithShortArraysMakesNoGeom) {
    Mesh mesh(&view, nullptr);
    fillGround(mesh, 1);
    mesh.m_buildData.cornerCount = 60;
    ODEGeomObject& ground = add(ODEGeomObject::TRIANGLE_MESH, 1);
    ground.m_levels.push_back({&mesh, 0.0f, true});
    ground.update();
    EXPECT_EQ(ground.m_geom, nullptr);
    EXPECT_EQ(ground.m_triMeshData, nullptr);
}

TEST_F(ODEGeomObjectTest, DebugWireFramesHaveTheirLineCounts) {
    view.m_debugDrawing = true;
    ODEGeomObject& sphere = add(ODEGeomObject::SPHERE, 1, 0, 3, 0);
    sphere.update();
    ASSERT_NE(sphere.m_debugObject, nullptr);
    sphere.updateHelpers(0.0);
    ODEGeomObject& box = add(ODEGeomObject::BOX, 1);
    box.update();
    box.updateHelpers(0.0);
    ODEGeomObject& ray = add(ODEGeomObject::RAY, 2);
    ray.update();
    ray.updateHelpers(0.0);
    ASSERT_EQ(view.m_batches.size(), 2u);
    EXPECT_EQ(view.m_batches[0].lines.size(), 96u);
    EXPECT_FLOAT_EQ(view.m_batches[0].world[13], 3);
    for (const DebugLineVertex& v : view.m_batches[0].lines)
        EXPECT_NEAR(v.position.x * v.position.x + v.position.y * v.position.y + v.position.z * v.position.z, 1, 1e-5);
    EXPECT_EQ(view.m_batches[1].lines.size(), 24u);
    for (const DebugLineVertex& v : view.m_batches[1].lines) EXPECT_FLOAT_EQ(std::fabs(v.position.x), 0.5f);
}
