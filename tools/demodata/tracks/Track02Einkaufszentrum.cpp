#include "tools/demodata/tracks/Track02Einkaufszentrum.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <string>

#include "tools/demodata/tracks/Noise.h"
#include "tools/demodata/tracks/SkyDome.h"
#include "tools/demodata/tracks/SurfaceFinish.h"
#include "tools/demodata/tracks/TrackBuilder.h"
#include "tools/demodata/tracks/TrackProps.h"
#include "tools/demodata/tracks/TrackTextures.h"
#include "tools/guidata/Canvas.h"
#include "tools/guidata/TextPainter.h"

namespace Einkaufszentrum {
namespace {

constexpr int GEOM_TRIANGLE_MESH = 3;
constexpr int TEXTURE_SIZE = 256;
// The lap's points, this far apart along the curve drawn through the design points.
constexpr float CONTROL_SPACING = 10.0f;
// Shop fronts stand this far beyond the road edge; the floor runs on under them.
constexpr float FACADE_GAP = 0.3f;
constexpr float FLOOR_BEYOND = 1.5f;
// The solid wall stands just behind the picture of the shops.
constexpr float FACADE_AHEAD = 0.05f;
constexpr float SOLID_HEIGHT = 1.5f;
constexpr float WALL_FOOT = -0.5f;
constexpr float SHOP_TOP = 4.5f;
constexpr float SIGN_TOP = 5.6f;
constexpr float ROOF = 11.0f;
// One shop window's width; shops are three to six of them.
constexpr float BAY = 5.0f;
constexpr float ROOF_RIM = 8.0f;
constexpr float ROOF_CELL = 4.0f;
// The building's outer walls, round the lap with room for the shops.
constexpr float BUILDING_X = 205.0f;
constexpr float BUILDING_Z = 170.0f;
constexpr float TRAVELATOR_START = 232.0f;
constexpr float TRAVELATOR_END = 316.0f;
// The chicane's outside is a cafe behind a glass balustrade instead of shops.
constexpr float CAFE_START = 512.0f;
constexpr float CAFE_END = 618.0f;
constexpr float CAFE_DEPTH = 14.0f;
constexpr int SHOP_KINDS = 4;

const std::string FLOOR_FILE = "D:\\Vantorik/3dobjects_tracks/track02/einkaufszentrum_floor.lwo";
const std::string GLASS_FILE = "D:\\Vantorik/3dobjects_tracks/track02/einkaufszentrum_glass.lwo";

using TrackProps::look;
using TrackProps::scaled;

// 0..1 from a seed and an index, for the shops' sizes and kinds.
float dice(uint32_t seed, int i) { return Noise(seed).lattice(i, 0, 1 << 20); }

// Rectangle in picture units (0..1), y from the top.
void block(Picture& p, float x0, float y0, float x1, float y1, Rgb c) {
    const float w = static_cast<float>(p.width()), h = static_cast<float>(p.height());
    TrackProps::fill(p, static_cast<int>(x0 * w), static_cast<int>(y0 * h), static_cast<int>(x1 * w), static_cast<int>(y1 * h),
               c);
}

// One window bay from the wall foot (bottom row) to the shop top: a dark
// fascia, the lit window between mullions, a stone plinth.
Picture shopWindow(int kind) {
    Noise n(700 + kind);
    const Rgb backs[SHOP_KINDS] = {rgb(0.92f, 0.9f, 0.86f), rgb(0.06f, 0.08f, 0.14f), rgb(0.95f, 0.72f, 0.42f),
                                   rgb(0.97f, 0.97f, 0.95f)};
    Picture p(TEXTURE_SIZE, TEXTURE_SIZE, backs[kind]);
    const Rgb palette[] = {rgb(0.85f, 0.15f, 0.2f), rgb(0.15f, 0.35f, 0.8f), rgb(0.95f, 0.8f, 0.15f),
                           rgb(0.2f, 0.65f, 0.3f),  rgb(0.6f, 0.25f, 0.65f), rgb(0.95f, 0.5f, 0.1f)};
    // The window spans rows 0.1 .. 0.84 (the fascia above, the plinth below).
    switch (kind) {
    case 0: // fashion: figures on a pale floor, clothes on a rail behind
        for (int i = 0; i < 9; ++i)
            block(p, 0.08f + i * 0.095f, 0.2f, 0.13f + i * 0.095f, 0.42f, palette[i % 6]);
        for (int i = 0; i < 3; ++i) {
            const float x = 0.18f + i * 0.3f;
            block(p, x - 0.015f, 0.36f, x + 0.015f, 0.42f, rgb(0.85f, 0.75f, 0.65f));
            block(p, x - 0.06f, 0.42f, x + 0.06f, 0.68f, palette[(i * 2 + 1) % 6]);
            block(p, x - 0.03f, 0.68f, x + 0.03f, 0.84f, rgb(0.3f, 0.3f, 0.35f));
        }
        break;
    case 1: // electronics: rows of bright screens in a dark shop
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col) {
                const float x = 0.1f + col * 0.21f, y = 0.18f + row * 0.2f;
                const Rgb screen = mix(rgb(0.2f, 0.55f, 0.95f), rgb(0.7f, 0.95f, 1.0f), n.lattice(row, col, 16));
                block(p, x, y, x + 0.17f, y + 0.13f, screen);
            }
        block(p, 0.05f, 0.76f, 0.95f, 0.8f, rgb(0.25f, 0.25f, 0.3f));
        break;
    case 2: // bakery: shelves of loaves under warm light
        for (int row = 0; row < 4; ++row) {
            const float y = 0.28f + row * 0.15f;
            block(p, 0.05f, y, 0.95f, y + 0.02f, rgb(0.45f, 0.28f, 0.14f));
            for (int i = 0; i < 7; ++i)
                block(p, 0.08f + i * 0.125f, y - 0.06f, 0.17f + i * 0.125f, y,
                      mix(rgb(0.55f, 0.32f, 0.12f), rgb(0.8f, 0.55f, 0.25f), n.lattice(i, row, 16)));
        }
        break;
    default: // toys and books: crowded white shelves
        for (int row = 0; row < 5; ++row) {
            const float y = 0.24f + row * 0.12f;
            block(p, 0.05f, y, 0.95f, y + 0.015f, grey(0.7f));
            for (int i = 0; i < 14; ++i) {
                const float h = 0.05f + 0.04f * n.lattice(i, row, 32);
                block(p, 0.06f + i * 0.063f, y - h, 0.11f + i * 0.063f, y, palette[(i + row * 3) % 6]);
            }
        }
        break;
    }
    // A sheen across the glass.
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const float d = std::fabs(static_cast<float>(x + y) / p.width() - 0.7f);
            if (d < 0.05f) p.at(x, y) = mix(p.at(x, y), grey(1.0f), 0.25f);
        }
    block(p, 0.0f, 0.0f, 1.0f, 0.1f, rgb(0.16f, 0.16f, 0.18f));   // fascia
    block(p, 0.0f, 0.84f, 1.0f, 1.0f, rgb(0.3f, 0.28f, 0.27f));   // plinth
    block(p, 0.0f, 0.0f, 0.03f, 1.0f, rgb(0.55f, 0.56f, 0.58f));  // mullions
    block(p, 0.97f, 0.0f, 1.0f, 1.0f, rgb(0.55f, 0.56f, 0.58f));
    block(p, 0.0f, 0.1f, 1.0f, 0.12f, rgb(0.55f, 0.56f, 0.58f));
    return p;
}

