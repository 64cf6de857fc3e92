#include "tools/demodata/tracks/Track05Siedlung.h"

#include <algorithm>
#include <cmath>

#include "tools/demodata/tracks/TrackBuilder.h"

namespace Siedlung {
namespace {

// A street corner: where the kerbs' lines meet, the radius of the bend and
// the width of the street that leaves it.
struct Corner {
    float x, z, radius, width;
};

// Anticlockwise from the main street's west end: the main street, the
// maple road up the east side, the linden road back west, the garden alley
// north, the birch road along the top, down the west side and the school
// road's dog-leg home.
const Corner STREETS[] = {
    {-110.0f, -195.0f, 24.0f, 14.0f}, {195.0f, -195.0f, 30.0f, 12.0f}, {195.0f, 30.0f, 26.0f, 12.0f},
    {50.0f, 30.0f, 20.0f, 9.0f},      {50.0f, 200.0f, 20.0f, 12.0f},   {-195.0f, 200.0f, 30.0f, 12.0f},
    {-195.0f, -60.0f, 26.0f, 12.0f},  {-110.0f, -60.0f, 22.0f, 12.0f},
};
const Vec3 FINISH{-40.0f, 0.0f, -195.0f};
// Control points on the straights at most this far apart, so the curve stays straight between corners.
constexpr float STRAIGHT_SPACING = 8.0f;

Vec3 flat(float x, float z) { return {x, 0.0f, z}; }

} // namespace

std::vector<CentrelinePoint> centreline() {
    const int n = static_cast<int>(std::size(STREETS));
    std::vector<CentrelinePoint> points;
    for (int i = 0; i < n; ++i) {
        const Corner& c = STREETS[i];
        const Corner& before = STREETS[(i + n - 1) % n];
        const Corner& after = STREETS[(i + 1) % n];
        const Vec3 v = flat(c.x, c.z);
        const Vec3 in = (v - flat(before.x, before.z)).unit(), out = (flat(after.x, after.z) - v).unit();
        const float turn = std::atan2(in.x * out.z - in.z * out.x, in.dot(out));
        const float reach = c.radius * std::tan(std::fabs(turn) * 0.5f);
        // The fillet's arc, in steps about as long as those on the straights.
        const Vec3 t1 = v - in * reach;
        const Vec3 side = turn > 0.0f ? Vec3{-in.z, 0.0f, in.x} : Vec3{in.z, 0.0f, -in.x};
        const Vec3 centre = t1 + side * c.radius;
        const int arcSteps = std::max(2, static_cast<int>(std::ceil(std::fabs(turn) * c.radius / STRAIGHT_SPACING)));
        const float wide = std::max(before.width, c.width) + 2.0f;
        for (int k = 0; k <= arcSteps; ++k) {
            const float t = static_cast<float>(k) / static_cast<float>(arcSteps);
            const float a = turn * t;
            const Vec3 r = t1 - centre;
            const Vec3 p = centre + Vec3{r.x * std::cos(a) - r.z * std::sin(a), 0.0f, r.x * std::sin(a) + r.z * std::cos(a)};
            const float width = t < 0.5f ? before.width + (wide - before.width) * 2.0f * t
                                         : c.width + (wide - c.width) * 2.0f * (1.0f - t);
            points.push_back({p.x, p.z, 0.0f, width});
        }
        const Vec3 t2 = v + out * reach;
        const Vec3 end = flat(after.x, after.z) - out * (after.radius * std::tan(std::fabs(turn) * 0.5f));
        const float straight = (end - t2).length();
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
    TrackBuilder::RoadLook look;
    look.surface.name = "road";
    track.road(look, 0.0f, track.line().length());
    return track.files();
}

} // namespace Siedlung
