#include <algorithm>
#include <cmath>

#include <ode/objects.h>

#include "engine/platform/audio/Sound.h"
#include "engine/scene/SceneObject.h"
#include "game/drivers/Controller.h"
#include "game/karts/VehicleMaster.h"
#include "game/karts/VehicleSettings.h"
#include "game/race/Race.h"
#include "game/records/Config.h"
#include "sys/Pi.h"

namespace {

constexpr float DEGREES_PER_RADIAN = float(180.0 / PI_DOUBLE);
constexpr float FALLEN_OFF_HEIGHT = -20.0f;
// A kart pushed by the wind drifts this far per step along the wind object's z axis.
constexpr float WIND_PUSH = 0.004f;
constexpr float BELT_PUSH = 0.0001f;
// A magnet draws a caught kart this far per step towards itself.
constexpr float MAGNET_PULL = 0.05f;
constexpr float SOAP_SLIDE = 4.0f;
constexpr float COLLISION_LIFT = 0.1f;
constexpr float SHADOW_LIFT = 0.1f;
constexpr float CAMERA_LIFT = 1.0f;
constexpr float BODY_RAY_LIFT = 2.0f;
constexpr double WHEEL_RAY_LENGTH = 2.0;
// The wheels turn this many radians per unit of distance.
constexpr float WHEEL_TURN = 2.0f;

// Obstacle push.
constexpr float PUSH_FORCE = 715.0f * 100.0f;
constexpr float PUSH_LIMIT = 1525.0f;
constexpr float PUSH_SPEED_DIVISOR = 758.0f;
constexpr float BOUNCE_SPEED = 0.01f;

// Wall slide or crash, angles in degrees.
constexpr float HIT_SOUND_SPEED = 0.02f;
constexpr float SLIDE_MIN_SPEED = 0.01f;
constexpr float HUMAN_SLIDE_LIMIT = 60.0f;
constexpr float COMPUTER_SLIDE_LIMIT = 75.0f;
constexpr float CRASH_SPEED = 0.02f;
constexpr float CRASH_SLOWDOWN = 0.3f;
constexpr float WALL_CLEARANCE = 0.001f;

constexpr float MAX_CLIMB = 0.05f;
constexpr float BUMP_CLEARANCE = 0.08f;

const float WORLD_X[3] = {1.0f, 0.0f, 0.0f};
const float WORLD_Z[3] = {0.0f, 0.0f, 1.0f};

int gameMode() { return g_race && g_race->m_config ? g_race->m_config->m_game.get() : 1; }

// Runs a timer down by dt and holds it at 0; true in the step it runs out.
bool runDown(float& timer, double dt) {
    if (!(timer > 0.0f)) {
        timer = 0.0f;
        return false;
    }
    timer = static_cast<float>(std::max(0.0, timer - dt));
    return timer == 0.0f;
}

// Scales v to length 1; false, v untouched, when it is too short to have a direction.
bool toUnit(float v[3]) {
    float length = vectorLength(v);
    if (!(length > 1e-12f) || !std::isfinite(length)) return false;
    for (int i = 0; i < 3; ++i) v[i] /= length;
    return true;
}

Position3 translationOf(SceneItem& item, double time) {
    Matrix4x3 world;
    item.getMatrix(world, time, 1);
    return {world[12], world[13], world[14]};
}

// The heading turned about the vertical, flattened; the cap keeps a slow kart from turning on the spot.
void turnHeading(float heading[3], float angle, float speed) {
    angle = std::max(-speed, std::min(angle, speed));
    float c = std::cos(angle), s = std::sin(angle);
    float turned[3] = {heading[0] * c + heading[2] * s, 0.0f, -heading[0] * s + heading[2] * c};
    if (toUnit(turned)) std::copy(turned, turned + 3, heading);
}

// The unit part of `along` that lies across n; false when `along` is parallel to n.
bool acrossNormal(const float n[3], const float along[3], float out[3]) {
    float k = dot(toPosition(along), toPosition(n));
    for (int i = 0; i < 3; ++i) out[i] = along[i] - k * n[i];
    return out[0] * out[0] + out[1] * out[1] + out[2] * out[2] > 1e-8f && toUnit(out);
}

// Trims every ray's history to its newest normals and returns the direction
// of the wheels' sum; straight up when they cancel out.
void meanGroundNormal(std::vector<Normal3>* normals, float n[3]) {
    for (int ray = 0; ray < VehicleMaster::RAYS; ++ray)
        if (normals[ray].size() > VehicleMaster::NORMAL_HISTORY)
            normals[ray].erase(normals[ray].begin(), normals[ray].end() - VehicleMaster::NORMAL_HISTORY);
    n[0] = n[1] = n[2] = 0.0f;
    for (int wheel = 0; wheel < Vehicle::WHEELS; ++wheel)
        for (const Normal3& contact : normals[wheel]) {
            n[0] += contact.x;
            n[1] += contact.y;
            n[2] += contact.z;
        }
    if (toUnit(n)) return;
    n[0] = n[2] = 0.0f;
    n[1] = 1.0f;
}

Matrix4x3 yawRotation(float yaw) {
    float c = std::cos(yaw), s = std::sin(yaw);
    Matrix4x3 m = Matrix4x3::identity();
    m[0] = c;
    m[2] = -s;
    m[8] = s;
    m[10] = c;
    return m;
}

// Rows side, ground normal, forward: the kart stands on the ground and faces
// along it, turned by the yaw; ground facing along z takes the heading's way instead.
Matrix4x3 groundFrame(const float n[3], float yaw, const float heading[3]) {
    float forward[3];
    Matrix4x3 turn = yawRotation(yaw);
    if (!acrossNormal(n, WORLD_Z, forward)) {
        turn = Matrix4x3::identity();
        if (!acrossNormal(n, heading, forward)) acrossNormal(n, WORLD_X, forward);
    }
    const Position3 side = cross(toPosition(n), toPosition(forward));
    Matrix4x3 frame = Matrix4x3::identity();
    for (int i = 0; i < 3; ++i) {
        frame[i] = side[i];
        frame[4 + i] = n[i];
        frame[8 + i] = forward[i];
    }
    multiplyMatrix4x4(frame, turn, frame);
    return frame;
}

} // namespace

