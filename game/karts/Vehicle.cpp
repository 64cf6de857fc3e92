#include "game/karts/Vehicle.h"

#include <algorithm>
#include <cmath>

#include <ode/objects.h>

#include "engine/platform/Random.h"
#include "engine/platform/Report.h"
#include "engine/platform/animation/MotionMixer.h"
#include "engine/platform/audio/SampleStream.h"
#include "engine/platform/audio/Sound.h"
#include "engine/scene/Actor.h"
#include "engine/scene/ActorTrack.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/SceneObject.h"
#include "game/drivers/Controller.h"
#include "game/karts/RiderValueIds.h"
#include "game/karts/VehicleSettings.h"
#include "game/race/Race.h"
#include "sys/Pi.h"

namespace {

const Position3 ORIGIN = {0.0f, 0.0f, 0.0f};
const Position3 BELOW_TRACK = {0.0f, -100.0f, 0.0f};
const Position3 OUT_OF_EARSHOT = {0.0f, -10000.0f, 0.0f};
// The highest rider index whose nids stay clear of the next value's.
constexpr int32_t MAX_RIDER_INDEX = 6;

const char* const SHADOW_FILE = "D:\\Vantorik/3dobjects_cars/kart_shadow.lwo";
const char* const MAGNET_FILE = "D:\\Skorvitane/3dobjects_extras/magnet.lwo";
const char* const MINE_FILE = "D:\\Skorvitane/3dobjects_extras/miene_02.lwo";
const char* const ROCKET_FILES[2] = {"D:\\Skorvitane/3dobjects_extras/rakete_2.lwo",
                                     "D:\\Skorvitane/3dobjects_extras/rakete_1.lwo"};
const char* const BUBBLE_FILE = "D:\\Skorvitane/3dobjects_extras/bubble.lwo";
const char* const LASER_FILES[2] = {"D:\\Skorvitane/3dobjects_cars/laserstrahl1.lwo",
                                    "D:\\Skorvitane/3dobjects_cars/laserstrahl2.lwo"};
const char* const WEIGHT_FILE = "D:\\Skorvitane/3dobjects_extras/16_tonnen.lwo";

// Draw rows by rider count (0 to 5) and place (0 to 4).
const int32_t EXTRA_ROWS[30] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1,
                                0, 1, 2, 2, 2, 0, 1, 1, 2, 2, 0, 1, 1, 2, 2};
// Cumulative percentages of the first nine kinds of each row.
const int32_t EXTRA_THRESHOLDS[3][9] = {{25, 30, 40, 50, 55, 65, 80, 85, 95},
                                        {10, 20, 30, 40, 50, 60, 70, 80, 90},
                                        {5, 10, 20, 30, 60, 65, 80, 85, 95}};
const int32_t EXTRA_KINDS[10] = {1, 2, 3, 4, 5, 6, 7, 10, 11, 12};

void moveOutOfSight(SceneObject* object) {
    if (object) object->setPosition(BELOW_TRACK);
}

Position3 translationOf(const Matrix4x3& m) { return {m.m[12], m.m[13], m.m[14]}; }

// Heading, pitch and bank; pitch and bank mirrored as the start nulls carry them.
void setRotation(SceneObject& object, float heading, float pitch, float bank) {
    object.m_channels[SceneItem::HEADING].constant = heading;
    object.m_channels[SceneItem::PITCH].constant = -pitch;
    object.m_channels[SceneItem::BANK].constant = -bank;
}

void setScale(SceneObject& object, float scale) {
    for (int axis = 0; axis < 3; ++axis) object.m_channels[SceneItem::SCALE_X + axis].constant = scale;
}

void syncBodyRotation(SceneObject& object) {
    if (!object.m_body) return;
    dMatrix3 rotation;
    object.getODERotation(rotation, 0.0);
    dBodySetRotation(object.m_body, rotation);
}

} // namespace

