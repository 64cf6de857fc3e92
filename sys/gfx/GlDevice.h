#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sys/gfx/Device.h"

namespace sys {
class Window;
}

namespace sys::gfx {

class GlFixedFunction;
class SideViewSender;
struct SideCommand;

// The device over the window's OpenGL compatibility context. Every target is
// drawn top row first (as Direct3D stores it): the back buffer is an
// off-screen buffer that present turns the right way up into the window.
class GlDevice : public Device {
public:
    // Null, with the reason on standard error, when no context can be made.
    static GlDevice* create(sys::Window& window, const PresentParams& params);
    ~GlDevice() override;

    HResult reset(PresentParams& params) override;
    HResult testCooperativeLevel() override;
    HResult present() override;
    void beginSideView() override;
    void endSideView() override;
    void joinSideView() override;
    HResult clear(uint32_t count, const Rect* rects, uint32_t flags, uint32_t color, float z,
                  uint32_t stencil) override;
    HResult stretchRect(Surface* source, const Rect* sourceRect, Surface* dest, const Rect* destRect,
                        uint32_t filter) override;
    HResult drawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) override;
    HResult drawPrimitiveUP(uint32_t type, uint32_t primitiveCount, const void* vertices, uint32_t stride) override;
    HResult drawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t minIndex, uint32_t numVertices,
                                 uint32_t startIndex, uint32_t primitiveCount) override;
    void setGammaRamp(uint32_t swapChain, uint32_t flags, const uint16_t ramp[3][256]) override;

    void uploadLevel(Texture& texture, uint32_t level) override;
    void readBack(Surface& surface) override;
    void destroyObject(Resource& object) override;
    HResult issueQuery(Query& query, uint32_t flags) override;
    HResult queryResult(Query& query, uint32_t& samples, bool flush) override;

    // The samples each back-buffer pixel has (1 without multisampling).
    int backBufferSamples() const { return m_samples; }
    // The driver's GL_RENDERER, "llvmpipe (...)" for Mesa's software rasteriser.
    const std::string& rendererName() const { return m_rendererName; }
    // Its GL_RENDERER, GL_VERSION and GL_VENDOR.
    std::string driverText() const override { return m_driverText; }
    // The fewest triangles sent between two hand-overs to the rasteriser's
    // threads (0 keeps the whole frame until present); with idleCoresOnly,
    // only in frames that start while the machine has cores to spare.
    void setHandOver(uint32_t triangles, bool idleCoresOnly);
    // Whether a view between beginSideView and endSideView is sent from a
    // thread of its own (on by default under llvmpipe).
    void setSideViews(bool on);
    bool sideViews() const { return m_sideViews; }

private:
    friend class SideViewSender;
    GlDevice(sys::Window& window, void* context, const PresentParams& params);
    // A device on the current context, a second one sharing main's objects,
    // that draws into main's back buffer; null when that cannot be made.
    static std::unique_ptr<GlDevice> sideDevice(GlDevice& main, void* context);
    void replay(const std::vector<SideCommand>& commands, const std::vector<std::pair<uint32_t, Light>>& lights);
    // Before this context sends a command: a view still being sent aside that
    // the command would touch is waited for, so the two keep their order.
    void beforeOwnSending(bool samples);
    void settleSide();
    // Full screen or a window as the parameters say, and the presentation's wait.
    void takeDisplay();
    bool away() const;
    bool makeBackBuffer();
    void dropBackBuffer();
    // Binds the back buffer's picture, single-sampled, for reading.
    void bindPictureForReading();
    void bindTarget();
    void applyState(bool pretransformed);
    void applyStages(const std::vector<VertexElement>& layout, bool pretransformed);
    // Vertices and indices lie in the buffers given, or in the caller's memory where null.
    HResult draw(uint32_t type, uint32_t primitiveCount, const uint8_t* vertices, uint32_t stride,
                 const std::vector<VertexElement>& layout, const void* indices, uint32_t indexFormat,
                 uint32_t vertexCount, const Buffer* vertexBuffer, const Buffer* indexBuffer);
    void attach(Surface* surface, uint32_t attachment);
    // Hands what was sent so far to the rasteriser's threads while the rest of the frame is sent.
    void sendAhead(uint32_t triangles);
    void endFrameSending();
    void resolveBackBuffer();

    sys::Window& m_window;
    void* m_context;
    int m_samples = 1;
    uint32_t m_backFbo = 0, m_backColor = 0, m_backDepth = 0;
    uint32_t m_resolveFbo = 0, m_resolveColor = 0;
    uint32_t m_targetFbo = 0, m_blitFbo = 0;
    uint32_t m_white = 0;
    bool m_lost = false;
    bool m_resolved = false;
    std::string m_rendererName;
    std::string m_driverText;
    // A software rasteriser decodes a compressed block on every sample it takes.
    bool m_decodeCompressed = false;
    uint32_t m_activeQuery = 0;
    uint32_t m_flushTriangles = 0;
    bool m_idleCoresOnly = false, m_handingOver = false;
    uint64_t m_sentSinceFlush = 0, m_sentThisFrame = 0, m_sentLastFrame = 0;
    // Signalled once the threads have drawn everything handed over before it.
    void* m_handedOver = nullptr;
    std::vector<float> m_scratch;
    std::vector<uint8_t> m_decoded;
    std::unique_ptr<GlFixedFunction> m_fixedFunction;
    bool m_sideViews = false;
    // A side device's back buffer is its main device's.
    bool m_sharedBack = false;
    std::unique_ptr<SideViewSender> m_side;
};

} // namespace sys::gfx
