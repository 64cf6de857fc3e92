#include "tools/demodata/tracks/TrackBuilder.h"

#include <algorithm>
#include <cmath>

#include "tools/demodata/tracks/BmpWriter.h"
#include "tools/demodata/tracks/PcxWriter.h"
#include "tools/demodata/tracks/TrackMaps.h"
#include "tools/demodata/tracks/TrackTextures.h"
#include "tools/demodata/tracks/WaveWriter.h"
#include "tools/lightwave/LwsWriter.h"
#include "sys/Pi.h"

namespace {

constexpr int GEOM_BOX = 1;
constexpr int GEOM_TRIANGLE_MESH = 3;
constexpr int MASS_BOX = 1;
constexpr int START_COUNT = 5;
// The pole stands this far behind the line, the others further back in two rows;
// start 1 is the rearmost, where slot 0 (the player, who starts last) stands.
constexpr float START_BACK = 4.0f;
constexpr float START_SPACING = 3.5f;
constexpr float START_SIDE = 0.22f;
constexpr float FINISH_DEPTH = 1.0f;
constexpr float FINISH_HEIGHT = 3.0f;
constexpr float PICKUP_SIZE = 1.0f;
constexpr float PICKUP_HOVER = 0.9f;
// Markings lie this far above the road, so the depth test keeps them on top.
constexpr float PAINT_LIFT = 0.03f;
constexpr float LINE_INSET = 0.5f;
constexpr float LINE_WIDTH = 0.25f;
constexpr int TEXTURE_SIZE = 256;
// Strips across the road, so baked light pools show on it.
constexpr int ROAD_STRIPS = 4;

LwsObject nullAt(const std::string& name, Vec3 position, float heading) {
    LwsObject object;
    object.nullName = name;
    object.item.motion = lwsStillMotion(toArray(position), {heading, 0.0f, 0.0f});
    return object;
}

LwsObject layerAt(const std::string& file, int layer, Vec3 position, float heading) {
    LwsObject object;
    object.fileName = file;
    object.layer = layer + 1; // the scene file counts layers from 1
    object.item.motion = lwsStillMotion(toArray(position), {heading, 0.0f, 0.0f});
    return object;
}

LwsOdeMaster physicsMaster() {
    const char* names[12] = {"(default)", "ground", "walls",   "rays",           "karts",         "thrown",
                             "zones",     "solid",  "ai_walls", "computer_karts", "kart_barriers", "fall"};
    LwsOdeMaster master;
    master.gravity = std::array<float, 3>{0.0f, -9.81f, 0.0f};
    master.solver = 0;
    master.spaces.push_back({names[0], 1, -1});
    for (int i = 1; i < 12; ++i) master.spaces.push_back({names[i], 0, 0});
    return master;
}

// A short thud: a falling low tone under a burst of noise.
std::string stamperSound() {
    const int rate = 22050;
    std::vector<int16_t> samples(rate * 6 / 10);
    uint32_t seed = 1;
    for (size_t i = 0; i < samples.size(); ++i) {
        float t = static_cast<float>(i) / rate;
        seed = seed * 1664525u + 1013904223u;
        float noise = static_cast<float>(seed >> 8) / static_cast<float>(1u << 24) * 2.0f - 1.0f;
        float tone = std::sin(2.0f * PI * (70.0f - 30.0f * t) * t);
        float value = tone * std::exp(-6.0f * t) + noise * std::exp(-30.0f * t) * 0.6f;
        samples[i] = static_cast<int16_t>(std::clamp(value, -1.0f, 1.0f) * 28000.0f);
    }
    return writeWave(samples, rate);
}

// The pick-up: a glowing unit box every track shares.
std::string pickupObject() {
    MeshBuilder mesh;
    mesh.layer("extra");
    SurfaceLook look;
    look.name = "extra";
    look.colour = {1.0f, 1.0f, 1.0f};
    look.luminosity = 0.8f;
    look.texture = TrackTextures::clipName("extra_addon.bmp");
    mesh.box(mesh.surface(look), {}, {PICKUP_SIZE * 0.8f, PICKUP_SIZE * 0.8f, PICKUP_SIZE * 0.8f}, 0.0f,
             PICKUP_SIZE * 0.8f);
    return mesh.bytes();
}

} // namespace

