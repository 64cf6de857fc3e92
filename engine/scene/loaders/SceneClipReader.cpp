#include "engine/scene/loaders/SceneClipReader.h"

#include "engine/platform/images/ImageTexture.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/loaders/SceneFileState.h"
#include "engine/scene/loaders/SceneFileTokens.h"

Texture* SceneClipReader::stillTexture(std::string name) {
    // "D:pics/sky.png" means "D:/pics/sky.png"; a name that already has its
    // separator is left alone, or it would never be found.
    name = SceneFileState::withDriveSeparator(name, '/');
    uint32_t flags = name.find("_nodxt") != std::string::npos ? 2u : 3u;
    MetaScene* pool = m_state.scene.m_metaScene;
    if (Texture* known = pool->findTexture(name, flags)) return known;
    auto texture = std::make_unique<ImageTexture>(m_state.devices());
    texture->setSource(name.c_str(), &m_state.fileSystem, true);
    texture->setFlags(flags);
    return pool->addTexture(std::move(texture));
}

Texture* SceneClipReader::readClip() {
    SceneFileTokens& tokens = m_state.tokens;
    bool opened = std::string(tokens.peek()) == "{";
    if (tokens.readKeyword() != "Clip") {
        if (opened) tokens.skipBlock();
        return nullptr;
    }
    Texture* texture = nullptr;
    while (!tokens.atEnd() && std::string(tokens.peek()) != "}") {
        bool nested = std::string(tokens.peek()) == "{";
        std::string key = tokens.readKeyword();
        if (key == "Still") {
            texture = stillTexture(tokens.readString());
            tokens.skip();
        } else if (key == "Sequence") {
            tokens.skip(9);
        } else if (key == "Flags" || key == "Negative") {
            tokens.skip();
        } else if (key == "Times") {
            tokens.skip(2);
            float rate = tokens.readFloat32();
            tokens.skip(2);
            if (texture) texture->m_frameRate = rate;
        } else if (nested) {
            tokens.skipBlock();
        } else if (std::string(tokens.peek()) == "{") {
            tokens.skip();
            tokens.skipBlock();
        }
    }
    tokens.skip();
    return texture;
}
