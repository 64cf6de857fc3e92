#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/render/ShaderConstantTable.h"

// What compiles a shader library's variants from its effect source: switch
// values set by name, then one entry point for one profile. The game ships
// none, so its compiled kinds draw with the states alone.
class ShaderCompiler {
public:
    struct Output {
        std::vector<uint32_t> code;
        std::string errors;
        std::unique_ptr<ShaderConstantTable> constants;
    };

    virtual ~ShaderCompiler() = default;
    virtual void setValue(const char* name, const void* data, uint32_t bytes) = 0;
    // False on failure, with the messages in the output's errors.
    virtual bool compileShader(const std::string& entryPoint, const std::string& profile, uint32_t flags,
                               Output& out) = 0;

    // Leaves the expressions the compiler could fold to the shader.
    static constexpr uint32_t NO_PRESHADER = 0x100;
};
