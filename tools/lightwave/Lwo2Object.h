#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// An LWO2 object in memory, as plain data for Lwo2Writer. Optional members are
// written only when set; the `extra` lists carry raw (also broken) pieces.

// Raw bytes under an id; `declaredSize` replaces the true size when set.
struct Lwo2Raw {
    std::string id;
    std::vector<uint8_t> data;
    std::optional<uint32_t> declaredSize;
};

// A float with the index of the envelope that animates it (0 = none).
struct Lwo2Value {
    float value = 0.0f;
    uint16_t envelope = 0;
};

struct Lwo2Polygon {
    std::vector<uint32_t> points;
    uint16_t flags = 0; // the top 6 bits of the vertex-count field
};

struct Lwo2PolygonList {
    std::string type = "FACE"; // FACE, PTCH, MBAL, PTCL ...
    std::vector<Lwo2Polygon> polygons;
};

struct Lwo2PolygonTag {
    uint32_t polygon = 0;
    uint16_t tag = 0;
};

struct Lwo2PolygonTags {
    std::string type = "SURF"; // SURF, PART, SMGP ...
    std::vector<Lwo2PolygonTag> tags;
};

struct Lwo2MapEntry {
    uint32_t point = 0;
    uint32_t polygon = 0; // VMAD only
    std::vector<float> values;
};

// A VMAP, or a VMAD when `discontinuous` is set.
struct Lwo2VertexMap {
    std::string type = "TXUV"; // TXUV, "RGB ", RGBA, WGHT, MORF, "max " ...
    std::string name;
    bool discontinuous = false;
    std::optional<uint16_t> dimension; // default: the value count of the first entry
    std::vector<Lwo2MapEntry> entries;
};

// One LAYR with the chunks that follow it, written in LightWave's order:
// LAYR, PNTS, VMAP, POLS, PTAG, VMAD, extra.
struct Lwo2Layer {
    uint16_t number = 0;
    uint16_t flags = 0;
    std::array<float, 3> pivot{0.0f, 0.0f, 0.0f};
    std::string name;
    std::optional<uint16_t> parent;
    std::vector<std::array<float, 3>> points;
    std::vector<Lwo2VertexMap> vertexMaps; // non-discontinuous ones go before POLS
    std::vector<Lwo2PolygonList> polygonLists;
    std::vector<Lwo2PolygonTags> polygonTags;
    std::vector<Lwo2Raw> extra;
};

struct Lwo2EnvelopeKey {
    float time = 0.0f;
    float value = 0.0f;
    std::string curve = "TCB "; // "TCB ", HERM, BEZI, BEZ2, LINE, STEP; empty = KEY without SPAN
    std::vector<float> parameters;
};

struct Lwo2Envelope {
    uint16_t index = 0;
    std::optional<uint16_t> type;
    std::optional<uint16_t> preBehaviour;
    std::optional<uint16_t> postBehaviour;
    std::optional<std::string> name;
    std::vector<Lwo2EnvelopeKey> keys;
    std::vector<Lwo2Raw> extra;
};

struct Lwo2ImageSequence {
    uint8_t digits = 3;
    uint8_t flags = 0;
    uint16_t offset = 0;
    uint16_t reserved = 0;
    uint16_t start = 1;
    uint16_t end = 1;
    std::string prefix;
    std::string suffix;
};

struct Lwo2ClipReference {
    uint32_t clip = 0;
    std::string name;
};

struct Lwo2ClipTime {
    float start = 0.0f;
    float duration = 0.0f;
    float rate = 30.0f;
};

// One CLIP: a still, a sequence or a reference, then its settings.
struct Lwo2Clip {
    uint32_t index = 1;
    std::optional<std::string> still;
    std::optional<Lwo2ImageSequence> sequence;
    std::optional<Lwo2ClipReference> reference;
    std::optional<uint32_t> flags;
    std::optional<Lwo2ClipTime> time;
    std::optional<uint16_t> alphaMode;
    std::optional<uint16_t> negative;
    std::optional<Lwo2Value> hue, brightness, contrast, saturation, gamma;
    std::optional<std::string> filter; // IFLT server name
    std::vector<Lwo2Raw> extra;
};

