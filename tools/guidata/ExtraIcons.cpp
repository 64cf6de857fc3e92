#include "tools/guidata/ExtraIcons.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "tools/guidata/MenuScenery.h"
#include "sys/Pi.h"

using namespace scenery;

namespace {

// Every icon stands on the same dark rounded badge, so it reads over any track.
Canvas badge() {
    Canvas c(128, 128);
    c.fillRoundedRect(6, 8, 118, 118, 22, 0x60000000);
    c.fillRoundedRect(2, 2, 118, 118, 22, INK);
    c.fillRoundedRect(6, 6, 110, 110, 18, 0xFF2C4560);
    c.fillRoundedRect(6, 6, 110, 50, 18, 0x20FFFFFF);
    return c;
}

std::vector<Point> turned(std::vector<Point> pts, float cx, float cy, float angle) {
    for (Point& p : pts) {
        const float dx = p.x - cx, dy = p.y - cy;
        p = {cx + dx * std::cos(angle) - dy * std::sin(angle), cy + dx * std::sin(angle) + dy * std::cos(angle)};
    }
    return pts;
}

Canvas protection() {
    Canvas c = badge();
    const std::vector<Point> shield = {{61, 18}, {98, 30}, {94, 70}, {61, 104}, {28, 70}, {24, 30}};
    c.fillPolygon(shield, WHITE);
    c.fillPolygon({{61, 25}, {91, 35}, {88, 68}, {61, 96}, {34, 68}, {31, 35}}, 0xFF3A8AE0);
    c.fillPolygon({{61, 25}, {61, 96}, {34, 68}, {31, 35}}, 0x30FFFFFF);
    // A star on the shield.
    std::vector<Point> star;
    for (int i = 0; i < 10; ++i) {
        const float a = -PI / 2 + i * PI / 5, r = i % 2 ? 9.0f : 22.0f;
        star.push_back({61 + r * std::cos(a), 60 + r * std::sin(a)});
    }
    c.fillPolygon(star, 0xFFFFE060);
    return c;
}

Canvas mine() {
    Canvas c = badge();
    for (int i = 0; i < 8; ++i) {
        const float a = i * PI / 4;
        c.drawLine(61 + 20 * std::cos(a), 66 + 20 * std::sin(a), 61 + 40 * std::cos(a), 66 + 40 * std::sin(a), 7,
                   0xFF9AA2AA);
        c.fillDisc(61 + 40 * std::cos(a), 66 + 40 * std::sin(a), 5, 0xFF9AA2AA);
    }
    c.fillDisc(61, 66, 32, 0xFF14181C);
    c.fillDisc(52, 56, 10, 0x40FFFFFF);
    c.fillDisc(61, 66, 9, 0xFFFF3A2A);
    c.fillDisc(59, 64, 3, 0xC0FFFFFF);
    return c;
}

// Four arrows pointing in at a small dot.
Canvas shrinker() {
    Canvas c = badge();
    c.fillDisc(61, 61, 44, 0xFFB03AC8);
    for (int i = 0; i < 4; ++i) {
        const float a = i * PI / 2 + PI / 4;
        c.fillPolygon(turned({{61 + 12, 61}, {61 + 26, 49}, {61 + 26, 73}}, 61, 61, a), WHITE);
        c.drawLine(61 + 24 * std::cos(a), 61 + 24 * std::sin(a), 61 + 40 * std::cos(a), 61 + 40 * std::sin(a), 8,
                   WHITE);
    }
    c.fillDisc(61, 61, 6, WHITE);
    return c;
}

Canvas froster() {
    Canvas c = badge();
    const uint32_t ice = 0xFFBFEAFF;
    for (int i = 0; i < 6; ++i) {
        const float a = i * PI / 3 - PI / 2;
        const float ex = 61 + 44 * std::cos(a), ey = 61 + 44 * std::sin(a);
        c.drawLine(61, 61, ex, ey, 7, ice);
        // Two twigs on each arm.
        for (float at : {0.45f, 0.75f}) {
            const float bx = 61 + 44 * at * std::cos(a), by = 61 + 44 * at * std::sin(a);
            for (float side : {-1.0f, 1.0f})
                c.drawLine(bx, by, bx + 14 * std::cos(a + side * 0.8f), by + 14 * std::sin(a + side * 0.8f), 5, ice);
        }
    }
    c.fillDisc(61, 61, 9, WHITE);
    return c;
}

Canvas boost() {
    Canvas c = badge();
    for (int k = 0; k < 2; ++k) {
        const float x = 30 + k * 30.0f;
        c.fillPolygon({{x, 26}, {x + 22, 26}, {x + 52, 61}, {x + 22, 96}, {x, 96}, {x + 30, 61}},
                      k ? 0xFFFFD040 : 0xFFFF8A20);
    }
    return c;
}

Canvas magnet() {
    Canvas c = badge();
    // A horseshoe open at the top: the right leg down, round the outer bend, up the left leg,
    // then back round the inner bend.
    auto bend = [](std::vector<Point>& pts, float radius, bool leftward) {
        for (int i = 0; i <= 16; ++i) {
            const float a = PI * (leftward ? i : 16 - i) / 16;
            pts.push_back({61 + radius * std::cos(a), 62 + radius * std::sin(a)});
        }
    };
    std::vector<Point> outline = {{99, 24}};
    bend(outline, 38, true);
    outline.push_back({23, 24});
    outline.push_back({45, 24});
    bend(outline, 16, false);
    outline.push_back({77, 24});
    c.fillPolygon(outline, 0xFFE03030);
    c.fillRect(23, 22, 22, 16, 0xFFD8DDE2);
    c.fillRect(77, 22, 22, 16, 0xFFD8DDE2);
    c.shadeRect(27, 44, 6, 18, 0x50FFFFFF);
    return c;
}

Canvas rocket() {
    Canvas c = badge();
    const float angle = PI / 4; // nose to the upper right
    c.fillPolygon(turned({{50, 84}, {61, 84}, {56, 108}}, 61, 61, angle), 0xFFFFB030);
    c.fillPolygon(turned({{53, 84}, {58, 84}, {56, 98}}, 61, 61, angle), 0xFFFFF0A0);
    c.fillPolygon(turned({{46, 60}, {36, 86}, {50, 80}}, 61, 61, angle), 0xFFD8322A);
    c.fillPolygon(turned({{66, 60}, {76, 86}, {62, 80}}, 61, 61, angle), 0xFFD8322A);
    c.fillPolygon(turned({{46, 40}, {66, 40}, {66, 84}, {46, 84}}, 61, 61, angle), 0xFFEDEFF2);
    c.fillPolygon(turned({{46, 40}, {66, 40}, {56, 14}}, 61, 61, angle), 0xFFD8322A);
    c.fillDisc(56 + 6, 54 - 5, 6, 0xFF3A8AE0);
    return c;
}

Canvas weight(const TextPainter& bold) {
    Canvas c = badge();
    c.fillDisc(61, 34, 15, 0xFFA8B0B8);
    c.fillDisc(61, 34, 7, 0xFF2C4560);
    c.fillPolygon({{36, 44}, {86, 44}, {102, 102}, {20, 102}}, 0xFFA8B0B8);
    c.fillPolygon({{36, 44}, {50, 44}, {40, 102}, {20, 102}}, 0x40FFFFFF);
    bold.drawCentred(c, "kg", 61, 90, 34, INK);
    return c;
}

Canvas soap() {
    Canvas c = badge();
    c.fillRoundedRect(20, 56, 76, 44, 14, 0xFFF08AB8);
    c.fillRoundedRect(26, 60, 64, 14, 7, 0x50FFFFFF);
    for (const auto& b : {std::array<float, 3>{78, 38, 16}, {48, 32, 11}, {96, 24, 8}}) {
        c.fillDisc(b[0], b[1], b[2], 0x90BFEAFF);
        c.fillDisc(b[0] - b[2] * 0.35f, b[1] - b[2] * 0.35f, b[2] * 0.3f, 0xE0FFFFFF);
    }
    return c;
}

Canvas flash() {
    Canvas c = badge();
    const std::vector<Point> bolt = {{68, 14}, {34, 66}, {56, 66}, {46, 108}, {88, 50}, {64, 50}, {78, 14}};
    c.fillPolygon(bolt, WHITE);
    std::vector<Point> inner;
    for (const Point& p : bolt) inner.push_back({61 + (p.x - 61) * 0.82f, 61 + (p.y - 61) * 0.82f});
    c.fillPolygon(inner, 0xFFFFE040);
    return c;
}

} // namespace

ImagesetBuilder extrasImageset(const TextPainter& bold) {
    const Canvas none(8, 8);
    const Canvas icons[13] = {none,   protection(), mine(), shrinker(), froster(), boost(),     magnet(),
                              rocket(), none,        none,   weight(bold), soap(),  flash()};
    ImagesetBuilder set("Extras");
    for (int kind = 0; kind < 13; ++kind) set.add("Extra" + std::to_string(kind), icons[kind]);
    return set;
}
