#include <cmath>

#include "engine/platform/Random.h"
#include "engine/platform/audio/Sound.h"
#include "engine/scene/Actor.h"
#include "engine/scene/ActorTrack.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/materials/TextureLayer.h"
#include "engine/scene/mesh/Mesh.h"
#include "game/drivers/ControllerAI.h"
#include "game/karts/OutOfSight.h"
#include "game/karts/VehicleMaster.h"
#include "game/karts/VehicleSettings.h"
#include "game/race/Race.h"

namespace {

// The crusher and stamper animations hold this long, and so do their timers.
constexpr float SQUASH_HOLD = 2.0f;
constexpr float PAD_BOOST = 3.0f;
constexpr float EXPLOSION_TIME = 0.3f;
constexpr float PROTECTION_TIME = 9.5f;
// A fired shot or bubble starts small and grows in the race frame.
constexpr float SHOT_START = 0.005f;
constexpr float ROCKET_LAUNCH_HEIGHT = 1.2f;
constexpr float RESPAWN_LIFT = 0.2f;
constexpr int32_t HUMAN_STEP_BACK = 3;
constexpr int32_t AI_STEP_BACK = 5;
const float NO_DIRECTION[3] = {0.0f, 0.0f, 0.0f};

float distance(const Position3& a, const Position3& b) {
    float d[3] = {a.x - b.x, a.y - b.y, a.z - b.z};
    return vectorLength(d);
}

// A unit copy of v into out; false, out untouched, for a zero or broken v.
bool unitDirection(const float v[3], float out[3]) {
    float length = vectorLength(v);
    if (!(length > 0.0f) || !std::isfinite(length)) return false;
    for (int i = 0; i < 3; ++i) out[i] = v[i] / length;
    return true;
}

void zero(float v[3]) { v[0] = v[1] = v[2] = 0.0f; }

} // namespace

void VehicleMaster::onSpeedup(SceneObject* pad) {
    m_boost = PAD_BOOST;
    m_curSpeed = m_maxSpeed = m_settings->m_boostedMaxSpeed;
    if (pad) {
        Matrix4x3 world;
        pad->getMatrix(world, 0.0, 1);
        // A scaled pad's axis is longer than 1; a broken one keeps the old heading.
        const float axis[3] = {world[8], world[9], world[10]};
        unitDirection(axis, m_heading);
    }
    for (int i = 0; i < 3; ++i) m_slideVelocity[i] = m_heading[i];
    if (m_poseObject) turnTo(m_poseObject, yawOf(m_heading));
    m_reversing = false;
    playUnlessPlaying(SOUND_SPEEDUP);
}

void VehicleMaster::onCrusher() { squash(m_crusherTimer, m_trackCrushed); }

void VehicleMaster::onStampfer() { squash(m_stamperTimer, m_trackStamped); }

void VehicleMaster::squash(float& timer, int32_t track) {
    if (timer != 0.0f) return;
    // Counted down by the step, so the same surface squashes again only after the hold.
    timer = SQUASH_HOLD;
    m_blendRequest = 2;
    m_blendTrack = track;
    m_blendHold = SQUASH_HOLD;
    playUnlessPlaying(SOUND_CRUSH);
    cancelExtraEffects();
}

void VehicleMaster::cancelExtraEffects() {
    fadeTrack(m_trackProtection, 0.0f);
    fadeTrack(m_trackShrinker, 0.0f);
    fadeTrack(m_trackFroster, 0.0f);
    // A rocket just fired or already on its way past the first second flies on.
    if (m_rocketTimer > 0.0f && m_rocketTimer < 1.0f) {
        m_rocketTimer = -1.0f;
        m_extraRocket = 0.0f;
        m_targetLocked = -1;
        m_rocketLockTarget = -1;
    }
}

void VehicleMaster::startExplosion(const Position3& point) {
    if (m_explosionEffect) {
        m_explosionEffect->setPosition(point);
        m_explosionEffect->invalidate();
    }
    showExplosionTexture();
    m_explosionTimer = EXPLOSION_TIME;
    m_explosion = point;
    m_rocketTimer = -1.0f;
    m_extraRocket = 0.0f;
    m_extraShrinker = 0.0f;
    m_extraFroster = 0.0f;
    // Restarted even while it plays: every hit is heard.
    playSound(SOUND_EXPLOSION, m_rocketPos.get(), NO_DIRECTION);
    Position3 here;
    announceSound(SOUND_EXPLOSION, getPosition(here));
    hide(m_rocketObject[0]);
    hide(m_rocketObject[1]);
    m_extraFrosterPos = OUT_OF_SIGHT;
    m_extraShrinkerPos = OUT_OF_SIGHT;
}