TrackBuilder::TrackBuilder(int number, std::string name, Centreline line)
    : m_number(number), m_name(std::move(name)), m_line(std::move(line)) {
    m_groundLayer = m_mesh.layer("ground");
    m_wallLayer = m_mesh.layer("walls");
    m_sceneryLayer = m_mesh.layer("scenery");
    m_scene.firstFrame = 0;
    m_scene.lastFrame = 300;
    m_scene.framesPerSecond = 30.0f;
    m_scene.odeMaster = physicsMaster();
    m_scene.ambientIntensity = LwsValue(0.35f);
    LwsLight sun;
    sun.name = "Sun";
    sun.type = 0;
    sun.item.motion = lwsStillMotion({0.0f, 100.0f, 0.0f}, {0.6f, 0.9f, 0.0f});
    m_scene.lights.push_back(sun);
    // Behind the starts, looking down the lap over the line.
    Centreline::Frame f = m_line.at(-25.0f);
    LwsCamera camera;
    camera.item.motion = lwsStillMotion(toArray(f.position + Vec3{0.0f, 6.0f, 0.0f}), {f.heading(), 0.2f, 0.0f});
    m_scene.cameras.push_back(camera);
    addStarts();
    addFinishLine();
}

std::string TrackBuilder::sceneFile(int number, const std::string& name) {
    return "D:\\Vantorik\\3dobjects_tracks\\track_0" + std::to_string(number) + "_" + name + ".lws";
}

std::string TrackBuilder::trackObjectFile() const {
    return "D:\\Vantorik/3dobjects_tracks/track0" + std::to_string(m_number) + "/" + m_name + ".lwo";
}

std::string TrackBuilder::propsObjectFile() const {
    return "D:\\Vantorik/3dobjects_tracks/track0" + std::to_string(m_number) + "/" + m_name + "_props.lwo";
}

MeshBuilder& TrackBuilder::select(int layer) {
    m_mesh.select(layer);
    return m_mesh;
}

MeshBuilder& TrackBuilder::ground() { return select(m_groundLayer); }
MeshBuilder& TrackBuilder::walls() { return select(m_wallLayer); }
MeshBuilder& TrackBuilder::scenery() { return select(m_sceneryLayer); }

MeshBuilder& TrackBuilder::ground(Kind kind) {
    if (kind == GROUND) return ground();
    for (const KindLayer& k : m_kindLayers)
        if (k.kind == kind) return select(k.layer);
    m_kindLayers.push_back({kind, m_mesh.layer("ground_" + std::to_string(kind))});
    return m_mesh;
}

std::string TrackBuilder::texture(const std::string& file, const Picture& picture) {
    const std::string name = TrackTextures::archiveName(file);
    auto known = std::find_if(m_textures.begin(), m_textures.end(),
                              [&](const TrackFile& f) { return f.archiveName == name; });
    if (known == m_textures.end()) m_textures.push_back({name, writeBmp(picture)});
    return TrackTextures::clipName(file);
}

void TrackBuilder::addStarts() {
    for (int k = START_COUNT - 1; k >= 0; --k) {
        Centreline::Frame f = m_line.at(-(START_BACK + START_SPACING * static_cast<float>(k)));
        const float lateral = (k % 2 ? 1.0f : -1.0f) * START_SIDE * f.width;
        m_scene.objects.push_back(nullAt("start", f.across(lateral), f.heading()));
    }
}

void TrackBuilder::addFinishLine() {
    Centreline::Frame f = m_line.at(0.0f);
    LwsObject line = nullAt("finish_line", f.position + Vec3{0.0f, FINISH_HEIGHT * 0.5f, 0.0f}, f.heading());
    line.geom = LwsGeom{GEOM_BOX, FINISH, SPACE_ZONES, {f.width + 4.0f, FINISH_HEIGHT, FINISH_DEPTH}, std::nullopt};
    m_scene.objects.push_back(line);
    SurfaceLook look;
    look.name = "finish_line";
    look.texture = texture("finish.bmp", TrackTextures::finishLine(TEXTURE_SIZE));
    look.vertexColours = true;
    const float half = FINISH_DEPTH * 0.75f;
    scenery().ribbon(m_mesh.surface(look), m_line, -half, half, {-1.0f, 0.0f}, {1.0f, 0.0f}, PAINT_LIFT, 0.0f,
                     f.width, half * 2.0f);
}

