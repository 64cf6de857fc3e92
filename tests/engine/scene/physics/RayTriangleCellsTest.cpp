#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include <ode/ode.h>

#include "engine/scene/physics/PhysicsLibrary.h"
#include "engine/scene/physics/RayTriangleCells.h"

namespace {

constexpr int GRID = 24;
constexpr float STEP = 2.0f;

// Rolling ground of 24 x 24 squares, a roof over part of it, a leaning wall
// beside it and a triangle of no area, moved away from the origin.
struct Terrain {
    std::vector<float> positions;
    std::vector<uint32_t> corners;

    static float heightAt(float x, float z) { return 3.0f * std::sin(0.3f * x) + 2.0f * std::cos(0.2f * z); }
    uint32_t vertex(float x, float y, float z) {
        positions.insert(positions.end(), {x, y, z});
        return uint32_t(positions.size() / 3 - 1);
    }
    void triangle(uint32_t a, uint32_t b, uint32_t c) { corners.insert(corners.end(), {a, b, c}); }

    Terrain() {
        for (int i = 0; i <= GRID; ++i)
            for (int j = 0; j <= GRID; ++j) vertex(i * STEP, heightAt(i * STEP, j * STEP), j * STEP);
        for (int i = 0; i < GRID; ++i)
            for (int j = 0; j < GRID; ++j) {
                const uint32_t a = uint32_t(i * (GRID + 1) + j), b = a + 1, c = a + GRID + 1, d = c + 1;
                triangle(a, b, c);
                triangle(b, d, c);
            }
        const uint32_t r0 = vertex(10, 8, 10), r1 = vertex(30, 8, 10), r2 = vertex(10, 9, 30), r3 = vertex(30, 9, 30);
        triangle(r0, r2, r1);
        triangle(r1, r2, r3);
        const uint32_t w0 = vertex(60, -5, 5), w1 = vertex(61, 15, 5), w2 = vertex(60.01f, -5, 40);
        triangle(w0, w1, w2);
        const uint32_t p = vertex(5, 1, 5);
        triangle(p, p, p);
    }
};

struct Ray {
    dReal x, y, z, length;
    bool down, culls;
};

} // namespace

// The cells must hand back exactly what the library finds, contact for
// contact and bit for bit, for rays that meet the ground, end a hair above or
// below it, stand on edges and corners, meet the roof from either side, the
// wall or nothing, slanted or outside the mesh; and, once they have watched
// enough rays miss, answer most misses without the library.
TEST(RayTriangleCellsTest, AnswersEveryRayAsTheLibraryDoesAndSparesItMostMisses) {
    PhysicsLibrary::ensureStarted();
    auto terrain = std::make_shared<Terrain>();
    const int32_t triangles = int32_t(terrain->corners.size() / 3);
    ASSERT_GE(triangles, RayTriangleCells::MIN_TRIANGLES);
    dTriMeshDataID data = dGeomTriMeshDataCreate();
    dGeomTriMeshDataBuildSingle(data, terrain->positions.data(), 3 * sizeof(float), int(terrain->positions.size() / 3),
                                terrain->corners.data(), int(terrain->corners.size()), 3 * sizeof(uint32_t));
    dGeomID mesh = dCreateTriMesh(nullptr, data, nullptr, nullptr, nullptr);
    const dReal offset[3] = {-100.0, 7.5, 250.0};
    dGeomSetPosition(mesh, offset[0], offset[1], offset[2]);
    dGeomID ray = dCreateRay(nullptr, 1.0);
    RayTriangleCells cells(terrain, terrain->positions.data(), terrain->corners.data(), triangles);

    std::mt19937 random(35);
    std::uniform_real_distribution<float> across(-4.0f, GRID * STEP + 4.0f);
    std::uniform_int_distribution<int> pick(0, 9);
    const float gaps[] = {1.0e-2f, 2.0e-3f, 1.0e-4f, 1.0e-6f, 0.0f, -1.0e-6f, -1.0e-4f, -0.5f};
    int met = 0, missed = 0, compared = 0;
    for (int n = 0; n < 30000; ++n) {
        Ray r{};
        float x = across(random), z = across(random);
        const int kind = pick(random);
        // Edges and corners of the ground's squares.
        if (kind == 0) x = std::round(x / STEP) * STEP;
        if (kind == 1) x = std::round(x / STEP) * STEP, z = std::round(z / STEP) * STEP;
        r.down = kind != 2;
        r.culls = kind != 3;
        const float ground = Terrain::heightAt(x, z);
        const float gap = gaps[size_t(n) % (sizeof gaps / sizeof gaps[0])];
        // Mostly a wheel's ray: two long, ending the gap above the ground.
        r.length = kind == 4 || kind == 5 || (kind == 2 && n % 4 == 0) ? 40.0 : 2.0;
        r.y = r.down ? ground + gap + r.length : ground - 1.0 - gap;
        if (kind == 5) r.y = 12.0;
        // Through the leaning wall, off the ground.
        if (kind == 7) x = 60.0f + 0.9f * (z - std::floor(z)), z = 5.5f + 0.1f * z, r.y = 16.0, r.length = 40.0;
        r.x = x, r.z = z;
        dGeomRaySet(ray, r.x + offset[0], r.y + offset[1], r.z + offset[2], 0.0, r.down ? -1.0 : 1.0, 0.0);
        if (kind == 6) dGeomRaySet(ray, r.x + offset[0], r.y + offset[1], r.z + offset[2], 0.01, -1.0, 0.0);
        dGeomRaySetLength(ray, r.length);
        dGeomRaySetBackfaceCull(ray, r.culls);
        dGeomRaySetClosestHit(ray, n % 7 == 0);
        dContactGeom expected[8], got[8];
        std::memset(expected, 0, sizeof expected);
        std::memset(got, 0, sizeof got);
        const bool rayFirst = n % 2 == 0;
        const int limit = n % 3 == 0 ? 1 : 8;
        const int want = rayFirst ? dCollide(ray, mesh, limit, expected, sizeof(dContactGeom))
                                  : dCollide(mesh, ray, limit, expected, sizeof(dContactGeom));
        const int have = rayFirst ? cells.collide(ray, mesh, limit, got, sizeof(dContactGeom))
                                  : cells.collide(mesh, ray, limit, got, sizeof(dContactGeom));
        ASSERT_EQ(have, want) << "ray " << n << " at " << r.x << ", " << r.y << ", " << r.z;
        EXPECT_EQ(std::memcmp(got, expected, sizeof expected), 0) << "ray " << n;
        (want ? met : missed)++;
        ++compared;
    }
    EXPECT_EQ(compared, 30000);
    EXPECT_GT(met, 5000);
    EXPECT_GT(missed, 5000);
    // The rays a hair short of the ground and those outside are most of the misses.
    EXPECT_GT(cells.spared(), missed / 2);

    dGeomDestroy(ray);
    dGeomDestroy(mesh);
    dGeomTriMeshDataDestroy(data);
}
