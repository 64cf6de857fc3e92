#pragma once
#include "engine/platform/animation/AnimatedValue.h"

class Envelope;
class SceneFileTokens;

// LightWave envelope blocks of a scene file in their four shapes: a motion,
// one channel, a stand-alone envelope and a value that may be a plain number.
// `convert` turns key values (never times) from degrees into radians.
class SceneEnvelopeReader {
public:
    explicit SceneEnvelopeReader(SceneFileTokens& tokens) : m_tokens(tokens) {}

    // After a motion keyword: the item's nine channels.
    void readMotion(AnimatedValue (&channels)[9]);
    // At a block's "{": one key gives a constant, more an envelope; ends after "}".
    void readChannelValue(AnimatedValue& value, bool convert);
    // At a block's "{": every key by its curve; ends on the "}".
    Envelope* readEnvelope(bool convert);
    // At "(envelope)": TCB, linear and stepped keys only; ends one before "}"
    // with an envelope, on the "}" with a constant.
    void readEnvelopeValue(AnimatedValue& value, bool convert);
    // "(envelope)" and a block, or one float (turned into radians for an angle).
    void readValue(AnimatedValue& value, bool angle = false);
    // Three floats, or three "(envelope)" values when the first token says so.
    void readValues(AnimatedValue* values, int count = 3);

private:
    // One key line into the envelope (null: read and dropped).
    void readKey(Envelope* envelope, bool convert, bool allCurves);
    void setConstant(AnimatedValue& value, float constant);

    SceneFileTokens& m_tokens;
};
