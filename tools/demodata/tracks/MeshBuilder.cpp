#include "tools/demodata/tracks/MeshBuilder.h"

#include <algorithm>
#include <cmath>

#include "tools/lightwave/Lwo2Writer.h"
#include "sys/Pi.h"

namespace {

// Farther than this off the plane of its first three corners, a quad is cut in two.
constexpr float FLATNESS = 1e-4f;
const char* UV_MAP = "uv";
const char* SHADE_MAP = "shade";

Vec3 normalOf(Vec3 a, Vec3 b, Vec3 c) { return cross(b - a, c - a); }

// Turns a point about the y axis by a heading.
Vec3 turned(Vec3 v, float heading) {
    float c = std::cos(heading), s = std::sin(heading);
    return {v.x * c + v.z * s, v.y, -v.x * s + v.z * c};
}

// Planar texture coordinates on a face: its two in-plane axes chosen by the normal.
void planarUv(MeshBuilder::Corner& corner, Vec3 normal, float texel) {
    Vec3 n{std::fabs(normal.x), std::fabs(normal.y), std::fabs(normal.z)};
    const Vec3& p = corner.p;
    if (n.y >= n.x && n.y >= n.z) {
        corner.u = p.x / texel;
        corner.v = p.z / texel;
    } else if (n.x >= n.z) {
        corner.u = p.z / texel;
        corner.v = -p.y / texel;
    } else {
        corner.u = p.x / texel;
        corner.v = -p.y / texel;
    }
}

} // namespace

uint16_t MeshBuilder::surface(const SurfaceLook& look) {
    for (size_t i = 0; i < m_surfaces.size(); ++i)
        if (m_surfaces[i].name == look.name) return static_cast<uint16_t>(i);
    m_surfaces.push_back(look);
    return static_cast<uint16_t>(m_surfaces.size() - 1);
}

int MeshBuilder::layer(const std::string& name, Vec3 pivot) {
    m_layers.push_back({name, pivot, {}, {}, {}, {}});
    m_current = static_cast<int>(m_layers.size()) - 1;
    return m_current;
}

bool MeshBuilder::layerEmpty(int layer) const { return m_layers[layer].polygons.empty(); }

MeshBuilder::Layer& MeshBuilder::current() {
    if (m_current < 0) layer("layer");
    return m_layers[m_current];
}

uint32_t MeshBuilder::add(const Corner& c) {
    Layer& l = current();
    l.points.push_back(c);
    return static_cast<uint32_t>(l.points.size() - 1);
}

void MeshBuilder::triangle(uint16_t surface, const Corner& a, const Corner& b, const Corner& c) {
    if (length(normalOf(a.p, b.p, c.p)) < 1e-9f) return;
    uint32_t ia = add(a), ib = add(b), ic = add(c);
    Layer& l = current();
    l.polygons.push_back({ia, ib, ic, 0});
    l.sizes.push_back(3);
    l.surfaces.push_back(surface);
}

void MeshBuilder::quad(uint16_t surface, const Corner& a, const Corner& b, const Corner& c, const Corner& d) {
    Vec3 n = normalOf(a.p, b.p, c.p);
    float off = length(n) > 0.0f ? std::fabs(dot(d.p - a.p, normalised(n))) : 1.0f;
    if (off > FLATNESS) {
        triangle(surface, a, b, c);
        triangle(surface, a, c, d);
        return;
    }
    uint32_t ia = add(a), ib = add(b), ic = add(c), id = add(d);
    Layer& l = current();
    l.polygons.push_back({ia, ib, ic, id});
    l.sizes.push_back(4);
    l.surfaces.push_back(surface);
}

void MeshBuilder::quadFacing(uint16_t surface, Vec3 outward, Corner a, Corner b, Corner c, Corner d) {
    // Clockwise seen from the front: (b - a) x (c - a) points at the viewer.
    Vec3 n = normalOf(a.p, b.p, c.p) + normalOf(a.p, c.p, d.p);
    if (dot(n, outward) < 0.0f)
        quad(surface, d, c, b, a);
    else
        quad(surface, a, b, c, d);
}

