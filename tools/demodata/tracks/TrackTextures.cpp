#include "tools/demodata/tracks/TrackTextures.h"

#include <algorithm>
#include <cmath>

#include "sys/Pi.h"
#include "tools/demodata/tracks/Noise.h"

namespace TrackTextures {
namespace {

// Runs `paint(x, y)` for every pixel; x, y in 0..1 across the picture.
template <typename F> Picture painted(int size, F&& paint) {
    Picture out(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            out.at(x, y) = paint((x + 0.5f) / static_cast<float>(size), (y + 0.5f) / static_cast<float>(size));
    return out;
}

Rgb scaled(Rgb c, float k) { return {c.r * k, c.g * k, c.b * k}; }

// Noise over the unit square that tiles, `cells` lattice cells across.
float fbm(const Noise& n, float x, float y, int cells, int octaves = 4) {
    return n.fractal(x * static_cast<float>(cells), y * static_cast<float>(cells), cells, octaves);
}

// Single-pixel grit: some pixels a little lighter or darker.
float grit(const Noise& n, float x, float y, int size, float amount) {
    float v = n.lattice(static_cast<int>(x * size), static_cast<int>(y * size), size);
    return 1.0f + (v - 0.5f) * amount;
}

float smoothstep(float a, float b, float x) {
    float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// Distance (in units of the picture) to the nearest grid line of `count` cells.
float lineDistance(float x, int count) {
    float f = x * static_cast<float>(count);
    float d = f - std::floor(f);
    return std::min(d, 1.0f - d) / static_cast<float>(count);
}

} // namespace

std::string archiveName(const std::string& file) { return "D:\\Vantorik\\textures\\tracks\\" + file; }
std::string clipName(const std::string& file) { return "D:/Vantorik/textures/tracks/" + file; }

Picture asphalt(int size, float brightness) {
    Noise n(11), g(12), c(13);
    return painted(size, [&](float x, float y) {
        float base = 0.25f + 0.07f * fbm(n, x, y, 8);
        float k = grit(g, x, y, size, 0.5f);
        // Thin dark cracks where a noise field crosses its middle.
        float crack = std::fabs(fbm(c, x, y, 4, 3) - 0.5f);
        if (crack < 0.006f) k *= 0.6f;
        return grey(base * k * brightness);
    });
}

Picture concrete(int size) {
    Noise n(21), g(22);
    return painted(size, [&](float x, float y) {
        float base = 0.56f + 0.12f * fbm(n, x, y, 4);
        float k = grit(g, x, y, size, 0.16f);
        // Formwork seams: two board joints across the panel.
        if (lineDistance(y, 2) * size < 1.0f) k *= 0.8f;
        if (lineDistance(x, 1) * size < 1.0f) k *= 0.85f;
        return scaled(rgb(1.0f, 0.98f, 0.94f), base * k);
    });
}

Picture concreteFloor(int size) {
    Noise n(31), g(32), s(33);
    return painted(size, [&](float x, float y) {
        float base = 0.5f + 0.1f * fbm(n, x, y, 6);
        float k = grit(g, x, y, size, 0.2f);
        // Oil stains: a few dark blots where finer noise peaks.
        float stain = smoothstep(0.66f, 0.76f, fbm(s, x, y, 6, 3));
        k *= 1.0f - 0.2f * stain;
        // Expansion joints.
        if (lineDistance(x, 2) * size < 1.0f || lineDistance(y, 2) * size < 1.0f) k *= 0.7f;
        return grey(base * k);
    });
}

Picture tiles(int size, int count, Rgb a, Rgb b) {
    Noise n(41), g(42);
    return painted(size, [&](float x, float y) {
        if (std::min(lineDistance(x, count), lineDistance(y, count)) * size < 1.2f) return grey(0.35f);
        int i = static_cast<int>(x * count), j = static_cast<int>(y * count);
        Rgb c = (i + j) % 2 ? b : a;
        float k = 0.93f + 0.1f * n.lattice(i, j, count) + 0.05f * (fbm(g, x, y, 8, 2) - 0.5f);
        return scaled(c, k);
    });
}

Picture grass(int size) {
    Noise n(51), g(52), b(53);
    return painted(size, [&](float x, float y) {
        float base = fbm(n, x, y, 6);
        Rgb c = mix(rgb(0.16f, 0.36f, 0.1f), rgb(0.32f, 0.5f, 0.16f), base);
        // Blades: streaks stretched along y.
        float blade = b.smooth(x * size * 0.5f, y * size * 0.08f, size / 2);
        return scaled(c, (0.8f + 0.4f * blade) * grit(g, x, y, size, 0.2f));
    });
}

Picture dirt(int size) {
    Noise n(61), g(62), p(63);
    return painted(size, [&](float x, float y) {
        float base = fbm(n, x, y, 5);
        Rgb c = mix(rgb(0.28f, 0.19f, 0.11f), rgb(0.45f, 0.34f, 0.22f), base);
        float pebble = p.fractal(x * 32.0f, y * 32.0f, 32, 1);
        if (pebble > 0.82f) c = mix(c, rgb(0.55f, 0.52f, 0.48f), 0.7f);
        return scaled(c, grit(g, x, y, size, 0.3f));
    });
}

Picture brick(int size) {
    Noise n(71), g(72);
    const int rows = 8, columns = 4;
    return painted(size, [&](float x, float y) {
        int row = static_cast<int>(y * rows);
        float shifted = x + (row % 2 ? 0.5f / columns : 0.0f);
        shifted -= std::floor(shifted);
        if (lineDistance(y, rows) * size < 1.5f || lineDistance(shifted, columns) * size < 1.5f)
            return scaled(rgb(0.72f, 0.7f, 0.66f), grit(g, x, y, size, 0.3f));
        int column = static_cast<int>(shifted * columns);
        float tone = n.lattice(column, row, rows * columns);
        Rgb c = mix(rgb(0.5f, 0.18f, 0.12f), rgb(0.7f, 0.32f, 0.2f), tone);
        return scaled(c, grit(g, x, y, size, 0.25f));
    });
}

Picture plaster(int size, Rgb tint) {
    Noise n(81), g(82);
    return painted(size, [&](float x, float y) {
        return scaled(tint, (0.9f + 0.12f * fbm(n, x, y, 8)) * grit(g, x, y, size, 0.1f));
    });
}

Picture roofTiles(int size) {
    Noise n(91), g(92);
    const int rows = 8, columns = 8;
    return painted(size, [&](float x, float y) {
        float fy = y * rows - std::floor(y * rows);
        int row = static_cast<int>(y * rows);
        float shifted = x + (row % 2 ? 0.5f / columns : 0.0f);
        shifted -= std::floor(shifted);
        int column = static_cast<int>(shifted * columns);
        // Each tile darkens towards its lower edge, under the next row's overlap.
        float k = 1.0f - 0.35f * fy * fy;
        if (lineDistance(shifted, columns) * size < 1.0f) k *= 0.6f;
        Rgb c = mix(rgb(0.45f, 0.15f, 0.1f), rgb(0.62f, 0.25f, 0.15f), n.lattice(column, row, rows * columns));
        return scaled(c, k * grit(g, x, y, size, 0.15f));
    });
}

Picture wood(int size) {
    Noise n(101), g(102);
    const int planks = 4;
    return painted(size, [&](float x, float y) {
        int plank = static_cast<int>(x * planks);
        float grain = std::sin((x * 60.0f + 6.0f * fbm(n, x, y, 4)) * PI);
        Rgb c = mix(rgb(0.42f, 0.27f, 0.14f), rgb(0.58f, 0.4f, 0.22f), 0.5f + 0.3f * grain);
        float k = 0.85f + 0.25f * n.lattice(plank, 7, planks);
        if (lineDistance(x, planks) * size < 1.0f) k *= 0.5f;
        return scaled(c, k * grit(g, x, y, size, 0.1f));
    });
}

Picture metalPlate(int size) {
    Noise g(112);
    const int bumps = 8;
    return painted(size, [&](float x, float y) {
        float fx = x * bumps - std::floor(x * bumps), fy = y * bumps - std::floor(y * bumps);
        int cell = (static_cast<int>(x * bumps) + static_cast<int>(y * bumps)) % 2;
        // Raised bars, alternately turned, lit from the top left.
        float along = cell ? fx - fy : fx + fy - 1.0f;
        float across = cell ? fx + fy - 1.0f : fx - fy;
        float bar = std::fabs(across) < 0.12f && std::fabs(along) < 0.6f ? (across < 0.0f ? 1.25f : 0.75f) : 1.0f;
        return grey(0.5f * bar * grit(g, x, y, size, 0.15f));
    });
}

Picture water(int size) {
    Noise n(121), w(122);
    return painted(size, [&](float x, float y) {
        float wave = fbm(w, x, y, 6, 3);
        Rgb c = mix(rgb(0.08f, 0.2f, 0.28f), rgb(0.2f, 0.42f, 0.5f), wave);
        if (fbm(n, x, y, 12, 2) > 0.72f) c = mix(c, rgb(0.8f, 0.9f, 0.95f), 0.4f);
        return c;
    });
}

Picture leaves(int size) {
    Noise n(131), g(132);
    return painted(size, [&](float x, float y) {
        float clump = fbm(n, x, y, 16, 3);
        Rgb c = mix(rgb(0.06f, 0.18f, 0.05f), rgb(0.25f, 0.45f, 0.12f), smoothstep(0.3f, 0.75f, clump));
        return scaled(c, grit(g, x, y, size, 0.35f));
    });
}

Picture laneLine(int size) {
    Noise n(141), g(142);
    return painted(size, [&](float x, float y) {
        // Worn patches let the road show through.
        float wear = smoothstep(0.6f, 0.75f, fbm(n, x, y, 6, 3));
        return grey((0.92f - 0.5f * wear) * grit(g, x, y, size, 0.15f));
    });
}

Picture kerb(int size) {
    Noise g(152);
    return painted(size, [&](float x, float y) {
        bool red = y < 0.5f;
        Rgb c = red ? rgb(0.75f, 0.1f, 0.08f) : grey(0.9f);
        if (lineDistance(y, 2) * size < 1.0f) c = grey(0.3f);
        return scaled(c, grit(g, x, y, size, 0.12f));
    });
}

Picture finishLine(int size) {
    return painted(size, [&](float x, float y) {
        int i = static_cast<int>(x * 8), j = static_cast<int>(y * 8);
        return grey((i + j) % 2 ? 0.08f : 0.92f);
    });
}

Picture hazard(int size) {
    Noise g(162);
    return painted(size, [&](float x, float y) {
        float stripe = x + y;
        bool yellow = static_cast<int>(std::floor(stripe * 4.0f)) % 2 == 0;
        return scaled(yellow ? rgb(0.95f, 0.75f, 0.05f) : grey(0.08f), grit(g, x, y, size, 0.1f));
    });
}

Picture arrows(int size) {
    Noise g(172);
    return painted(size, [&](float x, float y) {
        // Two chevrons pointing to the bottom of the picture: the road's v
        // falls along the lap and the picture's top row lies at v = 1.
        const float down = 1.0f - y;
        float fy = down * 2.0f - std::floor(down * 2.0f);
        float d = fy - std::fabs(x - 0.5f) * 0.8f;
        // Soft over a pixel and a half: the rider runs over the pad close up, where hard edges step.
        const float edge = 1.5f / static_cast<float>(size);
        const float lit = smoothstep(0.25f - edge, 0.25f + edge, d) * smoothstep(0.55f + edge, 0.55f - edge, d) *
                          smoothstep(0.4f + edge, 0.4f - edge, std::fabs(x - 0.5f));
        Rgb c = mix(rgb(0.12f, 0.1f, 0.1f), rgb(1.0f, 0.55f, 0.05f), lit);
        return scaled(c, grit(g, x, y, size, 0.1f));
    });
}

Picture windows(int size) {
    Noise n(181), g(182);
    const int count = 4;
    return painted(size, [&](float x, float y) {
        float fx = x * count - std::floor(x * count), fy = y * count - std::floor(y * count);
        bool glass = fx > 0.2f && fx < 0.8f && fy > 0.25f && fy < 0.75f;
        if (!glass) return scaled(rgb(0.45f, 0.42f, 0.4f), grit(g, x, y, size, 0.2f));
        float lit = n.lattice(static_cast<int>(x * count), static_cast<int>(y * count), count);
        return lit > 0.55f ? mix(rgb(1.0f, 0.85f, 0.5f), rgb(0.9f, 0.7f, 0.35f), fy) : rgb(0.08f, 0.1f, 0.14f);
    });
}

Picture extraBox(int size) {
    return painted(size, [&](float x, float y) {
        float dx = x - 0.5f, dy = y - 0.5f;
        float rim = std::max(std::fabs(dx), std::fabs(dy));
        if (rim > 0.42f) return rgb(1.0f, 0.95f, 0.6f);
        // A four-pointed star on an orange glow.
        float star = std::fabs(dx) * std::fabs(dy) * 40.0f + std::hypot(dx, dy) * 1.2f;
        Rgb glow = mix(rgb(1.0f, 0.75f, 0.1f), rgb(0.9f, 0.3f, 0.05f), rim * 2.0f);
        return star < 0.35f ? rgb(1.0f, 1.0f, 0.85f) : glow;
    });
}

} // namespace TrackTextures
