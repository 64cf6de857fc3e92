#pragma once
#include <unordered_map>
#include <vector>

#include "sys/gfx/FixedFunctionKey.h"

namespace sys::gfx {

// The generated programs of one GL context, kept by key for its life.
class GlFixedFunction {
public:
    GlFixedFunction() = default;
    GlFixedFunction(const GlFixedFunction&) = delete;
    GlFixedFunction& operator=(const GlFixedFunction&) = delete;
    // Deletes the programs; the context must still be current.
    ~GlFixedFunction();

    // Binds the program this draw's state asks for and loads its values.
    // False, with the compiler's words on standard error once, when it does not build.
    bool use(const DeviceState& state, const std::vector<VertexElement>& layout, bool pretransformed);

private:
    struct Program {
        uint32_t name;
        int light, material, ambient, factor, constant, bump, bumpLuminance;
    };
    Program build(const FixedFunctionKey& key);
    void load(const Program& program, const FixedFunctionKey& key, const DeviceState& state);

    std::unordered_map<FixedFunctionKey, Program, FixedFunctionKeyHash> m_programs;
};

} // namespace sys::gfx
