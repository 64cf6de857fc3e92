#pragma once
#include <cstdint>
#include <string>
#include <vector>

class File;
class LW6Scene;
class LoadingFrame;
class MetaScene;
class SceneObject;

// The loaders' entry: scene and object files read into a pool's scenes. The
// scene and its pool know nothing of the file formats; loading goes through here.
class SceneLoader {
public:
    // A new scene of the pool read from the file (even when the read failed,
    // which the reader has reported), registered and started with the others;
    // a loading frame given is shown (and pumped) as it goes.
    static LW6Scene* loadScene(MetaScene& pool, const std::string& fileName, File& fileSystem,
                               LoadingFrame* frame = nullptr);
    // Reads a scene file into the scene; into a scene that already holds
    // objects only the file's objects are appended (a merge load).
    static bool loadLWS(LW6Scene& scene, File& fileSystem, const char* name, LoadingFrame* frame, float progressBase,
                        float progressRange);
    // The object files a scene file loads, each once, in its order; none when it cannot be read.
    static std::vector<std::string> objectFiles(File& fileSystem, const char* name);
    // An object showing that layer of the object file (read once per pool);
    // null, adding nothing, when the layer cannot be had.
    static SceneObject* loadObject(LW6Scene& scene, File& fileSystem, const char* fileName, int32_t layer);
};
