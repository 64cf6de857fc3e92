#include "engine/platform/audio/SilentSound.h"

#include "sys/thread/Clock.h"

namespace {

double clockSeconds() { return sys::milliseconds() * 0.001; }

} // namespace

bool SilentSound::reset() {
    m_playing = false;
    m_loop = false;
    m_startTime = 0.0;
    return true;
}

bool SilentSound::play(bool loop) {
    m_playing = true;
    m_loop = loop;
    m_startTime = clockSeconds();
    return true;
}

bool SilentSound::setLoop(bool loop) {
    m_loop = loop;
    return true;
}

bool SilentSound::stop() {
    m_playing = false;
    return true;
}

double SilentSound::getPosition() { return clockSeconds() - m_startTime; }

bool SilentSound::isPlaying() {
    if (m_playing && !m_loop && getPosition() >= m_duration) m_playing = false;
    return m_playing;
}
