#include "engine/scene/ItemBoundingBox.h"

#include "engine/render/RenderView.h"
#include "engine/scene/SceneItem.h"

void ItemBoundingBox::init(bool first) { set({-1.0f, -1.0f, -1.0f}, {1.0f, 1.0f, 1.0f}); }

void ItemBoundingBox::draw(double time, SceneObject* object, SceneItem* viewer) {
    if (viewer) drawTargetLine(time, *viewer);
}

void ItemBoundingBox::drawTargetLine(double time, SceneItem& item) {
    if (!item.m_target || !item.m_renderer) return;
    Matrix4x3 world;
    Position3 from = item.m_pivot;
    transformPoint4x3(from, item.getMatrix(world, time, 0));
    Position3 to = item.m_target->m_pivot;
    transformPoint4x3(to, item.m_target->getMatrix(world, time, 0));
    item.m_renderer->drawDebugLines(Matrix4x3::identity(), {{from, 0xFFFFFFFFu}, {to, 0xFFFFFFFFu}});
}
