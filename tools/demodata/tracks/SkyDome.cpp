#include "tools/demodata/tracks/SkyDome.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <future>
#include <map>
#include <mutex>
#include <string>

#include "tools/demodata/tracks/MeshBuilder.h"
#include "tools/demodata/tracks/Noise.h"
#include "tools/demodata/tracks/TrackBuilder.h"
#include "sys/Pi.h"

namespace SkyDome {
namespace {

constexpr float DEGREE = PI / 180.0f;
constexpr int PICTURE_SIZE = 512;
// Far beyond every track's ground (the world ends at 250), so the sky hardly
// moves as the karts drive about in it.
constexpr float RADIUS = 1000.0f;
constexpr int SIDES = 24;
// Rings of the dome, dense where the eye looks: just above the horizon. Its
// skirt reaches below every ground edge a kart's camera sees; it stays open
// below, out of sight of a camera looking straight down from high above.
constexpr std::array<float, 9> RINGS{{-30.0f, -8.0f, 0.0f, 4.0f, 10.0f, 20.0f, 35.0f, 55.0f, 90.0f}};
// The picture spends its ring from the zenith down to this elevation; below
// it lies nothing but far land.
constexpr float LOWEST = -10.0f * DEGREE;
constexpr float RIM = 0.48f;
// How fast the haze gives way to the zenith's blue going up, in radians.
constexpr float HAZE_DEPTH = 0.2f;
// The far land's ridge rises up to this far over the horizon.
constexpr float RIDGE = 2.2f * DEGREE;
// Clouds lie on a plane one unit over the eye, this many noise cells a unit.
constexpr float CLOUD_CELLS = 1.6f;
constexpr int CLOUD_PERIOD = 4096;
// The picture is worked out at four points a pixel: far clouds would flicker otherwise.
constexpr int SAMPLES = 2;

Rgb blend(Rgb a, Rgb b, float t) { return mix(a, b, std::clamp(t, 0.0f, 1.0f)); }

// How far from the picture's middle an elevation lies, in texture units.
float ringOf(float elevation) {
    return RIM * (PI * 0.5f - std::max(elevation, LOWEST)) / (PI * 0.5f - LOWEST);
}

// A point of the dome in a direction (the toolkit's heading and the
// elevation) and its place in the picture, north (+z) to the top.
MeshBuilder::Corner corner(float heading, float elevation, float radius) {
    const float r = ringOf(elevation);
    MeshBuilder::Corner c;
    c.p = Vec3{std::sin(heading) * std::cos(elevation), std::sin(elevation), std::cos(heading) * std::cos(elevation)} *
          radius;
    c.u = 0.5f + r * std::sin(heading);
    c.v = 0.5f - r * std::cos(heading);
    return c;
}

// A triangle of the dome, turned to show on its inside.
void facingIn(MeshBuilder& mesh, uint16_t surface, const MeshBuilder::Corner& a, const MeshBuilder::Corner& b,
              const MeshBuilder::Corner& c) {
    const Vec3 centre = (a.p + b.p + c.p) * (1.0f / 3.0f);
    if (dot(cross(b.p - a.p, c.p - a.p), centre) > 0.0f)
        mesh.triangle(surface, a, c, b);
    else
        mesh.triangle(surface, a, b, c);
}

class Painter {
public:
    explicit Painter(const Sky& sky) : m_sky(sky), m_clouds(9101), m_ridge(9102) {}

    Rgb at(float heading, float elevation) const {
        // Towards the sun the haze glows, and its glow reaches higher.
        const float towards = std::pow(0.5f + 0.5f * std::cos(heading - m_sky.glowHeading), 3.0f);
        const Rgb haze = blend(m_sky.horizon, m_sky.glow, towards);
        const float depth = HAZE_DEPTH * (1.0f + towards);
        const float up = std::max(elevation, 0.0f);
        Rgb sky = blend(haze, m_sky.zenith, 1.0f - std::exp(-up / depth));
        sky = cloudsOver(sky, haze, heading, elevation);
        // Far land under a soft ridge, paler the nearer the horizon it shows.
        const float ridge = RIDGE * m_ridge.fractal(heading / (2.0f * PI) * 48.0f, 0.5f, 48, 4);
        const float land = smoothstep(ridge + 0.15f * DEGREE, ridge - 0.15f * DEGREE, elevation);
        const Rgb far = blend(haze, m_sky.land, 0.45f + smoothstep(0.0f, -5.0f * DEGREE, elevation) * 0.55f);
        return blend(sky, far, land);
    }

private:
    Rgb cloudsOver(Rgb sky, Rgb haze, float heading, float elevation) const {
        if (elevation < 2.0f * DEGREE) return sky;
        const float reach = 1.0f / std::tan(elevation);
        const float x = std::sin(heading) * reach * CLOUD_CELLS + CLOUD_PERIOD * 0.5f;
        const float z = std::cos(heading) * reach * CLOUD_CELLS + CLOUD_PERIOD * 0.5f;
        const float n = m_clouds.fractal(x, z, CLOUD_PERIOD, 5);
        // The noise seldom climbs far over its middle: none of it reaches 1, where no cloud is left.
        const float edge = 1.0f - 1.1f * m_sky.cover;
        const float body = smoothstep(edge, edge + 0.1f, n);
        const float core = smoothstep(edge + 0.06f, edge + 0.22f, n);
        // Far clouds thin into the haze, and stop short of the horizon where they would flicker.
        const float near = smoothstep(4.0f * DEGREE, 16.0f * DEGREE, elevation);
        const Rgb cloud = blend(blend(m_sky.cloudLit, m_sky.cloudShade, core * near), haze, 0.5f * (1.0f - near));
        return blend(sky, cloud, body * near);
    }

