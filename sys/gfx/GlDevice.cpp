#include "sys/gfx/GlDevice.h"

#define GL_GLEXT_PROTOTYPES 1
#include <SDL.h>
#include <SDL_opengl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "sys/gfx/GlFixedFunction.h"
#include "sys/gfx/SideViewSender.h"
#include "sys/gfx/StateValues.h"
#include "sys/log/SystemLog.h"
#include "sys/window/Window.h"
#include "sys/window/XErrorWatch.h"

namespace sys::gfx {

namespace {

struct GlFormat {
    GLint internal;
    GLenum format;
    GLenum type;
    bool compressed;
};

bool glFormat(uint32_t format, GlFormat& out) {
    switch (format) {
    case FMT_A8R8G8B8: out = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, false}; return true;
    case FMT_X8R8G8B8: out = {GL_RGB8, GL_BGRA, GL_UNSIGNED_BYTE, false}; return true;
    case FMT_A8B8G8R8: out = {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, false}; return true;
    case FMT_R5G6B5: out = {GL_RGB5, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, false}; return true;
    case FMT_X1R5G5B5: out = {GL_RGB5, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, false}; return true;
    case FMT_A1R5G5B5: out = {GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, false}; return true;
    case FMT_A4R4G4B4: out = {GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, false}; return true;
    case FMT_A2R10G10B10: out = {GL_RGB10_A2, GL_BGRA, GL_UNSIGNED_INT_2_10_10_10_REV, false}; return true;
    case FMT_A8: out = {GL_ALPHA8, GL_ALPHA, GL_UNSIGNED_BYTE, false}; return true;
    case FMT_L8: out = {GL_LUMINANCE8, GL_LUMINANCE, GL_UNSIGNED_BYTE, false}; return true;
    case FMT_A8L8: out = {GL_LUMINANCE8_ALPHA8, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, false}; return true;
    case FMT_L16: out = {GL_LUMINANCE16, GL_LUMINANCE, GL_UNSIGNED_SHORT, false}; return true;
    case FMT_V8U8: out = {GL_RG8_SNORM, GL_RG, GL_BYTE, false}; return true;
    case FMT_Q8W8V8U8: out = {GL_RGBA8_SNORM, GL_RGBA, GL_BYTE, false}; return true;
    case FMT_V16U16: out = {GL_RG16_SNORM, GL_RG, GL_SHORT, false}; return true;
    case FMT_G16R16: out = {GL_RG16, GL_RG, GL_UNSIGNED_SHORT, false}; return true;
    case FMT_A16B16G16R16: out = {GL_RGBA16, GL_RGBA, GL_UNSIGNED_SHORT, false}; return true;
    case FMT_R16F: out = {GL_R16F, GL_RED, GL_HALF_FLOAT, false}; return true;
    case FMT_G16R16F: out = {GL_RG16F, GL_RG, GL_HALF_FLOAT, false}; return true;
    case FMT_A16B16G16R16F: out = {GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, false}; return true;
    case FMT_R32F: out = {GL_R32F, GL_RED, GL_FLOAT, false}; return true;
    case FMT_G32R32F: out = {GL_RG32F, GL_RG, GL_FLOAT, false}; return true;
    case FMT_A32B32G32R32F: out = {GL_RGBA32F, GL_RGBA, GL_FLOAT, false}; return true;
    case FMT_DXT1: out = {GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0, true}; return true;
    case FMT_DXT2: case FMT_DXT3: out = {GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, true}; return true;
    case FMT_DXT4: case FMT_DXT5: out = {GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, true}; return true;
    default: break;
    }
    if (isDepthFormat(format)) {
        out = {GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, false};
        return true;
    }
    return false;
}

GLenum glCompare(uint32_t cmp) {
    static const GLenum table[] = {GL_NEVER, GL_NEVER, GL_LESS, GL_EQUAL, GL_LEQUAL,
                                   GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
    return cmp < 9 ? table[cmp] : GL_ALWAYS;
}

GLenum glBlend(uint32_t blend) {
    switch (blend) {
    case BLEND_ZERO: return GL_ZERO;
    case BLEND_ONE: return GL_ONE;
    case BLEND_SRCCOLOR: return GL_SRC_COLOR;
    case BLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case BLEND_SRCALPHA: return GL_SRC_ALPHA;
    case BLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case BLEND_DESTALPHA: return GL_DST_ALPHA;
    case BLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case BLEND_DESTCOLOR: return GL_DST_COLOR;
    case BLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    case BLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
    default: return GL_ONE;
    }
}

GLenum glStencilOperation(uint32_t op) {
    static const GLenum table[] = {GL_KEEP, GL_KEEP, GL_ZERO, GL_REPLACE, GL_INCR,
                                   GL_DECR, GL_INVERT, GL_INCR_WRAP, GL_DECR_WRAP};
    return op < 9 ? table[op] : GL_KEEP;
}

GLenum glAddress(uint32_t address) {
    switch (address) {
    case TADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case TADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case TADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
    }
}

uint32_t vertexCountOf(uint32_t type, uint32_t primitives) {
    switch (type) {
    case PT_POINTLIST: return primitives;
    case PT_LINELIST: return primitives * 2;
    case PT_LINESTRIP: return primitives + 1;
    case PT_TRIANGLELIST: return primitives * 3;
    case PT_TRIANGLESTRIP: case PT_TRIANGLEFAN: return primitives + 2;
    default: return 0;
    }
}

GLenum glPrimitive(uint32_t type) {
    switch (type) {
    case PT_POINTLIST: return GL_POINTS;
    case PT_LINELIST: return GL_LINES;
    case PT_LINESTRIP: return GL_LINE_STRIP;
    case PT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    case PT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
    default: return GL_TRIANGLES;
    }
}

// The GL form (column-major) of a texture transform: Direct3D feeds two
// coordinates as (u, v, 1, 0) and projects by the last counted output.
void textureMatrix(const Matrix& m, bool twoCoords, uint32_t flags, float out[16]) {
    const int map[4] = {0, 1, twoCoords ? 3 : 2, twoCoords ? 2 : 3};
    float d[4][4];
    for (int k = 0; k < 4; ++k)
        for (int j = 0; j < 4; ++j) d[k][j] = m.m[map[j]][k];
    uint32_t count = flags & 0xFF;
    bool projected = flags & TTFF_PROJECTED;
    float rows[4][4] = {};
    std::memcpy(rows[0], d[0], sizeof rows[0]);
    std::memcpy(rows[1], d[1], sizeof rows[1]);
    if (projected && count >= 2) {
        std::memcpy(rows[3], d[count - 1], sizeof rows[3]);
        if (count >= 4) std::memcpy(rows[2], d[2], sizeof rows[2]);
    } else {
        if (count >= 3) std::memcpy(rows[2], d[2], sizeof rows[2]);
        if (count >= 4) std::memcpy(rows[3], d[3], sizeof rows[3]);
        else rows[3][3] = 1.0f;
    }
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) out[c * 4 + r] = rows[r][c];
}

const VertexElement* findElement(const std::vector<VertexElement>& layout, uint8_t usage, uint8_t index) {
    for (const VertexElement& e : layout)
        if (e.stream == 0 && e.usage == usage && e.usageIndex == index) return &e;
    return nullptr;
}

GLint floatCount(uint8_t type) { return type <= DECLTYPE_FLOAT4 ? GLint(type) + 1 : 0; }

// A software rasteriser shades and bins on the calling thread and draws on its
// own threads only from a flush on: handing over parts keeps them busy while
// the rest is sent. Each hand-over costs a scene of its own, so a frame is
// cut into a few parts of at least this many triangles.
constexpr uint32_t SOFTWARE_FLUSH_TRIANGLES = 20000;
constexpr uint64_t PARTS_PER_FRAME = 4;

// The threads draw a part alongside the sending only on cores nobody else wants;
// on a machine whose cores are all busy the parts only add scenes.
bool coresToSpare() {
    double load = 0.0;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 1 && getloadavg(&load, 1) == 1 && load < double(cores);
}

std::string glText(GLenum name) {
    const char* text = reinterpret_cast<const char*>(glGetString(name));
    return text ? text : "";
}

// The window's context, current; null when the driver makes none.
SDL_GLContext makeContext(SDL_Window* native) {
    sys::XErrorWatch making(native);
    SDL_GLContext context = SDL_GL_CreateContext(native);
    if (!context) {
        sys::writeLog(std::string("3D device: no OpenGL context (") + SDL_GetError() + ")");
        return nullptr;
    }
    SDL_GL_MakeCurrent(native, context);
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!extensions || !std::strstr(extensions, "GL_ARB_framebuffer_object") ||
        !std::strstr(extensions, "GL_ARB_clip_control")) {
        sys::writeLog("3D device: the OpenGL driver lacks framebuffer objects or clip control (OpenGL " +
                      glText(GL_VERSION) + ", " + glText(GL_RENDERER) + ")");
        SDL_GL_DeleteContext(context);
        return nullptr;
    }
    return context;
}

} // namespace