// The shops' names, lettered in the menus' bold font, white on their own colour.
struct ShopName {
    const char* name;
    Rgb board;
};
const ShopName SHOP_NAMES[] = {
    {"Kaffeebohne", rgb(0.45f, 0.25f, 0.12f)}, {"Blumen Rosa", rgb(0.85f, 0.2f, 0.5f)},
    {"Schuh-Eck", rgb(0.15f, 0.4f, 0.9f)},     {"Pixel Spiele", rgb(0.45f, 0.2f, 0.75f)},
    {"Bäckerei Korn", rgb(0.9f, 0.55f, 0.05f)}, {"Mode Lina", rgb(0.1f, 0.1f, 0.12f)},
    {"Radio Max", rgb(0.85f, 0.12f, 0.12f)},   {"Frisch Markt", rgb(0.1f, 0.6f, 0.3f)},
};
constexpr int SIGN_WIDTH = 512, SIGN_HEIGHT = 64;
// One sign picture spans this much of the front; long shops repeat it.
constexpr float SIGN_LENGTH = 8.8f;

Picture signBoard(const TextPainter& font, const ShopName& shop) {
    Canvas canvas(SIGN_WIDTH, SIGN_HEIGHT, 0xFFFFFFFF);
    const float size = 42.0f;
    const float scale = std::min(1.0f, (SIGN_WIDTH - 40.0f) / font.width(shop.name, size));
    font.drawCentred(canvas, shop.name, SIGN_WIDTH * 0.5f, SIGN_HEIGHT * 0.5f + size * scale * 0.32f, size * scale,
                     0xFF000000);
    Picture p(SIGN_WIDTH, SIGN_HEIGHT);
    for (int y = 0; y < SIGN_HEIGHT; ++y)
        for (int x = 0; x < SIGN_WIDTH; ++x) {
            // The canvas holds the letters' cover: black letters on white.
            const float ink = 1.0f - float(canvas.pixel(x, y) & 0xFF) / 255.0f;
            p.at(x, y) = mix(shop.board, grey(1.0f), ink);
        }
    block(p, 0.0f, 0.0f, 1.0f, 0.06f, grey(0.2f));
    block(p, 0.0f, 0.94f, 1.0f, 1.0f, grey(0.2f));
    return p;
}

