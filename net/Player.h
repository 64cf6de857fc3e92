#pragma once
#include <cstdint>

namespace GameDaemon {

// What the lobby server knows of one connected player; guarded by the server lock.
struct Player {
    int32_t m_playerSlot = -1;    // 0 to 4, -1 while holding no slot
    uint32_t m_barrierValue = 0;  // the value waited on while in a barrier
    uint32_t m_peerAddress = 0;   // IPv4, network byte order
    bool m_inBarrier = false;
};

} // namespace GameDaemon
