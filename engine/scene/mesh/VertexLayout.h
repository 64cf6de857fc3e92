#pragma once
#include <cstdint>
#include <vector>

#include "engine/platform/Ref.h"

namespace sys::gfx {
class VertexDeclaration;
}
class Renderer;
struct TextureStages;

// The packed vertex layout of one surface buffer, derived from its texture
// stages, with one vertex declaration per device.
class VertexLayout {
public:
    static constexpr uint32_t NO_ELEMENT = 0xFFFFFFFF;

    VertexLayout(Renderer* renderer, TextureStages* stages, uint32_t boneInfluences, bool tangents);
    ~VertexLayout();
    VertexLayout(const VertexLayout&) = delete;
    VertexLayout& operator=(const VertexLayout&) = delete;

    Renderer* m_renderer;
    uint32_t m_stride = 0;
    // The renderer does not process vertices in hardware.
    bool m_cpuProcessing = false;
    std::vector<Ref<sys::gfx::VertexDeclaration>> m_declarations;
    TextureStages* m_stages;
    uint32_t m_lastStageOffset = NO_ELEMENT;
    uint32_t m_tangentOffset = NO_ELEMENT;
    uint32_t m_colourOffset = NO_ELEMENT;
    uint32_t m_stageCount = 0;
    uint32_t m_stageOffsets[8] = {};
    // Two or three coordinates per stage.
    uint32_t m_stageWidths[8] = {};
    uint32_t m_boneOffset = NO_ELEMENT;
    uint32_t m_influenceCount = 0;
};
