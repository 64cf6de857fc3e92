#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tools/lightwave/IffBuffer.h"
#include "tools/lightwave/Lwo2DemoObject.h"
#include "tools/lightwave/Lwo2Dump.h"
#include "tools/lightwave/Lwo2Writer.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t be(const Bytes& d, size_t at, int count) {
    uint32_t v = 0;
    for (int i = 0; i < count; ++i) v = (v << 8) | d.at(at + i);
    return v;
}

float f4At(const Bytes& d, size_t at) {
    uint32_t bits = be(d, at, 4);
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

std::string idAt(const Bytes& d, size_t at) { return std::string(d.begin() + at, d.begin() + at + 4); }

struct Chunk {
    std::string id;
    size_t body;
    uint32_t size;
};

// Walks IFF chunks as the loader does, honouring the pad byte of odd sizes.
std::vector<Chunk> chunks(const Bytes& d, size_t at, size_t end, int sizeBytes) {
    std::vector<Chunk> out;
    while (at + 4 + sizeBytes <= end) {
        Chunk c{idAt(d, at), at + 4 + sizeBytes, be(d, at + 4, sizeBytes)};
        out.push_back(c);
        at = c.body + c.size + (c.size % 2);
    }
    return out;
}

std::vector<Chunk> topChunks(const Bytes& file) { return chunks(file, 12, file.size(), 4); }

std::vector<std::string> ids(const std::vector<Chunk>& list) {
    std::vector<std::string> out;
    for (const Chunk& c : list) out.push_back(c.id);
    return out;
}

Bytes written(const Lwo2Object& object) {
    Lwo2Writer writer;
    writer.writeObject(object);
    return writer.bytes();
}

} // namespace

TEST(IffBuffer, WritesIndicesBelowFF00InTwoBytesAndOthersInFour) {
    IffBuffer b;
    b.vx(0xFE00);
    b.vx(0xFF00);
    b.vx(0x12345);
    EXPECT_EQ(b.data(), (Bytes{0xFE, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x01, 0x23, 0x45}));
}

TEST(IffBuffer, PadsStringsToEvenLengthWithTheirTerminator) {
    IffBuffer b;
    b.s0("ab");
    b.s0("abc");
    b.s0("");
    EXPECT_EQ(b.data(), (Bytes{'a', 'b', 0, 0, 'a', 'b', 'c', 0, 0, 0}));
    EXPECT_EQ(s0Length("ab"), 4u);
    EXPECT_EQ(s0Length("abc"), 4u);
    EXPECT_EQ(s0Length(""), 2u);
}

TEST(IffBuffer, WritesFloatsAndIntegersMostSignificantByteFirst) {
    IffBuffer b;
    b.f4(1.0f);
    b.f4(-2.5f);
    b.u4(0x01020304);
    b.u2(0xABCD);
    EXPECT_EQ(b.data(), (Bytes{0x3F, 0x80, 0, 0, 0xC0, 0x20, 0, 0, 1, 2, 3, 4, 0xAB, 0xCD}));
}

TEST(IffBuffer, LeavesThePadByteOfAnOddChunkOutOfItsSize) {
    IffBuffer b;
    b.beginChunk("ODD ", 2);
    b.u1(7);
    b.endChunk();
    b.beginChunk("NEXT", 4);
    b.endChunk();
    EXPECT_EQ(b.data(), (Bytes{'O', 'D', 'D', ' ', 0, 1, 7, 0, 'N', 'E', 'X', 'T', 0, 0, 0, 0}));
}

TEST(IffBuffer, WritesADeclaredSizeInPlaceOfTheTrueOne) {
    IffBuffer b;
    b.beginChunk("PNTS", 4);
    b.u4(0);
    b.endChunk(0x7FFFFFF0);
    EXPECT_EQ(be(b.data(), 4, 4), 0x7FFFFFF0u);
    EXPECT_EQ(b.size(), 12u);
}

TEST(IffBuffer, PadsShortIdsWithBlanks) {
    IffBuffer b;
    b.id4("max");
    EXPECT_EQ(idAt(b.data(), 0), "max ");
}

TEST(Lwo2Writer, WritesTheFormHeaderWithTheSizeOfEverythingAfterIt) {
    Bytes file = written(lwo2DemoCube());
    EXPECT_EQ(idAt(file, 0), "FORM");
    EXPECT_EQ(be(file, 4, 4), file.size() - 8);
    EXPECT_EQ(idAt(file, 8), "LWO2");
    EXPECT_EQ(file.size() % 2, 0u);
}

