#pragma once
#include <memory>

#include "engine/platform/DataArchive.h"
#include "engine/platform/DiskFile.h"
#include "engine/platform/Random.h"
#include "game/Config.h"
#include "game/Race.h"
#include "tests/game/GameTestSupport.h"

// The packed demo data set the build makes, opened once for the whole test
// program as the game opens "data.sar".
inline File& demoArchive() {
    static DiskFile disk("");
    static std::unique_ptr<DataArchive> archive = [] {
        auto opened = std::make_unique<DataArchive>(disk);
        if (!opened->openArchive(DEMO_ARCHIVE_PATH)) opened.reset();
        return opened;
    }();
    if (!archive) throw std::runtime_error("no demo archive at " DEMO_ARCHIVE_PATH);
    return *archive;
}

// A configuration in a scratch folder (its "config.dat" and "highscore.dat"
// stay there) for a local race: rider 0 the player on the given moped, the
// other slots empty for computer riders.
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

private:
    ScratchFolder m_folder;
    Config m_config{nullptr};
};
