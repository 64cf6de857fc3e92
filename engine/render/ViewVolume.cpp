#include "engine/render/ViewVolume.h"

#include <cmath>
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

// The point the projection sends to x = y = w = 0: the eye, or with w 0 the
// direction it looks from. A triangle's clip-space determinant of x, y and w,
// whose sign is its winding on the screen, is this point against the
// triangle's plane (4D cross product of its corners).
void eyeOf(const Matrix4x3& toClip, double eye[4]) {
    const int columns[3] = {0, 1, 3};
    for (int skip = 0; skip < 4; ++skip) {
        double m[3][3];
        for (int r = 0, row = 0; row < 4; ++row) {
            if (row == skip) continue;
            for (int k = 0; k < 3; ++k) m[r][k] = toClip.at(row, columns[k]);
            ++r;
        }
        const double minor = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                             m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                             m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
        eye[skip] = (skip & 1) ? minor : -minor;
    }
}

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
    uint32_t cull = sys::gfx::CULL_NONE;
    if (m_everything || !device || device->getRenderState(sys::gfx::RS_CULLMODE, cull) < 0) return;
    double eye[4];
    eyeOf(m_toClip, eye);
    // A triangle's winding turns positive on the screen when the eye lies behind the
    // plane its wound corners give; counter-clockwise culling drops those.
    const double sign = cull == sys::gfx::CULL_CCW ? 1.0 : cull == sys::gfx::CULL_CW ? -1.0 : 0.0;
    const double across = std::sqrt(eye[0] * eye[0] + eye[1] * eye[1] + eye[2] * eye[2]);
    // An eye farther than this from the draw's origin is taken as a direction.
    const double scale = std::fabs(eye[3]) * 1.0e6 > across ? std::fabs(eye[3]) : across;
    if (sign == 0.0 || !(scale > 0.0)) return;
    for (int c = 0; c < 4; ++c) m_eye[c] = float(sign * eye[c] / scale);
    if (scale != std::fabs(eye[3])) m_eye[3] = 0.0f;
    m_culling = true;
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
