#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "tools/guidata/Canvas.h"

// Letters from a TrueType font painted onto pictures: titles, numbers and
// labels that are part of the artwork rather than of the game's text tables.
class TextPainter {
public:
    // Throws std::runtime_error when the bytes are no TrueType font.
    explicit TextPainter(std::string trueType);
    ~TextPainter();
    TextPainter(TextPainter&&) noexcept;

    // Advance of the UTF-8 text at `size` pixels from the top of the capitals to the bottom of the descenders.
    float width(const std::string& text, float size) const;
    // Paints the text with the left end of its baseline at (x, baseline).
    void draw(Canvas& canvas, const std::string& text, float x, float baseline, float size, uint32_t argb) const;
    // The same centred on x, with an outline `outline` pixels wide painted first.
    void drawCentred(Canvas& canvas, const std::string& text, float x, float baseline, float size, uint32_t argb,
                     float outline = 0.0f, uint32_t outlineArgb = 0xFF000000) const;

private:
    struct Font;
    std::unique_ptr<const std::string> m_trueType; // the font reads from these bytes, so they never move
    std::unique_ptr<Font> m_font;
};

// Where Debian keeps the DejaVu fonts the menu fonts are made from.
extern const char* const GUI_FONT_FOLDER;

// A font file's bytes; throws std::runtime_error when it cannot be read.
std::string readFontFile(const std::string& path);
