#include "engine/scene/ObjectPass.h"

#include <cfloat>
#include <cmath>
#include <cstring>

#include "engine/platform/Report.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "engine/render/ShaderSwitches.h"
#include "engine/scene/CullingPlane.h"
#include "engine/scene/DrawList.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/Light.h"
#include "engine/scene/Occluder.h"
#include "engine/scene/ScenePasses.h"
#include "engine/scene/editing/PlacementHelper.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/mesh/Mesh.h"
#include "sys/gfx/Device.h"

namespace gfx = sys::gfx;

float ObjectPass::s_cylindricalViewAngle = 0.0f;

namespace {

const Matrix4x3& currentProjection(SceneItem& camera, double time) {
    if (!camera.m_projValid) camera.updateProjMatrix(time);
    return camera.m_projMatrix;
}

// The camera's view x projection at the time.
Matrix4x3 viewProjection(SceneItem& camera, double time) {
    Matrix4x3 view, out;
    camera.getInvMatrix(view, time, 1);
    multiplyMatrix4x3By4x4(out, view, currentProjection(camera, time));
    return out;
}

Matrix4x3 worldMatrix(SceneItem& item, double time) {
    Matrix4x3 world;
    item.getMatrix(world, time, 1);
    return world;
}

bool scaledAway(SceneObject& object, double time) {
    return object.m_channels[SceneItem::SCALE_X].evaluate(time) == 0.0f &&
           object.m_channels[SceneItem::SCALE_Y].evaluate(time) == 0.0f &&
           object.m_channels[SceneItem::SCALE_Z].evaluate(time) == 0.0f;
}

void copyMatrix(float* out, const Matrix4x3& m) { std::memcpy(out, m.m, sizeof m.m); }

} // namespace

void ObjectPass::depthRange(const SceneItem& camera, float& nearDistance, float& farDistance) {
    nearDistance = camera.m_fittedRange ? camera.m_fittedNear : 0.0f;
    farDistance = camera.m_fittedRange ? camera.m_fittedFar : FLT_MAX;
}

