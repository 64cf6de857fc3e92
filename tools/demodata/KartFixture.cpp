#include "tools/demodata/KartFixture.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "tools/lightwave/Lwo2Writer.h"
#include "tools/lightwave/LwsWriter.h"
#include "sys/Pi.h"

namespace KartFixture {
namespace {

using Vec = std::array<float, 3>;

constexpr int GEOM_SPHERE = 0;
constexpr int GEOM_BOX = 1;
// A negative pitch raises the local z axis.
constexpr float RAMP_PITCH = -10.0f * PI / 180.0f;
constexpr Vec RAMP_SIZE{6.0f, 1.0f, 12.0f};
constexpr float START_SPACING = 3.0f;
// Object indices of the moped scene, for parents and the actor.
constexpr uint32_t CONTROL_INDEX = 0;
constexpr uint32_t RIDER_INDEX = 5;

Vec vec(Position3 p) { return {p.x, p.y, p.z}; }

// ---- Object files -------------------------------------------------------

// A box between two corners, every face tagged with `surface`.
Lwo2Layer boxLayer(uint16_t number, const char* name, Vec low, Vec high, uint16_t surface, Vec pivot = {}) {
    Lwo2Layer layer;
    layer.number = number;
    layer.name = name;
    layer.pivot = pivot;
    const Vec& l = low;
    const Vec& h = high;
    layer.points = {{l[0], l[1], l[2]}, {h[0], l[1], l[2]}, {h[0], h[1], l[2]}, {l[0], h[1], l[2]},
                    {l[0], l[1], h[2]}, {h[0], l[1], h[2]}, {h[0], h[1], h[2]}, {l[0], h[1], h[2]}};
    Lwo2PolygonList faces;
    faces.polygons = {{{0, 1, 2, 3}}, {{4, 7, 6, 5}}, {{0, 4, 5, 1}}, {{1, 5, 6, 2}}, {{2, 6, 7, 3}}, {{3, 7, 4, 0}}};
    layer.polygonLists.push_back(faces);
    Lwo2PolygonTags tags;
    for (uint32_t i = 0; i < 6; ++i) tags.tags.push_back({i, surface});
    layer.polygonTags.push_back(tags);
    return layer;
}

// A box centred on `centre` (also the pivot) with the given half sizes.
Lwo2Layer boxAround(uint16_t number, const char* name, Position3 centre, Vec half, uint16_t surface) {
    Vec c = vec(centre);
    return boxLayer(number, name, {c[0] - half[0], c[1] - half[1], c[2] - half[2]},
                    {c[0] + half[0], c[1] + half[1], c[2] + half[2]}, surface, c);
}

std::string bytesOf(std::vector<Lwo2Layer> layers, const std::vector<std::string>& surfaces) {
    Lwo2Object object;
    object.tags = surfaces;
    object.layers = std::move(layers);
    for (const std::string& name : surfaces) {
        Lwo2Surface surface;
        surface.name = name;
        surface.color = Lwo2ColorValue{{0.7f, 0.7f, 0.7f}, 0};
        surface.values = {{"DIFF", {1.0f, 0}}};
        object.surfaces.push_back(surface);
    }
    Lwo2Writer writer;
    writer.writeObject(object);
    std::vector<uint8_t> bytes = writer.bytes();
    return std::string(bytes.begin(), bytes.end());
}

// Body (layer 0) and the two wheels (layers 2 and 3, pivots at their
// centres); the surface names are those the race paints by colour.
std::string mopedObject() {
    Lwo2Layer body = boxLayer(BODY_LAYER, "body", {-0.2f, 0.3f, -0.6f}, {0.2f, 0.8f, 0.6f}, 0);
    body.polygonTags[0].tags[4].tag = 1; // the top is metal
    return bytesOf({body, boxAround(FRONT_WHEEL_LAYER, "front_wheel", FRONT_WHEEL_CENTRE, {0.06f, 0.3f, 0.3f}, 2),
                    boxAround(REAR_WHEEL_LAYER, "rear_wheel", REAR_WHEEL_CENTRE, {0.06f, 0.3f, 0.3f}, 2)},
                   {"dynamic_main", "dynamic_main_metal", "dynamic_reifen"});
}

// Pivot on the seat, so the rider leans about it.
std::string riderObject() {
    return bytesOf({boxLayer(0, "rider", {-0.18f, 0.8f, -0.3f}, {0.18f, 1.5f, 0.1f}, 0, {0.0f, 0.8f, -0.1f})},
                   {"dynamic_fahrer"});
}

// A flat quad facing up.
std::string shadowObject() {
    Lwo2Layer quad;
    quad.name = "shadow";
    quad.points = {{-0.5f, 0.0f, -0.9f}, {0.5f, 0.0f, -0.9f}, {0.5f, 0.0f, 0.9f}, {-0.5f, 0.0f, 0.9f}};
    Lwo2PolygonList face;
    face.polygons = {{{0, 1, 2, 3}}};
    quad.polygonLists.push_back(face);
    quad.polygonTags.push_back({"SURF", {{0, 0}}});
    return bytesOf({quad}, {"shadow"});
}

std::string pickupObject() {
    return bytesOf({boxLayer(0, "extra", {-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}, 0)}, {"extra"});
}

// ---- Scenes -------------------------------------------------------------

LwsObject nullObject(const char* name, Vec position, Vec rotation = {}, Vec scale = {1.0f, 1.0f, 1.0f}) {
    LwsObject object;
    object.nullName = name;
    object.item.motion = lwsStillMotion(position, rotation, scale);
    return object;
}

// A null with a box geom of that size. The size stays out of the object's
// scale: the karts take a pad's z axis as a unit launch direction.
LwsObject boxGeom(const char* name, Vec centre, Vec size, int surface, int space, Vec rotation = {}) {
    LwsObject object = nullObject(name, centre, rotation);
    object.geom = LwsGeom{GEOM_BOX, surface, space, size, std::nullopt};
    return object;
}

LwsObject layerObject(const char* file, int layer, Vec position) {
    LwsObject object;
    object.fileName = file;
    object.layer = layer + 1; // the scene file counts layers from 1
    object.item.motion = lwsStillMotion(position);
    return object;
}

// Centre of the ramp box whose top face rises from RAMP_FOOT.
Vec rampCentre() {
    float s = std::sin(RAMP_PITCH), c = std::cos(RAMP_PITCH);
    float halfLength = RAMP_SIZE[2] * 0.5f;
    // Middle of the top face, less half the thickness along the tilted y axis (0, c, s).
    return {RAMP_FOOT.x, -halfLength * s - 0.5f * c, RAMP_FOOT.z + halfLength * c - 0.5f * s};
}

LwsOdeMaster physicsMaster() {
    const char* names[SPACE_COUNT] = {"(default)", "ground",         "walls",          "rays",
                                      "karts",     "thrown",         "zones",          "obstacles",
                                      "ai_walls",  "computer_karts", "kart_triggers",  "fall"};
    LwsOdeMaster master;
    master.gravity = Vec{0.0f, -9.81f, 0.0f};
    master.solver = 0;
    master.spaces.push_back({names[0], 1, -1});
    for (int i = 1; i < SPACE_COUNT; ++i) master.spaces.push_back({names[i], 0, 0});
    return master;
}

LwsScene trackScene() {
    LwsScene scene;
    scene.firstFrame = 0;
    scene.lastFrame = 60;
    scene.framesPerSecond = 30.0f;
    scene.odeMaster = physicsMaster();

    for (int k = 1; k <= START_COUNT; ++k) {
        Placement p = start(k);
        scene.objects.push_back(nullObject(START, vec(p.position), {p.heading, 0.0f, 0.0f}));
    }
    const float side = 2.0f * GROUND_HALF_SIZE;
    const float wallY = WALL_HEIGHT * 0.5f;
    const float edge = GROUND_HALF_SIZE + 0.5f;
    auto& objects = scene.objects;
    objects.push_back(boxGeom(GROUND, {0.0f, -0.5f, 0.0f}, {side, 1.0f, side}, SURFACE_GROUND, SPACE_GROUND));
    objects.push_back(boxGeom(WALL_NORTH, {0.0f, wallY, edge}, {side + 2.0f, WALL_HEIGHT, 1.0f}, SURFACE_WALL,
                              SPACE_WALLS));
    objects.push_back(boxGeom(WALL_SOUTH, {0.0f, wallY, -edge}, {side + 2.0f, WALL_HEIGHT, 1.0f}, SURFACE_WALL,
                              SPACE_WALLS));
    objects.push_back(boxGeom(WALL_EAST, {edge, wallY, 0.0f}, {1.0f, WALL_HEIGHT, side}, SURFACE_WALL, SPACE_WALLS));
    objects.push_back(
        boxGeom(WALL_LONG, vec(WALL_LONG_CENTRE), {1.0f, WALL_HEIGHT, 100.0f}, SURFACE_WALL, SPACE_WALLS));
    objects.push_back(boxGeom(RAMP, rampCentre(), RAMP_SIZE, SURFACE_GROUND, SPACE_GROUND, {0.0f, RAMP_PITCH, 0.0f}));
    objects.push_back(boxGeom(SPEEDUP_PAD, vec(SPEEDUP_CENTRE), {4.0f, 0.2f, 4.0f}, SURFACE_SPEEDUP, SPACE_ZONES,
                              {SPEEDUP_HEADING, 0.0f, 0.0f}));
    objects.push_back(boxGeom(CRUSHER, vec(CRUSHER_CENTRE), {4.0f, 2.0f, 4.0f}, SURFACE_CRUSHER, SPACE_ZONES));
    objects.push_back(boxGeom(RESET_ZONE, vec(RESET_CENTRE), {4.0f, 2.0f, 4.0f}, SURFACE_RESET, SPACE_ZONES));
    const Vec obstacleSize{1.5f, 1.5f, 1.5f};
    LwsObject obstacle = boxGeom(OBSTACLE, vec(OBSTACLE_CENTRE), obstacleSize, SURFACE_OBSTACLE, SPACE_OBSTACLES);
    obstacle.body = LwsBody{GEOM_BOX, OBSTACLE_MASS, obstacleSize, std::nullopt};
    objects.push_back(obstacle);
    LwsObject pickup = layerObject(PICKUP_OBJECT, 0, vec(PICKUP_CENTRE));
    pickup.geom = LwsGeom{GEOM_BOX, SURFACE_PICKUP, SPACE_ZONES, {1.0f, 1.0f, 1.0f}, std::nullopt};
    objects.push_back(pickup);
    const float fallWidth = 60.0f;
    objects.push_back(boxGeom(FALL_ZONE, {FALL_EDGE_X - fallWidth * 0.5f, FALL_TOP - 0.5f, 0.0f},
                              {fallWidth, 1.0f, side + 2.0f}, SURFACE_FALL, SPACE_FALL));

    scene.ambientIntensity = LwsValue(0.3f);
    LwsLight sun;
    sun.name = "Sun";
    sun.type = 0;
    sun.item.motion = lwsStillMotion({0.0f, 50.0f, 0.0f}, {0.5f, 0.9f, 0.0f});
    scene.lights.push_back(sun);
    LwsCamera camera;
    camera.item.motion = lwsStillMotion({LAP_HALF_WIDTH, 3.0f, -40.0f}, {0.0f, 0.15f, 0.0f});
    scene.cameras.push_back(camera);
    return scene;
}

LwsActorMotion riderMotion(const char* name, const char* channel, float lean) {
    LwsActorMotion motion;
    motion.name = name;
    motion.range = {0.0f, 15.0f};
    LwsEnvelope envelope{{LwsKey{0.0f, 0.0f, 0}, LwsKey{lean, 0.5f, 0}}, 1, 1};
    motion.items.push_back({"Rider", 1, {{std::string("Rider.") + channel, 0, 1, envelope}}});
    return motion;
}

LwsMixer mopedMixer() {
    LwsActor actor;
    actor.name = ACTOR;
    actor.items = {{"Rider", lwsObjectId(RIDER_INDEX)}};
    actor.motions = {riderMotion(TRACK_LEFT, "Rotation.B", 0.35f), riderMotion(TRACK_RIGHT, "Rotation.B", -0.35f),
                     riderMotion(TRACK_CRASH, "Rotation.P", -0.6f)};
    LwsMixer mixer;
    mixer.actors.push_back(actor);
    mixer.trackMotions = {TRACK_LEFT, TRACK_RIGHT, TRACK_CRASH};
    mixer.prefs = 0;
    return mixer;
}

// The objects in the order CONTROL_INDEX .. RIDER_INDEX; the light and camera
// only make the file a whole scene (a merge load reads neither).
LwsScene mopedScene() {
    LwsScene scene;
    scene.mixer = mopedMixer();

    LwsObject control;
    control.nullName = CONTROL;
    LwsObject collision = nullObject(COLLISION, {0.0f, 0.1f, 0.0f});
    collision.body = LwsBody{GEOM_SPHERE, 1.0f, {1.0f, 1.0f, 1.0f}, std::nullopt};
    collision.geom = LwsGeom{GEOM_SPHERE, SURFACE_KART, SPACE_KARTS, {1.0f, 1.0f, 1.0f}, std::nullopt};
    LwsObject body = layerObject(MOPED_OBJECT, BODY_LAYER, {0.0f, 0.0f, 0.0f});
    LwsObject front = layerObject(MOPED_OBJECT, FRONT_WHEEL_LAYER, vec(FRONT_WHEEL_CENTRE));
    LwsObject rear = layerObject(MOPED_OBJECT, REAR_WHEEL_LAYER, vec(REAR_WHEEL_CENTRE));
    LwsObject rider = layerObject(RIDER_OBJECT, 0, {0.0f, 0.8f, -0.1f});
    for (LwsObject* child : {&body, &front, &rear, &rider}) child->item.parentItem = lwsObjectId(CONTROL_INDEX);
    scene.objects = {control, collision, body, front, rear, rider};

    scene.lights.emplace_back();
    scene.cameras.emplace_back();
    return scene;
}

// ---- Data files ---------------------------------------------------------

void appendFloat(std::string& out, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

float stadiumLength(float halfWidth) { return 4.0f * LAP_STRAIGHT_HALF + 2.0f * PI * halfWidth; }

// The point `s` units along the stadium of that half width, from the foot of
// its east straight (halfWidth, 0, -LAP_STRAIGHT_HALF), anticlockwise.
Position3 stadiumPoint(float halfWidth, float s) {
    const float straight = 2.0f * LAP_STRAIGHT_HALF;
    const float halfCircle = PI * halfWidth;
    const float h = LAP_STRAIGHT_HALF;
    if (s < straight) return {halfWidth, 0.0f, -h + s};
    s -= straight;
    if (s < halfCircle) return {halfWidth * std::cos(s / halfWidth), 0.0f, h + halfWidth * std::sin(s / halfWidth)};
    s -= halfCircle;
    if (s < straight) return {-halfWidth, 0.0f, h - s};
    s -= straight;
    float a = PI + s / halfWidth;
    return {halfWidth * std::cos(a), 0.0f, -h + halfWidth * std::sin(a)};
}

int pointCount(float halfWidth, float spacing) {
    return static_cast<int>(std::lround(stadiumLength(halfWidth) / spacing));
}

// 16-byte records x, y, z, speed around the stadium.
std::string stadiumRecords(float halfWidth, float spacing, float speed) {
    const int count = pointCount(halfWidth, spacing);
    const float step = stadiumLength(halfWidth) / static_cast<float>(count);
    std::string out;
    for (int i = 0; i < count; ++i) {
        Position3 p = stadiumPoint(halfWidth, step * static_cast<float>(i));
        for (float v : {p.x, p.y, p.z, speed}) appendFloat(out, v);
    }
    return out;
}

std::string settingsFile() {
    std::string out;
    for (float v : {0.29f, 0.435f, 0.000368f, 1.16f, 187.0f, 748.0f, -0.001216f, -0.000504f, -0.0016f, 0.5f})
        appendFloat(out, v);
    return out;
}

} // namespace

std::string aiPathFile(int path) {
    return "D:\\Vantorik\\ai_files\\track01\\ai" + std::to_string(path + 2) + ".dat";
}

Placement start(int instance) {
    // Start 1 at the foot of the east straight, the others back along the half circle.
    float back = START_SPACING * static_cast<float>(instance - 1);
    float s = instance == 1 ? 0.0f : stadiumLength(LAP_HALF_WIDTH) - back;
    return {stadiumPoint(LAP_HALF_WIDTH, s), back / LAP_HALF_WIDTH};
}

int aiPathPointCount(int path) { return pointCount(PATH_HALF_WIDTH[path], PATH_SPACING); }

int respawnPointCount() { return pointCount(LAP_HALF_WIDTH, RESPAWN_SPACING); }

std::vector<Asset> files() {
    std::vector<Asset> out = {
        {TRACK_SCENE, LwsWriter().write(trackScene())},
        {MOPED_SCENE, LwsWriter().write(mopedScene())},
        {MOPED_OBJECT, mopedObject()},
        {RIDER_OBJECT, riderObject()},
        {SHADOW_OBJECT, shadowObject()},
        {PICKUP_OBJECT, pickupObject()},
        {SETTINGS_FILE, settingsFile()},
        {RESPAWN_FILE, stadiumRecords(LAP_HALF_WIDTH, RESPAWN_SPACING, PATH_SPEED)},
    };
    for (int path = 0; path < 6; ++path)
        out.push_back({aiPathFile(path), stadiumRecords(PATH_HALF_WIDTH[path], PATH_SPACING, PATH_SPEED)});
    return out;
}

} // namespace KartFixture
