#pragma once
#include <cstdint>
#include <functional>

#include "app/menu/GuiScreen.h"

namespace CEGUI {
class Combobox;
class ListboxTextItem;
}

// The program's own settings: the two player names, the music and effects
// volumes, brightness, contrast and gamma, the texture detail, the display
// mode and the language. Sliders, detail buttons and the language act at
// once and go into the configuration as they change; OK also stores both
// names, hands a newly chosen display mode to the program for the next frame
// and saves "config.dat"; back forgets a mode that was not applied.
class OptionsScreen : public GuiScreen {
public:
    static constexpr const char* NAME = "OptionsScreen";
    static constexpr int32_t OK = 0;
    static constexpr int32_t BACK = 1;
    // Windows in the order of creation. The object-detail group is never
    // seen, but its state still follows and drives the stored value.
    enum Widget {
        OK_BUTTON,
        BACK_BUTTON,
        NAME1_LABEL,
        NAME1,
        NAME2_LABEL,
        NAME2,
        OBJECT_DETAIL_TITLE,
        OBJECT_DETAIL0,
        OBJECT_DETAIL_LABEL0,
        OBJECT_DETAIL1,
        OBJECT_DETAIL_LABEL1,
        TEXTURE_DETAIL_TITLE,
        TEXTURE_DETAIL0,
        TEXTURE_DETAIL_LABEL0,
        TEXTURE_DETAIL1,
        TEXTURE_DETAIL_LABEL1,
        TEXTURE_DETAIL2,
        TEXTURE_DETAIL_LABEL2,
        BRIGHTNESS_LABEL,
        BRIGHTNESS,
        CONTRAST_LABEL,
        CONTRAST,
        GAMMA_LABEL,
        GAMMA,
        MUSIC_LABEL,
        MUSIC,
        EFFECTS_LABEL,
        EFFECTS,
        DISPLAY_MODE_LABEL,
        DISPLAY_MODES,
        LANGUAGE_LABEL,
        LANGUAGES,
        WIDGETS
    };

    explicit OptionsScreen(Menu* owner);

    const char* name() const override { return NAME; }
    // Nothing pending; every widget from the configuration and the display in use.
    void enter() override;

    CEGUI::Window* widget(Widget w) const { return m_widgets[w]; }
    // A chosen mode that differs from the one in use and waits for OK.
    bool modeChanged() const { return m_modeChanged; }

private:
    struct ResolutionListItem;
    struct LanguageListItem;

    void onOk();
    void onNameActivated(Widget box);
    // Enter stores the name and moves to the other box.
    void onNameAccepted(Widget box);
    void onSliderChanged(int row);
    void onDisplayModeAccepted();
    void onLanguageAccepted();
    void onObjectDetailChanged();
    void onTextureDetailChanged();
    // The button of the stored texture detail; other values leave the buttons.
    void showTextureDetail();
    // Every text of the screen in the menu's current language.
    void updateTexts();

    void buildNameBoxes();
    // A read-only drop-down list named `name` under the root; picking an entry runs `accepted`.
    void buildList(Widget list, const char* name, const std::function<void()>& accepted);
    void fillDisplayModes();
    void fillLanguages();
    void showPercent(int row);
    // The box's text as a stored name: zero-padded, at most 30 characters.
    void storeName(Widget box, char* name) const;
    CEGUI::Combobox& combo(Widget w) const;
    bool isSelected(Widget w) const;
    void select(Widget w, bool selected);

    int32_t m_pendingWidth = -1;
    int32_t m_pendingHeight = -1;
    bool m_pendingWindowed = false;
    bool m_modeChanged = false;
    // The list's box shows the window entry, whose text follows the language.
    bool m_windowShown = false;
    CEGUI::Window* m_widgets[WIDGETS] = {};
};
