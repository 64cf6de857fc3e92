#include "tools/demodata/tracks/Track06Ueberland.h"

#include "tools/demodata/tracks/TrackBuilder.h"

namespace Ueberland {

// A plain oval until the track is laid out.
std::vector<CentrelinePoint> centreline() {
    return {{0.0f, -170.0f}, {150.0f, -170.0f}, {210.0f, 0.0f}, {150.0f, 170.0f},
            {-150.0f, 170.0f}, {-210.0f, 0.0f}, {-150.0f, -170.0f}};
}

std::vector<TrackFile> files() {
    TrackBuilder track(6, "ueberland", Centreline(centreline()));
    TrackBuilder::RoadLook look;
    look.surface.name = "road";
    track.road(look, 0.0f, track.line().length());
    return track.files();
}

} // namespace Ueberland
