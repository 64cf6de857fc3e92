#include "engine/render/ViewVolume.h"

#include <cstring>

#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "engine/render/ShaderSwitches.h"
#include "sys/gfx/Device.h"

namespace {

Matrix4x3 deviceTransform(const sys::gfx::Device& device, uint32_t type) {
    sys::gfx::Matrix matrix;
    device.getTransform(type, matrix);
    Matrix4x3 out;
    std::memcpy(out.m, matrix.m, sizeof out.m);
    return out;
}

// The device's rounding differs from ours; a box this close to a side is kept.
constexpr float MARGIN = 1.0e-3f;

} // namespace

ViewVolume::ViewVolume(const Renderer& renderer) : m_window(renderer.m_viewWindow) {
    const sys::gfx::Device* device = renderer.m_currentDevice;
    Matrix4x3 worldView;
    if (renderer.m_fixedFunction && device) {
        multiplyMatrix4x4(worldView, deviceTransform(*device, sys::gfx::TS_WORLD),
                          deviceTransform(*device, sys::gfx::TS_VIEW));
        multiplyMatrix4x4(m_toClip, worldView, deviceTransform(*device, sys::gfx::TS_PROJECTION));
    } else if (!renderer.m_fixedFunction && renderer.m_constants) {
        const ShaderConstants& constants = *renderer.m_constants;
        multiplyMatrix4x4(worldView, constants.m_world, constants.m_view);
        multiplyMatrix4x4(m_toClip, worldView, constants.m_projection);
        m_everything = renderer.m_switches && renderer.m_switches->m_isCylindricalViewer &&
                       *renderer.m_switches->m_isCylindricalViewer;
    } else {
        m_everything = true;
    }
}

bool ViewVolume::sees(const Position3& low, const Position3& high) const {
    if (m_everything) return true;
    float corners[8][4];
    // One bit per side of the depth (below -w, then above w) that some corner lies within.
    unsigned within = 0;
    for (int i = 0; i < 8; ++i) {
        const Position3 p = {(i & 1) ? high.x : low.x, (i & 2) ? high.y : low.y, (i & 4) ? high.z : low.z};
        float* c = corners[i];
        for (int col = 0; col < 4; ++col)
            c[col] = p.x * m_toClip.at(0, col) + p.y * m_toClip.at(1, col) + p.z * m_toClip.at(2, col) +
                     m_toClip.at(3, col);
        const float w = c[3] + MARGIN * (c[3] < 0.0f ? -c[3] : c[3]) + MARGIN;
        if (c[2] >= -w) within |= 1u;
        if (c[2] <= w) within |= 2u;
    }
    return within == 3u && m_window.reaches(corners, 8);
}
