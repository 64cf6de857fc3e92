#include "net/GameServerConnection.h"

#include <algorithm>
#include <cstdint>
#include <mutex>

#include "engine/platform/Report.h"
#include "net/GameServer.h"
#include "sys/net/Socket.h"

namespace GameDaemon {

GameServerConnection::GameServerConnection(GameServer& server, int socket)
    : NetServerConnection(socket),
      m_server(server),
      m_helloDeadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(server.getHelloTimeout())),
      m_relayBudget(GameServer::MAX_RELAY_RATE), m_budgetTime(std::chrono::steady_clock::now()) {
    sys::setReceiveTimeout(socket, server.getHelloTimeout());
    // A machine that vanished without a word leaves its place within the keep-alive's time.
    sys::setKeepAlive(socket, KEEPALIVE_IDLE_S, KEEPALIVE_INTERVAL_S, KEEPALIVE_PROBES);
}

GameServerConnection::~GameServerConnection() { close(); }

int32_t GameServerConnection::onReceive(const uint8_t* data, int32_t length) {
    if (!readChunks(data, length)) exitThread();
    return length;
}

bool GameServerConnection::readChunks(const uint8_t* data, int32_t length) {
    std::lock_guard<std::mutex> guard(m_server.getLock());
    bool keep = awaitIntroduction();
    if (keep) m_reader.append(data, length);
    ChunkReader::State state;
    while (keep && (state = m_reader.beginChunk()) != ChunkReader::State::INCOMPLETE) {
        if (state == ChunkReader::State::MALFORMED) {
            RefusalLog& log = m_playerSlot == -1 ? m_server.strangers() : m_refusals;
            log.refuse(RefusalLog::MALFORMED, [&] { return "chunk length no chunk can have from " + m_peerName + "; closed"; });
        }
        keep = state == ChunkReader::State::COMPLETE && m_server.handleChunk(*this, m_reader);
        if (!keep) break;
        ENGINE_ASSERT(m_reader.payloadLeft() == 0 && "m_readBufferPos == m_readLen");
        m_reader.endChunk();
    }
    keep = keep && awaitIntroduction();
    if (!keep) m_reader.clear();
    return keep;
}

void GameServerConnection::onDisconnect() {
    std::lock_guard<std::mutex> guard(m_server.getLock());
    m_server.playerLeft(*this);
}

void GameServerConnection::onConnect(uint32_t peer) {
    // The address lies in network order: its bytes in memory are the dotted quad's.
    const auto* quad = reinterpret_cast<const uint8_t*>(&peer);
    m_peerName = formatStatic("%u.%u.%u.%u", unsigned(quad[0]), unsigned(quad[1]), unsigned(quad[2]),
                              unsigned(quad[3]));
    m_refusals.setPeer("player at " + m_peerName);
    m_peerAddress = peer;
    m_fromThisMachine = sys::isOwnAddress(peer);
    std::lock_guard<std::mutex> guard(m_server.getLock());
    m_server.strangers().refuse(RefusalLog::CONNECTION, [&] { return "got connection from " + m_peerName; });
}

bool GameServerConnection::onIdle() {
    std::lock_guard<std::mutex> guard(m_server.getLock());
    return awaitIntroduction();
}

bool GameServerConnection::mayGiveWay() {
    std::lock_guard<std::mutex> guard(m_server.getLock());
    return m_playerSlot == -1;
}

void GameServerConnection::onTick(uint32_t silenceLimitMs) {
    std::lock_guard<std::mutex> guard(m_server.getLock());
    // Until its hello a connection has its hello time instead.
    if (m_playerSlot == -1) return;
    if (msSinceReceived() >= silenceLimitMs) {
        g_logStream << formatStatic("player at %s silent for %.1f s; let go\n", m_peerName.c_str(),
                                    silenceLimitMs / 1000.0);
        drop();
        return;
    }
    if (msSinceSent() < signOfLifePeriod(silenceLimitMs).count()) return;
    beginChunk(NetProtocol::CHUNK_IGNORED);
    writeByte(0);
    sendChunk();
}

bool GameServerConnection::takeRelayBudget(size_t bytes) {
    const auto now = std::chrono::steady_clock::now();
    const double rate = GameServer::MAX_RELAY_RATE;
    m_relayBudget = std::min(rate, m_relayBudget + rate * std::chrono::duration<double>(now - m_budgetTime).count());
    m_budgetTime = now;
    if (m_relayBudget < double(bytes)) return false;
    m_relayBudget -= double(bytes);
    return true;
}

void GameServerConnection::awaitRecord(uint32_t milliseconds) {
    m_awaitingRecord = true;
    m_recordDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
}

bool GameServerConnection::awaitIntroduction() {
    if (m_awaitingHello && m_playerSlot != -1) m_awaitingHello = false;
    if (!m_awaitingHello && !m_awaitingRecord) {
        // A player that introduced itself may be quiet as long as it likes.
        if (m_timed) sys::setReceiveTimeout(socketHandle(), 0);
        m_timed = false;
        return true;
    }
    const auto deadline = m_awaitingHello ? m_helloDeadline : m_recordDeadline;
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
        if (!m_awaitingHello)
            g_logStream << "player at " + m_peerName + " sent no record of itself in time; closed\n";
        return false;
    }
    sys::setReceiveTimeout(socketHandle(), static_cast<uint32_t>(left.count()));
    m_timed = true;
    return true;
}

void GameServerConnection::beginChunk(uint16_t nid) { m_writer.begin(nid); }

void GameServerConnection::writeByte(uint8_t value) { m_writer.writeByte(value); }

void GameServerConnection::writeInt(uint32_t value) { m_writer.writeInt(value); }

void GameServerConnection::writeBytes(const uint8_t* data, uint32_t count) { m_writer.writeBytes(data, count); }

void GameServerConnection::sendChunk() {
    if (SendQueue::Bytes chunk = finishChunk()) send(std::move(chunk));
}

void GameServerConnection::broadcastChunk() {
    if (SendQueue::Bytes chunk = finishChunk()) m_server.broadcast(*this, chunk);
}

SendQueue::Bytes GameServerConnection::finishChunk() {
    if (!m_writer.finish()) return nullptr;
    return std::make_shared<const std::vector<uint8_t>>(m_writer.take());
}

} // namespace GameDaemon
