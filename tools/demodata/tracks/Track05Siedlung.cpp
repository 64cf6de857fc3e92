#include "tools/demodata/tracks/Track05Siedlung.h"

#include <algorithm>
#include <cmath>

#include "tools/demodata/tracks/SkyDome.h"
#include "tools/demodata/tracks/TownProps.h"
#include "tools/demodata/tracks/TrackDecor.h"
#include "tools/demodata/tracks/TrackBuilder.h"
#include "tools/demodata/tracks/TrackTextures.h"
#include "sys/Pi.h"

namespace Siedlung {
namespace {

using Corner = MeshBuilder::Corner;
using Edge = MeshBuilder::Edge;
using TrackDecor::along;
using TrackDecor::dice;
using TrackDecor::shaded;
using TrackDecor::Stretch;

// A street corner: where the kerbs' lines meet, the radius of the bend and
// the width of the street that leaves it.
struct StreetCorner {
    float x, z, radius, width;
};

// Anticlockwise from the main street's west end: the main street, the
// maple road up the east side, the linden road back west, the garden alley
// north, the birch road along the top, down the west side and the school
// road's dog-leg home.
const StreetCorner STREETS[] = {
    {-110.0f, -195.0f, 26.0f, 14.0f}, {195.0f, -195.0f, 30.0f, 12.0f}, {195.0f, 30.0f, 28.0f, 12.0f},
    {50.0f, 30.0f, 26.0f, 10.0f},     {50.0f, 200.0f, 26.0f, 12.0f},   {-195.0f, 200.0f, 30.0f, 12.0f},
    {-195.0f, -60.0f, 28.0f, 12.0f},  {-110.0f, -60.0f, 26.0f, 12.0f},
};
const Vec3 FINISH{-40.0f, 0.0f, -195.0f};
// Control points on the straights at most this far apart, so the curve stays straight between corners.
constexpr float STRAIGHT_SPACING = 8.0f;

constexpr int TEXTURE_SIZE = 256;
constexpr float PAVEMENT = 2.5f;
constexpr float KERB = 0.12f;
constexpr float PAINT = 0.03f;
// Front gardens between the pavement and the houses.
constexpr float FRONT_GARDEN = 5.0f;
constexpr float WORLD_EDGE = 246.0f;
// The grass lies below the road so that the two never fight for a pixel.
constexpr float LAWN_DROP = -0.15f;

// The garden alley runs between these two points; brick walls close it in.
const Vec3 ALLEY_START{50.0f, 0.0f, 68.0f};
const Vec3 ALLEY_END{50.0f, 0.0f, 170.0f};
// The garden with the pond opens off the west street between these points.
const Vec3 POND_GATE_NORTH{-195.0f, 0.0f, 112.0f};
const Vec3 POND_GATE_SOUTH{-195.0f, 0.0f, 100.0f};
const Vec3 POND{-228.0f, 0.0f, 106.0f};
constexpr float POND_RADIUS = 6.0f;
// The garden reaches from the pavement's back to x = -244, z 86..126.
constexpr float GARDEN_WEST = -244.0f;
constexpr float GARDEN_SOUTH = 86.0f, GARDEN_NORTH = 126.0f;

Vec3 flat(float x, float z) { return {x, 0.0f, z}; }

// How much the street turns within `reach` of s: near 0 on the straights.
float bendAt(const Centreline& line, float s, float reach) {
    const Vec3 a = line.at(s - reach).forward, b = line.at(s + reach).forward;
    return std::fabs(std::atan2(cross(b, a).y, dot(a, b)));
}

// Every picture the estate's own surfaces use, painted once; the looks name them by file.
void paintTextures(TrackBuilder& track) {
    // Estate streets are worn pale, lighter than a fresh main road.
    track.texture("asphalt_pale.bmp", TrackTextures::asphalt(TrackTextures::ROAD_TEXTURE_SIZE, 1.6f));
    track.texture("cobbles.bmp",
                  TrackTextures::tiles(TEXTURE_SIZE, 16, rgb(0.62f, 0.58f, 0.54f), rgb(0.52f, 0.5f, 0.47f)));
    track.texture("estate_paving.bmp",
                  TrackTextures::tiles(TEXTURE_SIZE, 4, rgb(0.66f, 0.64f, 0.6f), rgb(0.6f, 0.58f, 0.55f)));
    track.texture("concrete.bmp", TrackTextures::concrete(TEXTURE_SIZE));
    track.texture("hazard.bmp", TrackTextures::hazard(TEXTURE_SIZE));
    // Sized as the other tracks paint them, so the shared files are one and the same.
    track.texture("lane_line.bmp", TrackTextures::laneLine(64));
    track.texture("grass.bmp", TrackTextures::grass(TEXTURE_SIZE));
    track.texture("dirt.bmp", TrackTextures::dirt(TEXTURE_SIZE));
    track.texture("water.bmp", TrackTextures::water(TEXTURE_SIZE));
}

// What stands where, so that nothing is built into anything else.
class Plot {
public:
    explicit Plot(const Centreline& line) : m_line(line) {}
    // Clear of the streets by `margin` beyond their pavements, of everything placed, and inside the world.
    bool free(Vec3 p, float radius, float margin) const {
        if (std::fabs(p.x) > WORLD_EDGE - radius || std::fabs(p.z) > WORLD_EDGE - radius) return false;
        const Centreline::Nearest n = m_line.nearest(p.x, p.z);
        if (n.distance < m_line.at(n.s).width * 0.5f + PAVEMENT + margin + radius) return false;
        for (const Taken& t : m_taken)
            if (std::hypot(p.x - t.p.x, p.z - t.p.z) < radius + t.radius) return false;
        return true;
    }
    void take(Vec3 p, float radius) { m_taken.push_back({p, radius}); }

private:
    struct Taken {
        Vec3 p{};
        float radius;
    };
    const Centreline& m_line;
    std::vector<Taken> m_taken;
};

// A hump across the whole road over [s, s + length), striped so it is seen in time.
void speedBump(TrackBuilder& track, float s, float length, float height) {
    const Centreline& line = track.line();
    MeshBuilder& ground = track.ground();
    const uint16_t surface = ground.surface(shaded("speed_bump", "hazard.bmp"));
    const int steps = 6;
    auto row = [&](int k, float lateral) {
        const float t = static_cast<float>(k) / steps;
        const Centreline::Frame f = line.at(s + length * t);
        return Corner{f.across(lateral) + Vec3{0.0f, height * std::sin(PI * t), 0.0f}, lateral / 3.0f,
                      -length * t / 3.0f};
    };
    const float half = line.at(s).width * 0.5f;
    for (int k = 0; k < steps; ++k)
        ground.quadFacing(surface, {0, 1, 0}, row(k, -half), row(k, half), row(k + 1, half), row(k + 1, -half));
}

// The road surface, cut around the speed bumps so the two never lie on top of each other.
void layRoads(TrackBuilder& track, const std::vector<Stretch>& bumps, float alley0, float alley1) {
    const float length = track.line().length();
    TrackBuilder::RoadLook asphalt;
    asphalt.surface = shaded("asphalt", "asphalt_pale.bmp");
    asphalt.textureLength = 8.0f;
    TrackBuilder::RoadLook cobbles;
    cobbles.surface = shaded("cobbles", "cobbles.bmp");
    cobbles.textureLength = 4.0f;
    std::vector<float> cuts = {0.0f, alley0, alley1, length};
    for (const Stretch& b : bumps) {
        cuts.push_back(b.s0);
        cuts.push_back(b.s1);
    }
    std::sort(cuts.begin(), cuts.end());
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        const float a = cuts[i], b = cuts[i + 1];
        const bool isBump = std::any_of(bumps.begin(), bumps.end(), [&](const Stretch& s) { return s.s0 == a; });
        if (isBump || b - a < 1e-3f) continue;
        track.road(a >= alley0 && b <= alley1 ? cobbles : asphalt, a, b);
    }
    for (const Stretch& b : bumps) speedBump(track, b.s0, b.s1 - b.s0, 0.22f);
}

// Pavements a kerb above the road on both sides, with the kerb stones' faces.
void layPavements(TrackBuilder& track, float alley0, float alley1) {
    const Centreline& line = track.line();
    // Everywhere but in the alley, which has none.
    const float s0 = alley1, s1 = line.length() + alley0;
    MeshBuilder& ground = track.ground();
    const uint16_t walk = ground.surface(shaded("pavement", "estate_paving.bmp"));
    for (float side : {-1.0f, 1.0f}) {
        const Edge inner{side, side * 0.15f}, outer{side, side * PAVEMENT};
        ground.ribbon(walk, line, s0, s1, side < 0 ? outer : inner, side < 0 ? inner : outer, KERB, PAVEMENT,
                      PAVEMENT);
    }
    MeshBuilder& scenery = track.scenery();
    const uint16_t stone = scenery.surface(shaded("kerb", "concrete.bmp"));
    for (float side : {-1.0f, 1.0f})
        scenery.wallAlong(stone, line, s0, s1, {side, side * 0.075f}, KERB, 0.15f, 0.2f, 1.0f);
}

// One kind of garden boundary along a street.
struct Boundary {
    const char* name;
    const char* texture;
    float height, thickness;
};
const Boundary HEDGE{"hedge", "leaves.bmp", 1.6f, 1.0f};
const Boundary FENCE{"fence", "wood.bmp", 1.1f, 0.2f};
const Boundary GARDEN_WALL{"garden_wall", "brick.bmp", 0.9f, 0.4f};
const Boundary ALLEY_WALL{"alley_wall", "brick.bmp", 2.4f, 0.5f};

void boundary(TrackBuilder& track, const Boundary& b, float s0, float s1, float side, float offset) {
    MeshBuilder& walls = track.walls();
    walls.wallAlong(walls.surface(shaded(b.name, b.texture)), track.line(), s0, s1,
                    {side, side * (offset + b.thickness * 0.5f)}, b.height + KERB, b.thickness, 0.3f, 2.0f);
}

// Front gardens' hedges, fences and low walls behind the pavements, plot by
// plot; brick walls close the alley in, and the pond garden's gate stays open.
void layBoundaries(TrackBuilder& track, float alley0, float alley1, Stretch gate) {
    const Centreline& line = track.line();
    const float length = line.length();
    const Boundary kinds[3] = {HEDGE, FENCE, GARDEN_WALL};
    for (float side : {-1.0f, 1.0f}) {
        float s = alley1;
        while (s < length + alley0 - 1.0f) {
            float end = std::min(s + 14.0f + 10.0f * dice(s, side, 1), length + alley0);
            if (length + alley0 - end < 8.0f) end = length + alley0;
            const Boundary& kind = kinds[static_cast<int>(dice(s, side, 2) * 2.999f)];
            const float a = s, b = end;
            const bool cut = side > 0.0f && a < gate.s1 && b > gate.s0;
            if (cut) {
                if (gate.s0 > a) boundary(track, kind, a, gate.s0, side, PAVEMENT);
                if (b > gate.s1) boundary(track, kind, gate.s1, b, side, PAVEMENT);
            } else {
                boundary(track, kind, a, b, side, PAVEMENT);
            }
            s = end;
        }
    }
    for (float side : {-1.0f, 1.0f}) {
        boundary(track, ALLEY_WALL, alley0, alley1, side, 0.3f);
        // Where the pavements end, the alley's walls turn out to meet the gardens'.
        for (float s : {alley0, alley1}) {
            const Centreline::Frame f = line.at(s);
            const float mid = f.width * 0.5f + (0.3f + PAVEMENT + 1.0f) * 0.5f;
            MeshBuilder& walls = track.walls();
            walls.box(walls.surface(shaded(ALLEY_WALL.name, ALLEY_WALL.texture)),
                      f.across(side * mid) + Vec3{0.0f, ALLEY_WALL.height * 0.5f, 0.0f},
                      {PAVEMENT + 1.3f, ALLEY_WALL.height, 0.6f}, f.heading(), 2.0f);
        }
    }
}

// A garden through an open gate off the west street, with a pond that sends a kart back to the road.
void layPondGarden(TrackBuilder& track, TownProps& props, Plot& plot, Stretch gate) {
    const Centreline& line = track.line();
    const Centreline::Frame gateFrame = line.at((gate.s0 + gate.s1) * 0.5f);
    const float east = gateFrame.across(gateFrame.width * 0.5f + PAVEMENT).x;
    MeshBuilder& ground = track.ground();
    const uint16_t lawn = ground.surface(shaded("garden_lawn", "grass.bmp"));
    ground.panel(lawn, {(east + GARDEN_WEST) * 0.5f, 0.0f, (GARDEN_SOUTH + GARDEN_NORTH) * 0.5f}, east - GARDEN_WEST,
                 GARDEN_NORTH - GARDEN_SOUTH, 0.0f, 6.0f);
    // The gravel drive from the pavement in.
    const uint16_t gravel = ground.surface(shaded("gravel", "dirt.bmp"));
    ground.panel(gravel, {east - 4.0f, 0.02f, gateFrame.position.z}, 8.0f, gate.s1 - gate.s0, 0.0f, 3.0f);

    MeshBuilder& walls = track.walls();
    const uint16_t hedge = walls.surface(shaded(HEDGE.name, HEDGE.texture));
    const float height = HEDGE.height;
    walls.box(hedge, {GARDEN_WEST - 0.5f, height * 0.5f, (GARDEN_SOUTH + GARDEN_NORTH) * 0.5f},
              {1.0f, height, GARDEN_NORTH - GARDEN_SOUTH + 2.0f}, 0.0f, 2.0f);
    for (float z : {GARDEN_SOUTH - 0.5f, GARDEN_NORTH + 0.5f})
        walls.box(hedge, {(east + GARDEN_WEST) * 0.5f, height * 0.5f, z}, {east - GARDEN_WEST, height, 1.0f}, 0.0f,
                  2.0f);

    MeshBuilder& scenery = track.scenery();
    SurfaceLook water = shaded("pond_water", "water.bmp");
    water.specular = 0.7f;
    const uint16_t pond = scenery.surface(water);
    const uint16_t stone = scenery.surface(shaded("kerb", "concrete.bmp"));
    const int sides = 16;
    for (int i = 0; i < sides; ++i) {
        const float a0 = 2.0f * PI * static_cast<float>(i) / sides, a1 = 2.0f * PI * static_cast<float>(i + 1) / sides;
        const Vec3 p0 = POND + Vec3{std::sin(a0) * POND_RADIUS, 0.05f, std::cos(a0) * POND_RADIUS};
        const Vec3 p1 = POND + Vec3{std::sin(a1) * POND_RADIUS, 0.05f, std::cos(a1) * POND_RADIUS};
        const Vec3 c = POND + Vec3{0.0f, 0.05f, 0.0f};
        const Corner cc{c, c.x / 4.0f, c.z / 4.0f}, c0{p0, p0.x / 4.0f, p0.z / 4.0f}, c1{p1, p1.x / 4.0f, p1.z / 4.0f};
        if (cross(c0.p - cc.p, c1.p - cc.p).y > 0.0f)
            scenery.triangle(pond, cc, c0, c1);
        else
            scenery.triangle(pond, cc, c1, c0);
        scenery.box(stone, (p0 + p1) * 0.5f + Vec3{0.0f, 0.1f, 0.0f}, {2.4f, 0.35f, 0.9f}, (a0 + a1) * 0.5f, 1.0f,
                    grey(0.8f + 0.2f * dice(p0.x, p0.z, 5)));
    }
    track.zone("pond", TrackBuilder::RESET, POND + Vec3{0.0f, -0.5f, 0.0f},
               {POND_RADIUS * 1.6f, 1.4f, POND_RADIUS * 1.6f});
    TownProps::HouseLook look;
    look.wallTint = {0.95f, 0.85f, 0.7f};
    const Vec3 home{-232.0f, 0.0f, 138.0f};
    props.house(home, PI, 10.0f, 9.0f, look);
    plot.take(POND, 24.0f);
    plot.take(home, 7.0f);
    props.tree({-236.0f, 0.0f, 92.0f}, 8.0f, 3.0f, {0.8f, 1.0f, 0.75f});
}

// Houses along both sides of every street, three rows deep where there is room (the alley has gardens
// before them), trees between them.
void layHouses(TrackBuilder& track, TownProps& props, Plot& plot, float alley0, float alley1) {
    const Centreline& line = track.line();
    const Rgb walls[] = {{0.97f, 0.95f, 0.9f}, {0.98f, 0.9f, 0.72f}, {0.9f, 0.78f, 0.68f},
                         {0.85f, 0.88f, 0.92f}, {0.96f, 0.85f, 0.8f}, {0.88f, 0.92f, 0.8f}};
    const Rgb roofs[] = {{0.85f, 0.38f, 0.28f}, {0.55f, 0.3f, 0.25f}, {0.4f, 0.4f, 0.45f}, {0.75f, 0.45f, 0.3f}};
    const float length = line.length();
    for (float side : {-1.0f, 1.0f}) {
        for (int row = 0; row < 3; ++row) {
            float s = 6.0f * static_cast<float>(row);
            while (s < length) {
                const float width = 9.0f + 3.0f * dice(s, side, 10 + row);
                const float depth = 8.0f + 2.0f * dice(s, side, 20 + row);
                const float at = s + width * 0.5f;
                s += width + 5.0f + 4.0f * dice(s, side, 30);
                if (row == 0 && at > alley0 - 4.0f && at < alley1 + 4.0f) continue;
                if (bendAt(line, at, 12.0f) > 0.1f) continue;
                const Centreline::Frame f = line.at(at);
                const float back = f.width * 0.5f + PAVEMENT + FRONT_GARDEN + depth * 0.5f + 26.0f * row;
                const Vec3 centre = f.across(side * back);
                const float radius = std::hypot(width, depth) * 0.5f;
                if (!plot.free(centre, radius, 1.5f)) continue;
                plot.take(centre, radius);
                TownProps::HouseLook look;
                const int pick = static_cast<int>(dice(centre.x, centre.z, 40) * 5.999f);
                look.wallTint = walls[pick];
                look.roofTint = roofs[static_cast<int>(dice(centre.x, centre.z, 41) * 3.999f)];
                look.walls = dice(centre.x, centre.z, 42) < 0.2f ? TownProps::Walls::BRICK : TownProps::Walls::PLASTER;
                look.wallHeight = dice(centre.x, centre.z, 43) < 0.3f ? 3.2f : 5.6f;
                if (look.walls == TownProps::Walls::BRICK) look.wallTint = {1.0f, 1.0f, 1.0f};
                props.house({centre.x, 0.0f, centre.z}, headingOf(f.right * -side), width, depth, look);
            }
        }
    }
    // Trees in the front gardens and wherever the back gardens leave room.
    for (float side : {-1.0f, 1.0f})
        for (float s = 5.0f; s < length; s += 9.0f) {
            const Centreline::Frame f = line.at(s);
            const Vec3 p = f.across(side * (f.width * 0.5f + PAVEMENT + 3.0f + 2.0f * dice(s, side, 50)));
            if (dice(s, side, 51) < 0.75f || !plot.free(p, 2.0f, 1.5f)) continue;
            plot.take(p, 2.0f);
            props.tree(p, 6.0f + 3.0f * dice(s, side, 52), 2.2f + 0.8f * dice(s, side, 53),
                            {0.75f + 0.2f * dice(s, side, 54), 1.0f, 0.7f});
            track.lightMap().disc(p.x, p.z, 4.5f, 0.38f);
        }
    for (float x = -240.0f; x < 245.0f; x += 16.0f)
        for (float z = -240.0f; z < 245.0f; z += 16.0f) {
            const Vec3 p{x + 8.0f * dice(x, z, 60), 0.0f, z + 8.0f * dice(x, z, 61)};
            if (dice(x, z, 62) < 0.4f || !plot.free(p, 2.5f, 6.0f)) continue;
            plot.take(p, 2.5f);
            if (dice(x, z, 63) < 0.3f)
                props.fir(p, 7.0f + 4.0f * dice(x, z, 64), 2.2f);
            else
                props.tree(p, 7.0f + 4.0f * dice(x, z, 64), 2.5f + dice(x, z, 65),
                                {0.7f + 0.3f * dice(x, z, 66), 1.0f, 0.65f});
        }
}

// Lamps along the pavements, on the straights, alternating sides.
void layLamps(TrackBuilder& track, TownProps& props, float alley0, float alley1) {
    const Centreline& line = track.line();
    float side = 1.0f;
    for (float s = 10.0f; s < line.length(); s += 34.0f) {
        if (s > alley0 - 5.0f && s < alley1 + 5.0f) continue;
        if (bendAt(line, s, 8.0f) > 0.05f) continue;
        const Centreline::Frame f = line.at(s);
        const Vec3 p = f.across(side * (f.width * 0.5f + PAVEMENT - 0.5f));
        props.lamp({p.x, KERB, p.z}, headingOf(f.right * -side));
        side = -side;
    }
    // One at the outside of every street corner, where the houses stand
    // back and the bend would otherwise open onto bare asphalt: behind the
    // garden's boundary, out of reach of a kart that runs wide.
    for (const StreetCorner& c : STREETS) {
        const Centreline::Nearest n = line.nearest(c.x, c.z);
        const Centreline::Frame f = line.at(n.s);
        const float outer = n.lateral < 0.0f ? -1.0f : 1.0f;
        const Vec3 p = f.across(outer * (f.width * 0.5f + PAVEMENT + 1.8f));
        props.lamp({p.x, KERB, p.z}, headingOf(f.right * -outer));
    }
}

// Lawns under everything, in panels small enough for the light map to shade.
void layLawns(TrackBuilder& track) {
    MeshBuilder& scenery = track.scenery();
    const uint16_t lawn = scenery.surface(shaded("lawn", "grass.bmp"));
    const float cell = 25.0f;
    for (float x = -250.0f; x < 250.0f; x += cell)
        for (float z = -250.0f; z < 250.0f; z += cell)
            scenery.panel(lawn, {x + cell * 0.5f, LAWN_DROP, z + cell * 0.5f}, cell, cell, 0.0f, 6.0f);
}

// A dashed middle line down the main street and a zebra crossing by the school.
void layMarkings(TrackBuilder& track) {
    const Centreline& line = track.line();
    MeshBuilder& scenery = track.scenery();
    SurfaceLook paint = shaded("road_paint", "lane_line.bmp");
    const uint16_t white = scenery.surface(paint);
    // The main street runs across the finish line, so its stretch wraps round the lap's end.
    const float main0 = along(line, {-80.0f, 0.0f, -195.0f}) - line.length();
    const float main1 = along(line, {160.0f, 0.0f, -195.0f});
    for (float s = main0; s < main1; s += 8.0f)
        scenery.ribbon(white, line, s, s + 4.0f, {0.0f, -0.08f}, {0.0f, 0.08f}, PAINT, 0.0f, 4.0f, 4.0f);
    const float zebra = along(line, {-110.0f, 0.0f, -100.0f});
    for (float l = -5.0f; l < 5.0f; l += 1.2f)
        scenery.ribbon(white, line, zebra, zebra + 4.0f, {0.0f, l}, {0.0f, l + 0.6f}, PAINT, 0.0f, 4.0f, 4.0f);
}

// Dustbins on the pavements: light enough to be knocked about.
void layBins(TrackBuilder& track) {
    const Centreline& line = track.line();
    SurfaceLook bin;
    bin.name = "dustbin";
    bin.colour = {0.25f, 0.45f, 0.3f};
    bin.specular = 0.2f;
    const Vec3 spots[] = {{20.0f, 0.0f, -195.0f}, {120.0f, 0.0f, -195.0f}, {140.0f, 0.0f, 30.0f},
                          {100.0f, 0.0f, 30.0f},  {-60.0f, 0.0f, 200.0f},  {-195.0f, 0.0f, 40.0f}};
    int n = 0;
    for (const Vec3& spot : spots) {
        const Centreline::Frame f = line.at(along(line, spot));
        const float side = n % 2 ? 1.0f : -1.0f;
        const Vec3 p = f.across(side * (f.width * 0.5f + PAVEMENT * 0.6f));
        track.obstacle("dustbin" + std::to_string(++n), {p.x, KERB, p.z}, {0.8f, 1.1f, 0.8f}, f.heading(), 2.0f, bin);
    }
}

// Pads, pick-ups, the alley's motion-sensor trigger; bumps are laid with the road.
void layFeatures(TrackBuilder& track, float alley0) {
    const Centreline& line = track.line();
    track.speedup(along(line, {30.0f, 0.0f, -195.0f}), 3.5f);
    track.speedup(along(line, {-195.0f, 0.0f, 30.0f}), -2.5f);
    track.speedup(along(line, {-20.0f, 0.0f, 200.0f}), 2.5f);
    for (const Vec3& p : {Vec3{110.0f, 0.0f, -195.0f}, Vec3{195.0f, 0.0f, -75.0f}, Vec3{50.0f, 0.0f, 115.0f},
                          Vec3{-100.0f, 0.0f, 200.0f}, Vec3{-195.0f, 0.0f, 150.0f}, Vec3{-110.0f, 0.0f, -140.0f}})
        track.pickupRow(along(line, p), p.x == 50.0f ? 2 : 3);
    const Centreline::Frame f = line.at(alley0 + 3.0f);
    track.zone("alley_light", TrackBuilder::TRIGGER, f.position, {f.width + 1.0f, 2.0f, 1.5f}, f.heading());
    MeshBuilder& scenery = track.scenery();
    SurfaceLook glow;
    glow.name = "sensor_lamp";
    glow.colour = {1.0f, 0.9f, 0.6f};
    glow.luminosity = 1.0f;
    scenery.box(scenery.surface(glow), f.across(-(f.width * 0.5f + 0.3f)) + Vec3{0.0f, 2.8f, 0.0f}, {0.6f, 0.3f, 0.4f},
                f.heading());
}

void light(TrackBuilder& track, float alley0, float alley1) {
    LwsScene& scene = track.scene();
    scene.backdropColor = std::array<float, 3>{0.55f, 0.72f, 0.92f};
    scene.fogType = 1;
    scene.fogMinDistance = 180.0f;
    scene.fogMaxDistance = 520.0f;
    scene.fogColor = std::array<float, 3>{0.72f, 0.8f, 0.9f};
    // A bright afternoon: enough light all round that a rider seen from
    // behind, the sun ahead of him, still shows his colours.
    scene.ambientIntensity = LwsValue(0.7f);
    scene.lights.front().intensity = LwsValue(1.05f);
    scene.lights.front().color = std::array<LwsValue, 3>{LwsValue(1.0f), LwsValue(0.96f), LwsValue(0.88f)};
    // The alley lies in the shade of its walls and the gardens' trees.
    const Centreline& line = track.line();
    const Vec3 a = line.at(alley0).position, b = line.at(alley1).position;
    track.lightMap().rectangle(a.x - 6.0f, a.z, b.x + 6.0f, b.z, 0.43f, 3.0f);
}

} // namespace

