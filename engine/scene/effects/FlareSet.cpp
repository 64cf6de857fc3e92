#include "engine/scene/effects/FlareSet.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/platform/display/DeviceList.h"
#include "engine/platform/images/GeneratedTexture.h"
#include "engine/render/RenderView.h"
#include "engine/scene/Light.h"
#include "engine/scene/Occluder.h"
#include "engine/scene/ScenePasses.h"
#include "sys/gfx/Device.h"
#include "sys/thread/Clock.h"

namespace gfx = sys::gfx;

uint32_t FlareSet::s_maxQueryPixels = 16;

const FlareSet::Ghost FlareSet::GHOSTS[GHOST_COUNT] = {
    {2, 1.52f, 0.4f, 0xff030303},    {2, 1.5f, 0.92f, 0xff0a0500},    {4, 1.3f, 0.11f, 0xff141414},
    {2, 0.505f, 0.055f, 0xff03080f}, {2, 0.45f, 0.16f, 0xff00030d},   {2, 0.41f, 0.085f, 0xff030a0f},
    {2, 0.2f, 0.055f, 0xff291400},   {1, 0.01f, 0.03f, 0xff999999},   {1, -0.27f, 0.045f, 0xff80b2cc},
    {2, -0.415f, 0.11f, 0xff401200}, {3, -0.455f, 0.19f, 0xff211403}, {2, -0.457f, 0.055f, 0xff170f00},
    {2, -0.655f, 0.085f, 0xff0a1f1c}, {1, -0.675f, 0.13f, 0xff0a0a66}, {4, -1.005f, 0.27f, 0xff171f00},
    {5, -1.31f, 0.53f, 0xff0f0a00},
};

namespace {

constexpr float VISIBLE = 1e-6f;
// A query that is still not ready after this long counts as failed; a count
// of polls would run out early on a busy software renderer.
constexpr uint32_t MAX_QUERY_WAIT_MS = 2000;

const float QUAD_VERTICES[5][5] = {
    {-0.1f, -0.1f, 0.0f, 0.0f, 0.0f}, {-0.1f, 0.1f, 0.0f, 0.0f, 1.0f}, {0.1f, 0.1f, 0.0f, 1.0f, 1.0f},
    {0.1f, -0.1f, 0.0f, 1.0f, 0.0f},  {0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
};

const char* const TEXTURE_NAMES[4] = {"(flare BRIGHTCTR)", "(flare EVENCTR)", "(flare DIMCTR)", "(flare RING)"};

Position3 translationOf(const Matrix4x3& m) { return {m[12], m[13], m[14]}; }

Position3 through(const Position3& p, const Matrix4x3& m) {
    return {p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12], p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13],
            p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14]};
}

// Unit Z row of a matrix; zero when it has none.
void zAxis(const Matrix4x3& m, float out[3]) {
    out[0] = m[8];
    out[1] = m[9];
    out[2] = m[10];
    if (vectorLength(out) > 0.0f) normalize(out);
}

// 1 in the middle of the screen, falling to 0 over the outer tenth of each half.
float edgeFade(const float clip[4]) {
    const float w = clip[3];
    const float margin = 0.1f * w;
    if (!(margin > 0.0f)) return 0.0f;
    const float inner = w - margin;
    float fade = 1.0f;
    for (int axis = 0; axis < 2; ++axis) {
        const float c = clip[axis];
        if (c < -inner) fade *= 1.0f - (-c - inner) / margin;
        if (c > inner) fade *= 1.0f - (c - inner) / margin;
    }
    return std::max(fade, 0.0f);
}

Matrix4x3 placed(float xx, float xy, float yx, float yy, float zz, const Position3& at) {
    return Matrix4x3{{xx, xy, 0, 0, yx, yy, 0, 0, 0, 0, zz, 0, at.x, at.y, at.z, 1}};
}

} // namespace

FlareSet::FlareSet(DeviceList& devices, Light& light, const TextureFinder& find, const TextureKeeper& keep)
    : m_devices(devices), m_light(light) {
    makeTextures(find, keep);
    createVertexBuffer();
    createDeviceObjects();
}

FlareSet::~FlareSet() {
    releaseDeviceObjects();
}

