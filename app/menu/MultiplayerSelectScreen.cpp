#include "app/menu/MultiplayerSelectScreen.h"

#include <CEGUI/CEGUI.h>

#include <string>

#include "app/lobby/LanConnectAttempt.h"
#include "app/menu/Menu.h"
#include "app/menu/MessageWindow.h"
#include "engine/platform/Report.h"
#include "engine/platform/gui/GuiRegexMatcher.h"
#include "game/records/Config.h"
#include "game/records/RunState.h"
#include "game/records/TextTable.h"
#include "net/NetControl.h"
#include "sys/settings/SystemInfo.h"

namespace {

constexpr uint32_t BLACK = 0xFF000000;
constexpr unsigned long ROLE_GROUP = 1;
const char* const ADDRESS_CHARACTERS = "[-+._0-9a-zA-Z ]*";
constexpr size_t ADDRESS_LENGTH = 30;

constexpr int HOST_TEXT = 2310;
constexpr int JOIN_TEXT = 2320;
constexpr int ADDRESS_TEXT = 2340;
constexpr int LOST_TEXT = 9000;
constexpr int UNREACHABLE_TEXT = 9002;
constexpr int REFUSED_TEXT = 9003;
constexpr int HOSTING_FAILED_TEXT = 9005;
constexpr int CONNECTING_TEXT = 9006;
// Joining as hosted here: what the box offers when the system has no name for us.
const char* const OWN_COMPUTER = "localhost";
// Where text 9005 names the port.
const char* const PORT_PLACEHOLDER = "{port}";

CEGUI::ToggleButton& toggle(CEGUI::Window* window) { return *static_cast<CEGUI::ToggleButton*>(window); }

CEGUI::Editbox& editbox(CEGUI::Window* window) { return *static_cast<CEGUI::Editbox*>(window); }

// The box keeps only a pointer to its matcher: one for every build of the screen.
GuiRegexMatcher& addressMatcher() {
    static GuiRegexMatcher matcher;
    return matcher;
}

std::string firstAddress() {
    const std::string name = sys::computerName().substr(0, MultiplayerSelectScreen::NAME_LENGTH);
    return name.empty() ? OWN_COMPUTER : name;
}

CEGUI::String withPort(CEGUI::String text, uint16_t port) {
    const CEGUI::String placeholder = PORT_PLACEHOLDER;
    const size_t at = text.find(placeholder);
    if (at != CEGUI::String::npos) text.replace(at, placeholder.length(), std::to_string(port));
    return text;
}

int joinFailureText(int32_t status) {
    switch (status) {
    case NetControl::STATUS_REFUSED: return REFUSED_TEXT;
    case NetControl::STATUS_CONNECT_FAILED:
    case NetControl::STATUS_NO_LOBBY: return UNREACHABLE_TEXT;
    default: return LOST_TEXT;
    }
}

} // namespace

MultiplayerSelectScreen::MultiplayerSelectScreen(Menu* owner) : GuiScreen(owner) {
    createRoot("LanOption/Background");

    CEGUI::Window* back = createWindow("Quillfen/ImageButton", m_root, 22, 629, 120, 120);
    setButtonImages(*back, "Quillfen/BackButton", "Quillfen/BackButtonHover", "Quillfen/BackButton");
    onClick(*back, [this] {
        abandon();
        setResult(BACK);
    });
    CEGUI::Window* ok = createWindow("Quillfen/ImageButton", m_root, 885, 628, 120, 120);
    setButtonImages(*ok, "Quillfen/OKButton", "Quillfen/OKButtonHover", "Quillfen/OKButtonDisabled");
    onClick(*ok, [this] { onOk(); });
    m_widgets[BACK_BUTTON] = back;
    m_widgets[OK_BUTTON] = ok;

    // The label beside each radio button; the join row sits a little further in.
    const float rows[][3] = {{260, 315, 225}, {275, 330, 285}};
    Config& config = *m_owner->config;
    for (int row = 0; row < 2; ++row) {
        CEGUI::Window* radio = createWindow("Quillfen/BigRadioButton", m_root, rows[row][0], rows[row][2], 45, 45);
        static_cast<CEGUI::RadioButton*>(radio)->setGroupID(ROLE_GROUP);
        // Selected before it listens: building the screen makes no click.
        toggle(radio).setSelected(row == (m_owner->run->m_lanChoices.join ? 1 : 0));
        radio->subscribeEvent(CEGUI::ToggleButton::EventSelectStateChanged,
                              CEGUI::Event::Subscriber([this](const CEGUI::EventArgs&) {
                                  playClick();
                                  m_owner->run->m_lanChoices.join = isJoinChosen();
                                  updateRoleWidgets();
                                  return true;
                              }));
        CEGUI::Window* label = createWindow("Quillfen/StaticText", m_root, rows[row][1], rows[row][2], 300, 45);
        setTextLook(*label, "VerdanaMedium", BLACK, "LeftAligned", "CentreAligned");
        m_widgets[HOST + 2 * row] = radio;
        m_widgets[HOST_LABEL + 2 * row] = label;
    }
    m_widgets[ADDRESS_LABEL] = createWindow("Quillfen/StaticText", m_root, 340, 380, 356, 30);
    setTextLook(*m_widgets[ADDRESS_LABEL], "VerdanaMedium", BLACK, "LeftAligned", "CentreAligned");

    CEGUI::Window* box = createWindow("Quillfen/Editbox", m_root, 330, 410, 366, 50);
    box->setFont("VerdanaMediumItalic");
    editbox(box).setValidator(&addressMatcher());
    editbox(box).setValidationString(ADDRESS_CHARACTERS);
    editbox(box).setMaxTextLength(ADDRESS_LENGTH);
    box->subscribeEvent(CEGUI::Window::EventTextChanged, CEGUI::Event::Subscriber([this](const CEGUI::EventArgs&) {
                            m_widgets[OK_BUTTON]->setEnabled(!address().empty());
                            m_owner->config->m_serverAddress = address().c_str();
                            return true;
                        }));
    // Enter joins whatever the radio buttons say: the box takes keys only while joining is chosen.
    box->subscribeEvent(CEGUI::Editbox::EventTextAccepted, CEGUI::Event::Subscriber([this](const CEGUI::EventArgs&) {
                            if (!address().empty() && !m_attempt) join();
                            m_owner->config->m_serverAddress = address().c_str();
                            return true;
                        }));
    m_widgets[ADDRESS] = box;
    // The menu is built again after every race; the address typed before stays.
    box->setText(config.m_serverAddress.empty() ? firstAddress() : config.m_serverAddress);

    // Its button gives up a connection under way, or closes the reason it failed.
    m_message = std::make_unique<MessageWindow>(*this, *m_root, [this] { abandon(); });
}

