#pragma once
#include <string>

struct SceneFileState;
class Texture;

// Clip blocks of a scene file: the still image they name, shared through the
// resource pool so each picture loads once.
class SceneClipReader {
public:
    explicit SceneClipReader(SceneFileState& state) : m_state(state) {}

    // After the keyword that introduces the clip: the texture of the last
    // "Still", or null. Ends after the clip's own "}".
    Texture* readClip();
    // The pool's picture of that name, made when it is new.
    Texture* stillTexture(std::string name);

private:
    SceneFileState& m_state;
};