void FlareSet::makeTextures(const TextureFinder& find, const TextureKeeper& keep) {
    for (int kind = 1; kind <= 4; ++kind) {
        const std::string name = TEXTURE_NAMES[kind - 1];
        Texture* texture = find ? find(name) : nullptr;
        if (!texture) {
            auto made = std::make_unique<GeneratedTexture>(&m_devices, Texture::MIP_CHAIN | Texture::NEEDS_COLOUR);
            GeneratedTexture* built = made.get();
            made->m_name = name;
            if (keep) {
                texture = keep(std::move(made));
            } else {
                texture = built;
                m_ownTextures.push_back(std::move(made));
            }
            built->buildFlare(kind);
        }
        const bool used = kind == 1 ? (m_light.m_flareOptions & 0x19) != 0 : (m_light.m_flareOptions & 0x10) != 0;
        if (texture && used) texture->preload();
        m_textures[kind] = texture;
    }
    m_textures[CENTRE] = m_textures[BRIGHT_CENTRE];
    m_textures[RING2] = m_textures[RING];
}

void FlareSet::createVertexBuffer() {
    gfx::Device* device = m_devices.m_currentDevice;
    if (!device) return;
    if (device->createVertexBuffer(VERTEX_BUFFER_SIZE, gfx::USAGE_WRITEONLY, VERTEX_FVF, gfx::POOL_MANAGED,
                                   m_vertexBuffer.out()) != gfx::GFX_OK)
        return;
    void* bits = nullptr;
    if (m_vertexBuffer->lock(0, 0, &bits, 0) != gfx::GFX_OK || !bits) {
        // An unfilled buffer would draw whatever it holds: none at all instead.
        m_vertexBuffer.reset();
        return;
    }
    std::memcpy(bits, QUAD_VERTICES, sizeof QUAD_VERTICES);
    m_vertexBuffer->unlock();
}

void FlareSet::createDeviceObjects() {
    releaseDeviceObjects();
    m_views.assign(m_devices.m_stereoMode != 0 ? 2 : 1, FlareView{});
    gfx::Device* device = m_devices.m_currentDevice;
    for (FlareView& view : m_views)
        if (device) device->createQuery(gfx::QUERYTYPE_OCCLUSION, view.query.out());
}

void FlareSet::releaseDeviceObjects() {
    m_views.clear();
}

FlareView* FlareSet::viewRecord(int view) {
    const RenderView* renderer = m_light.m_renderer;
    const bool secondEye = m_views.size() == 2 && renderer && renderer->m_currentEye == 1;
    const int index = view - 1 + (secondEye ? 1 : 0);
    return index >= 0 && size_t(index) < m_views.size() ? &m_views[size_t(index)] : nullptr;
}

Position3 FlareSet::lightInCamera(SceneItem& camera, double time) {
    Matrix4x3 world, view;
    m_light.getMatrix(world, time, 1);
    camera.getInvMatrix(view, time, 1);
    return through(translationOf(world), view);
}

bool FlareSet::updateFlareVisibility(int view, SceneItem& camera, const std::vector<CullingPlane*>& occluders,
                                     double time) {
    FlareView* record = viewRecord(view);
    if (!record) return false;
    record->drawnBefore = record->drawn;
    record->intensityBefore = record->intensity;
    record->edgeFadeBefore = record->edgeFade;
    record->onScreen = record->drawn = false;
    record->intensity = record->edgeFade = 0.0f;
    if (!m_light.m_lensFlare || !record->query) return false;

    if (!camera.m_projValid) camera.updateProjMatrix(time);
    Matrix4x3 view4, toClip, world;
    camera.getInvMatrix(view4, time, 1);
    multiplyMatrix4x3By4x4(toClip, view4, camera.m_projMatrix);
    m_light.getMatrix(world, time, 1);
    const Position3 p = translationOf(world);
    float clip[4];
    for (int col = 0; col < 4; ++col)
        clip[col] = p.x * toClip.at(0, col) + p.y * toClip.at(1, col) + p.z * toClip.at(2, col) + toClip.at(3, col);
    // A position a broken envelope made NaN passes every view test; it is nowhere.
    if (!std::all_of(clip, clip + 4, [](float c) { return std::isfinite(c); }) || camera.isPointOutside(clip))
        return false;
    for (CullingPlane* occluder : occluders)
        if (occluder && occluderHidesPoint(clip, occluderOf(*occluder))) return false;

    const float fade = edgeFade(clip);
    if (fade > VISIBLE) {
        record->onScreen = true;
        record->edgeFade = fade;
        float intensity = m_light.m_flareIntensity.evaluate(time) * m_light.m_flareNominalDistance * 5.0f;
        if ((m_light.m_lightType == Light::DISTANT || m_light.m_lightType == Light::SPOT) && intensity > VISIBLE) {
            // Distant and spot lights flare only while they shine towards the camera.
            Matrix4x3 cameraWorld;
            camera.getMatrix(cameraWorld, time, 1);
            float cameraZ[3], lightZ[3];
            zAxis(cameraWorld, cameraZ);
            zAxis(world, lightZ);
            intensity *= -(cameraZ[0] * lightZ[0] + cameraZ[1] * lightZ[1] + cameraZ[2] * lightZ[2]);
        }
        record->intensity = intensity;
        record->drawn = intensity > VISIBLE;
    }
    return record->drawn || (record->onScreen && record->drawnBefore);
}

