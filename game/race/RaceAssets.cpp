#include "game/race/RaceAssets.h"

#include <cstdio>

namespace {

struct Moped {
    const char* scene;
    const char* object;
    const char* figure;
    const char* engine;
    float size;
};

// Colour 0's files; the other colours put their word in place of "blau".
const Moped MOPEDS[RaceAssets::MODELS] = {
    {"D:\\Vantorik\\3dobjects_cars\\hercules_blau.lws", "D:\\Vantorik/3dobjects_cars/hercules/hercules_blau.lwo",
     "D:\\Vantorik/3dobjects_cars/fahrer/fahrer_1.lwo", "D:\\Vantorik/soundfx/moped_hercules.wav", 0.75f},
    {"D:\\Vantorik\\3dobjects_cars\\kreidler_blau.lws", "D:\\Vantorik/3dobjects_cars/kreidler/kreidler_blau.lwo",
     "D:\\Vantorik/3dobjects_cars/fahrer/fahrer_5.lwo", "D:\\Vantorik/soundfx/moped_kreidler.wav", 0.75f},
    {"D:\\Vantorik\\3dobjects_cars\\roller_blau.lws", "D:\\Vantorik/3dobjects_cars/roller1/roller1_blau.lwo",
     "D:\\Vantorik/3dobjects_cars/fahrer/fahrer_2.lwo", "D:\\Vantorik/soundfx/moped_roller.wav", 0.75f},
    {"D:\\Vantorik\\3dobjects_cars\\vespa_blau.lws", "D:\\Vantorik/3dobjects_cars/vespa/vespa_blau.lwo",
     "D:\\Vantorik/3dobjects_cars/fahrer/fahrer_3.lwo", "D:\\Vantorik/soundfx/moped_vespa.wav", 1.0f},
    {"D:\\Vantorik\\3dobjects_cars\\yamaha_blau.lws", "D:\\Vantorik/3dobjects_cars/yamaha_dt_50m/yamaha_dt50m_blau.lwo",
     "D:\\Vantorik/3dobjects_cars/fahrer/fahrer_4.lwo", "D:\\Vantorik/soundfx/moped_yamaha.wav", 0.75f},
};

const char* const COLOUR_WORDS[RaceAssets::COLOURS] = {"blau", "gruen", "pink", "rot"};

const char* const TRACK_SCENES[RaceAssets::TRACKS] = {
    "D:\\Vantorik\\3dobjects_tracks\\track_01_parkhaus.lws",
    "D:\\Vantorik\\3dobjects_tracks\\track_02_einkaufszentrum.lws",
    "D:\\Vantorik\\3dobjects_tracks\\track_03_park.lws",
    "D:\\Vantorik\\3dobjects_tracks\\track_04_parkplatz.lws",
    "D:\\Vantorik\\3dobjects_tracks\\track_05_siedlung.lws",
    "D:\\Vantorik\\3dobjects_tracks\\track_06_ueberland.lws",
};

const char* const TRACK_MUSIC[RaceAssets::TRACKS] = {
    "D:\\Vantorik\\musics\\track01.ogg", "D:\\Vantorik\\musics\\track02.ogg", "D:\\Vantorik\\musics\\track03.ogg",
    "D:\\Vantorik\\musics\\track04.ogg", "D:\\Vantorik\\musics\\track05.ogg", "D:\\Vantorik\\musics\\track06.ogg",
};

std::string inColour(std::string name, int32_t colour) {
    for (size_t at = name.find("blau"); at != std::string::npos; at = name.find("blau", at + 1))
        name.replace(at, 4, COLOUR_WORDS[RaceAssets::validColour(colour)]);
    return name;
}

const Moped& moped(int32_t model) { return MOPEDS[RaceAssets::validModel(model)]; }

} // namespace

int32_t RaceAssets::validModel(int32_t model) { return model >= 0 && model < MODELS ? model : 0; }

int32_t RaceAssets::validColour(int32_t colour) { return colour >= 0 && colour < COLOURS ? colour : 0; }

std::string RaceAssets::mopedScene(int32_t model, int32_t colour) { return inColour(moped(model).scene, colour); }

std::string RaceAssets::mopedObject(int32_t model, int32_t colour) { return inColour(moped(model).object, colour); }

const char* RaceAssets::figureObject(int32_t model) { return moped(model).figure; }

const char* RaceAssets::engineSound(int32_t model) { return moped(model).engine; }

std::string RaceAssets::settingsFile(int32_t model) {
    char name[64];
    std::snprintf(name, sizeof name, "D:\\Vantorik\\carsettings_%d.dat", validModel(model));
    return name;
}

int32_t RaceAssets::nameText(int32_t model) { return 100 * (validModel(model) + 1); }

float RaceAssets::sizeFactor(int32_t model) { return moped(model).size; }

const char* RaceAssets::trackScene(int32_t track) { return TRACK_SCENES[isTrack(track) ? track : 0]; }

const char* RaceAssets::trackMusic(int32_t track) { return TRACK_MUSIC[isTrack(track) ? track : 0]; }
