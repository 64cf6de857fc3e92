#include <algorithm>
#include <cmath>
#include <string>

#include <ode/objects.h>

#include "engine/platform/animation/Envelope.h"
#include "engine/platform/audio/Sound.h"
#include "engine/platform/audio/SoundDevice.h"
#include "engine/scene/Camera.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/ObjectPass.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/materials/Surface.h"
#include "game/karts/VehicleMaster.h"
#include "game/karts/VehicleSettings.h"
#include "game/maps/IlluminationMap.h"
#include "game/race/Race.h"
#include "game/records/Config.h"
#include "sys/Pi.h"

namespace {

constexpr float ENGINE_NEAR = 5.0f;
constexpr float ENGINE_FAR = 1000000.0f;
constexpr uint32_t LOWEST_PITCH = 100;
constexpr uint32_t HIGHEST_PITCH = 90000;
// The one slot whose volume the race leaves to the kart.
constexpr int KEPT_VOLUME_SLOT = 5;
constexpr int ROCKET_FLIGHT_SLOT = 22;
constexpr float ROCKET_EARSHOT = 25.0f;
constexpr float STAMPER_EARSHOT = 40.0f;
constexpr float STAMPER_SHARE = 0.9f;
// Without an envelope a stamper never lands within its period.
constexpr double STILL_STAMPER = 100.0;
constexpr float PICKUP_TURN = 0.05f;
constexpr float PICKUP_SINK = 100.0f;

struct StamperTiming {
    double period, landing, landed;
};

Position3 translationOf(const Matrix4x3& m) { return {m.m[12], m.m[13], m.m[14]}; }

float distance(const Position3& a, const Position3& b) {
    const float d[3] = {a.x - b.x, a.y - b.y, a.z - b.z};
    return vectorLength(d);
}

// A settings file may give no top speed at all; such an engine idles at the lowest pitch.
uint32_t enginePitch(float speed, float maxSpeed) {
    if (maxSpeed == 0.0f || !std::isfinite(maxSpeed)) return LOWEST_PITCH;
    const double scaled = double(speed / maxSpeed) * 68000.0;
    if (std::isnan(scaled)) return LOWEST_PITCH;
    const double hz = double(int32_t(std::clamp(scaled, -1.0e6, 1.0e6))) + 22000.0;
    return uint32_t(std::clamp(int32_t(hz), int32_t(LOWEST_PITCH), int32_t(HIGHEST_PITCH)));
}

const Envelope* positionEnvelope(const SceneObject& object) {
    for (int c = SceneItem::POS_X; c <= SceneItem::POS_Z; ++c)
        if (Channel* channel = object.m_channels[c].channel)
            if (const Envelope* envelope = channel->asEnvelope()) return envelope;
    return nullptr;
}

// The stamper lands between the first key after its start and the key after that.
StamperTiming stamperTiming(const SceneObject& stamper) {
    const Envelope* envelope = positionEnvelope(stamper);
    if (!envelope || envelope->getKeys().empty()) return {STILL_STAMPER, STILL_STAMPER, STILL_STAMPER};
    const std::vector<Envelope::Key>& keys = envelope->getKeys();
    auto firstAfter = [&keys](double time) {
        for (const Envelope::Key& key : keys)
            if (key.time > time) return double(key.time);
        return double(keys.front().time);
    };
    const double landing = firstAfter(0.01);
    return {keys.back().time, landing, firstAfter(landing + 0.01)};
}

// The object file of the rider's figure, from its colour surface's "file@surface" name.
std::string figureFileOf(const Vehicle& rider) {
    const Surface* figure = rider.m_colourSurfaces[3];
    if (!figure) return {};
    const std::string& name = figure->getName();
    return name.substr(0, name.find('@'));
}

// Riders merge their moped scenes in turn, so a file several riders share is
// each one's own copy counted among the riders before it.
void colouredObjects(const Race& race, int32_t index, SceneObject* out[4]) {
    Vehicle& rider = *race.getVehicle(index);
    const std::string figure = figureFileOf(rider);
    int32_t mopedInstance = 1, figureInstance = 1;
    for (int32_t j = 0; j < index; ++j) {
        const Vehicle* before = race.getVehicle(j);
        if (!before) continue;
        if (before->m_mopedFile == rider.m_mopedFile) ++mopedInstance;
        if (!figure.empty() && figureFileOf(*before) == figure) ++figureInstance;
    }
    out[0] = race.m_scene->getObject(rider.m_mopedFile, 0, mopedInstance);
    out[1] = rider.m_wheelObject[0];
    out[2] = rider.m_wheelObject[1];
    out[3] = figure.empty() ? nullptr : race.m_scene->getObject(figure, 0, figureInstance);
}

} // namespace

