#pragma once
#include <string>
#include <vector>

// One text of a text table in the game's six languages, in the table's
// language order: German, English, French, Spanish, Italian, Russian.
struct LocalisedText {
    int id;
    std::string text[6];
};

// A name written alike in every language.
LocalisedText sameEverywhere(int id, const std::string& text);

// The text of `id` in `texts` again, under `newId`; throws when `id` is missing.
LocalisedText copyOf(const std::vector<LocalisedText>& texts, int id, int newId);

// Texts both tables show, under the menu's ids: the OK button (1000), the lost
// connection (9000) and the closed game (9004).
std::vector<LocalisedText> sharedTexts();

// The six tracks, ids 3000 to 3500 in both tables.
std::vector<LocalisedText> trackNames();

// The menu's texts: every id the menu screens look up.
std::vector<LocalisedText> menuTexts();

// The race's texts: labels, results, windows and the computer riders' names.
std::vector<LocalisedText> ingameTexts();
