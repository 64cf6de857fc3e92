#include "net/NetControl.h"

#include <algorithm>
#include <chrono>

#include "engine/platform/Report.h"

namespace {

// How soon a connect hears that it was abandoned.
constexpr std::chrono::milliseconds ABANDON_SLICE{20};

// One line a value, hundreds a second in a race: only when asked for. One
// write a line: tools and tests run several clients in one process.
void logChunk(const char* what, int32_t nid, int32_t size) {
    if (g_logLevel < LOG_TRAFFIC) return;
    g_logStream << formatStatic("%s%d size: %d\n", what, int(nid), int(size));
}

} // namespace

NetControl& NetControl::getInstance() {
    static NetControl instance;
    return instance;
}

NetControl::NetControl() = default;

NetControl::~NetControl() {
    m_ticker.stop();
    closeConnection();
}

bool NetControl::connect(const char* host, bool isHost, const std::atomic<bool>* abandon) {
    m_playerSlot = 0;
    m_start = false;
    m_welcomed = false;
    m_refused = false;
    m_status = STATUS_LOST;
    m_ticker.stop();
    closeConnection();
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_reader.clear();
        m_lost = false;
        m_refusals.setPeer(std::string("lobby at ") + host);
    }
    const uint64_t receivedBefore = getTotalBytesReceived();
    if (!NetClient::connect(host, m_port, FLAG_RECEIVE_THREAD | FLAG_NO_DELAY, abandon)) {
        m_status = STATUS_CONNECT_FAILED;
        return false;
    }
    std::unique_lock<std::mutex> lock(m_lock);
    beginChunk(isHost ? NetProtocol::CHUNK_HOST_HELLO : NetProtocol::CHUNK_JOIN);
    sendChunk();
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(int(WELCOME_TIMEOUT * 1000));
    auto answered = [this] { return m_welcomed || m_refused || m_lost; };
    // In slices, so that a menu giving up is heard soon.
    while (!answered() && !(abandon && *abandon) && std::chrono::steady_clock::now() < giveUp)
        m_answer.wait_for(lock, ABANDON_SLICE, answered);
    bool lost = m_lost;
    lock.unlock();
    if (m_refused) {
        m_status = STATUS_REFUSED;
        return false;
    }
    if (lost || !isConnected()) {
        // Bytes that were neither welcome nor refusal: whatever listens there is no lobby.
        m_status = !m_welcomed && getTotalBytesReceived() != receivedBefore ? STATUS_NO_LOBBY : STATUS_LOST;
        return false;
    }
    if (m_welcomed) {
        m_ticker.start(signOfLifePeriod(m_silenceLimitMs), [this] { tick(); });
        return true;
    }
    const bool abandoned = abandon && *abandon;
    disconnect();
    if (!abandoned) m_status = STATUS_NO_LOBBY;
    return false;
}

bool NetControl::waitForStart(double seconds) {
    std::unique_lock<std::mutex> lock(m_lock);
    // NaN waits not at all; a day stands for "for ever" and keeps the clock's arithmetic in range.
    auto timeout = std::chrono::duration<double>(seconds > 0.0 ? std::min(seconds, 86400.0) : 0.0);
    return m_answer.wait_for(lock, timeout, [this] { return m_start || m_lost || !isConnected(); }) && m_start;
}

void NetControl::disconnect() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        beginChunk(NetProtocol::CHUNK_LEAVE);
        sendChunk();
    }
    m_status = STATUS_LEFT;
    m_ticker.stop();
    closeConnection();
}

void NetControl::tick() {
    if (!isConnected()) return;
    const uint32_t limit = m_silenceLimitMs;
    if (msSinceReceived() >= limit) {
        g_logStream << formatStatic("nothing from the lobby for %.1f s; connection lost\n", limit / 1000.0);
        endConnection();
        return;
    }
    if (msSinceSent() < signOfLifePeriod(limit).count()) return;
    std::lock_guard<std::mutex> guard(m_lock);
    beginChunk(NetProtocol::CHUNK_IGNORED);
    writeByte(0);
    sendChunk();
}

void NetControl::sendChangedValues() {
    if (!isConnected()) return;
    std::lock_guard<std::mutex> guard(m_lock);
    for (NetValueBase* value : m_netValue) {
        if ((value->getFlags() & NetValueBase::FLAG_SEND) && value->isChanged() && value->getNid() != -1) {
            beginChunk(value->getNid());
            m_writer.writeBytes(value->data(), value->size());
            sendChunk();
        }
        value->commit();
    }
}

void NetControl::sendLobbyClosed(bool closed) {
    std::lock_guard<std::mutex> guard(m_lock);
    beginChunk(NetProtocol::CHUNK_LOBBY_CLOSED);
    writeByte(closed ? 1 : 0);
    sendChunk();
}

