#include "engine/scene/physics/RayTriangleCells.h"

#include <algorithm>
#include <cmath>

namespace {

// Triangles a cell holds on average over the mesh's whole x-z box.
constexpr double TRIANGLES_A_CELL = 8.0;
constexpr int32_t MAX_CELLS_A_SIDE = 512;
// Below this share of upright in a triangle's normal it is steep: no plane.
constexpr double STEEP = 0.05;
// The library answers this many vertical rays first; the mesh is sorted only when a quarter of them met nothing.
constexpr int32_t TRIAL = 4096;

bool isIdentity(const dReal* r) {
    return r[0] == 1.0 && r[1] == 0.0 && r[2] == 0.0 && r[4] == 0.0 && r[5] == 1.0 && r[6] == 0.0 && r[8] == 0.0 &&
           r[9] == 0.0 && r[10] == 1.0;
}

} // namespace

RayTriangleCells::RayTriangleCells(std::shared_ptr<const void> owner, const float* positions,
                                   const uint32_t* corners, int32_t triangleCount)
    : m_owner(std::move(owner)), m_positions(positions), m_corners(corners), m_triangleCount(triangleCount) {}

void RayTriangleCells::file() {
    m_filed = true;
    if (m_triangleCount <= 0) return;
    auto corner = [this](int32_t t, int k) { return &m_positions[size_t(m_corners[size_t(t) * 3 + k]) * 3]; };
    float reach = 0.0f;
    for (int32_t t = 0; t < m_triangleCount; ++t)
        for (int k = 0; k < 3; ++k)
            for (int axis = 0; axis < 3; ++axis) reach = std::max(reach, std::fabs(corner(t, k)[axis]));
    // The library works in floats: a few of their steps at the mesh's reach
    // are some 1e-5 m. Ten times more, and a ray that ends a millimetre above
    // the ground is still known to meet nothing.
    const double margin = 1.0e-4 + 2.0e-6 * reach;
    std::vector<Box> boxes(static_cast<size_t>(m_triangleCount));
    for (int32_t t = 0; t < m_triangleCount; ++t) {
        const float *a = corner(t, 0), *b = corner(t, 1), *c = corner(t, 2);
        Box& box = boxes[size_t(t)];
        box.minX = float(std::min({a[0], b[0], c[0]}) - margin);
        box.maxX = float(std::max({a[0], b[0], c[0]}) + margin);
        box.minZ = float(std::min({a[2], b[2], c[2]}) - margin);
        box.maxZ = float(std::max({a[2], b[2], c[2]}) + margin);
        const double e1[3] = {double(b[0]) - a[0], double(b[1]) - a[1], double(b[2]) - a[2]};
        const double e2[3] = {double(c[0]) - a[0], double(c[1]) - a[1], double(c[2]) - a[2]};
        const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                             e1[0] * e2[1] - e1[1] * e2[0]};
        const double upright = n[1] / std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        box.hasPlane = std::fabs(upright) > STEEP;
        if (!box.hasPlane) continue;
        box.slopeX = -n[0] / n[1];
        box.slopeZ = -n[2] / n[1];
        box.height = a[1] - box.slopeX * a[0] - box.slopeZ * a[2];
        box.slack = margin / std::fabs(upright);
    }
    float maxX = boxes[0].maxX, maxZ = boxes[0].maxZ;
    m_minX = boxes[0].minX, m_minZ = boxes[0].minZ;
    for (const Box& box : boxes) {
        m_minX = std::min(m_minX, box.minX), maxX = std::max(maxX, box.maxX);
        m_minZ = std::min(m_minZ, box.minZ), maxZ = std::max(maxZ, box.maxZ);
    }
    const double width = double(maxX) - m_minX, depth = double(maxZ) - m_minZ;
    const double size = std::max({std::sqrt(width * depth * TRIANGLES_A_CELL / m_triangleCount),
                                  width / MAX_CELLS_A_SIDE, depth / MAX_CELLS_A_SIDE});
    m_cellSize = float(size);
    m_columns = int32_t(width / size) + 1;
    m_rows = int32_t(depth / size) + 1;
    m_cells.resize(size_t(m_columns) * size_t(m_rows));
    auto column = [this](float x) { return std::clamp(int32_t((x - m_minX) / m_cellSize), 0, m_columns - 1); };
    auto row = [this](float z) { return std::clamp(int32_t((z - m_minZ) / m_cellSize), 0, m_rows - 1); };
    for (const Box& box : boxes)
        for (int32_t r = row(box.minZ); r <= row(box.maxZ); ++r)
            for (int32_t c = column(box.minX); c <= column(box.maxX); ++c)
                m_cells[size_t(r) * size_t(m_columns) + size_t(c)].push_back(box);
}

bool RayTriangleCells::Box::mayMeet(double x, double z, double low, double high) const {
    if (!(minX <= x && x <= maxX && minZ <= z && z <= maxZ)) return false;
    if (!hasPlane) return true;
    const double y = height + slopeX * x + slopeZ * z;
    return y >= low - slack && y <= high + slack;
}

const std::vector<RayTriangleCells::Box>* RayTriangleCells::cellAt(double x, double z) const {
    const double column = std::floor((x - m_minX) / m_cellSize), row = std::floor((z - m_minZ) / m_cellSize);
    if (!(column >= 0.0 && column < m_columns && row >= 0.0 && row < m_rows)) return nullptr;
    return &m_cells[size_t(row) * size_t(m_columns) + size_t(column)];
}

bool RayTriangleCells::mayMeet(const dReal* start, const dReal* direction, dReal length, const dReal* at) const {
    const double x = start[0] - at[0], y = start[1] - at[1], z = start[2] - at[2];
    if (!(std::isfinite(x) && std::isfinite(y) && std::isfinite(z) && std::isfinite(length))) return true;
    const double low = direction[1] < 0.0 ? y - length : y, high = direction[1] < 0.0 ? y : y + length;
    const std::vector<Box>* cell = cellAt(x, z);
    if (!cell) return false;
    return std::any_of(cell->begin(), cell->end(), [&](const Box& box) { return box.mayMeet(x, z, low, high); });
}

int RayTriangleCells::collide(dGeomID o1, dGeomID o2, int limit, dContactGeom* contacts, int stride) {
    if (!m_sorting) return dCollide(o1, o2, limit, contacts, stride);
    dGeomID ray = dGeomGetClass(o1) == dRayClass ? o1 : o2, mesh = ray == o1 ? o2 : o1;
    dVector3 start, direction;
    dGeomRayGet(ray, start, direction);
    if (direction[0] != 0.0 || direction[2] != 0.0 || !isIdentity(dGeomGetRotation(mesh)))
        return dCollide(o1, o2, limit, contacts, stride);
    if (m_tried < TRIAL) {
        const int found = dCollide(o1, o2, limit, contacts, stride);
        m_missed += found == 0;
        // Filing the triangles pays only where many rays miss.
        if (++m_tried == TRIAL) m_sorting = m_missed * 4 >= m_tried;
        return found;
    }
    if (!m_filed) file();
    // Misses the cells cannot tell (rays ending a hair short) do not pay for the sorting.
    if (++m_sorted == TRIAL && m_spared * 8 < m_sorted) m_sorting = false;
    if (mayMeet(start, direction, dGeomRayGetLength(ray), dGeomGetPosition(mesh)))
        return dCollide(o1, o2, limit, contacts, stride);
    ++m_spared;
    return 0;
}
