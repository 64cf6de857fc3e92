#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <jpeglib.h>

#include "engine/platform/animation/Envelope.h"
#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/platform/archive/SharedFile.h"
#include "engine/platform/display/DeviceList.h"
#include "engine/platform/images/GeneratedTexture.h"
#include "engine/platform/images/GradientTexture.h"
#include "engine/platform/images/ImageTexture.h"
#include "engine/platform/images/SequenceTexture.h"
#include "sys/gfx/RecordingAdapter.h"
#include "sys/gfx/RecordingDevice.h"
#include "sys/gfx/TextureTools.h"
#include "tests/support/Bmp24.h"
#include "tests/support/ReportCapture.h"
#include "tests/support/TempDir.h"
#include "tests/sys/GfxTestSupport.h"
#include "tools/sarpack/ArchiveWriter.h"

using namespace sys::gfx;

namespace {

// A grey JPEG of one value.
std::string greyJpeg(int width, int height, uint8_t value) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = width;
    c.image_height = height;
    c.input_components = 1;
    c.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(width, value);
    for (int y = 0; y < height; ++y) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string bytes(reinterpret_cast<char*>(out), size);
    free(out);
    return bytes;
}

uint32_t texel(sys::gfx::Texture* texture, uint32_t x, uint32_t y) {
    LockedRect locked;
    if (!texture || texture->lockRect(0, locked, nullptr, LOCK_READONLY) != GFX_OK) return 0xDEADBEEF;
    uint32_t value = *reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.bits) + y * locked.pitch + x * 4);
    texture->unlockRect(0);
    return value;
}

ImageInfo ddsFileInfo(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ImageInfo info{};
    EXPECT_TRUE(TextureTools::ddsInfo(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), info)) << path;
    return info;
}

// Sets an environment variable (null: unsets it) for the lifetime of the object.
class EnvironmentSetting {
public:
    EnvironmentSetting(const char* name, const char* value) : m_name(name) {
        const char* before = std::getenv(name);
        m_had = before != nullptr;
        if (m_had) m_before = before;
        set(value);
    }
    ~EnvironmentSetting() { set(m_had ? m_before.c_str() : nullptr); }
    EnvironmentSetting(const EnvironmentSetting&) = delete;
    EnvironmentSetting& operator=(const EnvironmentSetting&) = delete;

private:
    void set(const char* value) {
        if (value)
            setenv(m_name, value, 1);
        else
            unsetenv(m_name);
    }
    const char* m_name;
    bool m_had = false;
    std::string m_before;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t wordAt(const std::string& bytes, size_t offset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | uint8_t(bytes.at(offset + i));
    return value;
}

class TextureFixture : public ReportCapture<1> {
protected:
    void SetUp() override {
        ReportCapture<1>::SetUp();
        m_cache = std::make_unique<EnvironmentSetting>("XDG_CACHE_HOME", m_dir.file("cache").c_str());
        for (const FormatDesc& row : g_formatDescs)
            if (m_adapter.checkDeviceFormat(0, DEVTYPE_HAL, FMT_X8R8G8B8, 0, RTYPE_TEXTURE, row.format) >= 0)
                m_info.m_textureFormats.push_back(&row);
        m_owner.m_devices = {&m_device};
        m_owner.m_currentDevice = &m_device;
        m_owner.m_adapter = &m_info;
        Adapter::claimedCaps(m_owner.m_activeCaps);
    }
    // An archive on disk holding the members, opened through a disk file.
    DataArchive& archive(const std::vector<std::pair<std::string, std::string>>& members) {
        ArchiveWriter writer;
        for (const auto& [name, bytes] : members) writer.add(name, bytes, 1);
        std::string error;
        EXPECT_TRUE(writer.write(m_dir.file("data.sar"), error)) << error;
        m_archive = std::make_unique<DataArchive>(m_disk);
        EXPECT_TRUE(m_archive->openArchive(m_dir.file("data.sar").c_str()));
        return *m_archive;
    }

