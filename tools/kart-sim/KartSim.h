#pragma once
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class File;

// Drives one kart over a track scene without a window: the race's physics
// step, contact policies and kart, with a scripted or a computer driver.
class KartSim {
public:
    struct Options {
        std::string track = "D:\\Vantorik\\3dobjects_tracks\\track_01_parkhaus.lws";
        std::string mopedScene = "D:\\Vantorik\\3dobjects_cars\\hercules_blau.lws";
        std::string mopedObject = "D:\\Vantorik/3dobjects_cars/hercules/hercules_blau.lwo";
        std::string settings = "D:\\Vantorik\\carsettings_0.dat";
        // Named by the user: then the file must be there; the default one may be missing.
        bool settingsNamed = false;
        // The kart's contact radius: the model's size factor (1.0 for the Vespa).
        float radius = 0.75f;
        int steps = 6000;
        bool computerDriver = false;
        // Which of the track's six computer paths (0..5) the computer driver follows.
        int path = 0;
        // Restart the game's dice, so two runs draw alike.
        bool seedReset = false;
    };
    struct Summary {
        // -1: never reached.
        int stepsToTopSpeed = -1;
        float topSpeed = 0.0f;
        // Right after the first speed-up pad; 0 without one.
        float speedAfterPad = 0.0f;
        int respawns = 0;
        // Simulated seconds at which a computer driver went round its path.
        std::vector<double> pathWraps;
        // Simulated seconds at which the kart came onto the finish line.
        std::vector<double> lineCrossings;
        bool sawNaN = false;
    };

    KartSim(File& files, const Options& options);
    ~KartSim();
    KartSim(const KartSim&) = delete;
    KartSim& operator=(const KartSim&) = delete;

    // Loads the track and the moped; the reason on failure.
    bool load(std::string& error);
    // Runs the steps, one line a simulated second and the summary to `out`.
    Summary run(std::ostream& out);
    // One physics step: what it saw goes into `summary`, a line a simulated second to `out`.
    void step(Summary& summary, std::ostream& out);
    // Simulated seconds so far.
    double time() const;

private:
    struct World;
    File& m_files;
    Options m_options;
    std::unique_ptr<World> m_world;
};

// The track's index from its file name ("track_0N"), 0 when it has none.
int32_t trackIndexOf(const std::string& sceneName);
