#include "tools/guidata/MenuBackgrounds.h"

#include <cmath>
#include <string>

#include "tools/guidata/LogoPicture.h"
#include "tools/guidata/MenuScenery.h"

using namespace scenery;

namespace {

const int W = 1024, H = 768;

// A sunny morning: sky, clouds, far hills and a row of houses on the horizon.
void daylight(Canvas& c, int horizon, uint32_t skyTop, uint32_t skyBottom, uint32_t seed) {
    Dice dice(seed);
    sky(c, horizon + 12, skyTop, skyBottom);
    for (int i = 0; i < 5; ++i)
        cloud(c, float(dice.roll(40, 980)), float(dice.roll(40, horizon - 150)), float(dice.roll(30, 55)),
              0xE0FFFFFF);
    hills(c, float(horizon) + 10, 90, float(seed % 7), 0xFF9CC87A);
    houses(c, -20, W + 20, float(horizon) + 12, 0.7f, dice);
    c.fillRect(0, horizon + 12, W, H - horizon - 12, 0xFF86BC5E);
}

// The time trial and the single race share this screen: the preview, the
// track picture, and the laps plate at the bottom.
Canvas timeTrial(const TextPainter&) {
    Canvas c(W, H);
    daylight(c, 400, 0xFF4FA8E0, 0xFFD2EEFA, 11);
    road(c, 470, 150);
    chequer(c, 300, 476, 32, 144, 16);
    tree(c, 40, 470, 90);
    tree(c, 980, 470, 110);
    streaks(c, 650, 540, 180, 4, 0xB0FFFFFF);
    moped(c, 670, 606, 0.55f, 0xFF2A7AD8);
    plate(c, 252, 670, 210, 64);
    frame(c, 557, 54, 362, 272);
    previewWindow(c, 90, 22, 502, 353);
    return c;
}

void trophy(Canvas& canvas, float x, float y, float s) {
    // Painted on its own layer, so the handles' holes show what lies beneath.
    Canvas c(canvas.width(), canvas.height());
    const uint32_t gold = 0xFFF2C232, shade = 0xFFC8921A;
    c.fillEllipse(x, y + 250 * s, 90 * s, 14 * s, 0x50000000);
    c.fillRoundedRect(x - 70 * s, y + 200 * s, 140 * s, 44 * s, 6 * s, 0xFF5A3A22);
    c.fillRect(int(x - 16 * s), int(y + 130 * s), int(32 * s), int(75 * s), shade);
    c.fillEllipse(x, y + 135 * s, 40 * s, 14 * s, gold);
    // The cup with its handles.
    c.fillDisc(x - 78 * s, y + 40 * s, 34 * s, gold);
    c.cutDisc(x - 78 * s, y + 40 * s, 20 * s);
    c.fillDisc(x + 78 * s, y + 40 * s, 34 * s, gold);
    c.cutDisc(x + 78 * s, y + 40 * s, 20 * s);
    c.fillPolygon({{x - 85 * s, y - 10 * s}, {x + 85 * s, y - 10 * s}, {x + 60 * s, y + 90 * s}, {x + 20 * s, y + 125 * s},
                   {x - 20 * s, y + 125 * s}, {x - 60 * s, y + 90 * s}},
                  gold);
    c.fillEllipse(x, y - 10 * s, 85 * s, 16 * s, shade);
    c.fillPolygon({{x - 55 * s, y + 10 * s}, {x - 35 * s, y + 10 * s}, {x - 20 * s, y + 95 * s}, {x - 35 * s, y + 85 * s}},
                  0x80FFFFFF);
    canvas.paste(c, 0, 0);
}

void podium(Canvas& c, float x, float baseY, const TextPainter& bold) {
    const float steps[3][3] = {{x - 44, 130, 1}, {x - 132, 95, 2}, {x + 44, 70, 3}};
    const uint32_t colours[3] = {0xFFF2C232, 0xFFC8CDD2, 0xFFD08A4A};
    for (int i = 0; i < 3; ++i) {
        c.shadeRect(int(steps[i][0]) + 6, int(baseY - steps[i][1]) + 6, 88, int(steps[i][1]), 0x50000000);
        c.fillRect(int(steps[i][0]), int(baseY - steps[i][1]), 88, int(steps[i][1]), INK);
        c.fillRect(int(steps[i][0]) + 4, int(baseY - steps[i][1]) + 4, 80, int(steps[i][1]) - 4, colours[i]);
        bold.drawCentred(c, std::to_string(int(steps[i][2])), steps[i][0] + 44, baseY - steps[i][1] + 50, 44, WHITE,
                         3, INK);
    }
}

// One player against the others over all six tracks: cup, podium, and the six stops of the series.
Canvas championship(const TextPainter& bold) {
    Canvas c(W, H);
    daylight(c, 380, 0xFF3C8ED0, 0xFFF6DCA0, 23);
    road(c, 560, 120);
    // The series: six numbered stops along the road.
    for (int t = 0; t < 6; ++t) {
        const float x = 210 + t * 120.0f;
        c.fillRect(int(x) - 3, 470, 6, 90, INK);
        c.fillPolygon({{x + 3, 470}, {x + 60, 484}, {x + 3, 498}}, t == 5 ? 0xFF202020 : 0xFFD8322A);
        if (t == 5) chequer(c, int(x) + 3, 470, 24, 24, 8);
        c.fillDisc(x, 620, 26, INK);
        c.fillDisc(x, 620, 22, t == 5 ? 0xFFF2C232 : WHITE);
        bold.drawCentred(c, std::to_string(t + 1), x, 634, 38, INK);
    }
    trophy(c, 150, 175, 0.85f);
    podium(c, 874, 392, bold);
    previewWindow(c, 300, 22, 712, 353);
    return c;
}

void playerBadge(Canvas& c, float x, float y, const char* number, uint32_t colour, const TextPainter& bold) {
    c.fillDisc(x + 4, y + 6, 48, 0x50000000);
    c.fillDisc(x, y, 48, INK);
    c.fillDisc(x, y, 42, colour);
    c.fillDisc(x - 12, y - 14, 20, 0x30FFFFFF);
    bold.drawCentred(c, number, x, y + 26, 74, WHITE, 3, INK);
}

// Two players side by side: two previews with their numbers, the track, laps and mode plates.
Canvas splitscreen(const TextPainter& bold) {
    Canvas c(W, H);
    daylight(c, 330, 0xFF58B0E4, 0xFFD8F0FA, 37);
    road(c, 380, 130);
    streaks(c, 170, 432, 140, 3, 0xB0FFFFFF);
    moped(c, 190, 492, 0.42f, 0xFF2A7AD8);
    streaks(c, 440, 412, 120, 3, 0xB0FFFFFF);
    moped(c, 460, 472, 0.42f, 0xFFD8322A);
    tree(c, 40, 380, 80);
    plate(c, 252, 536, 160, 64);
    plate(c, 510, 672, 252, 64);
    frame(c, 571, 342, 290, 218);
    previewWindow(c, 150, 10, 472, 266);
    previewWindow(c, 559, 10, 881, 266);
    playerBadge(c, 75, 138, "1", 0xFF2A7AD8, bold);
    playerBadge(c, 950, 138, "2", 0xFFD8322A, bold);
    return c;
}

void monitor(Canvas& c, float x, float y, uint32_t paint, bool facingRight) {
    c.fillRect(int(x + 52), int(y + 100), 26, 30, 0xFF5A6068);
    c.fillRoundedRect(x + 25, y + 126, 80, 14, 5, 0xFF5A6068);
    c.fillRoundedRect(x, y, 130, 104, 8, INK);
    Canvas screen(118, 90);
    screen.fillGradient(0xFF3A8AD8, 0xFF9AD0F0);
    c.paste(screen, int(x + 6), int(y + 6));
    moped(c, facingRight ? x + 22 : x + 108, y + 84, 0.28f, paint, facingRight);
}

// The evening sky of the network screens.
void dusk(Canvas& c, int horizon, uint32_t seed) {
    Dice dice(seed);
    sky(c, horizon + 12, 0xFF2A3A78, 0xFFF0A070);
    stars(c, 40, horizon / 3, dice);
    for (int i = 0; i < 3; ++i)
        cloud(c, float(dice.roll(60, 960)), float(dice.roll(horizon / 3, horizon - 120)), float(dice.roll(30, 50)),
              0x90FFD8C0);
    hills(c, float(horizon) + 10, 80, float(seed % 5), 0xFF5A7A6A);
    houses(c, -20, W + 20, float(horizon) + 12, 0.7f, dice, true);
    c.fillRect(0, horizon + 12, W, H - horizon - 12, 0xFF4A6A48);
}

// Host a game or join one: two computers linked across the plate that holds the choice.
Canvas lanOption(const TextPainter&) {
    Canvas c(W, H);
    dusk(c, 470, 5);
    c.fillDisc(880, 90, 40, 0xFFF4F0D8);
    road(c, 560, 110);
    // The cable between the two computers, behind the plate.
    for (int x = 120; x < 900; x += 24) c.drawLine(float(x), 520, float(x) + 14, 520, 6, AMBER_LIGHT);
    monitor(c, 50, 380, 0xFFD8322A, true);
    monitor(c, 844, 380, 0xFF2A7AD8, false);
    plate(c, 232, 196, 490, 284);
    return c;
}

// The lobby: own preview and the host's track, laps and mode, and the table of players.
Canvas multiplayer(const TextPainter&) {
    Canvas c(W, H);
    dusk(c, 400, 9);
    road(c, 420, 110);
    plate(c, 184, 454, 180, 64);
    plate(c, 589, 454, 254, 64);
    // The players' table: one stripe per row of the lobby.
    plate(c, 168, 548, 690, 168);
    for (int i = 0; i < 5; ++i) c.fillRect(176, 558 + 30 * i, 674, 28, i % 2 ? 0xFFF6E6C0 : 0xFFFFF8E8);
    for (int x : {206, 476, 641}) c.shadeRect(x, 558, 2, 148, 0x40000000);
    frame(c, 557, 54, 361, 275);
    previewWindow(c, 90, 22, 512, 353);
    return c;
}

// Rays of light and confetti behind the tables of best times.
Canvas highscores(const TextPainter&) {
    Canvas c(W, H);
    c.fillGradient(0xFFFFD870, 0xFFE8902A);
    for (int ray = 0; ray < 18; ray += 2) {
        const float a0 = ray * 0.349f, a1 = a0 + 0.349f;
        c.fillTriangle(512, -200, 512 + 2000 * std::cos(a0), -200 + 2000 * std::sin(a0), 512 + 2000 * std::cos(a1),
                       -200 + 2000 * std::sin(a1), 0x28FFFFFF);
    }
    Dice dice(71);
    const uint32_t confetti[] = {0xFFD8322A, 0xFF2A7AD8, 0xFF3AA84A, 0xFFFFFFFF, 0xFF8A3AC8};
    for (int i = 0; i < 160; ++i) {
        const float x = float(dice.roll(0, W)), y = float(dice.roll(0, H)), a = dice.roll(0, 314) / 100.0f;
        c.drawLine(x, y, x + 10 * std::cos(a), y + 10 * std::sin(a), 5, confetti[dice.roll(0, 4)]);
    }
    trophy(c, 150, 22, 0.4f);
    trophy(c, 874, 22, 0.4f);
    plate(c, 300, 12, 424, 86);
    // The table: the heading row and ten rows 43 pixels apart.
    plate(c, 100, 120, 856, 486);
    c.fillRect(108, 128, 840, 42, 0xFFFFD070);
    for (int i = 0; i < 10; ++i) c.fillRect(108, 167 + 43 * i, 840, 38, i % 2 ? 0xFFF6E6C0 : 0xFFFFF8E8);
    return c;
}

void wrench(Canvas& c, float x0, float y0, float x1, float y1) {
    c.drawLine(x0, y0, x1, y1, 22, 0xFF9AA2AA);
    for (const auto& [x, y] : {std::pair{x0, y0}, std::pair{x1, y1}}) {
        c.fillDisc(x, y, 30, 0xFF9AA2AA);
        c.cutDisc(x + (x1 - x0) * 0.06f, y + (y1 - y0) * 0.06f, 14);
    }
}

void gear(Canvas& c, float x, float y, float r, uint32_t argb) {
    std::vector<Point> outline;
    for (int i = 0; i < 48; ++i) {
        const float a = i * 0.1309f, rr = (i / 3) % 2 ? r : r * 0.8f;
        outline.push_back({x + rr * std::cos(a), y + rr * std::sin(a)});
    }
    c.fillPolygon(outline, argb);
    c.cutDisc(x, y, r * 0.35f);
}

// A workshop wall with tools, and one plate for all the settings.
Canvas options(const TextPainter&) {
    Canvas c(W, H);
    c.fillGradient(0xFF5A7890, 0xFF34485A);
    for (int y = 20; y < H; y += 40)
        for (int x = 20 + (y / 40 % 2) * 20; x < W; x += 40) c.fillDisc(float(x), float(y), 4, 0x50000000);
    Canvas tools(W, H);
    wrench(tools, 50, 140, 130, 560);
    gear(tools, 940, 250, 70, 0xFFC8CDD2);
    gear(tools, 960, 390, 44, 0xFFE8A020);
    // A screwdriver: red handle, steel shaft.
    tools.drawLine(930, 470, 990, 600, 10, 0xFFC8CDD2);
    tools.drawLine(900, 404, 935, 480, 26, 0xFFD8322A);
    c.paste(tools, 0, 0);
    plate(c, 170, 86, 688, 506);
    for (int y : {192, 400, 486}) c.shadeRect(190, y, 648, 2, 0x40000000);
    c.shadeRect(514, 200, 2, 375, 0x40000000);
    return c;
}

// Night over the town: the credits roll up the dark sky.
Canvas credits(const TextPainter&) {
    Canvas c(W, H);
    Dice dice(3);
    sky(c, 700, 0xFF060A1C, 0xFF243060);
    stars(c, 220, 600, dice);
    c.fillDisc(860, 120, 52, 0xFFF4F0D8);
    c.fillDisc(884, 104, 46, 0xFF0A1024);
    houses(c, -20, W + 20, 700, 0.8f, dice, true);
    road(c, 700, 68);
    // A late rider heading home, lamp on.
    c.fillPolygon({{772, 730}, {960, 708}, {960, 766}}, 0x30FFF2B0);
    moped(c, 720, 764, 0.32f, 0xFF3AA84A);
    return c;
}

// The first screen: the game's name large, a road, and a dark strip under the six flags.
Canvas splash(const TextPainter& bold) {
    Canvas c(W, H);
    daylight(c, 470, 0xFF3C9EE0, 0xFFD8F0FA, 51);
    road(c, 530, 116);
    paintLogo(c, 512, 50, 1.0f, bold);
    streaks(c, 500, 548, 240, 5, 0xB0FFFFFF);
    moped(c, 520, 632, 0.8f, 0xFFD8322A);
    darkPanel(c, 50, 652, 924, 130);
    return c;
}

Canvas loadingScreen(const TextPainter& bold) {
    Canvas c(W, H);
    daylight(c, 470, 0xFF3C9EE0, 0xFFD8F0FA, 61);
    road(c, 520, 110);
    paintLogo(c, 512, 50, 1.0f, bold);
    streaks(c, 300, 550, 220, 4, 0xB0FFFFFF);
    moped(c, 320, 612, 0.6f, 0xFF2A7AD8);
    // The trough the progress bar grows in: 860 pixels from x 81, 25 high at y 678.
    c.fillRoundedRect(69, 666, 884, 49, 12, INK);
    c.fillRoundedRect(75, 672, 872, 37, 8, 0xFF101820);
    return c;
}

Canvas progressBar() {
    Canvas c(16, 25);
    c.fillGradient(AMBER_LIGHT, 0xFFC07810);
    c.shadeRect(0, 3, 16, 4, 0x60FFFFFF);
    return c;
}

// The main menu is a town map: the buttons are places on it, joined by roads.
struct Spot {
    float x, y;
};

void mapRoad(Canvas& c, const std::vector<Spot>& path) {
    for (size_t i = 0; i + 1 < path.size(); ++i) c.drawLine(path[i].x, path[i].y, path[i + 1].x, path[i + 1].y, 40, 0xFF9AA0A6);
    for (const Spot& s : path) c.fillDisc(s.x, s.y, 20, 0xFF9AA0A6);
    for (size_t i = 0; i + 1 < path.size(); ++i) c.drawLine(path[i].x, path[i].y, path[i + 1].x, path[i + 1].y, 32, 0xFFB8BEC4);
    for (const Spot& s : path) c.fillDisc(s.x, s.y, 16, 0xFFB8BEC4);
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        const float dx = path[i + 1].x - path[i].x, dy = path[i + 1].y - path[i].y, l = std::hypot(dx, dy);
        for (float t = 14; t + 14 < l; t += 30)
            c.drawLine(path[i].x + dx * t / l, path[i].y + dy * t / l, path[i].x + dx * (t + 14) / l,
                       path[i].y + dy * (t + 14) / l, 3, WHITE);
    }
}

