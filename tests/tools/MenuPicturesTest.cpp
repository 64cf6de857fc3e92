#include <stb_image.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "tests/tools/GuiDataSystem.h"

namespace {

// Every imageset the menu, the loading screen and the race load.
const char* const IMAGESETS[] = {
    "logo",         "splash",      "main",      "Championship",    "TimeTrial",       "Highscores",
    "Options",      "Credits",     "Multiplayer", "LanOption",     "Splitscreen",     "Tracks",
    "Tracks_mini",  "Tracks_Greyscale", "Flags", "LoadingScreen",  "Countdown",       "Minimap_Objects",
    "WrongDirection", "Extras",    "Minimap_Track01", "Minimap_Track02", "Minimap_Track03", "Minimap_Track04",
    "Minimap_Track05", "Minimap_Track06"};

// Every image a screen or a race display sets, as "imageset/image".
std::vector<std::string> imagesTheScreensSet() {
    std::vector<std::string> names = {"logo/Logo", "LoadingScreen/Bar", "Tracks/Championship",
                                      "Tracks_mini/Championship", "WrongDirection/FullImage", "Minimap_Objects/Red",
                                      "Minimap_Objects/Green", "Minimap_Objects/Blue", "Quillfen/GenericBrush",
                                      "Quillfen/TransparentBrush", "Quillfen/IconReady", "Quillfen/IconWaiting",
                                      "Quillfen/MouseArrow"};
    for (const char* screen : {"splash", "main", "TimeTrial", "Championship", "Splitscreen", "Multiplayer",
                               "LanOption", "Highscores", "Options", "Credits", "LoadingScreen"})
        names.push_back(std::string(screen) + "/Background");
    for (const char* button : {"OKButton", "BackButton", "UpArrow", "DownArrow", "LeftButton", "RightButton",
                               "RoundedMiniButton", "OffButton", "HighscoreButton", "OptionsButton", "CreditsButton"})
        for (const char* state : {"", "Hover", "Disabled"}) names.push_back(std::string("Quillfen/") + button + state);
    for (int t = 1; t <= 6; ++t) {
        for (const char* set : {"Tracks/", "Tracks_mini/", "Tracks_Greyscale/"})
            names.push_back(set + std::string("Track") + std::to_string(t));
        names.push_back("Minimap_Track0" + std::to_string(t) + "/Minimap");
    }
    for (const char* flag : {"DE", "EN", "FR", "SP", "IT", "RU"})
        for (const char* state : {"_Normal", "_Hover"}) names.push_back(std::string("Flags/Flag") + flag + state);
    for (int n = 1; n <= 4; ++n) names.push_back("Countdown/Count" + std::to_string(n));
    for (int kind = 0; kind <= 12; ++kind) names.push_back("Extras/Extra" + std::to_string(kind));
    return names;
}

struct Rect {
    float x, y, w, h;
};

// The 3D previews the menu draws under each screen's picture, by background;
// screens that share a background are listed apart, since only one shows at a time.
struct Previews {
    const char* imageset;
    std::vector<std::vector<Rect>> screens;
};

const Previews PREVIEWS[] = {
    {"TimeTrial", {{{90, 22, 412, 331.5f}}, {{90, 22, 421, 331.5f}}}},
    {"Championship", {{{300, 22, 412, 331.5f}}}},
    {"Multiplayer", {{{90, 22, 422, 331.5f}}}},
    {"Splitscreen", {{{150, 10, 322, 256.5f}, {559, 10, 322, 256.5f}}}},
    {"main", {}}, {"splash", {}}, {"LanOption", {}}, {"Highscores", {}}, {"Options", {}}, {"Credits", {}},
    {"LoadingScreen", {}},
};

bool covers(const Rect& r, int x, int y) { return x >= r.x && y >= r.y && x + 1 <= r.x + r.w && y + 1 <= r.y + r.h; }
bool touches(const Rect& r, int x, int y) { return x + 1 > r.x && y + 1 > r.y && x < r.x + r.w && y < r.y + r.h; }

// A decoded picture sheet of the data set.
class Sheet {
public:
    explicit Sheet(const std::string& png) {
        m_rgba.reset(stbi_load_from_memory(reinterpret_cast<const unsigned char*>(png.data()), int(png.size()), &m_width,
                                           &m_height, nullptr, 4));
    }
    bool valid() const { return m_rgba != nullptr; }
    unsigned alpha(int x, int y) const { return m_rgba.get()[(size_t(y) * m_width + x) * 4 + 3]; }

private:
    struct Free {
        void operator()(unsigned char* p) const { stbi_image_free(p); }
    };
    std::unique_ptr<unsigned char, Free> m_rgba;
    int m_width = 0, m_height = 0;
};

std::string fileBytes(const std::string& name) {
    for (const GuiFile& f : menuDataFiles())
        if (f.archiveName == "D:\\Vantorik\\menu\\" + name) return f.bytes;
    return "";
}

struct Area {
    int x = 0, y = 0, w = 0, h = 0;
};

// Where an image lies on its sheet, as its imageset file says.
Area imageArea(const std::string& set, const std::string& image) {
    const std::string xml = fileBytes(set + ".imageset");
    const std::regex entry("<Image name=\"" + image +
                           "\" xPos=\"(\\d+)\" yPos=\"(\\d+)\" width=\"(\\d+)\" height=\"(\\d+)\"");
    std::smatch m;
    if (!std::regex_search(xml, m, entry)) return {};
    return {std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4])};
}

