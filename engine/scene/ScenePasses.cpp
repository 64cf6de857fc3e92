#include "engine/scene/ScenePasses.h"

#include <algorithm>
#include <cstring>

#include "engine/platform/Ref.h"
#include "engine/platform/audio/SoundDevice.h"
#include "engine/platform/images/Texture.h"
#include "engine/render/RenderStateGuard.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "engine/render/ShaderSwitches.h"
#include "engine/scene/Camera.h"
#include "engine/scene/CullingPlane.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/Light.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/ObjectPass.h"
#include "engine/scene/editing/PlacementHelper.h"
#include "engine/scene/effects/FlareSet.h"
#include "engine/scene/effects/ParticleEmitter.h"
#include "sys/gfx/Device.h"

namespace gfx = sys::gfx;

namespace {

std::vector<Light*> s_frameLights;

uint32_t floatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::vector<Light*> lightsOf(LW6Scene& scene) {
    std::vector<Light*> lights;
    for (auto& item : scene.m_lights)
        if (item->getKind() == SceneItem::KIND_LIGHT) lights.push_back(static_cast<Light*>(item.get()));
    return lights;
}

void setView(Renderer& renderer, SceneItem& viewer, double time) {
    Matrix4x3 view;
    viewer.getInvMatrix(view, time, 1);
    renderer.m_constants->m_view = view;
    renderer.m_constants->m_derivedCurrent = false;
    ScenePasses::setTransform(*renderer.m_currentDevice, gfx::TS_VIEW, view);
}

// The device's current target and depth surface, given back when it goes.
class SavedTargets {
public:
    explicit SavedTargets(gfx::Device& device) : m_device(device) {
        device.getRenderTarget(0, m_target.out());
        device.getDepthStencilSurface(m_depth.out());
    }
    ~SavedTargets() {
        m_device.setRenderTarget(0, m_target);
        m_device.setDepthStencilSurface(m_depth);
    }
    SavedTargets(const SavedTargets&) = delete;
    SavedTargets& operator=(const SavedTargets&) = delete;

private:
    gfx::Device& m_device;
    Ref<gfx::Surface> m_target;
    Ref<gfx::Surface> m_depth;
};

// The shadow map of the first light, top left, to see what the lights saw.
void drawShadowMapDebugQuad(LW6Scene& scene, Renderer& renderer) {
    std::vector<Light*> lights = lightsOf(scene);
    if (lights.empty()) return;
    Light& light = *lights.front();
    gfx::Texture* texture = light.m_shadowColourTexture ? light.m_shadowColourTexture : light.m_shadowDepthTexture;
    if (!texture) return;
    struct QuadVertex {
        float x, y, z, rhw;
        uint32_t colour;
        float u, v;
    };
    const QuadVertex quad[4] = {{-0.5f, -0.5f, 0.5f, 0.5f, 0xFFFFFFFF, 0.0f, 0.0f},
                                {511.5f, -0.5f, 0.5f, 0.5f, 0xFFFFFFFF, 1.0f, 0.0f},
                                {511.5f, 511.5f, 0.5f, 0.5f, 0xFFFFFFFF, 1.0f, 1.0f},
                                {-0.5f, 511.5f, 0.5f, 0.5f, 0xFFFFFFFF, 0.0f, 1.0f}};
    gfx::Device& device = *renderer.m_currentDevice;
    device.setTexture(0, texture);
    device.setTextureStageState(0, gfx::TSS_COLOROP, gfx::TOP_SELECTARG1);
    device.setTextureStageState(0, gfx::TSS_COLORARG1, gfx::TA_TEXTURE);
    device.setTextureStageState(1, gfx::TSS_COLOROP, gfx::TOP_DISABLE);
    device.setRenderState(gfx::RS_ALPHABLENDENABLE, 0);
    device.setVertexShader(nullptr);
    device.setPixelShader(nullptr);
    // Screen position with rhw, colour, one texture coordinate pair.
    device.setFVF(0x144u);
    device.drawPrimitiveUP(gfx::PT_TRIANGLEFAN, 2, quad, sizeof(QuadVertex));
    device.setTexture(0, nullptr);
}

} // namespace

