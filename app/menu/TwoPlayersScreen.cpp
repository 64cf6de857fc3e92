#include "app/menu/TwoPlayersScreen.h"

#include <CEGUI/CEGUI.h>

#include <cstdio>
#include <cstring>

#include "app/menu/Menu.h"
#include "game/Config.h"
#include "game/TextTable.h"
#include "net/NetControl.h"

namespace {

constexpr int32_t MODELS = 5;
constexpr int32_t COLOURS = 4;
constexpr int32_t TRACKS = 6;
constexpr int32_t MAX_LAPS = 5;
constexpr int32_t CHAMPIONSHIP_LAPS = 3;

constexpr int32_t START = 0;
constexpr int32_t BACK_TO_MAIN_MENU = 1;

constexpr int32_t SPLIT_SCREEN = 1;
constexpr int32_t FIRST_PLAYER = 1;
constexpr int32_t SECOND_PLAYER = 2;
constexpr int32_t COMPUTER = 5;

constexpr int TEXT_SINGLE_RACE = 2110;
constexpr int TEXT_CHAMPIONSHIP = 2000;
constexpr int TEXT_ALL_TRACKS = 2010;
constexpr int TEXT_LAPS = 2471;
constexpr int TEXT_FIRST_TRACK = 3000;
constexpr int TEXT_FIRST_MODEL = 700;

constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr uint32_t BLACK = 0xFF000000;

enum Look { OK_IMAGES, BACK_IMAGES, UP_IMAGES, DOWN_IMAGES, LEFT_IMAGES, RIGHT_IMAGES, CAPTION, PICTURE };

struct Placed {
    Look look;
    float width, height, x, y;
    uint32_t colour; // captions only
    bool visible;
};

// By TwoPlayersScreen::Widget, on the 1024 x 768 layout.
const Placed LAYOUT[TwoPlayersScreen::WIDGETS] = {
    {OK_IMAGES, 120, 120, 885, 629, 0, true},
    {BACK_IMAGES, 120, 120, 22, 629, 0, true},
    {UP_IMAGES, 45, 45, 445, 43, 0, true},
    {DOWN_IMAGES, 45, 45, 445, 135, 0, true},
    // The colours show on the previews; the captions keep their texts unseen.
    {CAPTION, 288, 30, 165, 36, WHITE, false},
    {UP_IMAGES, 45, 45, 851, 43, 0, true},
    {DOWN_IMAGES, 45, 45, 851, 135, 0, true},
    {CAPTION, 288, 30, 571, 36, WHITE, false},
    {LEFT_IMAGES, 90, 90, 206, 223, 0, true},
    {RIGHT_IMAGES, 90, 90, 324, 223, 0, true},
    {CAPTION, 288, 30, 165, 185, WHITE, true},
    {LEFT_IMAGES, 90, 90, 611, 223, 0, true},
    {RIGHT_IMAGES, 90, 90, 730, 223, 0, true},
    {CAPTION, 288, 30, 572, 185, WHITE, true},
    {PICTURE, 290, 218, 571, 342, 0, true},
    {LEFT_IMAGES, 90, 90, 611, 540, 0, true},
    {RIGHT_IMAGES, 90, 90, 729, 540, 0, true},
    {CAPTION, 358, 30, 541, 502, WHITE, true},
    {CAPTION, 132, 47, 266, 544, BLACK, true},
    {LEFT_IMAGES, 90, 90, 158, 522, 0, true},
    {RIGHT_IMAGES, 90, 90, 417, 522, 0, true},
    {LEFT_IMAGES, 90, 90, 417, 658, 0, true},
    {RIGHT_IMAGES, 90, 90, 765, 658, 0, true},
    {CAPTION, 224, 47, 524, 680, BLACK, true},
};

// Normal, hover and pushed, disabled; by Look.
const char* const BUTTON_IMAGES[][3] = {
    {"Quillfen/OKButton", "Quillfen/OKButtonHover", "Quillfen/OKButtonDisabled"},
    {"Quillfen/BackButton", "Quillfen/BackButtonHover", "Quillfen/BackButton"},
    {"Quillfen/UpArrow", "Quillfen/UpArrowHover", "Quillfen/UpArrowDisabled"},
    {"Quillfen/DownArrow", "Quillfen/DownArrowHover", "Quillfen/DownArrowDisabled"},
    {"Quillfen/LeftButton", "Quillfen/LeftButtonHover", "Quillfen/LeftButtonDisabled"},
    {"Quillfen/RightButton", "Quillfen/RightButtonHover", "Quillfen/RightButtonDisabled"},
};

// Any value, even one no chooser could have left, lands in 0 .. count - 1.
int32_t wrapped(int32_t value, int32_t count) { return ((value % count) + count) % count; }

CEGUI::Window* build(const Placed& p, CEGUI::Window* root) {
    const char* type = p.look == CAPTION   ? "Quillfen/StaticText"
                       : p.look == PICTURE ? "Quillfen/StaticImage"
                                           : "Quillfen/ImageButton";
    CEGUI::Window* window = GuiScreen::createWindow(type, root, p.x, p.y, p.width, p.height);
    if (p.look == CAPTION) {
        GuiScreen::setTextLook(*window, "VerdanaSmall", p.colour, "CentreAligned", "CentreAligned");
    } else if (p.look == PICTURE) {
        window->setProperty("FrameEnabled", "false");
        window->setProperty("BackgroundEnabled", "false");
    } else {
        const char* const* images = BUTTON_IMAGES[p.look];
        GuiScreen::setButtonImages(*window, images[0], images[1], images[2]);
        window->setHorizontalAlignment(CEGUI::HA_LEFT);
        window->setVerticalAlignment(CEGUI::VA_TOP);
        window->setEnabled(true);
    }
    window->setVisible(p.visible);
    return window;
}

void copyName(char (&to)[Config::NAME_SIZE], const char (&from)[Config::NAME_SIZE]) {
    std::memcpy(to, from, Config::NAME_SIZE);
    to[Config::NAME_SIZE - 1] = '\0';
}

} // namespace

