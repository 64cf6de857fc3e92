#pragma once
#include <cstdint>

class Config;
class LW6Scene;
class SceneObject;
class TextTable;

// The riders the race adds to a game's empty slots, and where their karts'
// bodies sit in the physics.
class ComputerRiders {
public:
    // The space of the computer riders' bodies: they meet the computer walls
    // instead of the walls a human kart meets.
    static constexpr int32_t SPACE = 9;
    // Draws before a slot simply takes the first free moped.
    static constexpr int32_t MAX_DRAWS = 100;

    // Every slot below `riders` without a moped becomes a computer rider on a
    // moped no other rider has, in a drawn colour; every computer rider sends
    // its record and is named by the in-race text of its moped.
    static void fill(Config& config, int32_t riders, const TextTable& texts);
    // Moves the kart's body (its transform wrapper when it has one) into the
    // computer riders' space; false when the body has no geom or the scene no such space.
    static bool fileBody(SceneObject* body, LW6Scene& scene);
};
