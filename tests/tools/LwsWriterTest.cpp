#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/lightwave/LwsDemoScene.h"
#include "tools/lightwave/LwsWriter.h"

namespace {

using Tokens = std::vector<std::string>;

// Cuts scene text into tokens the way the scene loader does: blanks and
// control bytes separate, double quotes enclose a token.
Tokens tokenize(const std::string& text) {
    Tokens out;
    size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 33) {
            ++i;
        } else if (c == '"') {
            size_t end = text.find('"', i + 1);
            if (end == std::string::npos) end = text.size();
            out.push_back(text.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t start = i;
            while (i < text.size() && static_cast<unsigned char>(text[i]) > 32) ++i;
            out.push_back(text.substr(start, i - start));
        }
    }
    return out;
}

Tokens sceneTokens(const LwsScene& scene) { return tokenize(LwsWriter().write(scene)); }

size_t indexOf(const Tokens& t, const std::string& token, size_t from = 0) {
    auto it = std::find(t.begin() + static_cast<long>(from), t.end(), token);
    return static_cast<size_t>(it - t.begin());
}

size_t lastIndexOf(const Tokens& t, const std::string& token) {
    for (size_t i = t.size(); i-- > 0;)
        if (t[i] == token) return i;
    return t.size();
}

Tokens slice(const Tokens& t, size_t from, size_t count) {
    return Tokens(t.begin() + static_cast<long>(from), t.begin() + static_cast<long>(std::min(t.size(), from + count)));
}

LwsScene oneCamera() {
    LwsScene scene;
    scene.cameras.push_back(LwsCamera{});
    return scene;
}

LwsObject nullObject(const std::string& name) {
    LwsObject o;
    o.nullName = name;
    return o;
}

} // namespace

TEST(LwsWriter, StartsWithTheFileTypeAndVersion) {
    Tokens t = sceneTokens(oneCamera());
    EXPECT_EQ(slice(t, 0, 2), (Tokens{"LWSC", "3"}));
    LwsScene wrong = oneCamera();
    wrong.version = 2;
    EXPECT_EQ(sceneTokens(wrong)[1], "2");
}

TEST(LwsWriter, WritesObjectsThenLightsThenCameras) {
    Tokens t = sceneTokens(lwsDemoScene());
    size_t lastObject = std::max(lastIndexOf(t, "LoadObjectLayer"), lastIndexOf(t, "AddNullObject"));
    size_t firstLight = indexOf(t, "AddLight");
    size_t lastLight = lastIndexOf(t, "AddLight");
    size_t firstCamera = indexOf(t, "AddCamera");
    ASSERT_LT(lastObject, t.size());
    EXPECT_LT(lastObject, firstLight);
    EXPECT_LT(lastLight, firstCamera);
    EXPECT_LT(firstCamera, indexOf(t, "CameraMotion"));
    EXPECT_EQ(std::count(t.begin(), t.end(), "AddLight"), 5);
    EXPECT_EQ(std::count(t.begin(), t.end(), "CameraMotion"), 2);
}

TEST(LwsWriter, GivesEveryCameraAMotionSoTheLoaderCreatesIt) {
    Tokens t = sceneTokens(oneCamera());
    size_t motion = indexOf(t, "CameraMotion");
    ASSERT_LT(motion, t.size());
    EXPECT_EQ(slice(t, motion + 1, 2), (Tokens{"NumChannels", "9"}));
}

TEST(LwsWriter, WritesAnEnvelopeBlockWithTenTokensPerKey) {
    LwsScene scene = oneCamera();
    LwsLight light;
    LwsEnvelope e;
    e.keys = {LwsKey{90.0f, 1.0f, 0, {0.5f, 0.0f, -0.5f, 0.0f, 0.0f, 0.0f}}, LwsKey{2.0f, 2.0f, 3}};
    e.pre = 0;
    e.post = 4;
    light.intensity = LwsValue(e);
    scene.lights.push_back(light);
    Tokens t = sceneTokens(scene);
    size_t at = indexOf(t, "LightIntensity");
    EXPECT_EQ(slice(t, at, 29), (Tokens{"LightIntensity", "(envelope)", "{", "Envelope", "2", "Key", "90", "1", "0", "0.5",
                                        "0", "-0.5", "0", "0", "0", "Key", "2", "2", "3", "0", "0", "0", "0", "0", "0",
                                        "Behaviors", "0", "4", "}"}));
}

