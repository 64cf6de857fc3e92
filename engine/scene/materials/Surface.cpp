#include "engine/scene/materials/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/scene/materials/TextureLayer.h"
#include "engine/scene/mesh/ColorMap.h"
#include "engine/scene/mesh/MeshPolygon.h"
#include "engine/scene/mesh/MeshVertex.h"

namespace {

constexpr float DEFAULT_COLOUR = 200.0f / 255.0f;

float smoothingCosine(double angle) { return static_cast<float>(std::cos(angle) - 1e-6); }

} // namespace

Surface::Surface(MetaScene* owner, const std::string& name)
    : m_smoothingCosine(smoothingCosine(SMOOTHING_THRESHOLD)), m_owner(owner), m_name(name) {
    for (AnimatedValue& value : m_colour) value.constant = DEFAULT_COLOUR;
    m_diffuse.constant = 1.0f;
    m_glossiness.constant = 0.4f;
    m_refractiveIndex.constant = 1.0f;
    m_bump.constant = 1.0f;
}

Surface::~Surface() {
    m_textureLayers.clear();
    m_vertexColourLayers.clear();
    AnimatedValue* values[] = {&m_bump, &m_colourHighlights, &m_refractiveIndex, &m_reflectivity,
                               &m_additiveTransparency, &m_glossiness, &m_specularity, &m_diffuse,
                               &m_luminosity, &m_colour[2], &m_colour[1], &m_colour[0], &m_transparency};
    for (AnimatedValue* value : values) value->clearChannel();
}

void Surface::setSmoothingAngle(float radians) {
    if (!(radians > SMOOTHING_THRESHOLD)) return;
    m_smoothing = true;
    m_smoothingCosine = smoothingCosine(radians);
}

void Surface::addTextureLayer(std::unique_ptr<TextureLayer> layer) {
    if (!layer || !layer->m_enabled) return;
    if (layer->m_kind == TextureLayer::KIND_VERTEX_COLOUR)
        m_vertexColourLayers.push_back(std::move(layer));
    else if (layer->m_texture)
        m_textureLayers.push_back(std::move(layer));
}

TextureLayer* Surface::findTextureLayer(uint32_t channel, int n) const {
    for (const std::unique_ptr<TextureLayer>& layer : m_textureLayers) {
        if (layer->m_channel != channel || !layer->m_enabled || !layer->m_texture) continue;
        if (--n == 0) return layer.get();
    }
    return nullptr;
}

ColorRGBA Surface::getColorAt(double time) {
    return {m_colour[0].evaluate(time) * m_colourScale[0], m_colour[1].evaluate(time) * m_colourScale[1],
            m_colour[2].evaluate(time) * m_colourScale[2], 1.0f};
}

bool Surface::isTransparentAt(double time) {
    // Written as "not equal" so that a NaN value counts as transparent.
    if (m_additiveTransparency.evaluate(time) != 0.0f) return true;
    if (m_transparency.evaluate(time) != 0.0f) return true;
    return findTextureLayer(TextureLayer::CHANNEL_TRAN, 1) != nullptr;
}

