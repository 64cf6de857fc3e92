#include "tools/demodata/tracks/TownProps.h"

#include <cmath>

#include "tools/demodata/tracks/TrackDecor.h"
#include "tools/demodata/tracks/TrackTextures.h"
#include "sys/Pi.h"

namespace {

using Corner = MeshBuilder::Corner;
using TrackDecor::dice;
using TrackDecor::shaded;

constexpr int TEXTURE_SIZE = 256;
constexpr float EAVES = 0.6f;
// Windows and doors stand this far off their wall, the glass a little further than its frame.
constexpr float FRAME_OUT = 0.04f;
constexpr float GLASS_OUT = 0.07f;

Vec3 turned(Vec3 v, float heading) {
    const float c = std::cos(heading), s = std::sin(heading);
    return {v.x * c + v.z * s, v.y, -v.x * s + v.z * c};
}

void triangleFacing(MeshBuilder& mesh, uint16_t surface, Vec3 outward, const Corner& a, const Corner& b,
                    const Corner& c) {
    if (dot(cross(b.p - a.p, c.p - a.p), outward) < 0.0f)
        mesh.triangle(surface, a, c, b);
    else
        mesh.triangle(surface, a, b, c);
}

// Places a house's local points in the world.
struct Frame {
    Vec3 base{};
    float heading;
    Vec3 at(float x, float y, float z) const { return base + turned({x, y, z}, heading); }
    Vec3 dir(float x, float y, float z) const { return turned({x, y, z}, heading); }
};

// A rectangle on the plane facing `normal` (local): `across` and `up` are its in-plane axes.
void facadeRect(MeshBuilder& mesh, uint16_t surface, const Frame& f, Vec3 centre, Vec3 across, Vec3 up,
                float halfWidth, float halfHeight, Vec3 normal, Rgb shade) {
    Corner cs[4];
    const float su[4] = {-1, 1, 1, -1}, sv[4] = {-1, -1, 1, 1};
    for (int k = 0; k < 4; ++k) {
        Vec3 local = centre + across * (su[k] * halfWidth) + up * (sv[k] * halfHeight);
        cs[k] = {f.at(local.x, local.y, local.z), (su[k] + 1.0f) * 0.5f, (1.0f - sv[k]) * 0.5f, shade};
    }
    mesh.quadFacing(surface, f.dir(normal.x, normal.y, normal.z), cs[0], cs[1], cs[2], cs[3]);
}

// A framed window on the wall whose outward normal is `normal` (local).
void opening(MeshBuilder& mesh, uint16_t frame, uint16_t glass, const Frame& f, Vec3 onWall, Vec3 normal,
             float width, float height, Rgb glassShade) {
    const Vec3 across{normal.z, 0.0f, -normal.x}, up{0.0f, 1.0f, 0.0f};
    facadeRect(mesh, frame, f, onWall + normal * FRAME_OUT, across, up, width * 0.5f + 0.12f, height * 0.5f + 0.12f,
               normal, {0.95f, 0.95f, 0.93f});
    facadeRect(mesh, glass, f, onWall + normal * GLASS_OUT, across, up, width * 0.5f, height * 0.5f, normal,
               glassShade);
}

} // namespace

TownProps::TownProps(TrackBuilder& track) : m_track(track) {
    track.texture("plaster_white.bmp", TrackTextures::plaster(TEXTURE_SIZE, grey(0.92f)));
    track.texture("brick.bmp", TrackTextures::brick(TEXTURE_SIZE));
    track.texture("wood.bmp", TrackTextures::wood(TEXTURE_SIZE));
    track.texture("roof_tiles.bmp", TrackTextures::roofTiles(TEXTURE_SIZE));
    track.texture("leaves.bmp", TrackTextures::leaves(TEXTURE_SIZE));
}

