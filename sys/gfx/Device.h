#pragma once
#include <cstdint>
#include <string>

#include "sys/gfx/Buffer.h"
#include "sys/gfx/GfxTypes.h"
#include "sys/gfx/Query.h"
#include "sys/gfx/Surface.h"
#include "sys/gfx/Texture.h"
#include "sys/gfx/VertexDeclaration.h"

namespace sys::gfx {

constexpr uint32_t MAX_STAGES = 8;
constexpr uint32_t MAX_LIGHTS = 256;
constexpr uint32_t MAX_CLIP_PLANES = 6;

// The state a draw reads but the lights: small enough to copy for every draw
// of a view that is sent on another thread.
struct DeviceSettings {
    uint32_t renderStates[RS_COUNT];
    uint32_t samplerStates[MAX_STAGES][SAMP_COUNT];
    uint32_t stageStates[MAX_STAGES][TSS_COUNT];
    Matrix world, view, projection, texture[MAX_STAGES];
    Material material;
    Viewport viewport;
    Texture* textures[MAX_STAGES];
    uint32_t fvf;
    VertexDeclaration* declaration;
    Buffer* stream;
    uint32_t streamOffset, streamStride;
    Buffer* indices;
    Surface* renderTarget;
    Surface* depthStencil;
    Rect scissor;
    float clipPlanes[MAX_CLIP_PLANES][4];
};

// The device's state as last set; both backends keep it, the GL backend draws from it.
struct DeviceState : DeviceSettings {
    Light lights[MAX_LIGHTS];
    bool lightSet[MAX_LIGHTS];
    bool lightEnabled[MAX_LIGHTS];
};

// The 3D device: state setters, drawing, presenting and object creation.
// Objects handed out carry one count for the caller.
class Device {
public:
    virtual ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    virtual HResult reset(PresentParams& params) = 0;
    // GFXERR_DEVICELOST while the window is minimised or hidden, then DEVICENOTRESET once.
    virtual HResult testCooperativeLevel() = 0;
    virtual HResult beginScene();
    virtual HResult endScene();
    virtual HResult present() = 0;
    // The commands between these two draw one view: a device may send them
    // from another thread meanwhile, and waits for them wherever a later
    // command touches what they draw or read.
    virtual void beginSideView() {}
    virtual void endSideView() {}
    // Waits until a view sent aside is in the picture: before anything that
    // passes the device by (the GUI library) draws over it.
    virtual void joinSideView() {}
    virtual HResult clear(uint32_t count, const Rect* rects, uint32_t flags, uint32_t color, float z,
                          uint32_t stencil) = 0;
    virtual HResult setViewport(const Viewport& viewport);
    HResult getViewport(Viewport& viewport) const;
    virtual HResult setRenderTarget(uint32_t index, Surface* surface);
    HResult getRenderTarget(uint32_t index, Surface** surface);
    // Pixels outside the rectangle are left alone while SCISSORTESTENABLE is set; a new target resets it.
    virtual HResult setScissorRect(const Rect& rect);
    HResult getScissorRect(Rect& rect) const;
    virtual HResult setDepthStencilSurface(Surface* surface);
    HResult getDepthStencilSurface(Surface** surface);
    HResult getBackBuffer(uint32_t swapChain, uint32_t index, uint32_t type, Surface** surface);
    // Linear or point stretch copy between render targets or texture levels.
    virtual HResult stretchRect(Surface* source, const Rect* sourceRect, Surface* dest, const Rect* destRect,
                                uint32_t filter) = 0;

