#pragma once
#include <vector>

#include "engine/platform/gui/GuiHelper.h"

namespace CEGUI {
class Window;
}

// A label followed by a row of one-character cells in the large italic
// font, so that the digits of a time or a lap stand still however wide
// each is. Its windows belong to the parent's window tree.
class TextDisplay : public GuiHelper {
public:
    ~TextDisplay() override;

    // Label and cells, hidden, children of the parent; pixels of the 1024 x 768 layout.
    void create(CEGUI::Window* parent, float x, float y, const CEGUI::String& label, float labelWidth,
                int cellCount, float cellWidth, float height);
    // The label and every cell.
    void setVisible(bool visible);
    CEGUI::Window* label() const { return m_label; }
    CEGUI::Window* cell(int i) const;

protected:
    void setCell(int i, const CEGUI::String& text);
    void setCellNumber(int i, int value);

    int m_cellCount = 0;
    float m_labelWidth = 0.0f;
    float m_cellWidth = 0.0f;
    float m_height = 0.0f;
    CEGUI::Window* m_label = nullptr;
    std::vector<CEGUI::Window*> m_cells;
};