Vehicle::Vehicle(const std::string& mopedFile, LW6Scene* scene, std::unique_ptr<Controller> controller, int32_t index,
                 uint32_t* vehicleRecord, std::unique_ptr<VehicleSettings> settings, int32_t startingPlace,
                 float radius, float scale, NetControl& client)
    : m_radius(radius), m_scale(scale), m_scene(scene), m_controller(std::move(controller)),
      m_settings(std::move(settings)),
      m_index(index), m_mopedFile(mopedFile), m_vehicleRecord(vehicleRecord), m_startingPlace(startingPlace),
      m_client(client) {
    ENGINE_ASSERT(index >= 0 && index <= MAX_RIDER_INDEX && "rider index out of range");
    if (!m_settings) m_settings = std::make_unique<VehicleSettings>(0, std::string());
    registerValues();
    findSceneObjects();
    findActorTracks();
}

Vehicle::~Vehicle() = default;

template <typename T>
void Vehicle::replicate(NetValue<T>& value, RiderValueIds::Id id, const T& initial, const char* name) {
    value.init(RiderValueIds::nidOf(id, m_index), initial);
    value.setName(name);
    m_replicated.push_back(&value);
}

template <typename T, size_t N>
void Vehicle::replicate(NetValueArray<T, N>& row, RiderValueIds::Id id, const T& initial, const char* name) {
    row.init(RiderValueIds::nidOf(id, m_index), initial, name);
    for (size_t j = 0; j < N; ++j) m_replicated.push_back(&row[j]);
}

void Vehicle::setReplicationFlags(uint32_t flags) {
    // What other computers write too is taken from the network and sent by every copy.
    for (NetValueBase* value : m_replicated)
        value->setFlags(RiderValueIds::othersWrite(value->getNid()) ? NetValueBase::FLAG_RECEIVE | NetValueBase::FLAG_SEND
                                                                    : flags);
}