// The upper floor over a bay: cream plaster, a gallery window band, a cornice.
Picture upperFloor() {
    Picture p = TrackTextures::plaster(TEXTURE_SIZE, rgb(0.88f, 0.84f, 0.76f));
    block(p, 0.06f, 0.25f, 0.94f, 0.7f, rgb(0.2f, 0.3f, 0.38f));
    block(p, 0.06f, 0.25f, 0.94f, 0.3f, rgb(0.45f, 0.55f, 0.62f));
    block(p, 0.48f, 0.25f, 0.52f, 0.7f, grey(0.75f));
    block(p, 0.0f, 0.0f, 1.0f, 0.06f, grey(0.7f));
    block(p, 0.0f, 0.78f, 1.0f, 0.82f, grey(0.65f));
    return p;
}

// Polished stone: big pale slabs with a faint vein and dark joints.
// The floor fills the lower half of the screen, so it has the road's size.
Picture floorSlabs() {
    const int size = TrackTextures::ROAD_TEXTURE_SIZE;
    Picture p = TrackTextures::tiles(size, 2, rgb(0.9f, 0.87f, 0.8f), rgb(0.8f, 0.77f, 0.72f));
    Noise n(760);
    const float grain = float(size) / 8.0f;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const float v = n.fractal(x / grain, y / grain, 8, 3);
            if (std::fabs(v - 0.5f) < 0.01f) p.at(x, y) = scaled(p.at(x, y), 0.85f);
        }
    return p;
}

// A vertical strip along one road edge (side -1 left, +1 right), facing the
// road, from y0 to y1; one picture every `bay` units along, read left to
// right from the road, its top row at y1.
void facade(MeshBuilder& mesh, uint16_t surface, const Centreline& line, float s0, float s1, int side, float y0,
            float y1, float bay, float gap = FACADE_GAP) {
    const int count = std::max(1, static_cast<int>(std::ceil((s1 - s0) / 2.0f)));
    auto at = [&](float s, float y) {
        const Centreline::Frame f = line.at(s);
        MeshBuilder::Corner c;
        c.p = f.across(side * (f.width * 0.5f + gap));
        c.p.y = y;
        c.u = side * (s - s0) / bay;
        c.v = (y - y0) / (y1 - y0);
        return c;
    };
    for (int i = 0; i < count; ++i) {
        const float a = s0 + (s1 - s0) * i / count, b = s0 + (s1 - s0) * (i + 1) / count;
        const Vec3 inward = line.at((a + b) * 0.5f).right * static_cast<float>(-side);
        mesh.quadFacing(surface, inward, at(a, y0), at(b, y0), at(b, y1), at(a, y1));
    }
}

// The cafe on the chicane's outside: between the glass balustrade on the
// road edge and a straight back wall joining the shop fronts at both ends.
struct Cafe {
    explicit Cafe(const Centreline& road) : line(road) {
        const Centreline::Frame fa = road.at(CAFE_START), fb = road.at(CAFE_END);
        a = fa.across(fa.width * 0.5f + FACADE_GAP);
        b = fb.across(fb.width * 0.5f + FACADE_GAP);
        out = normalised(cross(b - a, {0.0f, 1.0f, 0.0f})) * -1.0f;
    }
    // Along the back wall and along the balustrade, t from 0 to 1.
    Vec3 back(float t) const { return a + (b - a) * t + out * CAFE_DEPTH; }
    float sAt(float t) const { return CAFE_START + (CAFE_END - CAFE_START) * t; }
    bool holds(float x, float z) const {
        const Centreline::Nearest n = line.nearest(x, z);
        return n.s > CAFE_START && n.s < CAFE_END && n.lateral > 0.0f && dot(Vec3{x, 0.0f, z} - a, out) < CAFE_DEPTH;
    }

