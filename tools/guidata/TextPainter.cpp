#include "tools/guidata/TextPainter.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

struct TextPainter::Font {
    stbtt_fontinfo info;
};

namespace {

// Code points of a UTF-8 text; a broken sequence gives U+FFFD and moves on.
std::vector<int> codePoints(const std::string& text) {
    std::vector<int> out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size()) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        int cp = length == 1 ? c : c & (0x7F >> length);
        for (int k = 1; k < length; ++k) cp = cp << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out.push_back(cp);
        i += size_t(length);
    }
    return out;
}

} // namespace

TextPainter::TextPainter(std::string trueType)
    : m_trueType(std::make_unique<const std::string>(std::move(trueType))), m_font(std::make_unique<Font>()) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(m_trueType->data());
    if (m_trueType->size() < 12 || stbtt_GetFontOffsetForIndex(bytes, 0) < 0 ||
        !stbtt_InitFont(&m_font->info, bytes, stbtt_GetFontOffsetForIndex(bytes, 0)))
        throw std::runtime_error("not a TrueType font");
}

TextPainter::~TextPainter() = default;
TextPainter::TextPainter(TextPainter&&) noexcept = default;

float TextPainter::width(const std::string& text, float size) const {
    const float scale = stbtt_ScaleForPixelHeight(&m_font->info, size);
    const std::vector<int> cps = codePoints(text);
    float x = 0.0f;
    for (size_t i = 0; i < cps.size(); ++i) {
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(&m_font->info, cps[i], &advance, &bearing);
        x += advance * scale;
        if (i + 1 < cps.size()) x += stbtt_GetCodepointKernAdvance(&m_font->info, cps[i], cps[i + 1]) * scale;
    }
    return x;
}

void TextPainter::draw(Canvas& canvas, const std::string& text, float x, float baseline, float size,
                       uint32_t argb) const {
    const float scale = stbtt_ScaleForPixelHeight(&m_font->info, size);
    const std::vector<int> cps = codePoints(text);
    for (size_t i = 0; i < cps.size(); ++i) {
        const float shiftX = x - std::floor(x), shiftY = baseline - std::floor(baseline);
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBoxSubpixel(&m_font->info, cps[i], scale, scale, shiftX, shiftY, &x0, &y0, &x1, &y1);
        const int w = x1 - x0, h = y1 - y0;
        if (w > 0 && h > 0) {
            std::vector<unsigned char> mask(size_t(w) * h);
            stbtt_MakeCodepointBitmapSubpixel(&m_font->info, mask.data(), w, h, w, scale, scale, shiftX, shiftY, cps[i]);
            for (int py = 0; py < h; ++py)
                for (int px = 0; px < w; ++px)
                    canvas.plot(int(std::floor(x)) + x0 + px, int(std::floor(baseline)) + y0 + py, argb,
                                mask[size_t(py) * w + px] / 255.0f);
        }
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(&m_font->info, cps[i], &advance, &bearing);
        x += advance * scale;
        if (i + 1 < cps.size()) x += stbtt_GetCodepointKernAdvance(&m_font->info, cps[i], cps[i + 1]) * scale;
    }
}

void TextPainter::drawCentred(Canvas& canvas, const std::string& text, float x, float baseline, float size,
                              uint32_t argb, float outline, uint32_t outlineArgb) const {
    const float left = x - width(text, size) / 2;
    // The outline is the text painted round a ring of offsets beneath the face.
    if (outline > 0.0f)
        for (int step = 0; step < 16; ++step) {
            const float a = step * 0.39269908f;
            draw(canvas, text, left + outline * std::cos(a), baseline + outline * std::sin(a), size, outlineArgb);
        }
    draw(canvas, text, left, baseline, size, argb);
}

const char* const GUI_FONT_FOLDER = "/usr/share/fonts/truetype/dejavu/";

std::string readFontFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    if (!in.good() && !in.eof()) throw std::runtime_error("cannot read " + path);
    if (bytes.empty()) throw std::runtime_error("cannot read " + path);
    return bytes;
}
