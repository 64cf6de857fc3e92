#include "engine/scene/loaders/SceneKeywordReader.h"

#include <cmath>
#include <memory>

#include "engine/platform/Report.h"
#include "engine/platform/audio/SampleStream.h"
#include "engine/platform/audio/Sound.h"
#include "engine/platform/audio/SoundDevice.h"
#include "engine/platform/gui/LoadingFrame.h"
#include "engine/platform/images/Texture.h"
#include "engine/scene/Bone.h"
#include "engine/scene/Camera.h"
#include "engine/scene/CullingPlane.h"
#include "engine/scene/LW6Scene.h"
#include "engine/scene/Light.h"
#include "engine/scene/MetaScene.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/loaders/SceneClipReader.h"
#include "engine/scene/loaders/SceneEnvelopeReader.h"
#include "engine/scene/loaders/SceneFileState.h"
#include "engine/scene/loaders/SceneFileTokens.h"
#include "engine/scene/loaders/SceneObjectFiles.h"
#include "engine/scene/loaders/ScenePluginReader.h"
#include "engine/scene/mesh/Mesh.h"

namespace {

constexpr float DEGREES_TO_RADIANS = 0.017453292519943295f;

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

void readFloats(SceneFileTokens& tokens, float* out, int count) {
    for (int i = 0; i < count; ++i) out[i] = tokens.readFloat32();
}

// Heading, pitch, bank in degrees as (pitch, heading, bank) in radians.
void readRotation(SceneFileTokens& tokens, float out[3]) {
    float hpb[3];
    readFloats(tokens, hpb, 3);
    out[0] = hpb[1] * DEGREES_TO_RADIANS;
    out[1] = hpb[0] * DEGREES_TO_RADIANS;
    out[2] = hpb[2] * DEGREES_TO_RADIANS;
}

int32_t fogMode(int32_t fogType) {
    switch (fogType) {
    case 1: return 3;
    case 2: return 1;
    case 3: return 2;
    default: return 0;
    }
}

} // namespace

SceneKeywordReader::SceneKeywordReader(SceneFileState& state, LoadingFrame* frame, float progressBase,
                                       float progressRange)
    : m_state(state), m_frame(frame), m_progressBase(progressBase), m_progressRange(progressRange),
      m_scratchObject(std::make_unique<SceneObject>(nullptr, -1)), m_scratchLight(std::make_unique<Light>(nullptr, -1)),
      m_scratchCamera(std::make_unique<Camera>(nullptr, -1)), m_scratchBone(std::make_unique<Bone>(nullptr, 0, 0)) {}

SceneKeywordReader::~SceneKeywordReader() = default;

bool SceneKeywordReader::read(const std::string& keyword) {
    return readObjectKeyword(keyword) || readItemKeyword(keyword) || readBoneKeyword(keyword) ||
           readLightKeyword(keyword) || readCameraKeyword(keyword) || readSceneKeyword(keyword);
}

bool SceneKeywordReader::readSceneKeyword(const std::string& keyword) {
    SceneFileTokens& tokens = m_state.tokens;
    LW6Scene& scene = m_state.scene;
    SceneEnvelopeReader envelopes(tokens);
    if (keyword == "FirstFrame") scene.m_firstFrame = tokens.readInt();
    else if (keyword == "LastFrame") scene.m_lastFrame = tokens.readInt();
    else if (keyword == "PreviewFirstFrame") scene.m_previewFirstFrame = tokens.readInt();
    else if (keyword == "PreviewLastFrame") scene.m_previewLastFrame = tokens.readInt();
    else if (keyword == "FramesPerSecond") scene.m_framesPerSecond = tokens.readFloat();
    else if (keyword == "AmbientColor") envelopes.readValues(scene.m_ambientColor);
    else if (keyword == "AmbientIntensity") envelopes.readValue(scene.m_ambientIntensity);
    else if (keyword == "GlobalLightIntensity") envelopes.readValue(scene.m_globalLightIntensity);
    else if (keyword == "GlobalFlareIntensity") envelopes.readValue(scene.m_globalFlareIntensity);
    else if (keyword == "BGImage") {
        Texture* texture = SceneClipReader(m_state).readClip();
        if (texture) {
            texture->setFlags(0x80);
            scene.m_backgroundImage = texture;
        }
    } else if (keyword == "BackdropColor") {
        readFloats(tokens, &scene.m_backdropColor.r, 3);
        scene.m_backdropColor.a = 0.0f;
    } else if (keyword == "FogType") scene.m_fogType = fogMode(tokens.readInt());
    else if (keyword == "FogMinDistance") scene.m_fogMinDistance = tokens.readFloat32();
    else if (keyword == "FogMaxDistance") scene.m_fogMaxDistance = tokens.readFloat32();
    else if (keyword == "FogColor") readFloats(tokens, &scene.m_fogColor.r, 3);
    else if (keyword == "BackdropFog") {
        if (tokens.readInt() != 0) {
            scene.m_fogColor.r = scene.m_backdropColor.r;
            scene.m_fogColor.g = scene.m_backdropColor.g;
            scene.m_fogColor.b = scene.m_backdropColor.b;
        }
    } else if (keyword == "zdm_BackdropWithoutFog") scene.m_backdropWithoutFog = tokens.readInt() != 0;
    else if (keyword == "GridNumber") scene.m_gridNumber = tokens.readInt();
    else if (keyword == "GridSize") scene.m_gridSize = tokens.readFloat32();
    else return false;
    return true;
}

