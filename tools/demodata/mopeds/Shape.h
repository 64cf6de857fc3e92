#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/demodata/mopeds/Frame.h"
#include "tools/lightwave/Lwo2Object.h"

// Bone weight maps a point belongs to, by name and weight.
using Weights = std::vector<std::pair<std::string, float>>;

// A loop of points around a sweep, in right-hand order about the direction
// the sweep goes on in; one point is a pole. An open ring is a strip's edge.
struct Ring {
    std::vector<Vec3> points;
    Weights weights;
    bool closed = true;
};

// A superellipse in the frame's xy plane (exponent 2 an ellipse, higher
// squarer), right-hand about the frame's z axis, starting on its x axis.
Ring superellipse(const Frame& frame, float halfWidth, float halfHeight, float exponent, int count);
// Points along a Catmull-Rom curve through `points`, `steps` per span.
std::vector<Vec3> smoothPath(const std::vector<Vec3>& points, int steps);

// One layer of a demo object built from parts. Every face is written so that
// (p1 - p0) x (p2 - p0) points out of its part, which is the side the
// renderer shows and lights.
class Shape {
public:
    // Parts added from now on carry this surface (an index into the tags).
    void setSurface(uint16_t tag) { m_surface = tag; }
    // Points added from now on belong to these weight maps.
    void setWeights(Weights weights) { m_weights = std::move(weights); }
    // A coarse shape goes round its round parts in half the steps: an object's
    // far level, where the full count shows no more than half of it.
    void setCoarse(bool coarse) { m_coarse = coarse; }
    // `full` steps round, or in a coarse shape half as many, at least `least`.
    int steps(int full, int least = 3) const { return m_coarse ? std::max(least, full / 2) : full; }

    uint32_t addPoint(Vec3 p);
    void addFace(std::vector<uint32_t> corners);

    // A box of the given half sizes centred on the frame's origin.
    void box(const Frame& frame, Vec3 half);
    // Rings joined in order; a flat cap closes an end ring that has more than
    // one point; `loop` joins the last ring back to the first.
    void loft(const std::vector<Ring>& rings, bool capStart, bool capEnd, bool loop = false);
    // A profile of (radius, height) points turned about the frame's z axis
    // from angle a0 to a1 (radians, from x towards y). The solid lies to the
    // left of the profile's way in the (radius, height) plane; a closed
    // profile runs anticlockwise there. Points of radius 0 become poles.
    void revolve(const Frame& frame, const std::vector<std::array<float, 2>>& profile, int segments,
                 bool closedProfile = false, float a0 = 0.0f, float a1 = 2.0f * PI);
    void ellipsoid(const Frame& frame, Vec3 radii, int segments, int stacks);
    // A round tube along a path with a radius per path point, capped.
    void tube(const std::vector<Vec3>& path, const std::vector<float>& radii, int sides);
    void tube(const std::vector<Vec3>& path, float radius, int sides) {
        tube(path, std::vector<float>(path.size(), radius), sides);
    }
    void rod(Vec3 from, Vec3 to, float radius, int sides) { tube({from, to}, {radius, radius}, sides); }
    // A ring of `minor` radius about a circle of `major` radius round the frame's z axis.
    void torus(const Frame& frame, float major, float minor, int segments, int sides);

    // The layer: points, faces, their surfaces and one weight map per bone.
    Lwo2Layer layer(uint16_t number, const std::string& name, Vec3 pivot) const;
    // The same shape less the faces hidden inside its other parts; the points
    // all stay, so the object's bounds do too. `surfaces` by surface tag.
    Shape withoutHiddenFaces(const std::vector<Lwo2Surface>& surfaces) const;

private:
    std::vector<uint32_t> addRing(const Ring& ring);

    uint16_t m_surface = 0;
    bool m_coarse = false;
    Weights m_weights;
    std::vector<Vec3> m_points;
    std::vector<Weights> m_pointWeights;
    std::vector<std::vector<uint32_t>> m_faces;
    std::vector<uint16_t> m_faceSurfaces;
};
