#pragma once
#include <string>

class File;
class LW6Scene;
class LWObjectFile;
class Mesh;

// The object files a scene names: read once per resource pool, then taken
// from its cache; a layer is picked by its 0-based number.
class SceneObjectFiles {
public:
    // The mesh of that layer, or null with a report.
    static Mesh* getObjectLayer(LW6Scene& scene, File& fileSystem, const std::string& name, int layerIndex);
    // The cached object file, else loaded and cached; null when it cannot be read.
    static LWObjectFile* getObject(LW6Scene& scene, File& fileSystem, const std::string& name);
    // Reads an LWO2 file through a clone of the file system; null with a report.
    static LWObjectFile* loadObjectFile(const std::string& name, File& fileSystem, LW6Scene& scene);
};
