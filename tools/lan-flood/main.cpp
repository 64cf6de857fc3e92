// A hostile neighbour on the LAN, for trying a hosting game against it: guests
// that join and flood values of the wrong size, other riders' and players'
// forged records and states, the host's settings and unknown ids; guests that
// say ready over and over, or send small chunks no lobby takes as fast as the
// line goes; and strangers that send lengths no chunk has without a hello.
#include <functional>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "game/karts/RiderValueIds.h"
#include "game/records/Config.h"
#include "net/ChunkWriter.h"
#include "net/NetProtocol.h"
#include "sys/net/Socket.h"
#include "tools/usage/ToolUsage.h"

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t CONNECT_TIMEOUT_MS = 2000;
constexpr int CHUNKS_A_SEND = 64;
constexpr int SMALL_CHUNKS_A_SEND = 2048;

// Chunks to send at once, and how many.
struct Batch {
    Bytes bytes;
    uint64_t chunks = 0;
};
// What a guest in slot `own` sends, again and again.
using Flood = std::function<Batch(int own, std::mt19937& random)>;

std::atomic<uint64_t> g_chunks{0};
std::atomic<uint64_t> g_connections{0};

int usage(bool asked) {
    return showUsage("usage: lan-flood HOST PORT SECONDS [--joiners N] [--readies N] [--refused N] [--strangers N]\n"
                     "  floods the lobby at HOST:PORT for SECONDS from N joining guests that forge (2), that say\n"
                     "  ready (0), that send chunks no lobby takes (0), and N strangers (2)\n",
                     asked);
}

bool parseNumber(const char* text, long low, long high, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return *text && !*end && value >= low && value <= high;
}

void addChunk(Batch& out, uint16_t nid, const Bytes& payload) {
    ChunkWriter writer;
    writer.begin(nid);
    writer.writeBytes(payload.data(), static_cast<uint32_t>(payload.size()));
    if (!writer.finish()) return;
    const std::vector<uint8_t> chunk = writer.take();
    out.bytes.insert(out.bytes.end(), chunk.begin(), chunk.end());
    ++out.chunks;
}

template <typename T>
Bytes bytesOf(const T& value) {
    const auto* p = reinterpret_cast<const uint8_t*>(&value);
    return Bytes(p, p + sizeof value);
}

// What a guest in slot `own` sends that no copy may take: everything but its own values.
Batch forgeries(int own, std::mt19937& random) {
    Batch out;
    for (int slot = 0; slot < Config::RIDERS; ++slot) {
        if (slot == own) continue;
        Config::Player forged;
        forged.colour = slot % 4;
        forged.model = slot;
        forged.ready = 1;
        forged.raceReady = 1;
        std::strcpy(forged.name, "forged");
        addChunk(out, static_cast<uint16_t>(Config::PLAYER_NID + slot), bytesOf(forged));
        addChunk(out, static_cast<uint16_t>(RiderValueIds::nidOf(RiderValueIds::ACTIVE, slot)), {1});
        addChunk(out, static_cast<uint16_t>(RiderValueIds::nidOf(RiderValueIds::TRACK_FINISHED, slot)), {1});
        addChunk(out, static_cast<uint16_t>(RiderValueIds::nidOf(RiderValueIds::LAP, slot)), bytesOf(int32_t(99)));
        const float far[3] = {9999.0f, -9999.0f, 9999.0f};
        addChunk(out, static_cast<uint16_t>(RiderValueIds::nidOf(RiderValueIds::NET_POS, slot)), bytesOf(far));
    }
    addChunk(out, Config::GAME_NID, bytesOf(int32_t(2)));
    addChunk(out, Config::TRACK_NID, bytesOf(int32_t(5)));
    addChunk(out, Config::LAPS_NID, bytesOf(int32_t(99)));
    // Wrong sizes on ids of every kind, and ids no value holds.
    std::uniform_int_distribution<int> nid(12, NetProtocol::MAX_NID - 1), size(0, 300);
    for (int i = 0; i < CHUNKS_A_SEND; ++i) addChunk(out, static_cast<uint16_t>(nid(random)), Bytes(size(random), 0xA5));
    for (uint16_t unknown : {0, 5, 23, 24, 30, 31, 1999}) addChunk(out, unknown, Bytes(4, 1));
    addChunk(out, NetProtocol::CHUNK_LOBBY_CLOSED, {0});
    // Its own rider's values as fast as the line takes them: more than any race sends.
    const Bytes matrix(64, 0x3F);
    for (int i = 0; i < 20; ++i) addChunk(out, static_cast<uint16_t>(RiderValueIds::nidOf(RiderValueIds::MATRIX, own)), matrix);
    return out;
}

// Each ready asks for every value the lobby keeps.
Batch readies(int, std::mt19937&) {
    Batch out;
    for (int i = 0; i < SMALL_CHUNKS_A_SEND; ++i) addChunk(out, NetProtocol::CHUNK_READY, {});
    return out;
}

// The smallest chunks a lobby refuses: an id of no value, and its own rider's values cut short.
Batch refused(int own, std::mt19937&) {
    Batch out;
    const auto matrix = static_cast<uint16_t>(RiderValueIds::nidOf(RiderValueIds::MATRIX, own));
    for (int i = 0; i < SMALL_CHUNKS_A_SEND; ++i) addChunk(out, i % 2 ? matrix : uint16_t(1999), {1});
    return out;
}

bool sendAll(int socket, const Bytes& bytes) {
    size_t sent = 0;
    return sys::sendSocket(socket, bytes.data(), bytes.size(), sent);
}

