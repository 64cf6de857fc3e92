#include "engine/platform/Timer.h"

#include "engine/platform/TickSource.h"
#include "sys/thread/Clock.h"

Timer::Timer(const TickSource* source) : m_source(source), m_running(0), m_base(0), m_pausedAt(0), m_frequency(1000) {}

int64_t Timer::now() const { return m_source ? m_source->ticks() : sys::performanceCounter(); }

void Timer::start() {
    m_frequency = m_source ? m_source->frequency() : sys::performanceFrequency();
    if (m_frequency <= 0) m_frequency = 1000;
    m_base = now();
    m_running = 1;
}

void Timer::pause() {
    if (!m_running) return;
    m_pausedAt = now();
    m_running = 0;
}

void Timer::resume() {
    if (m_running) return;
    m_base += now() - m_pausedAt;
    m_running = 1;
}

double Timer::getSeconds() const {
    int64_t at = m_running ? now() : m_pausedAt;
    return static_cast<double>(at - m_base) / static_cast<double>(m_frequency);
}

void Timer::restart() {
    start();
    m_currentTime = 0.0f;
    m_lastFrameDuration = 0.0f;
    m_framesSinceRate = 0;
    m_rateTime = 0.0f;
}

void Timer::tick() {
    const float dt = static_cast<float>(getSeconds()) - m_currentTime;
    m_lastFrameDuration = dt;
    m_currentTime += m_timeScale * dt;
    ++m_framesSinceRate;
    if (m_currentTime > m_rateTime) {
        m_framesPerSecond = static_cast<float>(m_framesSinceRate) / (m_currentTime - m_rateTime);
        m_framesSinceRate = 0;
        m_rateTime = m_currentTime;
    }
}
