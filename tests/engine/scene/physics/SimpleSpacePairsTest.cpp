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

// Two simple spaces crowded with every geom kind the scenes use, some on
// bodies, some sharing one, some filtered by their bits, so that most pairs
// touch and every rule of the library's pair test is met; a third starts empty.
class SimpleSpacePairsTest : public ::testing::Test {
protected:
    void SetUp() override {
        PhysicsLibrary::ensureStarted();
        world = dWorldCreate();
        root = dHashSpaceCreate(nullptr);
        for (dSpaceID& made : spaces) made = dSimpleSpaceCreate(root);
        space = spaces[0];
        const dReal ground[] = {-4, 0, -4, 4, 0, -4, 0, 0, 4};
        const dTriIndex corners[] = {0, 2, 1};
        mesh = dGeomTriMeshDataCreate();
        dGeomTriMeshDataBuildDouble(mesh, ground, 3 * sizeof(dReal), 3, corners, 3, 3 * sizeof(dTriIndex));
        for (int i = 0; i < 60; ++i) add(spaces[i % 3 == 0 ? 1 : 0], i);
    }
    void TearDown() override {
        dSpaceDestroy(root);
        dGeomTriMeshDataDestroy(mesh);
        dWorldDestroy(world);
    }
    void add(dSpaceID into, int i) {
        dGeomID geom = nullptr;
        switch (i % 6) {
        case 0: geom = dCreateBox(into, 1.0, 0.5, 1.0); break;
        case 1: geom = dCreateSphere(into, 0.7); break;
        case 2: geom = dCreateCapsule(into, 0.3, 1.0); break;
        case 3: geom = dCreateRay(into, 2.0); break;
        case 4: geom = dCreateTriMesh(into, mesh, nullptr, nullptr, nullptr); break;
        default: geom = transformedBox(into);
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
    // What ODE and the walk hand over for the same request, ODE's first.
    std::pair<Pairs, Pairs> within(dSpaceID walked) {
        Pairs library, ours;
        dSpaceCollide(walked, &library, &record);
        walk.collide(walked, &ours, &record);
        return {library, ours};
    }
    std::pair<Pairs, Pairs> between(dSpaceID first, dSpaceID second) {
        Pairs library, ours;
        dSpaceCollide2(reinterpret_cast<dGeomID>(first), reinterpret_cast<dGeomID>(second), &library, &record);
        walk.collide2(first, second, &ours, &record);
        return {library, ours};
    }

    std::mt19937 random{35};
    std::uniform_real_distribution<dReal> at{-3.0, 3.0};
    dWorldID world = nullptr;
    dSpaceID root = nullptr;
    dSpaceID spaces[3] = {};
    dSpaceID space = nullptr;
    dTriMeshDataID mesh = nullptr;
    dBodyID lastBody = nullptr;
    std::vector<dGeomID> geoms;
    SimpleSpacePairs walk;
};

} // namespace

TEST_F(SimpleSpacePairsTest, HandsOverTheLibrarysPairsInItsOrderWithinAndBetweenSpacesPassAfterPass) {
    for (int round = 0; round < 4; ++round) {
        // One pass reads each space once for all its pairs.
        walk.beginPass();
        for (dSpaceID walked : spaces) {
            auto [library, ours] = within(walked);
            EXPECT_EQ(ours, library) << "round " << round;
        }
        EXPECT_GT(within(space).first.size(), 50u);
        // The larger space first and second, an empty one, and from round 2 two of equal size.
        for (auto [a, b] : {std::pair{0, 1}, {1, 0}, {0, 2}, {2, 0}, {2, 1}}) {
            auto [library, ours] = between(spaces[a], spaces[b]);
            EXPECT_EQ(ours, library) << "round " << round << " spaces " << a << ", " << b;
        }
        walk.endPass();
        // Moved geoms go to the front of their space's list, with stale boxes.
        for (size_t i = round; i < geoms.size(); i += 3)
            if (dGeomGetClass(geoms[i]) != dTriMeshClass) place(geoms[i]);
        if (round == 1)
            while (dSpaceGetNumGeoms(spaces[2]) < dSpaceGetNumGeoms(spaces[0])) add(spaces[2], 1);
    }
    // Outside a pass nothing read before is trusted.
    place(geoms[1]);
    auto [library, ours] = between(spaces[0], spaces[1]);
    EXPECT_EQ(ours, library);
}

TEST_F(SimpleSpacePairsTest, WhatTheLibraryWalksItsOwnWayIsLeftToIt) {
    // Geoms of no size and disabled ones, which ODE leaves out, amid the others.
    dGeomDisable(dCreateSphere(space, 5.0));
    dCreateSphere(space, 0.0);
    dCreateBox(space, 2.0, 0.0, 2.0);
    dCreateRay(space, 0.0);
    walk.beginPass();
    auto [library, ours] = within(space);
    EXPECT_EQ(ours, library);
    auto [across, oursAcross] = between(spaces[1], space);
    EXPECT_EQ(oursAcross, across);
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
        auto [theirsAcross, walkedAcross] = between(other, spaces[1]);
        EXPECT_EQ(walkedAcross, theirsAcross);
    }
    // Spaces at different sublevels.
    dSpaceSetSublevel(spaces[1], 1);
    auto [sublevels, oursSublevels] = between(spaces[0], spaces[1]);
    EXPECT_EQ(oursSublevels, sublevels);
    walk.endPass();
}
