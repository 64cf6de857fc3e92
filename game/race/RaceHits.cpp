#include <algorithm>
#include <cmath>

#include "engine/scene/SceneObject.h"
#include "game/karts/OutOfSight.h"
#include "game/karts/VehicleMaster.h"
#include "game/race/Race.h"

namespace {

// Hit radii, from the victim's position.
constexpr float ROCKET_RADIUS = 3.0f;
constexpr float SOAP_RADIUS = 3.0f;
constexpr float FROSTER_RADIUS = 3.0f;
constexpr float SHRINKER_RADIUS = 3.0f;
constexpr float FLASH_RADIUS = 15.0f;
constexpr float MINE_RADIUS = 1.6f;
constexpr float MAGNET_RADIUS = 5.0f;
constexpr float WEIGHT_RADIUS = 20.0f;

// Flights, in units and seconds.
constexpr float ROCKET_SPEED = 40.0f;
// The rocket leaves straight ahead and arms and locks on after this long, when
// the squash no longer stops it and its flight sound starts.
constexpr float ROCKET_LOCK_TIME = 1.0f;
constexpr float ROCKET_LIFETIME = 5.0f;
// It flies this high over the kart it homes on, as high as it left its shooter.
constexpr float ROCKET_HEIGHT = 1.2f;
constexpr float SHOT_SPEED = 40.0f;
constexpr float SHOT_LIFETIME = 2.0f;
constexpr float SHOT_HEIGHT = 0.5f;
constexpr float SOAP_LIFETIME = 10.0f;
// The three bubbles land in a row across the way, behind the kart.
constexpr float SOAP_BEHIND = 2.0f;
constexpr float SOAP_SPACING = 1.5f;
constexpr float WEIGHT_HEIGHT = 2.5f;

float distance(const Position3& a, const Position3& b) {
    float d[3] = {a.x - b.x, a.y - b.y, a.z - b.z};
    return vectorLength(d);
}

bool near(const Position3& a, const Position3& b, float radius) { return distance(a, b) < radius; }

bool isZero(const float v[3]) { return v[0] == 0.0f && v[1] == 0.0f && v[2] == 0.0f; }

Position3 ahead(const Position3& from, const float direction[3], float length) {
    return {from.x + direction[0] * length, from.y + direction[1] * length, from.z + direction[2] * length};
}

// Where the object stands, facing the way; out of sight is a place too.
void place(SceneObject* object, const Position3& at, const float way[3], double time) {
    if (!object) return;
    object->setPosition(at);
    if (way[0] != 0.0f || way[2] != 0.0f) object->m_channels[SceneItem::HEADING].constant = std::atan2(way[0], way[2]);
    object->invalidate();
    object->updateMatrix(time);
}

// Put there before and left alone since; a body may have been moved by the physics.
bool outOfSight(const SceneObject& object) {
    const AnimatedValue* p = object.m_channels;
    return !object.m_body && p[SceneItem::POS_X].constant == OUT_OF_SIGHT.x &&
           p[SceneItem::POS_Y].constant == OUT_OF_SIGHT.y && p[SceneItem::POS_Z].constant == OUT_OF_SIGHT.z;
}

// Most extras wait out of sight most of the race: they are not placed there again every frame.
void hide(SceneObject* object, double time) {
    if (!object || outOfSight(*object)) return;
    const float none[3] = {0.0f, 0.0f, 0.0f};
    place(object, OUT_OF_SIGHT, none, time);
}

// The rider ranked just ahead of the shooter; a leader's rocket comes for the
// leader itself. -1 when nobody holds that rank.
int32_t rocketTarget(const Race& race, const Vehicle& shooter) {
    const int32_t wanted = std::max(shooter.m_rank.get() - 1, 0);
    for (int32_t j = 0; j < race.m_vehicleCount; ++j) {
        const Vehicle* rider = race.getVehicle(j);
        if (rider && rider->m_rank.get() == wanted) return j;
    }
    return -1;
}

void endRocket(VehicleMaster& kart, double time) {
    kart.m_rocketTimer = -1.0f;
    kart.m_extraRocket = 0.0f;
    kart.m_rocketFired = 0;
    kart.m_targetLocked = -1;
    kart.m_rocketTarget = kart.m_rocketLockTarget = -1;
    for (SceneObject* rocket : kart.m_rocketObject) hide(rocket, time);
}

void flyRocket(const Race& race, VehicleMaster& kart, float dt) {
    // A hit, a wall, a squash or a respawn took the rocket: what is left of it goes.
    if (kart.m_rocketTimer < 0.0f || kart.m_extraRocket.get() == 0.0f) {
        if (kart.m_rocketTimer >= 0.0f || kart.m_rocketFired.get() != 0 || kart.m_targetLocked.get() != -1)
            endRocket(kart, race.m_simulatedTime);
        return;
    }
    if (isZero(kart.m_rocketAim)) {
        std::copy(kart.m_heading, kart.m_heading + 3, kart.m_rocketAim);
        kart.m_rocketTarget = rocketTarget(race, kart);
    }
    kart.m_rocketTimer += dt;
    if (kart.m_rocketTimer >= ROCKET_LIFETIME) {
        kart.m_explosionType = Vehicle::EXPLOSION_ROCKET;
        kart.startExplosion(kart.m_rocketPos.get());
        endRocket(kart, race.m_simulatedTime);
        return;
    }
    if (kart.m_rocketTimer >= ROCKET_LOCK_TIME && kart.m_rocketFired.get() == 0) {
        kart.m_rocketFired = 1;
        kart.m_rocketLockTarget = kart.m_rocketTarget;
        kart.m_targetLocked = kart.m_rocketTarget;
    }
    const Position3 from = kart.m_rocketPos.get();
    float reach = ROCKET_SPEED * dt;
    if (Vehicle* target = race.getVehicle(kart.m_rocketLockTarget)) {
        Position3 aim;
        target->getPosition(aim);
        aim.y += ROCKET_HEIGHT;
        float toward[3] = {aim.x - from.x, aim.y - from.y, aim.z - from.z};
        float length = vectorLength(toward);
        // It stops on the point rather than overshoot it in a long frame.
        if (length > 0.0f && std::isfinite(length)) {
            for (int i = 0; i < 3; ++i) kart.m_rocketAim[i] = toward[i] / length;
            reach = std::min(reach, length);
        }
    }
    kart.m_rocketPos = ahead(from, kart.m_rocketAim, reach);
    kart.m_rocketAngle = std::atan2(kart.m_rocketAim[0], kart.m_rocketAim[2]);
    for (SceneObject* rocket : kart.m_rocketObject)
        place(rocket, kart.m_rocketPos.get(), kart.m_rocketAim, race.m_simulatedTime);
}

// A shrinker or froster shot: straight ahead from where it was fired; its
// value grows with its age.
void flyShot(VehicleMaster& kart, NetValue<float>& age, NetValue<Position3>& at, float flight[3], SceneObject* beam,
             float dt, double time) {
    if (age.get() == 0.0f) {
        hide(beam, time);
        return;
    }
    if (isZero(flight)) {
        std::copy(kart.m_heading, kart.m_heading + 3, flight);
        Position3 here;
        kart.getPosition(here);
        at = Position3{here.x, here.y + SHOT_HEIGHT, here.z};
    }
    age = age.get() + dt;
    if (age.get() >= SHOT_LIFETIME) {
        age = 0.0f;
        at = OUT_OF_SIGHT;
        hide(beam, time);
        return;
    }
    at = ahead(at.get(), flight, SHOT_SPEED * dt);
    place(beam, at.get(), flight, time);
}

// Dropped behind the kart, the bubbles stay until they burst.
void keepSoap(VehicleMaster& kart, float dt, double time) {
    Position3 here;
    kart.getPosition(here);
    const float* h = kart.m_heading;
    const float across[3] = {h[2], 0.0f, -h[0]};
    for (int k = 0; k < Vehicle::SOAP_SLOTS; ++k) {
        NetValue<float>& age = kart.m_extraSoap[k];
        NetValue<Position3>& at = kart.m_extraSoapPos[k];
        if (age.get() == 0.0f) {
            hide(kart.m_bubbleObject[k], time);
            continue;
        }
        if (isZero(kart.m_soapFlight[k])) {
            std::copy(h, h + 3, kart.m_soapFlight[k]);
            at = ahead(ahead(here, h, -SOAP_BEHIND), across, SOAP_SPACING * float(k - 1));
        }
        age = age.get() + dt;
        if (age.get() >= SOAP_LIFETIME) {
            age = 0.0f;
            at = OUT_OF_SIGHT;
        }
        place(kart.m_bubbleObject[k], at.get(), kart.m_soapFlight[k], time);
    }
}

// The weight and the flash act for as long as their value, 1.0 when used, lasts in seconds.
void runDown(NetValue<float>& value, float dt) {
    if (value.get() != 0.0f) value = std::max(0.0f, value.get() - dt);
}

// The weight hangs over the rider it caught while that rider carries it.
void showWeight(const Race& race, VehicleMaster& kart, double time) {
    for (int32_t k = 0; k < race.m_vehicleCount; ++k) {
        Vehicle* rider = race.getVehicle(k);
        if (!rider || rider->m_effectWeightObjectIndex.get() != kart.m_index) continue;
        Position3 at;
        rider->getPosition(at);
        kart.m_extraWeightPos = Position3{at.x, at.y + WEIGHT_HEIGHT, at.z};
        place(kart.m_weightObject, kart.m_extraWeightPos.get(), kart.m_heading, time);
        return;
    }
    kart.m_extraWeightPos = OUT_OF_SIGHT;
    hide(kart.m_weightObject, time);
}

// Whether a rider other than the owner already holds the owner's extra, by the index of `claim`.
bool claimedByOther(const Race& race, int32_t owner, NetValue<int> Vehicle::*claim) {
    for (int32_t k = 0; k < race.m_vehicleCount; ++k) {
        Vehicle* rider = race.getVehicle(k);
        if (k != owner && rider && (rider->*claim).get() == owner) return true;
    }
    return false;
}

void hitByRockets(Race& race, int32_t i, VehicleMaster& victim, const Position3& at) {
    for (int32_t j = 0; j < race.m_vehicleCount; ++j) {
        Vehicle* shooter = race.getVehicle(j);
        if (!shooter || victim.m_rocketHitTimer != 0.0f) continue;
        if (shooter->m_targetLocked.get() != i || shooter->m_rocketFired.get() == 0) continue;
        if (!near(at, shooter->m_rocketPos.get(), ROCKET_RADIUS)) continue;
        shooter->m_targetLocked = -1;
        shooter->m_rocketFired = 0;
        shooter->m_extraRocket = 0.0f;
        victim.onRocketHit(j);
    }
}

// The extras of one other rider, in their order.
void hitByExtras(Race& race, VehicleMaster& victim, const Position3& at, int32_t j, Vehicle& user) {
    const float time = static_cast<float>(race.m_simulatedTime);
    for (int k = 0; k < Vehicle::SOAP_SLOTS; ++k)
        if (victim.m_soapTimer == 0.0f && user.m_extraSoap[k].get() != 0.0f &&
            near(at, user.m_extraSoapPos[k].get(), SOAP_RADIUS))
            victim.onSoap(time);
    if (victim.m_frozenTimer == 0.0f && user.m_extraFroster.get() != 0.0f &&
        near(at, user.m_extraFrosterPos.get(), FROSTER_RADIUS))
        victim.onFroster(user.m_extraFrosterPos.get(), time);
    if (victim.m_shrinkTimer == 0.0f && user.m_extraShrinker.get() != 0.0f &&
        near(at, user.m_extraShrinkerPos.get(), SHRINKER_RADIUS))
        victim.onShrinker(user.m_extraShrinkerPos.get());
    Position3 userAt;
    user.getPosition(userAt);
    if (victim.m_flashTimer == 0.0f && user.m_extraFlash.get() != 0.0f && near(at, userAt, FLASH_RADIUS))
        victim.onFlash();

    bool mineTaken = false;
    if (victim.m_mineTimer == 0.0f && near(at, user.m_extraMinePos.get(), MINE_RADIUS)) {
        mineTaken = claimedByOther(race, j, &Vehicle::m_extraMineIndex);
        if (!mineTaken) {
            victim.onMine(j);
            user.m_extraMinePos = OUT_OF_SIGHT;
            if (user.m_mineObject) user.m_mineObject->setPosition(OUT_OF_SIGHT);
        }
    }
    if (!mineTaken && victim.m_magnetTimer == 0.0f && near(at, user.m_effectMagnetPos.get(), MAGNET_RADIUS) &&
        !claimedByOther(race, j, &Vehicle::m_effectMagnetObjectIndex))
        victim.onMagnet(j, user.m_effectMagnetPos.get());
    if (victim.m_weightTimer == 0.0f && user.m_extraWeight.get() != 0.0f && near(at, userAt, WEIGHT_RADIUS) &&
        !claimedByOther(race, j, &Vehicle::m_effectWeightObjectIndex))
        victim.onWeight(j);
}

} // namespace

