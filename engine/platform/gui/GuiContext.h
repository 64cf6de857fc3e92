#pragma once
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include <CEGUI/String.h>

namespace CEGUI {
class GUIContext;
class ImageManager;
class MouseCursor;
class System;
class WindowManager;
}
namespace sys {
class GuiRenderer;
}
class DeviceList;
class File;
class GuiLog;
class GuiResourceProvider;
class InputDevice;

// What kept the GUI from starting: the library's renderer on this device, the
// library's own installation (a module it loads), or the menus' files it read.
enum class GuiFailure { NONE, RENDERER, LIBRARY, MENU_FILES };

// The GUI library as the game set it up: its system on the renderer's
// device, the program's scheme and fonts, files read through the engine's
// file layer. Owns the system, the library's renderer and the provider.
class GuiContext {
public:
    GuiContext();
    // Shuts the library down if that was not done before.
    ~GuiContext();
    GuiContext(const GuiContext&) = delete;
    GuiContext& operator=(const GuiContext&) = delete;

    DeviceList* m_renderer = nullptr;
    InputDevice* m_input = nullptr;
    CEGUI::System* m_system = nullptr;
    CEGUI::WindowManager* m_windowManager = nullptr;
    CEGUI::ImageManager* m_imageManager = nullptr;
    std::unique_ptr<sys::GuiRenderer> m_guiRenderer;
    CEGUI::GUIContext* m_guiContext = nullptr;
    CEGUI::MouseCursor* m_mouseCursor = nullptr;
    std::unique_ptr<GuiResourceProvider> m_resourceProvider;
    std::unique_ptr<GuiLog> m_log;
    // The mouse buttons as the last injection saw them.
    bool m_leftButtonDown = false;
    bool m_rightButtonDown = false;
    // Imageset files loaded and not unloaded since; a second load of one would throw.
    std::set<CEGUI::String> m_loadedImagesets;
    // Why the last set-up failed, in the library's words.
    GuiFailure m_failure = GuiFailure::NONE;
    std::string m_failureText;
};

extern GuiContext g_gui;

// Starts the library on the renderer's current device with the "Quillfen"
// scheme and the six Verdana fonts. False, with the failure in the context
// and nothing of the library left running, when it cannot start.
bool setupCegui(DeviceList& renderer, GuiContext& context, InputDevice& input, File& file);
// The system goes first, then its renderer, then the provider; the device
// must still exist, so the program calls this before it releases the device.
void shutdownCegui(GuiContext& context);
// The input device's mouse into the GUI; either button clicks as the left one.
void injectMouse(GuiContext& context);
// What was typed since the last call, in its order: editing keys, numeric-pad
// digits and characters; a held key repeats. Consumes the input device's keys.
void injectKeyboard(GuiContext& context);
// Forgets what was typed since the last injection: keys that were not typing
// (riding keys, Space) are no text for a box that opens after them.
void discardTypedText();
// Loads an imageset file once; later calls find it loaded.
void loadImageset(GuiContext& context, const CEGUI::String& fileName);
// Destroys the imageset `name` (its images and picture) when present and
// forgets its file `name` + ".imageset", so that the next load reads it again.
void unloadImageset(GuiContext& context, const CEGUI::String& name);
// Draws every GUI over the renderer's current target.
void drawGui(GuiContext& context);
// After a device reset: the GUI lays itself out for the new back-buffer size.
void resizeGui(GuiContext& context, uint32_t width, uint32_t height);