TEST(LwsWriter, WritesAPlainValueAsOneNumber) {
    LwsScene scene = oneCamera();
    LwsLight light;
    light.coneAngle = LwsValue(30.0f);
    light.range = LwsValue(0.1f);
    scene.lights.push_back(light);
    Tokens t = sceneTokens(scene);
    EXPECT_EQ(t[indexOf(t, "LightConeAngle") + 1], "30");
    EXPECT_EQ(std::strtof(t[indexOf(t, "LightRange") + 1].c_str(), nullptr), 0.1f);
}

TEST(LwsWriter, WritesThreeEnvelopeValuesOnceAnyColourChannelIsAnimated) {
    LwsScene scene = oneCamera();
    LwsLight light;
    LwsEnvelope e{{LwsKey{0.0f}, LwsKey{1.0f, 1.0f}}, 1, 1};
    light.color = std::array<LwsValue, 3>{LwsValue(0.5f), LwsValue(e), LwsValue(1.0f)};
    scene.lights.push_back(light);
    Tokens t = sceneTokens(scene);
    size_t at = indexOf(t, "LightColor");
    EXPECT_EQ(t[at + 1], "(envelope)");
    EXPECT_EQ(slice(t, at + 2, 6), (Tokens{"{", "Envelope", "1", "Key", "0.5", "0"}));
    EXPECT_EQ(std::count(t.begin(), t.end(), "(envelope)"), 3);
}

TEST(LwsWriter, WritesAMotionAsLabelledChannels) {
    LwsScene scene = oneCamera();
    LwsObject o = nullObject("Box");
    o.item.motion = LwsMotion{{{4, LwsEnvelope{{LwsKey{2.5f}}, 1, 1}}}};
    scene.objects.push_back(o);
    Tokens t = sceneTokens(scene);
    size_t at = indexOf(t, "ObjectMotion");
    EXPECT_EQ(slice(t, at, 8), (Tokens{"ObjectMotion", "NumChannels", "1", "Channel", "4", "{", "Envelope", "1"}));
}

TEST(LwsWriter, WritesAnObjectFileNameAsItIsAfterItsLayerNumber) {
    LwsScene scene = oneCamera();
    LwsObject o;
    o.layer = 2;
    o.fileName = "D:\\My Objects\\car body.lwo";
    scene.objects.push_back(o);
    Tokens t = sceneTokens(scene);
    size_t at = indexOf(t, "LoadObjectLayer");
    EXPECT_EQ(slice(t, at, 5), (Tokens{"LoadObjectLayer", "2", "D:\\My", "Objects\\car", "body.lwo"}));
}

TEST(LwsWriter, QuotesNamesWithBlanksAndEmptyNames) {
    LwsScene scene = oneCamera();
    scene.objects.push_back(nullObject("my null"));
    scene.cameras[0].name = "";
    Tokens t = sceneTokens(scene);
    EXPECT_EQ(t[indexOf(t, "AddNullObject") + 1], "my null");
    EXPECT_EQ(t[indexOf(t, "CameraName") + 1], "");
}

TEST(LwsWriter, WritesItemIdsAsEightHexDigits) {
    EXPECT_EQ(lwsId(0x10000000), "10000000");
    EXPECT_EQ(lwsId(0x4001000A), "4001000A");
    EXPECT_EQ(lwsId(0), "00000000");
}

TEST(LwsWriter, WritesFloatsThatReadBackExactly) {
    for (float v : {0.1f, 1.0f / 3.0f, -9.81f, 30.0f, 1e-7f, 123456.789f})
        EXPECT_EQ(std::strtof(lwsFloat(v).c_str(), nullptr), v) << lwsFloat(v);
    EXPECT_EQ(lwsFloat(0.5f), "0.5");
}

