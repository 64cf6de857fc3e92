#include "net/GameServer.h"

#include <algorithm>
#include <chrono>

#include "engine/platform/Report.h"
#include "net/ChunkWriter.h"
#include "net/GameServerConnection.h"

namespace GameDaemon {

using namespace NetProtocol;

GameServer::GameServer(uint16_t port, uint32_t helloTimeoutMs)
    : m_port(port), m_helloTimeoutMs(helloTimeoutMs), m_values(MAX_NID), m_senders(MAX_NID) {}

GameServer::~GameServer() { stop(); }

bool GameServer::start() {
    if (m_running) return true;
    bool bound = listenOn(m_port);
    m_running = true;
    m_acceptThread = std::thread(&GameServer::acceptLoop, this);
    return bound;
}

void GameServer::stop() {
    {
        std::lock_guard<std::mutex> guard(m_retryLock);
        m_running = false;
    }
    m_retryWake.notify_all();
    onDisconnect();
    shutdownListener();
    if (m_acceptThread.joinable()) m_acceptThread.join();
    // Every connection thread ends and is joined before anything it uses goes.
    closeAllConnections();
    std::lock_guard<std::mutex> guard(m_lock);
    m_strangers.flush();
}

void GameServer::acceptLoop() {
    while (m_running) {
        if (acceptConnection(m_port)) continue;
        // A port still taken, or a listener in trouble: try again, but calmly.
        std::unique_lock<std::mutex> lock(m_retryLock);
        m_retryWake.wait_for(lock, std::chrono::milliseconds(RETRY_MS), [this] { return !m_running; });
    }
}

std::unique_ptr<NetServerConnection> GameServer::createConnection(int socket) {
    return std::make_unique<GameServerConnection>(*this, socket);
}

int32_t GameServer::getOccupiedSlots() {
    std::lock_guard<std::mutex> guard(m_lock);
    int32_t count = 0;
    for (GameServerConnection* player : m_players) count += player != nullptr;
    return count;
}

bool GameServer::isLobbyClosed() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_lobbyClosed;
}

size_t GameServer::getStoredBytes() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_storedBytes;
}

size_t GameServer::getPlayersPeakQueued() {
    std::lock_guard<std::mutex> guard(m_lock);
    size_t peak = 0;
    for (GameServerConnection* player : m_players)
        if (player) peak = std::max(peak, player->getPeakQueued());
    return peak;
}

bool GameServer::handleChunk(GameServerConnection& from, ChunkReader& chunk) {
    uint16_t nid = chunk.nid();
    int32_t payload = chunk.payloadSize();
    if (nid == CHUNK_LEAVE) {
        chunk.skipRest();
        chunk.endChunk();
        freeSlot(from);
        return false;
    }
    // Each chunk costs its handling, a control chunk as much as a value: past the rate they are only counted.
    if (m_owners && !from.takeRelayBudget(size_t(chunk.chunkLength()))) {
        refusalsOf(from).refuse(RefusalLog::FLOOD, [&] {
            return formatStatic("chunks from %s past %u bytes a second dropped", from.peerName().c_str(),
                                unsigned(MAX_RELAY_RATE));
        });
        chunk.skipRest();
        return true;
    }
    if (nid == CHUNK_HOST_HELLO || nid == CHUNK_JOIN) {
        chunk.skipRest();
        return hello(from, nid == CHUNK_HOST_HELLO);
    }
    // Until a hello has been answered, a connection has nothing to say.
    if (from.m_playerSlot == -1) {
        m_strangers.refuse(RefusalLog::NO_HELLO, [&] {
            return formatStatic("chunk %u before a hello from %s dropped", unsigned(nid), from.peerName().c_str());
        });
        chunk.skipRest();
        return true;
    }
    if (nid >= MAX_NID) {
        chunk.skipRest();
        return true;
    }
    switch (nid) {
    case CHUNK_READY:
        ready(from);
        break;
    case CHUNK_LOBBY_CLOSED:
        // Only the host opens and closes its lobby.
        if (payload == 1 && from.m_playerSlot == 0) m_lobbyClosed = chunk.readByte() != 0;
        break;
    case CHUNK_BARRIER:
        if (payload == 4) barrier(from, chunk.readInt());
        break;
    default:
        // A client never speaks for the server: welcome, refusal and start stay ours.
        if (!isControlId(nid) && !relay(from, chunk)) return false;
        break;
    }
    chunk.skipRest();
    return true;
}

