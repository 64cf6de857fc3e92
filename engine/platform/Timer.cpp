#include "engine/platform/Timer.h"

#include "sys/thread/Clock.h"

Timer::Timer() : m_running(0), m_base(0), m_pausedAt(0), m_frequency(1000) {}

void Timer::start() {
    m_frequency = sys::performanceFrequency();
    if (m_frequency <= 0) m_frequency = 1000;
    m_base = sys::performanceCounter();
    m_running = 1;
}

void Timer::pause() {
    if (!m_running) return;
    m_pausedAt = sys::performanceCounter();
    m_running = 0;
}

void Timer::resume() {
    if (m_running) return;
    m_base += sys::performanceCounter() - m_pausedAt;
    m_running = 1;
}

double Timer::getSeconds() const {
    int64_t now = m_running ? sys::performanceCounter() : m_pausedAt;
    return static_cast<double>(now - m_base) / static_cast<double>(m_frequency);
}
