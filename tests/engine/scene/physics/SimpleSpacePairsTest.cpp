#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include <ode/ode.h>

#include "engine/scene/physics/PhysicsLibrary.h"
#include "engine/scene/physics/SimpleSpacePairs.h"

namespace {

using Pairs = std::vector<std::pair<dGeomID, dGeomID>>;

void record(void* data, dGeomID o1, dGeomID o2) { static_cast<Pairs*>(data)->emplace_back(o1, o2); }

// A simple space crowded with every geom kind the scenes use, some on
// bodies, some sharing one, some filtered by their bits, so that most pairs
// touch and every rule of the library's pair test is met.
class SimpleSpacePairsTest : public ::testing::Test {
protected:
    void SetUp() override {
        PhysicsLibrary::ensureStarted();
        world = dWorldCreate();
        root = dHashSpaceCreate(nullptr);
        space = dSimpleSpaceCreate(root);
        const dReal ground[] = {-4, 0, -4, 4, 0, -4, 0, 0, 4};
        const dTriIndex corners[] = {0, 2, 1};
        mesh = dGeomTriMeshDataCreate();
        dGeomTriMeshDataBuildDouble(mesh, ground, 3 * sizeof(dReal), 3, corners, 3, 3 * sizeof(dTriIndex));
        for (int i = 0; i < 60; ++i) add(i);
    }
    void TearDown() override {
        dSpaceDestroy(root);
        dGeomTriMeshDataDestroy(mesh);
        dWorldDestroy(world);
    }
    void add(int i) {
        dGeomID geom = nullptr;
        switch (i % 6) {
        case 0: geom = dCreateBox(space, 1.0, 0.5, 1.0); break;
        case 1: geom = dCreateSphere(space, 0.7); break;
        case 2: geom = dCreateCapsule(space, 0.3, 1.0); break;
        case 3: geom = dCreateRay(space, 2.0); break;
        case 4: geom = dCreateTriMesh(space, mesh, nullptr, nullptr, nullptr); break;
        default: geom = transformedBox(space);
        }
        if (i % 6 != 4) place(geom);
        if (i % 5 == 0 || i % 6 == 5) {
            if (i % 10 != 0 || !lastBody) lastBody = dBodyCreate(world);
            dGeomSetBody(geom, lastBody);
        }
        if (i % 8 == 0) dGeomSetCategoryBits(geom, 2);
        if (i % 13 == 0) dGeomSetCollideBits(geom, 1);
        geoms.push_back(geom);
    }
    void place(dGeomID geom) { dGeomSetPosition(geom, at(random), at(random), at(random)); }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    static dGeomID transformedBox(dSpaceID space) {
        dGeomID geom = dCreateGeomTransform(space);
        dGeomTransformSetCleanup(geom, 1);
        dGeomTransformSetGeom(geom, dCreateBox(nullptr, 0.8, 0.8, 0.8));
        return geom;
    }
#pragma GCC diagnostic pop
    // What ODE and the walk hand over for the same space, ODE's first.
    std::pair<Pairs, Pairs> within(dSpaceID walked) {
        Pairs library, ours;
        dSpaceCollide(walked, &library, &record);
        walk.collide(walked, &ours, &record);
        return {library, ours};
    }

    std::mt19937 random{35};
    std::uniform_real_distribution<dReal> at{-3.0, 3.0};
    dWorldID world = nullptr;
    dSpaceID root = nullptr;
    dSpaceID space = nullptr;
    dTriMeshDataID mesh = nullptr;
    dBodyID lastBody = nullptr;
    std::vector<dGeomID> geoms;
    SimpleSpacePairs walk;
};

} // namespace

TEST_F(SimpleSpacePairsTest, HandsOverTheLibrarysPairsInItsOrderAsGeomsMove) {
    for (int round = 0; round < 4; ++round) {
        auto [library, ours] = within(space);
        EXPECT_EQ(ours, library) << "round " << round;
        EXPECT_GT(library.size(), 100u);
        // Moved geoms go to the front of the space's list, with stale boxes.
        for (size_t i = round; i < geoms.size(); i += 3)
            if (dGeomGetClass(geoms[i]) != dTriMeshClass) place(geoms[i]);
    }
    dSpaceID empty = dSimpleSpaceCreate(root);
    auto [library, ours] = within(empty);
    EXPECT_TRUE(ours.empty());
}

TEST_F(SimpleSpacePairsTest, WhatTheLibraryWalksItsOwnWayIsLeftToIt) {
    // Geoms of no size and disabled ones, which ODE leaves out, amid the others.
    dGeomDisable(dCreateSphere(space, 5.0));
    dCreateSphere(space, 0.0);
    dCreateBox(space, 2.0, 0.0, 2.0);
    dCreateRay(space, 0.0);
    auto [library, ours] = within(space);
    EXPECT_EQ(ours, library);
    // A hash space, and a simple one holding a space.
    dSpaceID hash = dHashSpaceCreate(root);
    dSpaceID holder = dSimpleSpaceCreate(root);
    for (int i = 0; i < 40; ++i) {
        dGeomSetPosition(dCreateSphere(hash, 1.0), i * 0.5, 0, 0);
        dGeomSetPosition(dCreateSphere(holder, 1.0), i * 0.5, 0, 0);
    }
    dGeomSetPosition(dCreateSphere(dSimpleSpaceCreate(holder), 1.0), 0, 0, 0);
    for (dSpaceID other : {hash, holder}) {
        auto [theirs, walked] = within(other);
        EXPECT_FALSE(theirs.empty());
        EXPECT_EQ(walked, theirs);
    }
}
