#pragma once
#include <regex>

#include <CEGUI/RegexMatcher.h>
#include <CEGUI/String.h>

// An edit box's validation string on the standard library's regular
// expressions: the GUI library is built without a matcher of its own, and an
// edit box without one refuses a validation string. The whole text must
// match; it is matched as UTF-8, so a character class of ASCII letters lets
// no other letter through.
class RegexValidator : public CEGUI::RegexMatcher {
public:
    void setRegexString(const CEGUI::String& regex) override;
    const CEGUI::String& getRegexString() const override { return m_string; }
    MatchState getMatchStateOfString(const CEGUI::String& text) const override;

private:
    CEGUI::String m_string;
    std::regex m_regex;
};
