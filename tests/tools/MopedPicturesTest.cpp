// Pictures of the moped content under the virtual display: the five models
// in their four colours, a rider leaning and crashed, a menu preview.
#include <gtest/gtest.h>

#include <stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tools/demodata/mopeds/MopedActor.h"
#include "tools/demodata/mopeds/MopedDesign.h"
#include "tools/demodata/mopeds/MopedFiles.h"
#include "tools/demodata/mopeds/MopedNames.h"
#include "tools/demodata/mopeds/MopedRig.h"
#include "tools/demodata/mopeds/MopedScenes.h"
#include "tools/lightwave/Lwo2Writer.h"
#include "tools/lightwave/LwsWriter.h"
#include "tools/sarpack/ArchiveWriter.h"

namespace {

namespace mn = MopedNames;

constexpr const char* FLOOR = "showroom/floor.lwo";

std::string floorObject() {
    Lwo2Object object;
    object.tags = {"Floor"};
    Lwo2Layer quad;
    quad.points = {{-40, 0, -40}, {-40, 0, 40}, {40, 0, 40}, {40, 0, -40}};
    quad.polygonLists.push_back({"FACE", {{{0, 1, 2, 3}}}});
    quad.polygonTags.push_back({"SURF", {{0, 0}}});
    object.layers = {quad};
    Lwo2Surface floor;
    floor.name = "Floor";
    floor.color = Lwo2ColorValue{{0.45f, 0.47f, 0.5f}, 0};
    floor.values = {{"DIFF", {0.9f, 0}}};
    object.surfaces = {floor};
    Lwo2Writer writer;
    writer.writeObject(object);
    std::vector<uint8_t> bytes = writer.bytes();
    return std::string(bytes.begin(), bytes.end());
}

// A lit room with a floor, and a camera at `eye` looking with heading and pitch (radians).
LwsScene room(std::array<float, 3> eye, float heading, float pitch) {
    LwsScene scene;
    scene.firstFrame = 0;
    scene.lastFrame = 60;
    LwsObject floor;
    floor.fileName = FLOOR;
    floor.item.motion = lwsStillMotion({0.0f, 0.0f, 0.0f});
    scene.objects.push_back(floor);
    scene.ambientIntensity = LwsValue(0.35f);
    LwsLight sun;
    sun.name = "Sun";
    sun.type = 0;
    sun.item.motion = lwsStillMotion({0.0f, 10.0f, 0.0f}, {0.6f, 0.8f, 0.0f});
    sun.intensity = LwsValue(1.0f);
    sun.color = std::array<LwsValue, 3>{1.0f, 0.97f, 0.92f};
    scene.lights.push_back(sun);
    LwsLight fill = sun;
    fill.name = "Fill";
    fill.item.motion = lwsStillMotion({0.0f, 10.0f, 0.0f}, {-2.4f, 0.4f, 0.0f});
    fill.intensity = LwsValue(0.45f);
    scene.lights.push_back(fill);
    LwsCamera camera;
    camera.item.motion = lwsStillMotion(eye, {heading, pitch, 0.0f});
    camera.zoomFactor = LwsValue(3.2f);
    scene.cameras.push_back(camera);
    scene.backdropColor = std::array<float, 3>{0.62f, 0.7f, 0.8f};
    return scene;
}

LwsObject placedNull(const std::string& name, std::array<float, 3> at, float heading) {
    LwsObject object;
    object.nullName = name;
    object.item.motion = lwsStillMotion(at, {heading, 0.0f, 0.0f});
    return object;
}

// The twenty mopeds: a row per colour, the models side by side.
LwsScene lineUp() {
    LwsScene scene = room({4.6f, 6.0f, -10.0f}, 0.0f, 0.384f);
    for (int colour = 0; colour < mn::COLOURS; ++colour)
        for (int model = 0; model < mn::MODELS; ++model) {
            scene.objects.push_back(placedNull("stand", {2.3f * model, 0.0f, 2.4f * colour}, -1.0f));
            placeMoped(scene, model, colour, uint32_t(scene.objects.size() - 1));
        }
    return scene;
}

// One model large, seen from the front right.
LwsScene closeUp(int model) {
    LwsScene scene = room({2.4f, 1.6f, 2.0f}, -2.27f, 0.27f);
    scene.objects.push_back(placedNull("stand", {0.0f, 0.0f, 0.0f}, 0.0f));
    placeMoped(scene, model, model % mn::COLOURS, 1u);
    return scene;
}

// A rider on the Hercules with its actor, seen from ahead and a little to the
// right; `empty` leaves the moped out, for telling it from the room.
LwsScene riderShow(bool empty) {
    LwsScene scene = room({0.9f, 1.5f, 3.6f}, PI + 0.245f, 0.2f);
    scene.objects.push_back(placedNull("stand", {0.0f, 0.0f, 0.0f}, 0.0f));
    if (empty) {
        scene.cameras.push_back(scene.cameras.front());
        scene.cameras.back().item.motion = lwsStillMotion({4.6f, 1.8f, 0.8f}, {-1.72f, 0.22f, 0.0f});
        return scene;
    }
    const PlacedMoped moped = placeMoped(scene, 0, 3, 1u);
    scene.mixer = mopedActor(mopedDesign(0).seat, moped.body, moped.rider);
    // Camera 1 looks on from the right, far enough back to see a crash.
    LwsCamera side = scene.cameras.front();
    side.item.motion = lwsStillMotion({4.6f, 1.8f, 0.8f}, {-1.72f, 0.22f, 0.0f});
    scene.cameras.push_back(side);
    return scene;
}

// The extras' objects in a row.
LwsScene extrasShow() {
    LwsScene scene = room({0.0f, 3.5f, 13.0f}, PI, 0.22f);
    const char* files[] = {mn::MAGNET, mn::MINE, mn::ROCKET_1, mn::ROCKET_2, mn::WEIGHT, mn::BUBBLE, mn::EXPLOSION, mn::SHADOW};
    float x = 5.2f;
    for (const char* file : files) {
        LwsObject object;
        object.fileName = file;
        const bool floating = file == mn::BUBBLE || file == mn::EXPLOSION || file == mn::ROCKET_1 || file == mn::ROCKET_2;
        object.item.motion = lwsStillMotion({x, floating ? 1.0f : 0.01f, 0.0f}, {file == mn::ROCKET_1 || file == mn::ROCKET_2 ? 1.2f : 0.0f, 0.0f, 0.0f});
        scene.objects.push_back(object);
        x -= 1.5f;
    }
    for (const char* laser : {mn::LASER_1, mn::LASER_2}) {
        LwsObject beam;
        beam.fileName = laser;
        beam.item.motion = lwsStillMotion({laser == mn::LASER_1 ? -3.0f : 3.0f, 3.2f, -4.0f}, {laser == mn::LASER_1 ? -0.4f : 0.4f, 0.0f, 0.0f});
        scene.objects.push_back(beam);
    }
    return scene;
}

class MopedPictures : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display: run under xvfb-run -a";
        const char* folder = std::getenv("PLIMZOR_PICTURES");
        m_out = std::filesystem::absolute(std::string(folder ? folder : "pictures") + "/mopeds").string();
        std::filesystem::create_directories(m_out);
        ArchiveWriter writer;
        for (const MopedFile& file : mopedFiles()) writer.add(file.archiveName, file.bytes, 0);
        writer.add(FLOOR, floorObject(), 0);
        writer.add("showroom/lineup.lws", LwsWriter().write(lineUp()), 0);
        for (int model = 0; model < mn::MODELS; ++model)
            writer.add("showroom/model" + std::to_string(model) + ".lws", LwsWriter().write(closeUp(model)), 0);
        writer.add("showroom/rider.lws", LwsWriter().write(riderShow(false)), 0);
        writer.add("showroom/empty.lws", LwsWriter().write(riderShow(true)), 0);
        writer.add("showroom/extras.lws", LwsWriter().write(extrasShow()), 0);
        std::string error;
        ASSERT_TRUE(writer.write(m_dir.file("data.sar"), error)) << error;
    }

    struct Picture {
        int width = 0, height = 0;
        std::vector<uint8_t> rgb;
    };

    // Renders a scene of the archive into the pictures folder and reads it back.
    bool shoot(const std::string& scene, const std::string& name, double time, Picture& picture, int width = 960,
               int height = 720, const std::string& options = "") {
        const std::string png = m_out + "/" + name + ".png";
        // Run in the scratch folder: the texture copies it leaves go with it.
        std::string command = "cd " + m_dir.path() + " && " + SCENE_SHOT_PATH + " data.sar '" + scene + "' " + png +
                              " --time " + std::to_string(time) + " --size " + std::to_string(width) + "x" +
                              std::to_string(height) + " " + options + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return false;
        std::string output;
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
        if (pclose(pipe) != 0) {
            ADD_FAILURE() << output;
            return false;
        }
        int channels = 0;
        stbi_uc* pixels = stbi_load(png.c_str(), &picture.width, &picture.height, &channels, 3);
        if (!pixels) return false;
        picture.rgb.assign(pixels, pixels + size_t(picture.width) * picture.height * 3);
        stbi_image_free(pixels);
        return true;
    }

    // Where the picture differs from the empty room: the middle of those pixels, and how many.
    static void differences(const Picture& picture, const Picture& empty, float& x, float& y, int& count) {
        double sx = 0.0, sy = 0.0;
        count = 0;
        for (int py = 0; py < picture.height; ++py)
            for (int px = 0; px < picture.width; ++px) {
                const size_t i = (size_t(py) * picture.width + px) * 3;
                int d = 0;
                for (int c = 0; c < 3; ++c) d += std::abs(int(picture.rgb[i + c]) - int(empty.rgb[i + c]));
                if (d < 30) continue;
                sx += px, sy += py, ++count;
            }
        x = count ? float(sx / count) : 0.0f;
        y = count ? float(sy / count) : 0.0f;
    }

    TempDir m_dir;
    std::string m_out;
};

} // namespace

