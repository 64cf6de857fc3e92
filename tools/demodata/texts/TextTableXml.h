#pragma once
#include <string>
#include <vector>

#include "tools/demodata/texts/LocalisedText.h"

// The game's text table file: a "Texts" root with one "Take" per id holding
// the "De", "En", "Fr", "Sp", "It" and "Ru" texts, in UTF-8.
std::string textTableXml(const std::vector<LocalisedText>& texts);
