#include "tools/demodata/tracks/Track04Parkplatz.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "tools/demodata/tracks/Noise.h"
#include "tools/demodata/tracks/SkyDome.h"
#include "tools/demodata/tracks/TrackBuilder.h"
#include "tools/demodata/tracks/TrackProps.h"
#include "tools/demodata/tracks/TrackTextures.h"
#include "sys/Pi.h"

// The lap through the supermarket's car park: east along the south road from
// the finish line, round a U-turn into the first aisle going west, round
// another into the second going east, north past the crusher in the
// delivery lane, west along the store front under the height barrier, and
// south down the west road. All turns are left except the western U-turn.
namespace Parkplatz {
namespace {

constexpr int GEOM_BOX = 1;
constexpr int MASS_BOX = 1;
constexpr int TEXTURE_SIZE = 256;
constexpr float WIDTH = 14.0f;
// Straight stretches of the lap (z of the east-west roads, x of the north-south ones).
constexpr float SOUTH_ROAD = -165.0f, AISLE_A = -105.0f, AISLE_B = -45.0f, STORE_ROAD = 75.0f;
constexpr float EAST_ROAD = 130.0f, WEST_ROAD = -180.0f;
constexpr float U_RADIUS = 30.0f, CORNER_RADIUS = 36.0f;
// The asphalt and the fence round it; the store stands north of its road.
constexpr float LOT = 232.0f;
constexpr float STORE_FRONT = 95.0f, STORE_BACK = 170.0f, STORE_HALF = 120.0f, STORE_HEIGHT = 9.0f;
constexpr float CELL = 8.0f;
// Parking bays: their depth from the aisle's edge and their width along it.
constexpr float BAY_DEPTH = 5.2f, BAY_WIDTH = 2.7f;
constexpr float CAR_MASS = 40.0f, CONE_MASS = 1.0f;
constexpr float PATH_MARGIN = 3.5f;

const std::string MOVABLES_FILE = "D:\\Vantorik/3dobjects_tracks/track04/parkplatz_movables.lwo";

using TrackProps::look;
using TrackProps::scaled;

// The lap is straights and arcs; points about as far apart on both keep
// the curve through them from bulging where an arc meets a straight.
constexpr float POINT_SPACING = 10.0f;

void straight(std::vector<CentrelinePoint>& out, float x0, float z0, float x1, float z1) {
    const int steps = std::max(1, static_cast<int>(std::lround(std::hypot(x1 - x0, z1 - z0) / POINT_SPACING)));
    for (int i = 0; i < steps; ++i)
        out.push_back({x0 + (x1 - x0) * i / steps, z0 + (z1 - z0) * i / steps, 0.0f, WIDTH});
}

void arc(std::vector<CentrelinePoint>& out, float cx, float cz, float r, float fromDegrees, float toDegrees) {
    const float span = std::fabs(toDegrees - fromDegrees) * PI / 180.0f;
    const int steps = std::max(1, static_cast<int>(std::lround(span * r / POINT_SPACING)));
    for (int i = 0; i < steps; ++i) {
        const float a = (fromDegrees + (toDegrees - fromDegrees) * i / steps) * PI / 180.0f;
        out.push_back({cx + r * std::cos(a), cz + r * std::sin(a), 0.0f, WIDTH});
    }
}

// A row of bays beside a straight east-west aisle: from x0 to x1, its
// cars' noses towards the aisle at `edge`, reaching away in `away` (+-1 in z).
struct BayRow {
    float x0, x1, edge, away;
    bool loose; // beside the lap: some of its cars are obstacles the karts can push
};

// Inner aisles run between the lap's aisles and the store road, off the lap.
constexpr std::array<float, 2> INNER_AISLES{{-8.6f, 28.8f}};
// The overflow lot's aisles, and the planted verges along the outer sides of
// the east, west and south roads: far enough out that no kart line reaches them.
constexpr std::array<float, 4> EAST_AISLES{{-185.0f, -115.0f, -45.0f, 25.0f}};
constexpr float EAST_LOT_X0 = 165.0f, EAST_LOT_X1 = 222.0f;
constexpr float VERGE_STRIP = 6.0f, VERGE_GAP = 7.0f;

std::vector<BayRow> bayRows() {
    const float h = WIDTH * 0.5f;
    // The rows leave room at the turns, most after a turn on its inside,
    // where a kart coming out of it drifts.
    std::vector<BayRow> rows = {
        {-100.0f, 35.0f, SOUTH_ROAD + h, 1.0f, true}, {-75.0f, 20.0f, AISLE_A - h, -1.0f, true},
        {-75.0f, -25.0f, AISLE_A + h, 1.0f, true},    {-60.0f, 85.0f, AISLE_B - h, -1.0f, true},
        {-95.0f, 90.0f, AISLE_B + h, 1.0f, true},     {-130.0f, 60.0f, STORE_ROAD - h, -1.0f, true},
    };
    // Staff parking along the south hedge.
    rows.push_back({-205.0f, 205.0f, -LOT + 1.0f + BAY_DEPTH, -1.0f, false});
    // The overflow lot east of the delivery lane, off the lap: back-to-back
    // rows either side of its aisles, so the lane never runs past bare asphalt.
    for (float z : EAST_AISLES) {
        rows.push_back({EAST_LOT_X0, EAST_LOT_X1, z - h, -1.0f, false});
        rows.push_back({EAST_LOT_X0, EAST_LOT_X1, z + h, 1.0f, false});
    }
    for (float z : INNER_AISLES) {
        rows.push_back({-130.0f, 90.0f, z - h, -1.0f, false});
        rows.push_back({-130.0f, 90.0f, z + h, 1.0f, false});
    }
    return rows;
}

// The planted islands between back-to-back rows, and the strips that close
// the ends of the inner aisles and the corners the lap goes round, so the
// lap has no short cuts: kerbed and solid.
struct Island {
    float x0, z0, x1, z1;
};

std::vector<Island> islands() {
    const float h = WIDTH * 0.5f + BAY_DEPTH;
    std::vector<Island> out = {{-140.0f, SOUTH_ROAD + h, 35.0f, AISLE_A - h},
                               {-75.0f, AISLE_A + h, 100.0f, AISLE_B - h},
                               {-135.0f, AISLE_B + h, 90.0f, INNER_AISLES[0] - h},
                               {-165.0f, -132.0f, -135.0f, 40.0f},
                               {100.0f, -160.0f, 125.0f, AISLE_B - h},
                               {90.0f, INNER_AISLES[0] - h, 118.0f, 40.0f}};
    for (size_t i = 0; i + 1 < INNER_AISLES.size(); ++i)
        out.push_back({-130.0f, INNER_AISLES[i] + h, 90.0f, INNER_AISLES[i + 1] - h});
    out.push_back({-130.0f, INNER_AISLES.back() + h, 90.0f, STORE_ROAD - h});
    for (size_t i = 0; i + 1 < EAST_AISLES.size(); ++i)
        out.push_back({EAST_LOT_X0, EAST_AISLES[i] + h, EAST_LOT_X1, EAST_AISLES[i + 1] - h});
    const float east = EAST_ROAD + WIDTH * 0.5f + VERGE_GAP, west = WEST_ROAD - WIDTH * 0.5f - VERGE_GAP;
    out.push_back({east, -215.0f, east + VERGE_STRIP, 70.0f});
    out.push_back({west - VERGE_STRIP, -150.0f, west, 55.0f});
    const float south = SOUTH_ROAD - WIDTH * 0.5f - VERGE_GAP;
    out.push_back({-150.0f, south - VERGE_STRIP, 95.0f, south});
    return out;
}

// Where an island's trees and lamps stand: a line down its middle, along its length.
std::vector<Vec3> plantingSpots(const Island& i) {
    std::vector<Vec3> out;
    const bool wide = i.x1 - i.x0 > i.z1 - i.z0;
    const float from = wide ? i.x0 : i.z0, to = wide ? i.x1 : i.z1;
    for (float a = from + 6.0f; a < to - 3.0f; a += 12.0f)
        out.push_back(wide ? Vec3{a, 0.3f, (i.z0 + i.z1) * 0.5f} : Vec3{(i.x0 + i.x1) * 0.5f, 0.3f, a});
    return out;
}

// The supermarket's glass front: tall panes over posters, a steel frame.
Picture storeFront() {
    Noise n(901);
    Picture p(TEXTURE_SIZE, TEXTURE_SIZE, rgb(0.18f, 0.24f, 0.28f));
    for (int y = 0; y < TEXTURE_SIZE; ++y)
        for (int x = 0; x < TEXTURE_SIZE; ++x) {
            // Lit shelves inside, seen through the glass.
            const float shelf = std::fmod(y / 32.0f, 1.0f) < 0.15f ? 0.6f : 1.0f;
            p.at(x, y) = scaled(mix(rgb(0.5f, 0.6f, 0.62f), rgb(0.85f, 0.82f, 0.7f), n.fractal(x / 32.0f, y / 32.0f, 8, 2)),
                                shelf);
        }
    const Rgb posters[] = {rgb(0.9f, 0.15f, 0.1f), rgb(1.0f, 0.85f, 0.1f), rgb(0.1f, 0.5f, 0.9f)};
    for (int i = 0; i < 2; ++i)
        TrackProps::fill(p, 20 + i * 128, 150, 100 + i * 128, 220, posters[(i * 2 + 1) % 3]);
    TrackProps::fill(p, 0, 0, TEXTURE_SIZE, 24, grey(0.85f));
    for (int x : {0, 127}) TrackProps::fill(p, x, 0, x + 6, TEXTURE_SIZE, grey(0.75f));
    TrackProps::fill(p, 0, 236, TEXTURE_SIZE, TEXTURE_SIZE, grey(0.3f));
    return p;
}

// Paint on the asphalt, drawn as its own white shapes rather than a picture
// over a square: a square's background never matches the asphalt round it.
// Places are given as (lateral, ahead) from the middle of the mark, turned
// onto the road by its frame; `mirror` flips the lateral axis.
class RoadPaint {
public:
    RoadPaint(MeshBuilder& mesh, uint16_t surface, const Centreline::Frame& f, float lift, bool mirror)
        : m_mesh(mesh), m_surface(surface), m_frame(f), m_lift(lift), m_side(mirror ? -1.0f : 1.0f) {}

