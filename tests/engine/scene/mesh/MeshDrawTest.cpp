#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <random>
#include <set>

#include "engine/render/ShaderConstants.h"
#include "engine/scene/Bone.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/mesh/DynamicSurfaceBuffer.h"
#include "engine/scene/mesh/StaticSurfaceBuffer.h"
#include "engine/scene/mesh/WeightMap.h"
#include "tests/engine/scene/SceneTestSupport.h"
#include "tests/engine/scene/mesh/MeshTestSupport.h"

namespace {

class MeshDrawTest : public MeshFixture {
protected:
    Mesh& triangle(std::vector<Ref<WeightMap>> maps = {}) {
        return makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {polygon({0, 1, 2})}, std::move(maps));
    }
    // A triangle of one surface on one bone, its corners weighted as given, prepared.
    Mesh& skinnedTriangle(std::vector<float> weights) {
        addSurface();
        auto map = Ref<WeightMap>::make("", 3);
        map->m_weights = std::move(weights);
        Mesh& mesh = triangle({map});
        mesh.m_bones.push_back(new Bone(nullptr, 0, 0));
        EXPECT_TRUE(mesh.prepare(true, false));
        return mesh;
    }
    // The recorded calls that start with one of the prefixes, in order.
    std::vector<std::string> calls(std::initializer_list<const char*> prefixes) {
        std::vector<std::string> out;
        for (const std::string& call : recording().calls())
            for (const char* prefix : prefixes)
                if (call.rfind(prefix, 0) == 0) out.push_back(call);
        return out;
    }
    Position3 drawnPosition(SurfaceBuffer& buffer, uint32_t vertex) {
        Position3 p;
        std::memcpy(&p, buffer.m_vertexBuffers[0]->bytes() + vertex * buffer.getLayout().m_stride, sizeof p);
        return p;
    }
    // A triangle as its corners' x, y and z.
    using Corners = std::array<float, 9>;
    static std::multiset<Corners> trianglesOf(const std::vector<MeshVertex>& vertices,
                                              const std::vector<uint32_t>& indices) {
        std::multiset<Corners> out;
        for (size_t t = 0; t + 2 < indices.size(); t += 3) {
            Corners c;
            for (int k = 0; k < 3; ++k) std::memcpy(&c[k * 3], vertices[indices[t + k]].position, 12);
            out.insert(c);
        }
        return out;
    }
    // The triangles the recorded draws of a 16-bit indexed buffer sent.
    std::multiset<Corners> drawnTriangles(SurfaceBuffer& buffer) {
        std::multiset<Corners> out;
        const uint8_t* bytes = buffer.m_indexBuffers[0]->bytes();
        for (const std::string& call : calls({"drawIndexedPrimitive"})) {
            unsigned type, minIndex, count, start, primitives;
            int base;
            EXPECT_EQ(std::sscanf(call.c_str(), "drawIndexedPrimitive %u %d %u %u %u %u", &type, &base, &minIndex, &count,
                                  &start, &primitives),
                      6);
            for (uint32_t t = 0; t < primitives; ++t) {
                Corners c;
                for (uint32_t k = 0; k < 3; ++k) {
                    uint16_t index;
                    std::memcpy(&index, bytes + (start + t * 3 + k) * 2, 2);
                    const Position3 p = drawnPosition(buffer, index);
                    c[k * 3] = p.x, c[k * 3 + 1] = p.y, c[k * 3 + 2] = p.z;
                }
                out.insert(c);
            }
        }
        recording().clearCalls();
        return out;
    }
    SceneObject m_object{nullptr, 0};
};

} // namespace

TEST_F(MeshDrawTest, SurfaceBufferDrawSetsVerticesIndicesAndCounts) {
    addSurface();
    Mesh& mesh = triangle();
    ASSERT_TRUE(mesh.prepare(true, false));
    recording().clearCalls();
    mesh.draw(0.0, &m_object, nullptr);
    EXPECT_EQ(calls({"setSoftwareVertexProcessing", "setVertexDeclaration", "setStreamSource", "setIndices",
                     "drawIndexedPrimitive"}),
              (std::vector<std::string>{"setSoftwareVertexProcessing 0", "setVertexDeclaration declaration",
                                        "setStreamSource 0 buffer 0 24", "setIndices buffer",
                                        "drawIndexedPrimitive 4 0 0 3 0 1"}));
    EXPECT_EQ(m_renderer->m_drawCount, 1);
    EXPECT_EQ(m_renderer->m_primitiveCount, 1);
    EXPECT_EQ(g_reflectionDepth, 0);
}

