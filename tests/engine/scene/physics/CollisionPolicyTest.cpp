#include <gtest/gtest.h>

#include "engine/scene/LW6Scene.h"
#include "tests/engine/scene/SceneTestSupport.h"

namespace {

// A surface kind that answers other parameters and makes no joint.
class ReportOnlySurface : public ODEJointSurface {
public:
    ODEJointSurface onContact(const dContactGeom& contact) override {
        ++m_contacts;
        ODEJointSurface answer = *this;
        answer.m_makeContactJoints = false;
        return answer;
    }
    int m_contacts = 0;
};

} // namespace

TEST(ODEJointSurface, DefaultsAreSoftContactsWithFriction) {
    ODEJointSurface surface;
    EXPECT_EQ(surface.maxCollisions(), 16);
    EXPECT_EQ(surface.m_surface.mode, 0x3018);
    EXPECT_EQ(surface.m_surface.mode, dContactSoftERP | dContactSoftCFM | dContactApprox1_1 | dContactApprox1_2);
    EXPECT_DOUBLE_EQ(surface.m_surface.mu, 1.5);
    EXPECT_DOUBLE_EQ(surface.m_surface.mu2, 1.5);
    EXPECT_DOUBLE_EQ(surface.m_surface.bounce, 1.0);
    EXPECT_DOUBLE_EQ(surface.m_surface.soft_erp, 0.2);
    EXPECT_DOUBLE_EQ(surface.m_surface.soft_cfm, 0.005);
    EXPECT_TRUE(surface.m_makeContactJoints);
    EXPECT_FALSE(surface.m_skipIfBodyDisabled);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(surface.m_fdir1[i], 0.0);
}

TEST(ODEJointSurface, FieldsTheOldLibraryLackedAreZero) {
    ODEJointSurface surface;
    EXPECT_EQ(surface.m_surface.rho, 0.0);
    EXPECT_EQ(surface.m_surface.rho2, 0.0);
    EXPECT_EQ(surface.m_surface.rhoN, 0.0);
    EXPECT_EQ(surface.m_surface.motionN, 0.0);
    EXPECT_EQ(surface.m_surface.slip1, 0.0);
    EXPECT_EQ(surface.m_surface.bounce_vel, 0.0);
    EXPECT_EQ(surface.m_surface.mode & dContactApprox1_N, 0);
}



TEST(CollisionTables, FreshSceneCollidesNoSpaces) {
    RecordingView view;
    LW6Scene scene(&view);
    for (int a = 0; a < LW6Scene::POLICY_TABLE_SIZE; ++a) {
        for (int b = 0; b < LW6Scene::POLICY_TABLE_SIZE; ++b) {
            ASSERT_FALSE(scene.m_spacePairTable[a][b]->check(nullptr, nullptr).m_collide);
            ASSERT_EQ(scene.m_spacePairTable[a][b], a == b ? &scene.m_spacePairSame : &scene.m_spacePairDifferent);
            ASSERT_EQ(scene.m_surfaceTable[a][b], &scene.m_defaultSurface);
        }
    }
    EXPECT_EQ(scene.getScene(), &scene);
}

TEST(CollisionTables, ReplacingOneEntryLeavesItsMirrorAtTheDefault) {
    RecordingView view;
    LW6Scene scene(&view);
    ReportOnlySurface kind;
    scene.m_surfaceTable[3][7] = &kind;
    EXPECT_EQ(scene.m_surfaceTable[7][3], &scene.m_defaultSurface);
    dContactGeom contact{};
    EXPECT_FALSE(scene.m_surfaceTable[3][7]->onContact(contact).m_makeContactJoints);
    EXPECT_TRUE(scene.m_surfaceTable[7][3]->onContact(contact).m_makeContactJoints);
    EXPECT_EQ(kind.m_contacts, 1);
}
