#include "app/menu/OptionsScreen.h"

#include <CEGUI/CEGUI.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

#include "app/menu/DisplayModeRecord.h"
#include "app/menu/Menu.h"
#include "engine/platform/audio/Sound.h"
#include "engine/platform/gui/GuiContext.h"
#include "engine/platform/gui/GuiRegexMatcher.h"
#include "engine/platform/input/InputDevice.h"
#include "engine/render/Renderer.h"
#include "game/records/Config.h"
#include "game/records/TextTable.h"

namespace {

using W = OptionsScreen::Widget;

enum Kind { IMAGE_BUTTON, TEXT, EDIT, RADIO, SLIDER, COMBO };

struct Placed {
    Kind kind;
    float x, y, width, height;
    const char* font;
    int textId; // fixed texts only; the slider labels carry their value
};

// By OptionsScreen::Widget, on the 1024 x 768 layout.
const Placed LAYOUT[OptionsScreen::WIDGETS] = {
    {IMAGE_BUTTON, 885, 629, 120, 120, nullptr, 0},
    {IMAGE_BUTTON, 22, 629, 120, 120, nullptr, 0},
    {TEXT, 203, 100, 200, 30, "VerdanaMedium", 2560},
    {EDIT, 193, 130, 300, 50, "VerdanaMediumItalic", 0},
    {TEXT, 540, 100, 200, 30, "VerdanaMedium", 2570},
    {EDIT, 530, 130, 300, 50, "VerdanaMediumItalic", 0},
    {TEXT, 203, 200, 200, 30, "VerdanaMedium", 2540},
    {RADIO, 213, 235, 38, 37, nullptr, 0},
    {TEXT, 257, 235, 150, 37, "VerdanaMediumItalic", 1020},
    {RADIO, 213, 277, 38, 37, nullptr, 0},
    {TEXT, 257, 277, 150, 37, "VerdanaMediumItalic", 1022},
    {TEXT, 203, 200, 200, 30, "VerdanaMedium", 2550},
    {RADIO, 213, 235, 38, 37, nullptr, 0},
    {TEXT, 257, 235, 150, 37, "VerdanaMediumItalic", 1020},
    {RADIO, 213, 277, 38, 37, nullptr, 0},
    {TEXT, 257, 277, 150, 37, "VerdanaMediumItalic", 1021},
    {RADIO, 213, 319, 38, 37, nullptr, 0},
    {TEXT, 257, 319, 150, 37, "VerdanaMediumItalic", 1022},
    {TEXT, 540, 200, 300, 25, "VerdanaSmall", 0},
    {SLIDER, 530, 225, 300, 36, nullptr, 0},
    {TEXT, 540, 265, 300, 25, "VerdanaSmall", 0},
    {SLIDER, 530, 290, 300, 36, nullptr, 0},
    {TEXT, 540, 330, 300, 25, "VerdanaSmall", 0},
    {SLIDER, 530, 355, 300, 36, nullptr, 0},
    {TEXT, 203, 410, 290, 30, "VerdanaMedium", 0},
    {SLIDER, 193, 440, 300, 40, nullptr, 0},
    {TEXT, 540, 410, 300, 30, "VerdanaMedium", 0},
    {SLIDER, 530, 440, 300, 40, nullptr, 0},
    {TEXT, 203, 495, 300, 30, "VerdanaMedium", 2510},
    {COMBO, 193, 525, 300, 210, "VerdanaMedium", 0},
    {TEXT, 540, 495, 290, 30, "VerdanaMedium", 2580},
    {COMBO, 530, 525, 300, 240, "VerdanaMedium", 0},
};

// A slider with its label: the label's text, then a blank and the percentage.
struct SliderRow {
    W label, slider;
    int textId;
    int32_t Config::Settings::*field;
};

// In the order the sliders take their values on entry; the first three make the gamma ramp.
enum Row { BRIGHTNESS_ROW, CONTRAST_ROW, GAMMA_ROW, MUSIC_ROW, EFFECTS_ROW, ROWS };
const SliderRow SLIDERS[ROWS] = {
    {W::BRIGHTNESS_LABEL, W::BRIGHTNESS, 2515, &Config::Settings::m_brightness},
    {W::CONTRAST_LABEL, W::CONTRAST, 2516, &Config::Settings::m_contrast},
    {W::GAMMA_LABEL, W::GAMMA, 2517, &Config::Settings::m_gamma},
    {W::MUSIC_LABEL, W::MUSIC, 2520, &Config::Settings::m_musicVolume},
    {W::EFFECTS_LABEL, W::EFFECTS, 2530, &Config::Settings::m_effectsVolume},
};

const W OBJECT_DETAILS[] = {W::OBJECT_DETAIL0, W::OBJECT_DETAIL1};
const W TEXTURE_DETAILS[] = {W::TEXTURE_DETAIL0, W::TEXTURE_DETAIL1, W::TEXTURE_DETAIL2};
constexpr int32_t LOWEST_TEXTURE_DETAIL = -2;
constexpr int32_t HIGH_LOD_BIAS = 10;

constexpr int TEXT_WINDOWED = 2511;
constexpr int TEXT_FIRST_LANGUAGE = 2590;
constexpr uint32_t MAX_NAME_CHARACTERS = 16;
const char* const NAME_CHARACTERS = "[-+._0-9a-zA-Z ]*";
constexpr uint32_t BLACK = 0xFF000000;
// The drop lists' backdrop is dark: both lists write in white.
constexpr uint32_t ENTRY_TEXT = 0xFFFFFFFF;
constexpr uint32_t ENTRY_SELECTION = 0xFF897E7A;

CEGUI::String modeText(const TextTable& texts, int32_t width, int32_t height, bool windowed) {
    if (windowed) return texts.getText(TEXT_WINDOWED);
    char text[32];
    std::snprintf(text, sizeof text, "%d x %d", width, height);
    return text;
}

// Handlers act and report the event handled.
void on(CEGUI::Window& window, const CEGUI::String& event, std::function<void()> action) {
    window.subscribeEvent(event, [action = std::move(action)](const CEGUI::EventArgs&) {
        action();
        return true;
    });
}

// A radio group; every change of a button's state runs `changed`.
void groupButtons(std::initializer_list<CEGUI::Window*> buttons, unsigned long group,
                  const std::function<void()>& changed) {
    for (CEGUI::Window* button : buttons) {
        static_cast<CEGUI::RadioButton*>(button)->setGroupID(group);
        on(*button, CEGUI::RadioButton::EventSelectStateChanged, changed);
    }
}

void lookOfEntry(CEGUI::ListboxTextItem& entry) {
    entry.setTextColours(CEGUI::Colour(ENTRY_TEXT));
    entry.setSelectionColours(CEGUI::Colour(ENTRY_SELECTION));
    entry.setSelectionBrushImage("Quillfen/GenericBrush");
}

} // namespace

