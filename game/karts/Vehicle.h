#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/Math3D.h"
#include "game/karts/RiderValueIds.h"
#include "game/records/Config.h"
#include "net/NetValue.h"
#include "net/NetValueArray.h"

class Actor;
class Controller;
class LW6Scene;
class SampleStream;
class SceneObject;
class Sound;
class Surface;
class Texture;
class VehicleClient;
class VehicleMaster;
class VehicleSettings;

// One rider of a race: the replicated values every kind of kart shares, the
// rider's objects in the track scene, its sounds and the contact data the
// track's surface kinds write into it. `VehicleMaster` simulates a kart on
// this machine, `VehicleClient` follows one driven on another.
class Vehicle {
public:
    static constexpr int SOUND_SLOTS = 23;
    static constexpr int MOTION_TRACKS = RiderValueIds::MOTION_TRACKS;
    static constexpr int SOAP_SLOTS = RiderValueIds::SOAP_SLOTS;
    static constexpr int WHEELS = 4;
    // Sound slots by what they play.
    enum SoundId {
        SOUND_ENGINE = 0, SOUND_FLASHED = 1, SOUND_EXPLOSION = 2, SOUND_HIT = 3, SOUND_PICKUP = 4,
        SOUND_RESPAWN = 7, SOUND_BOOST = 9, SOUND_PROTECTION = 10, SOUND_SPEEDUP = 12, SOUND_HIT_OBJECT = 13,
        SOUND_THROW = 16, SOUND_THROW_HEAVY = 17, SOUND_CRUSH = 18, SOUND_HIT_WALL = 20, SOUND_SHRUNK = 21
    };
    // The laser beams show the shots in flight.
    enum Shot { SHRINKER_SHOT = 0, FROSTER_SHOT = 1 };
    enum ExplosionType { EXPLOSION_ROCKET = 0, EXPLOSION_FROSTER = 1, EXPLOSION_SHRINKER = 2 };
    static constexpr uint32_t SECTORS_START = 0xFFFE;

    // The rider's objects must be in the scene already (its moped scene merged
    // in); the values register on the given network client.
    Vehicle(const std::string& mopedFile, LW6Scene* scene, std::unique_ptr<Controller> controller, int32_t index,
            uint32_t* vehicleRecord, std::unique_ptr<VehicleSettings> settings, int32_t startingPlace, float radius,
            float scale,
            NetControl& client = NetControl::getInstance());
    virtual ~Vehicle();
    Vehicle(const Vehicle&) = delete;
    Vehicle& operator=(const Vehicle&) = delete;

    virtual VehicleMaster* asMaster() { return nullptr; }
    virtual VehicleClient* asClient() { return nullptr; }
    virtual Position3& getPosition(Position3& out) = 0;
    // The heading, three floats.
    virtual const float* getDirection() = 0;
    // Never negative; the direction of travel is the kart's business.
    virtual float getSpeed() { return 0.0f; }
    // One physics step (dt 0.01 s) at the race time.
    virtual void update(double time, double dt) = 0;
    // Once per frame.
    virtual void animate(double time) = 0;
    // Stores the held extra, marked changed when it differs.
    virtual void setExtra(int32_t kind);
    // A pick-up object was touched: draws a new extra and announces the sound.
    virtual void pickUpExtra(SceneObject* pickUp);

    // A kind drawn by the rider's place among the race's riders.
    int32_t chooseExtra();

    Sound* hitObjectSound() const { return m_sounds[SOUND_HIT_OBJECT].get(); }
    Sound* hitWallSound() const { return m_sounds[SOUND_HIT_WALL].get(); }