void VehicleMaster::showExplosionTexture() {
    // The type arrives from the other machines too: only the three known ones pick a texture.
    int32_t type = m_explosionType;
    if (!m_explosionObject || type < EXPLOSION_ROCKET || type > EXPLOSION_SHRINKER) return;
    Texture* texture = m_explosionTextures[type];
    Mesh* mesh = m_explosionObject->getFirstMesh();
    if (!texture || !mesh || mesh->m_surfaces.empty() || !mesh->m_surfaces.front()) return;
    Surface& surface = *mesh->m_surfaces.front();
    if (surface.m_textureLayers.empty() || !surface.m_textureLayers.front()) return;
    surface.m_textureLayers.front()->m_texture = texture;
}

void VehicleMaster::useExtra(float time) {
    if (m_shrinkTimer != 0.0f) return;
    Position3 here;
    getPosition(here);
    switch (m_extra.get()) {
    case 1:
        soundAt(SOUND_PROTECTION, here, true);
        startTrack(m_trackProtection, time, true);
        m_protectionTime = PROTECTION_TIME;
        break;
    case 2: {
        const Position3 behind = {here.x - m_heading[0], here.y - m_heading[1], here.z - m_heading[2]};
        soundAt(SOUND_THROW, behind, false);
        startTrack(m_trackThrow, time, false);
        break;
    }
    case 3:
        startTrack(m_trackShrinker, time, false);
        m_extraShrinker = SHOT_START;
        zero(m_shrinkerFlight);
        m_explosionType = EXPLOSION_SHRINKER;
        break;
    case 4:
        startTrack(m_trackFroster, time, true);
        m_extraFroster = SHOT_START;
        zero(m_frosterFlight);
        m_explosionType = EXPLOSION_FROSTER;
        break;
    case 5:
        soundAt(SOUND_BOOST, here, false);
        m_boost = EXTRA_BOOST;
        m_boostTime = 0.0f;
        break;
    case 6:
        soundAt(SOUND_THROW_HEAVY, here, false);
        startTrack(m_trackThrow, time, false);
        break;
    case 7:
        fireRocket(time);
        break;
    case 10:
        soundAt(SOUND_THROW_HEAVY, here, false);
        startTrack(m_trackThrow, time, false);
        m_extraWeight = 1.0f;
        break;
    case 11:
        for (int i = 0; i < SOAP_SLOTS; ++i) {
            m_extraSoap[i] = SHOT_START;
            zero(m_soapFlight[i]);
        }
        break;
    case 12:
        soundAt(SOUND_THROW_HEAVY, here, false);
        startTrack(m_trackThrow, time, false);
        m_extraFlash = 1.0f;
        break;
    default:
        break;
    }
    m_extra = 0;
}

void VehicleMaster::fireRocket(float time) {
    startTrack(m_trackRocket, time, false);
    zero(m_rocketAim);
    m_rocketTimer = 0.0f;
    m_rocketFired = 0;
    m_rocketTarget = m_rocketLockTarget = -1;
    m_extraRocket = 1.0f;
    m_rocketPos = Position3{m_lastPos.x, m_lastPos.y + ROCKET_LAUNCH_HEIGHT, m_lastPos.z};
    // Out of sight until the race frame flies them.
    hide(m_rocketObject[0]);
    hide(m_rocketObject[1]);
    m_explosionType = EXPLOSION_ROCKET;
}

void VehicleMaster::respawn() {
    bool computer = m_controller && m_controller->isComputer();
    Position3 p;
    float d[3];
    bool found = computer ? findRespawnPointAI(p, d) : findRespawnPoint(p, d);
    if (!found) {
        // Nowhere to go: the kart stops where it is.
        m_curSpeed = 0.0f;
        m_fallSpeed = 0.0f;
        return;
    }
    for (int i = 0; i < 3; ++i) m_heading[i] = d[i];
    float yaw = yawOf(m_heading);
    m_netAngle = yaw;
    // The step starts from these, so the kart neither hops nor keeps falling.
    m_lastPos = m_newPos = p;
    m_fallSpeed = 0.0f;
    placeAt(p, yaw);
    m_curSpeed = 0.0f;
    m_maxSpeed = m_settings->m_maxSpeed;
    for (int i = 0; i < 3; ++i) m_slideVelocity[i] = m_heading[i];
    m_cameraReset = true;
    m_reversing = false;
    m_wallHeld = false;
    m_blendRequest = 1;
    m_blendTrack = -1;
    m_blendHold = 0.0f;
    m_protectionTime = 0.0f;
    if (Sound* protection = m_sounds[SOUND_PROTECTION].get()) protection->stop();
    // Sent again each time, so a protection started since the last respawn stops everywhere.
    *m_soundStop.modify() = SOUND_PROTECTION;
    m_extra = 0;
    playUnlessPlaying(SOUND_RESPAWN);
    m_extraRocket = 0.0f;
    m_rocketTimer = -1.0f;
}

