#include "engine/scene/HyperVoxelType1.h"

// The volume is drawn once the hypervoxel kinds get their look; loading only keeps the values.
void HyperVoxelType1::draw(double, const Particle*, Camera*) {}
