#include "tools/guidata/FlagPictures.h"

#include <string>
#include <utility>

#include "tools/guidata/MenuScenery.h"

using namespace scenery;

namespace {

const int FW = 104, FH = 70; // the cloth

Canvas stripes(bool vertical, uint32_t a, uint32_t b, uint32_t c, int middleShare = 1) {
    Canvas f(FW, FH);
    const uint32_t colours[3] = {a, b, c};
    const int total = 2 + middleShare;
    int from = 0;
    for (int i = 0; i < 3; ++i) {
        const int share = i == 1 ? middleShare : 1;
        const int length = vertical ? FW : FH;
        const int to = i == 2 ? length : from + length * share / total;
        if (vertical) f.fillRect(from, 0, to - from, FH, colours[i]);
        else f.fillRect(0, from, FW, to - from, colours[i]);
        from = to;
    }
    return f;
}

// The Union Flag: white and red saltires under the white-edged red cross, on blue.
Canvas unionFlag() {
    Canvas f(FW, FH, 0xFF012169);
    f.drawLine(0, 0, FW, FH, FH * 0.2f, WHITE);
    f.drawLine(0, FH, FW, 0, FH * 0.2f, WHITE);
    // The red saltire lies off-centre, turning round the flag.
    const float off = FH * 0.035f;
    f.drawLine(0, off, FW / 2.0f, FH / 2.0f + off, FH * 0.07f, 0xFFC8102E);
    f.drawLine(FW, FH - off, FW / 2.0f, FH / 2.0f - off, FH * 0.07f, 0xFFC8102E);
    f.drawLine(FW - off * 1.5f, 0, FW / 2.0f - off * 1.5f, FH / 2.0f, FH * 0.07f, 0xFFC8102E);
    f.drawLine(off * 1.5f, FH, FW / 2.0f + off * 1.5f, FH / 2.0f, FH * 0.07f, 0xFFC8102E);
    f.fillRect(FW / 2 - FH / 6, 0, FH / 3, FH, WHITE);
    f.fillRect(0, FH / 2 - FH / 6, FW, FH / 3, WHITE);
    f.fillRect(FW / 2 - FH / 10, 0, FH / 5, FH, 0xFFC8102E);
    f.fillRect(0, FH / 2 - FH / 10, FW, FH / 5, 0xFFC8102E);
    return f;
}

// The cloth on a pole-less button: shadow, dark rim, and on hover an amber glow and a lift.
Canvas flagButton(const Canvas& cloth, bool hover) {
    Canvas c(120, 102);
    const int x = 8, y = hover ? 12 : 16;
    c.fillRoundedRect(x + 2, 22, FW + 6, FH + 6, 6, 0x60000000);
    if (hover) c.fillRoundedRect(x - 7, y - 7, FW + 14, FH + 14, 10, AMBER_LIGHT);
    c.fillRoundedRect(x - 3, y - 3, FW + 6, FH + 6, 5, INK);
    c.paste(cloth, x, y);
    // A sheen over the upper half makes it read as cloth, a little brighter on hover.
    c.shadeRect(x, y, FW, FH / 2, hover ? 0x30FFFFFF : 0x18FFFFFF);
    return c;
}

} // namespace

ImagesetBuilder flagImageset() {
    const std::pair<const char*, Canvas> flags[] = {
        {"DE", stripes(false, 0xFF000000, 0xFFDD0000, 0xFFFFCE00)},
        {"EN", unionFlag()},
        {"FR", stripes(true, 0xFF0055A4, WHITE, 0xFFEF4135)},
        {"SP", stripes(false, 0xFFAA151B, 0xFFF1BF00, 0xFFAA151B, 2)},
        {"IT", stripes(true, 0xFF009246, WHITE, 0xFFCE2B37)},
        {"RU", stripes(false, WHITE, 0xFF0039A6, 0xFFD52B1E)},
    };
    ImagesetBuilder set("Flags");
    for (const auto& [code, cloth] : flags) {
        set.add(std::string("Flag") + code + "_Normal", flagButton(cloth, false));
        set.add(std::string("Flag") + code + "_Hover", flagButton(cloth, true));
    }
    return set;
}
