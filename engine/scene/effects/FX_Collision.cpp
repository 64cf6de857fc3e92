#include "engine/scene/effects/FX_Collision.h"

#include <cmath>

#include "engine/platform/Random.h"
#include "engine/scene/effects/EffectorField.h"

FX_Collision::~FX_Collision() {
    m_radius.clearChannel();
    m_elasticity.clearChannel();
}

void FX_Collision::apply(Particle* particles, int first, int end, double time, double) {
    if (m_type != 0) return;
    Position3 centre = EffectorField::centreOf(EffectorField::ownerMatrix(m_owner, time));
    float radius = m_radius.evaluate(time);
    float elasticity = m_elasticity.evaluate(time);
    float s = m_scatter;
    float height = centre.y + radius;
    for (int i = first; i < end; ++i) {
        Particle& p = particles[i];
        if (!p.alive) continue;
        float speed = length(p.velocity) * elasticity;
        if (m_mode == 0) {
            Position3 d = p.position - centre;
            if (!(length(d) < radius)) continue;
            Position3 out = EffectorField::normalised(d);
            p.velocity.x += out.x * speed;
            p.velocity.y += out.y * speed;
            p.velocity.z += out.z * speed;
        } else if (m_mode == 2) {
            // Both draws for every live particle, so the sequence never depends on who hits.
            float r1 = float(Random::next());
            float r2 = float(Random::next());
            Position3 n = EffectorField::normalised({r2 * s / 16384.0f - s, 1.0f, r1 * s / 16384.0f - s});
            // A broken scatter value must not wreck the particle: the plane stays level.
            if (!std::isfinite(n.x) || !std::isfinite(n.z)) n = {0.0f, 1.0f, 0.0f};
            if (!(p.position.y < height)) continue;
            Position3 u = EffectorField::normalised(p.velocity);
            float along = 2.0f * (u.x * n.x + u.y * n.y + u.z * n.z);
            p.velocity = {(u.x - along * n.x) * speed, (u.y - along * n.y) * speed, (u.z - along * n.z) * speed};
            p.position.y = height;
        }
    }
}
