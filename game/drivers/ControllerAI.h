#pragma once
#include <cstdint>
#include <vector>

#include "engine/platform/Math3D.h"
#include "game/drivers/Controller.h"

class Config;
class File;
class Vehicle;

// The computer driver: follows one of the track's six recorded paths,
// backs off walls, respawns a kart that stays stuck and now and then fires
// its extra; past the finish it rides on when the race asks it to.
class ControllerAI : public Controller {
public:
    static constexpr int PATHS = 6;
    // Bound on the records read from one path file.
    static constexpr uint32_t MAX_PATH_POINTS = 1000000;

    // Loads the six paths of the configured track through the file source.
    ControllerAI(Vehicle* vehicle, Config* config, int32_t riderIndex, File* fileSystem);
    // Takes the six paths another computer driver of the race loaded.
    ControllerAI(Vehicle* vehicle, int32_t riderIndex, const ControllerAI& pathsOf);

    int steerLeft() override { return m_left; }
    int steerRight() override { return m_right; }
    int accelerate() override { return m_accelerate; }
    int brake() override { return m_brake; }
    bool action() override { return m_action; }
    bool useExtra() override { return m_useExtra; }
    int getPathIndex() override { return m_pathIndex; }
    void setPathIndex(int index) override { m_pathIndex = index; }
    void update(bool wallHit, bool reversing) override;
    bool isComputer() const override { return true; }

    // Set by the race once the rider's kart exists.
    Vehicle* m_vehicle;
    int32_t m_pathIndex = 0;
    int32_t m_pathNumber = 0;
    // Never empty: a missing or empty file gives one point at the origin.
    std::vector<Position3> m_paths[PATHS];
    std::vector<float> m_speeds[PATHS];
    bool m_reversing = false;
    bool m_reversedThisPeriod = false;
    double m_reverseStart = 0.0;
    bool m_firstUpdatePending = true;
    int32_t m_left = 0;
    int32_t m_right = 0;
    int32_t m_accelerate = 0;
    int32_t m_brake = 0;
    bool m_action = false;
    bool m_useExtra = true;
    double m_stuckCheckTime = 0.0;
    Position3 m_stuckCheckPosition = {0.0f, 0.0f, 0.0f};

private:
    void loadPath(File* fileSystem, int32_t track, int path);
    void startOnPath(int32_t riderIndex);
    // The respawn rewrites the path fields: both back into range before use.
    void keepPathInRange();
    // Reverses or respawns a kart that made no progress; true after a respawn.
    bool checkStuck(const Position3& position, double time);
    void searchPathIndex(const Position3& position);
    void steerTo(const Position3& target, const Position3& position);
    void chooseThrottle(int32_t next);
};
