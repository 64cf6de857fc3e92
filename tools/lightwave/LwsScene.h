#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A LightWave scene ("LWSC" 3) in memory, as plain data for LwsWriter.
// Optional members are written only when set; `extraLines` are written as
// they are (unknown keywords, broken values) at the end of their section.

// One envelope key: value, time in seconds, curve (0 TCB, 1 Hermite,
// 2 Bezier, 3 linear, 4 stepped, 5 2-D Bezier) and six curve parameters.
struct LwsKey {
    float value = 0.0f;
    float time = 0.0f;
    int curve = 0;
    std::array<float, 6> parameters{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
};

struct LwsEnvelope {
    std::vector<LwsKey> keys;
    int pre = 1;
    int post = 1;
};

// A number, or "(envelope)" and an envelope block when `envelope` is set.
struct LwsValue {
    LwsValue(float c = 0.0f) : constant(c) {}
    LwsValue(LwsEnvelope e) : envelope(std::move(e)) {}
    float constant = 0.0f;
    std::optional<LwsEnvelope> envelope;
};

// Channels 0..8: position x y z, heading pitch bank, scale x y z.
struct LwsChannel {
    int index = 0;
    LwsEnvelope envelope;
};

struct LwsMotion {
    std::vector<LwsChannel> channels;
};

// Nine one-key channels; rotation in the file's unit (degrees).
LwsMotion lwsStillMotion(std::array<float, 3> position, std::array<float, 3> rotation = {0.0f, 0.0f, 0.0f},
                         std::array<float, 3> scale = {1.0f, 1.0f, 1.0f});

struct LwsSequence {
    std::array<int, 6> numbers{3, 0, 0, 1, 1, 10}; // digits, flags, offset, reserved, start, end
    std::string prefix;
    std::string suffix;
};

struct LwsClip {
    std::optional<std::string> still;
    std::optional<LwsSequence> sequence;
    std::optional<uint32_t> flags;
    std::optional<std::array<float, 5>> times;
    std::optional<int> negative;
    std::vector<std::string> extraLines;
};

// Keywords every item kind takes.
struct LwsItem {
    std::optional<LwsMotion> motion;
    std::optional<int> hController, pController, bController;
    std::optional<float> pathAlignLookAhead;
    std::optional<uint32_t> goalObject;
    std::optional<int> matchGoalOrientation;
    std::optional<std::array<int, 3>> rotationOrder;
    std::optional<std::array<float, 3>> pivotPosition;
    std::optional<std::array<float, 3>> pivotRotation; // degrees
    std::optional<uint32_t> parentItem, targetItem;
    std::optional<int> viewAxis; // zdm_ViewAxis
    std::vector<std::string> extraLines;
};

struct LwsBone {
    LwsItem item;
    std::string name = "Bone";
    std::optional<std::array<float, 3>> restPosition;
    std::optional<std::array<float, 3>> restDirection; // heading pitch bank, degrees
    std::optional<float> restLength, strength;
    std::optional<int> scaleStrength, limitedRange;
    std::optional<float> minRange, maxRange;
    std::optional<std::string> weightMapName;
};

struct LwsBody {
    int massType = 0; // 0 sphere, 1 box, 2 capsule, 3 cylinder
    float mass = 1.0f;
    std::array<float, 3> scale{1.0f, 1.0f, 1.0f};
    std::optional<int> autoDisable;
};

struct LwsJoint {
    int type = 1;
    uint32_t body1 = 0, body2 = 0;
    std::optional<float> springForce, damperForce;
};

struct LwsGeom {
    int type = 0;
    int surface = 0;
    int space = 0;
    std::array<float, 3> scale{1.0f, 1.0f, 1.0f};
    std::optional<uint32_t> transform;
};

struct LwsVariantParameter {
    std::string keyword = "Birth";
    float value = 0.0f;
    LwsEnvelope envelope;
};

// FX_Emitter fields in the emitter's own order; a2 and a3 in seconds (the
// file holds frames at 30 per second).
struct LwsEmitter {
    float s1 = 0.0f;
    int particleCount = 250;
    std::array<float, 13> a{100.0f, 1000.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 4.0f, 0.0f, 50.0f, 0.0f};
    float s2 = 0.0f;
    std::array<float, 3> vec1{1.0f, 1.0f, 1.0f};
    std::array<float, 3> vec2{0.0f, 0.0f, 0.0f};
    int i1 = 1, i2 = 1, i3 = 0;
    std::vector<LwsVariantParameter> variants;
    std::vector<std::pair<std::string, std::string>> keys; // further key/value pairs
    bool enabled = true;
};

struct LwsGravity {
    int i1 = 0, i2 = 0, i3 = 0;
    float a1 = 1.0f, a2 = 1.0f;
    std::array<float, 3> vec1{0.0f, 0.0f, 0.0f};
    bool enabled = true;
};

struct LwsWind {
    int i1 = 7, i2 = 0, i3 = 0, i4 = 0;
    float a1 = 1.0f, a2 = 1.0f, s1 = 0.0f, s2 = 0.5f, a3 = 0.0f, a4 = 0.1f, a5 = 0.0f;
    std::array<float, 3> vec1{1.0f, 1.0f, 1.0f};
    float s3 = 1.0f;
    std::array<float, 2> vec2{0.0f, 0.0f};
    bool enabled = true;
};

struct LwsCollision {
    int i1 = 0, i2 = 0;
    float a1 = 1.0f, a2 = 1.0f, s1 = 0.0f, s2 = 0.0f, s3 = 0.0f, s4 = 0.0f;
    bool flag = false;
};

struct LwsLevelOfDetail {
    float distance = 0.0f;
    std::string fileName; // backslashes are doubled on writing
};

struct LwsMaterial {
    std::string surface;
    std::array<float, 3> parameters{0.0f, 0.0f, 0.0f};
};

struct LwsObject {
    std::optional<std::string> nullName; // AddNullObject instead of LoadObjectLayer
    int layer = 1;                       // counted from 1, as the file does
    std::string fileName;                // written as it is: the loader joins its blanks
    LwsItem item;
    bool unseenByCamera = false, unseenByRays = false, bumpDisplacement = false;
    std::optional<LwsMaterial> material;
    std::optional<int> unaffectedByFog;
    std::optional<std::array<float, 3>> matteColor;
    std::optional<int> shadowOptions;
    std::vector<uint32_t> excludeLights;
    std::optional<std::string> sound;
    std::vector<LwsLevelOfDetail> levelsOfDetail; // ObjReplacementHandler
    bool displacementHandler = false;
    std::optional<LwsBody> body;
    std::optional<LwsJoint> joint;
    std::optional<LwsGeom> geom;
    std::optional<std::string> marker; // "Morvane Collision Plane" and kin
    std::optional<LwsEmitter> emitter;
    std::vector<LwsGravity> gravities;
    std::vector<LwsWind> winds;
    std::vector<LwsCollision> collisions;
    std::optional<int> boneFalloffType;
    std::vector<LwsBone> bones;
};

struct LwsLight {
    LwsItem item;
    std::string name = "Light";
    std::optional<std::array<LwsValue, 3>> color;
    std::optional<LwsValue> intensity, range;
    std::optional<int> falloffType;
    int type = 1;
    std::optional<int> quality;
    std::optional<LwsValue> coneAngle, edgeAngle; // degrees
    std::optional<int> affectDiffuse, affectSpecular, affectOpenGL;
    std::optional<LwsClip> projectorImage;
    std::optional<int> shadowType, shadowMapSize;
    std::optional<float> shadowFuzziness;
    std::optional<int> lensFlare;
    std::optional<LwsValue> flareIntensity;
    std::optional<int> lensFlareOptions;
    std::optional<float> flareNominalDistance;
    std::optional<int> lensFlareFade;
    std::optional<LwsValue> flareRotationAngle;
};

// A camera always gets a "CameraMotion" (a still one when `item.motion` is
// unset): the loader creates cameras at that keyword.
struct LwsCamera {
    LwsItem item;
    std::string name = "Camera";
    std::optional<LwsValue> zoomFactor;
    std::optional<float> eyeSeparation, envMinDistance, envMaxDistance;
};

struct LwsSpace {
    std::string name = "(default)";
    int type = 1; // 0 simple, 1 hash
    int parent = -1;
};

struct LwsOdeMaster {
    std::optional<std::array<float, 3>> gravity;
    std::optional<int> solver;
    std::vector<std::string> surfaces;
    std::vector<LwsSpace> spaces;
};

struct LwsActorChannel {
    std::string name; // e.g. Rider.Position.Y
    int type = 0;
    int state = 1;
    LwsEnvelope envelope;
};

struct LwsActorMotionItem {
    std::string name;
    int state = 1;
    std::vector<LwsActorChannel> channels;
};

struct LwsActorMotion {
    std::string name;
    std::array<float, 2> range{0.0f, 1.0f};
    std::vector<LwsActorMotionItem> items;
};

struct LwsActor {
    std::string name;
    int state = 1;
    float poseFrame = 0.0f;
    std::vector<std::pair<std::string, uint32_t>> items; // ItemName, ItemAdd id
    std::vector<LwsActorMotion> motions;
};

struct LwsMixer {
    std::vector<LwsActor> actors;
    std::vector<std::string> trackMotions; // one ActorTracks entry each (read and dropped)
    std::optional<int> prefs;
};

struct LwsHyperTexture {
    std::string kind = "ImageMap"; // Procedural, ImageMap, Gradient
    std::array<float, 3> center{0.0f, 0.0f, 0.0f}, size{1.0f, 1.0f, 1.0f}, rotation{0.0f, 0.0f, 0.0f};
    int projection = 0;
    int axis = 0;
    std::optional<std::string> image;
    std::array<int, 2> wrap{1, 1}; // width, height codes
    float widthWrap = 1.0f, heightWrap = 1.0f;
    std::optional<float> antialiasing;
    int pixelBlending = 1;
    int channel = 0;
    int opacityType = 0;
    LwsValue opacity{1.0f};
    int enable = 1;
    int negative = 0;
};

// A HyperVoxelData object; values are written as "constant marker [channel]".
struct LwsHyperVoxel {
    std::string objectName;
    int type = 1;
    std::optional<LwsValue> dissolve, particleSize, sizeVariation, luminosity, opacity, density, nearClip,
        stretchAmount, textureAmplitude;
    std::optional<std::array<LwsValue, 3>> color;
    std::optional<int> blendingMode, blendingGroup, stretchDirection, slices;
    std::optional<std::string> useAllLights, alignToPath, maintainVolume;
    std::vector<LwsHyperTexture> textures;
    std::vector<std::string> channelLines; // further HVChannels lines
    std::optional<int> blendingGroups;     // HVBlendingGroups (read and dropped)
    std::optional<LwsClip> clip;           // HVClip (its texture is not kept)
};

// Written as: header, frames, master handlers, objects, ambient and global
// intensities, lights, cameras, backdrop and fog, grid, hypervoxels, extra.
struct LwsScene {
    std::string magic = "LWSC";
    int version = 3;
    std::optional<int> firstFrame, lastFrame, previewFirstFrame, previewLastFrame;
    std::optional<float> framesPerSecond;
    std::optional<LwsOdeMaster> odeMaster;
    std::optional<LwsMixer> mixer;
    std::vector<std::string> headerLines; // after the masters, before the objects
    std::vector<LwsObject> objects;
    std::optional<std::array<LwsValue, 3>> ambientColor;
    std::optional<LwsValue> ambientIntensity, globalLightIntensity, globalFlareIntensity;
    std::vector<LwsLight> lights;
    std::vector<LwsCamera> cameras;
    std::optional<LwsClip> backgroundImage;
    std::optional<std::array<float, 3>> backdropColor;
    std::optional<int> fogType;
    std::optional<float> fogMinDistance, fogMaxDistance;
    std::optional<std::array<float, 3>> fogColor;
    std::optional<int> backdropFog, backdropWithoutFog;
    std::optional<int> gridNumber;
    std::optional<float> gridSize;
    std::vector<LwsHyperVoxel> hyperVoxels;
    std::vector<std::string> extraLines;
};
