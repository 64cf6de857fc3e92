#pragma once
#include "engine/platform/images/Texture.h"

// What a gradient reads of its texture layer: the input range and four values
// whose envelopes run over the input.
class GradientSource {
public:
    virtual ~GradientSource() = default;
    virtual float getGradientStart() const = 0;
    virtual float getGradientEnd() const = 0;
    // Index 0 to 3: red, green, blue, alpha (red also gives the alpha of a transparency layer).
    virtual AnimatedValue& getGradientValue(int index) = 0;
    // The layer drives the surface's transparency channel ('TRAN').
    virtual bool isTransparencyChannel() const = 0;
};

// A 1024 x 1 lookup texture sampled from a gradient layer, the end of its range at texel 0.
class GradientTexture : public Texture {
public:
    GradientTexture(DeviceList* owner, GradientSource* layer);
    GradientTexture(const GradientTexture& other) = default;

    std::unique_ptr<Texture> clone() override;
    // Builds the lookup texture again on every call, releasing the earlier one.
    void load() override { build(); }
    void build();
    int32_t typeId() const override { return GRADIENT; }

    GradientSource* getLayer() const { return m_layer; }

private:
    GradientSource* m_layer;
};
