#pragma once
#include <cstdint>

#include "engine/scene/loaders/LWO2State.h"

class File;
class LWObjectFile;
class LW6Scene;
class MetaScene;

// Reads one LWO2 object from `stream` (positioned after its 12-byte form
// header) into a new object file with a mesh per layer; its surfaces and
// textures go into `pool`, image files are opened through `fileSystem`.
// Null when a SURF names a surface the object did not declare. The stream
// stays open.
LWObjectFile* loadLWO2(LW6Scene* scene, MetaScene* pool, File* fileSystem, File* stream, const char* objectName);

// The chunk loop of one load and the geometry chunks; surfaces, envelopes and
// clips have readers of their own.
class LWO2Loader {
public:
    LWO2Loader(LW6Scene* scene, MetaScene* pool, File* fileSystem, LWO2Reader& reader, const char* objectName);

    LWObjectFile* load();

private:
    // False when the load must stop.
    bool readChunk(uint32_t id, uint32_t end);
    // The current layer, or null with the assertion that there is none.
    LWOLayer* requireLayer();
    void readLayer(uint32_t end);
    void readPoints(LWOLayer& layer, uint32_t end);
    void readPolygons(LWOLayer& layer, uint32_t end);
    void readPolygonTags(LWOLayer& layer, uint32_t end);
    void readTags(uint32_t end);
    void readVertexMap(LWOLayer& layer, uint32_t end);
    void readDiscontinuousMap(LWOLayer& layer, uint32_t end);
    // Reads one polygon; false when it does not fit before the end.
    bool readPolygon(uint32_t end, MeshPolygon* polygon);
    void markBlendedLayers();
    LWObjectFile* buildObjectFile();

    LWO2State m_state;
};
