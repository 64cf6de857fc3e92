#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/animation/Envelope.h"
#include "engine/scene/loaders/LWOLayer.h"

class DeviceList;
class File;
class LWO2Reader;
class LW6Scene;
class MetaScene;
class Renderer;
class Surface;
class Texture;
struct AnimatedValue;

// What the chunk handlers of one object load share: the file, the pool, the
// layers read so far, the surface table, and the envelopes and clips by index.
struct LWO2State {
    static constexpr uint32_t MAXENVS = 32768;
    static constexpr uint32_t MAXTEXS = 32768;
    static constexpr uint32_t MAXSURFACES = 32768;

    LWO2State(LWO2Reader& reader, LW6Scene* scene, MetaScene* pool, File* fileSystem, const char* objectName);
    ~LWO2State();

    std::string surfaceKey(const std::string& name) const { return m_objectName + "@" + name; }
    // A copy of the envelope of that index for a value to own; null when the
    // index has none (indices past the table included).
    Channel* copyEnvelope(uint32_t index) const;
    bool hasEnvelope(uint32_t index) const { return index < MAXENVS && m_envelopes[index]; }
    // A float and a 16-bit envelope index into the value; true when an envelope was found.
    bool readValue(AnimatedValue& value);
    Texture* texture(uint32_t index) const { return index < MAXTEXS ? m_textures[index] : nullptr; }
    // The surface table's index of the surface of that name, found in the pool
    // or made there; -1 when the table is full.
    int32_t tableSurface(const std::string& name);

    LWO2Reader& m_reader;
    LW6Scene* m_scene;
    MetaScene* m_pool;
    File* m_fileSystem;
    std::string m_objectName;
    // Null in tests that load without a device.
    Renderer* m_renderer;
    DeviceList* m_devices;
    uint32_t m_textureAddressCaps;
    std::vector<std::unique_ptr<Envelope>> m_envelopes;
    // Entries belong to the pool.
    std::vector<Texture*> m_textures;
    std::vector<std::unique_ptr<LWOLayer>> m_layers;
    LWOLayer* m_currentLayer = nullptr;
    int32_t m_highestLayerNumber = -1;
    std::vector<Surface*> m_surfaces;
};