void Vehicle::registerValues() {
    using namespace RiderValueIds;
    const Matrix4x3 identity = Matrix4x3::identity();
    replicate(m_netPos, NET_POS, ORIGIN, "m_netPos[]");
    replicate(m_netDir, NET_DIR, Normal3{0.0f, 1.0f, 0.0f}, "m_netDir[]");
    replicate(m_lap, LAP, -1, "m_lap[]");
    replicate(m_rank, RANK, 0, "m_rank[]");
    replicate(m_trackTime, TRACK_TIME, 0.0f, "m_trackTime[]");
    replicate(m_netAngle, NET_ANGLE, 0.0f, "m_netAngle[]");
    replicate(m_extra, EXTRA, 0, "m_extra[]");
    replicate(m_trackFinished, TRACK_FINISHED, false, "m_trackFinished[]");
    replicate(m_effectMagnetPos, EFFECT_MAGNET_POS, BELOW_TRACK, "m_effectMagnetPos[]");
    replicate(m_speed, SPEED, 0.0f, "m_speed[]");
    replicate(m_matrix, MATRIX, identity, "m_matrix");
    replicate(m_cameraReset, CAMERA_RESET, true, "m_cameraReset[]");
    replicate(m_netMotionIntensity, MOTION_INTENSITY, 0.0f, "m_netMotionIntensity");
    replicate(m_netMotionSpeed, MOTION_SPEED, 0.0f, "m_netMotionSpeed");
    replicate(m_netMotionOffset, MOTION_OFFSET, 0.0f, "m_netMotionOffset");
    replicate(m_rocketPos, ROCKET_POS, BELOW_TRACK, "m_rocketPos[]");
    replicate(m_rocketFired, ROCKET_FIRED, 0, "m_rocketFired[]");
    replicate(m_rocketAngle, ROCKET_ANGLE, 0.0f, "m_rocketAngle[]");
    replicate(m_rocketAngle2, ROCKET_ANGLE2, 0.0f, "m_rocketAngle2[]");
    replicate(m_rocketIndex, ROCKET_INDEX, 0, "m_rocketIndex");
    replicate(m_targetLocked, TARGET_LOCKED, -1, "m_targetLocked");
    replicate(m_explosion, EXPLOSION, BELOW_TRACK, "m_explosion[]");
    replicate(m_explosionBr, EXPLOSION_BR, 0.0f, "m_explosionBr[]");
    replicate(m_explosionType, EXPLOSION_TYPE, 0, "m_explosionType");
    replicate(m_soundStart, SOUND_START, 0, "m_soundStart");
    replicate(m_soundStop, SOUND_STOP, 0, "m_soundStop");
    replicate(m_soundPosition, SOUND_POSITION, OUT_OF_EARSHOT, "m_soundPosition");
    replicate(m_active, ACTIVE, false, "m_active");
    replicate(m_extraRocket, EXTRA_ROCKET, 0.0f, "m_extraRocket");
    replicate(m_effectMagnetObjectIndex, EFFECT_MAGNET_OBJECT_INDEX, -1, "m_effectMagnetObjectIndex");
    replicate(m_extraFlash, EXTRA_FLASH, 0.0f, "m_extraFlash");
    replicate(m_extraWeight, EXTRA_WEIGHT, 0.0f, "m_extraWeight");
    replicate(m_extraWeightPos, EXTRA_WEIGHT_POS, BELOW_TRACK, "m_extraWeightPos");
    replicate(m_effectWeightObjectIndex, EFFECT_WEIGHT_OBJECT_INDEX, -1, "m_effectWeightObjectIndex");
    replicate(m_extraMinePos, EXTRA_MINE_POS, BELOW_TRACK, "m_extraMinePos");
    replicate(m_extraMineIndex, EXTRA_MINE_INDEX, -1, "m_extraMineIndex");
    replicate(m_extraShrinker, EXTRA_SHRINKER, 0.0f, "m_extraShrinker");
    replicate(m_extraShrinkerPos, EXTRA_SHRINKER_POS, BELOW_TRACK, "m_extraShrinkerPos");
    replicate(m_extraShrinkerIndex, EXTRA_SHRINKER_INDEX, -1, "m_extraShrinkerIndex");
    replicate(m_extraShrinkerAngle, EXTRA_SHRINKER_ANGLE, 0.0f, "m_extraShrinkerAngle");
    replicate(m_extraShrinkerAngle2, EXTRA_SHRINKER_ANGLE2, 0.0f, "m_extraShrinkerAngle2");
    replicate(m_extraFroster, EXTRA_FROSTER, 0.0f, "m_extraFroster");
    replicate(m_extraFrosterPos, EXTRA_FROSTER_POS, BELOW_TRACK, "m_extraFrosterPos");
    replicate(m_extraFrosterIndex, EXTRA_FROSTER_INDEX, -1, "m_extraFrosterIndex");
    replicate(m_extraFrosterAngle, EXTRA_FROSTER_ANGLE, 0.0f, "m_extraFrosterAngle");
    replicate(m_extraFrosterAngle2, EXTRA_FROSTER_ANGLE2, 0.0f, "m_extraFrosterAngle2");
    replicate(m_extraOil, EXTRA_OIL, 0.0f, "m_extraOil");
    replicate(m_extraOilPos, EXTRA_OIL_POS, BELOW_TRACK, "m_extraOilPos");
    replicate(m_extraOilIndex, EXTRA_OIL_INDEX, -1, "m_extraOilIndex");
    replicate(m_netShadowMatrix, NET_SHADOW_MATRIX, identity, "m_netShadowMatrix");
    replicate(m_netColPos, NET_COL_POS, BELOW_TRACK, "m_netColPos");
    replicate(m_extraSoap, EXTRA_SOAP, 0.0f, "m_extraSoap");
    replicate(m_extraSoapPos, EXTRA_SOAP_POS, BELOW_TRACK, "m_extraSoapPos");
    replicate(m_extraSoapIndex, EXTRA_SOAP_INDEX, -1, "m_extraSoapIndex");
}

