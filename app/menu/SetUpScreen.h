#pragma once
#include <cstdint>

#include "app/lobby/ChooserStep.h"
#include "app/menu/GuiScreen.h"
#include "game/records/Config.h"

// What the race set-up screens share: their buttons and captions, the wrap of
// their choosers, the texts of a choice, and the rider records they reset on
// entry and fill when the race starts. A choice changes only the stored
// setting; the replicated race values are written by `apply`.
class SetUpScreen : public GuiScreen {
public:
    enum ButtonKind { OK_BUTTON, BACK_BUTTON, UP_ARROW, DOWN_ARROW, LEFT_BUTTON, RIGHT_BUTTON };
    static constexpr int32_t START = 0;
    static constexpr int32_t BACK = 1;
    static constexpr int32_t LAST_TRACK = GameRules::TRACKS - 1;
    static constexpr int32_t FIRST_LAP = GameRules::FIRST_LAP;
    static constexpr int32_t LAST_LAP = GameRules::LAST_LAP;
    static constexpr int32_t CHAMPIONSHIP_LAPS = GameRules::CHAMPIONSHIP_LAPS;
    static constexpr uint32_t WHITE = 0xFFFFFFFF;
    static constexpr uint32_t BLACK = 0xFF000000;

    // A chooser's step back and on (chooserStep).
    static int32_t previous(int32_t value, int32_t low, int32_t high);
    static int32_t next(int32_t value, int32_t low, int32_t high);
    // A stored choice out of its range starts again from the first, so that
    // no race is set up with a moped or track the game does not have.
    static void keepInRange(Config::Choice& choice);

protected:
    explicit SetUpScreen(Menu* owner) : GuiScreen(owner) {}

    // A square image button; OK reports START and back BACK, with the click.
    CEGUI::Window* createButton(ButtonKind kind, float x, float y, float size);
    // A centred "VerdanaSmall" caption.
    CEGUI::Window* createCaption(float x, float y, float width, float height, uint32_t argb = WHITE);
    CEGUI::Window* createPicture(float x, float y, float width, float height);

    // Captions of a choice in the menu's language; an index without a text
    // id leaves the caption as it was.
    void showModelText(CEGUI::Window& caption, int32_t model) const;
    void showColourText(CEGUI::Window& caption, int32_t colour) const;
    void showTrackText(CEGUI::Window& caption, int32_t track) const;
    void showLapsText(CEGUI::Window& caption, int32_t laps) const;

    // Every rider slot empty and sent from here only, as on entering a screen.
    void resetRiders();
    // A rider for the race, its standings at zero.
    void setRider(int slot, int32_t kind, const char* name, int32_t colour, int32_t model, int32_t startRank);
    // Computer riders from `firstSlot` on, in front of the players, the last
    // slot in first place; without a moped, as race set-up draws one no
    // other rider has.
    void setComputerRiders(int firstSlot);
};
