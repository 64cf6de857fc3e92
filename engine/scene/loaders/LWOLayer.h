#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/platform/Math3D.h"
#include "engine/scene/mesh/MeshPolygon.h"

class ColorMap;
class MorphMap;
class UVMap;
class WeightMap;

// One LAYR of an object file while it loads: its points, its FACE polygons and
// the vertex maps read for it. The layer holds one reference of each map until
// the loader hands the points, polygons and weight maps to the layer's mesh.
class LWOLayer {
public:
    explicit LWOLayer(uint32_t number) : m_number(number) {}
    ~LWOLayer();
    LWOLayer(const LWOLayer&) = delete;
    LWOLayer& operator=(const LWOLayer&) = delete;

    UVMap* findUVMap(const std::string& name) const;
    ColorMap* findColorMap(const std::string& name) const;
    uint32_t getPointCount() const { return static_cast<uint32_t>(m_points.size()); }
    uint32_t getPolygonCount() const { return static_cast<uint32_t>(m_polygons.size()); }
    // New points: the maps read so far get entries for exactly this many points.
    void replacePoints(std::vector<Position3> points);
    // Gives up the layer's references of all its maps.
    void releaseMaps();

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
    std::vector<UVMap*> m_uvMaps;
    std::vector<ColorMap*> m_colorMaps;
    std::vector<MorphMap*> m_morphMaps;
    std::vector<WeightMap*> m_weightMaps;
};
