#include "engine/scene/loaders/SceneFileTokens.h"

#include <cstdio>
#include <cstdlib>
#include <strings.h>

SceneFileTokens::SceneFileTokens(std::vector<char> bytes) : m_buffer(std::move(bytes)) {
    // Two NULs end the text even when the file itself holds none.
    m_buffer.push_back('\0');
    m_buffer.push_back('\0');
    tokenize();
}

void SceneFileTokens::tokenize() {
    size_t end = 0;
    while (m_buffer[end] != '\0') ++end;
    int32_t line = 0;
    size_t i = 0;
    while (i < end) {
        auto byte = static_cast<unsigned char>(m_buffer[i]);
        if (byte < 33 || byte >= 128) {
            if (byte == '\n') ++line;
            ++i;
            continue;
        }
        if (byte == '"') {
            size_t start = i + 1;
            size_t close = start;
            addToken(start, line);
            while (close < end && m_buffer[close] != '"') {
                if (m_buffer[close] == '\n') ++line;
                ++close;
            }
            // An unclosed quote ends at the end of the text.
            if (close < end) m_buffer[close] = '\0';
            i = close + 1;
            continue;
        }
        addToken(i, line);
        while (i < end && static_cast<unsigned char>(m_buffer[i]) > 32) ++i;
        if (i < end) {
            if (m_buffer[i] == '\n') ++line;
            m_buffer[i] = '\0';
            ++i;
        }
    }
}

void SceneFileTokens::addToken(size_t start, int32_t line) {
    m_starts.push_back(static_cast<uint32_t>(start));
    m_lines.push_back(line);
}

void SceneFileTokens::setPosition(int32_t position) {
    if (position < 0) position = 0;
    if (position > count()) position = count();
    m_pos = position;
}

const char* SceneFileTokens::at(int32_t index) const {
    if (index < 0 || index >= count()) return "";
    return m_buffer.data() + m_starts[index];
}

const char* SceneFileTokens::peek(int32_t ahead) const { return at(m_pos + ahead); }

std::string SceneFileTokens::readString() {
    std::string text = peek();
    skip();
    return text;
}

int32_t SceneFileTokens::readInt() {
    int32_t value = std::atoi(peek());
    skip();
    return value;
}

double SceneFileTokens::readFloat() {
    double value = std::atof(peek());
    skip();
    return value;
}

uint32_t SceneFileTokens::readHex() {
    unsigned int value = 0;
    if (std::sscanf(peek(), "%x", &value) != 1) value = 0;
    skip();
    return value;
}

std::string SceneFileTokens::readKeyword() {
    std::string token = readString();
    if (token != "{") return token;
    return readString();
}

void SceneFileTokens::skipBlock() {
    // Depth counted instead of recursing: a file of nested braces cannot
    // exhaust the stack, and the end of the tokens ends the walk.
    int32_t depth = 0;
    while (!atEnd()) {
        std::string token = readString();
        if (token == "{") {
            ++depth;
        } else if (token == "}") {
            if (depth == 0) return;
            --depth;
        }
    }
}

void SceneFileTokens::readBlock(const std::function<bool(const std::string& key, bool opened)>& handle) {
    while (!atEnd() && std::string(peek()) != "}") {
        bool opened = std::string(peek()) == "{";
        std::string key = readKeyword();
        if (!handle(key, opened)) skipUnknown(opened);
    }
    skip();
}

void SceneFileTokens::skipUnknown(bool opened) {
    if (opened) {
        skipBlock();
    } else if (std::string(peek()) == "{") {
        skip();
        skipBlock();
    }
}

std::string SceneFileTokens::readFileName() {
    if (atEnd()) return std::string();
    int32_t first = m_pos;
    int32_t last = first;
    auto endsInLwo = [this](int32_t index) {
        std::string token = at(index);
        return token.size() >= 4 && strcasecmp(token.c_str() + token.size() - 4, ".lwo") == 0;
    };
    while (!endsInLwo(last) && last + 1 < count() && m_lines[last + 1] == m_lines[first]) ++last;
    std::string name = at(first);
    for (int32_t i = first + 1; i <= last; ++i) {
        // The bytes between two tokens as they stand, the first one (the
        // token's terminator) read as a blank.
        size_t from = m_starts[i - 1] + std::string(at(i - 1)).size() + 1;
        name += ' ';
        name.append(m_buffer.data() + from, m_buffer.data() + m_starts[i]);
        name += at(i);
    }
    setPosition(last + 1);
    return name;
}

int32_t SceneFileTokens::find(int32_t from, std::initializer_list<const char*> words) const {
    for (int32_t i = from < 0 ? 0 : from; i < count(); ++i)
        for (const char* word : words)
            if (strcasecmp(at(i), word) == 0) return i;
    return -1;
}
