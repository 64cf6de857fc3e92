#pragma once
#include "engine/platform/images/Texture.h"

// A texture whose 512 x 512 picture is computed: lens-flare elements and the spot cone.
class GeneratedTexture : public Texture {
public:
    static constexpr uint32_t SIDE = 512;

    using Texture::Texture;

    // A copy has no picture of its own.
    std::unique_ptr<Texture> clone() override;
    void load() override {}
    int32_t typeId() const override { return GENERATED; }

    // Kinds 0 to 4; a higher kind commits the picture unfilled and unnamed.
    void buildFlare(int kind);
    // Angles in radians: the cone's half-angle and the width of its soft edge.
    void buildSpot(float brightness, float edgeWidth, float coneAngle);

private:
    template <typename TexelFn>
    void build(const char* name, TexelFn texel, bool fill);
};
