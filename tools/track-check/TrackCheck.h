#pragma once
#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "tools/kart-sim/KartSim.h"
#include "tools/track-check/TrackFiles.h"

class File;
struct TrackPoints;

// Checks a track scene of an archive against what the race needs of a track:
// its physics spaces, starts, camera and finish line, the computer paths and
// respawn points over ground, the position and illumination maps, the time
// it takes to load, and a computer kart driving laps on it.
class TrackCheck {
public:
    struct Options {
        // The kart that drives (the track and the driver are set per check);
        // the kart test rig's moped stands in when the archive has no such moped.
        KartSim::Options kart;
        int laps = 2;
        double maxLapSeconds = 120.0;
        double maxLoadSeconds = 10.0;
    };
    // One line of the report.
    struct Item {
        std::string name;
        bool ok;
        std::string detail;
    };

    TrackCheck(File& archive, const Options& options);

    // Checks the scene of that archive name, reports to `out`; true when it passes.
    bool run(const std::string& scene, std::ostream& out);
    // The last run's lines, in report order.
    const std::vector<Item>& items() const { return m_items; }
    // The last run's lap times in seconds.
    const std::vector<double>& lapTimes() const { return m_lapTimes; }

    // The six demo tracks' scene names.
    static const std::vector<std::string>& demoTracks();
    // The scene named by a command-line argument: a demo track's number 1 to 6,
    // else the argument itself as an archive name.
    static std::string sceneOf(const std::string& argument);

private:
    struct Scene;

    // Adds a line to the report and prints it.
    void add(const std::string& name, bool ok, const std::string& detail);
    // The checks of the loaded scene; true when it has a finish line.
    bool checkScene(const std::string& sceneName);
    void checkSpaces(Scene& s);
    void checkStarts(Scene& s);
    void checkFinishLine(Scene& s);
    void checkPoints(Scene& s, const std::string& name, const TrackPoints& list, size_t minimum, float gapMin,
                     float gapMax);
    void checkPositionMap(Scene& s);
    void checkIllumination(Scene& s);
    // Laps are counted at the finish line, or where the path starts over on a track without one.
    void drive(const std::string& sceneName, bool byFinishLine);

    TrackFiles m_files;
    Options m_options;
    std::vector<Item> m_items;
    std::vector<double> m_lapTimes;
    std::ostream* m_out = nullptr;
};
