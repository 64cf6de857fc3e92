#include <gtest/gtest.h>

#include <cmath>

#include "engine/platform/Random.h"
#include "engine/platform/animation/Envelope.h"
#include "engine/scene/ObjectContainer.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/effects/ParticleEmitter.h"
#include "tests/engine/scene/SceneTestSupport.h"

namespace {

class ParticleEmitterTest : public ::testing::Test {
protected:
    void SetUp() override {
        Random::reset();
        owner.m_channels[SceneItem::POS_X].constant = 3.0f;
        owner.m_channels[SceneItem::POS_Y].constant = -2.0f;
    }

    int alive() const {
        int count = 0;
        for (int i = 0; i < ParticleEmitter::POOL_SIZE; ++i) count += emitter.getParticles()[i].alive ? 1 : 0;
        return count;
    }

    // One particle pass as the scene runs it: emit, age, move.
    void step(double time, double dt) {
        emitter.emit(time, dt);
        emitter.apply(emitter.getParticles(), 0, emitter.getParticleCount(), time, dt);
        emitter.advance(time, dt, nullptr);
    }

    RecordingView view;
    ObjectContainer container{&view};
    SceneObject owner{&container, 0};
    ParticleEmitter emitter{&owner};
    ParticleEmitter again{&owner};
};

} // namespace

TEST_F(ParticleEmitterTest, SpawnsThirtyPerHundredthOfASecondUntilThePoolIsFull) {
    emitter.birthMode = ParticleEmitter::BIRTH_PER_SECOND;
    const int expected[] = {30, 60, 90, 120, 150, 180, 210, 240, 250, 250};
    for (int i = 0; i < 10; ++i) {
        step(0.01 * (i + 1), 0.01);
        EXPECT_EQ(alive(), expected[i]) << "step " << i;
    }
    EXPECT_EQ(emitter.getEmittedTotal(), 300);
}

TEST_F(ParticleEmitterTest, ParticleDiesWhenItsLifeReachesExactlyZero) {
    emitter.birthRate.constant = 4.0f;
    emitter.lifetime.constant = 0.5f;
    step(0.25, 0.25);
    EXPECT_EQ(alive(), 1);
    emitter.birthRate.constant = 0.0f;
    step(0.5, 0.25);
    EXPECT_EQ(alive(), 0);
}

TEST_F(ParticleEmitterTest, KeepsWithinMaxParticlesAndNeverBeyondThePool) {
    emitter.birthMode = ParticleEmitter::BIRTH_PER_SECOND;
    emitter.maxParticles = 40;
    for (int i = 0; i < 3; ++i) step(0.01 * (i + 1), 0.01);
    EXPECT_EQ(alive(), 40);
    EXPECT_EQ(emitter.getLastSlot(), 39);

    emitter.maxParticles = 100000;
    EXPECT_EQ(emitter.getParticleCount(), ParticleEmitter::POOL_SIZE);
    emitter.birthRate.constant = 100000.0f;
    step(0.04, 0.01);
    EXPECT_EQ(alive(), ParticleEmitter::POOL_SIZE);
}

TEST_F(ParticleEmitterTest, ZeroNozzleSpawnsAtTheOwnerInsteadOfNowhere) {
    emitter.nozzleShape = ParticleEmitter::NOZZLE_SPHERE;
    emitter.nozzleSize[0] = emitter.nozzleSize[1] = emitter.nozzleSize[2] = 0.0f;
    emitter.radialSpeed.constant = 2.0f;
    emitter.emit(0.01, 0.01);
    const Particle& first = emitter.getParticles()[0];
    ASSERT_TRUE(first.alive);
    EXPECT_POINT_NEAR(first.position, 3.0f, -2.0f, 0.0f, 0.0f);
    EXPECT_FALSE(std::isnan(first.velocity.x) || std::isnan(first.velocity.y) || std::isnan(first.velocity.z));
}

TEST_F(ParticleEmitterTest, SpraysTheSameParticlesOnEveryRun) {
    emitter.birthRate.constant = again.birthRate.constant = 10000.0f;
    emitter.emit(0.01, 0.01);
    Random::reset();
    again.emit(0.01, 0.01);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(emitter.getParticles()[i].position.x, again.getParticles()[i].position.x);
        EXPECT_EQ(emitter.getParticles()[i].second, again.getParticles()[i].second);
    }
}

TEST_F(ParticleEmitterTest, GivesNewParticlesAShareOfTheOwnersMotion) {
    auto* envelope = new Envelope();
    envelope->addKeyLinear(0.0f, 0.0f);
    envelope->addKeyLinear(4.0f, 2.0f);
    owner.m_channels[SceneItem::POS_Z].channel = envelope;
    emitter.velocityFactor = 0.5f;
    emitter.nozzleShape = 2;
    emitter.emit(2.0, 0.01);
    // Over the last second the owner went 2 units along Z.
    EXPECT_NEAR(emitter.getParticles()[0].velocity.z, emitter.getParticles()[0].speed * 0.5f * 2.0f, 1e-5f);
}
