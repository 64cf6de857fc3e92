#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/scene/editing/PlacementHelper.h"

class LW6Scene;
class LWObjectFile;
class LoadingFrame;
class Renderer;
class Surface;
class Texture;

// The named pool of what several scenes share: textures, surfaces and object
// files, and the scenes themselves. It starts its scenes, carries them and
// their resources through device loss, and destroys everything at the end.
class MetaScene {
public:
    explicit MetaScene(Renderer* owner = nullptr);
    MetaScene(Renderer* owner, const char* name);
    // Scenes first, then object files, surfaces and textures: each goes
    // before what it points at.
    ~MetaScene();
    MetaScene(const MetaScene&) = delete;
    MetaScene& operator=(const MetaScene&) = delete;

    // The texture of that name, with the flags from bit 2 up ORed into it;
    // null when there is none.
    Texture* findTexture(const std::string& name, uint32_t flags);
    // The pool owns the texture from then on; hands it back.
    Texture* addTexture(std::unique_ptr<Texture> texture);

    Surface* findSurface(const std::string& key) const;
    // The pool owns the surface from then on; hands it back.
    Surface* addSurface(std::unique_ptr<Surface> surface);

    // The pool owns the scene from then on.
    void registerScene(LW6Scene* scene);
    // Builds every texture, then starts every scene, with progress from 0.7
    // to 1.0 on the frame when one is given.
    void start(LoadingFrame* frame);
    void onLostDevice();
    // Default device states first, then scenes, textures and meshes.
    void onResetDevice();

    LWObjectFile* findObjectFile(const std::string& name) const;
    // The pool owns the file from then on.
    void addObjectFile(LWObjectFile* file);
    // With `force`, builds the textures of the file's layers once; marks them built.
    void buildTextures(LWObjectFile& file, bool force);

    // The renderer the pool's scenes draw through; not owned.
    Renderer* m_owner;
    std::vector<std::unique_ptr<Texture>> m_textures;
    std::vector<std::unique_ptr<Surface>> m_surfaces;
    std::string m_name;
    std::vector<std::unique_ptr<LW6Scene>> m_scenes;
    struct ObjectFileEntry {
        std::unique_ptr<LWObjectFile> file;
        bool texturesBuilt;
    };
    std::vector<ObjectFileEntry> m_objectFiles;
    // Cleared for scenes nobody will see (a race run without drawing): the
    // textures then stay unloaded, and their pictures unread.
    bool m_loadsTextures = true;
    // Asked by the placement helper whether a path or move is blocked; owned.
    std::unique_ptr<PlacementHelper::CollisionTester> m_collisionTester;

private:
    uint32_t stageCount() const;
};
