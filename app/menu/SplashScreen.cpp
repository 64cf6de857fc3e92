#include "app/menu/SplashScreen.h"

#include <CEGUI/CEGUI.h>

#include <string>

#include "app/menu/Menu.h"
#include "app/menu/QuitQuestion.h"
#include "engine/platform/gui/GuiContext.h"
#include "game/records/Config.h"
#include "game/records/TextTable.h"

namespace {

const QuitQuestion::Layout QUIT_LAYOUT = {262, 184, 500, 400, 30, 60, 440, 215, 30, 330, 310, 140, 60, "VerdanaMedium"};

// The image names' codes by language index.
const char* const FLAG_CODES[SplashScreen::LANGUAGES] = {"DE", "EN", "FR", "SP", "IT", "RU"};

constexpr float FIRST_FLAG_X = 76.0f;
constexpr float FLAG_SPACING = 150.0f;
constexpr float FLAG_Y = 670.0f;
constexpr float FLAG_WIDTH = 120.0f;
constexpr float FLAG_HEIGHT = 102.0f;
constexpr int GO_ON = 0;

} // namespace

SplashScreen::SplashScreen(Menu* owner) : GuiScreen(owner) {
    createRoot("splash/Background");
    m_quit = std::make_unique<QuitQuestion>(*this, *m_root, QUIT_LAYOUT);
    for (int language = 0; language < LANGUAGES; ++language) {
        m_flags[language] = createWindow("Quillfen/ImageButton", m_root, FIRST_FLAG_X + FLAG_SPACING * language, FLAG_Y,
                                         FLAG_WIDTH, FLAG_HEIGHT);
        onClick(*m_flags[language], [this, language] {
            m_owner->config->m_settings.m_language = language;
            m_owner->texts->m_language = language;
            setResult(GO_ON);
        });
    }
}

SplashScreen::~SplashScreen() = default;

void SplashScreen::enter() {
    useImageset(*m_owner->gui, "Flags.imageset");
    m_quit->setTexts(*m_owner->texts);
    for (int language = 0; language < LANGUAGES; ++language) {
        const std::string image = std::string("Flags/Flag") + FLAG_CODES[language];
        setButtonImages(*m_flags[language], (image + "_Normal").c_str(), (image + "_Hover").c_str(),
                        (image + "_Normal").c_str());
        m_flags[language]->setVisible(true);
        m_flags[language]->setEnabled(true);
    }
    // Leaving freed the pictures the flags were last drawn with.
    m_root->invalidate(true);
    GuiScreen::enter();
}

void SplashScreen::leave() {
    unloadImageset(*m_owner->gui, "Flags");
    GuiScreen::leave();
}

void SplashScreen::showQuitDialog() { m_quit->show(); }