bool GameServer::hello(GameServerConnection& from, bool host) {
    // A repeated hello is answered with the slot already held.
    if (from.m_playerSlot != -1) {
        welcome(from);
        return true;
    }
    if (host) {
        // The host is the player at this machine; no neighbour takes its place.
        if (m_players[0] || !from.m_fromThisMachine) return refuse(from);
        clearValues();
        // Guests of a host that left are let go, not kept without a slot.
        for (int32_t slot = 1; slot < MAX_PLAYERS; ++slot) {
            if (!m_players[slot]) continue;
            m_players[slot]->m_playerSlot = -1;
            m_players[slot]->drop();
            m_players[slot] = nullptr;
        }
        m_lobbyClosed = false;
        m_players[0] = &from;
        from.m_playerSlot = 0;
        welcome(from);
        return true;
    }
    if (!m_players[0] || m_lobbyClosed) return refuse(from);
    for (int32_t slot = 0; slot < MAX_PLAYERS; ++slot) {
        if (m_players[slot]) continue;
        m_players[slot] = &from;
        from.m_playerSlot = slot;
        welcome(from);
        if (m_owners) {
            from.awaitRecord(m_helloTimeoutMs);
            showRecord(from, m_owners->joiningRecord());
        }
        return true;
    }
    return refuse(from);
}

bool GameServer::refuse(GameServerConnection& to) {
    to.beginChunk(CHUNK_REFUSED);
    to.sendChunk();
    return false;
}

void GameServer::welcome(GameServerConnection& to) {
    to.beginChunk(CHUNK_WELCOME);
    to.writeByte(static_cast<uint8_t>(to.m_playerSlot));
    to.sendChunk();
}

void GameServer::ready(GameServerConnection& to) {
    // A client is ready once a connection; a ready again costs no replay, and its start is one shared chunk.
    if (!to.m_replayed) {
        for (const SendQueue::Bytes& stored : m_values)
            if (stored) to.send(stored);
        to.m_replayed = true;
    }
    static const SendQueue::Bytes start = [] {
        ChunkWriter writer;
        writer.begin(CHUNK_START);
        writer.finish();
        return std::make_shared<const std::vector<uint8_t>>(writer.take());
    }();
    to.send(start);
}

void GameServer::barrier(GameServerConnection& from, uint32_t value) {
    from.m_barrierValue = value;
    from.m_inBarrier = true;
    completeBarrier();
}

// Answers every member at once when all occupied slots wait on one value, so
// nobody polls and nobody is left waiting on a member that was answered first.
void GameServer::completeBarrier() {
    GameServerConnection* first = nullptr;
    for (GameServerConnection* player : m_players) {
        if (!player) continue;
        if (!player->m_inBarrier) return;
        if (!first) first = player;
        if (player->m_barrierValue != first->m_barrierValue) return;
    }
    if (!first) return;
    uint32_t value = first->m_barrierValue;
    for (GameServerConnection* player : m_players) {
        if (!player) continue;
        player->beginChunk(CHUNK_BARRIER);
        player->writeInt(value);
        player->sendChunk();
        player->m_barrierValue = 0;
        player->m_inBarrier = false;
    }
}

bool GameServer::maySend(const GameServerConnection& from, uint16_t nid) const {
    if (!m_owners) return true;
    const int32_t owner = m_owners->ownerOf(nid);
    if (owner < 0 || owner >= MAX_PLAYERS) return true;
    return from.m_playerSlot == (m_players[owner] ? owner : 0);
}

bool GameServer::fits(GameServerConnection& from, uint16_t nid, size_t size) {
    const uint32_t expected = m_owners->sizeOf(nid);
    if (expected == 0) {
        from.refusals().refuse(RefusalLog::UNKNOWN_VALUE, [&] {
            return formatStatic("value not present: %u, from slot %d", unsigned(nid), int(from.m_playerSlot));
        });
        return false;
    }
    if (size != expected) {
        from.refusals().refuse(RefusalLog::WRONG_SIZE, [&] {
            return formatStatic("value of the wrong size: %u size: %u, not %u, from slot %d", unsigned(nid),
                                unsigned(size), unsigned(expected), int(from.m_playerSlot));
        });
        return false;
    }
    return true;
}