struct OptionsScreen::ResolutionListItem : CEGUI::ListboxTextItem {
    ResolutionListItem(const TextTable& texts, uint32_t modeWidth, uint32_t modeHeight, bool modeWindowed)
        : ListboxTextItem(modeText(texts, int32_t(modeWidth), int32_t(modeHeight), modeWindowed)), width(modeWidth),
          height(modeHeight), windowed(modeWindowed) {
        lookOfEntry(*this);
    }
    uint32_t width;
    uint32_t height;
    bool windowed;
};

struct OptionsScreen::LanguageListItem : CEGUI::ListboxTextItem {
    LanguageListItem(const CEGUI::String& text, int32_t id) : ListboxTextItem(text), language(id) {
        lookOfEntry(*this);
    }
    int32_t language;
};

OptionsScreen::OptionsScreen(Menu* owner) : GuiScreen(owner) {
    createRoot("Options/Background");
    for (int w = 0; w < WIDGETS; ++w) {
        static const char* const TYPES[] = {"Quillfen/ImageButton", "Quillfen/StaticText", "Quillfen/Editbox",
                                            "Quillfen/RadioButton", "Quillfen/Slider",     "Quillfen/Combobox"};
        const Placed& p = LAYOUT[w];
        CEGUI::Window* window = createWindow(TYPES[p.kind], m_root, p.x, p.y, p.width, p.height);
        if (p.kind == TEXT) setTextLook(*window, p.font, BLACK, "LeftAligned", "CentreAligned");
        if (p.kind == SLIDER) static_cast<CEGUI::Slider*>(window)->setMaxValue(100.0f);
        m_widgets[w] = window;
    }

    setButtonImages(*m_widgets[OK_BUTTON], "Quillfen/OKButton", "Quillfen/OKButtonHover", "Quillfen/OKButtonDisabled");
    setButtonImages(*m_widgets[BACK_BUTTON], "Quillfen/BackButton", "Quillfen/BackButtonHover", "Quillfen/BackButton");
    onClick(*m_widgets[OK_BUTTON], [this] { onOk(); });
    onClick(*m_widgets[BACK_BUTTON], [this] { setResult(BACK); });
    buildNameBoxes();
    for (int row = 0; row < ROWS; ++row)
        on(*m_widgets[SLIDERS[row].slider], CEGUI::Slider::EventValueChanged, [this, row] { onSliderChanged(row); });

    for (int w = OBJECT_DETAIL_TITLE; w <= OBJECT_DETAIL_LABEL1; ++w) m_widgets[w]->setVisible(false);
    for (W button : OBJECT_DETAILS) m_widgets[button]->setEnabled(false);
    groupButtons({m_widgets[OBJECT_DETAIL0], m_widgets[OBJECT_DETAIL1]}, 1, [this] { onObjectDetailChanged(); });
    groupButtons({m_widgets[TEXTURE_DETAIL0], m_widgets[TEXTURE_DETAIL1], m_widgets[TEXTURE_DETAIL2]}, 2,
                 [this] { onTextureDetailChanged(); });

    buildList(DISPLAY_MODES, "cboResolution", [this] { onDisplayModeAccepted(); });
    buildList(LANGUAGES, "cboLanguage", [this] { onLanguageAccepted(); });
    // A display may offer many modes; the six languages always fit.
    combo(DISPLAY_MODES).setShowVertScrollbar(true);
    fillDisplayModes();
    fillLanguages();
}

