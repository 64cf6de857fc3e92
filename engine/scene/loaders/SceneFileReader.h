#pragma once
#include <string>
#include <vector>

class File;
class LoadingFrame;
class LW6Scene;
struct SceneFileState;
class SoundDevice;

// Reads a LightWave scene file ("LWSC" 3) into a scene: creates its items,
// fills them from the keywords, links them by their item ids and gives bodies
// to the objects that carry mass. Reading into a scene that already holds
// objects is a merge load: the file's objects are appended, nothing else.
class SceneFileReader {
public:
    // Objects' "// sound" lines are played on `sounds`; without one they are
    // reported as not loaded.
    SceneFileReader(LW6Scene& scene, File& fileSystem, SoundDevice* sounds = nullptr);

    // False when the file cannot be opened or read, has a wrong header or no
    // camera. `frame` (may be null) shows progress from base over range.
    bool load(const char* name, LoadingFrame* frame, float progressBase, float progressRange);
    // The object files the scene file loads, each once, in its order; none,
    // reporting nothing, when it cannot be read.
    static std::vector<std::string> objectFiles(File& fileSystem, const char* name);

private:
    // Parents, targets, goals and joint bodies from their raw ids.
    void resolveLinks(SceneFileState& state);
    // Bodies for this file's objects that carry mass.
    void createBodies(SceneFileState& state);

    LW6Scene& m_scene;
    File& m_fileSystem;
    SoundDevice* m_sounds;
};
