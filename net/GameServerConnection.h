#pragma once
#include <chrono>
#include <cstdint>
#include <string>

#include "net/ChunkReader.h"
#include "net/ChunkWriter.h"
#include "net/NetServerConnection.h"
#include "net/Player.h"
#include "net/RefusalLog.h"

namespace GameDaemon {

class GameServer;

// One client of the lobby server: frames its chunks and hands each to the
// server's lobby rules under the server lock.
class GameServerConnection : public NetServerConnection, public Player {
public:
    static constexpr int KEEPALIVE_IDLE_S = 5;
    static constexpr int KEEPALIVE_INTERVAL_S = 2;
    static constexpr int KEEPALIVE_PROBES = 4;

    GameServerConnection(GameServer& server, int socket);
    ~GameServerConnection() override;

    int32_t onReceive(const uint8_t* data, int32_t length) override;
    void onDisconnect() override;
    void onConnect(uint32_t peer) override;
    // A connection not welcomed within the hello time is let go.
    bool onIdle() override;
    // Until welcomed, a connection gives way to a new one when all places are taken.
    bool mayGiveWay() override;
    // A player is sent a sign of life when nothing else went to it for a
    // while, and let go once it has sent nothing for the limit.
    void onTick(uint32_t silenceLimitMs) override;

    // Chunk writer, under the server lock.
    void beginChunk(uint16_t nid);
    void writeByte(uint8_t value);
    void writeInt(uint32_t value);
    void writeBytes(const uint8_t* data, uint32_t count);
    uint8_t* extendChunk(uint32_t count) { return m_writer.extend(count); }
    void sendChunk();
    // The chunk goes to every other occupied slot.
    void broadcastChunk();
    // The finished chunk, shared so that it is queued without copies; null
    // when it outgrew the chunk limit.
    SendQueue::Bytes finishChunk();

    // Under the server lock, from the welcome on: the guest must send its
    // own record within the time.
    void awaitRecord(uint32_t milliseconds);
    void recordSent() { m_awaitingRecord = false; }
    // Takes the bytes from what the player may still send this second; false when there is not enough.
    bool takeRelayBudget(size_t bytes);
    RefusalLog& refusals() { return m_refusals; }
    // The peer's dotted address.
    const std::string& peerName() const { return m_peerName; }

private:
    // Under the server lock: false once the hello time, counted from the
    // acceptance, has run out unwelcomed, or the record time from the
    // welcome without a record; bytes dribbled in buy no time.
    bool awaitIntroduction();
    // The received bytes through the server's chunk handling, under its lock; false to hang up.
    bool readChunks(const uint8_t* data, int32_t length);

    GameServer& m_server;
    std::chrono::steady_clock::time_point m_helloDeadline;
    bool m_awaitingHello = true;
    std::chrono::steady_clock::time_point m_recordDeadline;
    bool m_awaitingRecord = false;
    bool m_timed = true; // the socket has a receive time-out
    std::string m_peerName;
    RefusalLog m_refusals;
    double m_relayBudget;
    std::chrono::steady_clock::time_point m_budgetTime;
    ChunkReader m_reader;
    ChunkWriter m_writer;
};

} // namespace GameDaemon
