#include "engine/scene/CullingPlane.h"

CullingPlane::CullingPlane(ObjectContainer* container, int32_t index) : SceneObject(container, index) {}
