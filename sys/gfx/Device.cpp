#include "sys/gfx/Device.h"

#include <cstring>

namespace sys::gfx {

namespace {

Matrix identity() {
    Matrix m{};
    for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
    return m;
}

uint32_t floatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

} // namespace

Device::Device(const PresentParams& params) : m_params(params) { resetState(); }

Device::~Device() = default;

void Device::resetState() {
    std::memset(&m_state, 0, sizeof m_state);
    uint32_t* rs = m_state.renderStates;
    rs[RS_ZENABLE] = m_params.enableAutoDepthStencil ? 1 : 0;
    rs[RS_FILLMODE] = FILL_SOLID;
    rs[RS_SHADEMODE] = 2;
    rs[RS_ZWRITEENABLE] = 1;
    rs[RS_SRCBLEND] = BLEND_ONE;
    rs[RS_DESTBLEND] = BLEND_ZERO;
    rs[RS_CULLMODE] = CULL_CCW;
    rs[RS_ZFUNC] = CMP_LESSEQUAL;
    rs[RS_ALPHAFUNC] = CMP_ALWAYS;
    rs[RS_FOGEND] = floatBits(1.0f);
    rs[RS_FOGDENSITY] = floatBits(1.0f);
    rs[RS_STENCILFAIL] = rs[RS_STENCILZFAIL] = rs[RS_STENCILPASS] = STENCILOP_KEEP;
    rs[RS_STENCILFUNC] = CMP_ALWAYS;
    rs[RS_STENCILMASK] = rs[RS_STENCILWRITEMASK] = 0xFFFFFFFF;
    rs[RS_TEXTUREFACTOR] = 0xFFFFFFFF;
    rs[RS_CLIPPING] = 1;
    rs[RS_LIGHTING] = 1;
    rs[RS_COLORVERTEX] = 1;
    rs[RS_LOCALVIEWER] = 1;
    rs[RS_DIFFUSEMATERIALSOURCE] = MCS_COLOR1;
    rs[RS_SPECULARMATERIALSOURCE] = MCS_COLOR2;
    rs[RS_POINTSIZE] = floatBits(1.0f);
    rs[RS_MULTISAMPLEANTIALIAS] = 1;
    rs[RS_COLORWRITEENABLE] = 0xF;
    rs[RS_BLENDOP] = 1;
    for (uint32_t s = 0; s < MAX_STAGES; ++s) {
        uint32_t* ss = m_state.samplerStates[s];
        ss[SAMP_ADDRESSU] = ss[SAMP_ADDRESSV] = ss[SAMP_ADDRESSW] = TADDRESS_WRAP;
        ss[SAMP_MAGFILTER] = ss[SAMP_MINFILTER] = TEXF_POINT;
        ss[SAMP_MAXANISOTROPY] = 1;
        uint32_t* ts = m_state.stageStates[s];
        ts[TSS_COLOROP] = s == 0 ? TOP_MODULATE : TOP_DISABLE;
        ts[TSS_ALPHAOP] = s == 0 ? TOP_SELECTARG1 : TOP_DISABLE;
        ts[TSS_COLORARG1] = ts[TSS_ALPHAARG1] = TA_TEXTURE;
        ts[TSS_COLORARG2] = ts[TSS_ALPHAARG2] = TA_CURRENT;
        ts[TSS_COLORARG0] = ts[TSS_ALPHAARG0] = ts[TSS_RESULTARG] = TA_CURRENT;
        ts[TSS_TEXCOORDINDEX] = s;
        m_state.texture[s] = identity();
    }
    m_state.world = m_state.view = m_state.projection = identity();
    m_state.material.diffuse = {1, 1, 1, 1};
    for (Light& light : m_state.lights) {
        light.type = LIGHT_DIRECTIONAL;
        light.diffuse = {1, 1, 1, 0};
        light.direction = {0, 0, 1};
    }
    if (m_backBuffer) {
        const SurfaceDesc& d = m_backBuffer->getDesc();
        m_state.viewport = {0, 0, d.width, d.height, 0.0f, 1.0f};
        m_state.scissor = {0, 0, int32_t(d.width), int32_t(d.height)};
    }
    m_state.renderTarget = m_backBuffer;
    m_state.depthStencil = m_autoDepth;
}

void Device::forget(Resource* object) {
    for (Texture*& t : m_state.textures)
        if (t == object) t = nullptr;
    if (m_state.declaration == object) m_state.declaration = nullptr;
    if (m_state.stream == object) m_state.stream = nullptr;
    if (m_state.indices == object) m_state.indices = nullptr;
    // The device's own buffers go too, so targets never fall back to a freed one.
    if (m_backBuffer == object) m_backBuffer = nullptr;
    if (m_autoDepth == object) m_autoDepth = nullptr;
    auto owns = [object](Surface* s) { return s && (s == object || s->getContainer() == object); };
    if (owns(m_state.renderTarget)) m_state.renderTarget = m_backBuffer;
    if (owns(m_state.depthStencil)) m_state.depthStencil = m_autoDepth;
}

HResult Device::beginScene() {
    if (m_inScene) return GFXERR_INVALIDCALL;
    m_inScene = true;
    return GFX_OK;
}

HResult Device::endScene() {
    if (!m_inScene) return GFXERR_INVALIDCALL;
    m_inScene = false;
    return GFX_OK;
}

HResult Device::setViewport(const Viewport& viewport) {
    m_state.viewport = viewport;
    return GFX_OK;
}

HResult Device::getViewport(Viewport& viewport) const {
    viewport = m_state.viewport;
    return GFX_OK;
}

HResult Device::setRenderTarget(uint32_t index, Surface* surface) {
    if (index != 0 || !surface) return GFXERR_INVALIDCALL;
    if (!(surface->getDesc().usage & USAGE_RENDERTARGET)) return GFXERR_INVALIDCALL;
    m_state.renderTarget = surface;
    // As on the original: a new target sets the viewport to all of it.
    m_state.viewport = {0, 0, surface->getDesc().width, surface->getDesc().height, 0.0f, 1.0f};
    m_state.scissor = {0, 0, int32_t(surface->getDesc().width), int32_t(surface->getDesc().height)};
    return GFX_OK;
}

HResult Device::setScissorRect(const Rect& rect) {
    if (rect.right < rect.left || rect.bottom < rect.top) return GFXERR_INVALIDCALL;
    m_state.scissor = rect;
    return GFX_OK;
}

HResult Device::getScissorRect(Rect& rect) const {
    rect = m_state.scissor;
    return GFX_OK;
}

HResult Device::getRenderTarget(uint32_t index, Surface** surface) {
    if (index != 0 || !surface || !m_state.renderTarget) return GFXERR_INVALIDCALL;
    *surface = m_state.renderTarget;
    m_state.renderTarget->addRef();
    return GFX_OK;
}

HResult Device::setDepthStencilSurface(Surface* surface) {
    m_state.depthStencil = surface;
    return GFX_OK;
}

HResult Device::getDepthStencilSurface(Surface** surface) {
    if (!surface) return GFXERR_INVALIDCALL;
    *surface = m_state.depthStencil;
    if (!*surface) return GFXERR_NOTFOUND;
    (*surface)->addRef();
    return GFX_OK;
}

HResult Device::getBackBuffer(uint32_t swapChain, uint32_t index, uint32_t type, Surface** surface) {
    if (!surface || swapChain != 0 || index != 0 || !m_backBuffer) return GFXERR_INVALIDCALL;
    *surface = m_backBuffer;
    m_backBuffer->addRef();
    return GFX_OK;
}

HResult Device::setTransform(uint32_t type, const Matrix& matrix) {
    if (type == TS_WORLD) m_state.world = matrix;
    else if (type == TS_VIEW) m_state.view = matrix;
    else if (type == TS_PROJECTION) m_state.projection = matrix;
    else if (type >= TS_TEXTURE0 && type < TS_TEXTURE0 + MAX_STAGES) m_state.texture[type - TS_TEXTURE0] = matrix;
    else return GFXERR_INVALIDCALL;
    return GFX_OK;
}

HResult Device::getTransform(uint32_t type, Matrix& matrix) const {
    if (type == TS_WORLD) matrix = m_state.world;
    else if (type == TS_VIEW) matrix = m_state.view;
    else if (type == TS_PROJECTION) matrix = m_state.projection;
    else if (type >= TS_TEXTURE0 && type < TS_TEXTURE0 + MAX_STAGES) matrix = m_state.texture[type - TS_TEXTURE0];
    else return GFXERR_INVALIDCALL;
    return GFX_OK;
}

HResult Device::setLight(uint32_t index, const Light& light) {
    if (index >= MAX_LIGHTS || light.type < LIGHT_POINT || light.type > LIGHT_DIRECTIONAL) return GFXERR_INVALIDCALL;
    m_state.lights[index] = light;
    m_state.lightSet[index] = true;
    return GFX_OK;
}

HResult Device::getLight(uint32_t index, Light& light) const {
    if (index >= MAX_LIGHTS) return GFXERR_INVALIDCALL;
    light = m_state.lights[index];
    return GFX_OK;
}

HResult Device::lightEnable(uint32_t index, bool enable) {
    if (index >= MAX_LIGHTS) return GFXERR_INVALIDCALL;
    m_state.lightEnabled[index] = enable;
    m_state.lightSet[index] = true;
    return GFX_OK;
}

HResult Device::setClipPlane(uint32_t index, const float plane[4]) {
    if (index >= MAX_CLIP_PLANES || !plane) return GFXERR_INVALIDCALL;
    std::memcpy(m_state.clipPlanes[index], plane, sizeof m_state.clipPlanes[index]);
    return GFX_OK;
}

HResult Device::getClipPlane(uint32_t index, float plane[4]) const {
    if (index >= MAX_CLIP_PLANES || !plane) return GFXERR_INVALIDCALL;
    std::memcpy(plane, m_state.clipPlanes[index], sizeof m_state.clipPlanes[index]);
    return GFX_OK;
}

HResult Device::setMaterial(const Material& material) {
    m_state.material = material;
    return GFX_OK;
}

HResult Device::getMaterial(Material& material) const {
    material = m_state.material;
    return GFX_OK;
}

HResult Device::setRenderState(uint32_t state, uint32_t value) {
    if (state >= RS_COUNT) return GFXERR_INVALIDCALL;
    m_state.renderStates[state] = value;
    return GFX_OK;
}

HResult Device::getRenderState(uint32_t state, uint32_t& value) const {
    if (state >= RS_COUNT) return GFXERR_INVALIDCALL;
    value = m_state.renderStates[state];
    return GFX_OK;
}

HResult Device::setSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
    if (sampler >= MAX_STAGES || type >= SAMP_COUNT) return GFXERR_INVALIDCALL;
    m_state.samplerStates[sampler][type] = value;
    return GFX_OK;
}