TEST(Lwo2Writer, WritesAnotherFormTypeAndADeclaredFormSize) {
    Lwo2Writer writer("LWOB");
    Bytes file = writer.bytes(1000);
    EXPECT_EQ(idAt(file, 8), "LWOB");
    EXPECT_EQ(be(file, 4, 4), 1000u);
}

TEST(Lwo2Writer, WritesAnObjectInTheOrderTheLoaderReadsIt) {
    Bytes file = written(lwo2DemoCube());
    std::vector<std::string> expected = {"TAGS", "LAYR", "PNTS", "VMAP", "VMAP", "VMAP", "POLS", "PTAG", "VMAD",
                                         "LAYR", "PNTS", "POLS", "PTAG", "ENVL", "CLIP", "SURF", "SURF"};
    std::vector<Chunk> top = topChunks(file);
    EXPECT_EQ(ids(top), expected);
    size_t end = top.back().body + top.back().size;
    EXPECT_EQ(end, file.size());
    for (const Chunk& c : top) EXPECT_EQ(c.size % 2, 0u) << c.id;
}

TEST(Lwo2Writer, WritesALayerWithNamePivotAndParent) {
    Lwo2Layer layer;
    layer.number = 3;
    layer.flags = 1;
    layer.pivot = {1.0f, 2.0f, 3.0f};
    layer.name = "Wheel";
    layer.parent = 2;
    Lwo2Writer writer;
    writer.writeLayerHeader(layer);
    Bytes file = writer.bytes();
    Chunk c = topChunks(file).at(0);
    EXPECT_EQ(c.id, "LAYR");
    EXPECT_EQ(c.size, 16u + 6u + 2u);
    EXPECT_EQ(be(file, c.body, 2), 3u);
    EXPECT_EQ(be(file, c.body + 2, 2), 1u);
    EXPECT_EQ(f4At(file, c.body + 4), 1.0f);
    EXPECT_EQ(f4At(file, c.body + 12), 3.0f);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[c.body + 16])), "Wheel");
    EXPECT_EQ(be(file, c.body + 22, 2), 2u);
}

TEST(Lwo2Writer, WritesPointsAsTwelveBytesEach) {
    Lwo2Writer writer;
    writer.writePoints({{1.0f, 2.0f, 3.0f}, {4.0f, 5.0f, 6.0f}});
    Bytes file = writer.bytes();
    Chunk c = topChunks(file).at(0);
    EXPECT_EQ(c.size, 24u);
    EXPECT_EQ(f4At(file, c.body + 20), 6.0f);
}

TEST(Lwo2Writer, WritesPolygonCountsWithFlagBitsAndLongIndices) {
    Lwo2PolygonList list;
    list.polygons = {{{0, 1, 0x12345}, 0}, {{7}, 0x3F}};
    Lwo2Writer writer;
    writer.writePolygons(list);
    Bytes file = writer.bytes();
    Chunk c = topChunks(file).at(0);
    EXPECT_EQ(idAt(file, c.body), "FACE");
    EXPECT_EQ(be(file, c.body + 4, 2), 3u);
    EXPECT_EQ(be(file, c.body + 10, 4), 0xFF012345u);
    EXPECT_EQ(be(file, c.body + 14, 2), (0x3Fu << 10) | 1u);
    EXPECT_EQ(be(file, c.body + 16, 2), 7u);
    EXPECT_EQ(c.size, 18u);
}

TEST(Lwo2Writer, WritesSurfaceTagsAsIndexAndTagPairs) {
    Lwo2Writer writer;
    writer.writePolygonTags({"SURF", {{0, 1}, {0xFF00, 2}}});
    Bytes file = writer.bytes();
    Chunk c = topChunks(file).at(0);
    EXPECT_EQ(idAt(file, c.body), "SURF");
    EXPECT_EQ(c.size, 4u + 4u + 6u);
    EXPECT_EQ(be(file, c.body + 8, 4), 0xFF00FF00u);
    EXPECT_EQ(be(file, c.body + 12, 2), 2u);
}