    void triangle(float l0, float a0, float l1, float a1, float l2, float a2) const {
        const MeshBuilder::Corner p = at(l0, a0), q = at(l1, a1), r = at(l2, a2);
        // Clockwise seen from above.
        if (cross(q.p - p.p, r.p - p.p).y < 0.0f)
            m_mesh.triangle(m_surface, p, r, q);
        else
            m_mesh.triangle(m_surface, p, q, r);
    }
    void quad(float l0, float a0, float l1, float a1, float l2, float a2, float l3, float a3) const {
        m_mesh.quadFacing(m_surface, {0, 1, 0}, at(l0, a0), at(l1, a1), at(l2, a2), at(l3, a3));
    }

private:
    MeshBuilder::Corner at(float lateral, float ahead) const {
        return {m_frame.position + m_frame.right * (lateral * m_side) + m_frame.forward * ahead + Vec3{0.0f, m_lift, 0.0f}};
    }

    MeshBuilder& m_mesh;
    uint16_t m_surface;
    Centreline::Frame m_frame;
    float m_lift, m_side;
};

// A straight arrow along the aisle, 4 m long: a head 1.8 m wide on a narrow shaft.
void straightArrow(const RoadPaint& paint) {
    paint.triangle(0.0f, 2.0f, 0.9f, 0.5f, -0.9f, 0.5f);
    paint.quad(-0.28f, 0.5f, 0.28f, 0.5f, 0.28f, -2.0f, -0.28f, -2.0f);
}

// A turn arrow 4 m across and 5 m long: the stem up the right half, a
// quarter circle round to the left, the head pointing left.
void turnArrow(const RoadPaint& paint) {
    constexpr float STEM = 0.31f, INNER = 0.75f, OUTER = 1.375f, HEAD_TIP = -1.8f, HEAD_HALF = 0.56f;
    // The bend's middle: the stem's centre line bends round it to the head's.
    const float cx = -0.56f, ca = 0.47f, r = (INNER + OUTER) * 0.5f;
    paint.quad(cx + r - STEM, ca, cx + r + STEM, ca, cx + r + STEM, -2.5f, cx + r - STEM, -2.5f);
    constexpr int STEPS = 8;
    for (int i = 0; i < STEPS; ++i) {
        const float t0 = 0.5f * PI * i / STEPS, t1 = 0.5f * PI * (i + 1) / STEPS;
        paint.quad(cx + INNER * std::cos(t0), ca + INNER * std::sin(t0), cx + OUTER * std::cos(t0), ca + OUTER * std::sin(t0),
                   cx + OUTER * std::cos(t1), ca + OUTER * std::sin(t1), cx + INNER * std::cos(t1), ca + INNER * std::sin(t1));
    }
    const float headAhead = ca + r;
    paint.triangle(HEAD_TIP, headAhead, cx, headAhead + HEAD_HALF + STEM, cx, headAhead - HEAD_HALF - STEM);
}

// The store's walls beside and round the glass front, 8 m of them across
// and the wall's 9 m from the ground up: a cap and a red band in the sign's
// colour, ribbed upper cladding, a band of high windows, panelled lower
// cladding over a concrete plinth, and a downpipe.
Picture storeCladding() {
    Noise n(907);
    Picture p(TEXTURE_SIZE, TEXTURE_SIZE, rgb(0.82f, 0.82f, 0.8f));
    for (int x = 0; x < TEXTURE_SIZE; x += 8) TrackProps::fill(p, x, 26, x + 2, 90, grey(0.7f));
    TrackProps::fill(p, 0, 0, TEXTURE_SIZE, 8, grey(0.62f));
    TrackProps::fill(p, 0, 8, TEXTURE_SIZE, 26, rgb(0.8f, 0.08f, 0.06f));
    TrackProps::fill(p, 0, 90, TEXTURE_SIZE, 130, grey(0.4f));
    for (int k = 0; k < 4; ++k)
        for (int y = 94; y < 126; ++y)
            for (int x = k * 64 + 5; x < k * 64 + 59; ++x)
                // Dark glass with the sky caught high in each pane.
                p.at(x, y) = mix(rgb(0.55f, 0.68f, 0.8f), rgb(0.14f, 0.2f, 0.28f), (y - 94) / 24.0f);
    TrackProps::fill(p, 0, 130, TEXTURE_SIZE, 236, rgb(0.7f, 0.68f, 0.62f));
    for (int y = 156; y < 236; y += 26) TrackProps::fill(p, 0, y, TEXTURE_SIZE, y + 1, rgb(0.5f, 0.48f, 0.44f));
    for (int x = 0; x < TEXTURE_SIZE; x += 64) TrackProps::fill(p, x, 130, x + 2, 236, rgb(0.5f, 0.48f, 0.44f));
    TrackProps::fill(p, 0, 236, TEXTURE_SIZE, TEXTURE_SIZE, grey(0.55f));
    TrackProps::fill(p, 246, 26, 252, 250, grey(0.5f));
    TrackProps::fill(p, 247, 26, 249, 250, grey(0.66f));
    for (int y = 0; y < TEXTURE_SIZE; ++y)
        for (int x = 0; x < TEXTURE_SIZE; ++x)
            p.at(x, y) = scaled(p.at(x, y), 0.9f + 0.1f * n.fractal(x / 16.0f, y / 16.0f, 16, 3));
    return p;
}

// A loading bay's roller door in its frame: yellow and black posts, a
// grey lintel, the door's slats and the rubber seal along the ground.
Picture rollerDoor() {
    Picture p(TEXTURE_SIZE, TEXTURE_SIZE, grey(0.5f));
    for (int y = 24; y < 248; ++y)
        for (int x = 20; x < 236; ++x) p.at(x, y) = (y - 24) % 10 < 7 ? rgb(0.62f, 0.66f, 0.7f) : rgb(0.48f, 0.52f, 0.56f);
    TrackProps::fill(p, 0, 0, TEXTURE_SIZE, 24, grey(0.38f));
    TrackProps::fill(p, 20, 248, 236, TEXTURE_SIZE, grey(0.08f));
    for (int x : {0, 236})
        for (int y = 24; y < TEXTURE_SIZE; ++y)
            for (int k = 0; k < 20; ++k) p.at(x + k, y) = (y + k) / 16 % 2 ? rgb(0.95f, 0.78f, 0.1f) : grey(0.1f);
    TrackProps::fill(p, 112, 200, 144, 212, grey(0.3f));
    return p;
}

// The store's name, white block letters on red.
Picture storeSign() {
    const char* font[5][5] = {{"X...X", "XX.XX", "X.X.X", "X...X", "X...X"},  // M
                              {".XXX.", "X...X", "XXXXX", "X...X", "X...X"},  // A
                              {"XXXX.", "X...X", "XXXX.", "X..X.", "X...X"},  // R
                              {"X...X", "X..X.", "XXX..", "X..X.", "X...X"},  // K
                              {"XXXXX", "..X..", "..X..", "..X..", "..X.."}}; // T
    Picture p(TEXTURE_SIZE, TEXTURE_SIZE / 4, rgb(0.8f, 0.08f, 0.06f));
    const int cell = 7, left = 24;
    for (int letter = 0; letter < 5; ++letter)
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 5; ++col)
                if (font[letter][row][col] == 'X') {
                    const int x = left + letter * 6 * cell + col * cell, y = 14 + row * cell;
                    TrackProps::fill(p, x, y, x + cell - 1, y + cell - 1, grey(1.0f));
                }
    return p;
}

// Loose cars and cones: a layer each in a file of their own, with a box
// body the karts push about, resting on the asphalt.
class Loose {
public:
    Loose(TrackBuilder& track) : m_track(track) {
        const Rgb paints[6] = {{0.7f, 0.1f, 0.1f}, {0.1f, 0.25f, 0.6f}, {0.85f, 0.85f, 0.8f},
                               {0.15f, 0.15f, 0.15f}, {0.2f, 0.45f, 0.2f}, {0.8f, 0.6f, 0.1f}};
        for (int i = 0; i < 6; ++i) {
            m_paintLooks[i] = look("car_" + std::to_string(i), paints[i]);
            m_paint[i] = m_mesh.surface(m_paintLooks[i]);
        }
        SurfaceLook glass = look("car_glass", rgb(0.2f, 0.25f, 0.3f));
        glass.specular = 0.6f;
        m_looks = {glass, look("tyre", grey(0.08f)), look("car_lamp", rgb(1.0f, 0.95f, 0.8f), {}, 0.6f)};
        m_car = {0, m_mesh.surface(m_looks[0]), m_mesh.surface(m_looks[1]), m_mesh.surface(m_looks[2])};
        m_orange = m_mesh.surface(look("cone", rgb(1.0f, 0.42f, 0.05f)));
        m_white = m_mesh.surface(look("cone_band", grey(0.95f)));
    }

