#pragma once
#include "engine/platform/Math3D.h"
#include "engine/scene/effects/Particle.h"

class SceneObject;

// What the three effectors share: their centre (the owner's world position)
// and how a push fades with the distance from it.
class EffectorField {
public:
    enum Falloff { FALLOFF_INSIDE = 0, FALLOFF_INVERSE = 1, FALLOFF_NONE = 2, FALLOFF_LINEAR = 3 };

    // The owner's world matrix at the time; identity without an owner.
    static Matrix4x3 ownerMatrix(SceneObject* owner, double time);
    // The translation row of a world matrix.
    static Position3 centreOf(const Matrix4x3& world);
    // Length 1; a zero or broken vector comes back as it was.
    static Position3 normalised(const Position3& v);
    // The fade factor; a NaN distance or radius, and a mode the effector does
    // not know, give 0 so such a particle is left alone. `linearAllowed`: only
    // the wind has mode 3.
    static float falloff(int mode, float distance, float radius, bool linearAllowed);
};
