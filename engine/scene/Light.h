#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/platform/Ref.h"
#include "engine/scene/AxisViewingItem.h"
#include "sys/gfx/GfxTypes.h"

class BoundingBox;
class FlareSet;
class DeviceList;
class Renderer;
class ShaderConstants;
class ShaderSwitches;
class Texture;

namespace sys::gfx {
class Surface;
class Texture;
}

// What the light reads of the renderer and the scene when it lights a frame.
struct LightingOptions {
    bool lighting = true;
    bool doubleBrightness = false;
    // The scene's global light intensity at the time; 1 outside a scene.
    float sceneIntensity = 1.0f;
    bool shadowMaps = false;
    // 0: the shadow map gets a plain depth-stencil surface.
    uint32_t shadowDepthFormat = 0;
};

// The renderer's light switches; shadow maps need the shader path and a render-target format.
LightingOptions lightingOptions(const Renderer& renderer, float sceneIntensity = 1.0f);

// A scene light (kind 2): its envelopes become a device light record each
// frame, it picks the objects it reaches, feeds the shader light arrays, and
// as a shadow caster it views the scene along its axis.
class Light : public AxisViewingItem {
public:
    enum LightType { DISTANT = 0, POINT = 1, SPOT = 2 };
    enum FalloffType { FALLOFF_NONE = 0, FALLOFF_LINEAR = 1, FALLOFF_INVERSE = 2, FALLOFF_INVERSE_SQUARE = 3 };
    enum ShadowType { SHADOW_MAP = 2 };
    static constexpr float FAR_RANGE = 1e19f;

    // One light that reaches an object, by the strength it arrives with.
    struct Record {
        int32_t index;
        Light* light;
        float intensity;
    };
    // Hands a texture the light made to its keeper (the resource pool) and answers it.
    using TextureKeeper = std::function<Texture*(std::unique_ptr<Texture>)>;

    Light(ObjectContainer* container, int32_t index);
    ~Light() override;

    Viewport getViewport() override;
    void updateProjMatrix(double time) override;

    // The flare set's queries go with the device and come back with it.
    void releaseDeviceObjects() override;
    void createDeviceObjects() override;
    bool isDistant() const override { return m_lightType == DISTANT; }
    ColorRGBA getColour(double time);
    // Once: resets the device record; a lens flare gets its flare set (its
    // textures from the scene's pool when there is one), a shadow caster its
    // map and "(Spot)" texture.
    void createTextures(DeviceList& devices, const LightingOptions& options, const TextureKeeper& keeper);
    // Fills the device record for the time; false when the light is off.
    bool updateFrame(double time, const LightingOptions& options);
    // Whether the light reaches the object's bounds (null: no sphere); also
    // kept in m_inRange. `excluded` lists the light indices the object ignores.
    bool affectsObject(SceneItem& object, const std::vector<int32_t>& excluded, const BoundingBox* bounds, double time,
                       const LightingOptions& options);
    // The strength that arrives at the object's bounding sphere.
    float getIntensityAt(SceneItem& object, const BoundingBox& bounds, double time);
    // Slot 0..7 of the shader light arrays of the light's type.
    void setShaderConstants(int slot, double time, ShaderConstants& constants, ShaderSwitches& switches);

    // Strongest first; records without a number (NaN) go last.
    static void sortByIntensity(std::vector<Record>& records);

    sys::gfx::Light m_d3dLight{};
    bool m_lightReady = false;
    bool m_inRange = false;
    bool m_disabled = false;
    int32_t m_lightType = DISTANT;
    AnimatedValue m_colour[3];
    AnimatedValue m_intensity;
    int32_t m_falloffType = FALLOFF_NONE;
    AnimatedValue m_range;
    AnimatedValue m_coneAngle;
    AnimatedValue m_edgeAngle;
    bool m_noDiffuse = false;
    bool m_noSpecular = false;
    bool m_lensFlare = false;
    int32_t m_flareOptions = 0;
    float m_flareNominalDistance = 1.0f;
    AnimatedValue m_flareIntensity;
    AnimatedValue m_flareRotation;
    // Made by createTextures when m_lensFlare.
    std::unique_ptr<FlareSet> m_flares;
    // Not owned: the resource pool keeps it.
    Texture* m_spotTexture = nullptr;
    Texture* m_projectorImage = nullptr;
    int32_t m_shadowType = 0;
    int32_t m_shadowMapSize = 1024;
    float m_shadowBias = -0.0001f;
    Ref<sys::gfx::Texture> m_shadowColourTexture;
    Ref<sys::gfx::Texture> m_shadowDepthTexture;
    Ref<sys::gfx::Surface> m_shadowColourSurface;
    Ref<sys::gfx::Surface> m_shadowDepthSurface;
    Matrix4x3 m_shadowTexAdjust{};
    bool m_texturesMade = false;
    Position3 m_objectLightPos = {0.0f, 0.0f, 0.0f};
    Position3 m_objectLightDir = {0.0f, 0.0f, 0.0f};

private:
    void resetDeviceLight();
    void createFlareSet(DeviceList& devices, const TextureKeeper& keeper);
    void createShadowMap(DeviceList& devices, const LightingOptions& options);
    void releaseShadowMap();
};
