#pragma once
#include <string>
#include <vector>

#include "tools/guidata/Canvas.h"

// Packs named pictures onto one sheet and writes the GUI library's imageset
// file for it (imageset format 2: images are then named "Set/Image").
class ImagesetBuilder {
public:
    explicit ImagesetBuilder(std::string name) : m_name(std::move(name)) {}

    // `inset` pixels of the picture's border are left out of the image, so
    // filtering never reaches past a flat brush into its neighbours.
    void add(const std::string& imageName, const Canvas& picture, int inset = 0);
    // Cuts `picture` into nine images named `imageName` + each of SLICES: corners
    // `corner` pixels square, edges and middle between them, to be stretched.
    void addSlices(const std::string& imageName, const Canvas& picture, int corner);

    // Row by row, from the top left corner to the bottom right one.
    static constexpr const char* SLICES[9] = {"TopLeft", "Top",        "TopRight", "Left",       "Middle",
                                              "Right",   "BottomLeft", "Bottom",   "BottomRight"};

    const std::string& name() const { return m_name; }
    std::string pictureFileName() const { return m_name + ".png"; }
    // Lays the pictures out; call before imagesetXml and sheet.
    void pack();
    std::string imagesetXml() const;
    const Canvas& sheet() const { return m_sheet; }

private:
    struct Entry {
        std::string name;
        Canvas picture;
        int inset;
        int x = 0;
        int y = 0;
    };
    // Places the pictures on shelves `width` wide; returns the sheet height needed.
    int layOut(int width);

    std::string m_name;
    std::vector<Entry> m_entries;
    Canvas m_sheet{1, 1};
};
