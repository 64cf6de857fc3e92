#pragma once
#include <cstdint>
#include <memory>

#include "net/GameServer.h"

// The lobby server with the game's rules and values, as the game and the
// lobby-server tool run it. When another program holds the port, the log says
// so: a game hosted here then plays in that program's lobby until the port is free.
std::unique_ptr<GameDaemon::GameServer> startLanLobbyServer(uint16_t port);
