// Load on the lobby server: five clients, six changed values each per frame,
// 100 frames a second. Prints the relay rate, the 99th percentile relay
// latency and whether any client ended with a value other than the last sent.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "net/GameServer.h"
#include "net/NetControl.h"
#include "net/NetValue.h"
#include "sys/thread/Clock.h"

namespace {

constexpr int CLIENTS = 5;
constexpr int VALUES = 6;
constexpr int FRAME_RATE = 100;
constexpr int32_t FIRST_NID = 100;

std::mutex g_samplesLock;
std::vector<int64_t> g_latencies;

} // namespace

struct Stamp {
    uint32_t sequence;
    uint32_t sender;
    int64_t sentAt;
};

bool netValueDiffers(const Stamp& a, const Stamp& b) { return a.sequence != b.sequence; }

// Runs on the receiving client's thread the moment the chunk is taken.
void netValueReceived(Stamp& stamp) {
    int64_t latency = sys::performanceCounter() - stamp.sentAt;
    std::lock_guard<std::mutex> guard(g_samplesLock);
    g_latencies.push_back(latency);
}

namespace {

struct Client {
    explicit Client(int index) {
        for (int owner = 0; owner < CLIENTS; ++owner) {
            for (int k = 0; k < VALUES; ++k) {
                auto value = std::make_unique<NetValue<Stamp>>(client);
                value->init(FIRST_NID + owner * VALUES + k, Stamp{0, 0, 0});
                value->setFlags(owner == index ? NetValueBase::FLAG_SEND : NetValueBase::FLAG_RECEIVE);
                (owner == index ? own : others).push_back(std::move(value));
            }
        }
    }
    NetControl client;
    std::vector<std::unique_ptr<NetValue<Stamp>>> own;
    std::vector<std::unique_ptr<NetValue<Stamp>>> others;
};

void runFrames(Client& c, int index, int frames, std::chrono::steady_clock::time_point start) {
    for (int frame = 1; frame <= frames; ++frame) {
        std::this_thread::sleep_until(start + std::chrono::microseconds(1000000LL * frame / FRAME_RATE));
        for (auto& value : c.own)
            value->set(Stamp{static_cast<uint32_t>(frame), static_cast<uint32_t>(index), sys::performanceCounter()});
        c.client.sendChangedValues();
    }
}

} // namespace

int main(int argc, char** argv) {
    int seconds = 10;
    if (argc == 3 && std::strcmp(argv[1], "--seconds") == 0) seconds = std::max(1, std::atoi(argv[2]));
    const int frames = seconds * FRAME_RATE;

    GameDaemon::GameServer server(0);
    if (!server.start()) {
        std::fprintf(stderr, "cannot start the lobby server\n");
        return 1;
    }
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < CLIENTS; ++i) {
        clients.push_back(std::make_unique<Client>(i));
        clients.back()->client.setPort(server.getBoundPort());
        if (!clients.back()->client.connect(i == 0 ? "localhost" : "127.0.0.1", i == 0)) {
            std::fprintf(stderr, "client %d was not welcomed\n", i);
            return 1;
        }
    }

    auto start = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
    std::vector<std::thread> threads;
    for (int i = 0; i < CLIENTS; ++i) threads.emplace_back(runFrames, std::ref(*clients[i]), i, frames, start);
    for (std::thread& t : threads) t.join();
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    // Let the last frame arrive, then commit it as the next frame would.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int wrong = 0;
    for (auto& c : clients) {
        c->client.sendChangedValues();
        for (auto& value : c->others) wrong += value->get().sequence != static_cast<uint32_t>(frames);
    }

    std::vector<int64_t> latencies;
    {
        std::lock_guard<std::mutex> guard(g_samplesLock);
        latencies = g_latencies;
    }
    std::sort(latencies.begin(), latencies.end());
    double toMs = 1000.0 / static_cast<double>(sys::performanceFrequency());
    auto percentile = [&](double p) {
        if (latencies.empty()) return 0.0;
        size_t i = std::min(latencies.size() - 1, static_cast<size_t>(p * static_cast<double>(latencies.size())));
        return static_cast<double>(latencies[i]) * toMs;
    };
    size_t expected = static_cast<size_t>(CLIENTS) * VALUES * frames * (CLIENTS - 1);
    std::printf("clients %d, values per frame %d, frames per second %d, seconds %.2f\n", CLIENTS, VALUES, FRAME_RATE,
                elapsed);
    std::printf("chunks relayed: %zu of %zu (%.0f per second)\n", latencies.size(), expected,
                static_cast<double>(latencies.size()) / elapsed);
    std::printf("relay latency: median %.3f ms, 99th percentile %.3f ms, max %.3f ms\n", percentile(0.5),
                percentile(0.99), latencies.empty() ? 0.0 : static_cast<double>(latencies.back()) * toMs);
    std::printf("values other than the last one sent: %d (%s)\n", wrong, wrong ? "LOST" : "none lost");

    for (auto& c : clients) c->client.disconnect();
    clients.clear();
    server.stop();
    return wrong ? 2 : 0;
}
