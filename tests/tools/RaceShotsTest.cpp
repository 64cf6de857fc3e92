#include <gtest/gtest.h>

#include <stb_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "sys/gfx/SurfaceImage.h"
#include "tests/support/RunTool.h"
#include "tools/guidata/TrackPictures.h"

// The in-race displays as a player sees them: race-run draws whole races in
// a 1024 x 768 window and takes pictures, which are checked by pixels where
// the displays' layout puts its windows.
namespace {

using sys::gfx::RgbImage;

constexpr int TRACK = 1;
constexpr float VIEW_HEIGHT = 384.0f;

struct Rect {
    float x, y, w, h;
};

// Where the pictures stay for a person to look at: $PLIMZOR_RACE_SHOTS, else
// "race-shots" in the working folder (build/tests under ctest); emptied first.
std::string pictureFolder(const std::string& run) {
    const char* chosen = std::getenv("PLIMZOR_RACE_SHOTS");
    const std::filesystem::path folder = std::filesystem::absolute(chosen ? chosen : "race-shots") / run;
    std::filesystem::remove_all(folder);
    return folder.string();
}

RgbImage load(const std::string& path) {
    RgbImage image;
    int w = 0, h = 0, channels = 0;
    stbi_uc* pixels = stbi_load(path.c_str(), &w, &h, &channels, 3);
    if (!pixels) return image;
    image.width = uint32_t(w);
    image.height = uint32_t(h);
    image.rgb.assign(pixels, pixels + size_t(w) * h * 3);
    stbi_image_free(pixels);
    return image;
}

const uint8_t* at(const RgbImage& image, int x, int y) { return &image.rgb[(size_t(y) * image.width + x) * 3]; }

bool inside(const RgbImage& image, int x, int y) {
    return x >= 0 && y >= 0 && x < int(image.width) && y < int(image.height);
}

double luminance(const uint8_t* p) { return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]; }

// Share of the pixels of `rect` that pass `test`.
template <typename Test>
double share(const RgbImage& image, Rect rect, Test test) {
    int passed = 0, count = 0;
    for (int y = int(std::ceil(rect.y)); y < int(rect.y + rect.h); ++y)
        for (int x = int(std::ceil(rect.x)); x < int(rect.x + rect.w); ++x) {
            if (!inside(image, x, y)) continue;
            ++count;
            passed += test(at(image, x, y)) ? 1 : 0;
        }
    return count ? double(passed) / count : 0.0;
}

bool nearWhite(const uint8_t* p) { return std::min({p[0], p[1], p[2]}) >= 190; }

// A translucent dark panel keeps the scene's shapes and dims them: the median
// brightness just inside its border over that just outside, taken where the
// outside is bright enough to tell; -1 with too few such places.
double borderDimming(const RgbImage& image, Rect rect) {
    const int left = int(std::lround(rect.x)), top = int(std::lround(rect.y));
    const int right = int(std::lround(rect.x + rect.w)), bottom = int(std::lround(rect.y + rect.h));
    std::vector<double> ratios;
    auto pair = [&](int xi, int yi, int xo, int yo) {
        if (!inside(image, xi, yi) || !inside(image, xo, yo)) return;
        const double out = luminance(at(image, xo, yo));
        if (out >= 40.0) ratios.push_back(luminance(at(image, xi, yi)) / out);
    };
    for (int x = left + 6; x < right - 6; ++x) {
        pair(x, top + 3, x, top - 4);
        pair(x, bottom - 4, x, bottom + 3);
    }
    for (int y = top + 6; y < bottom - 6; ++y) {
        pair(left + 3, y, left - 4, y);
        pair(right - 4, y, right + 3, y);
    }
    if (ratios.size() < 30) return -1.0;
    std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
    return ratios[ratios.size() / 2];
}

bool alike(uint32_t argb, const uint8_t* rgb) {
    for (int c = 0; c < 3; ++c)
        if (std::abs(int(rgb[c]) - int((argb >> (16 - 8 * c)) & 0xFF)) > 24) return false;
    return true;
}

