#include "engine/render/PickHighlight.h"

#include "engine/render/Renderer.h"

void PickHighlight::invertSettings() {
    m_owner->m_wireframe = !m_owner->m_wireframe;
    m_owner->m_boundingBoxes = !m_owner->m_boundingBoxes;
}