    const Centreline& line;
    Vec3 a{}, b{}, out{};
};

// An upright wall between two points in plan, facing `facing`: the shop
// picture up to the shop top, the upper floor above it.
void wallPanel(MeshBuilder& mesh, uint16_t shop, uint16_t upper, Vec3 p, Vec3 q, Vec3 facing) {
    const float width = length(q - p);
    auto corner = [](Vec3 at, float y, float u, float v) { return MeshBuilder::Corner{{at.x, y, at.z}, u, v}; };
    mesh.quadFacing(shop, facing, corner(p, WALL_FOOT, 0.0f, 0.0f), corner(q, WALL_FOOT, width / BAY, 0.0f),
                    corner(q, SHOP_TOP, width / BAY, 1.0f), corner(p, SHOP_TOP, 0.0f, 1.0f));
    mesh.quadFacing(upper, facing, corner(p, SIGN_TOP - 1.1f, 0.0f, 0.0f), corner(q, SIGN_TOP - 1.1f, width / BAY, 0.0f),
                    corner(q, ROOF, width / BAY, 1.0f), corner(p, ROOF, 0.0f, 1.0f));
}

// The shops of one side: runs of three to six bays, each a kind and a sign
// colour, pillars between them; `skip` leaves a stretch free.
void shopRow(TrackBuilder& track, int side, float skipStart, float skipEnd, uint32_t seed) {
    const Centreline& line = track.line();
    MeshBuilder& mesh = track.scenery();
    uint16_t windows[SHOP_KINDS];
    for (int k = 0; k < SHOP_KINDS; ++k)
        windows[k] = mesh.surface(look("shop_" + std::to_string(k), grey(1.0f),
                                        track.texture("mall_shop" + std::to_string(k) + ".bmp", shopWindow(k)), 0.35f));
    const TextPainter font(readFontFile(std::string(GUI_FONT_FOLDER) + "DejaVuSans-Bold.ttf"));
    uint16_t signs[std::size(SHOP_NAMES)];
    for (size_t k = 0; k < std::size(SHOP_NAMES); ++k) {
        SurfaceLook sign = look("mall_sign_" + std::to_string(k), grey(1.0f),
                                track.texture("mall_sign" + std::to_string(k) + ".bmp", signBoard(font, SHOP_NAMES[k])),
                                0.6f);
        sign.vertexColours = true;
        signs[k] = mesh.surface(sign);
    }
    const std::string upperTexture = track.texture("mall_upper.bmp", upperFloor());
    SurfaceLook pillarLook = look("mall_pillar", rgb(0.85f, 0.83f, 0.8f),
                                  track.texture("mall_plaster.bmp", TrackTextures::plaster(TEXTURE_SIZE, grey(0.9f))));
    float s = 0.0f;
    for (int shop = 0; s < line.length() - 1.0f; ++shop) {
        const int bays = 3 + static_cast<int>(dice(seed, shop) * 4.0f);
        float end = std::min(line.length(), s + bays * BAY);
        if (line.length() - end < 3.0f * BAY) end = line.length();
        if (end > skipStart && s < skipEnd) {
            // Shops stop at the free stretch and go on after it.
            if (s < skipStart) end = skipStart;
            else {
                s = skipEnd;
                continue;
            }
        }
        const int kind = static_cast<int>(dice(seed + 1, shop) * SHOP_KINDS) % SHOP_KINDS;
        facade(mesh, windows[kind], line, s, end, side, WALL_FOOT, SHOP_TOP, BAY);
        const size_t name = static_cast<size_t>(dice(seed + 2, shop) * std::size(SHOP_NAMES)) % std::size(SHOP_NAMES);
        // Read from the road: the letters run the other way to the shop windows' pictures.
        facade(mesh, signs[name], line, s, end, side, SHOP_TOP, SIGN_TOP, -SIGN_LENGTH);
        facade(mesh, mesh.surface(look("mall_upper", grey(1.0f), upperTexture)), line, s, end, side, SIGN_TOP,
               ROOF, BAY);
        const Centreline::Frame f = line.at(s);
        mesh.box(mesh.surface(pillarLook), f.across(side * (f.width * 0.5f + FACADE_GAP + 0.35f)) +
                                                     Vec3{0.0f, ROOF * 0.5f, 0.0f},
                    {0.9f, ROOF, 0.9f}, f.heading(), 2.0f);
        s = end;
    }
}

