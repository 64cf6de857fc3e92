#include "tools/demodata/mopeds/MopedLivery.h"

#include <algorithm>
#include <cmath>

#include "tools/demodata/mopeds/Bitmap.h"
#include "tools/demodata/mopeds/MopedDesign.h"
#include "tools/demodata/mopeds/MopedNames.h"
#include "tools/demodata/mopeds/PictureMapping.h"
#include "tools/guidata/Canvas.h"
#include "tools/guidata/TextPainter.h"

namespace MopedLivery {
namespace {

using namespace MopedParts;

// The picture's bands, in rows of a SIZE x SIZE picture: each side of the
// body seen from its own side, the body from above, the seat, the tread.
constexpr int SIZE = 512;
constexpr int RIGHT = 0, LEFT = 192, SIDE_ROWS = 192;
constexpr int TOP = 384, TOP_ROWS = 64;
constexpr int SEAT_ROW = 448, SEAT_ROWS = 32;
constexpr int TREAD = 480, TREAD_ROWS = 32;
// The tread's pattern goes this many times round a tyre.
constexpr float TREAD_REPEATS = 3.0f;
// A side is painted at this many pixels a metre before it is fitted to its band.
constexpr float PAINT_SCALE = 500.0f;

// Where the name and the stripes sit on each model's side (metres, moped frame).
struct Layout {
    const char* name;
    float nameZ, nameY, nameHeight, nameWidth;
    float stripeY;
};
// The names are the makers' marks of the menus' model names.
constexpr Layout LAYOUTS[MopedNames::MODELS] = {{"HEKTOR", -0.21f, 0.5f, 0.06f, 0.27f, 0.665f},
                                                {"KONDOR", 0.16f, 0.675f, 0.055f, 0.3f, 0.765f},
                                                {"SWIFT", -0.42f, 0.5f, 0.08f, 0.5f, 0.605f},
                                                {"BELLA", -0.42f, 0.5f, 0.085f, 0.55f, 0.615f},
                                                {"KAZE", -0.25f, 0.685f, 0.055f, 0.3f, 0.76f}};

// The thin second stripe: a darker or a lighter partner of the body colour.
constexpr uint32_t PARTNER[MopedNames::COLOURS] = {0xFFF2C418, 0xFF121812, 0xFF6A1F78, 0xFF161616};

// The painted body: its extent from the side and its half width.
struct Box {
    float z0 = 1e9f, z1 = -1e9f, y0 = 1e9f, y1 = -1e9f, halfWidth = 0.0f;
};

Box bodyBox(const Lwo2Layer& body) {
    Box box;
    const auto& faces = body.polygonLists.at(0).polygons;
    for (const Lwo2PolygonTag& tag : body.polygonTags.at(0).tags) {
        if (tag.tag != MAIN) continue;
        for (uint32_t point : faces[tag.polygon].points) {
            const Vec3 p = toPosition(body.points[point].data());
            box.z0 = std::min(box.z0, p[2]), box.z1 = std::max(box.z1, p[2]);
            box.y0 = std::min(box.y0, p[1]), box.y1 = std::max(box.y1, p[1]);
            box.halfWidth = std::max(box.halfWidth, std::fabs(p[0]));
        }
    }
    const float margin = 0.02f;
    return {box.z0 - margin, box.z1 + margin, box.y0 - margin, box.y1 + margin, box.halfWidth + margin};
}

const Box& modelBox(int model) {
    static const std::vector<Box> boxes = [] {
        std::vector<Box> out;
        for (int m = 0; m < MopedNames::MODELS; ++m) out.push_back(bodyBox(mopedDesign(m).object(0).layers.at(0)));
        return out;
    }();
    return boxes[size_t(model)];
}

// Bilinear sample of a canvas at (x, y) pixels, as 0 to 1 channels.
std::array<float, 3> sample(const Canvas& canvas, float x, float y) {
    x = std::clamp(x - 0.5f, 0.0f, float(canvas.width() - 1));
    y = std::clamp(y - 0.5f, 0.0f, float(canvas.height() - 1));
    const int x0 = int(x), y0 = int(y);
    const int x1 = std::min(x0 + 1, canvas.width() - 1), y1 = std::min(y0 + 1, canvas.height() - 1);
    const float fx = x - float(x0), fy = y - float(y0);
    std::array<float, 3> out{};
    for (int c = 0; c < 3; ++c) {
        auto ch = [&](int px, int py) { return float((canvas.pixel(px, py) >> (16 - 8 * c)) & 0xFF) / 255.0f; };
        out[size_t(c)] = (ch(x0, y0) * (1 - fx) + ch(x1, y0) * fx) * (1 - fy) + (ch(x0, y1) * (1 - fx) + ch(x1, y1) * fx) * fy;
    }
    return out;
}

// One side of the body at an even scale, front to the right: shaded paint,
// two stripes along it and the name, whose letters read backwards on the left
// side's picture so that they read forwards on the moped.
Canvas sidePainting(int model, int colour, const Box& box, bool left) {
    const Layout& layout = LAYOUTS[model];
    const int width = int((box.z1 - box.z0) * PAINT_SCALE), height = int((box.y1 - box.y0) * PAINT_SCALE);
    Canvas canvas(width, height);
    const std::array<float, 3> body = bodyColour(colour);
    for (int y = 0; y < height; ++y)
        canvas.fillRect(0, y, width, 1, opaqueArgb(body, 1.12f - 0.3f * float(y) / float(height)));
    auto row = [&](float worldY) { return (box.y1 - worldY) * PAINT_SCALE; };
    auto column = [&](float worldZ) { return (worldZ - box.z0) * PAINT_SCALE; };
    // A broad white stripe over a thin one in the partner colour, kinked up at the front.
    const float stripe = row(layout.stripeY);
    const float kinkZ = column(layout.nameZ + layout.nameWidth * 0.5f + 0.06f);
    auto band = [&](float top, float thick, uint32_t ink) {
        canvas.fillPolygon({{0.0f, top}, {kinkZ, top}, {kinkZ + thick * 2.0f, top - thick * 1.5f},
                            {float(width), top - thick * 1.5f}, {float(width), top - thick * 0.5f},
                            {kinkZ + thick * 2.0f, top - thick * 0.5f}, {kinkZ, top + thick}, {0.0f, top + thick}},
                           ink);
    };
    band(stripe - 0.022f * PAINT_SCALE, 0.018f * PAINT_SCALE, 0xFFF4F4F0);
    band(stripe + 0.004f * PAINT_SCALE, 0.008f * PAINT_SCALE, PARTNER[colour]);
    // The name in white, outlined dark so that it reads on pale paint too.
    static const TextPainter font(readFontFile(std::string(GUI_FONT_FOLDER) + "DejaVuSans-BoldOblique.ttf"));
    float size = layout.nameHeight * PAINT_SCALE * 1.35f;
    size = std::min(size, size * layout.nameWidth * PAINT_SCALE / font.width(layout.name, size));
    Canvas name(width, height);
    font.drawCentred(name, layout.name, column(layout.nameZ), row(layout.nameY) + size * 0.36f, size, 0xFFFFFFFF,
                     std::max(1.5f, size * 0.07f), 0xFF101010);
    const int axis = int(column(layout.nameZ) * 2.0f);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int from = left ? axis - x : x;
            if (from < 0 || from >= width) continue;
            const uint32_t ink = name.pixel(from, y);
            canvas.plot(x, y, ink | 0xFF000000u, float(ink >> 24) / 255.0f);
        }
    return canvas;
}

void fitSide(Bitmap& out, const Canvas& side, int firstRow) {
    for (int y = 0; y < SIDE_ROWS; ++y)
        for (int x = 0; x < SIZE; ++x) {
            const float fx = (float(x) + 0.5f) / float(SIZE), fy = (float(y) + 0.5f) / float(SIDE_ROWS);
            const auto c = sample(side, fx * float(side.width()), fy * float(side.height()));
            out.set(x, firstRow + y, c[0], c[1], c[2]);
        }
}

// Seen from above: the paint with twin white stripes down the middle.
void paintTop(Bitmap& out, int colour) {
    const std::array<float, 3> body = bodyColour(colour);
    for (int y = 0; y < TOP_ROWS; ++y) {
        const float across = std::fabs((float(y) + 0.5f) / float(TOP_ROWS) - 0.5f);
        const bool white = across > 0.03f && across < 0.09f;
        for (int x = 0; x < SIZE; ++x)
            white ? out.set(x, TOP + y, 0.95f, 0.95f, 0.93f) : out.set(x, TOP + y, body[0] * 1.1f, body[1] * 1.1f, body[2] * 1.1f);
    }
}

// Dark leather in pleats along the seat, stitched at the seams.
void paintSeat(Bitmap& out) {
    for (int y = 0; y < SEAT_ROWS; ++y)
        for (int x = 0; x < SIZE; ++x) {
            const int pleat = y % 8;
            float k = pleat == 0 ? 0.45f : 0.85f + 0.05f * float(pleat % 4);
            if (pleat == 1 && (x / 3) % 2 == 0) k = 1.9f;
            out.set(x, SEAT_ROW + y, 0.15f * k, 0.12f * k, 0.1f * k);
        }
}

// Rubber with chevron blocks across the crown and plain shoulders.
void paintTread(Bitmap& out) {
    for (int y = 0; y < TREAD_ROWS; ++y) {
        const float across = (float(y) + 0.5f) / float(TREAD_ROWS) - 0.5f;
        for (int x = 0; x < SIZE; ++x) {
            float k = 0.14f;
            if (std::fabs(across) < 0.3f) {
                const int phase = (x + int(std::fabs(across) * 40.0f)) % 16;
                if (phase < 3) k = 0.04f;
                if (std::fabs(across) < 0.025f) k = 0.05f;
            } else if (std::fabs(across) > 0.42f && x % 64 < 40) {
                k = 0.2f;
            }
            out.set(x, TREAD + y, k, k, k * 1.05f);
        }
    }
}

// The picture's rows count down from its top; UV maps count up from its bottom.
float rowV(float row) { return 1.0f - row / float(SIZE); }

} // namespace

