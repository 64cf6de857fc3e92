#include "engine/scene/mesh/VertexLayout.h"

#include <algorithm>

#include "engine/render/Renderer.h"
#include "engine/scene/materials/TextureStages.h"
#include "sys/gfx/Device.h"

using namespace sys::gfx;

VertexLayout::VertexLayout(Renderer* renderer, TextureStages* stages, uint32_t boneInfluences, bool tangents)
    : m_renderer(renderer), m_cpuProcessing(!renderer->m_hardwareTransformAndLighting), m_stages(stages) {
    std::vector<VertexElement> elements;
    uint16_t offset = 0;
    auto add = [&](uint8_t type, uint8_t usage, uint8_t index) {
        elements.push_back({0, offset, type, 0, usage, index});
        offset = uint16_t(offset + VertexDeclaration::elementBytes(type));
    };
    add(DECLTYPE_FLOAT3, DECLUSAGE_POSITION, 0);
    add(DECLTYPE_FLOAT3, DECLUSAGE_NORMAL, 0);
    if (stages->vertexColourLayer) {
        m_colourOffset = offset;
        add(DECLTYPE_D3DCOLOR, DECLUSAGE_COLOR, 0);
    }
    m_stageCount = uint32_t(std::clamp(stages->count, 0, TextureStages::MAX_STAGES));
    for (uint32_t k = 0; k < m_stageCount; ++k) {
        TextureLayer* layer = stages->layers[k];
        // Animated centre, size or rotation: the coordinates go through a 3-wide texture matrix.
        m_stageWidths[k] = layer && layer->hasAnimatedTransform() ? 3 : 2;
        m_stageOffsets[k] = m_lastStageOffset = offset;
        add(m_stageWidths[k] == 3 ? DECLTYPE_FLOAT3 : DECLTYPE_FLOAT2, DECLUSAGE_TEXCOORD, uint8_t(k));
    }
    if (tangents) {
        m_tangentOffset = offset;
        for (uint32_t i = 0; i < 4; ++i) add(DECLTYPE_FLOAT3, DECLUSAGE_TEXCOORD, uint8_t(m_stageCount + i));
    }
    if (boneInfluences > 0) {
        m_influenceCount = std::min(boneInfluences, 4u);
        m_boneOffset = offset;
        add(DECLTYPE_UBYTE4, DECLUSAGE_BLENDINDICES, 0);
        add(uint8_t(DECLTYPE_FLOAT1 + m_influenceCount - 1), DECLUSAGE_BLENDWEIGHT, 0);
    }
    elements.push_back(DECL_END);
    m_stride = offset;
    for (Device* device : renderer->m_devices) {
        Ref<VertexDeclaration> declaration;
        if (device) device->createVertexDeclaration(elements.data(), declaration.out());
        m_declarations.push_back(std::move(declaration));
    }
}

VertexLayout::~VertexLayout() = default;
