#include "game/displays/TextDisplay.h"

#include <string>

#include <CEGUI/Window.h>

#include "game/displays/DisplayWindows.h"


namespace {

// Between the label and the first cell.
constexpr float CELL_GAP = 10.0f;

} // namespace

TextDisplay::~TextDisplay() = default;

void TextDisplay::create(CEGUI::Window* parent, float x, float y, const CEGUI::String& label, float labelWidth,
                         int cellCount, float cellWidth, float height) {
    m_cellCount = cellCount;
    m_labelWidth = labelWidth;
    m_cellWidth = cellWidth;
    m_height = height;
    m_label = displayWindows::text(parent, x, y, labelWidth, height, "VerdanaLargeItalic", "LeftAligned", "CentreAligned");
    m_label->setVisible(false);
    m_label->setText(label);
    m_cells.clear();
    for (int i = 0; i < cellCount; ++i) {
        m_cells.push_back(displayWindows::text(parent, x + labelWidth + CELL_GAP + i * cellWidth, y, cellWidth, height,
                                               "VerdanaLargeItalic", "CentreAligned", "CentreAligned"));
        m_cells.back()->setVisible(false);
    }
}

void TextDisplay::setVisible(bool visible) {
    if (m_label) m_label->setVisible(visible);
    for (CEGUI::Window* cell : m_cells) cell->setVisible(visible);
}

CEGUI::Window* TextDisplay::cell(int i) const {
    return i >= 0 && i < static_cast<int>(m_cells.size()) ? m_cells[static_cast<size_t>(i)] : nullptr;
}

// The library lays a window's text out again on every setText, the same text
// or not: most cells keep theirs from one frame to the next.
void TextDisplay::setCell(int i, const CEGUI::String& text) {
    CEGUI::Window* window = cell(i);
    if (window && window->getText() != text) window->setText(text);
}

void TextDisplay::setCellNumber(int i, int value) { setCell(i, std::to_string(value)); }
