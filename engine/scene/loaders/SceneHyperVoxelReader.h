#pragma once

class HyperVoxel;
struct AnimatedValue;
struct SceneFileState;
class TextureLayer;

// The volumetric "HyperVoxelData" block: which object carries a hypervoxel of
// which kind, its values and the texture layers of the voxel surface.
class SceneHyperVoxelReader {
public:
    explicit SceneHyperVoxelReader(SceneFileState& state) : m_state(state) {}

    // After the handler class.
    void read();

private:
    void readObject();
    void readChannels();
    void readTextures();
    void readTextureBlock();
    void readTextureMap(TextureLayer* layer);
    void readWrapOptions(TextureLayer* layer);
    // One float and a marker; marker "1" brings a channel value that replaces it.
    void readValue(AnimatedValue* value);
    // Three floats and a marker; marker "3" brings three channel values.
    void readValues3(AnimatedValue* values);

    SceneFileState& m_state;
    HyperVoxel* m_hyperVoxel = nullptr;
};
