#pragma once
#include <string>

// The pattern of each rider's jacket, the back (seen from behind the rider,
// the left half of the picture) and the front (the right half), so that the
// five riders are told apart from behind at race distance.
namespace RiderLivery {

// Archive name and BMP bytes of rider 1 to 5's jacket picture.
std::string pictureName(int rider);
std::string picture(int rider);

} // namespace RiderLivery
