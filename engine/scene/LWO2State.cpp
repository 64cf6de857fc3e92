#include "engine/scene/LWO2State.h"

#include "engine/platform/AnimatedValue.h"
#include "engine/platform/DeviceList.h"
#include "engine/render/Renderer.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/LWO2Reader.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/Surface.h"

LWO2State::LWO2State(LWO2Reader& reader, LW6Scene* scene, MetaScene* pool, File* fileSystem, const char* objectName)
    : reader(reader), scene(scene), pool(pool), fileSystem(fileSystem), objectName(objectName ? objectName : ""),
      renderer(dynamic_cast<Renderer*>(scene->m_owner)), devices(dynamic_cast<DeviceList*>(scene->m_owner)),
      textureAddressCaps(devices ? devices->m_activeCaps.textureAddressCaps : 0), envelopes(MAXENVS),
      textures(MAXTEXS, nullptr) {}

LWO2State::~LWO2State() = default;

Channel* LWO2State::copyEnvelope(uint32_t index) const {
    return hasEnvelope(index) ? new Envelope(*envelopes[index]) : nullptr;
}

bool LWO2State::readValue(AnimatedValue& value) {
    value.constant = reader.readF4();
    uint16_t index = reader.readU2();
    value.clearChannel();
    value.channel = copyEnvelope(index);
    return value.channel != nullptr;
}

int32_t LWO2State::tableSurface(const std::string& name) {
    if (surfaces.size() >= MAXSURFACES) return -1;
    std::string key = surfaceKey(name);
    Surface* surface = pool->findSurface(key);
    if (!surface) {
        surface = new Surface(pool, key);
        pool->addSurface(surface);
    }
    surfaces.push_back(surface);
    return static_cast<int32_t>(surfaces.size() - 1);
}