void VehicleMaster::update(double time, double dt) {
    bool active = m_active, finished = m_trackFinished;
    if (!active && finished && gameMode() == Race::ELIMINATION) return;
    // A finished rider that rides on is driven and steered, though out of the race.
    const bool driven = active || m_ridesOn;
    if (m_lastPos.y < FALLEN_OFF_HEIGHT || m_resetTouched) respawn();
    m_resetTouched = false;
    if (m_controller) m_controller->update(m_wallHit, m_reversing);
    m_wallHit = false;
    countDownTimers(dt);

    m_acceleration = chooseAcceleration(driven, finished && !m_ridesOn);
    m_curSpeed += m_acceleration;
    if (m_curSpeed < 0.0f) m_curSpeed = 0.0f;
    if (m_curSpeed > speedLimit()) m_curSpeed = speedLimit();
    if (isHeld()) m_curSpeed = 0.0f;
    steer(driven);
    if (m_controller && m_controller->useExtra() && active) useExtra(static_cast<float>(time));
    if (m_obstacleDepth != 0.0f) resolveObstacle();

    Position3 start = m_object ? translationOf(*m_object, 0.0) : m_netPos.get();
    float direction[3];
    motionDirection(direction);
    Position3 next = start;
    m_wallHeld = false;
    // A leaning kart that heads away from the wall drives off it.
    const bool leaving = isLeaningOnWall() && dot(toPosition(direction), toPosition(m_wallNormal)) > 0.0f;
    if (m_wallDepth == 0.0f || leaving)
        moveFreely(next, direction, time);
    else
        resolveWall(next, start, direction);
    resolveGround(next);
    if (m_bumpDepth > 0.0f) resolveBump(next);

    placeObjects(next, time);
    writePose(next);
    turnWheels(WHEEL_TURN * (m_reversing ? -m_curSpeed : m_curSpeed), WHEELS);
    m_wallDepth = 0.0f;
    for (int wheel = 0; wheel < WHEELS; ++wheel) m_rayHeight[wheel] = NO_GROUND;
    aimRays({next.x, next.y + BODY_RAY_LIFT, next.z}, WHEEL_RAY_LENGTH, false);
    writeReplicatedValues(next);
}

