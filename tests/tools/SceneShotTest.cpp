#include <gtest/gtest.h>

#include <stb_image.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sys/Pi.h"
#include "tools/lightwave/Lwo2Writer.h"
#include "tools/lightwave/LwsWriter.h"
#include "tools/sarpack/ArchiveWriter.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int WIDTH = 320, HEIGHT = 240;

// A 4 x 4 green and white checker as a 24-bit BMP.
std::string checkerBmp() {
    auto put32 = [](std::string& s, uint32_t v) {
        for (int i = 0; i < 4; ++i) s.push_back(char(v >> (8 * i)));
    };
    std::string bmp = "BM";
    put32(bmp, 54 + 48);
    put32(bmp, 0);
    put32(bmp, 54);
    put32(bmp, 40);
    put32(bmp, 4);
    put32(bmp, 4);
    bmp += std::string("\x01\x00\x18\x00", 4);
    for (int i = 0; i < 6; ++i) put32(bmp, 0);
    for (int i = 0; i < 16; ++i) bmp += ((i + i / 4) & 1) ? std::string("\xff\xff\xff", 3) : std::string("\x00\xc0\x00", 3);
    return bmp;
}

// An upright quad (or a flat one when `flat`) of half sizes w and h around the layer's origin.
Lwo2Layer quadLayer(uint16_t number, uint16_t surface, float w, float h, bool flat = false) {
    Lwo2Layer layer;
    layer.number = number;
    layer.name = "layer" + std::to_string(number);
    // Clockwise as seen from the front: a flat quad faces up, an upright one the camera.
    if (flat)
        layer.points = {{-w, 0, -h}, {-w, 0, h}, {w, 0, h}, {w, 0, -h}};
    else
        layer.points = {{-w, -h, 0}, {-w, h, 0}, {w, h, 0}, {w, -h, 0}};
    layer.polygonLists.push_back({"FACE", {{{0, 1, 2, 3}}}});
    layer.polygonTags.push_back({"SURF", {{0, surface}}});
    return layer;
}

Lwo2Layer cubeLayer(uint16_t number, uint16_t surface, bool coloured) {
    Lwo2Layer layer;
    layer.number = number;
    layer.name = "cube" + std::to_string(number);
    layer.points = {{-0.5f, 0, -0.5f}, {0.5f, 0, -0.5f}, {0.5f, 1, -0.5f}, {-0.5f, 1, -0.5f},
                    {-0.5f, 0, 0.5f},  {0.5f, 0, 0.5f},  {0.5f, 1, 0.5f},  {-0.5f, 1, 0.5f}};
    layer.polygonLists.push_back(
        {"FACE", {{{0, 1, 2, 3}}, {{4, 7, 6, 5}}, {{0, 4, 5, 1}}, {{1, 5, 6, 2}}, {{2, 6, 7, 3}}, {{3, 7, 4, 0}}}});
    Lwo2PolygonTags tags;
    for (uint32_t i = 0; i < 6; ++i) tags.tags.push_back({i, surface});
    layer.polygonTags.push_back(tags);
    Lwo2VertexMap uv{"TXUV", "UVMap", false, std::nullopt, {}};
    Lwo2VertexMap paint{"RGB ", "Paint", false, std::nullopt, {}};
    for (uint32_t i = 0; i < 8; ++i) {
        uv.entries.push_back({i, 0, {(i & 1) ? 1.0f : 0.0f, (i & 2) ? 1.0f : 0.0f}});
        paint.entries.push_back({i, 0, {1.0f, i / 8.0f, 0.0f}});
    }
    layer.vertexMaps.push_back(coloured ? paint : uv);
    return layer;
}

// Lit by itself, so its colour reads back as set (but for fog).
Lwo2Surface glowing(const std::string& name, std::array<float, 3> rgb, float transparency = 0.0f) {
    Lwo2Surface s;
    s.name = name;
    s.color = Lwo2ColorValue{rgb, 0};
    s.values = {{"LUMI", {1.0f, 0}}, {"DIFF", {0.0f, 0}}};
    if (transparency > 0.0f) s.values.push_back({"TRAN", {transparency, 0}});
    s.sidedness = 3;
    return s;
}