std::vector<CentrelinePoint> centreline() {
    const int n = static_cast<int>(std::size(STREETS));
    std::vector<CentrelinePoint> points;
    for (int i = 0; i < n; ++i) {
        const StreetCorner& c = STREETS[i];
        const StreetCorner& before = STREETS[(i + n - 1) % n];
        const StreetCorner& after = STREETS[(i + 1) % n];
        const Vec3 v = flat(c.x, c.z);
        const Vec3 in = normalised(v - flat(before.x, before.z)), out = normalised(flat(after.x, after.z) - v);
        const float turn = std::atan2(cross(out, in).y, dot(in, out));
        const float reach = c.radius * std::tan(std::fabs(turn) * 0.5f);
        // The fillet's arc, in steps about as long as those on the straights.
        const Vec3 t1 = v - in * reach;
        const Vec3 side = turn > 0.0f ? Vec3{-in.z, 0.0f, in.x} : Vec3{in.z, 0.0f, -in.x};
        const Vec3 centre = t1 + side * c.radius;
        const int arcSteps = std::max(2, static_cast<int>(std::ceil(std::fabs(turn) * c.radius / STRAIGHT_SPACING)));
        // Corners are a little wider than their streets, as junctions are.
        const float wide = std::max(before.width, c.width) + 2.0f;
        for (int k = 0; k <= arcSteps; ++k) {
            const float t = static_cast<float>(k) / static_cast<float>(arcSteps);
            const float a = turn * t;
            const Vec3 r = t1 - centre;
            const Vec3 p =
                centre + Vec3{r.x * std::cos(a) - r.z * std::sin(a), 0.0f, r.x * std::sin(a) + r.z * std::cos(a)};
            const float width = t < 0.5f ? before.width + (wide - before.width) * 2.0f * t
                                         : c.width + (wide - c.width) * 2.0f * (1.0f - t);
            points.push_back({p.x, p.z, 0.0f, width});
        }
        const Vec3 t2 = v + out * reach;
        const Vec3 end = flat(after.x, after.z) - out * (after.radius * std::tan(std::fabs(turn) * 0.5f));
        const float straight = length(end - t2);
        const int pieces = std::max(1, static_cast<int>(std::ceil(straight / STRAIGHT_SPACING)));
        for (int k = 1; k < pieces; ++k) {
            const Vec3 p = t2 + out * (straight * static_cast<float>(k) / static_cast<float>(pieces));
            points.push_back({p.x, p.z, 0.0f, c.width});
        }
    }
    // The lap starts at the finish line on the main street.
    size_t first = 0;
    for (size_t i = 0; i < points.size(); ++i)
        if (std::hypot(points[i].x - FINISH.x, points[i].z - FINISH.z) <
            std::hypot(points[first].x - FINISH.x, points[first].z - FINISH.z))
            first = i;
    std::rotate(points.begin(), points.begin() + static_cast<long>(first), points.end());
    return points;
}

