#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/platform/Math3D.h"
#include "engine/platform/Ref.h"
#include "engine/platform/animation/AnimatedValue.h"
#include "engine/platform/images/GradientTexture.h"
#include "engine/scene/materials/LWOId.h"

class VertexMap;

// One texture block of a surface (BLOK or VCOL): the channel it modulates, how
// strongly, through which projection and texture matrix, with which texture.
// The layer owns the envelopes of its values and its vertex-map references;
// the texture belongs to the resource pool.
class TextureLayer : public GradientSource {
public:
    static constexpr uint32_t KIND_IMAGE = lwoId("IMAP");
    static constexpr uint32_t KIND_PROCEDURAL = lwoId("PROC");
    static constexpr uint32_t KIND_GRADIENT = lwoId("GRAD");
    static constexpr uint32_t KIND_VERTEX_COLOUR = lwoId("vcol");
    static constexpr uint32_t CHANNEL_COLR = lwoId("COLR");
    static constexpr uint32_t CHANNEL_LUMI = lwoId("LUMI");
    static constexpr uint32_t CHANNEL_DIFF = lwoId("DIFF");
    static constexpr uint32_t CHANNEL_REFL = lwoId("REFL");
    static constexpr uint32_t CHANNEL_SPEC = lwoId("SPEC");
    static constexpr uint32_t CHANNEL_TRAN = lwoId("TRAN");
    static constexpr uint32_t CHANNEL_BUMP = lwoId("BUMP");

    enum Projection {
        PROJECT_PLANAR = 0, PROJECT_CYLINDRICAL = 1, PROJECT_SPHERICAL = 2, PROJECT_CUBIC = 3,
        PROJECT_FRONT = 4, PROJECT_UV = 5, PROJECT_SOLID = 0x3364, PROJECT_UV_MATRIX = 0x6D78,
    };
    enum Axis { AXIS_X = 0, AXIS_Y = 1, AXIS_Z = 2 };
    enum OpacityType { OPACITY_MULTIPLY = 3, OPACITY_DISPLACEMENT = 6 };
    enum AddressMode { ADDRESS_WRAP = 1, ADDRESS_MIRROR = 2, ADDRESS_CLAMP = 3, ADDRESS_BORDER = 4 };
    static constexpr int GRADIENT_INPUTS = 15;
    static const char* const GRADIENT_INPUT_NAMES[GRADIENT_INPUTS];

    struct GradientKey {
        float input = 0.0f;
        float output[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        uint32_t interpolation = 1;
    };

    TextureLayer();
    ~TextureLayer() override;
    TextureLayer(const TextureLayer&) = delete;
    TextureLayer& operator=(const TextureLayer&) = delete;

    // The full texture matrix from the values at the time.
    Matrix4x3 computeMatrix(double time);
    // The cached matrix, made at time 0 the first time (without the size for
    // cylindrical and spherical layers, which divide by it themselves).
    const Matrix4x3& getMatrix();
    // Any of centre, rotation or size has an envelope.
    bool hasAnimatedTransform() const;
    // AAST strength quantised to 1, 2, 4 or 8.
    void setAntialiasStrength(float strength);
    // The index of a PNAM name in the gradient inputs; -1 when unknown.
    static int32_t findGradientInput(const std::string& name);
    // The layer's map for an object layer, null when it has none there.
    VertexMap* getUVMap(int objectLayer) const;
    VertexMap* getColourMap(int objectLayer) const;

    float getGradientStart() const override { return m_gradientStart; }
    float getGradientEnd() const override { return m_gradientEnd; }
    AnimatedValue& getGradientValue(int index) override { return m_gradientValues[index & 3]; }
    bool isTransparencyChannel() const override { return m_channel == CHANNEL_TRAN; }

    uint32_t m_kind = 0xFFFFFFFFu;
    uint32_t m_channel = 0xFFFFFFFFu;
    uint32_t m_opacityType = 0;
    AnimatedValue m_opacity;
    float m_rgbLevel = 1.0f;
    float m_rgbOffset = 0.0f;
    bool m_enabled = true;
    bool m_negative = false;
    bool m_clamp = false;
    // Not owned: the resource pool holds it.
    Texture* m_texture = nullptr;
    AnimatedValue m_gradientValues[4];
    std::vector<GradientKey> m_gradientKeys;
    float m_gradientStart = 0.0f;
    float m_gradientEnd = 0.0f;
    int32_t m_gradientInput = -1;
    // First byte of the block's ordinal string.
    int32_t m_ordinal = 0;
    AnimatedValue m_centre[3];
    // Heading, pitch, bank in radians.
    AnimatedValue m_rotation[3];
    AnimatedValue m_size[3];
    float m_wrapWidth = 1.0f;
    float m_wrapHeight = 1.0f;
    int32_t m_axis = AXIS_X;
    int32_t m_projection = -1;
    int32_t m_addressU = ADDRESS_WRAP;
    int32_t m_addressV = ADDRESS_WRAP;
    float m_antialiasStrength = 1.0f;
    bool m_antialiasing = false;
    bool m_pixelBlending = true;
    AnimatedValue m_amplitude;
    bool m_matrixValid = false;
    Matrix4x3 m_matrix;
    // By object layer number; null where that layer has no such map.
    std::vector<Ref<VertexMap>> m_uvMaps;
    std::vector<Ref<VertexMap>> m_colourMaps;

private:
    // Rotation and centre only: no size, no half-texel shift.
    Matrix4x3 rotationMatrix() const;
};
