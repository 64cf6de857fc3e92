#pragma once

struct MeshBuildData;

// Turns a mesh's build data into the scene's collision data; the mesh keeps
// what it makes and hands it back when it goes.
class MeshCollisionBuilder {
public:
    virtual ~MeshCollisionBuilder() = default;
    virtual void* build(const MeshBuildData& data) = 0;
    virtual void release(void* collisionObject) = 0;
};