Renderer* ScenePasses::rendererOf(LW6Scene& scene) {
    if (scene.m_metaScene && scene.m_metaScene->m_owner) return scene.m_metaScene->m_owner;
    return dynamic_cast<Renderer*>(scene.m_owner);
}

void ScenePasses::setTransform(gfx::Device& device, uint32_t type, const Matrix4x3& matrix) {
    gfx::Matrix out;
    std::memcpy(out.m, matrix.m, sizeof out.m);
    device.setTransform(type, out);
}

const std::vector<Light*>& ScenePasses::frameLights() { return s_frameLights; }

void ScenePasses::render(LW6Scene& scene, SceneItem* camera, double time) {
    Renderer* renderer = rendererOf(scene);
    if (!camera || !renderer || !renderer->m_currentDevice) return;
    gfx::Device& device = *renderer->m_currentDevice;
    // The depth comes back to its value on every way out.
    struct Depth {
        int32_t& depth;
        explicit Depth(int32_t& value) : depth(++value) {}
        ~Depth() { --depth; }
    } depth(scene.m_renderDepth);

    ObjectContainer::invalidateItems(scene, camera, depth.depth > 1);
    if (depth.depth == 1 && renderer->m_placementHelper) {
        PlacementHelper::CollisionTester* tester =
            scene.m_metaScene ? scene.m_metaScene->m_collisionTester.get() : nullptr;
        if (renderer->m_placementHelper->update(scene, time, tester)) ObjectContainer::invalidateItems(scene, camera);
    }
    applyFog(scene, *renderer);
    // Once a frame: inside a mirror the stencil states would spoil the maps.
    if (depth.depth == 1 && !renderer->m_fixedFunction) renderShadowMaps(scene, *renderer, time);

    device.setRenderState(gfx::RS_FILLMODE, renderer->m_wireframe ? gfx::FILL_WIREFRAME : gfx::FILL_SOLID);
    device.setRenderState(gfx::RS_ZENABLE, 1);
    device.setRenderState(gfx::RS_COLORWRITEENABLE, renderer->m_colorWriteMask);
    bool localViewer = !camera->isDistant();
    if (renderer->m_fixedFunction)
        device.setRenderState(gfx::RS_LOCALVIEWER, localViewer ? 1 : 0);
    else
        *renderer->m_switches->m_isLocalViewer = localViewer ? 1 : 0;
    setView(*renderer, *camera, time);

    if (renderer->m_fixedFunction)
        setupFixedFunctionLights(scene, *renderer, time);
    else
        device.setRenderState(gfx::RS_LIGHTING, 0);

    // Each render keeps its own occluders: a mirror's camera sees through
    // another projection, where the outer view's occluders would hide the wrong things.
    std::vector<CullingPlane*> occluders;
    ObjectPass::drawObjects(scene, camera, occluders, time);
    drawLensFlares(scene, camera, occluders, time);
    if (depth.depth == 1) updateParticles(scene, camera, time);
}

void ScenePasses::applyFog(LW6Scene& scene, Renderer& renderer) {
    gfx::Device& device = *renderer.m_currentDevice;
    int32_t enabled = scene.m_fogType == 3 && renderer.m_fog ? 1 : 0;
    *renderer.m_switches->m_isFogEnabled = enabled;
    if (enabled) {
        device.setRenderState(gfx::RS_FOGTABLEMODE, gfx::FOG_LINEAR);
        device.setRenderState(gfx::RS_FOGCOLOR, colorToARGB(scene.m_fogColor));
        const Camera* camera = scene.m_activeCamera;
        bool ownStart = camera && camera->m_hasEnvMinDistance, ownEnd = camera && camera->m_hasEnvMaxDistance;
        device.setRenderState(gfx::RS_FOGSTART,
                              floatBits(ownStart ? camera->m_envMinDistance : scene.m_fogMinDistance));
        device.setRenderState(gfx::RS_FOGEND, floatBits(ownEnd ? camera->m_envMaxDistance : scene.m_fogMaxDistance));
    }
    device.setRenderState(gfx::RS_FOGENABLE, enabled != 0);
}