void VehicleMaster::countDownTimers(double dt) {
    runDown(m_blendHold, dt);
    for (float* timer : {&m_frozenTimer, &m_shrinkTimer, &m_flashTimer, &m_crusherTimer, &m_stamperTimer,
                         &m_explosionTimer})
        runDown(*timer, dt);
    for (float* timer : {&m_rocketHitTimer, &m_soapTimer}) runDown(*timer, dt);
    // A hit that has run out frees the mine, magnet or weight for the next rider.
    if (runDown(m_mineTimer, dt)) m_extraMineIndex = -1;
    if (runDown(m_magnetTimer, dt)) m_effectMagnetObjectIndex = -1;
    if (runDown(m_weightTimer, dt)) m_effectWeightObjectIndex = -1;
    spendBoost(dt);
    if (runDown(m_protectionTime, dt)) {
        if (Sound* loop = m_sounds[SOUND_PROTECTION].get()) loop->stop();
        *m_soundStop.modify() = SOUND_PROTECTION;
        fadeTrack(m_trackProtection, 0.0f);
    }
}

void VehicleMaster::spendBoost(double dt) {
    // An extra used in the last step left its whole time and phase 0: its boost begins. A speed-up
    // pad lifts the top speed itself and leaves the phase alone, so its boost does not zoom.
    if (m_boost == EXTRA_BOOST && m_boostTime == 0.0f) m_boostTime = BOOST_RUNNING;
    // Held each step, so that a respawn during the boost does not end it before its time.
    if (m_boostTime == BOOST_RUNNING) m_maxSpeed = m_settings->m_boostedMaxSpeed;
    if (!runDown(m_boost, dt)) return;
    m_maxSpeed = m_settings->m_maxSpeed;
    m_boostTime = 0.0f;
}

float VehicleMaster::chooseAcceleration(bool active, bool finished) {
    const VehicleSettings& settings = *m_settings;
    bool driving = !m_airborne && active && m_controller;
    float acceleration = settings.m_rolling;
    // Speed is a magnitude: the pedal that slows the kart drives it the other way once it stands.
    if (driving && m_controller->brake() > 0) {
        if (m_curSpeed == 0.0f) m_reversing = true;
        acceleration = m_reversing ? settings.m_acceleration : settings.m_braking;
    } else if (driving && m_controller->accelerate() > 0 && m_flashTimer == 0.0f) {
        if (m_curSpeed == 0.0f) m_reversing = false;
        acceleration = m_reversing ? settings.m_braking : settings.m_acceleration;
    }
    return finished ? settings.m_braking : acceleration;
}

void VehicleMaster::steer(bool active) {
    if (m_airborne || !active || !m_controller) return;
    float rate = m_settings->m_turnRate * PI / 180.0f;
    if (m_reversing) rate = -rate;
    const bool right = m_curSpeed > 0.0f && m_controller->steerRight() > 0;
    const bool left = m_curSpeed > 0.0f && m_controller->steerLeft() > 0;
    // Leaning on a wall the rider swings the moped round on the spot, too slow to slide or
    // bounce, until it heads away from the wall; otherwise a slow kart turns slowly.
    const bool pivot = m_wallHeld && (right || left);
    const float cap = pivot ? std::fabs(rate) : m_curSpeed;
    if (right) turnHeading(m_heading, rate, cap);
    if (left) turnHeading(m_heading, -rate, cap);
    if (pivot) m_curSpeed = std::min(m_curSpeed, SLIDE_MIN_SPEED);
}

