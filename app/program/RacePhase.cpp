#include "app/program/RacePhase.h"

#include "engine/scene/MetaScene.h"
#include "game/race/Race.h"

bool RacePhase::running() const { return !m_race.m_leaveRace; }

bool RacePhase::frame(InputDevice& input) { return m_race.update(&input); }

MetaScene* RacePhase::scene() const { return m_race.m_metaScene.get(); }

GuiContext* RacePhase::gui() const { return m_race.m_gui; }

void RacePhase::pause() { m_race.stopSounds(); }

void RacePhase::resume() { m_race.startSounds(); }
