#pragma once
#include <string>
#include <unordered_map>
#include <vector>

#include "sys/gfx/FixedFunctionKey.h"
#include "sys/gfx/FixedFunctionSource.h"

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
    // False, with the compiler's words in the log once, when it does not build.
    bool use(const DeviceState& state, const std::vector<VertexElement>& layout, bool pretransformed);
    // A program of the current context from GLSL text; 0, with the driver's
    // words in the log, when it does not compile or link.
    static uint32_t link(const std::string& vertexSource, const std::string& fragmentSource);

private:
    // What a program's uniforms hold since it last drew: GL keeps them with the program.
    struct Loaded {
        bool any;
        float material[5][4], ambient[4], factor[4];
        float lights[FixedFunctionKey::MAX_ACTIVE_LIGHTS * FixedFunctionSource::LIGHT_VECTORS][4];
        float constants[MAX_STAGES][4], bump[MAX_STAGES][4], luminance[MAX_STAGES][2];
    };
    struct Program {
        uint32_t name;
        int light, material, ambient, factor, constant, bump, bumpLuminance;
        Loaded loaded;
    };
    Program build(const FixedFunctionKey& key);
    void load(Program& program, const FixedFunctionKey& key, const DeviceState& state);

    std::unordered_map<FixedFunctionKey, Program, FixedFunctionKeyHash> m_programs;
};

} // namespace sys::gfx
