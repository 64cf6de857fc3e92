#pragma once
#include <vector>

#include "engine/scene/SceneItem.h"

class Mesh;

// The object item (kind 1). Only what the container and the physics nodes
// need so far: its levels of detail and its start-up slot; sound, hypervoxels,
// materials and drawing come with the object itself.
class SceneObject : public ViewingItem {
public:
    struct LevelOfDetail {
        Mesh* mesh;
        float switchDistance;
        bool enabled;
    };

    SceneObject(ObjectContainer* container, int32_t index) : ViewingItem(container, KIND_OBJECT, index) {}

    // Starts the object once the scene is loaded.
    virtual void update() {}

    Mesh* getFirstMesh() const { return m_levels.empty() ? nullptr : m_levels.front().mesh; }

    // Sorted by ascending switch distance; the meshes belong to their object file.
    std::vector<LevelOfDetail> m_levels;
};
