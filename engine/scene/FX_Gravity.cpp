#include "engine/scene/FX_Gravity.h"

FX_Gravity::~FX_Gravity() {
    m_radius.clearChannel();
    m_strength.clearChannel();
}

// The push itself comes with the effectors' behaviour; the loader only fills the fields.
void FX_Gravity::apply(Particle*, int, int, double, double) {}
