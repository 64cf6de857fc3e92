#include "game/records/TextTable.h"

#include <tinyxml.h>

#include <memory>
#include <vector>

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

} // namespace

TextTable::TextTable(const char* fileName, File& fileSource) : m_language(0) {
    std::unique_ptr<File> file(fileSource.clone());
    if (!file || !fileName || !file->open(fileName)) return;
    std::vector<char> bytes;
    bool read = readWhole(*file, bytes);
    file->close();
    if (read) parse(bytes.data());
}

void TextTable::parse(const char* xml) {
    TiXmlDocument document;
    document.Parse(xml, nullptr, TIXML_DEFAULT_ENCODING);
    const TiXmlElement* texts = document.FirstChildElement("Texts");
    if (!texts) return;
    for (const TiXmlElement* take = texts->FirstChildElement("Take"); take; take = take->NextSiblingElement("Take")) {
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
