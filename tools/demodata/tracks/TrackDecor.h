#pragma once
#include <string>

#include "tools/demodata/tracks/Centreline.h"
#include "tools/demodata/tracks/MeshBuilder.h"

// Small helpers the housing estate, the country road and their props share.
namespace TrackDecor {

// A number from 0 to 1 for a place (x, z) and a salt, the same on every run:
// scatters houses, trees and tints alike each time the tracks are made.
float dice(float x, float z, int salt);

// A look drawn in its corners' colours, `tint` times the baked shade, over
// the shared track picture `file` (none when empty).
SurfaceLook shaded(const std::string& name, const std::string& file, Rgb tint = {1.0f, 1.0f, 1.0f});

// Distance along the lap of the road's point nearest to p.
float along(const Centreline& line, Vec3 p);

// A stretch of the lap from s0 to s1.
struct Stretch {
    float s0, s1;
    bool holds(float s) const { return s >= s0 && s <= s1; }
};

} // namespace TrackDecor
