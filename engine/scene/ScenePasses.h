#pragma once
#include <cstdint>
#include <vector>

#include "engine/platform/Math3D.h"

class CullingPlane;
class LW6Scene;
class Light;
class Renderer;
class SceneItem;

namespace sys::gfx {
class Device;
}

// The passes of one scene render in their fixed order: fog, lights, shadow
// maps, the object pass, lens flares and particles. Renders nest (mirrors,
// shadow maps); work done once a frame runs only in the outermost one.
class ScenePasses {
public:
    static void render(LW6Scene& scene, SceneItem* camera, double time);
    // The menu's render: target, camera and time chosen here, cleared first.
    static void renderToTexture(LW6Scene& scene, bool clear, double time);

    static void applyFog(LW6Scene& scene, Renderer& renderer);
    static void setupFixedFunctionLights(LW6Scene& scene, Renderer& renderer, double time);
    static void renderShadowMaps(LW6Scene& scene, Renderer& renderer, double time);
    static void drawLensFlares(LW6Scene& scene, SceneItem* camera, std::vector<CullingPlane*>& occluders, double time);
    static void updateParticles(LW6Scene& scene, SceneItem* camera, double time);

    // The pool's renderer, or the one the scene was made for; null without.
    static Renderer* rendererOf(LW6Scene& scene);
    static void setTransform(sys::gfx::Device& device, uint32_t type, const Matrix4x3& matrix);
    // The lights the fixed-function pass set this frame; the index is the device light index.
    static const std::vector<Light*>& frameLights();
};