void ScenePasses::setupFixedFunctionLights(LW6Scene& scene, Renderer& renderer, double time) {
    gfx::Device& device = *renderer.m_currentDevice;
    device.setRenderState(gfx::RS_LIGHTING, 1);
    ColorRGBA ambient = scene.getAmbientColor(time);
    float intensity = scene.m_ambientIntensity.evaluate(time);
    device.setRenderState(gfx::RS_AMBIENT,
                          colorToARGB({ambient.r * intensity, ambient.g * intensity, ambient.b * intensity, 1.0f}));

    LightingOptions options = lightingOptions(renderer, scene.m_globalLightIntensity.evaluate(time));
    size_t n = 0;
    for (Light* light : lightsOf(scene)) {
        // The device has no index beyond its last light.
        if (n >= gfx::MAX_LIGHTS) break;
        if (!light->m_lightReady || !light->updateFrame(time, options)) continue;
        device.setLight(uint32_t(n), light->m_d3dLight);
        if (n < s_frameLights.size())
            s_frameLights[n] = light;
        else
            s_frameLights.push_back(light);
        ++n;
    }
    for (size_t i = n; i < s_frameLights.size(); ++i) device.lightEnable(uint32_t(i), false);
    s_frameLights.resize(n);
}

void ScenePasses::renderShadowMaps(LW6Scene& scene, Renderer& renderer, double time) {
    gfx::Device& device = *renderer.m_currentDevice;
    std::vector<Light*> lights = lightsOf(scene);
    // A light whose map could not be made has nothing to draw into.
    auto casts = [](const Light* light) {
        return light->m_shadowType == Light::SHADOW_MAP && light->m_shadowColourSurface && light->m_shadowDepthSurface;
    };
    if (std::none_of(lights.begin(), lights.end(), casts)) return;

    SavedTargets saved(device);
    for (Light* light : lights) {
        if (!casts(light)) continue;
        for (Light* other : lights) other->m_disabled = other != light;
        device.setRenderTarget(0, light->m_shadowColourSurface);
        device.setDepthStencilSurface(light->m_shadowDepthSurface);
        bool depthTextures = renderer.m_shadowDepthFormat != 0;
        if (depthTextures) {
            uint32_t flags = gfx::CLEAR_ZBUFFER | gfx::CLEAR_STENCIL | (renderer.m_shadowMapDebug ? uint32_t(gfx::CLEAR_TARGET) : 0u);
            device.clear(0, nullptr, flags, 0xFFFFFFFF, 1.0f, 0);
            device.setRenderState(gfx::RS_LIGHTING, 0);
            device.setRenderState(gfx::RS_ZENABLE, 1);
            device.setRenderState(gfx::RS_ZWRITEENABLE, 1);
            device.setRenderState(gfx::RS_COLORWRITEENABLE, renderer.m_shadowMapDebug ? 0xF : 0);
            renderer.m_renderPassMarker = 1;
        } else {
            device.clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER | gfx::CLEAR_STENCIL, 0xFDFDFDFD, 1.0f, 0);
            device.setRenderState(gfx::RS_LIGHTING, 0);
            device.setRenderState(gfx::RS_ZENABLE, 1);
            device.setRenderState(gfx::RS_COLORWRITEENABLE, renderer.m_colorWriteMask);
            renderer.m_renderPassMarker = 2;
            light->m_range.evaluate(time);
        }
        setView(renderer, *light, time);
        std::vector<CullingPlane*> occluders;
        // No lens flares here: drawn from the light they would paint into its
        // map and spoil the fades and queries of the camera's own view.
        ObjectPass::drawObjects(scene, light, occluders, time);
        renderer.m_renderPassMarker = 0;
        if (depthTextures) device.setRenderState(gfx::RS_COLORWRITEENABLE, renderer.m_colorWriteMask);
        for (Light* other : lights) other->m_disabled = false;
    }
}