TEST(LwsWriter, WritesObjectKeywordsBeforeTheBonesThatFollow) {
    LwsScene scene = oneCamera();
    LwsObject o = nullObject("Rider");
    o.item.parentItem = 0x10000003;
    o.excludeLights = {0x20000003};
    o.boneFalloffType = 5;
    LwsBone b;
    b.name = "Arm";
    b.item.parentItem = 0x40010000;
    b.restDirection = std::array<float, 3>{10.0f, 20.0f, 30.0f};
    b.item.hController = 1;
    o.bones.push_back(b);
    scene.objects.push_back(o);
    Tokens t = sceneTokens(scene);
    size_t addBone = indexOf(t, "AddBone");
    EXPECT_LT(indexOf(t, "BoneFalloffType"), addBone);
    EXPECT_LT(indexOf(t, "ExcludeLight"), addBone);
    EXPECT_LT(indexOf(t, "ParentItem"), addBone);
    EXPECT_EQ(t[indexOf(t, "ParentItem") + 1], "10000003");
    size_t boneParent = indexOf(t, "ParentItem", addBone);
    EXPECT_EQ(t[boneParent + 1], "40010000");
    EXPECT_GT(indexOf(t, "HController"), addBone);
    EXPECT_EQ(slice(t, indexOf(t, "BoneRestDirection"), 4), (Tokens{"BoneRestDirection", "10", "20", "30"}));
}

TEST(LwsWriter, OpensPhysicsHandlerDataWithTwoTokensBeforeTheKeys) {
    LwsScene scene = oneCamera();
    LwsObject joint = nullObject("Hinge");
    joint.joint = LwsJoint{2, 0x10000000, 0, 1.5f, std::nullopt};
    joint.geom = LwsGeom{3, 7, 1, {1, 2, 3}, 0x40010002};
    joint.body = LwsBody{1, 2.0f, {1, 2, 3}, std::nullopt};
    scene.objects.push_back(joint);
    Tokens t = sceneTokens(scene);
    size_t j = indexOf(t, "MorvaneODEJoint");
    EXPECT_EQ(slice(t, j - 3, 3), (Tokens{"Plugin", "CustomObjHandler", "1"}));
    EXPECT_EQ(slice(t, j + 3, 9), (Tokens{"Type", "2", "Body1", "10000000", "Body2", "00000000", "SpringForce", "1.5", "}"}));
    EXPECT_EQ(t[j + 12], "EndPlugin");
    size_t g = indexOf(t, "MorvaneODEGeom");
    EXPECT_EQ(slice(t, g + 3, 15), (Tokens{"Type", "3", "Surface", "7", "Space", "1", "Scale", "1", "2", "3", "Transform",
                                           "40010002", "}", "EndPlugin", "AddCamera"}));
    size_t b = indexOf(t, "MorvaneODEBody");
    EXPECT_EQ(slice(t, b + 3, 11),
              (Tokens{"MassType", "1", "Mass", "2", "Scale", "1", "2", "3", "}", "EndPlugin", "Plugin"}));
    EXPECT_EQ(std::count(t.begin(), t.end(), "MorvaneODEJoint"), 1);
}

TEST(LwsWriter, ClosesTheOdeMasterAtItsOwnLevelWithSpacesInFileOrder) {
    LwsScene scene = oneCamera();
    scene.odeMaster = LwsOdeMaster{std::array<float, 3>{0, -9.81f, 0}, 1, {"road"}, {{"(default)", 1, -1}, {"cars", 0, 0}}};
    Tokens t = sceneTokens(scene);
    size_t at = indexOf(t, "MorvaneODEMaster");
    EXPECT_EQ(slice(t, at - 2, 2), (Tokens{"MasterHandler", "1"}));
    // The loader reads keys and "{ Name ... }" blocks until a "}" at the master's level.
    int depth = 0;
    size_t i = at + 1;
    for (; i < t.size(); ++i) {
        if (t[i] == "{") ++depth;
        if (t[i] == "}" && depth-- == 0) break;
    }
    ASSERT_LT(i, t.size());
    EXPECT_EQ(t[i + 1], "EndPlugin");
    Tokens body = slice(t, at + 1, i - at - 1);
    EXPECT_EQ(slice(body, 0, 6), (Tokens{"Gravity", "0", "-9.81", "0", "Solver", "1"}));
    EXPECT_EQ(slice(body, 6, 5), (Tokens{"{", "Surface", "Name", "road", "}"}));
    EXPECT_EQ(slice(body, 11, 9), (Tokens{"{", "Space", "Name", "(default)", "Type", "1", "Parent", "-1", "}"}));
    EXPECT_EQ(slice(body, 20, 3), (Tokens{"{", "Space", "Name"}));
    EXPECT_LT(i, indexOf(t, "AddCamera"));
}