void SceneKeywordReader::nextObject() {
    ++m_state.objectIndex;
    m_state.kind = SceneFileState::OBJECT;
    m_state.boneIndex = -1;
    if (!m_frame) return;
    auto count = static_cast<float>(m_state.scene.m_objects.size());
    showLoadingProgress(m_frame, m_progressBase + (static_cast<float>(m_state.objectIndex) * m_progressRange) / count);
}

void SceneKeywordReader::loadObjectLayer() {
    SceneFileTokens& tokens = m_state.tokens;
    LW6Scene& scene = m_state.scene;
    nextObject();
    int32_t layerIndex = tokens.readInt() - 1;
    std::string name = SceneFileState::withDriveSeparator(tokens.readFileName(), '\\');
    SceneObject* object = m_state.currentObject();
    if (!object) return;
    Mesh* mesh = SceneObjectFiles::getObjectLayer(scene, m_state.fileSystem, name, layerIndex);
    std::string layerName = mesh ? mesh->m_name : std::string();
    if (contains(name, "AntiPortal.lwo") || contains(name, "CullingPlane.lwo") || contains(layerName, "CullingPlane")) {
        int32_t index = m_state.objectIndex;
        auto plane = std::make_unique<CullingPlane>(&scene, index);
        plane->m_unseenByCamera = true;
        scene.m_cullingPlanes.push_back(plane.get());
        object = plane.get();
        scene.m_objects[index] = std::move(plane);
    }
    if (contains(name, "QX_CameraTarget.lwo") || contains(layerName, "QX_CameraTarget")) scene.m_cameraTarget = object;
    object->setName(name);
    if (!mesh) {
        scene.m_unloadedObjects.push_back(name);
        return;
    }
    object->addLevelOfDetail(mesh, 0.0f);
    object->m_pivot = object->getFirstMesh()->m_pivot;
}

void SceneKeywordReader::addNullObject() {
    nextObject();
    std::string name = m_state.tokens.readString();
    SceneObject* object = m_state.currentObject();
    if (!object) return;
    object->setName(name);
    if (contains(name, "QX_CameraTarget")) m_state.scene.m_cameraTarget = object;
}

void SceneKeywordReader::readSound() {
    SceneFileTokens& tokens = m_state.tokens;
    std::string kind = tokens.readString();
    if (kind != "sound") return;
    std::string name = tokens.readString();
    SceneObject* object = m_state.currentObject();
    if (!object) return;
    std::unique_ptr<SampleStream> stream(loadSampleStream(m_state.fileSystem, name.c_str()));
    std::unique_ptr<Sound> sound;
    if (stream && m_state.sounds) sound = m_state.sounds->createSound(stream.get(), 0x82);
    if (!sound) {
        g_logStream << kind << " sound was not loaded" << std::endl;
        return;
    }
    sound->setVolume(0.0f);
    object->setSound(std::move(sound), std::move(stream));
}