void ScenePasses::drawLensFlares(LW6Scene& scene, SceneItem* camera, std::vector<CullingPlane*>& occluders,
                                 double time) {
    Renderer* renderer = rendererOf(scene);
    if (scene.m_renderDepth != 1 || !camera || !renderer || !renderer->m_currentDevice) return;
    gfx::Device& device = *renderer->m_currentDevice;
    std::vector<Light*> flaring;
    for (Light* light : lightsOf(scene))
        if (light->m_flares) flaring.push_back(light);
    const int view = scene.m_renderDepth;
    bool visible = false;
    // Every set is asked: each keeps its own fade going.
    for (Light* light : flaring) visible |= light->m_flares->updateFlareVisibility(view, *camera, occluders, time);
    if (!visible || !renderer->m_flares) return;

    *renderer->m_switches->m_isFogEnabled = 0;
    device.setRenderState(gfx::RS_FOGENABLE, 0);
    const RenderStateGuard cull(device, {gfx::RS_CULLMODE});
    device.setRenderState(gfx::RS_CULLMODE, gfx::CULL_CCW);
    device.setRenderState(gfx::RS_LIGHTING, 0);
    device.setRenderState(gfx::RS_ZWRITEENABLE, 0);
    device.setRenderState(gfx::RS_ALPHATESTENABLE, 0);
    renderer->m_constants->m_world = Matrix4x3::identity();
    renderer->m_constants->m_derivedCurrent = false;
    setTransform(device, gfx::TS_WORLD, Matrix4x3::identity());
    device.setVertexShader(nullptr);
    device.setPixelShader(nullptr);
    device.setRenderState(gfx::RS_ZENABLE, 0);
    device.setRenderState(gfx::RS_COLORWRITEENABLE, renderer->m_colorWriteMask);
    device.setRenderState(gfx::RS_ALPHABLENDENABLE, 1);
    device.setRenderState(gfx::RS_SRCBLEND, gfx::BLEND_SRCALPHA);
    device.setRenderState(gfx::RS_DESTBLEND, gfx::BLEND_ONE);
    device.setSamplerState(0, gfx::SAMP_MIPFILTER, gfx::TEXF_LINEAR);
    device.setSamplerState(0, gfx::SAMP_MAGFILTER, gfx::TEXF_LINEAR);
    device.setTextureStageState(0, gfx::TSS_TEXCOORDINDEX, 0);
    device.setTextureStageState(0, gfx::TSS_TEXTURETRANSFORMFLAGS, gfx::TTFF_DISABLE);
    device.setTextureStageState(0, gfx::TSS_COLOROP, gfx::TOP_MODULATE);
    device.setTextureStageState(0, gfx::TSS_COLORARG1, gfx::TA_TEXTURE);
    device.setTextureStageState(0, gfx::TSS_COLORARG2, gfx::TA_TFACTOR);
    device.setTextureStageState(0, gfx::TSS_ALPHAOP, gfx::TOP_MODULATE);
    device.setTextureStageState(0, gfx::TSS_ALPHAARG1, gfx::TA_TEXTURE);
    device.setTextureStageState(0, gfx::TSS_ALPHAARG2, gfx::TA_TFACTOR);
    device.setTextureStageState(1, gfx::TSS_COLOROP, gfx::TOP_DISABLE);
    for (Light* light : flaring)
        if (light->m_lensFlare) light->m_flares->drawFlares(view, *camera, time);

    // The query point is tested against the depth of what was drawn, seen by nobody.
    device.setRenderState(gfx::RS_ZENABLE, 1);
    device.setRenderState(gfx::RS_COLORWRITEENABLE, 0);
    device.setRenderState(gfx::RS_ALPHABLENDENABLE, 0);
    device.setTextureStageState(0, gfx::TSS_COLOROP, gfx::TOP_DISABLE);
    device.setTexture(0, nullptr);
    device.setRenderState(gfx::RS_POINTSIZE, floatBits(4.0f));
    for (Light* light : flaring)
        if (light->m_lensFlare) light->m_flares->issueOcclusionQuery(view, *camera, time);

    device.setRenderState(gfx::RS_COLORWRITEENABLE, renderer->m_colorWriteMask);
}

