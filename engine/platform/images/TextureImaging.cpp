#include "engine/platform/images/TextureImaging.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/platform/Math3D.h"
#include "engine/platform/images/Image.h"

namespace textureimaging {

namespace {

uint32_t powerOfTwoAtLeast(uint32_t value, uint32_t minimum) {
    uint32_t p = 1;
    while (p < value || p < minimum) p <<= 1;
    return p;
}

uint32_t channelSum(uint32_t pixel) { return ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF); }

uint32_t grey(uint32_t pixel) { return channelSum(pixel) / 3; }

ColorRGBA unpack(uint32_t texel) {
    const float k = 0.003921569f;
    return {((texel >> 16) & 0xFF) * k, ((texel >> 8) & 0xFF) * k, (texel & 0xFF) * k, (texel >> 24) * k};
}

uint32_t greyTexel(int g) {
    uint32_t v = static_cast<uint32_t>(std::clamp(g, 0, 255));
    return 0xFF000000u + v * 0x010101u;
}

} // namespace

Size textureSize(int32_t pictureWidth, int32_t pictureHeight, uint32_t flags, bool nonPowerOfTwo, int32_t sizeShift,
                 uint32_t maxWidth, uint32_t maxHeight) {
    const uint32_t pw = static_cast<uint32_t>(std::max(pictureWidth, 1));
    const uint32_t ph = static_cast<uint32_t>(std::max(pictureHeight, 1));
    Size s{pw, ph};
    if (!((flags & KEEP_SIZE) && nonPowerOfTwo)) s = {powerOfTwoAtLeast(pw, 128), powerOfTwoAtLeast(ph, 1)};
    if (!(flags & NEVER_SHIFTED) && sizeShift != 0) {
        const int shift = std::min(-sizeShift, 31);
        // A picture shrunk to nothing keeps one texel a side.
        s = {std::max(pw >> shift, 1u), std::max(ph >> shift, 1u)};
    }
    return {std::min(s.width, maxWidth), std::min(s.height, maxHeight)};
}

void sampleImage(const Image& picture, const Image* alphaPicture, int32_t alphaMode, uint32_t flags, uint32_t* texels,
                 uint32_t width, uint32_t height) {
    const int32_t pw = picture.getWidth(), ph = picture.getHeight();
    const uint32_t* pixels = picture.getPixels();
    const float stepX = static_cast<float>(pw) / static_cast<float>(width);
    const float stepY = static_cast<float>(ph) / static_cast<float>(height);
    const bool masked = alphaPicture && alphaPicture->getPixels();
    float sy = 0.0f;
    for (uint32_t y = 0; y < height; ++y, sy += stepY) {
        const int32_t row = std::min(static_cast<int32_t>(sy), ph - 1);
        float sx = 0.0f;
        for (uint32_t x = 0; x < width; ++x, sx += stepX) {
            const int32_t column = std::min(static_cast<int32_t>(sx), pw - 1);
            const uint32_t pixel = pixels[static_cast<size_t>(row) * pw + column];
            uint32_t& texel = texels[static_cast<size_t>(y) * width + x];
            if (flags & TRANSPARENCY_MAP) {
                texel = (255u - grey(pixel)) << 24;
            } else if (masked) {
                uint32_t alpha = 255;
                if (column < alphaPicture->getWidth() && row < alphaPicture->getHeight())
                    alpha = 255u - grey(alphaPicture->getPixels()[static_cast<size_t>(row) * alphaPicture->getWidth() + column]);
                texel = (pixel & 0x00FFFFFFu) | (((pixel >> 24) & alpha) << 24);
            } else if (alphaMode == 0) {
                texel = pixel;
            } else if (alphaMode == 1) {
                texel = pixel | 0xFF000000u;
            } else if (alphaMode == 2) {
                texel = 0xFF000000u | (pixel >> 24) * 0x010101u;
            }
        }
    }
}

void transparencyMipLevel(const uint32_t* source, uint32_t sourceWidth, uint32_t sourceHeight, uint32_t* target,
                          uint32_t targetWidth, uint32_t targetHeight) {
    for (uint32_t y = 0; y < targetHeight; ++y)
        for (uint32_t x = 0; x < targetWidth; ++x) {
            ColorRGBA c[4];
            for (int k = 0; k < 4; ++k) {
                uint32_t sx = 2 * x + (k & 1), sy = 2 * y + (k >> 1);
                c[k] = sx < sourceWidth && sy < sourceHeight ? unpack(source[static_cast<size_t>(sy) * sourceWidth + sx])
                                                             : ColorRGBA{0, 0, 0, 1};
            }
            float alpha = std::min(std::min(c[0].a, c[1].a), std::min(c[2].a, c[3].a));
            float w[4], sum = 0;
            for (int k = 0; k < 4; ++k) sum += w[k] = 1.0f - c[k].a;
            ColorRGBA out{0, 0, 0, 1};
            if (sum > 1e-6f) {
                out = {0, 0, 0, alpha};
                for (int k = 0; k < 4; ++k) {
                    out.r += w[k] * c[k].r;
                    out.g += w[k] * c[k].g;
                    out.b += w[k] * c[k].b;
                }
                out.r /= sum;
                out.g /= sum;
                out.b /= sum;
            }
            target[static_cast<size_t>(y) * targetWidth + x] = colorToARGB(out);
        }
}

