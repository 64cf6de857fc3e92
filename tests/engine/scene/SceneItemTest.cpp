#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include <ode/ode.h>

#include "engine/platform/animation/Envelope.h"
#include "engine/scene/ObjectContainer.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/physics/PhysicsLibrary.h"
#include "tests/engine/scene/SceneTestSupport.h"
#include "sys/Pi.h"

namespace {

const float HALF_PI = PI / 2.0f;

class SceneItemTest : public ::testing::Test {
protected:
    SceneObject& add(const char* name) {
        container.m_objects.push_back(
            std::make_unique<SceneObject>(&container, static_cast<int32_t>(container.m_objects.size())));
        container.m_objects.back()->setName(name);
        return *container.m_objects.back();
    }
    void place(SceneItem& item, float x, float y, float z) {
        item.m_channels[SceneItem::POS_X].constant = x;
        item.m_channels[SceneItem::POS_Y].constant = y;
        item.m_channels[SceneItem::POS_Z].constant = z;
    }
    Matrix4x3 world(SceneItem& item, double time = 0.0) {
        Matrix4x3 m;
        return item.getMatrix(m, time, 0);
    }
    RecordingView view;
    ObjectContainer container{&view};
};

} // namespace

TEST_F(SceneItemTest, FreshItemHasIdentityWorldMatrix) {
    SceneObject& item = add("a");
    Matrix4x3 m = world(item, 12.5);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(m[i], Matrix4x3::identity()[i]) << i;
    EXPECT_EQ(item.getKind(), SceneItem::KIND_OBJECT);
    EXPECT_FLOAT_EQ(item.m_channels[SceneItem::SCALE_Y].constant, 1.0f);
    EXPECT_EQ(item.m_mask, 0x1FFu);
}

TEST_F(SceneItemTest, HeadingOfNinetyDegreesTurnsForwardToPlusX) {
    SceneObject& item = add("a");
    item.m_channels[SceneItem::HEADING].constant = HALF_PI;
    EXPECT_POINT_NEAR(transformed({0, 0, 1}, world(item)), 1, 0, 0, 1e-6);
}

TEST_F(SceneItemTest, DefaultOrderAppliesBankThenPitchThenHeading) {
    SceneObject& item = add("a");
    item.m_channels[SceneItem::HEADING].constant = HALF_PI;
    item.m_channels[SceneItem::PITCH].constant = HALF_PI;
    item.m_channels[SceneItem::BANK].constant = HALF_PI;
    // Bank: x -> y; pitch: y -> z; heading: z -> x. And y -> -x -> -x -> z.
    EXPECT_POINT_NEAR(transformed({1, 0, 0}, world(item)), 1, 0, 0, 1e-6);
    EXPECT_POINT_NEAR(transformed({0, 1, 0}, world(item)), 0, 0, 1, 1e-6);
}

TEST_F(SceneItemTest, RotationOrderCodesChangeTheComposition) {
    SceneObject& item = add("a");
    item.m_channels[SceneItem::HEADING].constant = HALF_PI;
    item.m_channels[SceneItem::BANK].constant = HALF_PI;
    // Heading applied first, then bank: x -> -z, which bank leaves alone.
    item.m_rotationOrder[0] = SceneItem::AXIS_BANK;
    item.m_rotationOrder[1] = SceneItem::AXIS_PITCH;
    item.m_rotationOrder[2] = SceneItem::AXIS_HEADING;
    EXPECT_POINT_NEAR(transformed({1, 0, 0}, world(item)), 0, 0, -1, 1e-6);
}

TEST_F(SceneItemTest, PivotIsSubtractedBeforePosition) {
    SceneObject& item = add("a");
    item.m_pivot = {1, 0, 0};
    place(item, 0, 2, 0);
    EXPECT_POINT_NEAR(transformed({0, 0, 0}, world(item)), -1, 2, 0, 1e-6);
}

TEST_F(SceneItemTest, ScaleActsAroundThePivotBeforeRotation) {
    SceneObject& item = add("a");
    item.m_pivot = {1, 0, 0};
    item.m_channels[SceneItem::SCALE_X].constant = 2;
    item.m_channels[SceneItem::HEADING].constant = HALF_PI;
    // (3 - 1) * 2 = 4 along x, turned to -z.
    EXPECT_POINT_NEAR(transformed({3, 0, 0}, world(item)), 0, 0, -4, 1e-5);
}

