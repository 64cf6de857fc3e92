#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "sys/gui/LayerTiles.h"

namespace CEGUI {
class Renderer;
}

namespace sys::gfx {
class Device;
class Texture;
}

namespace sys {

// The GUI library's OpenGL renderer on the 3D device's context. The GUI is
// drawn into a picture of its own and laid over the device's current render
// target through the device, so the device's state and target survive it.
class GuiRenderer {
public:
    // Null, with the reason in `failure`, when the device has no GL context to
    // draw on (a recording device) or the library's renderer cannot start;
    // the device's context must be current.
    static std::unique_ptr<GuiRenderer> create(gfx::Device& device, std::string& failure);
    ~GuiRenderer();
    GuiRenderer(const GuiRenderer&) = delete;
    GuiRenderer& operator=(const GuiRenderer&) = delete;

    CEGUI::Renderer& renderer();
    // Follows the back buffer after a reset.
    void setDisplaySize(uint32_t width, uint32_t height);
    // Renders every GUI context of the library's system over the current target.
    void draw();

private:
    GuiRenderer(gfx::Device& device, CEGUI::Renderer& renderer);
    bool prepareLayer();
    // The tiles the default context's windows and pointer drew into.
    void markDrawnTiles();
    void composite();

    gfx::Device& m_device;
    CEGUI::Renderer& m_renderer;
    gfx::Texture* m_layer = nullptr;
    uint32_t m_framebuffer = 0;
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    LayerTiles m_tiles;
};

} // namespace sys
