#pragma once
#include <cstdint>

#include "engine/platform/animation/AnimatedValue.h"
#include "engine/scene/effects/ParticleEffect.h"

// The "FX_Gravity" plug-in: pulls the particles of the emitters of its group
// along a direction or towards its owner.
class FX_Gravity : public ParticleEffect {
public:
    explicit FX_Gravity(SceneObject* owner) : ParticleEffect(owner) {}
    ~FX_Gravity() override;

    void apply(Particle* particles, int first, int end, double time, double step) override;

    int32_t m_kind = 0;
    // 0 directional, 1 towards or away from the owner.
    int32_t m_type = 0;
    int32_t m_falloff = 0;
    AnimatedValue m_radius{1.0f};
    AnimatedValue m_strength{1.0f};
    Position3 m_direction = {0.0f, 0.0f, 0.0f};
};