namespace {

// The shader path's cylindrical view: x is bent by the angle's tangent, then by its arc.
struct CylindricalView {
    bool on;
    float h;
    float tanH;
};

// The nearest and farthest clip depth of what is in view.
struct DepthSpan {
    float minZ = FLT_MAX;
    float maxZ = -FLT_MAX;
};

// The culling planes in the camera's view that can stand as occluders.
void gatherOccluders(LW6Scene& scene, SceneItem& camera, std::vector<CullingPlane*>& occluders, double time) {
    occluders.clear();
    occluders.reserve(100);
    for (CullingPlane* plane : scene.m_cullingPlanes) {
        Mesh* mesh = plane ? plane->getFirstMesh() : nullptr;
        if (!mesh) continue;
        Matrix4x3 m;
        multiplyMatrix4x3By4x4(m, worldMatrix(*plane, time), viewProjection(camera, time));
        float corners[8][4];
        mesh->projectCorners(m, corners);
        if (!camera.isBoxOutside(corners) && makeOccluder(*plane, m)) occluders.push_back(plane);
    }
}

// The highest world height of the mesh's box.
float topOf(const Mesh& mesh, const Matrix4x3& world) {
    float top = -FLT_MAX;
    for (const Position3& c : mesh.m_corners)
        top = std::fmax(top, c.x * world[1] + c.y * world[5] + c.z * world[9] + world[13]);
    return top;
}

// The placement helper's objects (last first) before the scene's own.
std::vector<SceneObject*> objectsToDraw(LW6Scene& scene, const Renderer* renderer) {
    std::vector<SceneObject*> objects;
    objects.reserve(scene.m_objects.size());
    PlacementHelper* helper = renderer ? renderer->m_placementHelper : nullptr;
    if (helper && helper->m_active)
        for (auto it = helper->m_objects.rbegin(); it != helper->m_objects.rend(); ++it) objects.push_back(it->get());
    for (auto& object : scene.m_objects) objects.push_back(object.get());
    return objects;
}

// Every object in view, not hidden by an occluder nor parked out of sight,
// sorted for drawing; the span grows by each in view, parked or not.
DrawList visibleObjects(LW6Scene& scene, const Renderer& renderer, SceneItem* camera,
                        const std::vector<CullingPlane*>& occluders, const Matrix4x3& toClip,
                        const CylindricalView& cylinder, DepthSpan& span, double time) {
    DrawList list;
    for (SceneObject* object : objectsToDraw(scene, &renderer)) {
        Mesh* mesh = object->getFirstMesh();
        if (!mesh || mesh->m_viewItem == camera) continue;
        if (object->m_unseenByCamera && !renderer.m_showUnseenObjects) continue;
        if (scaledAway(*object, time)) continue;
        ENGINE_ASSERT(mesh->m_valid && "objects without bounding boxes are not supported anymore");

        const Matrix4x3 world = worldMatrix(*object, time);
        Matrix4x3 m;
        multiplyMatrix4x3By4x4(m, world, toClip);
        if (cylinder.on)
            for (int row = 0; row < 4; ++row) m.at(row, 0) *= cylinder.tanH;
        float corners[8][4];
        mesh->projectCorners(m, corners);
        if (cylinder.on)
            for (auto& c : corners) {
                float r = std::sqrt(c[0] * c[0] + c[3] * c[3]);
                float s = c[3] >= 0.0f ? r : -r;
                c[0] = std::atan(c[0] / c[3]) * s / cylinder.h;
                c[3] = s;
            }
        if (camera->isBoxOutside(corners)) continue;
        if (!renderer.m_viewWindow.whole() && !renderer.m_viewWindow.reaches(corners, 8)) continue;
        if (!object->m_unseenByCamera) {
            bool hidden = false;
            for (CullingPlane* occluder : occluders)
                if ((hidden = occluderHidesBox(corners, occluderOf(*occluder)))) break;
            if (hidden) continue;
        }
        float nearest = FLT_MAX, farthest = -FLT_MAX;
        for (const auto& c : corners) {
            nearest = std::fmin(nearest, c[2]);
            farthest = std::fmax(farthest, c[2]);
        }
        span.minZ = std::fmin(span.minZ, nearest);
        span.maxZ = std::fmax(span.maxZ, farthest);
        if (topOf(*mesh, world) < scene.m_outOfSightBelow) continue;
        list.add(object, farthest, mesh->m_hasBlendedSurfaces);
    }
    list.sort();
    return list;
}

// Lights whose flares show widen the span by their own depth.
void addFlareDepths(LW6Scene& scene, SceneItem& camera, const Matrix4x3& toClip, DepthSpan& span, double time) {
    for (auto& item : scene.m_lights) {
        if (item->getKind() != SceneItem::KIND_LIGHT) continue;
        Light& light = static_cast<Light&>(*item);
        if (!light.m_lensFlare || !light.m_flares) continue;
        Matrix4x3 world = worldMatrix(light, time);
        float p[4];
        for (int col = 0; col < 4; ++col)
            p[col] = world[12] * toClip.at(0, col) + world[13] * toClip.at(1, col) + world[14] * toClip.at(2, col) +
                     toClip.at(3, col);
        if (camera.isPointOutside(p)) continue;
        span.minZ = std::fmin(span.minZ, p[2]);
        span.maxZ = std::fmax(span.maxZ, p[2]);
    }
}

// The camera's projection over its fitted depth range, for the shader values and the device.
void setProjection(Renderer& renderer, SceneItem& camera, const CylindricalView& cylinder, double time) {
    float nearDistance, farDistance;
    ObjectPass::depthRange(camera, nearDistance, farDistance);
    Matrix4x3 projection = camera.getProjMatrix(time, nearDistance, farDistance);

    ShaderSwitches& switches = *renderer.m_switches;
    ShaderConstants& constants = *renderer.m_constants;
    *switches.m_isCylindricalViewer = cylinder.on ? 1 : 0;
    if (cylinder.on) {
        for (int row = 0; row < 4; ++row) projection.at(row, 0) *= cylinder.tanH;
        *constants.m_cylindricalScale = 1.0f / cylinder.h;
    }
    constants.m_projection = projection;
    constants.m_derivedCurrent = false;
    ScenePasses::setTransform(*renderer.m_currentDevice, gfx::TS_PROJECTION, projection);
}

} // namespace

void ObjectPass::drawObjects(LW6Scene& scene, SceneItem* camera, std::vector<CullingPlane*>& occluders, double time) {
    Renderer* renderer = ScenePasses::rendererOf(scene);
    if (!camera || !renderer || !renderer->m_currentDevice) return;
    gfx::Device& device = *renderer->m_currentDevice;

    if (scene.m_renderDepth == 1) gatherOccluders(scene, *camera, occluders, time);

    Viewport viewport = camera->getViewport();
    device.setViewport({viewport.x, viewport.y, viewport.width, viewport.height, viewport.minZ, viewport.maxZ});

    const float h = s_cylindricalViewAngle * 0.008726646259971648f;
    const CylindricalView cylinder{!renderer->m_fixedFunction && s_cylindricalViewAngle > 0.0001f, h, std::tan(h)};

    Matrix4x3 toClip = viewProjection(*camera, time);
    DepthSpan span;
    DrawList list = visibleObjects(scene, *renderer, camera, occluders, toClip, cylinder, span, time);
    if (renderer->m_flares) addFlareDepths(scene, *camera, toClip, span, time);

    if (scene.m_renderDepth == 1) {
        // Nothing visible leaves the extreme floats, a projection of no use:
        // the camera's own planes stand instead.
        camera->m_fittedRange = span.minZ <= span.maxZ;
        camera->m_fittedNear = span.minZ;
        camera->m_fittedFar = span.maxZ;
    }
    setProjection(*renderer, *camera, cylinder, time);

    scene.prepareDrawList(time, camera, list);
}