// The glass roof over the corridor with its steel beams and hanging lamps,
// and the flat roofs beside it that close the view from above.
void roof(TrackBuilder& track, MeshBuilder& glass, const Cafe& cafe) {
    const Centreline& line = track.line();
    SurfaceLook pane = look("mall_roof_glass", rgb(0.75f, 0.88f, 0.95f));
    pane.doubleSided = true;
    const float edge = FACADE_GAP + 0.5f;
    glass.ribbon(glass.surface(pane), line, 0.0f, line.length(), {-1.0f, -edge}, {1.0f, edge}, ROOF, 0.0f, 8.0f);
    MeshBuilder& scenery = track.scenery();
    const uint16_t steel = scenery.surface(look("mall_steel", rgb(0.3f, 0.32f, 0.35f)));
    const uint16_t lamp = scenery.surface(look("mall_lamp", rgb(1.0f, 0.95f, 0.8f), {}, 1.0f));
    for (const Centreline::Frame& f : line.frames(10.0f)) {
        scenery.box(steel, f.position + Vec3{0.0f, ROOF - 0.25f, 0.0f}, {f.width + 2.0f * edge, 0.5f, 0.4f},
                    f.heading(), 1.0f);
        scenery.box(steel, f.position + Vec3{0.0f, ROOF - 1.5f, 0.0f}, {0.08f, 2.5f, 0.08f}, f.heading(), 1.0f);
        scenery.box(lamp, f.position + Vec3{0.0f, ROOF - 2.8f, 0.0f}, {1.6f, 0.15f, 1.6f}, f.heading(), 1.0f);
    }
    SurfaceLook top = look("mall_roof", rgb(0.95f, 0.95f, 0.92f),
                           track.texture("concrete.bmp", TrackTextures::concrete(TEXTURE_SIZE)));
    const uint16_t roofSurface = scenery.surface(top);
    // Flat roofs over the shops: a strip along each side of the glass, and
    // cells out to the building's walls wherever no corridor runs below.
    const float rimStart = FACADE_GAP + 0.8f;
    for (const auto& [s0, s1] : {std::pair{0.0f, CAFE_START}, std::pair{CAFE_END, line.length()}})
        scenery.ribbon(roofSurface, line, s0, s1, {1.0f, rimStart}, {1.0f, rimStart + ROOF_RIM}, ROOF + 0.05f, 8.0f,
                       8.0f);
    scenery.ribbon(roofSurface, line, 0.0f, line.length(), {-1.0f, -rimStart - ROOF_RIM}, {-1.0f, -rimStart},
                   ROOF + 0.05f, 8.0f, 8.0f);
    const float reach = line.at(0.0f).width * 0.5f + rimStart + ROOF_CELL * 0.75f;
    scenery.grid(roofSurface, -BUILDING_X, -BUILDING_Z, BUILDING_X, BUILDING_Z, ROOF, ROOF_CELL, true, 8.0f,
                 [&](float x, float z) { return line.nearest(x, z).distance > reach && !cafe.holds(x, z); });
    // The car park round the building, seen from above.
    const uint16_t asphalt = scenery.surface(
        look("mall_car_park", grey(0.8f), track.texture("asphalt.bmp", TrackTextures::asphalt(TrackTextures::ROAD_TEXTURE_SIZE))));
    scenery.grid(asphalt, -248.0f, -248.0f, 248.0f, 248.0f, -1.0f, 16.0f, true, 8.0f, [](float x, float z) {
        return std::fabs(x) > BUILDING_X || std::fabs(z) > BUILDING_Z;
    });
    const uint16_t outerWall = scenery.surface(look("mall_outer_wall", rgb(0.8f, 0.78f, 0.74f),
                                                    track.texture("mall_plaster.bmp", TrackTextures::plaster(TEXTURE_SIZE, grey(0.9f)))));
    const Vec3 corners[4] = {{-BUILDING_X, 0, -BUILDING_Z}, {-BUILDING_X, 0, BUILDING_Z}, {BUILDING_X, 0, BUILDING_Z},
                             {BUILDING_X, 0, -BUILDING_Z}};
    for (int i = 0; i < 4; ++i) {
        const Vec3 a = corners[i], b = corners[(i + 1) % 4];
        const float length = ::length(b - a);
        auto corner = [&](Vec3 p, float y, float u) { return MeshBuilder::Corner{{p.x, y, p.z}, u, y / 8.0f}; };
        scenery.quadFacing(outerWall, (a + b) * 0.5f, corner(a, -1.0f, 0.0f), corner(b, -1.0f, length / 8.0f),
                           corner(b, ROOF + 0.05f, length / 8.0f), corner(a, ROOF + 0.05f, 0.0f));
    }
}

