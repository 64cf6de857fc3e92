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
#include "tools/demodata/mopeds/MopedFiles.h"
#include "tools/demodata/mopeds/MopedNames.h"
#include "tools/demodata/mopeds/MopedRig.h"
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
    LwsScene scene = room({4.6f, 7.0f, -12.5f}, 0.0f, 0.45f);
    for (int colour = 0; colour < mn::COLOURS; ++colour)
        for (int model = 0; model < mn::MODELS; ++model) {
            scene.objects.push_back(placedNull("stand", {2.3f * model, 0.0f, 2.4f * colour}, -1.0f));
            placeMoped(scene, model, colour, uint32_t(scene.objects.size() - 1), true);
        }
    return scene;
}

// One model large, seen from the front right.
LwsScene closeUp(int model) {
    LwsScene scene = room({2.4f, 1.6f, 2.0f}, -2.27f, 0.27f);
    scene.objects.push_back(placedNull("stand", {0.0f, 0.0f, 0.0f}, 0.0f));
    placeMoped(scene, model, model % mn::COLOURS, 1u, true);
    return scene;
}

class MopedPictures : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display: run under xvfb-run -a";
        const char* folder = std::getenv("PLIMZOR_PICTURES");
        m_out = std::string(folder ? folder : "pictures") + "/mopeds";
        std::filesystem::create_directories(m_out);
        ArchiveWriter writer;
        for (const MopedFile& file : mopedFiles()) writer.add(file.archiveName, file.bytes, 0);
        writer.add(FLOOR, floorObject(), 0);
        writer.add("showroom/lineup.lws", LwsWriter().write(lineUp()), 0);
        for (int model = 0; model < mn::MODELS; ++model)
            writer.add("showroom/model" + std::to_string(model) + ".lws", LwsWriter().write(closeUp(model)), 0);
        std::string error;
        ASSERT_TRUE(writer.write(m_dir.file("data.sar"), error)) << error;
    }

    struct Picture {
        int width = 0, height = 0;
        std::vector<uint8_t> rgb;
    };

    // Renders a scene of the archive into the pictures folder and reads it back.
    bool shoot(const std::string& scene, const std::string& name, double time, Picture& picture, int width = 960,
               int height = 720) {
        const std::string png = m_out + "/" + name + ".png";
        std::string command = std::string(SCENE_SHOT_PATH) + " " + m_dir.file("data.sar") + " '" + scene + "' " + png +
                              " --time " + std::to_string(time) + " --size " + std::to_string(width) + "x" +
                              std::to_string(height) + " 2>&1";
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