void Vehicle::findSceneObjects() {
    if (!m_scene) return;
    const int32_t instance = m_index + 1;
    m_object = m_scene->getObject("car_Ctrl", -1, instance);
    m_poseObject = m_object;
    m_colObject = m_scene->getObject("col", -1, instance);
    if (m_colObject) m_colObject->m_ownerIndex = m_index;
    m_cameraTarget = m_scene->getObject("CameraTarget", -1, instance);

    // Two riders on the same moped each take their own copy of its objects.
    int32_t mopedInstance = 1;
    for (int32_t j = 0; g_race && j < m_index && j < Race::MAX_VEHICLES; ++j)
        if (g_race->m_vehicles[j] && g_race->m_vehicles[j]->m_mopedFile == m_mopedFile) ++mopedInstance;
    m_wheelObject[0] = m_wheelObject[2] = m_scene->getObject(m_mopedFile, 2, mopedInstance);
    m_wheelObject[1] = m_wheelObject[3] = m_scene->getObject(m_mopedFile, 3, mopedInstance);

    m_shadowObject = m_scene->getObject(SHADOW_FILE, 0, instance);
    m_magnetObject = m_scene->getObject(MAGNET_FILE, 0, instance);
    moveOutOfSight(m_magnetObject);
    m_mineObject = m_scene->getObject(MINE_FILE, 0, instance);
    moveOutOfSight(m_mineObject);
    for (int k = 0; k < 2; ++k) {
        m_rocketObject[k] = m_scene->getObject(ROCKET_FILES[k], 0, instance);
        if (m_rocketObject[k]) m_rocketObject[k]->m_ownerIndex = m_index;
    }
    for (int k = 0; k < SOAP_SLOTS; ++k) {
        SceneObject* bubble = m_scene->getObject(BUBBLE_FILE, 0, 4 * m_index + 2 + k);
        m_bubbleObject[k] = bubble;
        if (!bubble) continue;
        bubble->setPosition(BELOW_TRACK);
        for (int axis = 0; axis < 3; ++axis) bubble->m_channels[SceneItem::SCALE_X + axis].constant = 0.2f;
    }
    for (int k = 0; k < 2; ++k) {
        m_laserObject[k] = m_scene->getObject(LASER_FILES[k], 0, instance);
        moveOutOfSight(m_laserObject[k]);
    }
    m_weightObject = m_scene->getObject(WEIGHT_FILE, 0, instance);
    moveOutOfSight(m_weightObject);
}

void Vehicle::findActorTracks() {
    m_actor = m_scene ? m_scene->findActor("moped", m_index) : nullptr;
    if (!m_actor) return;
    m_trackLeft = findIndexByName(m_actor, "Left");
    m_trackRight = findIndexByName(m_actor, "Right");
    m_trackCrash = findIndexByName(m_actor, "Crash");
    // A squash plays the tumble; the stamper has no motion of its own.
    m_trackCrushed = m_trackCrash;
    silenceActor();
}

void Vehicle::setExtra(int32_t kind) { m_extra.set(kind); }

int32_t Vehicle::chooseExtra() {
    const int32_t r = Random::next() % 100;
    const int32_t riders = g_race ? g_race->m_vehicleCount : 1;
    const int32_t place = m_rank.get();
    // A rank from the network may be anything: outside the table draws as a leader.
    int32_t row = 0;
    if (riders >= 0 && riders <= 5 && place >= 0 && place <= 4) row = EXTRA_ROWS[riders * 5 + place];
    for (int32_t slot = 0; slot < 9; ++slot)
        if (r < EXTRA_THRESHOLDS[row][slot]) return EXTRA_KINDS[slot];
    return EXTRA_KINDS[9];
}

void Vehicle::pickUpExtra(SceneObject* pickUp) {
    m_pickUp = pickUp;
    setExtra(chooseExtra());
    Position3 position;
    getPosition(position);
    playSound(SOUND_PICKUP, position, getDirection());
    announceSound(SOUND_PICKUP, position);
}

void Vehicle::playSound(int32_t id, const Position3& position, const float orientation[3], bool loop) {
    if (id < 0 || id >= SOUND_SLOTS || !m_sounds[id]) return;
    Sound& sound = *m_sounds[id];
    sound.set3D(position.x, position.y, position.z, orientation[0], orientation[1], orientation[2], 0.0f, 0.0f,
                0.0f);
    sound.play(loop);
}

void Vehicle::announceSound(int32_t id, const Position3& position) {
    *m_soundStart.modify() = id;
    *m_soundPosition.modify() = position;
}

float Vehicle::yawOf(const float direction[3]) {
    if (!std::isfinite(direction[0]) || !std::isfinite(direction[2])) return 0.0f;
    return std::atan2(direction[0], direction[2]);
}

