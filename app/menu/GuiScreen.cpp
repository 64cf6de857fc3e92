#include "app/menu/GuiScreen.h"

void GuiScreen::enter() { m_result = -1; }
void GuiScreen::leave() { m_result = -1; }
void GuiScreen::playClick() {}