// How well the map picture shows as a square of `size` at (x, y): the share
// of its opaque texels found at their place on the screen, counting only
// texels whose four neighbours are opaque and alike, so that filtering keeps
// their colour; 0 with too few such texels.
double mapShare(const RgbImage& image, const Canvas& map, float x, float y, float size) {
    const float scale = size / float(map.width());
    int found = 0, count = 0;
    for (int v = 1; v + 1 < map.height(); ++v)
        for (int u = 1; u + 1 < map.width(); ++u) {
            const uint32_t texel = map.pixel(u, v);
            bool flat = texel >> 24 == 0xFF;
            for (auto [du, dv] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                const uint32_t next = map.pixel(u + du, v + dv);
                const uint8_t rgb[3] = {uint8_t(next >> 16), uint8_t(next >> 8), uint8_t(next)};
                flat = flat && next >> 24 == 0xFF && alike(texel, rgb);
            }
            const int sx = int(x + (u + 0.5f) * scale), sy = int(y + (v + 0.5f) * scale);
            if (!flat || !inside(image, sx, sy)) continue;
            ++count;
            found += alike(texel, at(image, sx, sy)) ? 1 : 0;
        }
    return count >= 100 ? double(found) / count : 0.0;
}

// The map lies at its place (within two pixels: the flat texels sit inside
// the road, which is several pixels wide) when it shows well there and less
// well shifted by three to six pixels.
void expectMap(const RgbImage& image, const Canvas& map, float x, float y, float size) {
    const double here = mapShare(image, map, x, y, size);
    EXPECT_GT(here, 0.85) << "the mini map at " << x << "," << y;
    for (int dy = -6; dy <= 6; ++dy)
        for (int dx = -6; dx <= 6; ++dx)
            if (std::max(std::abs(dx), std::abs(dy)) >= 3) {
                EXPECT_LT(mapShare(image, map, x + dx, y + dy, size), here)
                    << "the mini map at " << x << "," << y << " shows better shifted by " << dx << "," << dy;
            }
}

// The first countdown picture, a red lamp in a dark rim (256 pixels across:
// glass radius 108, rim to 122), drawn `scale` times its size around (cx, cy).
struct Lamp {
    double red = 0.0; // share of red pixels in the glass
    double rim = 0.0; // share of dark pixels in the rim
};
Lamp lampAt(const RgbImage& image, float cx, float cy, float scale) {
    int red = 0, glass = 0, dark = 0, rim = 0;
    for (int y = int(cy - 125 * scale); y <= int(cy + 125 * scale); ++y)
        for (int x = int(cx - 125 * scale); x <= int(cx + 125 * scale); ++x) {
            if (!inside(image, x, y)) continue;
            const float r = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / scale;
            const uint8_t* p = at(image, x, y);
            if (r < 100.0f) {
                ++glass;
                red += p[0] >= 150 && p[1] < 110 && p[2] < 110 && p[0] - p[1] > 80 ? 1 : 0;
            } else if (r > 111.0f && r < 120.0f) {
                ++rim;
                dark += luminance(p) < 70.0 ? 1 : 0;
            }
        }
    return {glass ? double(red) / glass : 0.0, rim ? double(dark) / rim : 0.0};
}

