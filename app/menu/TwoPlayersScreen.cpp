#include "app/menu/TwoPlayersScreen.h"

#include <CEGUI/CEGUI.h>

#include <string>

#include "app/menu/Menu.h"
#include "game/race/GameRules.h"
#include "game/records/Config.h"
#include "game/records/TextTable.h"
#include "net/NetControl.h"

namespace {

constexpr int32_t LAST_MODEL = GameRules::MODELS - 1;
constexpr int32_t LAST_COLOUR = GameRules::COLOURS - 1;

constexpr int TEXT_SINGLE_RACE = 2110;
constexpr int TEXT_CHAMPIONSHIP = 2000;
constexpr int TEXT_ALL_TRACKS = 2010;

// A button of SetUpScreen::ButtonKind, or one of these.
enum Look { CAPTION = SetUpScreen::RIGHT_BUTTON + 1, PICTURE };

struct Placed {
    int look;
    float width, height, x, y;
    uint32_t colour; // captions only
    bool visible;
};

constexpr uint32_t WHITE = SetUpScreen::WHITE;
constexpr uint32_t BLACK = SetUpScreen::BLACK;

// By TwoPlayersScreen::Widget, on the 1024 x 768 layout.
const Placed LAYOUT[TwoPlayersScreen::WIDGETS] = {
    {SetUpScreen::OK_BUTTON, 120, 120, 885, 629, 0, true},
    {SetUpScreen::BACK_BUTTON, 120, 120, 22, 629, 0, true},
    {SetUpScreen::UP_ARROW, 45, 45, 445, 43, 0, true},
    {SetUpScreen::DOWN_ARROW, 45, 45, 445, 135, 0, true},
    // The colours show on the previews; the captions keep their texts unseen.
    {CAPTION, 288, 30, 165, 36, WHITE, false},
    {SetUpScreen::UP_ARROW, 45, 45, 851, 43, 0, true},
    {SetUpScreen::DOWN_ARROW, 45, 45, 851, 135, 0, true},
    {CAPTION, 288, 30, 571, 36, WHITE, false},
    {SetUpScreen::LEFT_BUTTON, 90, 90, 206, 223, 0, true},
    {SetUpScreen::RIGHT_BUTTON, 90, 90, 324, 223, 0, true},
    {CAPTION, 288, 30, 165, 185, WHITE, true},
    {SetUpScreen::LEFT_BUTTON, 90, 90, 611, 223, 0, true},
    {SetUpScreen::RIGHT_BUTTON, 90, 90, 730, 223, 0, true},
    {CAPTION, 288, 30, 572, 185, WHITE, true},
    {PICTURE, 290, 218, 571, 342, 0, true},
    {SetUpScreen::LEFT_BUTTON, 90, 90, 611, 540, 0, true},
    {SetUpScreen::RIGHT_BUTTON, 90, 90, 729, 540, 0, true},
    {CAPTION, 358, 30, 541, 502, WHITE, true},
    {CAPTION, 132, 47, 266, 544, BLACK, true},
    {SetUpScreen::LEFT_BUTTON, 90, 90, 158, 522, 0, true},
    {SetUpScreen::RIGHT_BUTTON, 90, 90, 417, 522, 0, true},
    {SetUpScreen::LEFT_BUTTON, 90, 90, 417, 658, 0, true},
    {SetUpScreen::RIGHT_BUTTON, 90, 90, 765, 658, 0, true},
    {CAPTION, 224, 47, 524, 680, BLACK, true},
};

} // namespace

TwoPlayersScreen::TwoPlayersScreen(Menu* owner) : SetUpScreen(owner) {
    createRoot("Splitscreen/Background");
    for (int w = 0; w < WIDGETS; ++w) {
        const Placed& p = LAYOUT[w];
        CEGUI::Window* window = p.look == CAPTION   ? createCaption(p.x, p.y, p.width, p.height, p.colour)
                                : p.look == PICTURE ? createPicture(p.x, p.y, p.width, p.height)
                                                    : createButton(ButtonKind(p.look), p.x, p.y, p.width);
        window->setVisible(p.visible);
        m_widgets[w] = window;
    }

    // Leaving for the main menu also drops the network client.
    m_widgets[BACK]->subscribeEvent(CEGUI::PushButton::EventClicked,
                                    CEGUI::Event::Subscriber([](const CEGUI::EventArgs&) {
                                        NetControl::getInstance().disconnect();
                                        return true;
                                    }));
    for (int player = 0; player < 2; ++player) {
        const int colours = player * (COLOUR2_UP - COLOUR1_UP);
        onClick(*m_widgets[COLOUR1_UP + colours], [this, player] { stepMoped(player, true, false); });
        onClick(*m_widgets[COLOUR1_DOWN + colours], [this, player] { stepMoped(player, true, true); });
        const int models = player * (MODEL2_LEFT - MODEL1_LEFT);
        onClick(*m_widgets[MODEL1_LEFT + models], [this, player] { stepMoped(player, false, false); });
        onClick(*m_widgets[MODEL1_RIGHT + models], [this, player] { stepMoped(player, false, true); });
    }
    onClick(*m_widgets[TRACK_LEFT], [this] { stepTrack(false); });
    onClick(*m_widgets[TRACK_RIGHT], [this] { stepTrack(true); });
    onClick(*m_widgets[LAPS_LEFT], [this] { stepLaps(false); });
    onClick(*m_widgets[LAPS_RIGHT], [this] { stepLaps(true); });
    onClick(*m_widgets[MODE_LEFT], [this] { toggleMode(); });
    onClick(*m_widgets[MODE_RIGHT], [this] { toggleMode(); });
}