GlDevice* GlDevice::create(sys::Window& window, const PresentParams& params) {
    SDL_Window* native = static_cast<SDL_Window*>(window.nativeHandle());
    SDL_GLContext context = makeContext(native);
    if (!context) return nullptr;
    GlDevice* device = new GlDevice(window, context, params);
    device->m_rendererName = glText(GL_RENDERER);
    device->m_driverText = "OpenGL renderer: " + device->m_rendererName + ", version: " + glText(GL_VERSION) +
                           ", vendor: " + glText(GL_VENDOR);
    const std::string& name = device->m_rendererName;
    device->m_decodeCompressed = name.find("llvmpipe") != std::string::npos || name.find("softpipe") != std::string::npos;
    if (name.find("llvmpipe") != std::string::npos) {
        device->setHandOver(SOFTWARE_FLUSH_TRIANGLES, true);
        device->m_sideViews = std::thread::hardware_concurrency() > 1;
    }
    device->takeDisplay();
    if (!device->makeBackBuffer()) {
        sys::writeLog("3D device: the back buffer of " + std::to_string(device->m_params.backBufferWidth) + " x " +
                      std::to_string(device->m_params.backBufferHeight) + " could not be made (" + glText(GL_RENDERER) + ")");
        delete device;
        return nullptr;
    }
    device->resetState();
    return device;
}

GlDevice::GlDevice(sys::Window& window, void* context, const PresentParams& params)
    : Device(params), m_window(window), m_context(context), m_fixedFunction(new GlFixedFunction) {
    glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    glGenFramebuffers(1, &m_targetFbo);
    glGenFramebuffers(1, &m_blitFbo);
    glGenTextures(1, &m_white);
    glBindTexture(GL_TEXTURE_2D, m_white);
    const uint32_t white = 0xFFFFFFFF;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
}

std::unique_ptr<GlDevice> GlDevice::sideDevice(GlDevice& main, void* context) {
    std::unique_ptr<GlDevice> side(new GlDevice(main.m_window, context, main.m_params));
    side->m_rendererName = main.m_rendererName;
    side->m_driverText = main.m_driverText;
    side->m_decodeCompressed = main.m_decodeCompressed;
    side->m_sharedBack = true;
    side->m_backColor = main.m_backColor;
    side->m_backDepth = main.m_backDepth;
    side->m_backBuffer = main.m_backBuffer;
    side->m_autoDepth = main.m_autoDepth;
    glGenFramebuffers(1, &side->m_backFbo);
    glBindFramebuffer(GL_FRAMEBUFFER, side->m_backFbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, main.m_backColor);
    if (main.m_autoDepth)
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, main.m_backDepth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        // The caller deletes the context it made.
        side->m_context = nullptr;
        return nullptr;
    }
    side->setHandOver(main.m_flushTriangles, main.m_idleCoresOnly);
    side->resetState();
    return side;
}

GlDevice::~GlDevice() {
    m_side.reset();
    endFrameSending();
    m_fixedFunction.reset();
    if (m_sharedBack) glDeleteFramebuffers(1, &m_backFbo);
    else dropBackBuffer();
    glDeleteFramebuffers(1, &m_targetFbo);
    glDeleteFramebuffers(1, &m_blitFbo);
    glDeleteTextures(1, &m_white);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(m_context));
}