std::string lwo(const Lwo2Object& object) {
    Lwo2Writer writer;
    writer.writeObject(object);
    std::vector<uint8_t> bytes = writer.bytes();
    return std::string(bytes.begin(), bytes.end());
}

// Layers: 0 mirror floor, 1 red cube, 2 textured cube, 3 painted cube, 4 and 5
// the red and blue glass panes, 6 the far wall, 7 the screen before the flare.
Lwo2Object demoObjects() {
    Lwo2Object object;
    object.tags = {"Mirror", "Red", "Crate", "Paint", "RedGlass", "BlueGlass", "Wall", "Screen"};
    object.layers = {quadLayer(0, 0, 10.0f, 20.0f, true), cubeLayer(1, 1, false), cubeLayer(2, 2, false),
                     cubeLayer(3, 3, true),               quadLayer(4, 4, 1.0f, 0.6f), quadLayer(5, 5, 1.0f, 0.6f),
                     quadLayer(6, 6, 60.0f, 40.0f),        quadLayer(7, 7, 0.6f, 1.0f)};
    Lwo2Clip image;
    image.index = 1;
    image.still = "images/checker.bmp";
    object.clips.push_back(image);

    // Half see-through, so the reflection behind it shows.
    Lwo2Surface mirror = glowing("Mirror", {0.1f, 0.1f, 0.1f}, 0.5f);
    mirror.values.push_back({"REFL", {1.0f, 0}});
    mirror.reflectionOptions = 0;
    Lwo2Surface crate = glowing("Crate", {1.0f, 1.0f, 1.0f});
    Lwo2Block texture;
    texture.textureMap = Lwo2TextureMap{};
    texture.textureMap->size = Lwo2TextureVector{{1.0f, 1.0f, 1.0f}};
    texture.projection = 5;
    texture.image = 1;
    texture.wrap = std::array<uint16_t, 2>{1, 1};
    texture.vertexMap = "UVMap";
    crate.blocks.push_back(texture);
    Lwo2Surface paint = glowing("Paint", {1.0f, 1.0f, 1.0f});
    paint.vertexColors.push_back({{1.0f, 0}, "RGB ", "Paint"});
    object.surfaces = {mirror,
                       glowing("Red", {1.0f, 0.0f, 0.0f}),
                       crate,
                       paint,
                       glowing("RedGlass", {1.0f, 0.0f, 0.0f}, 0.5f),
                       glowing("BlueGlass", {0.0f, 0.0f, 1.0f}, 0.5f),
                       glowing("Wall", {0.0f, 0.0f, 0.0f}),
                       glowing("Screen", {0.0f, 0.0f, 0.0f})};
    return object;
}

LwsObject placed(int layer, std::array<float, 3> position, const char* file = "objects/demo.lwo") {
    LwsObject object;
    object.fileName = file;
    object.layer = layer;
    object.item.motion = lwsStillMotion(position);
    object.unaffectedByFog = 0;
    return object;
}

