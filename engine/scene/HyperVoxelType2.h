#pragma once
#include "engine/scene/HyperVoxel.h"

// The hypervoxel of "HVObject" type 2.
class HyperVoxelType2 : public HyperVoxel {
public:
    explicit HyperVoxelType2(Renderer* renderer) : HyperVoxel(renderer) {}

    void draw(double time, const Particle* particles, Camera* camera) override;
};