bool SceneKeywordReader::readObjectKeyword(const std::string& keyword) {
    SceneFileTokens& tokens = m_state.tokens;
    if (keyword == "LoadObjectLayer") {
        loadObjectLayer();
        return true;
    }
    if (keyword == "AddNullObject") {
        addNullObject();
        return true;
    }
    if (keyword == "Plugin") {
        ScenePluginReader(m_state).readPlugin();
        return true;
    }
    if (keyword == "//") {
        readSound();
        return true;
    }
    SceneObject* object = m_state.currentObject();
    SceneObject& o = object ? *object : *m_scratchObject;
    if (keyword == "UnseenByCamera") o.m_unseenByCamera = true;
    else if (keyword == "UnseenByRays") o.m_unseenByRays = true;
    else if (keyword == "BumpDisplacement") o.m_bumpDisplacement = true;
    else if (keyword == "ObjectMotion") SceneEnvelopeReader(tokens).readMotion(o.m_channels);
    else if (keyword == "zdm_ObjectMaterial") {
        std::string surface = tokens.readString();
        o.m_material = m_state.scene.m_metaScene ? m_state.scene.m_metaScene->findSurface(o.getName() + "@" + surface)
                                                 : nullptr;
        readFloats(tokens, o.m_materialParams, 3);
    } else if (keyword == "UnaffectedByFog") o.m_fogged = tokens.readInt() == 0;
    else if (keyword == "MatteColor") {
        readFloats(tokens, &o.m_color.r, 3);
        o.m_color.a = 1.0f;
    } else if (keyword == "ShadowOptions") o.m_shadowOptions = static_cast<uint32_t>(tokens.readInt());
    else if (keyword == "ExcludeLight") {
        // The default light and the camera-bound light cannot be excluded.
        uint32_t id = static_cast<uint32_t>(tokens.readHex());
        if (id != 0x21000000u && id != 0x22000000u) o.m_excludedLights.push_back(static_cast<int32_t>(id - 0x20000000u));
    }
    else return false;
    return true;
}

bool SceneKeywordReader::readItemKeyword(const std::string& keyword) {
    SceneFileTokens& tokens = m_state.tokens;
    SceneItem* item = m_state.currentItem();
    SceneItem& i = item ? *item : *m_scratchObject;
    SceneFileState::Links scratch;
    SceneFileState::Links& links = item ? m_state.linksOf(item) : scratch;
    if (keyword == "HController") i.m_headingController = tokens.readInt();
    else if (keyword == "PController") i.m_pitchController = tokens.readInt();
    else if (keyword == "BController") i.m_bankController = tokens.readInt();
    else if (keyword == "PathAlignLookAhead") i.m_pathLookAhead = tokens.readFloat32();
    else if (keyword == "GoalObject") links.goal = tokens.readHex();
    else if (keyword == "MatchGoalOrientation") i.m_matchGoalOrientation = tokens.readInt() != 0;
    else if (keyword == "zdm_RotationOrder") for (int32_t& axis : i.m_rotationOrder) axis = tokens.readInt();
    else if (keyword == "PivotPosition") readFloats(tokens, &i.m_pivot.x, 3);
    else if (keyword == "PivotRotation") readRotation(tokens, i.m_pivotRotation);
    else if (keyword == "ParentItem") {
        links.parent = tokens.readHex();
        if (m_state.kind == SceneFileState::BONE && (links.parent >> 28) == 4) links.parentBone = links.parent;
    } else if (keyword == "TargetItem") links.target = tokens.readHex();
    else return false;
    return true;
}

void SceneKeywordReader::addBone() {
    m_state.kind = SceneFileState::BONE;
    Mesh* mesh = m_state.boneMesh;
    if (!mesh) {
        ++m_state.boneIndex;
        return;
    }
    // The bone's number is its place in the mesh's list, which is also its
    // skinning slot, even when a second object shares the mesh.
    m_state.boneIndex = static_cast<int32_t>(mesh->m_bones.size());
    auto* bone = new Bone(&m_state.scene, m_state.objectIndex, m_state.boneIndex);
    bone->m_parent = m_state.currentObject();
    bone->m_owner = bone->m_parent;
    mesh->m_bones.push_back(bone);
}

bool SceneKeywordReader::readBoneKeyword(const std::string& keyword) {
    SceneFileTokens& tokens = m_state.tokens;
    if (keyword == "BoneFalloffType") {
        SceneObject* object = m_state.currentObject();
        m_state.boneMesh = object ? object->getFirstMesh() : nullptr;
        int32_t type = tokens.readInt();
        if (m_state.boneMesh) m_state.boneMesh->m_falloffType = type;
        return true;
    }
    if (keyword == "AddBone") {
        addBone();
        return true;
    }
    Bone* bone = m_state.currentBone();
    Bone& b = bone ? *bone : *m_scratchBone;
    if (keyword == "BoneName") b.setName(tokens.readString());
    else if (keyword == "BoneMotion") SceneEnvelopeReader(tokens).readMotion(b.m_channels);
    else if (keyword == "BoneRestPosition") readFloats(tokens, &b.m_restPosition.x, 3);
    else if (keyword == "BoneRestDirection") readRotation(tokens, b.m_restRotation);
    else if (keyword == "BoneRestLength") b.m_restLength = tokens.readFloat32();
    else if (keyword == "BoneStrength") b.m_strength = tokens.readFloat32();
    else if (keyword == "ScaleBoneStrength") b.m_scaleStrength = tokens.readInt() == 0;
    else if (keyword == "BoneLimitedRange") b.m_limitedRange = tokens.readInt() == 0;
    else if (keyword == "BoneMinRange") b.m_minRange = tokens.readFloat32();
    else if (keyword == "BoneMaxRange") b.m_maxRange = tokens.readFloat32();
    else if (keyword == "BoneWeightMapName") b.m_weightMapName = tokens.readString();
    else return false;
    return true;
}

