#include "tools/guidata/LogoPicture.h"

#include "tools/guidata/MenuScenery.h"

using namespace scenery;

void paintLogo(Canvas& c, float x, float y, float scale, const TextPainter& bold) {
    const float s = scale;
    const float size = 170 * s, baseline = y + 156 * s, radius = 70 * s, gap = 14 * s;
    const float word = bold.width("PLIMZOR", size);
    const float left = x - (word + gap + 2 * radius) / 2, wordX = left + word / 2;
    // The word, with a soft shadow, a dark outline and a lighter top half of the letters.
    bold.drawCentred(c, "PLIMZOR", wordX + 8 * s, baseline + 10 * s, size, 0x50000000, 12 * s, 0x50000000);
    bold.drawCentred(c, "PLIMZOR", wordX, baseline, size, AMBER, 11 * s, INK);
    Canvas shine(int(word + 40 * s), int(size));
    bold.drawCentred(shine, "PLIMZOR", shine.width() / 2.0f, size * 0.85f, size, AMBER_LIGHT);
    shine.fillRect(0, int(size * 0.85f - 0.38f * size), shine.width(), shine.height(), 0);
    c.paste(shine, int(wordX - shine.width() / 2.0f), int(baseline - size * 0.85f));
    // The "2" on a red badge after the word.
    const float bx = left + word + gap + radius, by = baseline - 0.37f * size;
    c.fillDisc(bx + 6 * s, by + 8 * s, radius, 0x50000000);
    c.fillDisc(bx, by, radius, INK);
    c.fillDisc(bx, by, radius - 8 * s, 0xFFD8322A);
    c.fillDisc(bx - 16 * s, by - 19 * s, 35 * s, 0x30FFFFFF);
    bold.drawCentred(c, "2", bx, by + 44 * s, 122 * s, WHITE, 6 * s, INK);
    // A chequered band under the word.
    const float bandW = word + gap + 2 * radius;
    c.fillRoundedRect(left, baseline + 24 * s, bandW, 38 * s, 8 * s, INK);
    chequer(c, int(left + 6 * s), int(baseline + 30 * s), int(bandW - 12 * s), int(26 * s), int(13 * s));
}
