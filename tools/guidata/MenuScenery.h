#pragma once
#include <cstdint>

#include "tools/guidata/Canvas.h"

// What the menu pictures are drawn from: sky, town, road, mopeds, and
// the plates and frames that carry the screens' texts and 3D previews.
namespace scenery {

// Colours the screens share, so they read as one game.
constexpr uint32_t AMBER = 0xFFE8A020;
constexpr uint32_t AMBER_LIGHT = 0xFFFFC860;
constexpr uint32_t AMBER_DARK = 0xFFC87C14; // a pushed button
constexpr uint32_t GREYED_FACE = 0xFFC8C2B6; // a disabled button or box, and its rim
constexpr uint32_t GREYED_RIM = 0xFF8A8A8A;
constexpr uint32_t SLATE = 0xFF2C3E50; // inside the message windows, under white text
constexpr uint32_t INK = 0xFF1E2A38;   // outlines and frames
constexpr uint32_t CREAM = 0xFFFFF4DC; // plates under black text
constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr uint32_t ASPHALT = 0xFF464A50;

// Small repeatable dice for scattering clouds, houses and stars.
class Dice {
public:
    explicit Dice(uint32_t seed) : m_state(seed) {}
    // A whole number from lo to hi inclusive.
    int roll(int lo, int hi);

private:
    uint32_t m_state;
};

// Rows 0 .. horizon blend from `top` to `bottom`.
void sky(Canvas& c, int horizon, uint32_t top, uint32_t bottom);
void cloud(Canvas& c, float x, float y, float size, uint32_t argb);
// Rolling country from `baseY` down to the bottom of the picture.
void hills(Canvas& c, float baseY, float height, float phase, uint32_t argb);
// A row of houses standing on `baseY` between x0 and x1.
void houses(Canvas& c, int x0, int x1, float baseY, float scale, Dice& dice, bool nightWindows = false);
void tree(Canvas& c, float x, float baseY, float size);
// A road seen from the side: kerb, tarmac and dashed middle line.
void road(Canvas& c, int top, int height);
void chequer(Canvas& c, int x, int y, int w, int h, int cell);
// A moped seen from the side with its rider, wheels on `baseY`; `scale` 1 is about 200 pixels long.
void moped(Canvas& c, float x, float baseY, float scale, uint32_t paint, bool facingRight = true);
// Speed streaks trailing behind something moving right.
void streaks(Canvas& c, float x, float y, float length, int count, uint32_t argb);
void stars(Canvas& c, int count, int bottom, Dice& dice);

// A cream plate with a drop shadow and an amber rim, for black text.
void plate(Canvas& c, float x, float y, float w, float h);
// A dark translucent panel, for white text.
void darkPanel(Canvas& c, float x, float y, float w, float h);
// A thick frame round a rectangle; the inside is left as it is.
void frame(Canvas& c, float x, float y, float w, float h);
// A frame whose inside is cleared, so the 3D preview drawn under the picture shows through.
void previewWindow(Canvas& c, int x0, int y0, int x1, int y1);

} // namespace scenery