TEST_F(SceneItemTest, ParentTranslationIsAddedToChild) {
    SceneObject& parent = add("parent");
    SceneObject& child = add("child");
    place(parent, 0, 5, 0);
    place(child, 1, 0, 0);
    child.m_parent = &parent;
    Matrix4x3 m = world(child);
    EXPECT_FLOAT_EQ(m[12], 1);
    EXPECT_FLOAT_EQ(m[13], 5);
    EXPECT_FLOAT_EQ(m[14], 0);
}

TEST_F(SceneItemTest, ThreeLevelChainComposesRotationsAndOffsets) {
    SceneObject& root = add("root");
    SceneObject& middle = add("middle");
    SceneObject& leaf = add("leaf");
    middle.m_parent = &root;
    leaf.m_parent = &middle;
    place(root, 10, 0, 0);
    root.m_channels[SceneItem::HEADING].constant = HALF_PI;
    place(middle, 0, 0, 2);
    middle.m_channels[SceneItem::HEADING].constant = HALF_PI;
    place(leaf, 0, 0, 1);
    // leaf origin (0,0,1) in middle -> turned to (1,0,0), plus (0,0,2) = (1,0,2);
    // in root turned: (x,z) -> (z,-x) = (2,0,-1), plus (10,0,0).
    EXPECT_POINT_NEAR(transformed({0, 0, 0}, world(leaf)), 12, 0, -1, 1e-5);
    // Forward of the leaf is turned twice: -z.
    Matrix4x3 m = world(leaf);
    EXPECT_NEAR(m.at(2, 2), -1, 1e-6);
    Matrix4x3 rotation;
    leaf.getWorldRotation(rotation, 0.0);
    EXPECT_NEAR(rotation.at(2, 2), -1, 1e-6);
    EXPECT_FLOAT_EQ(rotation[12], 0);
}

TEST_F(SceneItemTest, CachedMatrixHoldsUntilInvalidated) {
    SceneObject& item = add("a");
    place(item, 1, 0, 0);
    world(item);
    place(item, 3, 0, 0);
    EXPECT_FLOAT_EQ(world(item)[12], 1);
    item.invalidate();
    EXPECT_FLOAT_EQ(world(item)[12], 3);
}

TEST_F(SceneItemTest, LaterPassesRemakeNothingUnmovedYetAMovedParentCarriesItsChildAtOnce) {
    SceneObject& parent = add("parent");
    SceneObject& child = add("child");
    child.m_parent = &parent;
    place(parent, 0, 5, 0);
    place(child, 1, 0, 0);
    child.m_channels[SceneItem::HEADING].constant = HALF_PI;
    const Matrix4x3 first = world(child);
    const uint32_t made = child.localGeneration();
    EXPECT_NE(made, 0u);

    // A new frame's pass with nothing moved: the same bits, no product made again.
    ObjectContainer::invalidateItems(container, nullptr);
    EXPECT_EQ(std::memcmp(world(child).m, first.m, sizeof first.m), 0);
    EXPECT_EQ(child.localGeneration(), made);
    // A mirror's pass keeps the places and makes only the projections again.
    child.m_projValid = true;
    ObjectContainer::invalidateItems(container, nullptr, true);
    EXPECT_TRUE(child.m_worldValid && parent.m_worldValid);
    EXPECT_FALSE(child.m_projValid);

    // The parent moves: the child follows in the same frame, its own matrix kept.
    place(parent, 0, 7, 0);
    ObjectContainer::invalidateItems(container, nullptr);
    EXPECT_POINT_NEAR(transformed({0, 0, 1}, world(child)), 2, 7, 0, 1e-6);
    EXPECT_EQ(child.localGeneration(), made);
    // Its own channel turns it back: made again.
    child.m_channels[SceneItem::HEADING].constant = 0.0f;
    child.invalidate();
    EXPECT_POINT_NEAR(transformed({0, 0, 1}, world(child)), 1, 7, 1, 1e-6);
    EXPECT_NE(child.localGeneration(), made);
    Matrix4x3 inverse;
    EXPECT_POINT_NEAR(transformed({1, 7, 1}, child.getInvMatrix(inverse, 0.0, 0)), 0, 0, 1, 1e-6);
}

