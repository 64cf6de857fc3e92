#include "app/menu/MultiplayerScreen.h"

#include <CEGUI/CEGUI.h>

#include <string>

#include "app/menu/Menu.h"
#include "app/menu/MessageWindow.h"
#include "game/displays/DisplayWindows.h"
#include "game/race/GameRules.h"
#include "game/records/TextTable.h"

namespace {

constexpr int TEXT_CHAMPIONSHIP = 2000;
constexpr int TEXT_ALL_TRACKS = 2010;
constexpr int TEXT_SINGLE_RACE = 2110;

const char* const NO_IMAGE = "Quillfen/TransparentBrush";
const char* const READY_IMAGE = "Quillfen/IconReady";
const char* const WAITING_IMAGE = "Quillfen/IconWaiting";

// A button of SetUpScreen::ButtonKind, or one of these.
enum Look { CAPTION = SetUpScreen::RIGHT_BUTTON + 1, PANEL_CAPTION, PICTURE, READY_BUTTON };

struct Placed {
    int look;
    float x, y, width, height;
    uint32_t colour; // captions only
};

// By MultiplayerScreen::Widget, on the 1024 x 768 layout. The white captions
// keep the text's dark panel to read over the scene, the black ones sit on
// the picture's plates.
const Placed LAYOUT[MultiplayerScreen::WIDGETS] = {
    {READY_BUTTON, 885, 629, 120, 120, 0},
    {SetUpScreen::BACK_BUTTON, 22, 629, 120, 120, 0},
    {SetUpScreen::LEFT_BUTTON, 136, 306, 90, 90, 0},
    {SetUpScreen::RIGHT_BUTTON, 352, 305, 90, 90, 0},
    {PANEL_CAPTION, 181, 267, 216, 30, SetUpScreen::WHITE},
    {SetUpScreen::UP_ARROW, 463, 88, 45, 45, 0},
    {SetUpScreen::DOWN_ARROW, 463, 227, 45, 45, 0},
    {PANEL_CAPTION, 181, 64, 216, 30, SetUpScreen::WHITE},
    {PICTURE, 557, 54, 361, 275, 0},
    {SetUpScreen::LEFT_BUTTON, 584, 306, 90, 90, 0},
    {SetUpScreen::RIGHT_BUTTON, 800, 306, 90, 90, 0},
    {PANEL_CAPTION, 599, 269, 276, 30, SetUpScreen::WHITE},
    {CAPTION, 194, 462, 160, 47, SetUpScreen::BLACK},
    {SetUpScreen::LEFT_BUTTON, 85, 440, 90, 90, 0},
    {SetUpScreen::RIGHT_BUTTON, 373, 440, 90, 90, 0},
    {SetUpScreen::LEFT_BUTTON, 491, 440, 90, 90, 0},
    {SetUpScreen::RIGHT_BUTTON, 849, 440, 90, 90, 0},
    {CAPTION, 599, 462, 234, 47, SetUpScreen::BLACK},
};

// Columns of the players' table: left edge and width; rows 30 pixels apart.
const float COLUMN_PLACES[MultiplayerScreen::COLUMNS][2] = {{180, 25}, {210, 265}, {480, 160}, {645, 200}};
constexpr float FIRST_ROW = 560.0f;
constexpr float ROW_STEP = 30.0f;
constexpr float ROW_HEIGHT = 25.0f;

const MultiplayerScreen::Widget MOPED_CHOICE[] = {MultiplayerScreen::MODEL_LEFT, MultiplayerScreen::MODEL_RIGHT,
                                                  MultiplayerScreen::COLOUR_UP, MultiplayerScreen::COLOUR_DOWN};
const MultiplayerScreen::Widget SETTINGS_CHOICE[] = {MultiplayerScreen::TRACK_LEFT, MultiplayerScreen::TRACK_RIGHT,
                                                     MultiplayerScreen::LAPS_LEFT,  MultiplayerScreen::LAPS_RIGHT,
                                                     MultiplayerScreen::MODE_LEFT,  MultiplayerScreen::MODE_RIGHT};

} // namespace

MultiplayerScreen::MultiplayerScreen(Menu* owner) : SetUpScreen(owner), m_lobby(*owner->config, owner->run->m_lanChoices) {
    createRoot("Multiplayer/Background");
    buildWidgets();
    buildRows();
    m_message = std::make_unique<MessageWindow>(*this, *m_root, [this] { setResult(BACK); });
}

MultiplayerScreen::~MultiplayerScreen() = default;

