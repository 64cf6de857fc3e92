#pragma once
#include <cstdint>

// The 3D device's numbers, with the values the engine was written against.
namespace sys::gfx {

using HResult = int32_t;
constexpr HResult GFX_OK = 0;
constexpr HResult GFX_FALSE = 1;
constexpr HResult GFXERR_NOTFOUND = int32_t(0x88760866);
constexpr HResult GFXERR_DEVICELOST = int32_t(0x88760868);
constexpr HResult GFXERR_DEVICENOTRESET = int32_t(0x88760869);
constexpr HResult GFXERR_NOTAVAILABLE = int32_t(0x8876086A);
constexpr HResult GFXERR_INVALIDCALL = int32_t(0x8876086C);
constexpr HResult GFXERR_OUTOFVIDEOMEMORY = int32_t(0x8876017C);

constexpr uint32_t fourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}

enum Format : uint32_t {
    FMT_UNKNOWN = 0,
    FMT_R8G8B8 = 20, FMT_A8R8G8B8 = 21, FMT_X8R8G8B8 = 22, FMT_R5G6B5 = 23, FMT_X1R5G5B5 = 24,
    FMT_A1R5G5B5 = 25, FMT_A4R4G4B4 = 26, FMT_A8 = 28, FMT_X4R4G4B4 = 30, FMT_A8B8G8R8 = 32,
    FMT_G16R16 = 34, FMT_A2R10G10B10 = 35, FMT_A16B16G16R16 = 36, FMT_L8 = 50, FMT_A8L8 = 51,
    FMT_V8U8 = 60, FMT_Q8W8V8U8 = 63, FMT_V16U16 = 64,
    FMT_D16_LOCKABLE = 70, FMT_D32 = 71, FMT_D15S1 = 73, FMT_D24S8 = 75, FMT_D24X8 = 77,
    FMT_D24X4S4 = 79, FMT_D16 = 80, FMT_D32F_LOCKABLE = 82, FMT_D24FS8 = 83, FMT_L16 = 81,
    FMT_INDEX16 = 101, FMT_INDEX32 = 102,
    FMT_R16F = 111, FMT_G16R16F = 112, FMT_A16B16G16R16F = 113, FMT_R32F = 114, FMT_G32R32F = 115,
    FMT_A32B32G32R32F = 116,
    FMT_DXT1 = fourCC('D', 'X', 'T', '1'), FMT_DXT2 = fourCC('D', 'X', 'T', '2'),
    FMT_DXT3 = fourCC('D', 'X', 'T', '3'), FMT_DXT4 = fourCC('D', 'X', 'T', '4'),
    FMT_DXT5 = fourCC('D', 'X', 'T', '5'),
};

enum DeviceType : uint32_t { DEVTYPE_HAL = 1, DEVTYPE_REF = 2 };
enum ResourceType : uint32_t {
    RTYPE_SURFACE = 1, RTYPE_VOLUME = 2, RTYPE_TEXTURE = 3, RTYPE_VOLUMETEXTURE = 4, RTYPE_CUBETEXTURE = 5,
};
enum Usage : uint32_t {
    USAGE_RENDERTARGET = 0x1, USAGE_DEPTHSTENCIL = 0x2, USAGE_WRITEONLY = 0x8, USAGE_DYNAMIC = 0x200,
    USAGE_AUTOGENMIPMAP = 0x400, USAGE_DMAP = 0x4000,
};
enum Pool : uint32_t { POOL_DEFAULT = 0, POOL_MANAGED = 1, POOL_SYSTEMMEM = 2, POOL_SCRATCH = 3 };
enum LockFlags : uint32_t { LOCK_READONLY = 0x10, LOCK_NOOVERWRITE = 0x1000, LOCK_DISCARD = 0x2000 };
enum MultisampleType : uint32_t { MULTISAMPLE_NONE = 0, MULTISAMPLE_NONMASKABLE = 1 };

