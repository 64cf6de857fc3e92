#include <gtest/gtest.h>

#include <CEGUI/CEGUI.h>
#include <CEGUI/RendererModules/Null/Renderer.h>

#include <memory>
#include <vector>

#include "engine/platform/gui/GuiContext.h"
#include "engine/platform/input/InputDevice.h"
#include "sys/gui/TypedText.h"

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
    m_input.m_keys[0x4F] = 1; // keypad 1
    m_input.m_keys[0x1C] = 1; // Return
    injectKeyboard(m_context);
    EXPECT_EQ(m_chars, (std::vector<CEGUI::utf32>{'1'}));
    EXPECT_EQ(m_keys, (std::vector<int>{0x1C}));
    EXPECT_EQ(m_input.m_keys[0x4F], 0);

    m_chars.clear();
    m_input.m_keys[0x2A] = 1;
    m_input.m_keys[0x4F] = 1;
    injectKeyboard(m_context);
    EXPECT_TRUE(m_chars.empty());
    EXPECT_EQ(m_input.m_keys[0x4F], 0);
    // A consumed key is not passed on again without a new press.
    injectKeyboard(m_context);
    EXPECT_TRUE(m_chars.empty());
}

TEST_F(GuiInjection, TypedCyrillicArrivesAsCodePointsAndKeypadDigitsOnlyOnce) {
    sys::TypedText::push({0x0416, false});
    sys::TypedText::push({'7', true});
    sys::TypedText::push({'x', false});
    m_input.m_keys[0x47] = 1; // keypad 7, typed above as text too
    injectKeyboard(m_context);
    EXPECT_EQ(m_chars, (std::vector<CEGUI::utf32>{'7', 0x0416, 'x'}));
}
