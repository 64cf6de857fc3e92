// The moped content's solids face outwards: the renderer shows and lights
// only the side a face's normal points to.
#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <utility>

#include "tools/demodata/mopeds/MopedDesign.h"
#include "tools/demodata/mopeds/MopedNames.h"
#include "tools/demodata/mopeds/RiderFigure.h"

namespace {

struct Faults {
    int repeatedEdges = 0;
    int inwardSolids = 0;
    int solids = 0;
};

int findRoot(std::vector<int>& parent, int i) {
    while (parent[size_t(i)] != i) i = parent[size_t(i)] = parent[size_t(parent[size_t(i)])];
    return i;
}

// Splits the layer into parts joined by shared points. In every part no edge
// runs the same way twice (the faces agree on their front side), and a closed
// part (every edge run both ways) encloses a positive volume.
Faults check(const Lwo2Layer& layer) {
    const auto& polygons = layer.polygonLists.front().polygons;
    std::vector<int> parent(layer.points.size());
    std::iota(parent.begin(), parent.end(), 0);
    for (const Lwo2Polygon& p : polygons)
        for (uint32_t corner : p.points) parent[size_t(findRoot(parent, int(corner)))] = findRoot(parent, int(p.points[0]));
    std::map<int, std::map<std::pair<uint32_t, uint32_t>, int>> edges;
    std::map<int, double> volume;
    for (const Lwo2Polygon& p : polygons) {
        const int part = findRoot(parent, int(p.points[0]));
        const size_t n = p.points.size();
        for (size_t i = 0; i < n; ++i) ++edges[part][{p.points[i], p.points[(i + 1) % n]}];
        const auto& a = layer.points[p.points[0]];
        for (size_t i = 1; i + 1 < n; ++i) {
            const auto& b = layer.points[p.points[i]];
            const auto& c = layer.points[p.points[i + 1]];
            // The faces' front is where (b - a) x (c - a) points; seen from outside, that is outwards.
            volume[part] += (a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                             a[2] * (b[0] * c[1] - b[1] * c[0])) / 6.0;
        }
    }
    Faults faults;
    for (const auto& [part, runs] : edges) {
        bool closed = true;
        for (const auto& [edge, count] : runs) {
            if (count > 1) ++faults.repeatedEdges;
            if (!runs.count({edge.second, edge.first})) closed = false;
        }
        if (!closed) continue;
        ++faults.solids;
        if (volume[part] <= 0.0) ++faults.inwardSolids;
    }
    return faults;
}

} // namespace

TEST(MopedShapes, EveryMopedAndRiderIsMadeOfSolidsFacingOutwards) {
    std::vector<std::pair<std::string, Lwo2Object>> objects;
    for (int model = 0; model < MopedNames::MODELS; ++model)
        objects.push_back({MopedNames::MODEL[model], mopedDesign(model).object(0)});
    for (int rider = 1; rider <= MopedNames::RIDERS; ++rider)
        objects.push_back({"rider " + std::to_string(rider), riderFigure(rider).object()});
    for (const auto& [name, object] : objects)
        for (const Lwo2Layer& layer : object.layers) {
            SCOPED_TRACE(name + " layer " + std::to_string(layer.number));
            const Faults faults = check(layer);
            EXPECT_EQ(faults.repeatedEdges, 0);
            EXPECT_EQ(faults.inwardSolids, 0);
            EXPECT_GT(faults.solids, 0);
        }
}
