#include "game/karts/VehicleClient.h"

#include <cmath>

#include <ode/objects.h>

#include "engine/platform/audio/Sound.h"
#include "engine/scene/Actor.h"
#include "engine/scene/ActorTrack.h"
#include "engine/scene/SceneObject.h"
#include "game/drivers/Controller.h"
#include "game/karts/VehicleSettings.h"

namespace {

bool finite(const Position3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }
bool finite(const Normal3& n) { return std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z); }
bool finite(const Matrix4x3& m) {
    for (float f : m.m)
        if (!std::isfinite(f)) return false;
    return true;
}
bool samePosition(const Position3& a, const Position3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

template <typename T>
const T& keepFinite(const T& received, T& kept) {
    if (finite(received)) kept = received;
    return kept;
}

// Shows the object at the matrix with its translation moved to the position.
void poseAt(SceneObject* object, Matrix4x3 matrix, const Position3& position) {
    if (!object) return;
    matrix.m[12] = position.x;
    matrix.m[13] = position.y;
    matrix.m[14] = position.z;
    object->m_poseMode = 1;
    object->m_poseMatrix = matrix;
    object->invalidate();
}

} // namespace

VehicleClient::VehicleClient(const std::string& mopedFile, LW6Scene* scene, std::unique_ptr<Controller> controller,
                             int32_t index, uint32_t* vehicleRecord, std::unique_ptr<VehicleSettings> settings,
                             int32_t startingPlace, float radius, float scale, NetControl& client)
    : Vehicle(mopedFile, scene, std::move(controller), index, vehicleRecord, std::move(settings), startingPlace,
              radius, scale, client) {
    setReplicationFlags(NetValueBase::FLAG_RECEIVE);
    Position3 at;
    if (placeAtStart(at)) {
        Matrix4x3 world;
        if (m_object) m_netAngle.set(yawOf(&m_object->getMatrix(world, 0.0, 1).m[8]));
        m_netPos.set(at);
    }
    copyMotionToNet();
}


Position3& VehicleClient::getPosition(Position3& out) {
    out = m_netPos.get();
    return out;
}

void VehicleClient::update(double time, double dt) {
    if (m_controller) m_controller->update(false, false);
    const float speed = std::isfinite(m_speed.get()) ? (m_finiteSpeed = m_speed.get()) : m_finiteSpeed;
    turnWheels(speed * 4.0f, 2);

    // A broken position counts as no news; the kart carries on, but only while it races.
    const Position3 received = finite(m_netPos.get()) ? m_netPos.get() : m_lastNetPos;
    const Normal3& dir = keepFinite(m_netDir.get(), m_finiteDir);
    if (m_hasPosition && samePosition(received, m_lastNetPos)) {
        if (m_active.get()) {
            m_position.x += dir.x * speed;
            m_position.y += dir.y * speed;
            m_position.z += dir.z * speed;
        }
    } else {
        m_position = received;
    }
    m_lastNetPos = received;
    m_hasPosition = true;

    poseAt(m_object, keepFinite(m_matrix.get(), m_finiteMatrix), m_position);
    poseAt(m_shadowObject, keepFinite(m_netShadowMatrix.get(), m_finiteShadowMatrix),
           {m_position.x, m_position.y + 0.1f, m_position.z});
    if (m_colObject) {
        m_colObject->setPosition(keepFinite(m_netColPos.get(), m_finiteColPos));
        m_colObject->invalidate();
        m_colObject->updateMatrix(time);
    }
    hidePickUp();
    pushObstacle();
    playAnnouncedSounds();
    m_soundStart.set(0);
    m_soundStop.set(0);
}

void VehicleClient::pushObstacle() {
    if (m_obstacleDepth == 0.0f) return;
    if (m_obstacle && m_obstacle->m_body) {
        const float push = m_obstacleDepth * 1000.0f;
        dBodyEnable(m_obstacle->m_body);
        dBodyAddForceAtPos(m_obstacle->m_body, m_obstacleNormal.x * push, m_obstacleNormal.y * push,
                           m_obstacleNormal.z * push, m_obstaclePos.x, m_obstaclePos.y, m_obstaclePos.z);
    }
    m_obstacleDepth = 0.0f;
    Position3 here;
    playSound(SOUND_HIT_OBJECT, getPosition(here), getDirection());
}

void VehicleClient::playAnnouncedSounds() {
    static const float UP[3] = {0.0f, 1.0f, 0.0f};
    const int32_t start = m_soundStart.get();
    if (start == SOUND_PICKUP || start == 6 || start == SOUND_RESPAWN)
        playSound(start, m_soundPosition.get(), UP);
    const int32_t stop = m_soundStop.get();
    if ((stop == 8 || stop == SOUND_BOOST || stop == SOUND_PROTECTION) && m_sounds[stop]) m_sounds[stop]->stop();
}

void VehicleClient::animate(double time) {
    for (int32_t i = 0; i < trackCount(); ++i) {
        ActorTrack* track = m_actor->m_tracks[i];
        if (!track) continue;
        const float intensity = m_netMotionIntensity[i].get();
        const float speed = m_netMotionSpeed[i].get();
        const float offset = m_netMotionOffset[i].get();
        // Values from the network drive the rider's figure only when they are numbers.
        if (std::isfinite(intensity)) track->setIntensity(intensity);
        if (std::isfinite(speed)) track->setSpeed(speed);
        if (std::isfinite(offset)) track->setOffset(offset);
    }
}
