#include "tools/demodata/mopeds/Shape.h"

#include <algorithm>
#include <map>

#include "tools/demodata/mopeds/HiddenFaces.h"

Ring superellipse(const Frame& frame, float halfWidth, float halfHeight, float exponent, int count) {
    Ring ring;
    const float power = 2.0f / exponent;
    for (int k = 0; k < count; ++k) {
        float a = 2.0f * PI * float(k) / float(count);
        float c = std::cos(a), s = std::sin(a);
        float x = std::copysign(std::pow(std::fabs(c), power), c) * halfWidth;
        float y = std::copysign(std::pow(std::fabs(s), power), s) * halfHeight;
        ring.points.push_back(frame.point({x, y, 0.0f}));
    }
    return ring;
}

std::vector<Vec3> smoothPath(const std::vector<Vec3>& points, int steps) {
    if (points.size() < 3 || steps < 2) return points;
    std::vector<Vec3> out;
    const size_t last = points.size() - 1;
    for (size_t i = 0; i < last; ++i) {
        Vec3 p0 = points[i == 0 ? 0 : i - 1], p1 = points[i], p2 = points[i + 1];
        Vec3 p3 = points[std::min(i + 2, last)];
        for (int s = 0; s < steps; ++s) {
            float t = float(s) / float(steps), t2 = t * t, t3 = t2 * t;
            out.push_back((p1 * 2.0f + (p2 - p0) * t + (p0 * 2.0f - p1 * 5.0f + p2 * 4.0f - p3) * t2 +
                           (p1 * 3.0f - p0 - p2 * 3.0f + p3) * t3) *
                          0.5f);
        }
    }
    out.push_back(points[last]);
    return out;
}

uint32_t Shape::addPoint(Vec3 p) {
    m_points.push_back(p);
    m_pointWeights.push_back(m_weights);
    return uint32_t(m_points.size() - 1);
}

void Shape::addFace(std::vector<uint32_t> corners) {
    m_faces.push_back(std::move(corners));
    m_faceSurfaces.push_back(m_surface);
}

std::vector<uint32_t> Shape::addRing(const Ring& ring) {
    Weights saved = m_weights;
    if (!ring.weights.empty()) m_weights = ring.weights;
    std::vector<uint32_t> indices;
    for (const Vec3& p : ring.points) indices.push_back(addPoint(p));
    m_weights = saved;
    return indices;
}

void Shape::loft(const std::vector<Ring>& rings, bool capStart, bool capEnd, bool loop) {
    std::vector<std::vector<uint32_t>> indices;
    for (const Ring& ring : rings) indices.push_back(addRing(ring));
    const size_t spans = loop ? rings.size() : rings.size() - 1;
    for (size_t i = 0; i < spans && rings.size() > 1; ++i) {
        const std::vector<uint32_t>& a = indices[i];
        const std::vector<uint32_t>& b = indices[(i + 1) % rings.size()];
        const Ring& ringA = rings[i];
        const Ring& ringB = rings[(i + 1) % rings.size()];
        if (a.size() == 1 && b.size() == 1) continue;
        const size_t n = std::max(a.size(), b.size());
        const bool closed = (a.size() == 1 ? ringB : ringA).closed;
        const size_t count = closed ? n : n - 1;
        for (size_t j = 0; j < count; ++j) {
            const size_t k = (j + 1) % n;
            if (a.size() == 1) addFace({a[0], b[k], b[j]});
            else if (b.size() == 1) addFace({a[j], a[k], b[0]});
            else if (a.size() == b.size()) addFace({a[j], a[k], b[k], b[j]});
        }
    }
    if (capStart && indices.front().size() > 2)
        addFace(std::vector<uint32_t>(indices.front().rbegin(), indices.front().rend()));
    if (capEnd && indices.back().size() > 2) addFace(indices.back());
}

void Shape::box(const Frame& frame, Vec3 half) {
    auto square = [&](float z) {
        Ring ring;
        for (Vec3 corner : {Vec3{1, -1, 0}, Vec3{1, 1, 0}, Vec3{-1, 1, 0}, Vec3{-1, -1, 0}})
            ring.points.push_back(frame.point({corner[0] * half[0], corner[1] * half[1], z}));
        return ring;
    };
    loft({square(-half[2]), square(half[2])}, true, true);
}