void MultiplayerScreen::buildWidgets() {
    for (int w = 0; w < WIDGETS; ++w) {
        const Placed& p = LAYOUT[w];
        CEGUI::Window* window = nullptr;
        if (p.look == CAPTION || p.look == PANEL_CAPTION) {
            window = createCaption(p.x, p.y, p.width, p.height, p.colour);
            if (p.look == PANEL_CAPTION) {
                window->setProperty("FrameEnabled", "true");
                window->setProperty("BackgroundEnabled", "true");
            }
        } else if (p.look == PICTURE) {
            window = createPicture(p.x, p.y, p.width, p.height);
        } else if (p.look == READY_BUTTON) {
            // Not the set-up screens' OK: ready starts nothing by itself.
            window = createWindow("Quillfen/ImageButton", m_root, p.x, p.y, p.width, p.height);
            setButtonImages(*window, "Quillfen/OKButton", "Quillfen/OKButtonHover", "Quillfen/OKButtonDisabled");
        } else {
            window = createButton(ButtonKind(p.look), p.x, p.y, p.width);
        }
        m_widgets[w] = window;
    }
    // The colour shows on the preview; its caption keeps the text unseen.
    m_widgets[COLOUR]->setVisible(false);

    onClick(*m_widgets[OK], [this] { ready(); });
    // The back button reports BACK with its click; leaving the game follows.
    m_widgets[BACK]->subscribeEvent(CEGUI::PushButton::EventClicked,
                                    CEGUI::Event::Subscriber([this](const CEGUI::EventArgs&) {
                                        m_lobby.leave();
                                        return true;
                                    }));
    choose(MODEL_LEFT, [this] { m_lobby.stepModel(false); });
    choose(MODEL_RIGHT, [this] { m_lobby.stepModel(true); });
    choose(COLOUR_UP, [this] { m_lobby.stepColour(false); });
    choose(COLOUR_DOWN, [this] { m_lobby.stepColour(true); });
    choose(TRACK_LEFT, [this] { m_lobby.stepTrack(false); });
    choose(TRACK_RIGHT, [this] { m_lobby.stepTrack(true); });
    choose(LAPS_LEFT, [this] { m_lobby.stepLaps(false); });
    choose(LAPS_RIGHT, [this] { m_lobby.stepLaps(true); });
    choose(MODE_LEFT, [this] { m_lobby.toggleMode(); });
    choose(MODE_RIGHT, [this] { m_lobby.toggleMode(); });
}

void MultiplayerScreen::choose(Widget button, std::function<void()> change) {
    onClick(*m_widgets[button], [this, change] {
        change();
        refreshLobby();
    });
}

void MultiplayerScreen::buildRows() {
    for (int slot = 0; slot < Config::RIDERS; ++slot) {
        const float y = FIRST_ROW + ROW_STEP * float(slot);
        for (int column = 0; column < COLUMNS; ++column) {
            const float x = COLUMN_PLACES[column][0], width = COLUMN_PLACES[column][1];
            if (column == READY_ICON) {
                m_rows[slot][column] = createPicture(x, y, width, ROW_HEIGHT);
                continue;
            }
            CEGUI::Window* text = createWindow("Quillfen/StaticText", m_root, x, y, width, ROW_HEIGHT);
            setTextLook(*text, "VerdanaSmall", BLACK, "LeftAligned", "CentreAligned");
            m_rows[slot][column] = text;
        }
        m_rows[slot][READY_ICON]->setProperty("Image", NO_IMAGE);
    }
}

void MultiplayerScreen::enter() {
    m_message->setTexts(*m_owner->texts);
    // Nothing to choose until a joining player has the lobby's state.
    m_widgets[OK]->setEnabled(false);
    enableMopedChoice(false);
    enableSettings(false);
    m_lobby.enter();
    if (!m_lobby.isWaiting()) openChoices();
    refreshLobby();
    GuiScreen::enter();
}

void MultiplayerScreen::openChoices() {
    m_widgets[OK]->setEnabled(!m_lobby.isHost());
    enableMopedChoice(true);
    enableSettings(m_lobby.isHost());
}

void MultiplayerScreen::refreshLobby() {
    if (m_lobby.poll()) openChoices();
    const Config& config = *m_owner->config;
    showTrack();
    const int32_t game = config.m_game;
    const int mode = game == GameRules::SINGLE_RACE    ? TEXT_SINGLE_RACE
                     : game == GameRules::CHAMPIONSHIP ? TEXT_CHAMPIONSHIP
                                                       : -1;
    m_widgets[MODE]->setText(mode < 0 ? CEGUI::String() : m_owner->texts->getText(mode));
    showRows();
    showOwnMoped();
    showLaps();
    checkStart();
    showConnectionLost();
}

