#include "engine/scene/Occluder.h"

#include <cmath>

#include "engine/scene/CullingPlane.h"
#include "engine/scene/mesh/Mesh.h"

namespace {

constexpr float FACING = 1e-6f;
// Corners nearer the eye plane than this give no usable side planes.
constexpr float MIN_DEPTH = 1e-6f;
// How far (relative) a corner may stray outside another edge's plane before the quad counts as not convex.
constexpr float CONVEX_SLACK = 1e-5f;

struct Vec {
    float x, y, z;
};

Vec cross(const Vec& a, const Vec& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float length(const Vec& a) { return std::sqrt(dot(a, a)); }
Vec scaled(const Vec& a, float k) { return {a.x * k, a.y * k, a.z * k}; }

// Object point to projected (x, y, w).
Vec project(const Position3& p, const Matrix4x3& m) {
    auto column = [&](int c) { return p.x * m.at(0, c) + p.y * m.at(1, c) + p.z * m.at(2, c) + m.at(3, c); };
    return {column(0), column(1), column(3)};
}

// The map to (x, y, w) mirrors the quad when the determinant of its linear part is negative.
float orientationSign(const Matrix4x3& m) {
    const Vec r0 = {m.at(0, 0), m.at(0, 1), m.at(0, 3)}, r1 = {m.at(1, 0), m.at(1, 1), m.at(1, 3)},
              r2 = {m.at(2, 0), m.at(2, 1), m.at(2, 3)};
    return dot(r0, cross(r1, r2)) < 0.0f ? -1.0f : 1.0f;
}

Normal3 toNormal(const Vec& v) { return {v.x, v.y, v.z}; }
Vec toVec(const Normal3& n) { return {n.x, n.y, n.z}; }

} // namespace

const Occluder& occluderOf(const CullingPlane& plane) { return plane.m_occluder; }

bool makeOccluder(Occluder& occluder, const Position3* corners, int count, const Matrix4x3& viewProjection) {
    occluder = Occluder{};
    if (!corners || count < 3) return false;
    const int n = count < 4 ? count : 4;
    Vec q[4];
    Vec centre = {0.0f, 0.0f, 0.0f};
    for (int i = 0; i < n; ++i) {
        q[i] = project(corners[i], viewProjection);
        // Side planes through the eye only bound the quad when all of it lies in front.
        if (!(q[i].z > MIN_DEPTH)) return false;
        centre = {centre.x + q[i].x, centre.y + q[i].y, centre.z + q[i].z};
    }

    Vec sides[4];
    Vec area = {0.0f, 0.0f, 0.0f};
    for (int i = 0; i < n; ++i) {
        const Vec& a = q[i];
        const Vec& b = q[(i + 1) % n];
        Vec side = cross(a, b);
        area = {area.x + side.x, area.y + side.y, area.z + side.z};
        if (dot(side, centre) < 0.0f) side = scaled(side, -1.0f);
        const float len = length(side);
        if (!(len > 0.0f)) return false;
        sides[i] = scaled(side, 1.0f / len);
    }
    // A bent or crossed polygon would hide what lies beside it.
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (dot(sides[i], q[j]) < -CONVEX_SLACK * length(q[j])) return false;

    const Vec normal = scaled(area, orientationSign(viewProjection));
    const float len = length(normal);
    if (!(len > 0.0f)) return false;

    for (int i = 0; i < 4; ++i) occluder.sidePlanes[i] = toNormal(sides[i < n ? i : n - 1]);
    occluder.quadPoint = {q[0].x, q[0].y, q[0].z};
    occluder.quadNormal = toNormal(scaled(normal, 1.0f / len));
    const Vec toEye = {-q[0].x, -q[0].y, -q[0].z};
    return dot(toEye, toVec(occluder.quadNormal)) > FACING;
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
    const Vec q = {point[0], point[1], point[3]};
    const Vec d = {q.x - occluder.eye.x, q.y - occluder.eye.y, q.z - occluder.eye.z};
    for (const Normal3& side : occluder.sidePlanes)
        if (dot(toVec(side), d) <= 0.0f) return false;
    const Vec e = {q.x - occluder.quadPoint.x, q.y - occluder.quadPoint.y, q.z - occluder.quadPoint.z};
    return dot(toVec(occluder.quadNormal), e) < 0.0f;
}

bool occluderHidesBox(const float corners[8][4], const Occluder& occluder) {
    for (int i = 0; i < 8; ++i)
        if (!occluderHidesPoint(corners[i], occluder)) return false;
    return true;
}
