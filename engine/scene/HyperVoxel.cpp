#include "engine/scene/HyperVoxel.h"

#include "engine/scene/TextureLayer.h"

HyperVoxel::HyperVoxel(Renderer* renderer) : m_renderer(renderer) {}

HyperVoxel::~HyperVoxel() {
    m_layers.clear();
    forEachValue([](AnimatedValue& value) { value.clearChannel(); });
}

template <typename Visit> void HyperVoxel::forEachValue(Visit visit) {
    for (AnimatedValue* value : {&m_dissolve, &m_particleSize, &m_sizeVariation, &m_luminosity, &m_opacity,
                                 &m_density, &m_color[0], &m_color[1], &m_color[2], &m_nearClip, &m_stretchAmount,
                                 &m_textureAmplitude})
        visit(*value);
}

void HyperVoxel::evaluate(double time) {
    forEachValue([time](AnimatedValue& value) { value.evaluate(time); });
}
