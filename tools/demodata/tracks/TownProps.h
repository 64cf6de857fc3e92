#pragma once
#include "tools/demodata/tracks/TrackBuilder.h"

// Buildings, trees and street furniture of the tracks away from the car
// parks: the housing estate and the country road. Each stands on `base`;
// `heading` turns its front (local +z) as the toolkit's headings do. They are
// scenery, seen only, and stand behind the walls; a lamp's post is solid.
class TownProps {
public:
    enum class Walls { PLASTER, BRICK, WOOD };

    struct HouseLook {
        Walls walls = Walls::PLASTER;
        Rgb wallTint{0.95f, 0.92f, 0.85f};
        Rgb roofTint{0.85f, 0.4f, 0.3f};
        float wallHeight = 5.5f;
        float roofRise = 3.5f;
        bool windows = true;
        bool chimney = true;
    };

    // Paints the pictures the props are drawn with into the track, once.
    explicit TownProps(TrackBuilder& track);

    // A house with a gable roof whose ridge runs along its front; `width`
    // along the front, `depth` back from it.
    void house(Vec3 base, float heading, float width, float depth, const HouseLook& look);
    // A broadleaf tree: a trunk and a lumpy crown of `radius`, `height` tall in all.
    void tree(Vec3 base, float height, float radius, Rgb leafTint);
    // A fir: a trunk and three stacked cones.
    void fir(Vec3 base, float height, float radius);
    // A street lamp on a post, its arm and glowing head reaching along the heading.
    void lamp(Vec3 base, float heading);

private:
    TrackBuilder& m_track;
};
