#include "engine/scene/editing/PickHighlight.h"

#include "engine/render/Renderer.h"

void PickHighlight::draw(double time, SceneItem* camera) {
    invertSettings();
    SceneObject::draw(time, camera);
    invertSettings();
}

void PickHighlight::invertSettings() {
    m_owner->m_wireframe = !m_owner->m_wireframe;
    m_owner->m_boundingBoxes = !m_owner->m_boundingBoxes;
}