TEST(Lwo2Writer, WritesVertexMapsWithDimensionNameAndEntries) {
    Lwo2VertexMap map{"WGHT", "Bend", false, std::nullopt, {{5, 0, {0.25f}}}};
    Lwo2VertexMap seam{"TXUV", "UV", true, std::nullopt, {{1, 0xFF10, {0.5f, 1.0f}}}};
    Lwo2Writer writer;
    writer.writeVertexMap(map);
    writer.writeVertexMap(seam);
    Bytes file = writer.bytes();
    std::vector<Chunk> top = topChunks(file);
    EXPECT_EQ(ids(top), (std::vector<std::string>{"VMAP", "VMAD"}));
    EXPECT_EQ(idAt(file, top[0].body), "WGHT");
    EXPECT_EQ(be(file, top[0].body + 4, 2), 1u);
    EXPECT_EQ(be(file, top[0].body + 12, 2), 5u);
    EXPECT_EQ(f4At(file, top[0].body + 14), 0.25f);
    EXPECT_EQ(top[0].size, 4u + 2u + 6u + 2u + 4u);
    EXPECT_EQ(be(file, top[1].body + 4, 2), 2u);
    EXPECT_EQ(be(file, top[1].body + 12, 4), 0xFF00FF10u);
    EXPECT_EQ(f4At(file, top[1].body + 20), 1.0f);
}

TEST(Lwo2Writer, WritesEnvelopeKeysEachFollowedByItsSpan) {
    Lwo2Envelope e;
    e.index = 5;
    e.preBehaviour = 2;
    e.keys = {{0.0f, 1.0f, "TCB ", {0.5f, 0.0f, -0.5f}}, {1.0f, 2.0f, "", {}}};
    e.name = "Glow";
    e.extra.push_back({"ODD!", {1, 2, 3}, std::nullopt});
    Lwo2Writer writer;
    writer.writeEnvelope(e);
    Bytes file = writer.bytes();
    Chunk c = topChunks(file).at(0);
    EXPECT_EQ(be(file, c.body, 2), 5u);
    std::vector<Chunk> subs = chunks(file, c.body + 2, c.body + c.size, 2);
    EXPECT_EQ(ids(subs), (std::vector<std::string>{"PRE ", "KEY ", "SPAN", "KEY ", "NAME", "ODD!"}));
    EXPECT_EQ(subs[2].size, 16u);
    EXPECT_EQ(idAt(file, subs[2].body), "TCB ");
    EXPECT_EQ(f4At(file, subs[2].body + 12), -0.5f);
    EXPECT_EQ(f4At(file, subs[3].body + 4), 2.0f);
    EXPECT_EQ(subs[5].size, 3u);
    EXPECT_EQ(c.size % 2, 0u);
}

TEST(Lwo2Writer, WritesAnImageSequenceWithItsTenFixedBytes) {
    Lwo2Clip clip;
    clip.index = 40000;
    clip.sequence = Lwo2ImageSequence{3, 0, 2, 0, 1, 3, "fire", ".tga"};
    clip.flags = 0x103;
    Lwo2Writer writer;
    writer.writeClip(clip);
    Bytes file = writer.bytes();
    Chunk c = topChunks(file).at(0);
    EXPECT_EQ(be(file, c.body, 4), 40000u);
    std::vector<Chunk> subs = chunks(file, c.body + 4, c.body + c.size, 2);
    ASSERT_EQ(ids(subs), (std::vector<std::string>{"ISEQ", "FLAG"}));
    EXPECT_EQ(subs[0].size, 10u + 6u + 6u);
    EXPECT_EQ(file[subs[0].body], 3);
    EXPECT_EQ(be(file, subs[0].body + 2, 2), 2u);
    EXPECT_EQ(be(file, subs[0].body + 6, 2), 1u);
    EXPECT_EQ(be(file, subs[0].body + 8, 2), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[subs[0].body + 16])), ".tga");
    EXPECT_EQ(be(file, subs[1].body, 4), 0x103u);
}

TEST(Lwo2Writer, WritesAStillAndAReferenceClip) {
    Lwo2Clip still;
    still.index = 1;
    still.still = "D:maps\\a.tga";
    still.gamma = Lwo2Value{2.2f, 3};
    Lwo2Clip ref;
    ref.index = 2;
    ref.reference = Lwo2ClipReference{1, "copy"};
    Lwo2Writer writer;
    writer.writeClip(still);
    writer.writeClip(ref);
    Bytes file = writer.bytes();
    std::vector<Chunk> top = topChunks(file);
    std::vector<Chunk> a = chunks(file, top[0].body + 4, top[0].body + top[0].size, 2);
    EXPECT_EQ(ids(a), (std::vector<std::string>{"STIL", "GAMM"}));
    EXPECT_EQ(a[0].size, 14u);
    EXPECT_EQ(be(file, a[1].body + 4, 2), 3u);
    std::vector<Chunk> b = chunks(file, top[1].body + 4, top[1].body + top[1].size, 2);
    EXPECT_EQ(ids(b), (std::vector<std::string>{"XREF"}));
    EXPECT_EQ(be(file, b[0].body, 4), 1u);
}

