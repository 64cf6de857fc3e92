#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include <stb_image_write.h>

#include "engine/platform/display/RenderDevice.h"
#include "engine/platform/images/GeneratedTexture.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/SceneRenderer.h"
#include "engine/scene/materials/FixedFunctionShader.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/materials/TextureLayer.h"
#include "engine/scene/mesh/Mesh.h"
#include "engine/scene/mesh/WeightMap.h"
#include "sys/gfx/Device.h"
#include "sys/window/Window.h"
#include "tests/support/TempDir.h"
#include "tests/support/WindowedDevice.h"

namespace gfx = sys::gfx;

namespace {

// Unlit: textured surfaces show their texture, the rest add a dark blue,
// so a mirror shows the reflection under its tint.
class TintShader : public FixedFunctionShader {
public:
    TintShader(Renderer* renderer, gfx::Texture* texture) : FixedFunctionShader(renderer), m_texture(texture) {}
    void setObjectState(Surface& surface, double time) override {
        FixedFunctionShader::setObjectState(surface, time);
        gfx::Device& device = *m_renderer->m_currentDevice;
        device.setRenderState(gfx::RS_LIGHTING, 0);
        bool textured = surface.findTextureLayer(TextureLayer::CHANNEL_COLR, 1) != nullptr;
        device.setRenderState(gfx::RS_ALPHABLENDENABLE, textured ? 0 : 1);
        device.setRenderState(gfx::RS_SRCBLEND, gfx::BLEND_ONE);
        device.setRenderState(gfx::RS_DESTBLEND, gfx::BLEND_ONE);
    }
    void setupSurface(Surface& surface, double time) override {
        gfx::Device& device = *m_renderer->m_currentDevice;
        bool textured = surface.findTextureLayer(TextureLayer::CHANNEL_COLR, 1) != nullptr;
        device.setTexture(0, textured ? m_texture : nullptr);
        device.setRenderState(gfx::RS_TEXTUREFACTOR, 0xFF000040);
        device.setTextureStageState(0, gfx::TSS_COLOROP, gfx::TOP_SELECTARG1);
        device.setTextureStageState(0, gfx::TSS_COLORARG1, textured ? gfx::TA_TEXTURE : gfx::TA_TFACTOR);
    }
    gfx::Texture* m_texture;
};

// The scene a mirror reflects: it draws its listed objects through the camera it is given.
class ReflectedScene : public LW6Scene {
public:
    using LW6Scene::LW6Scene;
    void render(SceneItem* camera, double time) override {
        ++m_renders;
        Matrix4x3 view;
        camera->getInvMatrix(view, time, 0);
        Renderer& renderer = *m_renderer;
        renderer.m_constants->m_view = view;
        renderer.m_constants->m_derivedCurrent = false;
        gfx::Matrix deviceView;
        std::copy(view.m, view.m + 16, &deviceView.m[0][0]);
        renderer.m_currentDevice->setTransform(gfx::TS_VIEW, deviceView);
        for (SceneObject* object : m_drawn) {
            Mesh& mesh = *object->getFirstMesh();
            float corners[8][4];
            mesh.projectCorners(view, corners);
            if (camera->isBoxOutside(corners))
                ++m_culled;
            else
                mesh.draw(time, object, camera);
        }
    }
    Renderer* m_renderer = nullptr;
    std::vector<SceneObject*> m_drawn;
    int m_renders = 0;
    int m_culled = 0;
};

class MeshRendering : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("PLIMZOR_SETTINGS", m_dir.file("none").c_str(), 1);
        if (!sys::Window::videoAvailable()) GTEST_SKIP() << "no display: the rendering test needs X (xvfb-run -a)";
        m_render = makeWindowedDevice();
        ASSERT_NE(m_render, nullptr);
        m_renderer = std::make_unique<SceneRenderer>(*m_render);
        m_device = m_renderer->m_currentDevice;
    }
    void TearDown() override {
        m_meshes.clear();
        m_surfaces.clear();
        m_placeholder.reset();
        m_tint.reset();
        m_renderer.reset();
        m_render.reset();
        unsetenv("PLIMZOR_SETTINGS");
    }
    Surface& surface(bool textured) {
        m_surfaces.push_back(std::make_unique<Surface>(nullptr, "srf"));
        Surface& s = *m_surfaces.back();
        s.m_loaded = true;
        s.m_doubleSided = true;
        if (textured) {
            // A planar map facing the camera, one texture across the wall.
            auto layer = std::make_unique<TextureLayer>();
            layer->m_kind = TextureLayer::KIND_IMAGE;
            layer->m_channel = TextureLayer::CHANNEL_COLR;
            layer->m_projection = TextureLayer::PROJECT_PLANAR;
            layer->m_axis = TextureLayer::AXIS_Z;
            layer->m_centre[1].constant = 0.7f;
            for (AnimatedValue& size : layer->m_size) size.constant = 1.0f;
            layer->m_texture = m_placeholder.get();
            s.addTextureLayer(std::move(layer));
        }
        return s;
    }
    Mesh& quad(Surface& s, std::vector<Position3> points) {
        MeshPolygon polygon;
        polygon.points = {0, 1, 2, 3};
        m_meshes.push_back(std::make_unique<Mesh>(m_renderer.get(), nullptr, std::vector<Surface*>{&s},
                                                  std::move(points), std::vector<MeshPolygon>{polygon},
                                                  std::vector<Ref<WeightMap>>{}));
        EXPECT_TRUE(m_meshes.back()->prepare(true, false));
        return *m_meshes.back();
    }
    // Red over green, sampled by point.
    gfx::Texture* twoRowTexture() {
        gfx::Texture* texture = nullptr;
        EXPECT_EQ(m_device->createTexture(1, 2, 1, 0, gfx::FMT_A8R8G8B8, gfx::POOL_MANAGED, &texture), gfx::GFX_OK);
        gfx::LockedRect r{};
        if (texture && texture->lockRect(0, r, nullptr, 0) == gfx::GFX_OK) {
            static_cast<uint32_t*>(r.bits)[0] = 0xFFFF0000;
            static_cast<uint32_t*>(r.bits)[1] = 0xFF00FF00;
            texture->unlockRect(0);
        }
        return texture;
    }
    void setMatrix(uint32_t type, const Matrix4x3& m, Matrix4x3& constant) {
        constant = m;
        m_renderer->m_constants->m_derivedCurrent = false;
        gfx::Matrix device;
        std::copy(m.m, m.m + 16, &device.m[0][0]);
        m_device->setTransform(type, device);
    }
    // Pixel of a world point under the test's camera.
    void project(const Position3& p, int& x, int& y, int width, int height) {
        float v[4];
        for (int c = 0; c < 4; ++c) {
            float e = p.x * m_view.at(0, c) + p.y * m_view.at(1, c) + p.z * m_view.at(2, c) + m_view.at(3, c);
            v[c] = e;
        }
        float clip[4];
        for (int c = 0; c < 4; ++c)
            clip[c] = v[0] * m_projection.at(0, c) + v[1] * m_projection.at(1, c) + v[2] * m_projection.at(2, c) +
                      v[3] * m_projection.at(3, c);
        x = int((clip[0] / clip[3] + 1.0f) * 0.5f * width);
        y = int((1.0f - clip[1] / clip[3]) * 0.5f * height);
    }

    TempDir m_dir;
    std::unique_ptr<RenderDevice> m_render;
    std::unique_ptr<Renderer> m_renderer;
    gfx::Device* m_device = nullptr;
    std::unique_ptr<GeneratedTexture> m_placeholder;
    std::unique_ptr<ShaderLibrary> m_tint;
    std::vector<std::unique_ptr<Surface>> m_surfaces;
    std::vector<std::unique_ptr<Mesh>> m_meshes;
    Matrix4x3 m_view = Matrix4x3::identity(), m_projection = Matrix4x3::identity();
};

