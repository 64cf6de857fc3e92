#include <gtest/gtest.h>

#include <ode/objects.h>

#include "engine/platform/animation/Envelope.h"
#include "engine/platform/animation/MotionMixer.h"
#include "engine/platform/images/Texture.h"
#include "engine/scene/Actor.h"
#include "engine/scene/ActorTrack.h"
#include "engine/scene/Bone.h"
#include "engine/scene/Camera.h"
#include "engine/scene/CullingPlane.h"
#include "engine/scene/Light.h"
#include "engine/scene/effects/FX_Collision.h"
#include "engine/scene/effects/FX_Gravity.h"
#include "engine/scene/effects/FX_Wind.h"
#include "engine/scene/effects/HyperVoxelType1.h"
#include "engine/scene/effects/ParticleEmitter.h"
#include "engine/scene/materials/TextureLayer.h"
#include "engine/scene/mesh/Mesh.h"
#include "engine/scene/physics/ODEGeomObject.h"
#include "engine/scene/physics/ODEJointObject.h"
#include "tests/engine/scene/loaders/SceneFileTestSupport.h"
#include "tools/lightwave/LwsDemoScene.h"

namespace {

class SceneFileReaderDemo : public SceneFileTest {
protected:
    void SetUp() override {
        SceneFileTest::SetUp();
        LwsScene scene = lwsDemoScene();
        // A geom of every kind, each on its own surface kind and space.
        for (int type : {0, 2, 3, 5}) {
            LwsObject probe;
            probe.nullName = "Geom" + std::to_string(type);
            probe.geom = LwsGeom{type, 10 + type, 2, {0.5f, 1.0f, 2.0f}, lwsObjectId(1)};
            scene.objects.push_back(probe);
        }
        scene.objects[2].excludeLights = {0x21000000u};
        scene.backgroundImage = LwsClip{};
        scene.backgroundImage->still = "D:pics/sky_nodxt.png";
        scene.lights[2].projectorImage = LwsClip{};
        scene.lights[2].projectorImage->still = "D:/pics/sky.png";
        scene.lights[2].item.parentItem = lwsCameraId(0);
        scene.lights[2].item.targetItem = lwsObjectId(1);
        scene.cameras[0].item.parentItem = lwsObjectId(1);
        LwsEnvelope fade{{LwsKey{1.0f, 0.0f, 3}, LwsKey{0.0f, 2.0f, 3}}, 1, 1};
        scene.lights[0].color = std::array<LwsValue, 3>{LwsValue(fade), LwsValue(0.5f), LwsValue(0.25f)};
        ASSERT_TRUE(load(LwsWriter().write(scene)));
    }
    SceneObject& object(int i) { return *m_scene->m_objects[i]; }
};

TEST_F(SceneFileReaderDemo, CreatesOneItemPerSectionOfTheRightKind) {
    ASSERT_EQ(m_scene->m_objects.size(), 9u);
    EXPECT_NE(dynamic_cast<ODEGeomObject*>(&object(0)), nullptr);
    EXPECT_EQ(dynamic_cast<ODEGeomObject*>(&object(1)), nullptr);
    EXPECT_NE(dynamic_cast<ODEJointObject*>(&object(3)), nullptr);
    EXPECT_EQ(object(4).getName(), "Smoke");
    EXPECT_EQ(m_scene->m_lights.size(), 5u);
    EXPECT_EQ(m_scene->m_cameras.size(), 2u);
    EXPECT_EQ(m_scene->m_activeCamera, m_scene->m_cameras[0].get());
}

TEST_F(SceneFileReaderDemo, ObjectsTakeTheirLayerParentsAndMotions) {
    ASSERT_NE(object(1).getFirstMesh(), nullptr);
    EXPECT_EQ(object(1).getName(), "objects/cube.lwo");
    EXPECT_EQ(object(2).m_parent, &object(1));
    EXPECT_NE(object(2).getFirstMesh(), object(1).getFirstMesh());
    EXPECT_FLOAT_EQ(object(0).m_channels[SceneItem::SCALE_X].constant, 10.0f);
    ASSERT_NE(object(1).m_channels[SceneItem::HEADING].channel, nullptr);
    EXPECT_FLOAT_EQ(object(1).m_channels[SceneItem::HEADING].evaluate(1.0), 90.0f);
    EXPECT_EQ(object(1).m_levels.size(), 1u) << "the missing low-detail file adds no level";
}

TEST_F(SceneFileReaderDemo, BonesJoinTheMeshAndLinkToTheirParentBone) {
    Mesh* mesh = object(1).getFirstMesh();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->m_falloffType, 5);
    ASSERT_EQ(mesh->m_bones.size(), 2u);
    Bone* root = mesh->m_bones[0];
    Bone* tip = mesh->m_bones[1];
    EXPECT_EQ(root->getName(), "Root");
    EXPECT_EQ(root->m_parent, &object(1));
    EXPECT_EQ(tip->m_parentBone, root);
    EXPECT_EQ(tip->m_parent, root);
    EXPECT_NEAR(root->m_restRotation[0], 1.5707964f, 1e-6f);
    EXPECT_EQ(root->m_weightMapName, "Bend");
}

