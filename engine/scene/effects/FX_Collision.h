#pragma once
#include <cstdint>

#include "engine/platform/animation/AnimatedValue.h"
#include "engine/scene/effects/ParticleEffect.h"

// The "FX_Collision" plug-in: bounces the particles of the emitters of its
// group off a sphere or a floor plane around its owner.
class FX_Collision : public ParticleEffect {
public:
    explicit FX_Collision(SceneObject* owner) : ParticleEffect(owner) {}
    ~FX_Collision() override;

    void apply(Particle* particles, int first, int end, double time, double step) override;

    int32_t m_type = 0;
    // 0 sphere, 2 floor plane.
    int32_t m_mode = 0;
    AnimatedValue m_radius{1.0f};
    AnimatedValue m_elasticity{1.0f};
    // Read from the block; the collision does not use them.
    float m_extraFloats[2] = {0.0f, 0.0f};
    float m_scatter = 0.0f;
    float m_extraFloat = 0.0f;
    bool m_flag = false;
};
