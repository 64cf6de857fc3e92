#pragma once

class Config;
class File;
class GuiScreen;
class InputDevice;
class Menu;
class SoundDevice;

// Builds the whole menu: texts, the menu scene with the 20 preview scenes,
// imagesets, music, click sound and the screens; opens on the first screen.
// The menu's renderer and GUI must be set. A GUI file or sound that does not
// load is logged and the menu goes on without it.
bool menuSetup(Menu& menu, File& files, SoundDevice* sound, Config& config);
// One frame: the screens' results, the preview, the GUI, the replicated values.
bool menuFrame(Menu& menu);
// Escape on the main menu and the splash asks to quit; the rest goes to the GUI.
bool injectInput(InputDevice& input, Menu& menu);
// Frees what menuSetup built and saves "config.dat".
void menuTeardown(Menu& menu);
// Leaves the current screen and enters `screen`; a screen the menu does not
// have (null) changes nothing.
void switchScreen(Menu& menu, GuiScreen* screen);
// The preview's rectangle in pixels of the 1024 x 768 layout.
void placeCarPreview(Menu& menu, float left, float top, float width, float height);