TEST(Lwo2Writer, WritesASurfaceWithNamesValuesAndABlockWhoseHeaderComesFirst) {
    Lwo2Surface s;
    s.name = "Body";
    s.source = "";
    s.color = Lwo2ColorValue{{1.0f, 0.5f, 0.25f}, 5};
    s.values = {{"BUMP", {0.5f, 0}}, {"TRAN", {0.0f, 2}}};
    s.smoothingAngle = 0.5f;
    s.backSurface = "Inside";
    Lwo2Block blok;
    blok.type = "GRAD";
    blok.channel = "TRAN";
    blok.opacity = Lwo2Opacity{6, {0.75f, 0}};
    blok.clamp = 1;
    blok.textureMap = Lwo2TextureMap{};
    blok.textureMap->center = Lwo2TextureVector{{1.0f, 2.0f, 3.0f}, 1, {7, 8, 9}};
    blok.antialiasFlags = 0;
    blok.gradientKeys = {{0.0f, {1, 0, 0, 1}}, {1.0f, {0, 0, 1, 1}}};
    blok.gradientInterpolations = {1, 2};
    blok.gradientInput = "Slope";
    s.blocks.push_back(blok);
    Lwo2Writer writer;
    writer.writeSurface(s);
    Bytes file = writer.bytes();
    Chunk c = topChunks(file).at(0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[c.body])), "Body");
    std::vector<Chunk> subs = chunks(file, c.body + 6 + 2, c.body + c.size, 2);
    ASSERT_EQ(ids(subs), (std::vector<std::string>{"COLR", "BUMP", "TRAN", "SMAN", "back", "BLOK"}));
    EXPECT_EQ(subs[0].size, 14u);
    EXPECT_EQ(be(file, subs[0].body + 12, 2), 5u);
    EXPECT_EQ(be(file, subs[2].body + 4, 2), 2u);
    const Chunk& b = subs[5];
    std::vector<Chunk> entries = chunks(file, b.body, b.body + b.size, 2);
    ASSERT_EQ(ids(entries), (std::vector<std::string>{"GRAD", "TMAP", "AAST", "PNAM", "FKEY", "IKEY"}));
    std::vector<Chunk> header = chunks(file, entries[0].body + 2, entries[0].body + entries[0].size, 2);
    EXPECT_EQ(ids(header), (std::vector<std::string>{"CHAN", "ENAB", "OPAC", "clmp"}));
    EXPECT_EQ(idAt(file, header[0].body), "TRAN");
    EXPECT_EQ(be(file, header[2].body, 2), 6u);
    std::vector<Chunk> tmap = chunks(file, entries[1].body, entries[1].body + entries[1].size, 2);
    ASSERT_EQ(ids(tmap), (std::vector<std::string>{"CNTR"}));
    EXPECT_EQ(tmap[0].size, 12u + 2u + 6u);
    EXPECT_EQ(be(file, tmap[0].body + 18, 2), 9u);
    EXPECT_EQ(entries[2].size, 6u);
    EXPECT_EQ(entries[4].size, 40u);
    EXPECT_EQ(entries[5].size, 4u);
}

TEST(Lwo2Writer, WritesATextureVectorWithoutEnvelopesInFourteenBytes) {
    Lwo2Block blok;
    blok.textureMap = Lwo2TextureMap{};
    blok.textureMap->size = Lwo2TextureVector{};
    blok.textureMap->matrix = std::array<float, 12>{1, 0, 0, 0, 1, 0, 0, 0, 1, 4, 5, 6};
    Lwo2Surface s;
    s.name = "S";
    s.blocks.push_back(blok);
    Lwo2Writer writer;
    writer.writeSurface(s);
    Bytes file = writer.bytes();
    Chunk c = topChunks(file).at(0);
    Chunk b = chunks(file, c.body + 4, c.body + c.size, 2).at(0);
    Chunk tm = chunks(file, b.body, b.body + b.size, 2).at(1);
    std::vector<Chunk> tmap = chunks(file, tm.body, tm.body + tm.size, 2);
    ASSERT_EQ(ids(tmap), (std::vector<std::string>{"SIZE", "m4x3"}));
    EXPECT_EQ(tmap[0].size, 14u);
    EXPECT_EQ(tmap[1].size, 48u);
    EXPECT_EQ(f4At(file, tmap[1].body + 44), 6.0f);
}

