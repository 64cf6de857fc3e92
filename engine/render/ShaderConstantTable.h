#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sys/gfx/GfxTypes.h"

namespace sys::gfx {
class Device;
}

// The named constants of one compiled shader program, as its compiler
// describes them: defaults, values set by name, and the samplers it reads.
class ShaderConstantTable {
public:
    virtual ~ShaderConstantTable() = default;

    virtual sys::gfx::HResult setDefaults(sys::gfx::Device& device) = 0;
    // A name the program does not declare is refused without effect.
    virtual sys::gfx::HResult setValue(sys::gfx::Device& device, const char* name, const void* data,
                                       uint32_t bytes) = 0;
    // Sampler names in the order the program declares them.
    virtual std::vector<std::string> samplerNames() const = 0;
};
