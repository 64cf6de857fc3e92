#include "app/menu/SingleRaceScreen.h"

#include "app/menu/Menu.h"
#include "game/race/GameRules.h"

namespace {

constexpr int32_t PLAYER_START_RANK = 4;

} // namespace

SingleRaceScreen::SingleRaceScreen(Menu* owner)
    : TimeTrialScreen(owner, NAME,
                      {&owner->config->m_settings.m_singleRaceModel, &owner->config->m_settings.m_singleRaceColour,
                       &owner->config->m_settings.m_singleRaceTrack, &owner->config->m_settings.m_singleRaceLaps}) {}

void SingleRaceScreen::apply() {
    applyChoices(GameRules::SINGLE_RACE, PLAYER_START_RANK);
    setComputerRiders(1);
}