// A frame window: share of the places along its border where the frame's
// edge (cream, or grey when disabled) shows within a few pixels, and share of
// its inside in the amber of its backdrop (or the blue of its buttons).
struct Frame {
    double edge = 0.0;
    double backdrop = 0.0;
};
Frame frameAt(const RgbImage& image, Rect rect) {
    auto edgeColour = [](const uint8_t* p) {
        const bool cream = p[0] > 220 && p[1] > 210 && p[2] > 170;
        const bool grey = std::min({p[0], p[1], p[2]}) >= 70 && std::max({p[0], p[1], p[2]}) <= 110 &&
                          std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}) < 15;
        return cream || grey;
    };
    const int left = int(rect.x), top = int(rect.y), right = int(rect.x + rect.w), bottom = int(rect.y + rect.h);
    int places = 0, edges = 0;
    auto look = [&](int x, int y, int dx, int dy) {
        ++places;
        for (int k = -2; k <= 2; ++k)
            if (inside(image, x + k * dx, y + k * dy) && edgeColour(at(image, x + k * dx, y + k * dy))) {
                ++edges;
                return;
            }
    };
    for (int x = left + 8; x < right - 8; ++x) {
        look(x, top + 1, 0, 1);
        look(x, bottom - 2, 0, 1);
    }
    for (int y = top + 8; y < bottom - 8; ++y) {
        look(left + 1, y, 1, 0);
        look(right - 2, y, 1, 0);
    }
    const double backdrop = share(image, {rect.x + 20, rect.y + 20, rect.w - 40, rect.h - 40}, [](const uint8_t* p) {
        const bool amber = p[0] > 190 && p[1] > 120 && p[1] < 170 && p[2] < 80;
        return amber || (p[2] >= p[0] && luminance(p) < 90.0);
    });
    return {places ? double(edges) / places : 0.0, backdrop};
}

// One view's panels: the lap and time panels dim the scene behind them, and
// the cells of the rows that show numbers hold white digits: lap and place,
// and the first `timeRows` time rows (race time, lap time).
void expectPanels(const RgbImage& image, float y0, int timeRows) {
    for (Rect panel : {Rect{10, 30 + y0, 218, 83}, Rect{692, 5 + y0, 328, 108}}) {
        const double dimming = borderDimming(image, panel);
        // -1: too dark around the panel to tell in this picture.
        if (dimming >= 0.0) {
            EXPECT_GT(dimming, 0.12) << "panel at " << panel.x << "," << panel.y;
            EXPECT_LT(dimming, 0.5) << "panel at " << panel.x << "," << panel.y;
        }
    }
    // Lap and position: "n / m" in three cells from x 165.
    for (float row : {40.0f, 70.0f})
        for (int cell : {0, 2})
            EXPECT_GT(share(image, {165.0f + 16 * cell, row + y0, 16, 30}, nearWhite), 0.05)
                << "lap panel row " << row << " cell " << cell;
    // Times: "mm:ss:hh" in eight cells from x 877, rows 30 apart.
    for (int row = 0; row < timeRows; ++row)
        for (int cell : {0, 1, 3, 4, 6, 7})
            EXPECT_GT(share(image, {877.0f + 16 * cell, 10.0f + 30 * row + y0, 16, 30}, nearWhite), 0.05)
                << "time panel row " << row << " cell " << cell;
}

std::string raceShot(int second) {
    char name[32];
    std::snprintf(name, sizeof name, "race-%03ds.png", second);
    return name;
}

// Rider 0's race time from race-run's summary; 0 when it did not finish.
float firstRiderTime(const std::string& output) {
    const size_t line = output.find("rider 0 ");
    const size_t at = line == std::string::npos ? line : output.find("race time ", line);
    return at == std::string::npos ? 0.0f : std::strtof(output.c_str() + at + 10, nullptr);
}

std::string stateHash(const std::string& output) {
    const size_t at = output.find("state hash ");
    return at == std::string::npos ? std::string() : output.substr(at + 11, 16);
}

class RaceShots : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display: run under xvfb-run -a";
    }
    // Runs race-run on the demo data with the arguments; its output.
    static std::string raceRun(const std::string& arguments) {
        std::string output;
        const int status = runTool(std::string(RACE_RUN_PATH) + " " DEMO_ARCHIVE_PATH " " + arguments, output);
        EXPECT_EQ(status, 0) << arguments << "\n" << output;
        return output;
    }
    static RgbImage picture(const std::string& folder, const std::string& name) {
        RgbImage image = load(folder + "/" + name);
        EXPECT_EQ(image.width, 1024u) << folder << "/" << name;
        EXPECT_EQ(image.height, 768u) << folder << "/" << name;
        return image;
    }
};

} // namespace

