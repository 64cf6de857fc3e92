#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "engine/platform/animation/Envelope.h"
#include "engine/platform/archive/File.h"
#include "engine/platform/display/DeviceList.h"
#include "engine/platform/images/ImageTexture.h"
#include "engine/platform/images/SequenceTexture.h"
#include "engine/render/RenderView.h"
#include "engine/render/Renderer.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/SceneRenderer.h"
#include "engine/scene/loaders/LWO2Loader.h"
#include "engine/scene/loaders/LWO2Reader.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/materials/TextureLayer.h"
#include "engine/scene/mesh/LWObjectFile.h"
#include "engine/scene/mesh/Mesh.h"
#include "engine/scene/mesh/UVMap.h"
#include "engine/scene/mesh/WeightMap.h"
#include "tests/engine/render/RendererTestSupport.h"
#include "tests/support/ReportCapture.h"
#include "tools/lightwave/Lwo2DemoObject.h"
#include "tools/lightwave/Lwo2Writer.h"

namespace {

// A view with device caps but no device: what the loader reads of a renderer.
class CapsView : public RenderView, public DeviceList {
public:
    void drawDebugLines(const Matrix4x3&, const std::vector<DebugLineVertex>&) override {}
};

// An object file in memory, and the names the file system claims to have.
class MemoryStream : public File {
public:
    explicit MemoryStream(std::vector<uint8_t> bytes, std::set<std::string> names = {})
        : m_bytes(std::move(bytes)), m_names(std::move(names)) {
        m_size = static_cast<uint32_t>(m_bytes.size());
    }
    File* clone() override { return new MemoryStream(m_bytes, m_names); }
    bool exists(const char* name) override { return m_names.count(name) > 0; }
    bool open(const char*) override { return false; }
    bool create(const char*) override { return false; }
    bool close() override { return true; }
    int32_t read(void* buffer, uint32_t count) override {
        uint32_t n = std::min<uint32_t>(count, m_size - std::min(m_at, m_size));
        std::memcpy(buffer, m_bytes.data() + m_at, n);
        m_at += n;
        return static_cast<int32_t>(n);
    }
    int32_t write(const void*, uint32_t) override { return 0; }
    bool seek(uint32_t position) override {
        m_at = std::min(position, m_size);
        return position <= m_size;
    }
    bool skip(int32_t count) override { return seek(m_at + count); }
    uint32_t tell() override { return m_at; }

private:
    std::vector<uint8_t> m_bytes;
    std::set<std::string> m_names;
    uint32_t m_at = 0;
};

class LoaderTest : public ReportCapture<3> {
protected:
    LWObjectFile* load(std::vector<uint8_t> bytes) {
        MemoryStream stream(std::move(bytes));
        stream.seek(12);
        m_object.reset(loadLWO2(&m_scene, &m_pool, &m_files, &stream, "obj"));
        return m_object.get();
    }
    LWObjectFile* load(const Lwo2Object& object) {
        Lwo2Writer writer;
        writer.writeObject(object);
        return load(writer.bytes());
    }
    Surface* surface(const std::string& name) { return m_pool.findSurface("obj@" + name); }

