#include <gtest/gtest.h>

#include <CEGUI/CEGUI.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The writer itself comes with the GUI data tool.
#include <stb_image_write.h>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/platform/display/RenderDevice.h"
#include "engine/platform/gui/GuiContext.h"
#include "engine/platform/gui/LoadingFrame.h"
#include "engine/platform/images/GeneratedTexture.h"
#include "engine/platform/images/GradientTexture.h"
#include "engine/platform/images/ImageTexture.h"
#include "engine/platform/images/SequenceTexture.h"
#include "engine/platform/input/InputDevice.h"
#include "engine/render/Renderer.h"
#include "sys/gfx/Device.h"
#include "sys/window/Window.h"
#include "tests/support/Bmp24.h"
#include "tests/support/TempDir.h"
#include "tests/support/WindowedDevice.h"
#include "tools/guidata/GuiData.h"
#include "tools/sarpack/ArchiveWriter.h"

using namespace sys::gfx;

namespace {

class SolidGradient : public GradientSource {
public:
    float getGradientStart() const override { return 0.0f; }
    float getGradientEnd() const override { return 1.0f; }
    AnimatedValue& getGradientValue(int index) override { return m_values[index]; }
    bool isTransparencyChannel() const override { return false; }
    AnimatedValue m_values[4] = {{1.0f, nullptr}, {0.5f, nullptr}, {0.0f, nullptr}, {1.0f, nullptr}};
};

CEGUI::String utf8(const char* text) { return CEGUI::String(reinterpret_cast<const CEGUI::utf8*>(text)); }

// The game's start-up under a virtual display: device, renderer, the asset
// archive with pictures and the GUI data, textures of every kind, the GUI.
class RenderFrame : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("PLIMZOR_SETTINGS", m_dir.file("none").c_str(), 1);
        // The GUI library writes its log into the working directory.
        m_workingDirectory = std::filesystem::current_path();
        std::filesystem::current_path(m_dir.path());
        if (!sys::Window::videoAvailable()) GTEST_SKIP() << "no display: the frame test needs X (xvfb-run -a)";
        m_render = makeWindowedDevice();
        ASSERT_NE(m_render, nullptr);
        m_renderer = std::make_unique<Renderer>(*m_render);
        m_device = m_renderer->m_currentDevice;

        ArchiveWriter writer;
        for (const GuiFile& f : guiDataFiles()) ASSERT_TRUE(writer.add(f.archiveName, f.bytes, 1)) << f.archiveName;
        const uint32_t frameColours[3] = {0xFF0000, 0x00FF00, 0x0000FF};
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(writer.add(frameName(i), bmp24(16, 16, frameColours[i]), 1));
        ASSERT_TRUE(writer.add(pictureName(), bmp24(64, 32, 0x3366CC), 1));
        std::string error;
        ASSERT_TRUE(writer.write(m_dir.file("data.sar"), error)) << error;
        ASSERT_TRUE(m_archive.openArchive(m_dir.file("data.sar").c_str()));
    }
    void TearDown() override {
        m_gui.reset();
        m_renderer.reset();
        m_render.reset();
        unsetenv("PLIMZOR_SETTINGS");
        std::filesystem::current_path(m_workingDirectory);
    }

    std::string pictureName() const { return m_dir.file("pictures/sign.bmp"); }
    std::string frameName(int i) const { return m_dir.file("pictures/blink00" + std::to_string(i) + ".bmp"); }

    std::unique_ptr<ImageTexture> image(const std::string& name) {
        auto texture = std::make_unique<ImageTexture>(m_renderer.get());
        EXPECT_TRUE(texture->setSource(name.c_str(), &m_archive, true)) << name;
        texture->load();
        return texture;
    }

    // One quad of a device texture in back-buffer pixels, replacing what is there.
    void drawTexture(sys::gfx::Texture* texture, float left, float top, float right, float bottom) {
        ASSERT_NE(texture, nullptr);
        m_device->setRenderState(RS_ALPHABLENDENABLE, 0);
        m_device->setTexture(0, texture);
        m_device->setTextureStageState(0, TSS_COLOROP, TOP_SELECTARG1);
        m_device->setTextureStageState(0, TSS_COLORARG1, TA_TEXTURE);
        m_device->setSamplerState(0, SAMP_MINFILTER, TEXF_LINEAR);
        m_device->setSamplerState(0, SAMP_MAGFILTER, TEXF_LINEAR);
        struct Vertex {
            float x, y, z, rhw;
            uint32_t colour;
            float u, v;
        } quad[4] = {{left, top, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                     {right, top, 0.5f, 1, 0xFFFFFFFF, 1, 0},
                     {right, bottom, 0.5f, 1, 0xFFFFFFFF, 1, 1},
                     {left, bottom, 0.5f, 1, 0xFFFFFFFF, 0, 1}};
        m_device->setFVF(FVF_XYZRHW | FVF_DIFFUSE | (1 << FVF_TEXCOUNT_SHIFT));
        m_device->beginScene();
        m_device->drawPrimitiveUP(PT_TRIANGLEFAN, 2, quad, sizeof(Vertex));
        m_device->endScene();
    }

    // The back buffer as 0xRRGGBB, top row first.
    std::vector<uint32_t> readBack() {
        sys::gfx::Surface* back = nullptr;
        m_device->getBackBuffer(0, 0, 0, &back);
        m_width = int(back->getDesc().width);
        m_height = int(back->getDesc().height);
        std::vector<uint32_t> pixels(size_t(m_width) * m_height);
        LockedRect r{};
        if (back->lockRect(r, nullptr, LOCK_READONLY) == GFX_OK) {
            for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<const uint32_t*>(r.bits)[i] & 0xFFFFFF;
            back->unlockRect();
        }
        back->release();
        return pixels;
    }
    uint32_t at(const std::vector<uint32_t>& pixels, int x, int y) const { return pixels[size_t(y) * m_width + x]; }
    int countDiffering(const std::vector<uint32_t>& pixels, int x0, int y0, int x1, int y1, uint32_t background) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += at(pixels, x, y) != background;
        return n;
    }
    void savePng(const std::vector<uint32_t>& pixels) {
        std::vector<uint8_t> rgb(pixels.size() * 3);
        for (size_t i = 0; i < pixels.size(); ++i) {
            rgb[i * 3] = uint8_t(pixels[i] >> 16);
            rgb[i * 3 + 1] = uint8_t(pixels[i] >> 8);
            rgb[i * 3 + 2] = uint8_t(pixels[i]);
        }
        const char* png = std::getenv("PLIMZOR_FRAME_PNG");
        std::string path = png ? png : m_dir.file("frame.png");
        EXPECT_TRUE(stbi_write_png(path.c_str(), m_width, m_height, 3, rgb.data(), m_width * 3));
    }

    TempDir m_dir;
    std::filesystem::path m_workingDirectory;
    std::unique_ptr<RenderDevice> m_render;
    std::unique_ptr<Renderer> m_renderer;
    Device* m_device = nullptr;
    DiskFile m_disk{""};
    DataArchive m_archive{m_disk};
    std::unique_ptr<GuiContext> m_gui;
    int m_width = 0, m_height = 0;
};