enum CreateFlags : uint32_t {
    CREATE_MULTITHREADED = 0x4, CREATE_PUREDEVICE = 0x10, CREATE_SOFTWARE_VERTEXPROCESSING = 0x20,
    CREATE_HARDWARE_VERTEXPROCESSING = 0x40, CREATE_MIXED_VERTEXPROCESSING = 0x80, CREATE_ADAPTERGROUP_DEVICE = 0x200,
};
enum PresentFlags : uint32_t { PRESENTFLAG_LOCKABLE_BACKBUFFER = 1, PRESENTFLAG_DISCARD_DEPTHSTENCIL = 2 };
enum SwapEffect : uint32_t { SWAPEFFECT_DISCARD = 1, SWAPEFFECT_FLIP = 2, SWAPEFFECT_COPY = 3 };
// Default waits for one vertical blank a frame; immediate does not wait.
enum PresentInterval : uint32_t { PRESENT_INTERVAL_DEFAULT = 0, PRESENT_INTERVAL_IMMEDIATE = 0x80000000 };

enum DevCaps : uint32_t { DEVCAPS_HWTRANSFORMANDLIGHT = 0x10000 };
enum TextureCaps : uint32_t {
    PTEXTURECAPS_PERSPECTIVE = 0x1, PTEXTURECAPS_POW2 = 0x2, PTEXTURECAPS_ALPHA = 0x4,
    PTEXTURECAPS_NONPOW2CONDITIONAL = 0x100, PTEXTURECAPS_PROJECTED = 0x400, PTEXTURECAPS_CUBEMAP = 0x800,
    PTEXTURECAPS_VOLUMEMAP = 0x2000, PTEXTURECAPS_MIPMAP = 0x4000,
};

enum TransformType : uint32_t { TS_VIEW = 2, TS_PROJECTION = 3, TS_TEXTURE0 = 16, TS_WORLD = 256 };

enum RenderState : uint32_t {
    RS_ZENABLE = 7, RS_FILLMODE = 8, RS_SHADEMODE = 9, RS_ZWRITEENABLE = 14, RS_ALPHATESTENABLE = 15,
    RS_SRCBLEND = 19, RS_DESTBLEND = 20, RS_CULLMODE = 22, RS_ZFUNC = 23, RS_ALPHAREF = 24,
    RS_ALPHAFUNC = 25, RS_DITHERENABLE = 26, RS_ALPHABLENDENABLE = 27, RS_FOGENABLE = 28,
    RS_SPECULARENABLE = 29, RS_FOGCOLOR = 34, RS_FOGTABLEMODE = 35, RS_FOGSTART = 36, RS_FOGEND = 37,
    RS_FOGDENSITY = 38, RS_RANGEFOGENABLE = 48, RS_STENCILENABLE = 52, RS_STENCILFAIL = 53,
    RS_STENCILZFAIL = 54, RS_STENCILPASS = 55, RS_STENCILFUNC = 56, RS_STENCILREF = 57,
    RS_STENCILMASK = 58, RS_STENCILWRITEMASK = 59, RS_TEXTUREFACTOR = 60, RS_CLIPPING = 136,
    RS_LIGHTING = 137, RS_AMBIENT = 139, RS_FOGVERTEXMODE = 140, RS_COLORVERTEX = 141,
    RS_LOCALVIEWER = 142, RS_NORMALIZENORMALS = 143, RS_DIFFUSEMATERIALSOURCE = 145,
    RS_SPECULARMATERIALSOURCE = 146, RS_AMBIENTMATERIALSOURCE = 147, RS_EMISSIVEMATERIALSOURCE = 148,
    RS_POINTSIZE = 154, RS_MULTISAMPLEANTIALIAS = 161, RS_COLORWRITEENABLE = 168, RS_BLENDOP = 171,
    RS_CLIPPLANEENABLE = 152, RS_SCISSORTESTENABLE = 174, RS_SLOPESCALEDEPTHBIAS = 175, RS_DEPTHBIAS = 195,
    RS_COUNT = 256,
};
enum Cmp : uint32_t {
    CMP_NEVER = 1, CMP_LESS, CMP_EQUAL, CMP_LESSEQUAL, CMP_GREATER, CMP_NOTEQUAL, CMP_GREATEREQUAL, CMP_ALWAYS,
};
enum Blend : uint32_t {
    BLEND_ZERO = 1, BLEND_ONE, BLEND_SRCCOLOR, BLEND_INVSRCCOLOR, BLEND_SRCALPHA, BLEND_INVSRCALPHA,
    BLEND_DESTALPHA, BLEND_INVDESTALPHA, BLEND_DESTCOLOR, BLEND_INVDESTCOLOR, BLEND_SRCALPHASAT,
};
enum StencilOp : uint32_t {
    STENCILOP_KEEP = 1, STENCILOP_ZERO, STENCILOP_REPLACE, STENCILOP_INCRSAT, STENCILOP_DECRSAT,
    STENCILOP_INVERT, STENCILOP_INCR, STENCILOP_DECR,
};
enum Cull : uint32_t { CULL_NONE = 1, CULL_CW = 2, CULL_CCW = 3 };
enum Fill : uint32_t { FILL_POINT = 1, FILL_WIREFRAME = 2, FILL_SOLID = 3 };
enum Fog : uint32_t { FOG_NONE = 0, FOG_EXP = 1, FOG_EXP2 = 2, FOG_LINEAR = 3 };
enum MaterialSource : uint32_t { MCS_MATERIAL = 0, MCS_COLOR1 = 1, MCS_COLOR2 = 2 };

