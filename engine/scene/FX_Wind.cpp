#include "engine/scene/FX_Wind.h"

FX_Wind::~FX_Wind() {
    m_radius.clearChannel();
    m_strength.clearChannel();
    for (AnimatedValue& d : m_direction) d.clearChannel();
}

// The push itself comes with the effectors' behaviour; the loader only fills the fields.
void FX_Wind::apply(Particle*, int, int, double, double) {}
