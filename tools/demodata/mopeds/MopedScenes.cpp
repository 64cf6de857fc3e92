#include "tools/demodata/mopeds/MopedScenes.h"

#include "tools/demodata/mopeds/MopedActor.h"
#include "tools/demodata/mopeds/MopedDesign.h"
#include "tools/demodata/mopeds/MopedNames.h"
#include "tools/demodata/mopeds/MopedRig.h"
#include "tools/demodata/mopeds/Paint.h"
#include "tools/demodata/mopeds/Shape.h"
#include "tools/lightwave/LwsWriter.h"

namespace mn = MopedNames;

namespace {

constexpr int GEOM_SPHERE = 0;
constexpr int GEOM_BOX = 1;
const std::array<float, 3> OUT_OF_SIGHT{0.0f, -100.0f, 0.0f};
// Metres from the camera beyond which a racing moped shows its far level.
constexpr float FAR_FROM = 20.0f;

LwsObject extra(const char* file) {
    LwsObject object;
    object.fileName = file;
    object.item.motion = lwsStillMotion(OUT_OF_SIGHT);
    return object;
}

LwsLight light(const char* name, std::array<float, 3> rotation, float intensity, std::array<float, 3> colour) {
    LwsLight l;
    l.name = name;
    l.type = 0;
    l.item.motion = lwsStillMotion({0.0f, 5.0f, 0.0f}, rotation);
    l.intensity = LwsValue(intensity);
    l.color = std::array<LwsValue, 3>{colour[0], colour[1], colour[2]};
    return l;
}

// A camera at `eye` looking at `target`.
LwsCamera camera(std::array<float, 3> eye, std::array<float, 3> target, float zoom) {
    const float dx = target[0] - eye[0], dy = target[1] - eye[1], dz = target[2] - eye[2];
    LwsCamera c;
    c.item.motion = lwsStillMotion(eye, {std::atan2(dx, dz), -std::atan2(dy, std::sqrt(dx * dx + dz * dz)), 0.0f});
    c.zoomFactor = LwsValue(zoom);
    return c;
}

// A low dark disc with a bright rim for the preview's moped to stand on,
// just wide enough for the longest moped: a wider one pushes the moped
// smaller or its rim into the menu's name under the picture.
std::string turntable() {
    constexpr float RIM = 1.0f;
    Shape s;
    s.revolve(Frame::along({0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}),
              {{0.0f, -0.07f}, {RIM - 0.05f, -0.07f}, {RIM, -0.035f}, {RIM - 0.05f, 0.0f}, {0.0f, 0.0f}}, 48);
    s.setSurface(1);
    s.torus(Frame::along({0.0f, -0.035f, 0.0f}, {0.0f, 1.0f, 0.0f}), RIM, 0.012f, 48, 6);
    Lwo2Object object;
    object.tags = {"drehteller", "drehteller_rand"};
    object.layers = {s.layer(0, "drehteller", {0.0f, 0.0f, 0.0f})};
    object.surfaces = {Paint{{0.2f, 0.21f, 0.24f}, 0.8f, 0.5f, 0.6f}.surface("drehteller"),
                       Paint{{0.9f, 0.85f, 0.6f}, 0.5f, 0.9f, 0.8f, 0.4f}.surface("drehteller_rand")};
    return lwo2Bytes(object);
}

} // namespace