void MeshBuilder::box(uint16_t surface, Vec3 centre, Vec3 size, float heading, float texel, Picture::Rgb shade) {
    const Vec3 h = size * 0.5f;
    auto corner = [&](float sx, float sy, float sz) {
        Corner c;
        c.p = centre + turned({sx * h.x, sy * h.y, sz * h.z}, heading);
        c.shade = shade;
        return c;
    };
    const float signs[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const auto& f : signs) {
        // Two in-plane axes of this face, each corner at +-1 along them.
        int axis = f[0] != 0.0f ? 0 : f[1] != 0.0f ? 1 : 2;
        int u = (axis + 1) % 3, v = (axis + 2) % 3;
        Corner cs[4];
        const float du[4] = {-1, 1, 1, -1}, dv[4] = {-1, -1, 1, 1};
        for (int k = 0; k < 4; ++k) {
            float p[3] = {0, 0, 0};
            p[axis] = f[axis];
            p[u] = du[k];
            p[v] = dv[k];
            cs[k] = corner(p[0], p[1], p[2]);
        }
        Vec3 outward = turned({f[0], f[1], f[2]}, heading);
        for (Corner& c : cs) planarUv(c, outward, texel);
        quadFacing(surface, outward, cs[0], cs[1], cs[2], cs[3]);
    }
}

void MeshBuilder::cylinder(uint16_t surface, Vec3 base, float radius, float height, int sides, float texel) {
    const float around = 2.0f * PI * radius;
    for (int i = 0; i < sides; ++i) {
        float a0 = 2.0f * PI * i / sides, a1 = 2.0f * PI * (i + 1) / sides;
        Vec3 d0{std::sin(a0), 0.0f, std::cos(a0)}, d1{std::sin(a1), 0.0f, std::cos(a1)};
        float u0 = around * i / sides / texel, u1 = around * (i + 1) / sides / texel;
        Corner b0{base + d0 * radius, u0, 0.0f}, b1{base + d1 * radius, u1, 0.0f};
        Corner t0{base + d0 * radius + Vec3{0, height, 0}, u0, -height / texel};
        Corner t1{base + d1 * radius + Vec3{0, height, 0}, u1, -height / texel};
        quadFacing(surface, normalised(d0 + d1), b0, b1, t1, t0);
        Corner centre{base + Vec3{0, height, 0}, base.x / texel, base.z / texel};
        Corner c0 = t0, c1 = t1;
        planarUv(c0, {0, 1, 0}, texel);
        planarUv(c1, {0, 1, 0}, texel);
        if (normalOf(centre.p, c0.p, c1.p).y < 0.0f)
            triangle(surface, centre, c1, c0);
        else
            triangle(surface, centre, c0, c1);
    }
}

void MeshBuilder::panel(uint16_t surface, Vec3 centre, float width, float length, float heading, float texel) {
    const float hw = width * 0.5f, hl = length * 0.5f;
    Corner cs[4];
    const float sx[4] = {-1, 1, 1, -1}, sz[4] = {-1, -1, 1, 1};
    for (int k = 0; k < 4; ++k) {
        cs[k].p = centre + turned({sx[k] * hw, 0.0f, sz[k] * hl}, heading);
        // Texture axes follow the panel, v along its length.
        cs[k].u = (sx[k] + 1.0f) * hw / texel;
        cs[k].v = (1.0f - sz[k]) * hl / texel;
    }
    quadFacing(surface, {0, 1, 0}, cs[0], cs[1], cs[2], cs[3]);
}

void MeshBuilder::ribbon(uint16_t surface, const Centreline& line, float s0, float s1, Edge leftEdge,
                         Edge rightEdge, float lift, float uLength, float vLength, float step, int across) {
    const int count = std::max(1, static_cast<int>(std::ceil((s1 - s0) / step)));
    // Strip k's corner on its left (i = k) or right (i = k + 1) side.
    auto corner = [&](const Centreline::Frame& f, float s, int i) {
        const float half = f.width * 0.5f;
        const float left = leftEdge.at(half), right = rightEdge.at(half);
        const float t = static_cast<float>(i) / static_cast<float>(across);
        const float lateral = left + (right - left) * t;
        Corner c;
        c.p = f.across(lateral) + Vec3{0.0f, lift, 0.0f};
        c.u = uLength > 0.0f ? (lateral - left) / uLength : t;
        c.v = -s / vLength;
        return c;
    };
    Centreline::Frame prev = line.at(s0);
    float prevS = s0;
    for (int i = 1; i <= count; ++i) {
        float s = s0 + (s1 - s0) * static_cast<float>(i) / static_cast<float>(count);
        Centreline::Frame f = line.at(s);
        for (int k = 0; k < across; ++k)
            quadFacing(surface, {0, 1, 0}, corner(prev, prevS, k), corner(prev, prevS, k + 1), corner(f, s, k + 1),
                       corner(f, s, k));
        prev = f;
        prevS = s;
    }
}

