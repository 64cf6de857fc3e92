#include "engine/scene/Occluder.h"

#include "engine/scene/CullingPlane.h"
#include "engine/scene/mesh/Mesh.h"

namespace {

constexpr float FACING = 1e-6f;
// Corners nearer the eye plane than this give no usable side planes.
constexpr float MIN_DEPTH = 1e-6f;
// How far (relative) a corner may stray outside another edge's plane before the quad counts as not convex.
constexpr float CONVEX_SLACK = 1e-5f;

// Object point to projected (x, y, w).
Position3 project(const Position3& p, const Matrix4x3& m) {
    auto column = [&](int c) { return p.x * m.at(0, c) + p.y * m.at(1, c) + p.z * m.at(2, c) + m.at(3, c); };
    return {column(0), column(1), column(3)};
}

// The map to (x, y, w) mirrors the quad when the determinant of its linear part is negative.
float orientationSign(const Matrix4x3& m) {
    const Position3 r0 = {m.at(0, 0), m.at(0, 1), m.at(0, 3)}, r1 = {m.at(1, 0), m.at(1, 1), m.at(1, 3)},
              r2 = {m.at(2, 0), m.at(2, 1), m.at(2, 3)};
    return dot(r0, cross(r1, r2)) < 0.0f ? -1.0f : 1.0f;
}

} // namespace

const Occluder& occluderOf(const CullingPlane& plane) { return plane.m_occluder; }

bool makeOccluder(Occluder& occluder, const Position3* corners, int count, const Matrix4x3& viewProjection) {
    occluder = Occluder{};
    if (!corners || count < 3) return false;
    const int n = count < 4 ? count : 4;
    Position3 q[4];
    Position3 centre = {0.0f, 0.0f, 0.0f};
    for (int i = 0; i < n; ++i) {
        q[i] = project(corners[i], viewProjection);
        // Side planes through the eye only bound the quad when all of it lies in front.
        if (!(q[i].z > MIN_DEPTH)) return false;
        centre += q[i];
    }

    Position3 sides[4];
    Position3 area = {0.0f, 0.0f, 0.0f};
    for (int i = 0; i < n; ++i) {
        const Position3& a = q[i];
        const Position3& b = q[(i + 1) % n];
        Position3 side = cross(a, b);
        area += side;
        if (dot(side, centre) < 0.0f) side = -side;
        const float len = length(side);
        if (!(len > 0.0f)) return false;
        sides[i] = side * (1.0f / len);
    }
    // A bent or crossed polygon would hide what lies beside it.
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (dot(sides[i], q[j]) < -CONVEX_SLACK * length(q[j])) return false;

    const Position3 normal = area * orientationSign(viewProjection);
    const float len = length(normal);
    if (!(len > 0.0f)) return false;

    for (int i = 0; i < 4; ++i) occluder.sidePlanes[i] = toNormal(sides[i < n ? i : n - 1]);
    occluder.quadPoint = q[0];
    occluder.quadNormal = toNormal(normal * (1.0f / len));
    return dot(-q[0], toPosition(occluder.quadNormal)) > FACING;
}

bool makeOccluder(CullingPlane& plane, const Matrix4x3& viewProjection) {
    Occluder& occluder = plane.m_occluder;
    occluder = Occluder{};
    const Mesh* mesh = plane.getFirstMesh();
    if (!mesh || mesh->m_polygons.empty()) return false;
    const MeshPolygon& polygon = mesh->m_polygons.front();
    Position3 corners[4];
    int count = 0;
    for (uint32_t point : polygon.points) {
        if (count == 4) break;
        if (point >= mesh->m_points.size()) return false;
        corners[count++] = mesh->m_points[point];
    }
    return makeOccluder(occluder, corners, count, viewProjection);
}

bool occluderHidesPoint(const float point[4], const Occluder& occluder) {
    const Position3 q = {point[0], point[1], point[3]};
    const Position3 d = q - occluder.eye;
    for (const Normal3& side : occluder.sidePlanes)
        if (dot(toPosition(side), d) <= 0.0f) return false;
    return dot(toPosition(occluder.quadNormal), q - occluder.quadPoint) < 0.0f;
}

bool occluderHidesBox(const float corners[8][4], const Occluder& occluder) {
    for (int i = 0; i < 8; ++i)
        if (!occluderHidesPoint(corners[i], occluder)) return false;
    return true;
}