bool Race::stopSounds() {
    if (m_scene) {
        m_scene->m_soundVolume = 0.0f;
        for (auto& object : m_scene->m_objects)
            if (object && object->getSound()) object->getSound()->stop();
    }
    for (int32_t i = 0; i < m_vehicleCount; ++i)
        if (Vehicle* rider = getVehicle(i))
            for (auto& sound : rider->m_sounds)
                if (sound) sound->stop();
    if (m_music) m_music->stop();
    return true;
}

bool Race::startSounds() {
    const int32_t effects = m_config ? m_config->m_settings.m_effectsVolume : 0;
    if (m_scene) {
        m_scene->m_soundVolume = effects * 0.0075f;
        for (auto& object : m_scene->m_objects) {
            Sound* sound = object ? object->getSound() : nullptr;
            if (!sound || std::find(m_stampers.begin(), m_stampers.end(), object.get()) != m_stampers.end()) continue;
            // Silent until the scene places it by the listener.
            sound->play(true);
            sound->setVolume(0.0f);
        }
    }
    for (int32_t i = 0; i < m_vehicleCount; ++i)
        if (Vehicle* rider = getVehicle(i))
            if (Sound* engine = rider->m_sounds[Vehicle::SOUND_ENGINE].get()) engine->play(true);
    if (m_music) m_music->play(true);
    return true;
}

void Race::setSoundVolumes(bool mute) {
    const int32_t music = mute || !m_config ? 0 : m_config->m_settings.m_musicVolume;
    const int32_t effects = mute || !m_config ? 0 : m_config->m_settings.m_effectsVolume;
    const float listener = effects * 0.0075f;
    if (m_music) m_music->setVolume(music * 0.01f);
    if (m_scene) m_scene->m_soundVolume = listener;
    for (int32_t i = 0; i < m_vehicleCount; ++i) {
        Vehicle* rider = getVehicle(i);
        for (int slot = 0; rider && slot < Vehicle::SOUND_SLOTS; ++slot)
            if (rider->m_sounds[slot] && (mute || slot != KEPT_VOLUME_SLOT))
                rider->m_sounds[slot]->setVolume(effects * 0.01f);
    }
    for (SceneObject* stamper : m_stampers)
        if (stamper && stamper->getSound()) stamper->getSound()->setVolume(listener * STAMPER_SHARE);
}

namespace {

// Camera 0, or camera 1 once view 0's rider is through in split screen; null when the scene lacks it.
Camera* listenerCamera(const Race& race) {
    const Vehicle* shown = race.getVehicle(race.m_viewRider[0]);
    const size_t camera = race.m_viewCount == 2 && shown && shown->m_trackFinished.get() ? 1 : 0;
    return race.m_scene && camera < race.m_scene->m_cameras.size() ? race.m_scene->m_cameras[camera].get() : nullptr;
}

} // namespace

void Race::updateListener() {
    Camera* camera = m_soundDevice ? listenerCamera(*this) : nullptr;
    if (!camera) return;
    Matrix4x3 world;
    camera->getMatrix(world, 0.0, 1);
    m_soundDevice->setListener(world[12], world[13], world[14], world[8], world[9], world[10], world[4], world[5],
                               world[6], 0.0f, 0.0f, 0.0f);
}

void Race::updateObjectSounds() {
    if (Camera* camera = listenerCamera(*this)) ObjectPass::updateSounds(*m_scene, *camera, m_simulatedTime);
}

void Race::updateEngineSounds() {
    Vehicle* heard = getVehicle(m_viewRider[0]);
    const float maxSpeed = heard && heard->m_settings ? heard->m_settings->m_maxSpeed : 0.0f;
    // The listener follows view 0, so view 1's rider is heard there until view 0's rider is through.
    const bool sharedEar = m_viewCount == 2 && heard && !heard->m_trackFinished.get();
    for (int32_t i = 0; i < m_vehicleCount; ++i) {
        Vehicle* rider = getVehicle(i);
        Sound* engine = rider ? rider->m_sounds[Vehicle::SOUND_ENGINE].get() : nullptr;
        if (!engine) continue;
        Position3 at;
        (sharedEar && i == m_viewRider[1] ? heard : rider)->getPosition(at);
        const float* d = rider->getDirection();
        const float speed = rider->getSpeed();
        engine->set3D(at.x, at.y, at.z, d[0], d[1], d[2], d[0] * speed, d[1] * speed, d[2] * speed);
        engine->setCone(2.0f * PI, 2.0f * PI, 0.0f);
        engine->setDistances(ENGINE_NEAR, ENGINE_FAR);
        engine->setFrequency(enginePitch(speed, maxSpeed));
        if (!engine->isPlaying()) engine->play(true);
    }
}

