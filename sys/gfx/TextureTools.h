#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sys/gfx/GfxTypes.h"

namespace sys::gfx {

class Device;
class Texture;

// What a picture file in memory holds.
struct ImageInfo {
    uint32_t width, height, mipLevels, format;
};

// The helper routines of the original's texture library, for the formats the engine uses.
namespace TextureTools {

// Fills every level below the first by a 2x2 box filter (32-bit formats and DXT from a 32-bit source).
bool boxFilterMips(Texture& texture);
// 32-bit A8R8G8B8 pixels to DXT1, DXT3 or DXT5 blocks (tight, four rows of pixels per block row).
bool compressDxt(const uint32_t* argb, uint32_t width, uint32_t height, uint32_t format, uint8_t* out);
// Copies a texture level into one of another format (32-bit source, 32-bit or DXT destination).
bool convertLevel(const uint32_t* argb, uint32_t width, uint32_t height, Texture& dest, uint32_t level);

// A .dds file of the texture's levels as they are stored.
bool saveDds(Texture& texture, std::vector<uint8_t>& out);
bool ddsInfo(const uint8_t* data, size_t size, ImageInfo& info);
// A managed texture with the file's levels; failure for a damaged or unknown file.
HResult loadDds(Device& device, const uint8_t* data, size_t size, Texture** texture, ImageInfo* info);

// Pictures other than DDS are decoded by the engine's own loaders, which hand
// back width x height pixels 0xAARRGGBB; false for a file they cannot read.
using ImageDecoder = bool (*)(const uint8_t* data, size_t size, std::vector<uint32_t>& pixels, uint32_t& width,
                              uint32_t& height);
void setImageDecoder(ImageDecoder decoder);
bool imageInfo(const uint8_t* data, size_t size, ImageInfo& info);
// A managed texture of the picture: DDS as stored, anything else as A8R8G8B8
// (or `format` when given) with a box-filtered mip chain of `levels` (0: all).
HResult createTextureFromMemory(Device& device, const uint8_t* data, size_t size, uint32_t levels, uint32_t format,
                                Texture** texture, ImageInfo* info);

// The effect compiler the game never ships: every compile fails.
HResult compileEffect(const char* source, size_t length, void** effect);

} // namespace TextureTools

} // namespace sys::gfx
