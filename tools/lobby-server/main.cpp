// Runs the game's lobby server on its own, with the game's rules, so that a
// game can join or host against it and the protocol can be tried with any TCP client.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <pthread.h>

#include "engine/platform/Report.h"
#include "game/race/LanLobbyServer.h"
#include "tools/usage/ToolUsage.h"

namespace {

int usage(bool asked) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "usage: lobby-server [--port N]   (default %u; stop with SIGINT or SIGTERM;\n"
                  "  what the lobby refuses goes to PLIMZOR_LOG, else to the standard output)\n",
                  NetProtocol::GAME_PORT);
    return showUsage(text, asked);
}

bool parsePort(const char* text, uint16_t& port) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (!*text || *end || value < 0 || value > 65535) return false;
    port = static_cast<uint16_t>(value);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (askedForHelp(argc, argv)) return usage(true);
    uint16_t port = NetProtocol::GAME_PORT;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc && parsePort(argv[i + 1], port)) {
            ++i;
            continue;
        }
        return usage(false);
    }
    if (!g_logStream.is_open()) g_logStream.capture(std::cout.rdbuf());
    // The signals are taken by sigwait here, never by a server thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::unique_ptr<GameDaemon::GameServer> server = startLanLobbyServer(port);
    if (server->getBoundPort() == 0) {
        std::fprintf(stderr, "lobby-server: cannot listen on port %u\n", port);
        GameDaemon::stopGameDaemon(server);
        return 1;
    }
    std::printf("lobby-server: listening on port %u\n", server->getBoundPort());
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    std::printf("lobby-server: stopping (%s)\n", signal == SIGINT ? "SIGINT" : "SIGTERM");
    GameDaemon::stopGameDaemon(server);
    return 0;
}
