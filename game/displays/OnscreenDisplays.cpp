#include "game/displays/OnscreenDisplays.h"

#include <string>

#include <CEGUI/CEGUI.h>

#include "engine/platform/gui/GuiContext.h"
#include "game/displays/DisplayWindows.h"
#include "game/displays/LapDisplay.h"
#include "game/displays/PositionDisplay.h"
#include "game/displays/TimeDisplay.h"
#include "game/race/Race.h"
#include "game/records/Config.h"
#include "game/records/TextTable.h"

namespace {

constexpr float VIEW_HEIGHT = 384.0f;
constexpr int32_t TEXT_LAP = 1000;
constexpr int32_t TEXT_POSITION = 1001;
constexpr int32_t TEXT_RACE_TIME = 1002;
constexpr int32_t TEXT_BEST_LAP = 1003;
constexpr int32_t TEXT_PAUSED = 2010;
constexpr int32_t TEXT_DROPPED_OUT = 4030;
constexpr int32_t TEXT_WAITING = 9008;
constexpr int32_t TEXT_PRESS_START = 9050;
const char* const COUNTDOWN_IMAGES[] = {"Countdown/Count4", "Countdown/Count3", "Countdown/Count2",
                                        "Countdown/Count1"};
const char* const RACE_IMAGESETS[] = {"Countdown", "Minimap_Objects", "WrongDirection", "Extras"};

void show(CEGUI::Window* window, bool visible) {
    if (window) window->setVisible(visible);
}

void setText(CEGUI::Window* window, const CEGUI::String& text) {
    if (window) window->setText(text);
}

// A dark panel with its text window on the same rectangle, both hidden.
void panel(CEGUI::Window* root, float x, float y, float width, float height, const char* font,
           const char* horizontal, CEGUI::Window*& background, CEGUI::Window*& text) {
    background = displayWindows::create("Quillfen/BlackWindow", root, x, y, width, height);
    background->setVisible(false);
    background->setEnabled(false);
    text = displayWindows::text(root, x, y, width, height, font, horizontal, "CentreAligned");
    text->setVisible(false);
}

} // namespace

OnscreenDisplays::OnscreenDisplays(Race& race)
    : m_trackIndex(race.m_config ? race.m_config->m_track.get() : 0), m_race(race), m_config(race.m_config),
      m_gui(race.m_gui && race.m_gui->m_system ? race.m_gui : nullptr) {}

OnscreenDisplays::~OnscreenDisplays() { destroy(); }

OnscreenDisplays* OnscreenDisplays::create(Race& race) {
    OnscreenDisplays* displays = new OnscreenDisplays(race);
    if (GuiContext* gui = displays->m_gui) {
        for (const char* set : RACE_IMAGESETS) loadImageset(*gui, CEGUI::String(set) + ".imageset");
        CEGUI::Window* root = gui->m_windowManager->createWindow("Quillfen/StaticImage", "Ingame/RootWindow");
        root->setArea(CEGUI::URect(CEGUI::UDim(0, 0), CEGUI::UDim(0, 0), CEGUI::UDim(1, 0), CEGUI::UDim(1, 0)));
        root->setProperty("FrameEnabled", "false");
        root->setProperty("BackgroundEnabled", "false");
        root->setMousePassThroughEnabled(true);
        displays->m_root = root;
        displays->showSheet();
    }
    displays->buildViewPanels();
    displays->buildMinimap();
    displays->buildSigns();
    displays->buildPanels();
    displays->buildWindows();
    for (int32_t v = 0; v < race.m_viewCount && v < VIEWS; ++v) displays->showMinimap(v);
    for (int32_t v = 0; v < race.m_viewCount && v < VIEWS; ++v) {
        ViewWindows& w = displays->m_viewWindows[v];
        show(w.extraIcon, false);
        if (w.lapDisplay) w.lapDisplay->setVisible(true);
        if (w.positionDisplay) w.positionDisplay->setVisible(true);
        displays->showTimePanel(v);
    }
    return displays;
}

void OnscreenDisplays::showSheet() {
    if (m_root && m_gui->m_guiContext && m_gui->m_guiContext->getRootWindow() != m_root)
        m_gui->m_guiContext->setRootWindow(m_root);
}