LwsScene raceScene(int model, int colour) {
    LwsScene scene;
    scene.firstFrame = 0;
    scene.lastFrame = 60;
    scene.framesPerSecond = 30.0f;

    LwsObject control;
    control.nullName = mn::CONTROL;
    scene.objects.push_back(control);
    LwsObject collision;
    collision.nullName = mn::COLLISION;
    collision.item.motion = lwsStillMotion({0.0f, 0.1f, 0.0f});
    collision.body = LwsBody{GEOM_SPHERE, 1.0f, {1.0f, 1.0f, 1.0f}, std::nullopt};
    collision.geom = LwsGeom{GEOM_SPHERE, mn::SURFACE_KART, mn::SPACE_KARTS, {1.0f, 1.0f, 1.0f}, std::nullopt};
    scene.objects.push_back(collision);
    const PlacedMoped moped = placeMoped(scene, model, colour, 0u, FAR_FROM);

    for (const char* file : {mn::MAGNET, mn::MINE, mn::ROCKET_2, mn::ROCKET_1, mn::WEIGHT}) {
        LwsObject object = extra(file);
        if (file == mn::ROCKET_1 || file == mn::ROCKET_2)
            object.geom = LwsGeom{GEOM_BOX, mn::SURFACE_ROCKET, mn::SPACE_THROWN, {0.16f, 0.16f, 0.75f}, std::nullopt};
        scene.objects.push_back(object);
    }
    for (int k = 0; k < mn::BUBBLES_PER_RIDER; ++k) scene.objects.push_back(extra(mn::BUBBLE));
    for (const char* file : {mn::LASER_1, mn::LASER_2, mn::EXPLOSION}) scene.objects.push_back(extra(file));

    scene.mixer = mopedActor(mopedDesign(model).seat, moped.body, moped.rider);
    scene.ambientIntensity = LwsValue(0.35f);
    scene.lights.push_back(light("Sonne", {0.6f, 0.8f, 0.0f}, 1.0f, {1.0f, 0.97f, 0.92f}));
    scene.cameras.push_back(camera({2.8f, 1.8f, 2.4f}, {0.0f, 0.8f, 0.0f}, 3.2f));
    return scene;
}

LwsScene previewScene(int model, int colour) {
    LwsScene scene;
    scene.firstFrame = 0;
    scene.lastFrame = int(PREVIEW_TURN * 30.0f);
    scene.framesPerSecond = 30.0f;
    LwsObject turntable;
    turntable.fileName = mn::TURNTABLE;
    turntable.item.motion = lwsStillMotion({0.0f, 0.0f, 0.0f});
    // Linear keys a whole turn apart, repeated: the same speed all the way round, for
    // ever; it starts turned so that the first look is from the front quarter.
    const float start = 0.8f;
    LwsEnvelope turn{{LwsKey{start, 0.0f, 3}, LwsKey{start + 2.0f * PI, PREVIEW_TURN, 3}}, 2, 2};
    turntable.item.motion->channels[3].envelope = turn;
    scene.objects.push_back(turntable);
    placeMoped(scene, model, colour, 0u);

    scene.ambientIntensity = LwsValue(0.3f);
    scene.lights.push_back(light("Hauptlicht", {-0.6f, 0.7f, 0.0f}, 1.05f, {1.0f, 0.96f, 0.9f}));
    scene.lights.push_back(light("Fuelllicht", {2.2f, 0.35f, 0.0f}, 0.45f, {0.75f, 0.82f, 1.0f}));
    scene.lights.push_back(light("Kante", {3.3f, -0.2f, 0.0f}, 0.6f, {1.0f, 1.0f, 1.0f}));
    // Looking a little low and from further off, so the moped stands high in
    // the picture and the menu's name under it stays clear of the wheels;
    // zoomed out far enough that the tallest rider's helmet keeps a margin
    // under the window's top in the two players' smaller windows too.
    scene.cameras.push_back(camera({0.0f, 1.3f, 4.5f}, {0.0f, 0.36f, 0.0f}, 2.95f));
    scene.backdropColor = std::array<float, 3>{0.12f, 0.14f, 0.18f};
    return scene;
}

std::vector<MopedFile> mopedSceneFiles() {
    std::vector<MopedFile> files = {mopedFile(mn::TURNTABLE, turntable())};
    for (int model = 0; model < mn::MODELS; ++model)
        for (int colour = 0; colour < mn::COLOURS; ++colour) {
            files.push_back(mopedFile(mn::mopedScene(model, colour), LwsWriter().write(raceScene(model, colour))));
            files.push_back(mopedFile(mn::previewScene(model, colour), LwsWriter().write(previewScene(model, colour))));
        }
    return files;
}
