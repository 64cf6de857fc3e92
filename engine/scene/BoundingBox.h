#pragma once
#include <cstdint>
#include <string>

#include "engine/platform/Math3D.h"

class RenderView;
class Mesh;
class SceneItem;
class SceneObject;

// The box and sphere every item and mesh carries, with the hooks a mesh
// fills in to prepare and draw itself.
class BoundingBox {
public:
    BoundingBox(RenderView* renderer, SceneItem* owner);
    virtual ~BoundingBox() = default;

    virtual Mesh* getMesh() { return nullptr; }
    // Makes sure the box has bounds (a mesh computes them from its points).
    virtual void init(bool first) = 0;
    virtual void invalidate() { m_drawnThisFrame = false; }
    // Each corner as (c, 1) x m, a full 4-vector.
    virtual void projectCorners(const Matrix4x3& m, float out[8][4]) const;
    // Draws for `viewer`; `object` is the object drawn, null for debugging aids.
    virtual void draw(double time, SceneObject* object, SceneItem* viewer) = 0;
    virtual void createDeviceObjects() {}
    virtual void releaseDeviceObjects() {}

    void set(const Position3& minimum, const Position3& maximum);
    // Distance from the point to the bounding sphere's surface, positive inside too.
    float distanceTo(const Position3& point) const;

    RenderView* m_renderer;
    SceneItem* m_owner;
    bool m_valid = false;
    Position3 m_corners[8] = {};
    Position3 m_centre = {0.0f, 0.0f, 0.0f};
    float m_radius = 0.0f;
    int32_t m_index = -1;
    bool m_drawnThisFrame = false;
    std::string m_name;
};