std::string pictureName(int model, int colour) {
    std::string object = MopedNames::mopedObject(model, colour);
    return object.substr(0, object.size() - 4) + "_lack.bmp";
}

std::string picture(int model, int colour) {
    const Box& box = modelBox(model);
    Bitmap out(SIZE, SIZE);
    fitSide(out, sidePainting(model, colour, box, false), RIGHT);
    fitSide(out, sidePainting(model, colour, box, true), LEFT);
    paintTop(out, colour);
    paintSeat(out);
    paintTread(out);
    return out.bmp();
}

std::string chromePicture() {
    // A sphere map: sky above a bright horizon, dark ground below.
    const int size = 64;
    Bitmap out(size, size);
    for (int y = 0; y < size; ++y) {
        const float t = (float(y) + 0.5f) / float(size);
        std::array<float, 3> c;
        if (t < 0.5f) {
            const float k = t / 0.5f;
            c = {0.45f + 0.55f * k, 0.6f + 0.4f * k, 0.85f + 0.15f * k};
        } else {
            const float k = (t - 0.5f) / 0.5f;
            c = {0.35f - 0.15f * k, 0.32f - 0.14f * k, 0.3f - 0.13f * k};
        }
        for (int x = 0; x < size; ++x) out.set(x, y, c[0], c[1], c[2]);
    }
    return out.bmp();
}

