// The options screen on the demo data: the display-mode list, what OK, back
// and the controls write, and the texts in the chosen language.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/menu/MainMenuScreen.h"
#include "app/menu/OptionsScreen.h"
#include "game/records/TextTable.h"
#include "sys/gfx/RecordingDevice.h"
#include "sys/gui/TypedText.h"
#include "sys/window/Window.h"
#include "tests/app/menu/MenuFixture.h"

namespace {

using W = OptionsScreen::Widget;

// Keeps the last gamma ramp it was given.
class RampDevice : public sys::gfx::RecordingDevice {
public:
    RampDevice() : RecordingDevice(sys::gfx::PresentParams{}) {}
    void setGammaRamp(uint32_t, uint32_t, const uint16_t ramp[3][256]) override {
        last.assign(ramp[0], ramp[0] + 256);
        ++ramps;
    }
    std::vector<uint16_t> last;
    int ramps = 0;
};

std::vector<uint16_t> rampOf(float gamma, float brightness, float contrast) {
    uint16_t ramp[256];
    Renderer::buildGammaRamp(gamma, brightness, contrast, ramp);
    return std::vector<uint16_t>(ramp, ramp + 256);
}

class OptionsTest : public MenuTest {
protected:
    // The menu in English, on the options screen as the main menu opens it.
    OptionsScreen& open() {
        if (!m_menu.scene) setUp(1);
        click(m_menu.mainMenu->button(MainMenuScreen::OPTIONS));
        menuFrame(m_menu);
        EXPECT_EQ(m_menu.current, m_menu.options.get());
        EXPECT_EQ(sheet(), m_menu.options->root());
        return static_cast<OptionsScreen&>(*m_menu.options);
    }
    // OK or back, and the frame that acts on it.
    void leave(OptionsScreen& screen, W button) {
        click(screen.widget(button));
        menuFrame(m_menu);
        EXPECT_EQ(m_menu.current, m_menu.mainMenu.get());
    }
    static CEGUI::Combobox& list(const OptionsScreen& screen, W w) {
        return static_cast<CEGUI::Combobox&>(*screen.widget(w));
    }
    static std::vector<std::string> entries(const CEGUI::Combobox& box) {
        std::vector<std::string> texts;
        for (size_t i = 0; i < box.getItemCount(); ++i)
            texts.push_back(box.getListboxItemFromIndex(i)->getText().c_str());
        return texts;
    }
    // The player picks the entry from the dropped list.
    static void choose(CEGUI::Combobox& box, const std::string& entry) {
        const std::vector<std::string> texts = entries(box);
        const auto found = std::find(texts.begin(), texts.end(), entry);
        ASSERT_NE(found, texts.end()) << entry;
        CEGUI::ComboDropList& drop = *box.getDropList();
        drop.setItemSelectState(size_t(found - texts.begin()), true);
        CEGUI::WindowEventArgs args(&drop);
        drop.fireEvent(CEGUI::ComboDropList::EventListSelectionAccepted, args, CEGUI::ComboDropList::EventNamespace);
    }
    static void slide(const OptionsScreen& screen, W slider, float value) {
        static_cast<CEGUI::Slider*>(screen.widget(slider))->setCurrentValue(value);
    }
    static bool selected(const OptionsScreen& screen, W button) {
        return static_cast<CEGUI::RadioButton*>(screen.widget(button))->isSelected();
    }
    CEGUI::GUIContext& gui() { return *m_gui.context.m_guiContext; }
    Config::Settings& settings() { return m_config->m_settings; }
};

} // namespace

