#include <gtest/gtest.h>

#include "engine/scene/Camera.h"
#include "engine/scene/ObjectContainer.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/mesh/Mesh.h"
#include "tests/engine/scene/SceneTestSupport.h"
#include "tests/support/ReportCapture.h"

namespace {

// An object that counts its destructions, to see each item deleted once.
class CountedObject : public SceneObject {
public:
    CountedObject(ObjectContainer* container, int32_t index, int* deaths) : SceneObject(container, index), m_deaths(deaths) {}
    ~CountedObject() override { ++*m_deaths; }
    int* m_deaths;
};

class ObjectContainerTest : public ReportCapture<3> {
protected:
    SceneObject& add(const char* name, Mesh* mesh = nullptr) {
        container.m_objects.push_back(
            std::make_unique<SceneObject>(&container, static_cast<int32_t>(container.m_objects.size())));
        SceneObject& object = *container.m_objects.back();
        object.setName(name);
        if (mesh) object.m_levels.push_back({mesh, 0.0f, true});
        return object;
    }
    RecordingView view;
    ObjectContainer container{&view};
};

} // namespace

TEST_F(ObjectContainerTest, NewContainerIsEmpty) {
    EXPECT_EQ(container.getObjectCount(), 0);
    EXPECT_EQ(container.getLightCount(), 0);
    EXPECT_EQ(container.getScene(), nullptr);
    EXPECT_EQ(container.m_activeCamera, nullptr);
    EXPECT_FLOAT_EQ(container.m_scale, 1.0f);
}

TEST_F(ObjectContainerTest, GetObjectCountsMatchesAndSkipsOthers) {
    Mesh layer2(&view, nullptr);
    layer2.m_layerNumber = 2;
    SceneObject& first = add("moped");
    add("CameraTarget");
    add("moped", &layer2);
    SceneObject& second = add("moped");
    EXPECT_EQ(container.getObject("moped", -1, 1), &first);
    EXPECT_EQ(container.getObject("moped", -1, 2), &second);
    EXPECT_EQ(container.getObject("moped", 2, 1), container.getObjectAt(2));
    EXPECT_EQ(container.getObject("moped", -1, 3), nullptr);
    EXPECT_EQ(container.getObject("Moped", -1, 1), nullptr);
    EXPECT_EQ(container.countObjects("moped", -1), 2);
    EXPECT_EQ(container.countObjects("moped", 2), 1);
    EXPECT_EQ(lastError(), "");
}

TEST_F(ObjectContainerTest, FirstLevelWithoutMeshCountsAsNullObject) {
    SceneObject& object = add("marker");
    object.m_levels.push_back({nullptr, 0.0f, true});
    EXPECT_EQ(container.getObject("marker", -1, 1), &object);
}

TEST_F(ObjectContainerTest, InstanceZeroIsReportedAndFindsNothing) {
    add("moped");
    EXPECT_EQ(container.getObject("moped", -1, 0), nullptr);
    EXPECT_EQ(lastError(), "object instance out of range");
}

TEST_F(ObjectContainerTest, DestroyingDeletesEveryItemOnce) {
    int deaths = 0;
    {
        ObjectContainer owned(&view);
        for (int i = 0; i < 3; ++i) owned.m_objects.push_back(std::make_unique<CountedObject>(&owned, i, &deaths));
        owned.m_objects.push_back(nullptr);
        owned.m_cameras.push_back(std::make_unique<Camera>(&owned, 0));
    }
    EXPECT_EQ(deaths, 3);
}

TEST_F(ObjectContainerTest, InvalidateItemsClearsCachesOfBothContainers) {
    SceneObject& object = add("a");
    container.m_cameras.push_back(std::make_unique<Camera>(&container, 0));
    Camera& camera = *container.m_cameras.back();
    ObjectContainer other(&view);
    other.m_objects.push_back(std::make_unique<SceneObject>(&other, 0));
    SceneObject& elsewhere = *other.m_objects.back();
    SceneObject loose(&container, 0);
    Matrix4x3 m;
    for (SceneItem* item : {static_cast<SceneItem*>(&object), static_cast<SceneItem*>(&camera),
                            static_cast<SceneItem*>(&elsewhere)})
        item->getMatrix(m, 0.0, 0);
    ObjectContainer::invalidateItems(container, &elsewhere);
    EXPECT_FALSE(object.m_worldValid);
    EXPECT_FALSE(camera.m_worldValid);
    EXPECT_FALSE(elsewhere.m_worldValid);
    loose.getMatrix(m, 0.0, 0);
    ObjectContainer::invalidateItems(container, &loose);
    // Only an item of kind 0 is invalidated on its own.
    EXPECT_TRUE(loose.m_worldValid);
}