// The moving walkway: steel plates over the whole corridor, yellow combs at
// both ends, black skirts along the sides, and the belt zone pushing along the lap.
void travelator(TrackBuilder& track) {
    const Centreline& line = track.line();
    MeshBuilder& scenery = track.scenery();
    const uint16_t plate = scenery.surface(look("travelator", rgb(1.0f, 1.0f, 1.0f),
                                                track.texture("metal_plate.bmp", TrackTextures::metalPlate(128)), 0.45f));
    const uint16_t comb = scenery.surface(
        look("travelator_comb", grey(1.0f), track.texture("hazard.bmp", TrackTextures::hazard(TEXTURE_SIZE))));
    const uint16_t skirt = scenery.surface(look("travelator_skirt", rgb(0.08f, 0.08f, 0.09f)));
    const float lift = 0.04f;
    scenery.ribbon(plate, line, TRAVELATOR_START, TRAVELATOR_END, {-1.0f, 0.6f}, {1.0f, -0.6f}, lift, 2.0f, 2.0f);
    for (float s : {TRAVELATOR_START - 1.0f, TRAVELATOR_END})
        scenery.ribbon(comb, line, s, s + 1.0f, {-1.0f, 0.0f}, {1.0f, 0.0f}, lift, 2.0f, 2.0f);
    scenery.ribbon(skirt, line, TRAVELATOR_START, TRAVELATOR_END, {-1.0f, 0.0f}, {-1.0f, 0.6f}, lift, 0.0f, 4.0f);
    scenery.ribbon(skirt, line, TRAVELATOR_START, TRAVELATOR_END, {1.0f, -0.6f}, {1.0f, 0.0f}, lift, 0.0f, 4.0f);
    const Centreline::Frame mid = line.at((TRAVELATOR_START + TRAVELATOR_END) * 0.5f);
    track.zone("travelator", TrackBuilder::BELT, mid.position,
               {mid.width, 1.0f, TRAVELATOR_END - TRAVELATOR_START}, mid.heading());
}

