#pragma once
#include "app/program/LoopPhase.h"

class Menu;

// The menu loop's side of the frame pump: the screens' frame, the menu scene
// and the menu music.
class MenuPhase : public LoopPhase {
public:
    explicit MenuPhase(Menu& menu) : m_menu(menu) {}

    FrameBudget::Phase kind() const override { return FrameBudget::MENU; }
    bool running() const override;
    bool frame(InputDevice& input) override;
    MetaScene* scene() const override;
    GuiContext* gui() const override;
    void pause() override;
    void resume() override;

private:
    Menu& m_menu;
};
