#include "app/program/RaceSetupPhase.h"

#include "engine/scene/MetaScene.h"
#include "game/race/LoadingScreen.h"
#include "game/race/Race.h"

bool RaceSetupPhase::frame(InputDevice&) {
    m_waiting = m_race.continueSetup() && !m_race.isSetUp();
    m_loading.render();
    return true;
}

MetaScene* RaceSetupPhase::scene() const { return m_race.m_metaScene.get(); }

GuiContext* RaceSetupPhase::gui() const { return m_loading.m_gui; }
