#include "app/menu/ChampionshipScreen.h"

#include <CEGUI/CEGUI.h>

#include "app/menu/Menu.h"
#include "game/race/GameRules.h"

namespace {

constexpr float BIG_BUTTON = 120.0f;
constexpr float ARROW = 45.0f;
constexpr float SIDE_BUTTON = 90.0f;
constexpr int32_t PLAYER_START_RANK = 4;

} // namespace

ChampionshipScreen::ChampionshipScreen(Menu* owner) : SetUpScreen(owner) {
    createRoot("Championship/Background");
    m_ok = createButton(OK_BUTTON, 885, 628, BIG_BUTTON);
    m_back = createButton(BACK_BUTTON, 22, 629, BIG_BUTTON);
    m_colourUp = createButton(UP_ARROW, 687, 89, ARROW);
    m_colourDown = createButton(DOWN_ARROW, 687, 227, ARROW);
    m_colourCaption = createCaption(404, 64, 215, 30);
    m_colourCaption->setVisible(false);
    m_modelLeft = createButton(LEFT_BUTTON, 359, 306, SIDE_BUTTON);
    m_modelRight = createButton(RIGHT_BUTTON, 574, 306, SIDE_BUTTON);
    m_modelCaption = createCaption(404, 269, 215, 30);

    onClick(*m_colourUp, [this] { onColourPrev(); });
    onClick(*m_colourDown, [this] { onColourNext(); });
    onClick(*m_modelLeft, [this] { onModelPrev(); });
    onClick(*m_modelRight, [this] { onModelNext(); });
}

void ChampionshipScreen::enter() {
    resetRiders();
    Config::Settings& s = m_owner->config->m_settings;
    keepInRange(s.m_championshipModel);
    keepInRange(s.m_championshipColour);
    keepInRange(s.m_championshipTrack);
    showModel();
    showColour();
    SetUpScreen::enter();
}

void ChampionshipScreen::apply() {
    Config& config = *m_owner->config;
    const Config::Settings& s = config.m_settings;
    config.m_game = GameRules::CHAMPIONSHIP;
    config.m_playMode = GameRules::ONE_PLAYER;
    config.m_laps = CHAMPIONSHIP_LAPS;
    config.m_track = s.m_championshipTrack.value;
    setRider(0, GameRules::SINGLE, s.m_playerName1, s.m_championshipColour.value, s.m_championshipModel.value,
             PLAYER_START_RANK);
    setComputerRiders(1);
    config.m_isHost = true;
}

void ChampionshipScreen::onModelPrev() {
    Config::Choice& model = m_owner->config->m_settings.m_championshipModel;
    model.value = previous(model.value, 0, model.limit);
    showModel();
}

void ChampionshipScreen::onModelNext() {
    Config::Choice& model = m_owner->config->m_settings.m_championshipModel;
    model.value = next(model.value, 0, model.limit);
    showModel();
}

void ChampionshipScreen::onColourPrev() {
    Config::Choice& colour = m_owner->config->m_settings.m_championshipColour;
    colour.value = previous(colour.value, 0, colour.limit);
    showColour();
}

void ChampionshipScreen::onColourNext() {
    Config::Choice& colour = m_owner->config->m_settings.m_championshipColour;
    colour.value = next(colour.value, 0, colour.limit);
    showColour();
}

void ChampionshipScreen::showModel() {
    showModelText(*m_modelCaption, m_owner->config->m_settings.m_championshipModel.value);
}

void ChampionshipScreen::showColour() {
    showColourText(*m_colourCaption, m_owner->config->m_settings.m_championshipColour.value);
}
