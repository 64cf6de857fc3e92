#pragma once
#include <string>

struct SceneFileState;
class SceneObject;

// "Plugin" blocks of a scene file: levels of detail, the physics master
// block with its spaces, bodies, joints and geoms, particle emitters and
// their effectors, and the volumetric block.
class ScenePluginReader {
public:
    explicit ScenePluginReader(SceneFileState& state) : m_state(state) {}

    // After "Plugin": the handler class and what it carries.
    void readPlugin();
    // The master handler's block (physics spaces, or where the motion mixer is).
    void readMaster();

private:
    void readLevelsOfDetail(SceneObject* object);
    void readCustomObject();
    void readBody(SceneObject* object);
    void readJoint(SceneObject* object);
    void readGeom(SceneObject* object);
    void readEmitter(SceneObject* object);
    void readGravity(SceneObject* object);
    void readWind(SceneObject* object);
    void readCollision(SceneObject* object);
    // After a gravity or wind block: false when "PluginEnabled" switches it off.
    bool effectorKept();
    void readSpace();

    SceneFileState& m_state;
};
