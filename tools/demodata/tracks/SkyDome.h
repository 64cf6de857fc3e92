#pragma once
#include <string>

#include "tools/demodata/tracks/Picture.h"

class MeshBuilder;
class TrackBuilder;

// The sky round a track. The race clears to black and draws no backdrop,
// so every track stands under a dome of a few hundred faces, painted on its
// inside, self-lit and clear of fog, seen only: no geom, nothing baked.
// The picture looks up from below: the zenith in its middle, the horizon on
// a ring round it, elevation falling evenly outwards, far land outside it.
namespace SkyDome {

struct Sky {
    std::string name;  // names the picture and the object: "sky_<name>"
    Rgb zenith;        // overhead
    Rgb horizon;       // the haze at the horizon, away from the glow
    Rgb glow;          // the horizon under the sun
    float glowHeading; // where the sun stands (radians, as the toolkit's headings)
    Rgb land;          // far below the horizon, where no ground of the track reaches
    Rgb cloudLit, cloudShade;
    float cover;       // the more, the more sky under cloud; none at 0
};

// A summer afternoon: pale haze under a deep blue, fair-weather clouds.
Sky day();
// The last light: an orange glow low in the west under a night blue, dark clouds.
Sky dusk();

// The picture, `size` square.
Picture picture(const Sky& sky, int size);
// The dome, `radius` round the origin, its faces turned inwards, drawn in `surface`.
void dome(MeshBuilder& mesh, uint16_t surface, float radius);

// Puts the sky round the track: its object (shared by every track under the
// same sky) into the scene and the files.
void raise(TrackBuilder& track, const Sky& sky);

} // namespace SkyDome