bool GlDevice::makeBackBuffer() {
    int width = int(m_params.backBufferWidth), height = int(m_params.backBufferHeight);
    if (m_params.windowed && (width == 0 || height == 0)) m_window.getClientSize(width, height);
    width = std::max(1, width);
    height = std::max(1, height);
    m_params.backBufferWidth = uint32_t(width);
    m_params.backBufferHeight = uint32_t(height);
    m_window.setPictureSize(width, height);
    if (m_params.backBufferFormat == FMT_UNKNOWN) m_params.backBufferFormat = FMT_X8R8G8B8;
    // Multisampling lives in the off-screen buffer, so a reset can change it on the same context.
    static const int counts[] = {2, 4};
    int samples = 1;
    if (m_params.multiSampleType >= 2) samples = int(m_params.multiSampleType);
    else if (m_params.multiSampleType == MULTISAMPLE_NONMASKABLE) samples = counts[std::min(m_params.multiSampleQuality, 1u)];
    GLint maxSamples = 1;
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    m_samples = std::min(samples, int(maxSamples));
    if (m_samples < 2) m_samples = 1;

    GLenum colorFormat = m_params.backBufferFormat == FMT_R5G6B5 ? GL_RGB565 : GL_RGBA8;
    glGenRenderbuffers(1, &m_backColor);
    glBindRenderbuffer(GL_RENDERBUFFER, m_backColor);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, m_samples > 1 ? m_samples : 0, colorFormat, width, height);
    glGenRenderbuffers(1, &m_backDepth);
    glBindRenderbuffer(GL_RENDERBUFFER, m_backDepth);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, m_samples > 1 ? m_samples : 0, GL_DEPTH24_STENCIL8, width, height);
    glGenFramebuffers(1, &m_backFbo);
    glBindFramebuffer(GL_FRAMEBUFFER, m_backFbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_backColor);
    if (m_params.enableAutoDepthStencil)
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m_backDepth);
    bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;

    glGenRenderbuffers(1, &m_resolveColor);
    glBindRenderbuffer(GL_RENDERBUFFER, m_resolveColor);
    glRenderbufferStorage(GL_RENDERBUFFER, colorFormat, width, height);
    glGenFramebuffers(1, &m_resolveFbo);
    glBindFramebuffer(GL_FRAMEBUFFER, m_resolveFbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_resolveColor);
    complete = complete && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;

    SurfaceDesc desc{m_params.backBufferFormat, RTYPE_SURFACE, USAGE_RENDERTARGET, POOL_DEFAULT,
                     m_params.multiSampleType, m_params.multiSampleQuality, uint32_t(width), uint32_t(height)};
    m_backBuffer = new Surface(this, desc, nullptr, 0);
    m_backBuffer->m_name = m_backColor;
    if (m_params.enableAutoDepthStencil) {
        SurfaceDesc depth{m_params.autoDepthStencilFormat, RTYPE_SURFACE, USAGE_DEPTHSTENCIL, POOL_DEFAULT,
                          m_params.multiSampleType, m_params.multiSampleQuality, uint32_t(width), uint32_t(height)};
        m_autoDepth = new Surface(this, depth, nullptr, 0);
        m_autoDepth->m_name = m_backDepth;
    }
    m_resolved = false;
    return complete;
}

void GlDevice::dropBackBuffer() {
    glDeleteFramebuffers(1, &m_backFbo);
    glDeleteFramebuffers(1, &m_resolveFbo);
    glDeleteRenderbuffers(1, &m_backColor);
    glDeleteRenderbuffers(1, &m_backDepth);
    glDeleteRenderbuffers(1, &m_resolveColor);
    m_backFbo = m_resolveFbo = m_backColor = m_backDepth = m_resolveColor = 0;
    // The application may still hold these; they stay valid but no longer draw.
    for (Surface* s : {m_backBuffer, m_autoDepth}) {
        if (!s) continue;
        s->m_name = 0;
        s->release();
    }
    m_backBuffer = m_autoDepth = nullptr;
}

HResult GlDevice::reset(PresentParams& params) {
    // The second context drew into the buffers that go now.
    m_side.reset();
    dropBackBuffer();
    m_params = params;
    takeDisplay();
    bool ok = makeBackBuffer();
    params.backBufferWidth = m_params.backBufferWidth;
    params.backBufferHeight = m_params.backBufferHeight;
    params.backBufferFormat = m_params.backBufferFormat;
    resetState();
    m_lost = false;
    m_inScene = false;
    return ok ? GFX_OK : GFXERR_NOTAVAILABLE;
}

void GlDevice::takeDisplay() {
    if (m_params.windowed) {
        if (m_window.isFullScreen()) m_window.leaveFullScreen();
    } else {
        m_window.setFullScreen(int(m_params.backBufferWidth), int(m_params.backBufferHeight));
    }
    const bool wait = m_params.presentationInterval != PRESENT_INTERVAL_IMMEDIATE;
    // Adaptive where the driver has it, else every retrace; a driver without any wait just shows the frames.
    if (!wait || SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(wait ? 1 : 0);
}

bool GlDevice::away() const {
    // A full-screen device is lost as soon as another window has the focus, as a Direct3D one was.
    return !m_window.isVisible() || (!m_params.windowed && m_window.focusLost());
}

HResult GlDevice::testCooperativeLevel() {
    if (away()) {
        m_lost = true;
        return GFXERR_DEVICELOST;
    }
    return m_lost ? GFXERR_DEVICENOTRESET : GFX_OK;
}

// Without multisampling the back buffer is its own picture: no copy to resolve it into.
void GlDevice::bindPictureForReading() {
    if (m_samples == 1) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_backFbo);
        return;
    }
    resolveBackBuffer();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_resolveFbo);
}

void GlDevice::resolveBackBuffer() {
    if (m_resolved) return;
    int w = int(m_params.backBufferWidth), h = int(m_params.backBufferHeight);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_backFbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_resolveFbo);
    glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    m_resolved = true;
}

