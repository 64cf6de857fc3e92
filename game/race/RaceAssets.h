#pragma once
#include <cstdint>
#include <string>

#include "game/race/GameRules.h"

// The files and numbers a race takes by moped model (0 to 4), colour (0 "blau"
// to 3 "rot") and track (0 to 5). An index outside its range is taken as 0,
// so a bad record never reads past a table.
class RaceAssets {
public:
    static constexpr int32_t MODELS = GameRules::MODELS;
    static constexpr int32_t COLOURS = GameRules::COLOURS;
    static constexpr int32_t TRACKS = GameRules::TRACKS;
    // Every pick-up box of a track is an instance of this object.
    static constexpr const char* PICKUP_OBJECT = "D:\\Skorvitane/3dobjects_extras/extra_addon.lwo";

    static int32_t validModel(int32_t model);
    static int32_t validColour(int32_t colour);
    static bool isTrack(int32_t track) { return track >= 0 && track < TRACKS; }

    // The moped's scene and object in the colour.
    static std::string mopedScene(int32_t model, int32_t colour);
    static std::string mopedObject(int32_t model, int32_t colour);
    static const char* figureObject(int32_t model);
    static const char* engineSound(int32_t model);
    static std::string settingsFile(int32_t model);
    // The in-race text naming a computer rider on the moped.
    static int32_t nameText(int32_t model);
    // The kart's contact radius: the smaller mopeds take 0.75.
    static float sizeFactor(int32_t model);

    static const char* trackScene(int32_t track);
    static const char* trackMusic(int32_t track);
};