HResult Device::getSamplerState(uint32_t sampler, uint32_t type, uint32_t& value) const {
    if (sampler >= MAX_STAGES || type >= SAMP_COUNT) return GFXERR_INVALIDCALL;
    value = m_state.samplerStates[sampler][type];
    return GFX_OK;
}

HResult Device::setTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
    if (stage >= MAX_STAGES || type >= TSS_COUNT) return GFXERR_INVALIDCALL;
    m_state.stageStates[stage][type] = value;
    return GFX_OK;
}

HResult Device::getTextureStageState(uint32_t stage, uint32_t type, uint32_t& value) const {
    if (stage >= MAX_STAGES || type >= TSS_COUNT) return GFXERR_INVALIDCALL;
    value = m_state.stageStates[stage][type];
    return GFX_OK;
}

HResult Device::setTexture(uint32_t stage, Texture* texture) {
    if (stage >= MAX_STAGES) return GFXERR_INVALIDCALL;
    m_state.textures[stage] = texture;
    return GFX_OK;
}

Texture* Device::getTexture(uint32_t stage) const { return stage < MAX_STAGES ? m_state.textures[stage] : nullptr; }

HResult Device::setFVF(uint32_t fvf) {
    m_state.fvf = fvf;
    m_state.declaration = nullptr;
    return GFX_OK;
}

