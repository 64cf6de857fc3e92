#pragma once
#include <string>
#include <vector>

#include "tools/demodata/tracks/MeshBuilder.h"

// What a SurfaceLook leaves out: a planar mirror and see-through glass. The
// engine takes a mirror's plane from the first three points of the object's
// first layer, through the object's origin, so a mirror gets an object (and a
// layer) of its own, laid flat through its pivot.
struct SurfaceFinish {
    std::string surface; // SurfaceLook name
    float reflection = 0.0f;
    float transparency = 0.0f;
};

// The object file of `mesh` with the finishes put on their surfaces.
std::string finishedObjectBytes(const MeshBuilder& mesh, const std::vector<SurfaceFinish>& finishes);
