#include "engine/platform/SilentSound.h"

#include "sys/thread/Clock.h"

namespace {

double clockSeconds() { return sys::milliseconds() * 0.001; }

} // namespace

bool SilentSound::reset() {
    m_playing = false;
    m_startTime = 0.0;
    return true;
}

bool SilentSound::play(bool loop) {
    m_playing = true;
    m_startTime = clockSeconds();
    return true;
}

bool SilentSound::stop() {
    m_playing = false;
    return true;
}

double SilentSound::getPosition() { return clockSeconds() - m_startTime; }