bool near(uint32_t got, uint32_t want, int tolerance = 6) {
    for (int shift : {0, 8, 16})
        if (std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

} // namespace

TEST_F(RenderFrame, WindowedBackBufferTakesTheClientArea) {
    EXPECT_TRUE(m_renderer->m_windowed);
    EXPECT_EQ(m_renderer->m_backBufferWidth, 960);
    EXPECT_EQ(m_renderer->m_backBufferHeight, 720);
    EXPECT_EQ(m_render->m_settings->m_width, 1024u);
}

TEST_F(RenderFrame, TexturesLoadingBarAndGuiReachTheScreen) {
    m_device->clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF202020, 1.0f, 0);

    std::unique_ptr<ImageTexture> picture = image(pictureName());
    drawTexture(picture->getTexture(0.0), 10, 10, 110, 60);

    SequenceTexture sequence(m_renderer.get());
    sequence.m_first = 0;
    sequence.m_last = 2;
    sequence.m_frameRate = 1.0f;
    sequence.m_sequenceMode = SequenceTexture::LOOP;
    for (int i = 0; i < 3; ++i) sequence.m_frames.push_back(image(frameName(i)));
    drawTexture(sequence.getTexture(1.5), 120, 10, 170, 60);
    drawTexture(sequence.getTexture(5.2), 180, 10, 230, 60);

    SolidGradient layer;
    GradientTexture gradient(m_renderer.get(), &layer);
    gradient.load();
    drawTexture(gradient.getTexture(0.0), 240, 10, 290, 60);

    GeneratedTexture flare(m_renderer.get(), 0), spot(m_renderer.get(), 0);
    flare.buildFlare(2);
    spot.buildSpot(1.0f, 0.2f, 0.6f);
    drawTexture(flare.getTexture(0.0), 300, 10, 400, 110);
    drawTexture(spot.getTexture(0.0), 410, 10, 510, 110);

    LoadingFrame frame;
    frame.m_renderer = m_renderer.get();
    frame.m_barLeft = 0.1f;
    frame.m_barRight = 0.9f;
    frame.m_barTop = 0.9f;
    frame.m_barBottom = 0.95f;
    frame.m_barColour = 0xFFE0C020;
    frame.m_frames = {nullptr};
    // The loading frame clears and presents; the rest is drawn again on top of it.
    showLoadingProgress(&frame, 0.5f);
    std::vector<uint32_t> loading = readBack();
    const int barY = int(0.925f * float(m_height));
    EXPECT_TRUE(near(at(loading, int(0.3f * m_width), barY), 0xE0C020));
    EXPECT_TRUE(near(at(loading, int(0.7f * m_width), barY), 0x000000));

    InputDevice input;
    m_gui = std::make_unique<GuiContext>();
    ASSERT_TRUE(setupCegui(*m_renderer, *m_gui, input, m_archive));
    CEGUI::WindowManager& windows = *m_gui->m_windowManager;
    CEGUI::Window* root = windows.createWindow("DefaultWindow", "Root");
    m_gui->m_guiContext->setRootWindow(root);
    CEGUI::Window* button = windows.createWindow("Quillfen/Button", "Start");
    button->setPosition(CEGUI::UVector2(CEGUI::UDim(0, 100), CEGUI::UDim(0, 200)));
    button->setSize(CEGUI::USize(CEGUI::UDim(0, 200), CEGUI::UDim(0, 50)));
    button->setText("Start");
    root->addChild(button);
    CEGUI::Window* label = windows.createWindow("Quillfen/StaticText", "Message");
    label->setPosition(CEGUI::UVector2(CEGUI::UDim(0, 100), CEGUI::UDim(0, 300)));
    label->setSize(CEGUI::USize(CEGUI::UDim(0, 500), CEGUI::UDim(0, 60)));
    label->setFont("VerdanaLarge");
    label->setText(utf8("Соединение потеряно"));
    label->setProperty("FrameEnabled", "false");
    label->setProperty("BackgroundEnabled", "false");
    root->addChild(label);
    int clicks = 0;
    button->subscribeEvent(CEGUI::PushButton::EventClicked, [&clicks](const CEGUI::EventArgs&) {
        ++clicks;
        return true;
    });
    input.m_mouseX = 200;
    input.m_mouseY = 225;
    input.m_buttons[0] = 1;
    injectMouse(*m_gui);
    input.m_buttons[0] = 0;
    injectMouse(*m_gui);
    EXPECT_EQ(clicks, 1);

    sys::gfx::Texture* bound = nullptr;
    auto drawFrame = [&]() {
        m_device->clear(0, nullptr, CLEAR_TARGET, 0xFF202020, 1.0f, 0);
        drawTexture(picture->getTexture(0.0), 10, 10, 110, 60);
        drawTexture(sequence.getTexture(1.5), 120, 10, 170, 60);
        drawTexture(sequence.getTexture(5.2), 180, 10, 230, 60);
        drawTexture(gradient.getTexture(0.0), 240, 10, 290, 60);
        drawTexture(flare.getTexture(0.0), 300, 10, 400, 110);
        drawTexture(spot.getTexture(0.0), 410, 10, 510, 110);
        bound = m_device->getTexture(0);
        drawGui(*m_gui);
        std::vector<uint32_t> pixels = readBack();
        m_device->present();
        return pixels;
    };
    std::vector<uint32_t> pixels = drawFrame();
    // The GUI leaves the device as it found it.
    EXPECT_NE(bound, nullptr);
    EXPECT_EQ(m_device->getTexture(0), bound);
    EXPECT_EQ(m_device->state().renderStates[RS_ALPHABLENDENABLE], 0u);
    EXPECT_EQ(m_device->state().stageStates[0][TSS_COLOROP], uint32_t(TOP_SELECTARG1));

    EXPECT_TRUE(near(at(pixels, 60, 35), 0x3366CC, 24)) << std::hex << at(pixels, 60, 35);
    EXPECT_TRUE(near(at(pixels, 145, 35), 0x00FF00)) << std::hex << at(pixels, 145, 35);
    EXPECT_TRUE(near(at(pixels, 205, 35), 0x0000FF)) << std::hex << at(pixels, 205, 35);
    EXPECT_TRUE(near(at(pixels, 265, 35), 0xFF8000, 10)) << std::hex << at(pixels, 265, 35);
    EXPECT_GT(at(pixels, 350, 60) & 0xFF, 0xE0u) << std::hex << at(pixels, 350, 60);
    EXPECT_LT(at(pixels, 302, 12) & 0xFF, 0x20u) << std::hex << at(pixels, 302, 12);
    EXPECT_GT(at(pixels, 460, 60) & 0xFF, 0x80u) << std::hex << at(pixels, 460, 60);
    // The button shows its hover look (light amber), not one stretched texel of its imageset.
    const uint32_t face = at(pixels, 150, 215);
    EXPECT_GT((face >> 16) & 0xFF, 0xF0u) << std::hex << face;
    EXPECT_GT((face >> 8) & 0xFF, 0xB0u) << std::hex << face;
    EXPECT_LT(face & 0xFF, 0x90u) << std::hex << face;
    // The Cyrillic text makes glyphs.
    EXPECT_GT(countDiffering(pixels, 100, 300, 600, 360, 0x202020), 200);
    EXPECT_EQ(at(pixels, 700, 600), 0x202020u);

    // A frame window draws through a texture of its own first.
    CEGUI::Window* box = windows.createWindow("Quillfen/FrameWindow", "Box");
    box->setPosition(CEGUI::UVector2(CEGUI::UDim(0, 600), CEGUI::UDim(0, 400)));
    box->setSize(CEGUI::USize(CEGUI::UDim(0, 300), CEGUI::UDim(0, 200)));
    box->setText("Box");
    root->addChild(box);
    pixels = drawFrame();
    savePng(pixels);
    EXPECT_GT(countDiffering(pixels, 600, 400, 900, 600, 0x202020), 300 * 150);
    EXPECT_EQ(at(pixels, 500, 600), 0x202020u);
}
