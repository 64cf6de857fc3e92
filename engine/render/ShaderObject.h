#pragma once
#include <memory>
#include <vector>

#include "engine/render/ShaderConstantTable.h"

class Renderer;

// One compiled shader program with one device shader per device of the
// renderer (entry i for device i) and the program's constant table.
class ShaderObject {
public:
    ShaderObject(Renderer* renderer, std::unique_ptr<ShaderConstantTable> constants);
    virtual ~ShaderObject() = default;
    ShaderObject(const ShaderObject&) = delete;
    ShaderObject& operator=(const ShaderObject&) = delete;

    // The device shader of the current device; null where that device refused the program.
    const void* currentShader() const;
    // Every device took the program.
    bool isComplete() const;

    Renderer* m_renderer;
    std::unique_ptr<ShaderConstantTable> m_constants;
    std::vector<void*> m_shaders;
};

// Defaults, then every shader constant record by name, then the switches when
// the renderer uploads them; names the program lacks are skipped.
void uploadShaderConstants(ShaderObject& shader);
