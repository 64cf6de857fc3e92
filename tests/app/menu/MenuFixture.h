#pragma once
#include <gtest/gtest.h>

#include <CEGUI/CEGUI.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/menu/Menu.h"
#include "app/menu/MenuLoop.h"
#include "engine/platform/TickSource.h"
#include "engine/platform/audio/SampleStream.h"
#include "engine/platform/audio/Sound.h"
#include "engine/platform/audio/SoundDevice.h"
#include "engine/render/Renderer.h"
#include "engine/scene/SceneRenderer.h"
#include "game/records/Config.h"
#include "game/records/RunState.h"
#include "tests/engine/render/RendererTestSupport.h"
#include "tests/support/NullGui.h"
#include "tests/support/TempDir.h"

// A sound that keeps what it was told: its volume and whether it plays, looping.
class NotedSound : public Sound {
public:
    explicit NotedSound(SampleStream* stream) { m_source = stream; }
    bool play(bool loop) override {
        m_playing = true;
        looping = loop;
        ++plays;
        return true;
    }
    bool setLoop(bool loop) override {
        looping = loop;
        return true;
    }
    bool setFrequency(uint32_t) override { return true; }
    bool stop() override {
        m_playing = false;
        return true;
    }
    double getPosition() override { return 0.0; }
    bool setVolume(float v) override {
        volume = v;
        return true;
    }
    bool setPosition(double) override { return true; }
    uint32_t getPlayCursor() override { return 0; }

    float volume = -1.0f;
    bool looping = false;
    int plays = 0;
};

class NotingSoundDevice : public SoundDevice {
public:
    std::unique_ptr<Sound> createSound(SampleStream* stream, uint32_t flags) override {
        EXPECT_EQ(flags, SOUND_STATIC);
        return adopt(std::make_unique<NotedSound>(stream));
    }
};

// The menu over the demo data on a recording 1024 x 768 renderer and the GUI
// on its null renderer, in a scratch working folder for "config.dat"; the
// menu clock runs on ticks the test advances.
class MenuTest : public ::testing::Test {
protected:
    explicit MenuTest(File& guiFiles = demoArchive()) : m_gui(guiFiles) {
        m_previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(m_dir.path());
        m_device.settings().m_width = 1024;
        m_device.settings().m_height = 768;
        m_renderer = std::make_unique<SceneRenderer>(m_device.device());
        m_config = std::make_unique<Config>(&m_gui.input, ".");
        m_menu.renderer = m_renderer.get();
        m_menu.gui = &m_gui.context;
        m_menu.run = &m_run;
        m_menu.clock = Timer(&m_ticks);
    }
    ~MenuTest() override { std::filesystem::current_path(m_previousFolder); }

    void setUp(int32_t language) {
        m_config->m_settings.m_language = language;
        ASSERT_TRUE(menuSetup(m_menu, demoArchive(), &m_sounds, *m_config));
    }
    static void click(CEGUI::Window* button) {
        ASSERT_NE(button, nullptr);
        CEGUI::WindowEventArgs args(button);
        button->fireEvent(CEGUI::PushButton::EventClicked, args, CEGUI::PushButton::EventNamespace);
    }
    static std::string text(const CEGUI::Window* window) { return window->getText().c_str(); }
    static bool imagesetPresent(const std::string& name) {
        for (auto i = CEGUI::ImageManager::getSingleton().getIterator(); !i.isAtEnd(); ++i)
            if (std::string(i.getCurrentKey().c_str()).rfind(name + "/", 0) == 0) return true;
        return false;
    }
    CEGUI::Window* sheet() const { return m_gui.root(); }
    NotedSound* click() const { return static_cast<NotedSound*>(m_menu.click.get()); }
    NotedSound* music() const { return static_cast<NotedSound*>(m_menu.music.get()); }

    std::filesystem::path m_previousFolder;
    TempDir m_dir;
    RecordingRenderDevice m_device;
    NullGui m_gui;
    std::unique_ptr<Renderer> m_renderer;
    std::unique_ptr<Config> m_config;
    RunState m_run;
    ManualTicks m_ticks;
    NotingSoundDevice m_sounds;
    Menu m_menu;
};
