#pragma once
#include <cstdint>

#include "engine/platform/animation/AnimatedValue.h"
#include "engine/scene/effects/ParticleEffect.h"

class Camera;

// The "FX_Emitter" plug-in: a fixed pool of particles spawned around its
// owner object, aged, accelerated and moved each step, then handed to the
// owner's hypervoxel to be drawn.
class ParticleEmitter : public ParticleEffect {
public:
    // The pool is always this big, whatever maxParticles says.
    static constexpr int POOL_SIZE = 250;
    enum NozzleShape { NOZZLE_BOX = 0, NOZZLE_SPHERE = 1, NOZZLE_CUBE = 4 };
    enum BirthMode { BIRTH_PER_SECOND = 0, BIRTH_PER_STEP = 1, BIRTH_PER_SECOND_BELOW_GROUND = 3 };
    enum ResetMode { RESET_NONE = 0, RESET_EMIT_ON_KEY = 1, RESET_RESTART_ON_KEY = 2, RESET_NO_EMISSION = 3 };

    explicit ParticleEmitter(SceneObject* owner);
    ~ParticleEmitter() override;

    // Spawns this step's new particles around the owner.
    void emit(double time, double step);
    // Ages the live records and adds the acceleration.
    void apply(Particle* particles, int first, int end, double time, double step) override;
    // Moves the live records by their velocity, then lets the owner's
    // hypervoxel draw the pool for `camera`.
    void advance(double time, double step, Camera* camera);

    Particle* getParticles() { return m_particles; }
    const Particle* getParticles() const { return m_particles; }
    // Records in use: maxParticles, never beyond the pool.
    int getParticleCount() const;
    int getLastSlot() const { return m_lastSlot; }
    int getEmittedTotal() const { return m_emittedTotal; }

    int32_t maxParticles = POOL_SIZE;
    // Speed limit per step; 0 = none.
    float maxSpeed = 0.0f;
    AnimatedValue birthRate{100.0f};
    // Seconds.
    AnimatedValue lifetime{1000.0f};
    AnimatedValue lifetimeVariation{0.0f};
    AnimatedValue velocity[3] = {{0.0f}, {0.0f}, {0.0f}};
    AnimatedValue radialSpeed{0.0f};
    AnimatedValue speedFactor{1.0f};
    AnimatedValue speedFactorVariation{0.0f};
    AnimatedValue secondValue{4.0f};
    AnimatedValue secondValueVariation{0.0f};
    AnimatedValue thirdValue{50.0f};
    AnimatedValue thirdValueVariation{0.0f};
    // Share of the owner's own motion over the last second given to new particles.
    float velocityFactor = 0.0f;
    float nozzleSize[3] = {1.0f, 1.0f, 1.0f};
    Position3 acceleration = {0.0f, 0.0f, 0.0f};
    int32_t nozzleShape = NOZZLE_SPHERE;
    int32_t birthMode = BIRTH_PER_STEP;
    int32_t resetMode = RESET_NONE;

private:
    // False when the reset mode forbids emission this step (and restarts the pool on mode 2).
    bool passesKeyTest(double time, double step);
    // The owner's world position at the time, computed afresh.
    Position3 ownerPositionAt(double time);
    void spawn(Particle& particle, const Position3& centre, const Position3& motion, double time);
    void killAll();

    Particle m_particles[POOL_SIZE];
    int32_t m_lastSlot = 0;
    int32_t m_emittedTotal = 0;
};
