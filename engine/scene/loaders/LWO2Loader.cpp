#include "engine/scene/loaders/LWO2Loader.h"

#include <algorithm>

#include "engine/platform/Report.h"
#include "engine/scene/loaders/LWO2ClipReader.h"
#include "engine/scene/loaders/LWO2EnvelopeReader.h"
#include "engine/scene/loaders/LWO2Reader.h"
#include "engine/scene/loaders/LWO2SurfaceReader.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/mesh/ColorMap.h"
#include "engine/scene/mesh/LWObjectFile.h"
#include "engine/scene/mesh/Mesh.h"
#include "engine/scene/mesh/MorphMap.h"
#include "engine/scene/mesh/UVMap.h"
#include "engine/scene/mesh/WeightMap.h"

namespace {

constexpr uint32_t ID_LAYR = lwoId("LAYR");
constexpr uint32_t ID_PNTS = lwoId("PNTS");
constexpr uint32_t ID_POLS = lwoId("POLS");
constexpr uint32_t ID_PTAG = lwoId("PTAG");
constexpr uint32_t ID_TAGS = lwoId("TAGS");
constexpr uint32_t ID_VMAP = lwoId("VMAP");
constexpr uint32_t ID_VMAD = lwoId("VMAD");
constexpr uint32_t ID_ENVL = lwoId("ENVL");
constexpr uint32_t ID_CLIP = lwoId("CLIP");
constexpr uint32_t ID_SURF = lwoId("SURF");
constexpr uint32_t ID_FACE = lwoId("FACE");
constexpr uint32_t ID_PTCH = lwoId("PTCH");
constexpr uint32_t ID_MBAL = lwoId("MBAL");
constexpr uint32_t ID_PTCL = lwoId("PTCL");
constexpr uint32_t ID_TXUV = lwoId("TXUV");
constexpr uint32_t ID_MAX = lwoId("max ");
constexpr uint32_t ID_RGB = lwoId("RGB ");
constexpr uint32_t ID_RGBA = lwoId("RGBA");
constexpr uint32_t ID_WGHT = lwoId("WGHT");
constexpr uint32_t ID_MORF = lwoId("MORF");

// Map entries until the end: an index (or two for VMAD), then `count` floats.
// An entry cut by the end is dropped.
template <typename Use>
void readMapEntries(LWO2Reader& reader, uint32_t end, bool perPolygon, int count, Use use) {
    while (reader.position() < end) {
        uint32_t point = reader.readVX();
        uint32_t polygon = perPolygon ? reader.readVX() : 0;
        float values[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        for (int i = 0; i < count; ++i) values[i] = reader.readF4();
        if (reader.position() > end) return;
        use(point, polygon, values);
    }
}

} // namespace

LWObjectFile* loadLWO2(LW6Scene* scene, MetaScene* pool, File* fileSystem, File* stream, const char* objectName) {
    LWO2Reader reader(*stream);
    return LWO2Loader(scene, pool, fileSystem, reader, objectName).load();
}

LWO2Loader::LWO2Loader(LW6Scene* scene, MetaScene* pool, File* fileSystem, LWO2Reader& reader, const char* objectName)
    : m_state(reader, scene, pool, fileSystem, objectName) {}

LWObjectFile* LWO2Loader::load() {
    LWO2Reader& reader = m_state.m_reader;
    // A chunk header needs 8 bytes; fewer left over are the end of a cut file.
    while (reader.size() - reader.position() >= 8) {
        uint32_t id = reader.readID4();
        uint32_t size = reader.readU4();
        uint32_t end = reader.endOf(size, reader.size());
        if (!readChunk(id, end)) return nullptr;
        reader.seek(end);
    }
    markBlendedLayers();
    return buildObjectFile();
}

bool LWO2Loader::readChunk(uint32_t id, uint32_t end) {
    LWOLayer* layer = nullptr;
    switch (id) {
    case ID_LAYR: readLayer(end); break;
    case ID_TAGS: readTags(end); break;
    case ID_ENVL: LWO2EnvelopeReader(m_state).read(end); break;
    case ID_CLIP: LWO2ClipReader(m_state).read(end); break;
    case ID_SURF: return LWO2SurfaceReader(m_state).read(end);
    case ID_PNTS:
        if ((layer = requireLayer())) readPoints(*layer, end);
        break;
    case ID_POLS:
        if ((layer = requireLayer())) readPolygons(*layer, end);
        break;
    case ID_PTAG:
        if ((layer = requireLayer())) readPolygonTags(*layer, end);
        break;
    case ID_VMAP:
        if ((layer = requireLayer())) readVertexMap(*layer, end);
        break;
    case ID_VMAD:
        if ((layer = requireLayer())) readDiscontinuousMap(*layer, end);
        break;
    default: break;
    }
    return true;
}

LWOLayer* LWO2Loader::requireLayer() {
    LWOLayer* layer = m_state.m_currentLayer;
    ENGINE_ASSERT(layer && "loadLWO2: missing LAYR chunk!");
    return layer;
}

void LWO2Loader::readLayer(uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    auto layer = std::make_unique<LWOLayer>(reader.readU2());
    reader.readU2();
    layer->m_pivot.x = reader.readF4();
    layer->m_pivot.y = reader.readF4();
    layer->m_pivot.z = reader.readF4();
    reader.readS0(layer->m_name, end);
    m_state.m_highestLayerNumber = std::max(m_state.m_highestLayerNumber, static_cast<int32_t>(layer->m_number));
    m_state.m_currentLayer = layer.get();
    m_state.m_layers.push_back(std::move(layer));
}

void LWO2Loader::readPoints(LWOLayer& layer, uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    std::vector<Position3> points((end - reader.position()) / 12);
    for (Position3& p : points) {
        p.x = reader.readF4();
        p.y = reader.readF4();
        p.z = reader.readF4();
    }
    layer.replacePoints(std::move(points));
}

bool LWO2Loader::readPolygon(uint32_t end, MeshPolygon* polygon) {
    LWO2Reader& reader = m_state.m_reader;
    uint32_t count = reader.readU2();
    // Each corner takes two bytes at least: a damaged count reserves no more than the chunk holds.
    if (polygon && reader.position() < end) polygon->points.reserve(std::min(count, (end - reader.position()) / 2));
    for (uint32_t i = 0; i < count; ++i) {
        if (reader.position() >= end) return false;
        uint32_t point = reader.readVX();
        if (polygon) polygon->points.push_back(point);
    }
    return reader.position() <= end;
}

void LWO2Loader::readPolygons(LWOLayer& layer, uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    uint32_t type = reader.readID4();
    uint32_t start = reader.position();
    int32_t count = 0;
    while (reader.position() < end && readPolygon(end, nullptr)) ++count;
    switch (type) {
    case ID_PTCH: layer.m_patchCount = count; return;
    case ID_MBAL: layer.m_metaballCount = count; return;
    case ID_PTCL: layer.m_particleCount = count; return;
    case ID_FACE: break;
    default: return;
    }
    // Only the last FACE list of a layer is kept, which PTAG then indexes.
    layer.m_polygons.clear();
    layer.m_twoPointCount = 0;
    layer.m_onePointCount = 0;
    layer.m_polygons.resize(count);
    reader.seek(start);
    for (int32_t i = 0; i < count; ++i) {
        MeshPolygon& polygon = layer.m_polygons[i];
        readPolygon(end, &polygon);
        polygon.number = i;
        if (polygon.vertexCount() == 2) ++layer.m_twoPointCount;
        if (polygon.vertexCount() == 1) ++layer.m_onePointCount;
    }
}

void LWO2Loader::readPolygonTags(LWOLayer& layer, uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    if (reader.readID4() != ID_SURF) return;
    while (reader.position() < end) {
        uint32_t polygon = reader.readVX();
        uint32_t surface = reader.readU2();
        if (reader.position() > end) return;
        if (polygon < layer.getPolygonCount() && surface < m_state.m_surfaces.size())
            layer.m_polygons[polygon].surface = static_cast<int32_t>(surface);
    }
}

void LWO2Loader::readTags(uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    std::string tag;
    while (reader.position() < end) {
        reader.readS0(tag, end);
        if (m_state.tableSurface(tag) < 0) return;
    }
}

void LWO2Loader::readVertexMap(LWOLayer& layer, uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    uint32_t type = reader.readID4();
    reader.readU2();
    std::string name;
    reader.readS0(name, end);
    uint32_t pointCount = layer.getPointCount();
    auto inRange = [pointCount](uint32_t point) { return point < pointCount; };

    if (type == ID_TXUV || type == ID_MAX) {
        bool withW = type == ID_MAX;
        UVMap* uv = layer.m_uvMaps.emplace_back(Ref<UVMap>::make(name, pointCount));
        readMapEntries(reader, end, false, withW ? 3 : 2, [&](uint32_t point, uint32_t, const float* v) {
            if (!inRange(point)) return;
            std::copy(v, v + 2, &uv->m_values[point * 3]);
            uv->m_values[point * 3 + 2] = withW ? v[2] : 0.0f;
        });
        if (!withW) return;
        ColorMap* colours = layer.m_colorMaps.emplace_back(Ref<ColorMap>::make(name, pointCount, false));
        for (uint32_t p = 0; p < pointCount; ++p) {
            std::copy(&uv->m_values[p * 3], &uv->m_values[p * 3] + 3, &colours->m_values[p * 4]);
            colours->m_values[p * 4 + 3] = 1.0f;
        }
    } else if (type == ID_RGB || type == ID_RGBA) {
        bool alpha = type == ID_RGBA;
        ColorMap* colours = layer.m_colorMaps.emplace_back(Ref<ColorMap>::make(name, pointCount, alpha));
        readMapEntries(reader, end, false, alpha ? 4 : 3, [&](uint32_t point, uint32_t, const float* v) {
            if (inRange(point)) std::copy(v, v + 4, &colours->m_values[point * 4]);
        });
    } else if (type == ID_WGHT) {
        WeightMap* weights = layer.m_weightMaps.emplace_back(Ref<WeightMap>::make(name, pointCount));
        readMapEntries(reader, end, false, 1, [&](uint32_t point, uint32_t, const float* v) {
            ENGINE_ASSERT(inRange(point) && "- internal error -");
            if (inRange(point)) weights->m_weights[point] = v[0];
        });
    } else if (type == ID_MORF) {
        MorphMap* morph = layer.m_morphMaps.emplace_back(Ref<MorphMap>::make(name, pointCount));
        readMapEntries(reader, end, false, 3, [&](uint32_t point, uint32_t, const float* v) {
            ENGINE_ASSERT(inRange(point) && "- internal error -");
            if (inRange(point)) std::copy(v, v + 3, &morph->m_offsets[point * 3]);
        });
        morph->m_loaded = true;
    }
}

void LWO2Loader::readDiscontinuousMap(LWOLayer& layer, uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    uint32_t type = reader.readID4();
    reader.readU2();
    std::string name;
    reader.readS0(name, end);
    uint32_t pointCount = layer.getPointCount();
    uint32_t polygonCount = layer.getPolygonCount();
    auto keep = [&](uint32_t point, uint32_t polygon) { return point < pointCount && polygon < polygonCount; };

    if (type == ID_RGB || type == ID_RGBA) {
        ColorMap* colours = layer.findColorMap(name);
        if (!colours) return;
        bool alpha = type == ID_RGBA;
        std::vector<DiscontinuousEntry> entries(polygonCount);
        readMapEntries(reader, end, true, alpha ? 4 : 3, [&](uint32_t point, uint32_t polygon, const float* v) {
            if (!keep(point, polygon)) return;
            entries[polygon].points.push_back(point);
            entries[polygon].values.insert(entries[polygon].values.end(), v, v + 4);
        });
        colours->m_polygonEntries = std::move(entries);
    } else if (type == ID_TXUV || type == ID_MAX) {
        UVMap* uv = layer.findUVMap(name);
        if (!uv) return;
        bool withW = type == ID_MAX;
        std::vector<DiscontinuousEntry> entries(polygonCount);
        readMapEntries(reader, end, true, withW ? 3 : 2, [&](uint32_t point, uint32_t polygon, const float* v) {
            if (!keep(point, polygon)) return;
            entries[polygon].points.push_back(point);
            entries[polygon].values.insert(entries[polygon].values.end(), {v[0], v[1], withW ? v[2] : 0.0f});
        });
        uv->m_polygonEntries = std::move(entries);
        ColorMap* colours = withW ? layer.findColorMap(name) : nullptr;
        if (!colours) return;
        colours->m_polygonEntries.assign(polygonCount, DiscontinuousEntry());
        for (uint32_t i = 0; i < polygonCount; ++i) {
            const DiscontinuousEntry& from = uv->m_polygonEntries[i];
            DiscontinuousEntry& to = colours->m_polygonEntries[i];
            to.points = from.points;
            for (size_t k = 0; k + 2 < from.values.size(); k += 3)
                to.values.insert(to.values.end(), {from.values[k], from.values[k + 1], from.values[k + 2], 1.0f});
        }
    }
}

void LWO2Loader::markBlendedLayers() {
    const std::vector<Surface*>& surfaces = m_state.m_surfaces;
    for (const std::unique_ptr<LWOLayer>& layer : m_state.m_layers) {
        for (const MeshPolygon& polygon : layer->m_polygons) {
            size_t index = static_cast<size_t>(polygon.surface);
            if (index < surfaces.size() && surfaces[index]->m_blended) {
                layer->m_hasBlendedSurfaces = true;
                break;
            }
        }
    }
}

LWObjectFile* LWO2Loader::buildObjectFile() {
    size_t slots = static_cast<size_t>(m_state.m_highestLayerNumber + 1);
    auto* objectFile = new LWObjectFile(m_state.m_objectName, m_state.m_pool, slots, m_state.m_surfaces);
    for (const std::unique_ptr<LWOLayer>& layer : m_state.m_layers) {
        // A second LAYR of the same number would take the first one's slot.
        std::unique_ptr<Mesh>& slot = objectFile->m_meshes[layer->m_number];
        if (slot) continue;
        // Polygons naming points the layer does not have would be drawn from outside its points.
        uint32_t pointCount = layer->getPointCount();
        std::vector<MeshPolygon>& polygons = layer->m_polygons;
        polygons.erase(std::remove_if(polygons.begin(), polygons.end(),
                                      [pointCount](const MeshPolygon& polygon) {
                                          for (uint32_t point : polygon.points)
                                              if (point >= pointCount) return true;
                                          return false;
                                      }),
                       polygons.end());
        slot = std::make_unique<Mesh>(m_state.m_renderer, nullptr, m_state.m_surfaces, std::move(layer->m_points),
                                      std::move(polygons), std::move(layer->m_weightMaps));
        Mesh& mesh = *slot;
        mesh.m_layerNumber = static_cast<int32_t>(layer->m_number);
        mesh.m_pivot = layer->m_pivot;
        mesh.m_hasBlendedSurfaces = layer->m_hasBlendedSurfaces;
        mesh.m_name = m_state.m_objectName + ":" + std::to_string(layer->m_number + 1);
        if (!layer->m_name.empty()) mesh.m_name += " " + layer->m_name;
    }
    return objectFile;
}