void OptionsScreen::enter() {
    const Renderer& renderer = *m_owner->renderer;
    Config::Settings& s = m_owner->config->m_settings;
    m_pendingWidth = -1;
    m_pendingHeight = -1;
    m_pendingWindowed = renderer.m_windowed;
    m_modeChanged = false;
    m_windowShown = renderer.m_windowed;

    for (auto [box, name] : {std::pair<W, const char*>{NAME1, s.m_playerName1}, {NAME2, s.m_playerName2}}) {
        m_widgets[box]->setText("");
        m_widgets[box]->setText(reinterpret_cast<const CEGUI::utf8*>(name));
    }
    // Each value that changes runs its handler as the player's move would.
    for (const SliderRow& row : SLIDERS)
        static_cast<CEGUI::Slider*>(m_widgets[row.slider])->setCurrentValue(float(s.*row.field));
    if (s.m_objectDetail == 0 || s.m_objectDetail == 1) {
        select(OBJECT_DETAIL0, s.m_objectDetail == 0);
        select(OBJECT_DETAIL1, s.m_objectDetail == 1);
    }
    showTextureDetail();
    updateTexts();

    combo(DISPLAY_MODES)
        .setText(modeText(*m_owner->texts, renderer.m_screenWidth, renderer.m_screenHeight, m_pendingWindowed));
    if (auto* chosen = static_cast<LanguageListItem*>(combo(LANGUAGES).getSelectedItem())) {
        m_owner->texts->m_language = chosen->language;
        combo(LANGUAGES).getEditbox()->setText(chosen->getText());
    }
    GuiScreen::enter();
}

void OptionsScreen::onOk() {
    Config::Settings& s = m_owner->config->m_settings;
    storeName(NAME1, s.m_playerName1);
    storeName(NAME2, s.m_playerName2);
    if (m_modeChanged) {
        Renderer& renderer = *m_owner->renderer;
        renderer.m_screenWidth = m_pendingWidth;
        renderer.m_screenHeight = m_pendingHeight;
        renderer.m_windowed = m_pendingWindowed;
        renderer.m_displayChanged = true;
        if (InputDevice* input = m_owner->gui->m_input) input->setScreenSize(m_pendingWidth, m_pendingHeight);
        s.m_displayWidth = m_pendingWidth;
        s.m_displayHeight = m_pendingHeight;
    }
    // A file that cannot be written keeps the settings for this run only.
    m_owner->config->save();
    setResult(OK);
}

void OptionsScreen::onNameActivated(Widget box) {
    playClick();
    auto& edit = static_cast<CEGUI::Editbox&>(*m_widgets[box]);
    edit.setCaretIndex(edit.getText().length());
}