TEST(LwsWriter, PutsEmitterValuesAtTheirSixtyPositions) {
    LwsScene scene = oneCamera();
    LwsObject o = nullObject("Smoke");
    LwsEmitter e;
    e.particleCount = 77;
    for (int i = 0; i < 13; ++i) e.a[i] = 100.0f + i;
    e.a[1] = 2.0f;
    e.s1 = 5.0f;
    e.s2 = 6.0f;
    e.vec1 = {1, 2, 3};
    e.vec2 = {4, 5, 6};
    e.i1 = 7;
    e.i2 = 8;
    e.i3 = 9;
    e.enabled = false;
    o.emitter = e;
    scene.objects.push_back(o);
    Tokens t = sceneTokens(scene);
    size_t base = indexOf(t, "FX_Emitter"); // position n is t[base + n]
    auto p = [&](int n) { return t[base + n]; };
    EXPECT_EQ(p(4) + p(5) + p(6), "123");
    EXPECT_EQ(p(7), "p0");
    EXPECT_EQ(p(11), "77");
    EXPECT_EQ(p(14) + p(15) + p(16), "103104105");
    EXPECT_EQ(p(17), "6");
    EXPECT_EQ(p(21) + p(22) + p(23), "456");
    EXPECT_EQ(p(27), "100");
    EXPECT_EQ(p(28) + p(30), "78");
    EXPECT_EQ(p(31), "60");
    EXPECT_EQ(p(32), "3060");
    EXPECT_EQ(p(33), "106");
    EXPECT_EQ(p(35), "9");
    EXPECT_EQ(p(46) + p(47) + p(48) + p(49), "107109108110");
    EXPECT_EQ(p(53) + p(54), "111112");
    EXPECT_EQ(p(57), "5");
    EXPECT_EQ(slice(t, base + 61, 3), (Tokens{"EndPlugin", "PluginEnabled", "0"}));
}

TEST(LwsWriter, LeavesTheEmitterKeyLoopInStepAfterAVariantParameter) {
    for (size_t keys : {1u, 2u, 3u}) {
        LwsScene scene = oneCamera();
        LwsObject o = nullObject("Smoke");
        LwsEmitter e;
        LwsVariantParameter v;
        for (size_t k = 0; k < keys; ++k) v.envelope.keys.push_back(LwsKey{1.0f, static_cast<float>(k)});
        e.variants.push_back(v);
        e.keys = {{"Seed", "4"}};
        o.emitter = e;
        scene.objects.push_back(o);
        Tokens t = sceneTokens(scene);
        // Walk as the loader does: after the block's post behaviour (several
        // keys) or its "}" (one key), one step, two dropped strings, one more.
        size_t at = indexOf(t, "VariantParameter");
        ASSERT_EQ(t[at + 6], "{");
        size_t close = indexOf(t, "}", at);
        size_t end = keys > 1 ? close - 1 : close;
        size_t next = end + 1 + 2 + 1;
        EXPECT_EQ(slice(t, next, 3), (Tokens{"Seed", "4", "EndPlugin"})) << keys;
    }
}

TEST(LwsWriter, EndsEffectorDataOneTokenBeforeEndPlugin) {
    LwsScene scene = oneCamera();
    LwsObject o = nullObject("Smoke");
    LwsGravity g;
    g.i1 = 1;
    g.i2 = 2;
    g.i3 = 3;
    g.vec1 = {0, -1, 0};
    g.enabled = false;
    o.gravities.push_back(g);
    o.winds.push_back(LwsWind{});
    LwsCollision c;
    c.flag = true;
    c.s4 = 9.0f;
    o.collisions.push_back(c);
    scene.objects.push_back(o);
    Tokens t = sceneTokens(scene);
    size_t gr = indexOf(t, "FX_Gravity");
    EXPECT_EQ(slice(t, gr + 4, 5), (Tokens{"2", "1", "1", "3", "1"}));
    EXPECT_EQ(t[gr + 9], "g0");
    EXPECT_EQ(slice(t, gr + 13, 3), (Tokens{"}", "EndPlugin", "PluginEnabled"}));
    size_t w = indexOf(t, "FX_Wind");
    // 3 dropped, 6 ints and floats, 1 dropped, 3, 2 dropped, 3, 2, 1 dropped, 3.
    EXPECT_EQ(slice(t, w + 1 + 3 + 6 + 1 + 3 + 2 + 3 + 2 + 1 + 3, 2), (Tokens{"}", "EndPlugin"}));
    EXPECT_NE(t[w + 1 + 3 + 6 + 1 + 3 + 2 + 3 + 2 + 1 + 3 + 2], "PluginEnabled");
    size_t col = indexOf(t, "FX_Collision");
    EXPECT_EQ(t[col + 8], "1");
    EXPECT_EQ(t[col + 11], "collision");
    EXPECT_EQ(t[col + 13], "9");
    EXPECT_EQ(slice(t, col + 14 + 6, 2), (Tokens{"}", "EndPlugin"}));
}

