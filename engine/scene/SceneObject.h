#pragma once
#include <memory>
#include <string>
#include <vector>

#include "engine/scene/SceneItem.h"

class HyperVoxel;
class Mesh;
class SampleStream;
class Sound;
class Surface;

// The object item (kind 1): a null object or a mesh with levels of detail,
// with an optional body, positional sound, material and hypervoxel.
class SceneObject : public ViewingItem {
public:
    struct LevelOfDetail {
        Mesh* mesh;
        float switchDistance;
        bool enabled;
    };

    SceneObject(ObjectContainer* container, int32_t index);
    ~SceneObject() override;

    // Forwarded to the hypervoxel.
    void releaseDeviceObjects() override;
    void createDeviceObjects() override;
    // Also clears the first mesh's per-frame state.
    void invalidate() override;
    // Starts the object once the scene is loaded: body pose, mesh set-up,
    // surface tint and a looping sound turned down to silence.
    virtual void update();
    // Draws the level of detail for the camera's distance under the world matrix.
    virtual void draw(double time, SceneItem* camera);

    // Before the first entry of an equal or greater distance.
    void addLevelOfDetail(Mesh* mesh, float switchDistance);
    // The mesh for a camera at `distance`; a positive bias picks coarser
    // levels nearer. Null without entries.
    Mesh* chooseLevelOfDetail(float distance, int32_t bias) const;
    Mesh* getFirstMesh() const { return m_levels.empty() ? nullptr : m_levels.front().mesh; }
    // Places, starts or stops the looping sound by the listener's distance.
    void updateSound(SceneItem* listener, double time);
    // Debugging wire box of the first mesh's corners.
    void drawBoundingBox();
    // Takes over a sound and the stream it plays, whose name tells one-shot sounds apart.
    void setSound(std::unique_ptr<Sound> sound, std::unique_ptr<SampleStream> stream);
    Sound* getSound() const { return m_sound.get(); }
    // The file name of the stream the sound plays; empty without one.
    const std::string& getSoundName() const;
    // Takes over the hypervoxel, deleting the present one.
    void setHyperVoxel(std::unique_ptr<HyperVoxel> hyperVoxel);
    HyperVoxel* getHyperVoxel() const { return m_hyperVoxel.get(); }

    uint32_t m_shadowOptions = 7;
    // The rider a contact with this object's geom belongs to (a probe ray:
    // rider x 5 + ray); -1 for the track's own objects.
    int32_t m_ownerIndex = -1;
    // Seconds a collected pick-up stays hidden; the race counts it down.
    float m_hiddenTime = 0.0f;
    // Indices of the scene's lights that leave this object unlit.
    std::vector<int32_t> m_excludedLights;
    bool m_unseenByRays = false;
    bool m_bumpDisplacement = false;
    ColorRGBA m_color = {1.0f, 1.0f, 1.0f, 1.0f};
    // Copies the colour into the drawn mesh's surfaces every draw.
    bool m_applyColor = false;
    // Not owned; its colour takes the three parameters before each draw.
    Surface* m_material = nullptr;
    float m_materialParams[3] = {0.0f, 0.0f, 0.0f};
    // Clear: drawn with fog switched off.
    bool m_fogged = false;
    // Drawn solid even when the renderer draws wire-frames.
    bool m_unseenByCamera = false;
    // Sorted by ascending switch distance; the meshes belong to their object file.
    std::vector<LevelOfDetail> m_levels;

private:
    // Sounds the game plays itself at their moment; this object leaves them alone.
    bool hasOneShotSound() const;
    void tintSurfaces(Mesh& mesh, float red, float green, float blue);
    // Matrices from the channels, then the body placed there.
    void placeBody();
    void uploadBoneMatrices(Mesh& mesh, double time);

    std::unique_ptr<HyperVoxel> m_hyperVoxel;
    std::unique_ptr<SampleStream> m_soundStream;
    std::unique_ptr<Sound> m_sound;
};
