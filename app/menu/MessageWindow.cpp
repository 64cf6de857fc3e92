#include "app/menu/MessageWindow.h"

#include <CEGUI/CEGUI.h>

#include "app/menu/GuiScreen.h"
#include "game/records/TextTable.h"

namespace {

constexpr float FRAME_WIDTH = 512.0f;
constexpr float FRAME_HEIGHT = 384.0f;
constexpr int OK_TEXT = 1000;
constexpr int CANCEL_TEXT = 1004;

} // namespace

MessageWindow::MessageWindow(GuiScreen& screen, CEGUI::Window& parent, std::function<void()> afterOk) {
    m_frame = GuiScreen::createQuestionFrame(&parent, 256, 192, FRAME_WIDTH, FRAME_HEIGHT);
    m_text = GuiScreen::createWindow("Quillfen/StaticText", m_frame, 10, 10, 492, 294, FRAME_WIDTH, FRAME_HEIGHT);
    GuiScreen::setTextLook(*m_text, "VerdanaSmall", 0xFFFFFFFF, "WordWrapCentreAligned", "CentreAligned");
    m_ok = GuiScreen::createWindow("Quillfen/Button", m_frame, 176, 314, 160, 50, FRAME_WIDTH, FRAME_HEIGHT);
    m_ok->setFont("VerdanaSmall");
    screen.onClick(*m_ok, [this, afterOk = std::move(afterOk)] {
        hide();
        afterOk();
    });
}

void MessageWindow::setTexts(const TextTable& texts) {
    m_texts = &texts;
    m_ok->setText(texts.getText(OK_TEXT));
}

void MessageWindow::show(const CEGUI::String& text) {
    if (m_texts) m_ok->setText(m_texts->getText(OK_TEXT));
    m_text->setText(text);
    GuiScreen::showModal(*m_frame);
}

void MessageWindow::showWaiting(const CEGUI::String& text) {
    if (m_texts) m_ok->setText(m_texts->getText(CANCEL_TEXT));
    m_text->setText(text);
    GuiScreen::showModal(*m_frame);
    m_frame->setModalState(false);
}

void MessageWindow::hide() { GuiScreen::hideModal(*m_frame); }

bool MessageWindow::isShown() const { return m_frame->isVisible(); }