    // Plain state.
    float m_radius;
    float m_scale;
    LW6Scene* m_scene;
    std::unique_ptr<Controller> m_controller;
    std::unique_ptr<VehicleSettings> m_settings;
    int32_t m_index;
    std::string m_mopedFile;
    uint32_t* m_vehicleRecord;
    int32_t m_startingPlace;
    SceneObject* m_cameraTarget = nullptr;
    // "car_Ctrl": the object the step moves, and the one posed by matrix.
    SceneObject* m_object = nullptr;
    SceneObject* m_poseObject = nullptr;
    // "col": the kart's collision body.
    SceneObject* m_colObject = nullptr;
    // Layers 2, 3, 2, 3 of the rider's own moped object.
    SceneObject* m_wheelObject[WHEELS] = {nullptr, nullptr, nullptr, nullptr};
    SceneObject* m_shadowObject = nullptr;
    // Body, metal, tyre and rider surfaces of the rider's moped and figure,
    // found by the race at set-up; null when the files lack them.
    Surface* m_colourSurfaces[4] = {nullptr, nullptr, nullptr, nullptr};
    SceneObject* m_magnetObject = nullptr;
    SceneObject* m_mineObject = nullptr;
    SceneObject* m_rocketObject[2] = {nullptr, nullptr};
    SceneObject* m_bubbleObject[SOAP_SLOTS] = {nullptr, nullptr, nullptr};
    SceneObject* m_laserObject[2] = {nullptr, nullptr};
    SceneObject* m_weightObject = nullptr;
    // The explosion shown at a hit; absent when the moped scene has none.
    SceneObject* m_explosionEffect = nullptr;
    SceneObject* m_explosionObject = nullptr;
    // By explosion type; null entries leave the object's texture alone.
    Texture* m_explosionTextures[3] = {nullptr, nullptr, nullptr};
    float m_explosionTimer = 0.0f;
    // The pick-up touched last; the kart hides it.
    SceneObject* m_pickUp = nullptr;
    // Written by the obstacle surface kind; depth 0 = none pending.
    SceneObject* m_obstacle = nullptr;
    Position3 m_obstaclePos = {0.0f, 0.0f, 0.0f};
    Normal3 m_obstacleNormal = {0.0f, 0.0f, 0.0f};
    float m_obstacleDepth = 0.0f;
    // The rider's slot record; set by the race.
    NetValue<Config::Player>* m_playerRecord = nullptr;
    int32_t m_positionHistory[4] = {0, 0, 0, 0};
    bool m_eliminated = false;
    // Set by the race for a computer rider that finished while players still
    // race: it rides on along its path instead of stopping in their way.
    bool m_ridesOn = false;
    // Set by the finish line.
    bool m_crossedLine = false;
    uint32_t m_sectorMask = SECTORS_START;
    // Streams are declared first so that every sound goes before the stream it plays.
    std::unique_ptr<SampleStream> m_streams[SOUND_SLOTS];
    std::unique_ptr<Sound> m_sounds[SOUND_SLOTS];
    // "moped" actor of this rider and its tracks by role; -1 = no track.
    Actor* m_actor = nullptr;
    int32_t m_trackLeft = -1;
    int32_t m_trackRight = -1;
    int32_t m_trackCrash = -1;
    int32_t m_trackStamped = -1;
    int32_t m_trackCrushed = -1;
    int32_t m_trackProtection = -1;
    int32_t m_trackShrinker = -1;
    int32_t m_trackFroster = -1;
    int32_t m_trackRocket = -1;
    int32_t m_trackThrow = -1;

