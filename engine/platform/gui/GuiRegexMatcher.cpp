#include "engine/platform/gui/GuiRegexMatcher.h"

#include <CEGUI/Exceptions.h>

namespace {

std::wstring wide(const CEGUI::String& s) {
    std::wstring out;
    out.reserve(s.length());
    for (CEGUI::String::const_iterator it = s.begin(); it != s.end(); ++it) out.push_back(static_cast<wchar_t>(*it));
    return out;
}

} // namespace

void GuiRegexMatcher::setRegexString(const CEGUI::String& regex) {
    try {
        m_regex = std::make_unique<std::wregex>(wide(regex), std::regex::ECMAScript);
        m_source = regex;
    } catch (const std::regex_error&) {
        m_regex.reset();
        m_source.clear();
        CEGUI_THROW(CEGUI::InvalidRequestException("Bad Regular expression: '" + regex + "'"));
    }
}

CEGUI::RegexMatcher::MatchState GuiRegexMatcher::getMatchStateOfString(const CEGUI::String& str) const {
    // Without an expression every text passes, as an edit box without validation.
    if (!m_regex) return MS_VALID;
    return std::regex_match(wide(str), *m_regex) ? MS_VALID : MS_INVALID;
}