    void car(Vec3 base, float heading, int paint) {
        const Vec3 centre = base + Vec3{0.0f, TrackProps::CAR_SIZE.y * 0.5f, 0.0f};
        m_mesh.layer("car", centre);
        TrackProps::CarLook look = m_car;
        look.paint = m_paint[paint % 6];
        // Drawn unturned about its pivot: the scene object turns it.
        TrackProps::car(m_mesh, look, base, 0.0f);
        add(centre, heading, TrackProps::CAR_SIZE, CAR_MASS);
    }

    void cone(Vec3 base) {
        const Vec3 size{0.55f, TrackProps::CONE_HEIGHT, 0.55f};
        const Vec3 centre = base + Vec3{0.0f, size.y * 0.5f, 0.0f};
        m_mesh.layer("cone", centre);
        TrackProps::trafficCone(m_mesh, m_orange, m_white, base);
        add(centre, 0.0f, size, CONE_MASS);
    }

    // A press plate on its rod, slamming down onto the road and rising
    // again every `period` seconds: a crusher zone that moves with it.
    void press(Vec3 base, float heading, Vec3 size, float rise, float period, uint16_t steel, uint16_t stripes) {
        const Vec3 down = base + Vec3{0.0f, size.y * 0.5f, 0.0f};
        m_mesh.layer("press", down);
        m_mesh.box(stripes, down, size, 0.0f, 2.0f);
        m_mesh.box(steel, down + Vec3{0.0f, size.y * 0.5f + 2.5f, 0.0f}, {0.5f, 5.0f, 0.5f}, 0.0f, 1.0f);
        LwsObject object;
        object.fileName = MOVABLES_FILE;
        object.layer = m_mesh.currentLayer() + 1;
        object.item.motion = lwsStillMotion(toArray(down), {heading, 0.0f, 0.0f});
        const float up = down.y + rise;
        object.item.motion->channels[1].envelope = {{LwsKey{up, 0.0f, 3}, LwsKey{up, period * 0.6f, 3},
                                                     LwsKey{down.y, period * 0.65f, 3}, LwsKey{down.y, period * 0.75f, 3},
                                                     LwsKey{up, period, 3}},
                                                    2, 2};
        object.geom = LwsGeom{GEOM_BOX, TrackBuilder::CRUSHER, TrackBuilder::SPACE_ZONES, toArray(size), std::nullopt};
        m_track.scene().objects.push_back(object);
    }

