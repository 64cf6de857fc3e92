#include "game/displays/DisplayWindows.h"

#include <cstring>
#include <string>

#include <CEGUI/CEGUI.h>

#include "engine/platform/Report.h"
#include "engine/platform/gui/GuiHelper.h"

namespace displayWindows {

CEGUI::Window* create(const char* type, CEGUI::Window* parent, float x, float y, float width, float height,
                      float parentWidth, float parentHeight) {
    CEGUI::Window* window = CEGUI::WindowManager::getSingleton().createWindow(type);
    place(window, x, y, parentWidth, parentHeight);
    const CEGUI::UVector2 size = GuiHelper::toRelative(width, height, parentWidth, parentHeight);
    window->setSize(CEGUI::USize(size.d_x, size.d_y));
    if (parent) parent->addChild(window);
    return window;
}

void place(CEGUI::Window* window, float x, float y, float parentWidth, float parentHeight) {
    window->setPosition(GuiHelper::toRelative(x, y, parentWidth, parentHeight));
}

CEGUI::Window* text(CEGUI::Window* parent, float x, float y, float width, float height, const char* font,
                    const char* horizontal, const char* vertical, float parentWidth, float parentHeight) {
    CEGUI::Window* window = create("Quillfen/StaticText", parent, x, y, width, height, parentWidth, parentHeight);
    window->setProperty("HorzFormatting", horizontal);
    window->setProperty("VertFormatting", vertical);
    window->setProperty("TextColours", "tl:FFFFFFFF tr:FFFFFFFF bl:FFFFFFFF br:FFFFFFFF");
    window->setProperty("FrameEnabled", "false");
    window->setProperty("BackgroundEnabled", "false");
    window->setFont(font);
    return window;
}

CEGUI::Window* image(CEGUI::Window* parent, float x, float y, float width, float height) {
    CEGUI::Window* window = create("Quillfen/StaticImage", parent, x, y, width, height);
    window->setProperty("FrameEnabled", "false");
    window->setProperty("BackgroundEnabled", "false");
    return window;
}

void setImage(CEGUI::Window* window, const CEGUI::String& image) {
    if (window && !image.empty()) setChanged(window, "Image", image);
}

void setChanged(CEGUI::Window* window, const CEGUI::String& property, const CEGUI::String& value) {
    if (window->getProperty(property) != value) window->setProperty(property, value);
}

CEGUI::Window* frame(CEGUI::Window* parent, float x, float y, float width, float height) {
    CEGUI::Window* window = create("Quillfen/FrameWindow", parent, x, y, width, height);
    window->setProperty("CloseButtonEnabled", "false");
    window->setProperty("TitlebarEnabled", "false");
    window->setProperty("SizingEnabled", "false");
    window->setProperty("DragMovingEnabled", "false");
    window->setVisible(false);
    window->setEnabled(false);
    return window;
}

CEGUI::Window* button(CEGUI::Window* frame, float x, float y, float width, float height, float frameWidth,
                      float frameHeight, const CEGUI::String& label, std::function<void()> action) {
    CEGUI::Window* window = create("Quillfen/Button", frame, x, y, width, height, frameWidth, frameHeight);
    window->setFont("VerdanaMedium");
    window->setText(label);
    window->subscribeEvent(CEGUI::PushButton::EventClicked, [action](const CEGUI::EventArgs&) {
        action();
        return true;
    });
    return window;
}

CEGUI::String filledIn(const CEGUI::String& text, const CEGUI::String& marker, const CEGUI::String& value) {
    CEGUI::String filled = text;
    const size_t at = filled.find(marker);
    if (at != CEGUI::String::npos) filled.replace(at, marker.length(), value);
    return filled;
}

CEGUI::String utf8Text(const char* bytes, size_t size) {
    const std::string shown = printableExcerpt(std::string(bytes, strnlen(bytes, size)), size);
    return CEGUI::String(reinterpret_cast<const CEGUI::utf8*>(shown.data()), shown.size());
}

} // namespace displayWindows
