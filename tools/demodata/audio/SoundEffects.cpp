#include "tools/demodata/audio/SoundEffects.h"

#include "tools/demodata/audio/EngineLoop.h"
#include "tools/demodata/audio/SoundSketch.h"

namespace demoaudio {

namespace {

const double RATE = EFFECTS_RATE;

} // namespace

std::vector<float> menuClick() {
    SoundSketch s(0.08, RATE, 6);
    s.noise(0.0, 0.006, 2000.0, 9000.0, 0.6f, 0.0003, 0.0012);
    s.tone(0.0, 0.05, 1800.0, 1200.0, 0.7f, 0.012);
    s.tone(0.0, 0.03, 600.0, 500.0, 0.4f, 0.008, Wave::Triangle);
    return s.finish(0.7f, 0.01);
}

std::vector<float> countdownBeep() {
    SoundSketch s(0.4, RATE, 1);
    s.tone(0.0, 0.3, 880.0, 880.0, 0.5f, 3.0);
    s.tone(0.0, 0.3, 880.0, 880.0, 0.25f, 3.0, Wave::Pulse);
    s.lowPass(3500.0);
    return s.finish(0.8f);
}

std::vector<float> startBeep() {
    SoundSketch s(1.0, RATE, 2);
    s.tone(0.0, 0.9, 1760.0, 1760.0, 0.5f, 0.8);
    s.tone(0.0, 0.9, 1760.0, 1760.0, 0.2f, 0.6, Wave::Pulse);
    s.tone(0.0, 0.9, 880.0, 880.0, 0.25f, 0.9);
    s.lowPass(5000.0);
    return s.finish(0.8f, 0.1);
}

std::vector<float> respawnShimmer() {
    SoundSketch s(1.0, RATE, 7);
    s.sweep(0.0, 0.7, 400.0, 4000.0, 0.5f);
    s.tone(0.0, 0.6, 300.0, 1200.0, 0.3f, 0.4);
    const double arpeggio[4] = {1046.5, 1318.5, 1568.0, 2093.0};
    for (int i = 0; i < 4; ++i) s.tone(0.07 * i, 0.6, arpeggio[i], arpeggio[i], 0.35f, 0.2, Wave::Triangle);
    return s.finish(0.8f, 0.15);
}

std::vector<float> objectHit() {
    SoundSketch s(0.5, RATE, 13);
    s.tone(0.0, 0.35, 140.0, 60.0, 0.6f, 0.07);
    // A hollow plastic body knocks: its modes die within a few cycles, and
    // the crack of the blow carries it over the engines.
    s.strike(0.0, {{320.0, 0.035, 1.0f}, {545.0, 0.025, 0.7f}, {870.0, 0.02, 0.5f}, {1240.0, 0.015, 0.35f}}, 0.6f);
    s.noise(0.0, 0.12, 300.0, 2500.0, 0.7f, 0.0005, 0.03);
    s.noise(0.0, 0.06, 1000.0, 6000.0, 0.7f, 0.0005, 0.015);
    s.drive(1.5f);
    return s.finish(0.85f, 0.05);
}

// A dull thud of the moped's body into concrete, then its side scraping along.
std::vector<float> wallHit() {
    SoundSketch s(0.8, RATE, 20);
    s.tone(0.0, 0.4, 95.0, 40.0, 1.0f, 0.07);
    s.noise(0.0, 0.12, 60.0, 600.0, 0.9f, 0.0005, 0.035);
    // The panels knock, dying at once rather than ringing on.
    s.strike(0.0, {{230.0, 0.03, 0.6f}, {410.0, 0.02, 0.4f}, {760.0, 0.015, 0.3f}}, 0.5f);
    s.noise(0.0, 0.02, 800.0, 5000.0, 0.5f, 0.0003, 0.006);
    // The scrape: gritty noise and crackle dying out as the moped slows.
    s.noise(0.03, 0.7, 1200.0, 5000.0, 0.3f, 0.03, 0.12);
    s.crackle(0.03, 0.55, 260.0, 1500.0, 7000.0, 0.35f);
    s.drive(1.8f);
    return s.finish(0.9f, 0.1);
}

std::vector<float> stamperThud() {
    SoundSketch s(1.2, RATE, 16);
    s.tone(0.0, 0.7, 90.0, 38.0, 1.0f, 0.15);
    // Iron rings a little after the blow, but not on like a bell.
    s.strike(
        0.0,
        {{180.0, 0.18, 0.8f}, {463.0, 0.14, 0.6f}, {921.0, 0.1, 0.45f}, {1412.0, 0.08, 0.35f}, {2210.0, 0.06, 0.25f}},
        0.6f);
    s.noise(0.0, 0.08, 200.0, 3000.0, 0.7f, 0.0005, 0.02);
    s.noise(0.15, 0.9, 2000.0, 8000.0, 0.2f, 0.05, 0.25);
    s.drive(1.8f);
    return s.finish(0.9f, 0.15);
}

std::vector<float> stamperDoubleThud() {
    SoundSketch s(1.4, RATE, 17);
    for (double at : {0.0, 0.18}) {
        const float weight = at > 0.0 ? 0.5f : 1.0f;
        s.tone(at, 0.7, 75.0, 30.0, weight, 0.15);
        s.strike(at, {{150.0, 0.18, 0.8f}, {397.0, 0.14, 0.6f}, {802.0, 0.1, 0.45f}, {1290.0, 0.07, 0.3f}},
                 0.6f * weight);
        s.noise(at, 0.08, 200.0, 3000.0, 0.7f * weight, 0.0005, 0.02);
    }
    s.noise(0.3, 1.0, 2000.0, 8000.0, 0.2f, 0.08, 0.3);
    s.drive(1.8f);
    return s.finish(0.9f, 0.15);
}

std::vector<float> sausageSizzle() {
    SoundSketch s(2.0, RATE, 21);
    s.noise(0.0, 2.0, 3000.0, 9000.0, 0.15f, 0.3, 10.0);
    s.crackle(0.0, 2.0, 200.0, 1500.0, 7000.0, 0.6f);
    return s.finish(0.7f, 0.4);
}

std::vector<float> sausageSquelch() {
    SoundSketch s(0.6, RATE, 22);
    s.noise(0.0, 0.3, 150.0, 1500.0, 0.8f, 0.005, 0.08);
    s.tone(0.0, 0.45, 320.0, 110.0, 0.7f, 0.15, Wave::Triangle);
    s.drive(3.0f);
    s.lowPass(2500.0);
    return s.finish(0.8f, 0.08);
}

std::vector<float> doorSlam() {
    SoundSketch s(0.8, RATE, 2);
    s.tone(0.0, 0.45, 95.0, 70.0, 0.9f, 0.09);
    s.strike(0.0, {{180.0, 0.06, 0.6f}, {310.0, 0.05, 0.5f}, {520.0, 0.035, 0.3f}}, 0.7f);
    s.noise(0.0, 0.03, 1000.0, 6000.0, 0.5f, 0.0005, 0.006);
    s.noise(0.045, 0.01, 3000.0, 9000.0, 0.35f, 0.0003, 0.002);
    s.strike(0.045, {{2400.0, 0.02, 0.4f}, {3700.0, 0.015, 0.3f}}, 0.3f);
    s.crackle(0.05, 0.15, 80.0, 2000.0, 6000.0, 0.2f);
    return s.finish(0.85f, 0.1);
}

std::vector<float> shotgunShot() {
    SoundSketch s(1.5, RATE, 3);
    s.noise(0.0, 0.01, 500.0, 10000.0, 1.0f, 0.0002, 0.003);
    s.noise(0.0, 0.3, 60.0, 900.0, 0.9f, 0.001, 0.07);
    s.tone(0.0, 0.45, 90.0, 40.0, 0.8f, 0.08);
    s.echo(0.18, 0.3f);
    s.echo(0.37, 0.15f);
    s.noise(0.01, 1.4, 150.0, 2000.0, 0.15f, 0.02, 0.35);
    s.drive(2.5f);
    return s.finish(0.95f, 0.2);
}

std::vector<float> lightningStrike() {
    SoundSketch s(2.5, RATE, 1);
    s.crackle(0.0, 0.6, 600.0, 1500.0, 9000.0, 0.7f);
    s.noise(0.02, 0.25, 200.0, 6000.0, 1.0f, 0.001, 0.06);
    // The thunder rolls on after the crack.
    s.noise(0.05, 2.4, 25.0, 250.0, 2.5f, 0.2, 0.7);
    s.drive(1.5f);
    return s.finish(0.9f, 0.4);
}

std::vector<float> mopedEngine(int model) {
    static const EngineVoice VOICES[MOPED_MODELS] = {
        {27.0, 170.0, 620.0, 1500.0, 0.8f, 2.5f, 5000.0, 0.5f, 101},   // Hercules: throaty
        {33.0, 240.0, 1050.0, 2400.0, 0.7f, 3.5f, 6000.0, 0.35f, 102}, // Kreidler: sporty and crisp
        {38.0, 300.0, 900.0, 1800.0, 0.6f, 2.0f, 4500.0, 0.2f, 103},   // scooter: smooth, a buzz
        {23.0, 125.0, 450.0, 1200.0, 0.9f, 2.6f, 4000.0, 0.6f, 104},   // Vespa: slow and chuggy
        {36.0, 210.0, 1400.0, 2800.0, 0.75f, 4.0f, 6500.0, 0.45f, 105}, // Yamaha enduro: loud and raw
    };
    return engineLoop(VOICES[model], 2.5, RATE);
}

} // namespace demoaudio
