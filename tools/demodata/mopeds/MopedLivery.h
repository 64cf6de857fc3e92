#pragma once
#include <string>

#include "tools/lightwave/Lwo2Object.h"

// The painted detail of a moped in one of its colours: the model's name and
// stripes on the tank and side panels, the seat's pleats and the tyres'
// tread in one picture per model and colour, and chrome that mirrors the sky.
namespace MopedLivery {

// The archive name of the picture of a model (0 to 4) in a colour (0 to 3).
std::string pictureName(int model, int colour);
inline constexpr const char* CHROME_PICTURE = "D:\\Vantorik/3dobjects_cars/chrom_spiegel.bmp";

// BMP bytes of the pictures.
std::string picture(int model, int colour);
std::string chromePicture();

// Lays the pictures on the moped object of the model in the colour.
void apply(Lwo2Object& object, int model, int colour);

} // namespace MopedLivery
