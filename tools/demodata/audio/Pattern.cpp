#include "tools/demodata/audio/Pattern.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <stdexcept>

namespace demoaudio {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.emplace_back();
    return parts;
}

std::vector<std::string> tokensOf(const std::string& bar) {
    std::vector<std::string> tokens;
    if (bar.find(' ') == std::string::npos) {
        for (char c : bar) tokens.emplace_back(1, c);
        return tokens;
    }
    std::istringstream in(bar);
    std::string word;
    while (in >> word) tokens.push_back(word);
    return tokens;
}

Step stepOf(const std::string& token) {
    Step step;
    size_t at = 0;
    for (; at < token.size() && (token[at] == 'b' || token[at] == '#'); ++at)
        step.accidental += token[at] == 'b' ? -1 : 1;
    if (at == token.size()) throw std::invalid_argument("no symbol in \"" + token + "\"");
    step.symbol = token[at++];
    if (step.symbol == 'X')
        step.velocity = 1.0f;
    else if (step.symbol == 'o')
        step.velocity = 0.45f;
    else if (step.symbol != 'x' && !(step.symbol >= '1' && step.symbol <= '9'))
        throw std::invalid_argument("unknown symbol in \"" + token + "\"");
    for (; at < token.size(); ++at) {
        switch (token[at]) {
        case '^':
            ++step.octave;
            break;
        case '_':
            --step.octave;
            break;
        case '!':
            step.velocity = std::min(1.0f, step.velocity * 1.25f);
            break;
        case '?':
            step.velocity *= 0.55f;
            break;
        default:
            throw std::invalid_argument("unknown mark in \"" + token + "\"");
        }
    }
    return step;
}

} // namespace

std::vector<Step> parsePattern(const std::string& pattern, int bars) {
    const bool once = !pattern.empty() && pattern[0] == '!';
    const std::vector<std::string> cycle = split(once ? pattern.substr(1) : pattern, '|');
    std::vector<Step> steps;
    bool sounding = false;
    for (int bar = 0; bar < bars && !cycle.empty(); ++bar) {
        if (once && bar >= int(cycle.size())) break;
        const std::vector<std::string> tokens = tokensOf(cycle[size_t(bar) % cycle.size()]);
        const double share = 1.0 / double(std::max<size_t>(1, tokens.size()));
        for (size_t k = 0; k < tokens.size(); ++k) {
            const std::string& token = tokens[k];
            if (token == "-") {
                if (sounding) steps.back().length += share;
                continue;
            }
            sounding = token != ".";
            if (!sounding) continue;
            Step step = stepOf(token);
            step.start = bar + double(k) * share;
            step.length = share;
            steps.push_back(step);
        }
        // An empty bar is a bar of silence.
        if (tokens.empty()) sounding = false;
    }
    return steps;
}

} // namespace demoaudio
