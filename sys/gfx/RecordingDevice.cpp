#include "sys/gfx/RecordingDevice.h"

#include <cstdarg>
#include <cstdio>

namespace sys::gfx {

namespace {
constexpr size_t MAX_RECORDED_CALLS = 1u << 20;
}

RecordingDevice::RecordingDevice(const PresentParams& params) : Device(params) {
    makeBackBuffer();
    resetState();
}

RecordingDevice::~RecordingDevice() {
    if (m_backBuffer) m_backBuffer->release();
    if (m_autoDepth) m_autoDepth->release();
}

void RecordingDevice::makeBackBuffer() {
    if (m_backBuffer) m_backBuffer->release();
    if (m_autoDepth) m_autoDepth->release();
    m_autoDepth = nullptr;
    // A window's client area stands for a size of 0; the recorder takes the game's own window size.
    if (m_params.backBufferWidth == 0) m_params.backBufferWidth = 960;
    if (m_params.backBufferHeight == 0) m_params.backBufferHeight = 720;
    if (m_params.backBufferFormat == FMT_UNKNOWN) m_params.backBufferFormat = FMT_X8R8G8B8;
    SurfaceDesc desc{m_params.backBufferFormat, RTYPE_SURFACE, USAGE_RENDERTARGET, POOL_DEFAULT,
                     m_params.multiSampleType, m_params.multiSampleQuality, m_params.backBufferWidth,
                     m_params.backBufferHeight};
    m_backBuffer = new Surface(this, desc, nullptr, 0);
    if (m_params.enableAutoDepthStencil) {
        desc.format = m_params.autoDepthStencilFormat;
        desc.usage = USAGE_DEPTHSTENCIL;
        m_autoDepth = new Surface(this, desc, nullptr, 0);
    }
}

void RecordingDevice::write(const char* format, ...) {
    if (m_calls.size() >= MAX_RECORDED_CALLS) return;
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    m_calls.emplace_back(line);
}

void RecordingDevice::setLost(bool lost) {
    m_lost = lost;
    if (lost) m_needsReset = true;
}

HResult RecordingDevice::reset(PresentParams& params) {
    record("reset %u %u %u %u %d", params.backBufferWidth, params.backBufferHeight, params.backBufferFormat,
           params.multiSampleType, params.windowed);
    if (m_lost) return GFXERR_DEVICELOST;
    m_params = params;
    makeBackBuffer();
    resetState();
    m_needsReset = false;
    m_inScene = false;
    return GFX_OK;
}

HResult RecordingDevice::testCooperativeLevel() {
    if (m_lost) return GFXERR_DEVICELOST;
    return m_needsReset ? GFXERR_DEVICENOTRESET : GFX_OK;
}

HResult RecordingDevice::beginScene() {
    record("beginScene");
    return Device::beginScene();
}

HResult RecordingDevice::endScene() {
    record("endScene");
    return Device::endScene();
}

HResult RecordingDevice::present() {
    record("present");
    return m_lost ? GFXERR_DEVICELOST : GFX_OK;
}

HResult RecordingDevice::clear(uint32_t count, const Rect* rects, uint32_t flags, uint32_t color, float z,
                               uint32_t stencil) {
    record("clear %u %u %08x %g %u", count, flags, color, double(z), stencil);
    return GFX_OK;
}

HResult RecordingDevice::setViewport(const Viewport& v) {
    record("setViewport %u %u %u %u %g %g", v.x, v.y, v.width, v.height, double(v.minZ), double(v.maxZ));
    return Device::setViewport(v);
}

HResult RecordingDevice::setRenderTarget(uint32_t index, Surface* surface) {
    record("setRenderTarget %u %s", index, surface == m_backBuffer ? "backbuffer" : surface ? "surface" : "null");
    return Device::setRenderTarget(index, surface);
}

HResult RecordingDevice::setScissorRect(const Rect& r) {
    record("setScissorRect %d %d %d %d", r.left, r.top, r.right, r.bottom);
    return Device::setScissorRect(r);
}

HResult RecordingDevice::setDepthStencilSurface(Surface* surface) {
    record("setDepthStencilSurface %s", surface == m_autoDepth ? "auto" : surface ? "surface" : "null");
    return Device::setDepthStencilSurface(surface);
}

HResult RecordingDevice::stretchRect(Surface* source, const Rect* sourceRect, Surface* dest, const Rect* destRect,
                                     uint32_t filter) {
    record("stretchRect %u", filter);
    return source && dest ? GFX_OK : GFXERR_INVALIDCALL;
}

HResult RecordingDevice::setTransform(uint32_t type, const Matrix& m) {
    record("setTransform %u %g %g %g %g", type, double(m.m[0][0]), double(m.m[1][1]), double(m.m[2][2]),
           double(m.m[3][0]));
    return Device::setTransform(type, m);
}

HResult RecordingDevice::setLight(uint32_t index, const Light& light) {
    record("setLight %u %u", index, light.type);
    return Device::setLight(index, light);
}

HResult RecordingDevice::lightEnable(uint32_t index, bool enable) {
    record("lightEnable %u %d", index, enable ? 1 : 0);
    return Device::lightEnable(index, enable);
}

HResult RecordingDevice::setClipPlane(uint32_t index, const float plane[4]) {
    if (plane) record("setClipPlane %u %g %g %g %g", index, double(plane[0]), double(plane[1]), double(plane[2]),
                      double(plane[3]));
    return Device::setClipPlane(index, plane);
}

HResult RecordingDevice::setMaterial(const Material& m) {
    record("setMaterial %g %g %g %g", double(m.diffuse.r), double(m.diffuse.g), double(m.diffuse.b),
           double(m.diffuse.a));
    return Device::setMaterial(m);
}

HResult RecordingDevice::setRenderState(uint32_t state, uint32_t value) {
    record("setRenderState %u %u", state, value);
    return Device::setRenderState(state, value);
}

HResult RecordingDevice::setSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
    record("setSamplerState %u %u %u", sampler, type, value);
    return Device::setSamplerState(sampler, type, value);
}

