#include <gtest/gtest.h>

#include <CEGUI/CEGUI.h>
#include <CEGUI/RendererModules/Null/Renderer.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/platform/display/DeviceList.h"
#include "engine/platform/gui/GuiContext.h"
#include "engine/platform/input/InputDevice.h"
#include "sys/gfx/Device.h"
#include "sys/gfx/RecordingAdapter.h"
#include "sys/gui/TypedText.h"
#include "tests/support/TempDir.h"
#include "tests/support/WindowedDevice.h"
#include "tools/sarpack/ArchiveWriter.h"

namespace {

// The library on its null renderer with one full-screen window that takes
// the mouse and the keyboard; what reaches it is recorded.
class GuiInjection : public ::testing::Test {
protected:
    void SetUp() override {
        m_null = &CEGUI::NullRenderer::create();
        m_null->setDisplaySize(CEGUI::Sizef(1024, 768));
        CEGUI::System::create(*m_null);
        m_context.m_guiContext = &CEGUI::System::getSingleton().getDefaultGUIContext();
        m_context.m_input = &m_input;
        m_root = CEGUI::WindowManager::getSingleton().createWindow("DefaultWindow", "Root");
        m_root->setSize(CEGUI::USize(CEGUI::UDim(1, 0), CEGUI::UDim(1, 0)));
        m_context.m_guiContext->setRootWindow(m_root);
        m_root->activate();
        m_root->subscribeEvent(CEGUI::Window::EventMouseButtonDown, [this](const CEGUI::EventArgs&) {
            ++m_downs;
            return true;
        });
        // A quick second press counts as a double click.
        m_root->subscribeEvent(CEGUI::Window::EventMouseDoubleClick, [this](const CEGUI::EventArgs&) {
            ++m_downs;
            return true;
        });
        m_root->subscribeEvent(CEGUI::Window::EventMouseButtonUp, [this](const CEGUI::EventArgs&) {
            ++m_ups;
            return true;
        });
        m_root->subscribeEvent(CEGUI::Window::EventCharacterKey, [this](const CEGUI::EventArgs& args) {
            m_chars.push_back(static_cast<const CEGUI::KeyEventArgs&>(args).codepoint);
            return true;
        });
        m_root->subscribeEvent(CEGUI::Window::EventKeyDown, [this](const CEGUI::EventArgs& args) {
            m_keys.push_back(static_cast<const CEGUI::KeyEventArgs&>(args).scancode);
            return true;
        });
        sys::TypedText::clear();
    }
    void TearDown() override {
        m_context.m_guiContext = nullptr;
        CEGUI::System::destroy();
        CEGUI::NullRenderer::destroy(*m_null);
        sys::TypedText::clear();
    }

    CEGUI::NullRenderer* m_null = nullptr;
    GuiContext m_context;
    InputDevice m_input;
    CEGUI::Window* m_root = nullptr;
    int m_downs = 0, m_ups = 0;
    std::vector<CEGUI::utf32> m_chars;
    std::vector<int> m_keys;
};

} // namespace

TEST_F(GuiInjection, HeldButtonGoesDownOnceAndUpOnceOnRelease) {
    m_input.m_mouseX = 300;
    m_input.m_mouseY = 200;
    m_input.m_buttons[0] = 1;
    for (int frame = 0; frame < 3; ++frame) injectMouse(m_context);
    EXPECT_EQ(m_downs, 1);
    EXPECT_EQ(m_ups, 0);
    m_input.m_buttons[0] = 0;
    injectMouse(m_context);
    injectMouse(m_context);
    EXPECT_EQ(m_ups, 1);
    // The right button clicks as the left one.
    m_input.m_buttons[1] = 1;
    injectMouse(m_context);
    EXPECT_EQ(m_downs, 2);
    EXPECT_FLOAT_EQ(m_context.m_guiContext->getMouseCursor().getPosition().d_x, 300.0f);
}

TEST_F(GuiInjection, ShiftKeepsKeypadKeysFromBecomingDigits) {
    using Entry = sys::TypedText::Entry;
    m_input.m_keys[0x4F] = 1;
    sys::TypedText::push(Entry::press(0x4F)); // keypad 1
    sys::TypedText::push(Entry::press(0x1C)); // Return
    injectKeyboard(m_context);
    EXPECT_EQ(m_chars, (std::vector<CEGUI::utf32>{'1'}));
    EXPECT_EQ(m_keys, (std::vector<int>{0x1C}));
    EXPECT_EQ(m_input.m_keys[0x4F], 0) << "the GUI's key is no key of the menu's";

    m_chars.clear();
    sys::TypedText::push(Entry::press(0x4F, true));
    injectKeyboard(m_context);
    EXPECT_TRUE(m_chars.empty());
    // A key passed on is not passed on again without a new press.
    injectKeyboard(m_context);
    EXPECT_TRUE(m_chars.empty());
    EXPECT_EQ(m_keys, (std::vector<int>{0x1C}));
}

