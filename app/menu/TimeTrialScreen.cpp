#include "app/menu/TimeTrialScreen.h"

#include <CEGUI/CEGUI.h>

#include <string>

#include "app/menu/Menu.h"
#include "game/race/GameRules.h"

namespace {

constexpr float BIG_BUTTON = 120.0f;
constexpr float ARROW = 45.0f;
constexpr float SIDE_BUTTON = 90.0f;
constexpr int32_t DEFAULT_LAPS = 3;

} // namespace

TimeTrialScreen::TimeTrialScreen(Menu* owner)
    : TimeTrialScreen(owner, NAME,
                      {&owner->config->m_settings.m_timeTrialModel, &owner->config->m_settings.m_timeTrialColour,
                       &owner->config->m_settings.m_timeTrialTrack, &owner->config->m_settings.m_timeTrialLaps}) {}

TimeTrialScreen::TimeTrialScreen(Menu* owner, const char* rootName, const Choices& choices)
    : SetUpScreen(owner), m_choices(choices) {
    createRoot("TimeTrial/Background");
    m_root->setName(rootName);
    m_ok = createButton(OK_BUTTON, 885, 629, BIG_BUTTON);
    m_back = createButton(BACK_BUTTON, 22, 629, BIG_BUTTON);
    m_colourUp = createButton(UP_ARROW, 463, 88, ARROW);
    m_colourDown = createButton(DOWN_ARROW, 463, 227, ARROW);
    m_colourCaption = createCaption(181, 64, 216, 30);
    m_colourCaption->setVisible(false);
    m_modelLeft = createButton(LEFT_BUTTON, 136, 305, SIDE_BUTTON);
    m_modelRight = createButton(RIGHT_BUTTON, 353, 305, SIDE_BUTTON);
    m_modelCaption = createCaption(181, 269, 216, 30);
    m_trackPicture = createPicture(557, 54, 362, 272);
    m_trackCaption = createCaption(599, 269, 275, 30);
    m_trackLeft = createButton(LEFT_BUTTON, 584, 306, SIDE_BUTTON);
    m_trackRight = createButton(RIGHT_BUTTON, 799, 306, SIDE_BUTTON);
    m_lapsCaption = createCaption(266, 680, 182, 47, BLACK);
    m_lapsLeft = createButton(LEFT_BUTTON, 158, 657, SIDE_BUTTON);
    m_lapsRight = createButton(RIGHT_BUTTON, 467, 658, SIDE_BUTTON);

    onClick(*m_colourUp, [this] { onColourPrev(); });
    onClick(*m_colourDown, [this] { onColourNext(); });
    onClick(*m_modelLeft, [this] { onModelPrev(); });
    onClick(*m_modelRight, [this] { onModelNext(); });
    onClick(*m_trackLeft, [this] { onTrackPrev(); });
    onClick(*m_trackRight, [this] { onTrackNext(); });
    onClick(*m_lapsLeft, [this] { onLapsPrev(); });
    onClick(*m_lapsRight, [this] { onLapsNext(); });
}

void TimeTrialScreen::enter() {
    resetRiders();
    keepInRange(*m_choices.model);
    keepInRange(*m_choices.colour);
    keepInRange(*m_choices.track);
    if (*m_choices.laps < FIRST_LAP || *m_choices.laps > LAST_LAP) *m_choices.laps = DEFAULT_LAPS;
    showModel();
    showColour();
    showTrack();
    showLaps();
    SetUpScreen::enter();
}

void TimeTrialScreen::apply() { applyChoices(GameRules::TIME_TRIAL, 0); }

void TimeTrialScreen::applyChoices(int32_t game, int32_t startRank) {
    Config& config = *m_owner->config;
    config.m_game = game;
    config.m_playMode = GameRules::ONE_PLAYER;
    config.m_track = m_choices.track->value;
    config.m_laps = *m_choices.laps;
    setRider(0, GameRules::SINGLE, config.m_settings.m_playerName1, m_choices.colour->value, m_choices.model->value,
             startRank);
    config.m_isHost = true;
}

void TimeTrialScreen::onModelPrev() {
    m_choices.model->value = previous(m_choices.model->value, 0, m_choices.model->limit);
    showModel();
}

void TimeTrialScreen::onModelNext() {
    m_choices.model->value = next(m_choices.model->value, 0, m_choices.model->limit);
    showModel();
}

void TimeTrialScreen::onColourPrev() {
    m_choices.colour->value = previous(m_choices.colour->value, 0, m_choices.colour->limit);
    showColour();
}

void TimeTrialScreen::onColourNext() {
    m_choices.colour->value = next(m_choices.colour->value, 0, m_choices.colour->limit);
    showColour();
}

void TimeTrialScreen::onTrackPrev() {
    m_choices.track->value = previous(m_choices.track->value, 0, LAST_TRACK);
    showTrack();
}

void TimeTrialScreen::onTrackNext() {
    m_choices.track->value = next(m_choices.track->value, 0, LAST_TRACK);
    showTrack();
}

void TimeTrialScreen::onLapsPrev() {
    *m_choices.laps = previous(*m_choices.laps, FIRST_LAP, LAST_LAP);
    showLaps();
}

void TimeTrialScreen::onLapsNext() {
    *m_choices.laps = next(*m_choices.laps, FIRST_LAP, LAST_LAP);
    showLaps();
}

void TimeTrialScreen::showModel() { showModelText(*m_modelCaption, m_choices.model->value); }

void TimeTrialScreen::showColour() { showColourText(*m_colourCaption, m_choices.colour->value); }

void TimeTrialScreen::showTrack() {
    const int32_t track = m_choices.track->value;
    m_ok->setEnabled(track <= m_choices.track->limit);
    if (track < 0 || track > LAST_TRACK) return;
    const std::string imageset = m_ok->isDisabled() ? "Tracks_Greyscale" : "Tracks";
    m_trackPicture->setProperty("Image", imageset + "/Track" + std::to_string(track + 1));
    showTrackText(*m_trackCaption, track);
}

void TimeTrialScreen::showLaps() { showLapsText(*m_lapsCaption, *m_choices.laps); }
