#pragma once
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// A scene file's text cut into tokens in place, with the cursor every reader
// advances. Reads past the last token give empty strings and 0, so a
// truncated file can never run a reader off the end.
class SceneFileTokens {
public:
    // Takes the file's bytes; tokens end at the first NUL.
    explicit SceneFileTokens(std::vector<char> bytes);

    int32_t count() const { return static_cast<int32_t>(m_starts.size()); }
    int32_t position() const { return m_pos; }
    void setPosition(int32_t position);
    bool atEnd() const { return m_pos >= count(); }
    // The token `ahead` places after the cursor; "" past the end.
    const char* peek(int32_t ahead = 0) const;
    const char* at(int32_t index) const;
    void skip(int32_t tokens = 1) { setPosition(m_pos + tokens); }
    void back() { setPosition(m_pos - 1); }

    std::string readString();
    int32_t readInt();
    double readFloat();
    float readFloat32() { return static_cast<float>(readFloat()); }
    uint32_t readHex();
    // Skips a "{" and answers the token after it.
    std::string readKeyword();
    // Steps past the "}" that closes the current level, nested blocks included.
    void skipBlock();
    // Reads the keys of a block up to its "}" and steps past it. `handle`
    // answers false for a key it does not know (`opened`: the key came
    // after a "{"), which is then stepped over with skipUnknown.
    void readBlock(const std::function<bool(const std::string& key, bool opened)>& handle);
    // Steps over an unknown key: its own block when it opened one, or a block
    // that follows it; plain values are then met as keys and dropped.
    void skipUnknown(bool opened);
    // Reads an object file name: tokens joined by the blanks between them up to
    // one ending in ".lwo", never beyond the end of the line.
    std::string readFileName();

    // The index of the first token from `from` equal to one of the words
    // (ignoring case), or -1.
    int32_t find(int32_t from, std::initializer_list<const char*> words) const;

private:
    void tokenize();
    void addToken(size_t start, int32_t line);

    std::vector<char> m_buffer;
    std::vector<uint32_t> m_starts;
    std::vector<int32_t> m_lines;
    int32_t m_pos = 0;
};
