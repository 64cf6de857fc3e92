#pragma once
#include <cstdint>

#include "engine/platform/animation/AnimatedValue.h"

class Image;

// The pixel work of building textures, apart from any device: sizes, the
// picture-to-texel sampling, mip filtering, normal maps and the generated
// pictures. Texels are 0xAARRGGBB.
namespace textureimaging {

// Texture flag bits as the loaders set them.
enum : uint32_t {
    SCRATCH_BUILD = 0x1,
    MIP_CHAIN = 0x2,
    NEEDS_COLOUR = 0x4,
    TRANSPARENCY_MAP = 0x8,
    NORMAL_MAP = 0x10,
    KEEP_SIZE = 0x40,
    DYNAMIC = 0x80,
    NEVER_SHIFTED = 0x100,
    ONE_BIT_ALPHA = 0x200,
};

struct Size {
    uint32_t width, height;
};

// The texture size for a picture: powers of two (width at least 128) unless
// kept, shrunk by the size shift (0 or negative), clamped to the device.
Size textureSize(int32_t pictureWidth, int32_t pictureHeight, uint32_t flags, bool nonPowerOfTwo, int32_t sizeShift,
                 uint32_t maxWidth, uint32_t maxHeight);

// Fills width x height texels from the picture by nearest-neighbour steps.
// A transparency map turns grey into alpha; an alpha picture (indexed at the
// picture's coordinates; outside it a texel stays opaque) masks the alpha;
// else alphaMode 0 keeps the pixel, 1 makes it opaque, 2 shows its alpha as grey.
void sampleImage(const Image& picture, const Image* alphaPicture, int32_t alphaMode, uint32_t flags, uint32_t* texels,
                 uint32_t width, uint32_t height);

// One mip level from the one above by a 2 x 2 filter weighted by transparency.
void transparencyMipLevel(const uint32_t* source, uint32_t sourceWidth, uint32_t sourceHeight, uint32_t* target,
                          uint32_t targetWidth, uint32_t targetHeight);

// Heights (grey) into normals, in place; pitch in texels. Sizes are powers of two.
void normalMapLevel(uint32_t* texels, uint32_t width, uint32_t height, uint32_t pitch);

// Smooth noise in (-1, 1] between lattice values at the integers.
double valueNoise1D(double x);

// A lens-flare element picture (kinds 0 to 4) texel; kinds above 4 are not drawn.
uint32_t flareTexel(int kind, uint32_t x, uint32_t y, uint32_t width, uint32_t height);

// The spot-cone picture texel; angles in radians.
uint32_t spotTexel(float brightness, float edgeWidth, float coneAngle, uint32_t x, uint32_t y, uint32_t width,
                   uint32_t height);

// The frame of an image sequence for a time; the index counts from the first
// frame and may lie beyond the last for the unwrapped modes.
uint32_t sequenceFrame(float frameRate, double time, uint32_t offset, uint32_t first, uint32_t last, int32_t mode);

// The 1024 texels of a gradient: the end of the input range at texel 0.
static constexpr uint32_t GRADIENT_TEXELS = 1024;
void gradientTexels(float start, float end, AnimatedValue values[4], bool transparencyChannel, uint32_t* texels);

} // namespace textureimaging
