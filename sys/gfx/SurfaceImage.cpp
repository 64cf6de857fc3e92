#include "sys/gfx/SurfaceImage.h"

#include "sys/gfx/Surface.h"

// Kept private to this file, so the tests' own copies do not clash with it.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace sys::gfx {

bool readSurface(Surface& surface, RgbImage& out) {
    const SurfaceDesc& desc = surface.getDesc();
    LockedRect locked{};
    if (surface.lockRect(locked, nullptr, LOCK_READONLY) != GFX_OK || !locked.bits) return false;
    out.width = desc.width;
    out.height = desc.height;
    out.rgb.assign(size_t(desc.width) * desc.height * 3, 0);
    for (uint32_t y = 0; y < desc.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.bits) + size_t(y) * locked.pitch);
        uint8_t* dest = &out.rgb[size_t(y) * desc.width * 3];
        for (uint32_t x = 0; x < desc.width; ++x) {
            uint32_t p = row[x];
            dest[x * 3] = uint8_t(p >> 16);
            dest[x * 3 + 1] = uint8_t(p >> 8);
            dest[x * 3 + 2] = uint8_t(p);
        }
    }
    surface.unlockRect();
    return true;
}

bool writePng(const RgbImage& image, const std::string& path) {
    if (image.width == 0 || image.height == 0 || image.rgb.size() < size_t(image.width) * image.height * 3) return false;
    return stbi_write_png(path.c_str(), int(image.width), int(image.height), 3, image.rgb.data(), int(image.width * 3)) != 0;
}

} // namespace sys::gfx