void VehicleMaster::placeAt(const Position3& position, float yaw) {
    SceneObject* posed[2] = {m_object, m_poseObject != m_object ? m_poseObject : nullptr};
    for (SceneObject* object : posed) {
        if (!object) continue;
        object->setPosition(position);
        turnTo(object, yaw);
        // An object drawn from its given matrix takes the new pose there.
        if (object->m_poseMode == 1) object->getLocalMatrix(object->m_poseMatrix, 0.0);
        object->invalidate();
    }
    if (m_object) {
        Matrix4x3 world;
        m_matrix = m_object->getMatrix(world, 0.0, 1);
    }
    if (m_colObject) {
        m_colObject->setPosition(position);
        m_colObject->invalidate();
    }
}

bool VehicleMaster::findRespawnPoint(Position3& position, float direction[3]) {
    int32_t index;
    return pickRespawnPoint(m_respawnPoints, HUMAN_STEP_BACK, position, direction, index);
}

bool VehicleMaster::findRespawnPointAI(Position3& position, float direction[3]) {
    auto* driver = dynamic_cast<ControllerAI*>(m_controller.get());
    if (!driver) return false;
    driver->m_pathNumber = Random::next() % ControllerAI::PATHS;
    int32_t index;
    if (!pickRespawnPoint(driver->m_paths[driver->m_pathNumber], AI_STEP_BACK, position, direction, index))
        return false;
    driver->m_pathIndex = index;
    return true;
}

bool VehicleMaster::pickRespawnPoint(const std::vector<Position3>& points, int32_t stepBack, Position3& position,
                                     float direction[3], int32_t& index) {
    const int32_t n = static_cast<int32_t>(points.size());
    if (n == 0) return false;
    Position3 here;
    getPosition(here);
    float best = 999999.0f;
    int32_t k = 0;
    for (int32_t i = 0; i < n; ++i) {
        float d = distance(here, points[i]);
        if (d < best) {
            best = d;
            k = i;
        }
    }
    // One pass at most: when every point is taken the last one tried serves.
    for (int32_t tries = 0; tries < n; ++tries) {
        k = ((k - stepBack) % n + n) % n;
        if (!isPointTaken(points[k])) break;
    }
    const Position3& at = points[k];
    const Position3& next = points[(k + 1) % n];
    const float along[3] = {next.x - at.x, next.y - at.y, next.z - at.z};
    if (!unitDirection(along, direction)) {
        for (int i = 0; i < 3; ++i) direction[i] = m_heading[i];
    }
    position = {at.x, at.y + RESPAWN_LIFT, at.z};
    index = k;
    return true;
}

bool VehicleMaster::isPointTaken(const Position3& point) {
    if (!g_race) return false;
    for (int32_t j = 0; j < g_race->m_vehicleCount; ++j) {
        Vehicle* other = j == m_index ? nullptr : g_race->getVehicle(j);
        if (!other) continue;
        Position3 there;
        if (distance(point, other->getPosition(there)) < 2.0f * m_radius) return true;
    }
    return false;
}

void VehicleMaster::playUnlessPlaying(int32_t id) {
    Sound* sound = m_sounds[id].get();
    if (sound && sound->isPlaying()) return;
    Position3 here;
    soundAt(id, getPosition(here), false);
}

void VehicleMaster::soundAt(int32_t id, const Position3& at, bool loop) {
    playSound(id, at, m_heading, loop);
    Position3 here;
    announceSound(id, getPosition(here));
}

void VehicleMaster::startTrack(int32_t track, float time, bool normalSpeed) {
    if (!m_actor || track < 0 || track >= static_cast<int32_t>(m_actor->m_tracks.size())) return;
    ActorTrack* motion = m_actor->m_tracks[track];
    if (!motion) return;
    motion->setIntensity(1.0f);
    motion->setOffset(time);
    if (normalSpeed) motion->setSpeed(1.0f);
}

void VehicleMaster::hide(SceneObject* object) {
    if (!object) return;
    object->setPosition(OUT_OF_SIGHT);
    object->invalidate();
}