class MenuPictures : public GuiDataSystem {
protected:
    void SetUp() override {
        GuiDataSystem::SetUp();
        for (const char* set : IMAGESETS)
            loadImageset(m_gui, CEGUI::String(set) + ".imageset");
    }
};

} // namespace

TEST_F(MenuPictures, EveryImageTheScreensAndDisplaysSetIsDefined) {
    for (const std::string& name : imagesTheScreensSet())
        EXPECT_TRUE(CEGUI::ImageManager::getSingleton().isDefined(name)) << name;
    EXPECT_EQ(m_logger->m_errors, "");
}

TEST_F(MenuPictures, BackgroundsCoverTheScreenAndLeaveThePreviewsClear) {
    for (const Previews& p : PREVIEWS) {
        const CEGUI::Sizef size =
            CEGUI::ImageManager::getSingleton().get(std::string(p.imageset) + "/Background").getRenderedSize();
        ASSERT_EQ(size, CEGUI::Sizef(1024, 768)) << p.imageset;
        const Area area = imageArea(p.imageset, "Background");
        const Sheet sheet(fileBytes(std::string(p.imageset) + ".png"));
        ASSERT_TRUE(sheet.valid()) << p.imageset;
        int clear = 0, opaque = 0;
        for (int y = 0; y < 768; ++y)
            for (int x = 0; x < 1024; ++x) {
                // Clear where every screen on this picture draws its preview, whole where none does.
                bool underEvery = !p.screens.empty(), underAny = false;
                for (const std::vector<Rect>& screen : p.screens) {
                    bool covered = false;
                    for (const Rect& r : screen) {
                        covered = covered || covers(r, x, y);
                        underAny = underAny || touches(r, x, y);
                    }
                    underEvery = underEvery && covered;
                }
                const unsigned a = sheet.alpha(area.x + x, area.y + y);
                if (underEvery) {
                    ASSERT_EQ(a, 0u) << p.imageset << " at " << x << ", " << y;
                    ++clear;
                } else if (!underAny) {
                    ASSERT_EQ(a, 255u) << p.imageset << " at " << x << ", " << y;
                    ++opaque;
                }
            }
        EXPECT_GT(opaque, 1024 * 768 / 2) << p.imageset;
        if (!p.screens.empty()) {
            EXPECT_GT(clear, 250 * 250) << p.imageset;
        }
    }
}

TEST_F(MenuPictures, HeldExtrasHaveAPictureAndNoExtraIsClear) {
    const Sheet sheet(fileBytes("Extras.png"));
    ASSERT_TRUE(sheet.valid());
    for (int kind = 0; kind <= 12; ++kind) {
        const Area area = imageArea("Extras", "Extra" + std::to_string(kind));
        int painted = 0;
        for (int y = area.y; y < area.y + area.h; ++y)
            for (int x = area.x; x < area.x + area.w; ++x) painted += sheet.alpha(x, y) > 0;
        // Kind 0 is no extra, and 8 and 9 are never handed out.
        const bool none = kind == 0 || kind == 8 || kind == 9;
        EXPECT_EQ(painted > 100 * 100, !none) << kind;
        if (none) {
            EXPECT_EQ(painted, 0) << kind;
        }
    }
}
