#include "engine/scene/physics/SimpleSpacePairs.h"

#include <algorithm>
#include <cmath>

namespace {

// Below this many geoms the library's own walk costs less than reading the boxes out.
constexpr int FEWEST_SWEPT = 32;

bool isSimple(dSpaceID space) { return dSpaceGetClass(space) == dSimpleSpaceClass; }

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
// Geoms the library leaves out of every pair (a side or radius of nought),
// tests in ways of their own (other kinds) or walks into (spaces, whose
// callback would walk these lists again): such a space goes to ODE.
bool walksPlainly(dGeomID geom) {
    switch (dGeomGetClass(geom)) {
    case dSphereClass:
        return dGeomSphereGetRadius(geom) != 0;
    case dBoxClass: {
        dVector3 sides;
        dGeomBoxGetLengths(geom, sides);
        return sides[0] != 0 && sides[1] != 0 && sides[2] != 0;
    }
    case dCapsuleClass: {
        dReal radius = 0, length = 0;
        dGeomCapsuleGetParams(geom, &radius, &length);
        return radius != 0 && length != 0;
    }
    case dRayClass:
        return dGeomRayGetLength(geom) != 0;
    case dTriMeshClass:
        return true;
    case dGeomTransformClass: {
        dGeomID inner = dGeomTransformGetGeom(geom);
        return inner && walksPlainly(inner);
    }
    default:
        return false;
    }
}
#pragma GCC diagnostic pop

} // namespace

bool SimpleSpacePairs::read(dSpaceID space, std::vector<Entry>& into) {
    into.clear();
    const int count = dSpaceGetNumGeoms(space);
    for (int i = 0; i < count; ++i) {
        Entry entry;
        entry.geom = dSpaceGetGeom(space, i);
        // A disabled geom is rare enough to leave its space to the library.
        if (!dGeomIsEnabled(entry.geom) || !walksPlainly(entry.geom)) return false;
        // Brings a box the space has not cleaned yet up to date, as its own walk does.
        dGeomGetAABB(entry.geom, entry.box);
        // The library lets a box with a NaN meet everything; sorting cannot.
        if (std::any_of(entry.box, entry.box + 6, [](dReal side) { return std::isnan(side); })) return false;
        entry.body = dGeomGetBody(entry.geom);
        entry.category = dGeomGetCategoryBits(entry.geom);
        entry.collide = dGeomGetCollideBits(entry.geom);
        into.push_back(entry);
    }
    return true;
}

// ODE's own test before the callback: not one body, matching bits, touching boxes.
bool SimpleSpacePairs::meet(const Entry& a, const Entry& b) {
    if (a.body == b.body && a.body) return false;
    if (!(a.category & b.collide) && !(b.category & a.collide)) return false;
    return !(a.box[0] > b.box[1] || a.box[1] < b.box[0] || a.box[2] > b.box[3] || a.box[3] < b.box[2] ||
             a.box[4] > b.box[5] || a.box[5] < b.box[4]);
}

void SimpleSpacePairs::collide(dSpaceID space, void* data, dNearCallback* callback) {
    if (!isSimple(space) || dSpaceGetNumGeoms(space) < FEWEST_SWEPT || !read(space, m_entries)) {
        dSpaceCollide(space, data, callback);
        return;
    }
    // Sweep along x: only boxes that overlap there are tested at all.
    const auto count = static_cast<uint32_t>(m_entries.size());
    m_byLeft.resize(count);
    for (uint32_t i = 0; i < count; ++i) m_byLeft[i] = i;
    std::sort(m_byLeft.begin(), m_byLeft.end(),
              [&](uint32_t a, uint32_t b) { return m_entries[a].box[0] < m_entries[b].box[0]; });
    m_pairs.clear();
    for (uint32_t k = 0; k < count; ++k) {
        const Entry& left = m_entries[m_byLeft[k]];
        for (uint32_t n = k + 1; n < count && !(m_entries[m_byLeft[n]].box[0] > left.box[1]); ++n)
            if (meet(left, m_entries[m_byLeft[n]]))
                m_pairs.emplace_back(std::min(m_byLeft[k], m_byLeft[n]), std::max(m_byLeft[k], m_byLeft[n]));
    }
    // The library's order: each geom in list order with those after it.
    std::sort(m_pairs.begin(), m_pairs.end());
    for (auto [first, second] : m_pairs) callback(data, m_entries[first].geom, m_entries[second].geom);
}