    void TearDown() override {
        m_cache.reset();
        ReportCapture<1>::TearDown();
    }
    // Loads a texture of the picture (and an alpha picture) through the archive; true when
    // the build wrote its copy.
    bool loadRebuilds(const std::string& name, File& files, const std::string& alphaName = "") {
        const std::string copy = ImageTexture::cachePath(name + ".dds");
        // Set back an hour, so a rewrite shows however fast it follows the last one.
        const auto before = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
        std::error_code missing;
        std::filesystem::last_write_time(copy, before, missing);
        ImageTexture alpha(&m_owner), texture(&m_owner);
        alpha.setSource(alphaName.c_str(), &files, true);
        texture.setSource(name.c_str(), &files, true);
        if (!alphaName.empty()) texture.m_alphaTexture = &alpha;
        texture.load();
        EXPECT_NE(texture.getD3DTexture(), nullptr) << name;
        return missing || std::filesystem::last_write_time(copy) != before;
    }

    TempDir m_dir;
    std::unique_ptr<EnvironmentSetting> m_cache;
    RecordingAdapter m_adapter;
    AdapterInfo m_info;
    PresentParams m_params{64, 48, FMT_X8R8G8B8, 1, 0, 0, 1, nullptr, 1, 0, 0, 0, 0, 0};
    RecordingDevice m_device{m_params};
    DeviceList m_owner;
    DiskFile m_disk{".\\;..\\"};
    std::unique_ptr<DataArchive> m_archive;
};

class GradientLayer : public GradientSource {
public:
    float getGradientStart() const override { return 0.0f; }
    float getGradientEnd() const override { return 1.0f; }
    AnimatedValue& getGradientValue(int index) override { return m_values[index]; }
    bool isTransparencyChannel() const override { return true; }
    AnimatedValue m_values[4] = {{0.5f, nullptr}, {0.0f, nullptr}, {0.0f, nullptr}, {0.0f, nullptr}};
};

} // namespace

TEST_F(TextureFixture, ImageTextureFromArchivePictureGetsMipChainAndCompressedFormat) {
    const std::string name = m_dir.file("tex/wall.bmp");
    ImageTexture texture(&m_owner);
    ASSERT_TRUE(texture.setSource(name.c_str(), &archive({{name, bmp24(100, 40, 0x3366CC)}}), true));
    texture.load();
    ASSERT_NE(texture.getD3DTexture(), nullptr);
    EXPECT_EQ(texture.m_width, 128u);
    EXPECT_EQ(texture.m_height, 64u);
    EXPECT_EQ(texture.m_levelCount, 8u);
    // Colour without alpha needs no more than DXT1 gives.
    EXPECT_EQ(texture.m_format, FMT_DXT1);
    EXPECT_EQ(texture.getD3DTexture()->getFormat(), FMT_DXT1);
    EXPECT_EQ(texture.getTexture(0.0), texture.getD3DTexture());
}

TEST_F(TextureFixture, DdsCopyIsWrittenOnceAndReadBackAtTheSameShiftedSize) {
    m_owner.m_textureSizeShift = -1;
    const std::string name = m_dir.file("tex/floor.bmp");
    DataArchive& files = archive({{name, bmp24(256, 256, 0x808080)}});
    std::filesystem::file_time_type written;
    for (int run = 0; run < 3; ++run) {
        ImageTexture texture(&m_owner);
        ASSERT_TRUE(texture.setSource(name.c_str(), &files, true));
        // The copy is in the cache, not in the archive, and is still found from the second run on.
        EXPECT_EQ(texture.getDdsExists(), run > 0);
        texture.load();
        EXPECT_EQ(texture.m_width, 128u) << run;
        EXPECT_EQ(texture.m_height, 128u) << run;
        const std::string copy = ImageTexture::cachePath(name + ".dds");
        ImageInfo stored = ddsFileInfo(copy);
        EXPECT_EQ(stored.width, 256u);
        if (run == 0) written = std::filesystem::last_write_time(copy);
        EXPECT_EQ(std::filesystem::last_write_time(copy), written);
    }
    EXPECT_FALSE(std::filesystem::exists(name + ".dds"));
    EXPECT_EQ(lastError(), "");
}