bool VehicleMaster::isLeaningOnWall() const {
    // A ceiling or a floor is no wall to lean on: it bounces the kart as ever. So does every
    // wall a computer rider meets: its driver backs off on the bounce's wall hit.
    const Normal3& n = m_wallNormal;
    const bool upright = n.y * n.y < n.x * n.x + n.z * n.z;
    const bool rider = m_controller && !m_controller->isComputer();
    return m_wallDepth != 0.0f && upright && rider && m_curSpeed <= SLIDE_MIN_SPEED && !m_reversing &&
           m_acceleration > 0.0f;
}

void VehicleMaster::motionDirection(float direction[3]) const {
    float speed = m_reversing ? -m_curSpeed : m_curSpeed;
    for (int i = 0; i < 3; ++i) direction[i] = m_slideVelocity[i] + m_heading[i] * speed;
    if (toUnit(direction)) return;
    // Standing, or the drift cancels the reversing: the kart goes the way it faces.
    for (int i = 0; i < 3; ++i) direction[i] = m_reversing ? -m_heading[i] : m_heading[i];
    toUnit(direction);
}

void VehicleMaster::moveFreely(Position3& next, const float direction[3], double time) {
    m_lastPos = next;
    next.x += direction[0] * m_curSpeed;
    next.y += direction[1] * m_curSpeed;
    next.z += direction[2] * m_curSpeed;
    Matrix4x3 world;
    if (m_windObject) {
        m_windObject->getMatrix(world, time, 1);
        next.x += world[8] * WIND_PUSH;
        next.y += world[9] * WIND_PUSH;
        next.z += world[10] * WIND_PUSH;
        m_windObject = nullptr;
    }
    if (m_beltObject) {
        m_beltObject->getMatrix(world, time, 1);
        next.x += world[8] * BELT_PUSH;
        next.y += world[9] * BELT_PUSH;
        next.z += world[10] * BELT_PUSH;
        m_beltObject = nullptr;
    }
    if (m_magnetTimer != 0.0f) {
        float pull[3] = {m_magnetPull.x - next.x, 0.0f, m_magnetPull.z - next.z};
        // Drawn in, never past the magnet.
        float reach = std::min(MAGNET_PULL, vectorLength(pull));
        if (toUnit(pull)) {
            next.x += pull[0] * reach;
            next.z += pull[2] * reach;
        }
    }
    // The faster the kart, the more its old motion outweighs a turn of the heading: it drifts.
    // On soap it drifts all the more.
    float carried = m_curSpeed * m_curSpeed * m_slideFactor * (m_soapTimer != 0.0f ? SOAP_SLIDE : 1.0f);
    for (int i = 0; i < 3; ++i) m_slideVelocity[i] = direction[i] * carried;
}

void VehicleMaster::placeObjects(const Position3& next, double time) {
    if (m_object) {
        m_object->setPosition(next);
        turnTo(m_object, m_netAngle);
        m_object->invalidate();
    }
    if (m_colObject) {
        m_colObject->setPosition({next.x, next.y + COLLISION_LIFT, next.z});
        m_colObject->updateMatrix(time);
    }
    hidePickUp();
}

