#pragma once
#include <memory>

#include <CEGUI/CEGUI.h>
#include <CEGUI/RendererModules/Null/Renderer.h>

#include "engine/platform/gui/GuiContext.h"
#include "engine/platform/gui/GuiResourceProvider.h"
#include "engine/platform/input/InputDevice.h"
#include "tests/support/DemoArchive.h"

// The GUI library without a device: the game's GUI context on the null
// renderer, the scheme and six fonts of the demo data (or of the files
// given), a 1024 x 768 screen and an input device of its own. One at a time.
class NullGui {
public:
    explicit NullGui(File& files = demoArchive()) {
        m_logger = std::make_unique<SilentLogger>();
        m_renderer = &CEGUI::NullRenderer::create();
        m_renderer->setDisplaySize(CEGUI::Sizef(1024, 768));
        context.m_resourceProvider = std::make_unique<GuiResourceProvider>(files);
        context.m_system = &CEGUI::System::create(*m_renderer, context.m_resourceProvider.get());
        context.m_windowManager = CEGUI::WindowManager::getSingletonPtr();
        context.m_imageManager = CEGUI::ImageManager::getSingletonPtr();
        CEGUI::SchemeManager::getSingleton().createFromFile("Quillfen.scheme");
        for (const char* font : {"VerdanaSmall", "VerdanaSmallItalic", "VerdanaMedium", "VerdanaMediumItalic",
                                 "VerdanaLarge", "VerdanaLargeItalic"})
            CEGUI::FontManager::getSingleton().createFromFile(CEGUI::String(font) + ".font");
        context.m_guiContext = &context.m_system->getDefaultGUIContext();
        context.m_guiContext->setDefaultFont("VerdanaSmall");
        context.m_input = &input;
    }
    ~NullGui() {
        shutdownCegui(context);
        CEGUI::NullRenderer::destroy(*m_renderer);
    }
    NullGui(const NullGui&) = delete;
    NullGui& operator=(const NullGui&) = delete;

    CEGUI::Window* root() const { return context.m_guiContext->getRootWindow(); }

    InputDevice input;
    GuiContext context;

private:
    // Keeps the library from writing CEGUI.log into the working folder.
    class SilentLogger : public CEGUI::Logger {
    public:
        void logEvent(const CEGUI::String&, CEGUI::LoggingLevel) override {}
        void setLogFilename(const CEGUI::String&, bool) override {}
    };

    std::unique_ptr<SilentLogger> m_logger;
    CEGUI::NullRenderer* m_renderer = nullptr;
};
