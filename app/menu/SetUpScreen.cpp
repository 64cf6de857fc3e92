#include "app/menu/SetUpScreen.h"

#include <CEGUI/CEGUI.h>

#include <cstdio>
#include <cstring>

#include "app/menu/Menu.h"
#include "game/race/GameRules.h"
#include "game/records/TextTable.h"

namespace {

// Normal, hover (also pushed) and disabled picture by SetUpScreen::ButtonKind;
// the back button never greys out.
const char* const BUTTON_IMAGES[][3] = {
    {"Quillfen/OKButton", "Quillfen/OKButtonHover", "Quillfen/OKButtonDisabled"},
    {"Quillfen/BackButton", "Quillfen/BackButtonHover", "Quillfen/BackButton"},
    {"Quillfen/UpArrow", "Quillfen/UpArrowHover", "Quillfen/UpArrowDisabled"},
    {"Quillfen/DownArrow", "Quillfen/DownArrowHover", "Quillfen/DownArrowDisabled"},
    {"Quillfen/LeftButton", "Quillfen/LeftButtonHover", "Quillfen/LeftButtonDisabled"},
    {"Quillfen/RightButton", "Quillfen/RightButtonHover", "Quillfen/RightButtonDisabled"}};

constexpr int32_t MODEL_TEXT = 700;
constexpr int32_t LAST_MODEL_TEXT = 7;
constexpr int32_t COLOUR_TEXT_STEP = 100;
constexpr int32_t LAST_COLOUR_TEXT = 5;
constexpr int32_t TRACK_TEXT = 3000;
constexpr int32_t TRACK_TEXT_STEP = 100;
constexpr int32_t LAPS_TEXT = 2471;

} // namespace

int32_t SetUpScreen::previous(int32_t value, int32_t low, int32_t high) { return chooserStep(value, low, high, false); }

int32_t SetUpScreen::next(int32_t value, int32_t low, int32_t high) { return chooserStep(value, low, high, true); }

void SetUpScreen::keepInRange(Config::Choice& choice) {
    if (choice.value < 0 || choice.value > choice.limit) choice.value = 0;
}

CEGUI::Window* SetUpScreen::createButton(ButtonKind kind, float x, float y, float size) {
    CEGUI::Window* button = createWindow("Quillfen/ImageButton", m_root, x, y, size, size);
    setButtonImages(*button, BUTTON_IMAGES[kind][0], BUTTON_IMAGES[kind][1], BUTTON_IMAGES[kind][2]);
    button->setHorizontalAlignment(CEGUI::HA_LEFT);
    button->setVerticalAlignment(CEGUI::VA_TOP);
    if (kind == OK_BUTTON) onClick(*button, [this] { setResult(START); });
    if (kind == BACK_BUTTON) onClick(*button, [this] { setResult(BACK); });
    return button;
}

CEGUI::Window* SetUpScreen::createCaption(float x, float y, float width, float height, uint32_t argb) {
    CEGUI::Window* caption = createWindow("Quillfen/StaticText", m_root, x, y, width, height);
    setTextLook(*caption, "VerdanaSmall", argb, "CentreAligned", "CentreAligned");
    return caption;
}

CEGUI::Window* SetUpScreen::createPicture(float x, float y, float width, float height) {
    CEGUI::Window* picture = createWindow("Quillfen/StaticImage", m_root, x, y, width, height);
    picture->setProperty("FrameEnabled", "false");
    picture->setProperty("BackgroundEnabled", "false");
    return picture;
}

void SetUpScreen::showModelText(CEGUI::Window& caption, int32_t model) const {
    if (model >= 0 && model <= LAST_MODEL_TEXT) caption.setText(m_owner->texts->getText(MODEL_TEXT + model));
}

void SetUpScreen::showColourText(CEGUI::Window& caption, int32_t colour) const {
    if (colour >= 0 && colour <= LAST_COLOUR_TEXT)
        caption.setText(m_owner->texts->getText(COLOUR_TEXT_STEP * (colour + 1)));
}

void SetUpScreen::showTrackText(CEGUI::Window& caption, int32_t track) const {
    if (track >= 0 && track <= LAST_TRACK)
        caption.setText(m_owner->texts->getText(TRACK_TEXT + TRACK_TEXT_STEP * track));
}

void SetUpScreen::showLapsText(CEGUI::Window& caption, int32_t laps) const {
    char number[16];
    std::snprintf(number, sizeof number, " %d", laps);
    caption.setText(m_owner->texts->getText(LAPS_TEXT) + number);
}

void SetUpScreen::resetRiders() {
    for (NetValue<Config::Player>& rider : m_owner->config->m_player) {
        rider.setFlags(NetValueBase::FLAG_SEND);
        *rider.modify() = Config::Player();
    }
}

void SetUpScreen::setRider(int slot, int32_t kind, const char* name, int32_t colour, int32_t model,
                           int32_t startRank) {
    Config& config = *m_owner->config;
    Config::Player& rider = *config.m_player[slot].modify();
    std::memset(rider.name, 0, sizeof rider.name);
    std::strncpy(rider.name, name, sizeof rider.name - 1);
    rider.colour = colour;
    rider.model = model;
    rider.startRank = startRank;
    rider.points = 0;
    rider.totalTime = 0.0f;
    config.m_playerKind[slot] = kind;
}

void SetUpScreen::setComputerRiders(int firstSlot) {
    for (int slot = firstSlot; slot < Config::RIDERS; ++slot)
        setRider(slot, GameRules::COMPUTER, "", -1, -1, Config::RIDERS - 1 - slot);
}