void VehicleMaster::writePose(const Position3& next) {
    // A heading straight up or down has no yaw: the kart keeps facing as it did.
    if (m_curSpeed > 0.0f && (m_heading[0] != 0.0f || m_heading[2] != 0.0f)) m_netAngle = yawOf(m_heading);

    float n[3];
    meanGroundNormal(m_groundNormals, n);
    Matrix4x3 scale = Matrix4x3::identity();
    if (m_object)
        m_object->getScaleMatrix(scale, 0.0);
    else
        scale[0] = scale[5] = scale[10] = m_scale;
    Matrix4x3 pose;
    multiplyMatrix4x4(pose, scale, groundFrame(n, m_netAngle, m_heading));
    pose[12] = next.x;
    pose[13] = next.y;
    pose[14] = next.z;
    m_matrix = pose;
    if (m_poseObject) {
        m_poseObject->m_poseMode = 1;
        m_poseObject->m_poseMatrix = m_matrix;
        m_poseObject->invalidate();
    }

    // A stamped kart's shadow stays where the stamper caught it.
    if (m_stamperTimer == 0.0f) {
        Matrix4x3 shadow = pose;
        shadow[13] = m_rayHeight[BODY_RAY] + SHADOW_LIFT;
        m_netShadowMatrix = shadow;
        if (m_shadowObject) {
            m_shadowObject->m_poseMode = 1;
            m_shadowObject->m_poseMatrix = shadow;
            m_shadowObject->invalidate();
        }
    }

    for (int i = 0; i < 3; ++i) m_forward[i] = pose[8 + i];
    if (m_cameraTarget) {
        m_cameraTarget->setPosition({next.x, next.y + CAMERA_LIFT, next.z});
        m_cameraTarget->invalidate();
    }
}

void VehicleMaster::writeReplicatedValues(const Position3& next) {
    m_netPos = next;
    m_netDir = Normal3{m_heading[0], m_heading[1], m_heading[2]};
    m_speed = m_curSpeed;
    if (!m_colObject) return;
    m_colObject->invalidate();
    m_netColPos = translationOf(*m_colObject, 0.0);
}

void VehicleMaster::resolveObstacle() {
    dBodyID body = m_obstacle ? m_obstacle->m_body : nullptr;
    float depth = m_obstacleDepth;
    m_obstacleDepth = 0.0f;
    // The physics library stops on a push at a geom without a body.
    if (!body) return;
    dBodyEnable(body);
    dMass mass;
    dBodyGetMass(body, &mass);
    float weight = std::trunc(static_cast<float>(mass.mass));
    const float normal[3] = {m_obstacleNormal.x, m_obstacleNormal.y, m_obstacleNormal.z};
    dReal force[3];
    for (int i = 0; i < 3; ++i) force[i] = std::max(-PUSH_LIMIT, std::min(normal[i] * depth * PUSH_FORCE, PUSH_LIMIT));
    dBodyAddForceAtPos(body, force[0], force[1], force[2], m_obstaclePos.x, m_obstaclePos.y, m_obstaclePos.z);

    // Heavier obstacles and deeper contacts slow the kart more; a heavy one bounces it back.
    for (int i = 0; i < 3; ++i) m_slideVelocity[i] -= normal[i] * weight * depth / PUSH_SPEED_DIVISOR;
    m_curSpeed -= vectorLength(normal) / PUSH_SPEED_DIVISOR * depth * weight;
    if (m_curSpeed < 0.0f) m_curSpeed = 0.0f;
    if (m_curSpeed == 0.0f) {
        m_curSpeed = BOUNCE_SPEED;
        m_reversing = true;
        if (toUnit(m_slideVelocity))
            for (float& component : m_slideVelocity) component *= -BOUNCE_SPEED;
    }
    playSound(SOUND_HIT_OBJECT, m_obstaclePos, m_heading);
    announceSound(SOUND_HIT_OBJECT, m_obstaclePos);
}

