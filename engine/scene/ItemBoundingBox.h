#pragma once
#include "engine/scene/BoundingBox.h"

// The box of an item that has no mesh: a unit box, drawn as the line to the
// item's target.
class ItemBoundingBox : public BoundingBox {
public:
    using BoundingBox::BoundingBox;

    void init(bool first) override;
    void draw(double time, SceneObject* object, SceneItem* viewer) override;

    // From the item's pivot in the world to its target's pivot in the world.
    static void drawTargetLine(double time, SceneItem& item);
};