void Surface::buildTextureStages(TextureStages& stages, int deviceStages) {
    stages = TextureStages();
    const int available = std::min(std::max(deviceStages, 0), TextureStages::MAX_STAGES);
    const int hasSpec = findTextureLayer(TextureLayer::CHANNEL_SPEC, 1) ? 1 : 0;
    const int hasTran = findTextureLayer(TextureLayer::CHANNEL_TRAN, 1) ? 1 : 0;
    for (int channel = 0; channel < TextureStages::CHANNELS; ++channel) {
        int limit = available;
        if (channel <= TextureStages::SPEC) limit -= hasTran;
        if (channel < TextureStages::SPEC) limit -= hasSpec;
        TextureStages::Range& range = stages.channels[channel];
        range.first = stages.count;
        // Layers beyond the limit are skipped; the walk ends with the list.
        for (int n = 1;; ++n) {
            TextureLayer* layer = findTextureLayer(TextureStages::CHANNEL_IDS[channel], n);
            if (!layer) break;
            if (stages.count >= limit) continue;
            stages.layers[stages.count++] = layer;
        }
        range.count = stages.count - range.first;
    }

    const TextureStages::Range& colr = stages.channels[TextureStages::COLR];
    for (int s = colr.first; s < colr.first + colr.count; ++s) {
        const float level = std::fabs(stages.layers[s]->m_rgbLevel);
        stages.colourShift[s] = level >= 3.0f ? 2 : level >= 1.5f ? 1 : 0;
        stages.shiftSum += stages.colourShift[s];
    }

    for (const std::unique_ptr<TextureLayer>& layer : m_vertexColourLayers) {
        if (layer->m_channel == TextureLayer::CHANNEL_COLR || layer->m_channel == TextureLayer::CHANNEL_DIFF) {
            stages.vertexColourLayer = layer.get();
            break;
        }
    }
    stages.vertexColourScale = 1;

    const ColorRGBA colour = getColorAt(0.0);
    stages.colour[0] = colour.r;
    stages.colour[1] = colour.g;
    stages.colour[2] = colour.b;
    stages.colour[3] = 1.0f;

    const float reflectivity = m_reflectivity.evaluate(0.0);
    if (reflectivity != 0.0f && m_reflectionMode == REFLECT_MIRROR) {
        stages.colour[3] = 1.0f - reflectivity;
        return;
    }
    if (!isTransparentAt(0.0)) return;
    stages.colour[3] = 1.0f - m_additiveTransparency.evaluate(0.0);
    const TextureStages::Range& tran = stages.channels[TextureStages::TRAN];
    // A transparency layer that does more than multiply supplies the alpha itself.
    if (tran.count > 0 && stages.layers[tran.first]->m_opacityType != TextureLayer::OPACITY_MULTIPLY) return;
    const float keep = 1.0f - m_transparency.evaluate(0.0);
    for (float& component : stages.colour) component *= keep;
}

void Surface::applyVertexColors(const MeshPolygon& polygon, TextureStages& stages, int objectLayer,
                                MeshVertex* vertices, int firstVertex) const {
    TextureLayer* layer = stages.vertexColourLayer;
    if (!layer) return;
    const uint32_t corners = polygon.vertexCount();
    const ColorMap* map = static_cast<const ColorMap*>(layer->getColourMap(objectLayer));
    if (!map) {
        for (uint32_t i = 0; i < corners; ++i) {
            float* colour = vertices[firstVertex + i].colour;
            colour[0] = colour[1] = colour[2] = 0.0f;
            colour[3] = 1.0f;
        }
        return;
    }

    const float opacity = layer->m_opacity.evaluate(0.0);
    float level = layer->m_rgbLevel;
    float offset = layer->m_rgbOffset;
    if (layer->m_negative) {
        level = -level;
        offset = 1.0f - offset;
    }
    const DiscontinuousEntry* entry = nullptr;
    if (polygon.number >= 0 && size_t(polygon.number) < map->m_polygonEntries.size())
        entry = &map->m_polygonEntries[polygon.number];

    float brightest = 0.0f;
    for (uint32_t i = 0; i < corners; ++i) {
        const uint32_t point = polygon.points[i];
        const float* value = nullptr;
        if (size_t(point) * 4 + 4 <= map->m_values.size()) value = &map->m_values[size_t(point) * 4];
        if (entry) {
            for (size_t k = 0; k < entry->points.size() && (k + 1) * 4 <= entry->values.size(); ++k)
                if (entry->points[k] == point) value = &entry->values[k * 4];
        }
        static const float NO_VALUE[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        if (!value) value = NO_VALUE;
        float* colour = vertices[firstVertex + i].colour;
        for (int c = 0; c < 3; ++c) {
            colour[c] = (value[c] * level + offset) * opacity + stages.colour[c] * (1.0f - opacity);
            brightest = std::max(brightest, colour[c]);
        }
        colour[3] = map->m_hasAlpha ? value[3] * opacity + stages.colour[3] * (1.0f - opacity) : stages.colour[3];
    }

    if (layer->m_clamp) return;
    // Brighter than one: raise the COLR stages' modulation from the last, then the vertex colour's own.
    const TextureStages::Range& colr = stages.channels[TextureStages::COLR];
    const auto tooBright = [&] { return brightest - 1e-6f > float(stages.vertexColourScale); };
    bool raised = true;
    const auto raise = [&](int shift) {
        while (stages.colourShift[shift] < 2 && tooBright()) {
            ++stages.colourShift[shift];
            ++stages.shiftSum;
            stages.vertexColourScale *= 2;
            raised = true;
        }
    };
    while (tooBright() && raised) {
        if (stages.shiftSum >= 2 * colr.count + 2) break;
        raised = false;
        for (int s = colr.first + colr.count - 1; s >= colr.first; --s) raise(s);
        raise(TextureStages::VERTEX_COLOUR_SHIFT);
    }
}
