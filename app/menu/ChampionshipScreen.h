#pragma once
#include "app/menu/SetUpScreen.h"

// The championship's set-up: the player picks only a moped and its colour;
// the series itself is fixed (three laps a race, every track in turn from
// the stored first one, four computer riders, standings from zero).
class ChampionshipScreen : public SetUpScreen {
public:
    static constexpr const char* NAME = "ChampionshipScreen";

    explicit ChampionshipScreen(Menu* owner);

    const char* name() const override { return NAME; }
    // Empty rider slots, the displays from the stored choices, then the base enter.
    void enter() override;
    // The first race of the series; the race carries it on from track to track.
    void apply() override;

    void onModelPrev();
    void onModelNext();
    void onColourPrev();
    void onColourNext();

    CEGUI::Window* okButton() const { return m_ok; }
    CEGUI::Window* backButton() const { return m_back; }
    CEGUI::Window* modelCaption() const { return m_modelCaption; }
    CEGUI::Window* colourCaption() const { return m_colourCaption; }

private:
    void showModel();
    void showColour();

    CEGUI::Window* m_ok = nullptr;
    CEGUI::Window* m_back = nullptr;
    CEGUI::Window* m_modelLeft = nullptr;
    CEGUI::Window* m_modelRight = nullptr;
    CEGUI::Window* m_modelCaption = nullptr;
    CEGUI::Window* m_colourCaption = nullptr;
    CEGUI::Window* m_colourUp = nullptr;
    CEGUI::Window* m_colourDown = nullptr;
};