void OnscreenDisplays::destroy() {
    for (ViewWindows& w : m_viewWindows) {
        w.lapDisplay.reset();
        w.positionDisplay.reset();
        w.raceTimeDisplay.reset();
        w.lapTimeDisplay.reset();
        w.bestLapDisplay.reset();
    }
    if (m_gui) {
        if (m_root) {
            if (m_gui->m_guiContext && m_gui->m_guiContext->getRootWindow() == m_root)
                m_gui->m_guiContext->setRootWindow(nullptr);
            m_gui->m_windowManager->destroyWindow(m_root);
            // The windows go now, before the images they show.
            m_gui->m_windowManager->cleanDeadPool();
        }
        for (const char* set : RACE_IMAGESETS) unloadImageset(*m_gui, set);
        if (m_trackIndex >= 0 && m_trackIndex < 6)
            unloadImageset(*m_gui, "Minimap_Track0" + CEGUI::String(std::to_string(m_trackIndex + 1)));
    }
    m_root = nullptr;
    for (ViewWindows& w : m_viewWindows) w = ViewWindows();
    for (CEGUI::Window*& window : m_windows) window = nullptr;
    for (bool& visible : m_visible) visible = false;
    for (View& view : m_views) view = View();
    m_gui = nullptr;
}

bool OnscreenDisplays::usedView(int32_t view) const { return view >= 0 && view < VIEWS && view < m_race.m_viewCount; }

int32_t OnscreenDisplays::viewCount() const { return m_race.m_viewCount < VIEWS ? m_race.m_viewCount : VIEWS; }

const CEGUI::String& OnscreenDisplays::text(int32_t id) const {
    static const CEGUI::String none;
    return m_race.m_raceTexts ? m_race.m_raceTexts->getText(id) : none;
}

void OnscreenDisplays::buildViewPanels() {
    if (!m_root) return;
    const int32_t views = viewCount();
    const float s = views == 1 ? 0.6f : 0.3f;
    const float centreY = views == 1 ? 144.0f : 72.0f;
    for (int32_t v = 0; v < views; ++v) {
        ViewWindows& w = m_viewWindows[v];
        // The flash covers the whole view.
        w.flashOverlay = views == 1 ? displayWindows::create("Quillfen/StaticImage", m_root, 0, 0, 1024, 768)
                                    : displayWindows::create("Quillfen/StaticImage", m_root, 0, VIEW_HEIGHT * v, 1024,
                                                             VIEW_HEIGHT);
        w.flashOverlay->setProperty("FrameEnabled", "false");
        w.flashOverlay->setProperty("BackgroundEnabled", "true");
        w.flashOverlay->setProperty("BackgroundImage", "Quillfen/GenericBrush");
        w.flashOverlay->setProperty("BackgroundColours", "tl:FFFFFFFF tr:FFFFFFFF bl:FFFFFFFF br:FFFFFFFF");
        w.flashOverlay->setAlpha(1.0f);
        w.flashOverlay->setVisible(false);
        w.flashOverlay->setEnabled(false);
    }
    for (int32_t v = 0; v < views; ++v) {
        const float y0 = VIEW_HEIGHT * v;
        CEGUI::Window* image =
            displayWindows::image(m_root, 512.0f - 256.0f * s, y0 + centreY - 256.0f * s, 512.0f * s, 512.0f * s);
        image->setVisible(false);
        image->setEnabled(false);
        m_viewWindows[v].countdownImage = image;
    }
    for (int32_t v = 0; v < views; ++v) {
        const float y0 = VIEW_HEIGHT * v;
        ViewWindows& w = m_viewWindows[v];
        w.lapPanel = displayWindows::create("Quillfen/BlackWindow", m_root, 10, 30 + y0, 218, 83);
        w.lapPanel->setEnabled(false);
        w.timePanel = displayWindows::create("Quillfen/BlackWindow", m_root, 692, 5 + y0, 328, 108);
        w.timePanel->setEnabled(false);
    }
    for (int32_t kind = 0; kind < EXTRA_KINDS; ++kind) {
        const CEGUI::String name = "Extras/Extra" + CEGUI::String(std::to_string(kind));
        CEGUI::ImageManager& images = CEGUI::ImageManager::getSingleton();
        m_extraImages[kind] = images.isDefined(name) ? &images.get(name) : nullptr;
    }
    // The held extra sits under the lap panel, clear of its digits.
    for (int32_t v = 0; v < views; ++v) {
        m_viewWindows[v].extraIcon = displayWindows::image(m_root, 10, 123 + VIEW_HEIGHT * v, 120, 120);
        m_viewWindows[v].extraIcon->setVisible(false);
    }
    for (int32_t v = 0; v < views; ++v) {
        const float y0 = VIEW_HEIGHT * v;
        ViewWindows& w = m_viewWindows[v];
        w.lapDisplay = std::make_unique<LapDisplay>(m_root, text(TEXT_LAP), 25.0f, 40.0f + y0);
        w.positionDisplay = std::make_unique<PositionDisplay>(m_root, text(TEXT_POSITION), 25.0f, 70.0f + y0);
        w.raceTimeDisplay = std::make_unique<TimeDisplay>(m_root, text(TEXT_RACE_TIME), 707.0f, 10.0f + y0);
        w.lapTimeDisplay = std::make_unique<TimeDisplay>(m_root, text(TEXT_LAP), 707.0f, 40.0f + y0);
        w.bestLapDisplay = std::make_unique<TimeDisplay>(m_root, text(TEXT_BEST_LAP), 707.0f, 70.0f + y0);
    }
}

