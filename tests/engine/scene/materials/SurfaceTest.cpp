#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/platform/display/DeviceList.h"
#include "engine/platform/images/GeneratedTexture.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/materials/TextureLayer.h"
#include "engine/scene/mesh/ColorMap.h"
#include "engine/scene/mesh/MeshPolygon.h"
#include "engine/scene/mesh/MeshVertex.h"

namespace {

class SurfaceTest : public ::testing::Test {
protected:
    TextureLayer* add(uint32_t channel, float rgbLevel = 1.0f) {
        auto layer = std::make_unique<TextureLayer>();
        layer->m_kind = TextureLayer::KIND_IMAGE;
        layer->m_channel = channel;
        layer->m_rgbLevel = rgbLevel;
        layer->m_texture = &texture;
        TextureLayer* kept = layer.get();
        surface.addTextureLayer(std::move(layer));
        return kept;
    }
    // A vertex-colour layer over a colour map of one point in object layer 0.
    TextureLayer* addVertexColours(float r, float g, float b) {
        auto layer = std::make_unique<TextureLayer>();
        layer->m_kind = TextureLayer::KIND_VERTEX_COLOUR;
        layer->m_channel = TextureLayer::CHANNEL_COLR;
        auto* map = new ColorMap("colours", 1, false);
        map->m_values = {r, g, b, 1.0f};
        layer->m_colourMaps.push_back(Ref<VertexMap>::adopt(map));
        TextureLayer* kept = layer.get();
        surface.addTextureLayer(std::move(layer));
        return kept;
    }
    float paintOnePoint(TextureStages& stages) {
        MeshPolygon polygon;
        polygon.points = {0};
        MeshVertex vertex{};
        surface.applyVertexColors(polygon, stages, 0, &vertex, 0);
        return vertex.colour[0];
    }

