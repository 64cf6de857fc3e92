#include "engine/scene/BoneBoundingBox.h"

#include "engine/render/RenderView.h"
#include "engine/scene/Bone.h"

namespace {

// (0, 0.8, 0, 1) as ARGB.
constexpr uint32_t GUIDE_COLOUR = 0xFF00CC00;

} // namespace

BoneBoundingBox::BoneBoundingBox(RenderView* renderer, Bone* bone) : BoundingBox(renderer, bone), m_bone(bone) {}

void BoneBoundingBox::init(bool first) {
    if (!m_valid) set({-1.0f, -1.0f, -1.0f}, {1.0f, 1.0f, 1.0f});
}

void BoneBoundingBox::draw(double time, SceneObject* object, SceneItem* viewer) {
    if (!m_renderer) return;
    float length = m_bone->m_restLength, s = 0.1f * length;
    const Position3 origin = {0.0f, 0.0f, 0.0f}, tip = {0.0f, 0.0f, length};
    const Position3 square[4] = {{s, 0.0f, s}, {0.0f, s, s}, {-s, 0.0f, s}, {0.0f, -s, s}};
    std::vector<DebugLineVertex> lines;
    auto line = [&](const Position3& a, const Position3& b) {
        lines.push_back({a, GUIDE_COLOUR});
        lines.push_back({b, GUIDE_COLOUR});
    };
    for (const Position3& corner : square) line(origin, corner);
    for (int i = 0; i < 4; ++i) line(square[i], square[(i + 1) % 4]);
    for (const Position3& corner : square) line(tip, corner);
    Matrix4x3 world;
    m_renderer->drawDebugLines(m_bone->getMatrix(world, time, 0), lines);
}
