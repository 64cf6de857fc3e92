#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <ode/ode.h>

#include "engine/scene/LW6Scene.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "tests/engine/scene/SceneTestSupport.h"
#include "tests/support/ReportCapture.h"

namespace {

class CollidingPair : public ODESpacePair {
public:
    CollidingPair() : ODESpacePair(true) {}
};

// Counts the points it is shown; answers with its own flags and point limit.
class CountingSurface : public ODEJointSurface {
public:
    ODEJointSurface onContact(const dContactGeom&) override {
        ++m_contacts;
        return *this;
    }
    int m_contacts = 0;
};

// A root hash space (0) holding two simple spaces (1 ground, 2 movers) that
// collide with each other under `pair`.
class CollisionDispatchTest : public ReportCapture<3> {
protected:
    void SetUp() override {
        ReportCapture<3>::SetUp();
        scene = std::make_unique<LW6Scene>(&view);
        dSpaceID root = dHashSpaceCreate(nullptr);
        addSpace(root);
        addSpace(dSimpleSpaceCreate(root));
        addSpace(dSimpleSpaceCreate(root));
        scene->m_spacePairTable[0][0] = &pair;
        scene->m_spacePairTable[1][2] = scene->m_spacePairTable[2][1] = &pair;
        LW6Scene::s_contactCount = 0;
    }
    void addSpace(dSpaceID space) {
        dGeomSetData(reinterpret_cast<dGeomID>(space), reinterpret_cast<void*>(scene->m_spaces.size()));
        scene->m_spaces.push_back({space, "", {0, 0}});
    }
    ODEGeomObject& box(int space, int kind, float y, float side, bool dynamic) {
        auto node = std::make_unique<ODEGeomObject>(scene.get(), scene->getObjectCount());
        node->m_geomType = ODEGeomObject::BOX;
        node->m_spaceIndex = space;
        node->m_surfaceKind = kind;
        node->m_channels[SceneItem::POS_Y].constant = y;
        for (int k = 0; k < 3; ++k) node->m_channels[SceneItem::SCALE_X + k].constant = side;
        if (dynamic) {
            node->m_body = dBodyCreate(scene->m_world);
            dMass mass;
            dMassSetBoxTotal(&mass, 1.0, side, side, side);
            dBodySetMass(node->m_body, &mass);
        }
        node->update();
        scene->m_objects.push_back(std::move(node));
        return static_cast<ODEGeomObject&>(*scene->m_objects.back());
    }
    void collide() { scene->collide(); }
    void step(int steps) {
        for (int i = 0; i < steps; ++i) {
            collide();
            dWorldQuickStep(scene->m_world, 0.01);
            dJointGroupEmpty(scene->m_contactGroup);
        }
    }

    RecordingView view;
    CollidingPair pair;
    std::unique_ptr<LW6Scene> scene;
};

} // namespace

TEST_F(CollisionDispatchTest, FallingBoxLandsOnlyWhereThePairTableLetsItsSpacesCollide) {
    scene->m_spacePairTable[1][2] = scene->m_spacePairTable[2][1] = &scene->m_spacePairDifferent;
    box(1, 0, 0.0f, 2.0f, false);
    ODEGeomObject& mover = box(2, 1, 3.0f, 1.0f, true);
    step(100);
    EXPECT_EQ(LW6Scene::s_contactCount, 0);
    EXPECT_LT(dBodyGetPosition(mover.m_body)[1], 0.0);

    scene->m_spacePairTable[1][2] = scene->m_spacePairTable[2][1] = &pair;
    dBodySetPosition(mover.m_body, 0, 3, 0);
    dBodySetLinearVel(mover.m_body, 0, 0, 0);
    step(300);
    EXPECT_GT(LW6Scene::s_contactCount, 0);
    EXPECT_NEAR(dBodyGetPosition(mover.m_body)[1], 1.5, 0.05);
}