TEST_F(MopedPictures, FiveModelsInFourColoursStandSideBySide) {
    Picture picture;
    ASSERT_TRUE(shoot("showroom/lineup.lws", "lineup", 0.0, picture, 1280, 960));
    for (int model = 0; model < mn::MODELS; ++model) {
        Picture close;
        ASSERT_TRUE(shoot("showroom/model" + std::to_string(model) + ".lws", "model_" + std::string(mn::MODEL[model]),
                          0.0, close));
    }
}

TEST_F(MopedPictures, RiderLeansIntoEachCurveAndLiesAheadAfterACrash) {
    Picture empty, emptySide, straight, left, right, side, crashed, tumbling;
    ASSERT_TRUE(shoot("showroom/empty.lws", "rider_empty", 5.0, empty));
    ASSERT_TRUE(shoot("showroom/empty.lws", "rider_empty_side", 5.0, emptySide, 960, 720, "--camera 1"));
    ASSERT_TRUE(shoot("showroom/rider.lws", "rider_straight", 5.0, straight));
    ASSERT_TRUE(shoot("showroom/rider.lws", "rider_left", 5.0, left, 960, 720, "--track Left"));
    ASSERT_TRUE(shoot("showroom/rider.lws", "rider_right", 5.0, right, 960, 720, "--track Right"));
    ASSERT_TRUE(shoot("showroom/rider.lws", "rider_side", 5.0, side, 960, 720, "--camera 1"));
    ASSERT_TRUE(shoot("showroom/rider.lws", "rider_crashed", 5.0, crashed, 960, 720, "--camera 1 --track Crash"));
    ASSERT_TRUE(shoot("showroom/rider.lws", "rider_tumbling", 0.4, tumbling, 960, 720, "--camera 1 --track Crash"));
    float x[6], y[6];
    int count[6];
    const Picture* shots[6] = {&straight, &left, &right, &side, &crashed, &tumbling};
    for (int i = 0; i < 6; ++i) differences(*shots[i], i < 3 ? empty : emptySide, x[i], y[i], count[i]);
    ASSERT_GT(count[0], 20000) << "the moped and its rider fill a good part of the picture";
    // Seen from ahead, the moped's left is on the picture's right.
    EXPECT_GT(x[1], x[0] + 15.0f) << "leaning left";
    EXPECT_LT(x[2], x[0] - 15.0f) << "leaning right";
    // From the right side the moped heads to the picture's right.
    EXPECT_GT(y[4], y[3] + 25.0f) << "crashed: everything lies low";
    EXPECT_GT(x[4], x[3] + 25.0f) << "crashed: the rider lies ahead of where he sat";
    EXPECT_LT(y[5], y[4] - 20.0f) << "mid-tumble the rider is up in the air";
}

