#include "tools/demodata/tracks/TrackTextures.h"

namespace TrackTextures {

std::string archiveName(const std::string& file) { return "D:\\Vantorik\\textures\\tracks\\" + file; }
std::string clipName(const std::string& file) { return "D:/Vantorik/textures/tracks/" + file; }

Picture asphalt(int size) { return Picture(size, size, grey(0.3f)); }
Picture concrete(int size) { return Picture(size, size, grey(0.6f)); }
Picture concreteFloor(int size) { return Picture(size, size, grey(0.5f)); }
Picture tiles(int size, int, Picture::Rgb a, Picture::Rgb) { return Picture(size, size, a); }
Picture grass(int size) { return Picture(size, size, rgb(0.2f, 0.5f, 0.2f)); }
Picture dirt(int size) { return Picture(size, size, rgb(0.4f, 0.3f, 0.2f)); }
Picture brick(int size) { return Picture(size, size, rgb(0.6f, 0.25f, 0.2f)); }
Picture plaster(int size, Picture::Rgb tint) { return Picture(size, size, tint); }
Picture roofTiles(int size) { return Picture(size, size, rgb(0.5f, 0.2f, 0.15f)); }
Picture wood(int size) { return Picture(size, size, rgb(0.5f, 0.35f, 0.2f)); }
Picture metalPlate(int size) { return Picture(size, size, grey(0.55f)); }
Picture water(int size) { return Picture(size, size, rgb(0.2f, 0.35f, 0.5f)); }
Picture leaves(int size) { return Picture(size, size, rgb(0.15f, 0.4f, 0.15f)); }
Picture laneLine(int size) { return Picture(size, size, grey(0.9f)); }
Picture kerb(int size) { return Picture(size, size, rgb(0.8f, 0.1f, 0.1f)); }
Picture finishLine(int size) { return Picture(size, size, grey(0.9f)); }
Picture hazard(int size) { return Picture(size, size, rgb(0.9f, 0.8f, 0.1f)); }
Picture arrows(int size) { return Picture(size, size, rgb(0.9f, 0.5f, 0.1f)); }

} // namespace TrackTextures
