#include "engine/platform/gui/GuiContext.h"

#include <CEGUI/CEGUI.h>

#include <algorithm>
#include <iterator>

#include "engine/platform/display/DeviceList.h"
#include "engine/platform/gui/GuiLog.h"
#include "engine/platform/gui/GuiResourceProvider.h"
#include "engine/platform/input/InputDevice.h"
#include "sys/gui/GuiRenderer.h"
#include "sys/gui/TypedText.h"

GuiContext g_gui;

namespace {

const char* const FONT_NAMES[] = {"VerdanaSmall",  "VerdanaSmallItalic",  "VerdanaMedium",
                                  "VerdanaMediumItalic", "VerdanaLarge", "VerdanaLargeItalic"};

// DirectInput codes of the editing keys the GUI is told about.
const uint8_t EDITING_KEYS[] = {0x0E, 0x1C, 0x0F, 0xC8, 0xD0, 0xCB, 0xCD, 0xD3, 0xC7, 0xCF, 0xC9, 0xD1};
// The numeric pad's 0 to 9; with Shift they are no digits.
const uint8_t KEYPAD_DIGITS[] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};

void injectEdges(CEGUI::GUIContext& gui, bool down, bool& wasDown) {
    if (down && !wasDown) gui.injectMouseButtonDown(CEGUI::LeftButton);
    else if (!down && wasDown) gui.injectMouseButtonUp(CEGUI::LeftButton);
    wasDown = down;
}

} // namespace

GuiContext::GuiContext() = default;

GuiContext::~GuiContext() { shutdownCegui(*this); }

void shutdownCegui(GuiContext& context) {
    if (context.m_system) CEGUI::System::destroy();
    context.m_system = nullptr;
    context.m_windowManager = nullptr;
    context.m_imageManager = nullptr;
    context.m_guiContext = nullptr;
    context.m_mouseCursor = nullptr;
    context.m_guiRenderer.reset();
    context.m_resourceProvider.reset();
    context.m_log.reset();
    context.m_loadedImagesets.clear();
    sys::TypedText::stop();
}

namespace {

bool failed(GuiContext& context, GuiFailure failure, const std::string& text) {
    shutdownCegui(context);
    context.m_failure = failure;
    context.m_failureText = text;
    return false;
}

// The library loads its parser, image codec and window renderers as modules of its own installation.
bool fromModule(const CEGUI::Exception& error) {
    const std::string file = error.getFileName().c_str();
    const std::string module = "DynamicModule.cpp";
    return file.size() >= module.size() && file.compare(file.size() - module.size(), module.size(), module) == 0;
}

void loadMenus(GuiContext& context) {
    CEGUI::SchemeManager::getSingleton().createFromFile("Quillfen.scheme", "");
    // The fonts make their Latin-1 and Cyrillic glyphs when first drawn.
    for (const char* name : FONT_NAMES) {
        CEGUI::Font& font = CEGUI::FontManager::getSingleton().createFromFile(CEGUI::String(name) + ".font", "");
        if (font.isPropertyPresent("Antialiased")) font.setProperty("Antialiased", "true");
    }
    context.m_guiContext = &context.m_system->getDefaultGUIContext();
    context.m_guiContext->setDefaultFont("VerdanaSmall");
    context.m_mouseCursor = &context.m_guiContext->getMouseCursor();
    context.m_mouseCursor->setDefaultImage("Quillfen/MouseArrow");
}

} // namespace

