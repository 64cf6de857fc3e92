#include "engine/platform/images/ImageTexture.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "engine/platform/Report.h"
#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/platform/archive/ReadAheadFile.h"
#include "engine/platform/archive/SharedFile.h"
#include "engine/platform/display/DeviceList.h"
#include "engine/platform/images/ImageLoaders.h"
#include "engine/platform/images/TextureCopyRecord.h"
#include "sys/files/PlainFile.h"
#include "sys/gfx/Device.h"
#include "sys/gfx/TextureTools.h"

using sys::gfx::GFX_OK;
using sys::gfx::LockedRect;
using sys::gfx::SurfaceDesc;
using sys::gfx::FMT_A8R8G8B8;
using sys::gfx::FMT_DXT1;
using sys::gfx::FMT_A1R5G5B5;
using sys::gfx::LOCK_READONLY;
using sys::gfx::Device;
using sys::gfx::formatRowBytes;
using sys::gfx::formatRowCount;
using sys::gfx::ImageInfo;
using sys::gfx::PTEXTURECAPS_NONPOW2CONDITIONAL;

namespace {

// The log gets the message with a line end of its own; the report keeps the message's.
void reportTextureFault(const char* format, const std::string& name) {
    const ByteBuffer text = formatString(format, name.c_str());
    std::string line = text.text();
    while (!line.empty() && line.back() == '\n') line.pop_back();
    g_logStream << line << std::endl;
    reportError(text.text());
}

uint32_t deviceLimit(uint32_t side) { return side ? side : Device::MAX_TEXTURE_SIDE; }

} // namespace

ImageTexture::ImageTexture(DeviceList* owner) : Texture(owner, SCRATCH_BUILD | MIP_CHAIN) {}

ImageTexture::ImageTexture(const ImageTexture& other)
    : Texture(other), m_fileSource(other.m_fileSource), m_bottomUp(other.m_bottomUp), m_ddsExists(other.m_ddsExists) {}

ImageTexture::~ImageTexture() = default;

std::unique_ptr<Texture> ImageTexture::clone() { return std::make_unique<ImageTexture>(*this); }

bool ImageTexture::setSource(const char* name, File* file, bool bottomUp) {
    // Pictures load late, after set-up's reading ahead: they read the archive itself.
    if (auto* ahead = dynamic_cast<ReadAheadFile*>(file)) file = &ahead->origin();
    m_fileSource.reset();
    if (file && file == g_textureFileSource.m_file && g_textureFileSource.m_holder)
        m_fileSource = Ref<SharedFile>::share(g_textureFileSource.m_holder);
    else if (file)
        m_fileSource = Ref<SharedFile>::make(*file);
    m_name = name ? name : "";
    m_bottomUp = bottomUp;
    const std::string dds = m_name + ".dds";
    File* source = m_fileSource ? m_fileSource->getFile() : nullptr;
    // The copy a build wrote lives in the cache, whatever the pictures are read through.
    DiskFile disk("");
    m_ddsExists = (source && source->exists(dds.c_str())) || disk.exists(cachePath(dds).c_str());
    return m_ddsExists || (source && source->exists(m_name.c_str()));
}

Ref<FileData> ImageTexture::loadSourceBytes() const {
    return Ref<FileData>::adopt(m_fileSource ? loadFileData(m_name.c_str(), m_fileSource->getFile()) : nullptr);
}

Image* ImageTexture::loadSourceImage() {
    if (!m_fileSource) return nullptr;
    return loadImage(m_name.c_str(), m_fileSource->getFile(), m_bottomUp);
}

void ImageTexture::load() {
    if (m_loaded) return;
    m_loaded = true;
    const std::string dds = m_name + ".dds";
    File* source = m_fileSource ? m_fileSource->getFile() : nullptr;
    // A copy that comes with the pictures is the finished texture as it stands.
    if (m_ddsExists && source && source->exists(dds.c_str())) {
        if (!loadFromDds(Ref<FileData>::adopt(loadFileData(dds.c_str(), source))))
            reportTextureFault("Loading texture \"%s\" from .dds-file failed!!!\n", m_name);
        return;
    }
    TextureCopyRecord record;
    hashStoredPictures(record);
    std::optional<bool> recorded;
    if (m_ddsExists && loadCachedCopy(record, recorded)) return;
    if (!recorded) recorded = makeRecord(record);
    loadFromImage(*recorded ? &record : nullptr);
}

std::string ImageTexture::cacheFolder() {
    // A relative path is no cache home by the XDG rules.
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && cache[0] == '/')
        return std::string(cache) + "/plimzor2";
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = getpwuid(getuid());
        home = user ? user->pw_dir : nullptr;
    }
    if (home && *home) return std::string(home) + "/.cache/plimzor2";
    // Nobody's home: below the working directory, where the copies used to go.
    return ".cache/plimzor2";
}

