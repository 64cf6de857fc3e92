#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include <ode/collision.h>
#include <ode/collision_space.h>

// Hands a near callback the geom pairs within one simple space, or between
// two, in exactly the order ODE's simple space would, but from the boxes read
// out once a collision pass, and within a space by sweeping them along x
// instead of testing every pair: the thrown things' space holds some sixty
// geoms, most of them far apart, and meets three other spaces.
// Small spaces, pairs of spaces neither of which is read yet, other kinds of
// space, spaces at different sublevels, one holding a space, a disabled geom,
// one of no size or of another kind than the scenes use, and pairs of spaces
// asked for outside a pass go to ODE.
class SimpleSpacePairs {
public:
    // Between the two, no geom moves: boxes read once serve the whole pass.
    void beginPass();
    void endPass();

    // The pairs within `space`, as dSpaceCollide hands them over.
    void collide(dSpaceID space, void* data, dNearCallback* callback);
    // The pairs between two spaces, as dSpaceCollide2 hands them over.
    void collide2(dSpaceID first, dSpaceID second, void* data, dNearCallback* callback);

private:
    struct Entry {
        dReal box[6];
        dGeomID geom;
        dBodyID body;
        unsigned long category;
        unsigned long collide;
    };
    struct Space {
        dSpaceID space = nullptr;
        // Clear when one of its geoms is for the library to walk.
        bool plain = false;
        std::vector<Entry> entries;
    };
    // The space's geoms in its list order, each with what the pair test
    // reads; false when one of them is for the library to walk.
    static bool read(dSpaceID space, std::vector<Entry>& into);
    static bool meet(const Entry& a, const Entry& b);
    bool wasRead(dSpaceID space) const;
    // The space's entries, read this pass or now; null for the library's walk.
    const std::vector<Entry>* entriesOf(dSpaceID space);

    bool m_inPass = false;
    // The spaces read this pass are the first m_readCount; later ones keep
    // their room. A deque, so that reading one more leaves the others in place.
    std::deque<Space> m_read;
    size_t m_readCount = 0;
    // Entry indices by the boxes' left side, and the meeting pairs found.
    std::vector<uint32_t> m_byLeft;
    std::vector<std::pair<uint32_t, uint32_t>> m_pairs;
};
