#pragma once
#include <vector>

#include "game/karts/Vehicle.h"

// The kart this machine simulates: a scalar speed along a heading, five
// downward probe rays, the contacts the track's surface kinds write during
// the physics step, and the replicated values the other machines follow.
// All speeds, distances and angles are per physics step of 0.01 s.
class VehicleMaster : public Vehicle {
public:
    static constexpr int RAYS = 5;
    static constexpr int BODY_RAY = 4;
    static constexpr float NO_GROUND = -100.0f;
    static constexpr size_t NORMAL_HISTORY = 15;
    // Bound on the points read from a respawn file.
    static constexpr size_t MAX_RESPAWN_POINTS = 65536;
    // The speed-up extra's seconds, and its boost phase while they run (the chase camera zooms out).
    static constexpr float EXTRA_BOOST = 5.0f;
    static constexpr float BOOST_RUNNING = -1.0f;

    VehicleMaster(const std::string& mopedFile, LW6Scene* scene, std::unique_ptr<Controller> controller, int32_t index,
                  uint32_t* vehicleRecord, std::unique_ptr<VehicleSettings> settings, int32_t startingPlace,
                  float radius, float scale, NetControl& client = NetControl::getInstance());
    ~VehicleMaster() override;

    VehicleMaster* asMaster() override { return this; }
    Position3& getPosition(Position3& out) override;
    const float* getDirection() override { return m_heading; }
    float getSpeed() override { return m_curSpeed; }
    void update(double time, double dt) override;
    void animate(double time) override;

    // Reactions to the track and to hits.
    void onSpeedup(SceneObject* pad);
    void onCrusher();
    void onStampfer();
    void startExplosion(const Position3& point);
    void cancelExtraEffects();
    void useExtra(float time);
    // Hits by the other riders' extras, which the race finds; each starts the
    // kart's timer of that kind with its motion and sounds. `time` is the race time.
    void onRocketHit(int32_t shooter);
    void onSoap(float time);
    void onFroster(const Position3& shot, float time);
    void onShrinker(const Position3& shot);
    void onFlash();
    void onMine(int32_t owner);
    void onMagnet(int32_t owner, const Position3& pull);
    void onWeight(int32_t owner);
    void respawn();
    // False when there is no point to go to.
    bool findRespawnPoint(Position3& position, float direction[3]);
    bool findRespawnPointAI(Position3& position, float direction[3]);

    float m_curSpeed;
    float m_maxSpeed;
    float m_acceleration = 0.0f;
    float m_heading[3] = {0.0f, 0.0f, 1.0f};
    float m_forward[3] = {0.0f, 0.0f, 1.0f};
    float m_slideVelocity[3] = {0.0f, 0.0f, 1.0f};
    float m_slideFactor;
    bool m_reversing = false;
    bool m_wallHit = false;
    // Pushed slowly into a wall with the throttle open: the rider turns the moped on the spot.
    bool m_wallHeld = false;
    bool m_airborne = true;
    Position3 m_lastPos = {0.0f, 0.0f, 0.0f};
    Position3 m_newPos = {0.0f, 0.0f, 0.0f};
    float m_fallSpeed = 0.0f;

    // Probe rays 0 to 3 under the wheels, 4 under the body; they belong to the scene.
    SceneObject* m_ray[RAYS] = {nullptr, nullptr, nullptr, nullptr, nullptr};
    float m_rayHeight[RAYS] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    int32_t m_raySurface[RAYS] = {0, 0, 0, 0, 0};
    bool m_rayOverFall[RAYS] = {false, false, false, false, false};
    std::vector<Normal3> m_groundNormals[RAYS];
    Position3 m_wallPos = {0.0f, 0.0f, 0.0f};
    Normal3 m_wallNormal = {0.0f, 0.0f, 0.0f};
    float m_wallDepth = 0.0f;
    Position3 m_bumpPos = {0.0f, 0.0f, 0.0f};
    Normal3 m_bumpNormal = {0.0f, 0.0f, 0.0f};
    float m_bumpDepth = 0.0f;
    Vehicle* m_bumpOther = nullptr;
    SceneObject* m_windObject = nullptr;
    SceneObject* m_beltObject = nullptr;
    // Set by slippery ground during the step.
    bool m_slippery = false;
    // Set by a reset zone during the collision pass, which must not move bodies: the update respawns.
    bool m_resetTouched = false;

