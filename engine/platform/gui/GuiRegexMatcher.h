#pragma once
#include <CEGUI/RegexMatcher.h>

#include <memory>
#include <regex>

// The edit boxes' validation: the GUI library as packaged has no matcher of
// its own. A text is valid when the whole of it matches the expression.
class GuiRegexMatcher : public CEGUI::RegexMatcher {
public:
    void setRegexString(const CEGUI::String& regex) override;
    const CEGUI::String& getRegexString() const override { return m_source; }
    MatchState getMatchStateOfString(const CEGUI::String& str) const override;

private:
    CEGUI::String m_source;
    std::unique_ptr<std::wregex> m_regex;
};
