#include "tools/demodata/mopeds/MopedNames.h"

namespace MopedNames {
namespace {

// Folder and file stem of each model's objects, and the stem of its race scenes.
constexpr const char* FOLDER[MODELS] = {"hercules", "kreidler", "roller1", "vespa", "yamaha_dt_50m"};
constexpr const char* SCENE_STEM[MODELS] = {"hercules", "kreidler", "roller", "vespa", "yamaha"};

} // namespace

std::string mopedObject(int model, int colour) {
    return std::string("D:\\Vantorik/3dobjects_cars/") + FOLDER[model] + "/" + MODEL[model] + "_" + COLOUR[colour] +
           ".lwo";
}

std::string farMopedObject(int model, int colour, int layer) {
    const char* part = layer == FRONT_WHEEL_LAYER ? "_fern_vorn" : layer == REAR_WHEEL_LAYER ? "_fern_hinten" : "_fern";
    std::string name = mopedObject(model, colour);
    return name.substr(0, name.size() - 4) + part + ".lwo";
}

std::string mopedScene(int model, int colour) {
    return std::string("D:\\Vantorik\\3dobjects_cars\\") + SCENE_STEM[model] + "_" + COLOUR[colour] + ".lws";
}

std::string previewScene(int model, int colour) {
    return std::string("D:\\Vantorik/menu/car_select/carselect_") + MODEL[model] + "_" + COLOUR[colour] + ".lws";
}

std::string riderObject(int rider) {
    return "D:\\Vantorik/3dobjects_cars/fahrer/fahrer_" + std::to_string(rider) + ".lwo";
}

std::string settingsFile(int model) { return "D:\\Vantorik\\carsettings_" + std::to_string(model) + ".dat"; }

} // namespace MopedNames
