#include "game/surfaces/ODEJointSurfaceObstacle.h"

#include "game/karts/Vehicle.h"

void ODEJointSurfaceObstacle::react(const Contact& contact) {
    const int obstacle = contact.sideOf(SURFACE_OBSTACLE);
    Vehicle* kart = vehicleOf(contact.object[1 - obstacle]);
    if (!kart) return;
    kart->m_obstacle = contact.object[obstacle];
    kart->m_obstaclePos = contact.pos;
    kart->m_obstacleNormal = contact.normalToward(obstacle);
    kart->m_obstacleDepth = contact.depth;
}
