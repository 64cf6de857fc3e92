#pragma once
#include <cstdint>
#include <memory>
#include <string>

class File;
class GuiContext;
class InputDevice;
class LoadingScreen;
class RenderDevice;
class Renderer;
namespace sys::gfx {
class RecordingDevice;
}

// Where a run draws, and the input device its riders read: a recording
// device without a window (nothing is shown, every draw call still runs), or
// a real window with the GUI and the window's keyboard (a window whose GUI
// cannot start does not open).
class RaceScreen {
public:
    RaceScreen();
    ~RaceScreen();
    RaceScreen(const RaceScreen&) = delete;
    RaceScreen& operator=(const RaceScreen&) = delete;

    bool openHeadless(uint32_t width, uint32_t height, std::string& error);
    bool openWindow(uint32_t width, uint32_t height, File& files, std::string& error);

    Renderer* renderer() const { return m_renderer.get(); }
    // Null without a window.
    GuiContext* gui() const { return m_gui; }
    InputDevice& input() const { return *m_input; }
    // Before a frame: the window's messages into the input device; false once the window was closed.
    bool beginFrame();
    // The game's loading screen over a set-up; nothing without a GUI.
    void showLoading(bool shown);

private:
    std::unique_ptr<InputDevice> m_input;
    std::unique_ptr<RenderDevice> m_device;
    std::unique_ptr<Renderer> m_renderer;
    // Set while drawing headless.
    sys::gfx::RecordingDevice* m_recording = nullptr;
    GuiContext* m_gui = nullptr;
    std::unique_ptr<LoadingScreen> m_loading;
    bool m_closed = false;
};