TEST_F(MeshDrawTest, FullyTransparentSurfaceIsNotDrawn) {
    addSurface().m_transparency.constant = 1.0f;
    Mesh& mesh = triangle();
    ASSERT_TRUE(mesh.prepare(true, false));
    mesh.draw(0.0, &m_object, nullptr);
    EXPECT_EQ(m_renderer->m_drawCount, 0);
}

TEST_F(MeshDrawTest, DrawNestedBeyondTwoReflectionsDrawsNothing) {
    addSurface();
    Mesh& mesh = triangle();
    ASSERT_TRUE(mesh.prepare(true, false));
    g_reflectionDepth = 2;
    mesh.draw(0.0, &m_object, nullptr);
    EXPECT_EQ(g_reflectionDepth, 2);
    g_reflectionDepth = 0;
    EXPECT_EQ(m_renderer->m_drawCount, 0);
    EXPECT_EQ(mesh.m_drawNesting, 0);
}

TEST_F(MeshDrawTest, MirrorWithoutSceneMarksStencilReportsOnceAndRestoresState) {
    Surface& mirror = addSurface();
    mirror.m_reflectivity.constant = 1.0f;
    mirror.m_reflectionMode = Surface::REFLECT_MIRROR;
    Mesh& mesh = triangle();
    ASSERT_TRUE(mesh.prepare(true, false));
    m_object.m_levels.push_back({&mesh, 0.0f, true});
    recording().setRenderState(sys::gfx::RS_STENCILREF, 7);
    uint32_t cull = m_renderer->m_cullMode;
    mesh.draw(0.0, &m_object, nullptr);
    EXPECT_EQ(lastError(), "reflection scene ist nicht zugeordnet!\n");
    // Stencil mark, opaque pass and the mirror over the reflection.
    EXPECT_EQ(m_renderer->m_drawCount, 3);
    g_lastErrorText.assignText("");
    mesh.draw(0.0, &m_object, nullptr);
    EXPECT_EQ(lastError(), "");
    uint32_t value = 0;
    recording().getRenderState(sys::gfx::RS_STENCILREF, value);
    EXPECT_EQ(value, 7u);
    recording().getRenderState(sys::gfx::RS_STENCILENABLE, value);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(m_renderer->m_cullMode, cull);
}

TEST_F(MeshDrawTest, MirrorWhoseObjectMeshHasNoPlaneDrawsPlainly) {
    Surface& mirror = addSurface();
    mirror.m_reflectivity.constant = 1.0f;
    mirror.m_reflectionMode = Surface::REFLECT_MIRROR;
    Mesh& mesh = triangle();
    ASSERT_TRUE(mesh.prepare(true, false));
    Mesh& empty = makeMesh({{0, 0, 0}, {1, 0, 0}}, {});
    m_object.m_levels.push_back({&empty, 0.0f, true});
    mesh.draw(0.0, &m_object, nullptr);
    EXPECT_EQ(m_renderer->m_drawCount, 1);
}

TEST_F(MeshDrawTest, SkinnedMeshFollowsItsBoneAndUnweightedVerticesStay) {
    Mesh& mesh = skinnedTriangle({1.0f, 1.0f, 0.0f});
    Matrix4x3 lift = Matrix4x3::identity();
    lift[13] = 5.0f;
    m_renderer->m_constants->setBoneMatrix(0, lift);
    mesh.draw(0.0, &m_object, nullptr);
    SurfaceBuffer& buffer = *mesh.m_surfaceBuffers[0];
    EXPECT_POINT_NEAR(drawnPosition(buffer, 0), 0, 5, 0, 1e-6);
    EXPECT_POINT_NEAR(drawnPosition(buffer, 1), 1, 5, 0, 1e-6);
    EXPECT_POINT_NEAR(drawnPosition(buffer, 2), 0, 1, 0, 1e-6);
    // After a device reset the buffer is made again and filled by the next draw.
    mesh.releaseDeviceObjects();
    EXPECT_EQ(buffer.m_vertexBuffers[0], nullptr);
    // Drawn while the device is lost: nothing is locked or drawn.
    int draws = m_renderer->m_drawCount;
    mesh.draw(0.0, &m_object, nullptr);
    EXPECT_EQ(m_renderer->m_drawCount, draws);
    mesh.createDeviceObjects();
    mesh.draw(0.0, &m_object, nullptr);
    EXPECT_POINT_NEAR(drawnPosition(buffer, 1), 1, 5, 0, 1e-6);
}