// The cafe: a glass balustrade on the road edge (solid for the karts),
// tables with sunshades and planters, shop walls round it, a glass roof.
void furnishCafe(TrackBuilder& track, const Cafe& cafe, MeshBuilder& floor, uint16_t floorSurface, MeshBuilder& glass,
                 int roofLayer, int balustradeLayer) {
    const Centreline& line = track.line();
    glass.select(balustradeLayer);
    SurfaceLook pane = look("mall_balustrade", rgb(0.7f, 0.85f, 0.85f));
    pane.doubleSided = true;
    facade(glass, glass.surface(pane), line, CAFE_START, CAFE_END, 1, WALL_FOOT, 1.1f, 4.0f, 0.0f);
    MeshBuilder& scenery = track.scenery();
    const uint16_t steel = scenery.surface(look("mall_steel", rgb(0.3f, 0.32f, 0.35f)));
    for (float s = CAFE_START; s <= CAFE_END; s += 4.0f) {
        const Centreline::Frame f = line.at(s);
        scenery.box(steel, f.across(f.width * 0.5f) + Vec3{0.0f, 0.55f, 0.0f}, {0.1f, 1.1f, 0.1f}, f.heading(), 1.0f);
    }
    const uint16_t rail = scenery.surface(look("mall_rail", rgb(0.7f, 0.7f, 0.72f)));
    scenery.wallAlong(rail, line, CAFE_START, CAFE_END, {1.0f, 0.0f}, 1.2f, 0.12f, -1.1f, 1.0f);

    // Floor and glass roof: strips from the balustrade to the back wall.
    glass.select(roofLayer);
    const uint16_t roofPane = glass.surface(look("mall_roof_glass", rgb(0.75f, 0.88f, 0.95f)));
    auto corner = [](Vec3 p, float y) { return MeshBuilder::Corner{{p.x, y, p.z}, p.x / 4.0f, p.z / 4.0f}; };
    const int strips = 50;
    for (int i = 0; i < strips; ++i) {
        const float t0 = static_cast<float>(i) / strips, t1 = static_cast<float>(i + 1) / strips;
        const Centreline::Frame f0 = line.at(cafe.sAt(t0)), f1 = line.at(cafe.sAt(t1));
        const Vec3 p0 = f0.across(f0.width * 0.5f), p1 = f1.across(f1.width * 0.5f);
        const Vec3 q0 = cafe.back(t0), q1 = cafe.back(t1);
        floor.quadFacing(floorSurface, {0, 1, 0}, corner(p0, 0.0f), corner(p1, 0.0f), corner(q1, 0.0f),
                         corner(q0, 0.0f));
        const Vec3 r0 = f0.across(f0.width * 0.5f + FACADE_GAP + 0.5f), r1 = f1.across(f1.width * 0.5f + FACADE_GAP + 0.5f);
        glass.quadFacing(roofPane, {0, 1, 0}, corner(r0, ROOF), corner(r1, ROOF), corner(q1, ROOF), corner(q0, ROOF));
    }
    // Shops along the back and at both ends.
    const uint16_t shop = scenery.surface(look("shop_2", grey(1.0f)));
    const uint16_t upper = scenery.surface(look("mall_upper", grey(1.0f)));
    wallPanel(scenery, shop, upper, cafe.back(0.0f), cafe.back(1.0f), cafe.out * -1.0f);
    wallPanel(scenery, shop, upper, cafe.a, cafe.back(0.0f), cafe.b - cafe.a);
    wallPanel(scenery, shop, upper, cafe.b, cafe.back(1.0f), cafe.a - cafe.b);
    // Tables with sunshades, and planters, wherever there is room.
    const uint16_t table = scenery.surface(look("cafe_table", rgb(0.92f, 0.92f, 0.9f)));
    const uint16_t shade = scenery.surface(look("cafe_shade", rgb(0.85f, 0.2f, 0.15f)));
    const uint16_t tub = scenery.surface(look("cafe_planter", rgb(0.45f, 0.3f, 0.2f)));
    const uint16_t leaves = scenery.surface(
        look("cafe_leaves", grey(1.0f), track.texture("leaves.bmp", TrackTextures::leaves(TEXTURE_SIZE))));
    const float half = line.at(CAFE_START).width * 0.5f;
    int n = 0;
    for (float x = cafe.a.x; x > cafe.b.x; x -= 4.5f)
        for (float z = 100.0f; z < 170.0f; z += 4.5f) {
            const Centreline::Nearest near = line.nearest(x, z);
            if (!cafe.holds(x, z) || near.distance < half + 3.0f || dot(Vec3{x, 0, z} - cafe.a, cafe.out) > CAFE_DEPTH - 2.0f)
                continue;
            if (++n % 4 == 0) {
                scenery.box(tub, {x, 0.4f, z}, {1.2f, 0.8f, 1.2f}, 0.0f, 1.0f);
                scenery.cylinder(leaves, {x, 0.8f, z}, 0.9f, 1.5f, 8, 1.6f);
                continue;
            }
            scenery.cylinder(table, {x, 0.0f, z}, 0.08f, 0.75f, 6);
            scenery.cylinder(table, {x, 0.75f, z}, 0.6f, 0.05f, 10);
            scenery.cylinder(table, {x, 0.8f, z}, 0.05f, 1.6f, 6);
            scenery.cylinder(shade, {x, 2.4f, z}, 1.5f, 0.1f, 8);
        }
}

} // namespace

std::vector<CentrelinePoint> centreline() {
    const float w = 16.0f;
    return TrackProps::resampled({{0.0f, -140.0f, 0.0f, w},   {90.0f, -140.0f, 0.0f, w},  {150.0f, -125.0f, 0.0f, w},
            {175.0f, -70.0f, 0.0f, w},  {175.0f, 20.0f, 0.0f, w},   {165.0f, 90.0f, 0.0f, w},
            {120.0f, 130.0f, 0.0f, w},  {55.0f, 140.0f, 0.0f, w},   {0.0f, 121.0f, 0.0f, w},
            {-55.0f, 140.0f, 0.0f, w},  {-120.0f, 139.0f, 0.0f, w}, {-150.0f, 128.0f, 0.0f, w},
            {-163.0f, 100.0f, 0.0f, w}, {-155.0f, 50.0f, 0.0f, w},  {-175.0f, -20.0f, 0.0f, w}, {-160.0f, -90.0f, 0.0f, w},
            {-110.0f, -135.0f, 0.0f, w}, {-55.0f, -142.0f, 0.0f, w}},
                                 CONTROL_SPACING);
}

