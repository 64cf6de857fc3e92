#include "game/karts/VehicleMaster.h"

#include <cmath>
#include <cstring>
#include <memory>

#include <ode/collision.h>
#include <ode/objects.h>

#include "engine/platform/archive/File.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "game/drivers/Controller.h"
#include "game/karts/VehicleSettings.h"
#include "game/race/Race.h"
#include "game/records/Config.h"

namespace {

constexpr int32_t RAY_SURFACE = 5;
constexpr int32_t RAY_SPACE = 3;
constexpr uint32_t RESPAWN_RECORD = 16;
constexpr double BODY_RAY_LENGTH = 40.0;

Position3 translationOf(const Matrix4x3& m) { return {m.m[12], m.m[13], m.m[14]}; }

float littleEndianFloat(const uint8_t* bytes) {
    uint32_t bits = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void aimRay(SceneObject* ray, const Position3& start, double length, bool firstContact) {
    auto* geomObject = static_cast<ODEGeomObject*>(ray);
    if (!geomObject || !geomObject->m_geom) return;
    dGeomID geom = geomObject->m_geom;
    dGeomRaySet(geom, start.x, start.y, start.z, 0.0, -1.0, 0.0);
    dGeomRaySetLength(geom, length);
    dGeomRaySetFirstContact(geom, firstContact ? 1 : 0);
    dGeomRaySetBackfaceCull(geom, 1);
    dGeomRaySetClosestHit(geom, 0);
}

} // namespace

VehicleMaster::VehicleMaster(const std::string& mopedFile, LW6Scene* scene, std::unique_ptr<Controller> controller,
                             int32_t index, uint32_t* vehicleRecord, std::unique_ptr<VehicleSettings> settings,
                             int32_t startingPlace, float radius, float scale, NetControl& client)
    : Vehicle(mopedFile, scene, std::move(controller), index, vehicleRecord, std::move(settings), startingPlace,
              radius, scale, client),
      m_curSpeed(m_settings->m_rolling + 0.000001f), m_maxSpeed(m_settings->m_maxSpeed),
      m_slideFactor(m_settings->m_handling5) {
    // Its own state is never taken from the network: no other computer rides it.
    setReplicationFlags(NetValueBase::FLAG_SEND);

    Position3 at = {0.0f, 0.0f, 0.0f};
    if (placeAtStart(at)) {
        Matrix4x3 world;
        if (m_object) m_matrix.set(m_object->getMatrix(world, 0.0, 1));
        m_netPos.set(at);
    } else if (m_object) {
        // No start of its own: the kart stays where its objects are.
        Matrix4x3 world;
        at = translationOf(m_object->getMatrix(world, 0.0, 1));
    }
    m_lastPos = m_newPos = at;
    createRays();
    for (int k = 0; k < RAYS; ++k) m_rayHeight[k] = m_lastPos.y;
    for (int k = 0; k < BODY_RAY; ++k) m_groundNormals[k].assign(NORMAL_HISTORY, Normal3{0.0f, 1.0f, 0.0f});
    Position3 here = m_lastPos;
    aimRays({here.x, here.y + 1.0f, here.z}, 4.0, true);

    if (m_object) {
        Matrix4x3 world;
        m_object->getMatrix(world, 0.0, 1);
        float z[3] = {world.m[8], world.m[9], world.m[10]};
        if (vectorLength(z) > 0.0f && std::isfinite(vectorLength(z))) {
            normalize(z);
            std::memcpy(m_heading, z, sizeof m_heading);
        }
    }
    m_netAngle.set(yawOf(m_heading));
    std::memcpy(m_forward, m_heading, sizeof m_heading);
    std::memcpy(m_slideVelocity, m_heading, sizeof m_heading);
    m_extra.set(0);
    m_targetLocked.set(-1);
    m_rocketPos.set(Position3{0.0f, 0.0f, 0.0f});
    m_effectMagnetPos.set(Position3{0.0f, -100.0f, 0.0f});
    for (size_t j = 0; j < SOAP_SLOTS; ++j) m_extraSoap[j].set(0.0f);
    m_extraFroster.set(0.0f);
    m_extraShrinker.set(0.0f);

    // The motions of a rider hit by soap or a froster, when the moped scene has them.
    m_trackSoap = findIndexByName(m_actor, "Soap");
    m_trackFroster = findIndexByName(m_actor, "Froster");
    copyMotionToNet();
    readRespawnPoints();
}

VehicleMaster::~VehicleMaster() = default;

Position3& VehicleMaster::getPosition(Position3& out) {
    if (!m_object) {
        out = m_newPos;
        return out;
    }
    Matrix4x3 world;
    out = translationOf(m_object->getMatrix(world, 0.0, 1));
    return out;
}

void VehicleMaster::createRays() {
    if (!m_scene) return;
    const float unit[3] = {1.0f, 1.0f, 1.0f};
    for (int k = 0; k < RAYS; ++k) {
        m_ray[k] = m_scene->createRayGeom(unit, RAY_SURFACE, RAY_SPACE);
        if (m_ray[k]) m_ray[k]->m_ownerIndex = m_index * RAYS + k;
    }
}

void VehicleMaster::aimRays(const Position3& bodyStart, double wheelRayLength, bool firstContact) {
    for (int k = 0; k < BODY_RAY; ++k) {
        SceneObject* wheel = m_wheelObject[k];
        // Without its wheel a ray looks down from where the body ray does.
        Position3 start = {bodyStart.x, bodyStart.y, bodyStart.z};
        if (wheel) {
            wheel->updateMatrix(0.0);
            Position3 pivot = wheel->m_pivot;
            transformPoint4x3(pivot, wheel->m_worldMatrix);
            start = {pivot.x, pivot.y + 1.0f, pivot.z};
        }
        aimRay(m_ray[k], start, wheelRayLength, firstContact);
    }
    aimRay(m_ray[BODY_RAY], bodyStart, BODY_RAY_LENGTH, firstContact);
}

void VehicleMaster::readRespawnPoints() {
    m_respawnPoints.clear();
    const int32_t track = g_race && g_race->m_config ? g_race->m_config->m_track.get() : -1;
    if (!g_fileSystem || track < 0 || track > 5) return;
    const std::string name = "D:\\Vantorik\\ai_files\\track0" + std::to_string(track + 1) + "\\ai_respawn.dat";
    // A clone of our own, so the shared source's open file is left alone and ours is closed.
    std::unique_ptr<File> file(g_fileSystem->clone());
    if (!file || !file->open(name.c_str())) return;
    uint8_t record[RESPAWN_RECORD];
    while (m_respawnPoints.size() < MAX_RESPAWN_POINTS && file->readFully(record, RESPAWN_RECORD) == RESPAWN_RECORD) {
        const Position3 point = {littleEndianFloat(record), littleEndianFloat(record + 4) + 0.3f,
                                 littleEndianFloat(record + 8)};
        if (std::isfinite(point.x) && std::isfinite(point.y) && std::isfinite(point.z)) m_respawnPoints.push_back(point);
    }
    file->close();
}