void MeshBuilder::wallAlong(uint16_t surface, const Centreline& line, float s0, float s1, Edge place,
                            float height, float thickness, float base, float texel, float step) {
    const int count = std::max(1, static_cast<int>(std::ceil((s1 - s0) / step)));
    struct Section {
        Vec3 p[4]{}; // inner bottom, inner top, outer top, outer bottom
        Vec3 right{};
        float s;
    };
    auto section = [&](float s) {
        Centreline::Frame f = line.at(s);
        const float lateral = place.at(f.width * 0.5f);
        Vec3 a = f.across(lateral - thickness * 0.5f), b = f.across(lateral + thickness * 0.5f);
        Section out;
        out.p[0] = a - Vec3{0, base, 0};
        out.p[1] = a + Vec3{0, height, 0};
        out.p[2] = b + Vec3{0, height, 0};
        out.p[3] = b - Vec3{0, base, 0};
        out.right = f.right;
        out.s = s;
        return out;
    };
    auto corner = [&](Vec3 p, float s) { return Corner{p, s / texel, -p.y / texel}; };
    Section prev = section(s0);
    for (int i = 1; i <= count; ++i) {
        Section next = section(s0 + (s1 - s0) * static_cast<float>(i) / static_cast<float>(count));
        Vec3 side = normalised(prev.right + next.right);
        for (int k = 0; k < 3; ++k) {
            // Faces inner (towards -right), top, outer.
            Vec3 outward = k == 0 ? side * -1.0f : k == 1 ? Vec3{0, 1, 0} : side;
            quadFacing(surface, outward, corner(prev.p[k], prev.s), corner(prev.p[k + 1], prev.s),
                       corner(next.p[k + 1], next.s), corner(next.p[k], next.s));
        }
        prev = next;
    }
    if (std::fabs(s1 - s0 - line.length()) < 1e-3f) return;
    for (const Section& end : {section(s0), prev}) {
        Vec3 along = line.at(end.s).forward * (end.s == s0 ? -1.0f : 1.0f);
        Corner cs[4];
        for (int k = 0; k < 4; ++k) {
            cs[k].p = end.p[k];
            planarUv(cs[k], along, texel);
        }
        quadFacing(surface, along, cs[0], cs[1], cs[2], cs[3]);
    }
}

void MeshBuilder::prism(uint16_t surface, const std::vector<Vec3>& outline, float y0, float y1, float texel) {
    Vec3 centre{};
    for (const Vec3& p : outline) centre = centre + p * (1.0f / static_cast<float>(outline.size()));
    const size_t n = outline.size();
    float along = 0.0f;
    for (size_t i = 0; i < n; ++i) {
        Vec3 a = outline[i], b = outline[(i + 1) % n];
        float length = ::length(Vec3{b.x - a.x, 0, b.z - a.z});
        Vec3 mid = (a + b) * 0.5f;
        Vec3 outward{mid.x - centre.x, 0.0f, mid.z - centre.z};
        Corner c0{{a.x, y0, a.z}, along / texel, -y0 / texel}, c1{{b.x, y0, b.z}, (along + length) / texel, -y0 / texel};
        Corner c2{{b.x, y1, b.z}, (along + length) / texel, -y1 / texel}, c3{{a.x, y1, a.z}, along / texel, -y1 / texel};
        quadFacing(surface, outward, c0, c1, c2, c3);
        along += length;
    }
    for (size_t i = 1; i + 1 < n; ++i) {
        Corner a{{outline[0].x, y1, outline[0].z}}, b{{outline[i].x, y1, outline[i].z}};
        Corner c{{outline[i + 1].x, y1, outline[i + 1].z}};
        for (Corner* k : {&a, &b, &c}) planarUv(*k, {0, 1, 0}, texel);
        if (normalOf(a.p, b.p, c.p).y < 0.0f)
            triangle(surface, a, c, b);
        else
            triangle(surface, a, b, c);
    }
}

