#include "game/karts/VehicleMaster.h"

namespace {

constexpr float HIT_HOLD = 1.0f;
constexpr float ROCKET_HIT_TIME = 1.0f;
constexpr float SOAP_TIME = 5.0f;
constexpr float FROSTER_TIME = 3.0f;
constexpr float SHRINKER_TIME = 10.0f;
constexpr float FLASH_TIME = 2.5f;
constexpr float MINE_TIME = 1.0f;
constexpr float MAGNET_TIME = 2.7f;
constexpr float WEIGHT_TIME = 3.0f;
constexpr float WEIGHT_SPEED_FACTOR = 0.5f;

} // namespace

void VehicleMaster::startHitMotion() {
    if (m_trackCrash == -1) return;
    m_blendRequest = 2;
    m_blendTrack = m_trackCrash;
    m_blendHold = HIT_HOLD;
}

bool VehicleMaster::isHeld() const {
    return m_frozenTimer != 0.0f || m_rocketHitTimer != 0.0f || m_mineTimer != 0.0f;
}

float VehicleMaster::speedLimit() const {
    return m_weightTimer != 0.0f ? m_maxSpeed * WEIGHT_SPEED_FACTOR : m_maxSpeed;
}

void VehicleMaster::onRocketHit(int32_t shooter) {
    m_rocketIndex = shooter;
    hide(m_colObject);
    bool exposed = m_protectionTime == 0.0f;
    if (exposed && m_active.get()) {
        m_rocketHitTimer = ROCKET_HIT_TIME;
        startHitMotion();
    }
    playUnlessPlaying(SOUND_EXPLOSION);
    if (exposed) playUnlessPlaying(SOUND_HIT);
    if (shooter != m_index) return;
    // Our own rocket came back: it bursts where it is.
    m_rocketTimer = -1.0f;
    m_explosionType = EXPLOSION_ROCKET;
    startExplosion(m_rocketPos.get());
}

void VehicleMaster::onSoap(float time) {
    m_soapTimer = SOAP_TIME;
    startTrack(m_trackSoap, time, false);
}

void VehicleMaster::onFroster(const Position3& shot, float time) {
    m_frozenTimer = FROSTER_TIME;
    startTrack(m_trackFroster, time, false);
    m_explosionType = EXPLOSION_FROSTER;
    // Also ends a froster of our own in flight.
    startExplosion(shot);
}

void VehicleMaster::onShrinker(const Position3& shot) {
    m_shrinkTimer = SHRINKER_TIME;
    playUnlessPlaying(SOUND_SHRUNK);
    m_explosionType = EXPLOSION_SHRINKER;
    startExplosion(shot);
}

void VehicleMaster::onFlash() {
    m_flashTimer = FLASH_TIME;
    playUnlessPlaying(SOUND_FLASHED);
}

void VehicleMaster::onMine(int32_t owner) {
    startHitMotion();
    m_mineTimer = MINE_TIME;
    m_extraMineIndex = owner;
    playUnlessPlaying(SOUND_EXPLOSION);
    playUnlessPlaying(SOUND_HIT);
}

void VehicleMaster::onMagnet(int32_t owner, const Position3& pull) {
    m_magnetTimer = MAGNET_TIME;
    m_effectMagnetObjectIndex = owner;
    m_magnetPull = pull;
}

void VehicleMaster::onWeight(int32_t owner) {
    m_weightTimer = WEIGHT_TIME;
    m_effectWeightObjectIndex = owner;
}