std::string ImageTexture::cachePath(const std::string& name) {
    const size_t colon = name.rfind(':');
    std::string path = colon == std::string::npos ? name : name.substr(colon + 1);
    std::replace(path.begin(), path.end(), '\\', '/');
    // Only the name's own folders: "." and ".." would lead out of the cache.
    std::string mirrored = cacheFolder();
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (!part.empty() && part != "." && part != "..") mirrored += "/" + part;
        start = end + 1;
    }
    return mirrored;
}

bool ImageTexture::makeRecord(TextureCopyRecord& record) const {
    const Ref<FileData> picture = loadSourceBytes();
    if (!picture) return false;
    const Ref<FileData> alphaPicture = m_alphaTexture && m_alphaTexture->typeId() == IMAGE
                                           ? static_cast<const ImageTexture*>(m_alphaTexture)->loadSourceBytes()
                                           : nullptr;
    return TextureCopyRecord::make(*picture, alphaPicture, record);
}

bool ImageTexture::readStored(ByteBuffer& bytes) const {
    auto* archive = m_fileSource ? dynamic_cast<DataArchive*>(m_fileSource->getFile()) : nullptr;
    return archive && archive->readStored(m_name.c_str(), bytes);
}

bool ImageTexture::hashStoredPictures(TextureCopyRecord& record) const {
    ByteBuffer picture, alphaPicture;
    if (!readStored(picture)) return false;
    std::vector<const ByteBuffer*> stored{&picture};
    if (m_alphaTexture && m_alphaTexture->typeId() == IMAGE) {
        if (!static_cast<const ImageTexture*>(m_alphaTexture)->readStored(alphaPicture)) return false;
        stored.push_back(&alphaPicture);
    }
    return TextureCopyRecord::hashStored(stored, record.storedHash);
}

bool ImageTexture::loadCachedCopy(TextureCopyRecord& record, std::optional<bool>& recorded) {
    DiskFile disk("");
    Ref<FileData> copy = Ref<FileData>::adopt(loadFileData(cachePath(m_name + ".dds").c_str(), &disk));
    TextureCopyRecord stored;
    // An older copy without a record, or one of other pictures, is built again.
    if (!copy || !TextureCopyRecord::read(copy->getData(), copy->getSize(), stored)) return false;
    if (stored.sameStored(record)) return loadFromDds(std::move(copy));
    recorded = makeRecord(record);
    if (!*recorded || !(stored == record)) return false;
    // Known by its pictures' bytes only: the stored hash saves unpacking them next time.
    if (record.knowsStored()) {
        std::vector<uint8_t> bytes(copy->getData(), copy->getData() + copy->getSize());
        if (record.write(bytes)) storeCopy(bytes);
    }
    return loadFromDds(std::move(copy));
}

bool ImageTexture::loadFromDds(Ref<FileData> data) {
    if (!data) return false;
    Device* device = firstDevice();
    ImageInfo info{};
    if (!device || !sys::gfx::TextureTools::ddsInfo(data->getData(), data->getSize(), info)) return false;
    if (m_name == "D:/Brastow/onscreendisplays/Tarvek_HUD.bmp" ||
        m_name == "D:/Brastow/onscreendisplays/Tarvek_HUD_opmap.bmp")
        m_flags |= NEVER_SHIFTED;
    if ((m_flags & TRANSPARENCY_MAP) && (info.format == FMT_DXT1 || info.format == FMT_A1R5G5B5))
        m_flags |= ONE_BIT_ALPHA;
    chooseFormat();
    Ref<sys::gfx::Texture> texture;
    const bool ok =
        sys::gfx::TextureTools::loadDds(*device, data->getData(), data->getSize(), texture.out(), &info) == GFX_OK;
    data.reset();
    if (!ok) return false;
    releaseDeviceTextures();
    // The file holds the finished texture: no filtering, normal map or conversion.
    m_levelCount = texture->getLevelCount();
    adoptFirstTexture(std::move(texture));
    shrinkToDevice();
    copyToOtherDevices();
    return true;
}

