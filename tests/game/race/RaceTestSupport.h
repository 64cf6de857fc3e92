#pragma once
#include <memory>

#include "engine/platform/Random.h"
#include "game/race/Race.h"
#include "game/records/Config.h"
#include "game/records/RunState.h"
#include "tests/game/GameTestSupport.h"
#include "tests/support/DemoArchive.h"

// A configuration in a scratch folder (its "config.dat" and "highscore.dat"
// stay there) for a local race: rider 0 the player on the given moped, the
// other slots empty for computer riders; with the state of a run its races share.
class RaceConfig {
public:
    explicit RaceConfig(int game = Race::SINGLE_RACE, int track = 0, int laps = 1, int model = 0, int colour = 0) {
        m_config.m_game.set(game);
        m_config.m_track.set(track);
        m_config.m_laps.set(laps);
        m_config.m_playMode = Race::ONE_PLAYER;
        m_config.m_isHost = true;
        for (int i = 0; i < Config::RIDERS; ++i) {
            *m_config.m_player[i].modify() = Config::Player();
            m_config.m_playerKind[i] = Race::COMPUTER;
        }
        Config::Player& own = *m_config.m_player[0].modify();
        own.model = model;
        own.colour = colour;
        m_config.m_playerKind[0] = Race::SINGLE;
        Random::reset();
    }
    Config& config() { return m_config; }
    RunState& run() { return m_run; }

private:
    ScratchFolder m_folder;
    Config m_config{nullptr, "."};
    RunState m_run;
};