TEST_F(TextureFixture, CopyIsRebuiltWhenThePictureItWasMadeFromChanges) {
    const std::string name = m_dir.file("tex/kerb.bmp");
    EXPECT_TRUE(loadRebuilds(name, archive({{name, bmp24(8, 8, 0xFF0000)}})));
    EXPECT_FALSE(loadRebuilds(name, archive({{name, bmp24(8, 8, 0xFF0000)}})));
    // The same size with other bytes, as a regenerated archive brings it.
    const std::string before = readFile(ImageTexture::cachePath(name + ".dds"));
    EXPECT_TRUE(loadRebuilds(name, archive({{name, bmp24(8, 8, 0x0000FF)}})));
    const std::string after = readFile(ImageTexture::cachePath(name + ".dds"));
    EXPECT_NE(after.substr(128), before.substr(128));
    EXPECT_FALSE(loadRebuilds(name, archive({{name, bmp24(8, 8, 0x0000FF)}})));
    // The alpha picture is part of what the texture is made from.
    const std::string mask = m_dir.file("tex/kerb_alpha.bmp");
    for (auto [grey, rebuilt] : {std::pair{0x808080u, true}, {0x808080u, false}, {0x404040u, true}}) {
        DataArchive& files = archive({{name, bmp24(8, 8, 0x0000FF)}, {mask, bmp24(8, 8, grey)}});
        EXPECT_EQ(loadRebuilds(name, files, mask), rebuilt) << std::hex << grey;
    }
    EXPECT_EQ(lastError(), "");
}

TEST_F(TextureFixture, CopyWithoutARecordOfItsPictureIsRebuilt) {
    const std::string name = m_dir.file("tex/old.bmp");
    const std::string picture = bmp24(8, 8, 0x00FF00);
    DataArchive& files = archive({{name, picture}});
    ASSERT_TRUE(loadRebuilds(name, files));
    // The record sits in the header's reserved words: tag, picture size, alpha size, MD5.
    const std::string copy = ImageTexture::cachePath(name + ".dds");
    std::string bytes = readFile(copy);
    EXPECT_EQ(wordAt(bytes, 32), 0x325A4C50u);
    EXPECT_EQ(wordAt(bytes, 36), uint32_t(picture.size()));
    EXPECT_EQ(wordAt(bytes, 40), 0u);
    // As copies were written before: reserved words zero.
    std::fill(bytes.begin() + 32, bytes.begin() + 76, '\0');
    std::ofstream(copy, std::ios::binary) << bytes;
    EXPECT_TRUE(loadRebuilds(name, files));
    EXPECT_EQ(wordAt(readFile(copy), 32), 0x325A4C50u);
    EXPECT_FALSE(loadRebuilds(name, files));
}

TEST_F(TextureFixture, CopyIsKnownByItsPicturesStoredBytesWithoutUnpackingThem) {
    const std::string name = m_dir.file("tex/stamp.bmp");
    const std::string mask = m_dir.file("tex/stamp_alpha.bmp");
    DataArchive& files = archive({{name, bmp24(8, 8, 0x00FF00)}, {mask, bmp24(8, 8, 0x808080)}});
    ASSERT_TRUE(loadRebuilds(name, files, mask));
    const std::string copy = ImageTexture::cachePath(name + ".dds");
    const std::string original = readFile(copy);
    const std::string stamp = original.substr(60, 16);
    std::string bytes = original;
    EXPECT_NE(stamp, std::string(16, '\0'));
    // A copy whose pictures' hash no longer fits is still taken while the stored bytes are the same.
    std::fill(bytes.begin() + 44, bytes.begin() + 60, '\x5A');
    std::ofstream(copy, std::ios::binary) << bytes;
    EXPECT_FALSE(loadRebuilds(name, files, mask));
    // An older copy without the stored hash is taken by its pictures' bytes and gets the hash.
    bytes = original;
    std::fill(bytes.begin() + 60, bytes.begin() + 76, '\0');
    std::ofstream(copy, std::ios::binary) << bytes;
    EXPECT_TRUE(loadRebuilds(name, files, mask));
    EXPECT_EQ(readFile(copy), original);
    EXPECT_FALSE(loadRebuilds(name, files, mask));
    // Another alpha picture changes the stored bytes: the copy is built again.
    EXPECT_TRUE(loadRebuilds(name, archive({{name, bmp24(8, 8, 0x00FF00)}, {mask, bmp24(8, 8, 0x404040)}}), mask));
    EXPECT_EQ(lastError(), "");
}

