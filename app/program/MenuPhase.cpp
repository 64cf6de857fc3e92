#include "app/program/MenuPhase.h"

#include "app/menu/Menu.h"
#include "app/menu/MenuLoop.h"
#include "engine/platform/audio/Sound.h"
#include "engine/scene/MetaScene.h"

bool MenuPhase::running() const { return !m_menu.done && !m_menu.startRace; }

bool MenuPhase::frame(InputDevice& input) {
    injectInput(input, m_menu);
    return menuFrame(m_menu);
}

MetaScene* MenuPhase::scene() const { return m_menu.scene.get(); }

GuiContext* MenuPhase::gui() const { return m_menu.gui; }

void MenuPhase::pause() {
    if (m_menu.music && m_menu.music->isPlaying()) m_menu.music->stop();
}

// Only a reset brings the music back: a window restored without one stays silent.
void MenuPhase::resume() {
    if (m_menu.music) m_menu.music->play(true);
}
