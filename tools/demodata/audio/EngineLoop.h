#pragma once
#include <cstdint>
#include <vector>

namespace demoaudio {

// What makes one moped's two-stroke sound its own at tick-over.
struct EngineVoice {
    double firingHz;  // bangs a second: a two-stroke fires once every turn
    double pipeHz;    // the exhaust pipe's main resonance
    double chamberHz; // the silencer's higher resonance
    double raspHz;    // where the port's hiss on each bang is loudest: the two-stroke's rasp
    float rasp;       // how loud that hiss is against the pipe's boom
    float drive;      // how hard the sound is pushed into distortion
    double muffle;    // low-pass cutoff: above it the silencer swallows all
    float roughness;  // 0 to 1: how unevenly the bangs come and how much they differ
    uint32_t seed;
};

// A loop of `seconds` (mono, -1 to 1) whose end runs into its start without
// a click: whole bangs only, every ring and filter carried round the seam.
// The race plays it faster the faster the moped goes.
std::vector<float> engineLoop(const EngineVoice& voice, double seconds, double sampleRate);

} // namespace demoaudio
