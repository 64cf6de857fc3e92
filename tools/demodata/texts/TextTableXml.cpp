#include "tools/demodata/texts/TextTableXml.h"

namespace {

const char* const LANGUAGE_ELEMENTS[6] = {"De", "En", "Fr", "Sp", "It", "Ru"};

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

std::string textTableXml(const std::vector<LocalisedText>& texts) {
    // The declaration tells the XML reader the bytes are UTF-8, so the Cyrillic stays whole.
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Texts>\n";
    for (const LocalisedText& t : texts) {
        xml += "  <Take id=\"" + std::to_string(t.id) + "\">\n";
        for (int language = 0; language < 6; ++language)
            xml += std::string("    <") + LANGUAGE_ELEMENTS[language] + ">" + escaped(t.text[language]) + "</" +
                   LANGUAGE_ELEMENTS[language] + ">\n";
        xml += "  </Take>\n";
    }
    return xml + "</Texts>\n";
}