TEST(LwsWriter, DoublesBackslashesOfLevelOfDetailNames) {
    LwsScene scene = oneCamera();
    LwsObject o = nullObject("Tree");
    o.levelsOfDetail = {{50.0f, "D:\\objects\\tree_low.lwo"}, {80.0f, ""}};
    scene.objects.push_back(o);
    Tokens t = sceneTokens(scene);
    size_t at = indexOf(t, "ObjReplacementHandler");
    EXPECT_EQ(slice(t, at + 4, 6), (Tokens{"2", "50", "D:\\\\objects\\\\tree_low.lwo", "80", "", "EndPlugin"}));
}

TEST(LwsWriter, WritesAClipWithTheTokenTheLoaderDropsAfterAStill) {
    LwsScene scene = oneCamera();
    LwsClip clip;
    clip.still = "D:pics/my sky.png";
    clip.times = std::array<float, 5>{0, 1, 25, 0, 0};
    scene.backgroundImage = clip;
    Tokens t = sceneTokens(scene);
    size_t at = indexOf(t, "BGImage");
    EXPECT_EQ(slice(t, at, 12), (Tokens{"BGImage", "{", "Clip", "Still", "D:pics/my sky.png", "0", "Times", "0", "1", "25",
                                        "0", "0"}));
    EXPECT_EQ(t[at + 12], "}");
}

TEST(LwsWriter, NamesTheFirstMotionMixerTokenBeforeTheActorBlocks) {
    LwsScene scene = lwsDemoScene();
    Tokens t = sceneTokens(scene);
    size_t at = indexOf(t, "MotionMixer");
    EXPECT_EQ(slice(t, at + 1, 4), (Tokens{"{", "Actor", "AddActor", "Crate"}));
    size_t channel = indexOf(t, "ChannelName");
    EXPECT_EQ(slice(t, channel + 6, 3), (Tokens{"{", "Envelope", "2"}));
    // The mixer data closes at its own level right before EndPlugin.
    int depth = 0;
    size_t i = at + 1;
    for (; i < t.size(); ++i) {
        if (t[i] == "{") ++depth;
        if (t[i] == "}" && depth-- == 0) break;
    }
    EXPECT_EQ(t[i + 1], "EndPlugin");
}

TEST(LwsWriter, WritesHyperVoxelValuesAsConstantAndMarker) {
    LwsScene scene = oneCamera();
    scene.objects.push_back(nullObject("Smoke"));
    LwsHyperVoxel h;
    h.objectName = "Smoke";
    h.type = 2;
    h.dissolve = LwsValue(0.25f);
    h.opacity = LwsValue(LwsEnvelope{{LwsKey{1.0f}, LwsKey{0.0f, 1.0f}}, 1, 1});
    h.color = std::array<LwsValue, 3>{0.1f, 0.2f, 0.3f};
    h.useAllLights = "1";
    h.textures.push_back(LwsHyperTexture{});
    h.textures.back().image = "smoke_nodxt.png";
    scene.hyperVoxels.push_back(h);
    Tokens t = sceneTokens(scene);
    size_t at = indexOf(t, "VolumetricHandler");
    EXPECT_EQ(slice(t, at + 3, 2), (Tokens{"{", "HyperVoxelData"}));
    size_t object = indexOf(t, "HVFlags", indexOf(t, "HVObject"));
    EXPECT_EQ(t[object + 1], "Smoke");
    EXPECT_EQ(t[object + 5], "2");
    EXPECT_EQ(slice(t, indexOf(t, "Dissolve"), 3), (Tokens{"Dissolve", "0.25", "0"}));
    size_t opacity = indexOf(t, "VOpacity");
    EXPECT_EQ(slice(t, opacity + 1, 3), (Tokens{"0", "1", "{"}));
    size_t afterBlock = indexOf(t, "}", opacity) + 1;
    EXPECT_EQ(slice(t, afterBlock + 1, 1), (Tokens{"VColor"}));
    EXPECT_EQ(t[indexOf(t, "VColor") + 4], "0");
    size_t image = indexOf(t, "Image");
    EXPECT_EQ(slice(t, image + 1, 4), (Tokens{"{", "Clip", "Still", "smoke_nodxt.png"}));
}

