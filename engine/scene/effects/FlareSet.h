#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/Math3D.h"
#include "engine/scene/Light.h"
#include "engine/scene/effects/FlareView.h"

class CullingPlane;
class DeviceList;
class SceneItem;
class Texture;

namespace sys::gfx {
class Buffer;
}

// A light's lens flare: four generated textures shared through the pool, a
// five-vertex buffer (the quad and the query point), and one visibility
// record per view. Each frame per view: updateFlareVisibility, drawFlares
// (which reads the occlusion query of the frame before), issueOcclusionQuery.
class FlareSet {
public:
    enum TextureIndex { CENTRE = 0, BRIGHT_CENTRE = 1, EVEN_CENTRE = 2, DIM_CENTRE = 3, RING = 4, RING2 = 5,
                        TEXTURE_COUNT = 6 };
    enum Option { OPTION_CENTRE_GLOW = 0x1, OPTION_CENTRE = 0x8, OPTION_GHOSTS = 0x10 };
    static constexpr uint32_t VERTEX_FVF = 0x102;
    static constexpr uint32_t VERTEX_STRIDE = 20;
    static constexpr uint32_t VERTEX_BUFFER_SIZE = 100;
    static constexpr int GHOST_COUNT = 16;

    struct Ghost {
        int texture;
        float position;
        float size;
        uint32_t colour;
    };
    static const Ghost GHOSTS[GHOST_COUNT];

    // The pool's texture of that name, or null.
    using TextureFinder = std::function<Texture*(const std::string& name)>;
    using TextureKeeper = Light::TextureKeeper;

    // Without a keeper the set keeps the textures it makes itself.
    FlareSet(DeviceList& devices, Light& light, const TextureFinder& find, const TextureKeeper& keep);
    ~FlareSet();
    FlareSet(const FlareSet&) = delete;
    FlareSet& operator=(const FlareSet&) = delete;

    // One record and query per view (two when the device draws two eyes).
    void createDeviceObjects();
    void releaseDeviceObjects();

    // The view number is 1-based. True when the flare is to be drawn or was
    // drawn last frame and is still on screen.
    bool updateFlareVisibility(int view, SceneItem& camera, const std::vector<CullingPlane*>& occluders, double time);
    void issueOcclusionQuery(int view, SceneItem& camera, double time);
    void drawFlares(int view, SceneItem& camera, double time);

    // The record the view number stands for now; null when there is none.
    FlareView* viewRecord(int view);
    Texture* texture(int index) const { return index >= 0 && index < TEXTURE_COUNT ? m_textures[index] : nullptr; }
    size_t viewCount() const { return m_views.size(); }

    // Pixels the fullest query counted so far; the occlusion fraction divides by it.
    static uint32_t s_maxQueryPixels;

private:
    void makeTextures(const TextureFinder& find, const TextureKeeper& keep);
    void createVertexBuffer();
    // Pixels / s_maxQueryPixels from the view's query; 0 when it gives none.
    float occlusionFraction(FlareView& record);
    Position3 lightInCamera(SceneItem& camera, double time);
    void drawQuad(int textureIndex, const Matrix4x3& view, uint32_t colour, double time);

    DeviceList& m_devices;
    Light& m_light;
    Texture* m_textures[TEXTURE_COUNT] = {};
    std::vector<std::unique_ptr<Texture>> m_ownTextures;
    Ref<sys::gfx::Buffer> m_vertexBuffer;
    std::vector<FlareView> m_views;
};
