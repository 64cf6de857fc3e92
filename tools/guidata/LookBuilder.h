#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A rectangle in unified terms: each edge a scale of the widget's size plus pixels.
struct LookArea {
    float leftScale, leftOffset, topScale, topOffset, widthScale, widthOffset, heightScale, heightOffset;

    static LookArea whole() { return {0, 0, 0, 0, 1, 0, 1, 0}; }
    // The whole widget less `pixels` on every side.
    static LookArea inset(float pixels) { return {0, pixels, 0, pixels, 1, -2 * pixels, 1, -2 * pixels}; }
};

// Writes a Falagard look file (format 7) one widget look at a time, with the
// few drawing pieces this game's flat skin is made of.
class LookBuilder {
public:
    using Properties = std::vector<std::pair<std::string, std::string>>;
    // A layer of a state: sections by name, each optionally tinted by a colour property.
    using Layer = std::vector<std::pair<std::string, std::string>>;

    LookBuilder();

    void beginLook(const std::string& name);
    void endLook();

    void propertyDefinition(const std::string& name, const std::string& type, const std::string& initial);
    void property(const std::string& name, const std::string& value);
    void namedArea(const std::string& name, const LookArea& area);
    void child(const std::string& type, const std::string& suffix, const LookArea& area, const Properties& properties = {});

    void beginSection(const std::string& name);
    void endSection();
    // Flat fill with the white brush, in a colour or in the colours of a property.
    void fill(const LookArea& area, uint32_t argb);
    void fillFromProperty(const LookArea& area, const std::string& colourRectProperty);
    // Outline of `thickness` pixels just inside the area.
    void outline(const LookArea& area, float thickness, uint32_t argb);
    // The image named by a property, stretched over the area; optionally tinted by a colour property.
    void imageFromProperty(const LookArea& area, const std::string& imageProperty, const std::string& colourRectProperty = "");
    // The nine images `imagePrefix` + ImagesetBuilder::SLICES: corners kept, edges and middle stretched.
    void frameImages(const LookArea& area, const std::string& imagePrefix);
    void text(const LookArea& area, const std::string& horz, const std::string& vert);

    void state(const std::string& name, const std::vector<Layer>& layers);

    std::string finish();

private:
    void area(const LookArea& a);
    std::string m_xml;
};

std::string argbHex(uint32_t argb);
// "tl:... tr:... bl:... br:..." of one colour, the text form of a colour rectangle.
std::string colourRect(uint32_t argb);
