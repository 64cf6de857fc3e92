#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/Ref.h"

struct AnimatedValue;
struct LWO2State;
class Surface;
class TextureLayer;
class VertexMap;

// A SURF chunk into the surface the object's TAGS declared: its values, its
// back surface and its texture layers from BLOK and VCOL sub-chunks.
class LWO2SurfaceReader {
public:
    explicit LWO2SurfaceReader(LWO2State& state) : m_state(state) {}

    // False when the object did not declare the surface: the load fails.
    bool read(uint32_t end);

    // LightWave's wrap mode (0 reset, 1 repeat, 2 mirror, 3 edge) as the
    // device's address mode, given its texture-address capability bits.
    static int32_t addressMode(uint32_t wrap, uint32_t caps);

private:
    void readSubChunk(Surface& surface, uint32_t id, uint32_t end);
    void readVertexColours(Surface& surface, uint32_t end);
    void readBlock(Surface& surface, uint32_t end);
    void readBlockEntry(TextureLayer& layer, uint32_t id, uint32_t end);
    void readBlockHeader(TextureLayer& layer, uint32_t kind, uint32_t end);
    void readTextureMap(TextureLayer& layer, uint32_t end);
    void readTextureVector(AnimatedValue* values);
    void readWrap(TextureLayer& layer);
    void finishBlock(Surface& surface, TextureLayer& layer);
    // The maps of that name of every layer read so far, by layer number, each
    // with one more reference.
    void collectMaps(std::vector<Ref<VertexMap>>& maps, const std::string& name, bool uvMaps);

    LWO2State& m_state;
};