    // Effect timers in seconds, 0 when idle.
    float m_frozenTimer = 0.0f;
    float m_shrinkTimer = 0.0f;
    float m_stamperTimer = 0.0f;
    float m_crusherTimer = 0.0f;
    float m_flashTimer = 0.0f;
    // Hits of the other riders' rocket, soap, mine, magnet and weight.
    float m_rocketHitTimer = 0.0f;
    float m_soapTimer = 0.0f;
    float m_mineTimer = 0.0f;
    float m_magnetTimer = 0.0f;
    float m_weightTimer = 0.0f;
    // Where the magnet that caught the kart pulls it.
    Position3 m_magnetPull = {0.0f, 0.0f, 0.0f};
    float m_protectionTime = 0.0f;
    // Boost seconds left (a speed-up pad's or the extra's) and the extra's
    // boost phase: 0 when used, BOOST_RUNNING once the step has taken it up.
    float m_boost = 0.0f;
    float m_boostTime = 0.0f;
    // -1: no rocket; 0 when fired, advanced by the race.
    float m_rocketTimer = -1.0f;
    int32_t m_rocketTarget = -1;
    int32_t m_rocketLockTarget = -1;
    float m_rocketAim[3] = {0.0f, 0.0f, 0.0f};
    float m_shrinkerFlight[3] = {0.0f, 0.0f, 0.0f};
    float m_frosterFlight[3] = {0.0f, 0.0f, 0.0f};
    float m_soapFlight[SOAP_SLOTS][3] = {};

    std::vector<Position3> m_respawnPoints;

    // Animation: request 0 none, 1 chosen, 2 forced.
    int32_t m_blendRequest = 0;
    int32_t m_blendTrack = -1;
    int32_t m_blendPrevTrack = -1;
    float m_blendWeight = 1.0f;
    float m_blendHold = 0.0f;

private:
    void createRays();
    // Wheel rays from 1.0 above each wheel's pivot, the body ray from `bodyStart`.
    void aimRays(const Position3& bodyStart, double wheelRayLength, bool firstContact);
    void readRespawnPoints();
    // Sets a track's weight; -1 is no track.
    void fadeTrack(int32_t track, float weight);
    // Steering animation: starts a blend to the track unless it is the target.
    void chooseBlend(int32_t track);

    // Crusher and stamper: squashes the kart while the surface's timer is idle.
    void squash(float& timer, int32_t track);
    // The explosion model's first surface shows the current explosion type.
    void showExplosionTexture();
    void fireRocket(float time);
    // Kart object, pose and collision body to the position, facing the yaw.
    void placeAt(const Position3& position, float yaw);
    // The free point `stepBack` behind the nearest one and the way on from it;
    // false for an empty list.
    bool pickRespawnPoint(const std::vector<Position3>& points, int32_t stepBack, Position3& position,
                          float direction[3], int32_t& index);
    // Another kart stands closer than two radii.
    bool isPointTaken(const Position3& point);
    // At the kart, announced; skipped while the sound still plays.
    void playUnlessPlaying(int32_t id);
    // Played at `at` facing the heading, announced at the kart.
    void soundAt(int32_t id, const Position3& at, bool loop);
    // Full weight from the time on; -1 is no track.
    void startTrack(int32_t track, float time, bool normalSpeed);
    static void hide(SceneObject* object);

    // The track the animation faded in last, to notice a reaction replacing it.
    int32_t m_blendShown = -1;
    // The rider's slip on soap, when the moped scene has such a motion.
    int32_t m_trackSoap = -1;

    // The tumble of a crash or a hit, held for a second; skipped without the track.
    void startHitMotion();
    // A rocket hit or a mine stands the kart still, as the froster does.
    bool isHeld() const;
    // The top speed, halved under a weight.
    float speedLimit() const;

    // The step's parts, in their order.
    void countDownTimers(double dt);
    // The boosted top speed while a boost lasts, the settings' one after it.
    void spendBoost(double dt);
    float chooseAcceleration(bool active, bool finished);
    void steer(bool active);
    // Unit direction of this step's motion, blended from the heading and the drift.
    void motionDirection(float direction[3]) const;
    void moveFreely(Position3& next, const float direction[3], double time);
    // A player's slow kart driven forwards against a wall, which does not bounce it: it leaves or leans on it.
    bool isLeaningOnWall() const;
    void placeObjects(const Position3& next, double time);
    void writePose(const Position3& next);
    void writeReplicatedValues(const Position3& next);
    // Contacts the surface kinds wrote during the physics step.
    void resolveObstacle();
    void resolveWall(Position3& next, const Position3& start, const float direction[3]);
    // The kart's centre to its radius off the wall contact.
    void pushOutOfWall(Position3& next) const;
    void resolveGround(Position3& next);
    void resolveBump(Position3& next);
};