TEST_F(TextureFixture, TexturesOfTheGlobalSourceShareItsHolder) {
    const std::string name = m_dir.file("a.bmp");
    DataArchive& files = archive({{name, bmp24(8, 8, 0)}});
    setTextureFileSource(&files);
    ImageTexture texture(&m_owner);
    ASSERT_TRUE(texture.setSource(name.c_str(), &files, true));
    EXPECT_EQ(texture.getFileSource(), g_textureFileSource.m_holder);
    std::unique_ptr<::Texture> copy(texture.clone());
    EXPECT_EQ(static_cast<ImageTexture&>(*copy).getFileSource(), texture.getFileSource());
    EXPECT_EQ(texture.getFileSource()->getRefCount(), 3);
    setTextureFileSource(nullptr);
    EXPECT_EQ(texture.getFileSource()->getRefCount(), 2);
    EXPECT_EQ(g_textureFileSource.m_file, nullptr);
}

TEST_F(TextureFixture, CopiesMirrorTheirNamesInTheUserCacheFolder) {
    const std::string cache = m_dir.file("cache/plimzor2");
    EXPECT_EQ(ImageTexture::cachePath("D:\\Vantorik\\tex\\a.bmp.dds"), cache + "/Vantorik/tex/a.bmp.dds");
    EXPECT_EQ(ImageTexture::cachePath("/abs/a.jpg.dds"), cache + "/abs/a.jpg.dds");
    EXPECT_EQ(ImageTexture::cachePath("D:..\\..\\.\\up.bmp.dds"), cache + "/up.bmp.dds");
    EnvironmentSetting home("HOME", "/home/racer");
    {
        EnvironmentSetting relative("XDG_CACHE_HOME", "cache");
        EXPECT_EQ(ImageTexture::cacheFolder(), "/home/racer/.cache/plimzor2");
    }
    EnvironmentSetting unset("XDG_CACHE_HOME", nullptr);
    EXPECT_EQ(ImageTexture::cacheFolder(), "/home/racer/.cache/plimzor2");
    EnvironmentSetting homeless("HOME", nullptr);
    // The home the user database gives, else the working directory.
    const std::string fallback = ImageTexture::cacheFolder();
    EXPECT_NE(fallback.find(".cache/plimzor2"), std::string::npos) << fallback;
    EXPECT_EQ(fallback.find("/home/racer"), std::string::npos) << fallback;
}

TEST_F(TextureFixture, SmallerAlphaPictureMasksOnlyWhatItCovers) {
    const std::string picture = m_dir.file("p.bmp"), mask = m_dir.file("m.bmp");
    DataArchive& files = archive({{picture, bmp24(4, 4, 0xFF0000)}, {mask, bmp24(2, 2, 0xFFFFFF)}});
    ImageTexture alpha(&m_owner), texture(&m_owner);
    alpha.setSource(mask.c_str(), &files, true);
    texture.setSource(picture.c_str(), &files, true);
    texture.setFlags(0);
    texture.m_alphaTexture = &alpha;
    texture.load();
    ASSERT_EQ(texture.m_width, 128u);
    EXPECT_EQ(texel(texture.getD3DTexture(), 0, 0), 0x00FF0000u);
    EXPECT_EQ(texel(texture.getD3DTexture(), 127, 3), 0xFFFF0000u);
    EXPECT_EQ(texel(texture.getD3DTexture(), 0, 3), 0xFFFF0000u);
}

