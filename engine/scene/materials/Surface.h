#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/Math3D.h"
#include "engine/platform/animation/AnimatedValue.h"
#include "engine/scene/materials/TextureStages.h"

class Light;
class MetaScene;
class Texture;
class TextureLayer;

// The material of an object's polygons: one per SURF chunk, shared by name
// within a resource pool. Holds the LightWave surface values, its image
// layers and its vertex-colour layers; the textures belong to the pool.
class Surface {
public:
    enum ReflectionMode { REFLECT_MIRROR = 0, REFLECT_NONE = 1, REFLECT_SPHERICAL = 2 };
    // SMAN angles at or below two degrees leave smoothing off.
    static constexpr double SMOOTHING_THRESHOLD = 0.03490658503988659;

    Surface(MetaScene* owner, const std::string& name);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    void setSourceName(const std::string& name) { m_sourceName = name; }
    const std::string& getSourceName() const { return m_sourceName; }
    const std::string& getName() const { return m_name; }
    MetaScene* getOwner() const { return m_owner; }

    // SMAN: smoothing above two degrees, with the cosine two normals must exceed.
    void setSmoothingAngle(float radians);

    // Enabled 'vcol' layers join the vertex-colour list, other enabled layers
    // with a texture the image list; anything else is dropped at once.
    void addTextureLayer(std::unique_ptr<TextureLayer> layer);
    // The n-th (from 1) enabled, textured image layer of the channel; null when fewer.
    TextureLayer* findTextureLayer(uint32_t channel, int n) const;

    // Colour times colour scale, alpha 1.
    ColorRGBA getColorAt(double time);
    // Additive transparency or transparency not 0 (NaN counts), or a TRAN layer.
    bool isTransparentAt(double time);

    // Picks up to eight layers for the fixed-function stages, with the base colour.
    // A device with fewer stages than eight gets fewer.
    void buildTextureStages(TextureStages& stages, int deviceStages = TextureStages::MAX_STAGES);
    // Diffuse colour of one polygon's vertices from the vertex-colour layer;
    // may raise the stages' modulation shifts so bright colours survive.
    void applyVertexColors(const MeshPolygon& polygon, TextureStages& stages, int objectLayer,
                           MeshVertex* vertices, int firstVertex) const;

    AnimatedValue m_transparency;
    AnimatedValue m_colour[3];
    float m_colourScale[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    AnimatedValue m_luminosity;
    AnimatedValue m_diffuse;
    AnimatedValue m_specularity;
    AnimatedValue m_glossiness;
    AnimatedValue m_additiveTransparency;
    AnimatedValue m_reflectivity;
    AnimatedValue m_refractiveIndex;
    AnimatedValue m_colourHighlights;
    AnimatedValue m_bump;
    bool m_doubleSided = false;
    // Index into the object's surface table of the back-face surface; -1 none.
    int32_t m_backSurfaceTag = -1;
    bool m_smoothing = false;
    float m_smoothingCosine;
    bool m_blended = false;
    int32_t m_reflectionMode = REFLECT_NONE;
    // Not owned: the pool's texture.
    Texture* m_reflectionImage = nullptr;
    // The spot light projecting onto the surface, with its shadow map; not
    // owned, and null while nothing assigns one.
    Light* m_spotLight = nullptr;
    // Set once the SURF chunk has been read; later objects skip it.
    bool m_loaded = false;
    std::vector<std::unique_ptr<TextureLayer>> m_textureLayers;
    std::vector<std::unique_ptr<TextureLayer>> m_vertexColourLayers;

private:
    MetaScene* m_owner;
    std::string m_name;
    std::string m_sourceName;
};