void normalMapLevel(uint32_t* texels, uint32_t width, uint32_t height, uint32_t pitch) {
    std::vector<float> h(static_cast<size_t>(width) * height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) h[y * width + x] = static_cast<float>(16 * channelSum(texels[y * pitch + x]) / 3);
    const uint32_t mx = width - 1, my = height - 1;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const float h0 = h[y * width + x];
            const float dR = h[y * width + ((x + 1) & mx)] - h0, dL = h[y * width + ((x - 1) & mx)] - h0;
            const float dU = h[((y - 1) & my) * width + x] - h0, dD = h[((y + 1) & my) * width + x] - h0;
            const float quadrants[4][3] = {
                {-255 * dR, -255 * dD, 65025}, {255 * dL, -255 * dD, 65025}, {255 * dL, 255 * dU, 65025},
                {-255 * dR, 255 * dU, 65025}};
            float n[3] = {0, 0, 0};
            for (const auto& q : quadrants) {
                float v[3] = {q[0], q[1], q[2]};
                normalize(v);
                for (int i = 0; i < 3; ++i) n[i] += v[i];
            }
            normalize(n);
            const uint32_t r = static_cast<uint32_t>((n[0] + 1) * 127.5f), g = static_cast<uint32_t>((n[1] + 1) * 127.5f),
                           b = static_cast<uint32_t>((n[2] + 1) * 127.5f);
            texels[y * pitch + x] = std::min(r, 255u) << 16 | std::min(g, 255u) << 8 | std::min(b, 255u);
        }
}

double valueNoise1D(double x) {
    const double fl = std::floor(x);
    const int32_t i = static_cast<int32_t>(fl);
    // 32-bit wrap-around on purpose: the lattice hash relies on it.
    auto lattice = [](uint32_t m) {
        m = (m << 13) ^ m;
        uint32_t h = (m * (m * m * 15731u + 789221u) + 1376312589u) & 0x7FFFFFFFu;
        return 1.0 - h / 1073741824.0;
    };
    const uint32_t n = static_cast<uint32_t>(i) * 71u;
    const double low = lattice(n), high = lattice(n + 71u);
    return low + (high - low) * (x - fl);
}

uint32_t flareTexel(int kind, uint32_t x, uint32_t y, uint32_t width, uint32_t height) {
    const double fx = static_cast<double>(x) - width / 2 - 0.5, fy = static_cast<double>(y) - height / 2 - 0.5;
    const double r = std::sqrt(fx * fx + fy * fy);
    switch (kind) {
    case 0: {
        const int ri = 2 * static_cast<int>(r);
        const double a = std::atan2(fx, fy) + 3.9269908169872414;
        const double t = valueNoise1D(a * 10.0) + a * 5.092958178940651 + 1.0;
        const double f = std::fmod(t, 1.0);
        const double v = std::fabs((f - 0.5) * 3.3) * 0.1 / (ri * 0.1 + 1.0);
        const int g = std::clamp(static_cast<int>((1.0 - v) * 255), 0, 255);
        return 0xFFFFFFFFu - static_cast<uint32_t>(g) * 0x010101u;
    }
    case 1: {
        const double d = std::log(fx * fx + fy * fy);
        return d < 0 ? greyTexel(255) : greyTexel(static_cast<int>((5.86 / d - 0.53) * 255));
    }
    case 2: return greyTexel(static_cast<int>(255 - std::pow(r, 6) * 9.094947017729282e-13));
    case 3: return greyTexel(static_cast<int>(255 - std::sqrt(r) * 16));
    case 4: {
        const double v = std::fabs(r - width * 0.084375) / (width * 0.07);
        return v < 1.0 ? 0xFF000000u + (static_cast<uint32_t>(static_cast<int>((1.0 - v) * 255)) & 255u) * 0x010101u
                       : 0xFF000000u;
    }
    default: return 0;
    }
}

uint32_t spotTexel(float brightness, float edgeWidth, float coneAngle, uint32_t x, uint32_t y, uint32_t width,
                   uint32_t height) {
    const float k = std::tan(coneAngle), scale = brightness * 8.0f;
    const float cx = (width - 1) * 0.5f, cy = (height - 1) * 0.5f;
    const float u = (x - cx) / cx, v = (y - cy) / cy;
    const float theta = std::atan(std::sqrt(u * u + v * v) * k);
    const float d = coneAngle - theta;
    // A zero edge width is a hard edge, not a division by zero.
    const float value = d <= 0 ? 0.0f : (d >= edgeWidth ? scale : d / edgeWidth * scale);
    const uint32_t packed = colorToARGB({value, value, value, 1.0f});
    return (packed & 0x00FFFFFFu) ? packed : 0u;
}

uint32_t sequenceFrame(float frameRate, double time, uint32_t offset, uint32_t first, uint32_t last, int32_t mode) {
    const int64_t f = static_cast<int64_t>(static_cast<double>(frameRate) * time);
    uint32_t i = static_cast<uint32_t>(f - offset);
    const uint32_t range = last - first, count = range + 1;
    switch (mode) {
    case 1:
        if (i > range) i = 0;
        break;
    case 2:
        if (i > range) i = range;
        break;
    case 4: i = count ? i % count : 0; break;
    case 256: {
        if (!count) break;
        const uint32_t q = i / count, k = i % count;
        i = q % 2 ? k : range - k;
        break;
    }
    default: break;
    }
    return i;
}

void gradientTexels(float start, float end, AnimatedValue values[4], bool transparencyChannel, uint32_t* texels) {
    for (uint32_t i = 0; i < GRADIENT_TEXELS; ++i) {
        const double p = start + (end - start) * i * 0.0009765625;
        ColorRGBA c{values[0].evaluate(p), values[1].evaluate(p), values[2].evaluate(p), values[3].evaluate(p)};
        if (transparencyChannel) c.a = c.r;
        texels[GRADIENT_TEXELS - 1 - i] = colorToARGB(c);
    }
}

} // namespace textureimaging
