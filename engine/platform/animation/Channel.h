#pragma once

class Envelope;
class MotionMixer;

// Something that gives a value for a time in seconds: a key-framed envelope
// or a mixer of several channels.
class Channel {
public:
    virtual ~Channel() = default;
    virtual float evaluate(double time) = 0;
    virtual Envelope* asEnvelope() { return nullptr; }
    virtual MotionMixer* asMotionMixer() { return nullptr; }
};
