#include "tools/guidata/RaceSigns.h"

#include <cmath>
#include <string>
#include <vector>

#include "tools/guidata/MenuScenery.h"
#include "sys/Pi.h"

using namespace scenery;

namespace {

// A lamp of a start light: dark housing, coloured glass with a glint.
Canvas lamp(uint32_t glass) {
    Canvas c(256, 256);
    c.fillDisc(132, 134, 122, 0x60000000);
    c.fillDisc(128, 128, 122, INK);
    c.fillDisc(128, 128, 108, glass);
    c.fillDisc(96, 92, 44, 0x38FFFFFF);
    return c;
}

Canvas countNumber(int n, uint32_t glass, const TextPainter& bold) {
    Canvas c = lamp(glass);
    bold.drawCentred(c, std::to_string(n), 128, 190, 170, WHITE, 7, INK);
    return c;
}

// Green light with a chequered flag: off you go.
Canvas go() {
    Canvas c = lamp(0xFF2EB84A);
    c.drawLine(84, 60, 84, 206, 10, INK);
    Canvas cloth(100, 64);
    chequer(cloth, 0, 0, 100, 64, 16);
    c.fillRect(86, 60, 104, 68, INK);
    c.paste(cloth, 88, 62);
    return c;
}

// A round red sign with a white U-turn arrow.
Canvas wrongWay() {
    Canvas c(256, 256);
    c.fillDisc(132, 134, 122, 0x60000000);
    c.fillDisc(128, 128, 122, 0xFFD8322A);
    c.fillDisc(128, 128, 100, WHITE);
    c.fillDisc(128, 128, 92, 0xFFD8322A);
    // Up the right, over the bend, down the left into the arrowhead.
    const float r = 34, cx = 128, cy = 110;
    std::vector<Point> path = {{cx + r, cy + 72}};
    for (int i = 0; i <= 24; ++i) {
        const float a = PI * i / 24.0f;
        path.push_back({cx + r * std::cos(a), cy - r * std::sin(a)});
    }
    path.push_back({cx - r, cy + 30});
    c.drawPath(path, 18, WHITE);
    c.fillTriangle(cx - r - 30, cy + 26, cx - r + 30, cy + 26, cx - r, cy + 70, WHITE);
    return c;
}

} // namespace

std::vector<ImagesetBuilder> raceSigns(const TextPainter& bold) {
    // The race shows Count1 first: three, two, one, then the green light.
    ImagesetBuilder countdown("Countdown");
    countdown.add("Count1", countNumber(3, 0xFFD8322A, bold));
    countdown.add("Count2", countNumber(2, 0xFFE8A020, bold));
    countdown.add("Count3", countNumber(1, 0xFFE8C820, bold));
    countdown.add("Count4", go());
    ImagesetBuilder wrong("WrongDirection");
    wrong.add("FullImage", wrongWay());
    std::vector<ImagesetBuilder> sets;
    sets.push_back(std::move(countdown));
    sets.push_back(std::move(wrong));
    return sets;
}
