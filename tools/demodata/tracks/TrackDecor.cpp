#include "tools/demodata/tracks/TrackDecor.h"

#include <cmath>

#include "tools/demodata/tracks/TrackTextures.h"

namespace TrackDecor {

float dice(float x, float z, int salt) {
    // To a tenth of a unit, so points a step apart on a walk still differ.
    uint32_t h = static_cast<uint32_t>(static_cast<int>(std::floor(x * 10.0f))) * 73856093u ^
                 static_cast<uint32_t>(static_cast<int>(std::floor(z * 10.0f))) * 19349663u ^
                 static_cast<uint32_t>(salt) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xFFFF) / 65535.0f;
}

SurfaceLook shaded(const std::string& name, const std::string& file, Rgb tint) {
    SurfaceLook look;
    look.name = name;
    look.colour = tint;
    if (!file.empty()) look.texture = TrackTextures::clipName(file);
    look.vertexColours = true;
    return look;
}

float along(const Centreline& line, Vec3 p) { return line.nearest(p.x, p.z).s; }

} // namespace TrackDecor