// A house seen from above: its roof with the ridge along the longer side.
void roof(Canvas& c, float x, float y, float w, float h, uint32_t argb) {
    c.shadeRect(int(x) + 4, int(y) + 5, int(w), int(h), 0x40000000);
    c.fillRect(int(x), int(y), int(w), int(h), argb);
    if (w > h) c.fillRect(int(x), int(y + h / 2), int(w), int(h / 2), argb - 0x00181818);
    else c.fillRect(int(x + w / 2), int(y), int(w / 2), int(h), argb - 0x00181818);
}

// The five mode buttons of the main menu (90 x 90 at these corners) are
// rings; each mode's own picture lies on the map inside its ring.
struct ModeIcon {
    float x, y;
    void (*paint)(Canvas&, float cx, float cy);
};

void stopwatch(Canvas& c, float x, float y) {
    c.fillRect(int(x - 4), int(y - 25), 8, 7, WHITE);
    c.drawLine(x + 13, y - 16, x + 18, y - 21, 5, WHITE);
    c.fillDisc(x, y + 2, 19, WHITE);
    c.fillDisc(x, y + 2, 14, AMBER);
    c.drawLine(x, y + 2, x, y - 9, 3, WHITE);
    c.drawLine(x, y + 2, x + 8, y + 7, 3, WHITE);
    c.fillDisc(x, y + 2, 3, WHITE);
}