    // Every replicated value below registers on it.
    NetControl& m_client;
    // Replicated values: nid base + rider index (base + 3 x index + j for the
    // soap rows, base + 40 x index + j for the motion rows).
    NetValue<Position3> m_netPos{m_client};
    NetValue<Normal3> m_netDir{m_client};
    NetValue<int> m_lap{m_client};
    NetValue<int> m_rank{m_client};
    NetValue<float> m_trackTime{m_client};
    NetValue<float> m_netAngle{m_client};
    NetValue<int> m_extra{m_client};
    NetValue<bool> m_trackFinished{m_client};
    NetValue<Position3> m_effectMagnetPos{m_client};
    NetValue<float> m_speed{m_client};
    NetValue<Matrix4x3> m_matrix{m_client};
    NetValue<bool> m_cameraReset{m_client};
    NetValueArray<float, MOTION_TRACKS> m_netMotionIntensity{m_client};
    NetValueArray<float, MOTION_TRACKS> m_netMotionSpeed{m_client};
    NetValueArray<float, MOTION_TRACKS> m_netMotionOffset{m_client};
    NetValue<Position3> m_rocketPos{m_client};
    NetValue<int> m_rocketFired{m_client};
    NetValue<float> m_rocketAngle{m_client};
    NetValue<float> m_rocketAngle2{m_client};
    NetValue<int> m_rocketIndex{m_client};
    NetValue<int> m_targetLocked{m_client};
    NetValue<Position3> m_explosion{m_client};
    NetValue<float> m_explosionBr{m_client};
    NetValue<int> m_explosionType{m_client};
    NetValue<int> m_soundStart{m_client};
    NetValue<int> m_soundStop{m_client};
    NetValue<Position3> m_soundPosition{m_client};
    NetValue<bool> m_active{m_client};
    NetValue<float> m_extraRocket{m_client};
    NetValue<int> m_effectMagnetObjectIndex{m_client};
    NetValue<float> m_extraFlash{m_client};
    NetValue<float> m_extraWeight{m_client};
    NetValue<Position3> m_extraWeightPos{m_client};
    NetValue<int> m_effectWeightObjectIndex{m_client};
    NetValue<Position3> m_extraMinePos{m_client};
    NetValue<int> m_extraMineIndex{m_client};
    NetValue<float> m_extraShrinker{m_client};
    NetValue<Position3> m_extraShrinkerPos{m_client};
    NetValue<int> m_extraShrinkerIndex{m_client};
    NetValue<float> m_extraShrinkerAngle{m_client};
    NetValue<float> m_extraShrinkerAngle2{m_client};
    NetValue<float> m_extraFroster{m_client};
    NetValue<Position3> m_extraFrosterPos{m_client};
    NetValue<int> m_extraFrosterIndex{m_client};
    NetValue<float> m_extraFrosterAngle{m_client};
    NetValue<float> m_extraFrosterAngle2{m_client};
    NetValue<float> m_extraOil{m_client};
    NetValue<Position3> m_extraOilPos{m_client};
    NetValue<int> m_extraOilIndex{m_client};
    NetValue<Matrix4x3> m_netShadowMatrix{m_client};
    NetValue<Position3> m_netColPos{m_client};
    NetValueArray<float, SOAP_SLOTS> m_extraSoap{m_client};
    NetValueArray<Position3, SOAP_SLOTS> m_extraSoapPos{m_client};
    NetValueArray<int, SOAP_SLOTS> m_extraSoapIndex{m_client};

protected:
    // Places the sound at the position, facing the orientation, standing
    // still, and plays it; nothing for an empty slot.
    void playSound(int32_t id, const Position3& position, const float orientation[3], bool loop = false);
    // Announces a sound to the other machines: always sent again, so a
    // repeated hit is heard again.
    void announceSound(int32_t id, const Position3& position);
    // The yaw of a direction: acos(d . z), negative where d.x < 0.
    static float yawOf(const float direction[3]);
    // Puts the object's heading channel at the yaw with pitch and bank 0,
    // its body turned to match.
    static void turnTo(SceneObject* object, float yaw);
    // The first (MotionMixer, member) of every actor track into the motion rows.
    void copyMotionToNet();
    // Every member of every track of the actor to weight 0.
    void silenceActor();
    int32_t trackCount() const;
    // Puts the kart object, its collision body, shadow and camera target on
    // the "start" null the race gives the rider; false, nothing moved, when there is none.
    bool placeAtStart(Position3& at);
    // Turns the first `count` wheels about their axles by the angle, from
    // wheel 0's present rotation.
    void turnWheels(float angle, int count);
    // Sinks the pick-up touched last out of sight for ten seconds.
    void hidePickUp();
    // The rider's own values get these flags: send them where it is ridden,
    // take them from the network where another computer rides it.
    void setReplicationFlags(uint32_t flags);

private:
    void registerValues();
    template <typename T>
    void replicate(NetValue<T>& value, RiderValueIds::Id id, const T& initial, const char* name);
    template <typename T, size_t N>
    void replicate(NetValueArray<T, N>& row, RiderValueIds::Id id, const T& initial, const char* name);
    void findSceneObjects();
    void findActorTracks();

    // Every replicated value above, as registered.
    std::vector<NetValueBase*> m_replicated;
};

// The index of the first track of that name; -1 when there is none.
int32_t findIndexByName(const Actor* actor, const std::string& name);
