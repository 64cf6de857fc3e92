#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/demodata/mopeds/Vec3.h"
#include "tools/lightwave/Lwo2Object.h"

// Pictures laid on the demo models through a UV map: each face of a chosen
// surface takes its coordinates from where it lies and the way it faces, so
// the two sides of a tank can read the same way round.
namespace PictureMapping {

inline constexpr const char* UV_MAP = "bild";

// (u, v) of a corner at `point` on a face looking along `normal` with its
// middle at `centre` (which keeps a face whole across a picture's seam).
using Rule = std::function<std::array<float, 2>(Vec3 point, Vec3 normal, Vec3 centre)>;

// Adds the UV map to the layer for the faces tagged with `surface`; corners
// that faces share but map apart are written per face.
void map(Lwo2Layer& layer, uint16_t surface, const Rule& rule);

// The clip name of a picture: LightWave's "D:/..." form of its archive name.
std::string clipName(const std::string& archiveName);

// A still clip of the picture; returns its index.
uint16_t addClip(Lwo2Object& object, const std::string& archiveName);

// The surface shows the clip through the UV map, its colour left white so
// that the picture's own colours show.
void showPicture(Lwo2Object& object, uint16_t surface, uint16_t clip);

} // namespace PictureMapping
