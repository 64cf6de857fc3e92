#include <gtest/gtest.h>

#include <memory>

#include <ode/ode.h>

#include "engine/scene/LW6Scene.h"
#include "engine/scene/physics/ODEJointObject.h"
#include "tests/engine/scene/SceneTestSupport.h"
#include "tests/support/ReportCapture.h"

namespace {

class ODEJointObjectTest : public ReportCapture<3> {
protected:
    void SetUp() override {
        ReportCapture<3>::SetUp();
        scene = std::make_unique<LW6Scene>(&view);
        first = addBody(-1.0f);
        second = addBody(1.0f);
    }
    SceneObject* addBody(float x) {
        SceneObject* object = scene->createObject("body");
        object->m_body = dBodyCreate(scene->m_world);
        dBodySetPosition(object->m_body, x, 0, 0);
        dMass mass;
        dMassSetSphereTotal(&mass, 1.0, 0.5);
        dBodySetMass(object->m_body, &mass);
        return object;
    }
    ODEJointObject& joint(int type) {
        auto item = std::make_unique<ODEJointObject>(scene.get(), scene->getObjectCount());
        item->m_jointType = type;
        item->m_body1 = first;
        item->m_body2 = second;
        scene->m_objects.push_back(std::move(item));
        return static_cast<ODEJointObject&>(*scene->m_objects.back());
    }

    RecordingView view;
    std::unique_ptr<LW6Scene> scene;
    SceneObject* first = nullptr;
    SceneObject* second = nullptr;
};

} // namespace

TEST_F(ODEJointObjectTest, EachTypeMakesThatJointBetweenTheTwoBodiesOnce) {
    const struct {
        int type;
        const char* report;
    } cases[] = {{1, ""}, {2, ""}, {3, ""}, {5, "untested"}, {6, ""}, {7, ""}, {9, "implementation not finished"}};
    for (const auto& c : cases) {
        g_lastErrorText.assignText("");
        ODEJointObject& item = joint(c.type);
        item.update();
        item.update();
        ASSERT_NE(item.m_joint, nullptr) << c.type;
        EXPECT_EQ(int(dJointGetType(item.m_joint)), c.type);
        EXPECT_EQ(dJointGetBody(item.m_joint, 0), first->m_body);
        EXPECT_EQ(dJointGetBody(item.m_joint, 1), second->m_body);
        EXPECT_EQ(dJointGetData(item.m_joint), &item);
        EXPECT_EQ(lastError(), c.report) << c.type;
    }
    EXPECT_EQ(dBodyGetNumJoints(first->m_body), 7);
    ODEJointObject& unknown = joint(4);
    unknown.update();
    EXPECT_EQ(unknown.m_joint, nullptr);
}

// The library stops the program on either; the item reports and makes no joint.
TEST_F(ODEJointObjectTest, SameBodyTwiceOrAZeroAxisMakesNoJoint) {
    ODEJointObject& fixed = joint(ODEJointObject::FIXED);
    fixed.m_body2 = first;
    fixed.update();
    EXPECT_EQ(fixed.m_joint, nullptr);
    EXPECT_EQ(lastError(), "joint bodies must differ");
    ODEJointObject& hinge = joint(ODEJointObject::HINGE);
    hinge.m_channels[SceneItem::SCALE_X].constant = 0.0f;
    hinge.update();
    EXPECT_EQ(hinge.m_joint, nullptr);
    EXPECT_EQ(lastError(), "joint axis without length");
}
