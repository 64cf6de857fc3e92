#pragma once
#include <string>
#include <vector>

#include "sys/gfx/Device.h"

namespace sys::gfx {

// Draws nothing and writes each call with its arguments as one line of text,
// for CPU tests of state order and of what a pass draws.
class RecordingDevice : public Device {
public:
    explicit RecordingDevice(const PresentParams& params);
    ~RecordingDevice() override;

    const std::vector<std::string>& calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }
    // Off: calls are taken and answered but not written down, for long headless runs.
    void setRecording(bool on) { m_recordingOn = on; }
    // Answers lost while set, then "not reset" until the next reset, as a minimised window does.
    void setLost(bool lost);

    HResult reset(PresentParams& params) override;
    HResult testCooperativeLevel() override;
    HResult beginScene() override;
    HResult endScene() override;
    HResult present() override;
    HResult clear(uint32_t count, const Rect* rects, uint32_t flags, uint32_t color, float z,
                  uint32_t stencil) override;
    HResult setViewport(const Viewport& viewport) override;
    HResult setRenderTarget(uint32_t index, Surface* surface) override;
    HResult setScissorRect(const Rect& rect) override;
    HResult setDepthStencilSurface(Surface* surface) override;
    HResult stretchRect(Surface* source, const Rect* sourceRect, Surface* dest, const Rect* destRect,
                        uint32_t filter) override;
    HResult setTransform(uint32_t type, const Matrix& matrix) override;
    HResult setLight(uint32_t index, const Light& light) override;
    HResult lightEnable(uint32_t index, bool enable) override;
    HResult setClipPlane(uint32_t index, const float plane[4]) override;
    HResult setMaterial(const Material& material) override;
    HResult setRenderState(uint32_t state, uint32_t value) override;
    HResult setSamplerState(uint32_t sampler, uint32_t type, uint32_t value) override;
    HResult setTextureStageState(uint32_t stage, uint32_t type, uint32_t value) override;
    HResult setTexture(uint32_t stage, Texture* texture) override;
    HResult setFVF(uint32_t fvf) override;
    HResult setVertexDeclaration(VertexDeclaration* declaration) override;
    HResult setStreamSource(uint32_t stream, Buffer* buffer, uint32_t offset, uint32_t stride) override;
    HResult setIndices(Buffer* indices) override;
    HResult drawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) override;
    HResult drawPrimitiveUP(uint32_t type, uint32_t primitiveCount, const void* vertices, uint32_t stride) override;
    HResult drawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t minIndex, uint32_t numVertices,
                                 uint32_t startIndex, uint32_t primitiveCount) override;
    HResult setVertexShader(const void* shader) override;
    HResult setPixelShader(const void* shader) override;
    HResult setSoftwareVertexProcessing(bool software) override;
    void setGammaRamp(uint32_t swapChain, uint32_t flags, const uint16_t ramp[3][256]) override;
    HResult createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                          uint32_t pool, Texture** texture) override;
    HResult createVolumeTexture(uint32_t width, uint32_t height, uint32_t depth, uint32_t levels, uint32_t usage,
                                uint32_t format, uint32_t pool, Texture** texture) override;
    HResult createDepthStencilSurface(uint32_t width, uint32_t height, uint32_t format, uint32_t multiSample,
                                      uint32_t quality, bool discard, Surface** surface) override;
    HResult createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool, Buffer** buffer) override;
    HResult createIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                              Buffer** buffer) override;
    HResult createQuery(uint32_t type, Query** query) override;

private:
    // The flag is tested before the arguments are formatted: a frame makes thousands of calls.
    template <typename... Args>
    void record(const char* format, Args... args) {
        if (m_recordingOn) write(format, args...);
    }
    void write(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void makeBackBuffer();
    std::vector<std::string> m_calls;
    bool m_recordingOn = true;
    bool m_lost = false;
    bool m_needsReset = false;
};

} // namespace sys::gfx
