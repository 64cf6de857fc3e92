#pragma once
#include <cfloat>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <ode/collision_space.h>
#include <ode/common.h>

#include "engine/platform/Math3D.h"
#include "engine/platform/animation/AnimatedValue.h"
#include "engine/scene/ObjectContainer.h"
#include "engine/scene/physics/ODEJointSurface.h"
#include "engine/scene/physics/ODESpacePair.h"
#include "engine/scene/physics/SimpleSpacePairs.h"

class Actor;
class ActorTrack;
class CullingPlane;
class DrawList;
class LoadingFrame;
class MetaScene;
class ODEGeomObject;
class ParticleEffect;
class ParticleEmitter;
class Texture;

namespace sys::gfx {
class Font;
class Surface;
} // namespace sys::gfx

// One scene file in memory with its physics world: the items it owns, the
// file's scene-wide settings, the particle plug-ins, the collision spaces and
// the two per-pair policy tables the near callback consults.
class LW6Scene : public ObjectContainer {
public:
    // Surface kinds and space indices stay below this.
    static constexpr int POLICY_TABLE_SIZE = 50;

    struct Space {
        dSpaceID space = nullptr;
        std::string name;
        // The block's type (0 simple, 1 hash) and parent value.
        int32_t words[2] = {0, 0};
    };

    // A scene of no pool, drawn through `owner`.
    explicit LW6Scene(RenderView* owner);
    // A scene of the pool, drawn through the pool's renderer.
    explicit LW6Scene(MetaScene* pool);
    // Frees the plug-ins, then the contact group, the root space (with the
    // nested spaces and geoms) and the world, before the container deletes the
    // items whose user data those carried. The background image is the pool's.
    ~LW6Scene() override;

    LW6Scene* getScene() override { return this; }
    // Releases and re-creates the device objects of the objects, lights and cameras.
    virtual void onLostDevice();
    virtual void onResetDevice();
    // Draws the scene through the camera; a planar mirror calls it again from
    // inside a draw with its reflection camera, so it must be re-entrant.
    virtual void render(SceneItem* camera, double time);
    // The object pass's last step: lights, mirror scenes, then each draw.
    virtual void prepareDrawList(double time, SceneItem* camera, const DrawList& list);
    // The menu's render: it picks target, camera and time and clears first;
    // on the back buffer it draws into the renderer's view rectangle.
    void renderToTexture(bool clear, double time);

    // Light textures, the objects' first updates (bodies, geoms, joints), the
    // background image, the extent and fresh matrices. Runs again on every
    // start of the pool, so everything it calls must tolerate a second run.
    void start(LoadingFrame* frame, float progressStart, float progressSpan);
    // RGB at the time (stored back into the values), alpha 1.
    ColorRGBA getAmbientColor(double time);
    // The space at the index, or null when there is none.
    dSpaceID getSpace(int32_t index) const;

    // One collision pass: the near callback over the root space (space 0).
    void collide();
    // The engine's one near callback, for `collide`. It walks nested spaces
    // itself, each space's own pairs once a pass however many spaces it
    // meets, and asks the pair tables whether and how each pair collides.
    static void nearCallback(void* data, dGeomID o1, dGeomID o2);
    // Nested spaces whose own pairs this pass has collided already.
    std::vector<dGeomID> m_collidedSpaces;
    // Walks the simple spaces' pairs for the near callback.
    SimpleSpacePairs m_spaceWalk;
    // Contact joints the near callback made; the race frame sets it back to 0.
    static int32_t s_contactCount;

    // A probe ray of the given scale, surface kind and space, created at once.
    ODEGeomObject* createRayGeom(const float size[3], int32_t surfaceKind, int32_t spaceIndex);
    // An empty object of that name.
    SceneObject* createObject(const char* name);
    Camera* createCamera(bool makeActive);
    // The n-th (from 0) motion-mixer actor of that name, or null.
    Actor* findActor(const std::string& name, int n) const;

    double m_timeOffset = 0.0;
    // Render-to-target uses m_timeOffset as the time itself instead of as a base.
    bool m_fixedTime = false;
    std::string m_fileName;
    // Object files the scene names that did not load (missing or damaged).
    std::vector<std::string> m_unloadedObjects;
    // When set, render-to-target draws into these; not owned.
    sys::gfx::Surface* m_renderTarget = nullptr;
    sys::gfx::Surface* m_depthTarget = nullptr;
    // "BGImage"; the pool owns it like every other texture.
    Texture* m_backgroundImage = nullptr;
    ColorRGBA m_backdropColor = {0.0f, 0.0f, 0.0f, 0.0f};
    MetaScene* m_metaScene = nullptr;
    // Diagonal of the world box of all meshes at the first frame.
    float m_extent = 1.0f;
    dWorldID m_world = nullptr;
    dJointGroupID m_contactGroup = nullptr;
    float m_gravity[3] = {0.0f, -9.81f, 0.0f};

    ODEJointSurface m_defaultSurface;
    // [surface kind of the first geom][of the second]; entries are not owned.
    ODEJointSurface* m_surfaceTable[POLICY_TABLE_SIZE][POLICY_TABLE_SIZE];
    ODESpacePair m_spacePairDifferent;
    ODESpacePair m_spacePairSame;
    // [space index of the first][of the second]; entries are not owned.
    ODESpacePair* m_spacePairTable[POLICY_TABLE_SIZE][POLICY_TABLE_SIZE];
    // Entry 0 is the root space; a space's user data is its index here.
    std::vector<Space> m_spaces;

    std::vector<std::unique_ptr<ParticleEmitter>> m_emitters;
    // Gravity, wind and collision effectors.
    std::vector<std::unique_ptr<ParticleEffect>> m_effectors;
    double m_previewFirstFrame = 0.0;
    double m_previewLastFrame = 0.0;
    double m_firstFrame = 0.0;
    double m_lastFrame = 0.0;
    double m_framesPerSecond = 30.0;
    // Occluder objects; they belong to the object list.
    std::vector<CullingPlane*> m_cullingPlanes;
    // Objects whose box lies wholly below this height are not drawn: a race
    // parks what it hides far under its track. They still widen the depth range.
    float m_outOfSightBelow = -FLT_MAX;
    // The motion mixer's extra motions and actors.
    std::vector<std::unique_ptr<ActorTrack>> m_actorTracks;
    std::vector<std::unique_ptr<Actor>> m_actors;
    SceneObject* m_cameraTarget = nullptr;
    // Negative: no particle pass yet.
    double m_lastParticleTime = -1.0;
    AnimatedValue m_ambientColor[3] = {{1.0f}, {1.0f}, {1.0f}};
    AnimatedValue m_ambientIntensity{0.25f};
    AnimatedValue m_globalLightIntensity{1.0f};
    AnimatedValue m_globalFlareIntensity{1.0f};
    // Only 3 (linear) is drawn.
    int32_t m_fogType = 0;
    float m_fogMinDistance = 0.0f;
    float m_fogMaxDistance = 0.0f;
    ColorRGBA m_fogColor = {0.0f, 0.0f, 0.0f, 1.0f};
    bool m_backdropWithoutFog = false;
    int32_t m_gridNumber = 50;
    float m_gridSize = 1.0f;
    // Nesting of render: mirrors and shadow passes render inside a render.
    int32_t m_renderDepth = 0;
    std::unique_ptr<sys::gfx::Font> m_font;

private:
    void createWorld();
    void computeExtent();
};
