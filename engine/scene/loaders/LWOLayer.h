#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/platform/Math3D.h"
#include "engine/platform/Ref.h"
#include "engine/scene/mesh/MeshPolygon.h"

class ColorMap;
class MorphMap;
class UVMap;
class WeightMap;

// One LAYR of an object file while it loads: its points, its FACE polygons and
// the vertex maps read for it, until the loader hands the points, polygons and
// weight maps to the layer's mesh.
class LWOLayer {
public:
    explicit LWOLayer(uint32_t number);
    ~LWOLayer();
    LWOLayer(const LWOLayer&) = delete;
    LWOLayer& operator=(const LWOLayer&) = delete;

    UVMap* findUVMap(const std::string& name) const;
    ColorMap* findColorMap(const std::string& name) const;
    uint32_t getPointCount() const { return static_cast<uint32_t>(m_points.size()); }
    uint32_t getPolygonCount() const { return static_cast<uint32_t>(m_polygons.size()); }
    // New points: the maps read so far get entries for exactly this many points.
    void replacePoints(std::vector<Position3> points);

    uint32_t m_number;
    std::string m_name;
    int32_t m_twoPointCount = 0;
    int32_t m_onePointCount = 0;
    int32_t m_metaballCount = 0;
    int32_t m_patchCount = 0;
    int32_t m_particleCount = 0;
    bool m_hasBlendedSurfaces = false;
    std::vector<MeshPolygon> m_polygons;
    std::vector<Position3> m_points;
    Position3 m_pivot = {0.0f, 0.0f, 0.0f};
    std::vector<Ref<UVMap>> m_uvMaps;
    std::vector<Ref<ColorMap>> m_colorMaps;
    std::vector<Ref<MorphMap>> m_morphMaps;
    std::vector<Ref<WeightMap>> m_weightMaps;
};
