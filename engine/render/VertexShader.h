#pragma once
#include <cstdint>

#include "engine/render/ShaderObject.h"

// A vertex program on every device of the renderer.
class VertexShader : public ShaderObject {
public:
    VertexShader(Renderer* renderer, const uint32_t* function, std::unique_ptr<ShaderConstantTable> constants);
};
