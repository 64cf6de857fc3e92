#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/platform/SampleStream.h"
#include "engine/platform/Sound.h"
#include "engine/scene/Mesh.h"
#include "engine/scene/ObjectContainer.h"
#include "engine/scene/SceneObject.h"
#include "tests/engine/scene/SceneTestSupport.h"
#include "tests/support/ReportCapture.h"

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
    void set3D(float px, float py, float pz, float, float, float, float, float, float) override {
        m_calls->push_back("place " + std::to_string(px));
    }
    void setDistances(float minimum, float maximum) override {
        m_calls->push_back("distances " + std::to_string(minimum) + " " + std::to_string(maximum));
    }
    bool setLoop(bool) override { return true; }
    bool setFrequency(uint32_t) override { return true; }
    double getPosition() override { return 0.0; }
    bool setPosition(double) override { return true; }
    uint32_t getPlayCursor() override { return 0; }

    std::vector<std::string>* m_calls;
};

class NamedStream : public SampleStream {
public:
    explicit NamedStream(const char* name) { setName(name); }
    int32_t read(void*, int32_t) override { return 0; }
    int32_t bitsPerSample() override { return 16; }
    int32_t channels() override { return 1; }
    int32_t sampleRate() override { return 22050; }
};

class SceneObjectTest : public ReportCapture<3> {
protected:
    SceneObject& add() {
        container.m_objects.push_back(
            std::make_unique<SceneObject>(&container, static_cast<int32_t>(container.m_objects.size())));
        return *container.m_objects.back();
    }
    ListenedSound* giveSound(SceneObject& object, const char* name) {
        auto sound = std::make_unique<ListenedSound>(&calls);
        ListenedSound* kept = sound.get();
        object.setSound(std::move(sound), std::make_unique<NamedStream>(name));
        return kept;
    }

    RecordingView view;
    ObjectContainer container{&view};
    Mesh near{&view, nullptr}, middle{&view, nullptr}, far{&view, nullptr};
    std::vector<std::string> calls;
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

TEST_F(SceneObjectTest, NewLevelGoesBeforeLevelsOfEqualDistance) {
    SceneObject& object = add();
    object.addLevelOfDetail(&near, 50.0f);
    object.addLevelOfDetail(&middle, 10.0f);
    object.addLevelOfDetail(&far, 50.0f);
    ASSERT_EQ(object.m_levels.size(), 3u);
    EXPECT_EQ(object.m_levels[0].mesh, &middle);
    EXPECT_EQ(object.m_levels[1].mesh, &far);
    EXPECT_EQ(object.m_levels[2].mesh, &near);
    EXPECT_TRUE(object.m_levels[2].enabled);
}

TEST_F(SceneObjectTest, NullObjectHasNoMeshToDraw) {
    SceneObject& object = add();
    EXPECT_EQ(object.chooseLevelOfDetail(10.0f, 0), nullptr);
    EXPECT_EQ(object.getFirstMesh(), nullptr);
}

TEST_F(SceneObjectTest, WorldMatrixFollowsTheParentChain) {
    SceneObject& grandparent = add();
    SceneObject& parent = add();
    SceneObject& child = add();
    grandparent.m_channels[SceneItem::POS_Y].constant = 5.0f;
    parent.m_parent = &grandparent;
    parent.m_channels[SceneItem::POS_X].constant = 1.0f;
    parent.m_channels[SceneItem::HEADING].constant = 1.5707964f;
    child.m_parent = &parent;
    child.m_channels[SceneItem::POS_Z].constant = 1.0f;
    Matrix4x3 world;
    child.getMatrix(world, 0.0, 1);
    // The parent's quarter turn carries the child's (0, 0, 1) over to +X.
    EXPECT_NEAR(world[12], 2.0f, 1e-5f);
    EXPECT_NEAR(world[13], 5.0f, 1e-5f);
    EXPECT_NEAR(world[14], 0.0f, 1e-5f);

    grandparent.m_channels[SceneItem::POS_Y].constant = 7.0f;
    ObjectContainer::invalidateItems(container, nullptr);
    child.getMatrix(world, 0.0, 1);
    EXPECT_NEAR(world[13], 7.0f, 1e-5f);
}

TEST_F(SceneObjectTest, NullListenerIsReportedAndLeavesTheSoundAlone) {
    SceneObject& object = add();
    giveSound(object, "D:\\Quillfen\\soundfx\\motor.wav");
    object.updateSound(nullptr, 0.0);
    EXPECT_EQ(lastError(), "listener");
    EXPECT_TRUE(calls.empty());
}

TEST_F(SceneObjectTest, UpdateStartsTheLoopTurnedDown) {
    SceneObject& object = add();
    giveSound(object, "D:\\Quillfen\\soundfx\\motor.wav");
    object.update();
    EXPECT_EQ(calls, (std::vector<std::string>{"play loop", "volume 0.000000"}));
}

TEST_F(SceneObjectTest, SoundStopsBeyondHalfTheSquaredScaleY) {
    SceneObject& object = add();
    SceneObject& listener = add();
    ListenedSound* sound = giveSound(object, "D:\\Quillfen\\soundfx\\motor.wav");
    object.m_channels[SceneItem::SCALE_Y].constant = 4.0f;
    object.m_channels[SceneItem::SCALE_Z].constant = 30.0f;
    container.m_soundVolume = 0.5f;
    listener.m_channels[SceneItem::POS_X].constant = 7.9f;
    object.updateSound(&listener, 0.0);
    EXPECT_EQ(calls, (std::vector<std::string>{"place 0.000000", "distances 4.000000 30.000000", "volume 2.000000",
                                               "play loop"}));
    EXPECT_TRUE(sound->isPlaying());

    calls.clear();
    listener.m_channels[SceneItem::POS_X].constant = 8.1f;
    ObjectContainer::invalidateItems(container, nullptr);
    object.updateSound(&listener, 0.0);
    EXPECT_EQ(calls, (std::vector<std::string>{"stop"}));
}

TEST_F(SceneObjectTest, OneShotSoundIsNeverStartedNorStopped) {
    SceneObject& object = add();
    SceneObject& listener = add();
    giveSound(object, "D:\\Quillfen\\soundfx\\wurst.wav");
    listener.m_channels[SceneItem::POS_X].constant = 100.0f;
    object.update();
    object.updateSound(&listener, 0.0);
    EXPECT_TRUE(calls.empty());
}
