#include "engine/platform/images/SequenceTexture.h"

SequenceTexture::SequenceTexture(DeviceList* owner) : Texture(owner, SCRATCH_BUILD | MIP_CHAIN) {
    m_sequenceMode = LOOP;
}

SequenceTexture::SequenceTexture(const SequenceTexture& other)
    : Texture(other), m_first(other.m_first), m_last(other.m_last), m_offset(other.m_offset) {
    m_sequenceMode = other.m_sequenceMode;
}

std::unique_ptr<Texture> SequenceTexture::clone() { return std::make_unique<SequenceTexture>(*this); }

void SequenceTexture::load() {
    for (auto& frame : m_frames)
        if (frame) frame->load();
}

void SequenceTexture::setFlags(uint32_t flags) {
    Texture::setFlags(flags);
    for (auto& frame : m_frames)
        if (frame) frame->setFlags(flags);
}

Texture* SequenceTexture::selectFrame(double time) const {
    size_t i = textureimaging::sequenceFrame(m_frameRate, time, m_offset, m_first, m_last, m_sequenceMode);
    if (i >= m_frames.size()) return nullptr;
    // A missing frame shows the nearest earlier one.
    while (!m_frames[i] && i > 0) --i;
    return m_frames[i].get();
}

sys::gfx::Texture* SequenceTexture::getTexture(double time) {
    Texture* frame = selectFrame(time);
    return frame ? frame->getTexture(0.0) : nullptr;
}
