#pragma once
#include <cstdint>

#include "engine/platform/ByteBuffer.h"
#include "engine/platform/Ref.h"

namespace sys::gfx {
class Resource;
class Surface;
class Texture;
}
class DisplaySettings;
class Renderer;

// A screen-sized render target of the renderer: its size follows the desktop
// when windowed, the display mode otherwise. The device objects are filled by
// whoever draws into it; the record releases them.
class ScreenTarget {
public:
    // Size from the desktop mode when windowed, else from the settings; alpha
    // only on an A8R8G8B8 back buffer without multisampling.
    ScreenTarget(Renderer* owner, const DisplaySettings& settings, uint32_t desktopWidth, uint32_t desktopHeight);
    ~ScreenTarget();
    ScreenTarget(const ScreenTarget&) = delete;
    ScreenTarget& operator=(const ScreenTarget&) = delete;

    // Lets go of the surface and the held object, empties the buffer, zeroes the words.
    void release();

    Renderer* m_owner;
    int32_t m_width;
    int32_t m_height;
    bool m_alpha;
    int32_t m_words[2] = {0, 0};
    Ref<sys::gfx::Texture> m_texture;
    Ref<sys::gfx::Surface> m_surface;
    Ref<sys::gfx::Resource> m_held;
    ByteBuffer m_buffer;
};
