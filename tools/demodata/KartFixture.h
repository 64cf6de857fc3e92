#pragma once
#include <string>
#include <vector>

#include "engine/platform/Math3D.h"

// The kart test rig: a small flat test track and one test moped, written with
// the project's LightWave writers, and the data files the karts read (moped
// settings, the six computer-driver paths and the respawn points of track
// index 0). Tests pack `KartFixture::files()` into an archive and then do what
// the race set-up does:
//   1. load TRACK_SCENE into a fresh pool (`SceneLoader::loadScene`);
//   2. per rider: merge MOPED_SCENE into it (`SceneLoader::loadLWS`), load
//      SHADOW_OBJECT layer 0 (`SceneLoader::loadObject`) and create an empty
//      CAMERA_TARGET object (`LW6Scene::createObject`);
//   3. make the karts, enter the race's space pairs and surface kinds, then
//      start the pool: merged objects get their geoms at the start, "col"
//      with the scale its kart gave it (radius 1 at scale 1).
// Rider k (0-based) then owns instance k + 1 of "car_Ctrl", "col", the moped
// layers, the shadow and "CameraTarget", and actor "moped" number k.
//
// Axes: y up; a heading h (radians) turns the local z axis to (sin h, 0, cos h).
// The ground is flat at y = 0 over x, z in [-130, 130]; walls close the north,
// south and east edges, the west edge (x = -130) is open above the fall zone.
// The lap runs anticlockwise seen from above (+z on the east straight x = 35):
// a stadium of two straights (z in [-30, 30]) and two half circles about
// (0, 0, +-30). The test features lie west of the lap, off every driving line.
namespace KartFixture {

// One file of the fixture under the name the game opens it by.
struct Asset {
    std::string archiveName;
    std::string bytes;
};

// Where a kart stands: position on the ground and heading in radians.
struct Placement {
    Position3 position;
    float heading;
};

// Every file of the fixture.
std::vector<Asset> files();

// Archive names.
inline constexpr const char* TRACK_SCENE = "D:\\Vantorik\\3dobjects_tracks\\kart_test_track.lws";
inline constexpr const char* MOPED_SCENE = "D:\\Vantorik\\3dobjects_cars\\test_moped.lws";
inline constexpr const char* MOPED_OBJECT = "D:\\Vantorik/3dobjects_cars/test/test_moped.lwo";
inline constexpr const char* RIDER_OBJECT = "D:\\Vantorik/3dobjects_cars/test/test_rider.lwo";
// Not in the moped scene: the race loads it into the track scene per rider.
inline constexpr const char* SHADOW_OBJECT = "D:\\Vantorik/3dobjects_cars/kart_shadow.lwo";
inline constexpr const char* PICKUP_OBJECT = "D:\\Skorvitane/3dobjects_extras/extra_addon.lwo";
inline constexpr const char* SETTINGS_FILE = "D:\\Vantorik\\carsettings_0.dat";
inline constexpr const char* RESPAWN_FILE = "D:\\Vantorik\\ai_files\\track01\\ai_respawn.dat";
// Path 0 to 5 of a computer driver: "ai2.dat" to "ai7.dat".
std::string aiPathFile(int path);

// The configuration values the files belong to.
inline constexpr int TRACK_INDEX = 0;
inline constexpr int MOPED_MODEL = 0;
// The moped's contact radius and size factor, as the race hands them over.
inline constexpr float KART_RADIUS = 0.75f;
inline constexpr float KART_SCALE = 0.75f;

// Object names of the moped scene and of what the race adds.
inline constexpr const char* CONTROL = "car_Ctrl";
inline constexpr const char* COLLISION = "col";
inline constexpr const char* CAMERA_TARGET = "CameraTarget";
inline constexpr const char* ACTOR = "moped";
inline constexpr const char* TRACK_LEFT = "Left";
inline constexpr const char* TRACK_RIGHT = "Right";
inline constexpr const char* TRACK_CRASH = "Crash";
// LWO2 layer numbers of MOPED_OBJECT, as `getObject` matches them; the
// rider, shadow and pick-up objects have layer 0 only.
inline constexpr int BODY_LAYER = 0;
inline constexpr int FRONT_WHEEL_LAYER = 2;
inline constexpr int REAR_WHEEL_LAYER = 3;
// Wheel centres (the layers' pivots) in car_Ctrl's frame.
inline constexpr Position3 FRONT_WHEEL_CENTRE{0.0f, 0.3f, 0.55f};
inline constexpr Position3 REAR_WHEEL_CENTRE{0.0f, 0.3f, -0.55f};

// Null objects of the track, each with one box geom (layer -1 in `getObject`).
inline constexpr const char* START = "start";
inline constexpr const char* GROUND = "ground";
inline constexpr const char* WALL_NORTH = "wall_north";
inline constexpr const char* WALL_SOUTH = "wall_south";
inline constexpr const char* WALL_EAST = "wall_east";
inline constexpr const char* WALL_LONG = "wall_long";
inline constexpr const char* RAMP = "ramp";
inline constexpr const char* SPEEDUP_PAD = "speedup_pad";
inline constexpr const char* CRUSHER = "crusher";
inline constexpr const char* OBSTACLE = "obstacle";
inline constexpr const char* RESET_ZONE = "reset_zone";
inline constexpr const char* FALL_ZONE = "fall_zone";

// Surface kinds of the geoms.
inline constexpr int SURFACE_GROUND = 0;
inline constexpr int SURFACE_WALL = 1;
inline constexpr int SURFACE_KART = 6;
inline constexpr int SURFACE_RESET = 7;
inline constexpr int SURFACE_FALL = 8;
inline constexpr int SURFACE_OBSTACLE = 12;
inline constexpr int SURFACE_PICKUP = 13;
inline constexpr int SURFACE_CRUSHER = 14;
inline constexpr int SURFACE_SPEEDUP = 15;
// Spaces: the track lists "(default)" (index 0) and 1 to 11.
inline constexpr int SPACE_COUNT = 12;
inline constexpr int SPACE_GROUND = 1;
inline constexpr int SPACE_WALLS = 2;
inline constexpr int SPACE_RAYS = 3;
inline constexpr int SPACE_KARTS = 4;
inline constexpr int SPACE_ZONES = 6;
inline constexpr int SPACE_OBSTACLES = 7;
inline constexpr int SPACE_COMPUTER_KARTS = 9;
inline constexpr int SPACE_FALL = 11;

// The starts: five "start" nulls in a row behind the start line, 3 units apart
// along the lap. Start 1 heads exactly +z; starts 2 to 5 stand on the half
// circle before the straight, turned along it (headings 3k / 35 radians).
inline constexpr int START_COUNT = 5;
inline constexpr float START_LINE_Z = -29.0f;
// Instance 1 to START_COUNT.
Placement start(int instance);
// From start 1 straight ahead (+z) the ground is flat and empty for this long.
inline constexpr float FREE_RUN = 150.0f;

// The main lap (respawn points) and the six computer-driver paths: stadiums
// of these half widths, points in driving order.
inline constexpr float LAP_HALF_WIDTH = 35.0f;
inline constexpr float LAP_STRAIGHT_HALF = 30.0f;
inline constexpr float PATH_HALF_WIDTH[6] = {30.0f, 32.0f, 34.0f, 36.0f, 38.0f, 40.0f};
inline constexpr float PATH_SPEED = 0.29f;
inline constexpr float PATH_SPACING = 2.5f;
inline constexpr float RESPAWN_SPACING = 5.0f;
// Point counts of the files.
int aiPathPointCount(int path);
int respawnPointCount();

// Feature positions (centres; heights are those of the geoms' centres) and
// where to stand to drive into each, 15 units away, heading at it.
inline constexpr float GROUND_HALF_SIZE = 130.0f;
inline constexpr float WALL_HEIGHT = 3.0f;
// Runs along z from -50 to 50; its east face is at x = -54.5.
inline constexpr Position3 WALL_LONG_CENTRE{-55.0f, 1.5f, 0.0f};
inline constexpr Placement WALL_LONG_APPROACH{{-45.0f, 0.0f, 0.0f}, -PI / 2.0f};
// A 4 x 0.2 x 4 pad; its local z axis, the launch direction, is turned by
// SPEEDUP_HEADING: (0.5, 0, 0.8660254).
inline constexpr Position3 SPEEDUP_CENTRE{-80.0f, 0.0f, -40.0f};
inline constexpr float SPEEDUP_HEADING = 0.5235988f;
inline constexpr Placement SPEEDUP_APPROACH{{-80.0f, 0.0f, -55.0f}, 0.0f};
// A 4 x 2 x 4 zone standing on the ground.
inline constexpr Position3 CRUSHER_CENTRE{-80.0f, 1.0f, 40.0f};
inline constexpr Placement CRUSHER_APPROACH{{-80.0f, 0.0f, 25.0f}, 0.0f};
// A 1.5 cube of mass 4 resting on the ground. Its space (7) meets the ground
// only where a test enters the pair (7, 1); the race's list has no such pair.
inline constexpr Position3 OBSTACLE_CENTRE{-65.0f, 0.75f, 40.0f};
inline constexpr float OBSTACLE_MASS = 4.0f;
inline constexpr Placement OBSTACLE_APPROACH{{-65.0f, 0.0f, 25.0f}, 0.0f};
// A unit cube of PICKUP_OBJECT, resting on the ground.
inline constexpr Position3 PICKUP_CENTRE{-65.0f, 0.5f, -40.0f};
inline constexpr Placement PICKUP_APPROACH{{-65.0f, 0.0f, -55.0f}, 0.0f};
// A 4 x 2 x 4 zone standing on the ground.
inline constexpr Position3 RESET_CENTRE{-95.0f, 1.0f, -40.0f};
inline constexpr Placement RESET_APPROACH{{-95.0f, 0.0f, -55.0f}, 0.0f};
// 6 wide, 12 long, rising along +z by 10 degrees from y = 0 at z = 30 to
// RAMP_TOP_HEIGHT at its far edge, where it drops off.
inline constexpr Position3 RAMP_FOOT{-95.0f, 0.0f, 30.0f};
inline constexpr float RAMP_TOP_HEIGHT = 2.0837781f;
inline constexpr Placement RAMP_APPROACH{{-95.0f, 0.0f, 15.0f}, 0.0f};
// Beyond the west edge: a slab with its top at FALL_TOP, deep enough that a
// falling kart passes y = -20 (and respawns) before its rays reach it.
inline constexpr float FALL_EDGE_X = -130.0f;
inline constexpr float FALL_TOP = -30.0f;
inline constexpr Placement FALL_APPROACH{{-115.0f, 0.0f, 0.0f}, -PI / 2.0f};

} // namespace KartFixture
