#pragma once
#include "engine/scene/effects/Particle.h"

class SceneObject;

// Base of the particle emitter and the effectors attached to a scene object.
// Each step the scene hands every effect the particles of the emitters it
// acts on.
class ParticleEffect {
public:
    explicit ParticleEffect(SceneObject* owner) : m_owner(owner) {}
    virtual ~ParticleEffect() = default;
    ParticleEffect(const ParticleEffect&) = delete;
    ParticleEffect& operator=(const ParticleEffect&) = delete;

    // Works on the records [first, end) for the step of `step` seconds ending at `time`.
    virtual void apply(Particle* particles, int first, int end, double time, double step) = 0;

    SceneObject* getOwner() const { return m_owner; }

protected:
    // Not owned: the object the plug-in is attached to.
    SceneObject* m_owner;
};