TEST_F(SceneItemTest, InverseMatrixUndoesWorldMatrix) {
    SceneObject& item = add("a");
    place(item, 1, 2, 3);
    item.m_channels[SceneItem::HEADING].constant = 0.7f;
    item.m_channels[SceneItem::SCALE_Z].constant = 2;
    Matrix4x3 inverse;
    item.getInvMatrix(inverse, 0.0, 0);
    EXPECT_POINT_NEAR(transformed(transformed({4, -1, 2}, world(item)), inverse), 4, -1, 2, 1e-5);
}

TEST_F(SceneItemTest, AnimatedChannelIsEvaluatedAndStoredIntoItsConstant) {
    SceneObject& item = add("a");
    auto* envelope = new Envelope;
    envelope->addKeyLinear(0, 0);
    envelope->addKeyLinear(10, 1);
    item.m_channels[SceneItem::POS_X].channel = envelope;
    EXPECT_FLOAT_EQ(world(item, 0.5)[12], 5);
    EXPECT_FLOAT_EQ(item.m_channels[SceneItem::POS_X].constant, 5);
}

TEST_F(SceneItemTest, HeadingControllerAimsAtTheTargetPivot) {
    SceneObject& item = add("a");
    SceneObject& target = add("b");
    place(target, 5, 0, 0);
    item.m_target = &target;
    item.m_headingController = SceneItem::CONTROL_TARGET;
    item.m_pitchController = SceneItem::CONTROL_TARGET;
    float angles[3];
    item.applyControllers(angles, 0.0);
    EXPECT_NEAR(angles[1], HALF_PI, 1e-6);
    EXPECT_NEAR(angles[0], 0, 1e-6);
    place(target, 0, 3, 3);
    target.invalidate();
    item.applyControllers(angles, 0.0);
    // Pitch is -atan2(3, 3); the vector holds its negation.
    EXPECT_NEAR(angles[0], std::atan2(3.0, 3.0), 1e-6);
    EXPECT_NEAR(angles[1], 0, 1e-6);
}

TEST_F(SceneItemTest, TargetIsSeenFromTheParentsSpace) {
    SceneObject& parent = add("p");
    SceneObject& item = add("a");
    SceneObject& target = add("b");
    place(parent, 0, 0, 10);
    item.m_parent = &parent;
    item.m_target = &target;
    item.m_headingController = SceneItem::CONTROL_TARGET;
    // The target at the world origin lies behind the item at world z = 10.
    float angles[3];
    item.applyControllers(angles, 0.0);
    EXPECT_NEAR(std::fabs(angles[1]), PI, 1e-5);
}

TEST_F(SceneItemTest, PathControllerAlignsWithTheMotionAhead) {
    SceneObject& item = add("a");
    auto* x = new Envelope;
    x->addKeyLinear(0, 0);
    x->addKeyLinear(1, 1);
    auto* y = new Envelope;
    y->addKeyLinear(0, 0);
    y->addKeyLinear(1, 1);
    item.m_channels[SceneItem::POS_X].channel = x;
    item.m_channels[SceneItem::POS_Y].channel = y;
    item.m_headingController = SceneItem::CONTROL_PATH;
    item.m_pitchController = SceneItem::CONTROL_PATH;
    item.m_pathLookAhead = 0.5f;
    float angles[3];
    item.applyControllers(angles, 0.25);
    EXPECT_NEAR(angles[1], HALF_PI, 1e-5);
    EXPECT_NEAR(angles[0], std::atan2(1.0, 1.0), 1e-5);
    // The constants are left at the asked time, not the look-ahead.
    EXPECT_FLOAT_EQ(item.m_channels[SceneItem::POS_X].constant, 0.25f);
}