    virtual HResult setTransform(uint32_t type, const Matrix& matrix);
    HResult getTransform(uint32_t type, Matrix& matrix) const;
    virtual HResult setLight(uint32_t index, const Light& light);
    HResult getLight(uint32_t index, Light& light) const;
    virtual HResult lightEnable(uint32_t index, bool enable);
    // A world-space plane (a, b, c, d) keeping a x + b y + c z + d >= 0 while its CLIPPLANEENABLE bit is set.
    virtual HResult setClipPlane(uint32_t index, const float plane[4]);
    HResult getClipPlane(uint32_t index, float plane[4]) const;
    virtual HResult setMaterial(const Material& material);
    HResult getMaterial(Material& material) const;
    virtual HResult setRenderState(uint32_t state, uint32_t value);
    HResult getRenderState(uint32_t state, uint32_t& value) const;
    virtual HResult setSamplerState(uint32_t sampler, uint32_t type, uint32_t value);
    HResult getSamplerState(uint32_t sampler, uint32_t type, uint32_t& value) const;
    virtual HResult setTextureStageState(uint32_t stage, uint32_t type, uint32_t value);
    HResult getTextureStageState(uint32_t stage, uint32_t type, uint32_t& value) const;
    virtual HResult setTexture(uint32_t stage, Texture* texture);
    Texture* getTexture(uint32_t stage) const;
    virtual HResult setFVF(uint32_t fvf);
    virtual HResult setVertexDeclaration(VertexDeclaration* declaration);
    virtual HResult setStreamSource(uint32_t stream, Buffer* buffer, uint32_t offset, uint32_t stride);
    virtual HResult setIndices(Buffer* indices);
    virtual HResult drawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) = 0;
    virtual HResult drawPrimitiveUP(uint32_t type, uint32_t primitiveCount, const void* vertices,
                                    uint32_t stride) = 0;
    virtual HResult drawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t minIndex,
                                         uint32_t numVertices, uint32_t startIndex, uint32_t primitiveCount) = 0;
    // No shader runs on this device: null is accepted, anything else refused.
    virtual HResult setVertexShader(const void* shader);
    virtual HResult setPixelShader(const void* shader);
    HResult createVertexShader(const uint32_t* function, void** shader);
    HResult createPixelShader(const uint32_t* function, void** shader);
    virtual HResult setSoftwareVertexProcessing(bool software);
    virtual void setGammaRamp(uint32_t swapChain, uint32_t flags, const uint16_t ramp[3][256]);

    virtual HResult createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                  uint32_t format, uint32_t pool, Texture** texture);
    // A volume texture (managed or system memory, not a target), sampled with three coordinates.
    virtual HResult createVolumeTexture(uint32_t width, uint32_t height, uint32_t depth, uint32_t levels,
                                        uint32_t usage, uint32_t format, uint32_t pool, Texture** texture);
    virtual HResult createDepthStencilSurface(uint32_t width, uint32_t height, uint32_t format,
                                              uint32_t multiSample, uint32_t quality, bool discard,
                                              Surface** surface);
    virtual HResult createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                       Buffer** buffer);
    virtual HResult createIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                                      Buffer** buffer);
    virtual HResult createVertexDeclaration(const VertexElement* elements, VertexDeclaration** declaration);
    virtual HResult createQuery(uint32_t type, Query** query);

    const DeviceState& state() const { return m_state; }
    const PresentParams& presentParams() const { return m_params; }

    // Backend hooks the objects call.
    virtual void uploadLevel(Texture& texture, uint32_t level) {}
    virtual void readBack(Surface& surface) {}
    virtual void destroyObject(Resource& object) {}
    virtual HResult issueQuery(Query& query, uint32_t flags) { return GFX_OK; }
    virtual HResult queryResult(Query& query, uint32_t& samples, bool flush) { samples = 0; return GFX_OK; }
    // A texture or surface is going away: forget it where it is bound.
    void forget(Resource* object);
    // The driver that draws, as a player's log names it; empty where none does.
    virtual std::string driverText() const { return {}; }

    static constexpr uint32_t MAX_TEXTURE_SIDE = 4096;

protected:
    explicit Device(const PresentParams& params);
    // Back to D3D's initial state (every reset does this).
    void resetState();
    Surface* m_backBuffer = nullptr;
    Surface* m_autoDepth = nullptr;
    PresentParams m_params;
    DeviceState m_state;
    bool m_inScene = false;
};

} // namespace sys::gfx
