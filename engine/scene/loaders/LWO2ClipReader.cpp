#include "engine/scene/loaders/LWO2ClipReader.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/platform/Report.h"
#include "engine/platform/archive/File.h"
#include "engine/platform/images/ImageTexture.h"
#include "engine/platform/images/SequenceTexture.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/loaders/LWO2Reader.h"
#include "engine/scene/loaders/LWO2State.h"

namespace {

// A frame number zero-padded to `digits`, however many that is.
std::string frameNumber(uint32_t number, int digits) {
    std::vector<char> text(static_cast<size_t>(digits) + 12);
    std::snprintf(text.data(), text.size(), "%0*u", digits, number);
    return text.data();
}

} // namespace

std::string LWO2ClipReader::imagePath(const std::string& name, const char* separators) {
    std::string path = name;
    if (path.size() >= 3 && path[1] == ':' && !std::strchr(separators, path[2])) path.insert(2, "/");
    return path;
}

uint32_t LWO2ClipReader::stillFlags(const std::string& name) {
    uint32_t flags = Texture::SCRATCH_BUILD | Texture::MIP_CHAIN;
    if (name.find("_nodxt") != std::string::npos) flags = Texture::MIP_CHAIN;
    if (name.find("_noscale") != std::string::npos) flags = Texture::KEEP_SIZE;
    return flags;
}

void LWO2ClipReader::read(uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    uint32_t clip = reader.readU4();
    ENGINE_ASSERT(clip < LWO2State::MAXTEXS && "ERROR: more textures than defined in LW6Scene::MAXTEXS!");
    if (clip >= LWO2State::MAXTEXS) return;
    Texture* current = nullptr;
    while (reader.position() + 6 <= end) {
        uint32_t id = reader.readID4();
        uint32_t subEnd = reader.endOf(reader.readU2(), end);
        switch (id) {
        case lwoId("STIL"): current = m_state.m_textures[clip] = readStill(subEnd); break;
        case lwoId("ISEQ"): current = m_state.m_textures[clip] = readSequence(subEnd); break;
        case lwoId("XREF"): readReference(clip, subEnd); break;
        default:
            if (current) readSetting(id, *current);
            break;
        }
        reader.seek(subEnd);
    }
}

Texture* LWO2ClipReader::readStill(uint32_t end) {
    std::string name;
    m_state.m_reader.readS0(name, end);
    name = imagePath(name, "/");
    uint32_t flags = stillFlags(name);
    if (Texture* known = m_state.m_pool->findTexture(name, flags)) return known;
    auto image = std::make_unique<ImageTexture>(m_state.m_devices);
    image->setSource(name.c_str(), m_state.m_fileSystem, true);
    image->setFlags(flags);
    return m_state.m_pool->addTexture(std::move(image));
}

Texture* LWO2ClipReader::readSequence(uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    int digits = reader.readU1();
    reader.readU1();
    uint32_t offset = reader.readU2();
    reader.readU2();
    uint32_t first = reader.readU2();
    uint32_t last = reader.readU2();
    std::string prefix, suffix;
    reader.readS0(prefix, end);
    reader.readS0(suffix, end);
    // An end before the start names no frame at all.
    if (last < first) return nullptr;
    auto frameName = [&](uint32_t k) { return imagePath(prefix + frameNumber(k, digits) + suffix, "/\\"); };
    std::string firstName = frameName(first);
    if (Texture* known = m_state.m_pool->findTexture(firstName, Texture::SCRATCH_BUILD | Texture::MIP_CHAIN)) return known;

    auto made = std::make_unique<SequenceTexture>(m_state.m_devices);
    SequenceTexture* sequence = made.get();
    m_state.m_pool->addTexture(std::move(made));
    sequence->m_name = firstName;
    sequence->m_first = first;
    sequence->m_last = last;
    sequence->m_offset = offset;
    sequence->m_frames.resize(last - first + 1);
    // Sequences are timed in LightWave's default frame rate.
    m_state.m_scene->m_framesPerSecond = 30.0;
    File* files = m_state.m_fileSystem;
    for (uint32_t k = first; k <= last; ++k) {
        std::string name = frameName(k);
        if (!files || !(files->exists(name.c_str()) || files->exists((name + ".dds").c_str()))) continue;
        auto frame = std::make_unique<ImageTexture>(m_state.m_devices);
        frame->setSource(name.c_str(), files, true);
        frame->setFlags(Texture::SCRATCH_BUILD);
        sequence->m_frames[k - first] = std::move(frame);
    }
    return sequence;
}

void LWO2ClipReader::readReference(uint32_t clip, uint32_t end) {
    uint32_t referenced = m_state.m_reader.readU4();
    std::string name;
    m_state.m_reader.readS0(name, end);
    Texture* original = m_state.texture(referenced);
    std::unique_ptr<Texture> copy = original ? original->clone() : nullptr;
    if (copy) copy->m_name = name;
    m_state.m_textures[clip] = copy ? m_state.m_pool->addTexture(std::move(copy)) : nullptr;
}

void LWO2ClipReader::readSetting(uint32_t id, Texture& texture) {
    LWO2Reader& reader = m_state.m_reader;
    switch (id) {
    case lwoId("FLAG"): {
        uint32_t bits = reader.readU4();
        for (auto [bit, mode] : {std::pair{1u, 1}, {2u, 2}, {4u, 4}, {0x100u, 256}})
            if (bits & bit) texture.m_sequenceMode = mode;
        break;
    }
    case lwoId("TIME"):
        reader.readF4();
        reader.readF4();
        texture.m_frameRate = reader.readF4();
        break;
    case lwoId("AMOD"): texture.m_alphaMode = reader.readU2(); break;
    case lwoId("HUE "): m_state.readValue(texture.m_hue); break;
    case lwoId("BRIT"): m_state.readValue(texture.m_brightness); break;
    case lwoId("CONT"): m_state.readValue(texture.m_contrast); break;
    case lwoId("SATR"): m_state.readValue(texture.m_saturation); break;
    case lwoId("GAMM"): m_state.readValue(texture.m_gamma); break;
    default: break;
    }
}
