#include "engine/scene/physics/ODEJointSurface.h"

ODEJointSurface::ODEJointSurface() {
    // Every field, including those newer libraries added (rolling friction), starts at zero.
    m_surface = dSurfaceParameters{};
    m_surface.mode = DEFAULT_MODE;
    m_surface.mu = 1.5;
    m_surface.mu2 = 1.5;
    m_surface.bounce = 1.0;
    m_surface.soft_erp = 0.2;
    m_surface.soft_cfm = 0.005;
}
