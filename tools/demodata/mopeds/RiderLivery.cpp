#include "tools/demodata/mopeds/RiderLivery.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/demodata/mopeds/Bitmap.h"
#include "tools/demodata/mopeds/MopedNames.h"
#include "tools/demodata/mopeds/RiderFigure.h"
#include "tools/guidata/Canvas.h"
#include "tools/guidata/TextPainter.h"

namespace RiderLivery {
namespace {

constexpr int SIZE = 256, HALF = SIZE / 2;

// Both halves: x0 is the half's left edge; the rows run from the collar (0) to the waist.
void paintHalf(Canvas& c, int rider, int x0, bool back, const TextPainter& font) {
    const std::array<float, 3> jacket = riderBuild(rider).jacket.rgb;
    const float mid = float(x0 + HALF / 2);
    c.fillRect(x0, 0, HALF, SIZE, opaqueArgb(jacket));
    switch (rider) {
    case 1: // Leather: a paler yoke over the shoulders, a seam down the back, a dark waistband.
        c.fillRect(x0, 0, HALF, 70, opaqueArgb(jacket, 1.35f));
        c.drawLine(float(x0), 70.0f, float(x0 + HALF), 70.0f, 3.0f, opaqueArgb(jacket, 0.6f));
        if (back) c.drawLine(mid, 70.0f, mid, 220.0f, 2.0f, opaqueArgb(jacket, 0.6f));
        else c.drawLine(mid, 0.0f, mid, 256.0f, 4.0f, 0xFFB0A080);
        c.fillRect(x0, 220, HALF, 36, opaqueArgb(jacket, 0.55f));
        break;
    case 2: // A big white chevron pointing down the back, white at the collar.
        c.fillPolygon({{float(x0), 40.0f}, {mid, 150.0f}, {float(x0 + HALF), 40.0f}, {float(x0 + HALF), 80.0f},
                       {mid, 190.0f}, {float(x0), 80.0f}},
                      0xFFF2F2F2);
        c.fillRect(x0, 0, HALF, 14, 0xFFF2F2F2);
        break;
    case 3: // Tweed: a bold check of dark and pale threads.
        for (int k = 0; k < SIZE; k += 32) {
            c.fillRect(x0, k, HALF, 6, opaqueArgb(jacket, 0.55f));
            c.fillRect(x0 + k / 2, 0, 5, SIZE, opaqueArgb(jacket, 0.55f));
            c.fillRect(x0, k + 16, HALF, 2, 0xFFC8A040);
            c.fillRect(x0 + k / 2 + 10, 0, 2, SIZE, 0xFFC8A040);
        }
        break;
    case 4: // A jersey: black shoulders, white sleeve-line and the number on the back.
        c.fillRect(x0, 0, HALF, 55, 0xFF141414);
        c.fillRect(x0, 55, HALF, 8, 0xFFF4F4F4);
        font.drawCentred(c, back ? "44" : "4", mid, 190.0f, back ? 110.0f : 60.0f, 0xFF141414, 4.0f, 0xFFF4F4F4);
        break;
    default: // Leathers: twin white stripes either side of the spine and a black hump at the collar.
        for (float side : {-1.0f, 1.0f}) {
            c.fillRect(int(mid + side * 22.0f - 7.0f), 0, 14, SIZE, 0xFFF4F4F4);
            c.fillRect(int(mid + side * 34.0f - 3.0f), 0, 6, SIZE, 0xFF141414);
        }
        if (back) c.fillEllipse(mid, 20.0f, 40.0f, 36.0f, 0xFF141414);
        c.fillRect(x0, 228, HALF, 28, 0xFF141414);
        break;
    }
}

} // namespace

std::string pictureName(int rider) {
    std::string object = MopedNames::riderObject(rider);
    return object.substr(0, object.size() - 4) + "_jacke.bmp";
}

std::string picture(int rider) {
    static const TextPainter font(readFontFile(std::string(GUI_FONT_FOLDER) + "DejaVuSans-Bold.ttf"));
    Canvas canvas(SIZE, SIZE);
    paintHalf(canvas, rider, 0, true, font);
    paintHalf(canvas, rider, HALF, false, font);
    return Bitmap(canvas).bmp();
}

} // namespace RiderLivery
