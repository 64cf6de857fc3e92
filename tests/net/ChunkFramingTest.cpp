#include <gtest/gtest.h>

#include "engine/platform/Report.h"
#include "net/ChunkReader.h"
#include "net/ChunkWriter.h"
#include "NetTestSupport.h"

using nettest::Bytes;
using nettest::chunk;

TEST(ChunkWriter, WritesLengthIncludingHeaderThenNidLittleEndian) {
    ChunkWriter writer;
    writer.begin(0x0312);
    writer.writeByte(0xAB);
    writer.writeShort(0x1234);
    writer.writeInt(0xDEADBEEF);
    ASSERT_TRUE(writer.finish());
    Bytes bytes(writer.data(), writer.data() + writer.size());
    EXPECT_EQ(bytes, (Bytes{11, 0, 0x12, 0x03, 0xAB, 0x34, 0x12, 0xEF, 0xBE, 0xAD, 0xDE}));
    EXPECT_EQ(writer.nid(), 0x0312);
}

TEST(ChunkWriter, RefusesChunkThatReachesTheLengthLimit) {
    ChunkWriter writer;
    writer.begin(20);
    Bytes big(32000 - 4, 1);
    writer.writeBytes(big.data(), static_cast<uint32_t>(big.size()));
    EXPECT_FALSE(writer.finish());
    EXPECT_TRUE(writer.empty());
}

TEST(ChunkReader, WaitsForTheWholeChunkWhenSplitInsideTheHeader) {
    ChunkReader reader;
    Bytes welcome = chunk(3, {2});
    reader.append(welcome.data(), 1);
    EXPECT_EQ(reader.beginChunk(), ChunkReader::State::INCOMPLETE);
    reader.append(welcome.data() + 1, 2);
    EXPECT_EQ(reader.beginChunk(), ChunkReader::State::INCOMPLETE);
    reader.append(welcome.data() + 3, 2);
    ASSERT_EQ(reader.beginChunk(), ChunkReader::State::COMPLETE);
    EXPECT_EQ(reader.nid(), 3);
    EXPECT_EQ(reader.payloadSize(), 1);
    EXPECT_EQ(reader.readByte(), 2);
}

TEST(ChunkReader, HandsOutSeveralChunksOfOneBlockInOrder) {
    ChunkReader reader;
    Bytes block = nettest::join({chunk(9), chunk(11, nettest::u32(0x01020304)), chunk(300, {7, 8})});
    reader.append(block.data(), static_cast<int32_t>(block.size()));
    std::vector<uint16_t> nids;
    while (reader.beginChunk() == ChunkReader::State::COMPLETE) {
        nids.push_back(reader.nid());
        if (reader.nid() == 11) {
            EXPECT_EQ(reader.readInt(), 0x01020304u);
        }
        reader.skipRest();
        reader.endChunk();
    }
    EXPECT_EQ(nids, (std::vector<uint16_t>{9, 11, 300}));
    EXPECT_EQ(reader.queued(), 0u);
}

TEST(ChunkReader, CallsLengthsBelowTheHeaderOrAtTheLimitMalformed) {
    for (uint16_t length : {0, 1, 3, 32000, 65535}) {
        ChunkReader reader;
        Bytes bytes{static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8), 5, 0};
        reader.append(bytes.data(), 4);
        EXPECT_EQ(reader.beginChunk(), ChunkReader::State::MALFORMED) << length;
    }
}

TEST(ChunkReader, ReadPastTheChunkEndYieldsZeroAndStaysInside) {
    g_reportLevel = 3;
    g_reportToLog = true;
    ChunkReader reader;
    Bytes bytes = nettest::join({chunk(11, {1, 2}), chunk(12, {0x55})});
    reader.append(bytes.data(), static_cast<int32_t>(bytes.size()));
    ASSERT_EQ(reader.beginChunk(), ChunkReader::State::COMPLETE);
    EXPECT_EQ(reader.readInt(), 0u);
    EXPECT_STREQ(g_lastErrorText.text(), "m_readBufferPos+4 <= m_readLen");
    EXPECT_EQ(reader.readShort(), 0x0201);
    EXPECT_EQ(reader.readByte(), 0);
    reader.endChunk();
    ASSERT_EQ(reader.beginChunk(), ChunkReader::State::COMPLETE);
    EXPECT_EQ(reader.nid(), 12);
    EXPECT_EQ(reader.readByte(), 0x55);
    g_reportLevel = 0;
    g_reportToLog = false;
}
