#include "tools/guidata/GuiImagesets.h"

#include <cmath>
#include <functional>
#include <string>

namespace {

const uint32_t AMBER = 0xFFE8A020;
const uint32_t AMBER_LIGHT = 0xFFFFC860;
const uint32_t GREY = 0xFF707070;
const uint32_t WHITE = 0xFFFFFFFF;
const uint32_t BLACK = 0xFF000000;

// Paints in `ink` on a disc of `face`.
using Glyph = std::function<void(Canvas&, uint32_t ink, uint32_t face)>;

// A round picture button: a disc in the state's colour with a white glyph on it.
Canvas roundButton(const Glyph& glyph, uint32_t face) {
    Canvas c(64, 64);
    c.fillDisc(32, 32, 31, 0xFF202020);
    c.fillDisc(32, 32, 28, face);
    glyph(c, face == GREY ? 0xFFC0C0C0 : WHITE, face);
    return c;
}

void addButtonSet(ImagesetBuilder& set, const std::string& name, const Glyph& glyph) {
    set.add(name, roundButton(glyph, AMBER));
    set.add(name + "Hover", roundButton(glyph, AMBER_LIGHT));
    set.add(name + "Disabled", roundButton(glyph, GREY));
}

void addQuillfen(std::vector<ImagesetBuilder>& sets) {
    ImagesetBuilder set("Quillfen");
    set.add("GenericBrush", Canvas(8, 8, WHITE), 2);
    set.add("TransparentBrush", Canvas(8, 8, 0), 2);

    Canvas arrow(20, 28);
    arrow.fillTriangle(0, 0, 0, 26, 18, 18, BLACK);
    arrow.fillTriangle(2, 5, 2, 21, 13, 16, WHITE);
    arrow.drawLine(8, 18, 13, 27, 4, BLACK);
    set.add("MouseArrow", arrow);

    Canvas ready(32, 32), waiting(32, 32);
    ready.fillDisc(16, 16, 14, 0xFF30C040);
    ready.drawLine(9, 16, 14, 22, 4, WHITE);
    ready.drawLine(14, 22, 24, 10, 4, WHITE);
    waiting.fillDisc(16, 16, 14, 0xFFC04030);
    waiting.fillRect(14, 8, 4, 10, WHITE);
    waiting.fillRect(14, 21, 4, 4, WHITE);
    set.add("IconReady", ready);
    set.add("IconWaiting", waiting);

    addButtonSet(set, "OKButton", [](Canvas& c, uint32_t ink, uint32_t) {
        c.drawLine(18, 33, 28, 44, 7, ink);
        c.drawLine(28, 44, 47, 21, 7, ink);
    });
    addButtonSet(set, "BackButton", [](Canvas& c, uint32_t ink, uint32_t) {
        c.fillTriangle(14, 32, 32, 16, 32, 48, ink);
        c.fillRect(30, 27, 20, 10, ink);
    });
    addButtonSet(set, "UpArrow", [](Canvas& c, uint32_t ink, uint32_t) { c.fillTriangle(32, 16, 48, 42, 16, 42, ink); });
    addButtonSet(set, "DownArrow", [](Canvas& c, uint32_t ink, uint32_t) { c.fillTriangle(16, 22, 48, 22, 32, 48, ink); });
    addButtonSet(set, "LeftButton", [](Canvas& c, uint32_t ink, uint32_t) { c.fillTriangle(16, 32, 42, 16, 42, 48, ink); });
    addButtonSet(set, "RightButton", [](Canvas& c, uint32_t ink, uint32_t) { c.fillTriangle(48, 32, 22, 48, 22, 16, ink); });
    addButtonSet(set, "RoundedMiniButton", [](Canvas& c, uint32_t ink, uint32_t) { c.fillDisc(32, 32, 10, ink); });
    addButtonSet(set, "OffButton", [](Canvas& c, uint32_t ink, uint32_t) {
        // The power sign: a ring open at the top, and a bar through the gap.
        for (int step = 0; step < 28; ++step) {
            const float a0 = 0.7f + step * 0.175f, a1 = a0 + 0.2f;
            c.drawLine(32 + 15 * std::sin(a0), 34 - 15 * std::cos(a0), 32 + 15 * std::sin(a1), 34 - 15 * std::cos(a1),
                       5, ink);
        }
        c.fillRect(29, 12, 6, 22, ink);
    });
    addButtonSet(set, "HighscoreButton", [](Canvas& c, uint32_t ink, uint32_t) {
        c.fillRect(17, 32, 8, 14, ink);
        c.fillRect(28, 20, 8, 26, ink);
        c.fillRect(39, 27, 8, 19, ink);
    });
    addButtonSet(set, "OptionsButton", [](Canvas& c, uint32_t ink, uint32_t face) {
        c.drawLine(32, 14, 32, 50, 8, ink);
        c.drawLine(14, 32, 50, 32, 8, ink);
        c.drawLine(19, 19, 45, 45, 8, ink);
        c.drawLine(45, 19, 19, 45, 8, ink);
        c.fillDisc(32, 32, 7, face);
    });
    addButtonSet(set, "CreditsButton", [](Canvas& c, uint32_t ink, uint32_t) {
        c.fillDisc(32, 18, 5, ink);
        c.fillRect(28, 27, 8, 20, ink);
    });
    sets.push_back(std::move(set));
}

Canvas background(uint32_t top, uint32_t bottom) {
    Canvas c(128, 96);
    c.fillGradient(top, bottom);
    c.fillRect(0, 70, 128, 4, 0x60FFFFFF);
    return c;
}

// A track picture: the country in its colour with a grey road and white dashes across.
Canvas trackPicture(uint32_t ground, int index) {
    Canvas c(96, 72, ground);
    const float y = 20.0f + 5.0f * index;
    c.drawLine(0, y, 96, 72 - y, 14, 0xFF505050);
    for (int x = 4; x < 96; x += 16) c.drawLine(float(x), y + (72 - 2 * y) * x / 96.0f, x + 8.0f,
                                                  y + (72 - 2 * y) * (x + 8) / 96.0f, 2, WHITE);
    return c;
}

// Seven-segment digit on a dark square, for the start countdown.
Canvas digit(int value) {
    static const unsigned SEGMENTS[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    Canvas c(128, 128);
    c.fillDisc(64, 64, 62, 0xC0000000);
    const unsigned on = SEGMENTS[value];
    const float l = 40, r = 88, t = 24, m = 64, b = 104, w = 12;
    const float lines[7][4] = {{l, t, r, t}, {r, t, r, m}, {r, m, r, b}, {l, b, r, b}, {l, m, l, b}, {l, t, l, m}, {l, m, r, m}};
    for (int s = 0; s < 7; ++s)
        if (on & (1u << s)) c.drawLine(lines[s][0], lines[s][1], lines[s][2], lines[s][3], w, AMBER_LIGHT);
    return c;
}

Canvas disc(int size, uint32_t argb) {
    Canvas c(size, size);
    c.fillDisc(size / 2.0f, size / 2.0f, size / 2.0f - 1, argb);
    return c;
}

struct Stripes {
    const char* code;
    bool vertical;
    uint32_t colours[3];
};

Canvas flag(const Stripes& s, bool hover) {
    Canvas c(60, 40);
    for (int i = 0; i < 3; ++i) {
        if (s.vertical) c.fillRect(i * 20, 0, 20, 40, s.colours[i]);
        else c.fillRect(0, i * 40 / 3, 60, 40 / 3 + 1, s.colours[i]);
    }
    if (hover) c.frameRect(0, 0, 60, 40, 3, AMBER_LIGHT);
    return c;
}

void addScreens(std::vector<ImagesetBuilder>& sets) {
    const std::pair<const char*, uint32_t> screens[] = {
        {"main", 0xFF2A4A6A},      {"splash", 0xFF203040},    {"Championship", 0xFF5A3A20},
        {"TimeTrial", 0xFF204A30}, {"Highscores", 0xFF4A2050}, {"Options", 0xFF304050},
        {"Credits", 0xFF402030},   {"Multiplayer", 0xFF20405A}, {"LanOption", 0xFF2A3A5A},
        {"Splitscreen", 0xFF4A4020}, {"LoadingScreen", 0xFF181818}};
    for (const auto& [name, colour] : screens) {
        ImagesetBuilder set(name);
        set.add("Background", background(colour, 0xFF080808));
        if (std::string(name) == "LoadingScreen") set.add("Bar", Canvas(8, 8, AMBER), 2);
        sets.push_back(std::move(set));
    }

    ImagesetBuilder logo("logo");
    Canvas picture(256, 128);
    picture.fillRect(8, 24, 240, 80, 0xE0182838);
    picture.frameRect(8, 24, 240, 80, 4, AMBER);
    picture.fillDisc(60, 64, 26, AMBER);
    picture.fillDisc(196, 64, 26, AMBER);
    picture.drawLine(60, 64, 196, 64, 10, AMBER);
    logo.add("Logo", picture);
    sets.push_back(std::move(logo));

    const uint32_t grounds[7] = {0xFF607080, 0xFF806050, 0xFF3A7A3A, 0xFF707070, 0xFF8A6A4A, 0xFF6A8A3A, 0xFF8A7A30};
    ImagesetBuilder tracks("Tracks"), mini("Tracks_mini"), grey("Tracks_Greyscale");
    for (int t = 0; t < 7; ++t) {
        const std::string name = t < 6 ? "Track" + std::to_string(t + 1) : "Championship";
        const Canvas picture = trackPicture(grounds[t], t);
        tracks.add(name, picture);
        mini.add(name, picture);
        grey.add(name, picture.greyscale());
    }
    sets.push_back(std::move(tracks));
    sets.push_back(std::move(mini));
    sets.push_back(std::move(grey));

    ImagesetBuilder flags("Flags");
    const Stripes stripes[] = {{"DE", false, {BLACK, 0xFFDD0000, 0xFFFFCE00}},
                               {"EN", false, {WHITE, 0xFFC8102E, WHITE}},
                               {"FR", true, {0xFF002395, WHITE, 0xFFED2939}},
                               {"SP", false, {0xFFAA151B, 0xFFF1BF00, 0xFFAA151B}},
                               {"IT", true, {0xFF009246, WHITE, 0xFFCE2B37}},
                               {"RU", false, {WHITE, 0xFF0039A6, 0xFFD52B1E}}};
    for (const Stripes& s : stripes) {
        flags.add(std::string("Flag") + s.code + "_Normal", flag(s, false));
        flags.add(std::string("Flag") + s.code + "_Hover", flag(s, true));
    }
    sets.push_back(std::move(flags));

    // The race shows Count1 first: three, two, one, then the green light.
    ImagesetBuilder countdown("Countdown");
    for (int n = 1; n <= 3; ++n) countdown.add("Count" + std::to_string(n), digit(4 - n));
    countdown.add("Count4", disc(128, 0xFF30C040));
    sets.push_back(std::move(countdown));

    ImagesetBuilder wrongWay("WrongDirection");
    Canvas sign = disc(128, 0xFFD02020);
    sign.fillRect(24, 54, 80, 20, WHITE);
    wrongWay.add("FullImage", sign);
    sets.push_back(std::move(wrongWay));

    ImagesetBuilder dots("Minimap_Objects");
    dots.add("Red", disc(16, 0xFFE02020));
    dots.add("Green", disc(16, 0xFF20C020));
    dots.add("Blue", disc(16, 0xFF2040E0));
    sets.push_back(std::move(dots));

    for (int t = 0; t < 6; ++t) {
        ImagesetBuilder map("Minimap_Track0" + std::to_string(t + 1));
        Canvas m(128, 128, 0x80000000);
        m.frameRect(12 + 4 * t, 12 + 2 * t, 104 - 8 * t, 104 - 4 * t, 6, 0xFFC0C0C0);
        map.add("Minimap", m);
        sets.push_back(std::move(map));
    }
}

} // namespace

std::vector<ImagesetBuilder> guiImagesets() {
    std::vector<ImagesetBuilder> sets;
    addQuillfen(sets);
    addScreens(sets);
    for (ImagesetBuilder& set : sets) set.pack();
    return sets;
}
