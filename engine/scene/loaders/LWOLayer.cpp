#include "engine/scene/loaders/LWOLayer.h"

#include "engine/scene/mesh/ColorMap.h"
#include "engine/scene/mesh/MorphMap.h"
#include "engine/scene/mesh/UVMap.h"
#include "engine/scene/mesh/WeightMap.h"

namespace {

template <typename Map>
Map* findByName(const std::vector<Ref<Map>>& maps, const std::string& name) {
    for (Map* map : maps)
        if (map->m_name == name) return map;
    return nullptr;
}

} // namespace

LWOLayer::LWOLayer(uint32_t number) : m_number(number) {}

LWOLayer::~LWOLayer() = default;

UVMap* LWOLayer::findUVMap(const std::string& name) const { return findByName(m_uvMaps, name); }

ColorMap* LWOLayer::findColorMap(const std::string& name) const { return findByName(m_colorMaps, name); }

void LWOLayer::replacePoints(std::vector<Position3> points) {
    m_points = std::move(points);
    size_t count = m_points.size();
    for (UVMap* map : m_uvMaps) map->m_values.resize(count * 3, 0.0f);
    for (ColorMap* map : m_colorMaps) map->m_values.resize(count * 4, 0.0f);
    for (MorphMap* map : m_morphMaps) map->m_offsets.resize(count * 3, 0.0f);
    for (WeightMap* map : m_weightMaps) map->m_weights.resize(count, 0.0f);
}
