#include "engine/platform/images/GeneratedTexture.h"

#include "sys/gfx/Texture.h"

using sys::gfx::GFX_OK;
using sys::gfx::LockedRect;
using sys::gfx::FMT_A8R8G8B8;

namespace {
const char* const FLARE_NAMES[5] = {"(flare)", "(flare BRIGHTCTR)", "(flare EVENCTR)", "(flare DIMCTR)",
                                    "(flare RING)"};
}

std::unique_ptr<Texture> GeneratedTexture::clone() { return std::make_unique<GeneratedTexture>(*this); }

template <typename TexelFn>
void GeneratedTexture::build(const char* name, TexelFn texel, bool fill) {
    m_format = FMT_A8R8G8B8;
    create(MIP_CHAIN | NEEDS_COLOUR, SIDE, SIDE, name);
    sys::gfx::Texture* texture = getD3DTexture();
    LockedRect locked;
    if (fill && texture && texture->lockRect(0, locked, nullptr, 0) == GFX_OK) {
        for (uint32_t y = 0; y < SIDE; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) + size_t(y) * locked.pitch);
            for (uint32_t x = 0; x < SIDE; ++x) row[x] = texel(x, y);
        }
        texture->unlockRect(0);
    }
    commit();
}

void GeneratedTexture::buildFlare(int kind) {
    const bool known = kind >= 0 && kind <= 4;
    build("", [kind](uint32_t x, uint32_t y) { return textureimaging::flareTexel(kind, x, y, SIDE, SIDE); }, known);
    if (known) m_name = FLARE_NAMES[kind];
}

void GeneratedTexture::buildSpot(float brightness, float edgeWidth, float coneAngle) {
    build("(Spot)",
          [=](uint32_t x, uint32_t y) {
              return textureimaging::spotTexel(brightness, edgeWidth, coneAngle, x, y, SIDE, SIDE);
          },
          true);
}