MultiplayerSelectScreen::~MultiplayerSelectScreen() = default;

void MultiplayerSelectScreen::enter() {
    const TextTable& texts = *m_owner->texts;
    m_widgets[HOST_LABEL]->setText(texts.getText(HOST_TEXT));
    m_widgets[JOIN_LABEL]->setText(texts.getText(JOIN_TEXT));
    m_widgets[ADDRESS_LABEL]->setText(texts.getText(ADDRESS_TEXT));
    m_widgets[ADDRESS]->setText(m_owner->config->m_serverAddress);
    editbox(m_widgets[ADDRESS]).setCaretIndex(address().length());
    m_message->setTexts(texts);
    updateRoleWidgets();
    GuiScreen::enter();
}

void MultiplayerSelectScreen::updateRoleWidgets() {
    CEGUI::Window& ok = *m_widgets[OK_BUTTON];
    CEGUI::Window& box = *m_widgets[ADDRESS];
    if (!isJoinChosen()) {
        ok.setEnabled(true);
        box.setEnabled(false);
        return;
    }
    box.setEnabled(true);
    box.activate();
    ok.setEnabled(!address().empty());
}

void MultiplayerSelectScreen::leave() {
    abandon();
    GuiScreen::leave();
}

void MultiplayerSelectScreen::onOk() {
    if (!isJoinChosen())
        startAttempt(OWN_COMPUTER, true);
    else
        join();
    m_owner->config->m_serverAddress = address().c_str();
}

void MultiplayerSelectScreen::join() { startAttempt(address(), false); }

void MultiplayerSelectScreen::startAttempt(const CEGUI::String& host, bool isHost) {
    m_attempt = std::make_unique<LanConnectAttempt>(host.c_str(), isHost);
    m_attemptHosts = isHost;
    m_attemptStarted = std::chrono::steady_clock::now();
    enableChoices(false);
}

void MultiplayerSelectScreen::poll() {
    if (!m_attempt) return;
    const LanConnectAttempt::Outcome outcome = m_attempt->poll();
    if (outcome == LanConnectAttempt::CONNECTING) {
        if (!m_message->isShown() && std::chrono::steady_clock::now() - m_attemptStarted >= NOTICE_DELAY)
            m_message->showWaiting(m_owner->texts->getText(CONNECTING_TEXT));
        return;
    }
    m_attempt.reset();
    m_message->hide();
    enableChoices(true);
    if (outcome == LanConnectAttempt::WELCOMED)
        setResult(m_attemptHosts ? HOSTED : JOINED);
    else
        showFailure();
}

void MultiplayerSelectScreen::abandon() {
    if (!m_attempt) return;
    m_attempt.reset();
    m_message->hide();
    enableChoices(true);
}

void MultiplayerSelectScreen::enableChoices(bool enabled) {
    m_widgets[HOST]->setEnabled(enabled);
    m_widgets[JOIN]->setEnabled(enabled);
    if (enabled) {
        updateRoleWidgets();
        return;
    }
    m_widgets[OK_BUTTON]->setEnabled(false);
    m_widgets[ADDRESS]->setEnabled(false);
}

void MultiplayerSelectScreen::showFailure() {
    const NetControl& client = NetControl::getInstance();
    if (!m_attemptHosts) {
        m_message->show(m_owner->texts->getText(joinFailureText(client.getStatus())));
        return;
    }
    g_logStream << "hosting failed: the lobby server on port " << client.port()
                << " did not take this computer's player (status " << client.getStatus() << ")" << std::endl;
    m_message->show(withPort(m_owner->texts->getText(HOSTING_FAILED_TEXT), client.port()));
}

bool MultiplayerSelectScreen::isJoinChosen() const { return toggle(m_widgets[JOIN]).isSelected(); }

CEGUI::String MultiplayerSelectScreen::address() const { return m_widgets[ADDRESS]->getText(); }
