#include "tools/demodata/tracks/TrackProps.h"

#include <algorithm>
#include <cmath>

#include "tools/demodata/tracks/Noise.h"
#include "sys/Pi.h"

namespace TrackProps {
namespace {

constexpr int AROUND = 8;

// Texture coordinates from the position, so leaves and bark never stretch.
MeshBuilder::Corner at(Vec3 p, float texel) { return {p, (p.x + p.z) / texel, -p.y / texel}; }

// A triangle turned so that it shows towards `outward`.
void triangleFacing(MeshBuilder& mesh, uint16_t surface, Vec3 outward, Vec3 a, Vec3 b, Vec3 c, float texel) {
    if (dot(cross(b - a, c - a), outward) < 0.0f)
        mesh.triangle(surface, at(a, texel), at(c, texel), at(b, texel));
    else
        mesh.triangle(surface, at(a, texel), at(b, texel), at(c, texel));
}

Vec3 around(float angle) { return {std::sin(angle), 0.0f, std::cos(angle)}; }

// An upright cone from a ring of `radius` at `base` to its tip `height` above.
void cone(MeshBuilder& mesh, uint16_t surface, Vec3 base, float radius, float height, float twist) {
    const Vec3 tip = base + Vec3{0.0f, height, 0.0f};
    for (int i = 0; i < AROUND; ++i) {
        const float a0 = twist + 2.0f * PI * i / AROUND, a1 = twist + 2.0f * PI * (i + 1) / AROUND;
        const Vec3 p0 = base + around(a0) * radius, p1 = base + around(a1) * radius;
        triangleFacing(mesh, surface, around((a0 + a1) * 0.5f) + Vec3{0.0f, 0.3f, 0.0f}, p0, p1, tip, 2.0f);
        triangleFacing(mesh, surface, {0.0f, -1.0f, 0.0f}, base, p0, p1, 2.0f);
    }
}

} // namespace

SurfaceLook look(const std::string& name, Rgb colour, const std::string& texture, float luminosity) {
    SurfaceLook l;
    l.name = name;
    l.colour = colour;
    l.texture = texture;
    l.luminosity = luminosity;
    l.vertexColours = luminosity == 0.0f;
    return l;
}

Rgb scaled(Rgb colour, float k) { return {colour.r * k, colour.g * k, colour.b * k}; }

void fill(Picture& picture, int x0, int y0, int x1, int y1, Rgb colour) {
    for (int y = std::max(y0, 0); y < std::min(y1, picture.height()); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, picture.width()); ++x) picture.at(x, y) = colour;
}

std::vector<CentrelinePoint> resampled(const std::vector<CentrelinePoint>& design, float spacing) {
    const Centreline line(design);
    std::vector<CentrelinePoint> out;
    for (const Centreline::Frame& f : line.frames(spacing))
        out.push_back({f.position.x, f.position.z, f.position.y, f.width, f.bank});
    return out;
}

void trunk(MeshBuilder& mesh, uint16_t bark, const Tree& tree) {
    const float radius = tree.fir ? 0.15f : 0.12f + tree.height * 0.02f;
    mesh.cylinder(bark, tree.base, radius, tree.height * (tree.fir ? 0.3f : 0.4f) + 0.5f, 6, 1.0f);
}