void VehicleMaster::resolveWall(Position3& next, const Position3& start, const float direction[3]) {
    if (m_curSpeed > HIT_SOUND_SPEED) playUnlessPlaying(SOUND_HIT_WALL);
    // The normal points from the wall to the kart: the impact angle is negative going in.
    const Normal3 n = m_wallNormal;
    const Position3 normal = toPosition(n), along = toPosition(direction);
    float impact = std::asin(std::max(-1.0f, std::min(dot(along, normal), 1.0f))) * DEGREES_PER_RADIAN;
    float side = cross(normal, along).y;
    bool computer = m_controller && m_controller->isComputer();
    float limit = computer ? COMPUTER_SLIDE_LIMIT : HUMAN_SLIDE_LIMIT;

    if (isLeaningOnWall()) {
        // Too slow to slide: it stands at the wall, pushing, and slides or bounces once it has gathered speed.
        m_wallHeld = true;
        pushOutOfWall(next);
    } else if (impact > -limit && m_curSpeed > SLIDE_MIN_SPEED && side != 0.0f) {
        // Along the wall, the way the kart was going.
        float way = side < 0.0f ? 1.0f : -1.0f;
        if (m_reversing) {
            way = -way;
            m_wallHit = true;
        }
        m_heading[0] = -n.z * way;
        m_heading[1] = 0.0f;
        m_heading[2] = n.x * way;
        m_curSpeed *= (impact + 90.0f) / 90.0f;
        pushOutOfWall(next);
    } else {
        if (m_curSpeed > CRASH_SPEED) startHitMotion();
        m_curSpeed = std::min(m_curSpeed * CRASH_SLOWDOWN, CRASH_SPEED);
        next.x = m_lastPos.x;
        next.z = m_lastPos.z;
        m_reversing = true;
        m_wallHit = true;
    }

    float way = m_reversing ? -1.0f : 1.0f;
    float travel = way * m_curSpeed;
    for (int i = 0; i < 3; ++i) m_slideVelocity[i] = way * m_heading[i];
    next.x += m_heading[0] * travel;
    next.y = start.y + m_heading[1] * travel;
    next.z += m_heading[2] * travel;
}

void VehicleMaster::pushOutOfWall(Position3& next) const {
    float scaleX = m_object ? m_object->m_channels[SceneItem::SCALE_X].evaluate(0.0) : m_scale;
    float reach = (m_radius + WALL_CLEARANCE) * scaleX;
    next.x = m_wallPos.x + m_wallNormal.x * reach;
    next.z = m_wallPos.z + m_wallNormal.z * reach;
}

void VehicleMaster::resolveGround(Position3& next) {
    float sum = 0.0f;
    int touching = 0;
    for (int wheel = 0; wheel < WHEELS; ++wheel) {
        if (m_rayHeight[wheel] == NO_GROUND) continue;
        sum += m_rayHeight[wheel];
        ++touching;
    }
    float before = m_newPos.y;
    m_newPos = next;
    m_fallSpeed = std::min(m_fallSpeed + m_settings->m_fallStep, MAX_CLIMB);
    float fallTo = next.y + m_settings->m_fallFactor * m_fallSpeed;
    // Snaps up onto the ground, never down to it: leaving a ramp the kart keeps its climb.
    if (touching > 0 && sum / touching > fallTo) {
        next.y = sum / touching;
        m_fallSpeed = next.y - before;
        m_airborne = false;
        return;
    }
    next.y = fallTo;
    m_airborne = true;
}

void VehicleMaster::resolveBump(Position3& next) {
    if (m_shrinkTimer != 0.0f) {
        // A shrunk kart that another kart touches is squashed; the bump waits for the next step.
        m_shrinkTimer = 0.0f;
        onStampfer();
        return;
    }
    next.x += m_bumpNormal.x * (m_bumpDepth + BUMP_CLEARANCE);
    next.z += m_bumpNormal.z * (m_bumpDepth + BUMP_CLEARANCE);
    float other = m_bumpOther ? m_bumpOther->getSpeed() : 0.0f;
    if (!std::isfinite(other) || other < 0.0f) other = 0.0f;
    if (m_curSpeed > HIT_SOUND_SPEED || other > HIT_SOUND_SPEED) playUnlessPlaying(SOUND_HIT_OBJECT);
    m_fallSpeed = 0.0f;
    m_curSpeed = (other + m_curSpeed) * 0.5f;
    m_bumpDepth = 0.0f;
}
