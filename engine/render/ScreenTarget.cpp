#include "engine/render/ScreenTarget.h"

#include "engine/platform/display/DisplaySettings.h"
#include "sys/gfx/Surface.h"
#include "sys/gfx/Texture.h"

ScreenTarget::ScreenTarget(Renderer* owner, const DisplaySettings& settings, uint32_t desktopWidth,
                           uint32_t desktopHeight)
    : m_owner(owner),
      m_width(int32_t(settings.m_windowed ? desktopWidth : settings.m_width)),
      m_height(int32_t(settings.m_windowed ? desktopHeight : settings.m_height)),
      m_alpha(settings.m_backBufferFormat == sys::gfx::FMT_A8R8G8B8 && settings.m_multisampleType == 0) {}

ScreenTarget::~ScreenTarget() { release(); }

void ScreenTarget::release() {
    m_surface.reset();
    m_held.reset();
    m_buffer.assignText("");
    m_words[0] = m_words[1] = 0;
}
