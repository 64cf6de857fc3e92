#include "app/menu/MainMenuScreen.h"

#include <CEGUI/CEGUI.h>

#include "app/lobby/LanLobby.h"
#include "app/menu/Menu.h"
#include "app/menu/MessageWindow.h"
#include "app/menu/QuitQuestion.h"
#include "game/records/RunState.h"
#include "game/records/TextTable.h"

namespace {

struct Place {
    float x, y;
};

const QuitQuestion::Layout QUIT_LAYOUT = {261, 184, 500, 300, 25, 70, 400, 60, 20, 330, 230, 150, 50, "VerdanaSmall"};

// By MainMenuScreen::Button.
const Place BUTTON_PLACES[] = {{257, 528}, {48, 446}, {465, 585}, {882, 634},
                               {674, 621}, {609, 47}, {901, 158}, {755, 98}};
const Place CAPTION_PLACES[] = {{237, 598}, {38, 516}, {455, 655}, {862, 707},
                                {664, 691}, {589, -6}, {891, 105}, {745, 45}};
const int CAPTION_TEXTS[] = {2100, 2200, 2000, 2350, 2300, 2400, 2500, 2600};
// The three round buttons of the top right have their own pictures.
const char* const ICON_IMAGES[][2] = {{"Quillfen/HighscoreButton", "Quillfen/HighscoreButtonHover"},
                                      {"Quillfen/OptionsButton", "Quillfen/OptionsButtonHover"},
                                      {"Quillfen/CreditsButton", "Quillfen/CreditsButtonHover"}};

constexpr float BUTTON_SIZE = 90.0f;
constexpr float CAPTION_WIDTH = 270.0f;
constexpr float CAPTION_HEIGHT = 70.0f;

} // namespace

MainMenuScreen::MainMenuScreen(Menu* owner) : GuiScreen(owner) {
    createRoot("main/Background");

    m_logo = createWindow("Quillfen/StaticImage", m_root, 0, 0, 1024, 512);
    m_logo->setProperty("Image", "logo/Logo");
    m_logo->setVisible(false);
    m_logo->setEnabled(false);

    m_quit = std::make_unique<QuitQuestion>(*this, *m_root, QUIT_LAYOUT);
    m_lost = std::make_unique<MessageWindow>(*this, *m_root, [] {});

    m_off = createWindow("Quillfen/ImageButton", m_root, 22, 629, 120, 120);
    setButtonImages(*m_off, "Quillfen/OffButton", "Quillfen/OffButtonHover", "Quillfen/OffButton");
    onClick(*m_off, [this] { m_quit->show(); });

    for (int b = 0; b < BUTTONS; ++b) {
        CEGUI::Window* button = createWindow("Quillfen/ImageButton", m_root, BUTTON_PLACES[b].x, BUTTON_PLACES[b].y,
                                             BUTTON_SIZE, BUTTON_SIZE);
        if (b < HIGHSCORES)
            setButtonImages(*button, "Quillfen/RoundedMiniButton", "Quillfen/RoundedMiniButtonHover",
                            "Quillfen/RoundedMiniButtonDisabled");
        else
            setButtonImages(*button, ICON_IMAGES[b - HIGHSCORES][0], ICON_IMAGES[b - HIGHSCORES][1],
                            ICON_IMAGES[b - HIGHSCORES][0]);
        button->setAlwaysOnTop(true);
        const int code = RESULT_CODES[b];
        onClick(*button, [this, code] { setResult(code); });
        m_buttons[b] = button;
    }
    for (int b = 0; b < BUTTONS; ++b) {
        m_captions[b] = createWindow("Quillfen/StaticText", m_root, CAPTION_PLACES[b].x, CAPTION_PLACES[b].y,
                                     CAPTION_WIDTH, CAPTION_HEIGHT);
        setTextLook(*m_captions[b], "VerdanaSmall", 0xFF000000, "WordWrapLeftAligned", "CentreAligned");
    }
}

MainMenuScreen::~MainMenuScreen() = default;

void MainMenuScreen::enter() {
    const TextTable& texts = *m_owner->texts;
    m_quit->setTexts(texts);
    for (int b = 0; b < BUTTONS; ++b) m_captions[b]->setText(texts.getText(CAPTION_TEXTS[b]));
    m_lost->setTexts(texts);
    GuiScreen::enter();
    RunState& run = *m_owner->run;
    if (!run.m_lanLost) return;
    run.m_lanLost = false;
    m_lost->show(texts.getText(LanLobby::lossText()));
}

void MainMenuScreen::showQuitDialog() { m_quit->show(); }
