#include "tools/guidata/GuiImagesets.h"

#include <cmath>
#include <functional>
#include <string>

#include "tools/guidata/ExtraIcons.h"
#include "tools/guidata/FlagPictures.h"
#include "tools/guidata/LogoPicture.h"
#include "tools/guidata/MenuBackgrounds.h"
#include "tools/guidata/MenuScenery.h"
#include "tools/guidata/RaceSigns.h"
#include "tools/guidata/TrackPictures.h"

namespace {

using scenery::AMBER;
using scenery::AMBER_DARK;
using scenery::AMBER_LIGHT;
using scenery::CREAM;
using scenery::GREYED_FACE;
using scenery::GREYED_RIM;
using scenery::INK;
using scenery::WHITE;
const uint32_t GREY = 0xFF707070;
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

// The message and question windows: a cream rim, the amber band of the
// menus' frames and a deep slate inside under the windows' white texts.
Canvas windowPicture() {
    Canvas c(64, 64);
    c.fillRoundedRect(0, 0, 64, 64, 14, CREAM);
    c.fillRoundedRect(3, 3, 58, 58, 11, INK);
    c.fillRoundedRect(5, 5, 54, 54, 9, AMBER);
    c.fillRoundedRect(11, 11, 42, 42, 4, INK);
    c.fillRoundedRect(13, 13, 38, 38, 3, scenery::SLATE);
    return c;
}

// The windows' buttons, in the face of the menus' round buttons with their dark ring.
Canvas buttonPicture(uint32_t face, uint32_t ring, bool shine) {
    Canvas c(32, 32);
    c.fillRoundedRect(0, 0, 32, 32, 10, ring);
    c.fillRoundedRect(3, 3, 26, 26, 7, face);
    if (shine) c.fillRoundedRect(6, 4, 20, 5, 2.5f, 0x40FFFFFF);
    return c;
}

// Edit boxes: light, with a dark ring, for dark letters.
Canvas editboxPicture(uint32_t face, uint32_t ring) {
    Canvas c(24, 24);
    c.fillRoundedRect(0, 0, 24, 24, 6, ring);
    c.fillRoundedRect(2, 2, 20, 20, 4, face);
    return c;
}

void addWindowPieces(ImagesetBuilder& set) {
    set.addSlices("Window", windowPicture(), 20);
    set.addSlices("Button", buttonPicture(AMBER, INK, true), 11);
    set.addSlices("ButtonHover", buttonPicture(AMBER_LIGHT, INK, true), 11);
    set.addSlices("ButtonPushed", buttonPicture(AMBER_DARK, INK, false), 11);
    set.addSlices("ButtonDisabled", buttonPicture(GREYED_FACE, GREYED_RIM, false), 11);
    set.addSlices("Editbox", editboxPicture(CREAM, INK), 8);
    set.addSlices("EditboxDisabled", editboxPicture(GREYED_FACE, GREYED_RIM), 8);
}

void addQuillfen(std::vector<ImagesetBuilder>& sets) {
    ImagesetBuilder set("Quillfen");
    set.add("GenericBrush", Canvas(8, 8, WHITE), 2);
    set.add("TransparentBrush", Canvas(8, 8, 0), 2);
    addWindowPieces(set);

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
    // The main menu's mode buttons: a ring round the mode's picture on the map.
    addButtonSet(set, "RoundedMiniButton", [](Canvas& c, uint32_t, uint32_t) { c.cutDisc(32, 32, 23); });
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

Canvas disc(int size, uint32_t argb) {
    Canvas c(size, size);
    c.fillDisc(size / 2.0f, size / 2.0f, size / 2.0f - 1, argb);
    return c;
}

void addScreens(std::vector<ImagesetBuilder>& sets, const TextPainter& bold) {
    for (ImagesetBuilder& set : menuBackgrounds(bold)) sets.push_back(std::move(set));

    ImagesetBuilder logo("logo");
    Canvas picture(1024, 512);
    paintLogo(picture, 512, 30, 1.0f, bold);
    scenery::streaks(picture, 540, 380, 240, 4, AMBER);
    scenery::moped(picture, 560, 470, 0.8f, 0xFFD8322A);
    logo.add("Logo", picture);
    sets.push_back(std::move(logo));

    for (ImagesetBuilder& set : trackPictures::imagesets()) sets.push_back(std::move(set));
    sets.push_back(flagImageset());
    sets.push_back(extrasImageset(bold));
    for (ImagesetBuilder& set : raceSigns(bold)) sets.push_back(std::move(set));

    ImagesetBuilder dots("Minimap_Objects");
    dots.add("Red", disc(16, 0xFFE02020));
    dots.add("Green", disc(16, 0xFF20C020));
    dots.add("Blue", disc(16, 0xFF2040E0));
    sets.push_back(std::move(dots));
}

} // namespace

std::vector<ImagesetBuilder> guiImagesets(const TextPainter& bold) {
    std::vector<ImagesetBuilder> sets;
    addQuillfen(sets);
    addScreens(sets, bold);
    for (ImagesetBuilder& set : sets) set.pack();
    return sets;
}
