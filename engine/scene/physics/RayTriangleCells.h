#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include <ode/collision.h>

// A large triangle mesh filed into square cells across its x-z plane, for the
// karts' probe rays: ODE walks the mesh's whole tree for every ray, and on
// some tracks most wheel rays of a kart at rest end a hair above a mesh they
// never meet. A ray straight up or down can only meet a triangle whose x-z
// box holds it and whose plane it reaches there: when no triangle of its cell
// may be met, it meets nothing and the library is not asked. Every other ray
// (one that may meet something, a slanted ray, a turned mesh) is the
// library's, so the contacts are always its own. Only a mesh that many rays
// miss is filed at all.
class RayTriangleCells {
public:
    // The mesh's positions (three floats a vertex) and corners (three a
    // triangle) stay alive and unchanged while `owner` does.
    RayTriangleCells(std::shared_ptr<const void> owner, const float* positions, const uint32_t* corners,
                     int32_t triangleCount);

    // Meshes this small are walked quickly enough by the library itself.
    static constexpr int32_t MIN_TRIANGLES = 256;

    // As dCollide(o1, o2, ...) when one of them is a ray and the other a
    // mesh geom made on these triangles.
    int collide(dGeomID o1, dGeomID o2, int limit, dContactGeom* contacts, int stride);
    // Rays answered here without asking the library.
    int64_t spared() const { return m_spared; }

private:
    // A triangle's x-z box, widened by the margin, and its plane as a height
    // over x and z; a steep or degenerate triangle has none and may always be met.
    struct Box {
        float minX, maxX, minZ, maxZ;
        bool hasPlane;
        double height, slopeX, slopeZ, slack;
        // True when a ray at x, z running between heights low and high may meet the triangle.
        bool mayMeet(double x, double z, double low, double high) const;
    };

    // Files every triangle's box into the cells it reaches.
    void file();
    // The boxes of the cell under the mesh-local point; null outside the grid.
    const std::vector<Box>* cellAt(double x, double z) const;
    // False when no triangle may be met by the vertical ray.
    bool mayMeet(const dReal* start, const dReal* direction, dReal length, const dReal* at) const;

    std::shared_ptr<const void> m_owner;
    const float* m_positions;
    const uint32_t* m_corners;
    int32_t m_triangleCount;
    bool m_filed = false;
    float m_minX = 0.0f, m_minZ = 0.0f, m_cellSize = 1.0f;
    int32_t m_columns = 0, m_rows = 0;
    std::vector<std::vector<Box>> m_cells;
    // The vertical rays the library answered on trial and how many met nothing.
    int32_t m_tried = 0;
    int32_t m_missed = 0;
    bool m_sorting = true;
    // Rays sorted here and how many of them the library was spared.
    int64_t m_sorted = 0;
    int64_t m_spared = 0;
};
