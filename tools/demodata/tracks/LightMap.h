#pragma once
#include <vector>

#include "tools/demodata/tracks/Picture.h"
#include "tools/demodata/tracks/Vec3.h"

// Paints a track's illumination map: grey 128 is neutral (the race doubles
// the value, so 128 tints by 1.0), darker in shade and under roofs, warmer or
// brighter under lamps. Shapes are given in world x, z; edges are soft.
class LightMap {
public:
    // Base level 0..1 (0.5 neutral) and its tint.
    explicit LightMap(float level = 0.5f, Picture::Rgb tint = {1.0f, 1.0f, 1.0f});

    // Rectangle x0..x1, z0..z1 at `level`, blending over `soft` units at its edges.
    void rectangle(float x0, float z0, float x1, float z1, float level, float soft = 4.0f);
    // A disc (lamp pool or tree shade) at `level`, fading out to its radius.
    void disc(float x, float z, float radius, float level, Picture::Rgb tint = {1.0f, 1.0f, 1.0f});

    // The tint at a world point (0.5 grey neutral), as the picture holds it.
    Picture::Rgb at(float x, float z) const;
    // The 1024 x 1024 picture.
    Picture picture() const;

private:
    struct Shape {
        bool isDisc;
        float a, b, c, d; // rectangle x0 z0 x1 z1, or disc x z radius
        float level;
        float soft;
        Picture::Rgb tint;
    };
    float m_level;
    Picture::Rgb m_tint;
    std::vector<Shape> m_shapes;
};
