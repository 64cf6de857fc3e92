#pragma once
#include "engine/scene/SceneObject.h"

class Renderer;

// The placement helper's highlight: draws the picked object's mesh again in
// place, with the wireframe and bounding-box settings inverted.
class PickHighlight : public SceneObject {
public:
    PickHighlight(ObjectContainer* container, int32_t index, Renderer* renderer)
        : SceneObject(container, index), m_owner(renderer) {}

    void draw(double time, SceneItem* camera) override;

private:
    void invertSettings();

    Renderer* m_owner;
};
