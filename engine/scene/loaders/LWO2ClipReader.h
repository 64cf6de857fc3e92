#pragma once
#include <cstdint>
#include <string>

struct LWO2State;
class Texture;

// A CLIP chunk into the load's texture table under the file's clip index: a
// still image or an image sequence shared through the pool by name, or a copy
// of another clip, with the clip's settings on its texture.
class LWO2ClipReader {
public:
    explicit LWO2ClipReader(LWO2State& state) : m_state(state) {}

    void read(uint32_t end);

    // A drive letter and colon get a '/' behind them unless one of `separators` follows.
    static std::string imagePath(const std::string& name, const char* separators);
    // The flags of a still image: converted with mips; "_nodxt" unconverted, "_noscale" kept as it is.
    static uint32_t stillFlags(const std::string& name);

private:
    Texture* readStill(uint32_t end);
    Texture* readSequence(uint32_t end);
    void readReference(uint32_t clip, uint32_t end);
    // Sub-chunks that set a value of the clip's texture.
    void readSetting(uint32_t id, Texture& texture);

    LWO2State& m_state;
};