TwoPlayersScreen::TwoPlayersScreen(Menu* owner) : GuiScreen(owner) {
    createRoot("Splitscreen/Background");
    for (int w = 0; w < WIDGETS; ++w) m_widgets[w] = build(LAYOUT[w], m_root);

    onClick(*m_widgets[OK], [this] { setResult(START); });
    onClick(*m_widgets[BACK], [this] {
        setResult(BACK_TO_MAIN_MENU);
        NetControl::getInstance().disconnect();
    });
    for (int player = 0; player < 2; ++player) {
        const int offset = player * (COLOUR2_UP - COLOUR1_UP);
        onClick(*m_widgets[COLOUR1_UP + offset], [this, player] { stepMoped(player, true, -1); });
        onClick(*m_widgets[COLOUR1_DOWN + offset], [this, player] { stepMoped(player, true, 1); });
        const int modelOffset = player * (MODEL2_LEFT - MODEL1_LEFT);
        onClick(*m_widgets[MODEL1_LEFT + modelOffset], [this, player] { stepMoped(player, false, -1); });
        onClick(*m_widgets[MODEL1_RIGHT + modelOffset], [this, player] { stepMoped(player, false, 1); });
    }
    onClick(*m_widgets[TRACK_LEFT], [this] { stepTrack(-1); });
    onClick(*m_widgets[TRACK_RIGHT], [this] { stepTrack(1); });
    onClick(*m_widgets[LAPS_LEFT], [this] { stepLaps(-1); });
    onClick(*m_widgets[LAPS_RIGHT], [this] { stepLaps(1); });
    onClick(*m_widgets[MODE_LEFT], [this] { toggleMode(); });
    onClick(*m_widgets[MODE_RIGHT], [this] { toggleMode(); });
}

void TwoPlayersScreen::enter() {
    Config& config = *m_owner->config;
    for (NetValue<Config::Player>& rider : config.m_player) {
        rider.setFlags(NetValueBase::FLAG_SEND);
        *rider.modify() = Config::Player();
    }
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
    config.m_playMode = SPLIT_SCREEN;
    config.m_game = s.m_twoPlayerMode;
    config.m_playerKind[0] = FIRST_PLAYER;
    config.m_playerKind[1] = SECOND_PLAYER;

    Config::Player& first = *config.m_player[0].modify();
    Config::Player& second = *config.m_player[1].modify();
    first.colour = s.m_twoPlayerColour1;
    second.colour = s.m_twoPlayerColour2;
    first.model = s.m_twoPlayerModel1;
    second.model = s.m_twoPlayerModel2;
    copyName(first.name, s.m_playerName1);
    copyName(second.name, s.m_playerName2);
    // The players start behind the computer riders.
    first.startRank = 4;
    second.startRank = 3;

    for (int slot = 2; slot < Config::RIDERS; ++slot) {
        config.m_playerKind[slot] = COMPUTER;
        Config::Player& rider = *config.m_player[slot].modify();
        rider.colour = -1;
        rider.startRank = Config::RIDERS - 1 - slot;
        rider.points = 0;
        rider.totalTime = 0.0f;
    }

    const bool single = s.m_twoPlayerMode == SINGLE_RACE;
    config.m_track = single ? s.m_twoPlayerTrack : 0;
    config.m_laps = single ? s.m_twoPlayerLaps : CHAMPIONSHIP_LAPS;
    config.m_isHost = true;
}

