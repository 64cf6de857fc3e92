#include "engine/scene/ObjectContainer.h"

#include "engine/platform/Report.h"
#include "engine/scene/Camera.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/mesh/Mesh.h"

namespace {

int layerKey(SceneObject& object) {
    Mesh* mesh = object.getFirstMesh();
    return mesh ? mesh->m_layerNumber : -1;
}

} // namespace

ObjectContainer::ObjectContainer(RenderView* owner) : m_owner(owner) {}

ObjectContainer::~ObjectContainer() {
    m_cameras.clear();
    m_objects.clear();
    m_lights.clear();
}

SceneObject* ObjectContainer::getObject(const std::string& name, int layerNumber, int instance) {
    ENGINE_ASSERT(instance >= 1 && instance <= static_cast<int>(m_objects.size()) && "object instance out of range");
    int counter = 1;
    for (auto& object : m_objects) {
        if (!object || object->getName() != name || layerKey(*object) != layerNumber) continue;
        if (counter == instance) return object.get();
        ++counter;
    }
    return nullptr;
}

int ObjectContainer::countObjects(const std::string& name, int layerNumber) const {
    int count = 0;
    for (auto& object : m_objects)
        if (object && object->getName() == name && layerKey(*object) == layerNumber) ++count;
    return count;
}

void ObjectContainer::invalidateAll(bool placesKept) {
    auto invalidate = [placesKept](SceneItem* item) {
        if (!item) return;
        if (placesKept)
            item->invalidateProjection();
        else
            item->invalidate();
    };
    for (auto& camera : m_cameras) invalidate(camera.get());
    for (auto& object : m_objects) invalidate(object.get());
    for (auto& light : m_lights) invalidate(light.get());
}

void ObjectContainer::invalidateItems(ObjectContainer& container, SceneItem* item, bool placesKept) {
    container.invalidateAll(placesKept);
    if (!item) return;
    if (item->getKind() == SceneItem::KIND_NONE) item->invalidate();
    ObjectContainer* other = item->getContainer();
    if (other && other != &container) other->invalidateAll(placesKept);
}