void GameServer::showRecord(const GameServerConnection& of, const std::vector<uint8_t>& record) {
    const uint16_t nid = m_owners->recordOf(of.m_playerSlot);
    forget(nid);
    ChunkWriter writer;
    writer.begin(nid);
    writer.writeBytes(record.data(), static_cast<uint32_t>(record.size()));
    if (!writer.finish()) return;
    auto chunk = std::make_shared<const std::vector<uint8_t>>(writer.take());
    broadcast(of, chunk);
    // A player joining later sees it too; it counts against nobody.
    m_values[nid] = std::move(chunk);
    m_storedBytes += record.size();
}

bool GameServer::relay(GameServerConnection& from, ChunkReader& chunk) {
    uint16_t nid = chunk.nid();
    size_t size = static_cast<size_t>(chunk.payloadLeft());
    if (m_owners && !fits(from, nid, size)) return true;
    if (!maySend(from, nid)) {
        from.refusals().refuse(RefusalLog::NOT_OWNER, [&] {
            return formatStatic("value %u from slot %d not taken: another computer owns it", unsigned(nid),
                                int(from.m_playerSlot));
        });
        return true;
    }
    // Its size is the record's: fits said so.
    if (m_owners && nid == m_owners->recordOf(from.m_playerSlot)) from.recordSent();
    size_t replaced = m_senders[nid] == &from ? storedSize(nid) : 0;
    // No game of ours keeps this much: such a peer is let go.
    if (from.m_storedBytes - replaced + size > MAX_PLAYER_STORED_BYTES) return false;
    from.beginChunk(nid);
    chunk.readRest(from.extendChunk(static_cast<uint32_t>(size)));
    SendQueue::Bytes relayed = from.finishChunk();
    broadcast(from, relayed);
    bool kept = m_storedBytes - storedSize(nid) + size <= MAX_STORED_BYTES;
    forget(nid);
    // Past the bound the others still got it; a ready player gets none rather than a stale one.
    if (!kept || size == 0) return true;
    m_values[nid] = std::move(relayed);
    m_senders[nid] = &from;
    from.m_storedBytes += size;
    m_storedBytes += size;
    return true;
}

size_t GameServer::storedSize(uint16_t nid) const {
    return m_values[nid] ? m_values[nid]->size() - HEADER_SIZE : 0;
}

void GameServer::forget(uint16_t nid) {
    size_t size = storedSize(nid);
    if (m_senders[nid]) m_senders[nid]->m_storedBytes -= size;
    m_senders[nid] = nullptr;
    m_storedBytes -= size;
    m_values[nid].reset();
}

RefusalLog& GameServer::refusalsOf(GameServerConnection& from) {
    return from.m_playerSlot == -1 ? m_strangers : from.refusals();
}

void GameServer::broadcast(const GameServerConnection& from, const SendQueue::Bytes& chunk) {
    for (GameServerConnection* player : m_players)
        if (player && player != &from) player->send(chunk);
}

void GameServer::freeSlot(GameServerConnection& player) {
    if (player.m_playerSlot == -1 || m_players[player.m_playerSlot] != &player) return;
    m_players[player.m_playerSlot] = nullptr;
    // The one who left may have been the last the barrier waited for.
    completeBarrier();
}

void GameServer::playerLeft(GameServerConnection& player) {
    player.refusals().flush();
    // Nothing of a player gone is replayed: a later player would see a ghost.
    for (uint16_t nid = 0; nid < MAX_NID; ++nid)
        if (m_senders[nid] == &player) forget(nid);
    player.m_storedBytes = 0;
    if (player.m_playerSlot == -1) return;
    freeSlot(player);
    if (player.m_playerSlot == 0 || m_lobbyClosed) {
        player.beginChunk(CHUNK_LEAVE);
        player.writeByte(static_cast<uint8_t>(player.m_playerSlot));
        player.broadcastChunk();
    } else if (m_owners) {
        // However it went, the others' lobbies free its row.
        showRecord(player, m_owners->emptyRecord());
    }
    player.m_playerSlot = -1;
}

void GameServer::clearValues() {
    for (uint16_t nid = 0; nid < MAX_NID; ++nid) forget(nid);
}

std::unique_ptr<GameServer> startGameDaemon(uint16_t port, std::shared_ptr<const ValueOwners> owners) {
    auto server = std::make_unique<GameServer>(port);
    server->setValueOwners(std::move(owners));
    server->start();
    return server;
}

void stopGameDaemon(std::unique_ptr<GameServer>& server) {
    if (!server) return;
    server->stop();
    server.reset();
}

} // namespace GameDaemon
