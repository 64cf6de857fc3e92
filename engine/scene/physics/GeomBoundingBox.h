#pragma once
#include "engine/scene/ItemBoundingBox.h"

// The debug object of a physics geom node: draws the geom's wire-frame.
class GeomBoundingBox : public ItemBoundingBox {
public:
    using ItemBoundingBox::ItemBoundingBox;

    void draw(double time, SceneObject* object, SceneItem* viewer) override;
};
