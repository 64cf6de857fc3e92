#include "app/menu/MenuLoop.h"

bool menuSetup(Menu&, File&, SoundDevice*, Config&) { return true; }
bool menuFrame(Menu&) { return true; }
bool injectInput(InputDevice&, Menu&) { return true; }
void menuTeardown(Menu&) {}
void switchScreen(Menu&, GuiScreen*) {}
void placeCarPreview(Menu&, float, float, float, float) {}
