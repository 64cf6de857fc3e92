#include "tools/lightwave/LwsDemoScene.h"

#include "tools/lightwave/LwsWriter.h"

namespace {

LwsEnvelope ramp(float from, float to) {
    LwsEnvelope e;
    e.keys = {LwsKey{from, 0.0f, 0}, LwsKey{to, 1.0f, 3}};
    return e;
}

} // namespace

LwsScene lwsDemoScene() {
    LwsScene scene;
    scene.firstFrame = 0;
    scene.lastFrame = 60;
    scene.previewFirstFrame = 0;
    scene.previewLastFrame = 60;
    scene.framesPerSecond = 30.0f;

    LwsOdeMaster ode;
    ode.gravity = std::array<float, 3>{0.0f, -9.81f, 0.0f};
    ode.solver = 0;
    ode.surfaces = {"ground", "crate"};
    ode.spaces = {{"(default)", 1, -1}, {"track", 0, 0}, {"cars", 0, 0}};
    scene.odeMaster = ode;

    LwsObject floor;
    floor.layer = 1;
    floor.fileName = "objects/cube.lwo";
    floor.item.motion = lwsStillMotion({0.0f, -1.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {10.0f, 0.1f, 10.0f});
    floor.geom = LwsGeom{1, 0, 1, {10.0f, 0.1f, 10.0f}, std::nullopt};
    floor.material = LwsMaterial{"Body", {1.0f, 0.5f, 0.0f}};
    scene.objects.push_back(floor);

    LwsObject crate;
    crate.layer = 1;
    crate.fileName = "objects/cube.lwo";
    crate.item.motion = lwsStillMotion({0.0f, 2.0f, 0.0f});
    crate.item.motion->channels[3].envelope = ramp(0.0f, 90.0f);
    crate.body = LwsBody{1, 2.0f, {1.0f, 1.0f, 1.0f}, 1};
    crate.levelsOfDetail = {{50.0f, "objects\\cube_low.lwo"}};
    crate.boneFalloffType = 5;
    LwsBone root;
    root.name = "Root";
    root.restPosition = std::array<float, 3>{0.0f, 0.0f, 0.0f};
    root.restDirection = std::array<float, 3>{0.0f, 90.0f, 0.0f};
    root.restLength = 0.5f;
    root.strength = 1.0f;
    root.weightMapName = "Bend";
    root.item.motion = lwsStillMotion({0.0f, 0.0f, 0.0f});
    crate.bones.push_back(root);
    LwsBone tip = root;
    tip.name = "Tip";
    tip.item.parentItem = lwsBoneId(0, 1);
    crate.bones.push_back(tip);
    scene.objects.push_back(crate);

    LwsObject lid;
    lid.layer = 2;
    lid.fileName = "objects/cube.lwo";
    lid.item.parentItem = lwsObjectId(1);
    lid.item.motion = lwsStillMotion({0.0f, 0.5f, 0.0f});
    scene.objects.push_back(lid);

    LwsObject hinge;
    hinge.nullName = "CrateHinge";
    hinge.item.motion = lwsStillMotion({0.0f, 2.5f, 0.0f});
    hinge.joint = LwsJoint{2, lwsObjectId(1), 0, 0.0f, 0.0f};
    scene.objects.push_back(hinge);

    LwsObject smoke;
    smoke.nullName = "Smoke";
    smoke.item.motion = lwsStillMotion({1.0f, 0.0f, 0.0f});
    LwsEmitter emitter;
    emitter.particleCount = 100;
    emitter.variants.push_back({"Birth", 10.0f, ramp(10.0f, 20.0f)});
    smoke.emitter = emitter;
    smoke.gravities.push_back(LwsGravity{});
    smoke.winds.push_back(LwsWind{});
    smoke.collisions.push_back(LwsCollision{});
    scene.objects.push_back(smoke);

    scene.ambientColor = std::array<LwsValue, 3>{1.0f, 1.0f, 1.0f};
    scene.ambientIntensity = LwsValue(0.25f);
    scene.globalFlareIntensity = LwsValue(1.0f);
    const char* names[] = {"Sun", "Bulb", "Spot", "Tube", "Panel"};
    for (int type = 0; type < 5; ++type) {
        LwsLight light;
        light.name = names[type];
        light.type = type;
        light.item.motion = lwsStillMotion({0.0f, 5.0f, static_cast<float>(type)}, {0.0f, 45.0f, 0.0f});
        light.color = std::array<LwsValue, 3>{1.0f, 0.9f, 0.8f};
        light.intensity = type == 1 ? LwsValue(ramp(0.5f, 1.0f)) : LwsValue(1.0f);
        light.range = LwsValue(20.0f);
        if (type == 2) {
            light.coneAngle = LwsValue(30.0f);
            light.edgeAngle = LwsValue(5.0f);
            light.lensFlare = 1;
            light.flareIntensity = LwsValue(0.5f);
        }
        scene.lights.push_back(light);
    }
    for (int i = 0; i < 2; ++i) {
        LwsCamera camera;
        camera.name = i == 0 ? "Chase" : "Overview";
        camera.item.motion = lwsStillMotion({0.0f, 2.0f + 8.0f * i, -6.0f}, {0.0f, 10.0f + 40.0f * i, 0.0f});
        camera.item.targetItem = i == 1 ? std::optional<uint32_t>(lwsObjectId(1)) : std::nullopt;
        camera.zoomFactor = LwsValue(3.2f);
        scene.cameras.push_back(camera);
    }
    scene.backdropColor = std::array<float, 3>{0.4f, 0.6f, 0.9f};
    scene.fogType = 1;
    scene.fogMinDistance = 10.0f;
    scene.fogMaxDistance = 100.0f;
    scene.fogColor = std::array<float, 3>{0.5f, 0.5f, 0.5f};

    LwsMixer mixer;
    LwsActor actor;
    actor.name = "Crate";
    actor.items = {{"objects/cube.lwo", lwsObjectId(1)}};
    LwsActorMotion bounce;
    bounce.name = "Bounce";
    bounce.items.push_back({"objects/cube.lwo", 1, {{"objects/cube.lwo.Position.Y", 0, 1, ramp(0.0f, 1.0f)}}});
    actor.motions.push_back(bounce);
    mixer.actors.push_back(actor);
    mixer.trackMotions = {"Bounce"};
    mixer.prefs = 0;
    scene.mixer = mixer;

    LwsHyperVoxel voxel;
    voxel.objectName = "Smoke";
    voxel.type = 1;
    voxel.particleSize = LwsValue(0.3f);
    voxel.opacity = LwsValue(ramp(1.0f, 0.0f));
    voxel.color = std::array<LwsValue, 3>{0.8f, 0.8f, 0.8f};
    voxel.useAllLights = "1";
    voxel.blendingGroups = 0;
    LwsHyperTexture puff;
    puff.image = "images/smoke.png";
    voxel.textures.push_back(puff);
    scene.hyperVoxels.push_back(voxel);
    return scene;
}
