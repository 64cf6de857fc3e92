#include "engine/scene/LW6Scene.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include <ode/objects.h>

#include "engine/platform/gui/LoadingFrame.h"
#include "engine/platform/images/Texture.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Actor.h"
#include "engine/scene/ActorTrack.h"
#include "engine/scene/Camera.h"
#include "engine/scene/CullingPlane.h"
#include "engine/scene/Light.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/ObjectPass.h"
#include "engine/scene/ScenePasses.h"
#include "engine/scene/effects/ParticleEmitter.h"
#include "engine/scene/mesh/Mesh.h"
#include "engine/scene/physics/PhysicsLibrary.h"
#include "sys/gfx/Font.h"

LW6Scene::LW6Scene(RenderView* owner) : ObjectContainer(owner) { createWorld(); }

LW6Scene::LW6Scene(MetaScene* pool) : ObjectContainer(pool->m_owner), m_metaScene(pool) { createWorld(); }

void LW6Scene::createWorld() {
    m_font = std::make_unique<sys::gfx::Font>(12, "Verdana");
    // The library is started once per process; other scenes may still hold worlds.
    PhysicsLibrary::ensureStarted();
    m_world = dWorldCreate();
    m_contactGroup = dJointGroupCreate(0);
    dWorldSetGravity(m_world, m_gravity[0], m_gravity[1], m_gravity[2]);
    dWorldSetCFM(m_world, 1e-10);
    dWorldSetERP(m_world, 0.3);
    dWorldSetAutoDisableFlag(m_world, 0);
    dWorldSetAutoDisableLinearThreshold(m_world, 0.5);
    dWorldSetAutoDisableAngularThreshold(m_world, 0.5);
    dWorldSetAutoDisableSteps(m_world, 0);
    dWorldSetAutoDisableTime(m_world, 1.0);
    dWorldSetQuickStepNumIterations(m_world, 5);
    dWorldSetContactMaxCorrectingVel(m_world, DBL_MAX);
    dWorldSetContactSurfaceLayer(m_world, 0.0);

    for (int a = 0; a < POLICY_TABLE_SIZE; ++a) {
        for (int b = 0; b < POLICY_TABLE_SIZE; ++b) {
            m_surfaceTable[a][b] = &m_defaultSurface;
            m_spacePairTable[a][b] = a == b ? &m_spacePairSame : &m_spacePairDifferent;
        }
    }
}

LW6Scene::~LW6Scene() {
    m_emitters.clear();
    m_effectors.clear();
    m_actorTracks.clear();
    m_actors.clear();
    dJointGroupDestroy(m_contactGroup);
    if (!m_spaces.empty() && m_spaces[0].space) dSpaceDestroy(m_spaces[0].space);
    // Bodies and joints go with the world; the items keep no handle they use afterwards.
    dWorldDestroy(m_world);
    m_font.reset();
    AnimatedValue* values[] = {&m_globalFlareIntensity, &m_globalLightIntensity, &m_ambientIntensity,
                               &m_ambientColor[2],      &m_ambientColor[1],      &m_ambientColor[0]};
    for (AnimatedValue* value : values) value->clearChannel();
}

void LW6Scene::onLostDevice() {
    for (auto& object : m_objects) object->releaseDeviceObjects();
    for (auto& light : m_lights) light->releaseDeviceObjects();
    for (auto& camera : m_cameras) camera->releaseDeviceObjects();
}

void LW6Scene::onResetDevice() {
    for (auto& object : m_objects) object->createDeviceObjects();
    for (auto& light : m_lights) light->createDeviceObjects();
    for (auto& camera : m_cameras) camera->createDeviceObjects();
}

void LW6Scene::start(LoadingFrame* frame, float progressStart, float progressSpan) {
    Renderer* renderer = m_metaScene ? m_metaScene->m_owner : nullptr;
    if (renderer) {
        MetaScene* pool = m_metaScene;
        Light::TextureKeeper keeper = [pool](std::unique_ptr<Texture> texture) {
            return pool->addTexture(std::move(texture));
        };
        LightingOptions options = lightingOptions(*renderer, m_globalLightIntensity.evaluate(0.0));
        for (auto& item : m_lights)
            if (item->getKind() == SceneItem::KIND_LIGHT)
                static_cast<Light&>(*item).createTextures(*renderer, options, keeper);
    }
    const size_t count = m_objects.size();
    for (size_t i = 0; i < count; ++i) {
        if (frame) showLoadingProgress(frame, progressStart + float(i) * progressSpan / float(count));
        m_objects[i]->update();
    }
    if (m_backgroundImage) m_backgroundImage->load();
    computeExtent();
    invalidateItems(*this, nullptr);
}

void LW6Scene::computeExtent() {
    // The objects' caches may hold another time than the first frame.
    invalidateItems(*this, nullptr);
    const double time = m_firstFrame / m_framesPerSecond;
    bool seeded = false;
    float low[3] = {0.0f, 0.0f, 0.0f};
    float high[3] = {0.0f, 0.0f, 0.0f};
    for (auto& object : m_objects) {
        Mesh* mesh = object->getFirstMesh();
        if (!mesh) continue;
        Matrix4x3 world;
        object->getMatrix(world, time, 0);
        float corners[8][4];
        mesh->projectCorners(world, corners);
        for (const float* corner : corners) {
            for (int k = 0; k < 3; ++k) {
                low[k] = seeded ? std::min(low[k], corner[k]) : corner[k];
                high[k] = seeded ? std::max(high[k], corner[k]) : corner[k];
            }
            seeded = true;
        }
    }
    if (!seeded) return;
    const float diagonal[3] = {high[0] - low[0], high[1] - low[1], high[2] - low[2]};
    m_extent = vectorLength(diagonal);
}

void LW6Scene::render(SceneItem* camera, double time) { ScenePasses::render(*this, camera, time); }

void LW6Scene::prepareDrawList(double time, SceneItem* camera, const DrawList& list) {
    ObjectPass::drawList(*this, time, camera, list);
}

void LW6Scene::renderToTexture(bool clear, double time) { ScenePasses::renderToTexture(*this, clear, time); }

ColorRGBA LW6Scene::getAmbientColor(double time) {
    return {m_ambientColor[0].evaluate(time), m_ambientColor[1].evaluate(time), m_ambientColor[2].evaluate(time),
            1.0f};
}

dSpaceID LW6Scene::getSpace(int32_t index) const {
    if (index < 0 || index >= static_cast<int32_t>(m_spaces.size())) return nullptr;
    return m_spaces[index].space;
}

SceneObject* LW6Scene::createObject(const char* name) {
    auto object = std::make_unique<SceneObject>(this, getObjectCount());
    object->setName(name ? name : "");
    SceneObject* made = object.get();
    m_objects.push_back(std::move(object));
    return made;
}

Camera* LW6Scene::createCamera(bool makeActive) {
    auto camera = std::make_unique<Camera>(this, static_cast<int32_t>(m_cameras.size()));
    Camera* made = camera.get();
    m_cameras.push_back(std::move(camera));
    if (makeActive) m_activeCamera = made;
    return made;
}

Actor* LW6Scene::findActor(const std::string& name, int n) const {
    int seen = 0;
    for (const auto& actor : m_actors) {
        if (actor->m_name != name) continue;
        if (seen == n) return actor.get();
        ++seen;
    }
    return nullptr;
}
