#include "engine/scene/loaders/LWO2State.h"

#include "engine/platform/animation/AnimatedValue.h"
#include "engine/platform/display/DeviceList.h"
#include "engine/render/Renderer.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/loaders/LWO2Reader.h"
#include "engine/scene/materials/Surface.h"

LWO2State::LWO2State(LWO2Reader& reader, LW6Scene* scene, MetaScene* pool, File* fileSystem, const char* objectName)
    : m_reader(reader), m_scene(scene), m_pool(pool), m_fileSystem(fileSystem),
      m_objectName(objectName ? objectName : ""), m_renderer(dynamic_cast<Renderer*>(scene->m_owner)),
      m_devices(dynamic_cast<DeviceList*>(scene->m_owner)),
      m_textureAddressCaps(m_devices ? m_devices->m_activeCaps.textureAddressCaps : 0), m_envelopes(MAXENVS),
      m_textures(MAXTEXS, nullptr) {}

LWO2State::~LWO2State() = default;

Channel* LWO2State::copyEnvelope(uint32_t index) const {
    return hasEnvelope(index) ? new Envelope(*m_envelopes[index]) : nullptr;
}

bool LWO2State::readValue(AnimatedValue& value) {
    value.constant = m_reader.readF4();
    uint16_t index = m_reader.readU2();
    value.clearChannel();
    value.channel = copyEnvelope(index);
    return value.channel != nullptr;
}

int32_t LWO2State::tableSurface(const std::string& name) {
    if (m_surfaces.size() >= MAXSURFACES) return -1;
    std::string key = surfaceKey(name);
    Surface* surface = m_pool->findSurface(key);
    if (!surface) surface = m_pool->addSurface(std::make_unique<Surface>(m_pool, key));
    m_surfaces.push_back(surface);
    return static_cast<int32_t>(m_surfaces.size() - 1);
}
