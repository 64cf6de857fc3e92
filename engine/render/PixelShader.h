#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/render/ShaderObject.h"

// A pixel program on every device, with the names of the samplers it reads
// (at most 16), which the shader library binds textures to.
class PixelShader : public ShaderObject {
public:
    static constexpr uint32_t MAX_SAMPLERS = 16;

    PixelShader(Renderer* renderer, const uint32_t* function, std::unique_ptr<ShaderConstantTable> constants);

    std::vector<std::string> m_samplerNames;
};
