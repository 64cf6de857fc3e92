#include "engine/platform/animation/AnimatedValue.h"

#include "engine/platform/animation/Envelope.h"
#include "engine/platform/animation/MotionMixer.h"

void AnimatedValue::makeEnvelope() {
    if (channel) return;
    auto* envelope = new Envelope;
    envelope->addKeyTCB(constant, 0.0f, 0.0f, 0.0f, 0.0f);
    channel = envelope;
}

void AnimatedValue::makeMotionMixer() {
    if (channel && channel->asMotionMixer()) return;
    makeEnvelope();
    auto mixer = std::make_unique<MotionMixer>();
    mixer->addChannel(std::unique_ptr<Channel>(channel));
    channel = mixer.release();
}

void AnimatedValue::clearChannel() {
    delete channel;
    channel = nullptr;
}
