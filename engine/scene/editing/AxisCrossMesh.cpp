#include "engine/scene/editing/AxisCrossMesh.h"

#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "sys/gfx/Device.h"

using namespace sys::gfx;

namespace {

struct LineVertex {
    float x, y, z;
    uint32_t colour;
};

void setWorld(Renderer& renderer, const Matrix4x3& world) {
    renderer.m_constants->m_world = world;
    renderer.m_constants->m_derivedCurrent = false;
    Matrix m;
    for (int i = 0; i < 16; ++i) m.m[i / 4][i % 4] = world[i];
    renderer.m_currentDevice->setTransform(TS_WORLD, m);
}

} // namespace

AxisCrossMesh::AxisCrossMesh(Renderer* renderer, SceneItem* owner) : Mesh(renderer, owner), m_owner(renderer) {}

void AxisCrossMesh::draw(double time, SceneObject* object, SceneItem* viewer) {
    Renderer& renderer = *m_owner;
    Device& device = *renderer.m_currentDevice;
    const Matrix4x3 saved = renderer.m_constants->m_world;
    Matrix4x3 world = Matrix4x3::identity();
    for (int i = 12; i < 15; ++i) world[i] = saved[i];
    setWorld(renderer, world);

    Material black{};
    black.diffuse = black.ambient = black.specular = black.emissive = ColorValue{0.0f, 0.0f, 0.0f, 1.0f};
    device.setMaterial(black);
    device.setRenderState(RS_ZWRITEENABLE, 1);
    device.setRenderState(RS_ALPHABLENDENABLE, 0);
    device.setRenderState(RS_ALPHATESTENABLE, 0);
    device.setRenderState(RS_SPECULARENABLE, 0);
    device.setFVF(FVF_XYZ | FVF_DIFFUSE);
    device.setVertexShader(nullptr);
    device.setTextureStageState(0, TSS_COLOROP, TOP_DISABLE);
    device.setTexture(0, nullptr);
    device.setPixelShader(nullptr);
    const uint32_t red = colorToARGB({1, 0, 0, 1}), green = colorToARGB({0, 1, 0, 1}), blue = colorToARGB({0, 0, 1, 1});
    const LineVertex lines[6] = {{-1, 0, 0, red},   {1, 0, 0, red},   {0, -1, 0, green},
                                 {0, 1, 0, green}, {0, 0, -1, blue}, {0, 0, 1, blue}};
    device.drawPrimitiveUP(PT_LINELIST, 3, lines, sizeof(LineVertex));

    setWorld(renderer, saved);
}
