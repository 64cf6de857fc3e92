#include "engine/scene/effects/EffectorField.h"

#include <cmath>

#include "engine/scene/SceneObject.h"

Matrix4x3 EffectorField::ownerMatrix(SceneObject* owner, double time) {
    Matrix4x3 world = Matrix4x3::identity();
    if (owner) owner->getMatrix(world, time, 0);
    return world;
}

Position3 EffectorField::centreOf(const Matrix4x3& world) { return {world.at(3, 0), world.at(3, 1), world.at(3, 2)}; }

Position3 EffectorField::normalised(const Position3& v) {
    return std::isfinite(length(v)) ? ::normalised(v) : v;
}

float EffectorField::falloff(int mode, float distance, float radius, bool linearAllowed) {
    switch (mode) {
    case FALLOFF_INSIDE: return distance <= radius ? 1.0f : 0.0f;
    // At the centre 1/L is infinite, beyond any radius.
    case FALLOFF_INVERSE: return distance > 0.0f && 1.0f / distance <= radius ? 1.0f / distance : 0.0f;
    case FALLOFF_NONE: return 1.0f;
    case FALLOFF_LINEAR: return linearAllowed && distance <= radius ? distance : 0.0f;
    default: return 0.0f;
    }
}