void chequeredFlag(Canvas& c, float x, float y) {
    c.drawLine(x - 17, y - 22, x - 17, y + 24, 4, WHITE);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 5; ++col)
            c.fillRect(int(x - 15 + col * 7), int(y - 22 + row * 7), 7, 7, (row + col) % 2 ? 0xFF202020 : WHITE);
}

void trophy(Canvas& c, float x, float y) {
    c.fillDisc(x - 14, y - 10, 8, WHITE);
    c.fillDisc(x + 14, y - 10, 8, WHITE);
    c.fillDisc(x - 14, y - 10, 4, AMBER);
    c.fillDisc(x + 14, y - 10, 4, AMBER);
    c.fillPolygon({{x - 14, y - 22}, {x + 14, y - 22}, {x + 10, y - 2}, {x + 3, y + 4}, {x - 3, y + 4}, {x - 10, y - 2}},
                  WHITE);
    c.fillRect(int(x - 3), int(y + 3), 6, 10, WHITE);
    c.fillRect(int(x - 12), int(y + 13), 24, 7, WHITE);
}

void helmet(Canvas& c, float x, float y, uint32_t shell) {
    c.fillDisc(x, y, 14, shell);
    c.fillRect(int(x - 14), int(y), 28, 11, shell);
    c.fillRoundedRect(x - 2, y - 4, 16, 8, 3, 0xFF30404E);
}

