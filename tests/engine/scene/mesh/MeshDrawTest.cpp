#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
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
    // A square of 64 x 64 quads filling the clip volume's face, each quad two triangles.
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
            for (uint32_t i : {a, b, d, a, d, c}) indices.push_back(i);
        }
    ASSERT_TRUE(buffer.setVertices(vertices.data(), uint32_t(vertices.size())));
    ASSERT_TRUE(buffer.setIndices(indices.data(), uint32_t(indices.size())));
    ASSERT_TRUE(buffer.create());
    ASSERT_GT(buffer.m_chunks.size(), 8u);

    sys::gfx::Device& device = *m_renderer->m_currentDevice;
    sys::gfx::Matrix identity{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    for (uint32_t type : {sys::gfx::TS_WORLD, sys::gfx::TS_VIEW, sys::gfx::TS_PROJECTION}) device.setTransform(type, identity);
    // The triangles the recorded draws sent, each as its three vertex numbers.
    auto drawn = [&]() {
        std::multiset<std::array<uint32_t, 3>> out;
        const uint8_t* bytes = buffer.m_indexBuffers[0]->bytes();
        for (const std::string& call : calls({"drawIndexedPrimitive"})) {
            unsigned type, minIndex, count, start, primitives;
            int base;
            EXPECT_EQ(std::sscanf(call.c_str(), "drawIndexedPrimitive %u %d %u %u %u %u", &type, &base, &minIndex, &count,
                                  &start, &primitives),
                      6);
            for (uint32_t t = 0; t < primitives; ++t) {
                std::array<uint32_t, 3> triangle{};
                for (uint32_t k = 0; k < 3; ++k) {
                    uint16_t index;
                    std::memcpy(&index, bytes + (start + t * 3 + k) * 2, 2);
                    triangle[k] = index;
                }
                out.insert(triangle);
            }
        }
        recording().clearCalls();
        return out;
    };
    std::multiset<std::array<uint32_t, 3>> all;
    for (size_t t = 0; t < indices.size(); t += 3) all.insert({indices[t], indices[t + 1], indices[t + 2]});

    recording().clearCalls();
    buffer.draw(m_renderer->m_surfaceShader, 0.0);
    EXPECT_EQ(drawn(), all);
    EXPECT_EQ(m_renderer->m_primitiveCount, int32_t(all.size()));

    // Moved right by 1.6: only x up to -0.6 stays in view, a fifth of the square.
    sys::gfx::Matrix moved = identity;
    moved.m[3][0] = 1.6f;
    device.setTransform(sys::gfx::TS_WORLD, moved);
    buffer.draw(m_renderer->m_surfaceShader, 0.0);
    const std::multiset<std::array<uint32_t, 3>> seen = drawn();
    EXPECT_LT(seen.size(), all.size() / 2);
    for (const auto& triangle : all) {
        bool inView = false;
        for (uint32_t vertex : triangle) inView |= vertices[vertex].position[0] + 1.6f <= 1.0f;
        if (inView) {
            EXPECT_EQ(seen.count(triangle), 1u);
        }
    }

    // A mirror's window, left of x = -0.6 and below y = -0.1: under a tenth of the square.
    device.setTransform(sys::gfx::TS_WORLD, identity);
    m_renderer->m_viewWindow = {-1.0f, -1.0f, -0.6f, -0.1f};
    buffer.draw(m_renderer->m_surfaceShader, 0.0);
    m_renderer->m_viewWindow = {};
    const std::multiset<std::array<uint32_t, 3>> windowed = drawn();
    EXPECT_LT(windowed.size(), all.size() / 4);
    for (const auto& triangle : all) {
        bool within = false;
        for (uint32_t vertex : triangle)
            within |= vertices[vertex].position[0] <= -0.6f && vertices[vertex].position[1] <= -0.1f;
        if (within) {
            EXPECT_EQ(windowed.count(triangle), 1u);
        }
    }
}
