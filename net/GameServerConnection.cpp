#include "net/GameServerConnection.h"

#include <cstdint>
#include <mutex>

#include "engine/platform/Report.h"
#include "net/GameServer.h"
#include "sys/net/Socket.h"

namespace GameDaemon {

GameServerConnection::GameServerConnection(GameServer& server, int socket)
    : NetServerConnection(socket),
      m_server(server),
      m_helloDeadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(server.getHelloTimeout())) {
    sys::setReceiveTimeout(socket, server.getHelloTimeout());
}

GameServerConnection::~GameServerConnection() { close(); }

int32_t GameServerConnection::onReceive(const uint8_t* data, int32_t length) {
    if (!readChunks(data, length)) exitThread();
    return length;
}

bool GameServerConnection::readChunks(const uint8_t* data, int32_t length) {
    std::lock_guard<std::mutex> guard(m_server.getLock());
    bool keep = awaitHello();
    if (keep) m_reader.append(data, length);
    ChunkReader::State state;
    while (keep && (state = m_reader.beginChunk()) != ChunkReader::State::INCOMPLETE) {
        keep = state == ChunkReader::State::COMPLETE && m_server.handleChunk(*this, m_reader);
        if (!keep) break;
        ENGINE_ASSERT(m_reader.payloadLeft() == 0 && "m_readBufferPos == m_readLen");
        m_reader.endChunk();
    }
    keep = keep && awaitHello();
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
    // One write for the whole line: the accept thread shares the log with the game.
    g_logStream << formatStatic("got connection from %u.%u.%u.%u\n", unsigned(quad[0]), unsigned(quad[1]),
                                unsigned(quad[2]), unsigned(quad[3]));
    m_peerAddress = peer;
    m_fromThisMachine = sys::isOwnAddress(peer);
}

bool GameServerConnection::onIdle() {
    std::lock_guard<std::mutex> guard(m_server.getLock());
    return awaitHello();
}

bool GameServerConnection::mayGiveWay() {
    std::lock_guard<std::mutex> guard(m_server.getLock());
    return m_playerSlot == -1;
}

bool GameServerConnection::awaitHello() {
    if (!m_awaitingHello) return true;
    if (m_playerSlot != -1) {
        // A player may be quiet as long as it likes.
        m_awaitingHello = false;
        sys::setReceiveTimeout(socketHandle(), 0);
        return true;
    }
    auto left = std::chrono::ceil<std::chrono::milliseconds>(m_helloDeadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    sys::setReceiveTimeout(socketHandle(), static_cast<uint32_t>(left.count()));
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
