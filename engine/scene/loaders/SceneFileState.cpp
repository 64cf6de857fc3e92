#include "engine/scene/loaders/SceneFileState.h"

#include "engine/platform/display/DeviceList.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Bone.h"
#include "engine/scene/Camera.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/Light.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/mesh/Mesh.h"

SceneFileState::SceneFileState(LW6Scene& target, File& files, SceneFileTokens& reader, SoundDevice* soundDevice)
    : scene(target), fileSystem(files), tokens(reader), sounds(soundDevice) {}

SceneObject* SceneFileState::currentObject() const {
    // Objects of an earlier load are never this file's current object.
    if (objectIndex < offset || objectIndex < 0 || objectIndex >= static_cast<int32_t>(scene.m_objects.size()))
        return nullptr;
    return scene.m_objects[objectIndex].get();
}

Light* SceneFileState::currentLight() const {
    if (lightIndex < 0 || lightIndex >= static_cast<int32_t>(scene.m_lights.size())) return nullptr;
    return dynamic_cast<Light*>(scene.m_lights[lightIndex].get());
}

Camera* SceneFileState::currentCamera() const {
    if (cameraIndex < 0 || cameraIndex >= static_cast<int32_t>(scene.m_cameras.size())) return nullptr;
    return scene.m_cameras[cameraIndex].get();
}

Bone* SceneFileState::currentBone() const {
    if (!boneMesh || boneIndex < 0 || boneIndex >= static_cast<int32_t>(boneMesh->m_bones.size())) return nullptr;
    return boneMesh->m_bones[boneIndex];
}

SceneItem* SceneFileState::currentItem() const {
    switch (kind) {
    case OBJECT: return currentObject();
    case LIGHT: return currentLight();
    case CAMERA: return currentCamera();
    case BONE: return currentBone();
    default: return nullptr;
    }
}

SceneItem* SceneFileState::itemById(uint32_t id) const {
    auto inRange = [](int64_t index, size_t size) { return index >= 0 && index < static_cast<int64_t>(size); };
    switch (id >> 28) {
    case 1: {
        int64_t index = static_cast<int64_t>(id - 0x10000000u) + offset;
        return inRange(index, scene.m_objects.size()) ? scene.m_objects[index].get() : nullptr;
    }
    case 2: {
        uint32_t index = id - 0x20000000u;
        return inRange(index, scene.m_lights.size()) ? scene.m_lights[index].get() : nullptr;
    }
    case 3: {
        uint32_t index = id - 0x30000000u;
        return inRange(index, scene.m_cameras.size()) ? scene.m_cameras[index].get() : nullptr;
    }
    case 4: {
        uint32_t object = (id + static_cast<uint32_t>(offset)) & 0xFFFFu;
        uint32_t bone = (id - 0x40000000u) >> 16;
        if (!inRange(object, scene.m_objects.size())) return nullptr;
        SceneObject* owner = scene.m_objects[object].get();
        Mesh* mesh = owner->getFirstMesh();
        if (!mesh) return nullptr;
        // The number counts the named object's own bones: a mesh shared by
        // several objects (one rider figure on two mopeds) holds every one's.
        uint32_t seen = 0;
        for (Bone* candidate : mesh->m_bones)
            if (candidate && candidate->m_owner == owner && seen++ == bone) return candidate;
        return nullptr;
    }
    default: return nullptr;
    }
}

Renderer* SceneFileState::renderer() const { return dynamic_cast<Renderer*>(scene.m_owner); }

std::string SceneFileState::singleBackslashes(const std::string& name) {
    std::string out;
    for (char c : name)
        if (c != '\\' || out.empty() || out.back() != '\\') out.push_back(c);
    return out;
}

DeviceList* SceneFileState::devices() const { return dynamic_cast<DeviceList*>(scene.m_owner); }

std::string SceneFileState::withDriveSeparator(std::string name, char separator) {
    if (name.size() > 1 && name[1] == ':' && (name.size() < 3 || (name[2] != '/' && name[2] != '\\')))
        name.insert(name.begin() + 2, separator);
    return name;
}
