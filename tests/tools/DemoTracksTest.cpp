#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tools/demodata/tracks/DemoTracks.h"

// demodata builds the six tracks side by side and keeps a shared file (a
// texture, the sky, the pick-up) once, from the first track that makes it.
TEST(DemoTracks, SideBySideTheyGiveEachTracksOwnFilesAndASharedFileIsTheSameInEveryTrack) {
    const std::vector<TrackFile> together = demoTrackFiles();

    std::vector<std::string> order;
    std::map<std::string, std::string> alone;
    for (const DemoTrack& track : demoTracks())
        for (const TrackFile& file : track.build()) {
            const auto [known, added] = alone.emplace(file.archiveName, file.bytes);
            if (added)
                order.push_back(file.archiveName);
            else
                // Only the first is packed: a track painting it otherwise would lose its own look.
                EXPECT_TRUE(known->second == file.bytes) << file.archiveName << " differs in track " << track.number;
        }

    ASSERT_EQ(together.size(), order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(together[i].archiveName, order[i]);
        EXPECT_TRUE(together[i].bytes == alone[order[i]]) << order[i] << " differs when the tracks are built together";
    }
}
