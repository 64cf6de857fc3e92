#include "game/records/TextTable.h"

#include <tinyxml.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/Report.h"
#include "engine/platform/archive/File.h"

namespace {

const char* const LANGUAGE_ELEMENTS[TextTable::LANGUAGE_COUNT] = {"De", "En", "Fr", "Sp", "It", "Ru"};

bool readWhole(File& file, std::vector<char>& bytes) {
    uint32_t size = file.getSize();
    if (size > TextTable::MAX_FILE_SIZE) return false;
    bytes.assign(size + 1, '\0');
    uint32_t done = 0;
    while (done < size) {
        int32_t n = file.read(bytes.data() + done, size - done);
        if (n <= 0) break;
        done += uint32_t(n);
    }
    bytes[done] = '\0';
    return true;
}

// The last element of that name whose first child is text; an element holding
// anything else is skipped.
CEGUI::String languageText(const TiXmlElement& take, const char* language) {
    CEGUI::String text;
    for (const TiXmlElement* e = take.FirstChildElement(language); e; e = e->NextSiblingElement(language)) {
        const TiXmlNode* first = e->FirstChild();
        if (first && first->ToText()) text = reinterpret_cast<const CEGUI::utf8*>(first->Value());
    }
    return text;
}

// Where the take after a damage begins, past `from` in any case; npos when none follows.
size_t takeAfter(const std::string& xml, size_t from, int row, int column) {
    size_t lineStart = from;
    for (int line = 1; line < row; ++line) {
        const size_t end = xml.find('\n', lineStart);
        if (end == std::string::npos) return end;
        lineStart = end + 1;
    }
    const size_t at = lineStart + size_t(column > 0 ? column : 0);
    return xml.find("<Take", std::max(at, from + 1));
}

} // namespace

TextTable::TextTable(const char* fileName, File& fileSource) : m_language(0) {
    std::unique_ptr<File> file(fileSource.clone());
    if (!file || !fileName || !file->open(fileName)) return;
    std::vector<char> bytes;
    bool read = readWhole(*file, bytes);
    file->close();
    if (!read) {
        g_logStream << fileName << " is larger than " << (MAX_FILE_SIZE >> 20) << " MiB: no text read from it" << std::endl;
        return;
    }
    parse(bytes.data(), fileName);
}

void TextTable::parse(const char* xml, const char* fileName) {
    const std::string text = xml;
    std::string damage;
    // A damaged take costs only the takes the parser loses with it: reading starts again at the next one.
    for (size_t from = 0; from < text.size();) {
        TiXmlDocument document;
        // Columns count characters, so that a line's tabs do not push the restart past a take.
        document.SetTabSize(1);
        document.Parse(text.c_str() + from, nullptr, TIXML_DEFAULT_ENCODING);
        const TiXmlNode* texts = from == 0 ? static_cast<const TiXmlNode*>(document.FirstChildElement("Texts")) : &document;
        if (texts) readTakes(*texts);
        if (!document.Error()) break;
        if (damage.empty())
            damage = "line " + std::to_string(document.ErrorRow()) + ", column " + std::to_string(document.ErrorCol()) +
                     " (" + document.ErrorDesc() + ")";
        from = takeAfter(text, from, document.ErrorRow(), document.ErrorCol());
    }
    if (!damage.empty())
        g_logStream << fileName << " is damaged at " << damage
                    << "; its texts are read on from the next take, those the damage swallowed are missing"
                    << std::endl;
}

void TextTable::readTakes(const TiXmlNode& texts) {
    for (const TiXmlElement* take = texts.FirstChildElement("Take"); take; take = take->NextSiblingElement("Take")) {
        int id;
        // A take without a readable id cannot be looked up: skip it.
        if (take->QueryIntAttribute("id", &id) != TIXML_SUCCESS) continue;
        for (int language = 0; language < LANGUAGE_COUNT; ++language)
            m_texts[language][id] = languageText(*take, LANGUAGE_ELEMENTS[language]);
    }
}

const CEGUI::String& TextTable::getText(int id) const {
    if (m_language < 0 || m_language >= LANGUAGE_COUNT) return m_empty;
    auto found = m_texts[m_language].find(id);
    return found != m_texts[m_language].end() ? found->second : m_empty;
}
