#include "game/race/LanValueOwners.h"

#include <cstring>

#include "game/karts/RiderValueIds.h"
#include "game/records/Config.h"

namespace {

std::vector<uint8_t> bytesOf(const Config::Player& record) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    return std::vector<uint8_t>(bytes, bytes + sizeof record);
}

} // namespace

int32_t LanValueOwners::ownerOf(uint16_t nid) const {
    if (nid == Config::GAME_NID || nid == Config::LAPS_NID || nid == Config::TRACK_NID) return 0;
    if (nid >= Config::PLAYER_NID && nid < Config::PLAYER_NID + Config::RIDERS) return nid - Config::PLAYER_NID;
    const int32_t rider = RiderValueIds::riderOf(nid);
    if (rider < 0 || RiderValueIds::othersWrite(nid)) return ANY_PLAYER;
    // Rows beyond the race's riders belong to no player: the host's.
    return rider < Config::RIDERS ? rider : 0;
}

uint32_t LanValueOwners::sizeOf(uint16_t nid) const {
    if (nid == Config::GAME_NID || nid == Config::LAPS_NID || nid == Config::TRACK_NID) return sizeof(int32_t);
    if (nid >= Config::PLAYER_NID && nid < Config::PLAYER_NID + Config::RIDERS) return sizeof(Config::Player);
    return RiderValueIds::sizeOf(nid);
}

uint16_t LanValueOwners::recordOf(int32_t slot) const { return static_cast<uint16_t>(Config::PLAYER_NID + slot); }

std::vector<uint8_t> LanValueOwners::joiningRecord() const {
    Config::Player joining;
    std::strcpy(joining.name, "...");
    return bytesOf(joining);
}

std::vector<uint8_t> LanValueOwners::emptyRecord() const { return bytesOf(Config::Player()); }