TEST_F(SceneFileReaderDemo, LightsAndCamerasResolveTheirParentsAndTargets) {
    auto* spot = dynamic_cast<Light*>(m_scene->m_lights[2].get());
    ASSERT_NE(spot, nullptr);
    EXPECT_EQ(spot->m_lightType, Light::SPOT);
    EXPECT_NEAR(spot->m_coneAngle.constant, 0.5235988f, 1e-6f);
    EXPECT_TRUE(spot->m_lensFlare);
    EXPECT_EQ(spot->m_parent, m_scene->m_cameras[0].get());
    EXPECT_EQ(spot->m_target, &object(1));
    auto* bulb = dynamic_cast<Light*>(m_scene->m_lights[1].get());
    ASSERT_NE(bulb->m_intensity.channel, nullptr);
    EXPECT_FLOAT_EQ(bulb->m_intensity.evaluate(1.0), 1.0f);
    auto* sun = dynamic_cast<Light*>(m_scene->m_lights[0].get());
    ASSERT_NE(sun->m_colour[0].channel, nullptr) << "all three colours read as envelope values";
    EXPECT_FLOAT_EQ(sun->m_colour[0].evaluate(1.0), 0.5f);
    EXPECT_FLOAT_EQ(sun->m_colour[2].constant, 0.25f);
    EXPECT_EQ(sun->m_lightType, Light::DISTANT);
    EXPECT_EQ(m_scene->m_cameras[0]->m_parent, &object(1));
    EXPECT_EQ(m_scene->m_cameras[1]->m_target, &object(1));
    EXPECT_EQ(m_scene->m_cameras[1]->getName(), "Overview");
}

TEST_F(SceneFileReaderDemo, SceneSettingsAndClipsAreRead) {
    EXPECT_EQ(m_scene->m_fogType, 3);
    EXPECT_DOUBLE_EQ(m_scene->m_lastFrame, 60.0);
    EXPECT_FLOAT_EQ(m_scene->m_backdropColor.g, 0.6f);
    ASSERT_NE(m_scene->m_backgroundImage, nullptr);
    EXPECT_EQ(m_scene->m_backgroundImage->getName(), "D:/pics/sky_nodxt.png");
    EXPECT_EQ(m_scene->m_backgroundImage->getFlags(), 0x80u);
    auto* spot = dynamic_cast<Light*>(m_scene->m_lights[2].get());
    ASSERT_NE(spot->m_projectorImage, nullptr);
    EXPECT_EQ(spot->m_projectorImage->getName(), "D:/pics/sky.png") << "an existing separator is kept";
}

TEST_F(SceneFileReaderDemo, PhysicsMasterMakesNestedSpacesAndBodies) {
    ASSERT_EQ(m_scene->m_spaces.size(), 3u);
    EXPECT_EQ(dGeomGetData(reinterpret_cast<dGeomID>(m_scene->m_spaces[2].space)), reinterpret_cast<void*>(2));
    EXPECT_EQ(dGeomGetSpace(reinterpret_cast<dGeomID>(m_scene->m_spaces[1].space)), m_scene->m_spaces[0].space);
    ASSERT_NE(object(1).m_body, nullptr);
    dMass mass;
    dBodyGetMass(object(1).m_body, &mass);
    EXPECT_DOUBLE_EQ(mass.mass, 2.0);
    EXPECT_EQ(dBodyGetAutoDisableFlag(object(1).m_body), 1);
    EXPECT_EQ(object(0).m_body, nullptr);
    auto& joint = dynamic_cast<ODEJointObject&>(object(3));
    EXPECT_EQ(joint.m_jointType, 2);
    EXPECT_EQ(joint.m_body1, &object(1));
    EXPECT_EQ(joint.m_body2, nullptr);
}

TEST_F(SceneFileReaderDemo, GeomsKeepTypeSurfaceSpaceAndTransform) {
    auto& floor = dynamic_cast<ODEGeomObject&>(object(0));
    EXPECT_EQ(floor.m_geomType, ODEGeomObject::BOX);
    EXPECT_EQ(floor.m_spaceIndex, 1);
    int i = 5;
    for (int type : {0, 2, 3, 5}) {
        auto& geom = dynamic_cast<ODEGeomObject&>(object(i++));
        EXPECT_EQ(geom.m_geomType, type);
        EXPECT_EQ(geom.m_surfaceKind, 10 + type);
        EXPECT_EQ(geom.m_spaceIndex, 2);
        EXPECT_FLOAT_EQ(geom.m_scaleFactors[2], 2.0f);
        EXPECT_EQ(geom.m_transformItem, &object(1));
    }
}

