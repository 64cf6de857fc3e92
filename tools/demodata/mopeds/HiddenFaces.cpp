#include "tools/demodata/mopeds/HiddenFaces.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numeric>

namespace HiddenFaces {
namespace {

using D3 = std::array<double, 3>;

D3 sub(const D3& a, const D3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
D3 cross(const D3& a, const D3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const D3& a, const D3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Odd crossings along three unrelated rays, all three agreeing: a point on or
// near the part's skin counts as outside.
constexpr D3 RAYS[3] = {{0.3120, 0.5491, 0.7752}, {-0.6823, 0.2209, -0.6970}, {0.1509, -0.9406, 0.3041}};

struct Part {
    std::vector<std::array<D3, 3>> triangles;
    D3 low{1e30, 1e30, 1e30}, high{-1e30, -1e30, -1e30};
    bool enclosing = true;
    const Weights* weights = nullptr;

    bool contains(const D3& p) const {
        for (int k = 0; k < 3; ++k)
            if (p[k] <= low[k] || p[k] >= high[k]) return false;
        for (const D3& ray : RAYS) {
            int crossings = 0;
            for (const auto& [a, b, c] : triangles) {
                const D3 e1 = sub(b, a), e2 = sub(c, a), q = cross(ray, e2);
                const double det = dot(e1, q);
                if (std::fabs(det) < 1e-15) continue;
                const D3 s = sub(p, a);
                const double u = dot(s, q) / det;
                if (u < 0.0 || u > 1.0) continue;
                const D3 r = cross(s, e1);
                const double v = dot(ray, r) / det;
                if (v < 0.0 || u + v > 1.0) continue;
                if (dot(e2, r) / det > 1e-9) ++crossings;
            }
            if (crossings % 2 == 0) return false;
        }
        return true;
    }
};

bool seeThrough(const Lwo2Surface& surface) {
    if (surface.transparencyImage) return true;
    return std::any_of(surface.values.begin(), surface.values.end(),
                       [](const Lwo2NamedValue& v) { return v.id == "TRAN" && v.value.value > 0.0f; });
}

size_t root(std::vector<size_t>& parent, size_t p) {
    while (parent[p] != p) p = parent[p] = parent[parent[p]];
    return p;
}

} // namespace

std::vector<bool> find(const std::vector<Vec3>& points, const std::vector<Weights>& pointWeights,
                       const std::vector<std::vector<uint32_t>>& faces, const std::vector<uint16_t>& faceSurfaces,
                       const std::vector<Lwo2Surface>& surfaces) {
    auto at = [&](uint32_t p) { return D3{points[p][0], points[p][1], points[p][2]}; };
    // A part: the faces joined through shared points (one loft, one revolve).
    std::vector<size_t> parent(points.size());
    std::iota(parent.begin(), parent.end(), size_t(0));
    for (const auto& face : faces)
        for (uint32_t p : face) parent[root(parent, p)] = root(parent, face[0]);
    std::map<size_t, Part> parts;
    std::map<size_t, std::map<std::pair<uint32_t, uint32_t>, int>> edges;
    for (size_t f = 0; f < faces.size(); ++f) {
        const auto& face = faces[f];
        Part& part = parts[root(parent, face[0])];
        auto& partEdges = edges[root(parent, face[0])];
        if (faceSurfaces[f] >= surfaces.size() || seeThrough(surfaces[faceSurfaces[f]])) part.enclosing = false;
        for (size_t i = 0; i < face.size(); ++i) {
            ++partEdges[{face[i], face[(i + 1) % face.size()]}];
            const D3 p = at(face[i]);
            for (int k = 0; k < 3; ++k) part.low[k] = std::min(part.low[k], p[k]), part.high[k] = std::max(part.high[k], p[k]);
            if (!part.weights) part.weights = &pointWeights[face[i]];
            if (pointWeights[face[i]] != *part.weights) part.enclosing = false;
        }
        for (size_t i = 1; i + 1 < face.size(); ++i) part.triangles.push_back({at(face[0]), at(face[i]), at(face[i + 1])});
    }
    // Only a closed skin has an inside: every edge once each way.
    for (auto& [key, part] : parts)
        for (const auto& [edge, count] : edges[key]) {
            auto twin = edges[key].find({edge.second, edge.first});
            if (count != 1 || twin == edges[key].end() || twin->second != 1) part.enclosing = false;
        }

    std::vector<bool> hidden(faces.size(), false);
    for (size_t f = 0; f < faces.size(); ++f) {
        const auto& face = faces[f];
        const size_t own = root(parent, face[0]);
        // The corners, the middle and the edges' middles.
        std::vector<D3> samples;
        D3 centre{0.0, 0.0, 0.0};
        for (size_t i = 0; i < face.size(); ++i) {
            const D3 a = at(face[i]), b = at(face[(i + 1) % face.size()]);
            samples.push_back(a);
            samples.push_back({(a[0] + b[0]) * 0.5, (a[1] + b[1]) * 0.5, (a[2] + b[2]) * 0.5});
            for (int k = 0; k < 3; ++k) centre[k] += a[k] / double(face.size());
        }
        samples.push_back(centre);
        // Only a face that moves as one with the part round it stays inside it in every pose.
        const bool rigid = std::all_of(face.begin(), face.end(),
                                       [&](uint32_t p) { return pointWeights[p] == pointWeights[face[0]]; });
        for (const auto& [key, part] : parts) {
            if (!rigid || key == own || !part.enclosing || pointWeights[face[0]] != *part.weights) continue;
            if (std::all_of(samples.begin(), samples.end(), [&part](const D3& p) { return part.contains(p); })) {
                hidden[f] = true;
                break;
            }
        }
    }

    // A face in sight smooths its corners with its neighbours within its
    // surface's angle: a hidden face it smooths with stays, so no normal in
    // sight changes. Hidden faces' own normals light nothing.
    std::vector<D3> normals(faces.size());
    for (size_t f = 0; f < faces.size(); ++f) {
        D3 n{0.0, 0.0, 0.0};
        for (size_t i = 0; i < faces[f].size(); ++i) {
            const D3 a = at(faces[f][i]), b = at(faces[f][(i + 1) % faces[f].size()]);
            n = {n[0] + (a[1] - b[1]) * (a[2] + b[2]), n[1] + (a[2] - b[2]) * (a[0] + b[0]), n[2] + (a[0] - b[0]) * (a[1] + b[1])};
        }
        const double length = std::sqrt(dot(n, n));
        normals[f] = length > 0.0 ? D3{n[0] / length, n[1] / length, n[2] / length} : n;
    }
    std::vector<std::vector<size_t>> facesAt(points.size());
    for (size_t f = 0; f < faces.size(); ++f)
        for (uint32_t p : faces[f]) facesAt[p].push_back(f);
    std::vector<bool> dropped = hidden;
    for (size_t f = 0; f < faces.size(); ++f) {
        if (!hidden[f]) continue;
        for (uint32_t p : faces[f])
            for (size_t k : facesAt[p]) {
                if (hidden[k]) continue;
                if (faceSurfaces[k] >= surfaces.size()) {
                    dropped[f] = false;
                    continue;
                }
                const Lwo2Surface& surface = surfaces[faceSurfaces[k]];
                const double angle = surface.smoothingAngle ? *surface.smoothingAngle : 0.0;
                // A margin over the renderer's own test of the cosine.
                if (dot(normals[f], normals[k]) >= std::cos(angle) - 0.01) dropped[f] = false;
            }
    }
    return dropped;
}

} // namespace HiddenFaces
