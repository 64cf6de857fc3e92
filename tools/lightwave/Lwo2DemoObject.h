#pragma once
#include "tools/lightwave/Lwo2Object.h"

// A unit cube in two layers (body and lid) with two surfaces, a UV map, a
// discontinuous UV seam, a weight map, vertex colours, an envelope, a still
// image and a textured surface: every chunk kind the loader reads.
Lwo2Object lwo2DemoCube();