TEST_F(SceneFileReaderDemo, EmitterAndEffectorsFillTheirFields) {
    ASSERT_EQ(m_scene->m_emitters.size(), 1u);
    ParticleEmitter& emitter = *m_scene->m_emitters[0];
    EXPECT_EQ(emitter.getOwner(), &object(4));
    EXPECT_EQ(emitter.maxParticles, 100);
    EXPECT_NEAR(emitter.lifetime.constant, 1000.0f, 1e-3f);
    ASSERT_NE(emitter.birthRate.channel, nullptr) << "the variant parameter's envelope";
    EXPECT_FLOAT_EQ(emitter.birthRate.evaluate(1.0), 20.0f);
    ASSERT_EQ(m_scene->m_effectors.size(), 3u);
    auto* wind = dynamic_cast<FX_Wind*>(m_scene->m_effectors[1].get());
    ASSERT_NE(wind, nullptr);
    EXPECT_EQ(wind->m_mode, 7);
    EXPECT_FLOAT_EQ(wind->m_direction[1].constant, 0.1f);
    EXPECT_FLOAT_EQ(wind->m_extraFloats[1], 0.5f);
    EXPECT_NE(dynamic_cast<FX_Collision*>(m_scene->m_effectors[2].get()), nullptr);
}

TEST_F(SceneFileReaderDemo, ActorTrackAddsMixerMembersAtWeightZero) {
    ASSERT_EQ(m_scene->m_actors.size(), 1u);
    Actor& actor = *m_scene->m_actors[0];
    EXPECT_EQ(actor.findChannel("objects/cube.lwo"), &object(1));
    ASSERT_EQ(actor.m_tracks.size(), 1u);
    ActorTrack& track = *actor.m_tracks[0];
    EXPECT_EQ(track.m_name, "Bounce");
    ASSERT_EQ(track.m_entries.size(), 1u);
    MotionMixer* mixer = object(1).m_channels[SceneItem::POS_Y].channel->asMotionMixer();
    ASSERT_NE(mixer, nullptr);
    EXPECT_EQ(track.m_entries[0], std::make_pair(mixer, 1));
    EXPECT_FLOAT_EQ(mixer->evaluate(1.0), 2.0f);
    track.setIntensity(1.0f);
    EXPECT_FLOAT_EQ(mixer->evaluate(1.0), 1.0f) << "the track alone at full weight";
}

TEST_F(SceneFileReaderDemo, HyperVoxelHangsInItsObjectWithTextureLayers) {
    auto* voxel = dynamic_cast<HyperVoxelType1*>(object(4).getHyperVoxel());
    ASSERT_NE(voxel, nullptr);
    EXPECT_FLOAT_EQ(voxel->m_particleSize.constant, 0.3f);
    ASSERT_NE(voxel->m_opacity.channel, nullptr);
    EXPECT_FLOAT_EQ(voxel->m_opacity.evaluate(1.0), 0.0f);
    EXPECT_TRUE(voxel->m_useAllLights);
    ASSERT_EQ(voxel->m_layers.size(), 1u);
    ASSERT_NE(voxel->m_layers[0]->m_texture, nullptr);
    EXPECT_EQ(voxel->m_layers[0]->m_texture->getName(), "images/smoke.png");
    EXPECT_EQ(voxel->m_layers[0]->m_kind, TextureLayer::KIND_IMAGE);
}

TEST_F(SceneFileTest, MergeLoadAppendsObjectsAndCountsIdsFromThem) {
    std::string track = sceneWith("AddNullObject Track\nAddLight\nLightName Sun\n");
    std::string moped = sceneWith("AddNullObject Body\nAddNullObject Wheel\nParentItem 10000000\nAddLight\n");
    ASSERT_TRUE(pack({{"track.lws", track}, {"moped.lws", moped}}));
    ASSERT_TRUE(loadAgain("track.lws"));
    size_t lights = m_scene->m_lights.size();
    ASSERT_TRUE(loadAgain("moped.lws"));
    ASSERT_EQ(m_scene->m_objects.size(), 3u);
    EXPECT_EQ(m_scene->m_objects[2]->getName(), "Wheel");
    EXPECT_EQ(m_scene->m_objects[2]->m_parent, m_scene->m_objects[1].get());
    EXPECT_EQ(m_scene->m_lights.size(), lights);
}

