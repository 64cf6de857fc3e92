#include "app/menu/HighscoresScreen.h"

#include <CEGUI/CEGUI.h>

#include <cstdio>

#include "app/menu/HighscoreSubmission.h"
#include "app/menu/Menu.h"
#include "app/menu/SetUpScreen.h"
#include "engine/platform/gui/GuiRegexMatcher.h"
#include "game/displays/DisplayWindows.h"
#include "game/race/GameRules.h"
#include "game/records/Config.h"
#include "game/records/HighscoreTables.h"
#include "game/records/RunState.h"
#include "game/records/TextTable.h"

namespace {

constexpr uint32_t BLACK = 0xFF000000;
constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr float FRAME_X = 262.0f;
constexpr float FRAME_Y = 184.0f;
constexpr float FRAME_WIDTH = 500.0f;
constexpr float FRAME_HEIGHT = 400.0f;
constexpr float HEADER_Y = 130.0f;
constexpr float FIRST_ROW_Y = 165.0f;
constexpr float ROW_STEP = 43.0f;
constexpr float ROW_HEIGHT = 40.0f;
constexpr int LAST_TRACK = GameRules::TRACKS - 1;
constexpr size_t MAX_TYPED = 16;
constexpr size_t MAX_SENT = 30;
// The index flags of a rider's colour and moped that have a text.
constexpr uint8_t LAST_FLAG = 5;

constexpr int TITLE_TEXTS[HighscoresScreen::MODES] = {2100, 2200, 2010};
constexpr int TRACK_TEXT = 3000;
constexpr int TRACK_TEXT_STEP = 100;
constexpr int COLOUR_TEXT_STEP = 100;
constexpr int MODEL_TEXT = 700;
constexpr int OK_TEXT = 1000;
constexpr int CANCEL_TEXT = 1004;
constexpr int SUBMIT_TEXT = 1011;
constexpr int EXPLANATION_TEXT = 10010;
constexpr int NAME_TEXT = 10011;
constexpr int PASSWORD_TEXT = 10012;
constexpr int ACCEPTED_TEXT = 10100;
constexpr int FAILED_TEXT = 10101;

const char* const NO_VALUE = "--";

// A column of the table: its header's place and the cells' below it.
struct ColumnPlace {
    float headerX, headerWidth, x, width;
    const char* formatting;
    int text;
};

// By HighscoresScreen::Column; the flags' columns stand in the order moped, colour on the screen.
const ColumnPlace TABLE_COLUMNS[HighscoresScreen::COLUMNS] = {{110, 280, 110, 280, "CentreAligned", 2420},
                                                              {375, 135, 395, 95, "WordWrapCentreAligned", 2440},
                                                              {495, 130, 495, 130, "WordWrapCentreAligned", 2430},
                                                              {785, 160, 785, 160, "WordWrapCentreAligned", 2450},
                                                              {630, 150, 630, 150, "WordWrapCentreAligned", 2480}};

float rowY(int row) { return FIRST_ROW_Y + ROW_STEP * float(row); }

int keepInRange(int value, int last) { return value >= 0 && value <= last ? value : 0; }

void setImages(CEGUI::Window& button, const std::string& image) {
    GuiScreen::setButtonImages(button, ("Quillfen/" + image).c_str(), ("Quillfen/" + image + "Hover").c_str(),
                               ("Quillfen/" + image + "Disabled").c_str());
}

} // namespace

HighscoresScreen::HighscoresScreen(Menu* owner) : GuiScreen(owner) {
    createRoot("Highscores/Background");

    m_widgets[TITLE] = createWindow("Quillfen/StaticText", m_root, 320, 20, 405, 40);
    setTextLook(*m_widgets[TITLE], "VerdanaLarge", BLACK, "CentreAligned", "CentreAligned");
    m_widgets[TRACK_CAPTION] = createWindow("Quillfen/StaticText", m_root, 320, 60, 405, 30);
    setTextLook(*m_widgets[TRACK_CAPTION], "VerdanaLargeItalic", BLACK, "CentreAligned", "CentreAligned");

    CEGUI::Window* back = m_widgets[BACK_BUTTON] = createWindow("Quillfen/ImageButton", m_root, 22, 629, 120, 120);
    setButtonImages(*back, "Quillfen/BackButton", "Quillfen/BackButtonHover", "Quillfen/BackButton");
    back->setHorizontalAlignment(CEGUI::HA_LEFT);
    back->setVerticalAlignment(CEGUI::VA_TOP);
    onClick(*back, [this] { setResult(BACK); });

    CEGUI::Window* submit = m_widgets[SUBMIT] = createWindow("Quillfen/Button", m_root, 401, 680, 220, 60);
    submit->setFont("VerdanaMedium");
    onClick(*submit, [this] { onSubmit(); });

    const struct {
        Widget widget;
        float x, y, width, height;
        const char* image;
        void (HighscoresScreen::*handler)();
    } arrows[] = {{MODE_LEFT, 243, 52, 54, 51, "LeftButton", &HighscoresScreen::onPreviousMode},
                  {MODE_RIGHT, 748, 52, 54, 51, "RightButton", &HighscoresScreen::onNextMode},
                  {TRACK_LEFT, 14, 440, 90, 90, "LeftButton", &HighscoresScreen::onPreviousTrack},
                  {TRACK_RIGHT, 920, 442, 90, 90, "RightButton", &HighscoresScreen::onNextTrack}};
    for (const auto& arrow : arrows) {
        CEGUI::Window* button = m_widgets[arrow.widget] =
            createWindow("Quillfen/ImageButton", m_root, arrow.x, arrow.y, arrow.width, arrow.height);
        setImages(*button, arrow.image);
        onClick(*button, [this, handler = arrow.handler] { (this->*handler)(); });
    }

    createTable();
    createSubmitDialog();
    createMessage();
}

