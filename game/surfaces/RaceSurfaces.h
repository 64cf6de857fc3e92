#pragma once
#include <memory>
#include <utility>
#include <vector>

class LW6Scene;
class ODEJointSurface;
class ODESpacePair;
class Race;

// The race's contact policies: one of each surface kind, the plain surface
// that lets obstacles rest on the track, and the space pair that collides
// what the race needs collided. They must outlive the scene's use of them.
class RaceSurfaces {
public:
    explicit RaceSurfaces(Race* race);
    ~RaceSurfaces();
    RaceSurfaces(const RaceSurfaces&) = delete;
    RaceSurfaces& operator=(const RaceSurfaces&) = delete;

    // Enters every policy at both orders of the surface and space pairs it serves.
    void install(LW6Scene& scene);
    // The space pairs the race collides, each in one order.
    static const std::vector<std::pair<int, int>>& collidingSpaces();

private:
    // Each policy with the surface pairs it serves, in the order they are entered.
    std::vector<std::pair<std::unique_ptr<ODEJointSurface>, std::vector<std::pair<int, int>>>> m_kinds;
    std::unique_ptr<ODESpacePair> m_spacePair;
};
