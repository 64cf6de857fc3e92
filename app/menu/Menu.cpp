#include "app/menu/Menu.h"

#include "app/menu/CreditsScreen.h"
#include "app/menu/GuiScreen.h"
#include "app/menu/HighscoresScreen.h"
#include "app/menu/MainMenuScreen.h"
#include "app/menu/MultiplayerScreen.h"
#include "app/menu/MultiplayerSelectScreen.h"
#include "app/menu/SplashScreen.h"
#include "engine/platform/audio/SampleStream.h"
#include "engine/platform/audio/Sound.h"
#include "engine/scene/MetaScene.h"
#include "game/records/TextTable.h"

Menu::Menu() = default;
Menu::~Menu() = default;