void TwoPlayersScreen::enter() {
    resetRiders();
    settleMopeds();
    showMode();
    for (int player = 0; player < 2; ++player) {
        showColour(player);
        showModel(player);
    }
    showTrack();
    showLaps();
    GuiScreen::enter();
}

void TwoPlayersScreen::apply() {
    Config& config = *m_owner->config;
    const Config::Settings& s = config.m_settings;
    config.m_playMode = GameRules::SPLIT_SCREEN;
    config.m_game = s.m_twoPlayerMode;
    // The players start behind the computer riders.
    setRider(0, GameRules::USER1, s.m_playerName1, s.m_twoPlayerColour1, s.m_twoPlayerModel1, 4);
    setRider(1, GameRules::USER2, s.m_playerName2, s.m_twoPlayerColour2, s.m_twoPlayerModel2, 3);
    setComputerRiders(2);

    const bool single = s.m_twoPlayerMode == GameRules::SINGLE_RACE;
    config.m_track = single ? s.m_twoPlayerTrack : 0;
    config.m_laps = single ? s.m_twoPlayerLaps : CHAMPIONSHIP_LAPS;
    config.m_isHost = true;
}

void TwoPlayersScreen::stepMoped(int player, bool colour, bool forward) {
    Config::Settings& s = m_owner->config->m_settings;
    int32_t* models[] = {&s.m_twoPlayerModel1, &s.m_twoPlayerModel2};
    int32_t* colours[] = {&s.m_twoPlayerColour1, &s.m_twoPlayerColour2};
    int32_t& value = colour ? *colours[player] : *models[player];
    const int32_t last = colour ? LAST_COLOUR : LAST_MODEL;
    value = chooserStep(value, 0, last, forward);
    // The other player's moped holds one value of this field: one more step passes it.
    const int other = 1 - player;
    if (*models[player] == *models[other] && *colours[player] == *colours[other])
        value = chooserStep(value, 0, last, forward);
    if (colour)
        showColour(player);
    else
        showModel(player);
}

void TwoPlayersScreen::stepTrack(bool forward) {
    Config::Settings& s = m_owner->config->m_settings;
    s.m_twoPlayerTrack =
        s.m_twoPlayerMode == GameRules::CHAMPIONSHIP ? 0 : chooserStep(s.m_twoPlayerTrack, 0, LAST_TRACK, forward);
    showTrack();
}

void TwoPlayersScreen::stepLaps(bool forward) {
    Config::Settings& s = m_owner->config->m_settings;
    s.m_twoPlayerLaps = chooserStep(s.m_twoPlayerLaps, FIRST_LAP, LAST_LAP, forward);
    showLaps();
}

void TwoPlayersScreen::toggleMode() {
    Config::Settings& s = m_owner->config->m_settings;
    s.m_twoPlayerMode = s.m_twoPlayerMode == GameRules::SINGLE_RACE ? GameRules::CHAMPIONSHIP : GameRules::SINGLE_RACE;
    s.m_twoPlayerTrack = 0;
    showMode();
    showTrack();
}

void TwoPlayersScreen::settleMopeds() {
    Config::Settings& s = m_owner->config->m_settings;
    if (s.m_twoPlayerModel1 == s.m_twoPlayerModel2 && s.m_twoPlayerColour1 == s.m_twoPlayerColour2)
        s.m_twoPlayerColour2 = next(s.m_twoPlayerColour2, 0, LAST_COLOUR);
}

void TwoPlayersScreen::showColour(int player) {
    const Config::Settings& s = m_owner->config->m_settings;
    const int32_t colour = player == 0 ? s.m_twoPlayerColour1 : s.m_twoPlayerColour2;
    showColourText(*m_widgets[player == 0 ? COLOUR1 : COLOUR2], colour);
}

void TwoPlayersScreen::showModel(int player) {
    const Config::Settings& s = m_owner->config->m_settings;
    const int32_t model = player == 0 ? s.m_twoPlayerModel1 : s.m_twoPlayerModel2;
    showModelText(*m_widgets[player == 0 ? MODEL1 : MODEL2], model);
}

void TwoPlayersScreen::showTrack() {
    const Config::Settings& s = m_owner->config->m_settings;
    CEGUI::Window& picture = *m_widgets[TRACK_PICTURE];
    CEGUI::Window& caption = *m_widgets[TRACK];
    if (s.m_twoPlayerMode == GameRules::CHAMPIONSHIP) {
        picture.setProperty("Image", "Tracks_mini/Championship");
        caption.setText(m_owner->texts->getText(TEXT_ALL_TRACKS));
        return;
    }
    const int32_t track = s.m_twoPlayerTrack;
    if (track < 0 || track > LAST_TRACK) return;
    picture.setProperty("Image", "Tracks_mini/Track" + std::to_string(track + 1));
    showTrackText(caption, track);
}

void TwoPlayersScreen::showLaps() {
    const Config::Settings& s = m_owner->config->m_settings;
    showLapsText(*m_widgets[LAPS],
                 s.m_twoPlayerMode == GameRules::CHAMPIONSHIP ? CHAMPIONSHIP_LAPS : s.m_twoPlayerLaps);
}

void TwoPlayersScreen::showMode() {
    Config::Settings& s = m_owner->config->m_settings;
    const bool single = s.m_twoPlayerMode == GameRules::SINGLE_RACE;
    m_widgets[MODE]->setText(m_owner->texts->getText(single ? TEXT_SINGLE_RACE : TEXT_CHAMPIONSHIP));
    if (!single) s.m_twoPlayerTrack = 0;
    for (Widget w : {TRACK_LEFT, TRACK_RIGHT, LAPS_LEFT, LAPS_RIGHT}) m_widgets[w]->setEnabled(single);
    showLaps();
}
