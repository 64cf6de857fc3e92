#pragma once
#include <cstdint>

struct LWO2State;

// An ENVL chunk into the load's envelope table under the file's index.
class LWO2EnvelopeReader {
public:
    explicit LWO2EnvelopeReader(LWO2State& state) : m_state(state) {}

    void read(uint32_t end);

private:
    LWO2State& m_state;
};
