#include "sys/gfx/TextureTools.h"

#include <algorithm>
#include <cstring>

#define STB_DXT_IMPLEMENTATION
#include <stb_dxt.h>

#include "sys/gfx/Device.h"

namespace sys::gfx::TextureTools {

namespace {

constexpr uint32_t DDS_MAGIC = 0x20534444; // "DDS "
constexpr uint32_t HEADER_BYTES = 128;
constexpr uint32_t DDSD_CAPS = 0x1, DDSD_HEIGHT = 0x2, DDSD_WIDTH = 0x4, DDSD_PIXELFORMAT = 0x1000,
                   DDSD_MIPMAPCOUNT = 0x20000, DDSD_LINEARSIZE = 0x80000, DDSD_PITCH = 0x8;
constexpr uint32_t DDPF_ALPHAPIXELS = 0x1, DDPF_FOURCC = 0x4, DDPF_RGB = 0x40;
constexpr uint32_t MAX_LEVELS = 16;

void put(std::vector<uint8_t>& out, size_t at, uint32_t value) { std::memcpy(&out[at], &value, 4); }
uint32_t get(const uint8_t* data, size_t at) {
    uint32_t v;
    std::memcpy(&v, data + at, 4);
    return v;
}

bool is32(uint32_t format) { return format == FMT_A8R8G8B8 || format == FMT_X8R8G8B8; }

uint32_t average(const uint32_t* p, uint32_t w, uint32_t h, uint32_t x, uint32_t y) {
    uint32_t x1 = std::min(x + 1, w - 1), y1 = std::min(y + 1, h - 1);
    uint32_t samples[4] = {p[y * w + x], p[y * w + x1], p[y1 * w + x], p[y1 * w + x1]};
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t sum = 0;
        for (uint32_t s : samples) sum += (s >> shift) & 0xFF;
        out |= ((sum + 2) / 4) << shift;
    }
    return out;
}

} // namespace

bool compressDxt(const uint32_t* argb, uint32_t width, uint32_t height, uint32_t format, uint8_t* out) {
    if (format != FMT_DXT1 && format != FMT_DXT2 && format != FMT_DXT3 && format != FMT_DXT4 && format != FMT_DXT5)
        return false;
    uint32_t blockBytes = format == FMT_DXT1 ? 8 : 16;
    for (uint32_t by = 0; by < height; by += 4) {
        for (uint32_t bx = 0; bx < width; bx += 4) {
            uint8_t rgba[64];
            uint8_t alpha[16];
            for (uint32_t i = 0; i < 16; ++i) {
                uint32_t x = std::min(bx + i % 4, width - 1), y = std::min(by + i / 4, height - 1);
                uint32_t p = argb[y * width + x];
                rgba[i * 4] = uint8_t(p >> 16);
                rgba[i * 4 + 1] = uint8_t(p >> 8);
                rgba[i * 4 + 2] = uint8_t(p);
                rgba[i * 4 + 3] = uint8_t(p >> 24);
                alpha[i] = uint8_t(p >> 24);
            }
            uint8_t* block = out + ((by / 4) * ((width + 3) / 4) + bx / 4) * blockBytes;
            if (format == FMT_DXT1) {
                stb_compress_dxt_block(block, rgba, 0, STB_DXT_HIGHQUAL);
            } else if (format == FMT_DXT2 || format == FMT_DXT3) {
                // Explicit four-bit alpha, then the colour block.
                for (int i = 0; i < 8; ++i) block[i] = uint8_t((alpha[i * 2] >> 4) | (alpha[i * 2 + 1] & 0xF0));
                stb_compress_dxt_block(block + 8, rgba, 0, STB_DXT_HIGHQUAL);
            } else {
                stb_compress_dxt_block(block, rgba, 1, STB_DXT_HIGHQUAL);
            }
        }
    }
    return true;
}

