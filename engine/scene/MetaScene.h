#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Renderer;
class Surface;
class Texture;

// The resource pool that objects loaded into one scene share. For now only
// the textures and surfaces the object loader files; the rest of the pool
// comes with the scene.
class MetaScene {
public:
    explicit MetaScene(Renderer* owner = nullptr);
    ~MetaScene();
    MetaScene(const MetaScene&) = delete;
    MetaScene& operator=(const MetaScene&) = delete;

    // The texture of that name, with the flags from bit 2 up ORed into it;
    // null when there is none.
    Texture* findTexture(const std::string& name, uint32_t flags);
    // The pool owns the texture from then on.
    void addTexture(Texture* texture);

    Surface* findSurface(const std::string& key) const;
    // The pool owns the surface from then on.
    void addSurface(Surface* surface);

    // The renderer the pool's scenes draw through; not owned.
    Renderer* m_owner;
    std::vector<std::unique_ptr<Texture>> m_textures;
    std::vector<std::unique_ptr<Surface>> m_surfaces;
};
