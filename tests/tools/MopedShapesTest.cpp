// The moped content's solids face outwards: the renderer shows and lights
// only the side a face's normal points to.
#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <utility>

#include "tools/demodata/mopeds/MopedDesign.h"
#include "tools/demodata/mopeds/MopedNames.h"
#include "tools/demodata/mopeds/Paint.h"
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
    for (int model = 0; model < MopedNames::MODELS; ++model) {
        objects.push_back({MopedNames::MODEL[model], mopedDesign(model).object(0)});
        objects.push_back({MopedNames::MODEL[model] + std::string(" far"), mopedDesign(model, true).object(0)});
    }
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

// A part inside another closed part loses the faces no camera can see, and
// nothing else goes: not behind glass, not where the parts move apart (other
// bone weights), not a face one in sight smooths its normals with.
TEST(MopedShapes, OnlyFacesHiddenInsideAnotherPartGo) {
    Paint solid, glass;
    glass.transparency = 0.5f;
    const std::vector<Lwo2Surface> surfaces = {solid.surface("solid"), glass.surface("glass")};
    auto faces = [&surfaces](const Shape& shape) {
        return shape.withoutHiddenFaces(surfaces).layer(0, "", {0.0f, 0.0f, 0.0f}).polygonLists.at(0).polygons.size();
    };
    const Frame centre = Frame::at({0.0f, 0.0f, 0.0f});

    Shape boxes;
    boxes.box(centre, {1.0f, 1.0f, 1.0f});
    boxes.box(centre, {0.5f, 0.5f, 0.5f});
    EXPECT_EQ(faces(boxes), 6u);

    Shape behindGlass;
    behindGlass.setSurface(1);
    behindGlass.box(centre, {1.0f, 1.0f, 1.0f});
    behindGlass.setSurface(0);
    behindGlass.box(centre, {0.5f, 0.5f, 0.5f});
    EXPECT_EQ(faces(behindGlass), 12u);

    Shape moving;
    moving.box(centre, {1.0f, 1.0f, 1.0f});
    moving.setWeights({{"arm", 1.0f}});
    moving.box(centre, {0.5f, 0.5f, 0.5f});
    EXPECT_EQ(faces(moving), 12u);

    // A rod through the wall: its inner cap goes, its sides (half out) and outer cap stay.
    Shape rod;
    rod.box(centre, {1.0f, 1.0f, 1.0f});
    rod.rod({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 2.0f}, 0.1f, 8);
    EXPECT_EQ(faces(rod), 6u + 8u + 1u);

    // A ball through the wall: of its faces wholly inside only those go that no face in
    // sight smooths with; the ring next to the wall stays, so the lit side looks the same.
    Shape ball;
    ball.box(centre, {1.0f, 1.0f, 1.0f});
    ball.ellipsoid(Frame::at({0.0f, 0.0f, 1.0f}), {0.5f, 0.5f, 0.5f}, 16, 16);
    const size_t all = 6u + 16u * 16u, kept = faces(ball);
    EXPECT_LT(kept, all);
    EXPECT_GT(kept, 6u + 16u * 8u);
}
