#pragma once
#include <cstddef>
#include <cstdint>

namespace GameDaemon {

// What the lobby server knows of one connected player; guarded by the server lock.
struct Player {
    int32_t m_playerSlot = -1;    // 0 to 4, -1 while holding no slot
    uint32_t m_barrierValue = 0;  // the value waited on while in a barrier
    uint32_t m_peerAddress = 0;   // IPv4, network byte order
    bool m_inBarrier = false;
    bool m_fromThisMachine = false; // only such a peer may host
    size_t m_storedBytes = 0;     // stored payloads this player sent last
    bool m_replayed = false;      // the stored values went to it on its ready
};

} // namespace GameDaemon
