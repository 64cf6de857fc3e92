#include "engine/platform/images/Texture.h"

#include <algorithm>
#include <cstring>

#include "engine/platform/Report.h"
#include "engine/platform/animation/Envelope.h"
#include "engine/platform/display/DeviceList.h"
#include "engine/platform/display/FormatRequest.h"
#include "sys/gfx/Device.h"
#include "sys/gfx/TextureTools.h"

using sys::gfx::GFX_OK;
using sys::gfx::LockedRect;
using sys::gfx::SurfaceDesc;
using sys::gfx::FMT_A8R8G8B8;
using sys::gfx::FMT_X8R8G8B8;
using sys::gfx::FMT_UNKNOWN;
using sys::gfx::POOL_SCRATCH;
using sys::gfx::POOL_MANAGED;
using sys::gfx::POOL_DEFAULT;
using sys::gfx::USAGE_DYNAMIC;
using sys::gfx::LOCK_READONLY;
using sys::gfx::Device;
using sys::gfx::formatRowBytes;
using sys::gfx::formatRowCount;

namespace {

size_t deviceCount(const DeviceList* owner) { return owner ? owner->m_devices.size() : 0; }

// Copies an animated value so that each texture owns the envelope it deletes;
// a mixer cannot be copied and leaves the copy its last value.
AnimatedValue copyValue(const AnimatedValue& value) {
    AnimatedValue copy{value.constant, nullptr};
    if (value.channel && value.channel->asEnvelope()) copy.channel = new Envelope(*value.channel->asEnvelope());
    return copy;
}

// Copies the rows of a locked level between two pitches, as many bytes a row as the format stores.
void copyRows(const LockedRect& from, const LockedRect& to, uint32_t format, uint32_t width, uint32_t height) {
    const uint32_t rowBytes = formatRowBytes(format, width), rows = formatRowCount(format, height);
    for (uint32_t row = 0; row < rows; ++row)
        std::memcpy(static_cast<uint8_t*>(to.bits) + size_t(row) * to.pitch,
                    static_cast<const uint8_t*>(from.bits) + size_t(row) * from.pitch, rowBytes);
}

} // namespace

Texture::Texture(DeviceList* owner, uint32_t flags)
    : m_owner(owner), m_format(FMT_A8R8G8B8), m_pool(POOL_MANAGED),
      m_ownedTextures(deviceCount(owner)), m_boundTextures(deviceCount(owner), nullptr), m_flags(flags) {
    m_gamma.constant = 1.0f;
}

Texture::Texture(const Texture& other)
    : m_owner(other.m_owner), m_name(other.m_name), m_alphaTexture(other.m_alphaTexture),
      m_alphaMode(other.m_alphaMode), m_frameRate(other.m_frameRate), m_heightScale(other.m_heightScale),
      m_hue(copyValue(other.m_hue)), m_brightness(copyValue(other.m_brightness)),
      m_contrast(copyValue(other.m_contrast)), m_saturation(copyValue(other.m_saturation)),
      m_gamma(copyValue(other.m_gamma)), m_width(other.m_width), m_height(other.m_height), m_depth(other.m_depth),
      m_format(other.m_format), m_pool(other.m_pool), m_levelCount(other.m_levelCount),
      m_ownedTextures(deviceCount(other.m_owner)), m_boundTextures(deviceCount(other.m_owner), nullptr),
      m_flags(other.m_flags) {}

Texture::~Texture() {
    releaseDeviceTextures();
    for (AnimatedValue* value : {&m_hue, &m_brightness, &m_contrast, &m_saturation, &m_gamma}) value->clearChannel();
}

void Texture::releaseDeviceTextures() {
    for (size_t i = 0; i < m_ownedTextures.size(); ++i) {
        m_ownedTextures[i].reset();
        m_boundTextures[i] = nullptr;
    }
}

sys::gfx::Device* Texture::firstDevice() const {
    return m_owner && !m_owner->m_devices.empty() && !m_ownedTextures.empty() ? m_owner->m_devices[0] : nullptr;
}

void Texture::adoptFirstTexture(Ref<sys::gfx::Texture> texture) {
    if (m_ownedTextures.empty()) return;
    m_boundTextures[0] = texture;
    m_ownedTextures[0] = std::move(texture);
}

sys::gfx::Texture* Texture::getTexture(double) {
    if (!m_owner) return nullptr;
    const size_t index = static_cast<size_t>(m_owner->m_currentDeviceIndex);
    return index < m_boundTextures.size() ? m_boundTextures[index] : nullptr;
}