HResult Device::setVertexDeclaration(VertexDeclaration* declaration) {
    m_state.declaration = declaration;
    if (declaration) m_state.fvf = 0;
    return GFX_OK;
}

HResult Device::setStreamSource(uint32_t stream, Buffer* buffer, uint32_t offset, uint32_t stride) {
    if (stream != 0) return GFXERR_INVALIDCALL;
    m_state.stream = buffer;
    m_state.streamOffset = offset;
    m_state.streamStride = stride;
    return GFX_OK;
}

HResult Device::setIndices(Buffer* indices) {
    m_state.indices = indices;
    return GFX_OK;
}

HResult Device::setVertexShader(const void* shader) { return shader ? GFXERR_INVALIDCALL : GFX_OK; }
HResult Device::setPixelShader(const void* shader) { return shader ? GFXERR_INVALIDCALL : GFX_OK; }

HResult Device::createVertexShader(const uint32_t* function, void** shader) {
    if (shader) *shader = nullptr;
    return GFXERR_NOTAVAILABLE;
}

HResult Device::createPixelShader(const uint32_t* function, void** shader) {
    if (shader) *shader = nullptr;
    return GFXERR_NOTAVAILABLE;
}

HResult Device::setSoftwareVertexProcessing(bool software) { return GFX_OK; }

