#pragma once
#include <cstdint>

#include "engine/platform/GuiHelper.h"

namespace CEGUI {
class Window;
}
class Menu;

// A menu screen: a window tree built in code, shown as the GUI's sheet, read
// by the menu loop through its result (-1 nothing to report).
class GuiScreen : public GuiHelper {
public:
    explicit GuiScreen(Menu* owner) : m_owner(owner) {}
    ~GuiScreen() override = default;

    // One shared literal a screen; the loop also compares its address.
    virtual const char* name() const = 0;
    virtual void enter();
    virtual void leave();
    virtual int32_t result() const { return m_result; }
    virtual void setResult(int32_t result) { m_result = result; }
    // Set-up screens copy their choices into the configuration.
    virtual void apply() {}

    CEGUI::Window* root() const { return m_root; }

protected:
    // The click every button plays, at the effects volume.
    void playClick();

    Menu* m_owner;
    int32_t m_result = -1;
    CEGUI::Window* m_root = nullptr;
};
