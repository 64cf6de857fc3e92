#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Mesh;
class MetaScene;
class Surface;

// One loaded object file: a mesh per layer number (null where the file has no
// such layer) and its surface table, which the pool owns. The scene's object
// cache that keeps these comes with the scene.
class LWObjectFile {
public:
    LWObjectFile(const std::string& name, MetaScene* pool, size_t layerSlots, std::vector<Surface*> surfaces);
    ~LWObjectFile();
    LWObjectFile(const LWObjectFile&) = delete;
    LWObjectFile& operator=(const LWObjectFile&) = delete;

    // The mesh of that layer number, or null.
    Mesh* getMesh(int32_t layerNumber) const;
    int32_t getSurfaceCount() const { return static_cast<int32_t>(m_surfaces.size()); }

    MetaScene* m_metaScene;
    std::string m_name;
    std::vector<std::unique_ptr<Mesh>> m_meshes;
    std::vector<Surface*> m_surfaces;
};
