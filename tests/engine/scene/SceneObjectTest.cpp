#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/audio/SampleStream.h"
#include "engine/platform/audio/Sound.h"
#include "engine/platform/display/RenderDevice.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderConstants.h"
#include "engine/scene/Bone.h"
#include "engine/scene/ObjectContainer.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/SceneRenderer.h"
#include "engine/scene/materials/Surface.h"
#include "engine/scene/mesh/Mesh.h"
#include "engine/scene/mesh/WeightMap.h"
#include "sys/gfx/RecordingAdapter.h"
#include "sys/gfx/RecordingDevice.h"
#include "tests/engine/scene/SceneTestSupport.h"
#include "tests/support/NamedStream.h"
#include "tests/support/ReportCapture.h"
#include "tests/support/TempDir.h"

using sys::gfx::Adapter;
using sys::gfx::RecordingAdapter;
using sys::gfx::RecordingDevice;

namespace {

// Writes down what the object asks of its sound.
class ListenedSound : public Sound {
public:
    explicit ListenedSound(std::vector<std::string>* calls) : m_calls(calls) {}
    bool play(bool loop) override {
        m_calls->push_back(loop ? "play loop" : "play");
        m_playing = true;
        return true;
    }
    bool stop() override {
        m_calls->push_back("stop");
        m_playing = false;
        return true;
    }
    bool setVolume(float volume) override {
        m_calls->push_back("volume " + std::to_string(volume));
        return true;
    }
    bool setLoop(bool) override { return true; }
    bool setFrequency(uint32_t) override { return true; }
    double getPosition() override { return 0.0; }
    bool setPosition(double) override { return true; }
    uint32_t getPlayCursor() override { return 0; }

    std::vector<std::string>* m_calls;
};

class SceneObjectTest : public ReportCapture<3> {
protected:
    SceneObject& add() {
        container.m_objects.push_back(
            std::make_unique<SceneObject>(&container, static_cast<int32_t>(container.m_objects.size())));
        return *container.m_objects.back();
    }
    void giveSound(SceneObject& object, const char* name) {
        object.setSound(std::make_unique<ListenedSound>(&calls), std::make_unique<NamedStream>(name));
    }

    // Outlives the objects, whose sounds write into it until they go.
    std::vector<std::string> calls;
    RecordingView view;
    ObjectContainer container{&view};
    Mesh near{&view, nullptr}, middle{&view, nullptr}, far{&view, nullptr};
};

} // namespace

TEST_F(SceneObjectTest, ChoosesEachLevelFromItsSwitchDistanceOn) {
    SceneObject& object = add();
    object.addLevelOfDetail(&far, 100.0f);
    object.addLevelOfDetail(&near, 0.0f);
    object.addLevelOfDetail(&middle, 50.0f);
    EXPECT_EQ(object.chooseLevelOfDetail(0.0f, 0), &near);
    EXPECT_EQ(object.chooseLevelOfDetail(10.0f, 0), &near);
    EXPECT_EQ(object.chooseLevelOfDetail(60.0f, 0), &middle);
    EXPECT_EQ(object.chooseLevelOfDetail(500.0f, 0), &far);
    EXPECT_EQ(object.chooseLevelOfDetail(60.0f, 1), &near);
    EXPECT_EQ(object.chooseLevelOfDetail(60.0f, -5), &far);
}

TEST_F(SceneObjectTest, NullListenerIsReportedAndLeavesTheSoundAlone) {
    SceneObject& object = add();
    giveSound(object, "D:\\Quillfen\\soundfx\\motor.wav");
    object.updateSound(nullptr, 0.0);
    EXPECT_EQ(lastError(), "listener");
    EXPECT_TRUE(calls.empty());
}

TEST_F(SceneObjectTest, SoundNameIsTheFileNameOfTheStreamItPlays) {
    SceneObject& silent = add();
    EXPECT_EQ(silent.getSoundName(), "");
    SceneObject& stamper = add();
    giveSound(stamper, "D:\\Skorvitane\\soundfx\\stampfer02.wav");
    EXPECT_EQ(stamper.getSoundName(), "D:\\Skorvitane\\soundfx\\stampfer02.wav");
    stamper.setSound(std::make_unique<ListenedSound>(&calls), nullptr);
    EXPECT_EQ(stamper.getSoundName(), "") << "the name went with its stream";
}