HResult GlDevice::present() {
    settleSide();
    if (m_lost || away()) {
        m_lost = true;
        return GFXERR_DEVICELOST;
    }
    int w = int(m_params.backBufferWidth), h = int(m_params.backBufferHeight);
    const sys::Window::Area area = m_window.pictureArea();
    int cw = 0, ch = 0;
    m_window.getClientSize(cw, ch);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    if (area.width != cw || area.height != ch) {
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    bindPictureForReading();
    // The stored picture's first row is the top; the window's first row is the bottom.
    const int bottom = ch - area.y - area.height;
    glBlitFramebuffer(0, 0, w, h, area.x, bottom + area.height, area.x + area.width, bottom, GL_COLOR_BUFFER_BIT,
                      (area.width == w && area.height == h) ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(static_cast<SDL_Window*>(m_window.nativeHandle()));
    endFrameSending();
    return GFX_OK;
}

void GlDevice::setHandOver(uint32_t triangles, bool idleCoresOnly) {
    m_flushTriangles = triangles;
    m_idleCoresOnly = idleCoresOnly;
    m_handingOver = triangles != 0 && (!idleCoresOnly || coresToSpare());
}

void GlDevice::sendAhead(uint32_t triangles) {
    m_sentSinceFlush += triangles;
    m_sentThisFrame += triangles;
    if (!m_handingOver || m_sentSinceFlush < std::max<uint64_t>(m_flushTriangles, m_sentLastFrame / PARTS_PER_FRAME))
        return;
    // While the threads still draw the last part they have work: another scene would only queue.
    GLsync last = static_cast<GLsync>(m_handedOver);
    if (last && glClientWaitSync(last, 0, 0) == GL_TIMEOUT_EXPIRED) return;
    if (last) glDeleteSync(last);
    m_handedOver = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
    m_sentSinceFlush = 0;
}

void GlDevice::setSideViews(bool on) {
    if (!on) m_side.reset();
    m_sideViews = on;
}

void GlDevice::beginSideView() {
    if (!m_sideViews || m_samples != 1) return;
    if (!m_side) m_side = SideViewSender::create(*this);
    // Without a second context every view goes in order, as always.
    if (!m_side) {
        m_sideViews = false;
        return;
    }
    m_side->begin();
}

void GlDevice::endSideView() {
    if (m_side) m_side->end();
}

void GlDevice::joinSideView() { settleSide(); }

void GlDevice::settleSide() {
    if (m_side && m_side->busy()) m_side->settle();
}

void GlDevice::beforeOwnSending(bool samples) {
    if (!m_side || !m_side->busy()) return;
    const Surface* target = m_state.renderTarget;
    const Surface* depth = m_state.depthStencil;
    bool touches = (target == m_backBuffer || (depth && depth == m_autoDepth)) &&
                   m_side->overlapsBackBuffer(drawnArea(m_state));
    for (const Surface* surface : {target, depth})
        if (surface && surface != m_backBuffer && surface != m_autoDepth)
            touches = touches || m_side->uses(surface) || m_side->uses(surface->getContainer());
    for (uint32_t i = 0, stages = samples ? stagesSampled(m_state) : 0; i < stages; ++i) {
        const Texture* texture = m_state.textures[i];
        touches = touches || m_side->writes(texture) || m_side->samplesOtherwise(texture, m_state.samplerStates[i]);
    }
    if (touches) m_side->settle();
}

void GlDevice::replay(const std::vector<SideCommand>& commands, const std::vector<std::pair<uint32_t, Light>>& lights) {
    for (const SideCommand& c : commands) {
        static_cast<DeviceSettings&>(m_state) = c.settings;
        std::fill(std::begin(m_state.lightEnabled), std::end(m_state.lightEnabled), false);
        for (uint32_t i = c.firstLight; i < c.firstLight + c.lightCount; ++i) {
            m_state.lights[lights[i].first] = lights[i].second;
            m_state.lightEnabled[lights[i].first] = true;
        }
        switch (c.kind) {
        case SideCommand::DRAW:
            draw(c.type, c.primitiveCount, c.vertices, c.stride, c.layout, c.indices, c.indexFormat, c.vertexCount,
                 nullptr, nullptr);
            break;
        case SideCommand::CLEAR:
            clear(uint32_t(c.rects.size()), c.rects.empty() ? nullptr : c.rects.data(), c.flags, c.color, c.z,
                  c.stencil);
            break;
        case SideCommand::STRETCH:
            stretchRect(c.source, c.wholeSource ? nullptr : &c.sourceRect, c.dest, c.wholeDest ? nullptr : &c.destRect,
                        c.filter);
            break;
        }
    }
    endFrameSending();
}

void GlDevice::endFrameSending() {
    if (m_handedOver) glDeleteSync(static_cast<GLsync>(m_handedOver));
    m_handedOver = nullptr;
    m_sentLastFrame = m_sentThisFrame;
    m_sentThisFrame = m_sentSinceFlush = 0;
    m_handingOver = m_flushTriangles != 0 && (!m_idleCoresOnly || coresToSpare());
}

void GlDevice::attach(Surface* surface, uint32_t attachment) {
    if (!surface) {
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, 0);
        return;
    }
    if (Texture* texture = surface->getContainer())
        glFramebufferTexture2D(GL_FRAMEBUFFER, attachment, GL_TEXTURE_2D, texture->m_name, GLint(surface->getLevel()));
    else glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, surface->m_name);
}

void GlDevice::bindTarget() {
    Surface* color = m_state.renderTarget;
    Surface* depth = m_state.depthStencil;
    if (color == m_backBuffer && (depth == m_autoDepth || !m_autoDepth)) {
        glBindFramebuffer(GL_FRAMEBUFFER, m_backFbo);
        m_resolved = false;
        return;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, m_targetFbo);
    attach(color, GL_COLOR_ATTACHMENT0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_TEXTURE_2D, 0, 0);
    attach(depth, GL_DEPTH_STENCIL_ATTACHMENT);
    if (color == m_backBuffer) m_resolved = false;
}

