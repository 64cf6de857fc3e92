#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sys/gfx/Device.h"

namespace sys::gfx {

// What of the device state shapes the generated program: equal keys draw with
// one program. Every field is a byte and unused ones stay zero, so a key
// compares and hashes as plain bytes.
struct FixedFunctionKey {
    static constexpr uint32_t MAX_ACTIVE_LIGHTS = 8;
    enum TexGen : uint8_t { GEN_NONE, GEN_NORMAL, GEN_POSITION, GEN_REFLECTION, GEN_SPHERE };
    // Where a lit colour comes from: the material, the vertex's diffuse or its specular colour.
    enum Source : uint8_t { FROM_MATERIAL, FROM_DIFFUSE, FROM_SPECULAR };

    struct Stage {
        uint8_t colorOp, colorArg[3], alphaOp, alphaArg[3];
        uint8_t toTemp, texGen, projected, volume;
        // The stage's texture matrix is not the identity.
        uint8_t transformed;
    };

    uint8_t pretransformed, hasNormal, hasDiffuse, hasSpecular;
    uint8_t lighting, localViewer, normalizeNormals, specularEnable;
    uint8_t diffuseSource, ambientSource, specularSource, emissiveSource;
    uint8_t lightCount, fogMode, rangeFog, clipPlanes;
    uint8_t lightTypes[MAX_ACTIVE_LIGHTS];
    // Per clip coordinate, a bit for each eye coordinate the projection does not multiply by zero.
    uint8_t projectionTerms[4];
    uint8_t stageCount;
    Stage stages[MAX_STAGES];

    // The key of a draw with this state and vertex layout.
    static FixedFunctionKey from(const DeviceState& state, const std::vector<VertexElement>& layout,
                                 bool pretransformed);
    // Indices of the lights the key counts, in the order the program takes them.
    static uint32_t activeLights(const DeviceState& state, uint32_t out[MAX_ACTIVE_LIGHTS]);

    bool operator==(const FixedFunctionKey& other) const;
    size_t hash() const;
};

struct FixedFunctionKeyHash {
    size_t operator()(const FixedFunctionKey& key) const { return key.hash(); }
};

} // namespace sys::gfx
