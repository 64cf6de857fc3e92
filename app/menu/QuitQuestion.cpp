#include "app/menu/QuitQuestion.h"

#include <CEGUI/CEGUI.h>

#include "app/menu/GuiScreen.h"
#include "game/records/TextTable.h"

namespace {

constexpr int YES_TEXT = 1001;
constexpr int NO_TEXT = 1002;
constexpr int QUESTION_TEXT = 10000;
constexpr int QUIT_RESULT = 999;

} // namespace

QuitQuestion::QuitQuestion(GuiScreen& screen, CEGUI::Window& parent, const Layout& l) {
    m_frame = GuiScreen::createQuestionFrame(&parent, l.frameX, l.frameY, l.frameWidth, l.frameHeight);
    auto inFrame = [&](const char* type, float x, float y, float width, float height) {
        CEGUI::Window* window =
            GuiScreen::createWindow(type, m_frame, x, y, width, height, l.frameWidth, l.frameHeight);
        window->setFont(l.font);
        return window;
    };
    m_question = inFrame("Quillfen/StaticText", l.textX, l.textY, l.textWidth, l.textHeight);
    GuiScreen::setTextLook(*m_question, l.font, 0xFFFFFFFF, "WordWrapCentreAligned", "CentreAligned");
    m_yes = inFrame("Quillfen/Button", l.yesX, l.buttonY, l.buttonWidth, l.buttonHeight);
    m_no = inFrame("Quillfen/Button", l.noX, l.buttonY, l.buttonWidth, l.buttonHeight);
    screen.onClick(*m_yes, [this, &screen] {
        hide();
        screen.setResult(QUIT_RESULT);
    });
    screen.onClick(*m_no, [this] { hide(); });
}

void QuitQuestion::setTexts(const TextTable& texts) {
    m_yes->setText(texts.getText(YES_TEXT));
    m_no->setText(texts.getText(NO_TEXT));
    m_question->setText(texts.getText(QUESTION_TEXT));
}

void QuitQuestion::show() { GuiScreen::showModal(*m_frame); }

void QuitQuestion::hide() { GuiScreen::hideModal(*m_frame); }

bool QuitQuestion::isShown() const { return m_frame->isVisible(); }
