#include "engine/scene/effects/ParticleEmitter.h"

#include <algorithm>

#include "engine/platform/Random.h"
#include "engine/platform/animation/Envelope.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/effects/HyperVoxel.h"

namespace {

// rand() / 32768, so that the result minus 0.5 lies in -0.5 .. 0.5.
float unitDraw() { return static_cast<float>(Random::next()) / 32768.0f; }

float centredDraw() { return unitDraw() - 0.5f; }

// The key of the owner's first keyed motion channel, or null when it has none.
const Envelope* keyedChannel(SceneObject& owner) {
    for (AnimatedValue& value : owner.m_channels) {
        Envelope* envelope = value.channel ? value.channel->asEnvelope() : nullptr;
        if (envelope && envelope->getKeyCount() > 0) return envelope;
    }
    return nullptr;
}

} // namespace

ParticleEmitter::ParticleEmitter(SceneObject* owner) : ParticleEffect(owner) {
    for (Particle& particle : m_particles) particle = Particle{};
}

ParticleEmitter::~ParticleEmitter() {
    AnimatedValue* values[] = {&birthRate,   &lifetime,         &lifetimeVariation,    &velocity[0],
                               &velocity[1], &velocity[2],      &radialSpeed,          &speedFactor,
                               &speedFactorVariation, &secondValue, &secondValueVariation, &thirdValue,
                               &thirdValueVariation};
    for (auto it = std::rbegin(values); it != std::rend(values); ++it) (*it)->clearChannel();
}

int ParticleEmitter::getParticleCount() const { return std::clamp<int32_t>(maxParticles, 0, POOL_SIZE); }

void ParticleEmitter::killAll() {
    for (Particle& particle : m_particles) particle.alive = false;
    m_lastSlot = 0;
    m_emittedTotal = 0;
}

bool ParticleEmitter::passesKeyTest(double time, double step) {
    if (resetMode == RESET_NO_EMISSION) return false;
    if (resetMode != RESET_EMIT_ON_KEY && resetMode != RESET_RESTART_ON_KEY) return true;
    const Envelope* envelope = m_owner ? keyedChannel(*m_owner) : nullptr;
    if (!envelope) return true;
    bool keyPassed = envelope->findKey(time) != envelope->findKey(time - step);
    if (resetMode == RESET_EMIT_ON_KEY) return keyPassed;
    if (keyPassed) killAll();
    return true;
}

Position3 ParticleEmitter::ownerPositionAt(double time) {
    // Straight from the channels: the cached matrix holds the current frame only.
    m_owner->updateMatrix(time);
    const Matrix4x3& world = m_owner->m_worldMatrix;
    return {world[12], world[13], world[14]};
}

void ParticleEmitter::emit(double time, double step) {
    if (!passesKeyTest(time, step)) return;
    Position3 centre = {0.0f, 0.0f, 0.0f};
    Position3 motion = {0.0f, 0.0f, 0.0f};
    if (m_owner) {
        Position3 before = ownerPositionAt(time - 1.0);
        centre = ownerPositionAt(time);
        motion = {centre.x - before.x, centre.y - before.y, centre.z - before.z};
    }

    double rate = birthRate.evaluate(time) * step;
    int32_t wanted = 0;
    if (birthMode == BIRTH_PER_SECOND || birthMode == BIRTH_PER_SECOND_BELOW_GROUND)
        wanted = static_cast<int32_t>(rate * 30.0);
    else if (birthMode == BIRTH_PER_STEP)
        wanted = static_cast<int32_t>(rate);
    m_emittedTotal += wanted;

    int32_t made = 0;
    int count = getParticleCount();
    for (int slot = 0; slot < count && made < wanted; ++slot) {
        m_lastSlot = slot;
        Particle& particle = m_particles[slot];
        if (particle.alive) continue;
        spawn(particle, centre, motion, time);
        if (particle.alive) ++made;
    }
}

void ParticleEmitter::spawn(Particle& particle, const Position3& centre, const Position3& motion, double time) {
    if (nozzleShape == NOZZLE_BOX || nozzleShape == NOZZLE_CUBE || nozzleShape == NOZZLE_SPHERE) {
        // Drawn Z first, as the original's argument order did.
        float offset[3];
        offset[2] = centredDraw() * nozzleSize[2];
        offset[1] = centredDraw() * nozzleSize[1];
        offset[0] = centredDraw() * nozzleSize[0];
        if (nozzleShape == NOZZLE_SPHERE) {
            float length = vectorLength(offset);
            float radius = static_cast<float>(Random::next()) / 65536.0f;
            // A zero draw has no direction: the particle starts at the centre.
            float scale = length > 0.0f ? radius / length : 0.0f;
            for (float& component : offset) component *= scale;
        }
        particle.position = {centre.x + offset[0], centre.y + offset[1], centre.z + offset[2]};
    }
    if (birthMode == BIRTH_PER_SECOND_BELOW_GROUND && particle.position.y > 0.0f) return;

    particle.life = lifetime.evaluate(time) + centredDraw() * lifetimeVariation.evaluate(time);
    particle.speed = speedFactor.evaluate(time) + 2.0f * centredDraw() * speedFactorVariation.evaluate(time);
    particle.second = secondValue.evaluate(time) - unitDraw() * secondValueVariation.evaluate(time);
    particle.third = thirdValue.evaluate(time) + 2.0f * centredDraw() * thirdValueVariation.evaluate(time);

    float speed = particle.speed;
    float radial[3] = {particle.position.x - centre.x, particle.position.y - centre.y, particle.position.z - centre.z};
    float distance = vectorLength(radial);
    float push = distance != 0.0f ? speed * radialSpeed.evaluate(time) / distance : 0.0f;
    float share = speed * velocityFactor;
    particle.velocity = {speed * velocity[0].evaluate(time) + push * radial[0] + share * motion.x,
                         speed * velocity[1].evaluate(time) + push * radial[1] + share * motion.y,
                         speed * velocity[2].evaluate(time) + push * radial[2] + share * motion.z};
    particle.alive = true;
}

void ParticleEmitter::apply(Particle* particles, int first, int end, double time, double step) {
    float dt = static_cast<float>(step);
    for (int i = first; i < end; ++i) {
        Particle& particle = particles[i];
        if (!particle.alive) continue;
        particle.life -= dt;
        if (particle.life <= 0.0f) {
            particle.alive = false;
            continue;
        }
        particle.velocity = {particle.velocity.x * dt + acceleration.x * dt,
                             particle.velocity.y * dt + acceleration.y * dt,
                             particle.velocity.z * dt + acceleration.z * dt};
    }
}

void ParticleEmitter::advance(double time, double step, Camera* camera) {
    float dt = static_cast<float>(step);
    if (dt != 0.0f) {
        int count = getParticleCount();
        for (int i = 0; i < count; ++i) {
            Particle& particle = m_particles[i];
            if (!particle.alive) continue;
            float v[3] = {particle.velocity.x, particle.velocity.y, particle.velocity.z};
            float reach = vectorLength(v) * dt;
            if (maxSpeed > 0.0f && reach > maxSpeed) {
                float scale = maxSpeed / reach;
                for (float& component : v) component *= scale;
            }
            particle.position = {particle.position.x + v[0], particle.position.y + v[1], particle.position.z + v[2]};
            particle.velocity = {v[0] / dt, v[1] / dt, v[2] / dt};
        }
    }
    HyperVoxel* look = m_owner ? m_owner->getHyperVoxel() : nullptr;
    if (look) look->draw(time, m_particles, camera);
}