void twoHelmets(Canvas& c, float x, float y) {
    helmet(c, x - 9, y - 4, 0xFFD8322A);
    helmet(c, x + 9, y + 4, WHITE);
}

void network(Canvas& c, float x, float y) {
    const Point nodes[3] = {{x - 15, y + 12}, {x + 15, y + 12}, {x, y - 14}};
    for (int i = 0; i < 3; ++i) c.drawLine(nodes[i].x, nodes[i].y, nodes[(i + 1) % 3].x, nodes[(i + 1) % 3].y, 3, WHITE);
    for (const Point& n : nodes) {
        c.fillRoundedRect(n.x - 10, n.y - 8, 20, 14, 3, WHITE);
        c.fillRect(int(n.x - 7), int(n.y - 5), 14, 8, 0xFF2A7AD8);
    }
}

const ModeIcon MODE_ICONS[] = {{257, 528, stopwatch},     {48, 446, chequeredFlag}, {465, 585, trophy},
                               {882, 634, twoHelmets},    {674, 621, network}};

void modeIcons(Canvas& c) {
    for (const ModeIcon& icon : MODE_ICONS) {
        const float cx = icon.x + 45, cy = icon.y + 45;
        c.fillDisc(cx, cy, 33, AMBER);
        icon.paint(c, cx, cy);
    }
}