LwsScene demoScene() {
    LwsScene scene;
    scene.firstFrame = 0;
    scene.lastFrame = 60;
    scene.objects = {placed(1, {0, 0, 10}), placed(2, {-1.5f, 0, 10}), placed(3, {-3.5f, 0, 12}),
                     placed(4, {-5.5f, 0, 14}), placed(5, {2.0f, 1.6f, 8}), placed(6, {2.6f, 2.0f, 9}),
                     placed(7, {0, 0, 60}), placed(8, {-2.0f, 3.0f, 15})};
    // The painted cube turns: keys at 0 and 2 seconds.
    LwsEnvelope turn;
    turn.keys = {{0.0f, 0.0f, 3}, {PI, 2.0f, 3}};
    scene.objects[3].item.motion->channels[3].envelope = turn;

    // Up right, a culling plane (never drawn) hides a red cube and a flaring light behind it.
    LwsObject plane = placed(1, {5.86f, 7.19f, 25.0f}, "objects/CullingPlane.lwo");
    plane.unseenByCamera = true;
    scene.objects.push_back(plane);
    scene.objects.push_back(placed(2, {7.03f, 7.92f, 30.0f}));

    LwsObject smoke;
    smoke.nullName = "Smoke";
    smoke.item.motion = lwsStillMotion({-5.0f, 4.0f, 20.0f});
    LwsEmitter emitter;
    emitter.particleCount = 50;
    smoke.emitter = emitter;
    LwsGravity gravity;
    gravity.vec1 = {0.0f, 0.02f, 0.0f};
    smoke.gravities.push_back(gravity);
    smoke.winds.push_back(LwsWind{});
    scene.objects.push_back(smoke);

    LwsHyperVoxel puffs;
    puffs.objectName = "Smoke";
    puffs.particleSize = LwsValue(0.3f);
    puffs.color = std::array<LwsValue, 3>{1.0f, 1.0f, 0.0f};
    scene.hyperVoxels.push_back(puffs);

    const char* names[3] = {"Sun", "Bulb", "Spot"};
    for (int type = 0; type < 3; ++type) {
        LwsLight light;
        light.name = names[type];
        light.type = type;
        light.item.motion = lwsStillMotion({-2.0f + 2.0f * type, 4.0f, 14.0f + type}, {0.0f, 45.0f, 0.0f});
        light.color = std::array<LwsValue, 3>{1.0f, 1.0f, 1.0f};
        light.intensity = LwsValue(1.0f);
        light.range = LwsValue(40.0f);
        if (type == 2) {
            light.coneAngle = LwsValue(30.0f);
            light.edgeAngle = LwsValue(5.0f);
        }
        if (type == 1) {
            // Its query point straddles the screen's left edge: partly hidden.
            light.item.motion = lwsStillMotion({-3.47f, 3.0f, 20.0f});
            light.lensFlare = 1;
            light.lensFlareOptions = 9;
            light.flareIntensity = LwsValue(1.0f);
            light.flareNominalDistance = 5.0f;
        }
        scene.lights.push_back(light);
    }
    LwsLight hidden = scene.lights[1];
    hidden.name = "Hidden";
    hidden.item.motion = lwsStillMotion({8.2f, 9.66f, 35.0f});
    scene.lights.push_back(hidden);

    LwsCamera camera;
    camera.item.motion = lwsStillMotion({0.0f, 1.0f, 0.0f});
    camera.zoomFactor = LwsValue(3.2f);
    scene.cameras.push_back(camera);
    scene.backdropColor = std::array<float, 3>{0.0f, 0.0f, 0.0f};
    scene.fogType = 1;
    scene.fogMinDistance = 5.0f;
    scene.fogMaxDistance = 40.0f;
    scene.fogColor = std::array<float, 3>{0.2f, 0.6f, 0.9f};
    return scene;
}