enum SamplerState : uint32_t {
    SAMP_ADDRESSU = 1, SAMP_ADDRESSV = 2, SAMP_ADDRESSW = 3, SAMP_BORDERCOLOR = 4, SAMP_MAGFILTER = 5,
    SAMP_MINFILTER = 6, SAMP_MIPFILTER = 7, SAMP_MIPMAPLODBIAS = 8, SAMP_MAXMIPLEVEL = 9,
    SAMP_MAXANISOTROPY = 10, SAMP_COUNT = 14,
};
enum Address : uint32_t { TADDRESS_WRAP = 1, TADDRESS_MIRROR = 2, TADDRESS_CLAMP = 3, TADDRESS_BORDER = 4 };
enum Filter : uint32_t { TEXF_NONE = 0, TEXF_POINT = 1, TEXF_LINEAR = 2, TEXF_ANISOTROPIC = 3 };

enum TextureStageState : uint32_t {
    TSS_COLOROP = 1, TSS_COLORARG1 = 2, TSS_COLORARG2 = 3, TSS_ALPHAOP = 4, TSS_ALPHAARG1 = 5,
    TSS_ALPHAARG2 = 6, TSS_BUMPENVMAT00 = 7, TSS_BUMPENVMAT01 = 8, TSS_BUMPENVMAT10 = 9, TSS_BUMPENVMAT11 = 10,
    TSS_TEXCOORDINDEX = 11, TSS_BUMPENVLSCALE = 22, TSS_BUMPENVLOFFSET = 23, TSS_TEXTURETRANSFORMFLAGS = 24,
    TSS_COLORARG0 = 26, TSS_ALPHAARG0 = 27, TSS_RESULTARG = 28, TSS_CONSTANT = 32, TSS_COUNT = 33,
};
enum TextureOp : uint32_t {
    TOP_DISABLE = 1, TOP_SELECTARG1, TOP_SELECTARG2, TOP_MODULATE, TOP_MODULATE2X, TOP_MODULATE4X,
    TOP_ADD, TOP_ADDSIGNED, TOP_ADDSIGNED2X, TOP_SUBTRACT, TOP_ADDSMOOTH, TOP_BLENDDIFFUSEALPHA,
    TOP_BLENDTEXTUREALPHA, TOP_BLENDFACTORALPHA, TOP_BLENDTEXTUREALPHAPM, TOP_BLENDCURRENTALPHA,
    TOP_PREMODULATE, TOP_MODULATEALPHA_ADDCOLOR, TOP_MODULATECOLOR_ADDALPHA, TOP_MODULATEINVALPHA_ADDCOLOR,
    TOP_MODULATEINVCOLOR_ADDALPHA, TOP_BUMPENVMAP, TOP_BUMPENVMAPLUMINANCE,
    TOP_DOTPRODUCT3 = 24, TOP_MULTIPLYADD = 25, TOP_LERP = 26,
};
enum TextureArg : uint32_t {
    TA_DIFFUSE = 0, TA_CURRENT = 1, TA_TEXTURE = 2, TA_TFACTOR = 3, TA_SPECULAR = 4, TA_TEMP = 5, TA_CONSTANT = 6,
    TA_SELECTMASK = 0xF, TA_COMPLEMENT = 0x10, TA_ALPHAREPLICATE = 0x20,
};
enum TexCoordIndex : uint32_t {
    TSS_TCI_PASSTHRU = 0, TSS_TCI_CAMERASPACENORMAL = 0x10000, TSS_TCI_CAMERASPACEPOSITION = 0x20000,
    TSS_TCI_CAMERASPACEREFLECTIONVECTOR = 0x30000, TSS_TCI_SPHEREMAP = 0x40000,
};
enum TextureTransformFlags : uint32_t {
    TTFF_DISABLE = 0, TTFF_COUNT1 = 1, TTFF_COUNT2 = 2, TTFF_COUNT3 = 3, TTFF_COUNT4 = 4, TTFF_PROJECTED = 256,
};

