#include "engine/scene/loaders/SceneFileReader.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <strings.h>
#include <vector>

#include <ode/mass.h>
#include <ode/objects.h>

#include "engine/platform/Report.h"
#include "engine/platform/archive/File.h"
#include "engine/scene/Bone.h"
#include "engine/scene/Camera.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/Light.h"
#include "engine/scene/loaders/SceneFileState.h"
#include "engine/scene/loaders/SceneFileTokens.h"
#include "engine/scene/loaders/SceneKeywordReader.h"
#include "engine/scene/loaders/SceneMixerReader.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "engine/scene/physics/ODEJointObject.h"

namespace {

bool isWord(const char* token, const char* word) { return strcasecmp(token, word) == 0; }

bool isObjectStart(const char* token) { return isWord(token, "LoadObjectLayer") || isWord(token, "AddNullObject"); }

// The whole open file in one go, closing it; false when it reads nothing.
bool readOpened(File& fileSystem, std::vector<char>& bytes) {
    try {
        bytes.resize(fileSystem.getSize());
    } catch (const std::bad_alloc&) {
        fileSystem.close();
        return false;
    }
    uint32_t read = bytes.empty() ? 0 : fileSystem.readFully(bytes.data(), static_cast<uint32_t>(bytes.size()));
    fileSystem.close();
    bytes.resize(read);
    return read != 0;
}

// Reads the whole file in one go; false when it does not open or reads nothing.
bool readFile(File& fileSystem, const char* name, std::vector<char>& bytes) {
    if (!fileSystem.open(name)) {
        g_logStream << "File not found: " << name << "\n";
        return false;
    }
    return readOpened(fileSystem, bytes);
}

// One item per object section, whatever plug-ins it carries: item ids count
// sections, so a section must never make two.
std::unique_ptr<SceneObject> makeSectionItem(LW6Scene& scene, bool geom, bool joint) {
    auto index = static_cast<int32_t>(scene.m_objects.size());
    if (joint) return std::make_unique<ODEJointObject>(&scene, index);
    if (geom) return std::make_unique<ODEGeomObject>(&scene, index);
    return std::make_unique<SceneObject>(&scene, index);
}

void createItems(SceneFileTokens& tokens, LW6Scene& scene, int32_t offset) {
    int32_t i = 0;
    while (i < tokens.count()) {
        const char* token = tokens.at(i);
        if (isObjectStart(token)) {
            bool geom = false;
            bool joint = false;
            int32_t j = i + 1;
            for (; j < tokens.count(); ++j) {
                const char* t = tokens.at(j);
                if (isObjectStart(t) || isWord(t, "AddLight")) break;
                geom = geom || isWord(t, "MorvaneODEGeom");
                joint = joint || isWord(t, "MorvaneODEJoint");
            }
            scene.m_objects.push_back(makeSectionItem(scene, geom, joint));
            i = j;
            continue;
        }
        if (isWord(token, "AddLight") && offset == 0)
            scene.m_lights.push_back(std::make_unique<Light>(&scene, static_cast<int32_t>(scene.m_lights.size())));
        else if (isWord(token, "CameraMotion"))
            scene.m_cameras.push_back(std::make_unique<Camera>(&scene, static_cast<int32_t>(scene.m_cameras.size())));
        ++i;
    }
}

// Whether `item` may follow `link`: never itself, nor an item whose chain
// leads back to it, or every matrix walk up the chain would never end.
bool mayLink(SceneItem* item, SceneItem* link) {
    int32_t steps = 0;
    for (SceneItem* p = link; p; p = p->m_parent)
        if (p == item || ++steps > 100000) return false;
    return true;
}

} // namespace

SceneFileReader::SceneFileReader(LW6Scene& scene, File& fileSystem, SoundDevice* sounds)
    : m_scene(scene), m_fileSystem(fileSystem), m_sounds(sounds) {}