void crown(MeshBuilder& mesh, uint16_t leaves, const Tree& tree) {
    const Noise dice(tree.seed);
    if (tree.fir) {
        const float width = tree.height * (0.28f + 0.05f * dice.lattice(1, 0, 64));
        for (int tier = 0; tier < 3; ++tier)
            cone(mesh, leaves, tree.base + Vec3{0.0f, tree.height * (0.18f + 0.24f * tier), 0.0f},
                 width * (1.0f - 0.25f * tier), tree.height * 0.42f, dice.lattice(tier, 1, 64));
        return;
    }
    // Rings of latitude round the crown's centre, each point pushed in or out a little.
    const float radius = tree.height * (0.3f + 0.06f * dice.lattice(0, 0, 64));
    const Vec3 centre = tree.base + Vec3{0.0f, tree.height * 0.4f + radius * 0.8f, 0.0f};
    const int rings = 5;
    auto point = [&](int ring, int i) {
        if (ring == 0) return centre - Vec3{0.0f, radius * 0.75f, 0.0f};
        if (ring == rings) return centre + Vec3{0.0f, radius * 0.9f, 0.0f};
        const float lat = -PI * 0.5f + PI * ring / rings;
        const float lump = 0.8f + 0.4f * dice.lattice(ring, i % AROUND, 64);
        const Vec3 d = around(2.0f * PI * i / AROUND) * std::cos(lat) + Vec3{0.0f, std::sin(lat) * 0.85f, 0.0f};
        return centre + d * (radius * lump);
    };
    for (int ring = 0; ring < rings; ++ring)
        for (int i = 0; i < AROUND; ++i) {
            const Vec3 a = point(ring, i), b = point(ring, i + 1), c = point(ring + 1, i + 1), d = point(ring + 1, i);
            const Vec3 outward = (a + b + c + d) * 0.25f - centre;
            if (ring > 0) triangleFacing(mesh, leaves, outward, a, b, c, 3.0f);
            if (ring + 1 < rings) triangleFacing(mesh, leaves, outward, a, c, d, 3.0f);
        }
}

void lampPost(MeshBuilder& mesh, uint16_t pole, uint16_t glow, Vec3 base, float height, float heading) {
    mesh.cylinder(pole, base, 0.09f, height, 6, 1.0f);
    const Vec3 arm = headingDirection(heading) * 0.6f;
    mesh.box(pole, base + arm * 0.5f + Vec3{0.0f, height, 0.0f}, {0.08f, 0.08f, 0.7f}, heading, 1.0f);
    mesh.box(glow, base + arm + Vec3{0.0f, height - 0.15f, 0.0f}, {0.35f, 0.25f, 0.5f}, heading, 1.0f);
}

void car(MeshBuilder& mesh, const CarLook& look, Vec3 base, float heading) {
    const Vec3 along = headingDirection(heading), side{along.z, 0.0f, -along.x};
    mesh.box(look.paint, base + Vec3{0.0f, 0.72f, 0.0f}, {CAR_SIZE.x, 0.62f, CAR_SIZE.z}, heading, 2.0f);
    mesh.box(look.glass, base + Vec3{0.0f, 1.22f, 0.0f} - along * 0.25f, {1.6f, 0.42f, 2.1f}, heading, 2.0f);
    mesh.box(look.paint, base + Vec3{0.0f, 1.44f, 0.0f} - along * 0.3f, {1.62f, 0.04f, 1.9f}, heading, 2.0f);
    for (float end : {-1.0f, 1.0f}) {
        // An axle's two wheels, and the lamps at that end.
        mesh.box(look.tyre, base + along * (end * 1.3f) + Vec3{0.0f, 0.33f, 0.0f}, {CAR_SIZE.x + 0.1f, 0.64f, 0.64f},
                 heading, 1.0f);
        for (float s : {-0.6f, 0.6f})
            mesh.box(look.lamp, base + along * (end * 2.1f) + side * s + Vec3{0.0f, 0.8f, 0.0f}, {0.35f, 0.15f, 0.04f},
                     heading, 1.0f);
    }
}

void trafficCone(MeshBuilder& mesh, uint16_t orange, uint16_t white, Vec3 base) {
    mesh.box(orange, base + Vec3{0.0f, 0.03f, 0.0f}, {0.55f, 0.06f, 0.55f}, 0.0f, 1.0f);
    cone(mesh, orange, base + Vec3{0.0f, 0.06f, 0.0f}, 0.24f, CONE_HEIGHT - 0.06f, 0.0f);
    mesh.cylinder(white, base + Vec3{0.0f, 0.42f, 0.0f}, 0.125f, 0.12f, AROUND, 1.0f);
}

} // namespace TrackProps
