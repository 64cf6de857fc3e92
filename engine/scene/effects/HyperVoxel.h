#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/platform/animation/AnimatedValue.h"
#include "engine/scene/effects/Particle.h"

class Camera;
class Renderer;
class TextureLayer;

// The look of an emitter's particles, hung in a scene object's hypervoxel
// slot; the kinds draw the particle pool as sprites or volume slices.
class HyperVoxel {
public:
    // Every kind scans exactly this many particle records.
    static constexpr int PARTICLE_RECORDS = 250;

    explicit HyperVoxel(Renderer* renderer);
    virtual ~HyperVoxel();
    HyperVoxel(const HyperVoxel&) = delete;
    HyperVoxel& operator=(const HyperVoxel&) = delete;

    // Device objects after a reset and before one; nothing in the base.
    virtual void createDeviceObjects() {}
    virtual void releaseDeviceObjects() {}
    // Draws the live records of the pool of PARTICLE_RECORDS seen by `camera`.
    virtual void draw(double time, const Particle* particles, Camera* camera) = 0;

    // Brings every animated value to the time.
    void evaluate(double time);

    Renderer* m_renderer;
    AnimatedValue m_dissolve{0.0f};
    AnimatedValue m_particleSize{0.0f};
    AnimatedValue m_sizeVariation{0.0f};
    AnimatedValue m_luminosity{0.0f};
    AnimatedValue m_opacity{1.0f};
    AnimatedValue m_density{1.0f};
    AnimatedValue m_color[3] = {{0.78431374f}, {0.78431374f}, {0.78431374f}};
    AnimatedValue m_nearClip{0.0f};
    AnimatedValue m_stretchAmount{0.0f};
    AnimatedValue m_textureAmplitude{0.0f};
    int32_t m_blendingMode = 1;
    int32_t m_blendingGroup = 0;
    int32_t m_stretchDirection = 0;
    int32_t m_sliceCount = 0;
    bool m_useAllLights = false;
    bool m_alignToPath = false;
    bool m_maintainVolume = false;
    std::vector<std::unique_ptr<TextureLayer>> m_layers;

protected:
    // Alive and somewhere: a record whose position went NaN or infinite draws nothing.
    static bool isDrawable(const Particle& particle);
    // What both kinds do first: the camera's projection made current, the
    // view matrix read, the values brought to the time.
    void beginDraw(double time, Camera& camera, Matrix4x3& view);
    // A device transform with the renderer's shader constant of the same kind.
    void setTransform(uint32_t type, const Matrix4x3& matrix);

private:
    template <typename Visit> void forEachValue(Visit visit);
};
