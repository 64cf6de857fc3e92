#pragma once
#include <cstdint>

// The value ids of every rider's replicated members: a member's row of
// `width` values starts at base + width x rider index, and riders 0 to 6 fit
// before the next member's base.
namespace RiderValueIds {

constexpr int32_t RIDERS = 7;
// The widths of the rows: a value for each of an actor's tracks, one for each soap bubble.
constexpr int32_t MOTION_TRACKS = 40;
constexpr int32_t SOAP_SLOTS = 3;

struct Member {
    int32_t base;
    int32_t width;
    // Of each value in the row.
    uint32_t size;
    // The victim's computer ends the shooter's rocket and takes its mine: such
    // members are written by the other computers too, not only by the rider's.
    bool othersWrite;
};

enum Id : int {
    NET_POS, NET_DIR, LAP, RANK, TRACK_TIME, NET_ANGLE, EXTRA, TRACK_FINISHED, EFFECT_MAGNET_POS, SPEED, MATRIX,
    CAMERA_RESET, MOTION_INTENSITY, MOTION_SPEED, MOTION_OFFSET, ROCKET_POS, ROCKET_FIRED, ROCKET_ANGLE,
    ROCKET_ANGLE2, ROCKET_INDEX, TARGET_LOCKED, EXPLOSION, EXPLOSION_BR, EXPLOSION_TYPE, SOUND_START, SOUND_STOP,
    SOUND_POSITION, ACTIVE, EXTRA_ROCKET, EFFECT_MAGNET_OBJECT_INDEX, EXTRA_FLASH, EXTRA_WEIGHT, EXTRA_WEIGHT_POS,
    EFFECT_WEIGHT_OBJECT_INDEX, EXTRA_MINE_POS, EXTRA_MINE_INDEX, EXTRA_SHRINKER, EXTRA_SHRINKER_POS,
    EXTRA_SHRINKER_INDEX, EXTRA_SHRINKER_ANGLE, EXTRA_SHRINKER_ANGLE2, EXTRA_FROSTER, EXTRA_FROSTER_POS,
    EXTRA_FROSTER_INDEX, EXTRA_FROSTER_ANGLE, EXTRA_FROSTER_ANGLE2, EXTRA_OIL, EXTRA_OIL_POS, EXTRA_OIL_INDEX,
    NET_SHADOW_MATRIX, NET_COL_POS, EXTRA_SOAP, EXTRA_SOAP_POS, EXTRA_SOAP_INDEX, MEMBERS
};

const Member& member(Id id);
// The first id of the member's row for that rider.
int32_t nidOf(Id id, int32_t rider);
// The rider whose member holds the id; -1 for an id of no rider.
int32_t riderOf(int32_t nid);
bool othersWrite(int32_t nid);
// The byte size of the value with that id; 0 for an id of no rider.
uint32_t sizeOf(int32_t nid);

} // namespace RiderValueIds
