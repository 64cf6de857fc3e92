#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "net/ChunkReader.h"
#include "net/ChunkWriter.h"
#include "net/NetClient.h"
#include "net/NetProtocol.h"
#include "net/NetValueBase.h"
#include "net/RefusalLog.h"
#include "sys/thread/Ticker.h"

// The game's network client: connects to a lobby server, runs the lobby's
// control messages and carries the replicated values registered with it.
class NetControl : public NetClient {
public:
    enum Status : int32_t {
        STATUS_LOST = 0,           // connection lost while waiting for the welcome
        STATUS_REFUSED = 1,        // refused by the lobby
        STATUS_ENDED_BY_HOST = 3,  // the server ended the game (leave with slot 0)
        STATUS_ENDED = 4,          // the server ended the game (leave with another slot)
        STATUS_LEFT = 5,           // this client left
        STATUS_CONNECT_FAILED = 6, // no TCP connection
        STATUS_NO_LOBBY = 7,       // connected, but no lobby answered within 5 s, or something else did
    };
    static constexpr double WELCOME_TIMEOUT = 5.0;

    // The one client of the game, built on first use.
    static NetControl& getInstance();

    // Further clients exist only for tests and tools.
    NetControl();
    ~NetControl() override;

    // True once welcomed; host "localhost" for the hosting player's own client.
    // Connects to port(); the TCP connection is given up after CONNECT_TIMEOUT_MS.
    // Setting `abandon` from another thread ends it soon, having left the lobby
    // again (status STATUS_LEFT once the hello went out).
    bool connect(const char* host, bool isHost, const std::atomic<bool>* abandon = nullptr);
    void disconnect();
    // The lobby server's port; NetProtocol::GAME_PORT unless set (tests run copies side by side).
    void setPort(uint16_t port) { m_port = port; }
    uint16_t port() const { return m_port; }
    // A lobby that sends nothing for this long is gone; from the next connect on.
    void setSilenceLimit(uint32_t milliseconds) { m_silenceLimitMs = milliseconds; }
    void clearStart() { m_start = false; }
    // True when the start message arrives within the time; false at once when
    // the connection is gone or drops while waiting.
    bool waitForStart(double seconds);
    // Once per frame, main thread: sends the changed values, commits them all.
    void sendChangedValues();
    void sendLobbyClosed(bool closed);

    void addValue(NetValueBase* value);
    void removeValue(NetValueBase* value);
    // No lock: called on the main thread while values are built.
    NetValueBase* getValueId(int32_t id) const;

    // Hold the lock from beginChunk to sendChunk when another thread may write.
    void lock() { m_lock.lock(); }
    void unlock() { m_lock.unlock(); }
    void beginChunk(int32_t nid);
    void writeByte(uint8_t value);
    void writeShort(uint16_t value);
    bool sendChunk();

    int32_t getPlayerSlot() const { return m_playerSlot; }
    int32_t getStatus() const { return m_status; }
    bool isWelcomed() const { return m_welcomed; }
    bool isRefused() const { return m_refused; }
    bool isStarted() const { return m_start; }
    uint32_t getBarrierValue() const { return m_barrierValue; }

    int32_t onReceive(const uint8_t* data, int32_t length) override;
    void onDisconnect() override;

private:
    // Both under the lock; false when the connection has to end.
    bool handleChunk();
    void handleValueChunk();
    void endReadChunk();
    // Signs of life, on their own thread from the welcome on: frames may stand still.
    void tick();

    std::atomic<int32_t> m_playerSlot{0};
    std::mutex m_lock;
    std::condition_variable m_answer;
    bool m_lost = false; // the connection ended; connect and waitForStart wait on it
    std::vector<NetValueBase*> m_netValue;
    std::atomic<int32_t> m_status{STATUS_LOST};
    ChunkReader m_reader;
    ChunkWriter m_writer;
    std::vector<uint8_t> m_payload;
    RefusalLog m_refusals; // under the lock
    std::atomic<bool> m_welcomed{false};
    std::atomic<bool> m_refused{false};
    std::atomic<bool> m_start{false};
    std::atomic<uint32_t> m_barrierValue{0};
    std::atomic<uint16_t> m_port{NetProtocol::GAME_PORT};
    std::atomic<uint32_t> m_silenceLimitMs{SILENCE_LIMIT_MS};
    sys::Ticker m_ticker;
};