void OptionsScreen::onNameAccepted(Widget box) {
    Config::Settings& s = m_owner->config->m_settings;
    storeName(box, box == NAME1 ? s.m_playerName1 : s.m_playerName2);
    m_widgets[box == NAME1 ? NAME2 : NAME1]->activate();
}

void OptionsScreen::onSliderChanged(int row) {
    const float value = static_cast<CEGUI::Slider*>(m_widgets[SLIDERS[row].slider])->getCurrentValue();
    Config::Settings& s = m_owner->config->m_settings;
    s.*SLIDERS[row].field = int32_t(value);
    showPercent(row);
    if (row == MUSIC_ROW) {
        if (m_owner->music) m_owner->music->setVolume(value * 0.01f);
    } else if (row == EFFECTS_ROW) {
        // The same scale the menu set-up gives the click; each click sets its own volume.
        if (m_owner->click) m_owner->click->setVolume(value * 0.007f);
    } else {
        // The moved slider counts unrounded, the others as stored.
        float percent[GAMMA_ROW + 1] = {float(s.m_brightness), float(s.m_contrast), float(s.m_gamma)};
        percent[row] = value;
        m_owner->renderer->setGammaRamp(percent[GAMMA_ROW] * 0.015f + 0.5f, percent[BRIGHTNESS_ROW] * 0.01f,
                                        percent[CONTRAST_ROW] * 0.01f);
    }
}

void OptionsScreen::onDisplayModeAccepted() {
    const auto* chosen = static_cast<ResolutionListItem*>(combo(DISPLAY_MODES).getSelectedItem());
    if (!chosen) return;
    m_windowShown = chosen->windowed;
    const Renderer& renderer = *m_owner->renderer;
    if (int32_t(chosen->width) == renderer.m_screenWidth && int32_t(chosen->height) == renderer.m_screenHeight &&
        chosen->windowed == renderer.m_windowed) {
        m_modeChanged = false;
        return;
    }
    m_pendingWidth = int32_t(chosen->width);
    m_pendingHeight = int32_t(chosen->height);
    m_pendingWindowed = chosen->windowed;
    m_modeChanged = true;
}

void OptionsScreen::onLanguageAccepted() {
    if (const auto* chosen = static_cast<LanguageListItem*>(combo(LANGUAGES).getSelectedItem())) {
        m_owner->texts->m_language = chosen->language;
        combo(LANGUAGES).getEditbox()->setText(chosen->getText());
        m_owner->config->m_settings.m_language = chosen->language;
    }
    updateTexts();
}

void OptionsScreen::onObjectDetailChanged() {
    playClick();
    int32_t& detail = m_owner->config->m_settings.m_objectDetail;
    if (isSelected(OBJECT_DETAIL0)) {
        detail = 0;
        m_owner->renderer->m_lodBias = 0;
    }
    if (isSelected(OBJECT_DETAIL1)) {
        detail = 1;
        m_owner->renderer->m_lodBias = HIGH_LOD_BIAS;
    }
}

void OptionsScreen::onTextureDetailChanged() {
    playClick();
    for (int i = 0; i < 3; ++i)
        if (isSelected(TEXTURE_DETAILS[i])) {
            m_owner->config->m_settings.m_textureDetail = LOWEST_TEXTURE_DETAIL + i;
            return;
        }
}

void OptionsScreen::showTextureDetail() {
    const int32_t chosen = m_owner->config->m_settings.m_textureDetail - LOWEST_TEXTURE_DETAIL;
    if (chosen < 0 || chosen > 2) return;
    for (int i = 0; i < 3; ++i) select(TEXTURE_DETAILS[i], i == chosen);
}

void OptionsScreen::updateTexts() {
    const TextTable& texts = *m_owner->texts;
    for (int w = 0; w < WIDGETS; ++w)
        if (LAYOUT[w].textId) m_widgets[w]->setText(texts.getText(LAYOUT[w].textId));
    for (int row = 0; row < ROWS; ++row) showPercent(row);
    CEGUI::Combobox& languages = combo(LANGUAGES);
    for (size_t i = 0; i < languages.getItemCount(); ++i) {
        auto* entry = static_cast<LanguageListItem*>(languages.getListboxItemFromIndex(i));
        entry->setText(texts.getText(TEXT_FIRST_LANGUAGE + entry->language));
    }
    languages.handleUpdatedListItemData();
    if (texts.m_language >= 0 && texts.m_language < TextTable::LANGUAGE_COUNT)
        languages.setText(texts.getText(TEXT_FIRST_LANGUAGE + texts.m_language));
    CEGUI::Combobox& modes = combo(DISPLAY_MODES);
    for (size_t i = 0; i < modes.getItemCount(); ++i) {
        auto* entry = static_cast<ResolutionListItem*>(modes.getListboxItemFromIndex(i));
        if (entry->windowed) entry->setText(texts.getText(TEXT_WINDOWED));
    }
    modes.handleUpdatedListItemData();
    if (m_windowShown) modes.setText(texts.getText(TEXT_WINDOWED));
}

