#pragma once
#include <cstdint>

#include "engine/platform/Math3D.h"
#include "engine/scene/materials/TextureLayer.h"

struct MeshPolygon;
struct MeshVertex;

// The up to eight texture layers of one surface buffer, by channel, as the
// fixed-function stages take them, with the modulation shifts that keep
// bright layer and vertex colours, and the surface's base colour.
class TextureStages {
public:
    static constexpr int MAX_STAGES = 8;
    enum Channel { COLR, LUMI, DIFF, REFL, SPEC, TRAN, BUMP, CHANNELS };
    static constexpr uint32_t CHANNEL_IDS[CHANNELS] = {
        TextureLayer::CHANNEL_COLR, TextureLayer::CHANNEL_LUMI, TextureLayer::CHANNEL_DIFF,
        TextureLayer::CHANNEL_REFL, TextureLayer::CHANNEL_SPEC, TextureLayer::CHANNEL_TRAN,
        TextureLayer::CHANNEL_BUMP,
    };
    // Entry MAX_STAGES of the shifts belongs to the vertex colour.
    static constexpr int VERTEX_COLOUR_SHIFT = MAX_STAGES;

    struct Range {
        int32_t first = 0;
        int32_t count = 0;
    };

    // Writes every stage's coordinates of the polygon's vertices, starting at
    // record firstVertex (one
    // record per corner); faceNormal picks the cubic axis.
    void computeTexCoords(MeshVertex* vertices, int objectLayer, const Normal3& faceNormal,
                          const MeshPolygon& polygon, int firstVertex) const;

    int32_t count = 0;
    TextureLayer* layers[MAX_STAGES] = {};
    // 0, 1, 2: modulate by 1, 2, 4.
    int32_t colourShift[MAX_STAGES + 1] = {};
    int32_t shiftSum = 0;
    Range channels[CHANNELS];
    TextureLayer* vertexColourLayer = nullptr;
    int32_t vertexColourScale = 1;
    float colour[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    uint8_t flags[5] = {};
};