HighscoresScreen::~HighscoresScreen() = default;

void HighscoresScreen::createTable() {
    for (int row = 0; row < ROWS; ++row) {
        m_ranks[row] = createWindow("Quillfen/StaticText", m_root, 130, rowY(row), 25, ROW_HEIGHT);
        setTextLook(*m_ranks[row], "VerdanaSmall", BLACK, "RightAligned", "CentreAligned");
    }
    for (int c = 0; c < COLUMNS; ++c) {
        const ColumnPlace& column = TABLE_COLUMNS[c];
        m_headers[c] =
            createWindow("Quillfen/StaticText", m_root, column.headerX, HEADER_Y, column.headerWidth, ROW_HEIGHT);
        setTextLook(*m_headers[c], "VerdanaMedium", BLACK, column.formatting, "CentreAligned");
        for (int row = 0; row < ROWS; ++row) {
            m_cells[c][row] =
                createWindow("Quillfen/StaticText", m_root, column.x, rowY(row), column.width, ROW_HEIGHT);
            setTextLook(*m_cells[c][row], "VerdanaSmall", BLACK, column.formatting, "CentreAligned");
        }
    }
}

void HighscoresScreen::createSubmitDialog() {
    CEGUI::Window* dialog = m_widgets[SUBMIT_DIALOG] =
        createQuestionFrame(m_root, FRAME_X, FRAME_Y, FRAME_WIDTH, FRAME_HEIGHT);
    auto inDialog = [&](Widget w, const char* type, float x, float y, float width, float height) {
        return m_widgets[w] = createWindow(type, dialog, x, y, width, height, FRAME_WIDTH, FRAME_HEIGHT);
    };
    setTextLook(*inDialog(EXPLANATION, "Quillfen/StaticText", 30, 80, 440, 60), "VerdanaSmall", WHITE,
                "WordWrapCentreAligned", "TopAligned");

    // One matcher serves both boxes; an edit box never deletes a matcher it was given.
    static GuiRegexMatcher validator;
    const struct {
        Widget label, box;
        float y;
        bool masked;
        void (HighscoresScreen::*activated)();
        void (HighscoresScreen::*accepted)();
    } boxes[] = {
        {NAME_LABEL, NAME_BOX, 125, false, &HighscoresScreen::onNameActivated, &HighscoresScreen::onNameAccepted},
        {PASSWORD_LABEL, PASSWORD_BOX, 215, true, &HighscoresScreen::onPasswordActivated,
         &HighscoresScreen::onPasswordAccepted}};
    for (const auto& b : boxes) {
        setTextLook(*inDialog(b.label, "Quillfen/StaticText", 110, b.y, 290, 25), "VerdanaSmall", WHITE,
                    "LeftAligned", "TopAligned");
        auto* box = static_cast<CEGUI::Editbox*>(inDialog(b.box, "Quillfen/Editbox", 100, b.y + 25, 300, 50));
        box->setFont("VerdanaMediumItalic");
        box->setValidator(&validator);
        box->setValidationString("[-+._0-9a-zA-Z ]*");
        box->setMaxTextLength(MAX_TYPED);
        // Someone may be watching the screen.
        box->setTextMasked(b.masked);
        box->subscribeEvent(CEGUI::Window::EventActivated, [this, activated = b.activated](const CEGUI::EventArgs&) {
            (this->*activated)();
            return true;
        });
        box->subscribeEvent(CEGUI::Editbox::EventTextAccepted, [this, accepted = b.accepted](const CEGUI::EventArgs&) {
            (this->*accepted)();
            return true;
        });
    }

    inDialog(SUBMIT_OK, "Quillfen/Button", 20, 330, 150, 50)->setFont("VerdanaSmall");
    inDialog(SUBMIT_CANCEL, "Quillfen/Button", 330, 330, 150, 50)->setFont("VerdanaSmall");
    onClick(*m_widgets[SUBMIT_OK], [this] { onSubmitConfirm(); });
    onClick(*m_widgets[SUBMIT_CANCEL], [this] { onSubmitCancel(); });
}

