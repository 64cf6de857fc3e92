#pragma once
#include <string>

#include "tools/demodata/tracks/Picture.h"

// The textures of the demo tracks, painted in code. Sizes are powers of two;
// every picture tiles seamlessly. `textureName` gives the archive name every
// track uses for one of them, so tracks share the files.
namespace TrackTextures {

// Archive name "D:\Vantorik\textures\tracks\<file>" and the clip name the
// object files give it ("D:/Vantorik/textures/tracks/<file>").
std::string archiveName(const std::string& file);
std::string clipName(const std::string& file);

// Road surfaces fill the lower half of the screen: at 256 pixels they blur.
constexpr int ROAD_TEXTURE_SIZE = 512;
// Dark grey grit with a few cracks; worn roads are paler by `brightness`.
Picture asphalt(int size, float brightness = 1.0f);
Picture concrete(int size);             // light grey, blotchy, with formwork seams
Picture concreteFloor(int size);        // car-park floor: smooth grey with oil stains
Picture tiles(int size, int count, Picture::Rgb a, Picture::Rgb b); // count x count squares, grout lines
Picture grass(int size);
Picture dirt(int size);                 // brown mud and gravel
Picture brick(int size);                // red brick courses
Picture plaster(int size, Picture::Rgb tint);
Picture roofTiles(int size);
Picture wood(int size);
Picture metalPlate(int size);           // chequer plate
Picture water(int size);
Picture leaves(int size);               // hedge and tree crowns
// Worn white road paint, for thin line strips.
Picture laneLine(int size);
// Kerb stones alternating red and white along v.
Picture kerb(int size);
// Chequered finish band, 8 squares across.
Picture finishLine(int size);
// Yellow and black diagonal hazard stripes.
Picture hazard(int size);
// Chevrons pointing to the top of the picture, for speed-up pads.
Picture arrows(int size);
// A facade of lit and dark windows, 4 x 4 of them.
Picture windows(int size);
// The pick-up box: a glowing face with a bright rim and a star.
Picture extraBox(int size);

} // namespace TrackTextures
