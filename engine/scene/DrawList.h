#pragma once
#include <vector>

class SceneObject;

// One object the pass draws, with the depth it is sorted by.
struct DrawRecord {
    SceneObject* object;
    // Largest clip-space z of the box corners, negated for transparent meshes.
    float key;
    bool transparent;
};

// The objects one pass draws: opaque near to far (less overdraw), then
// transparent far to near (blending needs what lies behind drawn first).
class DrawList {
public:
    DrawList() { m_records.reserve(1000); }

    void add(SceneObject* object, float farthestZ, bool transparent) {
        m_records.push_back({object, transparent ? -farthestZ : farthestZ, transparent});
    }
    void sort();
    // Opaque before transparent, then the smaller key first.
    static bool drawsBefore(const DrawRecord& a, const DrawRecord& b);

    const std::vector<DrawRecord>& records() const { return m_records; }

private:
    std::vector<DrawRecord> m_records;
};