TEST_F(MopedPictures, PreviewTurnsTheMopedAndWithTheSceneCamera) {
    Picture first, later;
    ASSERT_TRUE(shoot(mn::previewScene(3, 3), "preview_vespa_rot_0s", 0.0, first, 412, 332));
    ASSERT_TRUE(shoot(mn::previewScene(3, 3), "preview_vespa_rot_4s", 4.0, later, 412, 332));
    ASSERT_TRUE(shoot(mn::previewScene(3, 3), "preview_vespa_rot_12s", PREVIEW_TURN, later, 412, 332));
    int differing = 0, lit = 0;
    for (size_t i = 0; i < first.rgb.size(); i += 3) {
        differing += std::abs(int(first.rgb[i]) - int(later.rgb[i])) > 40;
        lit += first.rgb[i] > 120;
    }
    EXPECT_LT(differing, 200) << "a whole turn later the moped stands as it started";
    EXPECT_GT(lit, 5000) << "a red moped, lit";
    Picture quarter;
    ASSERT_TRUE(shoot(mn::previewScene(3, 3), "preview_vespa_rot_4s", 4.0, quarter, 412, 332));
    differing = 0;
    for (size_t i = 0; i < first.rgb.size(); i += 3) differing += std::abs(int(first.rgb[i]) - int(quarter.rgb[i])) > 40;
    EXPECT_GT(differing, 3000) << "four seconds on, it has turned";
}

TEST_F(MopedPictures, ExtrasShowTheirObjects) {
    Picture picture;
    ASSERT_TRUE(shoot("showroom/extras.lws", "extras", 0.0, picture, 1280, 720));
}
