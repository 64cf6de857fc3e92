#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/platform/Math3D.h"
#include "engine/scene/TextureLayer.h"

// The up to eight texture layers of one surface buffer, by channel, as the
// fixed-function stages take them, with the modulation shifts that keep
// bright layer and vertex colours, and the surface's base colour.
struct TextureStages {
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

    // One polygon of an object layer: its corners' point indices and its index
    // in the layer (for the per-polygon vertex-map entries).
    struct Polygon {
        int32_t vertexCount;
        const uint32_t* points;
        int32_t index;
    };

    // The mesh's vertex records: position (three floats) at offset 0, the
    // diffuse RGBA (four floats) and one (u, v, w) per stage at the offsets.
    struct VertexRecords {
        uint8_t* data;
        size_t stride;
        size_t colourOffset;
        size_t texCoordOffset;

        float* position(int vertex) const { return reinterpret_cast<float*>(data + stride * vertex); }
        float* colour(int vertex) const { return reinterpret_cast<float*>(data + stride * vertex + colourOffset); }
        float* texCoord(int vertex, int stage) const {
            return reinterpret_cast<float*>(data + stride * vertex + texCoordOffset) + stage * 3;
        }
    };

    // Writes every stage's coordinates of the polygon's vertices, starting at
    // record firstVertex; faceNormal picks the cubic axis.
    void computeTexCoords(const VertexRecords& vertices, int objectLayer, const Normal3& faceNormal,
                          const Polygon& polygon, int firstVertex) const;

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
