#include "engine/scene/loaders/SceneObjectFiles.h"

#include <cstring>
#include <memory>

#include "engine/platform/Report.h"
#include "engine/platform/archive/File.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/loaders/LWO2Loader.h"
#include "engine/scene/mesh/LWObjectFile.h"

LWObjectFile* SceneObjectFiles::loadObjectFile(const std::string& name, File& fileSystem, LW6Scene& scene) {
    std::unique_ptr<File> stream(fileSystem.clone());
    LWObjectFile* object = nullptr;
    char formType[4] = {0, 0, 0, 0};
    // A file that does not open has no form type to check: it fails the check.
    bool opened = stream && stream->open(name.c_str());
    if (opened && stream->seek(8) && stream->readFully(formType, 4) == 4 && std::memcmp(formType, "LWO2", 4) == 0)
        object = loadLWO2(&scene, scene.m_metaScene, &fileSystem, stream.get(), name.c_str());
    else
        reportError(formatStatic("%s is not an LWO2 file!\n", name.c_str()));
    if (opened) stream->close();
    return object;
}

LWObjectFile* SceneObjectFiles::getObject(LW6Scene& scene, File& fileSystem, const std::string& name) {
    MetaScene* pool = scene.m_metaScene;
    if (LWObjectFile* known = pool->findObjectFile(name)) return known;
    LWObjectFile* loaded = loadObjectFile(name, fileSystem, scene);
    if (loaded) pool->addObjectFile(loaded);
    return loaded;
}

Mesh* SceneObjectFiles::getObjectLayer(LW6Scene& scene, File& fileSystem, const std::string& name, int layerIndex) {
    LWObjectFile* object = getObject(scene, fileSystem, name);
    Mesh* mesh = object && layerIndex >= 0 ? object->getMesh(layerIndex) : nullptr;
    if (!mesh) reportError(formatStatic("%d is not a valid layer number for %s!\n", layerIndex, name.c_str()));
    return mesh;
}