bool convertLevel(const uint32_t* argb, uint32_t width, uint32_t height, Texture& dest, uint32_t level) {
    SurfaceDesc desc;
    if (dest.getLevelDesc(level, desc) != GFX_OK || desc.width != width || desc.height != height) return false;
    LockedRect locked;
    if (dest.lockRect(level, locked, nullptr, 0) != GFX_OK) return false;
    bool ok = true;
    if (is32(desc.format)) std::memcpy(locked.bits, argb, size_t(width) * height * 4);
    else ok = compressDxt(argb, width, height, desc.format, static_cast<uint8_t*>(locked.bits));
    dest.unlockRect(level);
    return ok;
}

bool boxFilterMips(Texture& texture) {
    if (!is32(texture.getFormat())) return false;
    for (uint32_t level = 1; level < texture.getLevelCount(); ++level) {
        const SurfaceDesc& src = texture.level(level - 1)->getDesc();
        const SurfaceDesc& dst = texture.level(level)->getDesc();
        const uint32_t* from = reinterpret_cast<const uint32_t*>(texture.level(level - 1)->data().data());
        std::vector<uint32_t> pixels(size_t(dst.width) * dst.height);
        for (uint32_t y = 0; y < dst.height; ++y)
            for (uint32_t x = 0; x < dst.width; ++x)
                pixels[y * dst.width + x] = average(from, src.width, src.height, std::min(x * 2, src.width - 1),
                                                    std::min(y * 2, src.height - 1));
        if (!convertLevel(pixels.data(), dst.width, dst.height, texture, level)) return false;
    }
    return true;
}