    MeshBuilder& mesh() { return m_mesh; }
    uint16_t surface(const SurfaceLook& look) { return m_mesh.surface(look); }
    // The same car surfaces in another object.
    TrackProps::CarLook carLook(MeshBuilder& other) const {
        return {paintIn(other, 0), other.surface(m_looks[0]), other.surface(m_looks[1]), other.surface(m_looks[2])};
    }
    uint16_t paintIn(MeshBuilder& other, int paint) const { return other.surface(m_paintLooks[paint % 6]); }

private:
    void add(Vec3 centre, float heading, Vec3 size, float mass) {
        LwsObject object;
        object.fileName = MOVABLES_FILE;
        object.layer = m_mesh.currentLayer() + 1; // the scene file counts layers from 1
        object.item.motion = lwsStillMotion(toArray(centre), {heading, 0.0f, 0.0f});
        object.body = LwsBody{MASS_BOX, mass, toArray(size), 1};
        object.geom = LwsGeom{GEOM_BOX, TrackBuilder::OBSTACLE, TrackBuilder::SPACE_OBSTACLES, toArray(size), std::nullopt};
        m_track.scene().objects.push_back(object);
    }

    TrackBuilder& m_track;
    MeshBuilder m_mesh;
    TrackProps::CarLook m_car{};
    SurfaceLook m_paintLooks[6];
    std::array<SurfaceLook, 3> m_looks; // glass, tyre, lamp
    uint16_t m_paint[6]{};
    uint16_t m_orange = 0, m_white = 0;
};

// Bays: white lines, and cars in most of them, some beside the lap loose.
void park(TrackBuilder& track, Loose& loose) {
    struct Parked {
        Vec3 base{};
        float heading;
        int colour;
    };
    std::vector<Parked> still;
    MeshBuilder& scenery = track.scenery();
    const uint16_t paint = scenery.surface(look("bay_line", grey(0.95f), track.texture("lane_line.bmp", TrackTextures::laneLine(64))));
    const Noise dice(910);
    int n = 0;
    for (const BayRow& row : bayRows()) {
        const float middle = row.edge + row.away * BAY_DEPTH * 0.5f;
        for (float x = row.x0; x <= row.x1 + 0.01f; x += BAY_WIDTH) {
            scenery.panel(paint, {x, 0.02f, middle}, 0.14f, BAY_DEPTH, 0.0f, 4.0f);
            if (x + BAY_WIDTH > row.x1 + 0.01f) break;
            const float pick = dice.lattice(++n, 1, 1 << 16);
            if (pick < (row.loose ? 0.45f : 0.3f)) continue; // an empty bay
            const Vec3 base{x + BAY_WIDTH * 0.5f, 0.0f, middle + row.away * 0.3f};
            // Nose in or backed in, a little askew.
            const float heading = (row.away > 0.0f ? PI : 0.0f) + (pick > 0.8f ? PI : 0.0f) + 0.06f * (pick - 0.6f);
            const int colour = static_cast<int>(pick * 600.0f) % 6;
            // Every fifth car beside the lap is loose: each body costs the physics a little every step.
            if (row.loose && n % 5 == 0)
                loose.car(base, heading, colour);
            else
                still.push_back({base, heading, colour});
        }
    }
    // The others stand fast: solid, but never pushed about.
    MeshBuilder& walls = track.walls();
    TrackProps::CarLook look = loose.carLook(walls);
    for (const Parked& p : still) {
        look.paint = loose.paintIn(walls, p.colour);
        TrackProps::car(walls, look, p.base, p.heading);
    }
}

// Islands: a kerb (solid), grass, a tree and a lamp post every so often.
void plantIslands(TrackBuilder& track) {
    MeshBuilder& walls = track.walls();
    const uint16_t kerb = walls.surface(look("island_kerb", rgb(0.8f, 0.8f, 0.78f), track.texture("concrete.bmp", TrackTextures::concrete(TEXTURE_SIZE))));
    const uint16_t bark = walls.surface(look("island_bark", rgb(0.4f, 0.3f, 0.22f)));
    const uint16_t pole = walls.surface(look("lamp_pole", rgb(0.45f, 0.47f, 0.5f)));
    const uint16_t glow = walls.surface(look("lamp", rgb(1.0f, 0.95f, 0.8f), {}, 1.0f));
    std::vector<TrackProps::Tree> trees;
    int n = 0;
    for (const Island& i : islands()) {
        const float cx = (i.x0 + i.x1) * 0.5f, cz = (i.z0 + i.z1) * 0.5f;
        walls.box(kerb, {cx, 0.15f, cz}, {i.x1 - i.x0, 0.3f, i.z1 - i.z0}, 0.0f, 2.0f);
        for (const Vec3& spot : plantingSpots(i)) {
            if (++n % 3 == 0)
                TrackProps::lampPost(walls, pole, glow, spot, 7.0f, n % 2 ? 0.0f : PI);
            else
                trees.push_back({spot, 5.5f + (n % 4) * 0.6f, static_cast<uint32_t>(n), false});
        }
    }
    for (const TrackProps::Tree& t : trees) TrackProps::trunk(walls, bark, t);
    MeshBuilder& scenery = track.scenery();
    const uint16_t grass = scenery.surface(look("island_grass", grey(0.9f), track.texture("grass.bmp", TrackTextures::grass(TEXTURE_SIZE))));
    for (const Island& i : islands())
        scenery.panel(grass, {(i.x0 + i.x1) * 0.5f, 0.31f, (i.z0 + i.z1) * 0.5f}, i.x1 - i.x0 - 0.6f, i.z1 - i.z0 - 0.6f, 0.0f,
                      4.0f);
    const uint16_t leaves = scenery.surface(look("island_leaves", rgb(0.9f, 1.0f, 0.8f), track.texture("leaves.bmp", TrackTextures::leaves(TEXTURE_SIZE))));
    for (const TrackProps::Tree& t : trees) TrackProps::crown(scenery, leaves, t);
}

// The store's plaster is clad where no glass is: the front on both sides of
// the glass, the east and west ends. The east end, beside the delivery lane,
// is the loading bay: three roller doors under a canopy, bumpers, pallets
// and waste bins; both ends carry the store's sign.
void storeWalls(TrackBuilder& track, uint16_t trim, uint16_t sign) {
    MeshBuilder& scenery = track.scenery();
    const uint16_t clad = scenery.surface(look("store_cladding", grey(1.0f), track.texture("store_cladding.bmp", storeCladding())));
    constexpr float AHEAD = 0.05f, REPEAT = 8.0f;
    // A face of the wall from a to b (plan, ground level), showing towards `out`.
    auto face = [&](uint16_t surface, Vec3 a, Vec3 b, float y0, float y1, Vec3 out, float uLength) {
        const Vec3 lift = out * AHEAD;
        const float u = length(b - a) / uLength;
        scenery.quadFacing(surface, out, {a + lift + Vec3{0, y0, 0}, 0.0f, 0.0f}, {b + lift + Vec3{0, y0, 0}, u, 0.0f},
                           {b + lift + Vec3{0, y1, 0}, u, 1.0f}, {a + lift + Vec3{0, y1, 0}, 0.0f, 1.0f});
    };
    const Vec3 south{0, 0, -1}, east{1, 0, 0}, west{-1, 0, 0};
    face(clad, {-STORE_HALF, 0, STORE_FRONT}, {-60.0f, 0, STORE_FRONT}, 0.0f, STORE_HEIGHT, south, REPEAT);
    face(clad, {60.0f, 0, STORE_FRONT}, {STORE_HALF, 0, STORE_FRONT}, 0.0f, STORE_HEIGHT, south, REPEAT);
    face(clad, {STORE_HALF, 0, STORE_FRONT}, {STORE_HALF, 0, STORE_BACK}, 0.0f, STORE_HEIGHT, east, REPEAT);
    face(clad, {-STORE_HALF, 0, STORE_BACK}, {-STORE_HALF, 0, STORE_FRONT}, 0.0f, STORE_HEIGHT, west, REPEAT);
    face(sign, {STORE_HALF, 0, STORE_FRONT + 4.0f}, {STORE_HALF, 0, STORE_FRONT + 20.0f}, 5.9f, 7.9f, east, 16.0f);
    face(sign, {-STORE_HALF, 0, STORE_FRONT + 20.0f}, {-STORE_HALF, 0, STORE_FRONT + 4.0f}, 5.9f, 7.9f, west, 16.0f);

    const uint16_t door = scenery.surface(look("roller_door", grey(1.0f), track.texture("roller_door.bmp", rollerDoor())));
    MeshBuilder& walls = track.walls();
    const uint16_t rubber = walls.surface(look("dock_rubber", grey(0.12f)));
    const uint16_t bin = walls.surface(look("waste_bin", rgb(0.15f, 0.45f, 0.2f)));
    const uint16_t pallet = walls.surface(look("pallet", rgb(0.62f, 0.48f, 0.3f), track.texture("wood.bmp", TrackTextures::wood(TEXTURE_SIZE))));
    for (float z : {125.0f, 137.0f, 149.0f}) {
        face(door, {STORE_HALF, 0, z - 2.5f}, {STORE_HALF, 0, z + 2.5f}, 0.0f, 4.8f, east, 5.0f);
        for (float dz : {-2.9f, 2.9f}) walls.box(rubber, {STORE_HALF + 0.2f, 1.0f, z + dz}, {0.4f, 0.6f, 0.35f}, 0.0f);
    }
    scenery.box(trim, {STORE_HALF + 1.5f, 5.4f, 137.0f}, {3.0f, 0.3f, 32.0f}, 0.0f, 4.0f);
    for (float z : {107.0f, 110.0f}) walls.box(bin, {STORE_HALF + 1.2f, 0.7f, z}, {1.4f, 1.4f, 2.4f}, 0.0f, 2.0f);
    for (int k = 0; k < 4; ++k)
        walls.box(pallet, {STORE_HALF + 1.3f + (k % 2) * 1.3f, 0.4f + (k / 2) * 0.35f, 160.0f + (k % 2) * 0.4f},
                  {1.2f, 0.3f, 1.0f}, 0.0f, 1.0f);
}

// The supermarket: a long low box, its glass front lit, a sign over the
// door, a canopy over the entrance and trolley shelters.
void store(TrackBuilder& track) {
    MeshBuilder& walls = track.walls();
    const uint16_t wall = walls.surface(look("store_wall", rgb(0.85f, 0.82f, 0.75f), track.texture("store_plaster.bmp", TrackTextures::plaster(TEXTURE_SIZE, grey(0.9f)))));
    const uint16_t steel = walls.surface(look("store_steel", rgb(0.5f, 0.52f, 0.55f)));
    const float cz = (STORE_FRONT + STORE_BACK) * 0.5f;
    walls.box(wall, {0.0f, STORE_HEIGHT * 0.5f - 0.5f, cz}, {STORE_HALF * 2.0f, STORE_HEIGHT + 1.0f, STORE_BACK - STORE_FRONT}, 0.0f,
              6.0f);
    // Two lorries at the loading bay behind the store.
    const uint16_t box = walls.surface(look("lorry_box", grey(0.92f)));
    const uint16_t cab = walls.surface(look("lorry_cab", rgb(0.15f, 0.3f, 0.65f)));
    for (float x : {-40.0f, 10.0f}) {
        walls.box(box, {x, 2.3f, STORE_BACK + 9.0f}, {2.6f, 3.2f, 10.0f}, 0.0f, 3.0f);
        walls.box(cab, {x, 1.6f, STORE_BACK + 16.0f}, {2.5f, 2.6f, 2.6f}, 0.0f, 3.0f);
    }
    // Posts of the entrance canopy and of the trolley shelters.
    for (float x : {-11.0f, 11.0f}) walls.box(steel, {x, 2.2f, STORE_FRONT - 7.5f}, {0.3f, 4.4f, 0.3f}, 0.0f);
    for (float x : {-35.0f, 35.0f})
        for (float dx : {-3.8f, 3.8f}) walls.box(steel, {x + dx, 1.2f, STORE_FRONT - 1.8f}, {0.15f, 2.4f, 0.15f}, 0.0f);

    MeshBuilder& scenery = track.scenery();
    // The scenery numbers its surfaces apart from the walls.
    const uint16_t trim = scenery.surface(look("store_steel", rgb(0.5f, 0.52f, 0.55f)));
    const uint16_t glass = scenery.surface(look("store_front", grey(1.0f), track.texture("store_front.bmp", storeFront()), 0.3f));
    auto corner = [](float x, float y, float u, float v) { return MeshBuilder::Corner{{x, y, STORE_FRONT - 0.05f}, u, v}; };
    const float x0 = -60.0f, x1 = 60.0f, top = 5.0f;
    scenery.quadFacing(glass, {0, 0, -1}, corner(x0, 0.0f, 0.0f, 0.0f), corner(x1, 0.0f, (x1 - x0) / 8.0f, 0.0f),
                       corner(x1, top, (x1 - x0) / 8.0f, 1.0f), corner(x0, top, 0.0f, 1.0f));
    // The sign over the door.
    const uint16_t sign = scenery.surface(look("store_sign", grey(1.0f), track.texture("store_sign.bmp", storeSign()), 0.8f));
    scenery.quadFacing(sign, {0, 0, -1}, corner(-20.0f, 5.8f, 0.0f, 0.0f), corner(20.0f, 5.8f, 1.0f, 0.0f),
                       corner(20.0f, 8.3f, 1.0f, 1.0f), corner(-20.0f, 8.3f, 0.0f, 1.0f));
    // The canopy, the shelters' roofs and the trolleys under them.
    scenery.box(trim, {0.0f, 4.6f, STORE_FRONT - 4.0f}, {24.0f, 0.4f, 8.0f}, 0.0f);
    for (float x : {-35.0f, 35.0f}) {
        scenery.box(trim, {x, 2.4f, STORE_FRONT - 3.0f}, {8.0f, 0.15f, 3.0f}, 0.0f);
        for (int k = 0; k < 6; ++k) scenery.box(trim, {x - 3.0f + k * 1.2f, 0.55f, STORE_FRONT - 3.0f}, {0.9f, 1.0f, 2.0f}, 0.0f, 1.0f);
    }
    storeWalls(track, trim, sign);
    // The flat roof with its plant: fans and ducts.
    const uint16_t roof = scenery.surface(look("store_roof", grey(0.75f), track.texture("concrete.bmp", TrackTextures::concrete(TEXTURE_SIZE))));
    scenery.panel(roof, {0.0f, STORE_HEIGHT + 0.52f, cz}, STORE_HALF * 2.0f, STORE_BACK - STORE_FRONT, 0.0f, 8.0f);
    for (int k = 0; k < 6; ++k)
        scenery.box(trim, {-75.0f + k * 30.0f, STORE_HEIGHT + 1.3f, cz + (k % 2 ? 12.0f : -8.0f)}, {5.0f, 1.6f, 3.5f}, 0.0f, 2.0f);
}

// The north-west corner, straight ahead of the rider coming along the store
// front, was bare asphalt: a billboard for the store on the road's line and
// a recycling point of bottle banks beside the store's west end.
void westCorner(TrackBuilder& track) {
    MeshBuilder& walls = track.walls();
    const uint16_t post = walls.surface(look("billboard_post", rgb(0.45f, 0.47f, 0.5f)));
    const float x = WEST_ROAD - 35.0f;
    // The posts stand behind the board.
    for (float dz : {-3.5f, 3.5f}) walls.box(post, {x - 0.45f, 2.0f, STORE_ROAD + dz}, {0.3f, 4.0f, 0.3f}, 0.0f);
    MeshBuilder& scenery = track.scenery();
    const uint16_t frame = scenery.surface(look("billboard_frame", grey(0.92f)));
    scenery.box(frame, {x - 0.2f, 4.6f, STORE_ROAD}, {0.2f, 3.2f, 10.4f}, 0.0f);
    const uint16_t sign = scenery.surface(look("store_sign", grey(1.0f), track.texture("store_sign.bmp", storeSign()), 0.8f));
    auto corner = [&](float z, float y, float u, float v) { return MeshBuilder::Corner{{x - 0.05f, y, z}, u, v}; };
    // Read from the east, the letters run north.
    scenery.quadFacing(sign, {1, 0, 0}, corner(STORE_ROAD - 5.0f, 3.2f, 0.0f, 0.0f), corner(STORE_ROAD + 5.0f, 3.2f, 1.0f, 0.0f),
                       corner(STORE_ROAD + 5.0f, 6.0f, 1.0f, 1.0f), corner(STORE_ROAD - 5.0f, 6.0f, 0.0f, 1.0f));
    const Rgb banks[] = {rgb(0.15f, 0.45f, 0.2f), rgb(0.2f, 0.35f, 0.7f), rgb(0.45f, 0.3f, 0.15f), rgb(0.9f, 0.9f, 0.88f)};
    for (int k = 0; k < 4; ++k) {
        const std::string name = "bottle_bank_" + std::to_string(k);
        walls.box(walls.surface(look(name, banks[k])), {-150.0f + k * 2.4f, 0.9f, STORE_FRONT - 3.0f}, {1.8f, 1.8f, 1.8f}, 0.0f, 2.0f);
    }
}

// The car crusher in the delivery lane: a machine beside the road, an arm
// over its right half and the press plate hanging from it.
void crusher(TrackBuilder& track, Loose& loose, float s) {
    const Centreline::Frame f = track.line().at(s);
    const SurfaceLook steelLook = look("crusher_steel", rgb(0.35f, 0.37f, 0.4f));
    const SurfaceLook stripeLook = look("hazard", grey(1.0f), track.texture("hazard.bmp", TrackTextures::hazard(TEXTURE_SIZE)));
    const float half = WIDTH * 0.5f;
    MeshBuilder& walls = track.walls();
    walls.box(walls.surface(stripeLook), f.across(half + 3.2f) + Vec3{0.0f, 3.0f, 0.0f}, {4.0f, 6.0f, 7.0f}, f.heading(), 2.0f);
    MeshBuilder& scenery = track.scenery();
    scenery.box(scenery.surface(steelLook), f.across(half * 0.5f + 1.0f) + Vec3{0.0f, 7.6f, 0.0f}, {half + 4.0f, 1.0f, 1.2f},
                f.heading(), 2.0f);
    loose.press(f.across(half * 0.5f), f.heading(), {half - 1.0f, 1.0f, 4.5f}, 4.2f, 4.0f, loose.surface(steelLook),
                loose.surface(stripeLook));
}

// Painted arrows along the aisles and a zebra crossing at the store's door.
void markings(TrackBuilder& track) {
    const Centreline& line = track.line();
    MeshBuilder& scenery = track.scenery();
    const uint16_t arrow = scenery.surface(look("arrow", grey(0.92f)));
    for (float s = 30.0f; s < line.length(); s += 70.0f) straightArrow(RoadPaint(scenery, arrow, line.at(s), 0.025f, false));
    const uint16_t white = scenery.surface(look("zebra", grey(0.95f), track.texture("lane_line.bmp", TrackTextures::laneLine(64))));
    for (float x = -6.0f; x <= 6.0f; x += 1.5f)
        scenery.panel(white, {x, 0.025f, STORE_ROAD}, 0.7f, WIDTH - 1.0f, 0.0f, 4.0f);
}

// The lap painted on the asphalt so a rider always sees where it goes:
// yellow edge lines all round, red and white kerbs through every bend and
// a turn arrow twice before it, bending the way the road does.
void paintRoute(TrackBuilder& track) {
    const Centreline& line = track.line();
    MeshBuilder& scenery = track.scenery();
    const float length = line.length();
    const uint16_t yellow = scenery.surface(look("route_line", rgb(1.0f, 0.82f, 0.15f), track.texture("lane_line.bmp", TrackTextures::laneLine(64))));
    for (float side : {-1.0f, 1.0f}) {
        const MeshBuilder::Edge outer{side, -side * 0.25f}, inner{side, -side * 0.6f};
        scenery.ribbon(yellow, line, 0.0f, length, side < 0 ? outer : inner, side < 0 ? inner : outer, 0.03f, 0.0f, 4.0f);
    }
    // Bends: where the heading turns faster than a wide curve would.
    struct Bend {
        float s0, s1;
        bool left;
    };
    std::vector<Bend> bends;
    const float step = 2.0f;
    for (float s = 0.0f; s < length; s += step) {
        float turn = line.at(s + step).heading() - line.at(s).heading();
        turn = std::remainder(turn, 2.0f * PI);
        if (std::fabs(turn) < 0.01f * step) continue;
        if (!bends.empty() && bends.back().s1 >= s - step) bends.back().s1 = s + step;
        else bends.push_back({s, s + step, turn < 0.0f});
    }
    const uint16_t kerb = scenery.surface(look("route_kerb", grey(1.0f), track.texture("kerb.bmp", TrackTextures::kerb(TEXTURE_SIZE))));
    const uint16_t arrow = scenery.surface(look("turn_arrow", grey(0.92f)));
    for (const Bend& b : bends) {
        if (b.s1 - b.s0 < 10.0f) continue;
        for (float side : {-1.0f, 1.0f}) {
            const MeshBuilder::Edge edge{side, -side * 0.7f}, in{side, -side * 1.6f};
            scenery.ribbon(kerb, line, b.s0 - 4.0f, b.s1 + 4.0f, side < 0 ? edge : in, side < 0 ? in : edge, 0.035f,
                           0.0f, 2.0f);
        }
        // The arrow bends left; a right-hand bend mirrors it across.
        for (float before : {12.0f, 30.0f}) turnArrow(RoadPaint(scenery, arrow, line.at(b.s0 - before), 0.03f, !b.left));
    }
}

} // namespace