// The wrong-way images.
void OnscreenDisplays::buildSigns() {
    if (!m_root) return;
    const int32_t views = viewCount();
    for (int32_t v = 0; v < views; ++v) {
        CEGUI::Window* sign = views == 1 ? displayWindows::image(m_root, 384, 256, 256, 256)
                                         : displayWindows::image(m_root, 416, 96 + VIEW_HEIGHT * v, 192, 192);
        displayWindows::setImage(sign, "WrongDirection/FullImage");
        sign->setVisible(false);
        m_viewWindows[v].wrongWayImage = sign;
    }
}

// Start, nickname and pause panels, centred in each view.
void OnscreenDisplays::buildPanels() {
    if (!m_root) return;
    const int32_t views = viewCount();
    auto top = [views](int32_t v, float oneView, float firstOfTwo) {
        return views == 1 ? oneView : firstOfTwo + VIEW_HEIGHT * v;
    };
    for (int32_t v = 0; v < views; ++v) {
        ViewWindows& w = m_viewWindows[v];
        panel(m_root, 271, top(v, 334, 142), 480, 100, "VerdanaSmall", "WordWrapCentreAligned", w.messagePanel,
              w.messageText);
        w.messageText->setText(text(TEXT_PRESS_START));
    }
    for (int32_t v = 0; v < views; ++v) {
        ViewWindows& w = m_viewWindows[v];
        panel(m_root, 312, top(v, 334, 142), 400, 100, "VerdanaSmall", "CentreAligned", w.nicknamePanel,
              w.nicknameText);
    }
    for (int32_t v = 0; v < views; ++v) {
        ViewWindows& w = m_viewWindows[v];
        panel(m_root, 372, top(v, 314, 122), 280, 140, "VerdanaLarge", "CentreAligned", w.pausePanel, w.pauseText);
        w.pauseText->setText(text(TEXT_PAUSED));
    }
}

bool OnscreenDisplays::isMessagePanelVisible(int32_t view) const {
    return usedView(view) && m_views[view].nicknamePanel;
}

void OnscreenDisplays::hideMessagePanels(int32_t view) {
    if (!usedView(view)) return;
    m_views[view].nicknamePanel = false;
    show(m_viewWindows[view].nicknamePanel, false);
    show(m_viewWindows[view].nicknameText, false);
}

void OnscreenDisplays::setRaceTime(float seconds) {
    for (int32_t v = 0; v < viewCount(); ++v) {
        m_views[v].raceTime = seconds;
        if (m_viewWindows[v].raceTimeDisplay) m_viewWindows[v].raceTimeDisplay->setTime(seconds);
    }
}

void OnscreenDisplays::setLapTime(int32_t view, float seconds) {
    if (!usedView(view)) return;
    m_views[view].lapTime = seconds;
    if (m_viewWindows[view].lapTimeDisplay) m_viewWindows[view].lapTimeDisplay->setTime(seconds);
}

void OnscreenDisplays::setSecondaryTime(int32_t view, float seconds) {
    if (!usedView(view)) return;
    m_views[view].bestLap = seconds;
    if (m_viewWindows[view].bestLapDisplay) m_viewWindows[view].bestLapDisplay->setTime(seconds);
}

void OnscreenDisplays::setPosition(int32_t view, int32_t position, int32_t count) {
    if (!usedView(view)) return;
    m_views[view].position = position;
    m_views[view].positionCount = count;
    if (PositionDisplay* display = m_viewWindows[view].positionDisplay.get()) {
        display->setPosition(position);
        display->setCount(count);
    }
}

void OnscreenDisplays::setLap(int32_t view, int32_t lap, int32_t count) {
    if (!usedView(view)) return;
    m_views[view].lap = lap;
    m_views[view].lapCount = count;
    if (m_viewWindows[view].lapDisplay) m_viewWindows[view].lapDisplay->setLap(lap, count, count == -1);
}

