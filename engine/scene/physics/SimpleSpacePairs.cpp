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

void SimpleSpacePairs::beginPass() {
    m_inPass = true;
    m_readCount = 0;
}

void SimpleSpacePairs::endPass() {
    m_inPass = false;
    m_readCount = 0;
}

bool SimpleSpacePairs::wasRead(dSpaceID space) const {
    for (size_t i = 0; i < m_readCount; ++i)
        if (m_read[i].space == space) return true;
    return false;
}

const std::vector<SimpleSpacePairs::Entry>* SimpleSpacePairs::entriesOf(dSpaceID space) {
    for (size_t i = 0; i < m_readCount; ++i)
        if (m_read[i].space == space) return m_read[i].plain ? &m_read[i].entries : nullptr;
    if (m_readCount == m_read.size()) m_read.emplace_back();
    // Outside a pass the record is overwritten by the next space read.
    Space& record = m_read[m_inPass ? m_readCount++ : m_readCount];
    record.space = space;
    record.plain = read(space, record.entries);
    return record.plain ? &record.entries : nullptr;
}

void SimpleSpacePairs::collide(dSpaceID space, void* data, dNearCallback* callback) {
    const std::vector<Entry>* walked = nullptr;
    if (isSimple(space) && dSpaceGetNumGeoms(space) >= FEWEST_SWEPT) walked = entriesOf(space);
    if (!walked) {
        dSpaceCollide(space, data, callback);
        return;
    }
    const std::vector<Entry>& entries = *walked;
    // Sweep along x: only boxes that overlap there are tested at all.
    const auto count = static_cast<uint32_t>(entries.size());
    m_byLeft.resize(count);
    for (uint32_t i = 0; i < count; ++i) m_byLeft[i] = i;
    std::sort(m_byLeft.begin(), m_byLeft.end(),
              [&](uint32_t a, uint32_t b) { return entries[a].box[0] < entries[b].box[0]; });
    m_pairs.clear();
    for (uint32_t k = 0; k < count; ++k) {
        const Entry& left = entries[m_byLeft[k]];
        for (uint32_t n = k + 1; n < count && !(entries[m_byLeft[n]].box[0] > left.box[1]); ++n)
            if (meet(left, entries[m_byLeft[n]]))
                m_pairs.emplace_back(std::min(m_byLeft[k], m_byLeft[n]), std::max(m_byLeft[k], m_byLeft[n]));
    }
    // The library's order: each geom in list order with those after it.
    std::sort(m_pairs.begin(), m_pairs.end());
    for (auto [first, second] : m_pairs) callback(data, entries[first].geom, entries[second].geom);
}

void SimpleSpacePairs::collide2(dSpaceID first, dSpaceID second, void* data, dNearCallback* callback) {
    const std::vector<Entry>* firsts = nullptr;
    const std::vector<Entry>* seconds = nullptr;
    // Reading a space's boxes out costs more than the library's walk saves,
    // unless its own pairs have read them already.
    if (m_inPass && first != second && (wasRead(first) || wasRead(second)) && isSimple(first) &&
        isSimple(second) && dSpaceGetSublevel(first) == dSpaceGetSublevel(second)) {
        firsts = entriesOf(first);
        seconds = firsts ? entriesOf(second) : nullptr;
    }
    if (!firsts || !seconds) {
        dSpaceCollide2(reinterpret_cast<dGeomID>(first), reinterpret_cast<dGeomID>(second), data, callback);
        return;
    }
    // The outer walk is over the space with fewer geoms, the second on a tie;
    // the callback always gets the first space's geom first.
    const bool firstOuter = firsts->size() < seconds->size();
    const std::vector<Entry>& outer = firstOuter ? *firsts : *seconds;
    const std::vector<Entry>& inner = firstOuter ? *seconds : *firsts;
    for (const Entry& o : outer)
        for (const Entry& i : inner) {
            if (!meet(i, o)) continue;
            if (firstOuter) callback(data, o.geom, i.geom);
            else callback(data, i.geom, o.geom);
        }
}
