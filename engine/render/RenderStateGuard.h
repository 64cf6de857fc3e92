#pragma once
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace sys::gfx {
class Device;
}

// Render states read on the way in and set back, in the order given, at scope end.
class RenderStateGuard {
public:
    RenderStateGuard(sys::gfx::Device& device, std::initializer_list<uint32_t> states);
    ~RenderStateGuard();
    RenderStateGuard(const RenderStateGuard&) = delete;
    RenderStateGuard& operator=(const RenderStateGuard&) = delete;

private:
    sys::gfx::Device& m_device;
    std::vector<std::pair<uint32_t, uint32_t>> m_saved;
};