namespace {

RecordingAdapter* g_adapter = nullptr;

std::unique_ptr<Adapter> takeAdapter() {
    std::unique_ptr<Adapter> taken(g_adapter);
    g_adapter = nullptr;
    return taken;
}

// A renderer on a recording device, as the program entry would make it.
class SceneObjectDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("PLIMZOR_SETTINGS", m_dir.file("none").c_str(), 1);
        g_adapter = new RecordingAdapter();
        Adapter::setFactory(takeAdapter);
        m_device = std::make_unique<RenderDevice>();
        ASSERT_TRUE(m_device->enumerateAdapters("Error", "a", "b"));
        m_device->listFormats();
        ASSERT_TRUE(m_device->createWindows("Zelkora", nullptr));
        m_renderer = std::make_unique<SceneRenderer>(*m_device);
        m_recording = static_cast<RecordingDevice*>(m_renderer->m_currentDevice);
        m_container = std::make_unique<ObjectContainer>(m_renderer.get());
    }
    void TearDown() override {
        m_container.reset();
        m_renderer.reset();
        m_device.reset();
        delete g_adapter;
        g_adapter = nullptr;
        Adapter::setFactory(nullptr);
        unsetenv("PLIMZOR_SETTINGS");
    }
    SceneObject& add() {
        auto& objects = m_container->m_objects;
        objects.push_back(std::make_unique<SceneObject>(m_container.get(), int32_t(objects.size())));
        return *objects.back();
    }

    TempDir m_dir;
    std::unique_ptr<RenderDevice> m_device;
    std::unique_ptr<Renderer> m_renderer;
    RecordingDevice* m_recording = nullptr;
    std::unique_ptr<ObjectContainer> m_container;
};

} // namespace

TEST_F(SceneObjectDrawTest, NullObjectDrawsNothingYetPlacesItsWorldThroughItsParents) {
    SceneObject& grandparent = add();
    SceneObject& parent = add();
    SceneObject& object = add();
    grandparent.m_channels[SceneItem::POS_Y].constant = 5.0f;
    parent.m_parent = &grandparent;
    parent.m_channels[SceneItem::POS_X].constant = 1.0f;
    parent.m_channels[SceneItem::HEADING].constant = 1.5707964f;
    object.m_parent = &parent;
    object.m_channels[SceneItem::POS_Z].constant = 1.0f;
    m_recording->clearCalls();
    object.draw(0.0, nullptr);
    // The parent's quarter turn carries the object's (0, 0, 1) over to +X.
    const sys::gfx::Matrix& world = m_recording->state().world;
    EXPECT_NEAR(world.m[3][0], 2.0f, 1e-5f);
    EXPECT_NEAR(world.m[3][1], 5.0f, 1e-5f);
    EXPECT_NEAR(world.m[3][2], 0.0f, 1e-5f);
    EXPECT_NEAR(m_renderer->m_constants->m_world[12], 2.0f, 1e-5f);
    EXPECT_FALSE(m_renderer->m_constants->m_derivedCurrent);
    for (const std::string& call : m_recording->calls()) EXPECT_EQ(call.find("draw"), std::string::npos) << call;
}

TEST_F(SceneObjectDrawTest, ObjectsSharingASkinnedMeshEachDrawWithTheirOwnBones) {
    SceneObject& first = add();
    SceneObject& second = add();
    Surface surface(nullptr, "skin");
    surface.m_loaded = true;
    auto map = Ref<WeightMap>::make("all", 3);
    map->m_weights = {1.0f, 1.0f, 1.0f};
    MeshPolygon triangle;
    triangle.points = {0, 1, 2};
    Mesh mesh(m_renderer.get(), nullptr, std::vector<Surface*>{&surface},
              std::vector<Position3>{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, std::vector<MeshPolygon>{triangle},
              std::vector<Ref<WeightMap>>{map});
    // Each object brought one bone; the second one's is lifted by 2.
    for (SceneObject* owner : {&first, &second}) {
        auto* bone = new Bone(m_container.get(), owner->getIndex(), int32_t(mesh.m_bones.size()));
        bone->m_weightMapName = "all";
        bone->m_owner = owner;
        mesh.m_bones.push_back(bone);
    }
    mesh.m_bones[1]->m_channels[SceneItem::POS_Y].constant = 2.0f;
    ASSERT_TRUE(mesh.prepare(true, false));
    // The weights name the slots of one object's bones only.
    for (const MeshVertex& vertex : mesh.m_buildData.vertices) {
        EXPECT_EQ(vertex.boneIndices[0], 0);
        EXPECT_FLOAT_EQ(vertex.boneWeights[0], 1.0f);
    }
    first.addLevelOfDetail(&mesh, 0.0f);
    second.addLevelOfDetail(&mesh, 0.0f);
    second.draw(0.0, nullptr);
    EXPECT_NEAR(m_renderer->m_constants->m_bones[0][13], 2.0f, 1e-6f);
    first.draw(0.0, nullptr);
    EXPECT_NEAR(m_renderer->m_constants->m_bones[0][13], 0.0f, 1e-6f);
    // The objects do not own the mesh.
    first.m_levels.clear();
    second.m_levels.clear();
}