// A TMAP vector: three floats, an envelope flag and, when it is not 0, the
// three channel envelope indices.
struct Lwo2TextureVector {
    std::array<float, 3> value{0.0f, 0.0f, 0.0f};
    uint16_t envelope = 0;
    std::array<uint16_t, 3> channels{0, 0, 0};
};

struct Lwo2TextureMap {
    std::optional<Lwo2TextureVector> center, size, rotation;
    std::optional<std::array<float, 12>> matrix; // "m4x3": four rows of three
    std::vector<Lwo2Raw> extra;
};

struct Lwo2Opacity {
    uint16_t type = 0;
    Lwo2Value value{1.0f, 0};
};

struct Lwo2GradientKey {
    float input = 0.0f;
    std::array<float, 4> rgba{0.0f, 0.0f, 0.0f, 1.0f};
};

// A BLOK: header (IMAP, PROC, GRAD or "vcol") then its entries.
struct Lwo2Block {
    std::string type = "IMAP";
    std::string ordinal = "\x80";
    std::string channel = "COLR";
    std::optional<uint16_t> enabled = 1;
    std::optional<uint16_t> negative;
    std::optional<Lwo2Opacity> opacity;
    std::optional<float> rgbl, rgbo;
    std::optional<uint16_t> clamp;
    std::vector<Lwo2Raw> headerExtra;
    std::optional<Lwo2TextureMap> textureMap;
    std::optional<uint16_t> projection;
    std::optional<uint16_t> axis;
    std::optional<uint16_t> image;
    std::optional<std::array<uint16_t, 2>> wrap; // width, height
    std::optional<Lwo2Value> wrapWidth, wrapHeight;
    std::optional<uint16_t> antialiasFlags;
    float antialiasStrength = 1.0f;
    std::optional<uint16_t> pixelBlending;
    std::optional<std::string> vertexMap;
    std::optional<Lwo2Value> amplitude;
    std::optional<std::string> gradientInput; // PNAM
    std::optional<std::string> itemName;      // INAM
    std::optional<float> gradientStart, gradientEnd;
    std::vector<Lwo2GradientKey> gradientKeys;        // FKEY
    std::vector<uint16_t> gradientInterpolations;     // IKEY
    std::vector<Lwo2Raw> extra;
};

struct Lwo2VertexColor {
    Lwo2Value opacity{1.0f, 0};
    std::string mapType = "RGB ";
    std::string mapName;
};

struct Lwo2ColorValue {
    std::array<float, 3> rgb{1.0f, 1.0f, 1.0f};
    uint16_t envelope = 0;
};

struct Lwo2NamedValue {
    std::string id; // DIFF, LUMI, SPEC, GLOS, REFL, TRAN, ADTR, RIND, CLRH, BUMP
    Lwo2Value value;
};

// A SURF, its sub-chunks in this order: COLR, values, SMAN, SIDE, RFOP, RIMG,
// TIMG, TROP, "back", VCOL, BLOK, extra.
struct Lwo2Surface {
    std::string name;
    std::string source;
    std::optional<Lwo2ColorValue> color;
    std::vector<Lwo2NamedValue> values;
    std::optional<float> smoothingAngle; // radians
    std::optional<uint16_t> sidedness;
    std::optional<uint16_t> reflectionOptions;
    std::optional<uint16_t> reflectionImage;
    std::optional<uint16_t> transparencyImage;   // TIMG
    std::optional<uint16_t> transparencyOptions; // TROP
    std::optional<std::string> backSurface;
    std::vector<Lwo2VertexColor> vertexColors;
    std::vector<Lwo2Block> blocks;
    std::vector<Lwo2Raw> extra;
};

// The whole object, written as TAGS, the layers, ENVL, CLIP, SURF, extra.
struct Lwo2Object {
    std::vector<std::string> tags;
    std::vector<Lwo2Layer> layers;
    std::vector<Lwo2Envelope> envelopes;
    std::vector<Lwo2Clip> clips;
    std::vector<Lwo2Surface> surfaces;
    std::vector<Lwo2Raw> extra;
};
