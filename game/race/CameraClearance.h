#pragma once
#include <memory>

#include "engine/platform/Math3D.h"

class LW6Scene;

// The track's still, drawn geometry (ground, walls, pillars, ceilings, props)
// in one triangle tree for a ray: the cameras that follow a rider stay on his
// side of it. The tree sits in no space, so the physics never meets it.
class CameraClearance {
public:
    // A camera keeps this far short of what it would meet.
    static constexpr float MARGIN = 0.2f;

    // Takes the triangles of the scene as the track loaded it, before the riders join.
    explicit CameraClearance(LW6Scene& track);
    ~CameraClearance();
    CameraClearance(const CameraClearance&) = delete;
    CameraClearance& operator=(const CameraClearance&) = delete;

    // How much of the way from `from` to `to` (0 to 1) a camera may go and stay
    // MARGIN short of the track's geometry: 1 when nothing stands in between.
    float freeShare(const Position3& from, const Position3& to);

private:
    struct Tree;
    // Null when the track has no still triangles.
    std::unique_ptr<Tree> m_tree;
};