std::vector<CentrelinePoint> centreline() {
    const float u = U_RADIUS, c = CORNER_RADIUS;
    std::vector<CentrelinePoint> p;
    straight(p, -110.0f, SOUTH_ROAD, 60.0f, SOUTH_ROAD);
    arc(p, 60.0f, SOUTH_ROAD + u, u, -90.0f, 90.0f);             // U-turn into aisle A
    straight(p, 60.0f, AISLE_A, -100.0f, AISLE_A);
    arc(p, -100.0f, AISLE_A + u, u, 270.0f, 90.0f);              // U-turn into aisle B
    straight(p, -100.0f, AISLE_B, EAST_ROAD - c, AISLE_B);
    arc(p, EAST_ROAD - c, AISLE_B + c, c, -90.0f, 0.0f);         // north into the delivery lane
    straight(p, EAST_ROAD, AISLE_B + c, EAST_ROAD, STORE_ROAD - c);
    arc(p, EAST_ROAD - c, STORE_ROAD - c, c, 0.0f, 90.0f);       // west along the store
    straight(p, EAST_ROAD - c, STORE_ROAD, WEST_ROAD + c, STORE_ROAD);
    arc(p, WEST_ROAD + c, STORE_ROAD - c, c, 90.0f, 180.0f);     // south down the west road
    straight(p, WEST_ROAD, STORE_ROAD - c, WEST_ROAD, SOUTH_ROAD + c);
    arc(p, WEST_ROAD + c, SOUTH_ROAD + c, c, 180.0f, 270.0f);    // east onto the start
    straight(p, WEST_ROAD + c, SOUTH_ROAD, -110.0f, SOUTH_ROAD);
    return p;
}