void TrackBuilder::finishBanner(float clearance, const SurfaceLook& frame, float hangTo) {
    const Centreline::Frame f = m_line.at(0.0f);
    const float span = f.width + 2.0f, height = 1.0f;
    SurfaceLook chequer;
    chequer.name = "finish_banner";
    chequer.luminosity = 0.6f;
    chequer.texture = texture("finish.bmp", TrackTextures::finishLine(TEXTURE_SIZE));
    MeshBuilder& m = scenery();
    const Vec3 middle = f.position + Vec3{0.0f, clearance + height * 0.5f, 0.0f};
    m.box(m.surface(chequer), middle, {span, height, 0.2f}, f.heading(), span / 4.0f);
    const uint16_t steel = m.surface(frame);
    for (float side : {-1.0f, 1.0f}) {
        const Vec3 foot = f.across(side * span * 0.5f);
        if (hangTo > clearance + height) {
            const float top = f.position.y + hangTo, bottom = middle.y + height * 0.5f;
            m.box(steel, {foot.x, (top + bottom) * 0.5f, foot.z}, {0.1f, top - bottom, 0.1f}, f.heading());
        } else {
            walls().box(m_mesh.surface(frame), foot + Vec3{0.0f, (clearance + height) * 0.5f, 0.0f},
                        {0.4f, clearance + height, 0.4f}, f.heading(), 1.0f);
        }
    }
}

void TrackBuilder::road(const RoadLook& look, float s0, float s1) {
    MeshBuilder& mesh = ground(look.kind);
    const uint16_t surface = mesh.surface(look.surface);
    const float k = look.kerb ? look.kerbWidth : 0.0f;
    mesh.ribbon(surface, m_line, s0, s1, {-1.0f, k}, {1.0f, -k}, 0.0f, look.textureLength, look.textureLength, 2.0f,
                ROAD_STRIPS);
    if (k > 0.0f) {
        const uint16_t kerb = mesh.surface(*look.kerb);
        mesh.ribbon(kerb, m_line, s0, s1, {-1.0f, 0.0f}, {-1.0f, k}, 0.0f, 0.0f, 2.0f);
        mesh.ribbon(kerb, m_line, s0, s1, {1.0f, -k}, {1.0f, 0.0f}, 0.0f, 0.0f, 2.0f);
    }
    if (!look.lines) return;
    MeshBuilder& paint = scenery();
    const uint16_t line = paint.surface(*look.lines);
    const float in = k + LINE_INSET;
    paint.ribbon(line, m_line, s0, s1, {-1.0f, in}, {-1.0f, in + LINE_WIDTH}, PAINT_LIFT, 0.0f, 4.0f);
    paint.ribbon(line, m_line, s0, s1, {1.0f, -in - LINE_WIDTH}, {1.0f, -in}, PAINT_LIFT, 0.0f, 4.0f);
}

void TrackBuilder::edgeWall(float s0, float s1, int side, float height, const SurfaceLook& look, float gap,
                            float thickness, float base) {
    const float sign = side < 0 ? -1.0f : 1.0f;
    walls().wallAlong(m_mesh.surface(look), m_line, s0, s1, {sign, sign * (gap + thickness * 0.5f)}, height,
                      thickness, base);
}

void TrackBuilder::zone(const std::string& name, Kind kind, Vec3 base, Vec3 size, float heading) {
    LwsObject zone = nullAt(name, base + Vec3{0.0f, size.y * 0.5f, 0.0f}, heading);
    zone.geom = LwsGeom{GEOM_BOX, kind, SPACE_ZONES, toArray(size), std::nullopt};
    m_scene.objects.push_back(zone);
}

void TrackBuilder::pickup(float s, float lateral) {
    Centreline::Frame f = m_line.at(s);
    LwsObject pickup = layerAt(PICKUP_OBJECT, 0, f.across(lateral) + Vec3{0.0f, PICKUP_HOVER, 0.0f}, 0.0f);
    pickup.geom = LwsGeom{GEOM_BOX, PICKUP, SPACE_ZONES, {PICKUP_SIZE, PICKUP_SIZE, PICKUP_SIZE}, std::nullopt};
    m_scene.objects.push_back(pickup);
}