void apply(Lwo2Object& object, int model, int colour) {
    const Box& box = modelBox(model);
    const float length = box.z1 - box.z0;
    PictureMapping::map(object.layers.at(0), MAIN, [&](Vec3 p, Vec3 n, Vec3) -> std::array<float, 2> {
        const float along = (p[2] - box.z0) / length;
        if (std::fabs(n[0]) < 0.35f)
            return {along, rowV(float(TOP) + (p[0] / box.halfWidth * 0.5f + 0.5f) * float(TOP_ROWS))};
        const float down = (box.y1 - p[1]) / (box.y1 - box.y0) * float(SIDE_ROWS);
        return {along, rowV(float(n[0] > 0.0f ? RIGHT : LEFT) + down)};
    });
    PictureMapping::map(object.layers.at(0), SEAT, [&](Vec3 p, Vec3, Vec3) -> std::array<float, 2> {
        const float across = std::clamp(p[0] / 0.14f * 0.5f + 0.5f, 0.02f, 0.98f);
        return {(p[2] - box.z0) / length * 4.0f, rowV(float(SEAT_ROW) + across * float(SEAT_ROWS))};
    });
    const MopedDesign& design = mopedDesign(model);
    for (size_t layer = 1; layer < object.layers.size(); ++layer) {
        const Vec3 axle = toPosition(object.layers[layer].pivot.data());
        const float tyre = layer == 1 ? design.front.tyre : design.rear.tyre;
        PictureMapping::map(object.layers[layer], TYRE, [&](Vec3 p, Vec3, Vec3 centre) -> std::array<float, 2> {
            // Round the axle, unwrapped next to the face's middle so no face spans the seam.
            const float middle = std::atan2(centre[1] - axle[1], centre[2] - axle[2]);
            float a = std::atan2(p[1] - axle[1], p[2] - axle[2]);
            if (a - middle > PI) a -= 2.0f * PI;
            if (middle - a > PI) a += 2.0f * PI;
            const float across = std::clamp(p[0] / (tyre * 2.4f) + 0.5f, 0.02f, 0.98f);
            return {a / (2.0f * PI) * TREAD_REPEATS, rowV(float(TREAD) + across * float(TREAD_ROWS))};
        });
    }
    const uint16_t paint = PictureMapping::addClip(object, pictureName(model, colour));
    for (uint16_t surface : {MAIN, SEAT, TYRE}) PictureMapping::showPicture(object, surface, paint);
    // Chrome mirrors the sky.
    const uint16_t sky = PictureMapping::addClip(object, CHROME_PICTURE);
    Lwo2Surface& chrome = object.surfaces[CHROME];
    chrome.values.push_back({"REFL", {0.55f, 0}});
    chrome.reflectionOptions = 2;
    chrome.reflectionImage = sky;
}

} // namespace MopedLivery
