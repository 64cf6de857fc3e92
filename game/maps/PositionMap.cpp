#include "game/maps/PositionMap.h"

PositionMap::PositionMap() : m_image{} {}
PositionMap::~PositionMap() { unload(); }
bool PositionMap::load(int32_t, File&) { return false; }
uint8_t PositionMap::lookup(const Position3&) const { return 255; }
void PositionMap::unload() {}