    DeviceList devices;
    GeneratedTexture texture{&devices, 0};
    Surface surface{nullptr, "object@paint"};
};

TEST_F(SurfaceTest, SmoothingStartsAboveTwoDegrees) {
    EXPECT_FLOAT_EQ(surface.m_colour[1].constant, 0.78431374f);
    EXPECT_FLOAT_EQ(surface.m_smoothingCosine, float(std::cos(0.03490658503988659) - 1e-6));
    surface.setSmoothingAngle(0.03490658503988659f);
    EXPECT_FALSE(surface.m_smoothing);
    surface.setSmoothingAngle(2.5f * 0.017453292f);
    EXPECT_TRUE(surface.m_smoothing);
    EXPECT_NEAR(surface.m_smoothingCosine, std::cos(2.5 * 0.017453292) - 1e-6, 1e-7);
}

TEST_F(SurfaceTest, LayersAreFiledByKindAndUnusableOnesDropped) {
    add(TextureLayer::CHANNEL_DIFF);
    TextureLayer* colour = add(TextureLayer::CHANNEL_COLR);
    auto disabled = std::make_unique<TextureLayer>();
    disabled->m_texture = &texture;
    disabled->m_enabled = false;
    surface.addTextureLayer(std::move(disabled));
    surface.addTextureLayer(std::make_unique<TextureLayer>());
    surface.addTextureLayer(nullptr);
    addVertexColours(1, 1, 1);
    EXPECT_EQ(surface.m_textureLayers.size(), 2u);
    EXPECT_EQ(surface.m_vertexColourLayers.size(), 1u);
    EXPECT_EQ(surface.findTextureLayer(TextureLayer::CHANNEL_COLR, 1), colour);
    EXPECT_EQ(surface.findTextureLayer(TextureLayer::CHANNEL_COLR, 2), nullptr);
}

TEST_F(SurfaceTest, StagesLeaveRoomForSpecularAndTransparency) {
    for (int i = 0; i < 9; ++i) add(TextureLayer::CHANNEL_COLR);
    TextureLayer* gloss = add(TextureLayer::CHANNEL_SPEC);
    TextureLayer* tran = add(TextureLayer::CHANNEL_TRAN);
    TextureStages stages;
    surface.buildTextureStages(stages);
    EXPECT_EQ(stages.count, 8);
    EXPECT_EQ(stages.channels[TextureStages::COLR].count, 6);
    EXPECT_EQ(stages.layers[6], gloss);
    EXPECT_EQ(stages.layers[7], tran);
    EXPECT_EQ(stages.channels[TextureStages::TRAN].first, 7);
}

TEST_F(SurfaceTest, StagesStayWithinTheDevicesStages) {
    for (int i = 0; i < 5; ++i) add(TextureLayer::CHANNEL_COLR);
    add(TextureLayer::CHANNEL_BUMP);
    TextureStages stages;
    surface.buildTextureStages(stages, 3);
    EXPECT_EQ(stages.count, 3);
    EXPECT_EQ(stages.channels[TextureStages::COLR].count, 3);
    EXPECT_EQ(stages.channels[TextureStages::BUMP].count, 0);
}

TEST_F(SurfaceTest, BrightColourLayersModulateTwiceOrFourTimes) {
    add(TextureLayer::CHANNEL_COLR, 2.0f);
    add(TextureLayer::CHANNEL_COLR, 3.0f);
    add(TextureLayer::CHANNEL_COLR, -3.0f);
    TextureStages stages;
    surface.buildTextureStages(stages);
    EXPECT_EQ(stages.colourShift[0], 1);
    EXPECT_EQ(stages.colourShift[1], 2);
    EXPECT_EQ(stages.colourShift[2], 2);
    EXPECT_EQ(stages.shiftSum, 5);
}

TEST_F(SurfaceTest, TransparencyDarkensTheStageColourUnlessTheLayerGivesAlpha) {
    surface.m_transparency.constant = 0.25f;
    surface.m_additiveTransparency.constant = 0.5f;
    TextureStages stages;
    surface.buildTextureStages(stages);
    EXPECT_FLOAT_EQ(stages.colour[0], 0.78431374f * 0.75f);
    EXPECT_FLOAT_EQ(stages.colour[3], 0.5f * 0.75f);

    add(TextureLayer::CHANNEL_TRAN)->m_opacityType = 0;
    surface.buildTextureStages(stages);
    EXPECT_FLOAT_EQ(stages.colour[0], 0.78431374f);
    EXPECT_FLOAT_EQ(stages.colour[3], 0.5f);
}

TEST_F(SurfaceTest, VertexColoursMixWithTheSurfaceColourByOpacity) {
    TextureLayer* layer = addVertexColours(0.2f, 0.4f, 0.6f);
    layer->m_opacity.constant = 0.5f;
    layer->m_negative = true;
    TextureStages stages;
    surface.buildTextureStages(stages);
    // Negative: (0.2 * -1 + 1) * 0.5 + 0.78431374 * 0.5.
    EXPECT_FLOAT_EQ(paintOnePoint(stages), 0.4f + 0.78431374f * 0.5f);
    EXPECT_EQ(stages.vertexColourScale, 1);
}

TEST_F(SurfaceTest, BrightVertexColourRaisesTheLastColourStageThenItsOwnShift) {
    add(TextureLayer::CHANNEL_COLR);
    add(TextureLayer::CHANNEL_COLR);
    addVertexColours(1.5f, 0.0f, 0.0f);
    TextureStages stages;
    surface.buildTextureStages(stages);
    paintOnePoint(stages);
    EXPECT_EQ(stages.vertexColourScale, 2);
    EXPECT_EQ(stages.colourShift[1], 1);
    EXPECT_EQ(stages.colourShift[0], 0);
}

TEST_F(SurfaceTest, EndlessVertexColourStopsAtTheLargestShifts) {
    add(TextureLayer::CHANNEL_COLR);
    addVertexColours(std::numeric_limits<float>::infinity(), 0.0f, 0.0f);
    TextureStages stages;
    surface.buildTextureStages(stages);
    paintOnePoint(stages);
    EXPECT_EQ(stages.shiftSum, 4);
    EXPECT_EQ(stages.vertexColourScale, 16);
}

TEST_F(SurfaceTest, ObjectLayerWithoutColourMapPaintsBlack) {
    addVertexColours(1.0f, 1.0f, 1.0f);
    TextureStages stages;
    surface.buildTextureStages(stages);
    MeshPolygon polygon;
    polygon.points = {0};
    MeshVertex vertex{};
    vertex.colour[0] = 0.5f;
    surface.applyVertexColors(polygon, stages, 3, &vertex, 0);
    EXPECT_EQ(vertex.colour[0], 0.0f);
    EXPECT_EQ(vertex.colour[3], 1.0f);
}

} // namespace
