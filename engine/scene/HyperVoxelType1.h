#pragma once
#include "engine/scene/HyperVoxel.h"

// The hypervoxel of "HVObject" type 1.
class HyperVoxelType1 : public HyperVoxel {
public:
    explicit HyperVoxelType1(Renderer* renderer) : HyperVoxel(renderer) {}

    void draw(double time, const Particle* particles, Camera* camera) override;
};
