#include "engine/scene/effects/FX_Gravity.h"

#include <cmath>

#include "engine/scene/effects/EffectorField.h"

FX_Gravity::~FX_Gravity() {
    m_radius.clearChannel();
    m_strength.clearChannel();
}

void FX_Gravity::apply(Particle* particles, int first, int end, double time, double step) {
    Position3 centre = EffectorField::centreOf(EffectorField::ownerMatrix(m_owner, time));
    float radius = m_radius.evaluate(time);
    float strength = m_strength.evaluate(time);
    float dt = float(step);
    for (int i = first; i < end; ++i) {
        Particle& p = particles[i];
        if (!p.alive) continue;
        Position3 d = p.position - centre;
        float distance = length(d);
        float k = EffectorField::falloff(m_falloff, distance, radius, false) * p.speed * strength * dt;
        if (m_type == 0) {
            p.velocity.x += m_direction.x * k * 10.0f;
            p.velocity.y += m_direction.y * k * 10.0f;
            p.velocity.z += m_direction.z * k * 10.0f;
        } else if (m_type == 1) {
            // A particle sitting on the centre has no direction to be pulled in.
            if (!(distance > 0.0f) || !std::isfinite(distance)) continue;
            float pull = k / (distance * distance);
            p.velocity.x += d.x * pull;
            p.velocity.y += d.y * pull;
            p.velocity.z += d.z * pull;
        }
    }
}
