#pragma once
#include <cstdint>
#include <vector>

#include "tools/demodata/mopeds/Shape.h"

// Faces no camera can see: those of a part lying wholly inside another closed,
// opaque part that moves with it (the same bone weights). A face is kept where
// a face left standing would smooth its normals with it, so every picture
// stays as it was; only the work of drawing them goes.
namespace HiddenFaces {

// One flag a face, true where the face can go. `surfaces` by surface tag.
std::vector<bool> find(const std::vector<Vec3>& points, const std::vector<Weights>& pointWeights,
                       const std::vector<std::vector<uint32_t>>& faces, const std::vector<uint16_t>& faceSurfaces,
                       const std::vector<Lwo2Surface>& surfaces);

} // namespace HiddenFaces
