#include "tools/demodata/tracks/Track03Park.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/demodata/tracks/Noise.h"
#include "tools/demodata/tracks/SkyDome.h"
#include "tools/demodata/tracks/SurfaceFinish.h"
#include "tools/demodata/tracks/TrackBuilder.h"
#include "tools/demodata/tracks/TrackProps.h"
#include "tools/demodata/tracks/TrackTextures.h"
#include "sys/Pi.h"

// The lap winds along the park's gravel paths: east along the pond's south
// shore from the finish line, round the rose garden in the east, through
// the birch wood in the north-east, back west past the pond's north shore
// and down the long avenue in the west.
namespace Park {
namespace {

constexpr int GEOM_TRIANGLE_MESH = 3;
constexpr int TEXTURE_SIZE = 256;
// The lap's points, this far apart along the curve drawn through the design points.
constexpr float CONTROL_SPACING = 10.0f;
constexpr float WIDTH = 14.0f;
constexpr float KERB = 0.4f;
// The lawn lies a little below the paths, so the two never fight for a pixel.
constexpr float LAWN = -0.12f;
constexpr float FENCE = 238.0f;
constexpr float CELL = 8.0f;
// The pond: an ellipse, its paved shore, its stone rim, the water below.
constexpr float POND_X = -60.0f, POND_Z = 28.0f, POND_RX = 68.0f, POND_RZ = 38.0f;
constexpr float SHORE = 11.0f;
constexpr float WATER = -0.35f;
constexpr float RIM = 0.8f;
constexpr int POND_SEGMENTS = 48;
// Muddy stretches of path, where the karts slide.
constexpr std::array<float, 3> MUD{{225.0f, 655.0f, 1295.0f}};
constexpr float MUD_LENGTH = 16.0f;

const std::string POND_FILE = "D:\\Vantorik/3dobjects_tracks/track03/park_pond.lwo";

using TrackProps::look;
using TrackProps::scaled;

// Light sandy gravel with darker stones. The paths are the road: they fill
// the lower half of the screen, so the picture has the road's size. The
// stones are small and soft-edged, dark ones and pale grit: seen close up
// under the rider, big hard-edged ones looked like blotches of paint.
Picture gravel() {
    const int size = TrackTextures::ROAD_TEXTURE_SIZE;
    Noise n(801), g(802), p(803), q(804);
    Picture out(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float fx = static_cast<float>(x) / size, fy = static_cast<float>(y) / size;
            Rgb c = mix(rgb(0.62f, 0.55f, 0.44f), rgb(0.78f, 0.72f, 0.6f), n.fractal(fx * 6.0f, fy * 6.0f, 6, 3));
            const float dark = smoothstep(0.7f, 0.8f, p.fractal(fx * 128.0f, fy * 128.0f, 128, 1));
            const float pale = smoothstep(0.74f, 0.82f, q.fractal(fx * 192.0f, fy * 192.0f, 192, 1));
            c = scaled(c, (1.0f - 0.25f * dark) * (1.0f + 0.12f * pale));
            out.at(x, y) = scaled(c, 0.92f + 0.16f * g.lattice(x, y, size));
        }
    return out;
}

// Grey-brown bark in vertical streaks.
Picture park_bark() {
    Noise n(811);
    Picture out(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            out.at(x, y) = scaled(rgb(0.36f, 0.28f, 0.2f), 0.7f + 0.5f * n.smooth(x / 4.0f, y / 16.0f, 16));
    return out;
}

// Flower beds: dots of colour on dark soil and leaves.
Picture flowers() {
    Noise n(821), c(822);
    const Rgb blooms[] = {rgb(0.9f, 0.15f, 0.2f), rgb(0.95f, 0.8f, 0.1f), rgb(0.9f, 0.5f, 0.8f), rgb(1.0f, 1.0f, 0.95f)};
    Picture out(TEXTURE_SIZE, TEXTURE_SIZE);
    for (int y = 0; y < TEXTURE_SIZE; ++y)
        for (int x = 0; x < TEXTURE_SIZE; ++x) {
            const float leaf = n.fractal(x / 16.0f, y / 16.0f, 16, 3);
            Rgb base = mix(rgb(0.2f, 0.14f, 0.08f), rgb(0.15f, 0.38f, 0.1f), leaf);
            const int cx = x / 6, cy = y / 6;
            const float pick = c.lattice(cx, cy, TEXTURE_SIZE / 6 + 1);
            const float dx = x % 6 - 2.5f, dy = y % 6 - 2.5f;
            if (pick > 0.45f && dx * dx + dy * dy < 5.0f) base = blooms[static_cast<int>(pick * 40.0f) % 4];
            out.at(x, y) = base;
        }
    return out;
}

Vec3 pondPoint(float angle, float grow, float y) {
    return {POND_X + (POND_RX + grow) * std::cos(angle), y, POND_Z + (POND_RZ + grow) * std::sin(angle)};
}

// Inside the pond's shore (its paving included) with `margin` to spare.
bool byPond(float x, float z, float margin) {
    const float dx = (x - POND_X) / (POND_RX + SHORE + margin), dz = (z - POND_Z) / (POND_RZ + SHORE + margin);
    return dx * dx + dz * dz < 1.0f;
}

MeshBuilder::Corner flat(Vec3 p, float texel) { return {p, p.x / texel, p.z / texel}; }

// The paved shore (driveable), the stone rim round the water (solid), the
// fountain's basin and column in the middle, and the mirror water.
void pond(TrackBuilder& track, MeshBuilder& water) {
    MeshBuilder& ground = track.ground();
    const uint16_t paving = ground.surface(look(
        "park_paving", grey(0.95f),
        track.texture("paving.bmp", TrackTextures::tiles(TrackTextures::ROAD_TEXTURE_SIZE, 8, grey(0.62f), grey(0.56f)))));
    MeshBuilder& walls = track.walls();
    const uint16_t stone = walls.surface(look("park_stone", rgb(0.78f, 0.76f, 0.72f),
                                              track.texture("concrete.bmp", TrackTextures::concrete(TEXTURE_SIZE))));
    water.layer("water");
    const uint16_t surface =
        water.surface(look("park_water", rgb(0.85f, 0.95f, 1.0f), track.texture("water.bmp", TrackTextures::water(TEXTURE_SIZE))));
    const Vec3 centre{POND_X, 0.0f, POND_Z};
    // Each pass draws into its own layer: selecting one layer moves them all.
    track.ground();
    for (int i = 0; i < POND_SEGMENTS; ++i) {
        const float a0 = 2.0f * PI * i / POND_SEGMENTS, a1 = 2.0f * PI * (i + 1) / POND_SEGMENTS;
        ground.quadFacing(paving, {0, 1, 0}, flat(pondPoint(a0, 0.0f, -0.03f), 2.0f), flat(pondPoint(a1, 0.0f, -0.03f), 2.0f),
                          flat(pondPoint(a1, SHORE, -0.03f), 2.0f), flat(pondPoint(a0, SHORE, -0.03f), 2.0f));
    }
    track.walls();
    for (int i = 0; i < POND_SEGMENTS; ++i) {
        const float a0 = 2.0f * PI * i / POND_SEGMENTS, a1 = 2.0f * PI * (i + 1) / POND_SEGMENTS;
        const Vec3 out = pondPoint((a0 + a1) * 0.5f, 0.0f, 0.0f) - centre;
        // The rim: inner face, top, outer face.
        const float in = -RIM, top = 0.45f, foot = -0.6f;
        auto c = [&](float a, float grow, float y) { return MeshBuilder::Corner{pondPoint(a, grow, y), a * 8.0f, -y}; };
        walls.quadFacing(stone, out * -1.0f, c(a0, in, foot), c(a1, in, foot), c(a1, in, top), c(a0, in, top));
        walls.quadFacing(stone, {0, 1, 0}, c(a0, in, top), c(a1, in, top), c(a1, 0.0f, top), c(a0, 0.0f, top));
        walls.quadFacing(stone, out, c(a0, 0.0f, foot), c(a1, 0.0f, foot), c(a1, 0.0f, top), c(a0, 0.0f, top));
        // The water, flat through its object's origin (the mirror's plane).
        const Vec3 w0 = pondPoint(a0, in, 0.0f), w1 = pondPoint(a1, in, 0.0f);
        water.triangle(surface, flat(centre, 6.0f), flat(w1, 6.0f), flat(w0, 6.0f));
    }
    // The fountain: a round basin, a column and a bowl.
    MeshBuilder& scenery = track.scenery();
    const uint16_t basin = scenery.surface(look("park_stone", rgb(0.78f, 0.76f, 0.72f)));
    scenery.cylinder(basin, {POND_X, WATER - 0.2f, POND_Z}, 4.0f, 0.8f, 16, 2.0f);
    scenery.cylinder(basin, {POND_X, 0.0f, POND_Z}, 0.6f, 2.2f, 8, 1.0f);
    scenery.cylinder(basin, {POND_X, 2.2f, POND_Z}, 1.6f, 0.35f, 12, 1.0f);
}

// One jet of water: a null that throws drops upwards, falling back into the
// pond after about `life` seconds, drawn as small pale squares. The emitter
// adds its acceleration once a drawn frame: the arcs are right at 60 frames
// a second and higher at fewer.
void fountainJet(LwsScene& scene, const std::string& name, Vec3 nozzle, float lift, float spread, float life) {
    LwsObject jet;
    jet.nullName = name;
    jet.item.motion = lwsStillMotion(toArray(nozzle));
    LwsEmitter e;
    e.vec1 = {0.3f, 0.3f, 0.3f};
    e.vec2 = {0.0f, -0.167f, 0.0f}; // gravity
    e.a[0] = 450.0f;                // drops per second
    e.a[1] = life;
    e.a[2] = 0.2f;
    e.a[4] = lift;
    e.a[6] = spread;
    e.a[8] = 0.15f; // speed variation
    e.i2 = 0;       // born per second
    jet.emitter = e;
    scene.objects.push_back(jet);
    LwsHyperVoxel drops;
    drops.objectName = name;
    drops.type = 2;
    drops.particleSize = LwsValue(0.22f);
    drops.luminosity = LwsValue(0.6f);
    drops.color = std::array<LwsValue, 3>{0.8f, 0.9f, 1.0f};
    scene.hyperVoxels.push_back(drops);
}

bool roomForTree(const Centreline& line, float x, float z) {
    return std::fabs(x) < FENCE - 4.0f && std::fabs(z) < FENCE - 4.0f && !byPond(x, z, 2.0f) &&
           line.nearest(x, z).distance > WIDTH * 0.5f + 3.5f;
}

// Trees along both sides of the paths and in groves on the lawns: trunks
// solid, crowns seen only. Returns the trees that shade the path.
std::vector<Vec3> plantTrees(TrackBuilder& track) {
    const Centreline& line = track.line();
    const Noise dice(830);
    std::vector<TrackProps::Tree> trees;
    auto add = [&](float x, float z, float size) {
        const uint32_t n = static_cast<uint32_t>(trees.size());
        if (!roomForTree(line, x, z)) return;
        for (const TrackProps::Tree& t : trees)
            if (std::hypot(t.base.x - x, t.base.z - z) < 4.0f) return;
        trees.push_back({{x, LAWN, z}, size * (0.8f + 0.5f * dice.lattice(n, 1, 1 << 16)), n,
                         dice.lattice(n, 2, 1 << 16) < 0.25f});
    };
    int k = 0;
    for (const Centreline::Frame& f : line.frames(9.0f))
        for (int side : {-1, 1}) {
            ++k;
            if (dice.lattice(k, 3, 1 << 16) < 0.35f) continue;
            const Vec3 p = f.across(side * (WIDTH * 0.5f + 4.5f + 9.0f * dice.lattice(k, 4, 1 << 16)));
            add(p.x, p.z, 8.0f);
        }
    // Groves: scattered over the lawns, thicker in the north-east wood.
    for (int i = 0; i < 420; ++i) {
        const float x = -FENCE + 2.0f * FENCE * dice.lattice(i, 5, 1 << 16);
        const float z = -FENCE + 2.0f * FENCE * dice.lattice(i, 6, 1 << 16);
        const bool wood = x > 60.0f && z > 20.0f;
        if (!wood && dice.lattice(i, 7, 1 << 16) < 0.6f) continue;
        add(x, z, wood ? 10.0f : 9.0f);
    }
    MeshBuilder& walls = track.walls();
    const uint16_t bark = walls.surface(look("park_bark", grey(1.0f), track.texture("bark.bmp", park_bark())));
    for (const TrackProps::Tree& t : trees) TrackProps::trunk(walls, bark, t);
    MeshBuilder& scenery = track.scenery();
    const std::string leafTexture = track.texture("leaves.bmp", TrackTextures::leaves(TEXTURE_SIZE));
    const uint16_t crowns[3] = {scenery.surface(look("park_crown", grey(1.0f), leafTexture)),
                                scenery.surface(look("park_crown_light", rgb(1.0f, 1.15f, 0.75f), leafTexture)),
                                scenery.surface(look("park_fir", rgb(0.6f, 0.8f, 0.75f), leafTexture))};
    std::vector<Vec3> shade;
    for (const TrackProps::Tree& t : trees) {
        TrackProps::crown(scenery, crowns[t.fir ? 2 : t.seed % 2], t);
        if (line.nearest(t.base.x, t.base.z).distance < WIDTH * 0.5f + 9.0f) shade.push_back(t.base);
    }
    return shade;
}

// Lamp posts and benches along the paths, a hedge round the park, flower beds.
void furnish(TrackBuilder& track) {
    const Centreline& line = track.line();
    MeshBuilder& walls = track.walls();
    const uint16_t iron = walls.surface(look("park_iron", rgb(0.15f, 0.17f, 0.16f)));
    const uint16_t glow = walls.surface(look("park_lamp", rgb(1.0f, 0.92f, 0.7f), {}, 1.0f));
    int k = 0;
    for (const Centreline::Frame& f : line.frames(32.0f)) {
        const int side = ++k % 2 ? 1 : -1;
        const Vec3 base = f.across(side * (WIDTH * 0.5f + 2.0f));
        if (byPond(base.x, base.z, 0.0f)) continue;
        TrackProps::lampPost(walls, iron, glow, {base.x, LAWN, base.z}, 4.2f, f.heading() - side * PI * 0.5f);
    }
    const uint16_t hedge = walls.surface(look("park_hedge", rgb(0.8f, 0.9f, 0.8f),
                                              track.texture("leaves.bmp", TrackTextures::leaves(TEXTURE_SIZE))));
    for (float sign : {-1.0f, 1.0f}) {
        walls.box(hedge, {0.0f, 0.8f, sign * FENCE}, {2.0f * FENCE + 2.0f, 2.0f, 2.0f}, 0.0f, 3.0f);
        walls.box(hedge, {sign * FENCE, 0.8f, 0.0f}, {2.0f, 2.0f, 2.0f * FENCE + 2.0f}, 0.0f, 3.0f);
    }
    MeshBuilder& scenery = track.scenery();
    const uint16_t wood = scenery.surface(look("park_bench", rgb(0.9f, 0.8f, 0.7f),
                                               track.texture("wood.bmp", TrackTextures::wood(TEXTURE_SIZE))));
    for (const Centreline::Frame& f : line.frames(45.0f)) {
        const int side = ++k % 2 ? 1 : -1;
        const Vec3 base = f.across(side * (WIDTH * 0.5f + 3.2f));
        if (byPond(base.x, base.z, 0.0f)) continue;
        const Vec3 back = f.right * static_cast<float>(side) * 0.35f;
        scenery.box(wood, base + Vec3{0.0f, 0.45f, 0.0f}, {0.6f, 0.08f, 2.0f}, f.heading(), 1.0f);
        scenery.box(wood, base + back + Vec3{0.0f, 0.8f, 0.0f}, {0.08f, 0.5f, 2.0f}, f.heading(), 1.0f);
        for (float end : {-0.85f, 0.85f})
            scenery.box(iron, base + f.forward * end + Vec3{0.0f, 0.2f, 0.0f}, {0.5f, 0.45f, 0.08f}, f.heading(), 1.0f);
    }
    const uint16_t beds = scenery.surface(look("park_flowers", grey(1.0f), track.texture("flowers.bmp", flowers())));
    const Noise dice(840);
    for (int i = 0; i < 40; ++i) {
        const float x = -200.0f + 400.0f * dice.lattice(i, 1, 1 << 16), z = -220.0f + 430.0f * dice.lattice(i, 2, 1 << 16);
        if (!roomForTree(track.line(), x, z)) continue;
        scenery.panel(beds, {x, LAWN + 0.04f, z}, 6.0f, 3.0f + 4.0f * dice.lattice(i, 3, 1 << 16),
                      PI * dice.lattice(i, 4, 1 << 16), 3.0f);
    }
}

// Muddy patches across the path: dark wet earth that the karts slide on.
void mud(TrackBuilder& track) {
    const Centreline& line = track.line();
    MeshBuilder& scenery = track.scenery();
    SurfaceLook wet = look("park_mud", rgb(0.55f, 0.45f, 0.38f),
                           track.texture("dirt.bmp", TrackTextures::dirt(TEXTURE_SIZE)));
    wet.specular = 0.5f;
    const uint16_t surface = scenery.surface(wet);
    int i = 0;
    for (float s : MUD) {
        // Ragged at the ends: three strips of different lengths.
        for (int strip = 0; strip < 3; ++strip) {
            const float trim = 2.5f * ((strip * 7 + i) % 3);
            scenery.ribbon(surface, line, s + trim * 0.5f, s + MUD_LENGTH - trim, {-1.0f, KERB + strip * 4.3f},
                           {-1.0f, KERB + (strip + 1) * 4.3f}, 0.02f, 4.0f, 4.0f);
        }
        const Centreline::Frame f = line.at(s + MUD_LENGTH * 0.5f);
        track.zone("mud_" + std::to_string(i++), TrackBuilder::SLIPPERY, f.position, {WIDTH, 1.0f, MUD_LENGTH},
                   f.heading());
    }
}

} // namespace

std::vector<CentrelinePoint> centreline() {
    const float w = WIDTH;
    return TrackProps::resampled({{-72.0f, -88.0f, 0.0f, w},   {-40.0f, -55.0f, 0.0f, w},  {30.0f, -70.0f, 0.0f, w},
            {90.0f, -120.0f, 0.0f, w},   {160.0f, -145.0f, 0.0f, w}, {200.0f, -100.0f, 0.0f, w},
            {190.0f, -30.0f, 0.0f, w},   {142.0f, 14.0f, 0.0f, w},   {145.0f, 70.0f, 0.0f, w},
            {188.0f, 118.0f, 0.0f, w},   {170.0f, 185.0f, 0.0f, w},  {100.0f, 190.0f, 0.0f, w},
            {40.0f, 145.0f, 0.0f, w},    {-20.0f, 110.0f, 0.0f, w},  {-100.0f, 120.0f, 0.0f, w},
            {-148.0f, 150.0f, 0.0f, w},  {-195.0f, 135.0f, 0.0f, w}, {-205.0f, 80.0f, 0.0f, w},
            {-190.0f, 10.0f, 0.0f, w},   {-205.0f, -80.0f, 0.0f, w}, {-163.0f, -136.0f, 0.0f, w},
            {-100.0f, -120.0f, 0.0f, w}},
                                 CONTROL_SPACING);
}

std::vector<TrackFile> files() {
    TrackBuilder track(3, "park", Centreline(centreline()));
    const Centreline& line = track.line();

    TrackBuilder::RoadLook path;
    path.surface = look("park_path", grey(1.0f), track.texture("gravel.bmp", gravel()));
    path.textureLength = 6.0f;
    path.kerbWidth = KERB;
    path.kerb = look("park_kerb", rgb(0.75f, 0.74f, 0.7f), track.texture("concrete.bmp", TrackTextures::concrete(TEXTURE_SIZE)));
    track.road(path, 0.0f, line.length());
    // The lawn: everywhere inside the hedge but under the paths and the pond.
    MeshBuilder& lawn = track.ground(TrackBuilder::GROUND_ROUGH);
    const uint16_t grass = lawn.surface(look("park_grass", grey(1.0f), track.texture("grass.bmp", TrackTextures::grass(TEXTURE_SIZE))));
    const float under = WIDTH * 0.5f - CELL * 0.75f;
    lawn.grid(grass, -FENCE - 2.0f, -FENCE - 2.0f, FENCE + 2.0f, FENCE + 2.0f, LAWN, CELL, true, 6.0f,
              [&](float x, float z) { return !byPond(x, z, -CELL * 0.72f) && line.nearest(x, z).distance > under; });

    MeshBuilder water;
    pond(track, water);
    fountainJet(track.scene(), "fountain_jet", {POND_X, 2.6f, POND_Z}, 6.0f, 0.9f, 1.55f);
    for (int i = 0; i < 4; ++i) {
        const float a = PI * 0.25f + PI * 0.5f * i;
        fountainJet(track.scene(), "fountain_jet_" + std::to_string(i),
                    {POND_X + 5.5f * std::cos(a), WATER + 0.3f, POND_Z + 5.5f * std::sin(a)}, 4.0f, 0.5f, 0.85f);
    }
    const std::vector<Vec3> shade = plantTrees(track);
    furnish(track);
    mud(track);

    track.speedup(330.0f, 0.0f);
    track.speedup(1210.0f, 0.0f);
    track.pickupRow(150.0f, 3);
    track.pickupRow(760.0f, 4);
    track.pickupRow(1000.0f, 3);
    track.finishBanner(3.8f, look("park_post", rgb(0.9f, 0.8f, 0.7f), track.texture("wood.bmp", TrackTextures::wood(TEXTURE_SIZE))));

    // A sunny day: bright lawns, the paths dappled under the trees.
    LightMap& light = track.lightMap();
    light = LightMap(0.56f, rgb(1.0f, 0.98f, 0.92f));
    for (const Vec3& t : shade) light.disc(t.x, t.z, 7.0f, 0.36f, rgb(0.9f, 1.0f, 0.92f));
    water.shadeLayer(0, [&](Vec3 p) { return scaled(light.at(p.x, p.z), 2.0f); });

    LwsScene& scene = track.scene();
    scene.ambientIntensity = LwsValue(0.45f);
    scene.lights.front().intensity = LwsValue(1.1f);
    scene.lights.front().color = std::array<LwsValue, 3>{LwsValue(1.0f), LwsValue(0.96f), LwsValue(0.85f)};
    scene.backdropColor = std::array<float, 3>{0.55f, 0.72f, 0.92f};
    scene.fogType = 1;
    scene.fogMinDistance = 120.0f;
    scene.fogMaxDistance = 480.0f;
    scene.fogColor = std::array<float, 3>{0.7f, 0.8f, 0.9f};
    LwsObject pondObject;
    pondObject.fileName = POND_FILE;
    pondObject.item.motion = lwsStillMotion({0.0f, WATER, 0.0f});
    scene.objects.push_back(pondObject);

    SkyDome::raise(track, SkyDome::day());
    std::vector<TrackFile> out = track.files();
    out.push_back({POND_FILE, finishedObjectBytes(water, {{"park_water", 0.4f, 0.0f}})});
    return out;
}

} // namespace Park
