#include "game/records/HighscoreStore.h"

#include "game/records/HighscoreTables.h"

HighscoreStore::HighscoreStore() = default;
HighscoreStore::~HighscoreStore() = default;

void HighscoreStore::load(HighscoreTables& tables, const std::string& fileName) {
    if (m_unsaved) {
        tables = *m_unsaved;
        return;
    }
    if (tables.load(fileName.c_str())) return;
    tables.reset();
    save(tables, fileName);
}

SaveFailure HighscoreStore::save(HighscoreTables& tables, const std::string& fileName) {
    SaveFailure failure = SaveFailure::NONE;
    if (tables.save(fileName.c_str(), &failure)) {
        m_unsaved.reset();
        return SaveFailure::NONE;
    }
    m_unsaved = std::make_unique<HighscoreTables>(tables);
    return failure;
}