void TwoPlayersScreen::stepMoped(int player, bool colour, int32_t step) {
    Config::Settings& s = m_owner->config->m_settings;
    int32_t* models[] = {&s.m_twoPlayerModel1, &s.m_twoPlayerModel2};
    int32_t* colours[] = {&s.m_twoPlayerColour1, &s.m_twoPlayerColour2};
    int32_t& value = colour ? *colours[player] : *models[player];
    const int32_t count = colour ? COLOURS : MODELS;
    value = wrapped(value + step, count);
    // The other player's moped holds one value of this field: one more step passes it.
    const int other = 1 - player;
    if (*models[player] == *models[other] && *colours[player] == *colours[other]) value = wrapped(value + step, count);
    if (colour)
        showColour(player);
    else
        showModel(player);
}

void TwoPlayersScreen::stepTrack(int32_t step) {
    Config::Settings& s = m_owner->config->m_settings;
    s.m_twoPlayerTrack = s.m_twoPlayerMode == CHAMPIONSHIP ? 0 : wrapped(s.m_twoPlayerTrack + step, TRACKS);
    showTrack();
}

void TwoPlayersScreen::stepLaps(int32_t step) {
    Config::Settings& s = m_owner->config->m_settings;
    s.m_twoPlayerLaps = wrapped(s.m_twoPlayerLaps - 1 + step, MAX_LAPS) + 1;
    showLaps();
}

void TwoPlayersScreen::toggleMode() {
    Config::Settings& s = m_owner->config->m_settings;
    s.m_twoPlayerMode = s.m_twoPlayerMode == SINGLE_RACE ? CHAMPIONSHIP : SINGLE_RACE;
    s.m_twoPlayerTrack = 0;
    showMode();
    showTrack();
}

void TwoPlayersScreen::settleMopeds() {
    Config::Settings& s = m_owner->config->m_settings;
    if (s.m_twoPlayerModel1 == s.m_twoPlayerModel2 && s.m_twoPlayerColour1 == s.m_twoPlayerColour2)
        s.m_twoPlayerColour2 = wrapped(s.m_twoPlayerColour2 + 1, COLOURS);
}

void TwoPlayersScreen::showColour(int player) {
    const Config::Settings& s = m_owner->config->m_settings;
    const int32_t colour = player == 0 ? s.m_twoPlayerColour1 : s.m_twoPlayerColour2;
    if (colour < 0 || colour >= COLOURS) return;
    m_widgets[player == 0 ? COLOUR1 : COLOUR2]->setText(m_owner->texts->getText(100 * (colour + 1)));
}

void TwoPlayersScreen::showModel(int player) {
    const Config::Settings& s = m_owner->config->m_settings;
    const int32_t model = player == 0 ? s.m_twoPlayerModel1 : s.m_twoPlayerModel2;
    if (model < 0 || model >= MODELS) return;
    m_widgets[player == 0 ? MODEL1 : MODEL2]->setText(m_owner->texts->getText(TEXT_FIRST_MODEL + model));
}

void TwoPlayersScreen::showTrack() {
    const Config::Settings& s = m_owner->config->m_settings;
    CEGUI::Window& picture = *m_widgets[TRACK_PICTURE];
    CEGUI::Window& caption = *m_widgets[TRACK];
    if (s.m_twoPlayerMode == CHAMPIONSHIP) {
        picture.setProperty("Image", "Tracks_mini/Championship");
        caption.setText(m_owner->texts->getText(TEXT_ALL_TRACKS));
        return;
    }
    const int32_t track = s.m_twoPlayerTrack;
    if (track < 0 || track >= TRACKS) return;
    picture.setProperty("Image", "Tracks_mini/Track" + std::to_string(track + 1));
    caption.setText(m_owner->texts->getText(TEXT_FIRST_TRACK + 100 * track));
}

void TwoPlayersScreen::showLaps() {
    char laps[16];
    std::snprintf(laps, sizeof laps, " %d", int(m_owner->config->m_settings.m_twoPlayerLaps));
    m_widgets[LAPS]->setText(m_owner->texts->getText(TEXT_LAPS) + laps);
}

void TwoPlayersScreen::showMode() {
    Config::Settings& s = m_owner->config->m_settings;
    const bool single = s.m_twoPlayerMode == SINGLE_RACE;
    m_widgets[MODE]->setText(m_owner->texts->getText(single ? TEXT_SINGLE_RACE : TEXT_CHAMPIONSHIP));
    if (!single) s.m_twoPlayerTrack = 0;
    m_widgets[TRACK_LEFT]->setEnabled(single);
    m_widgets[TRACK_RIGHT]->setEnabled(single);
    m_widgets[LAPS]->setVisible(single);
    m_widgets[LAPS_LEFT]->setEnabled(single);
    m_widgets[LAPS_RIGHT]->setEnabled(single);
    if (single) showLaps();
}
