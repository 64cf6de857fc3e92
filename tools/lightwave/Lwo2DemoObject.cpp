#include "tools/lightwave/Lwo2DemoObject.h"

Lwo2Object lwo2DemoCube() {
    Lwo2Object object;
    object.tags = {"Body", "Lid"};

    Lwo2Layer body;
    body.number = 0;
    body.name = "Body";
    body.points = {{-0.5f, -0.5f, -0.5f}, {0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, -0.5f}, {-0.5f, 0.5f, -0.5f},
                   {-0.5f, -0.5f, 0.5f},  {0.5f, -0.5f, 0.5f},  {0.5f, 0.5f, 0.5f},  {-0.5f, 0.5f, 0.5f}};
    Lwo2PolygonList faces;
    faces.polygons = {{{0, 1, 2, 3}}, {{4, 7, 6, 5}}, {{0, 4, 5, 1}}, {{1, 5, 6, 2}}, {{2, 6, 7, 3}}, {{3, 7, 4, 0}}};
    body.polygonLists.push_back(faces);
    Lwo2PolygonTags surfaces;
    for (uint32_t i = 0; i < 6; ++i) surfaces.tags.push_back({i, static_cast<uint16_t>(i == 4 ? 1 : 0)});
    body.polygonTags.push_back(surfaces);

    Lwo2VertexMap uv{"TXUV", "UVMap", false, std::nullopt, {}};
    for (uint32_t i = 0; i < 8; ++i) uv.entries.push_back({i, 0, {(i & 1) ? 1.0f : 0.0f, (i & 2) ? 1.0f : 0.0f}});
    body.vertexMaps.push_back(uv);
    Lwo2VertexMap weight{"WGHT", "Bend", false, std::nullopt, {}};
    for (uint32_t i = 4; i < 8; ++i) weight.entries.push_back({i, 0, {1.0f}});
    body.vertexMaps.push_back(weight);
    Lwo2VertexMap colors{"RGB ", "Paint", false, std::nullopt, {}};
    for (uint32_t i = 0; i < 8; ++i) colors.entries.push_back({i, 0, {1.0f, i / 8.0f, 0.0f}});
    body.vertexMaps.push_back(colors);
    Lwo2VertexMap seam{"TXUV", "UVMap", true, std::nullopt, {{3, 5, {0.0f, 2.0f}}, {0, 5, {1.0f, 2.0f}}}};
    body.vertexMaps.push_back(seam);
    object.layers.push_back(body);

    Lwo2Layer lid;
    lid.number = 1;
    lid.name = "Lid";
    lid.parent = 0;
    lid.pivot = {0.0f, 0.5f, 0.0f};
    lid.points = {{-0.5f, 0.5f, -0.5f}, {0.5f, 0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}, {-0.5f, 0.5f, 0.5f}, {0.0f, 0.8f, 0.0f}};
    Lwo2PolygonList lidFaces;
    lidFaces.polygons = {{{0, 1, 4}}, {{1, 2, 4}}, {{2, 3, 4}}, {{3, 0, 4}}};
    lid.polygonLists.push_back(lidFaces);
    lid.polygonTags.push_back({"SURF", {{0, 1}, {1, 1}, {2, 1}, {3, 1}}});
    object.layers.push_back(lid);

    Lwo2Envelope glow;
    glow.index = 1;
    glow.type = 2;
    glow.preBehaviour = 1;
    glow.postBehaviour = 1;
    glow.name = "Glow";
    glow.keys = {{0.0f, 0.0f, "TCB ", {0.0f, 0.0f, 0.0f}}, {1.0f, 1.0f, "LINE", {}}};
    object.envelopes.push_back(glow);

    Lwo2Clip image;
    image.index = 1;
    image.still = "images/crate.png";
    object.clips.push_back(image);

    Lwo2Surface crate;
    crate.name = "Body";
    crate.color = Lwo2ColorValue{{0.8f, 0.6f, 0.4f}, 0};
    crate.values = {{"DIFF", {1.0f, 0}}, {"LUMI", {0.0f, 1}}, {"SPEC", {0.2f, 0}}};
    crate.smoothingAngle = 1.5625f;
    Lwo2Block texture;
    texture.textureMap = Lwo2TextureMap{};
    texture.textureMap->size = Lwo2TextureVector{{1.0f, 1.0f, 1.0f}};
    texture.projection = 5;
    texture.image = 1;
    texture.wrap = std::array<uint16_t, 2>{1, 1};
    texture.vertexMap = "UVMap";
    crate.blocks.push_back(texture);
    object.surfaces.push_back(crate);

    Lwo2Surface lidSurface;
    lidSurface.name = "Lid";
    lidSurface.color = Lwo2ColorValue{{0.2f, 0.2f, 0.9f}, 0};
    lidSurface.values = {{"TRAN", {0.5f, 0}}};
    lidSurface.sidedness = 3;
    lidSurface.vertexColors.push_back({{1.0f, 0}, "RGB ", "Paint"});
    object.surfaces.push_back(lidSurface);
    return object;
}
