#include "engine/platform/animation/MotionMixer.h"

#include "engine/platform/Report.h"

MotionMixer::~MotionMixer() = default;

void MotionMixer::addChannel(std::unique_ptr<Channel> channel) {
    m_channels.push_back(std::move(channel));
    m_intensity.push_back(0.0f);
    m_scale.push_back(1.0f);
    m_offset.push_back(0.0f);
}

void MotionMixer::setIntensity(int envelope, float weight) {
    if ((unsigned int)envelope >= m_intensity.size()) {
        ENGINE_ASSERT((unsigned int) envelope < m_intensity.size());
        return;
    }
    m_intensity[static_cast<size_t>(envelope)] = weight;
}

void MotionMixer::setOffset(int envelope, float offset) {
    if ((unsigned int)envelope >= m_offset.size()) {
        ENGINE_ASSERT((unsigned int) envelope < m_offset.size());
        return;
    }
    m_offset[static_cast<size_t>(envelope)] = offset;
}

void MotionMixer::setSpeed(int envelope, float speed) {
    if ((unsigned int)envelope >= m_scale.size()) {
        ENGINE_ASSERT(!"(unsigned int) envelope < m_speed.size()");
        return;
    }
    m_scale[static_cast<size_t>(envelope)] = speed;
}

float MotionMixer::evaluate(double time) {
    if (m_channels.empty()) return 0.0f;
    float sum = 0.0f, weightSum = 0.0f;
    int active = 0;
    for (size_t i = 0; i < m_channels.size(); ++i) {
        const float weight = m_intensity[i];
        if (weight == 0.0f) continue;
        float v = m_channels[i]->evaluate((time - m_offset[i]) * m_scale[i]);
        sum += v * weight;
        weightSum += weight;
        ++active;
    }
    if (weightSum == 0.0f) return m_channels[0]->evaluate(time);
    const float count = static_cast<float>(active);
    if (count > weightSum) return m_channels[0]->evaluate(time) * (count - weightSum) / count + sum / count;
    return sum / count;
}
