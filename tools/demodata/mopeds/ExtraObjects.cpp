#include "tools/demodata/mopeds/ExtraObjects.h"

#include <algorithm>
#include <cmath>

#include "tools/demodata/mopeds/Bitmap.h"
#include "tools/demodata/mopeds/MopedNames.h"
#include "tools/demodata/mopeds/MopedParts.h"
#include "tools/demodata/mopeds/Paint.h"
#include "tools/demodata/mopeds/PictureMapping.h"

namespace mn = MopedNames;

namespace {

Lwo2Object objectOf(const Shape& shape, const std::vector<std::pair<std::string, Paint>>& paints) {
    Lwo2Object object;
    object.layers = {shape.layer(0, "", {0.0f, 0.0f, 0.0f})};
    for (const auto& [name, paint] : paints) {
        object.tags.push_back(name);
        object.surfaces.push_back(paint.surface(name));
    }
    return object;
}

// A picture block on the surface, thrown on it from the given axis (0 x, 1 y, 2 z).
void addPicture(Lwo2Object& object, size_t surface, const char* channel, uint16_t projection, uint16_t axis,
                std::array<float, 3> size, const std::string& picture) {
    const uint16_t clip = PictureMapping::addClip(object, picture);
    Lwo2Block block;
    block.channel = channel;
    block.textureMap = Lwo2TextureMap{};
    block.textureMap->size = Lwo2TextureVector{size};
    block.projection = projection;
    block.axis = axis;
    block.image = clip;
    block.wrap = std::array<uint16_t, 2>{1, 1};
    object.surfaces[surface].blocks.push_back(block);
}

float hash(int a, int b) {
    uint32_t h = uint32_t(a) * 374761393u + uint32_t(b) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return float(h & 0xFFFF) / 65535.0f;
}

Paint glowing(std::array<float, 3> rgb, float transparency = 0.0f) {
    Paint p{rgb, 0.0f, 0.0f, 0.2f, 1.0f, transparency};
    return p;
}

std::string magnet() {
    // A horseshoe standing open side down, red with bare poles.
    Shape shoe;
    std::vector<std::array<float, 2>> section;
    for (int k = 0; k < 10; ++k) {
        float a = 2.0f * PI * float(k) / 10.0f;
        section.push_back({0.19f + 0.07f * std::cos(a), 0.07f * std::sin(a)});
    }
    shoe.revolve(Frame::at({0.0f, 0.36f, 0.0f}), section, 14, true, 0.0f, PI);
    for (float x : {-0.19f, 0.19f}) shoe.rod({x, 0.365f, 0.0f}, {x, 0.12f, 0.0f}, 0.07f, 10);
    shoe.setSurface(1);
    for (float x : {-0.19f, 0.19f}) shoe.rod({x, 0.125f, 0.0f}, {x, 0.0f, 0.0f}, 0.071f, 10);
    return lwo2Bytes(objectOf(shoe, {{"magnet_rot", Paint{{0.85f, 0.08f, 0.06f}, 0.8f, 0.6f, 0.6f}},
                                     {"magnet_pol", Paint{{0.8f, 0.82f, 0.85f}, 0.6f, 0.9f, 0.8f}}}));
}

std::string mine() {
    Shape s;
    const Frame up = Frame::along({0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    s.revolve(up, {{0.0f, 0.0f}, {0.26f, 0.0f}, {0.27f, 0.04f}, {0.21f, 0.12f}, {0.08f, 0.16f}, {0.0f, 0.17f}}, 20);
    for (int k = 0; k < 6; ++k) {
        float a = 2.0f * PI * float(k) / 6.0f;
        Vec3 out{std::cos(a), 0.0f, std::sin(a)};
        s.rod(out * 0.2f + Vec3{0.0f, 0.1f, 0.0f}, out * 0.33f + Vec3{0.0f, 0.12f, 0.0f}, 0.015f, 5);
    }
    s.setSurface(1);
    s.ellipsoid(Frame::at({0.0f, 0.18f, 0.0f}), {0.045f, 0.04f, 0.045f}, 10, 6);
    return lwo2Bytes(objectOf(s, {{"miene", Paint{{0.2f, 0.22f, 0.2f}, 0.8f, 0.5f, 0.5f}},
                                  {"miene_licht", glowing({1.0f, 0.1f, 0.05f})}}));
}

// Along +z: body, nose, four fins, nozzle and flame.
std::string rocket(std::array<float, 3> trim, float size) {
    Shape s;
    s.revolve(Frame::at({0.0f, 0.0f, 0.0f}),
              {{0.0f, -0.3f * size}, {0.06f * size, -0.28f * size}, {0.065f * size, 0.18f * size}, {0.0f, 0.2f * size}}, 14);
    s.setSurface(1);
    s.revolve(Frame::at({0.0f, 0.0f, 0.0f}),
              {{0.0f, 0.17f * size}, {0.066f * size, 0.18f * size}, {0.04f * size, 0.3f * size}, {0.0f, 0.38f * size}}, 14);
    for (int k = 0; k < 4; ++k) {
        Frame fin = Frame::at({0.0f, 0.0f, 0.0f}).rolled(PI * 0.25f + PI * 0.5f * float(k));
        fin = Frame{fin.origin, fin.z, fin.x, cross(fin.z, fin.x)};
        MopedParts::slab(s, fin, {{-0.3f * size, 0.05f * size}, {-0.12f * size, 0.05f * size}, {-0.3f * size, 0.16f * size}},
                         0.006f * size);
    }
    s.setSurface(2);
    s.revolve(Frame::at({0.0f, 0.0f, 0.0f}), {{0.0f, -0.36f * size}, {0.05f * size, -0.33f * size}, {0.055f * size, -0.28f * size}, {0.0f, -0.28f * size}}, 12);
    s.setSurface(3);
    s.ellipsoid(Frame::at(Vec3{0.0f, 0.0f, -0.48f} * size), Vec3{0.045f, 0.045f, 0.13f} * size, 10, 6);
    return lwo2Bytes(objectOf(s, {{"rakete", Paint{{0.92f, 0.92f, 0.9f}, 0.8f, 0.6f, 0.6f}},
                                  {"rakete_farbe", Paint{trim, 0.8f, 0.6f, 0.6f}},
                                  {"rakete_duese", Paint{{0.3f, 0.3f, 0.32f}, 0.8f, 0.5f, 0.5f}},
                                  {"rakete_flamme", glowing({1.0f, 0.6f, 0.1f}, 0.3f)}}));
}

void digitBars(Shape& s, float x, float y, const char* segments) {
    // Seven segments a to g of a digit 0.16 wide and 0.3 high on the front
    // face; seen from the front (+z) the digit's right lies towards -x.
    const float w = -0.08f, h = 0.075f, t = 0.016f, z = 0.352f;
    for (const char* c = segments; *c; ++c) {
        Vec3 centre{};
        Vec3 half{};
        switch (*c) {
        case 'a': centre = {x, y + 2 * h, z}, half = {-w, t, t}; break;
        case 'b': centre = {x + w, y + h, z}, half = {t, h, t}; break;
        case 'c': centre = {x + w, y - h, z}, half = {t, h, t}; break;
        case 'd': centre = {x, y - 2 * h, z}, half = {-w, t, t}; break;
        case 'e': centre = {x - w, y - h, z}, half = {t, h, t}; break;
        case 'f': centre = {x - w, y + h, z}, half = {t, h, t}; break;
        default: centre = {x, y, z}, half = {-w, t, t}; break;
        }
        s.box(Frame::at(centre), half);
    }
}

std::string weight() {
    Shape s;
    MopedParts::slab(s, Frame::at({0.0f, 0.0f, 0.0f}), {{-0.6f, 0.0f}, {0.6f, 0.0f}, {0.42f, 0.8f}, {-0.42f, 0.8f}}, 0.35f);
    s.torus(Frame::along({0.0f, 0.95f, 0.0f}, {1.0f, 0.0f, 0.0f}), 0.15f, 0.04f, 20, 8);
    s.setSurface(1);
    digitBars(s, 0.26f, 0.4f, "bc");
    digitBars(s, 0.0f, 0.4f, "afgedc");
    s.box(Frame::at({-0.26f, 0.4f, 0.352f}), {0.016f, 0.15f, 0.016f});
    s.box(Frame::at({-0.26f, 0.48f, 0.352f}), {0.07f, 0.016f, 0.016f});
    return lwo2Bytes(objectOf(s, {{"gewicht", Paint{{0.22f, 0.22f, 0.24f}, 0.8f, 0.5f, 0.4f}},
                                  {"gewicht_schrift", Paint{{0.95f, 0.95f, 0.9f}, 0.9f, 0.2f, 0.3f}}}));
}

std::string bubble() {
    Shape s;
    s.ellipsoid(Frame::at({0.0f, 0.0f, 0.0f}), {1.0f, 1.0f, 1.0f}, 24, 14);
    Paint soap{{0.75f, 0.9f, 1.0f}, 0.5f, 1.0f, 0.9f, 0.15f, 0.7f};
    return lwo2Bytes(objectOf(s, {{"seifenblase", soap}}));
}

std::string laser(std::array<float, 3> rgb) {
    Shape s;
    s.rod({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 6.0f}, 0.025f, 6);
    s.setSurface(1);
    s.rod({0.0f, 0.0f, -0.05f}, {0.0f, 0.0f, 6.05f}, 0.07f, 8);
    return lwo2Bytes(objectOf(s, {{"laser_kern", glowing({1.0f, 1.0f, 1.0f})}, {"laser_schein", glowing(rgb, 0.6f)}}));
}

// A spiky ball; its picture (the rocket's fire) changes with the explosion type.
std::string explosion() {
    Shape s;
    std::vector<Ring> rings;
    const int stacks = 10, segments = 16;
    for (int k = 0; k <= stacks; ++k) {
        float phi = PI * float(k) / float(stacks);
        if (k == 0 || k == stacks) {
            rings.push_back(Ring{{{0.0f, 0.0f, -std::cos(phi)}}, {}, true});
            continue;
        }
        Ring ring;
        for (int j = 0; j < segments; ++j) {
            float a = 2.0f * PI * float(j) / float(segments);
            float r = 0.75f + 0.5f * hash(k, j);
            ring.points.push_back(Vec3{std::sin(phi) * std::cos(a), std::sin(phi) * std::sin(a), -std::cos(phi)} * r);
        }
        rings.push_back(ring);
    }
    s.loft(rings, false, false);
    Lwo2Object object = objectOf(s, {{"explosion", glowing({1.0f, 1.0f, 1.0f}, 0.2f)}});
    addPicture(object, 0, "COLR", 2, 1, {2.0f, 2.0f, 2.0f}, mn::EXPLOSION_IMAGE[0]);
    return lwo2Bytes(object);
}

// Fire, ice and poison: hot centre, flickering rim.
std::string explosionPicture(int type) {
    const std::array<float, 3> hot[3] = {{1.0f, 0.95f, 0.6f}, {0.9f, 1.0f, 1.0f}, {0.85f, 1.0f, 0.6f}};
    const std::array<float, 3> rim[3] = {{0.9f, 0.25f, 0.02f}, {0.2f, 0.5f, 1.0f}, {0.45f, 0.1f, 0.7f}};
    Bitmap picture(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            float flicker = hash(x / 4, y / 4) * 0.6f + hash(x, y) * 0.4f;
            float t = std::fabs(float(y) / 63.0f - 0.5f) * 1.6f + flicker * 0.4f;
            t = std::min(t, 1.0f);
            const auto& a = hot[type];
            const auto& b = rim[type];
            picture.set(x, y, a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t);
        }
    return picture.bmp();
}

constexpr const char* SHADOW_PICTURE = "D:\\Vantorik/3dobjects_cars/kart_shadow.bmp";

// A flat patch, dark in the middle and fading out to its rim.
std::string shadow() {
    Shape s;
    const float w = 0.65f, l = 1.05f;
    s.addFace({s.addPoint({-w, 0.0f, -l}), s.addPoint({-w, 0.0f, l}), s.addPoint({w, 0.0f, l}), s.addPoint({w, 0.0f, -l})});
    Paint dark{{0.0f, 0.0f, 0.0f}, 0.0f, 0.0f, 0.1f, 0.0f, 0.05f};
    Lwo2Object object = objectOf(s, {{"schatten", dark}});
    addPicture(object, 0, "TRAN", 0, 1, {2.0f * w, 1.0f, 2.0f * l}, SHADOW_PICTURE);
    return lwo2Bytes(object);
}

std::string shadowPicture() {
    Bitmap picture(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            float dx = (float(x) - 31.5f) / 31.5f, dy = (float(y) - 31.5f) / 31.5f;
            float r = std::sqrt(dx * dx + dy * dy);
            float t = std::clamp((r - 0.3f) / 0.65f, 0.0f, 1.0f);
            float v = 0.35f + 0.65f * t * t * (3.0f - 2.0f * t);
            picture.set(x, y, v, v, v);
        }
    return picture.bmp();
}

} // namespace

std::vector<MopedFile> extraObjectFiles() {
    std::vector<MopedFile> files = {
        mopedFile(mn::MAGNET, magnet()),
        mopedFile(mn::MINE, mine()),
        mopedFile(mn::ROCKET_1, rocket({0.85f, 0.1f, 0.08f}, 1.0f)),
        mopedFile(mn::ROCKET_2, rocket({0.1f, 0.3f, 0.85f}, 1.2f)),
        mopedFile(mn::WEIGHT, weight()),
        mopedFile(mn::BUBBLE, bubble()),
        mopedFile(mn::LASER_1, laser({1.0f, 0.1f, 0.1f})),
        mopedFile(mn::LASER_2, laser({0.2f, 1.0f, 0.3f})),
        mopedFile(mn::EXPLOSION, explosion()),
        mopedFile(mn::SHADOW, shadow()),
        mopedFile(SHADOW_PICTURE, shadowPicture()),
    };
    for (int type = 0; type < 3; ++type) files.push_back(mopedFile(mn::EXPLOSION_IMAGE[type], explosionPicture(type)));
    return files;
}