TEST_F(SceneItemTest, MatchingGoalOrientationTakesTheGoalsAngles) {
    SceneObject& item = add("a");
    SceneObject& goal = add("g");
    goal.m_channels[SceneItem::HEADING].constant = 0.4f;
    goal.m_channels[SceneItem::BANK].constant = 0.2f;
    item.m_channels[SceneItem::HEADING].constant = 1.0f;
    item.m_goalItem = &goal;
    item.m_matchGoalOrientation = true;
    float angles[3];
    item.applyControllers(angles, 0.0);
    EXPECT_FLOAT_EQ(angles[1], 0.4f);
    EXPECT_FLOAT_EQ(angles[2], -0.2f);
}

TEST_F(SceneItemTest, PoseModeUsesThePoseMatrixUnderTheParent) {
    SceneObject& parent = add("p");
    SceneObject& item = add("a");
    place(parent, 0, 1, 0);
    place(item, 100, 100, 100);
    item.m_parent = &parent;
    item.m_poseMode = 1;
    item.m_poseMatrix[12] = 2;
    Matrix4x3 m = world(item);
    EXPECT_FLOAT_EQ(m[12], 2);
    EXPECT_FLOAT_EQ(m[13], 1);
}

TEST_F(SceneItemTest, MoveIntoTheClampBoxWallIsDropped) {
    SceneObject& item = add("a");
    item.m_clampEnabled = true;
    item.m_clampMin = {0, 0, 0};
    item.m_clampMax = {10, 10, 10};
    place(item, 9, 0, 0);
    item.move({3, 0, 0});
    EXPECT_FLOAT_EQ(item.m_channels[SceneItem::POS_X].constant, 9);
    item.move({1.2f, 0, 0});
    EXPECT_FLOAT_EQ(item.m_channels[SceneItem::POS_X].constant, 10);
}

TEST_F(SceneItemTest, SetPositionClampsIntoTheBox) {
    SceneObject& item = add("a");
    item.m_clampEnabled = true;
    item.m_clampMin = {0, 0, 0};
    item.m_clampMax = {10, 10, 10};
    item.setPosition({-5, 5, 50});
    EXPECT_POINT_NEAR(item.evaluatePosition(0), 0, 5, 10, 1e-6);
}

TEST_F(SceneItemTest, SetPositionWithBodyPlacesItAndStopsIt) {
    PhysicsLibrary::ensureStarted();
    dWorldID physics = dWorldCreate();
    SceneObject& parent = add("p");
    SceneObject& item = add("a");
    place(parent, 0, 10, 0);
    item.m_parent = &parent;
    item.m_body = dBodyCreate(physics);
    dBodySetLinearVel(item.m_body, 1, 2, 3);
    dBodySetAngularVel(item.m_body, 1, 2, 3);
    dBodyAddForce(item.m_body, 5, 5, 5);
    dBodyAddTorque(item.m_body, 5, 5, 5);
    item.setPosition({1, 2, 3});
    const dReal* p = dBodyGetPosition(item.m_body);
    EXPECT_DOUBLE_EQ(p[0], 1);
    EXPECT_DOUBLE_EQ(p[1], 12);
    EXPECT_DOUBLE_EQ(p[2], 3);
    for (const dReal* v : {dBodyGetLinearVel(item.m_body), dBodyGetAngularVel(item.m_body),
                           dBodyGetForce(item.m_body), dBodyGetTorque(item.m_body)})
        for (int i = 0; i < 3; ++i) EXPECT_EQ(v[i], 0.0);
    dWorldDestroy(physics);
}

TEST_F(SceneItemTest, SetRotationClampsPitchToItsLimits) {
    SceneObject& item = add("a");
    const float angles[3] = {2.0f, 5.0f, 1.0f};
    item.setRotation(angles, true);
    EXPECT_FLOAT_EQ(item.m_channels[SceneItem::PITCH].constant, -1.5707964f);
    // Heading and bank are not limited when made.
    EXPECT_FLOAT_EQ(item.m_channels[SceneItem::HEADING].constant, 5.0f);
    EXPECT_FLOAT_EQ(item.m_channels[SceneItem::BANK].constant, -1.0f);
    item.setRotation(angles, false);
    EXPECT_FLOAT_EQ(item.m_channels[SceneItem::PITCH].constant, -2.0f);
}

