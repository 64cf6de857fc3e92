#include "tools/demodata/tracks/Track06Ueberland.h"

#include <algorithm>
#include <cmath>

#include "tools/demodata/tracks/Noise.h"
#include "tools/demodata/tracks/SkyDome.h"
#include "tools/demodata/tracks/TownProps.h"
#include "tools/demodata/tracks/TrackDecor.h"
#include "tools/demodata/tracks/TrackBuilder.h"
#include "tools/demodata/tracks/TrackProps.h"
#include "tools/demodata/tracks/TrackTextures.h"
#include "tools/lightwave/LwsScene.h"
#include "sys/Pi.h"

// The lap: from the finish line east along the tree-lined valley road,
// banked up the long left-hander on the east side, over the windy ridge
// with its wind turbines, down through the farm's barn with the press, the
// S-bends past the fields, west along the edge of the gravel pit (no rail
// there: a kart can fall in) and round the bend home.
namespace Ueberland {
namespace {

using Corner = MeshBuilder::Corner;
using TrackDecor::along;
using TrackDecor::dice;
using TrackDecor::shaded;
using TrackDecor::Stretch;

constexpr int TEXTURE_SIZE = 256;
constexpr float VERGE = 4.0f;
constexpr float PAINT = 0.03f;
// The fields lie this far under the road and verges near them.
constexpr float FIELD_DROP = 0.3f;
constexpr float CELL = 10.0f;
constexpr float FINE_CELL = 2.5f;
constexpr float WORLD = 250.0f;

// The gravel pit: north of the straight at z = -106.5, from the road's edge
// PIT_ACROSS units out; its water lies far below, under it the fall zone.
const Vec3 PIT_EAST{-72.0f, 0.0f, -106.5f};
const Vec3 PIT_WEST{-132.0f, 0.0f, -106.5f};
constexpr float PIT_ACROSS = 38.0f;
constexpr float PIT_WATER = -21.0f;
constexpr float PIT_FLOOR = -26.0f;
// The barn the road runs through, and the press in it.
const Vec3 BARN_NORTH{-126.0f, 0.0f, 118.0f};
constexpr float BARN_LENGTH = 18.0f;
constexpr float BARN_EAVES = 6.5f;
// The ridge where the wind blows from the north, and the turbines beyond it.
const Vec3 RIDGE_EAST{100.0f, 0.0f, 153.0f};
const Vec3 RIDGE_WEST{-60.0f, 0.0f, 185.0f};
const Vec3 TURBINES[] = {{70.0f, 0.0f, 214.0f}, {-5.0f, 0.0f, 228.0f}, {-80.0f, 0.0f, 220.0f}};
constexpr float TOWER_HEIGHT = 34.0f;
const char* const ROTOR_OBJECT = "D:\\Vantorik/3dobjects_tracks/track06/ueberland_rotor.lwo";
const Vec3 CHURCH{95.0f, 0.0f, -95.0f};

// The crops, each a picture: meadow grass, ripe wheat, rape in flower, ploughed soil.
enum class Crop { MEADOW, WHEAT, RAPE, SOIL };

// A field's grass picture turned to the colour of a crop, its grain kept.
Picture cropPicture(Rgb colour) {
    Picture out = TrackTextures::grass(TEXTURE_SIZE);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            Rgb& p = out.at(x, y);
            const float light = 0.3f * p.r + 0.59f * p.g + 0.11f * p.b;
            p = {colour.r * light * 2.2f, colour.g * light * 2.2f, colour.b * light * 2.2f};
        }
    return out;
}

// Every picture the country road's own surfaces use, painted once; the looks name them by file.
void paintTextures(TrackBuilder& track) {
    // A country road bleached by the sun: lighter than the town's fresh asphalt, so the lap reads in the open.
    track.texture("asphalt_country.bmp", TrackTextures::asphalt(TrackTextures::ROAD_TEXTURE_SIZE, 1.35f));
    // Sized as the other tracks paint them, so the shared files are one and the same.
    track.texture("lane_line.bmp", TrackTextures::laneLine(64));
    track.texture("grass.bmp", TrackTextures::grass(TEXTURE_SIZE));
    track.texture("dirt.bmp", TrackTextures::dirt(TEXTURE_SIZE));
    track.texture("water.bmp", TrackTextures::water(TEXTURE_SIZE));
    track.texture("concrete.bmp", TrackTextures::concrete(TEXTURE_SIZE));
    track.texture("metal_plate.bmp", TrackTextures::metalPlate(128));
    track.texture("roof_tiles.bmp", TrackTextures::roofTiles(TEXTURE_SIZE));
    track.texture("crop_wheat.bmp", cropPicture({0.95f, 0.78f, 0.35f}));
    track.texture("crop_rape.bmp", cropPicture({1.0f, 0.92f, 0.15f}));
}

// Where the landscape is: the road's stretches and the pit, and the lie of the land round them.
class Land {
public:
    explicit Land(const Centreline& line)
        : m_line(line), m_pit{along(line, PIT_EAST), along(line, PIT_WEST)}, m_hills(61) {}

