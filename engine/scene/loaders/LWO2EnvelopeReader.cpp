#include "engine/scene/loaders/LWO2EnvelopeReader.h"

#include <memory>

#include "engine/platform/Report.h"
#include "engine/platform/animation/Envelope.h"
#include "engine/scene/loaders/LWO2Reader.h"
#include "engine/scene/loaders/LWO2State.h"

void LWO2EnvelopeReader::read(uint32_t end) {
    LWO2Reader& reader = m_state.m_reader;
    uint32_t index = reader.readU2();
    ENGINE_ASSERT(index < LWO2State::MAXENVS && "more envelopes than defined in MAXENVS. specify higher number!");
    if (index >= LWO2State::MAXENVS) return;
    auto envelope = std::make_unique<Envelope>();
    float keyTime = 0.0f;
    float keyValue = 0.0f;
    while (reader.position() + 6 <= end) {
        uint32_t id = reader.readID4();
        uint32_t subEnd = reader.endOf(reader.readU2(), end);
        switch (id) {
        case lwoId("TYPE"): reader.readU2(); break;
        case lwoId("PRE "): envelope->m_preBehaviour = reader.readU2(); break;
        case lwoId("POST"): envelope->m_postBehaviour = reader.readU2(); break;
        case lwoId("KEY "):
            keyTime = reader.readF4();
            keyValue = reader.readF4();
            break;
        case lwoId("NAME"): reader.readS0(envelope->m_name, subEnd); break;
        case lwoId("SPAN"): {
            uint32_t curve = reader.readID4();
            float p[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            int count = curve == lwoId("TCB ") ? 3 : curve == lwoId("BEZ2") ? 4
                        : (curve == lwoId("HERM") || curve == lwoId("BEZI")) ? 2 : 0;
            for (int i = 0; i < count; ++i) p[i] = reader.readF4();
            switch (curve) {
            case lwoId("TCB "): envelope->addKeyTCB(keyValue, keyTime, p[0], p[1], p[2]); break;
            case lwoId("HERM"): envelope->addKeyHermite(keyValue, keyTime, p[0], p[1]); break;
            case lwoId("BEZI"): envelope->addKeyBezier(keyValue, keyTime, p[0], p[1]); break;
            case lwoId("BEZ2"): envelope->addKeyBezier2D(keyValue, keyTime, p[0], p[1], p[2], p[3]); break;
            case lwoId("LINE"): envelope->addKeyLinear(keyValue, keyTime); break;
            case lwoId("STEP"): envelope->addKeyStepped(keyValue, keyTime); break;
            default: break;
            }
            break;
        }
        default: break;
        }
        reader.seek(subEnd);
    }
    m_state.m_envelopes[index] = std::move(envelope);
}