std::vector<TrackFile> files() {
    TrackBuilder track(5, "siedlung", Centreline(centreline()));
    paintTextures(track);
    TownProps props(track);
    const Centreline& line = track.line();
    const float alley0 = along(line, ALLEY_START), alley1 = along(line, ALLEY_END);
    const Stretch gate{along(line, POND_GATE_NORTH), along(line, POND_GATE_SOUTH)};
    std::vector<Stretch> bumps;
    for (const Vec3& p : {Vec3{195.0f, 0.0f, -120.0f}, Vec3{195.0f, 0.0f, -30.0f}, Vec3{-50.0f, 0.0f, 200.0f},
                          Vec3{-150.0f, 0.0f, 200.0f}}) {
        const float s = along(line, p);
        bumps.push_back({s, s + 3.0f});
    }
    layRoads(track, bumps, alley0, alley1);
    layPavements(track, alley0, alley1);
    layBoundaries(track, alley0, alley1, gate);
    Plot plot(line);
    layPondGarden(track, props, plot, gate);
    layHouses(track, props, plot, alley0, alley1);
    layLamps(track, props, alley0, alley1);
    layLawns(track);
    layMarkings(track);
    layBins(track);
    layFeatures(track, alley0);
    light(track, alley0, alley1);
    SkyDome::raise(track, SkyDome::day());
    return track.files();
}

} // namespace Siedlung