void ScenePasses::updateParticles(LW6Scene& scene, SceneItem* camera, double time) {
    double dt = scene.m_lastParticleTime < 0.0 ? 0.0 : time - scene.m_lastParticleTime;
    if (dt != 0.0) {
        for (auto& emitter : scene.m_emitters) emitter->emit(time, dt);
        for (auto& emitter : scene.m_emitters)
            emitter->apply(emitter->getParticles(), 0, emitter->getParticleCount(), time, dt);
        for (auto& effector : scene.m_effectors)
            for (auto& emitter : scene.m_emitters)
                if (!effector->getOwner() || effector->getOwner() == emitter->getOwner())
                    effector->apply(emitter->getParticles(), 0, emitter->getParticleCount(), time, dt);
    }
    Camera* viewer = dynamic_cast<Camera*>(camera);
    for (auto& emitter : scene.m_emitters) emitter->advance(time, dt, viewer);
    scene.m_lastParticleTime = time;
}

void ScenePasses::renderToTexture(LW6Scene& scene, bool clear, double time) {
    Renderer* renderer = rendererOf(scene);
    if (!renderer || !renderer->m_currentDevice) return;
    gfx::Device& device = *renderer->m_currentDevice;
    PlacementHelper* helper = renderer->m_placementHelper;
    std::unique_ptr<SavedTargets> saved;
    if (scene.m_renderTarget && !(helper && helper->m_activeCamera)) {
        saved = std::make_unique<SavedTargets>(device);
        device.setRenderTarget(0, scene.m_renderTarget);
        device.setDepthStencilSurface(scene.m_depthTarget);
        bool anySize = renderer->m_hardwareCaps.textureCaps & gfx::PTEXTURECAPS_NONPOW2CONDITIONAL;
        renderer->m_targetWidth = anySize ? renderer->m_backBufferWidth : 512;
        renderer->m_targetHeight = anySize ? renderer->m_backBufferHeight : 512;
    } else {
        // On the back buffer the view rectangle stays: the menu's previews draw into their frames.
        const int32_t width = renderer->m_targetWidth, height = renderer->m_targetHeight;
        renderer->setBackBufferTarget();
        renderer->m_targetWidth = width;
        renderer->m_targetHeight = height;
    }
    renderer->setViewport(uint32_t(renderer->m_targetX), uint32_t(renderer->m_targetY),
                          uint32_t(renderer->m_targetWidth), uint32_t(renderer->m_targetHeight), 0.0f, 1.0f);
    if (clear) device.clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER | gfx::CLEAR_STENCIL, 0, 1.0f, 0);

    if (scene.m_backgroundImage)
        if (gfx::Texture* image = scene.m_backgroundImage->getTexture(time))
            if (Ref<gfx::Surface> source = Ref<gfx::Surface>::adopt(image->getSurfaceLevel(0))) {
                Ref<gfx::Surface> target;
                if (device.getRenderTarget(0, target.out()) == gfx::GFX_OK && target)
                    device.stretchRect(source, nullptr, target, nullptr, gfx::TEXF_LINEAR);
            }

    double sceneTime = scene.m_fixedTime ? scene.m_timeOffset : time - scene.m_timeOffset;
    std::vector<Light*> lights = lightsOf(scene);
    SceneItem* camera = scene.m_activeCamera;
    if (renderer->m_viewFromLight && !lights.empty())
        camera = lights.front();
    else if (helper && helper->m_activeCamera)
        camera = helper->m_activeCamera;

    SoundDevice* sound = renderer->m_soundDevice;
    if (sound) sound->setListenerFactors(1.0f, 0.0f, 1.0f);
    render(scene, camera, sceneTime);
    if (camera) ObjectPass::updateSounds(scene, *camera, sceneTime);
    if (sound && camera) {
        Matrix4x3 world;
        camera->getMatrix(world, sceneTime, 0);
        sound->setListener(world[12], world[13], world[14], world[8], world[9], world[10], world[4], world[5],
                           world[6], 0.0f, 0.0f, 0.0f);
    }
    saved.reset();
    if (renderer->m_shadowMapDebug) drawShadowMapDebugQuad(scene, *renderer);
}
