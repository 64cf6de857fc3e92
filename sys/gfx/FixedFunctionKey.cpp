#include "sys/gfx/FixedFunctionKey.h"

#include <cstring>
#include <functional>
#include <string_view>

namespace sys::gfx {

namespace {

bool hasElement(const std::vector<VertexElement>& layout, uint8_t usage, uint8_t index) {
    for (const VertexElement& e : layout)
        if (e.stream == 0 && e.usage == usage && e.usageIndex == index) return true;
    return false;
}

uint8_t texGenOf(uint32_t texCoordIndex) {
    switch (texCoordIndex & 0xFFFF0000) {
    case TSS_TCI_CAMERASPACENORMAL: return FixedFunctionKey::GEN_NORMAL;
    case TSS_TCI_CAMERASPACEPOSITION: return FixedFunctionKey::GEN_POSITION;
    case TSS_TCI_CAMERASPACEREFLECTIONVECTOR: return FixedFunctionKey::GEN_REFLECTION;
    case TSS_TCI_SPHEREMAP: return FixedFunctionKey::GEN_SPHERE;
    default: return FixedFunctionKey::GEN_NONE;
    }
}

} // namespace

uint32_t FixedFunctionKey::activeLights(const DeviceState& state, uint32_t out[MAX_ACTIVE_LIGHTS]) {
    static_assert(sizeof(bool) == 1, "a light's switch is one byte");
    const bool* first = state.lightEnabled;
    const bool* end = first + MAX_LIGHTS;
    uint32_t count = 0;
    // Nearly all of the table is off on every draw: let memchr skip it.
    for (const bool* at = first; at < end && count < MAX_ACTIVE_LIGHTS; ++at) {
        at = static_cast<const bool*>(std::memchr(at, true, size_t(end - at)));
        if (!at) break;
        out[count++] = uint32_t(at - first);
    }
    return count;
}

FixedFunctionKey FixedFunctionKey::from(const DeviceState& state, const std::vector<VertexElement>& layout,
                                        bool pretransformed) {
    FixedFunctionKey key;
    std::memset(&key, 0, sizeof key);
    const uint32_t* rs = state.renderStates;
    key.pretransformed = pretransformed;
    key.hasNormal = !pretransformed && hasElement(layout, DECLUSAGE_NORMAL, 0);
    key.hasDiffuse = hasElement(layout, DECLUSAGE_COLOR, 0);
    key.hasSpecular = hasElement(layout, DECLUSAGE_COLOR, 1);
    key.specularEnable = rs[RS_SPECULARENABLE] != 0;
    if (!pretransformed && rs[RS_LIGHTING]) {
        key.lighting = 1;
        key.normalizeNormals = rs[RS_NORMALIZENORMALS] != 0;
        // A source naming a colour the vertices lack falls back to the material.
        auto source = [&](uint32_t materialSource) -> uint8_t {
            if (!rs[RS_COLORVERTEX]) return FROM_MATERIAL;
            if (materialSource == MCS_COLOR1 && key.hasDiffuse) return FROM_DIFFUSE;
            if (materialSource == MCS_COLOR2 && key.hasSpecular) return FROM_SPECULAR;
            return FROM_MATERIAL;
        };
        key.diffuseSource = source(rs[RS_DIFFUSEMATERIALSOURCE]);
        key.ambientSource = source(rs[RS_AMBIENTMATERIALSOURCE]);
        key.specularSource = source(rs[RS_SPECULARMATERIALSOURCE]);
        key.emissiveSource = source(rs[RS_EMISSIVEMATERIALSOURCE]);
        uint32_t lights[MAX_ACTIVE_LIGHTS];
        key.lightCount = uint8_t(activeLights(state, lights));
        for (uint32_t i = 0; i < key.lightCount; ++i) key.lightTypes[i] = uint8_t(state.lights[lights[i]].type);
    }
    // Pre-transformed vertices get table (per-pixel) fog only, by their w.
    uint32_t fog = rs[RS_FOGTABLEMODE] || pretransformed ? rs[RS_FOGTABLEMODE] : rs[RS_FOGVERTEXMODE];
    if (rs[RS_FOGENABLE] && fog <= FOG_LINEAR) key.fogMode = uint8_t(fog);
    if (!pretransformed) {
        // A perspective is mostly zeros; the device loads its rows as GL's columns.
        for (uint32_t k = 0; k < 4; ++k)
            for (uint32_t j = 0; j < 4; ++j)
                if (state.projection.m[j][k] != 0.0f) key.projectionTerms[k] |= uint8_t(1u << j);
        key.localViewer = rs[RS_LOCALVIEWER] != 0;
        key.rangeFog = key.fogMode && !rs[RS_FOGTABLEMODE] && rs[RS_RANGEFOGENABLE];
        key.clipPlanes = uint8_t(rs[RS_CLIPPLANEENABLE] & ((1u << MAX_CLIP_PLANES) - 1));
    }
    // A disabled colour operation ends the cascade.
    for (uint32_t i = 0; i < MAX_STAGES && state.stageStates[i][TSS_COLOROP] != TOP_DISABLE; ++i) {
        const uint32_t* ts = state.stageStates[i];
        Stage& s = key.stages[i];
        s.colorOp = uint8_t(ts[TSS_COLOROP]);
        s.colorArg[0] = uint8_t(ts[TSS_COLORARG0]);
        s.colorArg[1] = uint8_t(ts[TSS_COLORARG1]);
        s.colorArg[2] = uint8_t(ts[TSS_COLORARG2]);
        s.alphaOp = uint8_t(ts[TSS_ALPHAOP]);
        s.alphaArg[0] = uint8_t(ts[TSS_ALPHAARG0]);
        s.alphaArg[1] = uint8_t(ts[TSS_ALPHAARG1]);
        s.alphaArg[2] = uint8_t(ts[TSS_ALPHAARG2]);
        s.toTemp = (ts[TSS_RESULTARG] & TA_SELECTMASK) == TA_TEMP;
        if (!pretransformed) s.texGen = texGenOf(ts[TSS_TEXCOORDINDEX]);
        uint32_t flags = ts[TSS_TEXTURETRANSFORMFLAGS];
        // The device loads a stage's matrix only for these; the rest keep the identity.
        s.transformed = !pretransformed && flags != TTFF_DISABLE;
        s.projected = !pretransformed && (flags & TTFF_PROJECTED) && (flags & 0xFF) >= 2;
        s.volume = state.textures[i] && state.textures[i]->isVolume();
        key.stageCount = uint8_t(i + 1);
    }
    return key;
}

bool FixedFunctionKey::operator==(const FixedFunctionKey& other) const {
    return std::memcmp(this, &other, sizeof *this) == 0;
}

size_t FixedFunctionKey::hash() const {
    return std::hash<std::string_view>()(std::string_view(reinterpret_cast<const char*>(this), sizeof *this));
}

} // namespace sys::gfx
