#include "tools/demodata/mopeds/PictureMapping.h"

#include <map>

namespace PictureMapping {
namespace {

Lwo2VertexMap* findMap(Lwo2Layer& layer, bool discontinuous) {
    for (Lwo2VertexMap& m : layer.vertexMaps)
        if (m.type == "TXUV" && m.name == UV_MAP && m.discontinuous == discontinuous) return &m;
    layer.vertexMaps.push_back({"TXUV", UV_MAP, discontinuous, uint16_t(2), {}});
    return &layer.vertexMaps.back();
}

} // namespace

void map(Lwo2Layer& layer, uint16_t surface, const Rule& rule) {
    Lwo2VertexMap& shared = *findMap(layer, false);
    std::map<uint32_t, std::array<float, 2>> given;
    for (const Lwo2MapEntry& e : shared.entries) given[e.point] = {e.values[0], e.values[1]};
    std::vector<Lwo2MapEntry> apart;
    const std::vector<Lwo2Polygon>& faces = layer.polygonLists.at(0).polygons;
    for (const Lwo2PolygonTag& tag : layer.polygonTags.at(0).tags) {
        if (tag.tag != surface) continue;
        const std::vector<uint32_t>& corners = faces[tag.polygon].points;
        if (corners.size() < 3) continue;
        // Newell's normal holds for faces that are not quite flat.
        Vec3 normal{0.0f, 0.0f, 0.0f}, centre{0.0f, 0.0f, 0.0f};
        for (uint32_t point : corners) centre = centre + toPosition(layer.points[point].data()) * (1.0f / float(corners.size()));
        for (size_t i = 0; i < corners.size(); ++i) {
            const Vec3 a = toPosition(layer.points[corners[i]].data()), b = toPosition(layer.points[corners[(i + 1) % corners.size()]].data());
            normal = normal + Vec3{(a[1] - b[1]) * (a[2] + b[2]), (a[2] - b[2]) * (a[0] + b[0]), (a[0] - b[0]) * (a[1] + b[1])};
        }
        normal = normalised(normal);
        for (uint32_t point : corners) {
            const std::array<float, 2> uv = rule(toPosition(layer.points[point].data()), normal, centre);
            auto [at, fresh] = given.emplace(point, uv);
            if (fresh) shared.entries.push_back({point, 0, {uv[0], uv[1]}});
            else if (at->second != uv) apart.push_back({point, tag.polygon, {uv[0], uv[1]}});
        }
    }
    if (!apart.empty()) {
        Lwo2VertexMap& perFace = *findMap(layer, true);
        perFace.entries.insert(perFace.entries.end(), apart.begin(), apart.end());
    }
}

std::string clipName(const std::string& archiveName) {
    std::string name = archiveName;
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

uint16_t addClip(Lwo2Object& object, const std::string& archiveName) {
    object.clips.push_back({});
    Lwo2Clip& clip = object.clips.back();
    clip.index = uint32_t(object.clips.size());
    clip.still = clipName(archiveName);
    return uint16_t(clip.index);
}

void showPicture(Lwo2Object& object, uint16_t surface, uint16_t clip) {
    Lwo2Block block;
    block.textureMap = Lwo2TextureMap{};
    block.textureMap->size = Lwo2TextureVector{{1.0f, 1.0f, 1.0f}};
    block.projection = 5;
    block.image = clip;
    block.wrap = std::array<uint16_t, 2>{1, 1};
    block.vertexMap = UV_MAP;
    Lwo2Surface& s = object.surfaces.at(surface);
    s.color = Lwo2ColorValue{{1.0f, 1.0f, 1.0f}, 0};
    s.blocks.push_back(block);
}

} // namespace PictureMapping