HResult GlDevice::clear(uint32_t count, const Rect* rects, uint32_t flags, uint32_t color, float z, uint32_t stencil) {
    if (!m_state.renderTarget) return GFXERR_INVALIDCALL;
    if (m_side && m_side->recording()) {
        SideCommand command;
        command.kind = SideCommand::CLEAR;
        if (rects) command.rects.assign(rects, rects + count);
        command.flags = flags;
        command.color = color;
        command.z = z;
        command.stencil = stencil;
        m_side->record(m_state, std::move(command));
        return GFX_OK;
    }
    beforeOwnSending(false);
    bindTarget();
    GLbitfield mask = 0;
    if (flags & CLEAR_TARGET) {
        float c[4];
        unpackColor(color, c);
        glClearColor(c[0], c[1], c[2], c[3]);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if ((flags & CLEAR_ZBUFFER) && m_state.depthStencil) {
        glClearDepth(z);
        glDepthMask(GL_TRUE);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if ((flags & CLEAR_STENCIL) && m_state.depthStencil) {
        glClearStencil(GLint(stencil));
        glStencilMask(0xFFFFFFFF);
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    glEnable(GL_SCISSOR_TEST);
    const Viewport& vp = m_state.viewport;
    // Clearing keeps to the viewport and, while the scissor test is on, to the scissor rectangle.
    Rect bound{int32_t(vp.x), int32_t(vp.y), int32_t(vp.x + vp.width), int32_t(vp.y + vp.height)};
    if (m_state.renderStates[RS_SCISSORTESTENABLE]) {
        const Rect& sc = m_state.scissor;
        bound = {std::max(bound.left, sc.left), std::max(bound.top, sc.top), std::min(bound.right, sc.right),
                 std::min(bound.bottom, sc.bottom)};
    }
    auto clearRect = [&](int x0, int y0, int x1, int y1) {
        int vx0 = std::max(x0, bound.left), vy0 = std::max(y0, bound.top);
        int vx1 = std::min(x1, bound.right), vy1 = std::min(y1, bound.bottom);
        if (vx1 <= vx0 || vy1 <= vy0) return;
        glScissor(vx0, vy0, vx1 - vx0, vy1 - vy0);
        glClear(mask);
    };
    if (count == 0 || !rects) clearRect(int(vp.x), int(vp.y), int(vp.x + vp.width), int(vp.y + vp.height));
    for (uint32_t i = 0; rects && i < count; ++i)
        clearRect(rects[i].left, rects[i].top, rects[i].right, rects[i].bottom);
    glDisable(GL_SCISSOR_TEST);
    return GFX_OK;
}

HResult GlDevice::stretchRect(Surface* source, const Rect* sourceRect, Surface* dest, const Rect* destRect,
                              uint32_t filter) {
    if (!source || !dest || source == dest) return GFXERR_INVALIDCALL;
    const SurfaceDesc& sd = source->getDesc();
    const SurfaceDesc& dd = dest->getDesc();
    Rect s = sourceRect ? *sourceRect : Rect{0, 0, int32_t(sd.width), int32_t(sd.height)};
    Rect d = destRect ? *destRect : Rect{0, 0, int32_t(dd.width), int32_t(dd.height)};
    // A copy out of the back buffer would read what the other view draws meanwhile.
    if (m_side && m_side->recording() && source != m_backBuffer) {
        SideCommand command;
        command.kind = SideCommand::STRETCH;
        command.source = source;
        command.dest = dest;
        command.sourceRect = s;
        command.destRect = d;
        command.wholeSource = !sourceRect;
        command.wholeDest = !destRect;
        command.filter = filter;
        m_side->record(m_state, std::move(command));
        return GFX_OK;
    }
    if (m_side && m_side->busy() &&
        (source == m_backBuffer || m_side->writes(source) || m_side->writes(source->getContainer()) ||
         m_side->uses(dest) || m_side->uses(dest->getContainer()) ||
         (dest == m_backBuffer && m_side->overlapsBackBuffer(d))))
        m_side->settle();
    if (source == m_backBuffer) {
        bindPictureForReading();
    } else {
        glBindFramebuffer(GL_FRAMEBUFFER, m_blitFbo);
        attach(source, GL_COLOR_ATTACHMENT0);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_blitFbo);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, m_targetFbo);
    attach(dest, GL_COLOR_ATTACHMENT0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_TEXTURE_2D, 0, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
    if (dest == m_backBuffer) {
        // The multisampled back buffer takes no scaled blit: go through the resolve buffer.
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_samples == 1 ? m_backFbo : m_resolveFbo);
        glBlitFramebuffer(s.left, s.top, s.right, s.bottom, d.left, d.top, d.right, d.bottom, GL_COLOR_BUFFER_BIT,
                          filter == TEXF_POINT ? GL_NEAREST : GL_LINEAR);
        m_resolved = false;
        if (m_samples == 1) return GFX_OK;
        int w = int(m_params.backBufferWidth), h = int(m_params.backBufferHeight);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_resolveFbo);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_backFbo);
        glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        return GFX_OK;
    }
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_targetFbo);
    glBlitFramebuffer(s.left, s.top, s.right, s.bottom, d.left, d.top, d.right, d.bottom, GL_COLOR_BUFFER_BIT,
                      filter == TEXF_POINT ? GL_NEAREST : GL_LINEAR);
    return GFX_OK;
}

void GlDevice::uploadLevel(Texture& texture, uint32_t level) {
    if (m_side && m_side->uses(&texture)) m_side->settle();
    GlFormat f;
    if (!glFormat(texture.getFormat(), f)) return;
    GLenum target = texture.isVolume() ? GL_TEXTURE_3D : GL_TEXTURE_2D;
    if (!texture.m_name) {
        glGenTextures(1, &texture.m_name);
        glBindTexture(target, texture.m_name);
        glTexParameteri(target, GL_TEXTURE_MAX_LEVEL, GLint(texture.getLevelCount() - 1));
    }
    glBindTexture(target, texture.m_name);
    Surface* surface = texture.level(level);
    const SurfaceDesc& d = surface->getDesc();
    const void* data = surface->data().empty() ? nullptr : surface->data().data();
    if (texture.isVolume())
        glTexImage3D(target, GLint(level), f.internal, GLsizei(d.width), GLsizei(d.height), GLsizei(surface->getDepth()),
                     0, f.format, f.type, data);
    else if (f.compressed) {
        glCompressedTexImage2D(target, GLint(level), GLenum(f.internal), GLsizei(d.width), GLsizei(d.height), 0,
                               GLsizei(surface->data().size()), data);
        // Decoded once by the driver's own decoder, so every sample shows what it would have.
        if (m_decodeCompressed && data) {
            m_decoded.resize(size_t(d.width) * d.height * 4);
            glGetTexImage(target, GLint(level), GL_BGRA, GL_UNSIGNED_BYTE, m_decoded.data());
            glTexImage2D(target, GLint(level), GL_RGBA8, GLsizei(d.width), GLsizei(d.height), 0, GL_BGRA,
                         GL_UNSIGNED_BYTE, m_decoded.data());
        }
    }
    else
        glTexImage2D(target, GLint(level), f.internal, GLsizei(d.width), GLsizei(d.height), 0, f.format, f.type,
                     isDepthFormat(d.format) ? nullptr : data);
}

void GlDevice::readBack(Surface& surface) {
    settleSide();
    const SurfaceDesc& d = surface.getDesc();
    if (isDepthFormat(d.format) && !surface.getContainer()) {
        glGenRenderbuffers(1, &surface.m_name);
        glBindRenderbuffer(GL_RENDERBUFFER, surface.m_name);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, GLsizei(d.width), GLsizei(d.height));
        return;
    }
    GlFormat f;
    if (surface.data().empty() || !glFormat(d.format, f) || f.compressed) return;
    if (&surface == m_backBuffer) {
        bindPictureForReading();
        glReadPixels(0, 0, GLsizei(d.width), GLsizei(d.height), f.format, f.type, surface.data().data());
        return;
    }
    if (Texture* texture = surface.getContainer()) {
        glBindTexture(GL_TEXTURE_2D, texture->m_name);
        glGetTexImage(GL_TEXTURE_2D, GLint(surface.getLevel()), f.format, f.type, surface.data().data());
    }
}

void GlDevice::destroyObject(Resource& object) {
    settleSide();
    if (Texture* texture = dynamic_cast<Texture*>(&object)) {
        if (texture->m_name) glDeleteTextures(1, &texture->m_name);
    } else if (Query* query = dynamic_cast<Query*>(&object)) {
        if (m_activeQuery == query->m_name && query->m_name) glEndQuery(GL_SAMPLES_PASSED);
        if (m_activeQuery == query->m_name) m_activeQuery = 0;
        if (query->m_name) glDeleteQueries(1, &query->m_name);
    } else if (Surface* surface = dynamic_cast<Surface*>(&object)) {
        if (surface->m_name && surface != m_backBuffer && surface != m_autoDepth)
            glDeleteRenderbuffers(1, &surface->m_name);
    }
}

