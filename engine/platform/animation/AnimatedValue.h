#pragma once
#include "engine/platform/animation/Channel.h"

// Every animatable number: a constant, or a channel whose last evaluated value
// the constant then holds. The owner of the value owns and deletes its channel.
struct AnimatedValue {
    float constant = 0.0f;
    Channel* channel = nullptr;

    float evaluate(double time) {
        if (channel) constant = channel->evaluate(time);
        return constant;
    }
    // Without a channel: an envelope with one key at time 0 holding the constant.
    void makeEnvelope();
    // The envelope (made if need be) becomes member 0 of a new mixer.
    void makeMotionMixer();
    // Deletes the channel; the constant stays.
    void clearChannel();
};
