#include "tools/demodata/tracks/Track06Ueberland.h"

#include "tools/demodata/tracks/TrackBuilder.h"

namespace Ueberland {

std::vector<CentrelinePoint> centreline() {
    return {
        {-40.0f, -205.0f, 0.0f, 13.0f},  {60.0f, -208.0f, 0.0f, 13.0f},   {140.0f, -195.0f, 0.5f, 13.0f},
        {195.0f, -150.0f, 1.5f, 14.0f},  {215.0f, -80.0f, 3.0f, 13.0f},   {210.0f, -10.0f, 6.0f, 13.0f},
        {185.0f, 60.0f, 10.0f, 13.0f},   {140.0f, 120.0f, 13.0f, 13.0f},  {80.0f, 170.0f, 14.0f, 13.0f},
        {0.0f, 190.0f, 14.0f, 13.0f},    {-70.0f, 185.0f, 13.0f, 13.0f},  {-120.0f, 150.0f, 10.0f, 13.0f},
        {-120.0f, 90.0f, 7.0f, 13.0f},   {-80.0f, 40.0f, 5.0f, 13.0f},    {-20.0f, 0.0f, 4.0f, 13.0f},
        {0.0f, -70.0f, 2.0f, 13.0f},     {-60.0f, -110.0f, 1.0f, 13.0f},  {-140.0f, -100.0f, 0.5f, 13.0f},
        {-200.0f, -130.0f, 0.0f, 13.0f}, {-190.0f, -190.0f, 0.0f, 13.0f}, {-120.0f, -205.0f, 0.0f, 13.0f},
    };
}

std::vector<TrackFile> files() {
    TrackBuilder track(6, "ueberland", Centreline(centreline()));
    TrackBuilder::RoadLook look;
    look.surface.name = "road";
    track.road(look, 0.0f, track.line().length());
    return track.files();
}

} // namespace Ueberland
