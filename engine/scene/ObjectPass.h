#pragma once
#include <vector>

class CullingPlane;
class DrawList;
class LW6Scene;
class SceneItem;
class SceneObject;

// The object pass of a scene render: culls the objects against the view and
// the occluders, sorts them, fits the projection to what is visible, then
// lights and draws each one.
class ObjectPass {
public:
    // At render depth 1 it also refills `occluders` with the culling planes in view.
    static void drawObjects(LW6Scene& scene, SceneItem* camera, std::vector<CullingPlane*>& occluders, double time);
    // The objects' positional sounds, once a frame from the camera the player
    // hears with: the passes see through mirrors and lights, which are no ear.
    static void updateSounds(LW6Scene& scene, SceneItem& listener, double time);
    // The scene's own draw-list step: lights, mirror scenes, then the draw.
    static void drawList(LW6Scene& scene, double time, SceneItem* camera, const DrawList& list);
    // Enables the strongest lights reaching the object (or feeds the shader arrays).
    static void selectLights(LW6Scene& scene, SceneItem* camera, SceneObject& object, double time);
    // Reflective surfaces of the object's mesh reflect this scene.
    static void assignReflectionScene(LW6Scene& scene, SceneObject& object, double time);
    // The depth range the camera's last outermost pass fitted; its own planes
    // (0 and the largest float, clamped by the camera) when it has none.
    static void depthRange(const SceneItem& camera, float& nearDistance, float& farDistance);

    // Degrees; above 0.0001 the shader path draws a cylindrical view. The game sets none.
    static float s_cylindricalViewAngle;
};
