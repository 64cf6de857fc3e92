#include "engine/scene/HyperVoxelType2.h"

// The volume is drawn once the hypervoxel kinds get their look; loading only keeps the values.
void HyperVoxelType2::draw(double, const Particle*, Camera*) {}