// Left-handed look-at and perspective, row vectors.
Matrix4x3 lookAt(const float eye[3], const float at[3]) {
    float z[3] = {at[0] - eye[0], at[1] - eye[1], at[2] - eye[2]};
    normalize(z);
    float x[3] = {z[2], 0.0f, -z[0]};
    normalize(x);
    float y[3];
    toArray(cross(toPosition(z), toPosition(x)), y);
    Matrix4x3 m = Matrix4x3::identity();
    for (int r = 0; r < 3; ++r) m.at(r, 0) = x[r], m.at(r, 1) = y[r], m.at(r, 2) = z[r];
    for (int c = 0; c < 3; ++c) {
        const float* axis = c == 0 ? x : c == 1 ? y : z;
        m.at(3, c) = -(axis[0] * eye[0] + axis[1] * eye[1] + axis[2] * eye[2]);
    }
    return m;
}

Matrix4x3 perspective(float fovY, float aspect, float zn, float zf) {
    Matrix4x3 m{};
    float ys = 1.0f / std::tan(fovY * 0.5f);
    m.at(0, 0) = ys / aspect;
    m.at(1, 1) = ys;
    m.at(2, 2) = zf / (zf - zn);
    m.at(2, 3) = 1.0f;
    m.at(3, 2) = -zn * zf / (zf - zn);
    return m;
}

void expectColour(const std::vector<uint8_t>& rgb, int width, int x, int y, int r, int g, int b, const char* what) {
    ASSERT_TRUE(x >= 0 && y >= 0 && x < width && size_t(y) * width * 3 < rgb.size()) << what;
    const uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
    EXPECT_NEAR(p[0], r, 6) << what;
    EXPECT_NEAR(p[1], g, 6) << what;
    EXPECT_NEAR(p[2], b, 6) << what;
}

} // namespace

