#pragma once
#include <cstdint>

#include "engine/platform/Math3D.h"

class Renderer;

// The renderer's cull mode and its world, view and projection matrices, handed
// back to the shader values and the device at scope end, in that order.
class ViewGuard {
public:
    explicit ViewGuard(Renderer& renderer);
    ~ViewGuard();
    ViewGuard(const ViewGuard&) = delete;
    ViewGuard& operator=(const ViewGuard&) = delete;

    const Matrix4x3& savedView() const { return m_view; }
    const Matrix4x3& savedProjection() const { return m_projection; }

private:
    Renderer& m_renderer;
    uint32_t m_cullMode;
    Matrix4x3 m_world;
    Matrix4x3 m_view;
    Matrix4x3 m_projection;
};