void HighscoresScreen::createMessage() {
    CEGUI::Window* message = m_widgets[MESSAGE] =
        createQuestionFrame(m_root, FRAME_X, FRAME_Y, FRAME_WIDTH, FRAME_HEIGHT);
    m_widgets[MESSAGE_TEXT] = createWindow("Quillfen/StaticText", message, 30, 60, 440, 215, FRAME_WIDTH, FRAME_HEIGHT);
    setTextLook(*m_widgets[MESSAGE_TEXT], "VerdanaSmall", WHITE, "WordWrapCentreAligned", "CentreAligned");
    m_widgets[MESSAGE_OK] = createWindow("Quillfen/Button", message, 175, 330, 150, 50, FRAME_WIDTH, FRAME_HEIGHT);
    m_widgets[MESSAGE_OK]->setFont("VerdanaSmall");
    onClick(*m_widgets[MESSAGE_OK], [this] { onMessageOk(); });
}

void HighscoresScreen::enter() {
    setFixedTexts();
    Config& config = *m_owner->config;
    m_tables = std::make_unique<HighscoreTables>();
    m_owner->run->m_highscoreStore.load(*m_tables, config.pathOf(HighscoreTables::FILE_NAME));
    // A request for a table or track the screen does not have opens the first.
    m_mode = config.m_showHighscores ? keepInRange(config.m_highscoreTable, CHAMPIONSHIP) : TIME_TRIAL;
    m_track = config.m_showHighscores ? keepInRange(config.m_highscoreTrack, LAST_TRACK) : 0;
    refresh();
    GuiScreen::enter();
}

void HighscoresScreen::leave() {
    m_submission.reset();
    m_tables.reset();
    m_owner->config->m_showHighscores = false;
    GuiScreen::leave();
}

void HighscoresScreen::setFixedTexts() {
    const TextTable& texts = *m_owner->texts;
    m_widgets[SUBMIT]->setText(texts.getText(SUBMIT_TEXT));
    m_widgets[SUBMIT_OK]->setText(texts.getText(SUBMIT_TEXT));
    m_widgets[SUBMIT_CANCEL]->setText(texts.getText(CANCEL_TEXT));
    m_widgets[EXPLANATION]->setText(texts.getText(EXPLANATION_TEXT));
    m_widgets[NAME_LABEL]->setText(texts.getText(NAME_TEXT));
    m_widgets[PASSWORD_LABEL]->setText(texts.getText(PASSWORD_TEXT));
    m_widgets[MESSAGE_OK]->setText(texts.getText(OK_TEXT));
    for (int c = 0; c < COLUMNS; ++c) m_headers[c]->setText(texts.getText(TABLE_COLUMNS[c].text));
    for (int row = 0; row < ROWS; ++row) m_ranks[row]->setText(std::to_string(row + 1) + ".");
}

void HighscoresScreen::refresh() {
    if (!m_tables) return;
    const TextTable& texts = *m_owner->texts;
    HighscoreChampionship& championship = m_tables->getChampionship();
    const bool byTrack = m_mode != CHAMPIONSHIP;
    m_widgets[TITLE]->setText(texts.getText(TITLE_TEXTS[m_mode]));
    m_widgets[TRACK_CAPTION]->setText(byTrack ? texts.getText(TRACK_TEXT + TRACK_TEXT_STEP * m_track) : "");
    m_widgets[TRACK_CAPTION]->setVisible(byTrack);
    m_widgets[TRACK_LEFT]->setEnabled(byTrack);
    m_widgets[TRACK_RIGHT]->setEnabled(byTrack);
    // Only the championship's best time is ever sent, so only its table offers it.
    m_widgets[SUBMIT]->setVisible(!byTrack);
    m_widgets[SUBMIT]->setEnabled(!byTrack && hasUnsubmittedResult(championship));

    HighscoreBase* const tables[MODES] = {&m_tables->getTimeTrial(), &m_tables->getSingleRace(), &championship};
    for (int row = 0; row < ROWS; ++row) showEntry(row, *tables[m_mode]->getEntry(m_track, row));
}

