#include "tools/demodata/tracks/DemoTracks.h"

#include <future>
#include <set>

#include "tools/demodata/tracks/Track01Parkhaus.h"
#include "tools/demodata/tracks/Track02Einkaufszentrum.h"
#include "tools/demodata/tracks/Track03Park.h"
#include "tools/demodata/tracks/Track04Parkplatz.h"
#include "tools/demodata/tracks/Track05Siedlung.h"
#include "tools/demodata/tracks/Track06Ueberland.h"
#include "tools/demodata/tracks/TrackBuilder.h"

const std::vector<DemoTrack>& demoTracks() {
    static const std::vector<DemoTrack> tracks = {
        {1, "parkhaus", TrackBuilder::sceneFile(1, "parkhaus"), &Parkhaus::centreline, &Parkhaus::files},
        {2, "einkaufszentrum", TrackBuilder::sceneFile(2, "einkaufszentrum"), &Einkaufszentrum::centreline,
         &Einkaufszentrum::files},
        {3, "park", TrackBuilder::sceneFile(3, "park"), &Park::centreline, &Park::files},
        {4, "parkplatz", TrackBuilder::sceneFile(4, "parkplatz"), &Parkplatz::centreline, &Parkplatz::files},
        {5, "siedlung", TrackBuilder::sceneFile(5, "siedlung"), &Siedlung::centreline, &Siedlung::files},
        {6, "ueberland", TrackBuilder::sceneFile(6, "ueberland"), &Ueberland::centreline, &Ueberland::files},
    };
    return tracks;
}

std::vector<TrackFile> demoTrackFiles() {
    // The tracks are built side by side; the files keep the tracks' order.
    std::vector<std::future<std::vector<TrackFile>>> builds;
    for (const DemoTrack& track : demoTracks()) builds.push_back(std::async(std::launch::async, track.build));
    std::vector<TrackFile> out;
    std::set<std::string> seen;
    for (auto& build : builds)
        for (TrackFile& file : build.get())
            if (seen.insert(file.archiveName).second) out.push_back(std::move(file));
    return out;
}