void ObjectPass::updateSounds(LW6Scene& scene, SceneItem& listener, double time) {
    for (SceneObject* object : objectsToDraw(scene, ScenePasses::rendererOf(scene))) object->updateSound(&listener, time);
}

void ObjectPass::drawList(LW6Scene& scene, double time, SceneItem* camera, const DrawList& list) {
    for (const DrawRecord& record : list.records()) {
        selectLights(scene, camera, *record.object, time);
        assignReflectionScene(scene, *record.object, time);
        record.object->draw(time, camera);
    }
}

void ObjectPass::selectLights(LW6Scene& scene, SceneItem* camera, SceneObject& object, double time) {
    Renderer* renderer = ScenePasses::rendererOf(scene);
    Mesh* mesh = object.getFirstMesh();
    if (!renderer || !renderer->m_currentDevice || !mesh) return;
    gfx::Device& device = *renderer->m_currentDevice;
    ShaderConstants& constants = *renderer->m_constants;
    ShaderSwitches& switches = *renderer->m_switches;
    const bool fixedFunction = renderer->m_fixedFunction;

    // Kept from object to object: every drawn object of every pass comes here.
    static std::vector<Light*> sceneLights;
    static std::vector<Light::Record> records;
    sceneLights.clear();
    records.clear();
    if (!fixedFunction)
        for (auto& item : scene.m_lights)
            if (item->getKind() == SceneItem::KIND_LIGHT) sceneLights.push_back(static_cast<Light*>(item.get()));
    const std::vector<Light*>& candidates = fixedFunction ? ScenePasses::frameLights() : sceneLights;

    LightingOptions options = lightingOptions(*renderer, scene.m_globalLightIntensity.evaluate(time));
    for (size_t i = 0; i < candidates.size(); ++i) {
        Light& light = *candidates[i];
        light.affectsObject(object, object.m_excludedLights, mesh, time, options);
        if (light.m_lightReady && light.m_inRange)
            records.push_back({int32_t(i), &light, light.getIntensityAt(object, *mesh, time)});
        else if (fixedFunction)
            device.lightEnable(uint32_t(i), false);
    }
    Light::sortByIntensity(records);

    Matrix4x3 world = worldMatrix(object, time);
    auto spotMatrix = [&](Light& light, Matrix4x3& out) {
        Matrix4x3 view;
        light.getInvMatrix(view, time, 1);
        float nearDistance, farDistance;
        depthRange(light, nearDistance, farDistance);
        multiplyMatrix4x3(out, world, view);
        multiplyMatrix4x4(out, out, light.getProjMatrix(time, nearDistance, farDistance));
    };
    if (fixedFunction) {
        // Texel offsets of 249 as the projector images were made for.
        static const Matrix4x3 bias{{256, 0, 0, 0, 0, -256, 0, 0, 0, 0, 256, 0, 249, 249, 256, 1}};
        int n = 0;
        for (const Light::Record& record : records) {
            device.lightEnable(uint32_t(record.index), n < 8);
            ++n;
            if (record.light->m_lightType != Light::SPOT) continue;
            Matrix4x3 projector;
            spotMatrix(*record.light, projector);
            multiplyMatrix4x4(projector, projector, bias);
            copyMatrix(constants.m_matWorldLightviewLightprojShadowbias, projector);
        }
    } else {
        int counts[3] = {0, 0, 0};
        for (const Light::Record& record : records) {
            Light& light = *record.light;
            if (light.m_lightType < Light::DISTANT || light.m_lightType > Light::SPOT) continue;
            light.setShaderConstants(counts[light.m_lightType]++, time, constants, switches);
            if (light.m_lightType != Light::SPOT) continue;
            Matrix4x3 shadow;
            spotMatrix(light, shadow);
            copyMatrix(constants.m_matWorldLightviewLightprojShadowbias, shadow);
        }
        *switches.m_numActiveDistantLights = std::min(counts[Light::DISTANT], 8);
        *switches.m_numActivePointLights = std::min(counts[Light::POINT], 8);
        *switches.m_numActiveSpotLights = std::min(counts[Light::SPOT], 8);
    }

    ColorRGBA ambient = scene.getAmbientColor(time);
    float intensity = scene.m_ambientIntensity.evaluate(time);
    constants.m_ambientLightColor[0] = ambient.r * intensity;
    constants.m_ambientLightColor[1] = ambient.g * intensity;
    constants.m_ambientLightColor[2] = ambient.b * intensity;
}

void ObjectPass::assignReflectionScene(LW6Scene& scene, SceneObject& object, double time) {
    Mesh* mesh = object.getFirstMesh();
    if (!mesh) return;
    for (size_t i = 0; i < mesh->m_surfaces.size(); ++i) {
        Surface* surface = mesh->m_surfaces[i];
        if (!surface || surface->m_reflectivity.evaluate(time) == 0.0f) continue;
        if (mesh->m_reflectionScenes.size() < mesh->m_surfaces.size())
            mesh->m_reflectionScenes.resize(mesh->m_surfaces.size(), nullptr);
        mesh->m_reflectionScenes[i] = &scene;
    }
}