TEST_F(CollisionDispatchTest, MoreThanThirtyTwoPointsAreCutToTheBuffer) {
    CountingSurface kind;
    kind.m_maxCollisions = 200;
    scene->m_surfaceTable[0][1] = scene->m_surfaceTable[1][0] = &kind;
    // A ground of 200 small triangles under one wide box touches far more than 32 of them.
    std::vector<dReal> points;
    std::vector<dTriIndex> triangles;
    for (int z = 0; z <= 10; ++z)
        for (int x = 0; x <= 10; ++x) points.insert(points.end(), {x - 5.0, 0.0, z - 5.0});
    for (dTriIndex a = 0; a < 110; ++a)
        if (a % 11 != 10) triangles.insert(triangles.end(), {a, a + 11, a + 1, a + 1, a + 11, a + 12});
    dTriMeshDataID data = dGeomTriMeshDataCreate();
    dGeomTriMeshDataBuildDouble(data, points.data(), 3 * sizeof(dReal), int(points.size() / 3), triangles.data(),
                                int(triangles.size()), 3 * sizeof(dTriIndex));
    auto ground = std::make_unique<ODEGeomObject>(scene.get(), 0);
    dGeomID mesh = dCreateTriMesh(scene->m_spaces[1].space, data, nullptr, nullptr, nullptr);
    dGeomSetData(mesh, ground.get());
    box(2, 1, 0.4f, 9.0f, true);
    collide();
    EXPECT_EQ(lastError(), "js->maxCollisions() <= 32");
    EXPECT_EQ(kind.m_contacts, ODEJointSurface::MAX_CONTACTS);
    EXPECT_EQ(LW6Scene::s_contactCount, ODEJointSurface::MAX_CONTACTS);
    scene.reset();
    dGeomTriMeshDataDestroy(data);
}

TEST_F(CollisionDispatchTest, GeomWithoutUserDataIsReportedAndSkipped) {
    CountingSurface kind;
    scene->m_surfaceTable[0][1] = scene->m_surfaceTable[1][0] = &kind;
    dCreateBox(scene->m_spaces[1].space, 2, 2, 2);
    box(2, 1, 1.4f, 1.0f, true);
    collide();
    EXPECT_EQ(lastError(), "geomData1 && geomData2");
    EXPECT_EQ(kind.m_contacts, 0);
}

TEST_F(CollisionDispatchTest, SurfaceKindsAndSpaceIndicesOfFiftyOrMoreAreSkipped) {
    ODEGeomObject& ground = box(1, 50, 0.0f, 2.0f, false);
    box(2, 1, 1.4f, 1.0f, true);
    collide();
    EXPECT_EQ(lastError(), "surface kind out of range");
    ground.m_surfaceKind = 0;
    dSpaceID stray = dSimpleSpaceCreate(scene->m_spaces[0].space);
    dGeomSetData(reinterpret_cast<dGeomID>(stray), reinterpret_cast<void*>(intptr_t(60)));
    dCreateBox(stray, 1, 1, 1);
    g_lastErrorText.assignText("");
    scene->m_spacePairTable[1][2] = scene->m_spacePairTable[2][1] = &scene->m_spacePairDifferent;
    collide();
    EXPECT_EQ(lastError(), "space index out of range");
    EXPECT_EQ(LW6Scene::s_contactCount, 0);
}

TEST_F(CollisionDispatchTest, ASpaceMeetingSeveralOthersCollidesItsOwnPairsOncePerPass) {
    addSpace(dSimpleSpaceCreate(scene->m_spaces[0].space));
    scene->m_spacePairTable[2][2] = &pair;
    scene->m_spacePairTable[2][3] = scene->m_spacePairTable[3][2] = &pair;
    CountingSurface movers;
    scene->m_surfaceTable[1][1] = &movers;
    box(1, 0, 0.0f, 2.0f, false);
    box(3, 0, 0.0f, 2.0f, false);
    ODEGeomObject& lower = box(2, 1, 0.9f, 1.0f, false);
    ODEGeomObject& upper = box(2, 1, 1.6f, 1.0f, false);
    dContactGeom points[ODEJointSurface::MAX_CONTACTS];
    const int once = dCollide(lower.m_geom, upper.m_geom, movers.maxCollisions(), points, sizeof(dContactGeom));
    ASSERT_GT(once, 0);
    collide();
    EXPECT_EQ(movers.m_contacts, once);
    collide();
    EXPECT_EQ(movers.m_contacts, 2 * once);
}

TEST_F(CollisionDispatchTest, PlainKindMakesNoJointsBetweenGeomsWithoutBodiesYetAnyOtherKindIsAskedAndABodyHeld) {
    scene->m_spacePairTable[2][2] = &pair;
    box(2, 1, 0.0f, 1.0f, false);
    box(2, 1, 0.2f, 1.0f, false);
    collide();
    EXPECT_EQ(LW6Scene::s_contactCount, 0);
    CountingSurface counting;
    scene->m_surfaceTable[1][1] = &counting;
    collide();
    EXPECT_GT(counting.m_contacts, 0);
    scene->m_surfaceTable[1][1] = &scene->m_defaultSurface;
    LW6Scene::s_contactCount = 0;
    box(2, 1, 0.4f, 1.0f, true);
    collide();
    EXPECT_GT(LW6Scene::s_contactCount, 0);
}
