#include "engine/scene/physics/GeomBoundingBox.h"

#include "engine/scene/physics/ODEGeomObject.h"

void GeomBoundingBox::draw(double time, SceneObject* object, SceneItem* viewer) {
    if (viewer && viewer->getKind() == SceneItem::KIND_GEOM) static_cast<ODEGeomObject*>(viewer)->drawGeom(time);
}
