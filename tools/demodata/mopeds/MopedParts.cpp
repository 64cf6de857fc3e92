#include "tools/demodata/mopeds/MopedParts.h"

#include <algorithm>

#include "tools/demodata/mopeds/Paint.h"

namespace MopedParts {
namespace {

constexpr std::array<float, 3> COLOURS[4] = {
    {0.08f, 0.26f, 0.82f}, {0.10f, 0.58f, 0.16f}, {0.96f, 0.36f, 0.70f}, {0.80f, 0.06f, 0.06f}};

using Profile = std::vector<std::array<float, 2>>;

void spokedHub(Shape& shape, const Frame& axle, float width) {
    shape.revolve(axle, {{0.0f, -width}, {0.055f, -width}, {0.06f, -width * 0.7f}, {0.048f, -width * 0.5f},
                         {0.048f, width * 0.5f}, {0.06f, width * 0.7f}, {0.055f, width}, {0.0f, width}},
                  16);
}

void knobs(Shape& shape, const Frame& axle, const Wheel& w) {
    const int count = 30;
    for (int k = 0; k < count; ++k) {
        float a = 2.0f * PI * float(k) / float(count);
        Vec3 radial = axle.x * std::cos(a) + axle.y * std::sin(a);
        Vec3 tangent = axle.y * std::cos(a) - axle.x * std::sin(a);
        float side = (k % 2 ? 0.35f : -0.35f) * w.tyre;
        Frame knob = Frame::along(axle.origin + radial * (w.radius - 0.004f) + axle.z * side, tangent, radial);
        shape.box(knob, {w.tyre * 0.55f, 0.012f, 0.016f});
    }
}

} // namespace

std::vector<std::string> tags() {
    return {"dynamic_main", "dynamic_main_metal", "dynamic_reifen", "chrom", "schwarz", "sitz",
            "motor",        "licht",              "ruecklicht",     "scheibe", "weiss"};
}

std::array<float, 3> bodyColour(int colour) { return COLOURS[colour]; }

std::vector<Lwo2Surface> surfaces(int colour) {
    const std::array<float, 3> c = COLOURS[colour];
    Paint main{c, 0.8f, 0.5f, 0.55f};
    Paint metal{{c[0] * 0.7f + 0.18f, c[1] * 0.7f + 0.18f, c[2] * 0.7f + 0.18f}, 0.7f, 0.85f, 0.75f};
    metal.colourHighlights = 0.7f;
    Paint tyre{{0.07f, 0.07f, 0.07f}, 0.9f, 0.08f, 0.2f};
    tyre.smoothingDegrees = 70.0f;
    Paint chrome{{0.78f, 0.80f, 0.84f}, 0.55f, 0.95f, 0.85f};
    Paint black{{0.09f, 0.09f, 0.10f}, 0.8f, 0.25f, 0.4f};
    Paint seat{{0.13f, 0.10f, 0.08f}, 0.85f, 0.3f, 0.45f};
    Paint engine{{0.55f, 0.56f, 0.58f}, 0.8f, 0.45f, 0.5f};
    Paint lamp{{1.0f, 0.97f, 0.85f}, 0.6f, 0.9f, 0.8f, 0.75f};
    Paint tail{{0.9f, 0.06f, 0.04f}, 0.7f, 0.7f, 0.7f, 0.45f};
    Paint screen{{0.35f, 0.42f, 0.5f}, 0.6f, 0.9f, 0.9f, 0.0f, 0.55f};
    screen.doubleSided = true;
    Paint white{{0.92f, 0.92f, 0.90f}, 0.85f, 0.35f, 0.45f};
    const Paint paints[] = {main, metal, tyre, chrome, black, seat, engine, lamp, tail, screen, white};
    std::vector<Lwo2Surface> out;
    std::vector<std::string> names = tags();
    for (size_t i = 0; i < names.size(); ++i) out.push_back(paints[i].surface(names[i]));
    return out;
}

void wheel(Shape& shape, Vec3 centre, const Wheel& w) {
    const Frame axle = Frame::axle(centre);
    const float inner = w.radius - 2.0f * w.tyre;
    shape.setSurface(TYRE);
    shape.torus(axle, w.radius - w.tyre, w.tyre, 40, 10);
    if (w.knobbly) knobs(shape, axle, w);
    if (w.whiteWall) {
        shape.setSurface(WHITE);
        for (float side : {-1.0f, 1.0f}) {
            float h = side * w.tyre * 0.97f, t = 0.004f;
            Profile band = {{inner + 0.2f * w.tyre, h - t}, {inner + 0.7f * w.tyre, h - t},
                            {inner + 0.7f * w.tyre, h + t}, {inner + 0.2f * w.tyre, h + t}};
            shape.revolve(axle, band, 40, true);
        }
    }
    shape.setSurface(w.rim);
    const float width = w.tyre * 0.9f;
    if (w.kind == Wheel::DISC) {
        shape.revolve(axle, {{0.0f, -width * 0.6f}, {inner + 0.01f, -width}, {inner + 0.01f, width}, {0.0f, width * 0.6f}},
                      28);
        shape.setSurface(CHROME);
        shape.ellipsoid(axle, {0.055f, 0.055f, width * 0.95f}, 16, 8);
        return;
    }
    shape.revolve(axle, {{inner - 0.012f, -width}, {inner + 0.006f, -width}, {inner + 0.006f, width}, {inner - 0.012f, width}},
                  40, true);
    if (w.kind == Wheel::CAST) {
        shape.revolve(axle, {{0.0f, -0.05f}, {0.065f, -0.05f}, {0.065f, 0.05f}, {0.0f, 0.05f}}, 16);
        for (int k = 0; k < w.spokes; ++k) {
            float a = 2.0f * PI * float(k) / float(w.spokes);
            Vec3 radial = axle.x * std::cos(a) + axle.y * std::sin(a);
            float mid = (0.06f + inner - 0.01f) * 0.5f;
            Frame spoke = Frame::along(centre + radial * mid, radial, axle.z);
            shape.box(spoke, {0.022f, 0.014f, (inner - 0.07f) * 0.5f});
        }
        return;
    }
    shape.setSurface(ENGINE);
    spokedHub(shape, axle, 0.05f);
    shape.setSurface(CHROME);
    for (int k = 0; k < w.spokes; ++k) {
        float a = 2.0f * PI * float(k) / float(w.spokes);
        float side = k % 2 ? 1.0f : -1.0f;
        float twist = (k / 2) % 2 ? 0.3f : -0.3f;
        Vec3 hub = axle.point({std::cos(a) * 0.052f, std::sin(a) * 0.052f, side * 0.04f});
        Vec3 rim = axle.point({std::cos(a + twist) * (inner - 0.008f), std::sin(a + twist) * (inner - 0.008f), side * 0.006f});
        shape.rod(hub, rim, 0.0035f, 3);
    }
}

void mudguard(Shape& shape, Vec3 centre, float radius, float halfWidth, float from, float to) {
    const float thick = 0.008f, bulge = halfWidth * 0.35f;
    Profile section;
    const int samples = 5;
    auto inner = [&](float h) { return radius + bulge * (1.0f - (h / halfWidth) * (h / halfWidth)); };
    for (int i = 0; i <= samples; ++i) {
        float h = -halfWidth + 2.0f * halfWidth * float(i) / float(samples);
        section.push_back({inner(h) + thick, h});
    }
    for (int i = samples; i >= 0; --i) {
        float h = -halfWidth + 2.0f * halfWidth * float(i) / float(samples);
        section.push_back({inner(h), h});
    }
    // The outer edge runs up, the inner edge back down: anticlockwise.
    section.insert(section.begin(), section.back());
    section.pop_back();
    shape.revolve(Frame::axle(centre), section, 24, true, from, to);
}

void headlamp(Shape& shape, const Frame& frame, float radius, float depth, uint16_t shell) {
    shape.setSurface(shell);
    shape.revolve(frame, {{0.0f, -depth}, {0.55f * radius, -0.85f * depth}, {0.9f * radius, -0.45f * depth},
                          {radius, -0.05f * depth}, {1.03f * radius, 0.0f}, {0.93f * radius, 0.01f}},
                  20);
    shape.setSurface(LAMP);
    shape.revolve(frame, {{0.93f * radius, 0.006f}, {0.6f * radius, 0.02f}, {0.0f, 0.028f}}, 20);
}

void slab(Shape& shape, const Frame& frame, const std::vector<std::array<float, 2>>& outline, float halfThickness) {
    float area = 0.0f;
    for (size_t i = 0; i < outline.size(); ++i) {
        const auto& a = outline[i];
        const auto& b = outline[(i + 1) % outline.size()];
        area += a[0] * b[1] - b[0] * a[1];
    }
    std::vector<std::array<float, 2>> points = outline;
    if (area < 0.0f) points.assign(outline.rbegin(), outline.rend());
    std::vector<Ring> rings(2);
    for (int side = 0; side < 2; ++side)
        for (const auto& p : points)
            rings[side].points.push_back(frame.point({p[0], p[1], side ? halfThickness : -halfThickness}));
    shape.loft(rings, true, true);
}

void lofted(Shape& shape, const std::vector<Section>& sections, int count) {
    std::vector<Ring> rings;
    for (const Section& s : sections) {
        if (s.halfWidth <= 0.0f) {
            rings.push_back(Ring{{{s.x, s.y, s.z}}, {}, true});
            continue;
        }
        rings.push_back(superellipse(Frame::at({s.x, s.y, s.z}), s.halfWidth, s.halfHeight, s.exponent, shape.steps(count)));
    }
    shape.loft(rings, true, true);
}

void swept(Shape& shape, const std::vector<Vec3>& path, const std::vector<float>& halfWidths,
           const std::vector<float>& halfHeights, Vec3 side, float exponent, int count) {
    std::vector<Ring> rings;
    const size_t n = path.size();
    for (size_t i = 0; i < n; ++i) {
        Vec3 d = normalised(path[std::min(i + 1, n - 1)] - path[i == 0 ? 0 : i - 1]);
        Vec3 x = normalised(side - d * dot(d, side));
        rings.push_back(
            superellipse(Frame{path[i], x, cross(d, x), d}, halfWidths[i], halfHeights[i], exponent, shape.steps(count)));
    }
    shape.loft(rings, true, true);
}

std::vector<float> spread(const std::vector<float>& keys, size_t count) {
    std::vector<float> out;
    for (size_t i = 0; i < count; ++i) {
        float at = count > 1 ? float(i) * float(keys.size() - 1) / float(count - 1) : 0.0f;
        size_t k = std::min(size_t(at), keys.size() - 2);
        out.push_back(keys[k] + (keys[k + 1] - keys[k]) * (at - float(k)));
    }
    return out;
}

void pairedTube(Shape& shape, const std::vector<Vec3>& path, float radius, int sides) {
    std::vector<Vec3> other;
    for (const Vec3& p : path) other.push_back(mirrored(p));
    shape.tube(path, radius, sides);
    shape.tube(other, radius, sides);
}

void handlebar(Shape& shape, const std::vector<Vec3>& rightHalf, float radius) {
    std::vector<Vec3> bar;
    for (auto it = rightHalf.rbegin(); it != rightHalf.rend(); ++it) bar.push_back(mirrored(*it));
    bar.insert(bar.end(), rightHalf.begin() + 1, rightHalf.end());
    bar = smoothPath(bar, 4);
    shape.setSurface(CHROME);
    shape.tube(bar, radius, 8);
    shape.setSurface(BLACK);
    const Vec3 end = rightHalf.back();
    const Vec3 way = normalised(end - rightHalf[rightHalf.size() - 2]);
    shape.rod(end - way * 0.1f, end + way * 0.01f, radius * 1.6f, 10);
    shape.rod(mirrored(end - way * 0.1f), mirrored(end + way * 0.01f), radius * 1.6f, 10);
}

void mirror(Shape& shape, Vec3 base, Vec3 head, float radius) {
    shape.setSurface(CHROME);
    shape.rod(base, head, 0.006f, 5);
    Frame glass = Frame::along(head, {head[0] * 0.3f, 0.0f, -1.0f});
    shape.ellipsoid(glass, {radius, radius * 0.8f, 0.012f}, 14, 6);
}

} // namespace MopedParts