class SceneShotTest : public ::testing::Test {
protected:
    struct Picture {
        int width = 0, height = 0;
        std::vector<uint8_t> rgb;
        std::array<int, 3> at(int x, int y) const {
            const uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
            return {p[0], p[1], p[2]};
        }
    };
    // Pixel of a world point: the camera stands at (0, 1, 0) looking along +z with scales 2.4 and 3.2.
    static void project(float x, float y, float z, int& px, int& py) {
        px = int((x / z * 2.4f + 1.0f) * 0.5f * WIDTH);
        py = int((1.0f - (y - 1.0f) / z * 3.2f) * 0.5f * HEIGHT);
    }
    // Packs the writer's files, shoots the scene with the options and reads the picture back.
    bool shoot(ArchiveWriter& writer, const std::string& scene, const std::string& options, Picture& picture,
               std::string& output) {
        std::string error;
        if (!writer.write(m_dir.file("data.sar"), error)) return false;
        std::string command = std::string(SCENE_SHOT_PATH) + " " + m_dir.file("data.sar") + " " + scene + " " +
                              m_dir.file("shot.png") + " " + options + " --size " + std::to_string(WIDTH) + "x" +
                              std::to_string(HEIGHT) + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return false;
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
        if (pclose(pipe) != 0) return false;
        int channels = 0;
        stbi_uc* pixels = stbi_load(m_dir.file("shot.png").c_str(), &picture.width, &picture.height, &channels, 3);
        if (!pixels) return false;
        picture.rgb.assign(pixels, pixels + size_t(picture.width) * picture.height * 3);
        stbi_image_free(pixels);
        if (const char* keep = std::getenv("PLIMZOR_SCENE_SHOT_PNG")) std::rename(m_dir.file("shot.png").c_str(), keep);
        return picture.width == WIDTH && picture.height == HEIGHT;
    }
    bool shootDemo(Picture& picture, std::string& output) {
        ArchiveWriter writer;
        writer.add("objects/demo.lwo", lwo(demoObjects()), 3);
        Lwo2Object planeObject;
        planeObject.tags = {"Plane"};
        planeObject.layers = {quadLayer(0, 0, 1.5f, 1.5f)};
        planeObject.surfaces = {glowing("Plane", {1.0f, 1.0f, 1.0f})};
        writer.add("objects/CullingPlane.lwo", lwo(planeObject), 3);
        writer.add("images/checker.bmp", checkerBmp(), 3);
        writer.add("scenes/demo.lws", LwsWriter().write(demoScene()), 3);
        return shoot(writer, "scenes/demo.lws", "--time 1.0", picture, output);
    }
    TempDir m_dir;
};

} // namespace

TEST_F(SceneShotTest, DemoSceneShowsFogMirrorFlaresOccludersParticlesAndGlassInOrder) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display: run under xvfb-run -a";
    Picture picture;
    std::string output;
    ASSERT_TRUE(shootDemo(picture, output)) << output;
    std::printf("%s", output.c_str());

    // The far wall lies beyond the fog's end: nothing but fog colour.
    int x, y;
    project(23.4f, 18.2f, 60.0f, x, y);
    std::array<int, 3> fog = picture.at(x, y);
    EXPECT_NEAR(fog[0], 51, 6);
    EXPECT_NEAR(fog[1], 153, 6);
    EXPECT_NEAR(fog[2], 230, 6);

    // The red cube over the floor shows in the mirror below it; beside it the floor is dark.
    project(-1.5f, -0.5f, 10.0f, x, y);
    std::array<int, 3> reflection = picture.at(x, y);
    int sideX, sideY;
    project(0.5f, -0.5f, 10.0f, sideX, sideY);
    std::array<int, 3> floor = picture.at(sideX, sideY);
    EXPECT_GT(reflection[0], floor[0] + 60) << "mirror image missing";

    // The flare shines beside the screen that half hides its light.
    project(-3.47f, 3.0f, 20.0f, x, y);
    x -= 8;
    std::array<int, 3> flare = picture.at(x, y);
    EXPECT_GT(flare[0], fog[0] + 40) << "lens flare missing";
    // Behind the culling plane neither the cube nor the other light's flare shows: only fog.
    project(7.03f, 8.42f, 30.0f, x, y);
    EXPECT_NEAR(picture.at(x, y)[0], fog[0], 6) << "object behind the culling plane drawn";
    project(8.2f, 9.66f, 35.0f, x, y);
    EXPECT_NEAR(picture.at(x, y)[0], fog[0], 6) << "flare behind the culling plane drawn";

    // The emitter's puffs rise and drift up left, where otherwise only fog is.
    int puffs = 0;
    for (int py = 0; py < 40; ++py)
        for (int px = 20; px < 110; ++px) puffs += std::abs(picture.at(px, py)[0] - fog[0]) > 60;
    EXPECT_GT(puffs, 20) << "particles missing";

    // Where the panes overlap, the near red one is blended last, over the blue: the overlap
    // is nearer to what red over the blue-only pixel gives than to the other way round.
    int redX, redY, blueX, blueY, bothX, bothY;
    project(1.2f, 1.1f, 8.0f, redX, redY);
    project(3.5f, 2.5f, 9.0f, blueX, blueY);
    project(2.5f, 1.9f, 8.0f, bothX, bothY);
    std::array<int, 3> red = picture.at(redX, redY), blue = picture.at(blueX, blueY),
                       both = picture.at(bothX, bothY), back = picture.at(2, 2);
    int redLast = 0, blueLast = 0;
    for (int c = 0; c < 3; ++c) {
        redLast += std::abs(both[c] - (red[c] - back[c] / 2 + blue[c] / 2));
        blueLast += std::abs(both[c] - (blue[c] - back[c] / 2 + red[c] / 2));
    }
    EXPECT_LT(redLast + 20, blueLast) << "transparent panes drawn out of order";
}

