#pragma once
#include "engine/scene/mesh/Mesh.h"

class Renderer;

// The placement cursor's drawable: three unit lines along the world axes,
// red X, green Y and blue Z, at the object's position whatever its rotation.
class AxisCrossMesh : public Mesh {
public:
    AxisCrossMesh(Renderer* renderer, SceneItem* owner);

    void draw(double time, SceneObject* object, SceneItem* viewer) override;

private:
    Renderer* m_owner;
};