Lwo2Object MeshBuilder::object() const {
    Lwo2Object object;
    for (const SurfaceLook& look : m_surfaces) object.tags.push_back(look.name);
    for (size_t i = 0; i < m_layers.size(); ++i) {
        const Layer& source = m_layers[i];
        Lwo2Layer out;
        out.number = static_cast<uint16_t>(i);
        out.name = source.name;
        out.pivot = toArray(source.pivot);
        Lwo2VertexMap uv{"TXUV", UV_MAP, false, std::nullopt, {}};
        Lwo2VertexMap shade{"RGB ", SHADE_MAP, false, std::nullopt, {}};
        // Point colours stand in for the surface colour where a surface draws them, so they carry both.
        std::vector<Rgb> colours(source.points.size(), Rgb{1.0f, 1.0f, 1.0f});
        out.points.reserve(source.points.size());
        uv.entries.reserve(source.points.size());
        shade.entries.reserve(source.points.size());
        for (size_t k = 0; k < source.polygons.size(); ++k)
            for (uint8_t j = 0; j < source.sizes[k]; ++j) colours[source.polygons[k][j]] = m_surfaces[source.surfaces[k]].colour;
        for (size_t k = 0; k < source.points.size(); ++k) {
            const Corner& c = source.points[k];
            out.points.push_back(toArray(c.p));
            uv.entries.push_back({static_cast<uint32_t>(k), 0, {c.u, c.v}});
            shade.entries.push_back({static_cast<uint32_t>(k), 0,
                                     {c.shade.r * colours[k].r, c.shade.g * colours[k].g, c.shade.b * colours[k].b}});
        }
        if (!source.points.empty()) {
            out.vertexMaps.push_back(std::move(uv));
            out.vertexMaps.push_back(std::move(shade));
        }
        Lwo2PolygonList faces;
        Lwo2PolygonTags tags;
        faces.polygons.reserve(source.polygons.size());
        tags.tags.reserve(source.polygons.size());
        for (size_t k = 0; k < source.polygons.size(); ++k) {
            const auto& p = source.polygons[k];
            faces.polygons.push_back({std::vector<uint32_t>(p.begin(), p.begin() + source.sizes[k])});
            tags.tags.push_back({static_cast<uint32_t>(k), source.surfaces[k]});
        }
        out.polygonLists.push_back(std::move(faces));
        out.polygonTags.push_back(std::move(tags));
        object.layers.push_back(std::move(out));
    }
    // One clip per texture, numbered from 1 in order of first use.
    std::vector<std::string> images;
    for (const SurfaceLook& look : m_surfaces) {
        Lwo2Surface surface;
        surface.name = look.name;
        surface.color = Lwo2ColorValue{{look.colour.r, look.colour.g, look.colour.b}, 0};
        surface.values = {{"DIFF", {look.diffuse, 0}}, {"LUMI", {look.luminosity, 0}}, {"SPEC", {look.specular, 0}}};
        if (look.smoothing > 0.0f) surface.smoothingAngle = look.smoothing;
        if (look.doubleSided) surface.sidedness = 3;
        if (look.vertexColours) surface.vertexColors.push_back({{1.0f, 0}, "RGB ", SHADE_MAP});
        if (!look.texture.empty()) {
            auto found = std::find(images.begin(), images.end(), look.texture);
            if (found == images.end()) found = images.insert(images.end(), look.texture);
            Lwo2Block block;
            block.textureMap = Lwo2TextureMap{};
            block.textureMap->size = Lwo2TextureVector{{1.0f, 1.0f, 1.0f}};
            block.projection = 5;
            block.image = static_cast<uint16_t>(found - images.begin() + 1);
            block.wrap = std::array<uint16_t, 2>{1, 1};
            block.vertexMap = UV_MAP;
            surface.blocks.push_back(block);
        }
        object.surfaces.push_back(surface);
    }
    for (size_t i = 0; i < images.size(); ++i) {
        Lwo2Clip clip;
        clip.index = static_cast<uint32_t>(i + 1);
        clip.still = images[i];
        object.clips.push_back(clip);
    }
    return object;
}

std::string MeshBuilder::bytes() const {
    Lwo2Writer writer;
    writer.writeObject(object());
    std::vector<uint8_t> data = writer.bytes();
    return std::string(data.begin(), data.end());
}
