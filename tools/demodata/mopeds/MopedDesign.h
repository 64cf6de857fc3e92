#pragma once
#include "tools/demodata/mopeds/MopedParts.h"
#include "tools/demodata/mopeds/Shape.h"

// One moped model: its body and wheels, and where its rider sits, holds on
// and puts the feet, in the moped's own frame (origin on the ground between
// the wheels, z forward, the wheels at x = 0).
struct MopedDesign {
    // A coarse design is the far level: its round parts in fewer steps.
    explicit MopedDesign(bool isCoarse = false) : coarse(isCoarse) { body.setCoarse(isCoarse); }

    bool coarse;
    MopedParts::Wheel front;
    MopedParts::Wheel rear;
    float frontZ = 0.48f;
    float rearZ = -0.48f;
    // The rider's hips, the right grip and the two feet.
    Vec3 seat;
    Vec3 grip;
    Vec3 rightFoot;
    Vec3 leftFoot;
    Shape body;

    Vec3 frontCentre() const { return {0.0f, front.radius, frontZ}; }
    Vec3 rearCentre() const { return {0.0f, rear.radius, rearZ}; }
    // The body (layer 0) and the two wheels (layers 2 and 3, pivots at their centres).
    Lwo2Object object(int colour) const;
};

MopedDesign hercules(bool coarse);
MopedDesign kreidler(bool coarse);
MopedDesign roller(bool coarse);
MopedDesign vespa(bool coarse);
MopedDesign yamaha(bool coarse);
// By model number 0 to 4, built once; `coarse` for the far level.
const MopedDesign& mopedDesign(int model, bool coarse = false);