void MultiplayerScreen::showTrack() {
    const Config& config = *m_owner->config;
    CEGUI::Window& picture = *m_widgets[TRACK_PICTURE];
    CEGUI::Window& caption = *m_widgets[TRACK];
    const bool championship = config.m_game == GameRules::CHAMPIONSHIP;
    if (championship) {
        picture.setProperty("Image", "Tracks/Championship");
        caption.setText(m_owner->texts->getText(TEXT_ALL_TRACKS));
    } else {
        // The host's track comes over the network: one the game does not have shows nothing.
        const int32_t track = config.m_track;
        const bool known = track >= 0 && track <= LAST_TRACK;
        picture.setProperty("Image", known ? "Tracks/Track" + std::to_string(track + 1) : std::string());
        caption.setText("");
        showTrackText(caption, track);
    }
    const bool choosing = m_lobby.isChoosingSettings() && !championship;
    m_widgets[TRACK_LEFT]->setEnabled(choosing);
    m_widgets[TRACK_RIGHT]->setEnabled(choosing);
}

void MultiplayerScreen::showRows() {
    for (int slot = 0; slot < Config::RIDERS; ++slot) {
        const Config::Player& rider = m_lobby.record(slot);
        CEGUI::Window* const* row = m_rows[slot];
        // A player that has yet to choose still shows by the name the lobby gives it.
        if (rider.colour == -1 && rider.name[0] == '\0') {
            for (int column = NAME_TEXT; column < COLUMNS; ++column) row[column]->setText("");
            row[READY_ICON]->setProperty("Image", NO_IMAGE);
            continue;
        }
        row[NAME_TEXT]->setText(displayWindows::utf8Text(rider.name, sizeof rider.name));
        showChoice(*row[COLOUR_TEXT], rider.colour, &MultiplayerScreen::showColourText);
        showChoice(*row[MODEL_TEXT], rider.model, &MultiplayerScreen::showModelText);
        row[READY_ICON]->setProperty("Image", rider.ready ? READY_IMAGE : WAITING_IMAGE);
    }
}

void MultiplayerScreen::showOwnMoped() {
    const Config::Player& own = m_lobby.ownRecord();
    showChoice(*m_widgets[MODEL], own.model, &MultiplayerScreen::showModelText);
    showChoice(*m_widgets[COLOUR], own.colour, &MultiplayerScreen::showColourText);
}

void MultiplayerScreen::showChoice(CEGUI::Window& caption, int32_t value, ChoiceText text) const {
    caption.setText("");
    if (value != -1) (this->*text)(caption, value);
}

void MultiplayerScreen::showLaps() {
    const Config& config = *m_owner->config;
    const bool single = config.m_game == GameRules::SINGLE_RACE;
    // A championship's laps become 3 only when the race starts: the lobby shows the 3 they will be.
    const bool championship = config.m_game == GameRules::CHAMPIONSHIP;
    m_widgets[LAPS]->setVisible(single || championship);
    if (single || championship) showLapsText(*m_widgets[LAPS], single ? config.m_laps : CHAMPIONSHIP_LAPS);
    m_widgets[LAPS_LEFT]->setEnabled(single && m_lobby.isChoosingSettings());
    m_widgets[LAPS_RIGHT]->setEnabled(single && m_lobby.isChoosingSettings());
}

void MultiplayerScreen::checkStart() {
    if (m_lobby.allReady()) setResult(START);
    if (m_lobby.isHost())
        m_widgets[OK]->setEnabled(m_lobby.othersReady());
    else if (m_lobby.ownRecord().ready)
        m_widgets[OK]->setEnabled(false);
}

void MultiplayerScreen::showConnectionLost() {
    // A loss seen while the joiner waits ends the wait at the next poll; the
    // message comes with it, so the lobby never shows it still waiting.
    if (m_lobby.isConnected() || m_lobby.isWaiting() || m_message->isShown()) return;
    m_message->show(m_owner->texts->getText(LanLobby::lossText()));
}

void MultiplayerScreen::ready() {
    enableMopedChoice(false);
    enableSettings(false);
    m_lobby.ready();
}

void MultiplayerScreen::enableMopedChoice(bool enabled) {
    for (Widget w : MOPED_CHOICE) m_widgets[w]->setEnabled(enabled);
}

void MultiplayerScreen::enableSettings(bool enabled) {
    for (Widget w : SETTINGS_CHOICE) m_widgets[w]->setEnabled(enabled);
}