TEST_F(SceneItemTest, BodyRotationFollowsSetRotationAndDrivesTheWorldMatrix) {
    PhysicsLibrary::ensureStarted();
    dWorldID physics = dWorldCreate();
    SceneObject& item = add("a");
    item.m_body = dBodyCreate(physics);
    const float angles[3] = {0.0f, HALF_PI, 0.0f};
    item.setRotation(angles, false);
    dBodySetPosition(item.m_body, 4, 5, 6);
    // The world matrix now comes from the body: forward turned to +x, at the body.
    Matrix4x3 m = world(item);
    EXPECT_POINT_NEAR(transformed({0, 0, 1}, m), 5, 5, 6, 1e-5);
    dWorldDestroy(physics);
}

TEST_F(SceneItemTest, ODERotationIsTheTransposedWorldRotation) {
    SceneObject& item = add("a");
    item.m_channels[SceneItem::HEADING].constant = 0.5f;
    item.m_channels[SceneItem::PITCH].constant = 0.25f;
    dMatrix3 r;
    item.getODERotation(r, 0.0);
    Matrix4x3 m;
    item.getWorldRotation(m, 0.0);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) EXPECT_FLOAT_EQ(r[row * 4 + column], m.at(column, row));
        EXPECT_EQ(r[row * 4 + 3], 0.0);
    }
    const dReal position[3] = {7, 8, 9};
    item.setPoseFromODE(r, position);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_FLOAT_EQ(item.m_poseMatrix.at(i, j), m.at(i, j));
    EXPECT_FLOAT_EQ(item.m_poseMatrix[13], 8);
    EXPECT_FLOAT_EQ(item.m_poseMatrix[15], 1);
}

TEST_F(SceneItemTest, ProjectionDepthTermsFollowNearAndFar) {
    SceneObject& item = add("a");
    const Matrix4x3& p = item.getProjMatrix(0.0, 1.0f, 100.0f);
    float n = 1.0f - 0.0001f, f = 100.0f + 0.0001f;
    EXPECT_FLOAT_EQ(p.at(2, 2), f / (f - n));
    EXPECT_FLOAT_EQ(p.at(3, 2), -f / (f - n) * n);
    EXPECT_FLOAT_EQ(p.at(2, 3), 1);
    EXPECT_FLOAT_EQ(view.m_nearDistances[0], n);
    EXPECT_TRUE(item.m_depthRangeValid);
    // The item's own near distance is the floor; the far limit the ceiling.
    item.m_farLimit = 50;
    const Matrix4x3& q = item.getProjMatrix(0.0, 0.0f, 100.0f);
    float f2 = 50.0f + 0.0001f;
    EXPECT_FLOAT_EQ(q.at(2, 2), f2 / (f2 - 0.01f));
}

TEST_F(SceneItemTest, BoxStraddlingTheViewIsNotOutside) {
    SceneObject& item = add("a");
    float straddling[8][4], leftOfView[8][4];
    for (int i = 0; i < 8; ++i) {
        // Every corner is outside left or right, none inside.
        float x = (i & 1) ? 5.0f : -5.0f;
        straddling[i][0] = x, straddling[i][1] = 0, straddling[i][2] = 1, straddling[i][3] = 1;
        leftOfView[i][0] = -5.0f - i, leftOfView[i][1] = 0, leftOfView[i][2] = 1, leftOfView[i][3] = 1;
    }
    EXPECT_FALSE(item.isBoxOutside(straddling));
    EXPECT_TRUE(item.isBoxOutside(leftOfView));
}

TEST_F(SceneItemTest, TargetLineIsDrawnOnlyWithATarget) {
    SceneObject& item = add("a");
    SceneObject& target = add("b");
    place(item, 1, 0, 0);
    place(target, 0, 4, 0);
    item.updateHelpers(0.0);
    EXPECT_TRUE(view.m_batches.empty());
    item.m_target = &target;
    item.updateHelpers(0.0);
    ASSERT_EQ(view.m_batches.size(), 1u);
    ASSERT_EQ(view.m_batches[0].lines.size(), 2u);
    EXPECT_POINT_NEAR(view.m_batches[0].lines[0].position, 1, 0, 0, 1e-6);
    EXPECT_POINT_NEAR(view.m_batches[0].lines[1].position, 0, 4, 0, 1e-6);
    EXPECT_FLOAT_EQ(view.m_batches[0].world[0], 1);
}