    CapsView m_view;
    LW6Scene m_scene{&m_view};
    MetaScene m_pool;
    MemoryStream m_files{{}, {"fire001.tga", "fire003.tga.dds"}};
    std::unique_ptr<LWObjectFile> m_object;
};

using LWO2Loader = LoaderTest;
using LoadersLwo2 = LoaderTest;

Lwo2Layer quadLayer(uint16_t number, const std::string& name) {
    Lwo2Layer layer;
    layer.number = number;
    layer.name = name;
    layer.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    layer.polygonLists.push_back({"FACE", {{{0, 1, 2, 3}}}});
    return layer;
}

TEST_F(LWO2Loader, LayersBecomeNamedMeshesInTheirSlots) {
    Lwo2Object object = lwo2DemoCube();
    object.layers[1].number = 2;
    object.layers[1].name = "Wheel";
    LWObjectFile* file = load(object);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(file->m_meshes.size(), 3u);
    EXPECT_EQ(file->getMesh(1), nullptr);
    Mesh* body = file->getMesh(0);
    Mesh* wheel = file->getMesh(2);
    ASSERT_TRUE(body && wheel);
    EXPECT_EQ(body->m_name, "obj:1 Body");
    EXPECT_EQ(wheel->m_name, "obj:3 Wheel");
    EXPECT_EQ(wheel->m_pivot.y, 0.5f);
    EXPECT_EQ(body->m_points.size(), 8u);
    ASSERT_EQ(body->m_polygons.size(), 6u);
    EXPECT_EQ(body->m_polygons[4].surface, 1);
    EXPECT_EQ(body->m_polygons[3].points, (std::vector<uint32_t>{1, 5, 6, 2}));
    // The lid's surface is transparent, so both layers hold blended polygons.
    EXPECT_TRUE(body->m_hasBlendedSurfaces && wheel->m_hasBlendedSurfaces);
    ASSERT_EQ(body->m_weightMaps.size(), 1u);
    EXPECT_EQ(body->m_weightMaps[0]->m_weights, (std::vector<float>{0, 0, 0, 0, 1, 1, 1, 1}));
    EXPECT_EQ(file->getSurfaceCount(), 2);
}

TEST_F(LWO2Loader, SurfacesTakeValuesEnvelopesAndTextureLayers) {
    ASSERT_NE(load(lwo2DemoCube()), nullptr);
    Surface* body = surface("Body");
    Surface* lid = surface("Lid");
    ASSERT_TRUE(body && lid);
    EXPECT_TRUE(body->m_loaded);
    EXPECT_FLOAT_EQ(body->m_colour[1].constant, 0.6f);
    ASSERT_NE(body->m_luminosity.channel, nullptr);
    EXPECT_FLOAT_EQ(body->m_luminosity.evaluate(1.0), 1.0f);
    EXPECT_TRUE(body->m_smoothing);
    EXPECT_FALSE(body->m_blended);
    EXPECT_TRUE(lid->m_blended && lid->m_doubleSided);
    ASSERT_EQ(body->m_textureLayers.size(), 1u);
    TextureLayer& layer = *body->m_textureLayers[0];
    ASSERT_NE(layer.m_texture, nullptr);
    EXPECT_EQ(layer.m_texture->getName(), "images/crate.png");
    EXPECT_EQ(layer.m_texture->getFlags(), 3u | 4u);
    ASSERT_EQ(layer.m_uvMaps.size(), 2u);
    auto* uv = static_cast<UVMap*>(layer.m_uvMaps[0].get());
    ASSERT_NE(uv, nullptr);
    EXPECT_EQ(uv->m_values[5 * 3], 1.0f);
    ASSERT_EQ(uv->m_polygonEntries.size(), 6u);
    EXPECT_EQ(uv->m_polygonEntries[5].points, (std::vector<uint32_t>{3, 0}));
    ASSERT_EQ(lid->m_vertexColourLayers.size(), 1u);
    EXPECT_NE(lid->m_vertexColourLayers[0]->m_colourMaps[0], nullptr);
}

TEST_F(LWO2Loader, BlockEntriesSetTheLayer) {
    m_view.m_activeCaps.textureAddressCaps = 1 | 4;
    Lwo2Object object;
    object.tags = {"Skin"};
    object.layers.push_back(quadLayer(0, ""));
    object.envelopes.push_back({5, {}, {}, {}, {}, {{0.0f, 0.25f, "STEP", {}}}, {}});
    object.envelopes.push_back({6, {}, {}, {}, {}, {{0.0f, 0.5f, "STEP", {}}}, {}});
    object.envelopes.push_back({7, {}, {}, {}, {}, {{0.0f, 0.75f, "STEP", {}}}, {}});
    object.clips.push_back({});
    object.clips[0].still = "C:maps\\wall_noscale.tga";
    Lwo2Surface skin;
    skin.name = "Skin";
    skin.color = Lwo2ColorValue{{1, 1, 1}, 5};
    skin.values = {{"BUMP", {2.0f, 0}}};
    skin.smoothingAngle = 0.0349f;
    skin.reflectionOptions = 3;
    Lwo2Block bump;
    bump.channel = "BUMP";
    bump.amplitude = Lwo2Value{1.5f, 0};
    bump.image = 1;
    bump.textureMap = Lwo2TextureMap{};
    bump.textureMap->matrix = std::array<float, 12>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    bump.textureMap->rotation = Lwo2TextureVector{{0.1f, 0.2f, 0.3f}, 1, {5, 6, 7}};
    bump.antialiasFlags = 1;
    bump.antialiasStrength = 5.9f;
    bump.rgbl = 0.5f;
    bump.clamp = 1;
    Lwo2Block grad;
    grad.type = "GRAD";
    grad.channel = "TRAN";
    grad.projection = 1;
    grad.wrap = std::array<uint16_t, 2>{0, 3};
    grad.gradientInput = "Slope";
    grad.gradientKeys = {{0.0f, {1, 0, 0, 1}}, {1.0f, {0, 1, 0, 1}}};
    grad.gradientInterpolations = {3, 4, 5};
    skin.blocks = {bump, grad};
    object.surfaces.push_back(skin);
    ASSERT_NE(load(object), nullptr);

    Surface* s = surface("Skin");
    EXPECT_FALSE(s->m_smoothing);
    EXPECT_EQ(s->m_reflectionMode, 1);
    EXPECT_FLOAT_EQ(s->m_colour[2].evaluate(0.0), 0.75f);
    EXPECT_TRUE(s->m_blended);
    ASSERT_EQ(s->m_textureLayers.size(), 2u);
    TextureLayer& b = *s->m_textureLayers[0];
    EXPECT_EQ(b.m_texture->getName(), "C:/maps\\wall_noscale.tga");
    EXPECT_EQ(b.m_texture->getFlags(), 0x40u | 0x10u);
    EXPECT_FLOAT_EQ(b.m_texture->m_heightScale, 3.0f);
    EXPECT_TRUE(b.m_matrixValid);
    EXPECT_EQ(b.m_matrix.at(3, 2), 12.0f);
    EXPECT_EQ(b.m_matrix.at(3, 3), 1.0f);
    EXPECT_FLOAT_EQ(b.m_rotation[1].evaluate(0.0), 0.5f);
    EXPECT_EQ(b.m_antialiasStrength, 4.0f);
    EXPECT_EQ(b.m_rgbLevel, 0.5f);
    EXPECT_TRUE(b.m_clamp);
    TextureLayer& g = *s->m_textureLayers[1];
    EXPECT_EQ(g.m_kind, TextureLayer::KIND_GRADIENT);
    ASSERT_NE(g.m_texture, nullptr);
    EXPECT_EQ(g.m_texture->getFlags() & 8u, 8u);
    EXPECT_EQ(g.m_gradientInput, 2);
    ASSERT_EQ(g.m_gradientKeys.size(), 2u);
    EXPECT_EQ(g.m_gradientKeys[1].interpolation, 4u);
    EXPECT_NE(g.m_gradientValues[0].channel, nullptr);
    // No border or mirror on this device: reset falls back to clamp, then cylinders wrap across.
    EXPECT_EQ(g.m_addressU, TextureLayer::ADDRESS_WRAP);
    EXPECT_EQ(g.m_addressV, TextureLayer::ADDRESS_CLAMP);
}

TEST_F(LWO2Loader, EnvelopeKeysComeFromSpans) {
    Lwo2Object object;
    object.layers.push_back(quadLayer(0, ""));
    Lwo2Envelope envelope;
    envelope.index = 3;
    envelope.postBehaviour = 2;
    envelope.keys = {{0.0f, 1.0f, "TCB ", {0, 0, 0}}, {0.5f, 9.0f, "", {}}, {1.0f, 2.0f, "LINE", {}}};
    object.envelopes.push_back(envelope);
    object.tags = {"S"};
    Lwo2Surface s;
    s.name = "S";
    s.values = {{"TRAN", {0.0f, 3}}, {"DIFF", {0.5f, 9}}};
    object.surfaces.push_back(s);
    ASSERT_NE(load(object), nullptr);
    Surface* loaded = surface("S");
    EXPECT_TRUE(loaded->m_blended);
    EXPECT_EQ(loaded->m_diffuse.channel, nullptr);
    Envelope* e = loaded->m_transparency.channel->asEnvelope();
    ASSERT_EQ(e->getKeyCount(), 2u);
    EXPECT_EQ(e->getKeys()[0].curveType, Envelope::TCB);
    EXPECT_EQ(e->getKeys()[1].curveType, Envelope::LINEAR);
    EXPECT_EQ(e->getKeys()[1].time, 1.0f);
    EXPECT_EQ(e->m_preBehaviour, 1);
    EXPECT_EQ(e->m_postBehaviour, 2);
}

TEST_F(LWO2Loader, ClipsShareStillsAndBuildSequences) {
    Lwo2Object object;
    object.layers.push_back(quadLayer(0, ""));
    Lwo2Clip a, b, seq, ref;
    a.index = 1;
    a.still = "maps/a_nodxt.tga";
    b.index = 2;
    b.still = "maps/a_nodxt.tga";
    seq.index = 3;
    seq.sequence = Lwo2ImageSequence{3, 0, 2, 0, 1, 3, "fire", ".tga"};
    seq.flags = 0x103;
    seq.time = Lwo2ClipTime{0, 1, 25};
    ref.index = 4;
    ref.reference = Lwo2ClipReference{3, "copy"};
    object.clips = {a, b, seq, ref};
    object.tags = {"S"};
    Lwo2Surface s;
    s.name = "S";
    s.reflectionImage = 3;
    object.surfaces.push_back(s);
    m_scene.m_framesPerSecond = 25.0;
    ASSERT_NE(load(object), nullptr);
    EXPECT_EQ(m_scene.m_framesPerSecond, 30.0);

    ASSERT_EQ(m_pool.m_textures.size(), 3u);
    EXPECT_EQ(m_pool.m_textures[0]->getFlags(), 2u);
    auto* sequence = dynamic_cast<SequenceTexture*>(m_pool.m_textures[1].get());
    ASSERT_NE(sequence, nullptr);
    EXPECT_EQ(surface("S")->m_reflectionImage, sequence);
    EXPECT_EQ(sequence->getName(), "fire001.tga");
    EXPECT_EQ(sequence->m_sequenceMode, 256);
    EXPECT_EQ(sequence->m_frameRate, 25.0f);
    EXPECT_EQ(sequence->m_offset, 2u);
    ASSERT_EQ(sequence->m_frames.size(), 3u);
    EXPECT_TRUE(sequence->m_frames[0] && !sequence->m_frames[1] && sequence->m_frames[2]);
    EXPECT_EQ(m_pool.m_textures[2]->getName(), "copy");
}

TEST(LWO2Reader, ReadsLongIndicesAndStopsStringsAtTheLimit) {
    MemoryStream stream({0xFF, 0x01, 0x23, 0x45, 0xFE, 0x00, 'a', 'b', 'c', 'd', 'e', 'f', 0, 0});
    LWO2Reader reader(stream);
    EXPECT_EQ(reader.readVX(), 0x12345u);
    EXPECT_EQ(reader.readVX(), 0xFE00u);
    std::string text;
    EXPECT_EQ(reader.readS0(text, 10), 4u);
    EXPECT_EQ(text, "abcd");
    reader.seek(12);
    // Past the end values read as zero and the position still moves on.
    EXPECT_EQ(reader.readU4(), 0u);
    EXPECT_EQ(reader.position(), 16u);
}

TEST(LWO2Reader, ValuesAcrossSlicesAndSeeksBackReadTheFileAsItStands) {
    // Larger than the slice the reader keeps, with a value across its edge.
    std::vector<uint8_t> bytes(65536 + 6);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
    const auto wordAt = [&](size_t at) {
        return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
    };
    MemoryStream stream(bytes);
    LWO2Reader reader(stream);
    EXPECT_EQ(reader.readU4(), wordAt(0));
    reader.seek(65534);
    EXPECT_EQ(reader.readU4(), wordAt(65534));
    reader.seek(2);
    EXPECT_EQ(reader.readU4(), wordAt(2));
    reader.seek(65540);
    EXPECT_EQ(reader.readU2(), uint16_t(bytes[65540] << 8 | bytes[65541]));
    EXPECT_EQ(reader.readU2(), 0u);
    EXPECT_EQ(reader.position(), 65544u);
}

// Every cut of a whole object file loads or fails without reading outside it.
TEST_F(LoadersLwo2, EveryTruncationLoadsWithinTheFile) {
    Lwo2Writer writer;
    writer.writeObject(lwo2DemoCube());
    std::vector<uint8_t> whole = writer.bytes();
    for (size_t cut = 12; cut < whole.size(); cut += 3) {
        load(std::vector<uint8_t>(whole.begin(), whole.begin() + cut));
        m_object.reset();
    }
}

TEST_F(LoadersLwo2, SizesPastTheEndAndUnknownChunksAreSkipped) {
    Lwo2Writer writer;
    writer.writeRawChunk({"BBOX", {1, 2, 3}, std::nullopt});
    writer.writeLayer(quadLayer(0, "A"));
    writer.writePolygonTags({"SURF", {{0, 7}, {5, 0}}});
    // One whole triangle, then a polygon the file's end cuts.
    writer.writeRawChunk({"POLS", {'F', 'A', 'C', 'E', 0, 3, 0, 0, 0, 1, 0, 2, 0, 4, 0, 1}, 0xFFFFFFF0u});
    LWObjectFile* file = load(writer.bytes());
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(file->getMesh(0)->m_polygons.size(), 1u);
    EXPECT_EQ(file->getMesh(0)->m_polygons[0].points, (std::vector<uint32_t>{0, 1, 2}));
}

TEST_F(LoadersLwo2, IndicesPastThePointCountAreDropped) {
    Lwo2Layer layer = quadLayer(0, "");
    layer.polygonLists[0].polygons.push_back({{0, 1, 9}});
    layer.vertexMaps.push_back({"WGHT", "W", false, std::nullopt, {{2, 0, {0.5f}}, {40, 0, {1.0f}}}});
    layer.vertexMaps.push_back({"TXUV", "UV", true, std::nullopt, {{1, 99, {0, 0}}, {77, 0, {0, 0}}}});
    Lwo2Writer writer;
    writer.writeLayer(layer);
    LWObjectFile* file = load(writer.bytes());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->getMesh(0)->m_polygons.size(), 1u);
    EXPECT_EQ(file->getMesh(0)->m_weightMaps[0]->m_weights[2], 0.5f);
    EXPECT_EQ(lastError(), "- internal error -");
}