Canvas mainMenu(const TextPainter& bold) {
    Canvas c(W, H, 0xFFCFE6A6);
    // Fields of a slightly different green give the map some texture.
    c.fillRoundedRect(600, 300, 420, 260, 40, 0xFFC4DE98);
    c.fillRoundedRect(0, 560, 230, 208, 40, 0xFFC4DE98);
    // The park with its pond under the name.
    c.fillEllipse(250, 400, 120, 60, 0xFF7AB8E0);
    c.fillEllipse(236, 392, 80, 30, 0x40FFFFFF);
    Dice dice(91);
    for (int i = 0; i < 26; ++i) {
        const float x = float(dice.roll(40, 520)), y = float(dice.roll(300, 470));
        if (std::hypot((x - 250) / 140, (y - 400) / 80) < 1.0f) continue;
        c.fillDisc(x + 3, y + 4, 16, 0x40000000);
        c.fillDisc(x, y, 16, 0xFF4E9A46);
        c.fillDisc(x - 4, y - 4, 8, 0xFF6AB85A);
    }
    // A car park beside the park, and trees along its edge.
    c.fillRoundedRect(330, 180, 200, 96, 10, 0xFF9AA0A6);
    c.fillRoundedRect(334, 184, 192, 88, 8, 0xFFB8BEC4);
    for (int bay = 0; bay < 8; ++bay) {
        c.fillRect(344 + bay * 22, 188, 2, 30, WHITE);
        c.fillRect(344 + bay * 22, 238, 2, 30, WHITE);
    }
    const uint32_t cars[] = {0xFFD8322A, 0xFF2A7AD8, 0xFFF2C232, 0xFF3AA84A};
    for (int i = 0; i < 4; ++i) {
        const int bay = (i * 3) % 7, row = i % 2;
        c.fillRoundedRect(349 + bay * 22.0f, 192 + row * 50.0f, 14, 24, 4, cars[i]);
        c.fillRect(351 + bay * 22, 198 + row * 50, 10, 6, 0xFF30404E);
    }
    for (int i = 0; i < 8; ++i) {
        const float x = 60 + i * 34.0f, y = 190 + (i % 2) * 30.0f;
        c.fillDisc(x + 3, y + 4, 15, 0x40000000);
        c.fillDisc(x, y, 15, 0xFF4E9A46);
        c.fillDisc(x - 4, y - 4, 7, 0xFF6AB85A);
    }
    // Streets of houses in the free corners of the map.
    const uint32_t roofs[] = {0xFFC8553A, 0xFFA84A3A, 0xFF8A8A9A, 0xFFD06A44};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            roof(c, 640 + col * 78.0f, 320 + row * 70.0f, 52, 40, roofs[(row + col) % 4]);
    roof(c, 520, 460, 60, 40, 0xFFC8553A);
    // The roads: the race route along the bottom, and the street up to the high scores, credits and options.
    mapRoad(c, {{-30, 470}, {93, 491}, {200, 540}, {302, 573}, {400, 612}, {510, 630}, {610, 660}, {719, 666},
                {820, 690}, {927, 679}, {1060, 650}});
    mapRoad(c, {{610, 660}, {585, 440}, {640, 260}, {654, 92}, {654, -30}});
    mapRoad(c, {{640, 260}, {760, 210}, {800, 143}, {870, 175}, {946, 203}, {1060, 230}});
    // A start line on the route, and the name of the game over the park.
    chequer(c, 160, 486, 16, 48, 8);
    paintLogo(c, 290, 18, 0.56f, bold);
    modeIcons(c);
    return c;
}

} // namespace

std::vector<ImagesetBuilder> menuBackgrounds(const TextPainter& bold) {
    const std::pair<const char*, Canvas (*)(const TextPainter&)> screens[] = {
        {"main", mainMenu},
        {"splash", splash},
        {"TimeTrial", timeTrial},
        {"Championship", championship},
        {"Splitscreen", splitscreen},
        {"Multiplayer", multiplayer},
        {"LanOption", lanOption},
        {"Highscores", highscores},
        {"Options", options},
        {"Credits", credits},
        {"LoadingScreen", loadingScreen},
    };
    std::vector<ImagesetBuilder> sets;
    for (const auto& [name, paint] : screens) {
        ImagesetBuilder set(name);
        set.add("Background", paint(bold));
        if (std::string(name) == "LoadingScreen") set.add("Bar", progressBar(), 1);
        sets.push_back(std::move(set));
    }
    return sets;
}