void HighscoresScreen::showEntry(int row, const HighscoreEntry& entry) {
    const TextTable& texts = *m_owner->texts;
    const CEGUI::String name = displayWindows::utf8Text(entry.m_name, HighscoreEntry::NAME_SIZE);
    cell(NAME_COLUMN, row)->setText(name.empty() ? NO_VALUE : name);

    // Points come with a driven time; an empty row has neither.
    const bool driven = isDrivenTime(entry.m_time);
    char value[16];
    std::snprintf(value, sizeof value, "%u", entry.m_value);
    cell(VALUE_COLUMN, row)->setText(m_mode == CHAMPIONSHIP && driven ? value : NO_VALUE);

    CEGUI::String time = NO_VALUE;
    if (driven) formatTime(entry.m_time, time);
    cell(TIME_COLUMN, row)->setText(time);

    const bool colourKnown = entry.m_colour <= LAST_FLAG;
    cell(COLOUR_COLUMN, row)->setText(colourKnown ? texts.getText(COLOUR_TEXT_STEP * (entry.m_colour + 1)) : NO_VALUE);
    const bool modelKnown = entry.m_model <= LAST_FLAG;
    cell(MODEL_COLUMN, row)->setText(modelKnown ? texts.getText(MODEL_TEXT + entry.m_model) : NO_VALUE);
}

void HighscoresScreen::onPreviousMode() {
    m_mode = SetUpScreen::previous(m_mode, 0, MODES - 1);
    refresh();
}

void HighscoresScreen::onNextMode() {
    m_mode = SetUpScreen::next(m_mode, 0, MODES - 1);
    refresh();
}

void HighscoresScreen::onPreviousTrack() {
    if (m_mode == CHAMPIONSHIP) return;
    m_track = SetUpScreen::previous(m_track, 0, LAST_TRACK);
    refresh();
}

void HighscoresScreen::onNextTrack() {
    if (m_mode == CHAMPIONSHIP) return;
    m_track = SetUpScreen::next(m_track, 0, LAST_TRACK);
    refresh();
}

void HighscoresScreen::onSubmit() {
    showModal(*m_widgets[SUBMIT_DIALOG]);
    m_widgets[NAME_BOX]->activate();
    refresh();
}

void HighscoresScreen::onSubmitConfirm() {
    hideModal(*m_widgets[SUBMIT_DIALOG]);
    const Config& config = *m_owner->config;
    const TextTable& texts = *m_owner->texts;
    m_submission = std::make_unique<HighscoreSubmission>(*m_tables, config.m_settings.m_language, m_name, m_password);
    showMessage(texts.getText(SUBMIT_TEXT) + " ...");
    m_widgets[MESSAGE_OK]->setText(texts.getText(CANCEL_TEXT));
    poll();
}

void HighscoresScreen::poll() {
    if (!m_submission || !m_submission->poll()) return;
    const int result = m_submission->result();
    m_submission.reset();
    // A failed save says so in the log; the run still knows the time was sent.
    Config& config = *m_owner->config;
    if (result == SUBMISSION_ACCEPTED)
        m_owner->run->m_highscoreStore.save(*m_tables, config.pathOf(HighscoreTables::FILE_NAME));
    const TextTable& texts = *m_owner->texts;
    showMessage(texts.getText(result == SUBMISSION_ACCEPTED ? ACCEPTED_TEXT : FAILED_TEXT));
    m_widgets[MESSAGE_OK]->setText(texts.getText(OK_TEXT));
    // An accepted time is not offered again.
    refresh();
}

void HighscoresScreen::onSubmitCancel() { hideModal(*m_widgets[SUBMIT_DIALOG]); }

void HighscoresScreen::onNameActivated() {
    playClick();
    moveCaretToEnd(NAME_BOX);
}

void HighscoresScreen::onNameAccepted() { acceptText(NAME_BOX, m_name, PASSWORD_BOX); }

void HighscoresScreen::onPasswordActivated() {
    playClick();
    moveCaretToEnd(PASSWORD_BOX);
}

void HighscoresScreen::onPasswordAccepted() { acceptText(PASSWORD_BOX, m_password, NAME_BOX); }

void HighscoresScreen::onMessageOk() {
    if (m_submission) {
        m_submission.reset();
        m_widgets[MESSAGE_OK]->setText(m_owner->texts->getText(OK_TEXT));
    }
    hideModal(*m_widgets[MESSAGE]);
}

void HighscoresScreen::showMessage(const CEGUI::String& text) {
    showModal(*m_widgets[MESSAGE]);
    m_widgets[MESSAGE_TEXT]->setText(text);
}

void HighscoresScreen::acceptText(Widget box, std::string& text, Widget next) {
    text = std::string(m_widgets[box]->getText().c_str()).substr(0, MAX_SENT);
    m_widgets[next]->activate();
}

void HighscoresScreen::moveCaretToEnd(Widget box) {
    auto* edit = static_cast<CEGUI::Editbox*>(m_widgets[box]);
    edit->setCaretIndex(edit->getText().length());
}
