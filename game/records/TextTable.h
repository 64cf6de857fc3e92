#pragma once
#include <CEGUI/String.h>

#include <map>

class File;
class TiXmlNode;

// Every text of one XML text table in all six languages, looked up by id in
// the current language. Languages: 0 "De", 1 "En", 2 "Fr", 3 "Sp", 4 "It", 5 "Ru".
class TextTable {
public:
    static constexpr int LANGUAGE_COUNT = 6;
    static constexpr uint32_t MAX_FILE_SIZE = 16u << 20; // a text table is a few hundred kB at most

    // Reads the file through a copy of the file source; a missing file gives
    // an empty table, a damaged one the texts around the damage, logged.
    TextTable(const char* fileName, File& fileSource);

    // The same empty text for unknown ids and for a language outside 0..5.
    const CEGUI::String& getText(int id) const;

    int m_language;

private:
    void parse(const char* xml, const char* fileName);
    void readTakes(const TiXmlNode& texts);

    CEGUI::String m_empty;
    std::map<int, CEGUI::String> m_texts[LANGUAGE_COUNT];
};
