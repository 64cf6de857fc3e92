#pragma once
#include <cstdint>
#include <functional>

#include "engine/platform/gui/GuiHelper.h"

namespace CEGUI {
class Window;
}
class GuiContext;
class Menu;

// A menu screen: a window tree built in code, shown as the GUI's sheet, read
// by the menu loop through its result (-1 nothing to report).
class GuiScreen : public GuiHelper {
public:
    static constexpr float LAYOUT_WIDTH = 1024.0f;
    static constexpr float LAYOUT_HEIGHT = 768.0f;

    explicit GuiScreen(Menu* owner) : m_owner(owner) {}
    // Destroys the screen's windows unless the GUI got rid of them already.
    ~GuiScreen() override;
    GuiScreen(const GuiScreen&) = delete;
    GuiScreen& operator=(const GuiScreen&) = delete;

    virtual const char* name() const = 0;
    // Result -1, the root becomes the GUI's sheet.
    virtual void enter();
    // Result -1, no sheet.
    virtual void leave();
    virtual int32_t result() const { return m_result; }
    virtual void setResult(int32_t result) { m_result = result; }
    // Set-up screens copy their choices into the configuration.
    virtual void apply() {}

    CEGUI::Window* root() const { return m_root; }

    // A window of the scheme placed and sized in pixels of its parent's
    // layout, added to the parent when there is one.
    static CEGUI::Window* createWindow(const char* type, CEGUI::Window* parent, float x, float y, float width,
                                       float height, float parentWidth = LAYOUT_WIDTH,
                                       float parentHeight = LAYOUT_HEIGHT);
    // A question frame: no close button, title bar, sizing or dragging; hidden and disabled.
    static CEGUI::Window* createQuestionFrame(CEGUI::Window* parent, float x, float y, float width, float height);
    // Shown questions are modal and on top; hiding undoes all four.
    static void showModal(CEGUI::Window& frame);
    static void hideModal(CEGUI::Window& frame);
    // A static text without frame or backdrop, so it reads over the screen's picture.
    static void setTextLook(CEGUI::Window& text, const char* font, uint32_t argb, const char* horizontal,
                            const char* vertical);
    // The four images of an image button: hover and pushed look alike.
    static void setButtonImages(CEGUI::Window& button, const char* normal, const char* hover, const char* disabled);

    // Loads an imageset file; one that is missing or broken goes to the log
    // and the screens show without its pictures.
    static void useImageset(GuiContext& gui, const char* fileName);

    // Binds the button's click: the click sound, then the action.
    void onClick(CEGUI::Window& button, std::function<void()> action);

protected:
    // The root: named after the screen, the whole screen, showing `image`.
    void createRoot(const char* image);
    // The click every button plays, at the effects volume.
    void playClick();

    Menu* m_owner;
    int32_t m_result = -1;
    CEGUI::Window* m_root = nullptr;
};
