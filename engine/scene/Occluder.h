#pragma once
#include "engine/platform/Math3D.h"

class CullingPlane;

// A culling plane as the current camera sees it, in the projected space
// (x, y, w) where the eye is the origin: four side planes through the eye and
// the quad's edges, and the quad's own plane.
struct Occluder {
    // Pointing into the quad.
    Normal3 sidePlanes[4] = {};
    Position3 eye = {0.0f, 0.0f, 0.0f};
    Position3 quadPoint = {0.0f, 0.0f, 0.0f};
    // Towards the quad's front.
    Normal3 quadNormal = {0.0f, 0.0f, 0.0f};
};

// The plane's occluder, as its last makeOccluder left it.
const Occluder& occluderOf(const CullingPlane& plane);
// Builds the plane's occluder from the first polygon of its first mesh;
// `viewProjection` takes the object's points into clip space. True only when
// the quad is usable and faces the camera.
bool makeOccluder(CullingPlane& plane, const Matrix4x3& viewProjection);
// The same from the quad's corners in object space, in polygon order (three or four).
bool makeOccluder(Occluder& occluder, const Position3* corners, int count, const Matrix4x3& viewProjection);
// Clip-space point (x, y, z, w); z is not used. Strictly inside all four side
// planes and strictly behind the quad.
bool occluderHidesPoint(const float point[4], const Occluder& occluder);
bool occluderHidesBox(const float corners[8][4], const Occluder& occluder);