    const Stretch& pit() const { return m_pit; }
    // Half the width of the corridor the karts may use: road, verge and the fences' line.
    float corridor(float width) const { return width * 0.5f + VERGE + 0.5f; }
    // In the gravel pit: beside the straight on its right, out to its far edge.
    bool inPit(float x, float z) const {
        const Centreline::Nearest n = m_line.nearest(x, z);
        const float half = m_line.at(n.s).width * 0.5f;
        return m_pit.holds(n.s) && n.lateral > half && n.lateral < half + PIT_ACROSS;
    }
    // Height of the fields: under the road and verges near them, rolling farther out.
    float height(float x, float z) const {
        const Centreline::Nearest n = m_line.nearest(x, z);
        const Centreline::Frame f = m_line.at(n.s);
        const float reach = corridor(f.width) + 1.0f;
        const float road = f.across(std::clamp(n.lateral, -reach, reach)).y - FIELD_DROP;
        const float away = smoothstep(0.0f, 45.0f, n.distance - reach);
        // The pit's surroundings stay level with its rim.
        const float outside = std::max(m_pit.s0 - n.s, n.s - m_pit.s1);
        const float calm = smoothstep(0.0f, 40.0f, outside);
        const float roll = (m_hills.fractal(x / 90.0f, z / 90.0f, 64, 3) - 0.45f) * 16.0f;
        return road + away * calm * roll;
    }

private:
    const Centreline& m_line;
    Stretch m_pit;
    Noise m_hills;
};

// Fields are rectangles on the grid, in strips of varying widths, each with its crop.
Crop cropAt(float x, float z) {
    // Which strip of the world a coordinate falls in; strips are 4 to 8 cells wide.
    auto strip = [](float v, int salt) {
        float edge = -WORLD;
        int index = 0;
        for (; index < 64; ++index) {
            edge += CELL * static_cast<float>(4 + static_cast<int>(dice(static_cast<float>(index), 0.0f, salt) * 5.0f));
            if (v < edge) break;
        }
        return index;
    };
    const int column = strip(x, 1), row = strip(z, 2);
    const float kind = dice(static_cast<float>(column), static_cast<float>(row), 3);
    if (kind < 0.2f) return Crop::SOIL;
    if (kind < 0.45f) return Crop::WHEAT;
    if (kind < 0.58f) return Crop::RAPE;
    return Crop::MEADOW;
}

// The fields: a height grid, finer round the pit so its rim stays tight, none over the pit.
void layFields(TrackBuilder& track, const Land& land) {
    MeshBuilder& scenery = track.scenery();
    const uint16_t surfaces[4] = {scenery.surface(shaded("meadow", "grass.bmp")),
                                  scenery.surface(shaded("wheat", "crop_wheat.bmp")),
                                  scenery.surface(shaded("rape", "crop_rape.bmp")),
                                  scenery.surface(shaded("soil", "dirt.bmp"))};
    auto cell = [&](float x0, float z0, float size) {
        const float cx = x0 + size * 0.5f, cz = z0 + size * 0.5f;
        if (land.inPit(cx, cz)) return;
        // Each field's grass a little different from its neighbours'.
        const float shade = 0.9f + 0.2f * dice(std::floor(cx / 40.0f), std::floor(cz / 40.0f), 4);
        Corner c[4];
        const float xs[4] = {x0, x0 + size, x0 + size, x0}, zs[4] = {z0, z0, z0 + size, z0 + size};
        for (int k = 0; k < 4; ++k)
            c[k] = {{xs[k], land.height(xs[k], zs[k]), zs[k]}, xs[k] / 8.0f, -zs[k] / 8.0f, grey(shade)};
        scenery.quadFacing(surfaces[static_cast<int>(cropAt(cx, cz))], {0, 1, 0}, c[0], c[1], c[2], c[3]);
    };
    for (float x = -WORLD; x < WORLD; x += CELL)
        for (float z = -WORLD; z < WORLD; z += CELL) {
            bool nearPit = false;
            for (float dx = -CELL; dx <= 2.0f * CELL && !nearPit; dx += CELL)
                for (float dz = -CELL; dz <= 2.0f * CELL && !nearPit; dz += CELL) nearPit = land.inPit(x + dx, z + dz);
            if (!nearPit) {
                cell(x, z, CELL);
                continue;
            }
            for (float fx = x; fx < x + CELL; fx += FINE_CELL)
                for (float fz = z; fz < z + CELL; fz += FINE_CELL) cell(fx, fz, FINE_CELL);
        }
}

// The road with its edge lines and broken middle line, grass verges, and
// the field boundaries along them: guard rails on the hill, hedges, fences and dry walls.
void layRoad(TrackBuilder& track, const Land& land, Stretch barn) {
    const Centreline& line = track.line();
    const float length = line.length();
    TrackBuilder::RoadLook road;
    road.surface = shaded("asphalt", "asphalt_country.bmp");
    road.textureLength = 8.0f;
    road.lines = shaded("edge_line", "lane_line.bmp");
    track.road(road, 0.0f, length);
    MeshBuilder& paint = track.scenery();
    const uint16_t white = paint.surface(*road.lines);
    for (float s = 0.0f; s < length - 6.0f; s += 12.0f)
        paint.ribbon(white, line, s, s + 6.0f, {0.0f, -0.1f}, {0.0f, 0.1f}, PAINT, 0.0f, 6.0f, 6.0f);

    MeshBuilder& verge = track.ground(TrackBuilder::GROUND_ROUGH);
    const uint16_t grass = verge.surface(shaded("verge", "grass.bmp", {0.9f, 1.0f, 0.8f}));
    const Stretch pit = land.pit();
    verge.ribbon(grass, line, 0.0f, length, {-1.0f, -VERGE}, {-1.0f, 0.0f}, 0.0f, VERGE, 4.0f);
    verge.ribbon(grass, line, pit.s1, length + pit.s0, {1.0f, 0.0f}, {1.0f, VERGE}, 0.0f, VERGE, 4.0f);

    struct Fence {
        const char* name;
        std::string texture;
        Rgb tint;
        float height, thickness;
    };
    const Fence rail{"guard_rail", "metal_plate.bmp", {0.9f, 0.92f, 0.95f}, 0.9f, 0.3f};
    const Fence hedge{"hedge", "leaves.bmp", {0.9f, 1.0f, 0.85f}, 1.8f, 1.2f};
    const Fence paddock{"paddock_fence", "wood.bmp", {0.9f, 0.85f, 0.8f}, 1.2f, 0.25f};
    const Fence stones{"dry_wall", "concrete.bmp", {0.85f, 0.8f, 0.7f}, 1.0f, 0.7f};
    const Fence barnWall{"barn_wall", "wood.bmp", {0.75f, 0.55f, 0.45f}, BARN_EAVES, 0.5f};
    auto fenceAt = [&](float s) -> const Fence& {
        if (barn.holds(s)) return barnWall;
        const float height = line.at(s).position.y;
        if (height > 5.0f) return rail;
        const float pick = dice(std::floor(s / 60.0f), 0.0f, 7);
        return pick < 0.4f ? hedge : pick < 0.75f ? paddock : stones;
    };
    for (float side : {-1.0f, 1.0f}) {
        float s = 0.0f;
        while (s < length) {
            // Runs of one kind, cut where the kind changes or the pit begins and ends.
            const Fence& kind = fenceAt(s + 0.5f);
            float end = s;
            while (end < length && &fenceAt(end + 0.5f) == &kind) end = std::min(length, end + 2.0f);
            for (float cut : {barn.s0, barn.s1, pit.s0, pit.s1})
                if (cut > s + 0.01f && cut < end) end = cut;
            const bool open = side > 0.0f && s >= pit.s0 - 0.01f && end <= pit.s1 + 0.01f;
            if (!open) {
                MeshBuilder& walls = track.walls();
                walls.wallAlong(walls.surface(shaded(kind.name, kind.texture, kind.tint)), line, s, end,
                                {side, side * (VERGE + kind.thickness * 0.5f)}, kind.height, kind.thickness, 0.6f,
                                2.0f);
            }
            s = end;
        }
    }
}

// Reflector posts every 50 m along both verges, the way a country road is
// marked: a white post with a black band and an amber lens, standing against
// the fence so it is as solid as the fence behind it. None in the barn or
// along the open edge of the pit.
void layPosts(TrackBuilder& track, const Land& land, Stretch barn) {
    constexpr float SPACING = 50.0f, HEIGHT = 1.0f, POST = 0.12f;
    const Centreline& line = track.line();
    const Stretch pit = land.pit();
    MeshBuilder& walls = track.walls();
    const uint16_t white = walls.surface(shaded("reflector_post", ""));
    const uint16_t band = walls.surface(shaded("reflector_band", "", {0.08f, 0.08f, 0.08f}));
    const uint16_t lens = walls.surface(TrackProps::look("reflector_lens", rgb(1.0f, 0.6f, 0.1f), {}, 0.8f));
    for (float side : {-1.0f, 1.0f})
        for (float s = side > 0.0f ? 0.0f : SPACING * 0.5f; s < line.length(); s += SPACING) {
            if (barn.holds(s) || (side > 0.0f && pit.holds(s))) continue;
            const Centreline::Frame f = line.at(s);
            const Vec3 base = f.across(side * (f.width * 0.5f + VERGE - POST * 0.5f));
            walls.box(white, base + Vec3{0.0f, HEIGHT * 0.5f - 0.2f, 0.0f}, {POST, HEIGHT + 0.4f, POST}, f.heading(), 1.0f);
            walls.box(band, base + Vec3{0.0f, HEIGHT - 0.15f, 0.0f}, {POST + 0.01f, 0.22f, POST + 0.01f}, f.heading(), 1.0f);
            walls.box(lens, base + Vec3{0.0f, HEIGHT - 0.15f, 0.0f} - f.right * (side * POST * 0.5f),
                      {0.05f, 0.12f, 0.05f}, f.heading(), 1.0f);
        }
}

// The gravel pit: sheer sandy faces down to green water, a fence round its far sides.
void layPit(TrackBuilder& track, const Land& land) {
    const Centreline& line = track.line();
    const Stretch pit = land.pit();
    MeshBuilder& scenery = track.scenery();
    const uint16_t face = scenery.surface(shaded("pit_face", "dirt.bmp", {1.7f, 1.5f, 1.1f}));
    const float depth = -PIT_FLOOR + 3.0f;
    // The near face drops straight from the road's edge.
    scenery.wallAlong(face, line, pit.s0, pit.s1, {1.0f, 0.2f}, -FIELD_DROP, 0.4f, depth, 4.0f);
    // The far face and the two ends, as boxes from the rim down.
    const Centreline::Frame a = line.at(pit.s0), b = line.at(pit.s1);
    const float halfA = a.width * 0.5f, rim = a.position.y - FIELD_DROP;
    const Vec3 farA = a.across(halfA + PIT_ACROSS), farB = b.across(b.width * 0.5f + PIT_ACROSS);
    const Vec3 nearA = a.across(halfA), nearB = b.across(b.width * 0.5f);
    auto slab = [&](Vec3 p, Vec3 q) {
        const Vec3 mid = (p + q) * 0.5f;
        const float length = std::hypot(q.x - p.x, q.z - p.z);
        scenery.box(face, {mid.x, rim - depth * 0.5f, mid.z}, {1.0f, depth, length + 1.0f}, headingOf(q - p), 4.0f);
    };
    slab(farA, farB);
    slab(nearA, farA);
    slab(nearB, farB);
    SurfaceLook water = shaded("pit_water", "water.bmp", {0.7f, 0.95f, 0.85f});
    water.specular = 0.6f;
    const uint16_t pond = scenery.surface(water);
    const float x0 = std::min({farA.x, farB.x, nearA.x, nearB.x}), x1 = std::max({farA.x, farB.x, nearA.x, nearB.x});
    const float z0 = std::min({farA.z, farB.z, nearA.z, nearB.z}), z1 = std::max({farA.z, farB.z, nearA.z, nearB.z});
    scenery.panel(pond, {(x0 + x1) * 0.5f, PIT_WATER, (z0 + z1) * 0.5f}, x1 - x0, z1 - z0, 0.0f, 8.0f);
    track.fallZone({(x0 + x1) * 0.5f, PIT_FLOOR - 8.0f, (z0 + z1) * 0.5f}, {x1 - x0 + 20.0f, 10.0f, z1 - z0 + 20.0f});
    // A warning fence round the far sides and the ends; the road's side stays open.
    MeshBuilder& walls = track.walls();
    const uint16_t post = walls.surface(shaded("paddock_fence", "wood.bmp", {0.9f, 0.85f, 0.8f}));
    auto fence = [&](Vec3 p, Vec3 q) {
        const Vec3 mid = (p + q) * 0.5f;
        const float length = std::hypot(q.x - p.x, q.z - p.z);
        walls.box(post, {mid.x, rim + 0.6f, mid.z}, {0.25f, 1.2f, length}, headingOf(q - p), 2.0f);
    };
    fence(a.across(halfA + VERGE), farA);
    fence(b.across(b.width * 0.5f + VERGE), farB);
    fence(farA, farB);
}

// The barn over the road: plank walls on both sides (they are the fences
// there), a roof on them, the press hanging from the beams.
void layBarn(TrackBuilder& track, Stretch barn) {
    const Centreline& line = track.line();
    MeshBuilder& scenery = track.scenery();
    SurfaceLook roofLook = shaded("barn_roof", "roof_tiles.bmp", {0.7f, 0.45f, 0.4f});
    roofLook.doubleSided = true;
    const uint16_t roof = scenery.surface(roofLook);
    const uint16_t planks = scenery.surface(shaded("barn_wall", "wood.bmp", {0.75f, 0.55f, 0.45f}));
    const float reach = line.at(barn.s0).width * 0.5f + VERGE + 1.2f;
    const float rise = 4.0f;
    auto at = [&](float s, float lateral, float up) {
        const Centreline::Frame f = line.at(s);
        return f.position + f.right * lateral + Vec3{0.0f, BARN_EAVES + up, 0.0f};
    };
    const int steps = 4;
    for (int i = 0; i < steps; ++i) {
        const float s0 = barn.s0 - 1.0f + (barn.s1 - barn.s0 + 2.0f) * static_cast<float>(i) / steps;
        const float s1 = barn.s0 - 1.0f + (barn.s1 - barn.s0 + 2.0f) * static_cast<float>(i + 1) / steps;
        for (float side : {-1.0f, 1.0f}) {
            const Corner c[4] = {{at(s0, side * reach, -0.4f), 0.0f, s0 / 2.5f},
                                 {at(s1, side * reach, -0.4f), 0.0f, s1 / 2.5f},
                                 {at(s1, 0.0f, rise), reach / 2.5f, s1 / 2.5f},
                                 {at(s0, 0.0f, rise), reach / 2.5f, s0 / 2.5f}};
            scenery.quadFacing(roof, {0, 1, 0}, c[0], c[1], c[2], c[3]);
        }
    }
    // Gables over both doorways.
    for (float s : {barn.s0, barn.s1}) {
        const Corner l{at(s, -reach + 1.2f, -0.2f), 0.0f, 0.0f}, r{at(s, reach - 1.2f, -0.2f), 4.0f, 0.0f};
        const Corner top{at(s, 0.0f, rise - 0.2f), 2.0f, -1.5f};
        const Vec3 outward = line.at(s).forward * (s == barn.s0 ? -1.0f : 1.0f);
        if (dot(cross(r.p - l.p, top.p - l.p), outward) < 0.0f)
            scenery.triangle(planks, l, top, r);
        else
            scenery.triangle(planks, l, r, top);
    }
    SurfaceLook steel;
    steel.name = "press";
    steel.colour = {0.55f, 0.5f, 0.35f};
    steel.specular = 0.3f;
    steel.texture = TrackTextures::clipName("metal_plate.bmp");
    const float middle = (barn.s0 + barn.s1) * 0.5f;
    const float width = line.at(middle).width;
    track.stamper(middle, 0.0f, {width - 1.0f, 1.0f, 3.0f}, 3.2f, 3.0f, steel);
    const Vec3 a = line.at(barn.s0).position, b = line.at(barn.s1).position;
    track.lightMap().rectangle(std::min(a.x, b.x) - reach, std::min(a.z, b.z), std::max(a.x, b.x) + reach,
                               std::max(a.z, b.z), 0.42f, 2.0f);
}

// The farmyard round the barn: farmhouse, silo, hay bales, a few trees.
void layFarm(TrackBuilder& track, TownProps& props, const Land& land) {
    const Vec3 yard{-160.0f, 0.0f, 118.0f};
    TownProps::HouseLook home;
    home.walls = TownProps::Walls::BRICK;
    home.wallTint = {1.0f, 1.0f, 1.0f};
    home.roofTint = {0.8f, 0.35f, 0.25f};
    props.house({yard.x - 8.0f, land.height(yard.x - 8.0f, yard.z + 14.0f), yard.z + 14.0f}, PI * 0.5f, 12.0f, 9.0f,
                home);
    TownProps::HouseLook shed;
    shed.walls = TownProps::Walls::WOOD;
    shed.wallTint = {0.8f, 0.55f, 0.45f};
    shed.roofTint = {0.5f, 0.5f, 0.52f};
    shed.windows = false;
    shed.chimney = false;
    shed.wallHeight = 4.5f;
    props.house({yard.x - 6.0f, land.height(yard.x - 6.0f, yard.z - 16.0f), yard.z - 16.0f}, PI * 0.5f, 14.0f,
                10.0f, shed);
    MeshBuilder& scenery = track.scenery();
    const uint16_t silo = scenery.surface(shaded("silo", "metal_plate.bmp", {0.95f, 0.95f, 0.9f}));
    const Vec3 siloBase{yard.x + 10.0f, land.height(yard.x + 10.0f, yard.z + 2.0f), yard.z + 2.0f};
    scenery.cylinder(silo, siloBase, 3.0f, 14.0f, 12, 4.0f);
    const uint16_t hay = scenery.surface(shaded("hay", "grass.bmp", {1.6f, 1.35f, 0.6f}));
    for (int i = 0; i < 6; ++i) {
        const Vec3 p{yard.x - 20.0f + 4.0f * (i % 3), 0.0f, yard.z - 30.0f - 4.0f * (i / 3)};
        scenery.cylinder(hay, {p.x, land.height(p.x, p.z), p.z}, 1.3f, 1.6f, 10, 2.0f);
    }
    for (const Vec3& p : {Vec3{-170.0f, 0.0f, 140.0f}, Vec3{-150.0f, 0.0f, 146.0f}, Vec3{-178.0f, 0.0f, 95.0f}})
        props.tree({p.x, land.height(p.x, p.z), p.z}, 11.0f, 3.5f, {0.85f, 1.0f, 0.75f});
}

// Three wind turbines north of the ridge, their rotors turning; the wind
// zones over the ridge push the karts south.
std::string rotorObject() {
    MeshBuilder mesh;
    mesh.layer("rotor");
    SurfaceLook white;
    white.name = "rotor";
    white.colour = {0.95f, 0.95f, 0.95f};
    white.doubleSided = true;
    const uint16_t blade = mesh.surface(white);
    for (int k = 0; k < 3; ++k) {
        const float a = 2.0f * PI * static_cast<float>(k) / 3.0f;
        const Vec3 spoke{std::sin(a), std::cos(a), 0.0f}, across{std::cos(a), -std::sin(a), 0.0f};
        const Corner c[4] = {{across * 0.9f}, {across * -0.4f}, {spoke * 17.0f + across * -0.2f},
                             {spoke * 17.0f + across * 0.3f}};
        mesh.quadFacing(blade, {0.0f, 0.0f, 1.0f}, c[0], c[1], c[2], c[3]);
    }
    mesh.box(blade, {0.0f, 0.0f, 0.3f}, {1.4f, 1.4f, 1.6f});
    return mesh.bytes();
}

void layWindPark(TrackBuilder& track, const Land& land) {
    const Centreline& line = track.line();
    const float s0 = along(line, RIDGE_EAST), s1 = along(line, RIDGE_WEST);
    for (float s = s0; s < s1; s += 20.0f) {
        const Centreline::Frame f = line.at(s);
        // Local z of a zone is where it blows: south, whatever the road does.
        track.zone("wind", TrackBuilder::WIND, f.position - Vec3{0.0f, 0.5f, 0.0f}, {24.0f, 5.0f, 24.0f}, PI);
    }
    MeshBuilder& scenery = track.scenery();
    const uint16_t white = scenery.surface(shaded("turbine", "", {0.93f, 0.94f, 0.95f}));
    for (const Vec3& t : TURBINES) {
        const Vec3 foot{t.x, land.height(t.x, t.z) - 0.5f, t.z};
        scenery.cylinder(white, foot, 1.3f, TOWER_HEIGHT, 10);
        // The nacelle and the rotor face north, into the wind.
        scenery.box(white, foot + Vec3{0.0f, TOWER_HEIGHT + 1.0f, 0.5f}, {2.2f, 2.2f, 5.0f});
        LwsObject rotor;
        rotor.fileName = ROTOR_OBJECT;
        rotor.item.motion = lwsStillMotion(toArray(foot + Vec3{0.0f, TOWER_HEIGHT + 1.0f, 3.4f}));
        // A third of a turn every two seconds; three blades make the loop seamless.
        rotor.item.motion->channels[5].envelope =
            LwsEnvelope{{LwsKey{0.0f, 0.0f, 3}, LwsKey{2.0f * PI / 3.0f, 2.0f, 3}}, 2, 2};
        track.scene().objects.push_back(rotor);
    }
}

// The village church in the loop: nave and a spire to steer by.
void layChurch(TrackBuilder& track, TownProps& props, const Land& land) {
    const Vec3 base{CHURCH.x, land.height(CHURCH.x, CHURCH.z), CHURCH.z};
    TownProps::HouseLook nave;
    nave.wallTint = {0.98f, 0.96f, 0.9f};
    nave.roofTint = {0.5f, 0.3f, 0.28f};
    nave.wallHeight = 8.0f;
    nave.roofRise = 6.0f;
    nave.chimney = false;
    props.house(base, PI * 0.5f, 20.0f, 11.0f, nave);
    MeshBuilder& scenery = track.scenery();
    const uint16_t tower = scenery.surface(shaded("church_tower", "plaster_white.bmp", {0.98f, 0.96f, 0.9f}));
    const Vec3 foot = base + Vec3{0.0f, 0.0f, -13.0f};
    scenery.box(tower, foot + Vec3{0.0f, 10.0f, 0.0f}, {5.0f, 20.0f, 5.0f}, 0.0f, 3.0f);
    const uint16_t spire = scenery.surface(shaded("spire", "metal_plate.bmp", {0.45f, 0.65f, 0.55f}));
    const Corner top{foot + Vec3{0.0f, 30.0f, 0.0f}, 0.5f, 0.0f};
    const float h = 2.7f;
    const Vec3 corners[4] = {{-h, 20.0f, -h}, {h, 20.0f, -h}, {h, 20.0f, h}, {-h, 20.0f, h}};
    for (int k = 0; k < 4; ++k) {
        const Corner a{foot + corners[k], 0.0f, 1.0f}, b{foot + corners[(k + 1) % 4], 1.0f, 1.0f};
        const Vec3 outward = (a.p + b.p) * 0.5f - (foot + Vec3{0.0f, 20.0f, 0.0f});
        if (dot(cross(b.p - a.p, top.p - a.p), outward) < 0.0f)
            scenery.triangle(spire, a, top, b);
        else
            scenery.triangle(spire, a, b, top);
    }
}

// Trees: an avenue along the valley road, a wood in the north-west, hedgerow trees elsewhere.
void layTrees(TrackBuilder& track, TownProps& props, const Land& land) {
    const Centreline& line = track.line();
    auto clear = [&](Vec3 p, float radius) {
        const Centreline::Nearest n = line.nearest(p.x, p.z);
        return n.distance > land.corridor(line.at(n.s).width) + radius + 0.5f && !land.inPit(p.x, p.z) &&
               std::fabs(p.x) < WORLD - 3.0f && std::fabs(p.z) < WORLD - 3.0f &&
               std::hypot(p.x - CHURCH.x, p.z - CHURCH.z) > 18.0f && std::hypot(p.x + 160.0f, p.z - 118.0f) > 30.0f;
    };
    auto grow = [&](Vec3 p, float height, float radius, bool conifer) {
        if (!clear(p, radius)) return;
        const Vec3 base{p.x, land.height(p.x, p.z), p.z};
        if (conifer)
            props.fir(base, height, radius * 0.8f);
        else
            props.tree(base, height, radius, {0.8f + 0.25f * dice(p.x, p.z, 4), 1.0f, 0.7f});
        // Only shade that reaches the road darkens the karts; the rest is left to the sun.
        const Centreline::Nearest n = line.nearest(p.x, p.z);
        if (n.distance < land.corridor(line.at(n.s).width) + radius * 2.0f)
            track.lightMap().disc(p.x, p.z, radius * 1.6f, 0.48f);
    };
    // The avenue: both sides of the valley road, just beyond its fences.
    const float a0 = along(line, {-150.0f, 0.0f, -207.0f}) - line.length(), a1 = along(line, {120.0f, 0.0f, -200.0f});
    for (float s = a0; s < a1; s += 13.0f)
        for (float side : {-1.0f, 1.0f}) {
            const Centreline::Frame f = line.at(s);
            grow(f.across(side * (land.corridor(f.width) + 4.5f)), 10.0f + 2.0f * dice(s, side, 5), 3.2f, false);
        }
    for (float x = -WORLD; x < WORLD; x += 9.0f)
        for (float z = -WORLD; z < WORLD; z += 9.0f) {
            const Vec3 p{x + 6.0f * dice(x, z, 6), 0.0f, z + 6.0f * dice(x, z, 7)};
            const bool wood = p.x < -150.0f && p.z > 120.0f;
            const bool east = p.x > 225.0f;
            if ((wood || east) ? dice(x, z, 8) < 0.3f : dice(x, z, 8) < 0.985f) continue;
            grow(p, 9.0f + 6.0f * dice(x, z, 9), 2.6f + dice(x, z, 10), wood || dice(x, z, 11) < 0.3f);
        }
}

void layFeatures(TrackBuilder& track) {
    const Centreline& line = track.line();
    track.speedup(along(line, {40.0f, 0.0f, -208.0f}), -3.0f);
    track.speedup(along(line, {-100.0f, 0.0f, 65.0f}), 2.5f);
    track.speedup(along(line, {-190.0f, 0.0f, -185.0f}), 0.0f);
    for (const Vec3& p : {Vec3{110.0f, 0.0f, -202.0f}, Vec3{216.0f, 0.0f, -50.0f}, Vec3{40.0f, 0.0f, 180.0f},
                          Vec3{-125.0f, 0.0f, 80.0f}, Vec3{-20.0f, 0.0f, -70.0f}, Vec3{-195.0f, 0.0f, -130.0f}})
        track.pickupRow(along(line, p), 4);
}

void light(TrackBuilder& track) {
    LwsScene& scene = track.scene();
    const std::array<float, 3> haze{0.74f, 0.8f, 0.86f};
    scene.backdropColor = haze;
    scene.fogType = 1;
    scene.fogMinDistance = 60.0f;
    scene.fogMaxDistance = 300.0f;
    scene.fogColor = haze;
    scene.ambientIntensity = LwsValue(0.45f);
}

} // namespace