void Device::setGammaRamp(uint32_t swapChain, uint32_t flags, const uint16_t ramp[3][256]) {}

HResult Device::createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                              uint32_t pool, Texture** texture) {
    if (!texture || width == 0 || height == 0 || width > MAX_TEXTURE_SIDE || height > MAX_TEXTURE_SIDE)
        return GFXERR_INVALIDCALL;
    if ((usage & (USAGE_RENDERTARGET | USAGE_DEPTHSTENCIL)) && pool != POOL_DEFAULT) return GFXERR_INVALIDCALL;
    if ((usage & USAGE_RENDERTARGET) && levels != 1) levels = 1;
    *texture = new Texture(this, width, height, levels, usage, format, pool);
    for (uint32_t i = 0; i < (*texture)->getLevelCount(); ++i) uploadLevel(**texture, i);
    return GFX_OK;
}

HResult Device::createVolumeTexture(uint32_t width, uint32_t height, uint32_t depth, uint32_t levels,
                                    uint32_t usage, uint32_t format, uint32_t pool, Texture** texture) {
    constexpr uint32_t MAX_VOLUME_SIDE = 256;
    if (!texture || width == 0 || height == 0 || depth == 0 || width > MAX_VOLUME_SIDE ||
        height > MAX_VOLUME_SIDE || depth > MAX_VOLUME_SIDE || (usage & (USAGE_RENDERTARGET | USAGE_DEPTHSTENCIL)) ||
        isCompressedFormat(format) || isDepthFormat(format))
        return GFXERR_INVALIDCALL;
    *texture = new Texture(this, width, height, depth, levels, usage, format, pool);
    for (uint32_t i = 0; i < (*texture)->getLevelCount(); ++i) uploadLevel(**texture, i);
    return GFX_OK;
}

HResult Device::createDepthStencilSurface(uint32_t width, uint32_t height, uint32_t format, uint32_t multiSample,
                                          uint32_t quality, bool discard, Surface** surface) {
    if (!surface || !isDepthFormat(format) || width == 0 || height == 0 || width > MAX_TEXTURE_SIDE ||
        height > MAX_TEXTURE_SIDE)
        return GFXERR_INVALIDCALL;
    SurfaceDesc desc{format, RTYPE_SURFACE, USAGE_DEPTHSTENCIL, POOL_DEFAULT, multiSample, quality, width, height};
    *surface = new Surface(this, desc, nullptr, 0);
    readBack(**surface);
    return GFX_OK;
}

HResult Device::createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool, Buffer** buffer) {
    if (!buffer || length == 0) return GFXERR_INVALIDCALL;
    *buffer = new Buffer(this, length, usage, 0, pool);
    return GFX_OK;
}

HResult Device::createIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool, Buffer** buffer) {
    if (!buffer || length == 0 || (format != FMT_INDEX16 && format != FMT_INDEX32)) return GFXERR_INVALIDCALL;
    *buffer = new Buffer(this, length, usage, format, pool);
    return GFX_OK;
}

HResult Device::createVertexDeclaration(const VertexElement* elements, VertexDeclaration** declaration) {
    if (!elements || !declaration) return GFXERR_INVALIDCALL;
    *declaration = new VertexDeclaration(this, elements);
    return GFX_OK;
}

HResult Device::createQuery(uint32_t type, Query** query) {
    if (type != QUERYTYPE_OCCLUSION && type != QUERYTYPE_EVENT) return GFXERR_NOTAVAILABLE;
    if (query) *query = new Query(this, type);
    return GFX_OK;
}

} // namespace sys::gfx