std::vector<TrackFile> files() {
    TrackBuilder track(2, "einkaufszentrum", Centreline(centreline()));
    const Centreline& line = track.line();

    // The polished floor is a mirror: an object of its own, flat through its origin.
    MeshBuilder floor;
    floor.layer("floor");
    const uint16_t slabs = floor.surface(look("mall_floor", grey(1.0f), track.texture("mall_floor.bmp", floorSlabs())));
    floor.ribbon(slabs, line, 0.0f, line.length(), {-1.0f, -FLOOR_BEYOND}, {1.0f, FLOOR_BEYOND}, 0.0f, 4.0f, 4.0f);
    // Low solid walls just behind the shop fronts keep the karts in.
    const SurfaceLook plinth = look("mall_plinth", rgb(0.2f, 0.2f, 0.22f));
    track.edgeWall(0.0f, line.length(), -1, SOLID_HEIGHT, plinth, FACADE_GAP + FACADE_AHEAD);
    track.edgeWall(0.0f, CAFE_START, 1, SOLID_HEIGHT, plinth, FACADE_GAP + FACADE_AHEAD);
    track.edgeWall(CAFE_END, line.length(), 1, SOLID_HEIGHT, plinth, FACADE_GAP + FACADE_AHEAD);
    shopRow(track, -1, line.length(), line.length(), 21);
    shopRow(track, 1, CAFE_START, CAFE_END, 22);
    // Glass: the roof (seen only) and the cafe balustrade (solid).
    const Cafe cafe(line);
    MeshBuilder glass;
    const int roofLayer = glass.layer("roof");
    roof(track, glass, cafe);
    const int balustradeLayer = glass.layer("balustrade");
    furnishCafe(track, cafe, floor, slabs, glass, roofLayer, balustradeLayer);
    travelator(track);

    track.speedup(40.0f, 0.0f);
    track.speedup(470.0f, 3.0f);
    track.speedup(900.0f, -3.0f);
    track.pickupRow(180.0f, 4);
    track.pickupRow(700.0f, 4);
    track.pickupRow(1030.0f, 3);
    track.finishBanner(3.5f, look("mall_steel", rgb(0.3f, 0.32f, 0.35f)), ROOF - 0.5f);

    LwsScene& scene = track.scene();
    scene.ambientIntensity = LwsValue(0.5f);
    scene.ambientColor = std::array<LwsValue, 3>{1.0f, 0.96f, 0.9f};
    scene.backdropColor = std::array<float, 3>{0.62f, 0.76f, 0.92f};
    scene.lights.front().item.motion = lwsStillMotion({0.0f, 100.0f, 0.0f}, {0.4f, 1.1f, 0.0f});
    track.lightMap() = LightMap(0.52f, rgb(1.0f, 0.97f, 0.92f));
    floor.shadeLayer(0, [&](Vec3 p) { return scaled(track.lightMap().at(p.x, p.z), 2.0f); });

    auto objectLayer = [](const std::string& file, int layer, std::optional<LwsGeom> geom) {
        LwsObject object;
        object.fileName = file;
        object.layer = layer + 1;
        object.item.motion = lwsStillMotion({0.0f, 0.0f, 0.0f});
        object.geom = geom;
        return object;
    };
    const auto mesh = [](int kind, int space) { return LwsGeom{GEOM_TRIANGLE_MESH, kind, space, {1, 1, 1}, {}}; };
    scene.objects.push_back(objectLayer(FLOOR_FILE, 0, mesh(TrackBuilder::GROUND, TrackBuilder::SPACE_GROUND)));
    scene.objects.push_back(objectLayer(GLASS_FILE, roofLayer, std::nullopt));
    scene.objects.push_back(objectLayer(GLASS_FILE, balustradeLayer, mesh(TrackBuilder::WALL, TrackBuilder::SPACE_WALLS)));
    LwsObject rocketWall = objectLayer(GLASS_FILE, balustradeLayer, mesh(TrackBuilder::WALL, TrackBuilder::SPACE_ROCKET_WALLS));
    rocketWall.unseenByCamera = true;
    scene.objects.push_back(rocketWall);

    SkyDome::raise(track, SkyDome::day());
    std::vector<TrackFile> out = track.files();
    out.push_back({FLOOR_FILE, finishedObjectBytes(floor, {{"mall_floor", 0.3f, 0.0f}})});
    out.push_back({GLASS_FILE, finishedObjectBytes(glass, {{"mall_roof_glass", 0.0f, 0.6f},
                                                           {"mall_balustrade", 0.0f, 0.7f}})});
    return out;
}

} // namespace Einkaufszentrum