void NetControl::addValue(NetValueBase* value) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_netValue.push_back(value);
}

void NetControl::removeValue(NetValueBase* value) {
    std::lock_guard<std::mutex> guard(m_lock);
    // By pointer: every value not yet given a nid shares -1.
    auto it = std::find(m_netValue.begin(), m_netValue.end(), value);
    if (it != m_netValue.end()) m_netValue.erase(it);
}

NetValueBase* NetControl::getValueId(int32_t id) const {
    for (NetValueBase* value : m_netValue)
        if (value->getNid() == id) return value;
    return nullptr;
}

void NetControl::beginChunk(int32_t nid) {
    ENGINE_ASSERT(nid < NetProtocol::MAX_NID && "nid < 2000");
    ENGINE_ASSERT(nid >= 0 && "nid >= 0");
    m_writer.begin(static_cast<uint16_t>(nid));
}

void NetControl::writeByte(uint8_t value) { m_writer.writeByte(value); }

void NetControl::writeShort(uint16_t value) { m_writer.writeShort(value); }

bool NetControl::sendChunk() {
    logChunk("writenid: ", m_writer.nid(), static_cast<int32_t>(m_writer.size()));
    bool ok = m_writer.finish() && sendBytes(m_writer.data(), m_writer.size());
    m_writer.clear();
    return ok;
}

int32_t NetControl::onReceive(const uint8_t* data, int32_t length) {
    std::unique_lock<std::mutex> lock(m_lock);
    m_reader.append(data, length);
    bool keep = true;
    ChunkReader::State state;
    while (keep && (state = m_reader.beginChunk()) != ChunkReader::State::INCOMPLETE) {
        if (state == ChunkReader::State::MALFORMED)
            m_refusals.refuse(RefusalLog::MALFORMED, "chunk length the lobby cannot have; leaving it");
        keep = state == ChunkReader::State::COMPLETE && handleChunk();
    }
    if (!keep) m_reader.clear();
    lock.unlock();
    // A leave from the server, or a stream we can no longer follow.
    if (!keep) exitThread();
    return length;
}

void NetControl::onDisconnect() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_lost = true;
        m_refusals.flush();
    }
    m_answer.notify_all();
}

bool NetControl::handleChunk() {
    int32_t payload = m_reader.payloadSize();
    switch (m_reader.nid()) {
    case NetProtocol::CHUNK_WELCOME:
        // The slot later indexes the riders: a welcome outside 0..4 is no welcome.
        if (payload == 1) {
            uint8_t slot = m_reader.readByte();
            if (slot < NetProtocol::MAX_PLAYERS) {
                m_playerSlot = slot;
                m_welcomed = true;
                m_answer.notify_all();
            }
        }
        break;
    case NetProtocol::CHUNK_REFUSED:
        m_refused = true;
        m_answer.notify_all();
        break;
    case NetProtocol::CHUNK_LEAVE:
        if (payload != 1) break;
        m_status = m_reader.readByte() != 0 ? STATUS_ENDED : STATUS_ENDED_BY_HOST;
        endReadChunk();
        return false;
    case NetProtocol::CHUNK_IGNORED:
        // The lobby's sign of life: having come is all it says.
        break;
    case NetProtocol::CHUNK_START:
        m_start = true;
        m_answer.notify_all();
        break;
    case NetProtocol::CHUNK_BARRIER:
        if (payload == 4) m_barrierValue = m_reader.readInt();
        break;
    default:
        if (m_reader.nid() < NetProtocol::MAX_NID) handleValueChunk();
        break;
    }
    m_reader.skipRest();
    endReadChunk();
    return true;
}

void NetControl::handleValueChunk() {
    const int32_t nid = m_reader.nid();
    NetValueBase* value = getValueId(nid);
    if (!value) {
        m_refusals.refuse(RefusalLog::UNKNOWN_VALUE, [&] { return formatStatic("value not present: %d", int(nid)); });
        return;
    }
    uint32_t payload = static_cast<uint32_t>(m_reader.payloadSize());
    // Half a value mixed with the old bytes is worse than the old value; what a peer sends is no invariant of ours.
    if (payload != value->size()) {
        m_refusals.refuse(RefusalLog::WRONG_SIZE, [&] {
            return formatStatic("value of the wrong size: %d size: %u, not %u", int(nid), unsigned(payload),
                                unsigned(value->size()));
        });
        return;
    }
    m_payload.resize(payload);
    m_reader.readRest(m_payload.data());
    value->setData(m_payload.data(), payload);
}

void NetControl::endReadChunk() {
    logChunk("readnid: ", m_reader.nid(), m_reader.chunkLength());
    ENGINE_ASSERT(m_reader.payloadLeft() == 0 && "m_readBufferPos == m_readLen");
    m_reader.endChunk();
}
