#include <gtest/gtest.h>

#include <cmath>

#include "engine/platform/Random.h"
#include "engine/scene/ObjectContainer.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/effects/FX_Collision.h"
#include "engine/scene/effects/FX_Gravity.h"
#include "engine/scene/effects/FX_Wind.h"
#include "tests/engine/scene/SceneTestSupport.h"
#include "tests/engine/scene/loaders/SceneFileTestSupport.h"

namespace {

class ParticleEffectors : public ::testing::Test {
protected:
    void SetUp() override { Random::reset(); }

    Particle& add(Position3 position, Position3 velocity, bool alive = true) {
        Particle& p = particles[count++];
        p = Particle{position, velocity, 10.0f, 1.0f, 0.0f, 0.0f, alive};
        return p;
    }
    void expectVelocity(const Particle& p, float x, float y, float z) {
        EXPECT_NEAR(p.velocity.x, x, 1e-5f);
        EXPECT_NEAR(p.velocity.y, y, 1e-5f);
        EXPECT_NEAR(p.velocity.z, z, 1e-5f);
    }

    RecordingView view;
    ObjectContainer container{&view};
    SceneObject owner{&container, 0};
    Particle particles[8] = {};
    int count = 0;
};

float gust() { return float(Random::next()) / 32768.0f - 0.5f; }

} // namespace

TEST_F(ParticleEffectors, GravityAlongADirectionAddsTenTimesTheStepAndSparesTheDead) {
    FX_Gravity gravity(&owner);
    gravity.m_direction = {0.0f, -1.0f, 0.0f};
    gravity.m_falloff = 2;
    Particle& live = add({5, 5, 5}, {1, 0, 0});
    Particle& dead = add({5, 5, 5}, {1, 0, 0}, false);
    gravity.apply(particles, 0, count, 0.0, 0.1);
    expectVelocity(live, 1.0f, -1.0f, 0.0f);
    expectVelocity(dead, 1.0f, 0.0f, 0.0f);
}

TEST_F(ParticleEffectors, PointGravityPushesByTheInverseSquareAndSkipsTheCentre) {
    owner.m_channels[SceneItem::POS_X].constant = 3.0f;
    FX_Gravity gravity(&owner);
    gravity.m_type = 1;
    gravity.m_falloff = 2;
    gravity.m_strength.constant = 2.0f;
    Particle& off = add({5, 0, 0}, {0, 0, 0});
    Particle& centre = add({3, 0, 0}, {0, 1, 0});
    gravity.apply(particles, 0, count, 0.0, 0.5);
    // k = 2 x 0.5 = 1 at distance 2: a push of 1 / 2 away from the centre.
    expectVelocity(off, 0.5f, 0.0f, 0.0f);
    expectVelocity(centre, 0.0f, 1.0f, 0.0f);
}

TEST_F(ParticleEffectors, VortexWindSwirlsByTheSwirlWeightAndAddsTheDirectionWithoutStrength) {
    FX_Wind wind(&owner);
    wind.m_mode = 2;
    wind.m_falloff = 2;
    wind.m_strength.constant = 2.0f;
    Particle& p = add({1, 0, 2}, {0, 0, 0});
    p.second = 3.0f;
    wind.apply(particles, 0, count, 0.0, 0.5);
    expectVelocity(p, -6.0f, 0.05f, 3.0f);
}

TEST_F(ParticleEffectors, TurbulenceDrawsThreeNumbersPerLiveParticleInTheOrderZYX) {
    FX_Wind wind(&owner);
    add({0, 0, 0}, {0, 0, 0}, false);
    Particle& p = add({0, 0, 0}, {0, 0, 0});
    wind.apply(particles, 0, count, 0.0, 0.5);
    Random::reset();
    float z = gust() * 0.5f, y = gust() * 0.5f, x = gust() * 0.5f;
    expectVelocity(p, x, y, z);
    int next = Random::next();
    Random::reset();
    for (int i = 0; i < 3; ++i) Random::next();
    EXPECT_EQ(Random::next(), next) << "the dead particle drew nothing";
}

TEST_F(ParticleEffectors, FloorBouncesAFallingParticleUpOntoThePlane) {
    FX_Collision floor(&owner);
    floor.m_mode = 2;
    floor.m_elasticity.constant = 0.5f;
    Particle& falling = add({0.2f, 0.5f, 0.0f}, {0, -4, 0});
    Particle& above = add({0.0f, 3.0f, 0.0f}, {0, -4, 0});
    floor.apply(particles, 0, count, 0.0, 0.01);
    expectVelocity(falling, 0.0f, 2.0f, 0.0f);
    EXPECT_FLOAT_EQ(falling.position.y, 1.0f);
    expectVelocity(above, 0.0f, -4.0f, 0.0f);
    EXPECT_FLOAT_EQ(above.position.y, 3.0f);
}

TEST_F(ParticleEffectors, SpherePushesAParticleInsideOutwardsByItsOwnSpeed) {
    FX_Collision sphere(&owner);
    sphere.m_radius.constant = 2.0f;
    Particle& inside = add({1, 0, 0}, {0, -3, 0});
    Particle& outside = add({0, 0, 2.5f}, {0, -3, 0});
    sphere.apply(particles, 0, count, 0.0, 0.01);
    expectVelocity(inside, 3.0f, -3.0f, 0.0f);
    expectVelocity(outside, 0.0f, -3.0f, 0.0f);
}

class ParticleEffectorsLoaded : public SceneFileTest {};

TEST_F(ParticleEffectorsLoaded, SwitchedOffGravityIsNotInTheSceneAndPullsNothing) {
    LwsScene scene;
    LwsObject holder;
    holder.nullName = "Pull";
    LwsGravity off, on;
    off.i3 = on.i3 = 2;
    off.vec1 = {0.0f, -1.0f, 0.0f};
    on.vec1 = {1.0f, 0.0f, 0.0f};
    off.enabled = false;
    holder.gravities = {off, on};
    scene.objects.push_back(holder);
    scene.lights.emplace_back();
    scene.cameras.emplace_back();
    ASSERT_TRUE(load(LwsWriter().write(scene)));
    ASSERT_EQ(m_scene->m_effectors.size(), 1u);
    Particle p{{0, 0, 0}, {0, 0, 0}, 1.0f, 1.0f, 0.0f, 0.0f, true};
    for (auto& effector : m_scene->m_effectors) effector->apply(&p, 0, 1, 0.0, 0.1);
    EXPECT_NEAR(p.velocity.x, 1.0f, 1e-5f);
    EXPECT_EQ(p.velocity.y, 0.0f);
}
