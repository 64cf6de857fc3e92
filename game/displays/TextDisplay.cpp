#include "game/displays/TextDisplay.h"

#include <string>

#include <CEGUI/Window.h>
#include <CEGUI/WindowManager.h>

namespace {

constexpr float LAYOUT_WIDTH = 1024.0f;
constexpr float LAYOUT_HEIGHT = 768.0f;
constexpr float CELL_GAP = 10.0f;

CEGUI::Window* makeText(CEGUI::Window* parent, float x, float y, float width, float height, const char* horizontal) {
    CEGUI::Window* window = CEGUI::WindowManager::getSingleton().createWindow("Quillfen/StaticText");
    window->setPosition(GuiHelper::toRelative(x, y, LAYOUT_WIDTH, LAYOUT_HEIGHT));
    const CEGUI::UVector2 size = GuiHelper::toRelative(width, height, LAYOUT_WIDTH, LAYOUT_HEIGHT);
    window->setSize(CEGUI::USize(size.d_x, size.d_y));
    window->setProperty("VertFormatting", "CentreAligned");
    window->setProperty("HorzFormatting", horizontal);
    window->setProperty("TextColours", "tl:FFFFFFFF tr:FFFFFFFF bl:FFFFFFFF br:FFFFFFFF");
    window->setProperty("FrameEnabled", "false");
    window->setProperty("BackgroundEnabled", "false");
    window->setFont("VerdanaLargeItalic");
    window->setVisible(false);
    if (parent) parent->addChild(window);
    return window;
}

} // namespace

TextDisplay::~TextDisplay() = default;

void TextDisplay::create(CEGUI::Window* parent, float x, float y, const CEGUI::String& label, float labelWidth,
                         int cellCount, float cellWidth, float height) {
    m_cellCount = cellCount;
    m_labelWidth = labelWidth;
    m_cellWidth = cellWidth;
    m_height = height;
    m_label = makeText(parent, x, y, labelWidth, height, "LeftAligned");
    m_label->setText(label);
    m_cells.clear();
    for (int i = 0; i < cellCount; ++i)
        m_cells.push_back(makeText(parent, x + labelWidth + CELL_GAP + i * cellWidth, y, cellWidth, height, "CentreAligned"));
}

void TextDisplay::setVisible(bool visible) {
    if (m_label) m_label->setVisible(visible);
    for (CEGUI::Window* cell : m_cells) cell->setVisible(visible);
}

CEGUI::Window* TextDisplay::cell(int i) const {
    return i >= 0 && i < static_cast<int>(m_cells.size()) ? m_cells[static_cast<size_t>(i)] : nullptr;
}

void TextDisplay::setCell(int i, const CEGUI::String& text) {
    if (CEGUI::Window* window = cell(i)) window->setText(text);
}

void TextDisplay::setCellNumber(int i, int value) { setCell(i, std::to_string(value).c_str()); }