void OnscreenDisplays::setExtraIcon(int32_t view, int32_t kind) {
    if (!usedView(view) || kind < 0 || kind >= EXTRA_KINDS) return;
    m_views[view].extra = kind;
    CEGUI::Window* icon = m_viewWindows[view].extraIcon;
    if (!icon || !m_extraImages[kind]) return;
    displayWindows::setImage(icon, m_extraImages[kind]->getName());
    icon->setVisible(kind != 0);
}

void OnscreenDisplays::showCountdown(int32_t view, int32_t n) {
    if (!usedView(view) || n < 0 || n > 3) return;
    m_views[view].countdown = n;
    displayWindows::setImage(m_viewWindows[view].countdownImage, COUNTDOWN_IMAGES[n]);
}

void OnscreenDisplays::setCountdownVisible(int32_t view, bool visible) {
    if (!usedView(view)) return;
    m_views[view].countdownVisible = visible;
    show(m_viewWindows[view].countdownImage, visible);
}

void OnscreenDisplays::setWrongWayVisible(int32_t view, bool visible) {
    if (!usedView(view)) return;
    m_views[view].wrongWay = visible;
    show(m_viewWindows[view].wrongWayImage, visible);
}

void OnscreenDisplays::setFlashOverlay(int32_t view, float c1, float c2, float c3, float alpha) {
    if (!usedView(view)) return;
    View& state = m_views[view];
    state.flashColour[0] = c1;
    state.flashColour[1] = c2;
    state.flashColour[2] = c3;
    state.flashAlpha = alpha;
    state.flashVisible = alpha > 0.0f;
    CEGUI::Window* overlay = m_viewWindows[view].flashOverlay;
    if (!overlay) return;
    overlay->setAlpha(alpha);
    const CEGUI::argb_t colour = 0xFF000000u | CEGUI::argb_t(c3 * 255.0f) << 16 | CEGUI::argb_t(c2 * 255.0f) << 8 |
                                 CEGUI::argb_t(c1 * 255.0f);
    displayWindows::setChanged(overlay, "BackgroundColours", CEGUI::PropertyHelper<CEGUI::ColourRect>::toString(
                                                                  CEGUI::ColourRect(CEGUI::Colour(colour))));
    overlay->setVisible(state.flashVisible);
}

void OnscreenDisplays::showStartPanels() {
    for (int32_t v = 0; v < viewCount(); ++v) {
        m_views[v].startPanel = true;
        show(m_viewWindows[v].messagePanel, true);
        show(m_viewWindows[v].messageText, true);
    }
}

void OnscreenDisplays::hideStartPanels() {
    for (int32_t v = 0; v < viewCount(); ++v) {
        m_views[v].startPanel = false;
        show(m_viewWindows[v].messagePanel, false);
        show(m_viewWindows[v].messageText, false);
    }
}

void OnscreenDisplays::showPanelMessage() {
    for (int32_t v = 0; v < viewCount(); ++v) {
        m_views[v].messageText = TEXT_WAITING;
        setText(m_viewWindows[v].messageText, text(TEXT_WAITING));
    }
}

void OnscreenDisplays::showNicknameMessage(int32_t view, const CEGUI::String& name) {
    if (!usedView(view)) return;
    const CEGUI::String message = displayWindows::filledIn(text(TEXT_DROPPED_OUT), "[NICKNAME]", name);
    m_views[view].nickname = name;
    m_views[view].nicknamePanel = true;
    setText(m_viewWindows[view].nicknameText, message);
    show(m_viewWindows[view].nicknamePanel, true);
    show(m_viewWindows[view].nicknameText, true);
}

void OnscreenDisplays::showPausePanels() {
    for (int32_t v = 0; v < viewCount(); ++v) {
        m_views[v].pausePanel = true;
        show(m_viewWindows[v].pausePanel, true);
        show(m_viewWindows[v].pauseText, true);
    }
}

void OnscreenDisplays::hidePausePanels() {
    for (int32_t v = 0; v < viewCount(); ++v) {
        m_views[v].pausePanel = false;
        show(m_viewWindows[v].pausePanel, false);
        show(m_viewWindows[v].pauseText, false);
    }
}

void OnscreenDisplays::showTimePanel(int32_t view) {
    if (!usedView(view)) return;
    ViewWindows& w = m_viewWindows[view];
    show(w.timePanel, true);
    for (TimeDisplay* display : {w.raceTimeDisplay.get(), w.lapTimeDisplay.get(), w.bestLapDisplay.get()})
        if (display) display->setVisible(true);
}
