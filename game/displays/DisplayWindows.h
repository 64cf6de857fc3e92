#pragma once
#include <cstddef>
#include <functional>

#include <CEGUI/String.h>

namespace CEGUI {
class Window;
}

// The in-race windows are laid out in pixels of the 1024 x 768 screen, or of
// their frame window; these build them from the scheme's types.
namespace displayWindows {

constexpr float SCREEN_WIDTH = 1024.0f;
constexpr float SCREEN_HEIGHT = 768.0f;

// A window of the type at a pixel rectangle of a parent of the given size,
// added to the parent.
CEGUI::Window* create(const char* type, CEGUI::Window* parent, float x, float y, float width, float height,
                      float parentWidth = SCREEN_WIDTH, float parentHeight = SCREEN_HEIGHT);
void place(CEGUI::Window* window, float x, float y, float parentWidth = SCREEN_WIDTH,
           float parentHeight = SCREEN_HEIGHT);
// A "Quillfen/StaticText" with white text, no frame and no backdrop.
CEGUI::Window* text(CEGUI::Window* parent, float x, float y, float width, float height, const char* font,
                    const char* horizontal, const char* vertical, float parentWidth = SCREEN_WIDTH,
                    float parentHeight = SCREEN_HEIGHT);
// A "Quillfen/StaticImage" showing only its image.
CEGUI::Window* image(CEGUI::Window* parent, float x, float y, float width, float height);
// "Set/Image", or nothing for an empty name.
void setImage(CEGUI::Window* window, const CEGUI::String& image);
// Sets the property unless it holds the value already: setting it redraws the
// window even when nothing changed.
void setChanged(CEGUI::Window* window, const CEGUI::String& property, const CEGUI::String& value);
// A "Quillfen/FrameWindow", hidden and disabled, without close button, title
// bar, sizing or moving.
CEGUI::Window* frame(CEGUI::Window* parent, float x, float y, float width, float height);
// A "Quillfen/Button" in a frame of the given size whose click runs the action.
CEGUI::Window* button(CEGUI::Window* frame, float x, float y, float width, float height, float frameWidth,
                      float frameHeight, const CEGUI::String& label, std::function<void()> action);

// The text with its first marker ("[NICKNAME]") replaced by the value; a text without it as it is.
CEGUI::String filledIn(const CEGUI::String& text, const CEGUI::String& marker, const CEGUI::String& value);

// A name kept as UTF-8 in a fixed field of the size (rider records, settings),
// cleaned as the log cleans it: another computer's control bytes or broken
// characters show as '?', never as a blank or a split line.
CEGUI::String utf8Text(const char* bytes, size_t size);

} // namespace displayWindows
