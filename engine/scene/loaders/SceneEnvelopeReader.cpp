#include "engine/scene/loaders/SceneEnvelopeReader.h"

#include <cstdlib>
#include <strings.h>

#include "engine/platform/Report.h"
#include "engine/platform/animation/Envelope.h"
#include "engine/scene/loaders/SceneFileTokens.h"

namespace {

constexpr double DEGREES_TO_RADIANS = 0.017453292519943295;

float converted(double value, bool convert) {
    return static_cast<float>(convert ? value * DEGREES_TO_RADIANS : value);
}

bool isEnvelopeMarker(const char* token) { return strcasecmp(token, "(envelope)") == 0; }

} // namespace

void SceneEnvelopeReader::setConstant(AnimatedValue& value, float constant) {
    value.clearChannel();
    value.constant = constant;
}

void SceneEnvelopeReader::readMotion(AnimatedValue (&channels)[9]) {
    m_tokens.skip();
    int32_t count = m_tokens.readInt();
    for (int32_t c = 0; c < count && !m_tokens.atEnd(); ++c) {
        m_tokens.skip();
        int32_t index = m_tokens.readInt();
        if (index >= 0 && index < 9) {
            readChannelValue(channels[index], false);
        } else {
            // A channel the item does not have: its block is stepped over so
            // it is not taken for the next channel.
            m_tokens.skip();
            m_tokens.skipBlock();
        }
    }
}

void SceneEnvelopeReader::readChannelValue(AnimatedValue& value, bool convert) {
    int32_t start = m_tokens.position();
    m_tokens.skip(2);
    int32_t keys = m_tokens.readInt();
    if (keys <= 1) {
        setConstant(value, converted(std::atof(m_tokens.peek(1)), convert));
        m_tokens.skipBlock();
        return;
    }
    m_tokens.setPosition(start);
    Envelope* envelope = readEnvelope(convert);
    value.clearChannel();
    value.channel = envelope;
    m_tokens.skip();
}

Envelope* SceneEnvelopeReader::readEnvelope(bool convert) {
    m_tokens.skip(2);
    int32_t keys = m_tokens.readInt();
    auto* envelope = new Envelope;
    for (int32_t k = 0; k < keys && std::string(m_tokens.peek()) == "Key"; ++k) readKey(envelope, convert, true);
    m_tokens.skip();
    envelope->m_preBehaviour = m_tokens.readInt();
    envelope->m_postBehaviour = m_tokens.readInt();
    return envelope;
}

void SceneEnvelopeReader::readKey(Envelope* envelope, bool convert, bool allCurves) {
    m_tokens.skip();
    float value = converted(m_tokens.readFloat(), convert);
    float time = m_tokens.readFloat32();
    int32_t curve = m_tokens.readInt();
    float p[6];
    for (float& parameter : p) parameter = m_tokens.readFloat32();
    if (!allCurves && curve != Envelope::TCB && curve != Envelope::LINEAR && curve != Envelope::STEPPED) return;
    switch (curve) {
    case Envelope::TCB: envelope->addKeyTCB(value, time, p[0], p[1], p[2]); break;
    case Envelope::HERMITE: envelope->addKeyHermite(value, time, p[3], p[4]); break;
    case Envelope::BEZIER: envelope->addKeyBezier(value, time, p[3], p[4]); break;
    case Envelope::LINEAR: envelope->addKeyLinear(value, time); break;
    case Envelope::STEPPED: envelope->addKeyStepped(value, time); break;
    case Envelope::BEZIER2D: envelope->addKeyBezier2D(value, time, p[0], p[1], p[2], p[3]); break;
    default: ENGINE_ASSERT(0 && "unsupported curvetype"); break;
    }
}

void SceneEnvelopeReader::readEnvelopeValue(AnimatedValue& value, bool convert) {
    m_tokens.skip(3);
    int32_t keys = m_tokens.readInt();
    if (keys <= 1) {
        setConstant(value, converted(std::atof(m_tokens.peek(1)), convert));
        m_tokens.skipBlock();
        m_tokens.back();
        return;
    }
    auto* envelope = new Envelope;
    for (int32_t k = 0; k < keys && std::string(m_tokens.peek()) == "Key"; ++k) readKey(envelope, convert, false);
    m_tokens.skip();
    envelope->m_preBehaviour = m_tokens.readInt();
    envelope->m_postBehaviour = std::atoi(m_tokens.peek());
    value.clearChannel();
    value.channel = envelope;
}

void SceneEnvelopeReader::readValue(AnimatedValue& value, bool angle) {
    if (!isEnvelopeMarker(m_tokens.peek())) {
        setConstant(value, converted(m_tokens.readFloat(), angle));
        return;
    }
    readEnvelopeValue(value, false);
    // On to the token after the block, so a further value can follow.
    if (std::string(m_tokens.peek()) != "}") m_tokens.skip();
    m_tokens.skip();
}

void SceneEnvelopeReader::readValues(AnimatedValue* values, int count) {
    if (!isEnvelopeMarker(m_tokens.peek())) {
        for (int i = 0; i < count; ++i) setConstant(values[i], m_tokens.readFloat32());
        return;
    }
    for (int i = 0; i < count; ++i) readValue(values[i]);
}