bool ImageTexture::shrinkToDevice() {
    sys::gfx::Texture* texture = getD3DTexture();
    SurfaceDesc top;
    if (!texture || texture->getLevelDesc(0, top) != GFX_OK) return false;
    const uint32_t maxWidth = deviceLimit(m_owner->m_activeCaps.maxTextureWidth);
    const uint32_t maxHeight = deviceLimit(m_owner->m_activeCaps.maxTextureHeight);
    uint32_t drop = 0;
    if (!(m_flags & NEVER_SHIFTED) && m_owner->m_textureSizeShift < 0)
        drop = uint32_t(std::min(-m_owner->m_textureSizeShift, 31));
    while (drop < 31 && ((top.width >> drop) > maxWidth || (top.height >> drop) > maxHeight)) ++drop;
    // Only whole mip levels are dropped, so a single-level texture keeps its size.
    const uint32_t levels = texture->getLevelCount();
    drop = std::min(drop, levels - 1);
    const uint32_t kept = (m_flags & MIP_CHAIN) ? levels - drop : 1;
    Ref<sys::gfx::Texture> smaller;
    SurfaceDesc first;
    const bool shrunk =
        kept != levels && texture->getLevelDesc(drop, first) == GFX_OK &&
        firstDevice()->createTexture(first.width, first.height, kept, 0, top.format, top.pool, smaller.out()) == GFX_OK;
    if (shrunk) {
        copyLevels(*texture, drop, *smaller);
        texture = smaller;
        adoptFirstTexture(std::move(smaller));
    }
    SurfaceDesc desc;
    texture->getLevelDesc(0, desc);
    m_width = desc.width;
    m_height = desc.height;
    m_depth = 1;
    m_format = desc.format;
    m_levelCount = texture->getLevelCount();
    return shrunk;
}

void ImageTexture::loadFromImage(const TextureCopyRecord* record) {
    const Ref<Image> picture = Ref<Image>::adopt(loadSourceImage());
    if (!picture || !picture->getPixels()) {
        reportTextureFault("Missing texture \"%s\" !!!\n", m_name);
        return;
    }
    if (!firstDevice()) return;
    Ref<Image> alphaPicture;
    if (m_alphaTexture) {
        alphaPicture = Ref<Image>::adopt(m_alphaTexture->loadSourceImage());
        if (!alphaPicture || !alphaPicture->getPixels()) {
            alphaPicture.reset();
            reportTextureFault("Missing alpha texture \"%s\" !!!\n", m_alphaTexture->getName());
        }
    }
    // The copy on disk is built unshifted, so every run shrinks it alike and none rewrites it.
    const bool nonPowerOfTwo = (m_owner->m_activeCaps.textureCaps & PTEXTURECAPS_NONPOW2CONDITIONAL) != 0;
    const textureimaging::Size size =
        textureimaging::textureSize(picture->getWidth(), picture->getHeight(), m_flags, nonPowerOfTwo, 0,
                                    deviceLimit(m_owner->m_activeCaps.maxTextureWidth),
                                    deviceLimit(m_owner->m_activeCaps.maxTextureHeight));
    m_format = FMT_A8R8G8B8;
    create(m_flags, size.width, size.height, "");
    sys::gfx::Texture* texture = getD3DTexture();
    LockedRect locked;
    const bool filled = texture && texture->lockRect(0, locked, nullptr, 0) == GFX_OK;
    if (filled) {
        std::vector<uint32_t> texels(size_t(size.width) * size.height);
        textureimaging::sampleImage(*picture, alphaPicture, m_alphaMode, m_flags, texels.data(), size.width,
                                    size.height);
        for (uint32_t row = 0; row < size.height; ++row)
            std::copy_n(texels.data() + size_t(row) * size.width, size.width,
                        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) + size_t(row) * locked.pitch));
        texture->unlockRect(0);
        if (alphaPicture) m_alphaMode = 0;
    }
    if (!filled) return;
    commit();
    writeCache(record);
    if (shrinkToDevice()) copyToOtherDevices();
}

void ImageTexture::writeCache(const TextureCopyRecord* record) {
    sys::gfx::Texture* texture = getD3DTexture();
    std::vector<uint8_t> bytes;
    if (!texture || !sys::gfx::TextureTools::saveDds(*texture, bytes)) return;
    // Without a record the copy is built again next time, which is what it should be.
    if (record) record->write(bytes);
    storeCopy(bytes);
}

void ImageTexture::storeCopy(const std::vector<uint8_t>& bytes) const {
    const std::string path = cachePath(m_name + ".dds");
    std::string why;
    if (!sys::replaceableByFile(path, why)) return;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    // Written aside and renamed, so a game starting meanwhile never reads half a copy.
    const std::string part = path + "." + std::to_string(getpid());
    DiskFile out("");
    if (!out.create(part.c_str())) return;
    const bool complete = out.write(bytes.data(), uint32_t(bytes.size())) == int32_t(bytes.size());
    out.close();
    if (!complete || std::rename(part.c_str(), path.c_str()) != 0) std::remove(part.c_str());
}
