#include "engine/render/RenderStateGuard.h"

#include "sys/gfx/Device.h"

RenderStateGuard::RenderStateGuard(sys::gfx::Device& device, std::initializer_list<uint32_t> states) : m_device(device) {
    for (uint32_t state : states) {
        uint32_t value = 0;
        m_device.getRenderState(state, value);
        m_saved.emplace_back(state, value);
    }
}

RenderStateGuard::~RenderStateGuard() {
    for (const auto& saved : m_saved) m_device.setRenderState(saved.first, saved.second);
}
