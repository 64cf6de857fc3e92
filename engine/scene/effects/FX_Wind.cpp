#include "engine/scene/effects/FX_Wind.h"

#include <cmath>

#include "engine/platform/Random.h"
#include "engine/scene/effects/EffectorField.h"

FX_Wind::~FX_Wind() {
    m_radius.clearChannel();
    m_strength.clearChannel();
    for (AnimatedValue& d : m_direction) d.clearChannel();
}

namespace {

void push(Particle& p, const Position3& v, float k) {
    p.velocity.x += v.x * k;
    p.velocity.y += v.y * k;
    p.velocity.z += v.z * k;
}

// A random share in -0.5..0.5.
float gust() { return float(Random::next()) / 32768.0f - 0.5f; }

} // namespace

void FX_Wind::apply(Particle* particles, int first, int end, double time, double step) {
    Matrix4x3 world = EffectorField::ownerMatrix(m_owner, time);
    Position3 centre = EffectorField::centreOf(world);
    float radius = m_radius.evaluate(time);
    float strength = m_strength.evaluate(time);
    Position3 wind = {m_direction[0].evaluate(time), m_direction[1].evaluate(time), m_direction[2].evaluate(time)};
    // The ground wind blows along the owner's own axes.
    Position3 turned = {wind.x * world.at(0, 0) + wind.y * world.at(1, 0) + wind.z * world.at(2, 0),
                        wind.x * world.at(0, 1) + wind.y * world.at(1, 1) + wind.z * world.at(2, 1),
                        wind.x * world.at(0, 2) + wind.y * world.at(1, 2) + wind.z * world.at(2, 2)};
    float dt = float(step);
    for (int i = first; i < end; ++i) {
        Particle& p = particles[i];
        if (!p.alive) continue;
        Position3 d = p.position - centre;
        float distance = length(d);
        float fade = EffectorField::falloff(m_falloff, distance, radius, true);
        float k = fade * p.speed * strength * dt;
        // Patterns that point along the offset need one that exists.
        bool placed = std::isfinite(distance);
        switch (m_mode) {
        case 0: push(p, wind, k); break;
        case 1:
            if (placed) push(p, EffectorField::normalised(d), k);
            break;
        case 2:
            if (!placed) break;
            push(p, {-d.z, 0.0f, d.x}, k * p.second);
            push(p, wind, fade * p.speed * dt);
            break;
        case 3: {
            if (!placed) break;
            Position3 e = EffectorField::normalised({d.x, 0.0f, d.z});
            push(p, {e.x, wind.y, e.z}, k);
            break;
        }
        case 7: {
            float w = p.speed * dt;
            p.velocity.z += gust() * w;
            p.velocity.y += gust() * w;
            p.velocity.x += gust() * w;
            break;
        }
        case 10:
            if (p.position.y < 0.0f) push(p, turned, k);
            break;
        default: break;
        }
    }
}
