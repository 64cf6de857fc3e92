#pragma once
#include <string>
#include <vector>

#include "tools/demodata/tracks/Centreline.h"
#include "tools/demodata/tracks/TrackFile.h"

// The six demo tracks. Each has its own Track0N<Name> file with its layout
// (`centreline`) and its builder; this list ties them together for demodata,
// the menu pictures and the tests.
struct DemoTrack {
    int number = 0;            // 1..6, the race's track index + 1
    std::string name;          // "parkhaus"
    std::string sceneFile;     // archive name of its scene
    // The road's control points in driving order from the finish line;
    // Centreline(centreline) gives the road (x, z, height, width).
    std::vector<CentrelinePoint> (*centreline)() = nullptr;
    // Every file of the track (scene, objects, textures, paths, maps).
    std::vector<TrackFile> (*build)() = nullptr;
};

const std::vector<DemoTrack>& demoTracks();
// Every file of every track, each archive name once (tracks share textures
// and the pick-up object).
std::vector<TrackFile> demoTrackFiles();