void Texture::setFlags(uint32_t flags) { m_flags = flags; }

sys::gfx::Surface* Texture::getRenderSurface() {
    sys::gfx::Texture* first = getD3DTexture();
    return first && m_pool == POOL_DEFAULT ? first->getSurfaceLevel(0) : nullptr;
}

Image* Texture::loadSourceImage() { return nullptr; }

sys::gfx::Texture* Texture::getD3DTexture() { return m_ownedTextures.empty() ? nullptr : m_ownedTextures[0]; }

void Texture::preload() {
    for (sys::gfx::Texture* texture : m_boundTextures)
        if (texture) texture->preLoad();
}

void Texture::create(uint32_t flags, uint32_t width, uint32_t height, const std::string& name) {
    // A second build replaces the first instead of leaking it.
    releaseDeviceTextures();
    m_levelCount = 0;
    if (m_name.empty() && !name.empty()) m_name = name;
    m_width = width;
    m_height = height;
    m_depth = 1;
    m_flags = flags;
    m_pool = (flags & SCRATCH_BUILD) ? POOL_SCRATCH : POOL_MANAGED;
    uint32_t usage = 0;
    if (flags & DYNAMIC) {
        m_pool = POOL_DEFAULT;
        usage = USAGE_DYNAMIC;
    }
    Device* device = firstDevice();
    if (!device) return;
    const uint32_t levels = (flags & MIP_CHAIN) ? 0 : 1;
    Ref<sys::gfx::Texture> texture;
    if (device->createTexture(width, height, levels, usage, m_format, m_pool, texture.out()) != GFX_OK) {
        m_flags |= SCRATCH_BUILD;
        m_pool = POOL_SCRATCH;
        if (device->createTexture(width, height, levels, 0, m_format, m_pool, texture.out()) != GFX_OK) return;
    }
    m_levelCount = texture->getLevelCount();
    adoptFirstTexture(std::move(texture));
}

void Texture::chooseFormat() {
    if (m_flags & SCRATCH_BUILD) {
        FormatRequest request;
        const uint32_t colour = ((m_flags & NEEDS_COLOUR) || !(m_flags & TRANSPARENCY_MAP)) ? 5 : 0;
        uint32_t alpha = m_alphaMode == 0 ? 1 : 0;
        if (m_flags & ONE_BIT_ALPHA) alpha = 1;
        else if ((m_flags & TRANSPARENCY_MAP) || m_alphaTexture) alpha = 4;
        const uint32_t weights[4] = {alpha, colour, colour, colour};
        for (int c = 0; c < 4; ++c) {
            request.m_weight[c] = weights[c];
            request.m_minimum[c] = weights[c] ? 1 : 0;
            request.m_maximum[c] = 0x20220;
        }
        request.m_requiredFlags = 0;
        request.m_allowedFlags = 1;
        request.prefer(0x40);
        request.prefer(0x20);
        request.prefer(0x10);
        const FormatDesc* fdesc =
            m_owner && m_owner->m_adapter ? request.chooseBest(m_owner->m_adapter->m_textureFormats) : nullptr;
        ENGINE_ASSERT(fdesc != 0 && "device does not support appropriate texture formats!");
        m_format = fdesc ? fdesc->format : FMT_UNKNOWN;
    }
    m_pool = (m_flags & DYNAMIC) ? POOL_DEFAULT : POOL_MANAGED;
}

void Texture::commit() {
    sys::gfx::Texture* first = getD3DTexture();
    if (first && m_levelCount > 1) {
        if (m_alphaTexture) filterTransparencyMips();
        else sys::gfx::TextureTools::boxFilterMips(*first);
    }
    if (m_flags & NORMAL_MAP) buildNormalMap();
    chooseFormat();
    if (m_flags & SCRATCH_BUILD) convertScratchTexture();
    copyToOtherDevices();
}

void Texture::filterTransparencyMips() {
    sys::gfx::Texture* first = getD3DTexture();
    for (uint32_t level = 1; level < m_levelCount; ++level) {
        SurfaceDesc above, below;
        if (first->getLevelDesc(level - 1, above) != GFX_OK || first->getLevelDesc(level, below) != GFX_OK ||
            above.format != FMT_A8R8G8B8 || below.format != FMT_A8R8G8B8)
            continue;
        LockedRect source, target;
        if (first->lockRect(level - 1, source, nullptr, LOCK_READONLY) != GFX_OK) continue;
        if (first->lockRect(level, target, nullptr, 0) != GFX_OK) {
            first->unlockRect(level - 1);
            continue;
        }
        // The filter reads and writes tight rows; go through buffers when the device pads them.
        std::vector<uint32_t> from(size_t(above.width) * above.height), to(size_t(below.width) * below.height);
        copyRows(source, {int32_t(above.width * 4), from.data()}, FMT_A8R8G8B8, above.width, above.height);
        textureimaging::transparencyMipLevel(from.data(), above.width, above.height, to.data(), below.width,
                                             below.height);
        copyRows({int32_t(below.width * 4), to.data()}, target, FMT_A8R8G8B8, below.width, below.height);
        first->unlockRect(level);
        first->unlockRect(level - 1);
    }
}

