#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class Bone;
class Camera;
class DeviceList;
class File;
class LW6Scene;
class Light;
class Mesh;
class Renderer;
class SceneFileTokens;
class SceneItem;
class SceneObject;
class SoundDevice;

// What the block readers of one scene-file load share: the scene, the
// tokens, the current item of each kind and the raw ids that are linked
// once the whole file is read.
struct SceneFileState {
    enum Kind { OBJECT = 0, LIGHT = 1, CAMERA = 2, BONE = 3 };

    // Raw LightWave ids of one item; 0 is none.
    struct Links {
        uint32_t parent = 0;
        uint32_t target = 0;
        uint32_t goal = 0;
        uint32_t parentBone = 0;
        uint32_t body1 = 0;
        uint32_t body2 = 0;
    };

    SceneFileState(LW6Scene& scene, File& fileSystem, SceneFileTokens& tokens, SoundDevice* sounds);

    // The current item of each kind; null while its index is before or beyond its list.
    SceneObject* currentObject() const;
    Light* currentLight() const;
    Camera* currentCamera() const;
    Bone* currentBone() const;
    // The current item of the current kind.
    SceneItem* currentItem() const;
    Links& linksOf(SceneItem* item) { return links[item]; }
    // The item a LightWave item id names, objects counted from `offset`; null
    // for 0, unknown classes and indices beyond their lists.
    SceneItem* itemById(uint32_t id) const;
    Renderer* renderer() const;
    // "X:name" as "X" ':' separator "name"; a name that has its separator already is kept.
    static std::string withDriveSeparator(std::string name, char separator);
    // A name written with doubled backslashes, as plug-in lines carry them, with single ones.
    static std::string singleBackslashes(const std::string& name);
    DeviceList* devices() const;

    LW6Scene& scene;
    File& fileSystem;
    SceneFileTokens& tokens;
    SoundDevice* sounds;
    // Objects the scene held before this load.
    int32_t offset = 0;
    int32_t kind = OBJECT;
    int32_t objectIndex = -1;
    int32_t lightIndex = -1;
    int32_t cameraIndex = -1;
    int32_t boneIndex = -1;
    // The first mesh of the object whose "BoneFalloffType" came last.
    Mesh* boneMesh = nullptr;
    // Token after the motion mixer's name; 0 when the file has none.
    int32_t mixerPosition = 0;
    std::map<SceneItem*, Links> links;
    // "AutoDisable" of each object of this file, by index from the offset.
    std::vector<int32_t> autoDisable;
};
