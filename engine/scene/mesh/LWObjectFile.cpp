#include "engine/scene/mesh/LWObjectFile.h"

#include "engine/scene/mesh/Mesh.h"

LWObjectFile::LWObjectFile(const std::string& name, MetaScene* pool, size_t layerSlots, std::vector<Surface*> surfaces)
    : m_metaScene(pool), m_name(name), m_meshes(layerSlots), m_surfaces(std::move(surfaces)) {}

LWObjectFile::~LWObjectFile() = default;

Mesh* LWObjectFile::getMesh(int32_t layerNumber) const {
    if (layerNumber < 0 || static_cast<size_t>(layerNumber) >= m_meshes.size()) return nullptr;
    return m_meshes[layerNumber].get();
}
