#pragma once
#include <vector>

#include "sys/gfx/GfxTypes.h"
#include "sys/gfx/Resource.h"

namespace sys::gfx {

// The layout of one vertex, from a declaration or from a flexible format.
class VertexDeclaration : public Resource {
public:
    VertexDeclaration(Device* device, const VertexElement* elements);
    // The elements a flexible vertex format stands for.
    static std::vector<VertexElement> fromFvf(uint32_t fvf);
    static uint32_t fvfStride(uint32_t fvf);
    static uint32_t elementBytes(uint8_t type);

    const std::vector<VertexElement>& elements() const { return m_elements; }

private:
    std::vector<VertexElement> m_elements;
};

} // namespace sys::gfx
