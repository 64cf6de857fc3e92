#pragma once
#include "app/menu/SetUpScreen.h"

// The time trial's set-up: one rider against the clock. The player picks a
// moped, its colour, a track and the laps; the menu draws the moped itself.
// The single race uses the same screen on its own choices.
class TimeTrialScreen : public SetUpScreen {
public:
    static constexpr const char* NAME = "TimeTrialScreen";

    explicit TimeTrialScreen(Menu* owner);

    const char* name() const override { return NAME; }
    // Empty rider slots, the displays from the stored choices, then the base enter.
    void enter() override;
    // The choices into the race values: a time trial of one rider.
    void apply() override;

    void onModelPrev();
    void onModelNext();
    void onColourPrev();
    void onColourNext();
    void onTrackPrev();
    void onTrackNext();
    void onLapsPrev();
    void onLapsNext();

    CEGUI::Window* okButton() const { return m_ok; }
    CEGUI::Window* backButton() const { return m_back; }
    CEGUI::Window* modelCaption() const { return m_modelCaption; }
    CEGUI::Window* colourCaption() const { return m_colourCaption; }
    CEGUI::Window* trackPicture() const { return m_trackPicture; }
    CEGUI::Window* trackCaption() const { return m_trackCaption; }
    CEGUI::Window* lapsCaption() const { return m_lapsCaption; }

protected:
    // The stored choices a screen of this look works on.
    struct Choices {
        Config::Choice* model;
        Config::Choice* colour;
        Config::Choice* track;
        int32_t* laps;
    };

    TimeTrialScreen(Menu* owner, const char* rootName, const Choices& choices);

    // The player's rider in slot 0 and the race values both screens write.
    void applyChoices(int32_t game, int32_t startRank);

private:
    void showModel();
    void showColour();
    // A track beyond the limit greys its picture out and cannot be started.
    void showTrack();
    void showLaps();

    Choices m_choices;
    CEGUI::Window* m_ok = nullptr;
    CEGUI::Window* m_back = nullptr;
    CEGUI::Window* m_colourUp = nullptr;
    CEGUI::Window* m_colourDown = nullptr;
    CEGUI::Window* m_colourCaption = nullptr;
    CEGUI::Window* m_modelLeft = nullptr;
    CEGUI::Window* m_modelRight = nullptr;
    CEGUI::Window* m_modelCaption = nullptr;
    CEGUI::Window* m_trackPicture = nullptr;
    CEGUI::Window* m_trackCaption = nullptr;
    CEGUI::Window* m_trackLeft = nullptr;
    CEGUI::Window* m_trackRight = nullptr;
    CEGUI::Window* m_lapsCaption = nullptr;
    CEGUI::Window* m_lapsLeft = nullptr;
    CEGUI::Window* m_lapsRight = nullptr;
};