void TownProps::house(Vec3 base, float heading, float width, float depth, const HouseLook& look) {
    // Each kind of wall is its own surface, named after it, over its picture.
    const char* const names[3] = {"house_plaster", "house_brick", "house_wood"};
    const char* const pictures[3] = {"plaster_white.bmp", "brick.bmp", "wood.bmp"};
    const int kind = static_cast<int>(look.walls);
    MeshBuilder& mesh = m_track.scenery();
    const uint16_t walls = mesh.surface(shaded(names[kind], pictures[kind]));
    SurfaceLook roofLook = shaded("house_roof", "roof_tiles.bmp");
    roofLook.doubleSided = true;
    const uint16_t roof = mesh.surface(roofLook);
    const uint16_t frame = mesh.surface(shaded("window_frame", ""));
    SurfaceLook glassLook = shaded("window_glass", "");
    glassLook.specular = 0.6f;
    const uint16_t glass = mesh.surface(glassLook);
    const uint16_t door = mesh.surface(shaded("house_door", "wood.bmp"));

    const Frame f{base, heading};
    const float h = look.wallHeight, w = width * 0.5f, d = depth * 0.5f;
    mesh.box(walls, f.at(0.0f, h * 0.5f, 0.0f), {width, h, depth}, heading, 3.0f, look.wallTint);

    // The roof: two slopes from the eaves to the ridge over the middle, gables under them.
    const float eaveY = h - 0.3f, ridgeY = h + look.roofRise;
    const float x = w + EAVES, z = d + EAVES;
    const float slope = std::hypot(z, ridgeY - eaveY);
    for (float side : {1.0f, -1.0f}) {
        Corner cs[4] = {{f.at(-x, eaveY, side * z), 0.0f, slope / 2.5f, look.roofTint},
                        {f.at(x, eaveY, side * z), 2.0f * x / 2.5f, slope / 2.5f, look.roofTint},
                        {f.at(x, ridgeY, 0.0f), 2.0f * x / 2.5f, 0.0f, look.roofTint},
                        {f.at(-x, ridgeY, 0.0f), 0.0f, 0.0f, look.roofTint}};
        mesh.quadFacing(roof, f.dir(0.0f, z, side * (ridgeY - eaveY)), cs[0], cs[1], cs[2], cs[3]);
        Corner g[3] = {{f.at(side * w, h, d), d / 3.0f, 0.0f, look.wallTint},
                       {f.at(side * w, h, -d), -d / 3.0f, 0.0f, look.wallTint},
                       {f.at(side * w, ridgeY, 0.0f), 0.0f, -look.roofRise / 3.0f, look.wallTint}};
        triangleFacing(mesh, walls, f.dir(side, 0.0f, 0.0f), g[0], g[1], g[2]);
    }
    if (look.chimney) {
        const float cz = -d * 0.45f;
        const float roofThere = ridgeY - (ridgeY - eaveY) * (-cz / z);
        mesh.box(walls, f.at(w * 0.45f, roofThere + 0.4f, cz), {0.7f, 1.8f, 0.7f}, heading, 1.0f,
                 {0.75f, 0.42f, 0.35f});
    }
    if (!look.windows) return;

    const Rgb glassShade{0.3f, 0.36f, 0.45f};
    const int columns = std::max(2, static_cast<int>(width / 3.2f));
    for (int c = 0; c < columns; ++c) {
        const float wx = -w + width * (static_cast<float>(c) + 0.5f) / static_cast<float>(columns);
        const bool doorHere = c == columns / 2;
        for (float side : {1.0f, -1.0f}) {
            if (h > 4.5f)
                opening(mesh, frame, glass, f, {wx, h - 1.6f, side * d}, {0, 0, side}, 1.2f, 1.3f, glassShade);
            if (doorHere && side > 0.0f) {
                facadeRect(mesh, door, f, {wx, 1.1f, d + FRAME_OUT}, {1, 0, 0}, {0, 1, 0}, 0.6f, 1.1f, {0, 0, 1},
                           {0.8f, 0.55f, 0.4f});
                continue;
            }
            opening(mesh, frame, glass, f, {wx, 1.6f, side * d}, {0, 0, side}, 1.3f, 1.2f, glassShade);
        }
    }
    for (float side : {1.0f, -1.0f})
        opening(mesh, frame, glass, f, {side * w, h + look.roofRise * 0.35f, 0.0f}, {side, 0, 0}, 0.9f, 1.0f,
                glassShade);
}

