#include "game/race/LanLobbyServer.h"

#include "engine/platform/Report.h"
#include "game/race/LanValueOwners.h"

std::unique_ptr<GameDaemon::GameServer> startLanLobbyServer(uint16_t port) {
    std::unique_ptr<GameDaemon::GameServer> server =
        GameDaemon::startGameDaemon(port, std::make_shared<LanValueOwners>());
    if (server->getBoundPort() == 0)
        g_logStream << formatStatic("lobby server: port %u is held by another program; a game hosted here joins "
                                    "that program's lobby, not its own, until the port is free\n",
                                    unsigned(port));
    return server;
}