TEST_F(TextureFixture, JpegTransparencyMapOfWhiteIsClearBlack) {
    const std::string name = m_dir.file("glass.jpg");
    ImageTexture texture(&m_owner);
    texture.setSource(name.c_str(), &archive({{name, greyJpeg(16, 16, 255)}}), true);
    texture.setFlags(::Texture::TRANSPARENCY_MAP);
    texture.load();
    EXPECT_EQ(texel(texture.getD3DTexture(), 3, 3), 0u);
}

TEST_F(TextureFixture, MissingPictureIsReportedOnce) {
    const std::string name = m_dir.file("missing.jpg");
    ImageTexture texture(&m_owner);
    EXPECT_FALSE(texture.setSource(name.c_str(), &archive({}), true));
    texture.load();
    EXPECT_EQ(lastError(), "Missing texture \"" + name + "\" !!!\n");
    g_lastErrorText.assignText("");
    texture.load();
    EXPECT_EQ(lastError(), "");
    EXPECT_EQ(texture.getTexture(0.0), nullptr);
}

TEST_F(TextureFixture, FlatBumpPictureBecomesUprightNormalsInItsOwnFormat) {
    const std::string name = m_dir.file("bump.bmp");
    ImageTexture texture(&m_owner);
    texture.setSource(name.c_str(), &archive({{name, bmp24(128, 8, 0x777777)}}), true);
    texture.setFlags(::Texture::MIP_CHAIN | ::Texture::NORMAL_MAP);
    texture.load();
    EXPECT_EQ(texture.m_format, FMT_A8R8G8B8);
    EXPECT_EQ(texel(texture.getD3DTexture(), 5, 5), 0x007F7FFFu);
}

TEST_F(TextureFixture, CopyOwnsItsOwnEnvelopesAndNoDeviceTextures) {
    GeneratedTexture original(&m_owner, 6);
    original.m_hue.channel = new Envelope();
    original.m_hue.channel->asEnvelope()->addKeyLinear(2.0f, 0.0f);
    original.buildFlare(3);
    std::unique_ptr<::Texture> copy(original.clone());
    EXPECT_NE(copy->m_hue.channel, original.m_hue.channel);
    EXPECT_FLOAT_EQ(copy->m_hue.evaluate(0.0), 2.0f);
    EXPECT_EQ(copy->getD3DTexture(), nullptr);
    EXPECT_EQ(copy->getName(), "(flare DIMCTR)");
}

TEST_F(TextureFixture, FlareAndSpotPicturesAreCopiedToEveryDevice) {
    RecordingDevice second(m_params);
    m_owner.m_devices.push_back(&second);
    GeneratedTexture flare(&m_owner, 6), spot(&m_owner, 6);
    flare.buildFlare(2);
    spot.buildSpot(1.0f, 0.1f, 0.0f);
    EXPECT_EQ(flare.getName(), "(flare EVENCTR)");
    EXPECT_EQ(spot.getName(), "(Spot)");
    EXPECT_EQ(flare.m_levelCount, 10u);
    ASSERT_NE(flare.m_ownedTextures[1], nullptr);
    EXPECT_EQ(flare.m_ownedTextures[1]->getDevice(), &second);
    EXPECT_EQ(texel(flare.m_ownedTextures[1], 256, 256), 0xFFFEFEFEu);
    EXPECT_EQ(texel(flare.m_ownedTextures[1], 0, 0), 0xFF000000u);
    EXPECT_EQ(texel(spot.m_ownedTextures[1], 256, 256), 0u);
    m_owner.m_currentDeviceIndex = 1;
    EXPECT_EQ(flare.getTexture(0.0), flare.m_ownedTextures[1]);
}