enum PrimitiveType : uint32_t {
    PT_POINTLIST = 1, PT_LINELIST, PT_LINESTRIP, PT_TRIANGLELIST, PT_TRIANGLESTRIP, PT_TRIANGLEFAN,
};
enum ClearFlags : uint32_t { CLEAR_TARGET = 1, CLEAR_ZBUFFER = 2, CLEAR_STENCIL = 4 };

// Flexible vertex format bits.
enum Fvf : uint32_t {
    FVF_XYZ = 0x2, FVF_XYZRHW = 0x4, FVF_XYZB1 = 0x6, FVF_XYZB2 = 0x8, FVF_XYZB3 = 0xA, FVF_XYZB4 = 0xC,
    FVF_XYZB5 = 0xE, FVF_POSITION_MASK = 0xE, FVF_NORMAL = 0x10, FVF_PSIZE = 0x20, FVF_DIFFUSE = 0x40,
    FVF_SPECULAR = 0x80, FVF_TEXCOUNT_MASK = 0xF00, FVF_TEXCOUNT_SHIFT = 8, FVF_LASTBETA_UBYTE4 = 0x1000,
};
// Size code of texture coordinate set n in the high bits of a format: 0 two floats, 1 three, 2 four, 3 one.
constexpr uint32_t fvfTexCoordSize3(int n) { return 1u << (n * 2 + 16); }
constexpr uint32_t fvfTexCoordSize4(int n) { return 2u << (n * 2 + 16); }
constexpr uint32_t fvfTexCoordSize1(int n) { return 3u << (n * 2 + 16); }

enum LightType : uint32_t { LIGHT_POINT = 1, LIGHT_SPOT = 2, LIGHT_DIRECTIONAL = 3 };
enum QueryType : uint32_t { QUERYTYPE_EVENT = 8, QUERYTYPE_OCCLUSION = 9 };
enum IssueFlags : uint32_t { ISSUE_END = 1, ISSUE_BEGIN = 2 };
enum GetDataFlags : uint32_t { GETDATA_FLUSH = 1 };

// Vertex declaration element types and usages.
enum DeclType : uint8_t {
    DECLTYPE_FLOAT1 = 0, DECLTYPE_FLOAT2, DECLTYPE_FLOAT3, DECLTYPE_FLOAT4, DECLTYPE_D3DCOLOR,
    DECLTYPE_UBYTE4, DECLTYPE_SHORT2, DECLTYPE_SHORT4, DECLTYPE_UBYTE4N, DECLTYPE_UNUSED = 17,
};
enum DeclUsage : uint8_t {
    DECLUSAGE_POSITION = 0, DECLUSAGE_BLENDWEIGHT, DECLUSAGE_BLENDINDICES, DECLUSAGE_NORMAL,
    DECLUSAGE_PSIZE, DECLUSAGE_TEXCOORD, DECLUSAGE_TANGENT, DECLUSAGE_BINORMAL, DECLUSAGE_TESSFACTOR,
    DECLUSAGE_POSITIONT, DECLUSAGE_COLOR, DECLUSAGE_FOG,
};

