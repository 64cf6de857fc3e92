#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Camera;
class LW6Scene;
class RenderView;
class SceneItem;
class SceneObject;

// The owning collection of scene items: cameras, objects and lights in file
// order, found by index or by name.
class ObjectContainer {
public:
    explicit ObjectContainer(RenderView* owner);
    virtual ~ObjectContainer();
    ObjectContainer(const ObjectContainer&) = delete;
    ObjectContainer& operator=(const ObjectContainer&) = delete;

    virtual LW6Scene* getScene() { return nullptr; }
    virtual int getObjectCount() const { return static_cast<int>(m_objects.size()); }
    virtual SceneItem* findItem(const std::string& name, int index, int instance) { return nullptr; }
    // The instance-th (from 1) object of that exact name whose first mesh has
    // that layer number (-1: no mesh).
    virtual SceneObject* getObject(const std::string& name, int layerNumber, int instance);
    virtual SceneObject* getObjectAt(int index) { return m_objects[index].get(); }

    int getLightCount() const { return static_cast<int>(m_lights.size()); }
    int countObjects(const std::string& name, int layerNumber) const;
    // Clears the cached matrices of every item of the container, and of an
    // item kept in no list or in another container. A mirror's pass draws the
    // frame its outer pass placed, at the same time: with `placesKept` only
    // the projections go, and no item is placed again.
    static void invalidateItems(ObjectContainer& container, SceneItem* item, bool placesKept = false);

    RenderView* m_owner;
    // For the placement helper: its objects join every scene's object pass.
    bool m_active = false;
    Camera* m_activeCamera = nullptr;
    std::vector<std::unique_ptr<Camera>> m_cameras;
    std::vector<std::unique_ptr<SceneObject>> m_objects;
    std::vector<std::unique_ptr<SceneItem>> m_lights;
    float m_scale = 1.0f;
    // Volume of the objects' positional sounds, 0 to 1; the race sets it.
    float m_soundVolume = 1.0f;

private:
    void invalidateAll(bool placesKept);
};
