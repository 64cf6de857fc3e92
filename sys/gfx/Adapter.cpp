#include "sys/gfx/Adapter.h"

#include <algorithm>
#include <cstring>

namespace sys::gfx {

namespace {

Adapter::Factory g_factory = nullptr;

bool contains(std::initializer_list<uint32_t> list, uint32_t value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

const std::initializer_list<uint32_t> BACK_BUFFER_FORMATS = {FMT_A8R8G8B8, FMT_X8R8G8B8, FMT_R5G6B5,
                                                             FMT_X1R5G5B5, FMT_A1R5G5B5};
const std::initializer_list<uint32_t> TEXTURE_FORMATS = {
    FMT_A8R8G8B8, FMT_X8R8G8B8, FMT_R5G6B5, FMT_X1R5G5B5, FMT_A1R5G5B5, FMT_A4R4G4B4, FMT_A8,
    FMT_A8B8G8R8, FMT_G16R16, FMT_A2R10G10B10, FMT_A16B16G16R16, FMT_L8, FMT_A8L8, FMT_L16, FMT_V8U8,
    FMT_Q8W8V8U8, FMT_V16U16, FMT_DXT1, FMT_DXT2, FMT_DXT3, FMT_DXT4, FMT_DXT5, FMT_R16F, FMT_G16R16F,
    FMT_A16B16G16R16F, FMT_R32F, FMT_G32R32F, FMT_A32B32G32R32F};
const std::initializer_list<uint32_t> RENDER_TARGET_FORMATS = {
    FMT_A8R8G8B8, FMT_X8R8G8B8, FMT_R5G6B5, FMT_X1R5G5B5, FMT_A1R5G5B5, FMT_A8B8G8R8, FMT_G16R16,
    FMT_A16B16G16R16, FMT_R16F, FMT_G16R16F, FMT_A16B16G16R16F, FMT_R32F, FMT_G32R32F, FMT_A32B32G32R32F};
const std::initializer_list<uint32_t> DEPTH_FORMATS = {FMT_D16, FMT_D24X8, FMT_D24S8};
const std::initializer_list<uint32_t> VOLUME_FORMATS = {FMT_A8R8G8B8, FMT_X8R8G8B8, FMT_A4R4G4B4, FMT_L8, FMT_A8L8};
const std::initializer_list<uint32_t> SAMPLE_COUNTS = {2, 4};

} // namespace

void Adapter::setFactory(Factory factory) { g_factory = factory; }

std::unique_ptr<Adapter> createGlAdapter();

std::unique_ptr<Adapter> Adapter::create() { return g_factory ? g_factory() : createGlAdapter(); }

HResult Adapter::getAdapterIdentifier(uint32_t adapter, uint32_t flags, AdapterIdentifier& identifier) const {
    if (adapter >= getAdapterCount()) return GFXERR_INVALIDCALL;
    std::memset(&identifier, 0, sizeof identifier);
    std::strcpy(identifier.driver, "plimzor-gl");
    std::strcpy(identifier.description, "OpenGL compatibility device");
    std::strcpy(identifier.deviceName, "\\\\.\\DISPLAY1");
    identifier.driverVersionHighPart = 6 << 16 | 14;
    identifier.driverVersionLowPart = 10 << 16 | 1;
    return GFX_OK;
}

HResult Adapter::getDeviceCaps(uint32_t adapter, uint32_t deviceType, Caps& caps) const {
    if (adapter >= getAdapterCount()) return GFXERR_INVALIDCALL;
    claimedCaps(caps);
    caps.deviceType = deviceType;
    caps.adapterOrdinal = adapter;
    return GFX_OK;
}

void Adapter::claimedCaps(Caps& caps) {
    std::memset(&caps, 0, sizeof caps);
    caps.deviceType = DEVTYPE_HAL;
    caps.devCaps = DEVCAPS_HWTRANSFORMANDLIGHT | 0x80000 /* pure device */ | 0x2000 /* draw prims 2 */;
    // mask z, cull none/cw/ccw, colour write, clip plane scaled points, temp register as a stage result
    caps.primitiveMiscCaps = 0x2 | 0x10 | 0x20 | 0x40 | 0x80 | 0x100 | 0x400;
    // dither, z test, fog vertex/table, mip lod bias, scissor test, slope-scaled and plain depth bias
    caps.rasterCaps = 0x1 | 0x10 | 0x80 | 0x100 | 0x800 | 0x1000000 | 0x2000000 | 0x4000000;
    caps.textureCaps = PTEXTURECAPS_PERSPECTIVE | PTEXTURECAPS_ALPHA | PTEXTURECAPS_NONPOW2CONDITIONAL |
                       PTEXTURECAPS_PROJECTED | PTEXTURECAPS_CUBEMAP | PTEXTURECAPS_VOLUMEMAP | PTEXTURECAPS_MIPMAP;
    caps.textureFilterCaps = 0x0100 | 0x0200 | 0x0400 | 0x01000000 | 0x02000000 | 0x00010000 | 0x00020000;
    caps.textureAddressCaps = 0x1 | 0x2 | 0x4 | 0x8 | 0x10;
    caps.maxTextureWidth = caps.maxTextureHeight = 4096;
    caps.maxVolumeExtent = 256;
    caps.maxAnisotropy = 8;
    caps.stencilCaps = 0xFF;
    caps.fvfCaps = 8 | 0x80000; // eight texture coordinate sets, point size
    caps.textureOpCaps = 0x03FFFFFF;
    caps.maxTextureBlendStages = 8;
    caps.maxSimultaneousTextures = 8;
    caps.vertexProcessingCaps = 0x1 | 0x2 | 0x8 | 0x10 | 0x20; // texgen, material source, lights, local viewer
    caps.maxActiveLights = 8;
    caps.maxUserClipPlanes = 6;
    caps.maxPointSize = 64.0f;
    caps.maxPrimitiveCount = 0xFFFFF;
    caps.maxVertexIndex = 0xFFFFF;
    caps.maxStreams = 16;
    caps.maxStreamStride = 255;
    caps.vertexShaderVersion = 0xFFFE0200;
    caps.maxVertexShaderConst = 256;
    caps.pixelShaderVersion = 0xFFFF0200;
    caps.devCaps2 = 0x1; // stream offset; no displacement maps
    caps.masterAdapterOrdinal = 0;
    caps.adapterOrdinalInGroup = 0;
    caps.numberOfAdaptersInGroup = 1;
    caps.numSimultaneousRTs = 1;
}

uint32_t Adapter::getAdapterModeCount(uint32_t adapter, uint32_t format) const {
    if (adapter >= getAdapterCount()) return 0;
    return uint32_t(std::count_if(m_modes.begin(), m_modes.end(),
                                  [format](const DisplayMode& m) { return m.format == format; }));
}

HResult Adapter::enumAdapterModes(uint32_t adapter, uint32_t format, uint32_t mode, DisplayMode& out) const {
    if (adapter >= getAdapterCount()) return GFXERR_INVALIDCALL;
    uint32_t n = 0;
    for (const DisplayMode& m : m_modes) {
        if (m.format != format) continue;
        if (n++ == mode) {
            out = m;
            return GFX_OK;
        }
    }
    return GFXERR_INVALIDCALL;
}

HResult Adapter::getAdapterDisplayMode(uint32_t adapter, DisplayMode& mode) const {
    if (adapter >= getAdapterCount()) return GFXERR_INVALIDCALL;
    mode = m_desktop;
    return GFX_OK;
}

HResult Adapter::checkDeviceType(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat,
                                 uint32_t backBufferFormat, bool windowed) const {
    if (adapter >= getAdapterCount()) return GFXERR_INVALIDCALL;
    if (!contains(BACK_BUFFER_FORMATS, backBufferFormat)) return GFXERR_NOTAVAILABLE;
    // Full screen the back buffer keeps the display's colour depth.
    if (!windowed && formatRowBytes(backBufferFormat, 1) != formatRowBytes(adapterFormat, 1))
        return GFXERR_NOTAVAILABLE;
    return GFX_OK;
}

HResult Adapter::checkDeviceFormat(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat, uint32_t usage,
                                   uint32_t resourceType, uint32_t format) const {
    if (adapter >= getAdapterCount()) return GFXERR_INVALIDCALL;
    bool ok = false;
    if (usage & USAGE_DMAP) ok = false;
    else if (usage & USAGE_DEPTHSTENCIL)
        ok = contains(DEPTH_FORMATS, format) && (resourceType == RTYPE_SURFACE || resourceType == RTYPE_TEXTURE);
    else if (usage & USAGE_RENDERTARGET)
        ok = contains(RENDER_TARGET_FORMATS, format) &&
             (resourceType == RTYPE_SURFACE || resourceType == RTYPE_TEXTURE || resourceType == RTYPE_CUBETEXTURE);
    else if (resourceType == RTYPE_VOLUMETEXTURE || resourceType == RTYPE_VOLUME)
        ok = contains(VOLUME_FORMATS, format);
    else ok = contains(TEXTURE_FORMATS, format);
    return ok ? GFX_OK : GFXERR_NOTAVAILABLE;
}

HResult Adapter::checkDeviceMultiSampleType(uint32_t adapter, uint32_t deviceType, uint32_t format, bool windowed,
                                            uint32_t type, uint32_t* qualityLevels) const {
    if (adapter >= getAdapterCount()) return GFXERR_INVALIDCALL;
    bool formatOk = contains(BACK_BUFFER_FORMATS, format) || contains(DEPTH_FORMATS, format);
    bool ok = formatOk && (type == MULTISAMPLE_NONE || type == MULTISAMPLE_NONMASKABLE || contains(SAMPLE_COUNTS, type));
    if (qualityLevels) *qualityLevels = !ok ? 0 : type == MULTISAMPLE_NONMASKABLE ? uint32_t(SAMPLE_COUNTS.size()) : 1;
    return ok ? GFX_OK : GFXERR_NOTAVAILABLE;
}

HResult Adapter::checkDepthStencilMatch(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat,
                                        uint32_t renderTargetFormat, uint32_t depthStencilFormat) const {
    if (adapter >= getAdapterCount()) return GFXERR_INVALIDCALL;
    return contains(DEPTH_FORMATS, depthStencilFormat) ? GFX_OK : GFXERR_NOTAVAILABLE;
}

} // namespace sys::gfx