// Each object keeps its own skinning; the shared buffers are filled again
// only when another object's pose, or a moved one, is drawn.
TEST_F(MeshDrawTest, SkinningIsReusedUntilTheBonesMoveOrAnotherObjectDraws) {
    Mesh& mesh = skinnedTriangle({1.0f, 1.0f, 1.0f});
    SurfaceBuffer& buffer = *mesh.m_surfaceBuffers[0];
    SceneObject other{nullptr, 1};
    Matrix4x3 lift = Matrix4x3::identity(), shift = Matrix4x3::identity();
    lift[13] = 5.0f;
    shift[12] = 3.0f;
    // True when the draw filled the buffer: a marker left in it is gone.
    const auto drawWith = [&](SceneObject& object, const Matrix4x3& bone) {
        void* bits = nullptr;
        EXPECT_GE(buffer.m_vertexBuffers[0]->lock(0, 0, &bits, 0), 0);
        const float marker = -99.0f;
        std::memcpy(bits, &marker, sizeof marker);
        buffer.m_vertexBuffers[0]->unlock();
        m_renderer->m_constants->setBoneMatrix(0, bone);
        mesh.draw(0.0, &object, nullptr);
        return drawnPosition(buffer, 0).x != marker;
    };
    EXPECT_TRUE(drawWith(m_object, lift));
    EXPECT_FALSE(drawWith(m_object, lift));
    EXPECT_POINT_NEAR(drawnPosition(buffer, 1), 1, 5, 0, 1e-6);
    EXPECT_TRUE(drawWith(other, shift));
    EXPECT_POINT_NEAR(drawnPosition(buffer, 1), 4, 0, 0, 1e-6);
    EXPECT_TRUE(drawWith(m_object, lift));
    EXPECT_POINT_NEAR(drawnPosition(buffer, 1), 1, 5, 0, 1e-6);
    lift[13] = 7.0f;
    EXPECT_TRUE(drawWith(m_object, lift));
    EXPECT_POINT_NEAR(drawnPosition(buffer, 2), 0, 8, 0, 1e-6);
}

TEST_F(MeshDrawTest, PackedColourIsClampedARGB) {
    addSurface();
    TextureStages stages;
    TextureLayer layer;
    stages.vertexColourLayer = &layer;
    StaticSurfaceBuffer buffer(m_renderer.get(), m_surfaces[0].get(), &stages);
    MeshVertex vertex{};
    const float colour[4] = {2.0f, 0.5f, -1.0f, 1.0f};
    std::memcpy(vertex.colour, colour, sizeof colour);
    uint8_t packed[64] = {};
    buffer.packVertex(vertex, packed);
    uint32_t argb;
    std::memcpy(&argb, packed + 24, 4);
    EXPECT_EQ(argb, 0xFFFF8000u);
}

TEST_F(MeshDrawTest, StaticBufferRefusesDataOnceCreated) {
    addSurface();
    TextureStages stages;
    StaticSurfaceBuffer buffer(m_renderer.get(), m_surfaces[0].get(), &stages);
    MeshVertex vertices[3] = {};
    const uint32_t indices[3] = {0, 1, 2};
    ASSERT_TRUE(buffer.setVertices(vertices, 3));
    ASSERT_TRUE(buffer.setIndices(indices, 3));
    ASSERT_TRUE(buffer.create());
    EXPECT_FALSE(buffer.setVertices(vertices, 3));
    EXPECT_FALSE(buffer.setIndices(indices, 3));
    EXPECT_FALSE(buffer.create());
    EXPECT_EQ(buffer.m_indexFormat, uint32_t(sys::gfx::FMT_INDEX16));
}