TEST_F(LoadersLwo2, ChunksBeforeAnyLayerAreSkipped) {
    Lwo2Writer writer;
    writer.writePoints({{1, 2, 3}});
    LWObjectFile* file = load(writer.bytes());
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->m_meshes.empty());
    EXPECT_EQ(lastError(), "loadLWO2: missing LAYR chunk!");
}

TEST_F(LoadersLwo2, SecondPointListResizesTheMaps) {
    Lwo2Layer layer = quadLayer(0, "");
    layer.vertexMaps.push_back({"WGHT", "W", false, std::nullopt, {{3, 0, {1.0f}}}});
    Lwo2Writer writer;
    writer.writeLayer(layer);
    writer.writePoints({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 2, 2}, {3, 3, 3}});
    writer.writeVertexMap({"WGHT", "W2", false, std::nullopt, {{5, 0, {1.0f}}}});
    LWObjectFile* file = load(writer.bytes());
    ASSERT_NE(file, nullptr);
    for (WeightMap* map : file->getMesh(0)->m_weightMaps) EXPECT_EQ(map->m_weights.size(), 6u);
}

TEST_F(LoadersLwo2, RepeatedLayerNumberKeepsTheFirstLayer) {
    Lwo2Object object;
    object.layers = {quadLayer(1, "first"), quadLayer(1, "second")};
    object.layers[1].vertexMaps.push_back({"WGHT", "W", false, std::nullopt, {{0, 0, {1.0f}}}});
    LWObjectFile* file = load(object);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->getMesh(1)->m_name, "obj:2 first");
}

