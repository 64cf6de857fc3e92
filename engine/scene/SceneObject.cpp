#include "engine/scene/SceneObject.h"

#include <algorithm>
#include <cstring>

#include <ode/objects.h>

#include "engine/platform/Report.h"
#include "engine/platform/audio/SampleStream.h"
#include "engine/platform/audio/Sound.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "engine/scene/Bone.h"
#include "engine/scene/ObjectContainer.h"
#include "engine/scene/effects/HyperVoxel.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/mesh/Mesh.h"
#include "sys/gfx/Device.h"
#include "sys/Pi.h"

namespace {

const char* const ONE_SHOT_SOUNDS[] = {
    "D:\\Quillfen\\soundfx\\wurst.wav",       "D:\\Quillfen\\soundfx\\wurst2.wav",
    "D:\\Skorvitane\\soundfx\\stampfer.wav",  "D:\\Quillfen\\soundfx\\tueren_02.wav",
    "D:\\Quillfen\\soundfx\\flinte_shot.wav", "D:\\Quillfen\\soundfx\\sfx_all\\blitz01.wav",
};

Position3 translationOf(const Matrix4x3& m) { return {m[12], m[13], m[14]}; }

} // namespace

SceneObject::SceneObject(ObjectContainer* container, int32_t index) : ViewingItem(container, KIND_OBJECT, index) {}

SceneObject::~SceneObject() {
    if (m_sound) m_sound->stop();
    m_sound.reset();
    m_soundStream.reset();
    m_hyperVoxel.reset();
}

void SceneObject::releaseDeviceObjects() {
    if (m_hyperVoxel) m_hyperVoxel->releaseDeviceObjects();
}

void SceneObject::createDeviceObjects() {
    if (m_hyperVoxel) m_hyperVoxel->createDeviceObjects();
}

void SceneObject::invalidate() {
    SceneItem::invalidate();
    if (Mesh* mesh = getFirstMesh()) mesh->invalidate();
}

void SceneObject::setSound(std::unique_ptr<Sound> sound, std::unique_ptr<SampleStream> stream) {
    if (m_sound) m_sound->stop();
    m_sound = std::move(sound);
    m_soundStream = std::move(stream);
}

void SceneObject::setHyperVoxel(std::unique_ptr<HyperVoxel> hyperVoxel) { m_hyperVoxel = std::move(hyperVoxel); }

void SceneObject::addLevelOfDetail(Mesh* mesh, float switchDistance) {
    auto at = std::find_if(m_levels.begin(), m_levels.end(),
                           [&](const LevelOfDetail& level) { return !(level.switchDistance < switchDistance); });
    m_levels.insert(at, {mesh, switchDistance, true});
}

const std::string& SceneObject::getSoundName() const {
    static const std::string none;
    return m_soundStream ? m_soundStream->getName() : none;
}

bool SceneObject::hasOneShotSound() const {
    const std::string& name = getSoundName();
    return std::any_of(std::begin(ONE_SHOT_SOUNDS), std::end(ONE_SHOT_SOUNDS),
                       [&](const char* oneShot) { return name == oneShot; });
}

void SceneObject::placeBody() {
    // Set aside so that the matrices come from the channels, not the body.
    dBodyID body = m_body;
    m_body = nullptr;
    dMatrix3 rotation;
    getODERotation(rotation, 0.0);
    // Made afresh: a cached matrix may still come from the body.
    updateMatrix(0.0);
    Position3 position = m_pivot;
    transformPoint4x3(position, m_worldMatrix);
    m_body = body;
    dBodySetPosition(body, position.x, position.y, position.z);
    dBodySetRotation(body, rotation);
}

void SceneObject::update() {
    if (m_body) placeBody();
    // The tint goes through the packed colour, as the surfaces would store it.
    uint32_t packed = colorToARGB(m_color);
    float red = float((packed >> 16) & 0xFF) / 255.0f;
    float green = float((packed >> 8) & 0xFF) / 255.0f;
    float blue = float(packed & 0xFF) / 255.0f;
    for (LevelOfDetail& level : m_levels) {
        if (!level.mesh) continue;
        level.mesh->init(true);
        tintSurfaces(*level.mesh, red, green, blue);
    }
    if (m_sound && !hasOneShotSound()) {
        m_sound->play(true);
        m_sound->setVolume(0.0f);
    }
}

void SceneObject::tintSurfaces(Mesh& mesh, float red, float green, float blue) {
    for (Surface* surface : mesh.m_surfaces) {
        if (!surface) continue;
        surface->m_colourScale[0] = red;
        surface->m_colourScale[1] = green;
        surface->m_colourScale[2] = blue;
        surface->m_colourScale[3] = 1.0f;
    }
}

Mesh* SceneObject::chooseLevelOfDetail(float distance, int32_t bias) const {
    if (m_levels.empty()) return nullptr;
    int count = static_cast<int>(m_levels.size());
    if (count == 1) return m_levels.front().mesh;
    int closer = static_cast<int>(std::count_if(m_levels.begin(), m_levels.end(),
                                                [&](const LevelOfDetail& level) { return level.switchDistance < distance; }));
    int k = std::clamp(closer - int(bias) - 1, 0, count - 1);
    return m_levels[k].mesh;
}