void TrackBuilder::pickupRow(float s, int count) {
    const float half = m_line.at(s).width * 0.5f - 1.5f;
    for (int i = 0; i < count; ++i)
        pickup(s, count == 1 ? 0.0f : -half + 2.0f * half * static_cast<float>(i) / static_cast<float>(count - 1));
}

void TrackBuilder::speedup(float s, float lateral, float length, float width) {
    Centreline::Frame f = m_line.at(s);
    SurfaceLook look;
    look.name = "speedup";
    look.luminosity = 0.5f;
    // The road's size: the pad lies under the rider and fills the lower screen as the road does.
    look.texture = texture("arrows.bmp", TrackTextures::arrows(TrackTextures::ROAD_TEXTURE_SIZE));
    scenery().ribbon(m_mesh.surface(look), m_line, s - length * 0.5f, s + length * 0.5f,
                     {0.0f, lateral - width * 0.5f}, {0.0f, lateral + width * 0.5f}, PAINT_LIFT, 0.0f, length, 1.0f);
    LwsObject pad = nullAt("speedup", f.across(lateral) + Vec3{0.0f, 0.2f, 0.0f}, f.heading());
    pad.geom = LwsGeom{GEOM_BOX, SPEEDUP, SPACE_ZONES, {width, 0.4f, length}, std::nullopt};
    m_scene.objects.push_back(pad);
}

LwsObject TrackBuilder::propObject(const std::string& name, Vec3 centre, float heading) {
    const int layer = m_props.layer(name, centre);
    return layerAt(propsObjectFile(), layer, centre, heading);
}

void TrackBuilder::obstacle(const std::string& name, Vec3 base, Vec3 size, float heading, float mass,
                            const SurfaceLook& look) {
    const Vec3 centre = base + Vec3{0.0f, size.y * 0.5f, 0.0f};
    LwsObject object = propObject(name, centre, heading);
    // Drawn unturned about its pivot: the scene object turns it.
    m_props.box(m_props.surface(look), centre, size, 0.0f, 1.0f);
    object.body = LwsBody{MASS_BOX, mass, toArray(size), 1};
    object.geom = LwsGeom{GEOM_BOX, OBSTACLE, SPACE_OBSTACLES, toArray(size), std::nullopt};
    m_scene.objects.push_back(object);
}

void TrackBuilder::stamper(float s, float lateral, Vec3 size, float rise, float period, const SurfaceLook& look) {
    Centreline::Frame f = m_line.at(s);
    const Vec3 down = f.across(lateral) + Vec3{0.0f, size.y * 0.5f, 0.0f};
    LwsObject object = propObject("stamper", down, f.heading());
    m_props.box(m_props.surface(look), down, size, 0.0f, 2.0f);
    // Up, a quick drop (the sound plays between the second and third key), a
    // pause on the road, and a slow rise.
    const float up = down.y + rise;
    LwsEnvelope height{{LwsKey{up, 0.0f, 3}, LwsKey{up, period * 0.5f, 3}, LwsKey{down.y, period * 0.55f, 3},
                        LwsKey{down.y, period * 0.7f, 3}, LwsKey{up, period, 3}},
                       2, 2};
    object.item.motion->channels[1].envelope = height;
    object.geom = LwsGeom{GEOM_BOX, STAMPER, SPACE_ZONES, toArray(size), std::nullopt};
    object.sound = STAMPER_SOUND;
    m_scene.objects.push_back(object);
    // A gantry over the road carries it.
    SurfaceLook steel;
    steel.name = "stamper_frame";
    steel.colour = {0.35f, 0.35f, 0.38f};
    steel.specular = 0.3f;
    steel.texture = texture("hazard.bmp", TrackTextures::hazard(TEXTURE_SIZE));
    const uint16_t frame = walls().surface(steel);
    const float reach = size.x * 0.5f + 0.6f;
    const float top = rise + size.y + 0.8f;
    for (float side : {-1.0f, 1.0f})
        walls().box(frame, f.across(lateral + side * reach) + Vec3{0.0f, top * 0.5f, 0.0f}, {0.5f, top, 0.5f},
                    f.heading(), 1.0f);
    scenery().box(frame, f.across(lateral) + Vec3{0.0f, top + 0.25f, 0.0f}, {reach * 2.0f + 0.5f, 0.5f, 0.6f},
                  f.heading(), 1.0f);
    m_hasStamper = true;
}

