#include "sys/gui/GuiRenderer.h"

// The library's header brings GLEW, which must come before any other GL header.
#include <CEGUI/RendererModules/OpenGL/GLRenderer.h>
#include <CEGUI/Exceptions.h>
#include <CEGUI/GUIContext.h>
#include <CEGUI/GeometryBuffer.h>
#include <CEGUI/MouseCursor.h>
#include <CEGUI/System.h>
#include <CEGUI/Window.h>

#include <iterator>
#include <vector>

#include "sys/gfx/GlDevice.h"
#include "sys/gfx/Texture.h"

namespace sys {

namespace {

struct LayerVertex {
    float x, y, z, rhw;
    uint32_t colour;
    float u, v;
};

// The device states the overlay changes, given back afterwards.
const uint32_t RENDER_STATES[] = {
    gfx::RS_ZENABLE,       gfx::RS_ZWRITEENABLE, gfx::RS_ALPHATESTENABLE, gfx::RS_ALPHABLENDENABLE,
    gfx::RS_SRCBLEND,      gfx::RS_DESTBLEND,    gfx::RS_CULLMODE,        gfx::RS_FOGENABLE,
    gfx::RS_STENCILENABLE, gfx::RS_FILLMODE,     gfx::RS_COLORWRITEENABLE, gfx::RS_SCISSORTESTENABLE,
    gfx::RS_LIGHTING,      gfx::RS_BLENDOP,
};
const uint32_t STAGE_STATES[] = {gfx::TSS_COLOROP, gfx::TSS_COLORARG1, gfx::TSS_ALPHAOP, gfx::TSS_ALPHAARG1,
                                 gfx::TSS_TEXCOORDINDEX, gfx::TSS_TEXTURETRANSFORMFLAGS};
const uint32_t SAMPLER_STATES[] = {gfx::SAMP_ADDRESSU, gfx::SAMP_ADDRESSV, gfx::SAMP_MAGFILTER, gfx::SAMP_MINFILTER,
                                   gfx::SAMP_MIPFILTER};

// The library draws through texture unit 0 alone and expects it untouched:
// the device's stages, arrays and generated coordinates are switched off
// (the pushed attributes bring them back).
void plainPipeline() {
    GLint units = 1;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
    for (GLint unit = units - 1; unit >= 0; --unit) {
        glActiveTexture(GLenum(GL_TEXTURE0 + unit));
        glClientActiveTexture(GLenum(GL_TEXTURE0 + unit));
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        for (GLenum target : {GL_TEXTURE_1D, GL_TEXTURE_2D, GL_TEXTURE_3D, GL_TEXTURE_CUBE_MAP}) glDisable(target);
        for (GLenum coordinate : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q})
            glDisable(coordinate);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    for (GLenum array : {GL_NORMAL_ARRAY, GL_COLOR_ARRAY, GL_SECONDARY_COLOR_ARRAY, GL_FOG_COORD_ARRAY})
        glDisableClientState(array);
    glUseProgram(0);
}

// A window's geometry is clipped to its outer clipper, so that bounds what it drew.
void markWindow(CEGUI::Window& window, LayerTiles& tiles) {
    if (!window.isVisible()) return;
    if (window.getGeometryBuffer().getVertexCount() > 0) {
        const CEGUI::Rectf& clip = window.getOuterRectClipper();
        tiles.mark(clip.left(), clip.top(), clip.right(), clip.bottom());
    }
    for (size_t i = 0; i < window.getChildCount(); ++i) markWindow(*window.getChildAtIdx(i), tiles);
}

} // namespace

std::unique_ptr<GuiRenderer> GuiRenderer::create(gfx::Device& device, std::string& failure) {
    if (!dynamic_cast<gfx::GlDevice*>(&device)) {
        failure = "the device draws without OpenGL";
        return nullptr;
    }
    const gfx::PresentParams& params = device.presentParams();
    try {
        CEGUI::OpenGLRenderer& renderer = CEGUI::OpenGLRenderer::create(
            CEGUI::Sizef(float(params.backBufferWidth), float(params.backBufferHeight)));
        std::unique_ptr<GuiRenderer> result(new GuiRenderer(device, renderer));
        result->setDisplaySize(params.backBufferWidth, params.backBufferHeight);
        return result;
    } catch (const CEGUI::Exception& e) {
        failure = e.getMessage().c_str();
        return nullptr;
    }
}

GuiRenderer::GuiRenderer(gfx::Device& device, CEGUI::Renderer& renderer) : m_device(device), m_renderer(renderer) {
    glGenFramebuffers(1, &m_framebuffer);
}

GuiRenderer::~GuiRenderer() {
    if (m_layer) m_layer->release();
    glDeleteFramebuffers(1, &m_framebuffer);
    CEGUI::OpenGLRenderer::destroy(static_cast<CEGUI::OpenGLRenderer&>(m_renderer));
}

CEGUI::Renderer& GuiRenderer::renderer() { return m_renderer; }

void GuiRenderer::setDisplaySize(uint32_t width, uint32_t height) {
    m_renderer.setDisplaySize(CEGUI::Sizef(float(width), float(height)));
    if (m_layer && width == m_width && height == m_height) return;
    if (m_layer) m_layer->release();
    m_layer = nullptr;
    m_width = width;
    m_height = height;
    if (m_device.createTexture(width, height, 1, gfx::USAGE_RENDERTARGET, gfx::FMT_A8R8G8B8, gfx::POOL_DEFAULT,
                               &m_layer) != gfx::GFX_OK)
        m_layer = nullptr;
}

bool GuiRenderer::prepareLayer() {
    if (!m_layer || !m_layer->m_name || !CEGUI::System::getSingletonPtr()) return false;
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_layer->m_name, 0);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void GuiRenderer::draw() {
    GLint previousFramebuffer = 0, previousTexture = 0, previousUnit = 0, previousClientUnit = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previousFramebuffer);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &previousUnit);
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &previousClientUnit);
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    bool ready = prepareLayer();
    if (ready) {
        glViewport(0, 0, GLsizei(m_width), GLsizei(m_height));
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        // The library's own matrices and texture bindings stay its own.
        plainPipeline();
        CEGUI::System::getSingleton().renderAllGUIContexts();
        markDrawnTiles();
        glMatrixMode(GL_TEXTURE);
        glPopMatrix();
    }
    glBindFramebuffer(GL_FRAMEBUFFER, GLuint(previousFramebuffer));
    glPopClientAttrib();
    glPopAttrib();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, GLuint(previousTexture));
    glActiveTexture(GLenum(previousUnit));
    glClientActiveTexture(GLenum(previousClientUnit));
    if (ready) composite();
}

