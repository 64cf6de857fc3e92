#include "engine/scene/FX_Collision.h"

FX_Collision::~FX_Collision() {
    m_radius.clearChannel();
    m_elasticity.clearChannel();
}

// The push itself comes with the effectors' behaviour; the loader only fills the fields.
void FX_Collision::apply(Particle*, int, int, double, double) {}
