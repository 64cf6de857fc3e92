#pragma once
#include <memory>
#include <vector>

#include "engine/platform/images/Texture.h"

// An image sequence: one texture per frame, chosen by time, frame rate, offset and play mode.
class SequenceTexture : public Texture {
public:
    enum Mode { SHOW_FIRST = 1, HOLD_LAST = 2, LOOP = 4, PING_PONG = 256 };

    explicit SequenceTexture(DeviceList* owner);
    SequenceTexture(const SequenceTexture& other);

    // A copy without frames.
    std::unique_ptr<Texture> clone() override;
    void load() override;
    int32_t typeId() const override { return SEQUENCE; }
    void setFlags(uint32_t flags) override;
    sys::gfx::Texture* getTexture(double time) override;

    // The frame shown at the time (a missing frame shows the nearest earlier one), or null.
    Texture* selectFrame(double time) const;

    // Entry 0 is frame m_first; null entries are missing frames.
    std::vector<std::unique_ptr<Texture>> m_frames;
    uint32_t m_first = 0;
    uint32_t m_last = 0;
    uint32_t m_offset = 0;
};