bool setupCegui(DeviceList& renderer, GuiContext& context, InputDevice& input, File& file) {
    // The library's exceptions would also go to standard error; the callers tell of them.
    CEGUI::Exception::setStdErrEnabled(false);
    context.m_failure = GuiFailure::NONE;
    context.m_failureText.clear();
    context.m_renderer = &renderer;
    context.m_input = &input;
    context.m_resourceProvider = std::make_unique<GuiResourceProvider>(file);
    std::string reason;
    context.m_guiRenderer = sys::GuiRenderer::create(*renderer.m_currentDevice, reason);
    if (!context.m_guiRenderer)
        return failed(context, GuiFailure::RENDERER, "the GUI renderer could not start on the device: " + reason);
    // Made before the system, which then takes it instead of opening its own.
    if (!context.m_log) {
        context.m_log = std::make_unique<GuiLog>();
        context.m_log->setLogFilename("CEGUI.log");
    }
    try {
        context.m_system = &CEGUI::System::create(context.m_guiRenderer->renderer(), context.m_resourceProvider.get(),
                                                  nullptr, nullptr, nullptr, "", "CEGUI.log");
    } catch (const CEGUI::Exception& error) {
        // Nothing of the archive is read yet: the system's parser or image codec did not load.
        return failed(context, GuiFailure::LIBRARY, error.what());
    }
    context.m_windowManager = CEGUI::WindowManager::getSingletonPtr();
    context.m_imageManager = CEGUI::ImageManager::getSingletonPtr();
    try {
        loadMenus(context);
    } catch (const CEGUI::Exception& error) {
        return failed(context, fromModule(error) ? GuiFailure::LIBRARY : GuiFailure::MENU_FILES, error.what());
    } catch (const std::exception& error) {
        return failed(context, GuiFailure::MENU_FILES, error.what());
    }
    sys::TypedText::start();
    return true;
}

void injectMouse(GuiContext& context) {
    CEGUI::GUIContext& gui = *context.m_guiContext;
    const InputDevice& input = *context.m_input;
    gui.injectMousePosition(float(input.m_mouseX), float(input.m_mouseY));
    gui.injectMouseWheelChange(float(input.m_mouseDZ));
    injectEdges(gui, input.m_buttons[0] != 0, context.m_leftButtonDown);
    // The right button clicks too; the middle one is not passed on.
    injectEdges(gui, input.m_buttons[1] != 0, context.m_rightButtonDown);
}

void injectKeyboard(GuiContext& context) {
    CEGUI::GUIContext& gui = *context.m_guiContext;
    // Every key is the GUI's while it takes them: none counts for the menu or the race as well.
    std::fill(std::begin(context.m_input->m_keys), std::end(context.m_input->m_keys), uint8_t(0));
    // Presses and characters in the order typed, however many came since the last frame.
    sys::TypedText::Entry typed;
    for (uint32_t n = 0; n < sys::TypedText::CAPACITY && sys::TypedText::pop(typed); ++n) {
        if (typed.codePoint) {
            // In the keyboard's own layout; keypad digits come as their keys.
            if (!typed.fromKeypad || typed.codePoint < '0' || typed.codePoint > '9')
                gui.injectChar(CEGUI::utf32(typed.codePoint));
            continue;
        }
        if (std::find(std::begin(EDITING_KEYS), std::end(EDITING_KEYS), typed.key) != std::end(EDITING_KEYS)) {
            gui.injectKeyDown(CEGUI::Key::Scan(typed.key));
            continue;
        }
        const auto digit = std::find(std::begin(KEYPAD_DIGITS), std::end(KEYPAD_DIGITS), typed.key);
        if (digit != std::end(KEYPAD_DIGITS) && !typed.shifted)
            gui.injectChar(CEGUI::utf32('0' + (digit - std::begin(KEYPAD_DIGITS))));
    }
}

void discardTypedText() { sys::TypedText::clear(); }

void loadImageset(GuiContext& context, const CEGUI::String& fileName) {
    if (context.m_loadedImagesets.count(fileName)) return;
    CEGUI::ImageManager::getSingleton().loadImageset(fileName, "");
    context.m_loadedImagesets.insert(fileName);
}

void unloadImageset(GuiContext& context, const CEGUI::String& name) {
    CEGUI::ImageManager::getSingleton().destroyImageCollection(name);
    context.m_loadedImagesets.erase(name + ".imageset");
}

void drawGui(GuiContext& context) {
    if (context.m_guiRenderer) context.m_guiRenderer->draw();
}

void resizeGui(GuiContext& context, uint32_t width, uint32_t height) {
    if (!context.m_guiRenderer || !context.m_system) return;
    context.m_guiRenderer->setDisplaySize(width, height);
    context.m_system->notifyDisplaySizeChanged(CEGUI::Sizef(float(width), float(height)));
}