void Race::moveExtras(double dt) {
    const float step = static_cast<float>(dt);
    for (int32_t i = 0; i < m_vehicleCount; ++i) {
        Vehicle* rider = getVehicle(i);
        VehicleMaster* kart = rider ? rider->asMaster() : nullptr;
        if (!kart) continue;
        flyRocket(*this, *kart, step);
        flyShot(*kart, kart->m_extraShrinker, kart->m_extraShrinkerPos, kart->m_shrinkerFlight,
                kart->m_laserObject[Vehicle::SHRINKER_SHOT], step, m_simulatedTime);
        flyShot(*kart, kart->m_extraFroster, kart->m_extraFrosterPos, kart->m_frosterFlight,
                kart->m_laserObject[Vehicle::FROSTER_SHOT], step, m_simulatedTime);
        keepSoap(*kart, step, m_simulatedTime);
        runDown(kart->m_extraWeight, step);
        runDown(kart->m_extraFlash, step);
        showWeight(*this, *kart, m_simulatedTime);
    }
}

void Race::updateExtraHits() {
    for (int32_t i = 0; i < m_vehicleCount; ++i) {
        Vehicle* rider = getVehicle(i);
        VehicleMaster* victim = rider ? rider->asMaster() : nullptr;
        if (!victim) continue;
        Position3 at;
        victim->getPosition(at);
        hitByRockets(*this, i, *victim, at);
        if (victim->m_protectionTime != 0.0f || !victim->m_active.get()) continue;
        for (int32_t j = 0; j < m_vehicleCount; ++j) {
            Vehicle* user = j == i ? nullptr : getVehicle(j);
            if (user) hitByExtras(*this, *victim, at, j, *user);
        }
    }
}
