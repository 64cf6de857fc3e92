#include "tools/demodata/tracks/Track01Parkhaus.h"

#include <cmath>

#include "tools/demodata/tracks/Noise.h"
#include "tools/demodata/tracks/SkyDome.h"
#include "tools/demodata/tracks/TrackBuilder.h"
#include "tools/demodata/tracks/TrackTextures.h"
#include "sys/Pi.h"

// The lap: the finish line on the ground floor's south lane, east and round a
// hairpin into the lane back west, up a ramp through the deck, along the open
// roof deck east and back west on its north edge, down the western ramp and
// round onto the start lane. In plan the lap never crosses itself: the ground
// floor lanes lie in the south half, the roof lanes in the north half.
namespace Parkhaus {
namespace {

constexpr float WIDTH = 14.0f;
constexpr float DECK = 8.0f;            // road on the roof deck
constexpr float DECK_TOP = 7.75f;       // the slab around it
constexpr float DECK_UNDER = 7.1f;      // the ground floor's ceiling
constexpr float FLOOR = -0.25f;         // the ground floor around the lanes
constexpr float X0 = -192.0f, X1 = 192.0f, Z0 = -136.0f, Z1 = 144.0f;
constexpr float CELL = 8.0f;
constexpr float WALL_HEIGHT = 1.1f;

// The deck's holes over the two ramps.
struct Box2 {
    float x0, z0, x1, z1;
    bool holds(float x, float z) const { return x >= x0 && x <= x1 && z >= z0 && z <= z1; }
};
constexpr Box2 RAMP_UP{-64.0f, -32.0f, -40.0f, 32.0f};
constexpr Box2 RAMP_DOWN{-184.0f, -24.0f, -160.0f, 56.0f};

void arc(std::vector<CentrelinePoint>& out, float cx, float cz, float r, float fromDegrees, float toDegrees,
         float height) {
    const int steps = static_cast<int>(std::ceil(std::fabs(toDegrees - fromDegrees) / 15.0f));
    for (int i = 0; i <= steps; ++i) {
        float a = (fromDegrees + (toDegrees - fromDegrees) * static_cast<float>(i) / steps) * PI / 180.0f;
        out.push_back({cx + r * std::cos(a), cz + r * std::sin(a), height, WIDTH});
    }
}

bool inHole(float x, float z) { return RAMP_UP.holds(x, z) || RAMP_DOWN.holds(x, z); }

SurfaceLook look(const std::string& name, Rgb colour, const std::string& texture, float luminosity = 0.0f) {
    SurfaceLook l;
    l.name = name;
    l.colour = colour;
    l.texture = texture;
    l.luminosity = luminosity;
    l.vertexColours = luminosity == 0.0f;
    return l;
}

// Night: the ground floor is dim except under its ceiling lamps, the roof
// deck lies under a dusk sky with warm pools round its lamp posts.
struct Lamps {
    std::vector<Vec3> ceiling; // panel centres under the deck
    std::vector<Vec3> posts;   // lamp heads on the roof deck
};

Rgb shadeAt(const Lamps& lamps, Vec3 p) {
    const bool indoors = p.y < DECK_UNDER + 0.01f && p.x > X0 && p.x < X1 && p.z > Z0 && p.z < Z1 &&
                         !inHole(p.x, p.z);
    float level = indoors ? 0.6f : 0.9f;
    const Rgb tint = indoors ? Rgb{1.0f, 0.97f, 0.9f} : Rgb{0.85f, 0.9f, 1.05f};
    // Pools of light by the distance in plan, each lamp lighting what lies under it.
    const float reach = indoors ? 10.0f : 12.0f;
    for (const Vec3& l : indoors ? lamps.ceiling : lamps.posts) {
        const float d = std::hypot(p.x - l.x, p.z - l.z);
        if (d < reach) level += 0.8f * (1.0f - d / reach) * (1.0f - d / reach);
    }
    return {level * tint.r, level * tint.g, level * tint.b};
}

// A parked car: body, cabin and the two axles' wheels, seen only.
void parkedCar(MeshBuilder& m, uint16_t paint, uint16_t glass, uint16_t tyre, Vec3 base, float heading) {
    m.box(paint, base + Vec3{0.0f, 0.75f, 0.0f}, {1.8f, 0.7f, 4.2f}, heading, 2.0f);
    m.box(glass, base + Vec3{0.0f, 1.35f, -0.2f}, {1.6f, 0.55f, 2.2f}, heading, 2.0f);
    for (float along : {-1.35f, 1.35f})
        m.box(tyre, base + headingDirection(heading) * along + Vec3{0.0f, 0.33f, 0.0f}, {1.9f, 0.66f, 0.66f}, heading,
              1.0f);
}

} // namespace

std::vector<CentrelinePoint> centreline() {
    std::vector<CentrelinePoint> p = {{-90.0f, -115.0f, 0.0f, WIDTH}, {0.0f, -115.0f, 0.0f, WIDTH},
                                      {110.0f, -115.0f, 0.0f, WIDTH}};
    arc(p, 150.0f, -87.5f, 27.5f, -90.0f, 90.0f, 0.0f);  // hairpin at the east wall
    p.push_back({90.0f, -60.0f, 0.0f, WIDTH});
    p.push_back({30.0f, -60.0f, 0.0f, WIDTH});
    arc(p, -15.0f, -25.0f, 35.0f, -90.0f, -180.0f, 0.0f); // right, to the ramp
    p.push_back({-50.0f, -10.0f, 0.8f, WIDTH});           // up through the deck
    p.push_back({-50.0f, 17.0f, DECK - 0.8f, WIDTH});
    p.push_back({-50.0f, 32.0f, DECK, WIDTH});
    arc(p, -15.0f, 40.0f, 35.0f, 180.0f, 90.0f, DECK);    // right, onto the roof
    p.push_back({50.0f, 75.0f, DECK, WIDTH});
    p.push_back({120.0f, 75.0f, DECK, WIDTH});
    arc(p, 150.0f, 102.5f, 27.5f, -90.0f, 90.0f, DECK);   // hairpin on the roof
    p.push_back({90.0f, 130.0f, DECK, WIDTH});
    p.push_back({0.0f, 130.0f, DECK, WIDTH});
    p.push_back({-100.0f, 130.0f, DECK, WIDTH});
    arc(p, -140.0f, 100.0f, 30.0f, 90.0f, 180.0f, DECK);  // left, to the ramp down
    p.push_back({-170.0f, 55.0f, DECK, WIDTH});
    p.push_back({-170.0f, 40.0f, DECK - 0.8f, WIDTH});
    p.push_back({-170.0f, -5.0f, 0.8f, WIDTH});
    p.push_back({-170.0f, -20.0f, 0.0f, WIDTH});
    p.push_back({-170.0f, -55.0f, 0.0f, WIDTH});
    arc(p, -140.0f, -85.0f, 30.0f, 180.0f, 270.0f, 0.0f); // left, onto the start lane
    return p;
}

std::vector<TrackFile> files() {
    TrackBuilder track(1, "parkhaus", Centreline(centreline()));
    const Centreline& line = track.line();
    const float length = line.length();

    const std::string floorTexture = track.texture("concrete_floor.bmp", TrackTextures::concreteFloor(256));
    const std::string concreteTexture = track.texture("concrete.bmp", TrackTextures::concrete(256));
    const std::string lineTexture = track.texture("lane_line.bmp", TrackTextures::laneLine(64));
    const std::string asphaltTexture = track.texture("asphalt.bmp", TrackTextures::asphalt(TrackTextures::ROAD_TEXTURE_SIZE));
    const std::string brickTexture = track.texture("brick.bmp", TrackTextures::brick(256));
    const std::string hazardTexture = track.texture("hazard.bmp", TrackTextures::hazard(256));
    const std::string windowTexture = track.texture("windows.bmp", TrackTextures::windows(256));
    const std::string grassTexture = track.texture("grass.bmp", TrackTextures::grass(256));

    // The lanes and their barriers; the ramps' barriers reach down to the floor.
    TrackBuilder::RoadLook road;
    road.surface = look("lane", {0.78f, 0.78f, 0.76f}, floorTexture);
    road.textureLength = 8.0f;
    road.lines = look("lane_line", {0.95f, 0.8f, 0.25f}, lineTexture);
    track.road(road, 0.0f, length);
    const SurfaceLook barrier = look("barrier", {0.8f, 0.8f, 0.78f}, concreteTexture);
    const float upFoot = line.nearest(-50.0f, -25.0f).s, upTop = line.nearest(-50.0f, 32.0f).s;
    const float downTop = line.nearest(-170.0f, 55.0f).s, downFoot = line.nearest(-170.0f, -20.0f).s;
    for (int side : {-1, 1}) {
        track.edgeWall(0.0f, upFoot, side, WALL_HEIGHT, barrier);
        track.edgeWall(upFoot, upTop, side, WALL_HEIGHT, barrier, 0.3f, 0.8f, DECK + 1.0f);
        track.edgeWall(upTop, downTop, side, WALL_HEIGHT, barrier);
        track.edgeWall(downTop, downFoot, side, WALL_HEIGHT, barrier, 0.3f, 0.8f, DECK + 1.0f);
        track.edgeWall(downFoot, length, side, WALL_HEIGHT, barrier);
    }
    // Yellow and black ends where the ramps meet the floors.
    {
        MeshBuilder& m = track.scenery();
        const uint16_t hazard = m.surface(look("hazard", {1.0f, 1.0f, 1.0f}, hazardTexture));
        for (float s : {upFoot, upTop, downTop, downFoot})
            for (float side : {-1.0f, 1.0f}) {
                Centreline::Frame f = line.at(s);
                m.box(hazard, f.across(side * (WIDTH * 0.5f + 0.7f)) + Vec3{0.0f, 0.65f, 0.0f}, {1.0f, 1.3f, 1.0f}, f.heading(), 1.0f);
            }
    }

    track.finishBanner(4.8f, look("banner_rod", {0.5f, 0.5f, 0.52f}, ""), DECK_UNDER);

    // Lamps: panels over the ground floor lanes, posts beside the roof lanes.
    Lamps lamps;
    for (const Centreline::Frame& f : line.frames(16.0f)) {
        if (f.position.y < 0.5f) lamps.ceiling.push_back(f.position + Vec3{0.0f, DECK_UNDER - 0.1f, 0.0f});
        if (f.position.y > DECK - 0.5f) lamps.posts.push_back(f.across(-WIDTH * 0.5f - 2.5f) + Vec3{0.0f, 5.0f, 0.0f});
    }
    // The roof's far half, over the ground floor lanes, has lamps on a grid.
    for (float x = X0 + 24.0f; x < X1 - 8.0f; x += 40.0f)
        for (float z = Z0 + 16.0f; z < 40.0f; z += 48.0f)
            if (!inHole(x, z) && line.nearest(x, z).distance > WIDTH) lamps.posts.push_back({x, DECK_TOP + 5.0f, z});
    {
        MeshBuilder& m = track.scenery();
        const uint16_t glow = m.surface(look("lamp", {1.0f, 0.95f, 0.8f}, "", 1.0f));
        const uint16_t pole = m.surface(look("lamp_pole", {0.4f, 0.4f, 0.42f}, ""));
        for (const Vec3& l : lamps.ceiling) m.box(glow, l, {3.0f, 0.12f, 0.5f}, 0.0f);
        for (const Vec3& l : lamps.posts) {
            m.cylinder(pole, {l.x, DECK_TOP, l.z}, 0.15f, l.y - DECK_TOP, 6);
            m.box(glow, l + Vec3{0.0f, 0.1f, 0.0f}, {0.8f, 0.25f, 0.8f}, 0.0f);
        }
    }
    track.setShade([lamps](Vec3 p) { return shadeAt(lamps, p); });

    // Green lit way signs hung from the ceiling over the ground floor lanes,
    // an arrow pointing on along the lap: high above the riders, seen only.
    {
        MeshBuilder& m = track.scenery();
        const uint16_t green = m.surface(look("way_sign", {0.1f, 0.6f, 0.3f}, "", 0.8f));
        const uint16_t white = m.surface(look("way_arrow", {1.0f, 1.0f, 1.0f}, "", 1.0f));
        const uint16_t rod = m.surface(look("sign_rod", {0.4f, 0.4f, 0.42f}, ""));
        constexpr float SIGN_Y = DECK_UNDER - 1.5f, SIGN_W = 3.2f, SIGN_H = 0.9f;
        for (const Centreline::Frame& f : line.frames(48.0f)) {
            if (f.position.y > 0.5f) continue;
            const Vec3 c = f.position + Vec3{0.0f, SIGN_Y, 0.0f};
            const float h = f.heading();
            m.box(green, c, {SIGN_W, SIGN_H, 0.12f}, h, 1.0f);
            for (float side : {-1.0f, 1.0f})
                m.box(rod, c + f.right * (side * SIGN_W * 0.35f) + Vec3{0.0f, (DECK_UNDER - SIGN_Y) * 0.5f, 0.0f},
                      {0.06f, DECK_UNDER - SIGN_Y, 0.06f}, h, 1.0f);
            // A shaft and a stepped head on both faces.
            m.box(white, c - Vec3{0.0f, 0.12f, 0.0f}, {0.14f, 0.5f, 0.16f}, h, 1.0f);
            for (int step = 0; step < 3; ++step)
                m.box(white, c + Vec3{0.0f, 0.1f + 0.09f * step, 0.0f}, {0.5f - 0.16f * step, 0.09f, 0.16f}, h, 1.0f);
        }
    }

    // Floors: the ground floor, the deck (its top, its underside and its edges).
    {
        MeshBuilder& m = track.scenery();
        const uint16_t floor = m.surface(look("floor", {0.7f, 0.7f, 0.68f}, floorTexture));
        const uint16_t ceiling = m.surface(look("ceiling", {0.6f, 0.6f, 0.6f}, concreteTexture));
        const uint16_t outside = m.surface(look("street", {0.7f, 0.7f, 0.7f}, asphaltTexture));
        const uint16_t grass = m.surface(look("grass", {0.8f, 0.85f, 0.8f}, grassTexture));
        m.grid(floor, X0, Z0, X1, Z1, FLOOR, CELL, true, 8.0f, [](float, float) { return true; });
        m.grid(floor, X0, Z0, X1, Z1, DECK_TOP, CELL, true, 8.0f, [](float x, float z) { return !inHole(x, z); });
        m.grid(ceiling, X0, Z0, X1, Z1, DECK_UNDER, CELL, false, 8.0f,
               [](float x, float z) { return !inHole(x, z); });
        // The street round the building, and grass verges out to the edge of the world.
        auto street = [](float x, float z) {
            return !(x > X0 && x < X1 && z > Z0 && z < Z1) && std::fabs(x) < 224.0f && std::fabs(z) < 168.0f;
        };
        m.grid(outside, -248.0f, -248.0f, 248.0f, 248.0f, -0.3f, 16.0f, true, 8.0f, street);
        m.grid(grass, -248.0f, -248.0f, 248.0f, 248.0f, -0.3f, 16.0f, true, 8.0f, [&](float x, float z) {
            return !street(x, z) && !(x > X0 && x < X1 && z > Z0 && z < Z1);
        });
        // The slab's edges: round the building and round the two holes.
        const uint16_t edge = m.surface(look("slab_edge", {0.75f, 0.75f, 0.73f}, concreteTexture));
        auto edges = [&](Box2 b, float facing) {
            const Vec3 c[4] = {{b.x0, 0, b.z0}, {b.x1, 0, b.z0}, {b.x1, 0, b.z1}, {b.x0, 0, b.z1}};
            const Vec3 mid{(b.x0 + b.x1) * 0.5f, 0.0f, (b.z0 + b.z1) * 0.5f};
            for (int i = 0; i < 4; ++i) {
                Vec3 a = c[i], d = c[(i + 1) % 4];
                Vec3 out = normalised((a + d) * 0.5f - mid) * facing;
                MeshBuilder::Corner q[4] = {{{a.x, DECK_UNDER, a.z}}, {{d.x, DECK_UNDER, d.z}}, {{d.x, DECK_TOP, d.z}},
                                            {{a.x, DECK_TOP, a.z}}};
                for (MeshBuilder::Corner& k : q) {
                    k.u = (k.p.x + k.p.z) / 8.0f;
                    k.v = -k.p.y / 8.0f;
                }
                m.quadFacing(edge, out, q[0], q[1], q[2], q[3]);
            }
        };
        edges({X0, Z0, X1, Z1}, 1.0f);
        edges(RAMP_UP, -1.0f);
        edges(RAMP_DOWN, -1.0f);
    }

    // The building: pillars under the deck, open sides with a parapet and a
    // lintel, a parapet round the roof, two brick stair towers and the P sign.
    {
        MeshBuilder& m = track.scenery();
        const uint16_t concrete = m.surface(look("concrete", {0.72f, 0.72f, 0.7f}, concreteTexture));
        const uint16_t stripe = m.surface(look("pillar_stripe", {1.0f, 1.0f, 1.0f}, hazardTexture));
        for (float x = X0 + 12.0f; x < X1; x += 16.0f)
            for (float z = Z0 + 12.0f; z < Z1; z += 16.0f) {
                Centreline::Nearest n = line.nearest(x, z);
                if (n.distance < WIDTH * 0.5f + 2.5f || inHole(x, z)) continue;
                m.box(concrete, {x, (FLOOR + DECK_UNDER) * 0.5f, z}, {1.0f, DECK_UNDER - FLOOR, 1.0f}, 0.0f, 2.0f);
                m.box(stripe, {x, 0.5f, z}, {1.06f, 1.0f, 1.06f}, 0.0f, 1.0f);
            }
        const float cx = (X0 + X1) * 0.5f, cz = (Z0 + Z1) * 0.5f, w = X1 - X0, d = Z1 - Z0;
        for (float y0 : {FLOOR, DECK_TOP}) {
            const float h = 1.2f;
            const float y = y0 + h * 0.5f;
            m.box(concrete, {cx, y, Z0 - 0.3f}, {w + 1.2f, h, 0.6f}, 0.0f);
            m.box(concrete, {cx, y, Z1 + 0.3f}, {w + 1.2f, h, 0.6f}, 0.0f);
            m.box(concrete, {X0 - 0.3f, y, cz}, {0.6f, h, d}, 0.0f);
            m.box(concrete, {X1 + 0.3f, y, cz}, {0.6f, h, d}, 0.0f);
        }
        const float lintel = 1.6f, ly = DECK_TOP - lintel * 0.5f;
        m.box(concrete, {cx, ly, Z0 - 0.3f}, {w + 1.2f, lintel, 0.6f}, 0.0f);
        m.box(concrete, {cx, ly, Z1 + 0.3f}, {w + 1.2f, lintel, 0.6f}, 0.0f);
        m.box(concrete, {X0 - 0.3f, ly, cz}, {0.6f, lintel, d}, 0.0f);
        m.box(concrete, {X1 + 0.3f, ly, cz}, {0.6f, lintel, d}, 0.0f);
        const uint16_t brick = m.surface(look("stair_tower", {0.85f, 0.8f, 0.78f}, brickTexture));
        m.box(brick, {X1 + 7.0f, 7.0f, 100.0f}, {13.0f, 14.5f, 18.0f}, 0.0f);
        m.box(brick, {X0 - 7.0f, 7.0f, -100.0f}, {13.0f, 14.5f, 18.0f}, 0.0f);
        const uint16_t sign = m.surface(look("sign", {0.2f, 0.45f, 1.0f}, "", 0.9f));
        const uint16_t white = m.surface(look("sign_letter", {1.0f, 1.0f, 1.0f}, "", 1.0f));
        m.box(sign, {X1 + 13.7f, 11.0f, 100.0f}, {0.3f, 4.0f, 4.0f}, 0.0f);
        m.box(white, {X1 + 13.9f, 11.0f, 99.3f}, {0.2f, 3.0f, 0.7f}, 0.0f);
        m.box(white, {X1 + 13.9f, 12.1f, 100.4f}, {0.2f, 0.8f, 1.6f}, 0.0f);
    }

    // Parked cars in rows beside the lanes, on both floors, wherever they fit.
    {
        MeshBuilder& m = track.scenery();
        const Rgb paints[6] = {{0.7f, 0.1f, 0.1f}, {0.1f, 0.25f, 0.6f}, {0.85f, 0.85f, 0.8f},
                               {0.15f, 0.15f, 0.15f}, {0.2f, 0.45f, 0.2f}, {0.8f, 0.6f, 0.1f}};
        uint16_t paint[6];
        for (int i = 0; i < 6; ++i) paint[i] = m.surface(look("car_" + std::to_string(i), paints[i], ""));
        SurfaceLook glassLook = look("car_glass", {0.2f, 0.25f, 0.3f}, "");
        glassLook.specular = 0.6f;
        const uint16_t glass = m.surface(glassLook);
        const uint16_t tyre = m.surface(look("tyre", {0.08f, 0.08f, 0.08f}, ""));
        Noise dice(7);
        int n = 0;
        for (const Centreline::Frame& f : line.frames(3.2f)) {
            const bool roof = f.position.y > DECK - 0.1f, ground = f.position.y < 0.1f;
            if (!roof && !ground) continue;
            for (float side : {-1.0f, 1.0f}) {
                ++n;
                Vec3 base = f.across(side * (WIDTH * 0.5f + 4.5f));
                base.y = roof ? DECK_TOP : FLOOR;
                const Centreline::Nearest near = line.nearest(base.x, base.z);
                if (near.distance < WIDTH * 0.5f + 3.5f || inHole(base.x, base.z) || base.x < X0 + 3.0f || base.x > X1 - 3.0f ||
                    base.z < Z0 + 3.0f || base.z > Z1 - 3.0f)
                    continue;
                const float pick = dice.lattice(n, 3, 4096);
                if (pick < 0.3f) continue; // an empty bay
                parkedCar(m, paint[static_cast<int>(pick * 60.0f) % 6], glass, tyre, base,
                          f.heading() + PI * 0.5f + (side > 0.0f ? 0.0f : PI));
            }
        }
        // Rows on the roof's far half, nose to nose.
        for (float z = Z0 + 8.0f; z < 36.0f; z += 24.0f)
            for (float x = X0 + 4.0f; x < X1 - 4.0f; x += 3.2f)
                for (float side : {-1.0f, 1.0f}) {
                    const Vec3 base{x, DECK_TOP, z + side * 3.0f};
                    if (inHole(base.x, base.z) || line.nearest(base.x, base.z).distance < WIDTH) continue;
                    const float pick = dice.lattice(++n, 5, 4096);
                    if (pick < 0.45f) continue;
                    parkedCar(m, paint[static_cast<int>(pick * 60.0f) % 6], glass, tyre, base, side > 0.0f ? 0.0f : PI);
                }
        // Bay lines on the ground floor between the rows.
        const uint16_t bay = m.surface(look("bay_line", {0.9f, 0.9f, 0.88f}, lineTexture));
        for (const Centreline::Frame& f : line.frames(3.2f)) {
            if (f.position.y > 0.1f && f.position.y < DECK - 0.1f) continue;
            const float y = (f.position.y > 1.0f ? DECK_TOP : FLOOR) + 0.02f;
            for (float side : {-1.0f, 1.0f}) {
                Vec3 c = f.across(side * (WIDTH * 0.5f + 4.5f)) + f.forward * 1.6f;
                if (line.nearest(c.x, c.z).distance < WIDTH * 0.5f + 2.0f || inHole(c.x, c.z)) continue;
                m.panel(bay, {c.x, y, c.z}, 5.0f, 0.15f, f.heading() + PI * 0.5f, 4.0f);
            }
        }
    }

    // The city round the car park: blocks of flats with lit windows.
    {
        MeshBuilder& m = track.scenery();
        SurfaceLook facade = look("facade", {1.0f, 1.0f, 1.0f}, windowTexture);
        facade.vertexColours = false;
        const uint16_t wall = m.surface(facade);
        Noise dice(11);
        int k = 0;
        for (float x = -230.0f; x <= 230.0f; x += 46.0f)
            for (float z : {-205.0f, 205.0f}) {
                float h = 18.0f + 24.0f * dice.lattice(++k, 1, 4096);
                m.box(wall, {x, h * 0.5f - 0.3f, z}, {36.0f, h, 26.0f}, 0.0f, 8.0f);
            }
        for (float z = -140.0f; z <= 140.0f; z += 56.0f)
            for (float x : {-232.0f, 232.0f}) {
                float h = 16.0f + 20.0f * dice.lattice(++k, 2, 4096);
                m.box(wall, {x, h * 0.5f - 0.3f, z}, {22.0f, h, 44.0f}, 0.0f, 8.0f);
            }
    }

    // Features: pick-ups on three lanes, a speed-up pad on the long roof
    // lane, cones at the lane edges and a ticket barrier at the ramp's foot.
    track.pickupRow(line.nearest(40.0f, -115.0f).s, 3);
    track.pickupRow(line.nearest(40.0f, 75.0f).s, 3);
    track.pickupRow(line.nearest(-170.0f, -50.0f).s, 3);
    track.speedup(line.nearest(110.0f, 130.0f).s, 0.0f, 6.0f, 5.0f);
    {
        const SurfaceLook cone = look("cone", {1.0f, 0.45f, 0.05f}, hazardTexture);
        int i = 0;
        for (float x : {-20.0f, 60.0f}) {
            const Centreline::Frame f = line.at(line.nearest(x, -60.0f).s);
            for (float side : {-1.0f, 1.0f})
                track.obstacle("cone_" + std::to_string(i++), f.across(side * (WIDTH * 0.5f - 1.0f)), {0.6f, 0.8f, 0.6f}, 0.0f, 1.0f,
                               cone);
        }
    }
    {
        const Centreline::Frame f = line.at(upFoot - 6.0f);
        track.zone("ticket_barrier", TrackBuilder::TRIGGER, f.position, {WIDTH, 2.0f, 1.0f}, f.heading());
        MeshBuilder& m = track.walls();
        const uint16_t post = m.surface(look("barrier_post", {0.9f, 0.8f, 0.2f}, hazardTexture));
        m.box(post, f.across(WIDTH * 0.5f + 1.2f) + Vec3{0.0f, 0.6f, 0.0f}, {0.8f, 1.2f, 0.8f}, f.heading(), 1.0f);
        MeshBuilder& s = track.scenery();
        const Vec3 pivot = f.across(WIDTH * 0.5f + 1.2f) + Vec3{0.0f, 1.2f, 0.0f};
        s.box(s.surface(look("barrier_boom", {1.0f, 1.0f, 1.0f}, hazardTexture)), pivot + Vec3{0.0f, 2.2f, 0.0f},
              {0.15f, 4.2f, 0.15f}, f.heading(), 1.0f);
    }

    // The karts' tint: a little dim indoors between the lamps, bright and warm
    // under them, so a rider reads clearly everywhere and the pools still show.
    LightMap& light = track.lightMap();
    light.rectangle(X0, Z0, X1, Z1, 0.4f, 6.0f);
    light.rectangle(-200.0f, 46.0f, 200.0f, 150.0f, 0.5f, 8.0f);
    light.rectangle(RAMP_UP.x0, RAMP_UP.z0, RAMP_UP.x1, RAMP_UP.z1, 0.46f, 10.0f);
    light.rectangle(RAMP_DOWN.x0, RAMP_DOWN.z0, RAMP_DOWN.x1, RAMP_DOWN.z1, 0.46f, 10.0f);
    for (const Vec3& l : lamps.ceiling) light.disc(l.x, l.z, 9.0f, 0.62f, {1.0f, 0.96f, 0.86f});

    LwsScene& scene = track.scene();
    scene.ambientIntensity = LwsValue(0.7f);
    scene.lights.front().name = "Moon";
    scene.lights.front().color = std::array<LwsValue, 3>{LwsValue(0.6f), LwsValue(0.65f), LwsValue(0.8f)};
    scene.lights.front().intensity = LwsValue(0.7f);
    scene.backdropColor = std::array<float, 3>{0.04f, 0.05f, 0.12f};
    scene.fogType = 1;
    scene.fogMinDistance = 60.0f;
    scene.fogMaxDistance = 320.0f;
    scene.fogColor = std::array<float, 3>{0.05f, 0.06f, 0.12f};
    SkyDome::raise(track, SkyDome::dusk());
    return track.files();
}

} // namespace Parkhaus
