#pragma once
#include <vector>

namespace demoaudio {

// The sample rate of every sound effect.
const int EFFECTS_RATE = 22050;

// The game's sound effects, mono at EFFECTS_RATE, each ending in silence.
std::vector<float> menuClick();
std::vector<float> countdownBeep();
std::vector<float> startBeep();
std::vector<float> respawnShimmer();
std::vector<float> objectHit();
std::vector<float> wallHit();
std::vector<float> stamperThud();
std::vector<float> stamperDoubleThud();
std::vector<float> sausageSizzle();
std::vector<float> sausageSquelch();
std::vector<float> doorSlam();
std::vector<float> shotgunShot();
std::vector<float> lightningStrike();

// The moped models in the race's order: Hercules, Kreidler, scooter, Vespa, Yamaha.
const int MOPED_MODELS = 5;
// The model's engine at tick-over as a seamless loop.
std::vector<float> mopedEngine(int model);

} // namespace demoaudio
