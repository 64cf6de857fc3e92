#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Renders one camera of a scene file from an archive at one time through the
// GL device and saves the picture as PNG.
class SceneShot {
public:
    struct Options {
        std::string archive;
        std::string scene;
        std::string output;
        int camera = 0;
        // A camera of its own high over the track square instead of the scene's.
        bool top = false;
        double time = 0.0;
        uint32_t width = 640;
        uint32_t height = 480;
        // Actor tracks (motion mixer motions) played at full weight, by name.
        std::vector<std::string> tracks;
    };

    // Options from the command line; false with a message in `error`.
    static bool parse(const std::vector<std::string>& arguments, Options& options, std::string& error);
    // Renders and writes the picture; false with a message in `error`.
    // `frameMilliseconds` gets the time the last frame took.
    static bool run(const Options& options, double& frameMilliseconds, std::string& error);
    // Frames drawn before the shot: particles need a history, and lens flares
    // read the visibility the previous frame measured.
    static constexpr int WARM_UP_FRAMES = 30;
    // The square the view from above shows whole: x and z from -250 to 250, and a margin.
    static constexpr float TOP_VIEW_HALF_SIDE = 260.0f;
};
