#pragma once
#include <string>

struct SceneFileState;
class LoadingFrame;

// The keywords of a scene file's second pass: scene-wide settings, objects,
// bones, lights and cameras, each acting on the item made current last.
class SceneKeywordReader {
public:
    SceneKeywordReader(SceneFileState& state, LoadingFrame* frame, float progressBase, float progressRange);

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
};