TEST_F(RaceShots, OneViewShowsPanelsMapCountdownAndTheResultWindow) {
    const std::string folder = pictureFolder("one-view");
    // Computer riders only, so the race finishes by itself; the view follows rider 0.
    const std::string race = "--track " + std::to_string(TRACK) + " --laps 1 --dt 0.1 --until-finished";
    const std::string shot = raceRun(race + " --render 1024x768 --shots " + folder);
    // The same race without window and pictures ends in the same state.
    EXPECT_EQ(stateHash(shot), stateHash(raceRun(race))) << "the pictures changed the race";
    EXPECT_FALSE(stateHash(shot).empty()) << shot;
    const float finished = firstRiderTime(shot);
    EXPECT_GT(finished, 30.0f) << shot;

    const Canvas map = trackPictures::minimap(TRACK + 1);
    const RgbImage countdown = picture(folder, "countdown.png");
    if (countdown.width != 1024) return;
    const Lamp lamp = lampAt(countdown, 512.0f, 144.0f, 307.2f / 256.0f);
    EXPECT_GT(lamp.red, 0.5) << "the countdown's lamp around (512,144)";
    EXPECT_GT(lamp.rim, 0.85) << "the countdown lamp's rim, 307.2 square";
    expectMap(countdown, map, 655.6f, 399.6f, 358.4f);
    expectPanels(countdown, 0.0f, 0);

    int racing = 0;
    for (int second = 5; std::filesystem::exists(folder + "/" + raceShot(second)); second += 5, ++racing) {
        SCOPED_TRACE(raceShot(second));
        const RgbImage image = picture(folder, raceShot(second));
        expectMap(image, map, 655.6f, 399.6f, 358.4f);
        // Once rider 0 has finished, its lap time shows dashes.
        expectPanels(image, 0.0f, float(second) < finished ? 2 : 1);
    }
    EXPECT_GE(racing, int(finished / 5.0f)) << "a picture every 5 s of the race";
    picture(folder, "finish.png");

    const RgbImage result = picture(folder, "race-result.png");
    if (result.width != 1024) return;
    const Frame frame = frameAt(result, {199.5f, 104.0f, 680.0f, 560.0f});
    EXPECT_GT(frame.edge, 0.8) << "the race result window's edge at (199.5,104), 680 x 560";
    EXPECT_GT(frame.backdrop, 0.6) << "the race result window's backdrop";
}

TEST_F(RaceShots, SplitScreenShowsEachViewsPanelsMapAndCountdown) {
    const std::string folder = pictureFolder("split-screen");
    // The two players sit at the start; the countdown and five seconds of race time are enough.
    raceRun("--riders 12ccc --track " + std::to_string(TRACK) + " --frames 100 --dt 0.1 --render 1024x768 --shots " +
            folder);
    const Canvas map = trackPictures::minimap(TRACK + 1);
    const RgbImage countdown = picture(folder, "countdown.png");
    const RgbImage racing = picture(folder, raceShot(5));
    if (countdown.width != 1024 || racing.width != 1024) return;
    for (int v = 0; v < 2; ++v) {
        SCOPED_TRACE("view " + std::to_string(v));
        const float y0 = VIEW_HEIGHT * v;
        const Lamp lamp = lampAt(countdown, 512.0f, 72.0f + y0, 153.6f / 256.0f);
        EXPECT_GT(lamp.red, 0.5);
        EXPECT_GT(lamp.rim, 0.85);
        expectPanels(countdown, y0, 0);
        expectPanels(racing, y0, 2);
        for (const RgbImage* image : {&countdown, &racing}) expectMap(*image, map, 758.0f, 118.0f + y0, 256.0f);
    }
}