TEST_F(OptionsTest, ModeListOffersTheWindowThenEachSizeFrom800x600OnceInOrder) {
    m_device.adapter().m_modes = {{1280, 1024, 60, 0}, {640, 480, 60, 0}, {1024, 768, 75, 0}, {800, 600, 60, 0},
                                  {1024, 768, 60, 0},  {1280, 720, 60, 0}, {799, 600, 60, 0},  {1600, 900, 60, 0},
                                  {800, 599, 60, 0},   {800, 600, 75, 0}};
    m_renderer->m_windowed = true;
    m_renderer->m_screenWidth = 960;
    m_renderer->m_screenHeight = 720;
    OptionsScreen& screen = open();
    EXPECT_EQ(entries(list(screen, W::DISPLAY_MODES)),
              (std::vector<std::string>{"Windowed", "800 x 600", "1024 x 768", "1280 x 720", "1280 x 1024",
                                        "1600 x 900"}));
    EXPECT_EQ(text(list(screen, W::DISPLAY_MODES).getEditbox()), "Windowed");
    EXPECT_FALSE(screen.modeChanged());

    // A press drops the list, one on its second entry picks it; each press clicks.
    const int clicks = click()->plays;
    for (float y : {540.0f, 600.0f}) {
        gui().injectMousePosition(250, y);
        gui().injectMouseButtonDown(CEGUI::LeftButton);
        gui().injectMouseButtonUp(CEGUI::LeftButton);
    }
    EXPECT_EQ(click()->plays, clicks + 2);
    EXPECT_EQ(text(list(screen, W::DISPLAY_MODES).getEditbox()), "800 x 600");
    EXPECT_TRUE(screen.modeChanged());

    // Full screen on an adapter with nothing large enough: nothing to choose.
    m_renderer->m_windowed = false;
    m_device.adapter().m_modes = {{640, 480, 60, 0}, {1024, 576, 60, 0}};
    const OptionsScreen fullScreen(&m_menu);
    EXPECT_EQ(list(fullScreen, W::DISPLAY_MODES).getItemCount(), 0u);
}

TEST_F(OptionsTest, OkHandsANewModeToTheProgramAndSavesWhileBackDropsIt) {
    m_device.adapter().m_modes = {{800, 600, 60, 0}, {1024, 768, 60, 0}, {1280, 1024, 60, 0}};
    OptionsScreen& screen = open();
    EXPECT_EQ(text(list(screen, W::DISPLAY_MODES).getEditbox()), "1024 x 768");

    choose(list(screen, W::DISPLAY_MODES), "800 x 600");
    EXPECT_TRUE(screen.modeChanged());
    leave(screen, W::BACK_BUTTON);
    EXPECT_EQ(m_renderer->m_screenWidth, 1024);
    EXPECT_FALSE(m_renderer->m_displayChanged);
    EXPECT_EQ(settings().m_displayWidth, 1024);

    // The next entry starts with nothing pending; the mode in use, or back to it, changes nothing.
    open();
    EXPECT_FALSE(screen.modeChanged());
    EXPECT_EQ(text(list(screen, W::DISPLAY_MODES).getEditbox()), "1024 x 768");
    choose(list(screen, W::DISPLAY_MODES), "1280 x 1024");
    choose(list(screen, W::DISPLAY_MODES), "1024 x 768");
    EXPECT_FALSE(screen.modeChanged());

    choose(list(screen, W::DISPLAY_MODES), "800 x 600");
    screen.widget(W::NAME2)->setText("Quick Nick");
    slide(screen, W::MUSIC, 20.0f);
    leave(screen, W::OK_BUTTON);
    EXPECT_EQ(m_renderer->m_screenWidth, 800);
    EXPECT_EQ(m_renderer->m_screenHeight, 600);
    EXPECT_FALSE(m_renderer->m_windowed);
    EXPECT_TRUE(m_renderer->m_displayChanged);
    EXPECT_TRUE(screen.modeChanged());

    const Config saved(nullptr, ".");
    EXPECT_EQ(saved.m_settings.m_displayWidth, 800);
    EXPECT_EQ(saved.m_settings.m_displayHeight, 600);
    EXPECT_STREQ(saved.m_settings.m_playerName2, "Quick Nick");
    EXPECT_EQ(saved.m_settings.m_musicVolume, 20);
}