void Race::updateRocketSounds() {
    Vehicle* heard = getVehicle(m_viewRider[0]);
    if (!heard) return;
    Position3 ear;
    heard->getPosition(ear);
    for (int32_t i = 0; i < m_vehicleCount; ++i) {
        Vehicle* vehicle = getVehicle(i);
        VehicleMaster* rider = vehicle ? vehicle->asMaster() : nullptr;
        Sound* flight = rider ? rider->m_sounds[ROCKET_FLIGHT_SLOT].get() : nullptr;
        if (!flight) continue;
        const Position3 rocket = rider->m_rocketPos.get();
        // A rocket that has landed takes its loop with it.
        if (!(rider->m_rocketTimer > 1.0f) || distance(rocket, ear) >= ROCKET_EARSHOT) {
            if (flight->isPlaying()) flight->stop();
            continue;
        }
        if (!flight->isPlaying()) flight->play(true);
        const float* d = rider->getDirection();
        flight->set3D(rocket.x, rocket.y, rocket.z, d[0], d[1], d[2], 0.0f, 0.0f, 0.0f);
    }
}

void Race::updateStamperSounds() {
    Vehicle* heard = getVehicle(m_viewRider[0]);
    if (!heard || !m_scene) return;
    Position3 ear;
    heard->getPosition(ear);
    for (SceneObject* stamper : m_stampers) {
        Sound* thud = stamper ? stamper->getSound() : nullptr;
        if (!thud) continue;
        const StamperTiming timing = stamperTiming(*stamper);
        const double t = std::fmod(m_simulatedTime, timing.period);
        if (!(timing.landing < t && t < timing.landed)) continue;
        if (distance(stamper->evaluatePosition(m_simulatedTime), ear) >= STAMPER_EARSHOT) continue;
        thud->setVolume(m_scene->m_soundVolume);
        thud->set3DEnabled(false);
        thud->play(false);
    }
}

void Race::respawnPickups(int32_t steps) {
    for (SceneObject* pickup : m_pickups) {
        if (!pickup || pickup->m_hiddenTime == 0.0f) continue;
        pickup->m_hiddenTime -= float(steps * STEP);
        // Within half a step counts as done: the float countdown must not miss its step.
        if (pickup->m_hiddenTime > 0.5 * STEP) continue;
        pickup->m_hiddenTime = 0.0f;
        const Position3 at = pickup->evaluatePosition(0.0);
        pickup->setPosition({at.x, at.y + PICKUP_SINK, at.z});
        pickup->invalidate();
    }
}

void Race::turnPickups() {
    for (SceneObject* pickup : m_pickups) {
        if (!pickup) continue;
        AnimatedValue* channels = pickup->m_channels;
        channels[SceneItem::HEADING].constant += PICKUP_TURN;
        channels[SceneItem::PITCH].constant = -channels[SceneItem::PITCH].constant;
        channels[SceneItem::BANK].constant = -channels[SceneItem::BANK].constant;
        // Turned while paused too, when no physics step refreshes the matrices.
        pickup->invalidate();
        if (!pickup->m_body) continue;
        dMatrix3 rotation;
        pickup->getODERotation(rotation, 0.0);
        dBodySetRotation(pickup->m_body, rotation);
    }
}

void Race::illuminate() {
    if (!m_illuminationMap || !m_scene) return;
    m_tintedObjects.resize(size_t(std::max(m_vehicleCount, 0)), {nullptr, nullptr, {}});
    for (int32_t i = 0; i < m_vehicleCount; ++i) {
        Vehicle* rider = getVehicle(i);
        if (!rider) continue;
        Position3 at;
        const ColorRGBA tint = m_illuminationMap->lookup(rider->getPosition(at));
        TintedObjects& tinted = m_tintedObjects[size_t(i)];
        if (tinted.scene != m_scene || tinted.rider != rider) {
            tinted = {m_scene, rider, {}};
            colouredObjects(*this, i, tinted.objects);
        }
        // Through each object's own colour: riders sharing a moped file share its surfaces.
        for (SceneObject* object : tinted.objects) {
            if (!object) continue;
            object->m_color = tint;
            object->m_applyColor = true;
        }
    }
    for (SceneObject* object : m_dynamicObjects) {
        if (!object) continue;
        Matrix4x3 world;
        object->m_color = m_illuminationMap->lookup(translationOf(object->getMatrix(world, 0.0, 1)));
    }
}
