#pragma once
#include <cstdint>

#include "engine/platform/animation/AnimatedValue.h"
#include "engine/scene/effects/ParticleEffect.h"

// The "FX_Wind" plug-in: blows the particles of the emitters of its group in
// one of the wind patterns.
class FX_Wind : public ParticleEffect {
public:
    explicit FX_Wind(SceneObject* owner) : ParticleEffect(owner) {}
    ~FX_Wind() override;

    void apply(Particle* particles, int first, int end, double time, double step) override;

    int32_t m_mode = 7;
    // Read from the block; the wind does not use them.
    int32_t m_extraInts[2] = {0, 0};
    int32_t m_falloff = 0;
    AnimatedValue m_radius{1.0f};
    AnimatedValue m_strength{1.0f};
    float m_extraFloats[2] = {0.0f, 0.5f};
    AnimatedValue m_direction[3] = {{0.0f}, {0.1f}, {0.0f}};
    float m_extraVector[3] = {1.0f, 1.0f, 1.0f};
    float m_extraScale = 1.0f;
    float m_extraFalloff[2] = {0.0f, 0.0f};
};
