#pragma once
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "net/ChunkReader.h"
#include "net/NetProtocol.h"
#include "net/NetServer.h"
#include "net/RefusalLog.h"
#include "net/ValueOwners.h"

namespace GameDaemon {

class GameServerConnection;

// The lobby and relay server every copy of the game runs: assigns the five
// player slots, relays each value chunk to the other players, keeps the last
// payload per id for a player who becomes ready, and runs the barrier.
class GameServer : public NetServer {
public:
    // All stored payloads together stay below this; a payload beyond it is
    // relayed but not kept.
    static constexpr size_t MAX_STORED_BYTES = 2u << 20;
    // A player whose own stored payloads would pass this is dropped; a race
    // keeps a few kilobytes a player.
    static constexpr size_t MAX_PLAYER_STORED_BYTES = 1u << 20;
    // A connection has this long for its hello, and a guest as long again from its welcome for its own record.
    static constexpr uint32_t HELLO_TIMEOUT_MS = 10000;
    // What one connection's chunks may come to, headers and control chunks
    // included, in bytes a second; a race sends a fraction of it.
    static constexpr uint32_t MAX_RELAY_RATE = 1u << 20;
    static constexpr uint32_t RETRY_MS = 1000;

    // port 0: any free one, see getBoundPort once started.
    explicit GameServer(uint16_t port = NetProtocol::GAME_PORT, uint32_t helloTimeoutMs = HELLO_TIMEOUT_MS);
    ~GameServer() override;

    // Listens and starts the accept thread; false when the port could not be
    // bound yet (the thread keeps trying once a second).
    bool start();
    // Shuts the listener and every connection down and joins all threads.
    void stop();
    bool isRunning() const { return m_running; }

    std::unique_ptr<NetServerConnection> createConnection(int socket) override;

    // The game's values: set before start. Without them every player may send
    // every value and the lobby shows players by what they send alone.
    // With them come the game's rules: a guest's own record within the hello
    // time, a free row for a guest gone, and the flood limit on every chunk.
    void setValueOwners(std::shared_ptr<const ValueOwners> owners) { m_owners = std::move(owners); }

    // The lobby rules, run by the connections under the server lock. Each
    // answers false when that connection must end.
    std::mutex& getLock() { return m_lock; }
    bool handleChunk(GameServerConnection& from, ChunkReader& chunk);
    void playerLeft(GameServerConnection& player);
    // One chunk to every occupied slot but the sender's.
    void broadcast(const GameServerConnection& from, const SendQueue::Bytes& chunk);
    uint32_t getHelloTimeout() const { return m_helloTimeoutMs; }
    // What connections without a hello sent, and the connections themselves; under the lock.
    RefusalLog& strangers() { return m_strangers; }

    // For tests and tools: the slot holders and the lobby state, under the lock.
    int32_t getOccupiedSlots();
    bool isLobbyClosed();
    size_t getStoredBytes();
    // The most bytes any slot holder ever had waiting to be sent.
    size_t getPlayersPeakQueued();

private:
    void acceptLoop();
    bool hello(GameServerConnection& from, bool host);
    bool refuse(GameServerConnection& to);
    void welcome(GameServerConnection& to);
    void ready(GameServerConnection& to);
    void barrier(GameServerConnection& from, uint32_t value);
    void completeBarrier();
    bool relay(GameServerConnection& from, ChunkReader& chunk);
    // The owner's computer alone sends a rider's or the game's values.
    bool maySend(const GameServerConnection& from, uint16_t nid) const;
    // A value of the game's, of its size; logged when not.
    bool fits(GameServerConnection& from, uint16_t nid, size_t size);
    // The others see the slot's record as the server says, until its player sends one.
    void showRecord(const GameServerConnection& of, const std::vector<uint8_t>& record);
    // A connection without a slot is told among the strangers.
    RefusalLog& refusalsOf(GameServerConnection& from);
    size_t storedSize(uint16_t nid) const;
    // Drops the stored payload of nid and its count against its sender.
    void forget(uint16_t nid);
    void freeSlot(GameServerConnection& player);
    void clearValues();

    uint16_t m_port;
    uint32_t m_helloTimeoutMs;
    std::atomic<bool> m_running{false};
    std::thread m_acceptThread;
    std::mutex m_retryLock;
    std::condition_variable m_retryWake;

    std::mutex m_lock;
    std::array<GameServerConnection*, NetProtocol::MAX_PLAYERS> m_players{};
    bool m_lobbyClosed = false;
    std::vector<SendQueue::Bytes> m_values;  // the last value chunk of each id, as relayed
    std::vector<GameServerConnection*> m_senders;  // who sent each stored payload; null once gone
    size_t m_storedBytes = 0;
    std::shared_ptr<const ValueOwners> m_owners;
    RefusalLog m_strangers{"connections without a hello"};
};

// The program's own lobby server, as start-up and shut-down run it.
std::unique_ptr<GameServer> startGameDaemon(uint16_t port = NetProtocol::GAME_PORT,
                                            std::shared_ptr<const ValueOwners> owners = nullptr);
void stopGameDaemon(std::unique_ptr<GameServer>& server);

} // namespace GameDaemon
