// Load on the lobby server from a race's own traffic. A headless race of five
// computer riders on a demo track is recorded as the game's client sends it,
// chunk by chunk and frame by frame; then five clients, one kart each, say
// ready and replay their kart's chunks through a lobby server at the race's
// frame rate, each frame followed by a time stamp. The race runs twice: on a
// quiet network and beside hostile peers. Prints for each the bytes and chunks
// a second into and out of the relay, the stamps' latency percentiles, the
// longest send queue a player had and whether any client ended with a value
// other than the last one sent; then how far the hostile peers moved the
// latency.
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "game/karts/Vehicle.h"
#include "game/race/Race.h"
#include "net/ChunkReader.h"
#include "net/ChunkWriter.h"
#include "net/GameServer.h"
#include "net/NetControl.h"
#include "net/NetValue.h"
#include "sys/net/Socket.h"
#include "sys/thread/Clock.h"
#include "tests/net/NetTestSupport.h"
#include "tests/support/DemoArchive.h"
#include "tools/race-run/RaceRun.h"

namespace {

constexpr int CLIENTS = 5;
constexpr int FRAME_RATE = 60;
constexpr uint32_t CAPTURE_TIMEOUT_MS = 5000;
constexpr double START_TIMEOUT_S = 20.0;
// What the hostile peers store: a megabyte on ids the race leaves free.
constexpr size_t HOSTILE_VALUES = 40;
constexpr size_t HOSTILE_VALUE_SIZE = 25000;
constexpr int NON_READERS = 5;
constexpr int READY_ASKS = 20;
// The latency the hostile peers may add, at the median and the 99th percentile.
constexpr double LATENCY_MARGIN_MS = 2.0;

std::mutex g_samplesLock;
std::vector<int64_t> g_latencies;
std::atomic<uint64_t> g_chunksDelivered{0};

} // namespace

struct Stamp {
    uint32_t frame;
    uint32_t sender;
    int64_t sentAt;
};

bool netValueDiffers(const Stamp& a, const Stamp& b) { return a.frame != b.frame; }

// Runs on the receiving client's thread the moment the chunk is taken.
void netValueReceived(Stamp& stamp) {
    int64_t latency = sys::performanceCounter() - stamp.sentAt;
    std::lock_guard<std::mutex> guard(g_samplesLock);
    g_latencies.push_back(latency);
}

namespace {

struct Chunk {
    uint16_t nid;
    std::vector<uint8_t> bytes;
};

// What the race sent, split by the rider whose value each chunk carries.
struct Recording {
    std::vector<std::array<std::vector<Chunk>, CLIENTS>> frames;
    std::map<uint16_t, uint32_t> sizes;
    std::map<uint16_t, int> owners;
};

// One value of the race as raw bytes of its recorded size.
class ByteValue final : public NetValueBase {
public:
    ByteValue(NetControl& client, int32_t nid, uint32_t size, uint32_t flags)
        : m_client(client), m_nid(nid), m_flags(flags), m_current(size), m_received(size) {
        m_client.addValue(this);
    }
    ~ByteValue() { m_client.removeValue(this); }
    ByteValue(const ByteValue&) = delete;
    ByteValue& operator=(const ByteValue&) = delete;

    void set(const std::vector<uint8_t>& bytes) {
        m_current = bytes;
        m_changed = true;
    }
    const std::vector<uint8_t>& get() const { return m_current; }

