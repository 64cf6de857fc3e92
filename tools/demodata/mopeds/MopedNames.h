#pragma once
#include <string>

// Archive names of the moped content, as the race and the menus open them.
// Models 0 to 4 and colours 0 to 3 are those of the configuration.
namespace MopedNames {

inline constexpr int MODELS = 5;
inline constexpr int COLOURS = 4;
inline constexpr int RIDERS = 5;
inline constexpr const char* MODEL[MODELS] = {"hercules", "kreidler", "roller1", "vespa", "yamaha_dt50m"};
inline constexpr const char* COLOUR[COLOURS] = {"blau", "gruen", "pink", "rot"};
// The race's size factor of each model: the kart's contact radius.
inline constexpr float SIZE_FACTOR[MODELS] = {0.75f, 0.75f, 0.75f, 1.0f, 0.75f};
// The rider figure (1 to 5) that rides each model.
inline constexpr int RIDER_OF_MODEL[MODELS] = {1, 5, 2, 3, 4};

std::string mopedObject(int model, int colour);
// The far level of one layer of a moped object, that layer alone in its file as layer 0.
std::string farMopedObject(int model, int colour, int layer);
std::string mopedScene(int model, int colour);
std::string previewScene(int model, int colour);
std::string riderObject(int rider);
std::string settingsFile(int model);

inline constexpr const char* SHADOW = "D:\\Vantorik/3dobjects_cars/kart_shadow.lwo";
inline constexpr const char* MAGNET = "D:\\Skorvitane/3dobjects_extras/magnet.lwo";
inline constexpr const char* MINE = "D:\\Skorvitane/3dobjects_extras/miene_02.lwo";
inline constexpr const char* ROCKET_1 = "D:\\Skorvitane/3dobjects_extras/rakete_1.lwo";
inline constexpr const char* ROCKET_2 = "D:\\Skorvitane/3dobjects_extras/rakete_2.lwo";
inline constexpr const char* WEIGHT = "D:\\Skorvitane/3dobjects_extras/16_tonnen.lwo";
inline constexpr const char* BUBBLE = "D:\\Skorvitane/3dobjects_extras/bubble.lwo";
inline constexpr const char* LASER_1 = "D:\\Skorvitane/3dobjects_cars/laserstrahl1.lwo";
inline constexpr const char* LASER_2 = "D:\\Skorvitane/3dobjects_cars/laserstrahl2.lwo";
// The explosion shown at a hit, and its pictures by explosion type (rocket, froster, shrinker).
inline constexpr const char* EXPLOSION = "D:\\Skorvitane/3dobjects_extras/explosion.lwo";
inline constexpr const char* EXPLOSION_IMAGE[3] = {"D:\\Skorvitane/3dobjects_extras/explosion_rakete.bmp",
                                                   "D:\\Skorvitane/3dobjects_extras/explosion_froster.bmp",
                                                   "D:\\Skorvitane/3dobjects_extras/explosion_shrinker.bmp"};
// The preview's turntable.
inline constexpr const char* TURNTABLE = "D:\\Vantorik/menu/car_select/drehteller.lwo";

// Names inside the moped scenes.
inline constexpr const char* CONTROL = "car_Ctrl";
inline constexpr const char* COLLISION = "col";
inline constexpr const char* ACTOR = "moped";
inline constexpr const char* TRACK_LEFT = "Left";
inline constexpr const char* TRACK_RIGHT = "Right";
inline constexpr const char* TRACK_CRASH = "Crash";
// Object layers: the body, then the front and the rear wheel.
inline constexpr int BODY_LAYER = 0;
inline constexpr int FRONT_WHEEL_LAYER = 2;
inline constexpr int REAR_WHEEL_LAYER = 3;
// Geoms: the kart's body and the rockets.
inline constexpr int SURFACE_KART = 6;
inline constexpr int SPACE_KARTS = 4;
inline constexpr int SURFACE_ROCKET = 18;
inline constexpr int SPACE_THROWN = 5;
inline constexpr int BUBBLES_PER_RIDER = 4;

} // namespace MopedNames
