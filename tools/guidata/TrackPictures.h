#pragma once
#include <vector>

#include "tools/guidata/ImagesetBuilder.h"

// The six tracks seen from above (+z up, +x right), drawn from their real
// road layouts: "Tracks", "Tracks_mini" and "Tracks_Greyscale" for the menus
// (images "Track1" to "Track6" and "Championship", 96 x 72), and the race's
// mini maps "Minimap_Track01" to "Minimap_Track06" (image "Minimap", 128 x 128),
// which cover the world square x, z in -250..250 exactly, as the rider dots are placed.
namespace trackPictures {

inline constexpr int PICTURE_WIDTH = 96;
inline constexpr int PICTURE_HEIGHT = 72;
inline constexpr int MINIMAP_SIZE = 128;
// The menus lay the track's name over a menu picture's lower part: the art
// keeps above this row and the name sits on a dark plate below it.
inline constexpr int CAPTION_TOP = 52;

std::vector<ImagesetBuilder> imagesets();

// One track's menu picture and mini map; `track` 1 to 6.
Canvas menuPicture(int track);
Canvas minimap(int track);

} // namespace trackPictures
