#include "sys/gfx/VertexDeclaration.h"

#include <cstddef>

namespace sys::gfx {

namespace {
constexpr size_t MAX_ELEMENTS = 64;
}

VertexDeclaration::VertexDeclaration(Device* device, const VertexElement* elements) : Resource(device) {
    for (size_t i = 0; i < MAX_ELEMENTS && elements[i].stream != 0xFF; ++i) m_elements.push_back(elements[i]);
}

uint32_t VertexDeclaration::elementBytes(uint8_t type) {
    switch (type) {
    case DECLTYPE_FLOAT1: return 4;
    case DECLTYPE_FLOAT2: return 8;
    case DECLTYPE_FLOAT3: return 12;
    case DECLTYPE_FLOAT4: return 16;
    case DECLTYPE_SHORT4: return 8;
    default: return 4;
    }
}

std::vector<VertexElement> VertexDeclaration::fromFvf(uint32_t fvf) {
    std::vector<VertexElement> out;
    uint16_t offset = 0;
    auto add = [&](uint8_t type, uint8_t usage, uint8_t index) {
        out.push_back({0, offset, type, 0, usage, index});
        offset = uint16_t(offset + elementBytes(type));
    };
    uint32_t position = fvf & FVF_POSITION_MASK;
    if (position == FVF_XYZRHW) add(DECLTYPE_FLOAT4, DECLUSAGE_POSITIONT, 0);
    else if (position) add(DECLTYPE_FLOAT3, DECLUSAGE_POSITION, 0);
    if (position >= FVF_XYZB1) {
        // Blend weights; with LASTBETA_UBYTE4 the last one holds indices.
        uint32_t betas = (position - FVF_XYZ) / 2;
        bool indices = (fvf & FVF_LASTBETA_UBYTE4) != 0;
        uint32_t weights = indices ? betas - 1 : betas;
        if (weights) add(uint8_t(DECLTYPE_FLOAT1 + weights - 1), DECLUSAGE_BLENDWEIGHT, 0);
        if (indices) add(DECLTYPE_UBYTE4, DECLUSAGE_BLENDINDICES, 0);
    }
    if (fvf & FVF_NORMAL) add(DECLTYPE_FLOAT3, DECLUSAGE_NORMAL, 0);
    if (fvf & FVF_PSIZE) add(DECLTYPE_FLOAT1, DECLUSAGE_PSIZE, 0);
    if (fvf & FVF_DIFFUSE) add(DECLTYPE_D3DCOLOR, DECLUSAGE_COLOR, 0);
    if (fvf & FVF_SPECULAR) add(DECLTYPE_D3DCOLOR, DECLUSAGE_COLOR, 1);
    uint32_t sets = (fvf & FVF_TEXCOUNT_MASK) >> FVF_TEXCOUNT_SHIFT;
    for (uint32_t i = 0; i < sets && i < 8; ++i) {
        static const uint8_t types[4] = {DECLTYPE_FLOAT2, DECLTYPE_FLOAT3, DECLTYPE_FLOAT4, DECLTYPE_FLOAT1};
        add(types[(fvf >> (16 + i * 2)) & 3], DECLUSAGE_TEXCOORD, uint8_t(i));
    }
    return out;
}

uint32_t VertexDeclaration::fvfStride(uint32_t fvf) {
    uint32_t stride = 0;
    for (const VertexElement& e : fromFvf(fvf)) stride = e.offset + elementBytes(e.type);
    return stride;
}

} // namespace sys::gfx
