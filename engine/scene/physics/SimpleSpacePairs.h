#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include <ode/collision.h>
#include <ode/collision_space.h>

// Hands a near callback the geom pairs within one simple space in exactly
// the order ODE's simple space would, but sweeps the bounding boxes along x
// instead of testing every pair: the thrown things' space holds some sixty
// geoms, most of them far apart.
// A small space, any other kind of space, or one holding a space, a disabled
// geom, one of no size or of another kind than the scenes use, goes to ODE.
class SimpleSpacePairs {
public:
    // The pairs within `space`, as dSpaceCollide hands them over.
    void collide(dSpaceID space, void* data, dNearCallback* callback);

private:
    struct Entry {
        dReal box[6];
        dGeomID geom;
        dBodyID body;
        unsigned long category;
        unsigned long collide;
    };
    // The space's geoms in its list order, each with what the pair test
    // reads; false when one of them is for the library to walk.
    static bool read(dSpaceID space, std::vector<Entry>& into);
    static bool meet(const Entry& a, const Entry& b);

    std::vector<Entry> m_entries;
    // Entry indices by the boxes' left side, and the meeting pairs found.
    std::vector<uint32_t> m_byLeft;
    std::vector<std::pair<uint32_t, uint32_t>> m_pairs;
};