void Vehicle::turnTo(SceneObject* object, float yaw) {
    if (!object) return;
    object->m_channels[SceneItem::HEADING].constant = yaw;
    object->m_channels[SceneItem::PITCH].constant = 0.0f;
    object->m_channels[SceneItem::BANK].constant = 0.0f;
    object->invalidate();
    if (!object->m_body) return;
    dMatrix3 rotation;
    object->getODERotation(rotation, 0.0);
    dBodySetRotation(object->m_body, rotation);
}

int32_t Vehicle::trackCount() const {
    if (!m_actor) return 0;
    return static_cast<int32_t>(std::min<size_t>(m_actor->m_tracks.size(), MOTION_TRACKS));
}

void Vehicle::copyMotionToNet() {
    for (int32_t i = 0; i < trackCount(); ++i) {
        const ActorTrack* track = m_actor->m_tracks[i];
        if (!track || track->m_entries.empty()) continue;
        const auto& [mixer, member] = track->m_entries.front();
        m_netMotionIntensity[i].set(mixer->getIntensity(member));
        m_netMotionSpeed[i].set(mixer->getSpeed(member));
        m_netMotionOffset[i].set(mixer->getOffset(member));
    }
}

void Vehicle::silenceActor() {
    if (!m_actor) return;
    for (ActorTrack* track : m_actor->m_tracks)
        if (track) track->setIntensity(0.0f);
}

int32_t findIndexByName(const Actor* actor, const std::string& name) {
    if (!actor) return -1;
    for (size_t i = 0; i < actor->m_tracks.size(); ++i)
        if (actor->m_tracks[i] && actor->m_tracks[i]->m_name == name) return static_cast<int32_t>(i);
    return -1;
}

bool Vehicle::placeAtStart(Position3& at) {
    const int32_t number = g_race ? g_race->gridStart(m_index) : m_index + 1;
    SceneObject* start = m_scene ? m_scene->getObject("start", -1, number) : nullptr;
    if (!start) return false;
    Matrix4x3 world;
    at = translationOf(start->getMatrix(world, 0.0, 1));
    const float heading = start->m_channels[SceneItem::HEADING].evaluate(0.0);
    const float pitch = start->m_channels[SceneItem::PITCH].evaluate(0.0);
    const float bank = start->m_channels[SceneItem::BANK].evaluate(0.0);
    if (m_object) {
        m_object->setPosition(at);
        setRotation(*m_object, heading, pitch, bank);
        setScale(*m_object, m_scale);
        m_object->invalidate();
        syncBodyRotation(*m_object);
    }
    if (m_colObject) {
        setScale(*m_colObject, m_radius * m_scale);
        m_colObject->setPosition(at);
        setRotation(*m_colObject, heading, pitch, bank);
        m_colObject->invalidate();
        syncBodyRotation(*m_colObject);
        m_colObject->updateMatrix(0.0);
    }
    if (m_shadowObject) {
        m_shadowObject->setPosition({at.x, at.y + 0.1f, at.z});
        setRotation(*m_shadowObject, heading, pitch, bank);
        m_shadowObject->invalidate();
        m_shadowObject->updateMatrix(0.0);
    }
    if (m_cameraTarget) {
        m_cameraTarget->setPosition({at.x, at.y + 1.0f, at.z});
        m_cameraTarget->invalidate();
    }
    return true;
}

void Vehicle::turnWheels(float angle, int count) {
    if (!m_wheelObject[0]) return;
    float r[3];
    m_wheelObject[0]->applyControllers(r, 0.0);
    // Kept within one turn so the angle never grows past float precision in a long race.
    r[0] = std::remainder(r[0] + angle, 2.0f * PI);
    for (int k = 0; k < count && k < WHEELS; ++k) {
        if (!m_wheelObject[k]) continue;
        m_wheelObject[k]->setRotation(r, false);
        m_wheelObject[k]->invalidate();
    }
}

void Vehicle::hidePickUp() {
    if (!m_pickUp) return;
    Matrix4x3 world;
    const Position3 at = translationOf(m_pickUp->getMatrix(world, 0.0, 1));
    m_pickUp->setPosition({at.x, at.y - 100.0f, at.z});
    m_pickUp->invalidate();
    m_pickUp->updateMatrix(0.0);
    m_pickUp->m_hiddenTime = 10.0f;
    m_pickUp = nullptr;
}
