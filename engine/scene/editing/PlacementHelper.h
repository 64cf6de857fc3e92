#pragma once
#include "engine/platform/Math3D.h"
#include "engine/scene/ObjectContainer.h"

class Camera;
class LW6Scene;
class Renderer;
class SceneObject;

// The renderer's own small scene: a free camera, a cursor object drawn as an
// axis cross and a highlight object that redraws the picked object's mesh
// with the wireframe setting inverted. Consulted once per outermost render.
class PlacementHelper : public ObjectContainer {
public:
    // What the resource pool answers about moves; nothing in the game sets one.
    class CollisionTester {
    public:
        virtual ~CollisionTester() = default;
        // True when the way from `from` along `direction` over `length` is blocked.
        virtual bool isPathBlocked(LW6Scene& scene, const Position3& from, const Position3& direction, float length,
                                   float clearance, double time) = 0;
        // True when `object` may take `mover`'s transform.
        virtual bool mayMove(SceneObject& mover, LW6Scene& scene, SceneObject& object, double time) = 0;
    };

    explicit PlacementHelper(Renderer* renderer);
    ~PlacementHelper() override;

    // True when the camera was set back or a dragged pick moved, so the caller
    // invalidates the scene's matrices again.
    bool update(LW6Scene& scene, double time, CollisionTester* tester);

    SceneObject* cursorObject() const { return m_objects[0].get(); }
    SceneObject* highlightObject() const { return m_objects[1].get(); }

    Renderer* m_renderer;
    // Picking runs only when set (the container's active flag makes the objects drawn).
    bool m_enabled = false;
    Camera* m_camera;
    // The highlight object itself while nothing is picked.
    SceneObject* m_picked;
    // Given back to the camera, the cursor object and the highlight object by the camera guard.
    Position3 m_storedPositions[3] = {};
    // Given back to the cursor object (first and third negated).
    float m_storedAngles[3] = {};
    // The point the free camera looks toward.
    Position3 m_target = {0.0f, 0.0f, 0.0f};
    // The picked object follows the highlight object.
    bool m_drag = false;

private:
    bool guardCamera(LW6Scene& scene, double time, CollisionTester& tester);
    void pick(LW6Scene& scene, double time);
};