void GuiRenderer::markDrawnTiles() {
    m_tiles.reset(m_width, m_height);
    // The program draws its one, default context.
    const CEGUI::GUIContext& context = CEGUI::System::getSingleton().getDefaultGUIContext();
    if (context.getMouseCursor().isVisible() && context.getMouseCursor().getImage()) {
        m_tiles.markAll();
        return;
    }
    if (CEGUI::Window* root = context.getRootWindow()) markWindow(*root, m_tiles);
}

// The layer holds the GUI with its alpha already multiplied in, bottom row first.
// Elsewhere it is clear and blending it would leave the picture as it is.
void GuiRenderer::composite() {
    const std::vector<LayerTiles::Area> areas = m_tiles.areas();
    if (areas.empty()) return;
    gfx::Device& device = m_device;
    uint32_t renderStates[sizeof RENDER_STATES / sizeof RENDER_STATES[0]];
    uint32_t stageStates[sizeof STAGE_STATES / sizeof STAGE_STATES[0]];
    uint32_t samplerStates[sizeof SAMPLER_STATES / sizeof SAMPLER_STATES[0]];
    for (size_t i = 0; i < std::size(RENDER_STATES); ++i) device.getRenderState(RENDER_STATES[i], renderStates[i]);
    for (size_t i = 0; i < std::size(STAGE_STATES); ++i) device.getTextureStageState(0, STAGE_STATES[i], stageStates[i]);
    for (size_t i = 0; i < std::size(SAMPLER_STATES); ++i) device.getSamplerState(0, SAMPLER_STATES[i], samplerStates[i]);
    uint32_t stage1 = 0;
    device.getTextureStageState(1, gfx::TSS_COLOROP, stage1);
    gfx::Texture* texture0 = device.getTexture(0);
    if (texture0) texture0->addRef();
    const gfx::DeviceState& state = device.state();
    gfx::VertexDeclaration* declaration = state.declaration;
    const uint32_t fvf = state.fvf;

    device.setRenderState(gfx::RS_ZENABLE, 0);
    device.setRenderState(gfx::RS_ZWRITEENABLE, 0);
    device.setRenderState(gfx::RS_ALPHATESTENABLE, 0);
    device.setRenderState(gfx::RS_ALPHABLENDENABLE, 1);
    device.setRenderState(gfx::RS_SRCBLEND, gfx::BLEND_ONE);
    device.setRenderState(gfx::RS_DESTBLEND, gfx::BLEND_INVSRCALPHA);
    device.setRenderState(gfx::RS_CULLMODE, gfx::CULL_NONE);
    device.setRenderState(gfx::RS_FOGENABLE, 0);
    device.setRenderState(gfx::RS_STENCILENABLE, 0);
    device.setRenderState(gfx::RS_FILLMODE, gfx::FILL_SOLID);
    device.setRenderState(gfx::RS_COLORWRITEENABLE, 15);
    device.setRenderState(gfx::RS_SCISSORTESTENABLE, 0);
    device.setRenderState(gfx::RS_LIGHTING, 0);
    device.setRenderState(gfx::RS_BLENDOP, 1);
    device.setTexture(0, m_layer);
    device.setTextureStageState(0, gfx::TSS_COLOROP, gfx::TOP_SELECTARG1);
    device.setTextureStageState(0, gfx::TSS_COLORARG1, gfx::TA_TEXTURE);
    device.setTextureStageState(0, gfx::TSS_ALPHAOP, gfx::TOP_SELECTARG1);
    device.setTextureStageState(0, gfx::TSS_ALPHAARG1, gfx::TA_TEXTURE);
    device.setTextureStageState(0, gfx::TSS_TEXCOORDINDEX, 0);
    device.setTextureStageState(0, gfx::TSS_TEXTURETRANSFORMFLAGS, gfx::TTFF_DISABLE);
    device.setTextureStageState(1, gfx::TSS_COLOROP, gfx::TOP_DISABLE);
    device.setSamplerState(0, gfx::SAMP_ADDRESSU, gfx::TADDRESS_CLAMP);
    device.setSamplerState(0, gfx::SAMP_ADDRESSV, gfx::TADDRESS_CLAMP);
    device.setSamplerState(0, gfx::SAMP_MAGFILTER, gfx::TEXF_POINT);
    device.setSamplerState(0, gfx::SAMP_MINFILTER, gfx::TEXF_POINT);
    device.setSamplerState(0, gfx::SAMP_MIPFILTER, gfx::TEXF_NONE);
    device.setFVF(gfx::FVF_XYZRHW | gfx::FVF_DIFFUSE | (1 << gfx::FVF_TEXCOUNT_SHIFT));
    device.setVertexShader(nullptr);
    device.setPixelShader(nullptr);
    // Direct3D's pixel centres sit on integer coordinates: a pixel edge lies half a pixel before.
    std::vector<LayerVertex> triangles;
    triangles.reserve(areas.size() * 6);
    const float width = float(m_width), height = float(m_height);
    for (const LayerTiles::Area& area : areas) {
        auto corner = [&](uint32_t x, uint32_t y) {
            return LayerVertex{float(x) - 0.5f, float(y) - 0.5f, 0.0f, 1.0f, 0xFFFFFFFF, float(x) / width,
                               1.0f - float(y) / height};
        };
        const LayerVertex a = corner(area.left, area.top), b = corner(area.right, area.top),
                          c = corner(area.right, area.bottom), d = corner(area.left, area.bottom);
        for (const LayerVertex& v : {a, b, c, a, c, d}) triangles.push_back(v);
    }
    device.drawPrimitiveUP(gfx::PT_TRIANGLELIST, uint32_t(areas.size() * 2), triangles.data(), sizeof(LayerVertex));

    for (size_t i = 0; i < std::size(RENDER_STATES); ++i) device.setRenderState(RENDER_STATES[i], renderStates[i]);
    for (size_t i = 0; i < std::size(STAGE_STATES); ++i) device.setTextureStageState(0, STAGE_STATES[i], stageStates[i]);
    for (size_t i = 0; i < std::size(SAMPLER_STATES); ++i) device.setSamplerState(0, SAMPLER_STATES[i], samplerStates[i]);
    device.setTextureStageState(1, gfx::TSS_COLOROP, stage1);
    device.setTexture(0, texture0);
    if (texture0) texture0->release();
    if (declaration) device.setVertexDeclaration(declaration);
    else device.setFVF(fvf);
}

} // namespace sys