void OptionsScreen::fillDisplayModes() {
    const Renderer& renderer = *m_owner->renderer;
    const TextTable& texts = *m_owner->texts;
    CEGUI::Combobox& modes = combo(DISPLAY_MODES);
    // A window stays a window of its own size; full screen offers no window.
    if (renderer.m_windowed)
        modes.addItem(
            new ResolutionListItem(texts, uint32_t(renderer.m_screenWidth), uint32_t(renderer.m_screenHeight), true));
    if (!renderer.m_adapter) return;
    for (const DisplayModeRecord& mode : DisplayModeRecord::offered(renderer.m_adapter->m_modes))
        modes.addItem(new ResolutionListItem(texts, mode.width, mode.height, false));
}

void OptionsScreen::fillLanguages() {
    for (int32_t language = 0; language < TextTable::LANGUAGE_COUNT; ++language)
        combo(LANGUAGES).addItem(
            new LanguageListItem(m_owner->texts->getText(TEXT_FIRST_LANGUAGE + language), language));
}

void OptionsScreen::showPercent(int row) {
    const SliderRow& r = SLIDERS[row];
    const std::string value = " " + std::to_string(m_owner->config->m_settings.*r.field) + "%";
    m_widgets[r.label]->setText(m_owner->texts->getText(r.textId) + value.c_str());
}

void OptionsScreen::storeName(Widget box, char* name) const {
    std::memset(name, 0, Config::NAME_SIZE);
    std::strncpy(name, m_widgets[box]->getText().c_str(), Config::NAME_SIZE - 1);
}

void OptionsScreen::buildNameBoxes() {
    // One matcher serves both boxes; an edit box never deletes a matcher it was given.
    static GuiRegexMatcher validator;
    for (W box : {NAME1, NAME2}) {
        auto& edit = static_cast<CEGUI::Editbox&>(*m_widgets[box]);
        edit.setFont(LAYOUT[box].font);
        edit.setValidator(&validator);
        edit.setValidationString(NAME_CHARACTERS);
        edit.setMaxTextLength(MAX_NAME_CHARACTERS);
        on(edit, CEGUI::Window::EventActivated, [this, box] { onNameActivated(box); });
        on(edit, CEGUI::Editbox::EventTextAccepted, [this, box] { onNameAccepted(box); });
    }
}

void OptionsScreen::buildList(Widget list, const char* name, const std::function<void()>& accepted) {
    CEGUI::Combobox& box = combo(list);
    box.setName(name);
    box.setFont(LAYOUT[list].font);
    box.setReadOnly(true);
    box.setShowHorzScrollbar(false);
    box.setShowVertScrollbar(false);
    box.getEditbox()->setFont("VerdanaMediumItalic");
    box.getDropList()->setFont("VerdanaMediumItalic");
    // The list's parts take the mouse before the list could: each press on one of them clicks.
    for (CEGUI::Window* part : {static_cast<CEGUI::Window*>(box.getEditbox()),
                                static_cast<CEGUI::Window*>(box.getPushButton()),
                                static_cast<CEGUI::Window*>(box.getDropList())})
        on(*part, CEGUI::Window::EventMouseButtonDown, [this] { playClick(); });
    on(box, CEGUI::Combobox::EventListSelectionAccepted, accepted);
}

CEGUI::Combobox& OptionsScreen::combo(Widget w) const { return static_cast<CEGUI::Combobox&>(*m_widgets[w]); }

bool OptionsScreen::isSelected(Widget w) const { return static_cast<CEGUI::RadioButton*>(m_widgets[w])->isSelected(); }

void OptionsScreen::select(Widget w, bool selected) {
    static_cast<CEGUI::RadioButton*>(m_widgets[w])->setSelected(selected);
}
