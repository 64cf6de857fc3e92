#pragma once
#include <memory>
#include <string>

class Bone;
class Camera;
class Light;
class LoadingFrame;
struct SceneFileState;
class SceneObject;

// The keywords of a scene file's second pass: scene-wide settings, objects,
// bones, lights and cameras, each acting on the item made current last.
class SceneKeywordReader {
public:
    SceneKeywordReader(SceneFileState& state, LoadingFrame* frame, float progressBase, float progressRange);
    ~SceneKeywordReader();

    // Acts on the token just read; false when it is no keyword.
    bool read(const std::string& keyword);

private:
    bool readSceneKeyword(const std::string& keyword);
    bool readObjectKeyword(const std::string& keyword);
    bool readItemKeyword(const std::string& keyword);
    bool readBoneKeyword(const std::string& keyword);
    bool readLightKeyword(const std::string& keyword);
    bool readCameraKeyword(const std::string& keyword);
    void nextObject();
    void loadObjectLayer();
    void addNullObject();
    void readSound();
    void addBone();

    SceneFileState& m_state;
    LoadingFrame* m_frame;
    float m_progressBase;
    float m_progressRange;
    // Keywords of an item kind that has no current item read into these.
    std::unique_ptr<SceneObject> m_scratchObject;
    std::unique_ptr<Light> m_scratchLight;
    std::unique_ptr<Camera> m_scratchCamera;
    std::unique_ptr<Bone> m_scratchBone;
};