HResult RecordingDevice::setTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
    record("setTextureStageState %u %u %u", stage, type, value);
    return Device::setTextureStageState(stage, type, value);
}

HResult RecordingDevice::setTexture(uint32_t stage, Texture* texture) {
    record("setTexture %u %s", stage, texture ? "texture" : "null");
    return Device::setTexture(stage, texture);
}

HResult RecordingDevice::setFVF(uint32_t fvf) {
    record("setFVF %#x", fvf);
    return Device::setFVF(fvf);
}

HResult RecordingDevice::setVertexDeclaration(VertexDeclaration* declaration) {
    record("setVertexDeclaration %s", declaration ? "declaration" : "null");
    return Device::setVertexDeclaration(declaration);
}

HResult RecordingDevice::setStreamSource(uint32_t stream, Buffer* buffer, uint32_t offset, uint32_t stride) {
    record("setStreamSource %u %s %u %u", stream, buffer ? "buffer" : "null", offset, stride);
    return Device::setStreamSource(stream, buffer, offset, stride);
}

HResult RecordingDevice::setIndices(Buffer* indices) {
    record("setIndices %s", indices ? "buffer" : "null");
    return Device::setIndices(indices);
}

HResult RecordingDevice::drawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) {
    record("drawPrimitive %u %u %u", type, startVertex, primitiveCount);
    return GFX_OK;
}

HResult RecordingDevice::drawPrimitiveUP(uint32_t type, uint32_t primitiveCount, const void* vertices,
                                         uint32_t stride) {
    record("drawPrimitiveUP %u %u %u", type, primitiveCount, stride);
    return vertices ? GFX_OK : GFXERR_INVALIDCALL;
}

HResult RecordingDevice::drawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t minIndex,
                                              uint32_t numVertices, uint32_t startIndex, uint32_t primitiveCount) {
    record("drawIndexedPrimitive %u %d %u %u %u %u", type, baseVertex, minIndex, numVertices, startIndex,
           primitiveCount);
    return GFX_OK;
}

HResult RecordingDevice::setVertexShader(const void* shader) {
    record("setVertexShader %s", shader ? "shader" : "null");
    return Device::setVertexShader(shader);
}

HResult RecordingDevice::setPixelShader(const void* shader) {
    record("setPixelShader %s", shader ? "shader" : "null");
    return Device::setPixelShader(shader);
}

HResult RecordingDevice::setSoftwareVertexProcessing(bool software) {
    record("setSoftwareVertexProcessing %d", software ? 1 : 0);
    return GFX_OK;
}

void RecordingDevice::setGammaRamp(uint32_t swapChain, uint32_t flags, const uint16_t ramp[3][256]) {
    record("setGammaRamp %u %u", ramp[0][0], ramp[0][255]);
}

HResult RecordingDevice::createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                       uint32_t format, uint32_t pool, Texture** texture) {
    record("createTexture %u %u %u %#x %u %u", width, height, levels, usage, format, pool);
    return Device::createTexture(width, height, levels, usage, format, pool, texture);
}

HResult RecordingDevice::createVolumeTexture(uint32_t width, uint32_t height, uint32_t depth, uint32_t levels,
                                             uint32_t usage, uint32_t format, uint32_t pool, Texture** texture) {
    record("createVolumeTexture %u %u %u %u %#x %u %u", width, height, depth, levels, usage, format, pool);
    return Device::createVolumeTexture(width, height, depth, levels, usage, format, pool, texture);
}

HResult RecordingDevice::createDepthStencilSurface(uint32_t width, uint32_t height, uint32_t format,
                                                   uint32_t multiSample, uint32_t quality, bool discard,
                                                   Surface** surface) {
    record("createDepthStencilSurface %u %u %u %u", width, height, format, multiSample);
    return Device::createDepthStencilSurface(width, height, format, multiSample, quality, discard, surface);
}

HResult RecordingDevice::createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                            Buffer** buffer) {
    record("createVertexBuffer %u %#x %#x %u", length, usage, fvf, pool);
    return Device::createVertexBuffer(length, usage, fvf, pool, buffer);
}

HResult RecordingDevice::createIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                                           Buffer** buffer) {
    record("createIndexBuffer %u %#x %u %u", length, usage, format, pool);
    return Device::createIndexBuffer(length, usage, format, pool, buffer);
}

HResult RecordingDevice::createQuery(uint32_t type, Query** query) {
    record("createQuery %u", type);
    return Device::createQuery(type, query);
}

} // namespace sys::gfx