void TownProps::tree(Vec3 base, float height, float radius, Rgb leafTint) {
    MeshBuilder& mesh = m_track.scenery();
    const uint16_t trunk = mesh.surface(shaded("tree_trunk", "wood.bmp"));
    const uint16_t crown = mesh.surface(shaded("tree_crown", "leaves.bmp"));
    const float trunkTop = height * 0.4f;
    mesh.box(trunk, base + Vec3{0.0f, trunkTop * 0.5f, 0.0f}, {0.5f, trunkTop, 0.5f}, dice(base.x, base.z, 1), 1.0f,
             {0.55f, 0.45f, 0.4f});

    // Rings of the crown from its foot to its top, each a little lumpy.
    const int sides = 7;
    const float crownHeight = height - trunkTop + radius * 0.3f;
    const float y0 = height - crownHeight;
    const float heights[5] = {0.0f, 0.25f, 0.55f, 0.85f, 1.0f};
    const float widths[5] = {0.15f, 0.85f, 1.0f, 0.65f, 0.05f};
    std::vector<std::vector<Corner>> rings;
    for (int r = 0; r < 5; ++r) {
        std::vector<Corner> ring;
        for (int i = 0; i < sides; ++i) {
            const float a = 2.0f * PI * static_cast<float>(i) / sides;
            const float lump = 0.8f + 0.4f * dice(base.x + static_cast<float>(i), base.z + static_cast<float>(r), 2);
            const float k = radius * widths[r] * (r == 0 || r == 4 ? 1.0f : lump);
            const float y = y0 + crownHeight * heights[r];
            const float tint = 0.85f + 0.3f * dice(base.x, base.z + static_cast<float>(i), 3);
            ring.push_back({base + Vec3{std::sin(a) * k, y, std::cos(a) * k}, static_cast<float>(i) * 0.6f,
                            -y / 3.0f, {leafTint.r * tint, leafTint.g * tint, leafTint.b * tint}});
        }
        rings.push_back(ring);
    }
    for (int r = 0; r + 1 < 5; ++r)
        for (int i = 0; i < sides; ++i) {
            const int j = (i + 1) % sides;
            const Vec3 mid = (rings[r][i].p + rings[r + 1][j].p) * 0.5f;
            const Vec3 outward = mid - (base + Vec3{0.0f, y0 + crownHeight * 0.5f, 0.0f});
            mesh.quadFacing(crown, outward, rings[r][i], rings[r][j], rings[r + 1][j], rings[r + 1][i]);
        }
}

void TownProps::fir(Vec3 base, float height, float radius) {
    MeshBuilder& mesh = m_track.scenery();
    const uint16_t trunk = mesh.surface(shaded("tree_trunk", "wood.bmp"));
    const uint16_t cone = mesh.surface(shaded("fir_needles", "leaves.bmp"));
    mesh.box(trunk, base + Vec3{0.0f, height * 0.15f, 0.0f}, {0.4f, height * 0.3f, 0.4f}, 0.0f, 1.0f,
             {0.5f, 0.4f, 0.35f});
    const int sides = 8;
    const Rgb dark{0.45f, 0.6f, 0.45f};
    for (int tier = 0; tier < 3; ++tier) {
        const float foot = height * (0.15f + 0.25f * static_cast<float>(tier));
        const float top = foot + height * 0.45f;
        const float r = radius * (1.0f - 0.28f * static_cast<float>(tier));
        const Corner apex{base + Vec3{0.0f, top, 0.0f}, 0.0f, 0.0f, dark};
        for (int i = 0; i < sides; ++i) {
            const float a0 = 2.0f * PI * static_cast<float>(i) / sides;
            const float a1 = 2.0f * PI * static_cast<float>(i + 1) / sides;
            const Corner c0{base + Vec3{std::sin(a0) * r, foot, std::cos(a0) * r}, static_cast<float>(i), 1.0f, dark};
            const Corner c1{base + Vec3{std::sin(a1) * r, foot, std::cos(a1) * r}, static_cast<float>(i + 1), 1.0f,
                            dark};
            const Vec3 outward{std::sin(a0) + std::sin(a1), r / (top - foot), std::cos(a0) + std::cos(a1)};
            triangleFacing(mesh, cone, outward, c0, c1, apex);
            triangleFacing(mesh, cone, {0.0f, -1.0f, 0.0f}, c0, c1, {base + Vec3{0.0f, foot, 0.0f}, 0.0f, 0.0f, dark});
        }
    }
}

void TownProps::lamp(Vec3 base, float heading) {
    SurfaceLook postLook = shaded("lamp_post", "");
    postLook.specular = 0.3f;
    const Rgb steel{0.35f, 0.37f, 0.4f};
    MeshBuilder& walls = m_track.walls();
    walls.box(walls.surface(postLook), base + Vec3{0.0f, 2.25f, 0.0f}, {0.2f, 4.5f, 0.2f}, heading, 1.0f, steel);
    MeshBuilder& scenery = m_track.scenery();
    const Vec3 along = headingDirection(heading);
    scenery.box(scenery.surface(postLook), base + along * 0.6f + Vec3{0.0f, 4.45f, 0.0f}, {0.12f, 0.12f, 1.2f},
                heading, 1.0f, steel);
    SurfaceLook head;
    head.name = "lamp_head";
    head.colour = {1.0f, 0.95f, 0.8f};
    head.luminosity = 0.9f;
    scenery.box(scenery.surface(head), base + along * 1.2f + Vec3{0.0f, 4.3f, 0.0f}, {0.35f, 0.2f, 0.6f}, heading);
}
