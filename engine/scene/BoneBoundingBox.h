#pragma once
#include "engine/scene/BoundingBox.h"

class Bone;

// A bone's drawable: the unit default box and the wire-frame guide shape.
class BoneBoundingBox : public BoundingBox {
public:
    BoneBoundingBox(RenderView* renderer, Bone* bone);

    void init(bool first) override;
    void draw(double time, SceneObject* object, SceneItem* viewer) override;

private:
    Bone* m_bone;
};
