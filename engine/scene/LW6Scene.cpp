#include "engine/scene/LW6Scene.h"

#include "engine/scene/PhysicsLibrary.h"

LW6Scene::LW6Scene(RenderView* owner) : ObjectContainer(owner) {
    PhysicsLibrary::ensureStarted();
    for (int a = 0; a < POLICY_TABLE_SIZE; ++a) {
        for (int b = 0; b < POLICY_TABLE_SIZE; ++b) {
            m_surfaceTable[a][b] = &m_defaultSurface;
            m_spacePairTable[a][b] = a == b ? &m_spacePairSame : &m_spacePairDifferent;
        }
    }
}

LW6Scene::~LW6Scene() {
    if (!m_spaces.empty() && m_spaces[0].space) dSpaceDestroy(m_spaces[0].space);
}

dSpaceID LW6Scene::getSpace(int32_t index) const {
    if (index < 0 || index >= static_cast<int32_t>(m_spaces.size())) return nullptr;
    return m_spaces[index].space;
}
