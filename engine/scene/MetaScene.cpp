#include "engine/scene/MetaScene.h"

#include <algorithm>

#include "engine/platform/gui/LoadingFrame.h"
#include "engine/platform/images/Texture.h"
#include "engine/render/Renderer.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/materials/TextureLayer.h"
#include "engine/scene/mesh/LWObjectFile.h"
#include "engine/scene/mesh/Mesh.h"
#include "sys/gfx/Device.h"

namespace gfx = sys::gfx;

MetaScene::MetaScene(Renderer* owner) : m_owner(owner) {}

MetaScene::MetaScene(Renderer* owner, const char* name) : m_owner(owner), m_name(name ? name : "") {}

MetaScene::~MetaScene() {
    if (gfx::Device* device = m_owner ? m_owner->m_currentDevice : nullptr)
        for (uint32_t stage = 0; stage < stageCount(); ++stage) device->setTexture(stage, nullptr);
    // Scenes hold lights' and backdrops' textures and meshes of the object
    // files; meshes point at surfaces, surfaces' layers at textures.
    m_scenes.clear();
    m_objectFiles.clear();
    m_surfaces.clear();
    m_textures.clear();
    m_collisionTester.reset();
}

uint32_t MetaScene::stageCount() const {
    return m_owner ? std::min(m_owner->m_activeCaps.maxSimultaneousTextures, gfx::MAX_STAGES) : 0;
}

void MetaScene::registerScene(LW6Scene* scene) {
    m_scenes.emplace_back(scene);
    scene->m_metaScene = this;
}

void MetaScene::start(LoadingFrame* frame) {
    const size_t textureCount = m_loadsTextures ? m_textures.size() : 0;
    for (size_t i = 0; i < textureCount; ++i) {
        if (frame) showLoadingProgress(frame, 0.7f + 0.02f * float(i) / float(textureCount));
        m_textures[i]->load();
        m_textures[i]->preload();
    }
    for (ObjectFileEntry& entry : m_objectFiles) entry.texturesBuilt = true;
    const size_t sceneCount = m_scenes.size();
    for (size_t i = 0; i < sceneCount; ++i)
        m_scenes[i]->start(frame, 0.72f + 0.28f * float(i) / float(sceneCount), 0.28f / float(sceneCount));
    if (frame) showLoadingProgress(frame, 1.0f);
}

void MetaScene::onLostDevice() {
    for (auto& scene : m_scenes) scene->onLostDevice();
    for (auto& texture : m_textures) texture->onLostDevice();
    for (ObjectFileEntry& entry : m_objectFiles)
        for (auto& mesh : entry.file->m_meshes)
            if (mesh) mesh->releaseDeviceObjects();
}

void MetaScene::onResetDevice() {
    if (gfx::Device* device = m_owner ? m_owner->m_currentDevice : nullptr) {
        device->setRenderState(gfx::RS_CULLMODE, gfx::CULL_CCW);
        device->setRenderState(gfx::RS_ZENABLE, 1);
        device->setRenderState(gfx::RS_ZFUNC, gfx::CMP_LESSEQUAL);
        device->setRenderState(gfx::RS_ZWRITEENABLE, 1);
        device->setRenderState(gfx::RS_CLIPPING, 1);
        device->setRenderState(gfx::RS_COLORVERTEX, 1);
        device->setRenderState(gfx::RS_DIFFUSEMATERIALSOURCE, gfx::MCS_MATERIAL);
        device->setRenderState(gfx::RS_AMBIENTMATERIALSOURCE, gfx::MCS_MATERIAL);
        device->setRenderState(gfx::RS_SPECULARMATERIALSOURCE, gfx::MCS_MATERIAL);
        device->setRenderState(gfx::RS_EMISSIVEMATERIALSOURCE, gfx::MCS_MATERIAL);
        device->setRenderState(gfx::RS_NORMALIZENORMALS, 1);
        for (uint32_t stage = 0; stage < stageCount(); ++stage) {
            device->setSamplerState(stage, gfx::SAMP_MIPFILTER, gfx::TEXF_LINEAR);
            device->setSamplerState(stage, gfx::SAMP_MINFILTER, gfx::TEXF_ANISOTROPIC);
            device->setSamplerState(stage, gfx::SAMP_MAGFILTER, gfx::TEXF_LINEAR);
            device->setSamplerState(stage, gfx::SAMP_ADDRESSU, gfx::TADDRESS_WRAP);
            device->setSamplerState(stage, gfx::SAMP_ADDRESSV, gfx::TADDRESS_WRAP);
            device->setSamplerState(stage, gfx::SAMP_ADDRESSW, gfx::TADDRESS_WRAP);
            device->setTextureStageState(stage, gfx::TSS_COLOROP, gfx::TOP_DISABLE);
            device->setTextureStageState(stage, gfx::TSS_ALPHAOP, gfx::TOP_DISABLE);
            device->setTextureStageState(stage, gfx::TSS_RESULTARG, gfx::TA_CURRENT);
        }
    }
    for (auto& scene : m_scenes) scene->onResetDevice();
    for (auto& texture : m_textures) texture->onResetDevice();
    for (ObjectFileEntry& entry : m_objectFiles)
        for (auto& mesh : entry.file->m_meshes)
            if (mesh) mesh->createDeviceObjects();
}

LWObjectFile* MetaScene::findObjectFile(const std::string& name) const {
    for (const ObjectFileEntry& entry : m_objectFiles)
        if (entry.file->m_name == name) return entry.file.get();
    return nullptr;
}

void MetaScene::addObjectFile(LWObjectFile* file) { m_objectFiles.push_back({std::unique_ptr<LWObjectFile>(file), false}); }

void MetaScene::buildTextures(LWObjectFile& file, bool force) {
    auto entry = std::find_if(m_objectFiles.begin(), m_objectFiles.end(),
                              [&file](const ObjectFileEntry& e) { return e.file.get() == &file; });
    if (entry == m_objectFiles.end()) return;
    if (force && !entry->texturesBuilt && m_loadsTextures) {
        for (Surface* surface : file.m_surfaces) {
            if (!surface) continue;
            for (auto& layer : surface->m_textureLayers)
                if (layer->m_texture) layer->m_texture->load();
        }
    }
    entry->texturesBuilt = true;
}

Texture* MetaScene::findTexture(const std::string& name, uint32_t flags) {
    for (const std::unique_ptr<Texture>& texture : m_textures) {
        if (texture->getName() != name) continue;
        texture->setFlags(texture->getFlags() | (flags & ~3u));
        return texture.get();
    }
    return nullptr;
}

Texture* MetaScene::addTexture(std::unique_ptr<Texture> texture) {
    return m_textures.emplace_back(std::move(texture)).get();
}

Surface* MetaScene::findSurface(const std::string& key) const {
    for (const std::unique_ptr<Surface>& surface : m_surfaces)
        if (surface->getName() == key) return surface.get();
    return nullptr;
}

Surface* MetaScene::addSurface(std::unique_ptr<Surface> surface) {
    return m_surfaces.emplace_back(std::move(surface)).get();
}
