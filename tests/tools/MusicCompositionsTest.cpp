#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tools/demodata/audio/Compositions.h"
#include "tools/demodata/audio/Pattern.h"

using namespace demoaudio;

namespace {

std::vector<Score> pieces() {
    return {menuMusic(),         carParkMusic(),       shoppingCentreMusic(), parkMusic(),
            openCarParkMusic(), housingEstateMusic(), countryRoadMusic()};
}

// The players of a section: which parts play in it.
std::set<int> players(const Section& section) {
    std::set<int> out;
    for (const Entry& e : section.entries) out.insert(e.part);
    return out;
}

} // namespace

// Seven pieces, not one form seven times: each its own tempo, key and set of
// instruments; sections that change who plays; the crash marking a few
// section starts rather than every one.
TEST(MusicCompositions, EachPieceHasItsOwnTempoKeyInstrumentsAndForm) {
    std::set<double> tempos;
    std::set<std::pair<int, int>> keys;
    std::set<std::multiset<int>> bands;
    for (const Score& score : pieces()) {
        SCOPED_TRACE(score.name);
        EXPECT_TRUE(tempos.insert(score.bpm).second) << "shares its tempo";
        EXPECT_TRUE(keys.insert({score.tonic % 12, int(score.mode)}).second) << "shares its key";
        std::multiset<int> band;
        for (const Part& part : score.parts)
            if (part.role != Role::Drums) band.insert(int(part.instrument));
        EXPECT_TRUE(bands.insert(band).second) << "shares its instruments";
        EXPECT_GE(score.bars() * score.barSeconds(), 120.0);

        std::set<std::set<int>> lineUps;
        int crashes = 0;
        for (const Section& section : score.sections) {
            lineUps.insert(players(section));
            for (const Entry& e : section.entries) {
                if (score.parts[size_t(e.part)].role != Role::Drums ||
                    score.parts[size_t(e.part)].drum != Drum::Crash)
                    continue;
                const std::vector<Step> hits = parsePattern(e.pattern, section.bars);
                if (!hits.empty() && hits.front().start == 0.0) ++crashes;
            }
        }
        EXPECT_GE(lineUps.size(), 4u) << "too few sections differ in who plays";
        EXPECT_LE(2 * crashes, int(score.sections.size())) << "a crash on most section starts";
    }
}