TEST_F(OptionsTest, SliderEndsGiveTheFullRangeOfTheirFactors) {
    RampDevice ramps;
    sys::gfx::Device* recording = m_renderer->m_currentDevice;
    m_renderer->m_currentDevice = &ramps;
    OptionsScreen& screen = open();
    // The first entry put the stored values on the sliders; each one's change set the ramp.
    EXPECT_EQ(ramps.ramps, 3);
    EXPECT_EQ(ramps.last, rampOf(1.25f, 0.5f, 0.5f));
    EXPECT_EQ(text(screen.widget(W::GAMMA_LABEL)), "Gamma 50%");

    slide(screen, W::BRIGHTNESS, 0.0f);
    slide(screen, W::CONTRAST, 0.0f);
    slide(screen, W::GAMMA, 0.0f);
    EXPECT_EQ(ramps.last, rampOf(0.5f, 0.0f, 0.0f));
    EXPECT_EQ(text(screen.widget(W::BRIGHTNESS_LABEL)), "Brightness 0%");
    slide(screen, W::BRIGHTNESS, 100.0f);
    slide(screen, W::CONTRAST, 100.0f);
    slide(screen, W::GAMMA, 100.0f);
    EXPECT_EQ(ramps.last, rampOf(2.0f, 1.0f, 1.0f));
    EXPECT_EQ(text(screen.widget(W::CONTRAST_LABEL)), "Contrast 100%");

    // Between integers: stored and shown truncated, the ramp takes it whole.
    slide(screen, W::GAMMA, 33.8f);
    EXPECT_EQ(settings().m_gamma, 33);
    EXPECT_EQ(text(screen.widget(W::GAMMA_LABEL)), "Gamma 33%");
    EXPECT_EQ(ramps.last, rampOf(33.8f * 0.015f + 0.5f, 1.0f, 1.0f));

    const int clicks = click()->plays;
    slide(screen, W::MUSIC, 0.0f);
    slide(screen, W::EFFECTS, 100.0f);
    EXPECT_EQ(settings().m_musicVolume, 0);
    EXPECT_FLOAT_EQ(music()->volume, 0.0f);
    EXPECT_EQ(settings().m_effectsVolume, 100);
    EXPECT_FLOAT_EQ(click()->volume, 0.7f);
    EXPECT_EQ(text(screen.widget(W::EFFECTS_LABEL)), "Sound effects 100%");
    EXPECT_EQ(click()->plays, clicks);
    m_renderer->m_currentDevice = recording;
}

TEST_F(OptionsTest, NameBoxesTakeSixteenNameCharactersAndTheRecordThirty) {
    OptionsScreen& screen = open();
    CEGUI::Window& box1 = *screen.widget(W::NAME1);
    EXPECT_EQ(text(&box1), "Player 1");
    box1.setText("");
    box1.activate();
    for (char c : std::string("Ann!-Marie_2.0+ Kaiserschmarrn")) gui().injectChar(CEGUI::utf32(c));
    gui().injectChar(0x00E9); // é is no name letter
    EXPECT_EQ(text(&box1), "Ann-Marie_2.0+ K");

    // Enter stores the name and moves on to the other box, and from there back.
    gui().injectKeyDown(CEGUI::Key::Return);
    EXPECT_STREQ(settings().m_playerName1, "Ann-Marie_2.0+ K");
    EXPECT_TRUE(screen.widget(W::NAME2)->isActive());
    gui().injectKeyDown(CEGUI::Key::Return);
    EXPECT_TRUE(box1.isActive());

    // A longer name than the box takes still fits the record only cut, its rest zero.
    const std::string longName(40, 'x');
    screen.widget(W::NAME2)->setText(longName);
    box1.setText("typed, not entered");
    leave(screen, W::OK_BUTTON);
    EXPECT_EQ(std::string(settings().m_playerName2), longName.substr(0, 30));
    EXPECT_EQ(settings().m_playerName2[30], 0);
    EXPECT_STREQ(settings().m_playerName1, "typed, not entered");
}

namespace {

// A key as SDL hands it over, with the text it types; a repeat is a held key's.
void pushKey(SDL_Scancode code, bool down, const char* text = nullptr, bool repeat = false) {
    SDL_Event key{};
    key.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    key.key.keysym.scancode = code;
    key.key.repeat = repeat;
    SDL_PushEvent(&key);
    if (!text) return;
    SDL_Event typed{};
    typed.type = SDL_TEXTINPUT;
    std::strncpy(typed.text.text, text, sizeof typed.text.text - 1);
    SDL_PushEvent(&typed);
}

void tapKey(SDL_Scancode code, const char* text = nullptr) {
    pushKey(code, true, text);
    pushKey(code, false);
}

} // namespace