std::vector<CentrelinePoint> centreline() {
    return {
        {-20.0f, -207.0f, 0.0f, 13.0f},         {60.0f, -208.0f, 0.0f, 13.0f},
        {140.0f, -196.0f, 0.5f, 13.0f, -0.04f}, {195.0f, -152.0f, 1.5f, 14.0f, -0.09f},
        {218.0f, -85.0f, 3.5f, 13.0f, -0.05f},  {214.0f, -15.0f, 6.5f, 13.0f},
        {190.0f, 55.0f, 10.0f, 13.0f, -0.04f},  {145.0f, 115.0f, 13.5f, 13.0f, -0.06f},
        {85.0f, 163.0f, 16.0f, 13.0f},          {10.0f, 188.0f, 17.0f, 13.0f},
        {-65.0f, 183.0f, 16.5f, 13.0f, -0.03f}, {-118.0f, 150.0f, 13.0f, 13.0f, -0.06f},
        {-128.0f, 95.0f, 9.5f, 13.0f},          {-95.0f, 45.0f, 7.0f, 13.0f, 0.05f},
        {-35.0f, 10.0f, 5.5f, 13.0f},           {-5.0f, -45.0f, 4.0f, 13.0f, 0.04f},
        {-30.0f, -95.0f, 2.5f, 13.0f},          {-65.0f, -106.5f, 2.0f, 13.0f},
        {-100.0f, -106.5f, 2.0f, 13.0f},        {-135.0f, -106.5f, 2.0f, 13.0f},
        {-175.0f, -112.0f, 1.5f, 13.0f, -0.04f}, {-205.0f, -150.0f, 0.5f, 13.0f, -0.07f},
        {-185.0f, -198.0f, 0.0f, 13.0f, -0.04f}, {-110.0f, -208.0f, 0.0f, 13.0f},
    };
}

std::vector<TrackFile> files() {
    TrackBuilder track(6, "ueberland", Centreline(centreline()));
    // A summer's day: the open country a little over neutral and warm, as the park and the car park are.
    track.lightMap() = LightMap(0.56f, rgb(1.0f, 0.98f, 0.92f));
    paintTextures(track);
    TownProps props(track);
    const Centreline& line = track.line();
    const Land land(line);
    const float barnStart = along(line, BARN_NORTH);
    const Stretch barn{barnStart, barnStart + BARN_LENGTH};
    layRoad(track, land, barn);
    layPosts(track, land, barn);
    layFields(track, land);
    layPit(track, land);
    layBarn(track, barn);
    layFarm(track, props, land);
    layWindPark(track, land);
    layChurch(track, props, land);
    layTrees(track, props, land);
    layFeatures(track);
    light(track);
    SkyDome::raise(track, SkyDome::day());
    std::vector<TrackFile> out = track.files();
    out.push_back({ROTOR_OBJECT, rotorObject()});
    return out;
}

} // namespace Ueberland
