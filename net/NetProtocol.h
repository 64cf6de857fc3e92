#pragma once
#include <cstdint>

// The chunk framing and the control ids every copy of the game speaks.
namespace NetProtocol {

constexpr uint16_t GAME_PORT = 12726;
constexpr int32_t HEADER_SIZE = 4;      // u16 length (header included), u16 nid
constexpr int32_t MAX_CHUNK_SIZE = 32000; // lengths must stay below this
constexpr int32_t MAX_NID = 2000;       // ids must stay below this
constexpr int32_t MAX_PLAYERS = 5;

enum ChunkId : uint16_t {
    CHUNK_HOST_HELLO = 1,
    CHUNK_JOIN = 2,
    CHUNK_WELCOME = 3,
    CHUNK_REFUSED = 4,
    CHUNK_LEAVE = 6,
    CHUNK_IGNORED = 7, // one byte, dropped: a sign of life
    CHUNK_READY = 8,
    CHUNK_START = 9,
    CHUNK_LOBBY_CLOSED = 10,
    CHUNK_BARRIER = 11,
};

// Ids 1 to 4 and 6 to 11 run the lobby; every other id, 0 and 5 included, is a value.
constexpr bool isControlId(int32_t nid) { return nid >= 1 && nid <= 11 && nid != 5; }

} // namespace NetProtocol