    const uint8_t* data() const override { return m_current.data(); }
    uint32_t size() const override { return static_cast<uint32_t>(m_current.size()); }
    bool isChanged() const override { return m_changed; }
    void setData(const uint8_t* bytes, uint32_t count) override {
        std::memcpy(m_received.data(), bytes, std::min<size_t>(count, m_received.size()));
        m_receivedMark = true;
        ++g_chunksDelivered;
    }
    void commit() override {
        if (m_receivedMark && (m_flags & FLAG_RECEIVE)) m_current = m_received;
        m_changed = false;
        m_receivedMark = false;
    }
    int32_t getNid() const override { return m_nid; }
    uint32_t getFlags() const override { return m_flags; }
    void setFlags(uint32_t flags) override { m_flags = flags; }
    const std::string& getName() const override { return m_name; }
    void setName(const std::string& name) override { m_name = name; }

private:
    NetControl& m_client;
    int32_t m_nid;
    uint32_t m_flags;
    std::string m_name;
    std::vector<uint8_t> m_current;
    std::vector<uint8_t> m_received;
    bool m_changed = false;
    bool m_receivedMark = false;
};

// The rider whose kart or record a value belongs to; the race's own settings go with the host.
int ownerOf(const NetValueBase* value, Race& race) {
    auto address = reinterpret_cast<uintptr_t>(value);
    for (int rider = 0; rider < CLIENTS; ++rider) {
        if (&race.m_config->m_player[rider] == value) return rider;
        const Vehicle* kart = race.getVehicle(rider);
        if (!kart) continue;
        auto begin = reinterpret_cast<uintptr_t>(kart);
        if (address >= begin && address < begin + sizeof(Vehicle)) return rider;
        for (size_t j = 0; j < Vehicle::MOTION_TRACKS; ++j)
            if (value == &kart->m_netMotionIntensity[j] || value == &kart->m_netMotionSpeed[j] ||
                value == &kart->m_netMotionOffset[j])
                return rider;
        for (size_t j = 0; j < Vehicle::SOAP_SLOTS; ++j)
            if (value == &kart->m_extraSoap[j] || value == &kart->m_extraSoapPos[j] ||
                value == &kart->m_extraSoapIndex[j])
                return rider;
    }
    return 0;
}

// Plays the lobby server for the game's own client: welcomes it as the host,
// then reads what it sends, a frame at a time up to the barrier chunk that
// ends each frame.
class Capture {
public:
    bool open() {
        m_listener = sys::createTcpSocket();
        if (!sys::bindAnyAddress(m_listener, 0) || !sys::listenSocket(m_listener)) return false;
        auto accepted = std::async(std::launch::async, [this] { return welcomeHost(); });
        NetControl& client = NetControl::getInstance();
        client.setPort(sys::boundPort(m_listener));
        bool welcomed = client.connect("localhost", true);
        return accepted.get() && welcomed;
    }
    ~Capture() {
        NetControl::getInstance().disconnect();
        NetControl::getInstance().setPort(NetProtocol::GAME_PORT);
        sys::closeSocket(m_peer);
        sys::closeSocket(m_listener);
    }

    // Ends the frame on the client, then takes its chunks; false when the stream broke.
    bool frame(std::vector<Chunk>& out) {
        NetControl& client = NetControl::getInstance();
        client.lock();
        client.beginChunk(NetProtocol::CHUNK_BARRIER);
        client.writeShort(0);
        client.writeShort(0);
        client.sendChunk();
        client.unlock();
        uint8_t buffer[4096];
        for (;;) {
            ChunkReader::State state;
            while ((state = m_reader.beginChunk()) == ChunkReader::State::COMPLETE) {
                uint16_t nid = m_reader.nid();
                std::vector<uint8_t> bytes(static_cast<size_t>(m_reader.payloadLeft()));
                m_reader.readRest(bytes.data());
                m_reader.endChunk();
                if (nid == NetProtocol::CHUNK_BARRIER) return true;
                out.push_back({nid, std::move(bytes)});
            }
            size_t received = 0;
            if (state == ChunkReader::State::MALFORMED ||
                sys::receiveSocket(m_peer, buffer, sizeof buffer, received) != sys::ReceiveResult::DATA)
                return false;
            m_reader.append(buffer, static_cast<int32_t>(received));
        }
    }

private:
    bool welcomeHost() {
        uint32_t peer = 0;
        m_peer = sys::acceptSocket(m_listener, peer);
        if (m_peer == sys::INVALID_SOCKET_HANDLE) return false;
        sys::setReceiveTimeout(m_peer, CAPTURE_TIMEOUT_MS);
        uint8_t hello[NetProtocol::HEADER_SIZE];
        size_t have = 0;
        while (have < sizeof hello) {
            size_t received = 0;
            if (sys::receiveSocket(m_peer, hello + have, sizeof hello - have, received) != sys::ReceiveResult::DATA)
                return false;
            have += received;
        }
        ChunkWriter welcome;
        welcome.begin(NetProtocol::CHUNK_WELCOME);
        welcome.writeByte(0);
        size_t sent = 0;
        return welcome.finish() && sys::sendSocket(m_peer, welcome.data(), welcome.size(), sent);
    }