    const Sky& m_sky;
    Noise m_clouds, m_ridge;
};

// Tracks under the same sky share its picture: it is painted once, by the
// first track that asks, while the others wait for it.
const Picture& paintedOnce(const Sky& sky) {
    static std::mutex lock;
    static std::map<std::string, std::shared_future<Picture>> painted;
    std::shared_future<Picture> job;
    {
        const std::lock_guard<std::mutex> guard(lock);
        auto found = painted.find(sky.name);
        if (found == painted.end())
            found = painted.emplace(sky.name, std::async(std::launch::async, picture, sky, PICTURE_SIZE)).first;
        job = found->second;
    }
    return job.get();
}

} // namespace

Sky day() {
    Sky s;
    s.name = "day";
    s.zenith = rgb(0.2f, 0.4f, 0.78f);
    s.horizon = rgb(0.72f, 0.8f, 0.9f);
    s.glow = rgb(0.86f, 0.88f, 0.9f);
    s.glowHeading = 0.6f;
    s.land = rgb(0.42f, 0.5f, 0.5f);
    s.cloudLit = rgb(0.98f, 0.98f, 0.97f);
    s.cloudShade = rgb(0.72f, 0.75f, 0.82f);
    s.cover = 0.4f;
    return s;
}

Sky dusk() {
    Sky s;
    s.name = "dusk";
    s.zenith = rgb(0.03f, 0.04f, 0.13f);
    s.horizon = rgb(0.16f, 0.14f, 0.28f);
    s.glow = rgb(0.85f, 0.42f, 0.2f);
    s.glowHeading = -PI * 0.5f;
    s.land = rgb(0.04f, 0.04f, 0.07f);
    s.cloudLit = rgb(0.32f, 0.22f, 0.3f);
    s.cloudShade = rgb(0.1f, 0.09f, 0.15f);
    s.cover = 0.32f;
    return s;
}

Picture picture(const Sky& sky, int size) {
    const Painter painter(sky);
    Picture out(size, size);
    const float step = 1.0f / static_cast<float>(size * SAMPLES);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Rgb sum;
            for (int sy = 0; sy < SAMPLES; ++sy)
                for (int sx = 0; sx < SAMPLES; ++sx) {
                    const float u = (static_cast<float>(x * SAMPLES + sx) + 0.5f) * step - 0.5f;
                    const float v = (static_cast<float>(y * SAMPLES + sy) + 0.5f) * step - 0.5f;
                    const float elevation = PI * 0.5f - std::hypot(u, v) / RIM * (PI * 0.5f - LOWEST);
                    const Rgb c = painter.at(std::atan2(u, -v), elevation);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            const float k = 1.0f / static_cast<float>(SAMPLES * SAMPLES);
            out.at(x, y) = {sum.r * k, sum.g * k, sum.b * k};
        }
    return out;
}

void dome(MeshBuilder& mesh, uint16_t surface, float radius) {
    for (size_t ring = 0; ring + 1 < RINGS.size(); ++ring) {
        const float e0 = RINGS[ring] * DEGREE, e1 = RINGS[ring + 1] * DEGREE;
        for (int side = 0; side < SIDES; ++side) {
            const float h0 = 2.0f * PI * side / SIDES, h1 = 2.0f * PI * (side + 1) / SIDES, middle = (h0 + h1) * 0.5f;
            const MeshBuilder::Corner a = corner(h0, e0, radius), b = corner(h1, e0, radius);
            const MeshBuilder::Corner c = corner(h1, e1, radius), d = corner(h0, e1, radius);
            // At the zenith the side narrows to a point.
            if (ring + 2 == RINGS.size())
                facingIn(mesh, surface, a, b, corner(middle, e1, radius));
            else
                mesh.quadFacing(surface, corner(middle, e0, radius).p * -1.0f, a, b, c, d);
        }
    }
}

void raise(TrackBuilder& track, const Sky& sky) {
    const std::string name = "sky_" + sky.name;
    const std::string file = "D:\\Vantorik/3dobjects_tracks/" + name + ".lwo";
    SurfaceLook look;
    look.name = name;
    look.colour = grey(1.0f);
    // Lit by itself alone: the scene's sun and ambient light leave it as painted.
    look.diffuse = 0.0f;
    look.luminosity = 1.0f;
    look.texture = track.texture(name + ".bmp", paintedOnce(sky));
    MeshBuilder mesh;
    mesh.layer(name);
    dome(mesh, mesh.surface(look), RADIUS);
    LwsObject object;
    object.fileName = file;
    object.item.motion = lwsStillMotion({0.0f, 0.0f, 0.0f});
    // Said outright: fogged, it would fade to the fog's colour, all of it lying beyond the fog's far end.
    object.unaffectedByFog = 1;
    track.scene().objects.push_back(object);
    track.addFile({file, mesh.bytes()});
}

} // namespace SkyDome