TEST_F(MeshDrawTest, DynamicBufferRefusesMoreThanItWasMadeFor) {
    addSurface();
    TextureStages stages;
    DynamicSurfaceBuffer buffer(m_renderer.get(), m_surfaces[0].get(), &stages);
    MeshVertex vertices[4] = {};
    const uint32_t indices[6] = {0, 1, 2, 0, 2, 3};
    EXPECT_FALSE(buffer.updateVertices(vertices, 3));
    ASSERT_TRUE(buffer.createBuffers(false, true, 3, 3));
    EXPECT_FALSE(buffer.updateVertices(vertices, 4));
    EXPECT_FALSE(buffer.updateIndices(indices, 6));
    EXPECT_TRUE(buffer.updateIndices(indices, 3));
    EXPECT_EQ(buffer.m_triangleCount, 1u);
}

TEST_F(MeshDrawTest, LargeSurfaceSendsEachTriangleOnceInViewAndOnlyCellsReachingIntoTheViewOrAMirrorsWindow) {
    addSurface();
    TextureStages stages;
    StaticSurfaceBuffer buffer(m_renderer.get(), m_surfaces[0].get(), &stages);
    // A square of 64 x 64 quads filling the clip volume's face, each quad two
    // triangles wound clockwise on the screen, the fronts a culling device draws.
    constexpr uint32_t SIDE = 64;
    std::vector<MeshVertex> vertices((SIDE + 1) * (SIDE + 1));
    for (uint32_t y = 0; y <= SIDE; ++y)
        for (uint32_t x = 0; x <= SIDE; ++x) {
            MeshVertex& v = vertices[y * (SIDE + 1) + x];
            v.position[0] = -1.0f + 2.0f * float(x) / SIDE;
            v.position[1] = -1.0f + 2.0f * float(y) / SIDE;
            v.position[2] = 0.5f;
        }
    std::vector<uint32_t> indices;
    for (uint32_t y = 0; y < SIDE; ++y)
        for (uint32_t x = 0; x < SIDE; ++x) {
            const uint32_t a = y * (SIDE + 1) + x, b = a + 1, c = a + SIDE + 1, d = c + 1;
            for (uint32_t i : {a, d, b, a, c, d}) indices.push_back(i);
        }
    ASSERT_TRUE(buffer.setVertices(vertices.data(), uint32_t(vertices.size())));
    ASSERT_TRUE(buffer.setIndices(indices.data(), uint32_t(indices.size())));
    ASSERT_TRUE(buffer.create());
    ASSERT_GT(buffer.m_chunks.size(), 8u);

    sys::gfx::Device& device = *m_renderer->m_currentDevice;
    sys::gfx::Matrix identity{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    for (uint32_t type : {sys::gfx::TS_WORLD, sys::gfx::TS_VIEW, sys::gfx::TS_PROJECTION}) device.setTransform(type, identity);
    auto drawn = [&]() { return drawnTriangles(buffer); };
    const std::multiset<Corners> all = trianglesOf(vertices, indices);

    recording().clearCalls();
    buffer.draw(m_renderer->m_surfaceShader, 0.0);
    EXPECT_EQ(drawn(), all);
    EXPECT_EQ(m_renderer->m_primitiveCount, int32_t(all.size()));

    // Moved right by 1.6: only x up to -0.6 stays in view, a fifth of the square.
    sys::gfx::Matrix moved = identity;
    moved.m[3][0] = 1.6f;
    device.setTransform(sys::gfx::TS_WORLD, moved);
    buffer.draw(m_renderer->m_surfaceShader, 0.0);
    const std::multiset<Corners> seen = drawn();
    EXPECT_LT(seen.size(), all.size() / 2);
    for (const Corners& triangle : all) {
        bool inView = false;
        for (int k = 0; k < 3; ++k) inView |= triangle[k * 3] + 1.6f <= 1.0f;
        if (inView) {
            EXPECT_EQ(seen.count(triangle), 1u);
        }
    }

    // A mirror's window, left of x = -0.6 and below y = -0.1: under a tenth of the square.
    device.setTransform(sys::gfx::TS_WORLD, identity);
    m_renderer->m_viewWindow = {-1.0f, -1.0f, -0.6f, -0.1f};
    buffer.draw(m_renderer->m_surfaceShader, 0.0);
    m_renderer->m_viewWindow = {};
    const std::multiset<Corners> windowed = drawn();
    EXPECT_LT(windowed.size(), all.size() / 4);
    for (const Corners& triangle : all) {
        bool within = false;
        for (int k = 0; k < 3; ++k) within |= triangle[k * 3] <= -0.6f && triangle[k * 3 + 1] <= -0.1f;
        if (within) {
            EXPECT_EQ(windowed.count(triangle), 1u);
        }
    }
}

TEST_F(MeshDrawTest, RunsSkippedForFacingHoldOnlyTrianglesTheDeviceCullsFromRandomEyes) {
    std::mt19937 random(35);
    auto uniform = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); };
    auto unit = [&]() {
        Position3 d;
        do d = {float(uniform(-1, 1)), float(uniform(-1, 1)), float(uniform(-1, 1))};
        while (length(d) > 1.0f || length(d) < 0.1f);
        return normalised(d);
    };
    // Triangles in view wound away from the eye, and those of them the runs left out.
    size_t awayInView = 0, skippedAway = 0;
    for (int round = 0; round < 4; ++round) {
        addSurface();
        TextureStages stages;
        StaticSurfaceBuffer buffer(m_renderer.get(), m_surfaces.back().get(), &stages);
        // A track-like heap: floors, ceilings and walls facing near one axis each,
        // some any way, some thin, some doubled back to back.
        std::vector<MeshVertex> vertices;
        std::vector<uint32_t> indices;
        const Position3 axes[6] = {{0, 1, 0}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}, {0, 0, 1}, {0, 0, -1}};
        // Pieces of neighbouring triangles, as an object file lists a wall's polygons together.
        while (indices.size() < 3 * 6000) {
            const int kind = int(uniform(0, 8));
            const Position3 place = {float(uniform(-100, 100)), float(uniform(-5, 15)), float(uniform(-100, 100))};
            const bool doubled = uniform(0, 1) < 0.2;
            for (int piece = int(uniform(1, 120)); piece > 0; --piece) {
                Position3 normal = kind < 6 ? normalised(axes[kind] + unit() * float(uniform(0, 0.3))) : unit();
                const Position3 centre = place + unit() * float(uniform(0, 8));
                const Position3 side = normalised(cross(normal, unit())), other = cross(normal, side);
                const float size = float(uniform(0.3, 4)), thin = uniform(0, 1) < 0.05 ? 1.0e-5f : 1.0f;
                const Position3 corners[3] = {centre + side * size, centre + other * (size * thin),
                                              centre - side * size * 0.7f};
                for (int copy = 0; copy < (doubled ? 2 : 1); ++copy)
                    for (int k = 0; k < 3; ++k) {
                        MeshVertex v{};
                        toArray(corners[copy ? 2 - k : k], v.position);
                        indices.push_back(uint32_t(vertices.size()));
                        vertices.push_back(v);
                    }
            }
        }
        ASSERT_TRUE(buffer.setVertices(vertices.data(), uint32_t(vertices.size())));
        ASSERT_TRUE(buffer.setIndices(indices.data(), uint32_t(indices.size())));
        ASSERT_TRUE(buffer.create());
        const std::multiset<Corners> all = trianglesOf(vertices, indices);

        sys::gfx::Device& device = *m_renderer->m_currentDevice;
        for (int view = 0; view < 60; ++view) {
            // An eye anywhere in and around the heap, looking into it, maybe through a mirror.
            const Position3 eye = {float(uniform(-150, 150)), float(uniform(-20, 40)), float(uniform(-150, 150))};
            const Position3 target = {float(uniform(-100, 100)), float(uniform(-5, 15)), float(uniform(-100, 100))};
            const Position3 forward = normalised(target - eye), right = normalised(cross({0, 1, 0}, forward)),
                            up = cross(forward, right);
            const float flip = uniform(0, 1) < 0.3 ? -1.0f : 1.0f;
            sys::gfx::Matrix world{}, look{}, projection{};
            const float scale = float(uniform(0.5, 2));
            for (int i = 0; i < 3; ++i) world.m[i][i] = scale;
            world.m[3][0] = float(uniform(-3, 3)), world.m[3][3] = 1.0f;
            // The heap is made in its own space; the eye looks at it as the world places it.
            const Position3 placed = {world.m[3][0], 0.0f, 0.0f};
            const Position3 from = eye * scale + placed;
            for (int i = 0; i < 3; ++i) {
                look.m[i][0] = right[i] * flip, look.m[i][1] = up[i], look.m[i][2] = forward[i];
            }
            look.m[3][0] = -dot(right, from) * flip, look.m[3][1] = -dot(up, from), look.m[3][2] = -dot(forward, from);
            look.m[3][3] = 1.0f;
            const float nearest = float(uniform(0.1, 2)), farthest = 2000.0f, aspect = float(uniform(0.6, 2));
            if (uniform(0, 1) < 0.8) {
                const float sy = 1.0f / std::tan(float(uniform(0.3, 0.9))), q = farthest / (farthest - nearest);
                projection.m[0][0] = sy / aspect, projection.m[1][1] = sy, projection.m[2][2] = q;
                projection.m[2][3] = 1.0f, projection.m[3][2] = -q * nearest;
            } else {
                const float across = float(uniform(50, 400));
                projection.m[0][0] = 2.0f / across, projection.m[1][1] = 2.0f * aspect / across;
                projection.m[2][2] = 1.0f / (farthest + 500.0f), projection.m[3][2] = 500.0f / (farthest + 500.0f);
                projection.m[3][3] = 1.0f;
            }
            device.setTransform(sys::gfx::TS_WORLD, world);
            device.setTransform(sys::gfx::TS_VIEW, look);
            device.setTransform(sys::gfx::TS_PROJECTION, projection);
            const bool counterClockwise = uniform(0, 1) < 0.5;
            m_renderer->m_cullMode = counterClockwise ? sys::gfx::CULL_CCW : sys::gfx::CULL_CW;
            recording().clearCalls();
            buffer.draw(m_renderer->m_surfaceShader, 0.0);
            const std::multiset<Corners> seen = drawnTriangles(buffer);

            for (const Corners& triangle : all) {
                // Clip space in double: x, y, z, w of each corner.
                double clip[3][4];
                for (int k = 0; k < 3; ++k) {
                    const float* p = &triangle[k * 3];
                    double w[4], v[4];
                    for (int c = 0; c < 4; ++c)
                        w[c] = p[0] * world.m[0][c] + p[1] * world.m[1][c] + p[2] * world.m[2][c] + world.m[3][c];
                    for (int c = 0; c < 4; ++c)
                        v[c] = w[0] * look.m[0][c] + w[1] * look.m[1][c] + w[2] * look.m[2][c] + w[3] * look.m[3][c];
                    for (int c = 0; c < 4; ++c)
                        clip[k][c] = v[0] * projection.m[0][c] + v[1] * projection.m[1][c] +
                                     v[2] * projection.m[2][c] + v[3] * projection.m[3][c];
                }
                bool beyond = false;
                for (int side = 0; side < 6 && !beyond; ++side) {
                    bool all3 = true;
                    for (int k = 0; k < 3; ++k) {
                        const double* c = clip[k];
                        const double value[6] = {c[0] + c[3], c[3] - c[0], c[1] + c[3], c[3] - c[1], c[2], c[3] - c[2]};
                        all3 = all3 && value[side] < 0.0;
                    }
                    beyond = all3;
                }
                if (beyond) continue;
                // Screen winding from x, y and w (y up): positive is counter-clockwise to the viewer.
                const double* a = clip[0];
                const double* b = clip[1];
                const double* c = clip[2];
                const double winding = a[0] * (b[1] * c[3] - b[3] * c[1]) - a[1] * (b[0] * c[3] - b[3] * c[0]) +
                                       a[3] * (b[0] * c[1] - b[1] * c[0]);
                const bool away = counterClockwise ? winding > 0.0 : winding < 0.0;
                awayInView += away;
                if (seen.count(triangle)) continue;
                ASSERT_TRUE(away) << "round " << round << " view " << view << " skipped a triangle wound to the eye";
                ++skippedAway;
            }
        }
    }
    // Heaps facing every way still give runs wholly wound away.
    EXPECT_GT(skippedAway, awayInView / 20);
}