void FlareSet::issueOcclusionQuery(int view, SceneItem& camera, double time) {
    FlareView* record = viewRecord(view);
    gfx::Device* device = m_devices.m_currentDevice;
    if (!record || !record->drawn || !record->query || !m_vertexBuffer || !device) return;
    device->setStreamSource(0, m_vertexBuffer, 0, VERTEX_STRIDE);
    device->setFVF(VERTEX_FVF);
    ScenePasses::setTransform(*device, gfx::TS_VIEW, placed(1, 0, 0, 1, 1, lightInCamera(camera, time)));
    record->query->issue(gfx::ISSUE_BEGIN);
    device->drawPrimitive(gfx::PT_POINTLIST, 4, 1);
    record->query->issue(gfx::ISSUE_END);
}

float FlareSet::occlusionFraction(FlareView& record) {
    if (!record.query) return 0.0f;
    uint32_t pixels = 0;
    gfx::HResult result = record.query->getData(&pixels, sizeof pixels, 0);
    const uint32_t start = sys::milliseconds();
    while (result == gfx::GFX_FALSE && sys::milliseconds() - start < MAX_QUERY_WAIT_MS)
        result = record.query->getData(&pixels, sizeof pixels, gfx::GETDATA_FLUSH);
    if (result != gfx::GFX_OK) return 0.0f;
    s_maxQueryPixels = std::max(s_maxQueryPixels, pixels);
    return s_maxQueryPixels ? float(pixels) / float(s_maxQueryPixels) : 0.0f;
}

void FlareSet::drawQuad(int textureIndex, const Matrix4x3& view, uint32_t colour, double time) {
    gfx::Device& device = *m_devices.m_currentDevice;
    Texture* source = texture(textureIndex);
    gfx::Texture* bound = source ? source->getTexture(time) : nullptr;
    // Untextured it would be a plain square of the element's colour.
    if (!bound) return;
    device.setTexture(0, bound);
    device.setRenderState(gfx::RS_TEXTUREFACTOR, colour);
    ScenePasses::setTransform(device, gfx::TS_VIEW, view);
    device.drawPrimitive(gfx::PT_TRIANGLEFAN, 0, 2);
}

void FlareSet::drawFlares(int view, SceneItem& camera, double time) {
    FlareView* record = viewRecord(view);
    gfx::Device* device = m_devices.m_currentDevice;
    if (!record || !record->onScreen || !record->drawnBefore || !m_vertexBuffer || !device) return;
    const float s = record->intensityBefore * occlusionFraction(*record);
    if (!(s > 0.0f)) return;
    float a = m_light.m_flareRotation.evaluate(time);
    if (!std::isfinite(a)) a = 0.0f;
    const Position3 p = lightInCamera(camera, time);
    ColorRGBA colour = m_light.getColour(time);
    colour.a = std::min(record->edgeFadeBefore, record->edgeFade);

    device->setStreamSource(0, m_vertexBuffer, 0, VERTEX_STRIDE);
    device->setFVF(VERTEX_FVF);
    const float c = std::cos(a) * s, n = std::sin(a) * s;
    const Matrix4x3 centre = placed(c, -n, n, c, s, p);
    const int options = m_light.m_flareOptions;
    if (options & OPTION_CENTRE) drawQuad(BRIGHT_CENTRE, centre, colorToARGB(colour), time);
    if (options & OPTION_CENTRE_GLOW) drawQuad(BRIGHT_CENTRE, centre, colorToARGB({0.46f, 0.46f, 0.46f, colour.a}), time);
    if (!(options & OPTION_GHOSTS)) return;
    for (const Ghost& ghost : GHOSTS) {
        const float k = ghost.size * s;
        const ColorRGBA tint = {float((ghost.colour >> 16) & 0xFF) / 255.0f, float((ghost.colour >> 8) & 0xFF) / 255.0f,
                                float(ghost.colour & 0xFF) / 255.0f, colour.a};
        drawQuad(ghost.texture, placed(k, 0, 0, k, k, {p.x * ghost.position, p.y * ghost.position, p.z}),
                 colorToARGB(tint), time);
    }
}
