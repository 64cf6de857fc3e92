#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <ode/collision_space.h>

#include "engine/scene/ODEJointSurface.h"
#include "engine/scene/ODESpacePair.h"
#include "engine/scene/ObjectContainer.h"

// The loaded scene. Only what the items and the collision policies need so
// far: the policy tables and the collision spaces; the world, the file's
// settings, the loader and the passes come with the scene itself.
class LW6Scene : public ObjectContainer {
public:
    // Surface kinds and space indices stay below this.
    static constexpr int POLICY_TABLE_SIZE = 50;

    struct Space {
        dSpaceID space = nullptr;
        std::string name;
        int32_t words[2] = {0, 0};
    };

    explicit LW6Scene(RenderView* owner);
    // Destroys the root space, and with it the nested spaces and geoms, before
    // the container deletes the items whose user data they carry.
    ~LW6Scene() override;

    LW6Scene* getScene() override { return this; }
    // Draws the scene through the camera; a planar mirror calls it again from
    // inside a draw with its reflection camera, so it must be re-entrant.
    virtual void render(SceneItem* camera, double time) {}
    // The space at the index, or null when there is none.
    dSpaceID getSpace(int32_t index) const;

    ODEJointSurface m_defaultSurface;
    // [surface kind of the first geom][of the second]; entries are not owned.
    ODEJointSurface* m_surfaceTable[POLICY_TABLE_SIZE][POLICY_TABLE_SIZE];
    ODESpacePair m_spacePairDifferent;
    ODESpacePair m_spacePairSame;
    // [space index of the first][of the second]; entries are not owned.
    ODESpacePair* m_spacePairTable[POLICY_TABLE_SIZE][POLICY_TABLE_SIZE];
    // Entry 0 is the root space; a space's user data is its index here.
    std::vector<Space> m_spaces;
};