HResult GlDevice::issueQuery(Query& query, uint32_t flags) {
    // A query counts what this context draws: the rest of a view being recorded goes in order.
    if (m_side && m_side->recording()) m_side->settle();
    if (query.getType() != QUERYTYPE_OCCLUSION) {
        query.m_name2 = 1;
        return GFX_OK;
    }
    if (!query.m_name) glGenQueries(1, &query.m_name);
    if (flags & ISSUE_BEGIN) {
        if (m_activeQuery) return GFXERR_INVALIDCALL;
        glBeginQuery(GL_SAMPLES_PASSED, query.m_name);
        m_activeQuery = query.m_name;
        query.m_name2 = 0;
    }
    if (flags & ISSUE_END) {
        if (m_activeQuery != query.m_name) return GFXERR_INVALIDCALL;
        glEndQuery(GL_SAMPLES_PASSED);
        m_activeQuery = 0;
        query.m_name2 = 1;
    }
    return GFX_OK;
}

HResult GlDevice::queryResult(Query& query, uint32_t& samples, bool flush) {
    if (m_side && m_side->recording()) m_side->settle();
    samples = 0;
    if (!query.m_name2) return GFXERR_INVALIDCALL;
    if (query.getType() != QUERYTYPE_OCCLUSION) return GFX_OK;
    GLuint ready = 0;
    glGetQueryObjectuiv(query.m_name, GL_QUERY_RESULT_AVAILABLE, &ready);
    if (!ready) {
        if (flush) glFlush();
        return GFX_FALSE;
    }
    GLuint value = 0;
    glGetQueryObjectuiv(query.m_name, GL_QUERY_RESULT, &value);
    // A multisampled target counts samples; the engine expects pixels.
    samples = value / uint32_t(m_state.renderTarget == m_backBuffer ? m_samples : 1);
    return GFX_OK;
}

void GlDevice::setGammaRamp(uint32_t swapChain, uint32_t flags, const uint16_t ramp[3][256]) {
    SDL_SetWindowGammaRamp(static_cast<SDL_Window*>(m_window.nativeHandle()), ramp[0], ramp[1], ramp[2]);
}