std::vector<TrackFile> files() {
    TrackBuilder track(4, "parkplatz", Centreline(centreline()));
    const Centreline& line = track.line();

    // Asphalt over the lot, concrete in the yard behind the store, all driveable.
    MeshBuilder& ground = track.ground();
    const uint16_t asphalt = ground.surface(look("asphalt", grey(0.95f), track.texture("asphalt.bmp", TrackTextures::asphalt(TrackTextures::ROAD_TEXTURE_SIZE))));
    const uint16_t yard = ground.surface(look("yard", grey(0.9f), track.texture("concrete_floor.bmp", TrackTextures::concreteFloor(TEXTURE_SIZE))));
    ground.grid(asphalt, -LOT, -LOT, LOT, STORE_FRONT, 0.0f, CELL, true, 8.0f, [](float, float) { return true; });
    ground.grid(yard, -LOT, STORE_FRONT, LOT, LOT, 0.0f, CELL, true, 8.0f, [](float, float) { return true; });
    MeshBuilder& walls = track.walls();
    const uint16_t hedge = walls.surface(look("hedge", rgb(0.8f, 0.9f, 0.8f), track.texture("leaves.bmp", TrackTextures::leaves(TEXTURE_SIZE))));
    for (float sign : {-1.0f, 1.0f}) {
        walls.box(hedge, {0.0f, 0.9f, sign * (LOT + 1.0f)}, {2.0f * LOT + 4.0f, 2.2f, 2.0f}, 0.0f, 3.0f);
        walls.box(hedge, {sign * (LOT + 1.0f), 0.9f, 0.0f}, {2.0f, 2.2f, 2.0f * LOT + 4.0f}, 0.0f, 3.0f);
    }
    MeshBuilder& scenery = track.scenery();
    const uint16_t grass = scenery.surface(look("verge", grey(0.9f), track.texture("grass.bmp", TrackTextures::grass(TEXTURE_SIZE))));
    scenery.grid(grass, -250.0f, -250.0f, 250.0f, 250.0f, -0.05f, 10.0f, true, 6.0f,
                 [](float x, float z) { return std::fabs(x) > LOT || std::fabs(z) > LOT; });

    Loose loose(track);
    park(track, loose);
    plantIslands(track);
    store(track);
    westCorner(track);
    markings(track);
    paintRoute(track);
    crusher(track, loose, line.nearest(EAST_ROAD, 5.0f).s);
    const SurfaceLook barrier = look("height_barrier", grey(1.0f), track.texture("hazard.bmp", TrackTextures::hazard(TEXTURE_SIZE)));
    track.stamper(line.nearest(-70.0f, STORE_ROAD).s, 0.0f, {WIDTH - 1.0f, 1.2f, 2.5f}, 4.0f, 3.0f, barrier);
    // Cones: along the edge of the first aisle, closing the empty bays after
    // the U-turn clear of the computer lines, and a few round the crusher.
    for (float x = 25.0f; x >= -20.0f; x -= 3.0f) loose.cone({x, 0.0f, AISLE_A + 6.2f});
    for (float z = -12.0f; z <= 22.0f; z += 8.5f) loose.cone({EAST_ROAD + 6.2f, 0.0f, z});

    track.speedup(line.nearest(-40.0f, SOUTH_ROAD).s, 0.0f);
    track.speedup(line.nearest(20.0f, AISLE_B).s, 0.0f);
    track.speedup(line.nearest(WEST_ROAD, -30.0f).s, 0.0f);
    track.pickupRow(line.nearest(20.0f, SOUTH_ROAD).s, 3);
    track.pickupRow(line.nearest(-50.0f, AISLE_A).s, 3);
    track.pickupRow(line.nearest(20.0f, STORE_ROAD).s, 4);
    track.finishBanner(4.5f, look("banner_post", rgb(0.5f, 0.52f, 0.55f)));
    // The computer lines keep clear of the parked noses at the aisles' edges.
    std::vector<std::vector<RacingLines::PathPoint>> paths;
    for (int k = 0; k < RacingLines::PATH_COUNT; ++k) paths.push_back(RacingLines::path(line, k, PATH_MARGIN));
    track.setPaths(std::move(paths));

    // A sunny afternoon: the canopy and the trees cast soft shade.
    LightMap& light = track.lightMap();
    light = LightMap(0.56f, rgb(1.0f, 0.97f, 0.9f));
    light.rectangle(-12.0f, STORE_FRONT - 8.0f, 12.0f, STORE_FRONT, 0.38f, 2.0f);
    light.rectangle(-STORE_HALF, STORE_FRONT, STORE_HALF, STORE_BACK, 0.4f, 6.0f);
    for (const Island& i : islands())
        for (const Vec3& spot : plantingSpots(i)) light.disc(spot.x, spot.z, 5.0f, 0.45f);
    for (int layer = 0; layer < loose.mesh().layerCount(); ++layer)
        loose.mesh().shadeLayer(layer, [&](Vec3 p) { return scaled(light.at(p.x, p.z), 2.0f); });

    LwsScene& scene = track.scene();
    scene.ambientIntensity = LwsValue(0.45f);
    scene.lights.front().intensity = LwsValue(1.05f);
    scene.lights.front().color = std::array<LwsValue, 3>{LwsValue(1.0f), LwsValue(0.95f), LwsValue(0.85f)};
    scene.lights.front().item.motion = lwsStillMotion({0.0f, 100.0f, 0.0f}, {-0.7f, 0.8f, 0.0f});
    scene.backdropColor = std::array<float, 3>{0.6f, 0.75f, 0.92f};
    scene.fogType = 1;
    scene.fogMinDistance = 150.0f;
    scene.fogMaxDistance = 500.0f;
    scene.fogColor = std::array<float, 3>{0.72f, 0.8f, 0.9f};

    SkyDome::raise(track, SkyDome::day());
    std::vector<TrackFile> out = track.files();
    out.push_back({MOVABLES_FILE, loose.mesh().bytes()});
    return out;
}

} // namespace Parkplatz