struct VertexElement {
    uint16_t stream; // 0xFF ends a declaration
    uint16_t offset;
    uint8_t type;
    uint8_t method;
    uint8_t usage;
    uint8_t usageIndex;
};
constexpr VertexElement DECL_END = {0xFF, 0, DECLTYPE_UNUSED, 0, 0, 0};

struct ColorValue { float r, g, b, a; };
struct Vector3 { float x, y, z; };
struct Matrix { float m[4][4]; };

struct Material {
    ColorValue diffuse, ambient, specular, emissive;
    float power;
};
struct Light {
    uint32_t type;
    ColorValue diffuse, specular, ambient;
    Vector3 position, direction;
    float range, falloff, attenuation0, attenuation1, attenuation2, theta, phi;
};
struct Viewport { uint32_t x, y, width, height; float minZ, maxZ; };
struct Rect { int32_t left, top, right, bottom; };

struct DisplayMode { uint32_t width, height, refreshRate; uint32_t format; };

struct AdapterIdentifier {
    char driver[512];
    char description[512];
    char deviceName[32];
    uint32_t driverVersionLowPart;
    uint32_t driverVersionHighPart;
    uint32_t vendorId, deviceId, subSysId, revision;
    uint32_t whqlLevel;
};

// The device capabilities the engine looks at.
struct Caps {
    uint32_t deviceType;
    uint32_t adapterOrdinal;
    uint32_t caps2;
    uint32_t devCaps;
    uint32_t primitiveMiscCaps;
    uint32_t rasterCaps;
    uint32_t textureCaps;
    uint32_t textureFilterCaps;
    uint32_t textureAddressCaps;
    uint32_t maxTextureWidth, maxTextureHeight, maxVolumeExtent;
    uint32_t maxAnisotropy;
    uint32_t stencilCaps;
    uint32_t fvfCaps;
    uint32_t textureOpCaps;
    uint32_t maxTextureBlendStages;
    uint32_t maxSimultaneousTextures;
    uint32_t vertexProcessingCaps;
    uint32_t maxActiveLights;
    uint32_t maxUserClipPlanes;
    float maxPointSize;
    uint32_t maxPrimitiveCount, maxVertexIndex, maxStreams, maxStreamStride;
    uint32_t vertexShaderVersion;
    uint32_t maxVertexShaderConst;
    uint32_t pixelShaderVersion;
    uint32_t devCaps2;
    uint32_t masterAdapterOrdinal;
    uint32_t adapterOrdinalInGroup;
    uint32_t numberOfAdaptersInGroup;
    uint32_t numSimultaneousRTs;
};



struct PresentParams {
    uint32_t backBufferWidth;
    uint32_t backBufferHeight;
    uint32_t backBufferFormat;
    uint32_t backBufferCount;
    uint32_t multiSampleType;
    uint32_t multiSampleQuality;
    uint32_t swapEffect;
    void* deviceWindow; // a sys::Window
    int32_t windowed;
    int32_t enableAutoDepthStencil;
    uint32_t autoDepthStencilFormat;
    uint32_t flags;
    uint32_t fullScreenRefreshRateInHz;
    uint32_t presentationInterval;
};

struct SurfaceDesc {
    uint32_t format;
    uint32_t type;
    uint32_t usage;
    uint32_t pool;
    uint32_t multiSampleType;
    uint32_t multiSampleQuality;
    uint32_t width;
    uint32_t height;
};
struct LockedRect { int32_t pitch; void* bits; };
struct Box { uint32_t left, top, right, bottom, front, back; };
struct LockedBox { int32_t rowPitch; int32_t slicePitch; void* bits; };

// Bytes of a row of `width` pixels (tight pitch; blocks of four rows for DXT).
uint32_t formatRowBytes(uint32_t format, uint32_t width);
// Rows of the stored data for `height` pixel rows (a quarter for DXT).
uint32_t formatRowCount(uint32_t format, uint32_t height);
bool isCompressedFormat(uint32_t format);
bool isDepthFormat(uint32_t format);

} // namespace sys::gfx
