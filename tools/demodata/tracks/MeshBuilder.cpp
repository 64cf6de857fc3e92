#include "tools/demodata/tracks/MeshBuilder.h"

uint16_t MeshBuilder::surface(const SurfaceLook& look) {
    for (size_t i = 0; i < m_surfaces.size(); ++i)
        if (m_surfaces[i].name == look.name) return static_cast<uint16_t>(i);
    m_surfaces.push_back(look);
    return static_cast<uint16_t>(m_surfaces.size() - 1);
}

int MeshBuilder::layer(const std::string& name, Vec3 pivot) {
    m_layers.push_back({name, pivot, {}, {}, {}, {}});
    return currentLayer();
}

bool MeshBuilder::layerEmpty(int layer) const { return m_layers[layer].polygons.empty(); }

void MeshBuilder::triangle(uint16_t, const Corner&, const Corner&, const Corner&) {}
void MeshBuilder::quad(uint16_t, const Corner&, const Corner&, const Corner&, const Corner&) {}
void MeshBuilder::box(uint16_t, Vec3, Vec3, float, float, Picture::Rgb) {}
void MeshBuilder::cylinder(uint16_t, Vec3, float, float, int, float) {}
void MeshBuilder::panel(uint16_t, Vec3, float, float, float, float) {}
void MeshBuilder::ribbon(uint16_t, const Centreline&, float, float, float, float, float, float, float) {}
void MeshBuilder::wallAlong(uint16_t, const Centreline&, float, float, float, float, float, float, float, float) {}
void MeshBuilder::prism(uint16_t, const std::vector<Vec3>&, float, float, float) {}
Lwo2Object MeshBuilder::object() const { return {}; }
std::string MeshBuilder::bytes() const { return {}; }