void SceneObject::updateSound(SceneItem* listener, double time) {
    if (!m_sound) return;
    ENGINE_ASSERT(listener && "listener");
    // Nothing to hear it from: leave the sound as it is.
    if (!listener || hasOneShotSound()) return;

    Matrix4x3 world, listenerWorld;
    getMatrix(world, time, 1);
    Position3 position = translationOf(world);
    Position3 ear = translationOf(listener->getMatrix(listenerWorld, time, 1));
    float d[3] = {position.x - ear.x, position.y - ear.y, position.z - ear.z};
    float radius = m_channels[SCALE_Y].evaluate(time);
    if (0.5f * radius * radius < vectorLength(d)) {
        m_sound->stop();
        return;
    }
    m_sound->set3D(position.x, position.y, position.z, world[8], world[9], world[10], 0.0f, 0.0f, 0.0f);
    m_sound->setCone(2.0f * PI, 2.0f * PI, 0.0f);
    m_sound->setDistances(radius, m_channels[SCALE_Z].evaluate(time));
    float volume = getContainer() ? getContainer()->m_soundVolume : 1.0f;
    m_sound->setVolume(volume * radius);
    if (!m_sound->isPlaying()) m_sound->play(true);
}

void SceneObject::drawBoundingBox() {
    Mesh* mesh = getFirstMesh();
    if (!mesh || !m_renderer) return;
    float corners[8][4];
    mesh->projectCorners(Matrix4x3::identity(), corners);
    uint32_t colour = colorToARGB(m_color);
    // Corner i and j share an edge when their indices differ in one bit.
    std::vector<DebugLineVertex> lines;
    for (int i = 0; i < 8; ++i)
        for (int bit = 1; bit < 8; bit <<= 1) {
            int j = i ^ bit;
            if (j < i) continue;
            lines.push_back({{corners[i][0], corners[i][1], corners[i][2]}, colour});
            lines.push_back({{corners[j][0], corners[j][1], corners[j][2]}, colour});
        }
    Matrix4x3 world;
    m_renderer->drawDebugLines(getMatrix(world, 0.0, 1), lines);
}

void SceneObject::uploadBoneMatrices(Mesh& mesh, double time) {
    Renderer& renderer = static_cast<Renderer&>(*m_renderer);
    // On a shared mesh this object's own bones fill the slots; an object
    // that brought none shows the mesh's.
    const bool own = std::any_of(mesh.m_bones.begin(), mesh.m_bones.end(),
                                 [this](const Bone* bone) { return bone && bone->m_owner == this; });
    uint32_t slot = 0;
    for (Bone* bone : mesh.m_bones) {
        if (slot >= Mesh::MAX_BONES) break;
        if (!bone || (own && bone->m_owner != this)) continue;
        renderer.m_constants->setBoneMatrix(slot++, bone->skinningMatrix(time));
        if (renderer.m_debugDrawing) bone->drawGuide(time);
    }
}

void SceneObject::draw(double time, SceneItem* camera) {
    Renderer& renderer = static_cast<Renderer&>(*m_renderer);
    sys::gfx::Device& device = *renderer.m_currentDevice;
    Matrix4x3 world;
    getMatrix(world, time, 1);
    renderer.m_constants->m_world = world;
    renderer.m_constants->m_derivedCurrent = false;
    sys::gfx::Matrix deviceWorld;
    std::memcpy(deviceWorld.m, world.m, sizeof world.m);
    device.setTransform(sys::gfx::TS_WORLD, deviceWorld);
    if (renderer.m_debugDrawing) updateHelpers(time);

    Mesh* first = getFirstMesh();
    if (first) uploadBoneMatrices(*first, time);

    bool wireframe = renderer.m_wireframe && !m_unseenByCamera;
    device.setRenderState(sys::gfx::RS_FILLMODE, wireframe ? sys::gfx::FILL_WIREFRAME : sys::gfx::FILL_SOLID);
    uint32_t fogEnabled = 0;
    device.getRenderState(sys::gfx::RS_FOGENABLE, fogEnabled);
    bool fogSuspended = !m_fogged && fogEnabled;
    if (fogSuspended) device.setRenderState(sys::gfx::RS_FOGENABLE, 0);

    if (m_material)
        for (int c = 0; c < 3; ++c) m_material->m_colour[c].constant = m_materialParams[c];

    float distance = 0.0f;
    if (first && camera) {
        Position3 centre = first->m_centre;
        transformPoint4x3(centre, world);
        Matrix4x3 cameraWorld;
        Position3 eye = translationOf(camera->getMatrix(cameraWorld, time, 1));
        float d[3] = {centre.x - eye.x, centre.y - eye.y, centre.z - eye.z};
        distance = vectorLength(d);
    }
    Mesh* mesh = chooseLevelOfDetail(distance, m_renderer ? m_renderer->m_lodBias : 0);
    if (mesh) {
        if (m_applyColor) tintSurfaces(*mesh, m_color.r, m_color.g, m_color.b);
        mesh->draw(time, this, camera);
    }
    if (renderer.m_boundingBoxes) drawBoundingBox();
    if (fogSuspended) device.setRenderState(sys::gfx::RS_FOGENABLE, 1);
}