void Shape::revolve(const Frame& frame, const std::vector<std::array<float, 2>>& profile, int segments,
                    bool closedProfile, float a0, float a1) {
    segments = steps(segments);
    const bool whole = std::fabs(a1 - a0 - 2.0f * PI) < 1e-4f;
    std::vector<Ring> rings;
    for (const auto& [radius, height] : profile) {
        Ring ring;
        ring.closed = whole;
        if (radius < 1e-6f) {
            ring.points.push_back(frame.point({0.0f, 0.0f, height}));
        } else {
            const int count = whole ? segments : segments + 1;
            for (int k = 0; k < count; ++k) {
                float a = a0 + (a1 - a0) * float(k) / float(segments);
                ring.points.push_back(frame.point({std::cos(a) * radius, std::sin(a) * radius, height}));
            }
        }
        rings.push_back(ring);
    }
    const size_t first = m_points.size();
    loft(rings, false, false, closedProfile);
    if (whole || !closedProfile) return;
    // The cut ends of a part turn: each end ring's first (or last) point, in profile order.
    std::vector<uint32_t> start, end;
    uint32_t at = uint32_t(first);
    for (const Ring& ring : rings) {
        start.push_back(at);
        end.push_back(at + uint32_t(ring.points.size()) - 1);
        at += uint32_t(ring.points.size());
    }
    addFace(start);
    addFace(std::vector<uint32_t>(end.rbegin(), end.rend()));
}

void Shape::ellipsoid(const Frame& frame, Vec3 radii, int segments, int stacks) {
    segments = steps(segments);
    stacks = steps(stacks, 2);
    std::vector<Ring> rings;
    for (int k = 0; k <= stacks; ++k) {
        float phi = PI * float(k) / float(stacks);
        Frame level = frame;
        level.origin = frame.point({0.0f, 0.0f, -radii[2] * std::cos(phi)});
        if (k == 0 || k == stacks) rings.push_back(Ring{{level.origin}, {}, true});
        else rings.push_back(superellipse(level, radii[0] * std::sin(phi), radii[1] * std::sin(phi), 2.0f, segments));
    }
    loft(rings, false, false);
}

void Shape::tube(const std::vector<Vec3>& path, const std::vector<float>& radii, int sides) {
    const size_t n = path.size();
    if (n < 2 || radii.size() != n) return;
    sides = steps(sides);
    std::vector<Ring> rings;
    Vec3 side{};
    for (size_t i = 0; i < n; ++i) {
        Vec3 d = normalised(path[std::min(i + 1, n - 1)] - path[i == 0 ? 0 : i - 1]);
        // Carried along the path so the tube does not twist.
        if (i == 0) side = Frame::along(path[0], d).x;
        side = normalised(side - d * dot(d, side));
        Frame f{path[i], side, cross(d, side), d};
        rings.push_back(superellipse(f, radii[i], radii[i], 2.0f, sides));
    }
    loft(rings, true, true);
}

void Shape::torus(const Frame& frame, float major, float minor, int segments, int sides) {
    sides = steps(sides);
    std::vector<std::array<float, 2>> circle;
    for (int k = 0; k < sides; ++k) {
        float a = 2.0f * PI * float(k) / float(sides);
        circle.push_back({major + minor * std::cos(a), minor * std::sin(a)});
    }
    revolve(frame, circle, segments, true);
}

Shape Shape::withoutHiddenFaces(const std::vector<Lwo2Surface>& surfaces) const {
    const std::vector<bool> hidden = HiddenFaces::find(m_points, m_pointWeights, m_faces, m_faceSurfaces, surfaces);
    Shape kept = *this;
    kept.m_faces.clear();
    kept.m_faceSurfaces.clear();
    for (size_t i = 0; i < m_faces.size(); ++i)
        if (!hidden[i]) kept.m_faces.push_back(m_faces[i]), kept.m_faceSurfaces.push_back(m_faceSurfaces[i]);
    return kept;
}

Lwo2Layer Shape::layer(uint16_t number, const std::string& name, Vec3 pivot) const {
    Lwo2Layer layer;
    layer.number = number;
    layer.name = name;
    layer.pivot = toArray(pivot);
    for (const Vec3& p : m_points) layer.points.push_back(toArray(p));
    Lwo2PolygonList faces;
    Lwo2PolygonTags tags;
    for (size_t i = 0; i < m_faces.size(); ++i) {
        faces.polygons.push_back({m_faces[i], 0});
        tags.tags.push_back({uint32_t(i), m_faceSurfaces[i]});
    }
    layer.polygonLists.push_back(faces);
    layer.polygonTags.push_back(tags);
    std::map<std::string, Lwo2VertexMap> maps;
    for (size_t p = 0; p < m_pointWeights.size(); ++p)
        for (const auto& [map, weight] : m_pointWeights[p]) {
            Lwo2VertexMap& vmap = maps[map];
            vmap.type = "WGHT";
            vmap.name = map;
            vmap.dimension = 1;
            vmap.entries.push_back({uint32_t(p), 0, {weight}});
        }
    for (auto& entry : maps) layer.vertexMaps.push_back(entry.second);
    return layer;
}