TEST(LwsWriter, AppendsRawLinesAtTheEndOfTheirSection) {
    LwsScene scene = oneCamera();
    LwsObject o = nullObject("A");
    o.item.extraLines = {"NoSuchKeyword 1 2 3"};
    scene.objects.push_back(o);
    scene.cameras[0].item.extraLines = {"GoalObject 10000099"};
    scene.extraLines = {"Plugin UnknownHandler 1 Thing", "EndPlugin"};
    std::string text = LwsWriter().write(scene);
    Tokens t = tokenize(text);
    EXPECT_LT(indexOf(t, "NoSuchKeyword"), indexOf(t, "AddCamera"));
    EXPECT_GT(indexOf(t, "GoalObject"), indexOf(t, "AddCamera"));
    EXPECT_EQ(slice(t, t.size() - 5, 5), (Tokens{"Plugin", "UnknownHandler", "1", "Thing", "EndPlugin"}));
}

TEST(LwsWriter, WritesEveryKeywordOfTheDemoScene) {
    Tokens t = sceneTokens(lwsDemoScene());
    for (const char* k : {"FirstFrame", "LastFrame", "PreviewFirstFrame", "PreviewLastFrame", "FramesPerSecond",
                          "LoadObjectLayer", "AddNullObject", "ObjectMotion", "zdm_ObjectMaterial", "BoneFalloffType",
                          "AddBone", "BoneName", "BoneMotion", "BoneRestPosition", "BoneRestDirection", "BoneRestLength",
                          "BoneStrength", "BoneWeightMapName", "ParentItem", "TargetItem", "AmbientColor",
                          "AmbientIntensity", "GlobalFlareIntensity", "AddLight", "LightName", "LightMotion", "LightColor",
                          "LightIntensity", "LightRange", "LightType", "LightConeAngle", "LightEdgeAngle", "LensFlare",
                          "FlareIntensity", "AddCamera", "CameraName", "CameraMotion", "ZoomFactor", "BackdropColor",
                          "FogType", "FogMinDistance", "FogMaxDistance", "FogColor", "MorvaneODEMaster", "MotionMixer",
                          "MorvaneODEBody", "MorvaneODEJoint", "MorvaneODEGeom", "ObjReplacementHandler", "FX_Emitter",
                          "VariantParameter", "FX_Gravity", "FX_Wind", "FX_Collision", "HyperVoxelData", "TextureBlock"})
        EXPECT_LT(indexOf(t, k), t.size()) << k;
}

TEST(LwsWriter, MakesItemIdsOfEachClass) {
    EXPECT_EQ(lwsObjectId(3), 0x10000003u);
    EXPECT_EQ(lwsLightId(2), 0x20000002u);
    EXPECT_EQ(lwsCameraId(1), 0x30000001u);
    EXPECT_EQ(lwsBoneId(2, 5), 0x40020005u);
}

TEST(LwsWriter, WritesValuesWithSkippedBlocksAsKeywordBlocks) {
    LwsScene scene = lwsDemoScene();
    scene.hyperVoxels[0].clip = LwsClip{};
    scene.hyperVoxels[0].clip->still = "hv.png";
    Tokens t = sceneTokens(scene);
    // The loader reads the keyword (its "{" skipped), drops its values and
    // skips to the block's "}": each must be a "{ Keyword" block of its own.
    for (const char* k : {"Coordinates", "TextureValue", "Prefs", "HVClip"}) {
        size_t at = indexOf(t, k);
        ASSERT_LT(at, t.size()) << k;
        EXPECT_EQ(t[at - 1], "{") << k;
        int depth = 0;
        size_t i = at + 1;
        for (; i < t.size(); ++i) {
            if (t[i] == "{") ++depth;
            if (t[i] == "}" && depth-- == 0) break;
        }
        EXPECT_LT(i, t.size()) << k;
    }
    size_t clip = indexOf(t, "HVClip");
    EXPECT_EQ(slice(t, clip + 6, 4), (Tokens{"{", "Clip", "Still", "hv.png"}));
    EXPECT_EQ(slice(t, indexOf(t, "HVBlendingGroups"), 3), (Tokens{"HVBlendingGroups", "0", "(none)"}));
}
