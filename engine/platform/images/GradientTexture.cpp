#include "engine/platform/images/GradientTexture.h"

#include "sys/gfx/Texture.h"

using sys::gfx::GFX_OK;
using sys::gfx::LockedRect;
using sys::gfx::FMT_A8R8G8B8;

GradientTexture::GradientTexture(DeviceList* owner, GradientSource* layer)
    : Texture(owner, SCRATCH_BUILD | MIP_CHAIN), m_layer(layer) {}

std::unique_ptr<Texture> GradientTexture::clone() { return std::make_unique<GradientTexture>(*this); }

void GradientTexture::build() {
    if (!m_layer) return;
    m_format = FMT_A8R8G8B8;
    create(0, textureimaging::GRADIENT_TEXELS, 1, "(gradient texture)");
    sys::gfx::Texture* texture = getD3DTexture();
    LockedRect locked;
    if (!texture || texture->lockRect(0, locked, nullptr, 0) != GFX_OK) return;
    // Evaluated through copies that share the layer's envelopes; the values keep their last result as the layer's do.
    AnimatedValue values[4];
    for (int k = 0; k < 4; ++k) values[k] = m_layer->getGradientValue(k);
    textureimaging::gradientTexels(m_layer->getGradientStart(), m_layer->getGradientEnd(), values,
                                   m_layer->isTransparencyChannel(), static_cast<uint32_t*>(locked.bits));
    for (int k = 0; k < 4; ++k) m_layer->getGradientValue(k).constant = values[k].constant;
    texture->unlockRect(0);
    commit();
}
