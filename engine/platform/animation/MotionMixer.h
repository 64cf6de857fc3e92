#pragma once
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/animation/Channel.h"

// Blends member channels by weight, each with its own time scale and offset.
// Member 0 is the channel the mixer replaced.
class MotionMixer : public Channel {
public:
    MotionMixer() = default;
    MotionMixer(const MotionMixer&) = delete;
    MotionMixer& operator=(const MotionMixer&) = delete;
    ~MotionMixer() override;

    float evaluate(double time) override;
    MotionMixer* asMotionMixer() override { return this; }
    virtual size_t getChannelCount() const { return m_channels.size(); }

    // Appends a member with weight 0, time scale 1 and offset 0.
    void addChannel(std::unique_ptr<Channel> channel);
    void setIntensity(int envelope, float weight);
    void setOffset(int envelope, float offset);
    void setSpeed(int envelope, float speed);
    // A member's weight, time scale and offset; 0 for a member that does not exist.
    float getIntensity(int envelope) const { return memberValue(m_intensity, envelope); }
    float getSpeed(int envelope) const { return memberValue(m_scale, envelope); }
    float getOffset(int envelope) const { return memberValue(m_offset, envelope); }
    Channel* getChannel(size_t index) const { return m_channels[index].get(); }

    std::string m_name;

private:
    static float memberValue(const std::vector<float>& values, int envelope) {
        return (unsigned int)envelope < values.size() ? values[static_cast<size_t>(envelope)] : 0.0f;
    }

    std::vector<std::unique_ptr<Channel>> m_channels;
    std::vector<float> m_intensity;
    std::vector<float> m_scale;
    std::vector<float> m_offset;
};