void GlDevice::applyState(bool pretransformed) {
    const uint32_t* rs = m_state.renderStates;
    const Viewport& vp = m_state.viewport;
    glViewport(GLint(vp.x), GLint(vp.y), GLsizei(vp.width), GLsizei(vp.height));
    glDepthRange(vp.minZ, vp.maxZ);
    // Stored top row first, so the rectangle's rows are GL's rows as they stand.
    const Rect& sc = m_state.scissor;
    if (rs[RS_SCISSORTESTENABLE]) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(sc.left, sc.top, std::max(0, sc.right - sc.left), std::max(0, sc.bottom - sc.top));
    } else {
        glDisable(GL_SCISSOR_TEST);
    }

    bool depth = m_state.depthStencil != nullptr;
    if (depth && rs[RS_ZENABLE]) glEnable(GL_DEPTH_TEST);
    else glDisable(GL_DEPTH_TEST);
    glDepthMask(rs[RS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
    glDepthFunc(glCompare(rs[RS_ZFUNC]));
    // D3D's bias is in depth-buffer units of 0..1; GL's in steps of the 24-bit buffer.
    float bias = stateFloat(rs[RS_DEPTHBIAS]), slope = stateFloat(rs[RS_SLOPESCALEDEPTHBIAS]);
    for (GLenum mode : {GL_POLYGON_OFFSET_FILL, GL_POLYGON_OFFSET_LINE, GL_POLYGON_OFFSET_POINT}) {
        if (bias != 0.0f || slope != 0.0f) glEnable(mode);
        else glDisable(mode);
    }
    glPolygonOffset(slope, bias * 16777215.0f);

    if (rs[RS_ALPHATESTENABLE]) glEnable(GL_ALPHA_TEST);
    else glDisable(GL_ALPHA_TEST);
    glAlphaFunc(glCompare(rs[RS_ALPHAFUNC]), float(rs[RS_ALPHAREF] & 0xFF) / 255.0f);
    if (rs[RS_ALPHABLENDENABLE]) glEnable(GL_BLEND);
    else glDisable(GL_BLEND);
    glBlendFunc(glBlend(rs[RS_SRCBLEND]), glBlend(rs[RS_DESTBLEND]));
    static const GLenum ops[] = {GL_FUNC_ADD, GL_FUNC_ADD, GL_FUNC_SUBTRACT, GL_FUNC_REVERSE_SUBTRACT, GL_MIN, GL_MAX};
    glBlendEquation(rs[RS_BLENDOP] < 6 ? ops[rs[RS_BLENDOP]] : GL_FUNC_ADD);

    // Drawn top row first, Direct3D's clockwise front faces come out counter-clockwise.
    glFrontFace(GL_CCW);
    if (rs[RS_CULLMODE] == CULL_NONE) glDisable(GL_CULL_FACE);
    else {
        glEnable(GL_CULL_FACE);
        glCullFace(rs[RS_CULLMODE] == CULL_CW ? GL_FRONT : GL_BACK);
    }
    GLenum fill = rs[RS_FILLMODE] == FILL_POINT ? GL_POINT : rs[RS_FILLMODE] == FILL_WIREFRAME ? GL_LINE : GL_FILL;
    glPolygonMode(GL_FRONT_AND_BACK, fill);
    glShadeModel(rs[RS_SHADEMODE] == 1 ? GL_FLAT : GL_SMOOTH);
    uint32_t cw = rs[RS_COLORWRITEENABLE];
    glColorMask((cw & 1) != 0, (cw & 2) != 0, (cw & 4) != 0, (cw & 8) != 0);
    glPointSize(std::max(1.0f, stateFloat(rs[RS_POINTSIZE])));

    if (rs[RS_STENCILENABLE] && depth) glEnable(GL_STENCIL_TEST);
    else glDisable(GL_STENCIL_TEST);
    glStencilFunc(glCompare(rs[RS_STENCILFUNC]), GLint(rs[RS_STENCILREF]), rs[RS_STENCILMASK]);
    glStencilOp(glStencilOperation(rs[RS_STENCILFAIL]), glStencilOperation(rs[RS_STENCILZFAIL]),
                glStencilOperation(rs[RS_STENCILPASS]));
    glStencilMask(rs[RS_STENCILWRITEMASK]);

    // The generated program fogs from GL's fog values.
    float fogColor[4];
    unpackColor(rs[RS_FOGCOLOR], fogColor);
    glFogfv(GL_FOG_COLOR, fogColor);
    glFogf(GL_FOG_START, stateFloat(rs[RS_FOGSTART]));
    glFogf(GL_FOG_END, stateFloat(rs[RS_FOGEND]));
    glFogf(GL_FOG_DENSITY, stateFloat(rs[RS_FOGDENSITY]));

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    uint32_t planes = pretransformed ? 0 : rs[RS_CLIPPLANEENABLE];
    if (pretransformed) {
        // Direct3D's pixel centres sit on integer coordinates.
        float w = float(std::max(1u, vp.width)), h = float(std::max(1u, vp.height));
        const float ortho[16] = {2 / w, 0, 0, 0, 0, 2 / h, 0, 0, 0, 0, 1, 0,
                                 2 * (0.5f - float(vp.x)) / w - 1, 2 * (0.5f - float(vp.y)) / h - 1, 0, 1};
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(ortho);
        glMatrixMode(GL_MODELVIEW);
    } else {
        glMatrixMode(GL_PROJECTION);
        glScalef(1.0f, -1.0f, 1.0f);
        glMultMatrixf(&m_state.projection.m[0][0]);
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(&m_state.view.m[0][0]);
        // Given under the view alone, GL keeps the world-space planes in eye space.
        for (uint32_t i = 0; i < MAX_CLIP_PLANES; ++i) {
            if (!(planes & (1u << i))) continue;
            const float* p = m_state.clipPlanes[i];
            const double plane[4] = {p[0], p[1], p[2], p[3]};
            glClipPlane(GLenum(GL_CLIP_PLANE0 + i), plane);
        }
        glMultMatrixf(&m_state.world.m[0][0]);
    }
    for (uint32_t i = 0; i < MAX_CLIP_PLANES; ++i) {
        if (planes & (1u << i)) glEnable(GLenum(GL_CLIP_PLANE0 + i));
        else glDisable(GLenum(GL_CLIP_PLANE0 + i));
    }
}

void GlDevice::applyStages(const std::vector<VertexElement>& layout, bool pretransformed) {
    bool enabled = true;
    for (uint32_t i = 0; i < MAX_STAGES; ++i) {
        const uint32_t* ts = m_state.stageStates[i];
        enabled = enabled && ts[TSS_COLOROP] != TOP_DISABLE;
        glActiveTexture(GL_TEXTURE0 + i);
        glClientActiveTexture(GL_TEXTURE0 + i);
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        uint32_t tci = ts[TSS_TEXCOORDINDEX];
        const VertexElement* coords = findElement(layout, DECLUSAGE_TEXCOORD, uint8_t(tci & 0xFFFF));
        if (!enabled || (tci & 0xFFFF0000) || !coords) {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            glMultiTexCoord4f(GL_TEXTURE0 + i, 0, 0, 0, 1);
        } else {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        if (!enabled) continue;
        Texture* texture = m_state.textures[i];
        if (!texture || !texture->m_name) {
            glBindTexture(GL_TEXTURE_2D, m_white);
        } else {
            GLenum target = texture->isVolume() ? GL_TEXTURE_3D : GL_TEXTURE_2D;
            glBindTexture(target, texture->m_name);
            const uint32_t* ss = m_state.samplerStates[i];
            glTexParameteri(target, GL_TEXTURE_WRAP_S, GLint(glAddress(ss[SAMP_ADDRESSU])));
            glTexParameteri(target, GL_TEXTURE_WRAP_T, GLint(glAddress(ss[SAMP_ADDRESSV])));
            glTexParameteri(target, GL_TEXTURE_WRAP_R, GLint(glAddress(ss[SAMP_ADDRESSW])));
            float border[4];
            unpackColor(ss[SAMP_BORDERCOLOR], border);
            glTexParameterfv(target, GL_TEXTURE_BORDER_COLOR, border);
            bool magLinear = ss[SAMP_MAGFILTER] >= TEXF_LINEAR;
            bool minLinear = ss[SAMP_MINFILTER] >= TEXF_LINEAR;
            GLenum minFilter = minLinear ? GL_LINEAR : GL_NEAREST;
            if (texture->getLevelCount() > 1 && ss[SAMP_MIPFILTER] == TEXF_POINT)
                minFilter = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
            else if (texture->getLevelCount() > 1 && ss[SAMP_MIPFILTER] >= TEXF_LINEAR)
                minFilter = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
            glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GLint(minFilter));
            glTexParameteri(target, GL_TEXTURE_MAG_FILTER, magLinear ? GL_LINEAR : GL_NEAREST);
            float anisotropy = ss[SAMP_MINFILTER] == TEXF_ANISOTROPIC ? float(std::max(1u, ss[SAMP_MAXANISOTROPY])) : 1.0f;
            glTexParameterf(target, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropy);
            glTexParameterf(target, GL_TEXTURE_LOD_BIAS, stateFloat(ss[SAMP_MIPMAPLODBIAS]));
            // D3D's largest level to use is GL's base level.
            glTexParameteri(target, GL_TEXTURE_BASE_LEVEL, GLint(std::min(ss[SAMP_MAXMIPLEVEL], texture->getLevelCount() - 1)));
        }
        // Generated coordinates come as (x, y, z, 1) and are transformed as three.
        uint32_t flags = ts[TSS_TEXTURETRANSFORMFLAGS];
        if (flags != TTFF_DISABLE && !pretransformed) {
            bool twoCoords = !(tci & 0xFFFF0000) && coords && coords->type == DECLTYPE_FLOAT2;
            float m[16];
            textureMatrix(m_state.texture[i], twoCoords, flags, m);
            glLoadMatrixf(m);
        }
    }
    glMatrixMode(GL_MODELVIEW);
}

HResult GlDevice::draw(uint32_t type, uint32_t primitiveCount, const uint8_t* vertices, uint32_t stride,
                       const std::vector<VertexElement>& layout, const void* indices, uint32_t indexFormat,
                       uint32_t vertexCount, const Buffer* vertexBuffer, const Buffer* indexBuffer) {
    uint32_t count = vertexCountOf(type, primitiveCount);
    if (count == 0 || !vertices || !m_state.renderTarget) return GFXERR_INVALIDCALL;
    const VertexElement* position = findElement(layout, DECLUSAGE_POSITIONT, 0);
    bool pretransformed = position != nullptr;
    if (!position) position = findElement(layout, DECLUSAGE_POSITION, 0);
    if (!position) return GFXERR_INVALIDCALL;
    if (m_side && m_side->recording()) {
        SideCommand command;
        command.type = type;
        command.primitiveCount = primitiveCount;
        command.stride = stride;
        command.layout = layout;
        command.indexFormat = indexFormat;
        command.vertexCount = vertexCount;
        command.vertices = vertices;
        command.indices = indices;
        // The caller's own memory is gone after the call: the view keeps a copy.
        if (vertexBuffer) command.vertexBytes = vertexBuffer->storage();
        else {
            auto copy = std::make_shared<std::vector<uint8_t>>(vertices, vertices + size_t(vertexCount) * stride);
            command.vertices = copy->data();
            command.vertexBytes = std::move(copy);
        }
        if (indexBuffer) command.indexBytes = indexBuffer->storage();
        m_side->record(m_state, std::move(command));
        return GFX_OK;
    }
    beforeOwnSending(true);
    bindTarget();
    applyState(pretransformed);
    applyStages(layout, pretransformed);
    if (!m_fixedFunction->use(m_state, layout, pretransformed)) return GFXERR_NOTAVAILABLE;

    if (pretransformed) {
        // (x, y, z, 1/w) becomes a homogeneous point, so texture and colour stay perspective-correct.
        m_scratch.resize(size_t(vertexCount) * 4);
        for (uint32_t v = 0; v < vertexCount; ++v) {
            float p[4];
            std::memcpy(p, vertices + size_t(v) * stride + position->offset, sizeof p);
            float w = p[3] != 0.0f ? 1.0f / p[3] : 1.0f;
            m_scratch[v * 4 + 0] = p[0] * w;
            m_scratch[v * 4 + 1] = p[1] * w;
            m_scratch[v * 4 + 2] = p[2] * w;
            m_scratch[v * 4 + 3] = w;
        }
        glVertexPointer(4, GL_FLOAT, 0, m_scratch.data());
    } else {
        glVertexPointer(3, GL_FLOAT, GLsizei(stride), vertices + position->offset);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    const VertexElement* normal = findElement(layout, DECLUSAGE_NORMAL, 0);
    if (normal && !pretransformed) {
        glNormalPointer(GL_FLOAT, GLsizei(stride), vertices + normal->offset);
        glEnableClientState(GL_NORMAL_ARRAY);
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
        glNormal3f(0, 0, 0);
    }
    const VertexElement* color = findElement(layout, DECLUSAGE_COLOR, 0);
    if (color) {
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, GLsizei(stride), vertices + color->offset);
        glEnableClientState(GL_COLOR_ARRAY);
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(1, 1, 1, 1);
    }
    const VertexElement* specular = findElement(layout, DECLUSAGE_COLOR, 1);
    if (specular) {
        glSecondaryColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, GLsizei(stride), vertices + specular->offset);
        glEnableClientState(GL_SECONDARY_COLOR_ARRAY);
    } else {
        glDisableClientState(GL_SECONDARY_COLOR_ARRAY);
    }
    for (uint32_t i = 0; i < MAX_STAGES; ++i) {
        uint32_t tci = m_state.stageStates[i][TSS_TEXCOORDINDEX];
        const VertexElement* coords = findElement(layout, DECLUSAGE_TEXCOORD, uint8_t(tci & 0xFFFF));
        if (!coords || floatCount(coords->type) == 0) continue;
        glClientActiveTexture(GL_TEXTURE0 + i);
        glTexCoordPointer(floatCount(coords->type), GL_FLOAT, GLsizei(stride), vertices + coords->offset);
    }
    if (indices)
        glDrawElements(glPrimitive(type), GLsizei(count),
                       indexFormat == FMT_INDEX32 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT, indices);
    else glDrawArrays(glPrimitive(type), 0, GLsizei(count));
    if (m_flushTriangles) sendAhead(primitiveCount);
    // The GUI library draws on this context with GL's own fixed function in between.
    glUseProgram(0);
    return GFX_OK;
}

