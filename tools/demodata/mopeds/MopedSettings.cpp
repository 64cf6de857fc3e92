#include "tools/demodata/mopeds/MopedSettings.h"

#include <cstdint>
#include <cstring>

#include "tools/demodata/mopeds/MopedNames.h"

std::array<float, 10> mopedSettings(int model) {
    // The turn rate is the same for all (the file's is not read); what sets the
    // mopeds apart is top speed against acceleration, and the drift weight:
    // a low one holds the line through a curve, a high one slides wide.
    switch (model) {
    case 1: // Kreidler: the fastest, slow to get going, light on the brakes, drifts at speed
        return {0.315f, 0.39375f, 0.000295f, 1.16f, 205.0f, 748.0f, -0.00115f, -0.00045f, -0.0016f, 0.5f};
    case 2: // Roller: nimble, quick off the line and out of every bump, but the slowest on a straight
        return {0.272f, 0.34f, 0.00046f, 1.16f, 150.0f, 748.0f, -0.00135f, -0.00056f, -0.0016f, 0.5f};
    case 3: // Vespa: heavy and big, keeps its speed (rolls on far), slides wide, falls hard
        return {0.302f, 0.3775f, 0.000315f, 1.16f, 225.0f, 748.0f, -0.001f, -0.0004f, -0.0018f, 0.5f};
    case 4: // Yamaha: light, quick and grippy, a touch slower on top, floats over jumps
        return {0.281f, 0.35125f, 0.00042f, 1.16f, 165.0f, 748.0f, -0.0013f, -0.0005f, -0.0014f, 0.5f};
    default: // Hercules: the all-rounder the others are measured against
        return {0.29f, 0.3625f, 0.000368f, 1.16f, 187.0f, 748.0f, -0.001216f, -0.000504f, -0.0016f, 0.5f};
    }
}

std::vector<MopedFile> mopedSettingsFiles() {
    std::vector<MopedFile> files;
    for (int model = 0; model < MopedNames::MODELS; ++model) {
        std::string bytes;
        for (float value : mopedSettings(model)) {
            uint32_t bits = 0;
            std::memcpy(&bits, &value, sizeof bits);
            for (int i = 0; i < 4; ++i) bytes.push_back(char((bits >> (8 * i)) & 0xFF));
        }
        files.push_back(mopedFile(MopedNames::settingsFile(model), bytes));
    }
    return files;
}
