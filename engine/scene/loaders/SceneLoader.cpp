#include "engine/scene/loaders/SceneLoader.h"

#include <memory>

#include "engine/render/Renderer.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/loaders/SceneFileReader.h"
#include "engine/scene/loaders/SceneObjectFiles.h"
#include "engine/scene/mesh/LWObjectFile.h"
#include "engine/scene/mesh/Mesh.h"

LW6Scene* SceneLoader::loadScene(MetaScene& pool, const std::string& fileName, File& fileSystem, LoadingFrame* frame) {
    auto scene = std::make_unique<LW6Scene>(&pool);
    // A failed read has been reported; the scene keeps what was made before it.
    loadLWS(*scene, fileSystem, fileName.c_str(), frame, 0.0f, 0.7f);
    LW6Scene* loaded = scene.release();
    pool.registerScene(loaded);
    pool.start(frame);
    return loaded;
}

bool SceneLoader::loadLWS(LW6Scene& scene, File& fileSystem, const char* name, LoadingFrame* frame,
                          float progressBase, float progressRange) {
    Renderer* renderer = scene.m_metaScene ? scene.m_metaScene->m_owner : nullptr;
    SceneFileReader reader(scene, fileSystem, renderer ? renderer->m_soundDevice : nullptr);
    return reader.load(name, frame, progressBase, progressRange);
}

std::vector<std::string> SceneLoader::objectFiles(File& fileSystem, const char* name) {
    return SceneFileReader::objectFiles(fileSystem, name);
}

SceneObject* SceneLoader::loadObject(LW6Scene& scene, File& fileSystem, const char* fileName, int32_t layer) {
    MetaScene* pool = scene.m_metaScene;
    if (!pool || !fileName) return nullptr;
    Mesh* mesh = SceneObjectFiles::getObjectLayer(scene, fileSystem, fileName, layer);
    if (!mesh) return nullptr;
    if (LWObjectFile* file = pool->findObjectFile(fileName)) pool->buildTextures(*file, true);
    mesh->init(true);
    SceneObject* object = scene.createObject(fileName);
    object->addLevelOfDetail(mesh, 0.0f);
    return object;
}
