#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/scene/BoundingBox.h"

// The renderable mesh of one object layer. Only what the scene items read so
// far: its layer number and the triangle arrays a physics geom is built from;
// the buffers, surfaces, bones and drawing come with the object loader.
class Mesh : public BoundingBox {
public:
    // One vertex record: position (three floats) first, then colour and texture coordinates.
    static constexpr int VERTEX_SIZE = 224;

    using BoundingBox::BoundingBox;

    Mesh* getMesh() override { return this; }
    void init(bool first) override {}
    void draw(double time, SceneObject* object, SceneItem* viewer) override {}
    // Builds polygon lists and buffers once; geoms call it before reading the arrays.
    virtual void prepare(bool geometry, bool buffers) {}

    Position3 m_pivot = {0.0f, 0.0f, 0.0f};
    int32_t m_layerNumber = 0;
    // vertexCount records of VERTEX_SIZE bytes.
    std::vector<uint8_t> m_vertices;
    int32_t m_vertexCount = 0;
    // Three 32-bit indices per triangle.
    std::vector<uint32_t> m_indices;
    int32_t m_indexCount = 0;
};