TEST_F(GuiInjection, TypedCyrillicArrivesAsCodePointsAndKeypadDigitsOnlyOnce) {
    using Entry = sys::TypedText::Entry;
    sys::TypedText::push(Entry::character(0x0416));
    sys::TypedText::push(Entry::press(0x47)); // keypad 7, which types its digit as text too
    sys::TypedText::push(Entry::character('7', true));
    sys::TypedText::push(Entry::character('x'));
    injectKeyboard(m_context);
    EXPECT_EQ(m_chars, (std::vector<CEGUI::utf32>{0x0416, '7', 'x'}));
}

namespace {

const std::string SCHEME_PATH = "D:\\Vantorik\\menu\\Quillfen.scheme";

// The GUI started the way the game starts it, on an archive of the test's own menu files.
class GuiStart : public ::testing::Test {
protected:
    void TearDown() override {
        shutdownCegui(m_gui);
        unsetenv("PLIMZOR_SETTINGS");
    }

    // On a GL device in a window; false where there is no display.
    bool openGlDevice() {
        setenv("PLIMZOR_SETTINGS", m_dir.file("none").c_str(), 1);
        if (!sys::Window::videoAvailable()) return false;
        m_render = makeWindowedDevice(64, 48);
        if (!m_render) return false;
        m_devices.m_currentDevice = m_render->m_groups[0]->m_device;
        return true;
    }

    // The failure of a start on an archive whose only member is that scheme (none for an empty text).
    GuiFailure failure(const std::string& scheme) {
        ArchiveWriter writer;
        writer.add(scheme.empty() ? "D:\\Vantorik\\menu\\Other.txt" : SCHEME_PATH, scheme, 3);
        const std::string path = m_dir.file("menus" + std::to_string(++m_archives) + ".sar");
        std::string error;
        EXPECT_TRUE(writer.write(path, error)) << error;
        DiskFile disk("");
        DataArchive archive(disk);
        EXPECT_TRUE(archive.openArchive(path.c_str()));
        EXPECT_FALSE(setupCegui(m_devices, m_gui, m_input, archive));
        EXPECT_EQ(CEGUI::System::getSingletonPtr(), nullptr) << "a failed start leaves nothing running";
        return m_gui.m_failure;
    }

    TempDir m_dir;
    std::unique_ptr<RenderDevice> m_render;
    DeviceList m_devices;
    GuiContext m_gui;
    InputDevice m_input;
    int m_archives = 0;
};

} // namespace

TEST_F(GuiStart, ADeviceWithoutOpenGLIsTheRenderersFailureWithItsReason) {
    sys::gfx::RecordingAdapter adapter;
    sys::gfx::PresentParams params{};
    params.backBufferWidth = 64;
    params.backBufferHeight = 48;
    sys::gfx::Device* device = nullptr;
    ASSERT_EQ(adapter.createDevice(0, sys::gfx::DEVTYPE_HAL, nullptr, 0, &params, &device), sys::gfx::GFX_OK);
    m_devices.m_currentDevice = device;
    EXPECT_EQ(failure("<GUIScheme/>"), GuiFailure::RENDERER);
    EXPECT_EQ(m_gui.m_failureText, "the GUI renderer could not start on the device: the device draws without OpenGL");
    delete device;
}

TEST_F(GuiStart, TellsTheLibrarysInstallationFromTheArchivesMenuFiles) {
    if (!openGlDevice()) GTEST_SKIP() << "no display: the test needs X (xvfb-run -a)";
    // A scheme cut short, and none at all: the archive's menu files.
    EXPECT_EQ(failure("<?xml version=\"1.0\"?>\n<GUIScheme version=\"5\" name=\"Quil"), GuiFailure::MENU_FILES);
    EXPECT_NE(m_gui.m_failureText.find("XML"), std::string::npos) << m_gui.m_failureText;
    EXPECT_EQ(failure(""), GuiFailure::MENU_FILES);
    EXPECT_NE(m_gui.m_failureText.find("Couldn't open D:\\Vantorik\\menu\\Quillfen.scheme"), std::string::npos)
        << m_gui.m_failureText;
    // A module the scheme names that the library's installation lacks.
    EXPECT_EQ(failure("<GUIScheme version=\"5\" name=\"Quillfen\">"
                      "<WindowRendererSet filename=\"CEGUINoSuchWindowRendererSet\" /></GUIScheme>"),
              GuiFailure::LIBRARY);
    EXPECT_NE(m_gui.m_failureText.find("CEGUINoSuchWindowRendererSet"), std::string::npos) << m_gui.m_failureText;
    // The system's own XML parser missing.
    const CEGUI::String parser = CEGUI::System::getDefaultXMLParserName();
    CEGUI::System::setDefaultXMLParserName("NoSuchParser");
    const GuiFailure noParser = failure("<GUIScheme/>");
    CEGUI::System::setDefaultXMLParserName(parser);
    EXPECT_EQ(noParser, GuiFailure::LIBRARY);
    EXPECT_NE(m_gui.m_failureText.find("libCEGUINoSuchParser"), std::string::npos) << m_gui.m_failureText;
}