TEST_F(LoadersLwo2, UndeclaredSurfaceFailsTheLoad) {
    Lwo2Object object = lwo2DemoCube();
    object.tags = {"Body"};
    EXPECT_EQ(load(object), nullptr);
    EXPECT_EQ(lastError(), "surface obj@Lid not found in obj!\n");
}

TEST_F(LoadersLwo2, OutOfTableIndicesGiveNothing) {
    Lwo2Object object;
    object.layers.push_back(quadLayer(0, ""));
    object.envelopes.push_back({40000, {}, {}, {}, {}, {{0, 1, "LINE", {}}}, {}});
    Lwo2Clip backwards, wide, xref;
    backwards.index = 1;
    backwards.sequence = Lwo2ImageSequence{3, 0, 0, 0, 9, 2, "f", ".tga"};
    wide.index = 2;
    wide.sequence = Lwo2ImageSequence{255, 0, 0, 0, 1, 1, "w", ".tga"};
    xref.index = 3;
    xref.reference = Lwo2ClipReference{0xFFFFFFF0u, "x"};
    object.clips = {backwards, wide, xref};
    object.tags = {"S"};
    Lwo2Surface s;
    s.name = "S";
    s.values = {{"TRAN", {0.0f, 65535}}};
    s.reflectionImage = 65535;
    Lwo2Block block;
    block.image = 65534;
    block.gradientInterpolations = {1, 2, 3};
    s.blocks.push_back(block);
    object.surfaces.push_back(s);
    ASSERT_NE(load(object), nullptr);
    EXPECT_FALSE(surface("S")->m_blended);
    EXPECT_EQ(surface("S")->m_reflectionImage, nullptr);
    ASSERT_EQ(m_pool.m_textures.size(), 1u);
    EXPECT_EQ(m_pool.m_textures[0]->getName().size(), 255u + 5u);
}

} // namespace