TEST_F(MeshRendering, TexturedWallAndItsReflectionInAStencilMirrorFloor) {
    ASSERT_TRUE(m_renderer->m_stencilAvailable);
    m_placeholder = std::make_unique<GeneratedTexture>(m_renderer.get(), 0);
    gfx::Texture* texture = twoRowTexture();
    m_tint = std::make_unique<TintShader>(m_renderer.get(), texture);
    m_renderer->m_surfaceShader = m_tint.get();

    Mesh& wall = quad(surface(true), {{-0.5f, 0.2f, 0}, {0.5f, 0.2f, 0}, {0.5f, 1.2f, 0}, {-0.5f, 1.2f, 0}});
    Surface& mirror = surface(false);
    mirror.m_reflectivity.constant = 1.0f;
    mirror.m_reflectionMode = Surface::REFLECT_MIRROR;
    // Wound so the mirror's normal points up, keeping what stands above it.
    Mesh& floor = quad(mirror, {{-2, 0, -2}, {-2, 0, 2}, {2, 0, 2}, {2, 0, -2}});

    // Far off to the side, beyond what the mirror can show.
    Mesh& aside = quad(*m_surfaces.front(), {{9.5f, 0.2f, 0}, {10.5f, 0.2f, 0}, {10.5f, 1.2f, 0}, {9.5f, 1.2f, 0}});

    ReflectedScene scene(m_renderer.get());
    scene.m_renderer = m_renderer.get();
    SceneObject wallObject(&scene, 0), floorObject(&scene, 1), asideObject(&scene, 2);
    wallObject.m_levels.push_back({&wall, 0.0f, true});
    floorObject.m_levels.push_back({&floor, 0.0f, true});
    asideObject.m_levels.push_back({&aside, 0.0f, true});
    scene.m_drawn = {&wallObject, &asideObject};
    floor.m_reflectionScenes = {&scene};

    int width = int(m_device->presentParams().backBufferWidth), height = int(m_device->presentParams().backBufferHeight);
    const float eye[3] = {0.0f, 1.5f, -3.0f}, at[3] = {0.0f, 0.2f, 0.0f};
    m_view = lookAt(eye, at);
    m_projection = perspective(0.9f, float(width) / float(height), 0.1f, 50.0f);
    ShaderConstants& constants = *m_renderer->m_constants;
    setMatrix(gfx::TS_WORLD, Matrix4x3::identity(), constants.m_world);
    setMatrix(gfx::TS_VIEW, m_view, constants.m_view);
    setMatrix(gfx::TS_PROJECTION, m_projection, constants.m_projection);

    ASSERT_EQ(m_device->clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER | gfx::CLEAR_STENCIL, 0xFF000000,
                              1.0f, 0),
              gfx::GFX_OK);
    ASSERT_EQ(m_device->beginScene(), gfx::GFX_OK);
    wall.draw(0.0, &wallObject, nullptr);
    floor.draw(0.0, &floorObject, nullptr);
    ASSERT_EQ(m_device->endScene(), gfx::GFX_OK);
    EXPECT_EQ(scene.m_renders, 1);
    EXPECT_EQ(scene.m_culled, 1);

    gfx::Surface* back = nullptr;
    ASSERT_EQ(m_device->getBackBuffer(0, 0, 0, &back), gfx::GFX_OK);
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    gfx::LockedRect r{};
    ASSERT_EQ(back->lockRect(r, nullptr, gfx::LOCK_READONLY), gfx::GFX_OK);
    for (int i = 0; i < width * height; ++i) {
        uint32_t p = static_cast<const uint32_t*>(r.bits)[i];
        rgb[i * 3] = uint8_t(p >> 16), rgb[i * 3 + 1] = uint8_t(p >> 8), rgb[i * 3 + 2] = uint8_t(p);
    }
    back->unlockRect();
    back->release();
    const char* png = std::getenv("PLIMZOR_RENDER_PNG");
    EXPECT_TRUE(stbi_write_png(png ? png : m_dir.file("mesh-mirror.png").c_str(), width, height, 3, rgb.data(),
                               width * 3));

    int x, y;
    project({0, 1.0f, 0}, x, y, width, height);
    const uint8_t* top = &rgb[(size_t(y) * width + x) * 3];
    project({0, 0.4f, 0}, x, y, width, height);
    const uint8_t* bottom = &rgb[(size_t(y) * width + x) * 3];
    // One texel row each: the wall's upper and lower halves differ.
    ASSERT_TRUE((top[0] == 255 && bottom[1] == 255) || (top[1] == 255 && bottom[0] == 255));
    // Mirrored: the reflection of the top lies farther below the floor line, under the blue tint.
    project({0, -1.0f, 0}, x, y, width, height);
    expectColour(rgb, width, x, y, top[0], top[1], 64, "reflected top");
    project({0, -0.4f, 0}, x, y, width, height);
    expectColour(rgb, width, x, y, bottom[0], bottom[1], 64, "reflected bottom");
    project({1.2f, 0, 1.0f}, x, y, width, height);
    expectColour(rgb, width, x, y, 0, 0, 128, "mirror without reflection");
    project({0, 1.3f, 2.0f}, x, y, width, height);
    expectColour(rgb, width, x, y, 0, 0, 0, "background");
    EXPECT_EQ(m_renderer->m_cullMode, uint32_t(gfx::CULL_CCW));
    texture->release();
}