bool SceneFileReader::load(const char* name, LoadingFrame* frame, float progressBase, float progressRange) {
    m_scene.m_fileName = name;
    std::vector<char> bytes;
    if (!readFile(m_fileSystem, name, bytes)) return false;
    SceneFileTokens tokens(std::move(bytes));
    if (std::string(tokens.at(0)) != "LWSC" || std::atoi(tokens.at(1)) != 3) {
        reportError("Invalid scene file (wrong version or file type)!");
        return false;
    }

    SceneFileState state(m_scene, m_fileSystem, tokens, m_sounds);
    state.offset = static_cast<int32_t>(m_scene.m_objects.size());
    state.objectIndex = state.offset - 1;
    int32_t begin = 2;
    int32_t end = tokens.count();
    if (state.offset > 0) {
        // A merged file brings its objects only.
        begin = tokens.find(0, {"LoadObjectLayer", "AddNullObject"});
        if (begin < 0) begin = end;
        int32_t stop = tokens.find(begin + 1, {"CameraMotion", "AddLight"});
        if (stop >= 0) end = stop;
    }
    int32_t mixer = tokens.find(0, {"MotionMixer"});
    state.mixerPosition = mixer < 0 ? 0 : mixer + 1;

    createItems(tokens, m_scene, state.offset);
    if (m_scene.m_cameras.empty()) {
        reportError("There must be at least one camera in the scene.");
        return false;
    }
    if (m_scene.m_lights.empty()) {
        auto light = std::make_unique<Light>(&m_scene, 0);
        for (AnimatedValue& c : light->m_colour) c.constant = 1.0f;
        light->m_intensity.constant = 1.0f;
        light->m_lightType = Light::POINT;
        light->m_parent = m_scene.m_cameras.front().get();
        m_scene.m_lights.push_back(std::move(light));
    }
    state.autoDisable.assign(m_scene.m_objects.size() - static_cast<size_t>(state.offset), 0);

    SceneKeywordReader keywords(state, frame, progressBase, progressRange);
    tokens.setPosition(begin);
    while (tokens.position() < end) keywords.read(tokens.readString());
    if (state.mixerPosition != 0) {
        tokens.setPosition(state.mixerPosition);
        SceneMixerReader(state).readActors();
    }
    m_scene.m_activeCamera = m_scene.m_cameras.front().get();
    resolveLinks(state);
    createBodies(state);
    return true;
}

std::vector<std::string> SceneFileReader::objectFiles(File& fileSystem, const char* name) {
    std::vector<std::string> files;
    std::vector<char> bytes;
    {
        // The load that follows meets a fault again and reports it.
        const QuietReports quiet;
        const std::unique_ptr<File> file(fileSystem.clone());
        if (!file->open(name) || !readOpened(*file, bytes)) return files;
    }
    SceneFileTokens tokens(std::move(bytes));
    auto add = [&files](std::string file) {
        if (!file.empty() && std::find(files.begin(), files.end(), file) == files.end()) files.push_back(std::move(file));
    };
    for (int32_t i = tokens.find(0, {"LoadObjectLayer", "ObjReplacementHandler"}); i >= 0;
         i = tokens.find(tokens.position(), {"LoadObjectLayer", "ObjReplacementHandler"})) {
        tokens.setPosition(i);
        if (tokens.readString() == "LoadObjectLayer") {
            tokens.skip();
            add(SceneFileState::withDriveSeparator(tokens.readFileName(), '\\'));
            continue;
        }
        // Levels of detail: their files are loaded with the object.
        tokens.skip(3);
        const int32_t count = tokens.readInt();
        for (int32_t k = 0; k < count && !tokens.atEnd(); ++k) {
            tokens.skip();
            add(SceneFileState::singleBackslashes(tokens.readString()));
        }
    }
    return files;
}

void SceneFileReader::resolveLinks(SceneFileState& state) {
    auto resolve = [&state](SceneItem* item, uint32_t id, const char* keyword) -> SceneItem* {
        if (id == 0) return nullptr;
        SceneItem* link = state.itemById(id);
        if (!link) g_logStream << keyword << " " << std::hex << id << std::dec << " names no item" << std::endl;
        return link;
    };
    for (auto& [item, links] : state.links) {
        if (links.parentBone != 0) {
            SceneItem* parent = resolve(item, links.parentBone, "ParentItem");
            if (parent && mayLink(item, parent)) {
                item->m_parent = parent;
                static_cast<Bone*>(item)->m_parentBone = dynamic_cast<Bone*>(parent);
            }
        } else if (SceneItem* parent = resolve(item, links.parent, "ParentItem")) {
            if (mayLink(item, parent)) item->m_parent = parent;
        }
        if (SceneItem* target = resolve(item, links.target, "TargetItem"); target != item) item->m_target = target;
        if (SceneItem* goal = resolve(item, links.goal, "GoalObject"); goal != item) item->m_goalItem = goal;
    }
    for (size_t i = static_cast<size_t>(state.offset); i < m_scene.m_objects.size(); ++i) {
        auto* joint = dynamic_cast<ODEJointObject*>(m_scene.m_objects[i].get());
        if (!joint) continue;
        joint->m_body1 = resolve(joint, joint->m_body1Id, "Body1");
        joint->m_body2 = resolve(joint, joint->m_body2Id, "Body2");
    }
}

void SceneFileReader::createBodies(SceneFileState& state) {
    if (!m_scene.m_world) return;
    for (size_t i = static_cast<size_t>(state.offset); i < m_scene.m_objects.size(); ++i) {
        SceneObject& object = *m_scene.m_objects[i];
        if (object.m_mass.mass == 0.0 || object.m_body) continue;
        dMatrix3 rotation;
        object.getODERotation(rotation, 0.0);
        dMassRotate(&object.m_mass, rotation);
        object.m_body = dBodyCreate(m_scene.m_world);
        dBodySetMass(object.m_body, &object.m_mass);
        dBodySetAutoDisableFlag(object.m_body, state.autoDisable[i - static_cast<size_t>(state.offset)]);
    }
}
