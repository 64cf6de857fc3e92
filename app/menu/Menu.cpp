#include "app/menu/Menu.h"

#include "app/menu/CreditsScreen.h"
#include "app/menu/GuiScreen.h"
#include "app/menu/HighscoresScreen.h"
#include "app/menu/MainMenuScreen.h"
#include "app/menu/MultiplayerScreen.h"
#include "app/menu/SplashScreen.h"
#include "engine/platform/SampleStream.h"
#include "engine/platform/Sound.h"
#include "engine/scene/MetaScene.h"
#include "game/TextTable.h"

Menu::Menu() = default;
Menu::~Menu() = default;
