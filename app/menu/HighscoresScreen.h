#pragma once
#include <memory>
#include <string>

#include "app/menu/GuiScreen.h"

struct HighscoreEntry;
class HighscoreSubmission;
class HighscoreTables;

// The local high-score tables of "highscore.dat": time trial and single race
// by track, and the championship, ten ranks each. From the championship the
// best time can be sent to the online high scores through a name and
// password dialog. The tables are the run's (see HighscoreStore), read on every entry.
class HighscoresScreen : public GuiScreen {
public:
    static constexpr const char* NAME = "HighscoresScreen";
    static constexpr int32_t BACK = 1;
    static constexpr int ROWS = 10;
    enum Mode { TIME_TRIAL, SINGLE_RACE, CHAMPIONSHIP, MODES };
    // The table's columns after the rank, in the order of creation.
    enum Column { NAME_COLUMN, VALUE_COLUMN, TIME_COLUMN, COLOUR_COLUMN, MODEL_COLUMN, COLUMNS };
    // Windows in the order of creation but for the table's.
    enum Widget {
        TITLE,
        TRACK_CAPTION,
        BACK_BUTTON,
        SUBMIT,
        MODE_LEFT,
        MODE_RIGHT,
        TRACK_LEFT,
        TRACK_RIGHT,
        SUBMIT_DIALOG,
        EXPLANATION,
        NAME_LABEL,
        NAME_BOX,
        PASSWORD_LABEL,
        PASSWORD_BOX,
        SUBMIT_OK,
        SUBMIT_CANCEL,
        MESSAGE,
        MESSAGE_TEXT,
        MESSAGE_OK,
        WIDGETS
    };

    explicit HighscoresScreen(Menu* owner);
    ~HighscoresScreen() override;

    const char* name() const override { return NAME; }
    // Takes the run's tables (fresh ones are written when the file fails), opens the
    // table the race asked for or the first time trial, then the base enter.
    void enter() override;
    // Frees the tables and the race's request, then the base leave.
    void leave() override;
    // Shows the table of the current mode and track.
    void refresh();

    void onPreviousMode();
    void onNextMode();
    void onPreviousTrack();
    void onNextTrack();
    void onSubmit();
    void onSubmitConfirm();
    void onSubmitCancel();
    void onNameActivated();
    void onNameAccepted();
    void onPasswordActivated();
    void onPasswordAccepted();
    // While a submission is under way the message says so, and its button abandons it.
    void onMessageOk();
    void showMessage(const CEGUI::String& text);
    // Each menu frame: a submission's reply, once it came, replaces the sending notice.
    void poll();
    bool sending() const { return m_submission != nullptr; }

    int mode() const { return m_mode; }
    int track() const { return m_track; }
    CEGUI::Window* widget(Widget w) const { return m_widgets[w]; }
    CEGUI::Window* header(Column c) const { return m_headers[c]; }
    CEGUI::Window* rank(int row) const { return m_ranks[row]; }
    CEGUI::Window* cell(Column c, int row) const { return m_cells[c][row]; }

private:
    void createTable();
    void createSubmitDialog();
    void createMessage();
    void setFixedTexts();
    void showEntry(int row, const HighscoreEntry& entry);
    // Enter in one box takes its text and goes on to the other.
    void acceptText(Widget box, std::string& text, Widget next);
    void moveCaretToEnd(Widget box);

    int m_mode = TIME_TRIAL;
    int m_track = 0;
    CEGUI::Window* m_widgets[WIDGETS] = {};
    CEGUI::Window* m_headers[COLUMNS] = {};
    CEGUI::Window* m_ranks[ROWS] = {};
    CEGUI::Window* m_cells[COLUMNS][ROWS] = {};
    std::unique_ptr<HighscoreTables> m_tables;
    std::unique_ptr<HighscoreSubmission> m_submission;
    // What was last accepted with Enter in each box; only that is sent.
    std::string m_name;
    std::string m_password;
};
