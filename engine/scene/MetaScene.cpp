#include "engine/scene/MetaScene.h"

#include "engine/platform/Texture.h"
#include "engine/scene/Surface.h"

MetaScene::MetaScene(Renderer* owner) : m_owner(owner) {}

// Surfaces go first: their layers point at the pool's textures.
MetaScene::~MetaScene() {
    m_surfaces.clear();
    m_textures.clear();
}

Texture* MetaScene::findTexture(const std::string& name, uint32_t flags) {
    for (const std::unique_ptr<Texture>& texture : m_textures) {
        if (texture->getName() != name) continue;
        texture->setFlags(texture->getFlags() | (flags & ~3u));
        return texture.get();
    }
    return nullptr;
}

void MetaScene::addTexture(Texture* texture) { m_textures.emplace_back(texture); }

Surface* MetaScene::findSurface(const std::string& key) const {
    for (const std::unique_ptr<Surface>& surface : m_surfaces)
        if (surface->getName() == key) return surface.get();
    return nullptr;
}

void MetaScene::addSurface(Surface* surface) { m_surfaces.emplace_back(surface); }