namespace {

// Meshes built on a recording device, from layers the loader read.
TEST(LWO2LoaderMesh, LayersBuildWeldedSmoothedTriangles) {
    RecordingRenderDevice setup;
    SceneRenderer renderer(setup.device());
    LW6Scene scene(&renderer);
    MetaScene pool;
    MemoryStream files({});
    Lwo2Object object;
    object.tags = {"Smooth", "Hard"};
    for (uint16_t number : {0, 1}) {
        Lwo2Layer layer;
        layer.number = number;
        layer.points = {{0, 0, 0},  {1, 0, 0},  {1, 1, 0},     {0, 1, 0},  {1, 0, -1},
                        {1, 1, -1}, {-1, 1, 0}, {-1.5f, 0.5f, 0}, {-1, 0, 0}};
        // A quad, a quad folded at a right angle along its edge 1-2, and a pentagon beside the first.
        layer.polygonLists.push_back({"FACE", {{{0, 1, 2, 3}}, {{1, 4, 5, 2}}, {{3, 6, 7, 8, 0}}}});
        layer.polygonTags.push_back({"SURF", {{0, number}, {1, number}, {2, number}}});
        object.layers.push_back(layer);
    }
    Lwo2Surface smooth, hard;
    smooth.name = "Smooth";
    smooth.smoothingAngle = 1.6f;
    hard.name = "Hard";
    object.surfaces = {smooth, hard};
    Lwo2Writer writer;
    writer.writeObject(object);
    MemoryStream stream(writer.bytes());
    stream.seek(12);
    std::unique_ptr<LWObjectFile> file(loadLWO2(&scene, &pool, &files, &stream, "fold"));
    ASSERT_NE(file, nullptr);
    Mesh* smoothMesh = file->getMesh(0);
    Mesh* hardMesh = file->getMesh(1);
    ASSERT_TRUE(smoothMesh->prepare(true, true) && hardMesh->prepare(true, true));
    EXPECT_EQ(smoothMesh->m_buildData.corners.size(), 7u * 3u);
    EXPECT_EQ(smoothMesh->m_buildData.vertexCount, 9);
    // Unsmoothed, the fold's two points get one vertex on each side.
    EXPECT_EQ(hardMesh->m_buildData.vertexCount, 11);
}

} // namespace
