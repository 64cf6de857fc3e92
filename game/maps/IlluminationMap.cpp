#include "game/maps/IlluminationMap.h"

#include "engine/platform/Image.h"

IlluminationMap::IlluminationMap() = default;
IlluminationMap::~IlluminationMap() = default;
bool IlluminationMap::load(int32_t, File&) { return false; }
ColorRGBA IlluminationMap::lookup(const Position3&) const { return {1.0f, 1.0f, 1.0f, 1.0f}; }