bool saveDds(Texture& texture, std::vector<uint8_t>& out) {
    uint32_t format = texture.getFormat();
    if (!is32(format) && !isCompressedFormat(format)) return false;
    const SurfaceDesc& top = texture.level(0)->getDesc();
    out.assign(HEADER_BYTES, 0);
    put(out, 0, DDS_MAGIC);
    put(out, 4, 124);
    bool compressed = isCompressedFormat(format);
    put(out, 8, DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_MIPMAPCOUNT |
                    (compressed ? DDSD_LINEARSIZE : DDSD_PITCH));
    put(out, 12, top.height);
    put(out, 16, top.width);
    put(out, 20, compressed ? uint32_t(texture.level(0)->data().size()) : formatRowBytes(format, top.width));
    put(out, 28, texture.getLevelCount());
    put(out, 76, 32);
    if (compressed) {
        put(out, 80, DDPF_FOURCC);
        put(out, 84, format);
    } else {
        put(out, 80, DDPF_RGB | (format == FMT_A8R8G8B8 ? DDPF_ALPHAPIXELS : 0));
        put(out, 88, 32);
        put(out, 92, 0x00FF0000);
        put(out, 96, 0x0000FF00);
        put(out, 100, 0x000000FF);
        put(out, 104, format == FMT_A8R8G8B8 ? 0xFF000000 : 0);
    }
    put(out, 108, 0x1000 | (texture.getLevelCount() > 1 ? 0x400008 : 0));
    for (uint32_t level = 0; level < texture.getLevelCount(); ++level) {
        const std::vector<uint8_t>& bytes = texture.level(level)->data();
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return true;
}

bool ddsInfo(const uint8_t* data, size_t size, ImageInfo& info) {
    if (!data || size < HEADER_BYTES || get(data, 0) != DDS_MAGIC || get(data, 4) != 124 || get(data, 76) != 32)
        return false;
    info.height = get(data, 12);
    info.width = get(data, 16);
    info.mipLevels = std::max(1u, get(data, 28));
    uint32_t flags = get(data, 80);
    if (flags & DDPF_FOURCC) {
        info.format = get(data, 84);
        if (!isCompressedFormat(info.format)) return false;
    } else if ((flags & DDPF_RGB) && get(data, 88) == 32 && get(data, 92) == 0x00FF0000) {
        info.format = (flags & DDPF_ALPHAPIXELS) ? FMT_A8R8G8B8 : FMT_X8R8G8B8;
    } else {
        return false;
    }
    return info.width > 0 && info.height > 0 && info.width <= Device::MAX_TEXTURE_SIDE &&
           info.height <= Device::MAX_TEXTURE_SIDE && info.mipLevels <= MAX_LEVELS;
}

HResult loadDds(Device& device, const uint8_t* data, size_t size, Texture** texture, ImageInfo* info) {
    ImageInfo found;
    if (!texture || !ddsInfo(data, size, found)) return GFXERR_INVALIDCALL;
    Texture* created = nullptr;
    HResult r = device.createTexture(found.width, found.height, found.mipLevels, 0, found.format, POOL_MANAGED, &created);
    if (r != GFX_OK) return r;
    size_t at = HEADER_BYTES;
    for (uint32_t level = 0; level < created->getLevelCount(); ++level) {
        Surface* surface = created->level(level);
        size_t bytes = surface->data().size();
        // A cut-off file fails instead of reading past its end.
        if (at + bytes > size) {
            created->release();
            return GFXERR_INVALIDCALL;
        }
        LockedRect locked;
        created->lockRect(level, locked, nullptr, 0);
        std::memcpy(locked.bits, data + at, bytes);
        created->unlockRect(level);
        at += bytes;
    }
    found.mipLevels = created->getLevelCount();
    if (info) *info = found;
    *texture = created;
    return GFX_OK;
}

namespace {
ImageDecoder g_decoder = nullptr;
}

void setImageDecoder(ImageDecoder decoder) { g_decoder = decoder; }

bool imageInfo(const uint8_t* data, size_t size, ImageInfo& info) {
    if (ddsInfo(data, size, info)) return true;
    std::vector<uint32_t> pixels;
    if (!g_decoder || !g_decoder(data, size, pixels, info.width, info.height)) return false;
    info.mipLevels = 1;
    info.format = FMT_A8R8G8B8;
    return true;
}

HResult createTextureFromMemory(Device& device, const uint8_t* data, size_t size, uint32_t levels, uint32_t format,
                                Texture** texture, ImageInfo* info) {
    ImageInfo found;
    if (ddsInfo(data, size, found)) return loadDds(device, data, size, texture, info);
    std::vector<uint32_t> pixels;
    if (!texture || !g_decoder || !g_decoder(data, size, pixels, found.width, found.height) ||
        pixels.size() != size_t(found.width) * found.height)
        return GFXERR_INVALIDCALL;
    if (format == FMT_UNKNOWN) format = FMT_A8R8G8B8;
    if (!is32(format) && !isCompressedFormat(format)) return GFXERR_INVALIDCALL;
    // Mips are filtered in 32 bits, then compressed level by level when asked.
    Texture* full = nullptr;
    HResult r = device.createTexture(found.width, found.height, levels, 0, FMT_A8R8G8B8, POOL_SCRATCH, &full);
    if (r != GFX_OK) return r;
    convertLevel(pixels.data(), found.width, found.height, *full, 0);
    boxFilterMips(*full);
    Texture* out = full;
    if (format != FMT_A8R8G8B8) {
        r = device.createTexture(found.width, found.height, full->getLevelCount(), 0, format, POOL_MANAGED, &out);
        if (r != GFX_OK) {
            full->release();
            return r;
        }
        for (uint32_t level = 0; level < out->getLevelCount(); ++level) {
            const SurfaceDesc& d = full->level(level)->getDesc();
            convertLevel(reinterpret_cast<const uint32_t*>(full->level(level)->data().data()), d.width, d.height, *out,
                         level);
        }
        full->release();
    }
    found.mipLevels = out->getLevelCount();
    found.format = format;
    if (info) *info = found;
    *texture = out;
    return GFX_OK;
}

HResult compileEffect(const char* source, size_t length, void** effect) {
    if (effect) *effect = nullptr;
    return GFXERR_NOTAVAILABLE;
}

} // namespace sys::gfx::TextureTools