int openConnection(uint32_t address, uint16_t port) {
    const int socket = sys::createTcpSocket();
    if (socket == sys::INVALID_SOCKET_HANDLE) return socket;
    if (!sys::connectSocket(socket, address, port, CONNECT_TIMEOUT_MS)) {
        sys::closeSocket(socket);
        return sys::INVALID_SOCKET_HANDLE;
    }
    sys::setSendTimeout(socket, 1000);
    sys::setReceiveTimeout(socket, 1000);
    ++g_connections;
    return socket;
}

// The welcome's slot; -1 when refused or nothing came.
int readWelcome(int socket) {
    uint8_t welcome[5];
    size_t have = 0;
    while (have < sizeof welcome) {
        size_t got = 0;
        if (sys::receiveSocket(socket, welcome + have, sizeof welcome - have, got) != sys::ReceiveResult::DATA)
            return -1;
        have += got;
    }
    const bool isWelcome = welcome[0] == 5 && welcome[1] == 0 && welcome[2] == NetProtocol::CHUNK_WELCOME;
    return isWelcome ? welcome[4] : -1;
}

// Whatever the lobby sends back is read and thrown away, so that it never cuts us off for not reading.
void drain(int socket, std::atomic<bool>& done) {
    uint8_t buffer[4096];
    while (!done) {
        size_t got = 0;
        const sys::ReceiveResult result = sys::receiveSocket(socket, buffer, sizeof buffer, got);
        if (result == sys::ReceiveResult::CLOSED || result == sys::ReceiveResult::FAILED) return;
    }
}

void guest(uint32_t address, uint16_t port, Clock::time_point until, unsigned seed, const Flood& flood,
           bool introduced) {
    std::mt19937 random(seed);
    while (Clock::now() < until) {
        const int socket = openConnection(address, port);
        if (socket == sys::INVALID_SOCKET_HANDLE) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        Batch hello;
        addChunk(hello, NetProtocol::CHUNK_JOIN, {});
        const int own = sendAll(socket, hello.bytes) ? readWelcome(socket) : -1;
        // A record of no rider keeps it in the lobby without showing a player.
        Batch record;
        Config::Player nobody;
        std::strcpy(nobody.name, "flood");
        addChunk(record, static_cast<uint16_t>(Config::PLAYER_NID + own), bytesOf(nobody));
        std::atomic<bool> done{false};
        std::thread reader(drain, socket, std::ref(done));
        bool open = own >= 0 && (!introduced || sendAll(socket, record.bytes));
        while (open && Clock::now() < until) {
            const Batch batch = flood(own, random);
            open = sendAll(socket, batch.bytes);
            if (open) g_chunks += batch.chunks;
        }
        done = true;
        sys::shutdownSocket(socket);
        reader.join();
        sys::closeSocket(socket);
        if (own < 0) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

void stranger(uint32_t address, uint16_t port, Clock::time_point until) {
    // A length of 0xFFFF, one below the header, and a value before any hello.
    const Bytes openings[] = {{0xFF, 0xFF, 0x30, 0x00, 1, 2, 3}, {0x02, 0x00, 0x20, 0x00}, {0x08, 0x00, 25, 0, 1, 1, 1, 1}};
    for (size_t turn = 0; Clock::now() < until; ++turn) {
        const int socket = openConnection(address, port);
        if (socket == sys::INVALID_SOCKET_HANDLE) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        if (sendAll(socket, openings[turn % 3])) ++g_chunks;
        uint8_t rest[64];
        size_t got = 0;
        sys::receiveSocket(socket, rest, sizeof rest, got);
        sys::closeSocket(socket);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (askedForHelp(argc, argv)) return usage(true);
    if (argc < 4) return usage(false);
    long port = 0, seconds = 0, joiners = 2, readiers = 0, refusers = 0, strangers = 2;
    if (!parseNumber(argv[2], 1, 65535, port) || !parseNumber(argv[3], 1, 3600, seconds)) return usage(false);
    for (int i = 4; i < argc; i += 2) {
        long* target = std::strcmp(argv[i], "--joiners") == 0     ? &joiners
                       : std::strcmp(argv[i], "--readies") == 0   ? &readiers
                       : std::strcmp(argv[i], "--refused") == 0   ? &refusers
                       : std::strcmp(argv[i], "--strangers") == 0 ? &strangers
                                                                  : nullptr;
        if (!target || i + 1 >= argc || !parseNumber(argv[i + 1], 0, 16, *target)) return usage(false);
    }
    uint32_t address = 0;
    if (!sys::socketStartup() || !sys::resolveHost(argv[1], address, CONNECT_TIMEOUT_MS)) {
        std::fprintf(stderr, "lan-flood: cannot find %s\n", argv[1]);
        return 1;
    }
    const Clock::time_point until = Clock::now() + std::chrono::seconds(seconds);
    std::vector<std::thread> threads;
    unsigned seed = 0;
    // The forgers send no record of their own: each is let go after its record time and comes again.
    const struct {
        long count;
        Flood flood;
        bool introduced;
    } guests[] = {{joiners, forgeries, false}, {readiers, readies, true}, {refusers, refused, true}};
    for (const auto& kind : guests)
        for (long g = 0; g < kind.count; ++g)
            threads.emplace_back(guest, address, uint16_t(port), until, ++seed, kind.flood, kind.introduced);
    for (long s = 0; s < strangers; ++s) threads.emplace_back(stranger, address, uint16_t(port), until);
    for (std::thread& thread : threads) thread.join();
    std::printf("lan-flood: %llu chunks over %llu connections in %ld s\n", (unsigned long long)g_chunks.load(),
                (unsigned long long)g_connections.load(), seconds);
    sys::socketCleanup();
    return 0;
}
