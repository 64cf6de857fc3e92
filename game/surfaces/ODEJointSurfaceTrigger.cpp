#include "game/surfaces/ODEJointSurfaceTrigger.h"

#include "game/race/Race.h"

void ODEJointSurfaceTrigger::react(const Contact&) {
    if (m_race->m_triggerTimer == 0.0f) m_race->m_triggerTimer = TRIGGER_SECONDS;
}