TEST(Lwo2Writer, WritesRawChunksForBrokenFiles) {
    Lwo2Writer writer;
    writer.writeRawChunk({"BBOX", Bytes(24, 0), std::nullopt});
    writer.writeRawChunk({"PNTS", Bytes(12, 0), 0xFFFFFF00u});
    Bytes file = writer.bytes();
    std::vector<Chunk> top = topChunks(file);
    EXPECT_EQ(top[0].id, "BBOX");
    EXPECT_EQ(top[0].size, 24u);
    EXPECT_EQ(be(file, 12 + 8 + 24 + 4, 4), 0xFFFFFF00u);
    EXPECT_EQ(file.size(), 12u + 32u + 20u);
}

TEST(Lwo2Writer, KeepsChunksInTheOrderTheyAreWritten) {
    Lwo2Layer layer;
    layer.points = {{0, 0, 0}};
    Lwo2Writer writer;
    writer.writePoints(layer.points);
    writer.writeLayer(layer);
    writer.writePoints(layer.points);
    EXPECT_EQ(ids(topChunks(writer.bytes())), (std::vector<std::string>{"PNTS", "LAYR", "PNTS", "PNTS"}));
}

TEST(Lwo2Dump, ListsChunksSubChunksAndBlockEntries) {
    std::string text = dumpLwo2(written(lwo2DemoCube()));
    EXPECT_EQ(text.rfind("FORM ", 0), 0u);
    EXPECT_NE(text.find("  0000000c TAGS 10\n"), std::string::npos);
    EXPECT_NE(text.find("    "), std::string::npos);
    EXPECT_NE(text.find("      "), std::string::npos);
    EXPECT_NE(text.find(" IMAP "), std::string::npos);
    EXPECT_NE(text.find(" SPAN "), std::string::npos);
}

TEST(Lwo2Dump, MarksASizePastTheEndAndStops) {
    Lwo2Writer writer;
    writer.writeRawChunk({"PNTS", Bytes(12, 0), 5000});
    writer.writeRawChunk({"POLS", Bytes(4, 0), std::nullopt});
    std::string text = dumpLwo2(writer.bytes());
    EXPECT_NE(text.find("PNTS 5000 (past the end)"), std::string::npos);
    EXPECT_EQ(text.find("POLS"), std::string::npos);
}

TEST(Lwo2Dump, SurvivesTruncatedAndTinyFiles) {
    Bytes file = written(lwo2DemoCube());
    for (size_t cut : {0u, 5u, 12u, 13u, 100u, 901u}) {
        Bytes part(file.begin(), file.begin() + std::min(cut, file.size()));
        EXPECT_FALSE(dumpLwo2(part).empty());
    }
}

TEST(Lwo2Writer, WritesAVertexColourLayerAsOpacityTypeAndMapName) {
    Lwo2Surface s;
    s.name = "Lid";
    s.sidedness = 3;
    s.vertexColors.push_back({{0.5f, 4}, "RGBA", "Paint"});
    Lwo2Writer writer;
    writer.writeSurface(s);
    Bytes file = writer.bytes();
    Chunk c = topChunks(file).at(0);
    std::vector<Chunk> subs = chunks(file, c.body + 4 + 2, c.body + c.size, 2);
    ASSERT_EQ(ids(subs), (std::vector<std::string>{"SIDE", "VCOL"}));
    EXPECT_EQ(subs[1].size, 4u + 2u + 4u + 6u);
    EXPECT_EQ(f4At(file, subs[1].body), 0.5f);
    EXPECT_EQ(be(file, subs[1].body + 4, 2), 4u);
    EXPECT_EQ(idAt(file, subs[1].body + 6), "RGBA");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[subs[1].body + 10])), "Paint");
}

TEST(Lwo2Writer, WritesClipTimeAndFilterSubChunks) {
    Lwo2Clip clip;
    clip.still = "a.png";
    clip.time = Lwo2ClipTime{0.0f, 2.0f, 25.0f};
    clip.alphaMode = 2;
    clip.filter = "Video Capture Filter";
    Lwo2Writer writer;
    writer.writeClip(clip);
    Bytes file = writer.bytes();
    Chunk c = topChunks(file).at(0);
    std::vector<Chunk> subs = chunks(file, c.body + 4, c.body + c.size, 2);
    ASSERT_EQ(ids(subs), (std::vector<std::string>{"STIL", "TIME", "AMOD", "IFLT"}));
    EXPECT_EQ(subs[1].size, 20u);
    EXPECT_EQ(f4At(file, subs[1].body + 8), 25.0f);
    EXPECT_EQ(subs[3].size, 22u);
}
