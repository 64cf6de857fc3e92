#include "engine/platform/RegexValidator.h"

void RegexValidator::setRegexString(const CEGUI::String& regex) {
    m_regex = std::regex(regex.c_str());
    m_string = regex;
}

CEGUI::RegexMatcher::MatchState RegexValidator::getMatchStateOfString(const CEGUI::String& text) const {
    return std::regex_match(text.c_str(), m_regex) ? MS_VALID : MS_INVALID;
}