HResult GlDevice::drawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) {
    Buffer* stream = m_state.stream;
    uint32_t stride = m_state.streamStride;
    if (!stream || stride == 0) return GFXERR_INVALIDCALL;
    std::vector<VertexElement> layout =
        m_state.declaration ? m_state.declaration->elements() : VertexDeclaration::fromFvf(m_state.fvf);
    uint64_t count = vertexCountOf(type, primitiveCount);
    uint64_t end = m_state.streamOffset + (uint64_t(startVertex) + count) * stride;
    if (count == 0 || end > stream->getLength()) return GFXERR_INVALIDCALL;
    return draw(type, primitiveCount, stream->bytes() + m_state.streamOffset + size_t(startVertex) * stride, stride,
                layout, nullptr, 0, uint32_t(count), stream, nullptr);
}

HResult GlDevice::drawPrimitiveUP(uint32_t type, uint32_t primitiveCount, const void* vertices, uint32_t stride) {
    if (m_state.declaration == nullptr && m_state.fvf == 0) return GFXERR_INVALIDCALL;
    std::vector<VertexElement> layout =
        m_state.declaration ? m_state.declaration->elements() : VertexDeclaration::fromFvf(m_state.fvf);
    return draw(type, primitiveCount, static_cast<const uint8_t*>(vertices), stride, layout, nullptr, 0,
                vertexCountOf(type, primitiveCount), nullptr, nullptr);
}

HResult GlDevice::drawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t minIndex, uint32_t numVertices,
                                       uint32_t startIndex, uint32_t primitiveCount) {
    Buffer* stream = m_state.stream;
    Buffer* indices = m_state.indices;
    uint32_t stride = m_state.streamStride;
    if (!stream || !indices || stride == 0 || baseVertex < 0) return GFXERR_INVALIDCALL;
    uint32_t count = vertexCountOf(type, primitiveCount);
    uint32_t indexBytes = indices->getFormat() == FMT_INDEX32 ? 4 : 2;
    if (count == 0 || (uint64_t(startIndex) + count) * indexBytes > indices->getLength()) return GFXERR_INVALIDCALL;
    // Every index must land inside the vertex buffer; the whole list's largest
    // usually shows it at once, else the drawn range's own decides.
    auto fits = [&](uint32_t highest) {
        return m_state.streamOffset + (uint64_t(baseVertex) + highest + 1) * stride <= stream->getLength();
    };
    uint32_t highest = indices->highestIndex();
    if (!fits(highest)) highest = indices->highestIndex(startIndex, count);
    if (!fits(highest)) return GFXERR_INVALIDCALL;
    std::vector<VertexElement> layout =
        m_state.declaration ? m_state.declaration->elements() : VertexDeclaration::fromFvf(m_state.fvf);
    return draw(type, primitiveCount, stream->bytes() + m_state.streamOffset + size_t(baseVertex) * stride, stride,
                layout, indices->bytes() + size_t(startIndex) * indexBytes, indices->getFormat(), highest + 1, stream,
                indices);
}

} // namespace sys::gfx