    int m_listener = sys::INVALID_SOCKET_HANDLE;
    int m_peer = sys::INVALID_SOCKET_HANDLE;
    ChunkReader m_reader;
};

// Runs the race to past its countdown, then records `frames` frames of 1/60 s.
bool recordRace(int track, int frames, Recording& recording) {
    Capture capture;
    if (!capture.open()) {
        std::fprintf(stderr, "the game's client found no capturing server\n");
        return false;
    }
    RaceRunOptions options;
    options.track = track;
    options.laps = RaceRunOptions::MAX_LAPS;
    options.dt = 1.0 / FRAME_RATE;
    RaceRun run(demoArchive(), options);
    std::string error;
    if (!run.setUp(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::vector<Chunk> sent;
    if (!capture.frame(sent)) return false;
    NetControl& client = NetControl::getInstance();
    while (static_cast<int>(recording.frames.size()) < frames) {
        run.frame();
        sent.clear();
        if (!capture.frame(sent)) return false;
        if (run.race().m_countdownState != Race::RUNNING) continue;
        recording.frames.emplace_back();
        for (Chunk& chunk : sent) {
            auto known = recording.owners.find(chunk.nid);
            if (known == recording.owners.end()) {
                NetValueBase* value = client.getValueId(chunk.nid);
                known = recording.owners.emplace(chunk.nid, value ? ownerOf(value, run.race()) : 0).first;
                recording.sizes[chunk.nid] = static_cast<uint32_t>(chunk.bytes.size());
            }
            recording.frames.back()[known->second].push_back(std::move(chunk));
        }
    }
    return true;
}

// The highest value ids the race leaves free: the stamps travel under the
// first CLIENTS, the hostile peers store under the rest.
std::vector<int32_t> freeNids(const Recording& recording) {
    std::vector<int32_t> nids;
    for (int32_t nid = NetProtocol::MAX_NID - 1; nids.size() < CLIENTS + HOSTILE_VALUES; --nid)
        if (!recording.sizes.count(static_cast<uint16_t>(nid))) nids.push_back(nid);
    return nids;
}

struct Client {
    Client(int slot, const Recording& recording, const std::vector<int32_t>& stampNid) : index(slot) {
        for (const auto& [nid, size] : recording.sizes) {
            uint32_t flags = recording.owners.at(nid) == index ? NetValueBase::FLAG_SEND : NetValueBase::FLAG_RECEIVE;
            values[nid] = std::make_unique<ByteValue>(client, nid, size, flags);
        }
        // Registered last, so each frame's stamp leaves after the frame's values.
        for (int owner = 0; owner < CLIENTS; ++owner) {
            stamps.push_back(std::make_unique<NetValue<Stamp>>(client));
            stamps.back()->init(stampNid[owner], Stamp{0, 0, 0});
            stamps.back()->setFlags(owner == index ? NetValueBase::FLAG_SEND : NetValueBase::FLAG_RECEIVE);
        }
    }
    int index;
    NetControl client;
    std::map<uint16_t, std::unique_ptr<ByteValue>> values;
    std::vector<std::unique_ptr<NetValue<Stamp>>> stamps;
};

void replay(Client& c, const Recording& recording, std::chrono::steady_clock::time_point start,
            std::atomic<uint64_t>& chunksSent) {
    for (size_t frame = 0; frame < recording.frames.size(); ++frame) {
        std::this_thread::sleep_until(start + std::chrono::microseconds(1000000LL * frame / FRAME_RATE));
        const std::vector<Chunk>& own = recording.frames[frame][c.index];
        for (const Chunk& chunk : own) c.values.at(chunk.nid)->set(chunk.bytes);
        c.stamps[c.index]->set(Stamp{static_cast<uint32_t>(frame + 1), static_cast<uint32_t>(c.index),
                                     sys::performanceCounter()});
        c.client.sendChangedValues();
        chunksSent += own.size() + 1;
    }
}

// The bytes each nid carried last, as every other client should now hold them.
std::map<uint16_t, std::vector<uint8_t>> lastSent(const Recording& recording) {
    std::map<uint16_t, std::vector<uint8_t>> last;
    for (const auto& frame : recording.frames)
        for (const auto& chunks : frame)
            for (const Chunk& chunk : chunks) last[chunk.nid] = chunk.bytes;
    return last;
}

void printRecording(const Recording& recording) {
    std::array<uint64_t, CLIENTS> chunks{}, bytes{}, stored{};
    size_t busiest = 0;
    for (const auto& frame : recording.frames) {
        size_t inFrame = 0;
        for (int rider = 0; rider < CLIENTS; ++rider) {
            chunks[rider] += frame[rider].size();
            inFrame += frame[rider].size();
            for (const Chunk& chunk : frame[rider]) bytes[rider] += NetProtocol::HEADER_SIZE + chunk.bytes.size();
        }
        busiest = std::max(busiest, inFrame);
    }
    // The server keeps the last payload of every id: a rider's share is its values' sizes and its stamp.
    for (const auto& [nid, size] : recording.sizes) stored[recording.owners.at(nid)] += size;
    double frames = static_cast<double>(recording.frames.size());
    std::printf("recorded %zu frames of the race, %zu value ids; a frame, all karts: at most %zu chunks\n",
                recording.frames.size(), recording.sizes.size(), busiest);
    for (int rider = 0; rider < CLIENTS; ++rider)
        std::printf("  rider %d: %.1f chunks, %.0f bytes a frame; %llu bytes stored on the server\n", rider,
                    static_cast<double>(chunks[rider]) / frames, static_cast<double>(bytes[rider]) / frames,
                    static_cast<unsigned long long>(stored[rider] + sizeof(Stamp)));
}

// Peers that try to stall the lobby. In the lobby, before the guests come: a
// guest stores a megabyte on ids the race leaves free and leaves; then four
// guests ask for it twenty times each and read nothing, until the server cuts
// them off. During the race: connections that dribble bytes and never say
// hello take every free place, and five peers keep joining and asking for
// everything without reading.
class Hostiles {
public:
    Hostiles(GameDaemon::GameServer& server, std::vector<int32_t> nids) : m_server(server), m_nids(std::move(nids)) {
        m_asks = nettest::chunk(NetProtocol::CHUNK_JOIN);
        for (int i = 0; i < READY_ASKS; ++i) m_asks = nettest::join({m_asks, nettest::chunk(NetProtocol::CHUNK_READY)});
    }

    bool lobby() {
        nettest::RawPeer storer = nettest::RawPeer::connectTo(port());
        nettest::Chunk welcome;
        if (!storer.sendChunk(NetProtocol::CHUNK_JOIN) || !storer.read(welcome) ||
            welcome.nid != NetProtocol::CHUNK_WELCOME)
            return false;
        const nettest::Bytes value(HOSTILE_VALUE_SIZE, 0x5A);
        for (int32_t nid : m_nids) storer.sendChunk(static_cast<uint16_t>(nid), value);
        if (!nettest::waitUntil([&] { return m_server.getStoredBytes() >= HOSTILE_VALUES * HOSTILE_VALUE_SIZE; }))
            return false;
        storer.sendChunk(NetProtocol::CHUNK_LEAVE);
        if (!nettest::waitUntil([&] { return m_server.getOccupiedSlots() == 1; })) return false;
        std::vector<nettest::RawPeer> nonReaders;
        for (int i = 1; i < CLIENTS; ++i) nonReaders.push_back(ask());
        auto start = std::chrono::steady_clock::now();
        // Until every one of them is cut off and the guests' places are free again.
        bool cutOff = nettest::waitUntil([&] {
            for (auto& peer : nonReaders)
                if (!peer.hungUp()) return false;
            return m_server.getOccupiedSlots() == 1;
        }, 20000);
        std::printf("hostile lobby: %zu bytes stored by a guest that left; %d guests asking for them %d times "
                    "without reading were cut off after %.0f ms\n",
                    m_server.getStoredBytes(), CLIENTS - 1, READY_ASKS,
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        return cutOff;
    }

    void startRace() {
        auto dribble = [](nettest::RawPeer& peer) { peer.send({0x7C}); };
        m_dribblers = std::make_unique<nettest::HostilePeers>(
            static_cast<int>(NetServer::MAX_CONNECTIONS) - CLIENTS, [this](nettest::RawPeer& peer) {
                peer = nettest::RawPeer::connectTo(port());
            }, dribble);
        m_nonReaders = std::make_unique<nettest::HostilePeers>(
            NON_READERS, [this](nettest::RawPeer& peer) { peer = ask(); }, [](nettest::RawPeer&) {});
    }

    int stopRace() {
        int letGo = m_dribblers->letGo() + m_nonReaders->letGo();
        m_dribblers.reset();
        m_nonReaders.reset();
        return letGo;
    }

private:
    uint16_t port() const { return m_server.getBoundPort(); }
    nettest::RawPeer ask() {
        nettest::RawPeer peer = nettest::RawPeer::connectTo(port(), 4096);
        peer.send(m_asks);
        return peer;
    }

    GameDaemon::GameServer& m_server;
    std::vector<int32_t> m_nids;
    nettest::Bytes m_asks;
    std::unique_ptr<nettest::HostilePeers> m_dribblers;
    std::unique_ptr<nettest::HostilePeers> m_nonReaders;
};

struct RunResult {
    std::vector<int64_t> latencies; // sorted, in performance-counter ticks
    int wrong = 0;
    uint64_t delivered = 0;
    uint64_t expected = 0;

    double percentile(double p) const {
        if (latencies.empty()) return 0.0;
        size_t i = std::min(latencies.size() - 1, static_cast<size_t>(p * static_cast<double>(latencies.size())));
        return static_cast<double>(latencies[i]) * 1000.0 / static_cast<double>(sys::performanceFrequency());
    }
};

bool sayReady(std::vector<std::unique_ptr<Client>>& clients) {
    for (auto& c : clients) {
        c->client.lock();
        c->client.beginChunk(NetProtocol::CHUNK_READY);
        c->client.sendChunk();
        c->client.unlock();
    }
    for (auto& c : clients)
        if (!c->client.waitForStart(START_TIMEOUT_S)) return false;
    return true;
}

// One race through a fresh lobby server; false when it could not be run.
bool runRace(const Recording& recording, const std::vector<int32_t>& nids, bool hostile, RunResult& result) {
    {
        std::lock_guard<std::mutex> guard(g_samplesLock);
        g_latencies.clear();
    }
    g_chunksDelivered = 0;
    std::printf("\n%s\n", hostile ? "beside hostile peers:" : "quiet:");
    GameDaemon::GameServer server(0);
    if (!server.start()) {
        std::fprintf(stderr, "cannot start the lobby server\n");
        return false;
    }
    const std::vector<int32_t> stampNid(nids.begin(), nids.begin() + CLIENTS);
    Hostiles hostiles(server, std::vector<int32_t>(nids.begin() + CLIENTS, nids.end()));
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < CLIENTS; ++i) {
        clients.push_back(std::make_unique<Client>(i, recording, stampNid));
        NetControl& client = clients.back()->client;
        client.setPort(server.getBoundPort());
        if (!client.connect(i == 0 ? "localhost" : "127.0.0.1", i == 0)) {
            std::fprintf(stderr, "client %d was not welcomed\n", i);
            return false;
        }
        if (i == 0 && hostile && !hostiles.lobby()) {
            std::fprintf(stderr, "the hostile peers of the lobby were not cut off\n");
            return false;
        }
    }
    if (!sayReady(clients)) {
        std::fprintf(stderr, "a client was not started\n");
        return false;
    }
    if (hostile) hostiles.startRace();
    uint64_t inBefore = 0, outBefore = 0;
    for (auto& c : clients) {
        inBefore += c->client.getTotalBytesSent();
        outBefore += c->client.getTotalBytesReceived();
    }

    std::atomic<uint64_t> chunksSent{0};
    auto start = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
    std::vector<std::thread> threads;
    for (auto& c : clients) threads.emplace_back(replay, std::ref(*c), std::cref(recording), start, std::ref(chunksSent));
    for (std::thread& t : threads) t.join();
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    // Let the last frame arrive, then commit it as the next frame would.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int letGo = hostile ? hostiles.stopRace() : 0;
    const auto last = lastSent(recording);
    uint64_t in = 0, out = 0;
    for (auto& c : clients) {
        c->client.sendChangedValues();
        for (const auto& [nid, bytes] : last)
            result.wrong += recording.owners.at(nid) != c->index && c->values.at(nid)->get() != bytes;
        for (int owner = 0; owner < CLIENTS; ++owner)
            result.wrong += owner != c->index && c->stamps[owner]->get().frame != recording.frames.size();
        in += c->client.getTotalBytesSent();
        out += c->client.getTotalBytesReceived();
    }
    in -= inBefore;
    out -= outBefore;
    {
        std::lock_guard<std::mutex> guard(g_samplesLock);
        result.latencies = g_latencies;
    }
    std::sort(result.latencies.begin(), result.latencies.end());
    result.delivered = g_chunksDelivered + result.latencies.size();
    result.expected = chunksSent * (CLIENTS - 1);
    size_t peakQueued = server.getPlayersPeakQueued();

    std::printf("clients %d, frames per second %d, seconds %.2f\n", CLIENTS, FRAME_RATE, elapsed);
    std::printf("into the relay: %.0f bytes/s, %.0f chunks/s\n", static_cast<double>(in) / elapsed,
                static_cast<double>(chunksSent) / elapsed);
    std::printf("out of the relay: %.0f bytes/s, %.0f chunks/s (%llu of %llu chunks delivered)\n",
                static_cast<double>(out) / elapsed, static_cast<double>(result.delivered) / elapsed,
                static_cast<unsigned long long>(result.delivered), static_cast<unsigned long long>(result.expected));
    std::printf("frame stamp latency: median %.3f ms, 90th %.3f ms, 99th %.3f ms, 99.9th %.3f ms, max %.3f ms\n",
                result.percentile(0.5), result.percentile(0.9), result.percentile(0.99), result.percentile(0.999),
                result.percentile(1.0));
    std::printf("longest send queue of a player: %zu bytes (the server's limit %zu)\n", peakQueued,
                NetServerConnection::MAX_QUEUED_BYTES);
    if (hostile) std::printf("hostile connections let go during the race: %d\n", letGo);
    std::printf("values other than the last one sent: %d (%s)\n", result.wrong, result.wrong ? "LOST" : "none lost");

    for (auto& c : clients) c->client.disconnect();
    clients.clear();
    server.stop();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int seconds = 20;
    int track = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--track") == 0) track = std::clamp(std::atoi(argv[i + 1]), 0, 5);
    }

    Recording recording;
    if (!recordRace(track, seconds * FRAME_RATE, recording)) return 1;
    printRecording(recording);

    const std::vector<int32_t> nids = freeNids(recording);
    RunResult quiet, hostile;
    if (!runRace(recording, nids, false, quiet) || !runRace(recording, nids, true, hostile)) return 1;
    double median = hostile.percentile(0.5) - quiet.percentile(0.5);
    double p99 = hostile.percentile(0.99) - quiet.percentile(0.99);
    bool within = median <= LATENCY_MARGIN_MS && p99 <= LATENCY_MARGIN_MS;
    bool lost = quiet.wrong || hostile.wrong || quiet.delivered != quiet.expected ||
                hostile.delivered != hostile.expected;
    std::printf("\nhostile peers moved the latency by %+.3f ms at the median and %+.3f ms at the 99th percentile "
                "(%s %.0f ms); %s\n",
                median, p99, within ? "within" : "NOT within", LATENCY_MARGIN_MS, lost ? "chunks or values LOST" : "nothing lost");
    return lost ? 2 : within ? 0 : 3;
}