void TrackBuilder::fallZone(Vec3 centre, Vec3 size) {
    LwsObject zone = nullAt("fall_zone", centre, 0.0f);
    zone.geom = LwsGeom{GEOM_BOX, FALL, SPACE_FALL, toArray(size), std::nullopt};
    m_scene.objects.push_back(zone);
}

void TrackBuilder::setPaths(std::vector<std::vector<RacingLines::PathPoint>> paths) { m_paths = std::move(paths); }

void TrackBuilder::addTrackLayers() {
    const std::string file = trackObjectFile();
    auto add = [&](int layer, std::optional<LwsGeom> geom, bool seen) {
        if (m_mesh.layerEmpty(layer)) return;
        LwsObject object = layerAt(file, layer, {}, 0.0f);
        object.geom = geom;
        object.unseenByCamera = !seen;
        m_scene.objects.push_back(object);
    };
    add(m_groundLayer, LwsGeom{GEOM_TRIANGLE_MESH, GROUND, SPACE_GROUND, {1, 1, 1}, std::nullopt}, true);
    for (const KindLayer& k : m_kindLayers)
        add(k.layer, LwsGeom{GEOM_TRIANGLE_MESH, k.kind, SPACE_GROUND, {1, 1, 1}, std::nullopt}, true);
    add(m_wallLayer, LwsGeom{GEOM_TRIANGLE_MESH, WALL, SPACE_WALLS, {1, 1, 1}, std::nullopt}, true);
    // The same walls once more, unseen, for rockets and loose obstacles.
    add(m_wallLayer, LwsGeom{GEOM_TRIANGLE_MESH, WALL, SPACE_ROCKET_WALLS, {1, 1, 1}, std::nullopt}, false);
    add(m_sceneryLayer, std::nullopt, true);
}

void TrackBuilder::bakeLight() {
    // The illumination map tints the karts; the track's own shade follows it.
    std::function<Rgb(Vec3)> shade = m_shade;
    if (!shade)
        shade = [&](Vec3 p) {
            Rgb k = m_lightMap.at(p.x, p.z);
            return Rgb{k.r * 2.0f, k.g * 2.0f, k.b * 2.0f};
        };
    for (MeshBuilder* mesh : {&m_mesh, &m_props})
        for (int layer = 0; layer < mesh->layerCount(); ++layer) mesh->shadeLayer(layer, shade);
}

std::vector<TrackFile> TrackBuilder::files() {
    bakeLight();
    addTrackLayers();
    std::vector<TrackFile> out;
    out.push_back({sceneFile(m_number, m_name), LwsWriter().write(m_scene)});
    out.push_back({trackObjectFile(), m_mesh.bytes()});
    if (m_props.layerCount() > 0) out.push_back({propsObjectFile(), m_props.bytes()});
    for (TrackFile& f : m_files) out.push_back(std::move(f));
    m_files.clear();
    out.push_back({PICKUP_OBJECT, pickupObject()});
    texture("extra_addon.bmp", TrackTextures::extraBox(64));
    for (TrackFile& t : m_textures) out.push_back(std::move(t));
    m_textures.clear();
    if (m_hasStamper) out.push_back({STAMPER_SOUND, stamperSound()});
    if (m_paths.empty())
        for (int k = 0; k < RacingLines::PATH_COUNT; ++k) m_paths.push_back(RacingLines::path(m_line, k));
    for (int k = 0; k < RacingLines::PATH_COUNT && k < static_cast<int>(m_paths.size()); ++k)
        out.push_back({RacingLines::pathFile(m_number, k), RacingLines::recordBytes(m_paths[k])});
    out.push_back({RacingLines::respawnFile(m_number), RacingLines::recordBytes(RacingLines::respawnPoints(m_line))});
    out.push_back({TrackMaps::positionMapFile(m_number), writePcx(TrackMaps::positionMap(m_line))});
    out.push_back({TrackMaps::illuminationMapFile(m_number), writeBmp(m_lightMap.picture())});
    return out;
}