void Texture::buildNormalMap() {
    sys::gfx::Texture* first = getD3DTexture();
    if (!first) return;
    for (uint32_t level = 0; level < m_levelCount; ++level) {
        SurfaceDesc desc;
        LockedRect locked;
        if (first->getLevelDesc(level, desc) != GFX_OK || (desc.format != FMT_A8R8G8B8 && desc.format != FMT_X8R8G8B8))
            continue;
        if (first->lockRect(level, locked, nullptr, 0) != GFX_OK) continue;
        // Rows advance by the locked pitch, which a device may pad beyond width x 4.
        textureimaging::normalMapLevel(static_cast<uint32_t*>(locked.bits), desc.width, desc.height,
                                       uint32_t(locked.pitch) / 4);
        first->unlockRect(level);
    }
    m_format = FMT_A8R8G8B8;
}

void Texture::convertScratchTexture() {
    sys::gfx::Texture* scratch = getD3DTexture();
    Device* device = firstDevice();
    if (!scratch || !device) return;
    Ref<sys::gfx::Texture> converted;
    if (device->createTexture(m_width, m_height, m_levelCount, 0, m_format, m_pool, converted.out()) != GFX_OK) return;
    bool ok = converted->getLevelCount() == scratch->getLevelCount();
    for (uint32_t level = 0; ok && level < m_levelCount; ++level) {
        SurfaceDesc desc;
        LockedRect source;
        ok = scratch->getLevelDesc(level, desc) == GFX_OK && desc.format == FMT_A8R8G8B8 &&
             scratch->lockRect(level, source, nullptr, LOCK_READONLY) == GFX_OK;
        if (!ok) break;
        std::vector<uint32_t> texels(size_t(desc.width) * desc.height);
        copyRows(source, {int32_t(desc.width * 4), texels.data()}, FMT_A8R8G8B8, desc.width, desc.height);
        scratch->unlockRect(level);
        ok = sys::gfx::TextureTools::convertLevel(texels.data(), desc.width, desc.height, *converted, level);
    }
    // A format the conversion cannot write leaves the scratch texture in use.
    if (!ok) {
        m_format = scratch->getFormat();
        m_pool = POOL_SCRATCH;
        return;
    }
    adoptFirstTexture(std::move(converted));
}

void Texture::copyToOtherDevices() {
    sys::gfx::Texture* first = getD3DTexture();
    if (!first) return;
    const size_t count = std::min(m_owner->m_devices.size(), m_ownedTextures.size());
    for (size_t i = 1; i < count; ++i) {
        m_boundTextures[i] = nullptr;
        Ref<sys::gfx::Texture>& copy = m_ownedTextures[i];
        if (!m_owner->m_devices[i] ||
            m_owner->m_devices[i]->createTexture(m_width, m_height, m_levelCount, 0, m_format, m_pool, copy.out()) != GFX_OK)
            continue;
        m_boundTextures[i] = copy;
        copyLevels(*first, 0, *copy);
    }
}

void Texture::copyLevels(sys::gfx::Texture& from, uint32_t first, sys::gfx::Texture& to) {
    for (uint32_t level = 0; level < to.getLevelCount() && first + level < from.getLevelCount(); ++level) {
        SurfaceDesc source, target;
        LockedRect read, written;
        if (from.getLevelDesc(first + level, source) != GFX_OK || to.getLevelDesc(level, target) != GFX_OK ||
            source.width != target.width || source.height != target.height || source.format != target.format)
            continue;
        if (from.lockRect(first + level, read, nullptr, LOCK_READONLY) != GFX_OK) continue;
        if (to.lockRect(level, written, nullptr, 0) == GFX_OK) {
            // Sized from the format, so block-compressed levels copy their block rows only.
            copyRows(read, written, source.format, source.width, source.height);
            to.unlockRect(level);
        }
        from.unlockRect(first + level);
    }
}
