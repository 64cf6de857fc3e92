#pragma once
#include <cstdint>
#include <string>

#include "game/race/GameRules.h"
#include "game/records/BlowfishContext.h"
#include "net/NetValue.h"

class InputDevice;

// Everything the player chooses and the game keeps between runs. The race
// settings replicate, so every player of a LAN game holds the same mode,
// track, laps and rider records. Kept in "config.dat" as three records:
// the settings block, the binding kinds and the binding codes.
class Config {
public:
    static constexpr int RIDERS = GameRules::RIDERS;
    // The replicated values' ids: the host's mode, laps and track, then one record a slot.
    static constexpr int32_t GAME_NID = 20;
    static constexpr int32_t LAPS_NID = 21;
    static constexpr int32_t TRACK_NID = 22;
    static constexpr int32_t PLAYER_NID = 25;
    static constexpr int BINDINGS = 14; // 0 to 6 player 1, 7 to 13 player 2
    static constexpr uint32_t NAME_SIZE = 31;
    static constexpr int BINDING_KEY = 4; // binding kind of a keyboard key

    // One rider slot, 156 bytes, replicated as it lies in memory.
    struct Player {
        int32_t colour = -1; // -1: slot empty
        int32_t model = -1;
        char name[NAME_SIZE] = {};
        uint8_t ready = 0;     // pressed ready in the LAN lobby
        uint8_t raceReady = 0; // pressed Space in the LAN race; cleared with the ready byte by the race
        uint8_t raceFlag = 0;
        uint8_t unused[2] = {};
        int32_t startRank = 0; // place of the last race
        int32_t place = 0;
        float raceTime = 0.0f;
        int32_t racePoints = 0;
        float totalTime = 0.0f;
        int32_t points = 0; // championship total
        float bestLap = 0.0f;
        float lapTimes[21] = {};

        // A record from another machine may carry any bytes: the name is cut
        // to 30 characters and indices no moped has become the first one.
        friend void netValueReceived(Player& received) { received.sanitise(); }
        void sanitise();
    };

    struct Choice {
        int32_t value;
        int32_t limit;
    };

    // The first record of "config.dat", stored packed in 210 bytes, the
    // fields in this order (two names of 31 bytes at 40 and 71).
    struct Settings {
        static constexpr uint32_t STORED_SIZE = 210;

        int32_t m_displayWidth;
        int32_t m_displayHeight;
        int32_t m_brightness; // percent
        int32_t m_contrast;   // percent
        int32_t m_gamma;      // slider 0 to 100
        int32_t m_language;   // -1 none chosen, 0 to 5
        int32_t m_musicVolume;
        int32_t m_effectsVolume;
        int32_t m_objectDetail;  // 0 or 1
        int32_t m_textureDetail; // -2 to 0
        char m_playerName1[NAME_SIZE];
        char m_playerName2[NAME_SIZE];
        int32_t m_timeTrialLaps;
        Choice m_timeTrialModel;
        Choice m_timeTrialColour;
        Choice m_timeTrialTrack;
        Choice m_championshipModel;
        Choice m_championshipColour;
        Choice m_championshipTrack;
        Choice m_singleRaceModel;
        Choice m_singleRaceColour;
        Choice m_singleRaceTrack;
        int32_t m_singleRaceLaps;
        int32_t m_twoPlayerMode; // 1 single race, 3 championship
        int32_t m_twoPlayerModel1;
        int32_t m_twoPlayerModel2;
        int32_t m_twoPlayerColour1;
        int32_t m_twoPlayerColour2;
        int32_t m_twoPlayerLaps;
        int32_t m_twoPlayerTrack;

        // Values that the menus could have written: terminated names, sizes,
        // percentages, language and every choice in its range.
        bool isValid() const;

        void store(uint8_t* out) const;
        void restore(const uint8_t* in);
    };

    static constexpr const char* FILE_NAME = "config.dat";
    static const uint32_t FILE_SIZE; // 343 bytes
    static const char* const KEY;    // the configuration key, 16 characters

    // Loads "config.dat" from the folder; a missing or damaged file gives the
    // defaults, written at once. An empty folder keeps no file at all (tools).
    Config(InputDevice* inputDevice, const std::string& folder);
    Config(const Config&) = delete;
    Config& operator=(const Config&) = delete;

    // False when the file is missing, unreadable or damaged (a damaged one is set aside).
    bool load();
    // False when the file could not be written whole (the log then says
    // why), or is one that could not be read and so is kept as it is; the
    // old one then stays.
    bool save();
    // Where a data file of that name is kept beside "config.dat"; empty without a folder.
    std::string pathOf(const char* name) const;
    void setDefaultPlayerNames();

    InputDevice* m_inputDevice;
    NetValue<int> m_game; // 0 time trial, 1 single race, 2 elimination, 3 championship
    int32_t m_playMode;   // 0 one player, 1 split screen, 2 LAN
    NetValue<int> m_track;
    NetValue<int> m_laps;
    NetValue<Player> m_player[RIDERS];
    bool m_isHost;
    int32_t m_playerKind[RIDERS]; // 0 to 5, see the drivers
    bool m_raceAgain;
    bool m_menuFlag;
    bool m_showHighscores;
    int32_t m_highscoreTrack;
    int32_t m_highscoreTable; // 0 time trial, 1 single race, 2 championship
    std::string m_serverAddress;
    int32_t m_bindingKind[BINDINGS];
    int32_t m_bindingCode[BINDINGS];
    Settings m_settings;

private:
    bool bindingsValid() const;
    void forceChoiceLimits();

    BlowfishContext m_cipher;
    std::string m_folder;
    bool m_keepFile = false; // it exists but could not be read
};

static_assert(sizeof(Config::Player) == 156, "rider records travel as 156 bytes");