TEST_F(SceneFileTest, TwoSectionsNamingOneFileReadItOnce) {
    ASSERT_TRUE(load(sceneWith("LoadObjectLayer 1 objects/cube.lwo\nLoadObjectLayer 2 objects/cube.lwo\n")));
    EXPECT_EQ(m_pool->m_objectFiles.size(), 1u);
    EXPECT_NE(m_scene->m_objects[1]->getFirstMesh(), nullptr);
}

TEST_F(SceneFileTest, CullingPlaneFileBecomesAnOccluder) {
    ASSERT_TRUE(load(sceneWith("LoadObjectLayer 1 tracks\\AntiPortal.lwo\n")));
    ASSERT_EQ(m_scene->m_cullingPlanes.size(), 1u);
    EXPECT_EQ(m_scene->m_cullingPlanes[0], m_scene->m_objects[0].get());
    EXPECT_TRUE(m_scene->m_objects[0]->m_unseenByCamera);
}

TEST_F(SceneFileTest, ExcludedLightsAndTheCamerasFogRangeAreKept) {
    ASSERT_TRUE(load(sceneWith("AddNullObject Box\nExcludeLight 21000000\nExcludeLight 20000003\n") +
                     "zdm_EnvMaxDistance 80.5\n"));
    EXPECT_EQ(m_scene->m_objects[0]->m_excludedLights, std::vector<int32_t>{3});
    const Camera& camera = *m_scene->m_cameras[0];
    EXPECT_TRUE(camera.m_hasEnvMaxDistance);
    EXPECT_FLOAT_EQ(camera.m_envMaxDistance, 80.5f);
    EXPECT_FALSE(camera.m_hasEnvMinDistance);
}

} // namespace

namespace {

// The demo cube placed twice, so both objects share its mesh, each with a
// root and a tip bone; the actor moves the second object's tip.
class SharedMeshBones : public SceneFileTest {
protected:
    void SetUp() override {
        SceneFileTest::SetUp();
        LwsScene scene;
        for (uint32_t index = 0; index < 2; ++index) {
            LwsObject cube;
            cube.fileName = "objects/cube.lwo";
            cube.boneFalloffType = 0;
            LwsBone root;
            root.name = "Root";
            root.restPosition = std::array<float, 3>{0.0f, 0.0f, 0.0f};
            LwsBone tip = root;
            tip.name = "Tip";
            tip.restPosition = std::array<float, 3>{0.0f, 1.0f, 0.0f};
            tip.item.parentItem = lwsBoneId(0, index);
            cube.bones = {root, tip};
            scene.objects.push_back(cube);
        }
        LwsActor actor;
        actor.name = "Waver";
        actor.items = {{"Tip", lwsBoneId(1, 1)}};
        LwsActorMotion wave;
        wave.name = "Wave";
        wave.items.push_back({"Tip", 1, {{"Tip.Rotation.B", 0, 1, LwsEnvelope{{LwsKey{0.5f}}, 1, 1}}}});
        actor.motions = {wave};
        scene.mixer = LwsMixer{{actor}, {"Wave"}, 0};
        scene.lights.emplace_back();
        scene.cameras.emplace_back();
        ASSERT_TRUE(load(LwsWriter().write(scene)));
    }
    std::vector<Bone*> bonesOf(int object) {
        std::vector<Bone*> out;
        for (Bone* bone : m_scene->m_objects[size_t(object)]->getFirstMesh()->m_bones)
            if (bone->m_owner == m_scene->m_objects[size_t(object)].get()) out.push_back(bone);
        return out;
    }
};

} // namespace

TEST_F(SharedMeshBones, EachObjectLinksAndAnimatesItsOwnBones) {
    Mesh* mesh = m_scene->m_objects[0]->getFirstMesh();
    ASSERT_EQ(mesh, m_scene->m_objects[1]->getFirstMesh());
    ASSERT_EQ(mesh->m_bones.size(), 4u);
    for (int object = 0; object < 2; ++object) {
        std::vector<Bone*> bones = bonesOf(object);
        ASSERT_EQ(bones.size(), 2u);
        EXPECT_EQ(bones[1]->m_parentBone, bones[0]) << "object " << object;
    }
    ASSERT_EQ(m_scene->m_actors.size(), 1u);
    ASSERT_EQ(m_scene->m_actors[0]->m_items.size(), 1u);
    EXPECT_EQ(m_scene->m_actors[0]->m_items[0].second, bonesOf(1)[1]);
    EXPECT_EQ(bonesOf(0)[1]->m_channels[SceneItem::BANK].channel, nullptr) << "the first cube's tip stays still";
}
