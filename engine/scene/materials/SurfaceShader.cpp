#include "engine/scene/materials/SurfaceShader.h"

#include <algorithm>

#include "engine/render/Renderer.h"
#include "engine/render/ShaderSwitches.h"

std::string SurfaceShader::vertexEntryPoint() const {
    const ShaderSwitches& s = *m_renderer->m_switches;
    int n = 0;
    for (int count = 0; count < ShaderSwitches::LAYER_COUNTS; ++count) n += *s.m_numTex[count];
    n += (*s.m_specularEnabled ? 3 : 2) * *s.m_numShadows;
    if (*s.m_sphericalEnvmapAvailable) n += 1;
    if (*s.m_numTex[ShaderSwitches::NUM_BUMP] > 0) n += 4;
    n = std::min(n, 8);
    return std::string("vshader") + (*s.m_specularEnabled ? "S" : "") + (*s.m_isFogEnabled ? "F" : "") +
           std::to_string(n);
}
