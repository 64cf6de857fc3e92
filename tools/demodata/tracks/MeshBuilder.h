#pragma once
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/demodata/tracks/Centreline.h"
#include "tools/demodata/tracks/Picture.h"
#include "tools/demodata/tracks/Vec3.h"
#include "tools/lightwave/Lwo2Object.h"

// How a surface looks through the fixed-function renderer: colour, lighting
// values and an optional texture drawn through the "uv" map (projection 5).
struct SurfaceLook {
    std::string name;
    Picture::Rgb colour{0.8f, 0.8f, 0.8f};
    float diffuse = 1.0f;
    float luminosity = 0.0f; // self-lit part: lamps, signs, glowing pick-ups
    float specular = 0.0f;
    // Clip name of the texture (TrackTextures::clipName), empty for none.
    std::string texture;
    bool doubleSided = false;
    // Smooth shading across edges below this angle (radians); flat when 0.
    float smoothing = 0.0f;
    // Colour each corner by the surface colour times its baked shade (the
    // light map and any shade given), instead of the plain surface colour.
    bool vertexColours = false;
};

// Builds one LWO2 object: layers of points and polygons with named surfaces,
// a "uv" texture map and optional point colours ("shade"). Every polygon
// gets its own points, so UVs and colours never share a seam. Polygons are
// written as triangles and convex quads only, so nothing depends on how the
// loader cuts n-gons; quads that are not flat are split into two triangles.
// Winding: corners go clockwise seen from the side the face shows (LightWave).
class MeshBuilder {
public:
    // A corner: position, texture coordinates and colour (1, 1, 1 = unshaded).
    struct Corner {
        Vec3 p{};
        float u = 0.0f, v = 0.0f;
        Picture::Rgb shade{1.0f, 1.0f, 1.0f};
    };

    // Registers a surface (by name: the same name gives the same index).
    uint16_t surface(const SurfaceLook& look);
    // Starts a new layer; later polygons go into it. Returns its layer number
    // as `getObject` and the scene's LoadObjectLayer (minus 1) count it.
    int layer(const std::string& name, Vec3 pivot = {});
    // Makes an earlier layer the one later polygons go into.
    void select(int layer) { m_current = layer; }
    int currentLayer() const { return m_current; }
    bool layerEmpty(int layer) const;
    int layerCount() const { return static_cast<int>(m_layers.size()); }
    // Multiplies the shade of every corner of a layer by a function of its position.
    template <typename F> void shadeLayer(int layer, F&& shadeAt) {
        for (Corner& c : m_layers[layer].points) {
            Picture::Rgb k = shadeAt(c.p);
            c.shade = {c.shade.r * k.r, c.shade.g * k.g, c.shade.b * k.b};
        }
    }

    void triangle(uint16_t surface, const Corner& a, const Corner& b, const Corner& c);
    void quad(uint16_t surface, const Corner& a, const Corner& b, const Corner& c, const Corner& d);
    // The same, turned round when needed so that the face shows towards `outward`.
    void quadFacing(uint16_t surface, Vec3 outward, Corner a, Corner b, Corner c, Corner d);

    // Shapes. `texel` is world units per texture repeat (planar mapping from
    // the faces' own axes). Boxes are closed; `heading` turns them about y.
    void box(uint16_t surface, Vec3 centre, Vec3 size, float heading = 0.0f, float texel = 4.0f,
             Picture::Rgb shade = {1.0f, 1.0f, 1.0f});
    // An upright cylinder from `base` up `height`, with `sides` faces and a top cap.
    void cylinder(uint16_t surface, Vec3 base, float radius, float height, int sides, float texel = 4.0f);
    // A flat rectangle facing up, centred, turned by heading.
    void panel(uint16_t surface, Vec3 centre, float width, float length, float heading, float texel = 4.0f);
    // A lateral place on the road: `fraction` of the half width (-1 the
    // left edge, +1 the right) plus `offset` units (right positive), so it
    // follows a road whose width changes.
    struct Edge {
        float fraction = 0.0f;
        float offset = 0.0f;
        float at(float halfWidth) const { return fraction * halfWidth + offset; }
    };
    // A strip following the centreline from s0 to s1 (s1 may pass the lap
    // end) between two lateral places, `lift` above the road surface, facing
    // up. u runs across from the left place, `uLength` world units per repeat
    // (0: u 0..1 over the strip); v runs along, `vLength` units per repeat.
    // `across` strips side by side give the baked shade points inside the strip too.
    void ribbon(uint16_t surface, const Centreline& line, float s0, float s1, Edge left, Edge right, float lift,
                float uLength, float vLength, float step = 2.0f, int across = 1);
    // A wall along the centreline: a box section of `thickness` centred at a
    // lateral place, from `base` below to `height` above the road surface.
    void wallAlong(uint16_t surface, const Centreline& line, float s0, float s1, Edge place, float height,
                   float thickness, float base = 0.5f, float texel = 4.0f, float step = 2.0f);
    // A closed outline (plan, x/z pairs, clockwise seen from above) extruded
    // from y0 to y1: walls outward and a top cap (the cap is cut into a fan
    // from its first corner, so give convex outlines).
    void prism(uint16_t surface, const std::vector<Vec3>& outline, float y0, float y1, float texel = 4.0f);

    // A flat floor (facing up) or ceiling (facing down) at height y over
    // x0..x1, z0..z1 in square cells of `cell` units, so the baked shade has
    // points to vary over; cells whose centre `keep` refuses are left out.
    template <typename Keep>
    void grid(uint16_t surface, float x0, float z0, float x1, float z1, float y, float cell, bool up, float texel,
              Keep&& keep) {
        for (float z = z0; z < z1 - 1e-3f; z += cell)
            for (float x = x0; x < x1 - 1e-3f; x += cell) {
                const float xe = std::min(x + cell, x1), ze = std::min(z + cell, z1);
                if (!keep((x + xe) * 0.5f, (z + ze) * 0.5f)) continue;
                Corner c[4] = {{{x, y, z}, x / texel, -z / texel},
                               {{xe, y, z}, xe / texel, -z / texel},
                               {{xe, y, ze}, xe / texel, -ze / texel},
                               {{x, y, ze}, x / texel, -ze / texel}};
                quadFacing(surface, {0.0f, up ? 1.0f : -1.0f, 0.0f}, c[0], c[1], c[2], c[3]);
            }
    }

    Lwo2Object object() const;
    std::string bytes() const;

private:
    struct Layer {
        std::string name;
        Vec3 pivot{};
        std::vector<Corner> points;
        std::vector<std::array<uint32_t, 4>> polygons; // a triangle repeats no point: count in `sizes`
        std::vector<uint8_t> sizes;
        std::vector<uint16_t> surfaces;
    };
    Layer& current();
    uint32_t add(const Corner& c);

    std::vector<SurfaceLook> m_surfaces;
    std::vector<Layer> m_layers;
    int m_current = -1;
};
