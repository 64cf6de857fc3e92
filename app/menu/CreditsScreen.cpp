#include "app/menu/CreditsScreen.h"

#include <CEGUI/CEGUI.h>

#include <algorithm>

#include "app/menu/Menu.h"
#include "engine/platform/Report.h"
#include "engine/platform/archive/File.h"

namespace {

constexpr float LINE_X = 80.0f;
constexpr float LINE_WIDTH = 924.0f;
constexpr float LINE_HEIGHT = 35.0f;
// Lines fade in over the 35 pixels above the bottom and out over the 35 below the top.
constexpr float BOTTOM = 718.0f;
constexpr float TOP = 50.0f;
constexpr float SHADOW_OFFSET = 2.0f;
constexpr float PIXELS_PER_SECOND = 45.0f;
// A longer frame is a stall (a pause, a dragged window): taken whole it would
// send every line past the top at once and stack them all at the loop's end.
constexpr float LONGEST_STEP = 0.1f;
// 35 000 pixels of credits, 13 minutes of rolling: more is a broken file, not credits.
constexpr size_t MOST_LINES = 1000;
constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr uint32_t BLACK = 0xFF000000;

constexpr char CARRIAGE_RETURN = '\r';

// The first character of a line picks its font and is not shown.
struct Marker {
    char lead;
    const char* font;
};
const Marker MARKERS[] = {{'*', "VerdanaLargeItalic"}, {'!', "VerdanaMedium"}, {'#', "VerdanaSmallItalic"}};
const char* const PLAIN_FONT = "VerdanaMediumItalic";

float boundedStep(float seconds) { return seconds > 0.0f ? std::min(seconds, LONGEST_STEP) : 0.0f; }

// How much of a line at y shows, for a line not yet past the top's fade.
float alphaAt(float y) {
    if (y < TOP) return 1.0f - (TOP - y) / LINE_HEIGHT;
    if (y >= BOTTOM) return 0.0f;
    if (y > BOTTOM - LINE_HEIGHT) return (BOTTOM - y) / LINE_HEIGHT;
    return 1.0f;
}

} // namespace

CreditsScreen::CreditsScreen(Menu* owner) : GuiScreen(owner) {
    createRoot("Credits/Background");
    m_back = createWindow("Quillfen/ImageButton", m_root, 22, 629, 120, 120);
    setButtonImages(*m_back, "Quillfen/BackButton", "Quillfen/BackButtonHover", "Quillfen/BackButton");
    m_back->setHorizontalAlignment(CEGUI::HA_LEFT);
    m_back->setVerticalAlignment(CEGUI::VA_TOP);
    m_back->setAlwaysOnTop(true);
    onClick(*m_back, [this] { setResult(BACK); });
    readCredits();
}

void CreditsScreen::scroll() {
    const float rise = PIXELS_PER_SECOND * boundedStep(m_owner->delta);
    // A short file still comes back in from below the screen, not in the middle of it.
    const float loopEnd = std::max(LINE_HEIGHT * float(m_lines.size()) + TOP, BOTTOM);
    for (CreditLine& line : m_lines) {
        line.y -= rise;
        if (line.y < TOP - LINE_HEIGHT) {
            line.y = loopEnd;
        } else {
            const float alpha = alphaAt(line.y);
            line.shadow->setAlpha(alpha);
            line.text->setAlpha(alpha);
        }
        place(line);
    }
}

void CreditsScreen::readCredits() {
    File* files = g_fileSystem;
    if (!files || !files->open(FILE_NAME)) {
        g_logStream << "credits file " << FILE_NAME << " not opened: the credits screen stays empty" << std::endl;
        return;
    }
    std::string bytes(files->getSize(), '\0');
    bytes.resize(files->readFully(bytes.data(), uint32_t(bytes.size())));
    files->close();

    // A carriage return ends a line and takes the line feed after it along;
    // text after the last one is no line.
    std::string line;
    for (size_t i = 0; i < bytes.size() && m_lines.size() < MOST_LINES; ++i) {
        if (bytes[i] != CARRIAGE_RETURN) {
            line += bytes[i];
            continue;
        }
        addLine(line);
        line.clear();
        ++i;
    }
}

void CreditsScreen::addLine(const std::string& line) {
    const char* font = PLAIN_FONT;
    size_t markerLength = 0;
    for (const Marker& marker : MARKERS)
        if (!line.empty() && line[0] == marker.lead) {
            font = marker.font;
            markerLength = 1;
        }
    // Each byte is one letter, as the file was written.
    const CEGUI::String text(line.substr(markerLength));
    const float y = BOTTOM + LINE_HEIGHT * float(m_lines.size());
    // The shadow goes in first, so that the text is drawn over it.
    CEGUI::Window* shadow = createLineWindow(text, font, BLACK, LINE_X + SHADOW_OFFSET, y + SHADOW_OFFSET);
    CEGUI::Window* front = createLineWindow(text, font, WHITE, LINE_X, y);
    m_lines.push_back({LINE_X, y, LINE_WIDTH, LINE_HEIGHT, front, shadow});
}

CEGUI::Window* CreditsScreen::createLineWindow(const CEGUI::String& text, const char* font, uint32_t argb, float x,
                                               float y) {
    CEGUI::Window* window = createWindow("Quillfen/StaticText", m_root, x, y, LINE_WIDTH, LINE_HEIGHT);
    setTextLook(*window, font, argb, "CentreAligned", "CentreAligned");
    window->setText(text);
    return window;
}

void CreditsScreen::place(const CreditLine& line) {
    line.text->setPosition(toRelative(line.x, line.y, LAYOUT_WIDTH, LAYOUT_HEIGHT));
    line.shadow->setPosition(
        toRelative(line.x + SHADOW_OFFSET, line.y + SHADOW_OFFSET, LAYOUT_WIDTH, LAYOUT_HEIGHT));
}
