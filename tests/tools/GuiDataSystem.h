#pragma once
#include <gtest/gtest.h>

#include <CEGUI/CEGUI.h>
#include <CEGUI/RendererModules/Null/Renderer.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/platform/archive/DataArchive.h"
#include "engine/platform/archive/DiskFile.h"
#include "engine/platform/gui/GuiContext.h"
#include "engine/platform/gui/GuiResourceProvider.h"
#include "tests/support/TempDir.h"
#include "tools/demodata/texts/DemoTexts.h"
#include "tools/guidata/GuiData.h"
#include "tools/sarpack/ArchiveWriter.h"

// Keeps the library's errors for the failure messages instead of writing CEGUI.log.
class MemoryLogger : public CEGUI::Logger {
public:
    void logEvent(const CEGUI::String& message, CEGUI::LoggingLevel level) override {
        if (level <= CEGUI::Warnings) m_errors += std::string(message.c_str()) + "\n";
    }
    void setLogFilename(const CEGUI::String&, bool) override {}
    std::string m_errors;
};

inline const char* const MENU_FONTS[] = {"VerdanaSmall",  "VerdanaSmallItalic",  "VerdanaMedium",
                                         "VerdanaMediumItalic", "VerdanaLarge", "VerdanaLargeItalic"};

inline CEGUI::String utf8(const char* text) { return CEGUI::String(reinterpret_cast<const CEGUI::utf8*>(text)); }

// The menu's data set as the demo data packs it: the GUI files, the text tables and the credits.
inline const std::vector<GuiFile>& menuDataFiles() {
    static const std::vector<GuiFile> files = [] {
        std::vector<GuiFile> all = guiDataFiles();
        for (GuiFile& f : demoTextFiles()) all.push_back(std::move(f));
        return all;
    }();
    return files;
}

// The library over the menu's data set packed into an archive, read through the engine's file layer.
class GuiDataSystem : public ::testing::Test {
protected:
    void SetUp() override {
        ArchiveWriter writer;
        for (const GuiFile& f : menuDataFiles()) {
            // Pictures and fonts are packed already; the rest goes through both coding stages.
            const std::string tail = f.archiveName.substr(f.archiveName.size() - 4);
            ASSERT_TRUE(writer.add(f.archiveName, f.bytes, tail == ".ttf" || tail == ".png" ? 0 : 3)) << f.archiveName;
        }
        std::string path = m_dir.file("gui.sar"), error;
        ASSERT_TRUE(writer.write(path, error)) << error;
        ASSERT_TRUE(m_archive.openArchive(path.c_str()));
        m_logger = std::make_unique<MemoryLogger>();
        m_renderer = &CEGUI::NullRenderer::create();
        m_renderer->setDisplaySize(CEGUI::Sizef(1024, 768));
        m_provider = std::make_unique<GuiResourceProvider>(m_archive);
        CEGUI::System::create(*m_renderer, m_provider.get());
        CEGUI::SchemeManager::getSingleton().createFromFile("Quillfen.scheme");
        m_root = CEGUI::WindowManager::getSingleton().createWindow("DefaultWindow", "Root");
        context().setRootWindow(m_root);
    }

    void TearDown() override {
        if (CEGUI::System::getSingletonPtr()) CEGUI::System::destroy();
        if (m_renderer) CEGUI::NullRenderer::destroy(*m_renderer);
    }

    CEGUI::GUIContext& context() { return CEGUI::System::getSingleton().getDefaultGUIContext(); }

    CEGUI::Window* create(const char* type, float x, float y, float w, float h) {
        CEGUI::Window* window = CEGUI::WindowManager::getSingleton().createWindow(type);
        window->setPosition(CEGUI::UVector2(CEGUI::UDim(0, x), CEGUI::UDim(0, y)));
        window->setSize(CEGUI::USize(CEGUI::UDim(0, w), CEGUI::UDim(0, h)));
        m_root->addChild(window);
        return window;
    }

    void createFonts() {
        for (const char* name : MENU_FONTS)
            CEGUI::FontManager::getSingleton().createFromFile(CEGUI::String(name) + ".font");
        context().setDefaultFont("VerdanaSmall");
    }

    TempDir m_dir;
    DiskFile m_disk{""};
    DataArchive m_archive{m_disk};
    std::unique_ptr<MemoryLogger> m_logger;
    CEGUI::NullRenderer* m_renderer = nullptr;
    std::unique_ptr<GuiResourceProvider> m_provider;
    CEGUI::Window* m_root = nullptr;
    // Only for the imagesets loaded and unloaded through it; the system is the fixture's.
    GuiContext m_gui;
};
