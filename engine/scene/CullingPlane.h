#pragma once
#include "engine/scene/Occluder.h"
#include "engine/scene/SceneObject.h"

// An occluder object ("AntiPortal.lwo", "CullingPlane.lwo"): never drawn,
// kept in the scene's occluder list.
class CullingPlane : public SceneObject {
public:
    CullingPlane(ObjectContainer* container, int32_t index);

    // As the last camera that built it saw the plane.
    Occluder m_occluder;
};
