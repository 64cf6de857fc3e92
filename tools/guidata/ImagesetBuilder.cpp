#include "tools/guidata/ImagesetBuilder.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace {

const int GAP = 2; // transparent pixels between pictures

int powerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n) p *= 2;
    return p;
}

} // namespace

void ImagesetBuilder::add(const std::string& imageName, const Canvas& picture, int inset) {
    m_entries.push_back({imageName, picture, inset});
}

void ImagesetBuilder::addSlices(const std::string& imageName, const Canvas& picture, int corner) {
    const int starts[3] = {0, corner, picture.width() - corner}, widths[3] = {corner, picture.width() - 2 * corner, corner};
    const int tops[3] = {0, corner, picture.height() - corner}, heights[3] = {corner, picture.height() - 2 * corner, corner};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            // A pixel of the neighbouring slice round each one, so that stretching
            // filters into the picture's own colours rather than the sheet's gap.
            Canvas slice(widths[column] + 2, heights[row] + 2);
            slice.paste(picture, 1 - starts[column], 1 - tops[row]);
            add(imageName + SLICES[row * 3 + column], slice, 1);
        }
}

int ImagesetBuilder::layOut(int width) {
    std::vector<size_t> order(m_entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return m_entries[a].picture.height() > m_entries[b].picture.height();
    });
    int x = 0, y = 0, shelf = 0;
    for (size_t i : order) {
        Entry& e = m_entries[i];
        if (x + e.picture.width() > width) {
            x = 0;
            y += shelf + GAP;
            shelf = 0;
        }
        e.x = x;
        e.y = y;
        x += e.picture.width() + GAP;
        shelf = std::max(shelf, e.picture.height());
    }
    return powerOfTwoAtLeast(y + shelf);
}

void ImagesetBuilder::pack() {
    // Shelves of pictures, tallest first, on the smallest power-of-two sheet that holds them.
    int narrowest = 1;
    for (const Entry& e : m_entries) narrowest = std::max(narrowest, powerOfTwoAtLeast(e.picture.width()));
    // Least area first, then the squarer sheet.
    auto cost = [&](int width) {
        const long height = layOut(width);
        return std::make_pair(long(width) * height, std::max(long(width), height));
    };
    int bestWidth = narrowest;
    for (int width = narrowest * 2; width <= 4096; width *= 2)
        if (cost(width) < cost(bestWidth)) bestWidth = width;
    m_sheet = Canvas(bestWidth, layOut(bestWidth));
    for (const Entry& e : m_entries) m_sheet.paste(e.picture, e.x, e.y);
}

std::string ImagesetBuilder::imagesetXml() const {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Imageset version=\"2\" name=\"" + m_name +
                      "\" imagefile=\"" + pictureFileName() +
                      "\" nativeHorzRes=\"1024\" nativeVertRes=\"768\" autoScaled=\"false\">\n";
    for (const Entry& e : m_entries) {
        xml += "  <Image name=\"" + e.name + "\" xPos=\"" + std::to_string(e.x + e.inset) + "\" yPos=\"" +
               std::to_string(e.y + e.inset) + "\" width=\"" + std::to_string(e.picture.width() - 2 * e.inset) +
               "\" height=\"" + std::to_string(e.picture.height() - 2 * e.inset) + "\" />\n";
    }
    return xml + "</Imageset>\n";
}
