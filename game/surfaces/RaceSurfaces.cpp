#include "game/surfaces/RaceSurfaces.h"

#include "engine/scene/LW6Scene.h"
#include "engine/scene/physics/ODESpacePair.h"
#include "game/surfaces/ODEJointSurfaceBand.h"
#include "game/surfaces/ODEJointSurfaceCheck.h"
#include "game/surfaces/ODEJointSurfaceCollision.h"
#include "game/surfaces/ODEJointSurfaceCrusher.h"
#include "game/surfaces/ODEJointSurfaceExtra.h"
#include "game/surfaces/ODEJointSurfaceFall.h"
#include "game/surfaces/ODEJointSurfaceObstacle.h"
#include "game/surfaces/ODEJointSurfaceRay.h"
#include "game/surfaces/ODEJointSurfaceReset.h"
#include "game/surfaces/ODEJointSurfaceRocketWall.h"
#include "game/surfaces/ODEJointSurfaceRutsch.h"
#include "game/surfaces/ODEJointSurfaceSpeedup.h"
#include "game/surfaces/ODEJointSurfaceStampfer.h"
#include "game/surfaces/ODEJointSurfaceTrigger.h"
#include "game/surfaces/ODEJointSurfaceVehicle.h"
#include "game/surfaces/ODEJointSurfaceWind.h"

namespace {

using Pairs = std::vector<std::pair<int, int>>;

// Rays with ground and fall zones, karts with walls, zones and each other,
// computer karts (space 9) likewise, thrown things with what they hit.
const Pairs COLLIDING_SPACES = {{3, 1}, {4, 2}, {4, 7}, {4, 6}, {5, 1}, {5, 2}, {5, 4}, {5, 5}, {4, 4},
                                {9, 8}, {9, 7}, {9, 6}, {5, 9}, {4, 9}, {9, 9}, {4, 10}, {9, 10}, {3, 11}};

// Obstacles settle on the ground and against walls with firmer contacts.
std::unique_ptr<ODEJointSurface> plainSurface() {
    auto plain = std::make_unique<ODEJointSurface>();
    plain->m_surface.soft_erp = 0.8;
    plain->m_skipIfBodyDisabled = true;
    return plain;
}

} // namespace

RaceSurfaces::RaceSurfaces(Race* race) : m_spacePair(std::make_unique<ODESpacePair>(true)) {
    auto add = [this](std::unique_ptr<ODEJointSurface> kind, Pairs pairs) {
        m_kinds.emplace_back(std::move(kind), std::move(pairs));
    };
    add(std::make_unique<ODEJointSurfaceRay>(race), {{5, 0}, {5, 25}, {5, 26}});
    add(std::make_unique<ODEJointSurfaceCollision>(race), {{6, 1}});
    add(std::make_unique<ODEJointSurfaceObstacle>(race), {{12, 6}});
    add(plainSurface(), {{12, 0}, {12, 1}});
    add(std::make_unique<ODEJointSurfaceExtra>(race), {{13, 6}});
    add(std::make_unique<ODEJointSurfaceSpeedup>(race), {{15, 6}});
    add(std::make_unique<ODEJointSurfaceStampfer>(race), {{16, 6}});
    add(std::make_unique<ODEJointSurfaceCrusher>(race), {{14, 6}});
    add(std::make_unique<ODEJointSurfaceCheck>(race), {{19, 6}});
    add(std::make_unique<ODEJointSurfaceVehicle>(race), {{6, 6}});
    add(std::make_unique<ODEJointSurfaceRocketWall>(race),
        {{0, 18}, {25, 18}, {26, 18}, {1, 18}, {12, 18}, {16, 18}, {14, 18}});
    add(std::make_unique<ODEJointSurfaceWind>(race), {{6, 20}});
    add(std::make_unique<ODEJointSurfaceRutsch>(race), {{6, 21}});
    add(std::make_unique<ODEJointSurfaceBand>(race), {{22, 6}});
    add(std::make_unique<ODEJointSurfaceTrigger>(race), {{23, 6}});
    add(std::make_unique<ODEJointSurfaceReset>(race), {{7, 6}});
    add(std::make_unique<ODEJointSurfaceFall>(race), {{8, 5}});
}

RaceSurfaces::~RaceSurfaces() = default;

void RaceSurfaces::install(LW6Scene& scene) {
    for (auto& [kind, pairs] : m_kinds)
        for (auto [a, b] : pairs) scene.m_surfaceTable[a][b] = scene.m_surfaceTable[b][a] = kind.get();
    for (auto [a, b] : collidingSpaces())
        scene.m_spacePairTable[a][b] = scene.m_spacePairTable[b][a] = m_spacePair.get();
}

const std::vector<std::pair<int, int>>& RaceSurfaces::collidingSpaces() { return COLLIDING_SPACES; }
