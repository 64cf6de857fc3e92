#pragma once
#include <string>

#include "sys/gfx/GfxTypes.h"

namespace sys::gfx {

// The text-drawing font object of the original's helper library. The game
// makes one but draws all its text through the GUI, so it draws nothing.
class Font {
public:
    Font(int height, const std::string& face) : m_height(height), m_face(face) {}
    // The height of the text that would have been drawn.
    int drawText(const char* text, const Rect& rect, uint32_t format, uint32_t color) const { return text && *text ? m_height : 0; }
    void onLostDevice() {}
    void onResetDevice() {}
    int getHeight() const { return m_height; }
    const std::string& getFace() const { return m_face; }

private:
    int m_height;
    std::string m_face;
};

} // namespace sys::gfx