TEST_F(SceneShotTest, TopViewShowsTheTrackSquareFromAboveWithZUpAndXRight) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display: run under xvfb-run -a";
    // A grey floor over the square, a red tile towards +x +z, a blue one towards -x -z,
    // and fog that would hide everything from that high up.
    Lwo2Object object;
    object.tags = {"Floor", "Red", "Blue"};
    object.layers = {quadLayer(0, 0, 250.0f, 250.0f, true), quadLayer(1, 1, 40.0f, 40.0f, true),
                     quadLayer(2, 2, 40.0f, 40.0f, true)};
    object.surfaces = {glowing("Floor", {0.5f, 0.5f, 0.5f}), glowing("Red", {1.0f, 0.0f, 0.0f}),
                       glowing("Blue", {0.0f, 0.0f, 1.0f})};
    LwsScene scene;
    scene.firstFrame = 0;
    scene.lastFrame = 60;
    scene.objects = {placed(1, {0, 0, 0}, "objects/square.lwo"), placed(2, {150, 1, 150}, "objects/square.lwo"),
                     placed(3, {-150, 1, -150}, "objects/square.lwo")};
    // A scene without a light would lose its camera to the last object.
    scene.lights.emplace_back();
    scene.cameras.emplace_back();
    scene.backdropColor = std::array<float, 3>{0.0f, 0.0f, 0.0f};
    scene.fogType = 1;
    scene.fogMinDistance = 5.0f;
    scene.fogMaxDistance = 40.0f;
    scene.fogColor = std::array<float, 3>{0.0f, 1.0f, 0.0f};
    ArchiveWriter writer;
    writer.add("objects/square.lwo", lwo(object), 3);
    writer.add("scenes/square.lws", LwsWriter().write(scene), 3);
    Picture picture;
    std::string output;
    ASSERT_TRUE(shoot(writer, "scenes/square.lws", "--top", picture, output)) << output;

    // 260 units show above and below the centre (4:3 pictures keep the aspect); +z is up, +x right.
    auto pixelOf = [](float x, float z) {
        return std::array<int, 2>{int(WIDTH / 2 + x / 260.0f * (HEIGHT / 2)),
                                  int(HEIGHT / 2 - z / 260.0f * (HEIGHT / 2))};
    };
    auto [redX, redY] = pixelOf(150.0f, 150.0f);
    auto [blueX, blueY] = pixelOf(-150.0f, -150.0f);
    auto [floorX, floorY] = pixelOf(0.0f, 240.0f);
    auto [outX, outY] = pixelOf(-300.0f, 0.0f);
    EXPECT_EQ(picture.at(redX, redY), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(picture.at(blueX, blueY), (std::array<int, 3>{0, 0, 255}));
    EXPECT_NEAR(picture.at(floorX, floorY)[1], 128, 8) << "fogged floor";
    EXPECT_EQ(picture.at(outX, outY), (std::array<int, 3>{0, 0, 0})) << "beyond the square: the backdrop";
}
