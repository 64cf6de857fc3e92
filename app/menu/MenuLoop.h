#pragma once

class Config;
class File;
class GuiScreen;
class InputDevice;
class Menu;
class SoundDevice;

// Builds the whole menu: texts, the menu scene with the 20 preview scenes,
// imagesets, music, click sound and the screens; opens on the first screen.
bool menuSetup(Menu& menu, File& files, SoundDevice* sound, Config& config);
// One frame: the screens' results, the preview, the GUI, the replicated values.
bool menuFrame(Menu& menu);
// Escape on the main menu and the splash asks to quit; the rest goes to the GUI.
bool injectInput(InputDevice& input, Menu& menu);
// Frees what menuSetup built and saves "config.dat".
void menuTeardown(Menu& menu);
void switchScreen(Menu& menu, GuiScreen* screen);
// The preview's rectangle in pixels of the 1024 x 768 layout.
void placeCarPreview(Menu& menu, float left, float top, float width, float height);
