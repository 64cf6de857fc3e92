#include <gtest/gtest.h>

#include <ode/objects.h>

#include "engine/scene/Bone.h"
#include "engine/scene/Camera.h"
#include "engine/scene/Light.h"
#include "engine/scene/mesh/Mesh.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "tests/engine/scene/loaders/SceneFileTestSupport.h"
#include "tools/lightwave/LwsDemoScene.h"

namespace {

using LoadersScene = SceneFileTest;

TEST_F(LoadersScene, WrongHeaderFailsWithItsMessage) {
    EXPECT_FALSE(load("lwsc\n3\nAddCamera\nCameraMotion\n"));
    EXPECT_EQ(lastError(), "Invalid scene file (wrong version or file type)!");
    freshScene();
    EXPECT_FALSE(load("LWSC\n2\nAddCamera\nCameraMotion\n"));
    EXPECT_EQ(lastError(), "Invalid scene file (wrong version or file type)!");
}

TEST_F(LoadersScene, SceneWithoutCameraFails) {
    EXPECT_FALSE(load("LWSC 3"));
    EXPECT_EQ(lastError(), "There must be at least one camera in the scene.");
}

TEST_F(LoadersScene, TruncatedFilesLoadWhatTheyCanWithoutReadingPastTheEnd) {
    std::string text = LwsWriter().write(lwsDemoScene());
    std::vector<std::pair<std::string, std::string>> cuts;
    for (size_t at = 7; at < text.size(); at += text.size() / 40)
        cuts.push_back({"cut" + std::to_string(at), text.substr(0, at)});
    // An opening quote that never closes runs to the end of the text.
    cuts.push_back({"quote", text.substr(0, text.size() / 2) + " \"unclosed"});
    ASSERT_TRUE(pack(cuts));
    for (const auto& [name, cut] : cuts) {
        freshScene();
        bool loaded = loadAgain(name);
        EXPECT_EQ(loaded, !m_scene->m_cameras.empty()) << name;
    }
}

TEST_F(LoadersScene, UnknownKeywordsAndPluginsAreDropped) {
    ASSERT_TRUE(load(sceneWith("Frobnicate 1 { 2 } 3\nAddNullObject A\nPlugin StrangeHandler 1 x\nEndPlugin\n"
                               "Plugin CustomObjHandler 1 Unknown\nEndPlugin\nShadowOptions 3\n")));
    EXPECT_EQ(m_scene->m_objects[0]->m_shadowOptions, 3u);
}

TEST_F(LoadersScene, IdsPastTheirListsLinkNothing) {
    ASSERT_TRUE(load(sceneWith("AddNullObject A\nParentItem 10000005\nTargetItem 2000000F\nGoalObject 40050000\n"
                               "AddNullObject B\nParentItem 10000001\nAddLight\nParentItem 30000009\n"
                               "TargetItem 50000000\nLightName L\n")));
    SceneObject& a = *m_scene->m_objects[0];
    EXPECT_EQ(a.m_parent, nullptr);
    EXPECT_EQ(a.m_target, nullptr);
    EXPECT_EQ(a.m_goalItem, nullptr);
    EXPECT_EQ(m_scene->m_objects[1]->m_parent, nullptr) << "an item is never its own parent";
    EXPECT_EQ(m_scene->m_lights[0]->m_parent, nullptr);
    EXPECT_EQ(m_scene->m_lights[0]->getName(), "L");
}

TEST_F(LoadersScene, TableIndicesOf50OrMoreAreRefused) {
    ASSERT_TRUE(load(sceneWith("AddNullObject G\nPlugin CustomObjHandler 1 MorvaneODEGeom\n{ GEOM\nType 1\n"
                               "Surface 50\nSpace 77\n}\nEndPlugin\n")));
    auto* geom = dynamic_cast<ODEGeomObject*>(m_scene->m_objects[0].get());
    ASSERT_NE(geom, nullptr);
    EXPECT_EQ(geom->m_surfaceKind, 0);
    EXPECT_EQ(geom->m_spaceIndex, 0);
}

TEST_F(LoadersScene, SpacesWithoutTheirRootAreRefused) {
    ASSERT_TRUE(load(sceneWith("Plugin MasterHandler 1 MorvaneODEMaster\n{ Space\nName cars\nType 0\n}\n"
                               "{ Space\nName (default)\nType 1\n}\n{ Space\nName x\nType 4\n}\n}\nEndPlugin\n")));
    ASSERT_EQ(m_scene->m_spaces.size(), 1u);
    EXPECT_EQ(m_scene->m_spaces[0].name, "(default)");
}

TEST_F(LoadersScene, MissingObjectFileLeavesTheObjectWithoutMesh) {
    ASSERT_TRUE(load(sceneWith("LoadObjectLayer 1 objects/none.lwo\nLoadObjectLayer 3 objects/cube.lwo\n")));
    EXPECT_EQ(lastError(), "2 is not a valid layer number for objects/cube.lwo!\n");
    EXPECT_EQ(m_scene->m_objects[0]->getFirstMesh(), nullptr);
    EXPECT_EQ(m_scene->m_objects[0]->getName(), "objects/none.lwo");
    EXPECT_EQ(m_pool->m_objectFiles.size(), 1u) << "a file that is not LWO2 is not cached";
}

TEST_F(LoadersScene, FileNameJoinStopsAtTheLineEnd) {
    ASSERT_TRUE(load(sceneWith("LoadObjectLayer 1 C:my  car body\nAddNullObject Next\n"
                               "LoadObjectLayer 2 C:objects\\x.lwo\n")));
    ASSERT_EQ(m_scene->m_objects.size(), 3u);
    EXPECT_EQ(m_scene->m_objects[0]->getName(), "C:\\my  car body");
    EXPECT_EQ(m_scene->m_objects[1]->getName(), "Next");
    EXPECT_EQ(m_scene->m_objects[2]->getName(), "C:\\objects\\x.lwo");
}

TEST_F(LoadersScene, BodyWithoutExtentGetsNoBody) {
    ASSERT_TRUE(load(sceneWith("AddNullObject A\nPlugin CustomObjHandler 1 MorvaneODEBody\n{ BODY\nMassType 1\n"
                               "Mass 2\nScale 1 0 1\n}\nEndPlugin\nAddNullObject B\n"
                               "Plugin CustomObjHandler 1 MorvaneODEBody\n{ BODY\nMassType 0\nMass 3\n}\n"
                               "EndPlugin\n")));
    EXPECT_EQ(m_scene->m_objects[0]->m_body, nullptr);
    ASSERT_NE(m_scene->m_objects[1]->m_body, nullptr);
    EXPECT_EQ(dBodyGetAutoDisableFlag(m_scene->m_objects[1]->m_body), 0);
}

TEST_F(LoadersScene, BoneKeywordsWithoutBoneMeshAreIgnored) {
    ASSERT_TRUE(load(sceneWith("AddNullObject A\nAddBone\nBoneName X\nHController 1\nBoneFalloffType 2\n"
                               "AddBone\nParentItem 4FFF0000\nLightName none\nzdm_ViewAxis 2\n")));
    EXPECT_EQ(m_scene->m_objects[0]->m_headingController, 0);
    EXPECT_EQ(m_scene->m_objects[0]->m_parent, nullptr);
}

TEST_F(LoadersScene, BrokenMixerAndHyperVoxelBlocksStayInStep) {
    ASSERT_TRUE(load(sceneWith("AddNullObject Smoke\nPlugin MasterHandler 1 MotionMixer\n{ Actor\n{ ActorMotions\n"
                               "{ AddMotion\n{ Item\nItemName Nobody\n{ Channel\nChannelName a.Position.X\n"
                               "{ Envelope\n2\nKey 0 0 3 0 0 0 0 0 0\nKey 1 1 9 0 0 0 0 0 0\nBehaviors 1 1\n}\n"
                               "}\n}\n}\n}\n}\n}\n"
                               "EndPlugin\nPlugin VolumetricHandler 1 HV\n{ HyperVoxelData\n{ HVObject\n"
                               "HVFlags Smoke 1 0 0 3 0 0 0\n}\n{ HVChannels\nVOpacity 1 0\n{ Mystery 1 { 2 } }\n}\n}\n"
                               "EndPlugin\n"
                               "ShadowOptions 5\n")));
    EXPECT_EQ(m_scene->m_objects[0]->getHyperVoxel(), nullptr);
    EXPECT_EQ(lastError(), "unknown hypervoxel type");
    EXPECT_EQ(m_scene->m_objects[0]->m_channels[SceneItem::POS_X].channel, nullptr);
    EXPECT_EQ(m_scene->m_objects[0]->m_shadowOptions, 5u);
}

} // namespace
