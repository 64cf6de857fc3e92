#include "tools/guidata/MenuScenery.h"
#include "sys/Pi.h"

#include <cmath>
#include <vector>

namespace scenery {

int Dice::roll(int lo, int hi) {
    m_state = m_state * 1664525u + 1013904223u;
    return lo + int((m_state >> 8) % uint32_t(hi - lo + 1));
}

void sky(Canvas& c, int horizon, uint32_t top, uint32_t bottom) {
    Canvas band(c.width(), horizon);
    band.fillGradient(top, bottom);
    c.paste(band, 0, 0);
}

void cloud(Canvas& c, float x, float y, float size, uint32_t argb) {
    // Puffs along the top, a flat bottom.
    const float bumps[][3] = {{-0.9f, 0.05f, 0.35f}, {-0.45f, -0.2f, 0.45f}, {0.1f, -0.35f, 0.55f},
                              {0.6f, -0.15f, 0.42f}, {1.0f, 0.05f, 0.3f}};
    Canvas puff(int(size * 3), int(size * 1.6f));
    for (const auto& b : bumps)
        puff.fillDisc(size * 1.5f + b[0] * size, size * 1.0f + b[1] * size, b[2] * size, argb | 0xFF000000);
    puff.fillRoundedRect(size * 0.35f, size * 0.85f, size * 2.3f, size * 0.5f, size * 0.25f, argb | 0xFF000000);
    // Fade the whole cloud at once so the puffs do not darken where they overlap.
    Canvas faded(puff.width(), puff.height());
    for (int py = 0; py < puff.height(); ++py)
        for (int px = 0; px < puff.width(); ++px) {
            const uint32_t p = puff.pixel(px, py);
            faded.plot(px, py, (p & 0xFFFFFF) | 0xFF000000, float(p >> 24) / 255.0f * float(argb >> 24) / 255.0f);
        }
    c.paste(faded, int(x - size * 1.5f), int(y - size));
}

void hills(Canvas& c, float baseY, float height, float phase, uint32_t argb) {
    std::vector<Point> outline = {{0, float(c.height())}};
    for (int x = 0; x <= c.width(); x += 8) {
        const float t = x / 1024.0f * 2.0f * PI;
        outline.push_back({float(x), baseY - height * (0.5f + 0.3f * std::sin(t * 1.3f + phase) +
                                                       0.2f * std::sin(t * 3.1f + phase * 2.0f))});
    }
    outline.push_back({float(c.width()), float(c.height())});
    c.fillPolygon(outline, argb);
}

void houses(Canvas& c, int x0, int x1, float baseY, float scale, Dice& dice, bool nightWindows) {
    static const uint32_t WALLS[] = {0xFFF2D7B0, 0xFFE8B8A0, 0xFFD8E0E8, 0xFFF0E6C8, 0xFFC8D8B8, 0xFFE0C8D8};
    static const uint32_t ROOFS[] = {0xFFB04A30, 0xFF8A3A2A, 0xFF5A6470, 0xFFA05A2A};
    int x = x0;
    while (x < x1) {
        const int w = int(dice.roll(70, 130) * scale), h = int(dice.roll(50, 120) * scale);
        const float top = baseY - h;
        uint32_t wall = WALLS[dice.roll(0, 5)];
        if (nightWindows) wall = 0xFF1A2230 + 0x00060606 * uint32_t(dice.roll(0, 3));
        c.fillRect(x, int(top), w, int(baseY - top) + 1, wall);
        const uint32_t roof = nightWindows ? 0xFF121820 : ROOFS[dice.roll(0, 3)];
        if (dice.roll(0, 2) > 0)
            c.fillTriangle(x - 6 * scale, top + 1, x + w + 6 * scale, top + 1, x + w / 2.0f, top - h * 0.45f, roof);
        else
            c.fillRect(x - int(3 * scale), int(top - 8 * scale), w + int(6 * scale), int(9 * scale), roof);
        // Windows in a grid; at night some are lit.
        const int cell = int(26 * scale);
        for (int wy = int(top + 12 * scale); wy + cell <= baseY - 8 * scale; wy += cell)
            for (int wx = x + int(10 * scale); wx + int(14 * scale) <= x + w - int(8 * scale); wx += cell) {
                const uint32_t glass =
                    nightWindows ? (dice.roll(0, 3) == 0 ? 0xFFFFD870 : 0xFF2A3444) : 0xFF6E9CC0;
                c.fillRect(wx, wy, int(14 * scale), int(16 * scale), glass);
            }
        x += w + int(dice.roll(4, 24) * scale);
    }
}

void tree(Canvas& c, float x, float baseY, float size) {
    c.fillRect(int(x - size * 0.08f), int(baseY - size * 0.7f), int(size * 0.16f) + 1, int(size * 0.7f),
               0xFF6A4A2A);
    c.fillDisc(x, baseY - size * 0.95f, size * 0.42f, 0xFF3E8A3A);
    c.fillDisc(x - size * 0.25f, baseY - size * 0.75f, size * 0.3f, 0xFF4A9A42);
    c.fillDisc(x + size * 0.25f, baseY - size * 0.78f, size * 0.3f, 0xFF367E34);
    c.fillDisc(x - size * 0.1f, baseY - size * 1.1f, size * 0.22f, 0xFF5AAA4E);
}

void road(Canvas& c, int top, int height) {
    c.fillRect(0, top, c.width(), 6, 0xFFD8D8D0);
    c.fillRect(0, top + 6, c.width(), height - 6, ASPHALT);
    c.fillRect(0, top + 6, c.width(), 2, 0xFF33363A);
    const int middle = top + 6 + (height - 6) / 2;
    for (int x = 10; x < c.width(); x += 80) c.fillRect(x, middle - 3, 44, 6, 0xFFF0F0E8);
}

void chequer(Canvas& c, int x, int y, int w, int h, int cell) {
    for (int py = 0; py * cell < h; ++py)
        for (int px = 0; px * cell < w; ++px)
            c.fillRect(x + px * cell, y + py * cell, std::min(cell, w - px * cell), std::min(cell, h - py * cell),
                       (px + py) % 2 ? 0xFF202020 : WHITE);
}

void moped(Canvas& c, float x, float baseY, float scale, uint32_t paint, bool facingRight) {
    // Drawn facing right from the rear wheel's foot; a mirror flips every x.
    const float s = scale;
    auto at = [&](float dx, float dy) { return Point{facingRight ? x + dx * s : x - dx * s, baseY + dy * s}; };
    auto shape = [&](std::initializer_list<Point> pts, uint32_t argb) {
        std::vector<Point> outline;
        for (const Point& p : pts) outline.push_back(at(p.x, p.y));
        c.fillPolygon(outline, argb);
    };
    auto limb = [&](std::initializer_list<Point> pts, float width, uint32_t argb) {
        std::vector<Point> path;
        for (const Point& p : pts) path.push_back(at(p.x, p.y));
        c.drawPath(path, width * s, argb);
        for (const Point& p : path) c.fillDisc(p.x, p.y, width * s / 2, argb);
    };
    const uint32_t tyre = 0xFF23262B, chrome = 0xFFC8CDD2, suit = 0xFF2E5A9A, trousers = 0xFF283A58;
    for (float wx : {40.0f, 172.0f}) {
        const Point hub = at(wx, -30);
        c.fillDisc(hub.x, hub.y, 30 * s, tyre);
        c.fillDisc(hub.x, hub.y, 19 * s, chrome);
        c.fillDisc(hub.x, hub.y, 15 * s, 0xFF5A6068);
        c.fillDisc(hub.x, hub.y, 6 * s, chrome);
    }
    limb({{26, -36}, {98, -42}}, 8, 0xFF8A8F96);           // exhaust
    limb({{172, -30}, {152, -116}}, 7, chrome);             // front fork
    shape({{10, -52}, {24, -80}, {48, -94}, {104, -96}, {114, -78}, {104, -58}, {30, -46}}, paint); // rear cowl
    shape({{96, -60}, {136, -60}, {140, -48}, {92, -46}}, 0xFF3A3F46);                                // footboard
    shape({{124, -58}, {140, -56}, {162, -118}, {148, -126}}, paint);                                 // leg shield
    shape({{6, -58}, {24, -78}, {30, -74}, {16, -54}}, 0x40FFFFFF);                                   // shine
    shape({{34, -100}, {100, -102}, {106, -92}, {30, -90}}, tyre);                                    // seat
    limb({{148, -124}, {140, -138}, {124, -140}}, 6, tyre);                                           // handlebar
    const Point lamp = at(160, -122);
    c.fillDisc(lamp.x, lamp.y, 8 * s, 0xFFFFF2B0);
    // The rider, crouched over the handlebar.
    limb({{64, -104}, {114, -90}, {120, -62}}, 15, trousers);
    limb({{62, -108}, {92, -156}}, 22, suit);
    limb({{92, -152}, {112, -134}, {126, -140}}, 10, suit);
    const Point head = at(100, -176);
    c.fillDisc(head.x, head.y, 19 * s, 0xFFF2F2F2);
    shape({{104, -184}, {119, -181}, {118, -168}, {104, -168}}, 0xFF2A3A50);
    shape({{82, -186}, {96, -194}, {98, -190}, {86, -182}}, paint);
}

void streaks(Canvas& c, float x, float y, float length, int count, uint32_t argb) {
    for (int i = 0; i < count; ++i) {
        const float ly = y + i * 14.0f, l = length * (0.6f + 0.4f * ((i * 7) % 5) / 4.0f);
        c.drawLine(x - l, ly, x, ly, 4, argb);
    }
}

void stars(Canvas& c, int count, int bottom, Dice& dice) {
    for (int i = 0; i < count; ++i) {
        const float size = dice.roll(0, 9) == 0 ? 2.2f : 1.2f;
        c.fillDisc(float(dice.roll(0, c.width())), float(dice.roll(0, bottom)), size,
                   0xFFFFFFFF - uint32_t(dice.roll(0, 2)) * 0x30000000);
    }
}

void plate(Canvas& c, float x, float y, float w, float h) {
    c.fillRoundedRect(x + 4, y + 5, w, h, 12, 0x50000000);
    c.fillRoundedRect(x, y, w, h, 12, AMBER);
    c.fillRoundedRect(x + 3, y + 3, w - 6, h - 6, 10, CREAM);
}

void darkPanel(Canvas& c, float x, float y, float w, float h) {
    c.fillRoundedRect(x, y, w, h, 12, 0xB0182838);
}

void frame(Canvas& c, float x, float y, float w, float h) {
    c.fillRoundedRect(x - 8, y - 6, w + 20, h + 20, 14, 0x58000000);
    c.fillRoundedRect(x - 12, y - 12, w + 24, h + 24, 14, INK);
    c.fillRoundedRect(x - 8, y - 8, w + 16, h + 16, 10, AMBER);
    c.fillRect(int(x - 3), int(y - 3), int(w + 6), int(h + 6), INK);
}

void previewWindow(Canvas& c, int x0, int y0, int x1, int y1) {
    frame(c, float(x0), float(y0), float(x1 - x0), float(y1 - y0));
    c.fillRect(x0, y0, x1 - x0, y1 - y0, 0);
}

} // namespace scenery