TEST_F(TextureFixture, SequenceChoosesFramesByTimeAndShowsEarlierForMissing) {
    SequenceTexture sequence(&m_owner);
    sequence.m_frameRate = 30.0f;
    sequence.m_last = 9;
    for (int i = 0; i < 10; ++i)
        sequence.m_frames.emplace_back(i == 3 || i == 4 ? nullptr : new GeneratedTexture(&m_owner, 6));
    EXPECT_EQ(sequence.selectFrame(0.5), sequence.m_frames[5].get());
    EXPECT_EQ(sequence.selectFrame(4.0 / 30.0 + 0.001), sequence.m_frames[2].get());
    sequence.m_sequenceMode = SequenceTexture::HOLD_LAST;
    EXPECT_EQ(sequence.selectFrame(0.5), sequence.m_frames[9].get());
    sequence.m_sequenceMode = 0;
    EXPECT_EQ(sequence.selectFrame(0.5), nullptr);
    sequence.setFlags(::Texture::NEEDS_COLOUR);
    EXPECT_EQ(sequence.m_frames[0]->getFlags(), ::Texture::NEEDS_COLOUR);
}

TEST_F(TextureFixture, GradientBuiltTwiceReleasesTheFirstTexture) {
    GradientLayer layer;
    GradientTexture gradient(&m_owner, &layer);
    gradient.load();
    sys::gfx::Texture* first = gradient.getD3DTexture();
    ASSERT_NE(first, nullptr);
    first->addRef();
    gradient.load();
    EXPECT_NE(gradient.getD3DTexture(), first);
    EXPECT_EQ(first->release(), 0u);
    EXPECT_EQ(gradient.m_width, 1024u);
    EXPECT_EQ(texel(gradient.getD3DTexture(), 0, 0) >> 24, 128u);
}

TEST(NormalMapLevel, PaddedRowsKeepTheirPadding) {
    // Two rows of two texels, each row padded to four.
    uint32_t texels[8] = {0xFF808080, 0xFF808080, 0xAB, 0xCD, 0xFF808080, 0xFF808080, 0xEF, 0x12};
    textureimaging::normalMapLevel(texels, 2, 2, 4);
    EXPECT_EQ(texels[4], 0x007F7FFFu);
    EXPECT_EQ(texels[2], 0xABu);
    EXPECT_EQ(texels[7], 0x12u);
}

class TextureOnGlDevice : public GfxDeviceFixture {};

TEST_F(TextureOnGlDevice, CompressedPictureDrawsInItsColour) {
    TempDir dir;
    EnvironmentSetting cache("XDG_CACHE_HOME", dir.file("cache").c_str());
    const std::string name = dir.write("wall.bmp", bmp24(64, 64, 0x3366CC));
    DiskFile disk(".\\;..\\");
    AdapterInfo info;
    for (const FormatDesc& row : g_formatDescs)
        if (m_adapter->checkDeviceFormat(0, DEVTYPE_HAL, FMT_X8R8G8B8, 0, RTYPE_TEXTURE, row.format) >= 0)
            info.m_textureFormats.push_back(&row);
    DeviceList owner;
    owner.m_devices = {m_device};
    owner.m_adapter = &info;
    Adapter::claimedCaps(owner.m_activeCaps);
    ImageTexture texture(&owner);
    ASSERT_TRUE(texture.setSource(name.c_str(), &disk, true));
    texture.load();
    ASSERT_EQ(texture.m_format, FMT_DXT1);
    struct Vertex {
        float x, y, z, rhw;
        uint32_t colour;
        float u, v;
    } quad[4] = {{0, 0, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {64, 0, 0.5f, 1, 0xFFFFFFFF, 1, 0},
                 {0, 48, 0.5f, 1, 0xFFFFFFFF, 0, 1}, {64, 48, 0.5f, 1, 0xFFFFFFFF, 1, 1}};
    ASSERT_EQ(m_device->beginScene(), GFX_OK);
    m_device->clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    m_device->setRenderState(RS_LIGHTING, 0);
    m_device->setFVF(FVF_XYZRHW | FVF_DIFFUSE | (1 << FVF_TEXCOUNT_SHIFT));
    m_device->setTexture(0, texture.getTexture(0.0));
    m_device->drawPrimitiveUP(PT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
    m_device->endScene();
    const uint32_t drawn = pixel(32, 24);
    for (int shift : {0, 8, 16})
        EXPECT_NEAR(int((drawn >> shift) & 0xFF), int((0x3366CCu >> shift) & 0xFF), 6) << std::hex << drawn;
    m_device->setTexture(0, nullptr);
}
