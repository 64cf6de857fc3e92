#include "tools/guidata/LookBuilder.h"

#include <cstdio>

#include "tools/guidata/ImagesetBuilder.h"

namespace {

std::string number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", double(v));
    return text;
}

const char* const BRUSH = "Quillfen/GenericBrush";

} // namespace

std::string argbHex(uint32_t argb) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", unsigned(argb));
    return text;
}

std::string colourRect(uint32_t argb) {
    const std::string c = argbHex(argb);
    return "tl:" + c + " tr:" + c + " bl:" + c + " br:" + c;
}

LookBuilder::LookBuilder() : m_xml("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Falagard version=\"7\">\n") {}

void LookBuilder::beginLook(const std::string& name) { m_xml += " <WidgetLook name=\"" + name + "\">\n"; }

void LookBuilder::endLook() { m_xml += " </WidgetLook>\n"; }

void LookBuilder::propertyDefinition(const std::string& name, const std::string& type, const std::string& initial) {
    m_xml += "  <PropertyDefinition name=\"" + name + "\" type=\"" + type + "\" initialValue=\"" + initial +
             "\" redrawOnWrite=\"true\" />\n";
}

void LookBuilder::property(const std::string& name, const std::string& value) {
    m_xml += "  <Property name=\"" + name + "\" value=\"" + value + "\" />\n";
}

void LookBuilder::area(const LookArea& a) {
    auto dim = [&](const char* type, float scale, float offset, const char* axis) {
        m_xml += "<Dim type=\"" + std::string(type) + "\"><UnifiedDim scale=\"" + number(scale) + "\" offset=\"" +
                 number(offset) + "\" type=\"" + axis + "\" /></Dim>";
    };
    m_xml += "<Area>";
    dim("LeftEdge", a.leftScale, a.leftOffset, "LeftEdge");
    dim("TopEdge", a.topScale, a.topOffset, "TopEdge");
    dim("Width", a.widthScale, a.widthOffset, "Width");
    dim("Height", a.heightScale, a.heightOffset, "Height");
    m_xml += "</Area>";
}

void LookBuilder::namedArea(const std::string& name, const LookArea& a) {
    m_xml += "  <NamedArea name=\"" + name + "\">";
    area(a);
    m_xml += "</NamedArea>\n";
}

void LookBuilder::child(const std::string& type, const std::string& suffix, const LookArea& a,
                        const Properties& properties) {
    m_xml += "  <Child type=\"" + type + "\" nameSuffix=\"" + suffix + "\">";
    area(a);
    for (const auto& [name, value] : properties)
        m_xml += "<Property name=\"" + name + "\" value=\"" + value + "\" />";
    m_xml += "</Child>\n";
}

void LookBuilder::beginSection(const std::string& name) { m_xml += "  <ImagerySection name=\"" + name + "\">\n"; }

void LookBuilder::endSection() { m_xml += "  </ImagerySection>\n"; }

void LookBuilder::fill(const LookArea& a, uint32_t argb) {
    const std::string c = argbHex(argb);
    m_xml += "   <ImageryComponent>";
    area(a);
    m_xml += "<Image name=\"" + std::string(BRUSH) + "\" /><Colours topLeft=\"" + c + "\" topRight=\"" + c +
             "\" bottomLeft=\"" + c + "\" bottomRight=\"" + c +
             "\" /><VertFormat type=\"Stretched\" /><HorzFormat type=\"Stretched\" /></ImageryComponent>\n";
}

void LookBuilder::fillFromProperty(const LookArea& a, const std::string& colourRectProperty) {
    m_xml += "   <ImageryComponent>";
    area(a);
    m_xml += "<Image name=\"" + std::string(BRUSH) + "\" /><ColourRectProperty name=\"" + colourRectProperty +
             "\" /><VertFormat type=\"Stretched\" /><HorzFormat type=\"Stretched\" /></ImageryComponent>\n";
}

void LookBuilder::outline(const LookArea& a, float t, uint32_t argb) {
    fill({a.leftScale, a.leftOffset, a.topScale, a.topOffset, a.widthScale, a.widthOffset, 0, t}, argb);
    fill({a.leftScale, a.leftOffset, a.topScale + a.heightScale, a.topOffset + a.heightOffset - t, a.widthScale,
          a.widthOffset, 0, t},
         argb);
    fill({a.leftScale, a.leftOffset, a.topScale, a.topOffset, 0, t, a.heightScale, a.heightOffset}, argb);
    fill({a.leftScale + a.widthScale, a.leftOffset + a.widthOffset - t, a.topScale, a.topOffset, 0, t, a.heightScale,
          a.heightOffset},
         argb);
}

void LookBuilder::imageFromProperty(const LookArea& a, const std::string& imageProperty,
                                    const std::string& colourRectProperty) {
    m_xml += "   <ImageryComponent>";
    area(a);
    m_xml += "<ImageProperty name=\"" + imageProperty + "\" />";
    if (!colourRectProperty.empty()) m_xml += "<ColourRectProperty name=\"" + colourRectProperty + "\" />";
    m_xml += "<VertFormat type=\"Stretched\" /><HorzFormat type=\"Stretched\" /></ImageryComponent>\n";
}

void LookBuilder::frameImages(const LookArea& a, const std::string& imagePrefix) {
    // The frame's parts in the order of the slices.
    const char* const parts[9] = {"TopLeftCorner",    "TopEdge",    "TopRightCorner", "LeftEdge",         "Background",
                                  "RightEdge",        "BottomLeftCorner", "BottomEdge", "BottomRightCorner"};
    m_xml += "   <FrameComponent>";
    area(a);
    for (int i = 0; i < 9; ++i)
        m_xml += "<Image component=\"" + std::string(parts[i]) + "\" name=\"" + imagePrefix + ImagesetBuilder::SLICES[i] +
                 "\" />";
    m_xml += "</FrameComponent>\n";
}

void LookBuilder::text(const LookArea& a, const std::string& horz, const std::string& vert) {
    m_xml += "   <TextComponent>";
    area(a);
    m_xml += "<VertFormat type=\"" + vert + "\" /><HorzFormat type=\"" + horz + "\" /></TextComponent>\n";
}

void LookBuilder::state(const std::string& name, const std::vector<Layer>& layers) {
    m_xml += "  <StateImagery name=\"" + name + "\">";
    for (const Layer& layer : layers) {
        m_xml += "<Layer>";
        for (const auto& [section, colourProperty] : layer) {
            if (colourProperty.empty()) {
                m_xml += "<Section section=\"" + section + "\" />";
                continue;
            }
            m_xml += "<Section section=\"" + section + "\"><ColourRectProperty name=\"" + colourProperty +
                     "\" /></Section>";
        }
        m_xml += "</Layer>";
    }
    m_xml += "</StateImagery>\n";
}

std::string LookBuilder::finish() { return m_xml + "</Falagard>\n"; }