TEST_F(OptionsTest, KeysAndLettersTypedWithinOneFrameAllReachTheNameInTheirOrder) {
    OptionsScreen& screen = open();
    CEGUI::Window& box = *screen.widget(W::NAME1);
    box.setText("ABCDEF");
    box.activate();
    sys::pumpMessages();
    sys::TypedText::start();
    tapKey(SDL_SCANCODE_A, "a");
    tapKey(SDL_SCANCODE_BACKSPACE);
    tapKey(SDL_SCANCODE_C, "c");
    // Three BackSpaces in one go: SDL takes the later presses for a held key's repeats.
    pushKey(SDL_SCANCODE_BACKSPACE, true);
    for (int again = 0; again < 2; ++again) pushKey(SDL_SCANCODE_BACKSPACE, true, nullptr, true);
    pushKey(SDL_SCANCODE_BACKSPACE, false);
    sys::pumpMessages();
    injectInput(m_gui.input, m_menu);
    EXPECT_EQ(text(&box), "ABCD");
}

TEST_F(OptionsTest, ChoosingALanguageChangesEveryTextAtOnceAndDetailsFollowTheirButtons) {
    settings().m_objectDetail = 1;
    m_renderer->m_windowed = true;
    OptionsScreen& screen = open();
    std::vector<std::string> english;
    for (int w = 0; w < OptionsScreen::WIDGETS; ++w) english.push_back(text(screen.widget(W(w))));

    // The window's entry in the size list and in the list's box speaks the language too.
    for (auto [language, window] : {std::pair{"Deutsch", "Im Fenster"}, {"Français", "Fenêtré"}}) {
        choose(list(screen, W::LANGUAGES), language);
        EXPECT_EQ(entries(list(screen, W::DISPLAY_MODES)).front(), window);
        EXPECT_EQ(text(list(screen, W::DISPLAY_MODES).getEditbox()), window);
    }

    choose(list(screen, W::LANGUAGES), "Русский");
    EXPECT_EQ(settings().m_language, 5);
    EXPECT_EQ(m_menu.texts->m_language, 5);
    for (int w = 0; w < OptionsScreen::WIDGETS; ++w) {
        if (std::string(screen.widget(W(w))->getType().c_str()) == "Quillfen/StaticText") {
            EXPECT_NE(text(screen.widget(W(w))), english[size_t(w)]) << w;
        }
    }
    EXPECT_EQ(text(screen.widget(W::GAMMA_LABEL)), "Гамма 50%");
    EXPECT_EQ(text(list(screen, W::LANGUAGES).getEditbox()), "Русский");
    EXPECT_EQ(entries(list(screen, W::LANGUAGES)),
              (std::vector<std::string>{"Deutsch", "English", "Français", "Español", "Italiano", "Русский"}));

    // The hidden object detail took the stored value; the texture detail's middle button is the default.
    EXPECT_TRUE(selected(screen, W::OBJECT_DETAIL1));
    EXPECT_EQ(m_renderer->m_lodBias, 10);
    EXPECT_FALSE(screen.widget(W::OBJECT_DETAIL0)->isVisible());
    EXPECT_TRUE(selected(screen, W::TEXTURE_DETAIL1));
    static_cast<CEGUI::RadioButton*>(screen.widget(W::TEXTURE_DETAIL0))->setSelected(true);
    EXPECT_EQ(settings().m_textureDetail, -2);
    EXPECT_FALSE(selected(screen, W::TEXTURE_DETAIL1));
    leave(screen, W::BACK_BUTTON);

    // Values from outside their range leave the buttons as they were.
    settings().m_textureDetail = 3;
    settings().m_objectDetail = 7;
    open();
    EXPECT_TRUE(selected(screen, W::TEXTURE_DETAIL0));
    EXPECT_TRUE(selected(screen, W::OBJECT_DETAIL1));
    EXPECT_EQ(text(screen.widget(W::LANGUAGE_LABEL)), "Язык");
}
