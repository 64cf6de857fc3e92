#include <SDL.h>

#include "sys/gfx/Adapter.h"
#include "sys/gfx/GlDevice.h"
#include "sys/window/Window.h"

namespace sys::gfx {

namespace {

// The adapter of the GL backend: display modes from SDL, devices on SDL windows.
class GlAdapter : public Adapter {
public:
    GlAdapter() {
        int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count && i < 1024; ++i) {
            SDL_DisplayMode mode;
            if (SDL_GetDisplayMode(0, i, &mode) != 0 || SDL_BITSPERPIXEL(mode.format) < 24) continue;
            m_modes.push_back({uint32_t(mode.w), uint32_t(mode.h), uint32_t(mode.refresh_rate), FMT_X8R8G8B8});
        }
        SDL_DisplayMode desktop;
        if (SDL_GetDesktopDisplayMode(0, &desktop) == 0)
            m_desktop = {uint32_t(desktop.w), uint32_t(desktop.h), uint32_t(desktop.refresh_rate), FMT_X8R8G8B8};
        // A virtual display may list no modes at all; its desktop is one.
        if (m_modes.empty()) m_modes.push_back(m_desktop);
    }

    HResult createDevice(uint32_t adapter, uint32_t deviceType, void* focusWindow, uint32_t flags,
                         PresentParams* params, Device** device) override {
        if (!params || !device || adapter >= getAdapterCount()) return GFXERR_INVALIDCALL;
        *device = nullptr;
        sys::Window* window = static_cast<sys::Window*>(params->deviceWindow ? params->deviceWindow : focusWindow);
        if (!window) return GFXERR_INVALIDCALL;
        GlDevice* created = GlDevice::create(*window, *params);
        if (!created) return GFXERR_NOTAVAILABLE;
        params->backBufferWidth = created->presentParams().backBufferWidth;
        params->backBufferHeight = created->presentParams().backBufferHeight;
        params->backBufferFormat = created->presentParams().backBufferFormat;
        *device = created;
        return GFX_OK;
    }
};

} // namespace

std::unique_ptr<Adapter> createGlAdapter() {
    if (!sys::Window::videoAvailable()) return nullptr;
    return std::make_unique<GlAdapter>();
}

} // namespace sys::gfx