bool SceneKeywordReader::readLightKeyword(const std::string& keyword) {
    SceneFileTokens& tokens = m_state.tokens;
    if (keyword == "AddLight") {
        ++m_state.lightIndex;
        m_state.kind = SceneFileState::LIGHT;
        return true;
    }
    Light* light = m_state.currentLight();
    Light& l = light ? *light : *m_scratchLight;
    SceneEnvelopeReader envelopes(tokens);
    if (keyword == "LightName") l.setName(tokens.readString());
    else if (keyword == "LightMotion") envelopes.readMotion(l.m_channels);
    else if (keyword == "LightColor") envelopes.readValues(l.m_colour);
    else if (keyword == "LightIntensity") envelopes.readValue(l.m_intensity);
    else if (keyword == "LightRange") envelopes.readValue(l.m_range);
    else if (keyword == "LightFalloffType") l.m_falloffType = tokens.readInt();
    else if (keyword == "LightType") l.m_lightType = tokens.readInt();
    else if (keyword == "LightQuality" || keyword == "AffectOpenGL" || keyword == "LensFlareFade") tokens.skip();
    else if (keyword == "LightConeAngle") envelopes.readValue(l.m_coneAngle, true);
    else if (keyword == "LightEdgeAngle") envelopes.readValue(l.m_edgeAngle, true);
    else if (keyword == "AffectDiffuse") l.m_noDiffuse = tokens.readInt() == 0;
    else if (keyword == "AffectSpecular") l.m_noSpecular = tokens.readInt() == 0;
    else if (keyword == "LightProjImage") {
        Texture* texture = SceneClipReader(m_state).readClip();
        if (light) light->m_projectorImage = texture;
    } else if (keyword == "ShadowType") l.m_shadowType = tokens.readInt();
    else if (keyword == "ShadowMapSize") l.m_shadowMapSize = tokens.readInt();
    else if (keyword == "ShadowFuzziness") l.m_shadowBias = -std::pow(2.0f, -tokens.readFloat32());
    else if (keyword == "LensFlare") l.m_lensFlare = tokens.readInt() != 0;
    else if (keyword == "FlareIntensity") envelopes.readValue(l.m_flareIntensity);
    else if (keyword == "LensFlareOptions") l.m_flareOptions = tokens.readInt();
    else if (keyword == "FlareNominalDistance") l.m_flareNominalDistance = tokens.readFloat32();
    else if (keyword == "FlareRotationAngle") envelopes.readValue(l.m_flareRotation);
    else if (keyword == "zdm_ViewAxis") {
        int32_t axis = tokens.readInt();
        Camera* camera = m_state.currentCamera();
        if (m_state.kind == SceneFileState::LIGHT && light) light->m_viewAxis = axis;
        else if (m_state.kind == SceneFileState::CAMERA && camera) camera->m_viewAxis = axis;
    } else return false;
    return true;
}

bool SceneKeywordReader::readCameraKeyword(const std::string& keyword) {
    SceneFileTokens& tokens = m_state.tokens;
    if (keyword == "AddCamera") {
        ++m_state.cameraIndex;
        m_state.kind = SceneFileState::CAMERA;
        return true;
    }
    Camera* camera = m_state.currentCamera();
    Camera& c = camera ? *camera : *m_scratchCamera;
    if (keyword == "CameraName") c.setName(tokens.readString());
    else if (keyword == "CameraMotion") SceneEnvelopeReader(tokens).readMotion(c.m_channels);
    else if (keyword == "ZoomFactor") SceneEnvelopeReader(tokens).readValue(c.m_zoomFactor);
    else if (keyword == "EyeSeparation") c.m_eyeSeparation = tokens.readFloat32();
    else if (keyword == "zdm_EnvMinDistance") {
        c.m_envMinDistance = tokens.readFloat32();
        c.m_hasEnvMinDistance = true;
    } else if (keyword == "zdm_EnvMaxDistance") {
        c.m_envMaxDistance = tokens.readFloat32();
        c.m_hasEnvMaxDistance = true;
    }
    else return false;
    return true;
}
